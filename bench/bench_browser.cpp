// The customer browser's statements, each through the data layer as the browser runs
// them and stepped with the raw C API, side by side in one run: the full list, a
// category click, a quick search on the company name, and moving the current customer
// with its four detail queries following. 100,000 customers, 200,000 contacts.
#include "BenchData.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Schema.h"
#include "store/SqlDialect.h"
#include "RawEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using BenchData::medianMs;

// Prepares, binds (optionally) and steps a statement, reading every column's text.
size_t stepRaw(const RawEngine &c, const QString &programSql, const QVariant &code = {})
{
    sqlite3_stmt *stmt = c.prepare(SqlDialect::toEngine(programSql));
    if (code.isValid())
        RawEngine::bind(stmt, 1, code);
    const int n = sqlite3_column_count(stmt);
    size_t rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i)
            if (sqlite3_column_type(stmt, i) != SQLITE_NULL)
                sqlite3_column_text(stmt, i);
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

void report(const char *what, double dataset, double raw)
{
    std::printf("  %-34s Dataset %8.2f ms   raw %8.2f ms   ratio %.2f (goal <= 1.5)\n", what, dataset, raw, dataset / raw);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int customers = 100000, repeat = 5, moves = 2000;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--rows"))
            customers = args.at(i + 1).toInt();
        if (args.at(i) == QLatin1String("--repeat"))
            repeat = args.at(i + 1).toInt();
    }
    moves = std::min(moves, customers);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    Schema::createDatabase(path);
    auto c = Connection::open(path);
    BenchData::fill(*c, customers, 2);
    RawEngine rawEngine(path);
    std::printf("scratch database: %d customers, %d contacts\n", customers, customers * 2);

    // The shared queries as the browser links them.
    Dataset cust(c.get()), contact(c.get()), schedule(c.get()), bill(c.get()), detail(c.get());
    for (Dataset *d : {&contact, &schedule, &bill, &detail})
        d->setMaster(&cust);
    contact.setSql(QStringLiteral("Select * From Contact where CustCode=:CustCode"));
    schedule.setSql(QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"));
    bill.setSql(QStringLiteral("select * from T_Bill where CustCode=:CustCode"));
    detail.setSql(QStringLiteral("select * from S_BillDetail where CustCode=:CustCode"));

    auto load = [&](const QString &sql) {
        cust.close();
        cust.setSql(sql);
        cust.open(); // the open details follow the new first customer
    };
    auto rawLoad = [&](const QString &sql) {
        stepRaw(rawEngine, sql);
        for (const QString &d : {contact.sql(), schedule.sql(), bill.sql(), detail.sql()})
            stepRaw(rawEngine, d, 1);
    };
    cust.setSql(QStringLiteral("select * from custom where 1=0"));
    cust.open();
    for (Dataset *d : {&contact, &schedule, &bill, &detail})
        d->open();

    std::printf("median of %d runs\n", repeat);
    const QList<QPair<const char *, QString>> statements = {
        {"full list (Cust_CustContact)", QStringLiteral("Select * from Custom")},
        {"category click", QStringLiteral("Select * from custom where category like '01%'")},
        {"quick search on company name", QStringLiteral("Select * from custom where Company like '%华信%'")},
    };
    for (const auto &[what, sql] : statements) {
        const double raw = medianMs(repeat, [&] { rawLoad(sql); });
        const double data = medianMs(repeat, [&] { load(sql); });
        report(what, data, raw);
    }

    // Moving the current customer: every move re-runs the four detail queries.
    load(QStringLiteral("Select * from Custom"));
    const double data = medianMs(repeat, [&] {
        for (int row = 0; row < moves; ++row)
            cust.setCurrentRow(row);
    }) / moves;
    const double raw = medianMs(repeat, [&] {
        for (int row = 0; row < moves; ++row) {
            const QVariant code = cust.value(row, cust.fieldIndex(QStringLiteral("CustCode")));
            for (const QString &d : {contact.sql(), schedule.sql(), bill.sql(), detail.sql()})
                stepRaw(rawEngine, d, code);
        }
    }) / moves;
    report("moving the current customer", data, raw);
    // The same moves against statements prepared once, only reset and re-bound.
    std::vector<sqlite3_stmt *> kept;
    for (const QString &d : {contact.sql(), schedule.sql(), bill.sql(), detail.sql()})
        kept.push_back(rawEngine.prepare(SqlDialect::toEngine(d)));
    const double rawKept = medianMs(repeat, [&] {
        for (int row = 0; row < moves; ++row) {
            const QVariant code = cust.value(row, cust.fieldIndex(QStringLiteral("CustCode")));
            for (sqlite3_stmt *s : kept) {
                sqlite3_reset(s);
                RawEngine::bind(s, 1, code);
                const int n = sqlite3_column_count(s);
                while (sqlite3_step(s) == SQLITE_ROW)
                    for (int i = 0; i < n; ++i)
                        sqlite3_column_text(s, i);
            }
        }
    }) / moves;
    for (sqlite3_stmt *s : kept)
        sqlite3_finalize(s);
    report("  against statements prepared once", data, rawKept);
    std::printf("  one move with its detail pages takes %.3f ms: %.0f moves a second (key repeat needs ~30)\n",
                data, 1000.0 / data);
    return 0;
}
