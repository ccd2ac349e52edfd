#pragma once

#include "report/GridPages.h"

#include <QString>

class DataGrid;
class QWidget;

// Printing any data grid: the columns as the grid shows them (order, titles, shown texts,
// alignment), fitted to the page width in proportion to their widths, the title row on
// every page, the footer sums after the last row, page numbers and the date.
namespace GridPrint {

using Options = Report::GridPrintOptions;

// What the grid shows, read once (every row of its dataset).
Report::GridTable table(const DataGrid *grid, const QString &title);

// Shows the print preview of the grid (modal). An empty grid still prints its titles.
void preview(QWidget *parent, const DataGrid *grid, const QString &title, Options options = {});

} // namespace GridPrint
