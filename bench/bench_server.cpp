// The customer list through a PostgreSQL server, loaded as the browser loads it (in the
// background, rows streamed), beside psql fetching the same rows from the same server in
// the same run: the root click, a category click and a quick search.
// The server: --uri URI (a database the program may fill: it is dropped and made again
// as kehu_bench on that server), else KEHU_TEST_PG_URI; none: says so and stops.
// Default 100,000 customers with 200,000 contacts (--rows N for another number).
#include "BenchData.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/ServerDatabase.h"
#include "store/SqlDialect.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The whole list as the window loads it; milliseconds until every row is in.
double load(Dataset &list, const QString &programSql, int *rows)
{
    list.close();
    list.setSql(programSql);
    QElapsedTimer t;
    t.start();
    list.open();
    while (list.isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    *rows = list.recordCount();
    return double(t.nsecsElapsed()) / 1e6;
}

// psql fetching the same rows, unaligned, into nothing: the server's own client.
double psql(const QString &psqlPath, const QString &uri, const QString &engineSql)
{
    QElapsedTimer t;
    t.start();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(psqlPath, {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
                             QStringLiteral("-d"), uri, QStringLiteral("-c"), engineSql});
    process.waitForFinished(-1);
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int customers = 100000;
    QString admin = qEnvironmentVariable("KEHU_TEST_PG_URI");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--rows"))
            customers = args.at(i + 1).toInt();
        if (args.at(i) == QLatin1String("--uri"))
            admin = args.at(i + 1);
    }
    const QString psqlPath = QStandardPaths::findExecutable(QStringLiteral("psql"));
    if (admin.isEmpty() || psqlPath.isEmpty()) {
        std::printf("bench_server: no PostgreSQL server (--uri or KEHU_TEST_PG_URI) or no psql: nothing measured\n");
        return 0;
    }
    static const QRegularExpression path(QStringLiteral("^(postgres(?:ql)?://[^/?]*)(/[^?]*)?(.*)$"));
    const QString uri = QString(admin).replace(path, QStringLiteral("\\1/kehu_bench\\3"));
    {
        auto server = Connection::create(admin);
        server->exec(QStringLiteral("DROP DATABASE IF EXISTS kehu_bench WITH (FORCE)"));
        server->exec(QStringLiteral("CREATE DATABASE kehu_bench"));
    }
    ServerDatabase::initialise(uri);
    {
        auto writer = Connection::open(uri);
        QElapsedTimer t;
        t.start();
        BenchData::fill(*writer, customers, 2);
        writer->exec(QStringLiteral("ANALYZE"));
        std::printf("server database: %d customers, %d contacts (written in %.1f s)\n", customers, customers * 2,
                    double(t.elapsed()) / 1000);
    }
    auto connection = Connection::open(uri);
    Dataset list(connection.get());
    list.setObjectName(QStringLiteral("Qry_Cust"));
    list.setBackgroundLoading(true);
    Dataset::setForegroundWaitMs(0);
    int rows = 0;
    load(list, QStringLiteral("select * from custom where 1=0"), &rows); // the read connection, once

    const QList<QPair<const char *, QString>> loads = {
        {"root click", QStringLiteral("Select * from custom")},
        {"category click", QStringLiteral("Select * from custom where category like '01%'")},
        {"quick search", QStringLiteral("Select * from custom where Company like '%华信%'")},
    };
    for (const auto &[what, sql] : loads) {
        // Medians of runs taken in turn, so a moment of load on the machine decides nothing.
        std::vector<double> ours, theirs;
        for (int r = 0; r < 3; ++r) {
            theirs.push_back(psql(psqlPath, uri, SqlDialect::toEngine(sql, SqlEngine::Postgres)));
            ours.push_back(load(list, sql, &rows));
        }
        const double a = median(ours), b = median(theirs);
        std::printf("  %-16s %7d rows   ours %9.1f ms   psql %9.1f ms   ratio %5.2f  (goal <= 1.5)\n", what, rows, a, b,
                    b > 0 ? a / b : 0.0);
    }
    list.close();
    connection.reset();
    Connection::create(admin)->exec(QStringLiteral("DROP DATABASE IF EXISTS kehu_bench WITH (FORCE)"));
    return 0;
}
