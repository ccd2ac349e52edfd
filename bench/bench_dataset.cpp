// Loading the customer list: a Dataset against stepping the same statement with the
// raw C API, in one run on one scratch database of realistic Chinese customers.
// Prints the time ratio (Dataset / raw) and the Dataset's memory per row against the
// raw text size of a row.
#include "BenchData.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Schema.h"
#include "RawEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <vector>

static size_t heapInUse()
{
    malloc_trim(0);
    return mallinfo2().uordblks;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int rows = 100000, repeat = 5;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--rows"))
            rows = args.at(i + 1).toInt();
        if (args.at(i) == QLatin1String("--repeat"))
            repeat = args.at(i + 1).toInt();
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    Schema::createDatabase(path);
    auto connection = Connection::open(path);
    RawEngine rawEngine(path);
    QElapsedTimer fillTimer;
    fillTimer.start();
    BenchData::fill(*connection, rows, 0);
    std::printf("scratch database: %d customers written in %.1f s\n", rows, fillTimer.elapsed() / 1000.0);

    const QString sql = QStringLiteral("select * from custom");
    std::vector<double> raw, dataset;
    size_t rawBytes = 0;
    for (int r = 0; r < repeat; ++r) {
        // (b) the raw baseline: step and read every column's text.
        QElapsedTimer t;
        t.start();
        {
            sqlite3_stmt *stmt = rawEngine.prepare(sql);
            const int n = sqlite3_column_count(stmt);
            size_t bytes = 0;
            while (sqlite3_step(stmt) == SQLITE_ROW)
                for (int i = 0; i < n; ++i) {
                    if (sqlite3_column_type(stmt, i) == SQLITE_NULL)
                        continue;
                    const unsigned char *text = sqlite3_column_text(stmt, i);
                    bytes += size_t(sqlite3_column_bytes(stmt, i)) + (text ? 0 : 0);
                }
            sqlite3_finalize(stmt);
            rawBytes = bytes;
        }
        raw.push_back(t.nsecsElapsed() / 1e6);

        // (a) the same statement through a Dataset.
        t.restart();
        Dataset query(connection.get());
        query.setSql(sql);
        query.open();
        dataset.push_back(t.nsecsElapsed() / 1e6);
        if (query.recordCount() != rows)
            return 1;
    }
    std::sort(raw.begin(), raw.end());
    std::sort(dataset.begin(), dataset.end());
    const double rawMs = raw[raw.size() / 2], dataMs = dataset[dataset.size() / 2];

    const size_t before = heapInUse();
    auto *query = new Dataset(connection.get());
    query->setSql(sql);
    query->open();
    const size_t after = heapInUse();
    const double perRow = double(after - before) / rows;
    const double rawPerRow = double(rawBytes) / rows;
    delete query;

    std::printf("open \"%s\", %d rows, median of %d runs\n", qPrintable(sql), rows, repeat);
    std::printf("  raw C API step      %8.1f ms\n", rawMs);
    std::printf("  Dataset open        %8.1f ms\n", dataMs);
    std::printf("  time ratio Dataset/raw: %.2f (goal <= 1.5)\n", dataMs / rawMs);
    std::printf("  memory per row: %.0f bytes for %.0f bytes of raw text: ratio %.2f (goal <= 2.0)\n",
                perRow, rawPerRow, perRow / rawPerRow);
    return 0;
}
