#include "Schema.h"
#include "Connection.h"
#include "DbError.h"

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

QList<DeclaredColumn> declaredColumns()
{
    static const QList<DeclaredColumn> columns = [] {
        QList<DeclaredColumn> list;
        static const QRegularExpression table(QStringLiteral("CREATE TABLE\\s+(\\w+)\\s*\\((.*?)\\n\\);"),
                                              QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression column(QStringLiteral("^\\s*(\\w+)\\s+([A-Za-z]+)"));
        auto tables = table.globalMatch(schemaSql());
        while (tables.hasNext()) {
            const auto match = tables.next();
            for (const QString &line : match.captured(2).split(QLatin1Char('\n'))) {
                const auto c = column.match(line);
                if (c.hasMatch() && !line.trimmed().startsWith(QLatin1String("--")))
                    list.append({match.captured(1), c.captured(1), c.captured(2)});
            }
        }
        return list;
    }();
    return columns;
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
