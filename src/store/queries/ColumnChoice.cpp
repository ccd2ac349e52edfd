#include "ColumnChoice.h"
#include "Run.h"
#include "store/Dataset.h"

namespace ColumnChoice {

QString columnNamed(Connection *connection, const QString &layout, const QString &caption)
{
    Dataset rows(connection);
    Run::open(rows, QStringLiteral("select * from T_FieldShow where tablename=:Layout and Name=:Name"),
              {{"Layout", layout}, {"Name", caption}});
    if (rows.isEmpty())
        return {};
    const QString column = rows.text(QStringLiteral("Field"));
    Run::requireIdentifier(column, QStringLiteral("列名"));
    return column;
}

QStringList titles(Connection *connection, const QString &layout, bool shown)
{
    Dataset rows(connection);
    Run::open(rows, QStringLiteral("select * from T_FieldShow where show=:Show and TableName=:Layout"),
              {{"Show", shown ? 1 : 0}, {"Layout", layout}});
    const int name = rows.checkedFieldIndex(QStringLiteral("Name"));
    QStringList result;
    for (int row = 0; row < rows.recordCount(); ++row)
        result.append(Dataset::displayText(rows.value(row, name)));
    return result;
}

void setShown(Connection *connection, const QString &layout, const QString &title, bool shown)
{
    Run::exec(*connection, QStringLiteral("update T_FieldShow set show=:Show where name=:Name and TableName=:Layout"),
              {{"Show", shown ? 1 : 0}, {"Name", title}, {"Layout", layout}});
}

} // namespace ColumnChoice
