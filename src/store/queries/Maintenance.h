#pragma once

#include <QDate>
#include <QString>
#include <functional>

// Whole-file work on a database: the checks a restore makes before it replaces a file.
namespace Maintenance {

// Opens the file read-only with the database password and runs the engine's integrity
// check. An empty text when the file is a sound database of this program; otherwise why
// not, for the operator.
QString checkDatabaseFile(const QString &path);

// Compacts the database file in place (Connection::compact) on a connection of its own,
// waiting at most busyTimeoutMs for other programs. Returns false when the file is in use
// or cannot be compacted; the file is then unchanged. Afterwards the file is checked.
bool compactFile(const QString &path, int busyTimeoutMs = 1000);

// True when another program reads or writes the database file now (or it cannot be
// opened at all); a file that does not exist is in use by nobody.
bool inUse(const QString &path, int busyTimeoutMs = 1000);

// The name a backup made on that day has: Custom_bakyyyy-MM-dd.mdb.
QString backupName(const QDate &day);

// Writes a consistent copy of the database (Connection::backupTo) into folder under the
// day's backup name: first under a temporary name, renamed into place when complete, so
// an earlier backup of the day is replaced whole or not at all. progress(done, total) may
// return false to stop: then nothing is left behind and an empty text comes back.
// Returns the backup's path. Throws DbError with a text for the operator.
QString backupInto(const QString &database, const QString &folder,
                   const std::function<bool(int done, int total)> &progress = {});

// Where a restore keeps the database it replaces: Custom_恢复前<date_time>.mdb beside it.
QString safetyCopyPath(const QString &database);
// Why the file cannot replace the database (it is the database itself, no database of
// this program, or damaged); an empty text when it can.
QString restoreRefusal(const QString &selected, const QString &database);
// Replaces the database with the selected file: the current file is first copied to
// safety, then the selected one is copied over it (each written whole under a temporary
// name and renamed into place). Refused while another program uses the database. Throws
// DbError with a text for the operator; the database is then as it was.
void replaceDatabase(const QString &selected, const QString &database, const QString &safety);

} // namespace Maintenance
