#include "ColumnChoice.h"
#include "store/Dataset.h"
#include "store/DbError.h"

#include <QRegularExpression>

namespace ColumnChoice {

void requireIdentifier(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(name).hasMatch())
        throw DbError(QStringLiteral("\"%1\" 不是有效的列名").arg(name));
}

QString columnNamed(Connection *connection, const QString &layout, const QString &caption)
{
    Dataset rows(connection);
    rows.setSql(QStringLiteral("select * from T_FieldShow where tablename=:Layout and Name=:Name"));
    rows.setParameter(QStringLiteral("Layout"), layout);
    rows.setParameter(QStringLiteral("Name"), caption);
    rows.open();
    if (rows.isEmpty())
        return {};
    const QString column = rows.text(QStringLiteral("Field"));
    requireIdentifier(column);
    return column;
}

QStringList titles(Connection *connection, const QString &layout, bool shown)
{
    Dataset rows(connection);
    rows.setSql(QStringLiteral("select * from T_FieldShow where show=:Show and TableName=:Layout"));
    rows.setParameter(QStringLiteral("Show"), shown ? 1 : 0);
    rows.setParameter(QStringLiteral("Layout"), layout);
    rows.open();
    const int name = rows.checkedFieldIndex(QStringLiteral("Name"));
    QStringList result;
    for (int row = 0; row < rows.recordCount(); ++row)
        result.append(Dataset::displayText(rows.value(row, name)));
    return result;
}

void setShown(Connection *connection, const QString &layout, const QString &title, bool shown)
{
    Dataset statement(connection);
    statement.setSql(QStringLiteral("update T_FieldShow set show=:Show where name=:Name and TableName=:Layout"));
    statement.setParameter(QStringLiteral("Show"), shown ? 1 : 0);
    statement.setParameter(QStringLiteral("Name"), title);
    statement.setParameter(QStringLiteral("Layout"), layout);
    statement.execute();
}

} // namespace ColumnChoice
