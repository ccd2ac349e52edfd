#include "Schema.h"
#include "Connection.h"
#include "DbError.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>

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

QString schemaSql(SqlEngine engine)
{
    Q_UNUSED(engine);
    return resourceText(QStringLiteral(":/store/sql/schema.sql"));
}
QString initialRowsSql(SqlEngine engine)
{
    Q_UNUSED(engine);
    return resourceText(QStringLiteral(":/store/sql/initial_rows.sql"));
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
