#include "Goods.h"
#include "Run.h"
#include "store/Dataset.h"

namespace Goods {

void openAll(Dataset &query)
{
    Run::open(query, QStringLiteral("select * from T_Goods"));
}

void openCategory(Dataset &query, const QString &categoryCode)
{
    Run::open(query, QStringLiteral("Select * from T_Goods where category like :Category"),
              {{"Category", QString(categoryCode + QLatin1Char('%'))}});
}

QString searchStatement(const SearchTexts &texts, SearchStyle style)
{
    const QString like = style == SearchStyle::Search ? QStringLiteral(" like ") : QStringLiteral(" like");
    QStringList conditions;
    if (!texts.code.isEmpty())
        conditions.append(QStringLiteral("(GoodsCode") + like + QStringLiteral(":Code)"));
    if (!texts.name.isEmpty())
        conditions.append(QStringLiteral("(GoodsName") + like + QStringLiteral(":Name)"));
    if (!texts.unit.isEmpty())
        conditions.append(QStringLiteral("(GoodsUnit") + like + QStringLiteral(":Unit)"));
    if (conditions.isEmpty())
        return QStringLiteral("select * from T_Goods");
    return QStringLiteral("select * from [T_Goods] where ") + conditions.join(QStringLiteral("AND"));
}

void openSearch(Dataset &query, const SearchTexts &texts, SearchStyle style)
{
    query.close();
    query.setSql(searchStatement(texts, style));
    const auto bind = [&query](const char *name, const QString &text) {
        if (!text.isEmpty())
            query.setParameter(QString::fromLatin1(name), QString(QLatin1Char('%') + text + QLatin1Char('%')));
    };
    bind("Code", texts.code);
    bind("Name", texts.name);
    bind("Unit", texts.unit);
    query.open();
}

bool codeExists(Connection *connection, const QString &code)
{
    Dataset query(connection);
    Run::open(query, QStringLiteral("select * from T_Goods where GoodsCode=:GoodsCode"), {{"GoodsCode", code}});
    return !query.isEmpty();
}

int renameInBillLines(Connection *connection, const QString &oldCode, const QString &newCode)
{
    return Run::exec(*connection, QStringLiteral("update T_BillDetail set GoodsCode=:NewCode where GoodsCode=:OldCode"),
                     {{"NewCode", newCode}, {"OldCode", oldCode}});
}

QString categoryName(Connection *connection, const QString &categoryCode)
{
    Dataset query(connection);
    Run::open(query, QStringLiteral("select * from Goods_Category where Code=:Code"), {{"Code", categoryCode}});
    return query.text(QStringLiteral("Name"));
}

QStringList units(Connection *connection)
{
    Dataset query(connection);
    Run::open(query, QStringLiteral("select * from T_Other where cataid='Units'"));
    QStringList names;
    // The list's second column holds the value.
    for (int row = 0; row < query.recordCount(); ++row)
        names.append(query.value(row, 1).toString());
    return names;
}

} // namespace Goods
