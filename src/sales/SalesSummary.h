#pragma once

#include <QList>
#include <QPair>
#include <QString>

class Dataset;

// What the sales chart shows of the analysis rows: the amount (SaleMoney) per month
// and the largest customers and goods by amount. Only the rows given take part, so the
// chart follows the same filters as the grid and its sums equal the grid's footer.
struct SalesSummary
{
    using Amounts = QList<QPair<QString, double>>;

    Amounts months;    // "yyyy-MM", oldest first; months without sales in between are listed with 0
    Amounts customers; // largest first, at most `top`
    Amounts goods;     // "code name", largest first, at most `top`
    double total = 0;  // every row's amount

    static SalesSummary of(const Dataset &rows, int top = 10);
};
