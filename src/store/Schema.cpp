#include "Schema.h"
#include "Connection.h"
#include "DbError.h"
#include "SqlDialect.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QRegularExpression>

static void initStoreResources()
{
    Q_INIT_RESOURCE(store);
}

namespace Schema {

static QString resourceText(const QString &name)
{
    initStoreResources();
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("缺少资源 %1").arg(name));
    return QString::fromUtf8(file.readAll());
}

static const QString &fileSchema()
{
    static const QString text = resourceText(QStringLiteral(":/store/sql/schema.sql"));
    return text;
}

QString schemaSql(SqlEngine engine)
{
    if (engine == SqlEngine::Postgres)
        return SchemaTranslation::toPostgres(fileSchema());
    return fileSchema();
}

QString initialRowsSql(SqlEngine engine)
{
    const QString rows = resourceText(QStringLiteral(":/store/sql/initial_rows.sql"));
    if (engine == SqlEngine::Postgres)
        return SqlDialect::toEngine(rows, SqlEngine::Postgres) + QStringLiteral("\n\n")
               + SchemaTranslation::identityResetSql(identityColumns());
    return rows;
}

QList<SchemaTranslation::DeclaredColumn> declaredColumns()
{
    static const QList<SchemaTranslation::DeclaredColumn> columns = SchemaTranslation::declaredColumns(fileSchema());
    return columns;
}

QList<SchemaTranslation::IdentityColumn> identityColumns()
{
    static const QList<SchemaTranslation::IdentityColumn> keys = SchemaTranslation::identityColumns(fileSchema());
    return keys;
}

void createDatabase(const QString &path)
{
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("文件已存在: %1").arg(path));
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto connection = Connection::create(path);
    try {
        connection->begin();
        connection->execScript(schemaSql());
        connection->execScript(initialRowsSql());
        connection->commit();
    } catch (...) {
        connection.reset();
        QFile::remove(path);
        throw;
    }
}

} // namespace Schema
