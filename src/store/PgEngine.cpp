#include "PgEngine.h"
#include "Connection.h"
#include "DbError.h"
#include "Schema.h"
#include "SchemaTranslation.h"
#include "SqlDialect.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <charconv>
#include <cstdlib>
#include <libpq-fe.h>

namespace {

// Type numbers the server gives its built-in types (fixed in its catalogue).
constexpr Oid BoolOid = 16;
constexpr Oid ByteaOid = 17;
constexpr Oid Int8Oid = 20;
constexpr Oid Int2Oid = 21;
constexpr Oid Int4Oid = 23;
constexpr Oid TextOid = 25;
constexpr Oid OidOid = 26;
constexpr Oid Float4Oid = 700;
constexpr Oid Float8Oid = 701;
constexpr Oid DateOid = 1082;
constexpr Oid TimestampOid = 1114;
constexpr Oid NumericOid = 1700;

QString serverMessage(const PGresult *result, const PGconn *conn)
{
    const char *text = result ? PQresultErrorMessage(result) : nullptr;
    if (!text || !*text)
        text = PQerrorMessage(conn);
    return QString::fromUtf8(text).trimmed();
}

// A lock wait past the time-out, a deadlock or a serialization failure: the caller may
// offer to try again, as with a file another program keeps locked.
bool isBusy(const char *state)
{
    if (!state)
        return false;
    const QByteArray s(state);
    return s == "55P03" || s == "40001" || s == "40P01";
}

QByteArray textOf(const QVariant &value, Oid *type)
{
    *type = 0;
    switch (value.typeId()) {
    case QMetaType::Bool:
        *type = Int4Oid;
        return value.toBool() ? "1" : "0";
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
        *type = Int8Oid;
        return QByteArray::number(value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        *type = Float8Oid;
        return QByteArray::number(value.toDouble(), 'g', 17);
    case QMetaType::QDate:
        *type = DateOid;
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    case QMetaType::QDateTime:
        *type = TimestampOid;
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
    default:
        *type = TextOid;
        return value.toString().toUtf8();
    }
}

// Whether a text can stand for a value of the server type the statement gives a parameter.
bool fitsType(const QString &text, Oid type)
{
    bool ok = true;
    switch (type) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
        text.trimmed().toLongLong(&ok);
        return ok;
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        text.trimmed().toDouble(&ok);
        return ok;
    case DateOid:
    case TimestampOid:
        return !SqlDialect::normalizeDate(text.trimmed()).isEmpty();
    default:
        return true;
    }
}

bool startsWithWord(QByteArrayView sql, const char *word)
{
    qsizetype i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql.at(i))))
        ++i;
    const QByteArrayView w(word);
    if (sql.size() - i < w.size())
        return false;
    for (qsizetype k = 0; k < w.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(sql.at(i + k))) != w.at(k))
            return false;
    return i + w.size() == sql.size() || !std::isalnum(static_cast<unsigned char>(sql.at(i + w.size())));
}

} // namespace

namespace PgText {

QByteArray numberParameters(const QString &text, QStringList *names)
{
    const QByteArray sql = text.toUtf8();
    QByteArray out;
    out.reserve(sql.size() + 16);
    const int n = int(sql.size());
    auto isNameStart = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
    auto isNameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    int i = 0;
    while (i < n) {
        const char c = sql.at(i);
        if (c == '\'' || c == '"') {
            // A literal or a quoted name, with its doubled quotes.
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out.append(sql.mid(i, j + 1 - i));
            i = j + 1;
        } else if (c == '-' && i + 1 < n && sql.at(i + 1) == '-') {
            const int j = sql.indexOf('\n', i);
            const int end = j < 0 ? n : j;
            out.append(sql.mid(i, end - i));
            i = end;
        } else if (c == '/' && i + 1 < n && sql.at(i + 1) == '*') {
            const int j = sql.indexOf("*/", i + 2);
            const int end = j < 0 ? n : j + 2;
            out.append(sql.mid(i, end - i));
            i = end;
        } else if (c == ':' && i + 1 < n && sql.at(i + 1) == ':') {
            out.append("::");
            i += 2;
        } else if (c == ':' && i + 1 < n && isNameStart(sql.at(i + 1))) {
            int j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            const QString name = QString::fromUtf8(sql.mid(i + 1, j - i - 1));
            int index = int(names->indexOf(name));
            if (index < 0) {
                names->append(name);
                index = int(names->size()) - 1;
            }
            // "like:Code" must not become the name "like$1": '$' may go on a name there.
            if (!out.isEmpty() && (isNameChar(out.back()) || out.back() == '$'))
                out.append(' ');
            out.append('$').append(QByteArray::number(index + 1));
            i = j;
        } else if (c == '?' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql.at(i + 1)))) {
            int j = i + 1;
            while (j < n && std::isdigit(static_cast<unsigned char>(sql.at(j))))
                ++j;
            const int number = sql.mid(i + 1, j - i - 1).toInt();
            while (names->size() < number)
                names->append(QString::number(names->size() + 1));
            if (!out.isEmpty() && (isNameChar(out.back()) || out.back() == '$'))
                out.append(' ');
            out.append('$').append(QByteArray::number(number));
            i = j;
        } else {
            out.append(c);
            ++i;
        }
    }
    return out;
}

QString insertTarget(const QByteArray &sql)
{
    static const QRegularExpression insert(QStringLiteral("^\\s*insert\\s+into\\s+(\"[^\"]+\"|[A-Za-z_][A-Za-z0-9_]*)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = insert.match(QString::fromUtf8(sql));
    if (!match.hasMatch())
        return {};
    QString name = match.captured(1);
    if (name.startsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2);
    return name.toLower();
}

QStringList insertColumns(const QByteArray &sql)
{
    static const QRegularExpression columns(QStringLiteral("^\\s*insert\\s+into\\s+(?:\"[^\"]+\"|[A-Za-z_][A-Za-z0-9_]*)\\s*\\(([^)]*)\\)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = columns.match(QString::fromUtf8(sql));
    QStringList names;
    if (!match.hasMatch())
        return names;
    for (QString name : match.captured(1).split(QLatin1Char(','))) {
        name = name.trimmed();
        if (name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
            name = name.mid(1, name.size() - 2);
        names.append(name.toLower());
    }
    return names;
}

} // namespace PgText

// ---------------------------------------------------------------------------------------

PgConnection::PgConnection(pg_conn *conn) : m_conn(conn), m_cancel(PQgetCancel(conn)) {}

PgConnection::~PgConnection()
{
    if (m_cancel)
        PQfreeCancel(m_cancel);
    PQfinish(m_conn);
}

std::shared_ptr<PgConnection> PgConnection::connect(const QString &uri, bool readOnly)
{
    const QByteArray text = uri.toUtf8();
    PGconn *conn = PQconnectdb(text.constData());
    if (!conn)
        throw DbError(QStringLiteral("无法连接数据库服务器 %1: out of memory").arg(Connection::shownLocation(uri)),
                      DbError::Kind::CannotOpen);
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString reason = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        PQfinish(conn);
        throw DbError(QStringLiteral("无法连接数据库服务器 %1: %2").arg(Connection::shownLocation(uri), reason),
                      DbError::Kind::CannotOpen);
    }
    std::shared_ptr<PgConnection> connection(new PgConnection(conn));
    // Waiting for a row another workstation holds ends after the same time-out as a
    // locked file; dates travel as yyyy-MM-dd; notices (an existing extension…) stay quiet.
    QByteArray settings = "SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; SET client_min_messages = warning; "
                          "SET lock_timeout = " + QByteArray::number(Connection::BusyTimeoutMs) + ";";
    if (readOnly)
        settings += " SET default_transaction_read_only = on;";
    connection->run(settings.constData());
    return connection;
}

void PgConnection::run(const char *sql)
{
    PGresult *result = PQexec(m_conn, sql);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result);
    PQclear(result);
}

void PgConnection::fail(pg_result *result, const QString &context)
{
    QString message = serverMessage(result, m_conn);
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const DbError::Kind kind = isBusy(state) ? DbError::Kind::Busy : DbError::Kind::Statement;
    if (result)
        PQclear(result);
    if (!context.isEmpty())
        message += QStringLiteral("\n") + context;
    throw DbError(message, kind);
}

void PgConnection::checkProgramTables(const QString &uri)
{
    PGresult *result = PQexec(m_conn, "select count(*) from pg_catalog.pg_tables "
                                      "where schemaname = current_schema() and tablename in ('custom','admin')");
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        fail(result);
    const int tables = std::atoi(PQgetvalue(result, 0, 0));
    PQclear(result);
    if (tables != 2)
        throw DbError(QStringLiteral("不是本系统的数据库: %1").arg(Connection::shownLocation(uri)),
                      DbError::Kind::NotOurDatabase);
}

void PgConnection::execScript(const QString &sql)
{
    settleActive();
    const QByteArray text = sql.toUtf8();
    PGresult *result = PQexec(m_conn, text.constData());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY)
        fail(result);
    PQclear(result);
}

// Writers take turns, as on the file: a transaction holds the database's write turn from
// its start, so reading the highest code and inserting the next one cannot interleave
// with another workstation doing the same. Readers never wait for it.
void PgConnection::begin()
{
    settleActive();
    run("BEGIN; SELECT pg_advisory_xact_lock(7413901)");
}

void PgConnection::commit()
{
    settleActive();
    advanceAutonumbers();
    run("COMMIT");
}

void PgConnection::rollback()
{
    settleActive();
    m_keysGiven.clear();
    if (inTransaction())
        run("ROLLBACK");
    for (const QByteArray &name : std::exchange(m_unreleased, {}))
        releaseStatement(name);
}

bool PgConnection::inTransaction() const
{
    const PGTransactionStatusType status = PQtransactionStatus(m_conn);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

void PgConnection::interrupt()
{
    char reason[256];
    if (m_cancel)
        PQcancel(m_cancel, reason, sizeof reason);
}

qint64 PgConnection::lastInsertId()
{
    // Set by inserts, which return their new key (see PgStatement).
    return m_lastInsertId;
}

QList<ColumnInfo> PgConnection::tableColumns(const QString &table)
{
    settleActive();
    const QByteArray name = table.toLower().toUtf8();
    const char *values[] = {name.constData()};
    PGresult *result = PQexecParams(m_conn,
        "select a.attname, format_type(a.atttypid, a.atttypmod), "
        "  exists (select 1 from pg_catalog.pg_index i where i.indrelid = c.oid and i.indisprimary and a.attnum = any(i.indkey)), "
        "  c.oid, a.attnum "
        "from pg_catalog.pg_class c join pg_catalog.pg_attribute a on a.attrelid = c.oid "
        "where c.relnamespace = current_schema()::regnamespace and c.relname = $1 and a.attnum > 0 and not a.attisdropped "
        "order by a.attnum",
        1, nullptr, values, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        fail(result);
    QList<ColumnInfo> columns;
    for (int row = 0; row < PQntuples(result); ++row) {
        ColumnInfo info;
        const ColumnOrigin *known = origin(unsigned(std::strtoul(PQgetvalue(result, row, 3), nullptr, 10)),
                                           std::atoi(PQgetvalue(result, row, 4)));
        info.name = known ? known->name : QString::fromUtf8(PQgetvalue(result, row, 0));
        info.declaredType = known && !known->declaredType.isEmpty() ? known->declaredType
                                                                     : QString::fromUtf8(PQgetvalue(result, row, 1));
        info.primaryKey = PQgetvalue(result, row, 2)[0] == 't';
        columns.append(info);
    }
    PQclear(result);
    return columns;
}

bool PgConnection::isTable(const QString &name)
{
    settleActive();
    const QByteArray text = name.toUtf8();
    const char *values[] = {text.constData()};
    PGresult *result = PQexecParams(m_conn,
        "select 1 from pg_catalog.pg_tables where schemaname = current_schema() and lower(tablename) = lower($1)",
        1, nullptr, values, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        fail(result);
    const bool found = PQntuples(result) > 0;
    PQclear(result);
    return found;
}

int PgConnection::otherSessions()
{
    settleActive();
    // A session waiting for its next command holds nothing, like an idle connection to the
    // file: only sessions running a statement or inside a transaction count.
    PGresult *result = PQexec(m_conn, "select count(*) from pg_catalog.pg_stat_activity "
                                      "where datname = current_database() and pid <> pg_backend_pid() "
                                      "and state is distinct from 'idle'");
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        fail(result);
    const int sessions = std::atoi(PQgetvalue(result, 0, 0));
    PQclear(result);
    return sessions;
}

void PgConnection::compact()
{
    settleActive();
    run("VACUUM ANALYZE");
}

void PgConnection::continueAutonumbers()
{
    settleActive();
    run(SchemaTranslation::identityResetSql(Schema::identityColumns()).toUtf8().constData());
}

void PgConnection::advanceAutonumbers()
{
    if (m_keysGiven.isEmpty())
        return;
    settleActive();
    QByteArray sql;
    for (const QString &table : std::as_const(m_keysGiven)) {
        const QByteArray t = table.toUtf8();
        const QByteArray k = m_identity.value(table).toUtf8();
        // Never backwards: keys of deleted rows are not given again, as on the file.
        sql += "SELECT setval(pg_get_serial_sequence('" + t + "', '" + k + "'), greatest((SELECT max(" + k + ") FROM " + t
               + "), coalesce(pg_sequence_last_value(pg_get_serial_sequence('" + t + "', '" + k + "')::regclass), 0), 1));";
    }
    m_keysGiven.clear();
    run(sql.constData());
}

QByteArray PgConnection::nextStatementName()
{
    return "kehu_s" + QByteArray::number(++m_statementCounter);
}

void PgConnection::releaseStatement(const QByteArray &name)
{
    // A session whose transaction failed runs nothing until it ends: drop the statement
    // after the rollback instead.
    if (PQtransactionStatus(m_conn) == PQTRANS_INERROR) {
        m_unreleased.append(name);
        return;
    }
    PQclear(PQexec(m_conn, ("DEALLOCATE " + name).constData()));
}

void PgConnection::settleActive()
{
    if (active)
        active->bufferRest();
}

void PgConnection::loadOrigins()
{
    m_originsLoaded = true;
    PGresult *result = PQexec(m_conn,
        "select c.oid, a.attnum, c.relname, a.attname from pg_catalog.pg_class c "
        "join pg_catalog.pg_attribute a on a.attrelid = c.oid "
        "where c.relnamespace = current_schema()::regnamespace and c.relkind in ('r','v') and a.attnum > 0");
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        fail(result);
    QHash<QString, QString> declared;
    QHash<QString, QString> spelling;
    for (const auto &column : Schema::declaredColumns()) {
        declared.insert(column.table.toLower() + QLatin1Char('.') + column.column.toLower(), column.declaredType);
        spelling.insert(column.column.toLower(), column.column);
    }
    for (int row = 0; row < PQntuples(result); ++row) {
        const quint64 key = (quint64(std::strtoul(PQgetvalue(result, row, 0), nullptr, 10)) << 16)
                            | quint64(std::atoi(PQgetvalue(result, row, 1)));
        const QString table = QString::fromUtf8(PQgetvalue(result, row, 2));
        const QString column = QString::fromUtf8(PQgetvalue(result, row, 3));
        m_origins.insert(key, {spelling.value(column, column), declared.value(table + QLatin1Char('.') + column)});
    }
    m_spelling = spelling;
    PQclear(result);

    result = PQexec(m_conn,
        "select c.relname, a.attname from pg_catalog.pg_class c join pg_catalog.pg_attribute a on a.attrelid = c.oid "
        "where c.relnamespace = current_schema()::regnamespace and a.attidentity in ('a', 'd')");
    if (PQresultStatus(result) != PGRES_TUPLES_OK)
        fail(result);
    for (int row = 0; row < PQntuples(result); ++row)
        m_identity.insert(QString::fromUtf8(PQgetvalue(result, row, 0)), QString::fromUtf8(PQgetvalue(result, row, 1)));
    PQclear(result);
}

QString PgConnection::identityColumn(const QString &table)
{
    if (!m_originsLoaded) {
        settleActive();
        loadOrigins();
    }
    return m_identity.value(table);
}

const PgConnection::ColumnOrigin *PgConnection::origin(unsigned tableOid, int column)
{
    if (!m_originsLoaded) {
        settleActive();
        loadOrigins();
    }
    if (tableOid == 0 || column <= 0)
        return nullptr;
    const auto it = m_origins.constFind((quint64(tableOid) << 16) | quint64(column));
    return it == m_origins.constEnd() ? nullptr : &it.value();
}

QString PgConnection::schemaSpelling(const QString &name) const
{
    return m_spelling.value(name, name);
}

// ---------------------------------------------------------------------------------------

PgStatement::PgStatement(std::shared_ptr<PgConnection> session, const QString &engineSql)
    : m_session(std::move(session)), m_connection(*m_session)
{
    PgConnection &connection = m_connection;
    m_sql = PgText::numberParameters(engineSql, &m_parameterNames);
    // Inserts hand back their new key, which the file's engine keeps for the connection.
    const QString target = PgText::insertTarget(m_sql);
    const QString key = target.isEmpty() ? QString() : connection.identityColumn(target);
    m_target = target;
    m_givesKey = !key.isEmpty() && PgText::insertColumns(m_sql).contains(key);
    if (!key.isEmpty() && !m_sql.contains("RETURNING") && !m_sql.contains("returning")) {
        while (!m_sql.isEmpty() && (std::isspace(static_cast<unsigned char>(m_sql.back())) || m_sql.back() == ';'))
            m_sql.chop(1);
        m_sql += " RETURNING " + key.toUtf8();
        m_returnsKey = true;
    }
    m_values.resize(size_t(m_parameterNames.size()));
    m_name = connection.nextStatementName();
    prepare(false);
}

PgStatement::~PgStatement()
{
    if (m_connection.active == this) {
        try {
            bufferRest();
        } catch (...) {
        }
    }
    clearRow();
    for (PGresult *row : m_buffered)
        PQclear(row);
    if (m_bufferedError)
        PQclear(m_bufferedError);
    if (m_description)
        PQclear(m_description);
    if (m_prepared)
        m_connection.releaseStatement(m_name);
}

void PgStatement::prepare(bool typedByValues)
{
    m_connection.settleActive();
    std::vector<Oid> types(m_values.size(), 0);
    if (typedByValues) {
        for (size_t i = 0; i < m_values.size(); ++i)
            if (!m_values[i].isNull())
                textOf(m_values[i], &types[i]);
        for (Oid &type : types)
            if (type == 0)
                type = TextOid;
    }
    if (m_prepared) {
        m_connection.releaseStatement(m_name);
        m_name = m_connection.nextStatementName();
        m_prepared = false;
    }
    PGresult *result = PQprepare(m_connection.handle(), m_name.constData(), m_sql.constData(), int(types.size()),
                                 types.data());
    if (PQresultStatus(result) != PGRES_COMMAND_OK) {
        const char *state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        // A parameter whose type nothing around it decides: prepare again once the values
        // are bound, with their own types.
        if (!typedByValues && state && QByteArray(state) == "42P18"
            && PQtransactionStatus(m_connection.handle()) != PQTRANS_INERROR) {
            PQclear(result);
            m_needsTypes = true;
            return;
        }
        m_connection.fail(result, QString::fromUtf8(m_sql));
    }
    PQclear(result);
    m_prepared = true;
    m_needsTypes = false;
    if (m_description) {
        PQclear(m_description);
        m_description = nullptr;
    }
}

void PgStatement::describe() const
{
    if (m_description)
        return;
    if (!m_prepared)
        const_cast<PgStatement *>(this)->prepare(true);
    m_connection.settleActive();
    PGresult *result = PQdescribePrepared(m_connection.handle(), m_name.constData());
    if (PQresultStatus(result) != PGRES_COMMAND_OK)
        m_connection.fail(result);
    m_description = result;
}

void PgStatement::bind(int index, const QVariant &value)
{
    if (index < 1 || index > int(m_values.size()))
        throw DbError(QStringLiteral("参数序号 %1 超出范围").arg(index));
    m_values[size_t(index - 1)] = value;
}

void PgStatement::clearRow()
{
    if (m_row) {
        PQclear(m_row);
        m_row = nullptr;
    }
}

bool PgStatement::step()
{
    clearRow();
    if (m_done)
        return false;
    if (!m_streaming) {
        if (m_needsTypes || !m_prepared)
            prepare(true);
        m_connection.settleActive();
        if (m_returnsKey && !m_givesKey && m_connection.keyGiven(m_target))
            m_connection.advanceAutonumbers();
        std::vector<QByteArray> texts(m_values.size());
        std::vector<const char *> pointers(m_values.size(), nullptr);
        std::vector<int> lengths(m_values.size(), 0);
        const bool reading = startsWithWord(m_sql, "select");
        if (reading && !m_values.empty())
            describe();
        for (size_t i = 0; i < m_values.size(); ++i) {
            if (m_values[i].isNull())
                continue;
            // A text that is no number (or no date) compared with a number (or a date)
            // matches nothing on the file; the server would refuse the whole statement.
            if (reading && m_values[i].typeId() == QMetaType::QString
                && !fitsType(m_values[i].toString(), PQparamtype(m_description, int(i))))
                continue;
            Oid type = 0;
            texts[i] = textOf(m_values[i], &type);
            pointers[i] = texts[i].constData();
            lengths[i] = int(texts[i].size());
        }
        if (!PQsendQueryPrepared(m_connection.handle(), m_name.constData(), int(m_values.size()), pointers.data(),
                                 lengths.data(), nullptr, 0))
            m_connection.fail(nullptr, QString::fromUtf8(m_sql));
        // Rows come one by one as the server sends them, so a long list starts at once and
        // is never held whole in this process.
        PQsetSingleRowMode(m_connection.handle());
        m_streaming = true;
        m_connection.active = this;
    }
    for (;;) {
        PGresult *result = nullptr;
        if (!m_buffered.empty()) {
            result = m_buffered.front();
            m_buffered.pop_front();
        } else if (m_bufferedError) {
            result = std::exchange(m_bufferedError, nullptr);
        } else if (m_connection.active == this) {
            result = PQgetResult(m_connection.handle());
        }
        if (!result) {
            finishStream();
            if (m_givesKey) {
                m_connection.noteKeyGiven(m_target);
                if (!m_connection.inTransaction())
                    m_connection.advanceAutonumbers();
            }
            return false;
        }
        switch (PQresultStatus(result)) {
        case PGRES_SINGLE_TUPLE:
            if (m_returnsKey) {
                m_connection.setLastInsertId(std::strtoll(PQgetvalue(result, 0, 0), nullptr, 10));
                PQclear(result);
                continue;
            }
            m_row = result;
            return true;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
            if (startsWithWord(PQcmdStatus(result), "insert") || startsWithWord(PQcmdStatus(result), "update")
                || startsWithWord(PQcmdStatus(result), "delete"))
                m_connection.setChanges(std::atoi(PQcmdTuples(result)));
            PQclear(result);
            continue;
        case PGRES_EMPTY_QUERY:
            PQclear(result);
            finishStream();
            throw DbError(QStringLiteral("SQL 语句为空: 没有要执行的语句"));
        default:
            // Read the session free before reporting.
            finishStream();
            m_done = true;
            m_connection.fail(result, QString::fromUtf8(m_sql));
        }
    }
}

void PgStatement::finishStream()
{
    if (m_connection.active == this) {
        while (PGresult *rest = PQgetResult(m_connection.handle()))
            PQclear(rest);
        m_connection.active = nullptr;
    }
    m_streaming = false;
    m_done = true;
}

void PgStatement::bufferRest()
{
    if (m_connection.active != this)
        return;
    m_connection.active = nullptr;
    while (PGresult *result = PQgetResult(m_connection.handle())) {
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_SINGLE_TUPLE) {
            m_buffered.push_back(result);
        } else if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) {
            m_buffered.push_back(result); // carries the count of changed rows
        } else if (!m_bufferedError) {
            m_bufferedError = result;
        } else {
            PQclear(result);
        }
    }
}

void PgStatement::reset()
{
    clearRow();
    if (m_connection.active == this)
        finishStream();
    for (PGresult *row : m_buffered)
        PQclear(row);
    m_buffered.clear();
    if (m_bufferedError)
        PQclear(std::exchange(m_bufferedError, nullptr));
    m_streaming = false;
    m_done = false;
    for (QVariant &value : m_values)
        value = QVariant();
}

int PgStatement::columnCount() const
{
    if (m_returnsKey)
        return 0;
    if (m_row)
        return PQnfields(m_row);
    describe();
    return PQnfields(m_description);
}

QString PgStatement::columnName(int column) const
{
    const PGresult *source = m_row ? m_row : (describe(), m_description);
    const QString name = QString::fromUtf8(PQfname(source, column));
    if (const auto *known = m_connection.origin(PQftable(source, column), PQftablecol(source, column)))
        if (known->name.compare(name, Qt::CaseInsensitive) == 0)
            return known->name;
    return m_connection.schemaSpelling(name);
}

QString PgStatement::declaredType(int column) const
{
    const PGresult *source = m_row ? m_row : (describe(), m_description);
    if (const auto *known = m_connection.origin(PQftable(source, column), PQftablecol(source, column)))
        if (!known->declaredType.isEmpty())
            return known->declaredType;
    // Computed columns have no declared type, as on the file, except dates, which are
    // dates on the server whatever computed them.
    switch (PQftype(source, column)) {
    case DateOid:
        return QStringLiteral("DATETEXT");
    default:
        return {};
    }
}

Statement::ColumnType PgStatement::columnType(int column) const
{
    if (!m_row || PQgetisnull(m_row, 0, column))
        return Statement::ColumnType::Null;
    switch (PQftype(m_row, column)) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
    case BoolOid:
        return Statement::ColumnType::Integer;
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return Statement::ColumnType::Float;
    case ByteaOid:
        return Statement::ColumnType::Blob;
    default:
        return Statement::ColumnType::Text;
    }
}

qint64 PgStatement::columnInt64(int column) const
{
    if (!m_row || PQgetisnull(m_row, 0, column))
        return 0;
    const char *text = PQgetvalue(m_row, 0, column);
    if (PQftype(m_row, column) == BoolOid)
        return text[0] == 't' ? 1 : 0;
    return std::strtoll(text, nullptr, 10);
}

double PgStatement::columnDouble(int column) const
{
    if (!m_row || PQgetisnull(m_row, 0, column))
        return 0;
    if (PQftype(m_row, column) == BoolOid)
        return double(columnInt64(column));
    return std::strtod(PQgetvalue(m_row, 0, column), nullptr);
}

QByteArrayView PgStatement::textBytes(int column) const
{
    if (!m_row || PQgetisnull(m_row, 0, column))
        return {};
    if (PQftype(m_row, column) == BoolOid)
        return PQgetvalue(m_row, 0, column)[0] == 't' ? QByteArrayView("1") : QByteArrayView("0");
    return QByteArrayView(PQgetvalue(m_row, 0, column), PQgetlength(m_row, 0, column));
}

QVariant PgStatement::value(int column) const
{
    switch (columnType(column)) {
    case Statement::ColumnType::Null:
        return {};
    case Statement::ColumnType::Integer:
        return qlonglong(columnInt64(column));
    case Statement::ColumnType::Float:
        return columnDouble(column);
    case Statement::ColumnType::Blob: {
        size_t length = 0;
        unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(PQgetvalue(m_row, 0, column)),
                                               &length);
        const QByteArray data(reinterpret_cast<const char *>(bytes), qsizetype(length));
        PQfreemem(bytes);
        return data;
    }
    case Statement::ColumnType::Text:
        break;
    }
    const QByteArrayView text = textBytes(column);
    return QString::fromUtf8(text.data(), text.size());
}
