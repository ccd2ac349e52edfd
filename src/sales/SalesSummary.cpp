#include "SalesSummary.h"
#include "store/Dataset.h"

#include <QDate>
#include <QHash>
#include <QMap>
#include <algorithm>

namespace {
SalesSummary::Amounts largest(const QHash<QString, long double> &sums, int top)
{
    SalesSummary::Amounts amounts;
    amounts.reserve(sums.size());
    for (auto it = sums.cbegin(); it != sums.cend(); ++it)
        amounts.append({it.key(), double(it.value())});
    // Ties by name, so that the same rows always draw the same chart.
    std::sort(amounts.begin(), amounts.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (amounts.size() > top)
        amounts.resize(top);
    return amounts;
}
} // namespace

SalesSummary SalesSummary::of(const Dataset &rows, int top)
{
    SalesSummary summary;
    if (!rows.isOpen())
        return summary;
    const int money = rows.fieldIndex(QStringLiteral("SaleMoney"));
    const int date = rows.fieldIndex(QStringLiteral("BillDate"));
    const int customer = rows.fieldIndex(QStringLiteral("CustName"));
    const int code = rows.fieldIndex(QStringLiteral("GoodsCode"));
    const int name = rows.fieldIndex(QStringLiteral("GoodsName"));
    if (money < 0)
        return summary;
    QMap<QDate, long double> months;
    QHash<QString, long double> customers, goods;
    long double total = 0;
    for (int row = 0; row < rows.recordCount(); ++row) {
        const long double amount = rows.value(row, money).toDouble();
        total += amount;
        if (date >= 0) {
            const QVariant value = rows.value(row, date);
            const QDate day = value.typeId() == QMetaType::QDate
                ? value.toDate()
                : QDate::fromString(value.toString().left(10), QStringLiteral("yyyy-MM-dd"));
            if (day.isValid())
                months[QDate(day.year(), day.month(), 1)] += amount;
        }
        if (customer >= 0)
            customers[rows.value(row, customer).toString().trimmed()] += amount;
        if (code >= 0) {
            QString label = rows.value(row, code).toString();
            if (name >= 0)
                label += QLatin1Char(' ') + rows.value(row, name).toString();
            goods[label.trimmed()] += amount;
        }
    }
    summary.total = double(total);
    if (!months.isEmpty()) {
        for (QDate month = months.firstKey(); month <= months.lastKey(); month = month.addMonths(1))
            summary.months.append({month.toString(QStringLiteral("yyyy-MM")), double(months.value(month))});
    }
    summary.customers = largest(customers, top);
    summary.goods = largest(goods, top);
    return summary;
}
