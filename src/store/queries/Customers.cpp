#include "Customers.h"
#include "Run.h"
#include "ColumnChoice.h"
#include "store/Dataset.h"

namespace Customers {

namespace {

const QString CustCode = QStringLiteral("CustCode");

void openScoped(Dataset &query, const OperatorScope &scope, const QString &statement)
{
    query.setSql(scope.narrow(statement));
    scope.bindOwner(query);
}

// A statement of one row and one column, or a list of rows, run on a scratch dataset.
Dataset &run(Dataset &scratch, const QString &statement, const QVariantMap &parameters = {})
{
    scratch.setSql(statement);
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        scratch.setParameter(it.key(), it.value());
    scratch.open();
    return scratch;
}

int execute(Connection *connection, const QString &statement, const QVariantMap &parameters)
{
    Dataset scratch(connection);
    scratch.setSql(statement);
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        scratch.setParameter(it.key(), it.value());
    return scratch.execute();
}

} // namespace

// ---------------------------------------------------------------- the customer list

void openList(Dataset &query, const OperatorScope &scope)
{
    openScoped(query, scope, QStringLiteral("Select * from Custom"));
    query.open();
}

void openOwn(Dataset &query, const QString &operatorName)
{
    openList(query, OperatorScope{operatorName, false});
}

int countInScope(Connection *connection, const OperatorScope &scope)
{
    Dataset scratch(connection);
    openScoped(scratch, scope, QStringLiteral("Select count(*) as Total from Custom"));
    scratch.open();
    return scratch.value(0, 0).toInt();
}

void openFirstHundred(Dataset &query, const OperatorScope &scope)
{
    openScoped(query, scope, QStringLiteral("Select top 100 * from Custom"));
    query.open();
}

void openCategory(Dataset &query, const OperatorScope &scope, const QString &categoryCode)
{
    openScoped(query, scope, QStringLiteral("Select * from custom where category like :Category"));
    query.setParameter(QStringLiteral("Category"), QString(categoryCode + QLatin1Char('%')));
    query.open();
}

void openMatching(Dataset &query, const OperatorScope &scope, const QString &column, const QString &key)
{
    Run::requireIdentifier(column, QStringLiteral("列名"));
    openScoped(query, scope, QStringLiteral("Select * from custom where ") + column + QStringLiteral(" like :Pattern"));
    query.setParameter(QStringLiteral("Pattern"), QString(QLatin1Char('%') + key + QLatin1Char('%')));
    query.open();
}

void openByCodes(Dataset &query, const OperatorScope &scope, const QVariantList &codes)
{
    if (codes.isEmpty()) {
        openNone(query);
        return;
    }
    QStringList placeholders;
    for (qsizetype i = 0; i < codes.size(); ++i)
        placeholders.append(QStringLiteral(":Code%1").arg(i));
    openScoped(query, scope,
               QStringLiteral("select * from Custom where CustCode in (") + placeholders.join(QLatin1Char(','))
                   + QLatin1Char(')'));
    for (qsizetype i = 0; i < codes.size(); ++i)
        query.setParameter(QStringLiteral("Code%1").arg(i), codes.at(i));
    query.open();
}

void openNone(Dataset &query)
{
    query.setSql(QStringLiteral("select * from Custom where CustID>0 and CustID<0"));
    query.open();
}

void openAll(Dataset &query)
{
    query.setSql(QStringLiteral("select * from custom"));
    query.open();
}

// ---------------------------------------------------------------- the combined search

QStringList searchConditions(const Search &search, QVariantMap *parameters)
{
    QStringList conditions;
    auto add = [&](const QString &condition, const QString &name, const QVariant &value) {
        conditions.append(condition);
        if (parameters)
            parameters->insert(name, value);
    };
    auto contains = [&](const char *column, const char *name, const QString &text) {
        if (text.isEmpty())
            return;
        const QString parameter = QString::fromLatin1(name);
        add(QLatin1Char('(') + QLatin1String(column) + QStringLiteral(" like :") + parameter + QLatin1Char(')'),
            parameter, QString(QLatin1Char('%') + text + QLatin1Char('%')));
    };
    if (!search.category.isEmpty())
        add(QStringLiteral("(category like :Category)"), QStringLiteral("Category"),
            QString(search.category + QLatin1Char('%')));
    contains("company", "Company", search.company);
    contains("address", "Address", search.address);
    contains("postcode", "Postcode", search.postcode);
    contains("custtype", "CustType", search.custType);
    contains("country", "Country", search.country);
    contains("province", "Province", search.province);
    contains("CustFrom", "CustFrom", search.custFrom);
    contains("city", "City", search.city);
    contains("introduce", "Introduce", search.introduce);
    contains("tel", "Tel", search.tel);
    contains("fax", "Fax", search.fax);
    contains("url", "Url", search.url);
    contains("email", "Email", search.email);
    if (search.addedFrom)
        add(QStringLiteral("([Adddate]>=:AddedFrom)"), QStringLiteral("AddedFrom"), *search.addedFrom);
    if (search.addedTo)
        add(QStringLiteral("([Adddate]<=:AddedTo)"), QStringLiteral("AddedTo"), *search.addedTo);
    if (!search.salesman.isEmpty())
        add(QStringLiteral("(F_User=:Salesman)"), QStringLiteral("Salesman"), search.salesman);
    contains("income", "Income", search.income);
    return conditions;
}

QString searchStatement(const Search &search, QVariantMap *parameters)
{
    const QStringList conditions = searchConditions(search, parameters);
    if (conditions.isEmpty())
        return {};
    return QStringLiteral("select * from [custom] where ") + conditions.join(QStringLiteral("AND"))
           + QStringLiteral("  ORDER BY CustID");
}

bool openSearch(Dataset &query, const Search &search)
{
    QVariantMap parameters;
    const QString statement = searchStatement(search, &parameters);
    if (statement.isEmpty())
        return false;
    query.setSql(statement);
    for (auto it = parameters.begin(); it != parameters.end(); ++it)
        query.setParameter(it.key(), it.value());
    query.open();
    return true;
}

// ---------------------------------------------------------------- detail pages

void openSchedules(Dataset &query, const OperatorScope &scope)
{
    openScoped(query, scope, QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"));
    query.open();
}

void openBills(Dataset &query)
{
    query.setSql(QStringLiteral("select * from T_Bill where CustCode=:CustCode"));
    query.open();
}

void openBillLines(Dataset &query)
{
    query.setSql(QStringLiteral("select * from S_BillDetail where CustCode=:CustCode"));
    query.open();
}

// ---------------------------------------------------------------- codes

bool isWholeCode(const QVariant &storedCode)
{
    switch (storedCode.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool sameCode(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return false;
    if (isWholeCode(a) || isWholeCode(b))
        return isWholeCode(a) && isWholeCode(b) && a.toLongLong() == b.toLongLong();
    return a.typeId() == b.typeId() && a == b;
}

// ---------------------------------------------------------------- values

qint64 nextCode(Connection *connection)
{
    Dataset scratch(connection);
    run(scratch, QStringLiteral("select max(CustCode) as T_Code from Custom"));
    return scratch.integer(QStringLiteral("T_Code")) + 1; // no customers yet: 0 + 1
}

bool codeTaken(Connection *connection, qint64 code)
{
    Dataset scratch(connection);
    return !run(scratch, QStringLiteral("select * from Custom where CustCode=:CustCode"), {{CustCode, code}}).isEmpty();
}

bool nameTaken(Connection *connection, const QString &company)
{
    Dataset scratch(connection);
    return !run(scratch, QStringLiteral("select * from Custom where Company=:Company"),
                {{QStringLiteral("Company"), company}})
                .isEmpty();
}

QString categoryName(Connection *connection, const QString &categoryCode)
{
    Dataset scratch(connection);
    run(scratch, QStringLiteral("Select * from Cust_Category where Code=:Code"), {{QStringLiteral("Code"), categoryCode}});
    return scratch.isEmpty() ? QString() : scratch.text(QStringLiteral("Name"));
}

QStringList salesmen(Connection *connection)
{
    Dataset scratch(connection);
    run(scratch, QStringLiteral("select * from admin where IsUser=True"));
    QStringList names;
    for (int row = 0; row < scratch.recordCount(); ++row)
        names.append(Dataset::displayText(scratch.value(row, 1)));
    return names;
}

QVariantList codesOfCompany(Connection *connection, const QString &company)
{
    Dataset scratch(connection);
    run(scratch, QStringLiteral("Select * from custom where company=:Company"), {{QStringLiteral("Company"), company}});
    const int field = scratch.checkedFieldIndex(CustCode);
    QVariantList codes;
    for (int row = 0; row < scratch.recordCount(); ++row)
        codes.append(scratch.value(row, field));
    return codes;
}

// ---------------------------------------------------------------- changes

void carryCode(Connection *connection, const QVariant &storedCode, qint64 newCode)
{
    const QVariantMap codes{{QStringLiteral("NewCode"), newCode}, {QStringLiteral("OldCode"), storedCode}};
    execute(connection, QStringLiteral("Update Contact set CustCode=:NewCode where CustCode=:OldCode"), codes);
    execute(connection, QStringLiteral("Update T_Schedule set CustCode=:NewCode where CustCode=:OldCode"), codes);
}

void carryName(Connection *connection, const QVariant &code, const QString &oldName, const QString &newName)
{
    const QVariantMap values{{QStringLiteral("NewName"), newName}, {QStringLiteral("OldName"), oldName}, {CustCode, code}};
    execute(connection, QStringLiteral("Update Contact set Company=:NewName where Company=:OldName and CustCode=:CustCode"),
            values);
    execute(connection,
            QStringLiteral("Update T_Schedule set Company=:NewName where Company=:OldName and CustCode=:CustCode"), values);
}

int setMainContact(Connection *connection, const QVariant &code, const QString &name)
{
    return execute(connection, QStringLiteral("update custom set MainContact=:Name where CustCode=:CustCode"),
                   {{QStringLiteral("Name"), name}, {CustCode, code}});
}

int setCategory(Connection *connection, const QVariant &code, const QString &categoryCode)
{
    return execute(connection, QStringLiteral("Update Custom set Category=:Category where CustCode=:CustCode"),
                   {{QStringLiteral("Category"), categoryCode}, {CustCode, code}});
}

} // namespace Customers
