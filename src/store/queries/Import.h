#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class Connection;
class Dataset;
class Statement;

// Statements of the customer import: the spreadsheet's titles in T_Temp, the mapping in
// T_Import and the rows it writes to custom and contact.
namespace Import {

// A mapping row: which spreadsheet title (F_Field) fills which column (S_Field) of which
// table ("custom" or "contact"). A blank title means the row is not mapped.
struct Mapping
{
    qint64 id = 0;
    QString table;
    QString target;
    QString caption;
    QString title;
    bool mapped() const { return !title.trimmed().isEmpty(); }
};

// The text an unmapped row holds, as the delivered rows do.
inline const QString Unmapped = QStringLiteral(" ");

// Replaces the titles of T_Temp with these (CellID 1, 2, ...) and proposes the i-th title
// for the i-th mapping row (in ImportID order); rows past the last title become unmapped.
// One transaction: on failure nothing changed. Throws DbError. With proposeMapping false
// the stored mapping is kept as it is (an import that runs with the mapping saved before).
void storeTitles(Connection &connection, const QStringList &titles, bool proposeMapping = true);

// The mapping grid's rows and the titles for its pick list.
void openMapping(Dataset &query);
void openTitles(Dataset &query);

// Every mapping row in ImportID order.
QList<Mapping> mappings(Connection &connection);
// Spreadsheet column of each title of T_Temp, compared without regard to case; of two
// columns with the same title the first one.
QHash<QString, int> titleColumns(Connection &connection);
// The column names of a table of the import ("custom" or "contact"), lower case.
QStringList columnsOf(Connection &connection, const QString &table);
// The highest customer code; 0 without customers.
qint64 highestCustomerCode(Connection &connection);

// Writes the imported rows: one customer and one contact per spreadsheet row, with the
// given columns (names checked against the tables) filled from the values in order.
class RowWriter
{
public:
    RowWriter(Connection &connection, const QStringList &customColumns, const QStringList &contactColumns);
    ~RowWriter();
    RowWriter(const RowWriter &) = delete;
    RowWriter &operator=(const RowWriter &) = delete;

    void write(qint64 custCode, const QStringList &customValues, const QStringList &contactValues);

private:
    std::unique_ptr<Statement> m_customer, m_contact;
};

} // namespace Import
