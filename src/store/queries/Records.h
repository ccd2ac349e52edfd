#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// What goes with a record when it is deleted. Customer codes are matched exactly as the
// customer row stores them (an empty, fractional or text code included), never converted.
namespace Records {
// The bill numbers of a customer's bills.
QStringList billCodesOfCustomer(Connection &connection, const QVariant &custCode);
// The customer's contacts, schedules, bills and the lines of the given bills.
void deleteCustomerDetails(Connection &connection, const QVariant &custCode, const QStringList &billCodes);
// Every bill line of one bill, or of one goods code.
void deleteBillLines(Connection &connection, const QString &billCode);
void deleteGoodsLines(Connection &connection, const QString &goodsCode);
} // namespace Records
