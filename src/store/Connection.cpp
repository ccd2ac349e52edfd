#include "Connection.h"
#include "DbError.h"
#include "DiskSpace.h"
#include "StatementGuard.h"
#include "FaultPoint.h"
#include "PgEngine.h"
#include "SqlDialect.h"
#include "SqliteApi.h"

#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

DbError::Kind kindOf(int resultCode)
{
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbError::Kind::Busy;
    case SQLITE_NOTADB:
        return DbError::Kind::NotOurDatabase;
    case SQLITE_CANTOPEN:
        return DbError::Kind::CannotOpen;
    default:
        return DbError::Kind::Statement;
    }
}

QString notOurDatabase(const QString &path)
{
    return QStringLiteral("不是本系统的数据库文件: %1").arg(path);
}

// Runs a one-value query while opening; returns the engine's result code. Not a
// statement of the program's own: fault injection does not count it.
int probe(sqlite3 *db, const char *sql, qint64 *value)
{
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            *value = sqlite3_column_int64(stmt, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc;
}

} // namespace

std::unique_ptr<Connection> Connection::openWith(const QString &path, int flags,
                                                 const QByteArray &password, int busyTimeoutMs)
{
    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db))
                                   : QStringLiteral("out of memory");
        sqlite3_close(db);
        const DbError::Kind kind = kindOf(rc) == DbError::Kind::Statement ? DbError::Kind::CannotOpen : kindOf(rc);
        throw DbError(QStringLiteral("无法打开数据库文件 %1: %2").arg(path, message), kind);
    }
    std::unique_ptr<Connection> connection(new Connection(db, path));
    connection->m_password = password;
    if (sqlite3_key(db, password.constData(), int(password.size())) != SQLITE_OK)
        throw DbError(QStringLiteral("无法打开数据库文件 %1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(db))),
                      DbError::Kind::CannotOpen);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    // The key is only checked when the first page is read: read it now, so that a
    // wrong password, a foreign file or a file locked by another program fails here.
    qint64 objects = 0;
    rc = probe(db, "select count(*) from sqlite_master", &objects);
    if (rc != SQLITE_OK) {
        const QString engine = QString::fromUtf8(sqlite3_errmsg(db));
        switch (kindOf(rc)) {
        case DbError::Kind::Busy:
            throw DbError(QStringLiteral("数据库正被其他程序使用: %1\n%2").arg(path, engine), DbError::Kind::Busy);
        case DbError::Kind::NotOurDatabase:
            throw DbError(notOurDatabase(path) + QStringLiteral("\n") + engine, DbError::Kind::NotOurDatabase);
        default:
            throw DbError(QStringLiteral("无法打开数据库文件 %1: %2").arg(path, engine), DbError::Kind::CannotOpen);
        }
    }
    return connection;
}

void Connection::checkProgramTables()
{
    // An empty file opens as an empty database, and any other program's database opens
    // with our password if it has none: only the program's own tables tell.
    qint64 tables = 0;
    const int rc = probe(m_db,
        "select count(*) from sqlite_master where type='table' and lower(name) in ('custom','admin')", &tables);
    if (rc != SQLITE_OK) {
        const QString engine = QString::fromUtf8(sqlite3_errmsg(m_db));
        if (kindOf(rc) == DbError::Kind::Busy)
            throw DbError(QStringLiteral("数据库正被其他程序使用: %1\n%2").arg(m_path, engine), DbError::Kind::Busy);
        throw DbError(notOurDatabase(m_path) + QStringLiteral("\n") + engine, DbError::Kind::NotOurDatabase);
    }
    if (tables != 2)
        throw DbError(notOurDatabase(m_path), DbError::Kind::NotOurDatabase);
}

QString Connection::shownLocation(const QString &location)
{
    static const QRegularExpression userPassword(QStringLiteral("^(postgres(?:ql)?://[^/?#@:]*:)[^/?#@]*@"),
                                                 QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression passwordParameter(QStringLiteral("([?&]password=)[^&#]*"),
                                                      QRegularExpression::CaseInsensitiveOption);
    QString shown = location;
    shown.replace(userPassword, QStringLiteral("\\1***@"));
    if (isServerLocation(location))
        shown.replace(passwordParameter, QStringLiteral("\\1***"));
    return shown;
}

bool Connection::isServerLocation(const QString &location)
{
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
           || location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

Connection::Connection(sqlite3 *db, QString path) : m_db(db), m_path(std::move(path)) {}

Connection::Connection(std::shared_ptr<PgConnection> pg, QString location)
    : m_path(std::move(location)), m_pg(std::move(pg))
{
}

std::unique_ptr<Connection> Connection::openServer(const QString &location, bool readOnly, bool checkTables)
{
    auto pg = PgConnection::connect(location, readOnly);
    if (checkTables)
        pg->checkProgramTables(location);
    return std::unique_ptr<Connection>(new Connection(std::move(pg), location));
}

QString Connection::quoteName(const QString &name) const
{
    return SqlDialect::quoteName(name, engine());
}

std::unique_ptr<Connection> Connection::open(const QString &path, const QByteArray &password, int busyTimeoutMs)
{
    if (isServerLocation(path))
        return openServer(path, false, true);
    // sqlite3_open_v2 without SQLITE_OPEN_CREATE refuses a missing file, but an
    // empty path or a directory would still open a temporary database.
    if (!QFileInfo(path).isFile())
        throw DbError(QStringLiteral("数据库文件不存在: %1").arg(path), DbError::Kind::CannotOpen);
    // A file that may not be written opens for reading only (the engine would do the same
    // without a word); the program then says so instead of failing at the first save.
    const int mode = QFileInfo(path).isWritable() ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    std::unique_ptr<Connection> connection = openWith(path, mode, password, busyTimeoutMs);
    connection->checkProgramTables();
    return connection;
}

std::unique_ptr<Connection> Connection::openReadOnly(const QString &path, const QByteArray &password)
{
    if (isServerLocation(path))
        return openServer(path, true, true);
    if (!QFileInfo(path).isFile())
        throw DbError(QStringLiteral("数据库文件不存在: %1").arg(path), DbError::Kind::CannotOpen);
    // A reading connection serves one thread at a time (a list's background load, a check),
    // so the engine's per-call locking is left out: it costs more than the rest of reading
    // a wide row. Interrupting from another thread stays safe without it.
    std::unique_ptr<Connection> connection = openWith(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, password, BusyTimeoutMs);
    connection->checkProgramTables();
    return connection;
}

bool Connection::isReadOnly() const
{
    if (m_pg)
        return false;
    return sqlite3_db_readonly(m_db, "main") == 1;
}

std::unique_ptr<Connection> Connection::create(const QString &path, const QByteArray &password)
{
    if (isServerLocation(path))
        return openServer(path, false, false);
    return openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, password, BusyTimeoutMs);
}

Connection::~Connection()
{
    m_pg.reset();
    if (m_db)
        sqlite3_close_v2(m_db);
}

void Connection::fail(const QString &context) const
{
    QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (!context.isEmpty())
        message += QStringLiteral("\n") + StatementGuard::excerpt(context);
    // A statement failing on a lock (after the busy time-out) is told apart: the
    // caller may offer to try again.
    const DbError::Kind kind = kindOf(sqlite3_extended_errcode(m_db)) == DbError::Kind::Busy
                                   ? DbError::Kind::Busy : DbError::Kind::Statement;
    throw DbError(message, kind);
}

int Connection::exec(const QString &engineSql)
{
    Statement statement(*this, engineSql);
    while (statement.step()) {
    }
    return changes();
}

void Connection::execScript(const QString &engineSql)
{
    FaultInjection::statementStarting();
    if (m_pg)
        return m_pg->execScript(engineSql);
    runScript(engineSql.toUtf8().constData());
}

void Connection::runScript(const char *engineSql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, engineSql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        const DbError::Kind kind = kindOf(sqlite3_extended_errcode(m_db)) == DbError::Kind::Busy
                                       ? DbError::Kind::Busy : DbError::Kind::Statement;
        throw DbError(message, kind);
    }
}

// Transaction control runs past fault injection: a failed operation must be able to
// roll back.
// A transaction takes the write lock at its start, waiting out the busy time-out for
// it. Begun deferred, a transaction that reads before it writes (the next customer
// code from max(CustCode)) would hold a read lock when it asks for the write lock,
// and the engine refuses that at once with "database is locked" instead of waiting,
// since waiting could deadlock with another writer.
void Connection::begin()
{
    if (m_pg)
        return m_pg->begin();
    runScript("BEGIN IMMEDIATE");
}

void Connection::commit()
{
    if (m_pg)
        return m_pg->commit();
    runScript("COMMIT");
}

void Connection::rollback()
{
    if (m_pg)
        return m_pg->rollback();
    if (inTransaction())
        runScript("ROLLBACK");
}

void Connection::interrupt()
{
    if (m_pg)
        return m_pg->interrupt();
    sqlite3_interrupt(m_db);
}

bool Connection::limitStepsUntil(std::chrono::steady_clock::time_point deadline)
{
    if (m_pg)
        return false;
    m_stepDeadline = deadline;
    // Asked every thousand engine instructions: often enough to stop within a fraction of
    // a millisecond, rarely enough to cost nothing measurable.
    sqlite3_progress_handler(m_db, 1000, [](void *self) -> int {
        return std::chrono::steady_clock::now() >= static_cast<Connection *>(self)->m_stepDeadline ? 1 : 0;
    }, this);
    return true;
}

void Connection::unlimitSteps()
{
    if (!m_pg)
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

bool Connection::inTransaction() const
{
    if (m_pg)
        return m_pg->inTransaction();
    return sqlite3_get_autocommit(m_db) == 0;
}

qint64 Connection::lastInsertId() const
{
    if (m_pg)
        return m_pg->lastInsertId();
    return sqlite3_last_insert_rowid(m_db);
}

int Connection::changes() const
{
    if (m_pg)
        return m_pg->changes();
    return sqlite3_changes(m_db);
}

QList<ColumnInfo> Connection::tableColumns(const QString &table)
{
    if (m_pg)
        return m_pg->tableColumns(table);
    QList<ColumnInfo> columns;
    QString name = table;
    name.replace(QLatin1Char('"'), QLatin1String("\"\""));
    Statement statement(*this, QStringLiteral("PRAGMA table_info(\"%1\")").arg(name));
    while (statement.step())
        columns.append({statement.value(1).toString(), statement.value(2).toString(),
                        statement.value(5).toInt() > 0});
    return columns;
}

bool Connection::isTable(const QString &name)
{
    if (m_pg)
        return m_pg->isTable(name);
    Statement statement(*this, QStringLiteral(
        "select 1 from sqlite_master where type='table' and name=?1 collate nocase"));
    statement.bind(1, name);
    return statement.step();
}

Statement::Statement(Connection &connection, const QString &engineSql)
    : m_connection(connection)
{
    if (connection.m_pg) {
        m_pg = std::make_unique<PgStatement>(connection.m_pg, engineSql);
        return;
    }
    const QByteArray text = engineSql.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(connection.m_db, text.constData(), int(text.size()), &m_stmt, &tail) != SQLITE_OK)
        connection.fail(engineSql);
    // The engine prepares the first statement and leaves the rest: an empty text
    // would run as nothing ("not an error"), and text after the statement would be
    // dropped without a word. Only blanks, comments and semicolons may follow.
    if (!m_stmt)
        throw DbError(QStringLiteral("SQL 语句为空: 没有要执行的语句"));
    const char *end = text.constData() + text.size();
    while (tail && tail < end) {
        sqlite3_stmt *extra = nullptr;
        const char *next = nullptr;
        const int rc = sqlite3_prepare_v2(connection.m_db, tail, int(end - tail), &extra, &next);
        sqlite3_finalize(extra);
        if (rc != SQLITE_OK || extra) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            throw DbError(QStringLiteral("语句之后有多余的文本: %1").arg(StatementGuard::excerpt(QString::fromUtf8(tail, int(end - tail)))));
        }
        if (next == tail)
            break;
        tail = next;
    }
}

Statement::~Statement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

int Statement::parameterCount() const
{
    if (m_pg)
        return m_pg->parameterCount();
    return sqlite3_bind_parameter_count(m_stmt);
}

QString Statement::parameterName(int index) const
{
    if (m_pg)
        return m_pg->parameterName(index);
    const char *name = sqlite3_bind_parameter_name(m_stmt, index);
    return name ? QString::fromUtf8(name + 1) : QString();
}

void Statement::bind(int index, const QVariant &value)
{
    if (m_pg)
        return m_pg->bind(index, value);
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QDate:
            rc = sqlite3_bind_text(m_stmt, index,
                                   value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8().constData(),
                                   -1, SQLITE_TRANSIENT);
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        m_connection.fail();
}

bool Statement::step()
{
    if (!m_started) {
        m_started = true;
        FaultInjection::statementStarting();
    }
    if (m_pg)
        return m_pg->step();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_connection.fail();
}

void Statement::reset()
{
    if (m_pg) {
        m_pg->reset();
        m_started = false;
        return;
    }
    // The result code repeats the last step's error, which was reported then.
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_started = false;
}

int Statement::columnCount() const
{
    if (m_pg)
        return m_pg->columnCount();
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    if (m_pg)
        return m_pg->columnName(column);
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString Statement::declaredType(int column) const
{
    if (m_pg)
        return m_pg->declaredType(column);
    const char *type = sqlite3_column_decltype(m_stmt, column);
    return type ? QString::fromUtf8(type) : QString();
}

QVariant Statement::value(int column) const
{
    if (m_pg)
        return m_pg->value(column);
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    case SQLITE_NULL:
        return {};
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
    }
    }
}

Statement::ColumnType Statement::columnType(int column) const
{
    if (m_pg)
        return m_pg->columnType(column);
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL:
        return ColumnType::Null;
    case SQLITE_INTEGER:
        return ColumnType::Integer;
    case SQLITE_FLOAT:
        return ColumnType::Float;
    case SQLITE_BLOB:
        return ColumnType::Blob;
    default:
        return ColumnType::Text;
    }
}

qint64 Statement::columnInt64(int column) const
{
    if (m_pg)
        return m_pg->columnInt64(column);
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::columnDouble(int column) const
{
    if (m_pg)
        return m_pg->columnDouble(column);
    return sqlite3_column_double(m_stmt, column);
}

QByteArrayView Statement::textBytes(int column) const
{
    if (m_pg)
        return m_pg->textBytes(column);
    // Text first, then its length: the engine documents this order as the one that
    // converts at most once.
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(text, sqlite3_column_bytes(m_stmt, column));
}

bool Connection::backupTo(const QString &path, const std::function<bool(int, int)> &progress)
{
    if (m_pg)
        throw DbError(QStringLiteral("数据库服务器的数据请用复制命令备份到文件"));
    if (!sqlite3_get_autocommit(m_db))
        throw DbError(QStringLiteral("事务进行中,不能备份数据库"));
    QByteArray mode;
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, "PRAGMA journal_mode", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            mode = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))).toLower();
        sqlite3_finalize(stmt);
    }
    return mode == "wal" ? pageBackup(path, progress) : copyFileLocked(path, progress);
}

bool Connection::copyFileLocked(const QString &path, const std::function<bool(int, int)> &progress)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw DbError(QStringLiteral("无法写入备份文件 %1: %2").arg(path, DiskSpace::writeFailure(path, out.errorString())), DbError::Kind::CannotOpen);
    runScript("BEGIN");
    // Reading the first page takes the shared lock (and rolls back a journal a crashed
    // writer left); it is held until the transaction ends.
    qint64 objects = 0;
    const int rc = probe(m_db, "select count(*) from sqlite_master", &objects);
    const auto end = qScopeGuard([this] { sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr); });
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("备份数据库失败 %1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(m_db))), kindOf(rc));
    QFile in(m_path);
    if (!in.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("无法读取数据库文件 %1: %2").arg(m_path, in.errorString()), DbError::Kind::CannotOpen);
    // Blocks of 32 MB copied inside the kernel where it can (no trip through this
    // process), else read and written; the progress moves after each block.
    constexpr qint64 Block = 32 << 20;
    const qint64 size = in.size();
    const int total = int((size + Block - 1) / Block);
    bool inKernel = true;
    QByteArray buffer;
    qint64 copied = 0;
    for (int done = 0; copied < size; ++done) {
        if (progress && !progress(done, total))
            return false;
        const qint64 want = std::min(Block, size - copied);
        qint64 got = 0;
        if (inKernel) {
            while (got < want) {
                const ssize_t n = ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, size_t(want - got), 0);
                if (n <= 0) {
                    if (got == 0 && copied == 0)
                        inKernel = false; // another file system or kernel: read and write instead
                    break;
                }
                got += n;
            }
        }
        if (!inKernel) {
            buffer.resize(Block);
            got = in.read(buffer.data(), want);
            if (got < 0)
                throw DbError(QStringLiteral("无法读取数据库文件 %1: %2").arg(m_path, in.errorString()));
            if (got > 0 && out.write(buffer.constData(), got) != got)
                throw DbError(QStringLiteral("无法写入备份文件 %1: %2").arg(path, DiskSpace::writeFailure(path, out.errorString())));
        }
        if (got <= 0)
            throw DbError(QStringLiteral("无法写入备份文件 %1: %2").arg(path, DiskSpace::writeFailure(path, QString::fromLocal8Bit(std::strerror(errno)))));
        copied += got;
    }
    if (progress)
        progress(total, total);
    if (!out.flush() || ::fsync(out.handle()) != 0)
        throw DbError(QStringLiteral("无法写入备份文件 %1: %2").arg(path, DiskSpace::writeFailure(path, out.errorString())));
    return true;
}

bool Connection::pageBackup(const QString &path, const std::function<bool(int, int)> &progress)
{
    sqlite3 *target = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString message = target ? QString::fromUtf8(sqlite3_errmsg(target)) : QStringLiteral("out of memory");
        sqlite3_close(target);
        throw DbError(QStringLiteral("无法写入备份文件 %1: %2").arg(path, DiskSpace::writeFailure(path, message)), DbError::Kind::CannotOpen);
    }
    const auto closeTarget = std::unique_ptr<sqlite3, int (*)(sqlite3 *)>(target, sqlite3_close_v2);
    if (sqlite3_key(target, m_password.constData(), int(m_password.size())) != SQLITE_OK)
        throw DbError(QStringLiteral("无法写入备份文件 %1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(target))),
                      DbError::Kind::CannotOpen);
    sqlite3_backup *backup = sqlite3_backup_init(target, "main", m_db, "main");
    if (!backup)
        throw DbError(QStringLiteral("无法写入备份文件 %1: %2").arg(path, DiskSpace::writeFailure(path, QString::fromUtf8(sqlite3_errmsg(target)))));

    // Steps of 8 MB or so keep the progress moving; a copy that a writer overtook (pages
    // left grow again) starts over, and after a few of those the rest goes in one step.
    constexpr int PagesPerStep = 2048;
    int restarts = 0;
    int busyWaits = 0;
    int lastRemaining = -1;
    bool stopped = false;
    int rc = SQLITE_OK;
    for (;;) {
        rc = sqlite3_backup_step(backup, restarts >= 3 ? -1 : PagesPerStep);
        const int remaining = sqlite3_backup_remaining(backup);
        const int total = sqlite3_backup_pagecount(backup);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // Another program holds the file locked: wait as long as any statement would.
            if (++busyWaits * 20 > BusyTimeoutMs)
                break;
            sqlite3_sleep(20);
            continue;
        }
        busyWaits = 0;
        if (rc != SQLITE_OK)
            break;
        if (lastRemaining >= 0 && remaining > lastRemaining)
            ++restarts;
        lastRemaining = remaining;
        if (progress && !progress(total - remaining, total)) {
            stopped = true;
            break;
        }
    }
    sqlite3_backup_finish(backup);
    if (stopped)
        return false;
    if (rc != SQLITE_DONE)
        throw DbError(QStringLiteral("备份数据库失败 %1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(target))),
                      kindOf(rc));
    if (progress) {
        const int total = std::max(lastRemaining, 0);
        progress(total, total);
    }
    return true;
}

QStringList Connection::integrityProblems()
{
    if (m_pg)
        return {};
    QStringList problems;
    Statement check(*this, QStringLiteral("PRAGMA integrity_check"));
    while (check.step()) {
        const QString line = check.value(0).toString();
        if (line != QLatin1String("ok"))
            problems.append(line);
    }
    return problems;
}

void Connection::lockExclusively()
{
    if (m_pg) {
        if (m_pg->otherSessions() > 0)
            throw DbError(QStringLiteral("数据库正被其他程序使用: %1").arg(m_path), DbError::Kind::Busy);
        return;
    }
    // An exclusive lock is granted only while no other connection reads or writes.
    runScript("BEGIN EXCLUSIVE; COMMIT;");
}

void Connection::continueAutonumbers()
{
    if (m_pg)
        m_pg->continueAutonumbers();
}

void Connection::compact()
{
    if (m_pg)
        return m_pg->compact();
    lockExclusively();
    runScript("VACUUM;");
}
