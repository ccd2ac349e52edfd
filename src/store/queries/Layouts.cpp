#include "Layouts.h"
#include "Run.h"

namespace Layouts {

void openShown(Dataset &query, const QString &layout)
{
    Run::open(query, QStringLiteral("select * from T_FieldShow where show=1 and TableName=:Layout order by ShowID"),
              {{"Layout", layout}});
}

void saveColumn(Connection &connection, const QString &layout, const QString &field, int position, int width)
{
    Run::exec(connection,
              QStringLiteral("update T_FieldShow set showid=:Position,width=:Width where tablename=:Layout and field=:Field"),
              {{"Position", position}, {"Width", width}, {"Layout", layout}, {"Field", field}});
}

} // namespace Layouts
