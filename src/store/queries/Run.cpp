#include "Run.h"
#include "store/Dataset.h"

namespace Run {

namespace {
void prepare(Dataset &query, const QString &statement, Values values)
{
    query.close();
    query.setSql(statement);
    for (const auto &[name, value] : values)
        query.setParameter(QString::fromLatin1(name), value);
}
} // namespace

void open(Dataset &query, const QString &statement, Values values)
{
    prepare(query, statement, values);
    query.open();
}

int exec(Connection &connection, const QString &statement, Values values)
{
    Dataset query(&connection);
    prepare(query, statement, values);
    return query.execute();
}

QVariant scalar(Connection &connection, const QString &statement, Values values)
{
    Dataset query(&connection);
    open(query, statement, values);
    return query.isEmpty() || query.fieldCount() == 0 ? QVariant() : query.value(0, 0);
}

} // namespace Run
