#include "SchemaTranslation.h"
#include "DbError.h"
#include "SqlDialect.h"

#include <QHash>
#include <QRegularExpression>

namespace SchemaTranslation {

namespace {

struct ColumnDef
{
    QString name;
    QString type;     // as declared: "INTEGER", "VARCHAR(100)" ...
    QString rest;     // what follows the type, upper-cased words kept as written
    bool identity = false;
};

struct TableDef
{
    QString name;
    QList<ColumnDef> columns;
};

struct ViewDef
{
    QString name;
    QList<std::pair<QString, QString>> columns; // alias, "table.column" it is taken from
};

struct Parsed
{
    QList<TableDef> tables;
    QList<ViewDef> views;
};

// The schema holds no string literals, so a "--" always starts a comment.
QString withoutComments(const QString &statement)
{
    static const QRegularExpression line(QStringLiteral("--[^\n]*"));
    static const QRegularExpression block(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption);
    QString text = statement;
    text.remove(block);
    text.remove(line);
    return text.trimmed();
}

// Splits at the commas outside parentheses.
QStringList topLevelPieces(const QString &body)
{
    QStringList pieces;
    int depth = 0;
    int start = 0;
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (c == QLatin1Char(',') && depth == 0) {
            pieces.append(body.mid(start, i - start).trimmed());
            start = i + 1;
        }
    }
    pieces.append(body.mid(start).trimmed());
    pieces.removeAll(QString());
    return pieces;
}

ColumnDef parseColumn(const QString &table, const QString &piece)
{
    static const QRegularExpression column(
        QStringLiteral("^(\\w+)\\s+(\\w+(?:\\s*\\(\\s*\\d+(?:\\s*,\\s*\\d+)?\\s*\\))?)\\s*(.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = column.match(piece.simplified());
    if (!match.hasMatch())
        throw DbError(QStringLiteral("表 %1 的列定义无法识别: %2").arg(table, piece));
    ColumnDef def;
    def.name = match.captured(1);
    def.type = match.captured(2);
    def.type.remove(QLatin1Char(' '));
    def.rest = match.captured(3).trimmed();
    static const QRegularExpression autonumber(QStringLiteral("^PRIMARY\\s+KEY\\s+AUTOINCREMENT$"),
                                               QRegularExpression::CaseInsensitiveOption);
    def.identity = autonumber.match(def.rest).hasMatch();
    return def;
}

Parsed parse(const QString &schemaSql)
{
    static const QRegularExpression createTable(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)\\s*\\((.*)\\)$"),
                                                QRegularExpression::CaseInsensitiveOption
                                                    | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression createView(QStringLiteral("^CREATE\\s+VIEW\\s+(\\w+)\\s+AS\\s+SELECT\\s+(.*?)\\s+FROM\\s"),
                                               QRegularExpression::CaseInsensitiveOption
                                                   | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression viewColumn(QStringLiteral("^(\\w+)\\.(\\w+)\\s+AS\\s+(\\w+)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    Parsed parsed;
    for (const QString &statement : SqlDialect::splitStatements(schemaSql)) {
        const QString text = withoutComments(statement);
        if (QRegularExpressionMatch m = createTable.match(text); m.hasMatch()) {
            TableDef table;
            table.name = m.captured(1);
            for (const QString &piece : topLevelPieces(m.captured(2)))
                table.columns.append(parseColumn(table.name, piece));
            parsed.tables.append(table);
        } else if (QRegularExpressionMatch v = createView.match(text); v.hasMatch()) {
            ViewDef view;
            view.name = v.captured(1);
            for (const QString &piece : topLevelPieces(v.captured(2))) {
                const QRegularExpressionMatch c = viewColumn.match(piece.simplified());
                if (!c.hasMatch())
                    throw DbError(QStringLiteral("视图 %1 的列无法识别: %2").arg(view.name, piece));
                view.columns.append({c.captured(3), c.captured(1) + QLatin1Char('.') + c.captured(2)});
            }
            parsed.views.append(view);
        }
    }
    return parsed;
}

QString postgresColumn(const QString &table, const ColumnDef &def)
{
    const QString type = def.type.toUpper();
    QString rest = def.rest;
    static const QRegularExpression nocase(QStringLiteral("\\s*COLLATE\\s+NOCASE\\b"), QRegularExpression::CaseInsensitiveOption);
    const bool caseless = rest.contains(nocase);
    rest.remove(nocase);
    rest = rest.trimmed();
    QString server;
    if (def.identity) {
        if (type != QLatin1String("INTEGER"))
            throw DbError(QStringLiteral("表 %1 的自动编号列 %2 不是 INTEGER").arg(table, def.name));
        server = QStringLiteral("integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY");
        rest.clear();
    } else if (type == QLatin1String("INTEGER")) {
        server = QStringLiteral("integer");
    } else if (type.startsWith(QLatin1String("VARCHAR")) || type == QLatin1String("LONGTEXT") || type == QLatin1String("TEXT")) {
        server = caseless ? QStringLiteral("citext") : QStringLiteral("text");
    } else if (type == QLatin1String("DATETEXT")) {
        server = QStringLiteral("date");
    } else if (type == QLatin1String("BOOLEAN")) {
        server = QStringLiteral("smallint");
    } else if (type == QLatin1String("CURRENCY")) {
        server = QStringLiteral("numeric(19,4)");
    } else if (type == QLatin1String("DOUBLE")) {
        server = QStringLiteral("double precision");
    } else {
        throw DbError(QStringLiteral("表 %1 的列 %2 的类型 %3 在服务器上没有对应类型").arg(table, def.name, def.type));
    }
    return rest.isEmpty() ? server : server + QLatin1Char(' ') + rest;
}

} // namespace

QList<DeclaredColumn> declaredColumns(const QString &schemaSql)
{
    const Parsed parsed = parse(schemaSql);
    QList<DeclaredColumn> result;
    QHash<QString, QString> typeOf; // "table.column" in lower case -> declared type
    for (const TableDef &table : parsed.tables)
        for (const ColumnDef &column : table.columns) {
            result.append({table.name, column.name, column.type});
            typeOf.insert((table.name + QLatin1Char('.') + column.name).toLower(), column.type);
        }
    for (const ViewDef &view : parsed.views)
        for (const auto &[alias, source] : view.columns) {
            const auto type = typeOf.constFind(source.toLower());
            if (type == typeOf.constEnd())
                throw DbError(QStringLiteral("视图 %1 的列 %2 取自不存在的列 %3").arg(view.name, alias, source));
            result.append({view.name, alias, *type});
        }
    return result;
}

QList<IdentityColumn> identityColumns(const QString &schemaSql)
{
    QList<IdentityColumn> result;
    for (const TableDef &table : parse(schemaSql).tables)
        for (const ColumnDef &column : table.columns)
            if (column.identity)
                result.append({table.name, column.name});
    return result;
}

QString toPostgres(const QString &schemaSql)
{
    static const QRegularExpression createTable(QStringLiteral("^CREATE\\s+TABLE\\s"), QRegularExpression::CaseInsensitiveOption);
    const Parsed parsed = parse(schemaSql);
    QString out = QStringLiteral("-- Server form of the schema, derived from the file's schema script.\n"
                                 "CREATE EXTENSION IF NOT EXISTS citext;\n");
    qsizetype nextTable = 0;
    for (const QString &statement : SqlDialect::splitStatements(schemaSql)) {
        if (SqlDialect::isBlank(statement))
            continue;
        if (createTable.match(withoutComments(statement)).hasMatch()) {
            const TableDef &table = parsed.tables.at(nextTable++);
            QStringList columns;
            for (const ColumnDef &column : table.columns)
                columns.append(QStringLiteral("  ") + column.name + QLatin1Char(' ') + postgresColumn(table.name, column));
            out += QStringLiteral("\nCREATE TABLE ") + table.name + QStringLiteral(" (\n") + columns.join(QStringLiteral(",\n"))
                   + QStringLiteral("\n);\n");
        } else {
            out += QLatin1Char('\n') + withoutComments(SqlDialect::toEngine(statement, SqlEngine::Postgres))
                   + QStringLiteral(";\n");
        }
    }
    return out;
}

QString identityResetSql(const QList<IdentityColumn> &keys)
{
    QString out;
    for (const IdentityColumn &key : keys) {
        const QString table = key.table.toLower();
        const QString column = key.column.toLower();
        out += QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), coalesce(max(%2), 0) + 1, false) FROM %1;\n")
                   .arg(table, column);
    }
    return out;
}

} // namespace SchemaTranslation
