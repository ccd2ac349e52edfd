#include "ReportQueries.h"

#include "store/Dataset.h"
#include "store/queries/Run.h"

namespace ReportQueries {

bool openCustomers(Dataset &query, const QVariantList &codes, bool everyContact)
{
    if (codes.isEmpty())
        return false;
    // A long list of whole numbers is written out (the engine allows only so many bound
    // values); every other code is a bound value, so no text reaches the statement.
    QStringList items;
    QVariantList bound;
    for (const QVariant &code : codes) {
        bool whole = false;
        const qlonglong number = code.toString().trimmed().toLongLong(&whole);
        if (whole && code.typeId() != QMetaType::QString)
            items.append(QString::number(number));
        else if (whole && code.toString().trimmed() == QString::number(number))
            items.append(QString::number(number));
        else {
            items.append(QStringLiteral(":Code%1").arg(bound.size()));
            bound.append(code);
        }
    }
    const QString table = everyContact ? QStringLiteral("S_ViewCust") : QStringLiteral("Custom");
    query.close();
    query.setSql(QStringLiteral("select * from %1 where CustCode in(%2)").arg(table, items.join(u',')));
    for (int i = 0; i < bound.size(); ++i)
        query.setParameter(QStringLiteral("Code%1").arg(i), bound[i]);
    query.open();
    return true;
}

} // namespace ReportQueries

namespace ReportQueries {

void openFirstCustomers(Dataset &query, bool everyContact, int count)
{
    query.close();
    query.setSql(everyContact ? QStringLiteral("select top %1 * from S_ViewCust").arg(std::max(1, count))
                              : QStringLiteral("select top %1 * from Custom order by CustID").arg(std::max(1, count)));
    query.open();
}

void openLatestBill(Dataset &lines, Dataset &customer)
{
    Connection &connection = *lines.connection();
    const QVariant bill = Run::scalar(connection, QStringLiteral("select top 1 BillCode from T_Bill order by BillID desc"));
    const QVariant buyer = Run::scalar(connection, QStringLiteral("select top 1 CustCode from T_Bill order by BillID desc"));
    Run::open(lines, QStringLiteral("select * from T_BillDetail where BillCode=:BillCode order by BillDetailID"),
              {{"BillCode", bill}});
    Run::open(customer, QStringLiteral("select * from Custom where CustCode=:CustCode"), {{"CustCode", buyer}});
}

} // namespace ReportQueries
