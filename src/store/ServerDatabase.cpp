#include "ServerDatabase.h"
#include "Connection.h"
#include "DbError.h"
#include "Schema.h"
#include "SqlDialect.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace ServerDatabase {

QString Address::uri() const
{
    // Written by hand: QUrl refuses a user name without a host, which is how a URI names a
    // server on a local socket.
    auto part = [](const QString &text) { return QString::fromLatin1(QUrl::toPercentEncoding(text.trimmed())); };
    const QString who = user.trimmed().isEmpty() ? QString() : part(user) + QLatin1Char('@');
    const QString prefix = QStringLiteral("postgresql://") + who;
    if (host.trimmed().startsWith(QLatin1Char('/')))
        return prefix + QLatin1Char('/') + part(database) + QStringLiteral("?host=")
               + QString::fromLatin1(QUrl::toPercentEncoding(host.trimmed(), "/"))
               + QStringLiteral("&port=") + QString::number(port);
    const QString name = host.trimmed().isEmpty() ? QStringLiteral("localhost") : host.trimmed();
    return prefix + name + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + part(database);
}

Address Address::fromUri(const QString &uri)
{
    static const QRegularExpression form(QStringLiteral(
        "^postgres(?:ql)?://(?:([^@/]*)@)?(\\[[^\\]]*\\]|[^/?:]*)(?::(\\d+))?(?:/([^?]*))?(?:\\?(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(uri.trimmed());
    auto decoded = [](const QString &text) { return QUrl::fromPercentEncoding(text.toUtf8()); };
    Address address;
    if (!match.hasMatch())
        return address;
    address.user = decoded(match.captured(1));
    address.host = decoded(match.captured(2));
    if (!match.captured(3).isEmpty())
        address.port = match.captured(3).toInt();
    address.database = decoded(match.captured(4));
    const QUrlQuery query(match.captured(5));
    if (query.hasQueryItem(QStringLiteral("host")))
        address.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    if (query.hasQueryItem(QStringLiteral("port")))
        address.port = query.queryItemValue(QStringLiteral("port")).toInt();
    return address;
}

void initialise(const QString &uri)
{
    auto connection = Connection::create(uri);
    if (connection->isTable(QStringLiteral("custom")) || connection->isTable(QStringLiteral("admin")))
        throw DbError(QStringLiteral("服务器数据库中已有本系统的表,未作任何改动: %1").arg(Connection::shownLocation(uri)));
    connection->begin();
    try {
        connection->execScript(Schema::schemaSql(SqlEngine::Postgres));
        connection->execScript(Schema::initialRowsSql(SqlEngine::Postgres));
        connection->commit();
    } catch (...) {
        connection->rollback();
        throw;
    }
}

namespace {

// The program's tables in the schema's order (views left out: they hold no rows).
QStringList programTables(Connection &connection)
{
    QStringList tables;
    QSet<QString> seen;
    for (const auto &column : Schema::declaredColumns()) {
        const QString table = column.table;
        if (seen.contains(table.toLower()))
            continue;
        seen.insert(table.toLower());
        if (connection.isTable(table))
            tables.append(table);
    }
    return tables;
}

bool isDateColumn(const QString &declaredType)
{
    return declaredType.contains(QLatin1String("DATETEXT"), Qt::CaseInsensitive);
}

// A date column's value as the target stores it: yyyy-MM-dd text on the file (as the
// program writes dates), a date on the server (which reads that same text).
QVariant dateValue(const QVariant &value, bool *valid)
{
    *valid = true;
    if (value.isNull())
        return value;
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return QVariant();
    const QString date = SqlDialect::normalizeDate(text);
    if (date.isEmpty())
        *valid = false;
    return date;
}

} // namespace

CopyResult copyTables(Connection &from, Connection &to,
                      const std::function<bool(const QString &table, qint64 rows)> &progress)
{
    CopyResult result;
    const QStringList tables = programTables(from);
    to.begin();
    try {
        for (const QString &table : tables) {
            if (!to.isTable(table))
                throw DbError(QStringLiteral("目标数据库中没有表 %1").arg(table));
            QSet<QString> targetColumns;
            QHash<QString, QString> targetTypes;
            for (const ColumnInfo &column : to.tableColumns(table)) {
                targetColumns.insert(column.name.toLower());
                targetTypes.insert(column.name.toLower(), column.declaredType);
            }
            QStringList names, sourceNames, marks;
            QList<bool> dates;
            for (const ColumnInfo &column : from.tableColumns(table)) {
                if (!targetColumns.contains(column.name.toLower()))
                    continue;
                names.append(column.name);
                sourceNames.append(from.quoteName(column.name));
                marks.append(QStringLiteral("?%1").arg(marks.size() + 1));
                dates.append(isDateColumn(column.declaredType) || isDateColumn(targetTypes.value(column.name.toLower())));
            }
            QStringList targetNames;
            for (const QString &name : names)
                targetNames.append(to.quoteName(name));
            to.exec(QStringLiteral("DELETE FROM %1").arg(to.quoteName(table)));
            ++result.tables;
            if (names.isEmpty())
                continue;
            Statement read(from, QStringLiteral("SELECT %1 FROM %2").arg(sourceNames.join(QLatin1Char(',')),
                                                                       from.quoteName(table)));
            Statement write(to, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(to.quoteName(table), targetNames.join(QLatin1Char(',')),
                                         marks.join(QLatin1Char(','))));
            qint64 rows = 0;
            while (read.step()) {
                for (int c = 0; c < names.size(); ++c) {
                    QVariant value = read.value(c);
                    if (dates.at(c)) {
                        bool valid = true;
                        value = dateValue(value, &valid);
                        if (!valid)
                            throw DbError(QStringLiteral("表 %1 中 %2 为 %3 的行, 列 %4 不是有效的日期: %5")
                                              .arg(table, names.at(0), read.value(0).toString(), names.at(c),
                                                   read.value(c).toString()));
                    }
                    write.bind(c + 1, value);
                }
                try {
                    write.step();
                } catch (const DbError &error) {
                    throw DbError(QStringLiteral("表 %1 中 %2 为 %3 的行无法复制:\n%4")
                                      .arg(table, names.at(0), read.value(0).toString(), error.text()),
                                  error.kind());
                }
                write.reset();
                ++rows;
                if (progress && rows % 1000 == 0 && !progress(table, rows))
                    throw DbError(QStringLiteral("已取消"));
            }
            result.rows += rows;
            if (progress && !progress(table, rows))
                throw DbError(QStringLiteral("已取消"));
        }
        to.continueAutonumbers();
        to.commit();
    } catch (...) {
        to.rollback();
        throw;
    }
    return result;
}

CopyResult copy(const QString &from, const QString &to, bool replace,
                const std::function<bool(const QString &table, qint64 rows)> &progress)
{
    auto source = Connection::openReadOnly(from);
    if (!Connection::isServerLocation(to)) {
        if (QFileInfo::exists(to))
            throw DbError(QStringLiteral("文件已存在,未作任何改动: %1").arg(Connection::shownLocation(to)));
        Schema::createDatabase(to);
        try {
            auto target = Connection::open(to);
            return copyTables(*source, *target, progress);
        } catch (...) {
            QFile::remove(to);
            throw;
        }
    }
    {
        auto probe = Connection::create(to);
        if (!probe->isTable(QStringLiteral("custom"))) {
            probe.reset();
            initialise(to);
        }
    }
    auto target = Connection::open(to);
    if (!replace) {
        Statement customers(*target, QStringLiteral("SELECT count(*) FROM custom"));
        if (customers.step() && customers.columnInt64(0) > 0)
            throw DbError(QStringLiteral("服务器数据库中已有 %1 个客户,未作任何改动。要以复制的数据替换它们,请加 --replace。")
                              .arg(customers.columnInt64(0)));
    }
    return copyTables(*source, *target, progress);
}

} // namespace ServerDatabase
