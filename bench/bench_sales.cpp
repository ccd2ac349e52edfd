// Goods and sales, each through the program's data layer as the windows run it and
// beside the raw C API in the same run: the sales analysis over a year of bill lines
// (a month and the whole year), re-sorting it by two columns against sorting the same
// values in a plain vector, saving a bill of 500 lines against raw prepared inserts,
// the goods list's category click and the picker's search over 100,000 goods, and the
// analysis's customer drop-down over 100,000 customers.
#include "BenchData.h"
#include "RawEngine.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Schema.h"
#include "store/SqlDialect.h"
#include "store/Transaction.h"
#include "store/queries/Bills.h"
#include "store/queries/Goods.h"
#include "store/queries/Sales.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

using BenchData::medianMs;

// Prepares the translated statement, binds the named values and steps it, reading
// every column as the data layer does (text, or the number for numeric cells).
size_t stepRaw(const RawEngine &engine, const Dataset &query)
{
    sqlite3_stmt *stmt = engine.prepare(SqlDialect::toEngine(query.sql()));
    for (int i = 1; i <= sqlite3_bind_parameter_count(stmt); ++i) {
        const QVariant value = query.parameter(QString::fromUtf8(sqlite3_bind_parameter_name(stmt, i) + 1));
        if (value.typeId() == QMetaType::QDate)
            RawEngine::bind(stmt, i, value.toDate().toString(Qt::ISODate));
        else
            RawEngine::bind(stmt, i, value);
    }
    const int n = sqlite3_column_count(stmt);
    size_t rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_NULL: break;
            case SQLITE_INTEGER: sqlite3_column_int64(stmt, i); break;
            case SQLITE_FLOAT: sqlite3_column_double(stmt, i); break;
            default: sqlite3_column_text(stmt, i);
            }
        }
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

void report(const char *what, double ours, double raw, double goal)
{
    std::printf("  %-44s ours %9.2f ms   raw %9.2f ms   ratio %.2f (goal <= %.1f)\n", what, ours, raw, ours / raw, goal);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int lines = 1000000, customers = 100000, goods = 100000, repeat = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        const int value = args.at(i + 1).toInt();
        if (args.at(i) == QLatin1String("--lines")) lines = value;
        if (args.at(i) == QLatin1String("--customers")) customers = value;
        if (args.at(i) == QLatin1String("--goods")) goods = value;
        if (args.at(i) == QLatin1String("--repeat")) repeat = value;
    }
    const int billCustomers = std::min(customers, 10000), billGoods = std::min(goods, 2000);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    Schema::createDatabase(path);
    auto c = Connection::open(path);
    BenchData::fill(*c, customers, 0);
    RawEngine raw(path);

    // Goods in 20 categories of two levels; a year of bills, ten lines each.
    {
        QElapsedTimer t;
        t.start();
        // The raw engine's own connection writes everything: one transaction, prepared inserts.
        sqlite3_stmt *begin = raw.prepare(QStringLiteral("begin"));
        sqlite3_step(begin);
        sqlite3_finalize(begin);
        sqlite3_stmt *insertGoods = raw.prepare(QStringLiteral(
            "insert into T_Goods (GoodsCode, GoodsName, GoodsUnit, Units, Category, SalePrice) values (?1, ?2, ?3, '件', ?4, ?5)"));
        for (int g = 0; g < goods; ++g) {
            RawEngine::bind(insertGoods, 1, QStringLiteral("G%1").arg(g, 6, 10, QLatin1Char('0')));
            RawEngine::bind(insertGoods, 2, QStringLiteral("商品%1号").arg(g));
            RawEngine::bind(insertGoods, 3, QStringLiteral("规格%1").arg(g % 50));
            RawEngine::bind(insertGoods, 4, QStringLiteral("%1%2").arg(g % 10 + 1, 2, 10, QLatin1Char('0')).arg(g % 2 + 1, 2, 10, QLatin1Char('0')));
            sqlite3_bind_double(insertGoods, 5, 1 + g % 500 * 0.5);
            sqlite3_step(insertGoods);
            sqlite3_reset(insertGoods);
        }
        sqlite3_finalize(insertGoods);
        sqlite3_stmt *bill = raw.prepare(QStringLiteral(
            "insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) values (?1, ?2, ?3, ?4, ?5)"));
        sqlite3_stmt *line = raw.prepare(QStringLiteral(
            "insert into T_BillDetail (BillCode, GoodsCode, GoodsName, GoodsUnit, Units, Number, SalePrice, Discount, SaleMoney) "
            "values (?1, ?2, ?3, '规格', '件', ?4, ?5, 1, ?6)"));
        std::mt19937 random(7);
        const QDate first(2025, 1, 1);
        for (int b = 0; b * 10 < lines; ++b) {
            const QDate day = first.addDays(b % 365);
            const QString code = QStringLiteral("FH%1%2").arg(day.toString(QStringLiteral("yyyyMMdd"))).arg(b, 6, 10, QLatin1Char('0'));
            const int customer = int(random() % unsigned(billCustomers)) + 1;
            RawEngine::bind(bill, 1, code);
            RawEngine::bind(bill, 2, day.toString(Qt::ISODate));
            RawEngine::bind(bill, 3, customer);
            RawEngine::bind(bill, 4, QStringLiteral("客户%1有限公司").arg(customer));
            RawEngine::bind(bill, 5, QStringLiteral("业务员%1").arg(customer % 8));
            sqlite3_step(bill);
            sqlite3_reset(bill);
            for (int l = 0; l < 10 && b * 10 + l < lines; ++l) {
                const int g = int(random() % unsigned(billGoods));
                const double number = 1 + random() % 20, price = 1 + g % 500 * 0.5;
                RawEngine::bind(line, 1, code);
                RawEngine::bind(line, 2, QStringLiteral("G%1").arg(g, 6, 10, QLatin1Char('0')));
                RawEngine::bind(line, 3, QStringLiteral("商品%1号").arg(g));
                sqlite3_bind_double(line, 4, number);
                sqlite3_bind_double(line, 5, price);
                sqlite3_bind_double(line, 6, number * price);
                sqlite3_step(line);
                sqlite3_reset(line);
            }
        }
        sqlite3_finalize(bill);
        sqlite3_finalize(line);
        sqlite3_stmt *commit = raw.prepare(QStringLiteral("commit"));
        sqlite3_step(commit);
        sqlite3_finalize(commit);
        std::printf("scratch database: %d customers, %d goods, %d bill lines (written in %.1f s)\n", customers, goods,
                    lines, double(t.elapsed()) / 1000);
    }
    std::printf("median of %d runs\n", repeat);

    // --- the sales analysis
    Dataset analysis(c.get());
    const auto openRange = [&](QDate from, QDate to) {
        Sales::openAnalysis(analysis, {from, to, {}, {}, {}});
    };
    for (const auto &[what, from, to] : {std::tuple{"analysis, one month", QDate(2025, 3, 1), QDate(2025, 3, 31)},
                                         std::tuple{"analysis, the whole year", QDate(2025, 1, 1), QDate(2025, 12, 31)}}) {
        openRange(from, to);
        const double rawMs = medianMs(repeat, [&] { stepRaw(raw, analysis); });
        const double ours = medianMs(repeat, [&] { openRange(from, to); });
        report(what, ours, rawMs, 1.2);
    }
    // Re-sorting the year by two columns.
    openRange(QDate(2025, 1, 1), QDate(2025, 12, 31));
    {
        const int name = analysis.fieldIndex(QStringLiteral("CustName")), money = analysis.fieldIndex(QStringLiteral("SaleMoney"));
        std::vector<std::pair<QString, double>> values;
        values.reserve(size_t(analysis.recordCount()));
        for (int row = 0; row < analysis.recordCount(); ++row)
            values.emplace_back(analysis.value(row, name).toString(), analysis.value(row, money).toDouble());
        // The same rule as the grid's sort: names in pinyin order without regard to case.
        const double vector = medianMs(repeat, [&] {
            QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            std::vector<std::pair<QCollatorSortKey, double>> keyed;
            keyed.reserve(values.size());
            for (const auto &[text, number] : values)
                keyed.emplace_back(collator.sortKey(text), number);
            std::vector<size_t> order(keyed.size());
            for (size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            std::stable_sort(order.begin(), order.end(), [&keyed](size_t a, size_t b) {
                const int byName = keyed[a].first.compare(keyed[b].first);
                return byName != 0 ? byName < 0 : keyed[a].second > keyed[b].second;
            });
        });
        const double ours = medianMs(repeat, [&] {
            analysis.setSort(QString());
            analysis.setSort(QStringLiteral("CustName, SaleMoney DESC"));
        });
        report("re-sort by two columns (against a vector)", ours, vector, 1.2);
    }
    analysis.close();

    // --- saving a bill of 500 lines
    {
        int round = 0;
        const double rawMs = medianMs(repeat, [&] {
            const QString code = QStringLiteral("RAW%1").arg(++round);
            sqlite3_stmt *s = raw.prepare(QStringLiteral("begin immediate"));
            sqlite3_step(s);
            sqlite3_finalize(s);
            sqlite3_stmt *header = raw.prepare(QStringLiteral("insert into T_Bill (BillCode, BillDate, CustCode, CustName, memo, F_User) "
                                                              "values (?1, '2026-01-01', 1, '客户1有限公司', '', 'Admin')"));
            RawEngine::bind(header, 1, code);
            sqlite3_step(header);
            sqlite3_finalize(header);
            sqlite3_stmt *line = raw.prepare(QStringLiteral(
                "insert into T_BillDetail (BillCode, GoodsCode, GoodsName, GoodsUnit, Units, Number, SalePrice, Discount, SaleMoney) "
                "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
            for (int l = 0; l < 500; ++l) {
                RawEngine::bind(line, 1, code);
                RawEngine::bind(line, 2, QStringLiteral("G%1").arg(l, 6, 10, QLatin1Char('0')));
                RawEngine::bind(line, 3, QStringLiteral("商品%1号").arg(l));
                RawEngine::bind(line, 4, QStringLiteral("规格"));
                RawEngine::bind(line, 5, QStringLiteral("件"));
                sqlite3_bind_double(line, 6, 3);
                sqlite3_bind_double(line, 7, 12.5);
                sqlite3_bind_double(line, 8, 0.9);
                sqlite3_bind_double(line, 9, 33.75);
                sqlite3_step(line);
                sqlite3_reset(line);
            }
            sqlite3_finalize(line);
            s = raw.prepare(QStringLiteral("commit"));
            sqlite3_step(s);
            sqlite3_finalize(s);
        });
        Dataset lineCache(c.get());
        lineCache.setCachedUpdates(true);
        const double ours = medianMs(repeat, [&] {
            const QString code = QStringLiteral("OURS%1").arg(++round);
            Bills::openLines(lineCache, QString());
            for (int l = 0; l < 500; ++l) {
                lineCache.append();
                lineCache.setValue(QStringLiteral("BillCode"), code);
                lineCache.setValue(QStringLiteral("GoodsCode"), QStringLiteral("G%1").arg(l, 6, 10, QLatin1Char('0')));
                lineCache.setValue(QStringLiteral("GoodsName"), QStringLiteral("商品%1号").arg(l));
                lineCache.setValue(QStringLiteral("GoodsUnit"), QStringLiteral("规格"));
                lineCache.setValue(QStringLiteral("Units"), QStringLiteral("件"));
                lineCache.setValue(QStringLiteral("Number"), 3);
                lineCache.setValue(QStringLiteral("SalePrice"), 12.5);
                lineCache.setValue(QStringLiteral("Discount"), 0.9);
                lineCache.post();
            }
            tryInTransaction(*c, [&] {
                Dataset header(c.get());
                Bills::openHeader(header, code);
                header.append();
                header.setValue(QStringLiteral("BillCode"), code);
                header.setValue(QStringLiteral("BillDate"), QDate(2026, 1, 1));
                header.setValue(QStringLiteral("CustCode"), 1);
                header.setValue(QStringLiteral("CustName"), QStringLiteral("客户1有限公司"));
                header.setValue(QStringLiteral("memo"), QString());
                header.setValue(QStringLiteral("F_User"), QStringLiteral("Admin"));
                header.post();
                for (int row = 0; row < lineCache.recordCount(); ++row) {
                    lineCache.setCurrentRow(row);
                    lineCache.edit();
                    lineCache.setValue(QStringLiteral("SaleMoney"), 33.75);
                    lineCache.post();
                }
                lineCache.applyUpdates();
            });
        });
        report("saving a bill of 500 lines (cache, then save)", ours, rawMs, 2.0);
    }

    // --- goods list and picker over the goods
    Dataset goodsList(c.get());
    Goods::openCategory(goodsList, QStringLiteral("03"));
    report("goods category click", medianMs(repeat, [&] { Goods::openCategory(goodsList, QStringLiteral("03")); }),
           medianMs(repeat, [&] { stepRaw(raw, goodsList); }), 1.2);
    Goods::openSearch(goodsList, {QStringLiteral("12"), {}, {}}, Goods::SearchStyle::Picker);
    report("picker search while typing (code \"12\")",
           medianMs(repeat, [&] { Goods::openSearch(goodsList, {QStringLiteral("12"), {}, {}}, Goods::SearchStyle::Picker); }),
           medianMs(repeat, [&] { stepRaw(raw, goodsList); }), 1.2);

    // --- the analysis's customer drop-down
    {
        const double rawMs = medianMs(repeat, [&] {
            sqlite3_stmt *s = raw.prepare(QStringLiteral("select Company from custom"));
            QStringList names;
            while (sqlite3_step(s) == SQLITE_ROW)
                names.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0))).trimmed());
            sqlite3_finalize(s);
        });
        report("customer drop-down", medianMs(repeat, [&] { Sales::customerCompanies(c.get()); }), rawMs, 1.5);
    }
    return 0;
}
