#include "Import.h"
#include "Run.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/SqlDialect.h"
#include "store/Transaction.h"

namespace Import {

void storeTitles(Connection &connection, const QStringList &titles, bool proposeMapping)
{
    const bool ok = tryInTransaction(connection, [&] {
        Run::exec(connection, QStringLiteral("delete from T_Temp"));
        Statement insert(connection, SqlDialect::toEngine(
                                         QStringLiteral("insert into T_Temp (S_Field, CellID) values (:S_Field, :CellID)"), connection.engine()));
        for (int i = 0; i < titles.size(); ++i) {
            insert.reset();
            insert.bind(1, titles.at(i));
            insert.bind(2, i + 1);
            insert.step();
        }
        if (!proposeMapping)
            return;
        Dataset rows(&connection);
        Run::open(rows, QStringLiteral("select ImportID from T_Import order by ImportID"));
        Statement update(connection, SqlDialect::toEngine(
                                         QStringLiteral("update T_Import set F_Field=:F_Field where ImportID=:ImportID"), connection.engine()));
        for (int row = 0; row < rows.recordCount(); ++row) {
            update.reset();
            const QString title = row < titles.size() ? titles.at(row) : QString();
            update.bind(1, title.trimmed().isEmpty() ? Unmapped : title);
            update.bind(2, rows.value(row, 0));
            update.step();
        }
    });
    if (!ok)
        throw DbError(QStringLiteral("无法保存Excel列名。"));
}

void openMapping(Dataset &query)
{
    Run::open(query, QStringLiteral("Select * from T_Import order by ImportID"));
}

void openTitles(Dataset &query)
{
    Run::open(query, QStringLiteral("Select * from T_Temp order by CellID"));
}

QList<Mapping> mappings(Connection &connection)
{
    Dataset rows(&connection);
    Run::open(rows, QStringLiteral("select ImportID, tablename, S_Field, FieldName, F_Field from T_Import order by ImportID"));
    QList<Mapping> result;
    for (int row = 0; row < rows.recordCount(); ++row)
        result.append({rows.value(row, 0).toLongLong(), rows.value(row, 1).toString(), rows.value(row, 2).toString(),
                       rows.value(row, 3).toString(), rows.value(row, 4).toString()});
    return result;
}

QHash<QString, int> titleColumns(Connection &connection)
{
    Dataset rows(&connection);
    Run::open(rows, QStringLiteral("select S_Field, CellID from T_Temp order by CellID"));
    QHash<QString, int> result;
    for (int row = 0; row < rows.recordCount(); ++row) {
        const QString title = rows.value(row, 0).toString().toLower();
        if (!result.contains(title))
            result.insert(title, rows.value(row, 1).toInt());
    }
    return result;
}

QStringList columnsOf(Connection &connection, const QString &table)
{
    QStringList names;
    for (const ColumnInfo &column : connection.tableColumns(table))
        names.append(column.name.toLower());
    return names;
}

qint64 highestCustomerCode(Connection &connection)
{
    return Run::scalar(connection, QStringLiteral("select max(CustCode) as T_Code from Custom")).toLongLong();
}

namespace {

std::unique_ptr<Statement> insertInto(Connection &connection, const QString &table, const QStringList &columns)
{
    const QStringList known = columnsOf(connection, table);
    QStringList names{QStringLiteral("CustCode")}, values{QStringLiteral(":CustCode")};
    for (const QString &column : columns) {
        if (!known.contains(column.toLower()))
            throw DbError(QStringLiteral("表 %1 中没有列 %2").arg(table, column));
        names.append(QLatin1Char('[') + Run::requireIdentifier(column, QStringLiteral("列名")) + QLatin1Char(']'));
        values.append(QStringLiteral(":V%1").arg(values.size()));
    }
    return std::make_unique<Statement>(connection, SqlDialect::toEngine(
        QStringLiteral("insert into %1 (%2) values (%3)").arg(table, names.join(QLatin1Char(',')), values.join(QLatin1Char(','))), connection.engine()));
}

void run(Statement &insert, qint64 custCode, const QStringList &values)
{
    insert.reset();
    insert.bind(1, custCode);
    for (int i = 0; i < values.size(); ++i)
        insert.bind(i + 2, values.at(i));
    insert.step();
}

} // namespace

RowWriter::RowWriter(Connection &connection, const QStringList &customColumns, const QStringList &contactColumns)
    : m_customer(insertInto(connection, QStringLiteral("custom"), customColumns)),
      m_contact(insertInto(connection, QStringLiteral("contact"), contactColumns))
{
}

RowWriter::~RowWriter() = default;

void RowWriter::write(qint64 custCode, const QStringList &customValues, const QStringList &contactValues)
{
    run(*m_customer, custCode, customValues);
    run(*m_contact, custCode, contactValues);
}

} // namespace Import
