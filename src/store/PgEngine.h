#pragma once

// Internal to the store layer: the PostgreSQL side of Connection and Statement, over
// libpq. Only PgEngine.cpp calls libpq; Connection.cpp forwards to these classes when the
// connection was opened on a server URI.

#include "Connection.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;
struct pg_cancel;

class PgStatement;

class PgConnection
{
public:
    // Connects to the server the URI names; readOnly makes every transaction read-only.
    // Throws DbError of kind CannotOpen with libpq's reason when no session comes up.
    static std::shared_ptr<PgConnection> connect(const QString &uri, bool readOnly);
    ~PgConnection();

    // Refuses (NotOurDatabase) a server database without the program's tables.
    void checkProgramTables(const QString &uri);
    void execScript(const QString &sql);
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;
    void interrupt();
    qint64 lastInsertId();
    int changes() const { return m_changes; }
    void setLastInsertId(qint64 id) { m_lastInsertId = id; }
    // The table's autonumber column, empty when it has none.
    QString identityColumn(const QString &table);
    QList<ColumnInfo> tableColumns(const QString &table);
    bool isTable(const QString &name);
    // Other sessions on the same database running a statement or inside a transaction
    // (what a file lock tells on the file).
    int otherSessions();
    void compact();
    void continueAutonumbers();
    // An insert gave the table's key itself: the autonumber must go on after it before
    // anyone takes the next one (the file's engine does so at once).
    void noteKeyGiven(const QString &table) { m_keysGiven.insert(table); }
    bool keyGiven(const QString &table) const { return m_keysGiven.contains(table); }
    void advanceAutonumbers();

    // For statements.
    pg_conn *handle() const { return m_conn; }
    QByteArray nextStatementName();
    void releaseStatement(const QByteArray &name);
    // Reads the rest of a statement still streaming rows, so the session is free for
    // another command (the engine runs one command at a time per session).
    void settleActive();
    PgStatement *active = nullptr;
    void setChanges(int changes) { m_changes = changes; }
    [[noreturn]] void fail(pg_result *result, const QString &context = {});
    // The schema's spelling and declared type of a table's column, from the table's
    // internal number and the column's position, as the server reports result columns.
    struct ColumnOrigin {
        QString name;
        QString declaredType;
    };
    const ColumnOrigin *origin(unsigned tableOid, int column);
    QString schemaSpelling(const QString &name) const;

private:
    explicit PgConnection(pg_conn *conn);
    void run(const char *sql);
    void loadOrigins();

    pg_conn *m_conn = nullptr;
    pg_cancel *m_cancel = nullptr;
    int m_changes = 0;
    qint64 m_lastInsertId = 0;
    int m_statementCounter = 0;
    bool m_originsLoaded = false;
    QHash<quint64, ColumnOrigin> m_origins; // (table oid << 16 | column) -> origin
    QList<QByteArray> m_unreleased;
    QHash<QString, QString> m_spelling;      // lower-case name -> the schema's spelling
    QHash<QString, QString> m_identity;      // lower-case table -> its autonumber column
    QSet<QString> m_keysGiven;               // tables whose autonumber must catch up          // prepared statements to drop when the session can
};

// One prepared statement on the server. Values travel as text and the server infers
// their types from where they stand, as the file's engine compares by affinity; a value
// whose type nothing decides (a parameter alone in a select list) is sent with the type
// of its value instead.
class PgStatement
{
public:
    // The statement keeps its session alive: like the file's engine, a session closed
    // while statements remain ends only when the last of them goes.
    PgStatement(std::shared_ptr<PgConnection> connection, const QString &engineSql);
    ~PgStatement();

    int parameterCount() const { return int(m_parameterNames.size()); }
    QString parameterName(int index) const { return m_parameterNames.value(index - 1); }
    void bind(int index, const QVariant &value);
    bool step();
    void reset();
    // Reads every row still to come into memory (see PgConnection::settleActive).
    void bufferRest();

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const;
    QVariant value(int column) const;
    Statement::ColumnType columnType(int column) const;
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    QByteArrayView textBytes(int column) const;

private:
    void prepare(bool typedByValues);
    void describe() const;
    void finishStream();
    void clearRow();

    std::shared_ptr<PgConnection> m_session;
    PgConnection &m_connection;
    QByteArray m_sql;
    QByteArray m_name;
    QStringList m_parameterNames;
    std::vector<QVariant> m_values;
    bool m_prepared = false;
    bool m_needsTypes = false; // prepared only once the values (and so their types) are known
    mutable pg_result *m_description = nullptr;
    pg_result *m_row = nullptr;
    std::deque<pg_result *> m_buffered;
    pg_result *m_bufferedError = nullptr;
    bool m_streaming = false;
    bool m_done = false;
    bool m_returnsKey = false; // an insert that hands back its new key
    QString m_target;          // the table an insert writes to
    bool m_givesKey = false;   // an insert that names the table's key column itself
};

namespace PgText {
// The statement with :Name and ?N parameters turned into the server's $n, their names
// in order of first appearance; literals, quoted names, comments and :: casts are left
// alone.
QByteArray numberParameters(const QString &sql, QStringList *names);
// The table an INSERT statement writes to, lower-cased; empty for any other statement.
QString insertTarget(const QByteArray &sql);
// The column names an INSERT statement lists, lower-cased.
QStringList insertColumns(const QByteArray &sql);
} // namespace PgText
