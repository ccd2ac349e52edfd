#pragma once

#include <QString>
#include <functional>

class Connection;

// Preparing a server database for the program and moving an office's data between its
// file and a server, in either direction.
namespace ServerDatabase {

// Where a server database is, as the connection window asks for it. A host starting with
// '/' is the folder of the server's local socket.
struct Address {
    QString host;
    int port = 5432;
    QString database;
    QString user;
    // postgresql://user@host:port/database (the socket folder as ?host=); no password:
    // libpq finds it in ~/.pgpass, a service file or PGPASSWORD.
    QString uri() const;
    // The parts of a URI; the defaults where it has none.
    static Address fromUri(const QString &uri);
};

// Creates the program's tables, views and initial rows in an empty server database, in one
// transaction. Refused (DbError, nothing changed) when the program's tables are there already.
void initialise(const QString &uri);

struct CopyResult {
    int tables = 0;
    qint64 rows = 0;
};

// Copies the rows of every table of the program from one database to another (a file or a
// server each), replacing the target's rows, in one transaction on the target: a failure
// or a cancel leaves the target as it was. Keys are kept, and the target's autonumbers go
// on after the highest copied key. A value the target cannot hold (a date that is no date)
// fails the copy with the table, the row's key and the column named.
// progress(table, rowsSoFar) may return false to cancel (DbError "已取消").
CopyResult copyTables(Connection &from, Connection &to,
                      const std::function<bool(const QString &table, qint64 rows)> &progress = {});

// The command-line copy: `to` is a new file (refused when it exists) made with the
// schema and initial rows, or a server database, initialised first when empty and refused
// when it already holds customers unless replace is true.
CopyResult copy(const QString &from, const QString &to, bool replace,
                const std::function<bool(const QString &table, qint64 rows)> &progress = {});

} // namespace ServerDatabase
