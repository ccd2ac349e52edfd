#pragma once
// The benchmarks' baseline: the same file opened and stepped with the engine's C API
// directly, beside the program's own data layer. Only bench/ does this; the program
// reaches the engine through Connection and Statement alone.
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/SqliteApi.h"

#include <QString>
#include <QVariant>

class RawEngine
{
public:
    explicit RawEngine(const QString &path)
    {
        const QByteArray file = path.toUtf8();
        const QByteArray key = Connection::DatabasePassword;
        if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
            || sqlite3_key(m_db, key.constData(), int(key.size())) != SQLITE_OK)
            throw DbError(QStringLiteral("raw open failed: %1").arg(path));
        sqlite3_busy_timeout(m_db, Connection::BusyTimeoutMs);
    }
    ~RawEngine() { sqlite3_close_v2(m_db); }
    RawEngine(const RawEngine &) = delete;
    RawEngine &operator=(const RawEngine &) = delete;

    sqlite3_stmt *prepare(const QString &engineSql) const
    {
        const QByteArray text = engineSql.toUtf8();
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return stmt;
    }
    // Binds an integer as an integer and anything else as text, as Statement::bind does.
    static void bind(sqlite3_stmt *stmt, int index, const QVariant &value)
    {
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
            sqlite3_bind_int64(stmt, index, value.toLongLong());
        } else {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }

private:
    sqlite3 *m_db = nullptr;
};
