#include "CategoryCode.h"
#include "Dataset.h"
#include "SqlText.h"

namespace CategoryCode {

int CodeLevel(const QString &pattern, const QString &code)
{
    if (pattern.isEmpty() || code.isEmpty())
        return -1;
    int sum = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        sum += pattern.at(i).digitValue();
        if (sum == code.size())
            return i + 1;
    }
    return -1;
}

QString PadCode(qint64 v)
{
    QString text = QString::number(v);
    if (text.size() % 2 != 0)
        text.prepend(QLatin1Char('0'));
    return text;
}

QString nodeCode(const QString &nodeText)
{
    const int dash = nodeText.indexOf(QLatin1Char('-'));
    return dash < 0 ? nodeText : nodeText.left(dash);
}

static void run(Dataset &query, const QString &sql)
{
    query.close();
    query.setSql(sql);
    query.open();
}

// The greatest code of the (code-ordered) rows plus one, padded.
static QString nextAfterLast(Dataset &query)
{
    const QString last = query.value(query.recordCount() - 1, query.checkedFieldIndex(QStringLiteral("code"))).toString();
    return PadCode(last.trimmed().toLongLong() + 1);
}

Proposal propose(Dataset &query, const QString &table, const QString &current, bool addChild)
{
    const QString c = current.trimmed().isEmpty() ? QStringLiteral("0") : current;
    const int n = int(c.size());
    const QString from = QStringLiteral("select * from ") + table;

    run(query, from);
    if (query.isEmpty())
        return {QStringLiteral("01"), true};

    if (n == 1) {
        run(query, from + QStringLiteral(" where len(code)=2 order by code"));
        return {query.isEmpty() ? PadCode(1) : nextAfterLast(query)};
    }
    const QString pattern = SqlText::escaped(c);
    if (addChild) {
        run(query, from + QStringLiteral(" where code like '") + pattern + QStringLiteral("%' order by code"));
        if (query.recordCount() == 1)
            return {c + QStringLiteral("01")};
        if (query.recordCount() > 1) {
            run(query, from + QStringLiteral(" where len(code)=") + QString::number(n + 2)
                           + QStringLiteral(" and code like '") + pattern + QStringLiteral("%' order by code"));
            return {query.isEmpty() ? c + QStringLiteral("01") : nextAfterLast(query)};
        }
        return {};
    }
    run(query, from + QStringLiteral(" where len(code)=") + QString::number(n) + QStringLiteral(" order by code"));
    if (query.isEmpty())
        return {};
    QString proposal = nextAfterLast(query);
    if (query.recordCount() > 1) {
        run(query, from + QStringLiteral(" where len(code)=") + QString::number(n) + QStringLiteral(" and code like'")
                       + SqlText::escaped(c.left(n - 2)) + QStringLiteral("%' order by code"));
        if (!query.isEmpty())
            proposal = nextAfterLast(query);
    }
    return {proposal};
}

} // namespace CategoryCode
