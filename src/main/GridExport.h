#pragma once

#include <QList>
#include <QString>
#include <functional>

class DataGrid;
class Dataset;
class QWidget;

// Exporting a grid to a spreadsheet workbook (.xlsx), for every window with an Excel entry.
//
//     GridExport::exportGrid(this, ui->DBGridEh1, QStringLiteral("商品列表"));
//
// writes the grid's shown columns, in the order and widths the operator sees them, into
// a new file under Export/ beside the program and opens it with the desktop's
// spreadsheet program. Row 1 holds the column titles, data row n lands on sheet row
// n + 1; numbers are written as numbers, dates as dates (shown yyyy-mm-dd as in the
// grid), everything else as the text the grid shows. An empty grid gives the title row
// alone. Long exports show a progress bar that can cancel them.
namespace GridExport {

// One exported column: the dataset field, the title written in row 1 and the width in
// pixels as the grid shows it.
struct Column
{
    QString field;
    QString title;
    int widthPixels = 64;
};

// The grid's visible columns in visual order, titled and sized as shown.
QList<Column> shownColumns(const DataGrid *grid);

// Writes every row of the dataset into a new workbook at path (replacing a file there).
// progress(rowsWritten) is called now and then; returning false stops the export, removes
// the file and returns false. Throws std::runtime_error with a message for the operator
// when the file cannot be written.
bool writeWorkbook(const QString &path, const Dataset &rows, const QList<Column> &columns,
                   const std::function<bool(int rowsWritten)> &progress = {});

// The file an export named `name` goes to: Export/<name>_<yyyyMMdd_hhmmss>.xlsx beside the
// program, with a number added when that name is already taken.
QString exportPath(const QString &name);

// Exports the grid as described above. Returns the path of the written file, or an empty
// text when the operator cancelled or the export failed (the operator was told why).
QString exportGrid(QWidget *parent, DataGrid *grid, const QString &name);

} // namespace GridExport
