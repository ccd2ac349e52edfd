#include "Categories.h"
#include "Run.h"
#include "store/DbError.h"

namespace Categories {

namespace {
const QString &checked(const QString &table)
{
    if (table.compare(QLatin1String("Cust_Category"), Qt::CaseInsensitive) != 0
        && table.compare(QLatin1String("Goods_Category"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("没有名为 %1 的分类表").arg(table));
    return table;
}
} // namespace

void openAll(Dataset &query, const QString &table)
{
    Run::open(query, QStringLiteral("select * from ") + checked(table));
}

void openInCodeOrder(Dataset &query, const QString &table)
{
    Run::open(query, QStringLiteral("select * from ") + checked(table) + QStringLiteral(" order by code"));
}

void openByCode(Dataset &query, const QString &table, const QString &code)
{
    Run::open(query, QStringLiteral("select * from ") + checked(table) + QStringLiteral(" where code=:Code"),
              {{"Code", code}});
}

void deleteByCode(Connection &connection, const QString &table, const QString &code)
{
    Run::exec(connection, QStringLiteral("delete from ") + checked(table) + QStringLiteral(" where code=:Code"),
              {{"Code", code}});
}

} // namespace Categories
