#pragma once

#include "TestProgram.h"
#include "store/Connection.h"

#include <QProcess>
#include <QSet>
#include <QStringList>

// What the reliability tests check after writers ran on a database: the file passes
// the engine's integrity check, every key a writer reported committed is there, and
// every transaction is there whole or not at all (each wrote `rowsPerTransaction`
// customers with its tag and number).
namespace WriterRun {

inline QStringList arguments(const QString &db, const QString &tag, const QStringList &more)
{
    return QStringList{db, tag} + more;
}

// The keys a writer printed, from its standard output.
inline QSet<qint64> reportedIds(QProcess &writer)
{
    QSet<qint64> ids;
    const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        bool ok = false;
        const qint64 id = line.trimmed().toLongLong(&ok);
        if (ok) // a line cut short by the kill is not a report
            ids.insert(id);
    }
    return ids;
}

inline QString integrity(Connection &c)
{
    Statement check(c, QStringLiteral("PRAGMA integrity_check"));
    QStringList lines;
    while (check.step())
        lines.append(check.value(0).toString());
    return lines.join(QLatin1Char('\n'));
}

// Keys of the rows with this tag that are missing from the database.
inline QList<qint64> missing(Connection &c, const QSet<qint64> &ids)
{
    QSet<qint64> present;
    Statement all(c, QStringLiteral("select CustID from custom"));
    while (all.step())
        present.insert(all.value(0).toLongLong());
    QList<qint64> lost;
    for (qint64 id : ids)
        if (!present.contains(id))
            lost.append(id);
    return lost;
}

// Transactions of this tag stored in part: "tag/number: rows".
inline QStringList partial(Connection &c, const QString &tag, int rowsPerTransaction)
{
    Statement groups(c, QStringLiteral(
        "select Category, count(*) from custom where Company=?1 group by Category having count(*)<>?2"));
    groups.bind(1, tag);
    groups.bind(2, rowsPerTransaction);
    QStringList found;
    while (groups.step())
        found.append(QStringLiteral("%1/%2: %3").arg(tag, groups.value(0).toString(), groups.value(1).toString()));
    return found;
}

inline int rowsOf(Connection &c, const QString &tag)
{
    Statement count(c, QStringLiteral("select count(*) from custom where Company=?1"));
    count.bind(1, tag);
    count.step();
    return count.value(0).toInt();
}

} // namespace WriterRun
