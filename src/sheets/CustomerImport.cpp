#include "CustomerImport.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/queries/Import.h"

namespace CustomerImport {

namespace {

struct Plan
{
    QStringList customColumns, contactColumns;
    QList<int> customCells, contactCells; // spreadsheet column of each target
    QStringList customTitles, contactTitles;
};

Plan plan(Connection &connection)
{
    const QHash<QString, int> titles = Import::titleColumns(connection);
    const QStringList customKnown = Import::columnsOf(connection, QStringLiteral("custom"));
    const QStringList contactKnown = Import::columnsOf(connection, QStringLiteral("contact"));
    Plan p;
    for (const Import::Mapping &m : Import::mappings(connection)) {
        if (!m.mapped())
            continue;
        const bool customer = m.table.compare(QLatin1String("custom"), Qt::CaseInsensitive) == 0;
        const bool contact = m.table.compare(QLatin1String("contact"), Qt::CaseInsensitive) == 0;
        if (!customer && !contact)
            continue;
        // The customer's Name is never taken from a spreadsheet.
        if (customer && m.target.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
            continue;
        const int column = titles.value(m.title.toLower(), 0);
        if (column <= 0)
            throw Failure(QStringLiteral("字段“%1”对应的Excel列“%2”在Excel文件中不存在,请重新选择。").arg(m.caption, m.title));
        if (!(customer ? customKnown : contactKnown).contains(m.target.toLower())
            || m.target.compare(QLatin1String("CustCode"), Qt::CaseInsensitive) == 0)
            throw Failure(QStringLiteral("字段“%1”的目标列“%2”在表 %3 中不存在。").arg(m.caption, m.target, m.table));
        (customer ? p.customColumns : p.contactColumns).append(m.target);
        (customer ? p.customCells : p.contactCells).append(column);
        (customer ? p.customTitles : p.contactTitles).append(m.title);
    }
    if (p.customColumns.size() > MaxMappedColumns || p.contactColumns.size() > MaxMappedColumns)
        throw Failure(QStringLiteral("每个表最多可以映射 %1 个字段。").arg(MaxMappedColumns));
    return p;
}

} // namespace

int dataRowCount(const SheetData &sheet)
{
    int count = 0;
    for (int row = 2; row <= sheet.rowCount(); ++row)
        if (!sheet.isBlankRow(row))
            ++count;
    return count;
}

void checkMapping(Connection &connection)
{
    try {
        plan(connection);
    } catch (const DbError &error) {
        throw Failure(QStringLiteral("导入失败,没有导入任何数据。\n%1").arg(error.text()));
    }
}

bool run(Connection &connection, const SheetData &sheet, const std::function<bool(int, int)> &progress)
{
    Plan p;
    std::unique_ptr<Import::RowWriter> writer;
    qint64 code = 0;
    try {
        p = plan(connection);
        code = Import::highestCustomerCode(connection);
    } catch (const DbError &error) {
        throw Failure(QStringLiteral("导入失败,没有导入任何数据。\n%1").arg(error.text()));
    }
    const int total = dataRowCount(sheet);
    int done = 0;
    int row = 1;
    connection.begin();
    try {
        writer = std::make_unique<Import::RowWriter>(connection, p.customColumns, p.contactColumns);
        QStringList customValues, contactValues;
        for (row = 2; row <= sheet.rowCount(); ++row) {
            if (sheet.isBlankRow(row))
                continue;
            if (progress && done % 200 == 0 && !progress(done, total)) {
                writer.reset();
                connection.rollback();
                return false;
            }
            customValues.clear();
            contactValues.clear();
            for (int cell : std::as_const(p.customCells))
                customValues.append(sheet.text(row, cell));
            for (int cell : std::as_const(p.contactCells))
                contactValues.append(sheet.text(row, cell));
            writer->write(++code, customValues, contactValues);
            ++done;
        }
        writer.reset();
        connection.commit();
    } catch (const DbError &error) {
        writer.reset();
        connection.rollback();
        if (row >= 2 && row <= sheet.rowCount())
            throw Failure(QStringLiteral("导入Excel第 %1 行时出错,没有导入任何数据。\n%2").arg(row).arg(error.text()));
        throw Failure(QStringLiteral("导入失败,没有导入任何数据。\n%1").arg(error.text()));
    } catch (...) {
        writer.reset();
        connection.rollback();
        throw;
    }
    if (progress)
        progress(total, total);
    return true;
}

} // namespace CustomerImport
