#include "Run.h"
#include "store/Dataset.h"
#include "store/DbError.h"

#include <QRegularExpression>

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

const QString &requireIdentifier(const QString &name, const QString &what)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(name).hasMatch())
        throw DbError(QStringLiteral("\"%1\" 不是有效的%2").arg(name, what));
    return name;
}

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
