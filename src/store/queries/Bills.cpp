#include "Bills.h"
#include "Run.h"
#include "store/Dataset.h"

#include <cmath>

namespace Bills {

QVariant lineAmount(const QVariant &number, const QVariant &salePrice, const QVariant &discount)
{
    // Extended precision, then to the nearest 0.0001 with ties to even.
    const long double amount = static_cast<long double>(number.toDouble())
                               * static_cast<long double>(salePrice.toDouble())
                               * static_cast<long double>(discount.toDouble());
    return double(std::nearbyintl(amount * 10000.0L) / 10000.0L);
}

double linesTotal(const Dataset &lines)
{
    const int money = lines.fieldIndex(QStringLiteral("money"));
    long double total = 0;
    for (int row = 0; row < lines.recordCount(); ++row)
        total += static_cast<long double>(lines.value(row, money).toDouble());
    return double(std::nearbyintl(total * 100.0L) / 100.0L);
}

void addLineAmount(Dataset &lines)
{
    lines.addCalculatedField(QStringLiteral("money"), FieldKind::Currency, [](const Dataset &rows, int row) -> QVariant {
        return lineAmount(rows.value(row, rows.fieldIndex(QStringLiteral("Number"))),
                          rows.value(row, rows.fieldIndex(QStringLiteral("SalePrice"))),
                          rows.value(row, rows.fieldIndex(QStringLiteral("Discount"))));
    });
}

QString numberPrefix(const QDate &day)
{
    return QStringLiteral("FH") + day.toString(QStringLiteral("yyyyMMdd"));
}

QString numberAfter(const QString &prefix, const QString &stored)
{
    qulonglong sequence = 0;
    if (!stored.isEmpty())
        sequence = stored.mid(prefix.size()).toULongLong();
    return prefix + QString::number(sequence + 1).rightJustified(4, QLatin1Char('0'));
}

QString nextNumber(Connection *connection, const QDate &day)
{
    const QString prefix = numberPrefix(day);
    // The day's numbers, greatest sequence first: a longer sequence is the greater one,
    // and among sequences of one length text order is numeric order.
    Dataset query(connection);
    Run::open(query, QStringLiteral("select top 1 BillCode from T_Bill where BillCode like :Prefix "
                                    "order by len(BillCode) desc, BillCode desc"),
              {{"Prefix", QString(prefix + QLatin1Char('%'))}});
    return numberAfter(prefix, query.text(QStringLiteral("BillCode")));
}

bool exists(Connection *connection, const QString &billCode)
{
    Dataset query(connection);
    Run::open(query, QStringLiteral("select * from T_Bill where BillCode=:BillCode"), {{"BillCode", billCode.trimmed()}});
    return !query.isEmpty();
}

bool hasLine(Connection *connection, const QString &billCode, const QString &goodsCode)
{
    Dataset query(connection);
    Run::open(query, QStringLiteral("select * from T_BillDetail where BillCode=:BillCode and GoodsCode=:GoodsCode"),
              {{"BillCode", billCode}, {"GoodsCode", goodsCode}});
    return !query.isEmpty();
}

void openLines(Dataset &lines, const QString &billCode)
{
    // Without a number the parameter stays empty (null) and no line is found.
    const QVariant code = billCode.isEmpty() ? QVariant() : QVariant(billCode);
    Run::open(lines, QStringLiteral("select * from T_BillDetail where BillCode=:BillCode"), {{"BillCode", code}});
}

void openHeader(Dataset &header, const QString &billCode)
{
    Run::open(header, QStringLiteral("select * from T_Bill where BillCode=:BillCode"), {{"BillCode", billCode}});
}

void openCustomer(Dataset &customer, const QString &company)
{
    Run::open(customer, QStringLiteral("select * from Custom where Company=:Company"), {{"Company", company}});
}

} // namespace Bills
