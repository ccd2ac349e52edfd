#include "SchemaCheck.h"
#include "store/Connection.h"
#include "store/Schema.h"

#include <QHash>
#include <QMutex>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>

namespace {

// A schema as the engine records it: table -> its columns, and the statement text of
// every view, index and trigger, all names in lower case.
struct SchemaShape
{
    QMap<QString, QStringList> tables; // lower-case table -> lower-case columns
    QHash<QString, QString> tableNames;  // lower case -> as spelled
    QMap<QString, QString> views, indexes, triggers; // lower-case name -> normalised statement
};

// Statement text with its blanks collapsed and in lower case, so only what it does counts.
QString normalised(const QString &sql)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return sql.simplified().replace(blanks, QStringLiteral(" ")).toLower();
}

SchemaShape shapeOf(Connection &connection)
{
    SchemaShape shape;
    Statement objects(connection, QStringLiteral(
        "select type, name, coalesce(sql, '') from sqlite_master where name not like 'sqlite_%' order by type, name"));
    QStringList tableList;
    while (objects.step()) {
        const QString type = objects.value(0).toString();
        const QString name = objects.value(1).toString();
        const QString key = name.toLower();
        const QString sql = normalised(objects.value(2).toString());
        if (type == u"table") {
            tableList.append(name);
            shape.tableNames.insert(key, name);
        } else if (type == u"view") {
            shape.views.insert(key, sql);
        } else if (type == u"index") {
            shape.indexes.insert(key, sql);
        } else if (type == u"trigger") {
            shape.triggers.insert(key, sql);
        }
    }
    for (const QString &table : tableList) {
        Statement columns(connection, QStringLiteral("pragma table_info(%1)").arg(connection.quoteName(table)));
        QStringList names;
        while (columns.step())
            names.append(columns.value(1).toString().toLower());
        shape.tables.insert(table.toLower(), names);
    }
    return shape;
}

// The program's own schema, built once per process.
const SchemaShape &programShape()
{
    static QMutex mutex;
    static std::optional<SchemaShape> shape;
    QMutexLocker lock(&mutex);
    if (!shape) {
        // A scratch file: the engine takes no key for a database in memory.
        QTemporaryDir folder;
        auto scratch = Connection::create(folder.filePath(QStringLiteral("schema.mdb")));
        scratch->begin(); // one write to the disk instead of one per table
        scratch->execScript(Schema::schemaSql());
        scratch->commit();
        shape = shapeOf(*scratch);
    }
    return *shape;
}

} // namespace

namespace SchemaCheck {

Differences compare(Connection &connection)
{
    const SchemaShape &ours = programShape();
    const SchemaShape theirs = shapeOf(connection);
    Differences result;
    // Whole missing tables first: they say most about a file in a short message.
    for (auto table = ours.tables.cbegin(); table != ours.tables.cend(); ++table)
        if (!theirs.tables.contains(table.key()))
            result.refusals.append(QStringLiteral("缺少表 %1").arg(ours.tableNames.value(table.key())));
    for (auto table = ours.tables.cbegin(); table != ours.tables.cend(); ++table) {
        const QString spelled = ours.tableNames.value(table.key());
        if (!theirs.tables.contains(table.key()))
            continue;
        const QStringList present = theirs.tables.value(table.key());
        for (const QString &column : table.value())
            if (!present.contains(column))
                result.refusals.append(QStringLiteral("表 %1 缺少列 %2").arg(spelled, column));
        for (const QString &column : present)
            if (!table.value().contains(column))
                result.notes.append(QStringLiteral("表 %1 多出列 %2").arg(spelled, column));
    }
    for (auto table = theirs.tables.cbegin(); table != theirs.tables.cend(); ++table)
        if (!ours.tables.contains(table.key()))
            result.notes.append(QStringLiteral("多出表 %1").arg(theirs.tableNames.value(table.key())));
    for (auto view = ours.views.cbegin(); view != ours.views.cend(); ++view)
        if (!theirs.views.contains(view.key()))
            result.refusals.append(QStringLiteral("缺少视图 %1").arg(view.key()));
    for (auto view = theirs.views.cbegin(); view != theirs.views.cend(); ++view) {
        if (!ours.views.contains(view.key()))
            result.refusals.append(QStringLiteral("多出本系统不创建的视图 %1").arg(view.key()));
        else if (ours.views.value(view.key()) != view.value())
            result.refusals.append(QStringLiteral("视图 %1 与本系统创建的不同").arg(view.key()));
    }
    for (auto trigger = theirs.triggers.cbegin(); trigger != theirs.triggers.cend(); ++trigger)
        if (ours.triggers.value(trigger.key()) != trigger.value())
            result.refusals.append(QStringLiteral("多出本系统不创建的触发器 %1").arg(trigger.key()));
    for (auto index = ours.indexes.cbegin(); index != ours.indexes.cend(); ++index)
        if (!theirs.indexes.contains(index.key()))
            result.notes.append(QStringLiteral("缺少索引 %1").arg(index.key()));
    for (auto index = theirs.indexes.cbegin(); index != theirs.indexes.cend(); ++index)
        if (!ours.indexes.contains(index.key()))
            result.notes.append(QStringLiteral("多出索引 %1").arg(index.key()));
    return result;
}

QString describe(const QStringList &items, int limit)
{
    QString text = items.mid(0, limit).join(QStringLiteral("; "));
    if (items.size() > limit)
        text += QStringLiteral(" 等 %1 处").arg(items.size());
    return text;
}

QString refusalText(const Differences &differences)
{
    return QStringLiteral("数据库结构与本系统不符: ") + describe(differences.refusals);
}

bool isRefusalText(const QString &text)
{
    return text.startsWith(QStringLiteral("数据库结构与本系统不符: "));
}

} // namespace SchemaCheck
