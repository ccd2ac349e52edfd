#include "Schedules.h"
#include "store/Dataset.h"

namespace Schedules {

void openList(Dataset &query, const OperatorScope &scope)
{
    query.setSql(scope.narrow(QStringLiteral("Select * from T_Schedule")));
    scope.bindOwner(query);
    query.open();
}

void openByReminderDate(Dataset &query, const OperatorScope &scope, const QDate &day)
{
    query.setSql(scope.narrow(QStringLiteral("Select * from T_Schedule where AwokeDate=:Day")));
    query.setParameter(QStringLiteral("Day"), day);
    scope.bindOwner(query);
    query.open();
}

void openReminders(Dataset &query, const QString &operatorName, const QString &dayText)
{
    query.setSql(QStringLiteral("select * from T_Schedule where F_User=:Operator and awoke=True and "
                                "datediff('y',Date(),[AwokeDate])=:Day"));
    query.setParameter(QStringLiteral("Operator"), operatorName);
    query.setParameter(QStringLiteral("Day"), dayText.trimmed());
    query.open();
}

QStringList contactNames(Connection *db, const QString &company)
{
    Dataset contacts(db);
    contacts.setSql(QStringLiteral("select * from Contact where company=:Company"));
    contacts.setParameter(QStringLiteral("Company"), company);
    contacts.open();
    const int name = contacts.checkedFieldIndex(QStringLiteral("ContactName"));
    QStringList names;
    for (int row = 0; row < contacts.recordCount(); ++row)
        names.append(contacts.value(row, name).toString().trimmed());
    return names;
}

} // namespace Schedules
