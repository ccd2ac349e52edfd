#include "Customers.h"
#include "store/Dataset.h"

namespace Customers {

void openList(Dataset &query, const OperatorScope &scope)
{
    query.setSql(scope.narrow(QStringLiteral("Select * from Custom")));
    scope.bindOwner(query);
    query.open();
}

void openOwn(Dataset &query, const QString &operatorName)
{
    openList(query, OperatorScope{operatorName, false});
}

} // namespace Customers
