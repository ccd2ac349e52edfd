#include "CustomerImport.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/Schema.h"
#include "store/SqlDialect.h"
#include "store/queries/Import.h"

#include <QRegularExpression>

namespace CustomerImport {

namespace {

// What a target column takes from a cell.
struct Target
{
    int maxLength = MaxMemoLength; // characters
    bool date = false;
};

struct Plan
{
    QStringList customColumns, contactColumns;
    QList<int> customCells, contactCells; // spreadsheet column of each target
    QStringList customTitles, contactTitles;
    QList<Target> customTargets, contactTargets;
};

// The column as the schema declares it: VARCHAR(n) takes n characters, DATETEXT a date,
// LONGTEXT (and anything else) up to MaxMemoLength.
Target targetOf(const QString &table, const QString &column)
{
    static const QRegularExpression varchar(QStringLiteral("^VARCHAR\\((\\d+)\\)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    Target target;
    for (const SchemaTranslation::DeclaredColumn &declared : Schema::declaredColumns()) {
        if (declared.table.compare(table, Qt::CaseInsensitive) != 0
            || declared.column.compare(column, Qt::CaseInsensitive) != 0)
            continue;
        const QRegularExpressionMatch match = varchar.match(declared.declaredType.trimmed());
        if (match.hasMatch())
            target.maxLength = match.captured(1).toInt();
        target.date = declared.declaredType.compare(QLatin1String("DATETEXT"), Qt::CaseInsensitive) == 0;
        break;
    }
    return target;
}

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
        (customer ? p.customTargets : p.contactTargets).append(targetOf(m.table, m.target));
    }
    if (p.customColumns.size() > MaxMappedColumns || p.contactColumns.size() > MaxMappedColumns)
        throw Failure(QStringLiteral("每个表最多可以映射 %1 个字段。").arg(MaxMappedColumns));
    return p;
}

// The cell as it is stored, or a Failure naming the row and the column.
QString checkedValue(const SheetData &sheet, int row, int column, const QString &title, const Target &target)
{
    QString text = sheet.text(row, column);
    const auto refuse = [&](const QString &why) {
        throw Failure(QStringLiteral("Excel第 %1 行“%2”列%3,没有导入任何数据。").arg(row).arg(title, why));
    };
    if (text.contains(QChar(u'\0')))
        refuse(QStringLiteral("含有空字符(NUL)"));
    if (target.date && !text.trimmed().isEmpty()) {
        const QString date = SqlDialect::normalizeDate(text);
        if (date.isEmpty())
            refuse(QStringLiteral("的“%1”不是有效的日期").arg(text.left(40)));
        text = date.left(10);
    }
    if (text.size() > target.maxLength)
        refuse(QStringLiteral("有 %1 个字符,超过了该字段最多的 %2 个字符").arg(text.size()).arg(target.maxLength));
    return text;
}

bool allEmpty(const QStringList &values)
{
    for (const QString &value : values)
        if (!value.trimmed().isEmpty())
            return false;
    return true;
}

// The values of one row for one table; the cells' texts checked.
QStringList rowValues(const SheetData &sheet, int row, const QList<int> &cells, const QStringList &titles,
                      const QList<Target> &targets)
{
    QStringList values;
    for (int i = 0; i < cells.size(); ++i)
        values.append(checkedValue(sheet, row, cells.at(i), titles.at(i), targets.at(i)));
    return values;
}

} // namespace

int unmappedColumnCount(Connection &connection, const SheetData &sheet)
{
    Plan p;
    try {
        p = plan(connection);
    } catch (const DbError &error) {
        throw Failure(QStringLiteral("导入失败,没有导入任何数据。\n%1").arg(error.text()));
    }
    QList<bool> used(sheet.columnCount() + 1, false);
    for (int column : std::as_const(p.customCells))
        used[column] = true;
    for (int column : std::as_const(p.contactCells))
        used[column] = true;
    int unmapped = 0;
    for (int column = 1; column <= sheet.columnCount(); ++column) {
        if (used.at(column))
            continue;
        for (int row = 1; row <= sheet.rowCount(); ++row)
            if (!sheet.text(row, column).trimmed().isEmpty()) {
                ++unmapped;
                break;
            }
    }
    return unmapped;
}

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

bool run(Connection &connection, const SheetData &sheet, const std::function<bool(int, int)> &progress,
         Summary *summary)
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
    // Every cell is checked before the first row is stored.
    int skipped = 0;
    for (int r = 2; r <= sheet.rowCount(); ++r) {
        if (sheet.isBlankRow(r))
            continue;
        const QStringList customValues = rowValues(sheet, r, p.customCells, p.customTitles, p.customTargets);
        const QStringList contactValues = rowValues(sheet, r, p.contactCells, p.contactTitles, p.contactTargets);
        if (allEmpty(customValues) && allEmpty(contactValues))
            ++skipped;
    }
    const int total = dataRowCount(sheet) - skipped;
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
            customValues = rowValues(sheet, row, p.customCells, p.customTitles, p.customTargets);
            contactValues = rowValues(sheet, row, p.contactCells, p.contactTitles, p.contactTargets);
            if (allEmpty(customValues) && allEmpty(contactValues))
                continue; // a row with text only in columns nobody mapped makes no customer
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
    if (summary) {
        summary->imported = done;
        summary->skippedEmpty = skipped;
    }
    return true;
}

} // namespace CustomerImport
