#pragma once

#include <QStringList>

class Connection;

// Statements on the column layouts (T_FieldShow) that the customer windows use: which
// column a caption names for the quick search, and the column chooser's shown/hidden
// switch. Column positions and widths belong to the grid layout routines, not here.
namespace ColumnChoice {
// The column (Field) that a layout row of this caption names:
// "select * from T_FieldShow where tablename=:Layout and Name=:Name". Empty when no row
// has the caption. A Field that is not a plain identifier is refused with DbError, as it
// is put into a statement as a column name.
QString columnNamed(Connection *connection, const QString &layout, const QString &caption);
// The titles (Name) of the layout's shown or hidden columns, in table order:
// "select * from T_FieldShow where show=:Show and TableName=:Layout".
QStringList titles(Connection *connection, const QString &layout, bool shown);
// Shows or hides every column of the layout with this title:
// "update T_FieldShow set show=:Show where name=:Name and TableName=:Layout".
void setShown(Connection *connection, const QString &layout, const QString &title, bool shown);
} // namespace ColumnChoice
