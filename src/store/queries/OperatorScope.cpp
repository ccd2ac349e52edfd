#include "OperatorScope.h"
#include "store/Dataset.h"

#include <QRegularExpression>

QString OperatorScope::ownerCondition(const QString &column) const
{
    return viewAll ? QString() : column + QStringLiteral("=:Operator");
}

void OperatorScope::bindOwner(Dataset &query) const
{
    if (!viewAll)
        query.setParameter(QStringLiteral("Operator"), operatorName);
}

QString OperatorScope::narrow(const QString &statement, const QString &column) const
{
    if (viewAll)
        return statement;
    static const QRegularExpression orderBy(QStringLiteral("\\s+order\\s+by\\s"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression where(QStringLiteral("\\swhere\\s"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch order = orderBy.match(statement);
    QString head = order.hasMatch() ? statement.left(order.capturedStart()) : statement;
    const QString tail = order.hasMatch() ? statement.mid(order.capturedStart()) : QString();
    head += (where.match(head).hasMatch() ? QStringLiteral(" and ") : QStringLiteral(" where ")) + ownerCondition(column);
    return head + tail;
}
