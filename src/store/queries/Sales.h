#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class Connection;
class Dataset;

// The sales analysis: sold bill lines with their bill's header (the stored query
// S_BillDetail) for a date range and optional exact operator, customer and goods code.
namespace Sales {

struct Filter
{
    QDate from, to;          // both days included
    QString operatorName;    // empty: any operator, but not a line without one
    QString customer;        // company name, compared whole
    QString goodsCode;
};

// "select * from [S_BillDetail] where " with the conditions date range, operator,
// customer and goods joined by "AND". A given value is bound (:DateFrom, :DateTo,
// :Operator, :Customer, :GoodsCode); an empty one gives "(Column like'%%')", which
// passes every row whose column is not empty.
QString analysisStatement(const Filter &filter);
void openAnalysis(Dataset &query, const Filter &filter);

// Every customer's company name with surrounding blanks removed, in stored order.
QStringList customerCompanies(Connection *connection);

} // namespace Sales
