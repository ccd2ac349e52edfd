#include "Diary.h"
#include "store/Dataset.h"

namespace Diary {

void openOwn(Dataset &query, const QString &operatorName)
{
    query.setSql(QStringLiteral("Select * from T_Daily where author=:Author Order by AddDate"));
    query.setParameter(QStringLiteral("Author"), operatorName);
    query.open();
}

void openSearch(Dataset &query, const QString &keyword)
{
    query.setSql(QStringLiteral("Select * from T_Daily where subject like :Pattern or content like :Pattern"));
    query.setParameter(QStringLiteral("Pattern"), QString(QLatin1Char('%') + keyword + QLatin1Char('%')));
    query.open();
}

} // namespace Diary
