#include "Operators.h"
#include "store/Dataset.h"

namespace Operators {

void openRights(Dataset &rows, const QString &userName)
{
    rows.setSql(QStringLiteral("select * from T_UserAuthority where UserName=:UserName order by UserAuthorityID"));
    rows.setParameter(QStringLiteral("UserName"), userName);
    rows.open();
}

} // namespace Operators
