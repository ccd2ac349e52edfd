#include "Sales.h"
#include "Run.h"
#include "store/Dataset.h"

namespace Sales {

namespace {
QString condition(const char *column, const char *parameter, const QString &value)
{
    const QString name = QString::fromLatin1(column);
    return value.isEmpty() ? QStringLiteral("(%1 like'%%')").arg(name)
                           : QStringLiteral("(%1=:%2)").arg(name, QLatin1String(parameter));
}
} // namespace

QString analysisStatement(const Filter &filter)
{
    const QStringList conditions = {
        QStringLiteral("(BillDate>=:DateFrom and BillDate<=:DateTo)"),
        condition("F_User", "Operator", filter.operatorName),
        condition("CustName", "Customer", filter.customer),
        condition("GoodsCode", "GoodsCode", filter.goodsCode),
    };
    return QStringLiteral("select * from [S_BillDetail] where ") + conditions.join(QStringLiteral("AND"));
}

void openAnalysis(Dataset &query, const Filter &filter)
{
    query.close();
    query.setSql(analysisStatement(filter));
    query.setParameter(QStringLiteral("DateFrom"), filter.from);
    query.setParameter(QStringLiteral("DateTo"), filter.to);
    if (!filter.operatorName.isEmpty())
        query.setParameter(QStringLiteral("Operator"), filter.operatorName);
    if (!filter.customer.isEmpty())
        query.setParameter(QStringLiteral("Customer"), filter.customer);
    if (!filter.goodsCode.isEmpty())
        query.setParameter(QStringLiteral("GoodsCode"), filter.goodsCode);
    query.open();
}

QStringList customerCompanies(Connection *connection)
{
    // Streamed: the names are all that is wanted, no rows need keeping.
    Dataset query(connection);
    query.setSql(QStringLiteral("select Company from custom"));
    QStringList names;
    query.streamRows([] {}, [&names](const QList<QVariant> &values) { names.append(values.at(0).toString().trimmed()); });
    return names;
}

} // namespace Sales
