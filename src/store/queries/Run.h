#pragma once

#include <QString>
#include <QVariant>
#include <initializer_list>
#include <utility>

class Connection;
class Dataset;

// Running one statement of the program's dialect with :Name values, for the query
// functions that change rows or read one value. Values are bound, never put into the text.
namespace Run {
using Values = std::initializer_list<std::pair<const char *, QVariant>>;

// Replaces the query's statement, binds the values and opens it.
void open(Dataset &query, const QString &statement, Values values = {});
// Letters, digits and underscores, not starting with a digit: a name (of a table or a
// column, as `what` says) that may stand in a statement as it is. Anything else throws
// DbError. Returns the name.
const QString &requireIdentifier(const QString &name, const QString &what);
// Runs a statement that returns no rows; the number of rows changed.
int exec(Connection &connection, const QString &statement, Values values = {});
// The first column of the first row; null when there is no row.
QVariant scalar(Connection &connection, const QString &statement, Values values = {});
} // namespace Run
