#pragma once

#include "ui/DataGrid.h"

#include <QString>

class Dataset;
class TFrm_Data;

// Grid column layouts kept as rows of T_FieldShow, one row per column of a layout
// ("Custom", "Contact", "Goods", ...), and the re-sort of a grid's query by the sort
// marks on its titles. Every window with a configurable grid goes through these.
namespace GridColumns {

// A grid has room for this many configured columns; rows beyond it are not shown.
inline constexpr int MaxColumns = DataGrid::MaxColumns;

// Replaces the grid's columns by the shown rows of the layout, in ShowID order: field,
// width, title (the query field's display label), footer sum and ellipsis button. A
// layout without shown rows leaves the grid's default, one column per query field.
// A row naming a field the query lacks throws the field-not-found DbError; the rows
// after it are not applied.
void ApplyColumns(TFrm_Data *data, DataGrid *grid, Dataset *query, const QString &layout);

// The sort text for a list of marks: "  Company DESC , City" for Company descending
// then City ascending; empty without marks.
QString SortText(const QList<DataGrid::SortMark> &marks);

// Re-sorts the query's loaded rows by the grid's sort marks (when the query is open);
// without marks the query's own order comes back.
void ApplySort(DataGrid *grid, Dataset *query);

// Writes each column's position (from 0, in the grid's current order) and width into
// the layout's rows; with notify 1 it then confirms with a message.
void SaveColumns(TFrm_Data *data, DataGrid *grid, const QString &layout, int notify);

} // namespace GridColumns
