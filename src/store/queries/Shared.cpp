#include "Shared.h"
#include "Run.h"

namespace Shared {

QString allRowsOf(const QString &table)
{
    return QStringLiteral("select * from ") + Run::requireIdentifier(table, QStringLiteral("表名"));
}

void openCompanyInfo(Dataset &query)
{
    Run::open(query, allRowsOf(QStringLiteral("info")));
}

void openSoftInfo(Dataset &query)
{
    Run::open(query, allRowsOf(QStringLiteral("T_SoftInfo")));
}

void openLookupByName(Dataset &query, const QString &table)
{
    Run::open(query, allRowsOf(table) + QStringLiteral(" order by name"));
}

void openLookupById(Dataset &query, const QString &table)
{
    Run::open(query, allRowsOf(table) + QStringLiteral(" order by id"));
}

} // namespace Shared
