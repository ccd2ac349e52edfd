#pragma once

#include "OperatorScope.h"

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <optional>

class Connection;
class Dataset;

// Statements on customers (custom) and on the pages of the customer browser that follow
// the current customer through :CustCode (schedules, bills, bill lines).
//
// A customer code is bound exactly as a row stores it (a QVariant read from the row,
// never converted): a code that is not a whole number (empty text, 4.6, "A1") then
// matches only the rows that carry that very value, never those of customer 0 or 5.
namespace Customers {

// --- the customer list (Qry_Cust), in the operator's scope: every customer with the
// view-all right, otherwise the operator's own (F_User).
// "Select * from Custom"
void openList(Dataset &query, const OperatorScope &scope);
// The operator's own customers, whatever his rights.
void openOwn(Dataset &query, const QString &operatorName);
// The first load of the browser: "Select top 100 * from Custom".
void openFirstHundred(Dataset &query, const OperatorScope &scope);
// How many customers the scope holds (what the first hundred are taken from).
int countInScope(Connection *connection, const OperatorScope &scope);
// A category with everything below it: "Select * from custom where category like :Category",
// :Category being the code followed by "%".
void openCategory(Dataset &query, const OperatorScope &scope, const QString &categoryCode);
// A contains-match of the key on one column: "Select * from custom where <column> like :Pattern",
// :Pattern being "%" + key + "%". The column is a plain identifier (a layout's Field);
// anything else is refused with DbError before a statement runs.
void openMatching(Dataset &query, const OperatorScope &scope, const QString &column, const QString &key);
// The customers with these codes (each bound as stored):
// "select * from Custom where CustCode in (:Code0,:Code1,…)". No codes: openNone().
void openByCodes(Dataset &query, const OperatorScope &scope, const QVariantList &codes);
// The list that is always empty: "select * from Custom where CustID>0 and CustID<0".
void openNone(Dataset &query);
// Every customer, whatever the operator may see: "select * from custom".
void openAll(Dataset &query);

// --- the combined search: the conditions of the filled criteria joined with "AND"
struct Search
{
    // Text criteria are taken as typed: blanks count as filled. The category is a prefix
    // match on the category code; the salesman an exact match; every other text a
    // contains-match.
    QString category, company, address, postcode, custType, country, province, custFrom, city, introduce, tel, fax,
        url, email;
    std::optional<QDate> addedFrom, addedTo;
    QString salesman, income;
};
// The condition of every filled criterion in the fixed order ("(company like :Company)",
// "([Adddate]>=:AddedFrom)", "(F_User=:Salesman)", …); the values go into *parameters.
QStringList searchConditions(const Search &search, QVariantMap *parameters = nullptr);
// "select * from [custom] where " + conditions joined with "AND" + "  ORDER BY CustID";
// empty when nothing is filled.
QString searchStatement(const Search &search, QVariantMap *parameters = nullptr);
// Opens the search in the query. Nothing filled: false, and no statement runs.
bool openSearch(Dataset &query, const Search &search);

// --- the browser's detail pages, following the master's current CustCode
// "Select * From T_Schedule where CustCode=:CustCode", in the operator's scope.
void openSchedules(Dataset &query, const OperatorScope &scope);
// "select * from T_Bill where CustCode=:CustCode" (sales pages are not narrowed).
void openBills(Dataset &query);
// "select * from S_BillDetail where CustCode=:CustCode".
void openBillLines(Dataset &query);

// --- customer codes as rows store them
// Whether a stored code is a whole number (an integer value, not a text or a fraction).
bool isWholeCode(const QVariant &storedCode);
// Whether two stored codes are the same value of the same kind: 5 and "5" are not, and
// a code that is not there (null) is the same as nothing.
bool sameCode(const QVariant &a, const QVariant &b);

// --- values for the customer editor
// The next free code over the whole table: max(CustCode) + 1; 1 when there is none.
qint64 nextCode(Connection *connection);
// Whether a customer has this code.
bool codeTaken(Connection *connection, qint64 code);
// Whether a customer has exactly this company name.
bool nameTaken(Connection *connection, const QString &company);
// The name of the customer category with this code; empty when there is none.
QString categoryName(Connection *connection, const QString &categoryCode);
// The user names of the active operators (second column of admin, not trimmed), in the
// order the table returns them: the salesmen a customer may be given.
QStringList salesmen(Connection *connection);
// The codes of the customers with exactly this company name, as stored, in table order.
QVariantList codesOfCompany(Connection *connection, const QString &company);

// --- changes
// A customer's new code carried to its contacts and schedules: every row whose CustCode is
// the stored code gets the new one. Bills keep the code they were saved with. Run it in
// the transaction that changes the customer row.
void carryCode(Connection *connection, const QVariant &storedCode, qint64 newCode);
// A customer's new company name carried to its contacts and schedules: the rows of the
// customer with this code (as stored) whose Company is the old name.
void carryName(Connection *connection, const QVariant &code, const QString &oldName, const QString &newName);
// The customer with this code (as stored) gets the contact's name as its MainContact.
// Returns the number of customer rows changed.
int setMainContact(Connection *connection, const QVariant &code, const QString &name);
// The customer with this code (as stored) moves into the category; returns the rows changed.
int setCategory(Connection *connection, const QVariant &code, const QString &categoryCode);

} // namespace Customers
