#include "Records.h"
#include "Run.h"
#include "store/Dataset.h"

namespace Records {

QStringList billCodesOfCustomer(Connection &connection, const QVariant &custCode)
{
    Dataset bills(&connection);
    Run::open(bills, QStringLiteral("select * from T_Bill where CustCode=:CustCode"), {{"CustCode", custCode}});
    QStringList codes;
    const int billCode = bills.checkedFieldIndex(QStringLiteral("BillCode"));
    for (int row = 0; row < bills.recordCount(); ++row)
        codes.append(Dataset::displayText(bills.value(row, billCode)));
    return codes;
}

void deleteCustomerDetails(Connection &connection, const QVariant &custCode, const QStringList &billCodes)
{
    const Run::Values code = {{"CustCode", custCode}};
    Run::exec(connection, QStringLiteral("delete from Contact where CustCode=:CustCode"), code);
    Run::exec(connection, QStringLiteral("delete from T_Schedule where CustCode=:CustCode"), code);
    Run::exec(connection, QStringLiteral("delete from T_Bill where CustCode=:CustCode"), code);
    for (const QString &bill : billCodes)
        deleteBillLines(connection, bill);
}

void deleteBillLines(Connection &connection, const QString &billCode)
{
    Run::exec(connection, QStringLiteral("delete from T_BillDetail where BillCode=:BillCode"), {{"BillCode", billCode}});
}

void deleteGoodsLines(Connection &connection, const QString &goodsCode)
{
    Run::exec(connection, QStringLiteral("delete from T_BillDetail where GoodsCode=:GoodsCode"), {{"GoodsCode", goodsCode}});
}

} // namespace Records
