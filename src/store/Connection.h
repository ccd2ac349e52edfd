#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QList>
#include <chrono>
#include <functional>
#include <memory>

#include "SqlEngine.h"

struct sqlite3;
struct sqlite3_stmt;
class PgConnection;
class PgStatement;

// What PRAGMA table_info tells about one column of a table.
struct ColumnInfo
{
    QString name;
    QString declaredType;
    bool primaryKey = false;
};

// One open database: the program's encrypted file, or a database on a PostgreSQL server
// when the location is a connection URI (postgresql://user@host:5432/kehu). Statements
// are given in the engine's own dialect; SqlDialect turns the program's classic
// statements into that form (engine() tells which). Every failure throws DbError with
// the engine's message. Connection and Statement are the only classes that call the
// engines' C APIs: the rest of the program sees neither their handles nor their constants.
class Connection
{
public:
    static constexpr const char *DatabasePassword = "382QT719";
    static constexpr int BusyTimeoutMs = 5000;

    // Opens an existing file read-write (never creates one), shared with other
    // processes, with the database password, and checks that it is this program's
    // database (its tables are there). Fails with DbError of kind
    //   CannotOpen      a missing file, a directory, a file the engine cannot open;
    //   NotOurDatabase  a wrong password, a file that is no database, an empty file,
    //                   a database without the program's tables;
    //   Busy            another program holds the file locked past the busy time-out.
    // Nothing is ever written to a file refused here.
    //
    // A server location connects with libpq's own means for the password (~/.pgpass, a
    // service file, PGPASSWORD), never one kept by the program; CannotOpen carries
    // libpq's reason, NotOurDatabase a server database without the program's tables.
    static std::unique_ptr<Connection> open(const QString &path,
                                            const QByteArray &password = DatabasePassword,
                                            int busyTimeoutMs = BusyTimeoutMs);
    // The same, for reading only: nothing can be written through the connection. A file the
    // process may not write is opened so by open() too. The connection must be used by one
    // thread at a time (interrupt() excepted).
    static std::unique_ptr<Connection> openReadOnly(const QString &path,
                                                    const QByteArray &password = DatabasePassword);
    // True when the database can only be read (a read-only file, folder or medium).
    bool isReadOnly() const;
    // True for a PostgreSQL connection URI, false for a file path.
    static bool isServerLocation(const QString &location);
    // The location as it may be shown or written down: a server URI's password (in its
    // user part or as ?password=) replaced by ***.
    static QString shownLocation(const QString &location);
    SqlEngine engine() const { return m_pg ? SqlEngine::Postgres : SqlEngine::Sqlite; }
    // A table's or column's name as it must stand in this engine's statements.
    QString quoteName(const QString &name) const;
    // Creates a new, empty encrypted database (used only by the build-time tool and tests).
    // On a server location: connects to the (existing, empty) database without looking
    // for the program's tables, for preparing it.
    static std::unique_ptr<Connection> create(const QString &path,
                                              const QByteArray &password = DatabasePassword);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QString path() const { return m_path; }

    // Runs a statement that returns no rows; returns the number of rows changed.
    int exec(const QString &engineSql);
    // Runs several ';'-separated statements (schema scripts); fault injection counts
    // the call as one statement.
    void execScript(const QString &engineSql);

    void begin(); // takes the write lock now (BEGIN IMMEDIATE)
    void commit();
    void rollback();
    bool inTransaction() const;
    // Makes a statement running on this connection in another thread stop soon with an
    // error. Safe to call from any thread.
    void interrupt();
    // Statements stepped on this connection stop with an error once the deadline has
    // passed, until unlimitSteps(): a read on the window thread that must not hold it
    // long. The file engine only: on a server nothing is limited and it returns false.
    bool limitStepsUntil(std::chrono::steady_clock::time_point deadline);
    void unlimitSteps();

    qint64 lastInsertId() const;
    // Rows changed by the most recent insert, update or delete.
    int changes() const;
    QList<ColumnInfo> tableColumns(const QString &table);

    // Copies the whole database into a new file at path, encrypted as it is, consistent
    // even while other connections write. With the engine's rollback journal (the
    // program's mode) the file's bytes are copied inside a read transaction: the engine
    // lets no writer commit until it ends, so the bytes are one committed state, copied
    // at the speed of a file copy (writers wait, up to their busy time-out). In WAL mode
    // committed pages live outside the file, and the engine's page-by-page online backup
    // copies them (a copy overtaken by a writer starts again, and finishes in one step
    // under a read lock when that happens repeatedly). progress(done, total) may return
    // false to stop; then false comes back and the file at path is incomplete (the caller
    // removes it). Throws DbError when path cannot be written, inside a transaction of
    // this connection, or (Busy) when another program keeps the file locked. Not for a
    // server (DatabaseCopy writes a server's data into a file).
    bool backupTo(const QString &path, const std::function<bool(int done, int total)> &progress = {});
    // The engine's integrity check: an empty list when the file is sound, else its findings
    // (a server keeps its own checks: always empty there).
    QStringList integrityProblems();
    // Compacts the file in place with the engine's own VACUUM: written into the engine's
    // temporary file and put back under its journal, so a failure leaves the file as it
    // was. Takes the file for itself first: throws DbError of kind Busy while another
    // connection reads or writes it. On a server: VACUUM ANALYZE, while others work.
    void compact();
    // Takes the file for this connection alone for a moment (and so finishes a transaction
    // that a crashed program left in its journal). Throws DbError of kind Busy while another
    // connection reads or writes it. On a server: Busy while another session uses the database.
    void lockExclusively();
    // After rows were inserted with their keys given: makes the autonumbers of every table
    // go on after the highest key (the file's engine does so by itself).
    void continueAutonumbers();
    // True for a table (not a view) of that name, compared without regard to case.
    bool isTable(const QString &name);

private:
    friend class Statement;
    [[noreturn]] void fail(const QString &context = {}) const;
    Connection(sqlite3 *db, QString path);
    Connection(std::shared_ptr<PgConnection> pg, QString location);
    static std::unique_ptr<Connection> openServer(const QString &location, bool readOnly, bool checkTables);
    static std::unique_ptr<Connection> openWith(const QString &path, int flags,
                                                const QByteArray &password, int busyTimeoutMs);
    void checkProgramTables();
    bool copyFileLocked(const QString &path, const std::function<bool(int, int)> &progress);
    bool pageBackup(const QString &path, const std::function<bool(int, int)> &progress);
    void runScript(const char *engineSql);
    sqlite3 *m_db = nullptr;
    QString m_path;
    QByteArray m_password;
    std::shared_ptr<PgConnection> m_pg;
    std::chrono::steady_clock::time_point m_stepDeadline;
};

// A prepared statement; steps rows and reads columns. Parameters are named
// (":CustCode") and matched without regard to case by their callers.
class Statement
{
public:
    Statement(Connection &connection, const QString &engineSql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    int parameterCount() const;
    QString parameterName(int index) const; // 1-based, without the leading ':'
    void bind(int index, const QVariant &value);

    bool step(); // true while a row is available
    // Rewinds the statement for another run and clears its bound values.
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const;
    QVariant value(int column) const;

    // The storage class of a column of the current row, and its value read without
    // conversion to QVariant (for readers that pack many rows).
    enum class ColumnType { Null, Integer, Float, Text, Blob };
    ColumnType columnType(int column) const;
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    // The column as UTF-8 bytes, without a copy: valid until the next step or reset.
    QByteArrayView textBytes(int column) const;

private:
    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
    std::unique_ptr<PgStatement> m_pg;
    bool m_started = false; // stepped since prepared or reset
};
