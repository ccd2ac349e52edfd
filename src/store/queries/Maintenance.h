#pragma once

#include <QString>

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

} // namespace Maintenance
