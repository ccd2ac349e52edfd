#pragma once

#include <QString>

class Connection;
class Dataset;

// The grid column layouts (T_FieldShow), one set of rows per layout name.
namespace Layouts {
// The shown columns of a layout in their order.
void openShown(Dataset &query, const QString &layout);
// Stores a column's place and width in a layout.
void saveColumn(Connection &connection, const QString &layout, const QString &field, int position, int width);
} // namespace Layouts
