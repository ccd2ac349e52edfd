#pragma once

#include <QString>

class Dataset;

// Whose records a list shows: every operator's with the view-all right, otherwise only
// the rows stamped with the operator's own name (F_User, or author in the diary).
struct OperatorScope
{
    QString operatorName;
    bool viewAll = false;

    // The condition a scoped statement adds ("F_User=:Operator"), empty with the view-all
    // right. The statement then needs bindOwner().
    QString ownerCondition(const QString &column = QStringLiteral("F_User")) const;
    // Binds :Operator when the scope narrows the list.
    void bindOwner(Dataset &query) const;
    // The statement with the owner condition joined in: "where …" when it has none yet,
    // "and …" after an existing condition, always before an "order by".
    QString narrow(const QString &statement, const QString &column = QStringLiteral("F_User")) const;
};
