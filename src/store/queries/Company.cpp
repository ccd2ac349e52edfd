#include "Company.h"
#include "store/Dataset.h"

namespace Company {

void openInfo(Dataset &query)
{
    query.setSql(QStringLiteral("select * from info"));
    query.open();
}

} // namespace Company
