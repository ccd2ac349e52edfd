#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

class Connection;
class Dataset;

// Statements on sales bills: headers in T_Bill, lines in T_BillDetail.
namespace Bills {

// The bill number prefix of a day: "FH" + yyyyMMdd.
QString numberPrefix(const QDate &day);
// The next free number of the day: the prefix followed by the greatest sequence number
// used that day plus one, at least four digits ("0001", "0010", "9999", "10000"). The
// sequence is compared by its value, so "10000" counts as greater than "9999".
QString nextNumber(Connection *connection, const QDate &day);
// The number that follows a stored one of the same prefix (sequence plus one, padded
// to four digits); the first number of the day when stored is empty.
QString numberAfter(const QString &prefix, const QString &stored);

// Whether a bill with that number exists.
bool exists(Connection *connection, const QString &billCode);
// Whether the bill has a stored line of that goods code.
bool hasLine(Connection *connection, const QString &billCode, const QString &goodsCode);

// A line's amount: SalePrice × Number × Discount to four decimal places, a tie going to
// the even digit.
QVariant lineAmount(const QVariant &number, const QVariant &salePrice, const QVariant &discount);
// The total of the money field over every line, rounded to cents.
double linesTotal(const Dataset &lines);
// Adds the calculated field money (the line amount) to a line dataset, before it is opened.
void addLineAmount(Dataset &lines);

// The lines of a bill ("select * from T_BillDetail where BillCode=:BillCode").
void openLines(Dataset &lines, const QString &billCode);
// One bill header by its number (for writing a new or changed header).
void openHeader(Dataset &header, const QString &billCode);
// The customer a bill is printed for, by the company name the bill shows.
void openCustomer(Dataset &customer, const QString &company);

} // namespace Bills
