#include "Lookups.h"
#include "store/Dataset.h"

namespace Lookups {

namespace {

// The tables of the lists with a table of their own, by list. Only these names are
// ever put into a statement.
const char *dictionaryTable(List list)
{
    switch (list) {
    case List::Countries: return "Dict_Country";
    case List::JobTitles: return "Dict_Zw";
    case List::Departments: return "Dict_department";
    case List::CustomerSources: return "Dict_custfrom";
    case List::CustomerTypes: return "Dict_custType";
    case List::Units: break;
    }
    return nullptr;
}

} // namespace

void openList(Dataset &query, List list)
{
    if (list == List::Units)
        query.setSql(QStringLiteral("select * from T_other where cataid='Units'"));
    else
        query.setSql(QStringLiteral("select * from ") + QLatin1String(dictionaryTable(list)));
    query.open();
}

QString newValueCategory(List list)
{
    return list == List::Units ? QStringLiteral("Units") : QString();
}

QStringList scheduleSubjects(Connection *db)
{
    Dataset subjects(db);
    subjects.setSql(QStringLiteral("select * from T_Other where cataid='subject'"));
    subjects.open();
    const int name = subjects.checkedFieldIndex(QStringLiteral("Name"));
    QStringList names;
    for (int row = 0; row < subjects.recordCount(); ++row)
        names.append(subjects.value(row, name).toString().trimmed());
    return names;
}

} // namespace Lookups
