#include "Shared.h"
#include "Run.h"
#include "store/DbError.h"

#include <QRegularExpression>

namespace Shared {

namespace {
// A table name goes into the statement itself, so it must be a plain name.
const QString &plainName(const QString &table)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!name.match(table).hasMatch())
        throw DbError(QStringLiteral("无效的表名: %1").arg(table));
    return table;
}
} // namespace

QString allRowsOf(const QString &table)
{
    return QStringLiteral("select * from ") + plainName(table);
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
