#pragma once

#include "OperatorScope.h"

#include <QVariantList>

class Connection;
class Dataset;

// Statements on contact persons (Contact).
namespace Contacts {
// The contacts of the master's current customer (:CustCode), in the operator's scope:
// "Select * From Contact where CustCode=:CustCode".
void openOfCustomer(Dataset &query, const OperatorScope &scope);
// The codes (as stored, no nulls) of the customers that have a contact whose column holds
// the key: "select CustCode from Contact where <column> like :Pattern group by CustCode",
// :Pattern being "%" + key + "%". The column must be a plain identifier (DbError otherwise).
QVariantList customerCodesMatching(Connection *connection, const QString &column, const QString &key);
// The contact with this key belongs to the customer with this code, written exactly as the
// customer row stores it: "update Contact set CustCode=:CustCode where ContactID=:ContactID".
void setCustomerCode(Connection *connection, const QVariant &contactId, const QVariant &code);
} // namespace Contacts
