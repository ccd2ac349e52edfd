// kehu-test-writer DB TAG (--seconds S | --transactions N) [--rows K] [--pause-ms P]
// A writer for the reliability tests: through Connection, each transaction reads the
// highest customer code (as the program does to number a new customer) and inserts K
// customers with the next codes, all marked with TAG and the transaction's number in
// Category. After each commit it prints the committed keys (CustID), one a line, and
// flushes, so that a test killing it knows what was committed. A database error goes
// to standard error with exit status 1. With --pause-ms it rests between transactions,
// as an operator's edits do, instead of taking the write lock again at once.
#include "store/Connection.h"
#include "store/DbError.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: kehu-test-writer DB TAG (--seconds S | --transactions N) [--rows K] [--pause-ms P]\n");
        return 2;
    }
    const QString path = args.at(1);
    const QString tag = args.at(2);
    qint64 seconds = -1;
    int transactions = -1;
    int rows = 3;
    int pauseMs = 0;
    for (int i = 3; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--seconds"))
            seconds = args.at(i + 1).toLongLong();
        else if (args.at(i) == QLatin1String("--transactions"))
            transactions = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--rows"))
            rows = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--pause-ms"))
            pauseMs = args.at(i + 1).toInt();
    }
    const QDeadlineTimer deadline(seconds >= 0 ? seconds * 1000 : -1);
    try {
        auto connection = Connection::open(path);
        std::vector<qint64> ids;
        for (int t = 1; transactions < 0 || t <= transactions; ++t) {
            if (seconds >= 0 && deadline.hasExpired())
                break;
            ids.clear();
            connection->begin();
            try {
                Statement highest(*connection, QStringLiteral("select coalesce(max(CustCode), 0) from custom"));
                highest.step();
                const qint64 code = highest.value(0).toLongLong();
                Statement insert(*connection, QStringLiteral(
                    "insert into custom (CustCode, Company, Category, introduce) values (?1, ?2, ?3, ?4)"));
                for (int r = 1; r <= rows; ++r) {
                    insert.reset();
                    insert.bind(1, code + r);
                    insert.bind(2, tag);
                    insert.bind(3, t);
                    insert.bind(4, QString(200, QChar(0x5199))); // some pages to write
                    insert.step();
                    ids.push_back(connection->lastInsertId());
                }
                connection->commit();
            } catch (...) {
                connection->rollback();
                throw;
            }
            for (qint64 id : ids)
                std::printf("%lld\n", static_cast<long long>(id));
            std::fflush(stdout);
            if (pauseMs > 0)
                QThread::msleep(ulong(pauseMs));
        }
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", error.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
