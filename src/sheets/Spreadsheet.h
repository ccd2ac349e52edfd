#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

// The first (active) sheet of a spreadsheet file as the import sees it: for each cell the
// text it shows, read straight from the file without an office program.
//
// Rows and columns are 1-based as in a spreadsheet; row 1 holds the titles. The used range
// runs from A1 to the last row and column that hold any text, so cells that are merely
// formatted do not count. What a cell shows:
//   - text as it is; a number as the spreadsheet shows it in General format (13800138000,
//     not 1.38E+10; 12.5), or with the fixed decimals and thousands separators of its
//     format ("0.00", "#,##0.00") and percentages ("0%");
//   - a date as yyyy-MM-dd, with " hh:mm:ss" when its format shows a time, a time alone
//     as hh:mm:ss; TRUE / FALSE; an error value as its code (#N/A);
//   - an empty text for an empty cell and for the covered cells of a merged range.
class SheetData
{
public:
    // How a cell is stored in the file.
    enum Kind : char { Empty = 0, Text = 's', Number = 'n', Date = 'd', Boolean = 'b' };

    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return m_columns; }
    QString text(int row, int column) const;
    Kind kind(int row, int column) const;
    // True when every cell of the row is empty.
    bool isBlankRow(int row) const;

    // Builds the sheet: rows are appended in order; trailing empty cells and rows are
    // dropped by finish(). A row past MaxRows or MaxColumns, or cells past MaxCells (up
    // to each row's last non-empty cell), throw SpreadsheetError ("太大或已损坏").
    void appendRow(QStringList cells, QByteArray kinds);
    void finish();

    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    static constexpr qint64 MaxCells = 50000000;

private:
    QList<QStringList> m_rows;
    QList<QByteArray> m_kinds;
    int m_columns = 0;
    qint64 m_cells = 0;
};

// A file that cannot be read as a spreadsheet; the text says why, for the operator.
class SpreadsheetError : public std::runtime_error
{
public:
    explicit SpreadsheetError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

namespace Spreadsheet {
// The file dialog filter of the formats read.
QString fileFilter();
// Reads the file by its extension: .xlsx/.xlsm, .ods, .xls, .csv/.txt. Throws SpreadsheetError.
SheetData read(const QString &path);
SheetData readXlsx(const QString &path);
SheetData readOds(const QString &path);
SheetData readXls(const QString &path);
SheetData readCsv(const QString &path);
SheetData parseCsv(const QByteArray &bytes);

// Text of delimited files: UTF-8 (with or without a byte order mark) when the bytes are
// valid UTF-8, otherwise GBK.
QString decodeText(const QByteArray &bytes);
// The same decision, made strictly for an import: UTF-8 when the whole file is valid
// UTF-8, else GBK/GB18030 when the whole file decodes; otherwise SpreadsheetError naming
// the first line and field that neither reads.
QString decodeCsvText(const QByteArray &bytes);
// The field delimiter of a delimited file: of ',', ';' and tab the one that occurs most
// often outside quotes in the first line (',' when none does).
QChar csvDelimiter(QStringView text);
// The text a number shows in General format.
QString generalNumber(double value);
} // namespace Spreadsheet
