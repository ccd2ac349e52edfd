#pragma once

#include "Spreadsheet.h"

#include <QString>
#include <functional>
#include <stdexcept>

class Connection;

// The customer import without its windows: every data row of a sheet (row 2 on) becomes
// one new customer and one contact with the next customer codes, filled through the
// mapping of T_Import. The whole run is one transaction: it is stored completely or,
// on any failure or a cancel, not at all.
namespace CustomerImport {

// Per table the run takes at most this many mapped columns.
inline constexpr int MaxMappedColumns = 51;

// A run refused or failed; the text is for the operator and names the mapping, the
// spreadsheet row or the column that caused it. Nothing was stored.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The data rows the run imports: rows 2 on that hold any text (wholly blank rows make no
// customer).
int dataRowCount(const SheetData &sheet);

// Refuses a mapping that cannot run: a title that names no spreadsheet column, a target
// column its table does not have, more than MaxMappedColumns mapped columns of a table.
// Throws Failure; changes nothing.
void checkMapping(Connection &connection);

// Longest text a memo column (LONGTEXT) takes from a spreadsheet cell, in characters;
// other text columns take the length they are declared with (VARCHAR(100): 100).
inline constexpr int MaxMemoLength = 65536;

// What a run did besides storing rows.
struct Summary
{
    int imported = 0;
    int skippedEmpty = 0;    // data rows whose mapped cells were all empty
};

// Spreadsheet columns holding any text that no mapping row takes: they are not imported.
// Throws Failure like checkMapping.
int unmappedColumnCount(Connection &connection, const SheetData &sheet);

// Every mapped cell is checked before anything is stored: a NUL character, a date column
// that holds no valid date, or a text longer than its column takes refuses the run,
// naming the spreadsheet row and column. A row whose mapped cells are all empty makes no
// customer. Dates are stored as yyyy-MM-dd.
//
// Runs the import. progress(done, total) is called now and then; returning false cancels
// (the transaction is rolled back and false comes back). Returns true when stored.
// Throws Failure, after rolling back.
bool run(Connection &connection, const SheetData &sheet,
         const std::function<bool(int done, int total)> &progress = {}, Summary *summary = nullptr);

} // namespace CustomerImport
