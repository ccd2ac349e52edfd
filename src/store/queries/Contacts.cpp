#include "Contacts.h"
#include "Run.h"
#include "ColumnChoice.h"
#include "store/Dataset.h"

namespace Contacts {

void openOfCustomer(Dataset &query, const OperatorScope &scope)
{
    query.setSql(scope.narrow(QStringLiteral("Select * From Contact where CustCode=:CustCode")));
    scope.bindOwner(query);
    query.open();
}

QVariantList customerCodesMatching(Connection *connection, const QString &column, const QString &key)
{
    Run::requireIdentifier(column, QStringLiteral("列名"));
    Dataset rows(connection);
    rows.setSql(QStringLiteral("select CustCode from Contact where ") + column
                + QStringLiteral(" like :Pattern group by CustCode"));
    rows.setParameter(QStringLiteral("Pattern"), QString(QLatin1Char('%') + key + QLatin1Char('%')));
    rows.open();
    QVariantList codes;
    for (int row = 0; row < rows.recordCount(); ++row)
        if (!rows.value(row, 0).isNull())
            codes.append(rows.value(row, 0));
    return codes;
}

void setCustomerCode(Connection *connection, const QVariant &contactId, const QVariant &code)
{
    Run::exec(*connection, QStringLiteral("update Contact set CustCode=:CustCode where ContactID=:ContactID"),
              {{"CustCode", code}, {"ContactID", contactId}});
}

} // namespace Contacts
