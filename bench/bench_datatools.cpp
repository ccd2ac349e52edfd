// The data tools against raw baselines measured in the same run:
//   export   GridExport::writeWorkbook over a Dataset of N customers x 25 columns, against
//            libxlsxwriter in constant-memory mode writing the same cells from memory;
//   import   reading an .xlsx and a .csv of N rows x 20 columns and importing them through
//            the mapping (CustomerImport::run), against inserting the same values with
//            prepared statements in one transaction with the engine's C API;
//   backup   Connection::backupTo of a database of M megabytes, against copying the file.
// Prints each time and the ratio (ours / raw).
#include "BenchData.h"
#include "RawEngine.h"
#include "main/GridExport.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Schema.h"
#include "store/queries/Import.h"
#include "sheets/CustomerImport.h"
#include "sheets/Spreadsheet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>
#include <xlsxwriter.h>

namespace {

double seconds(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

void report(const char *what, double ours, double raw)
{
    std::printf("%-28s ours %8.3f s   raw %8.3f s   ratio %.2f\n", what, ours, raw, raw > 0 ? ours / raw : 0.0);
}

// One cell as the raw baseline holds it.
struct Cell
{
    enum { Empty, Number, Text } kind = Empty;
    double number = 0;
    std::string text;
};

void benchExport(const QString &dir, int rows)
{
    const QString db = dir + QStringLiteral("/export.mdb");
    Schema::createDatabase(db);
    auto connection = Connection::open(db);
    BenchData::fill(*connection, rows, 0);
    Dataset customers(connection.get());
    customers.setSql(QStringLiteral("select * from custom order by CustCode"));
    customers.open();
    QList<GridExport::Column> columns;
    for (int f = 0; f < customers.fieldCount(); ++f)
        columns.append({customers.fieldDef(f).name, customers.fieldDef(f).name, 80});

    // The same cells in memory for the baseline: numbers as numbers, the rest as text.
    std::vector<Cell> cells;
    cells.reserve(size_t(rows) * size_t(columns.size()));
    for (int r = 0; r < customers.recordCount(); ++r)
        for (int f = 0; f < customers.fieldCount(); ++f) {
            const QVariant v = customers.value(r, f);
            Cell cell;
            if (v.isNull()) {
            } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double) {
                cell.kind = Cell::Number;
                cell.number = v.toDouble();
            } else {
                cell.kind = Cell::Text;
                cell.text = v.toString().toStdString();
            }
            cells.push_back(std::move(cell));
        }

    QElapsedTimer t;
    t.start();
    {
        const QByteArray path = QFile::encodeName(dir + QStringLiteral("/raw.xlsx"));
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *book = workbook_new_opt(path.constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
        const size_t width = size_t(columns.size());
        for (size_t c = 0; c < width; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), columns.at(int(c)).title.toUtf8().constData(), nullptr);
        for (size_t i = 0; i < cells.size(); ++i) {
            const lxw_row_t row = lxw_row_t(i / width + 1);
            const lxw_col_t col = lxw_col_t(i % width);
            if (cells[i].kind == Cell::Number)
                worksheet_write_number(sheet, row, col, cells[i].number, nullptr);
            else if (cells[i].kind == Cell::Text)
                worksheet_write_string(sheet, row, col, cells[i].text.c_str(), nullptr);
        }
        workbook_close(book);
    }
    const double raw = seconds(t);
    t.restart();
    GridExport::writeWorkbook(dir + QStringLiteral("/ours.xlsx"), customers, columns);
    const double ours = seconds(t);
    report(qPrintable(QStringLiteral("export %1 x %2").arg(rows).arg(columns.size())), ours, raw);
}

QList<QStringList> importRows(int rows)
{
    QList<QStringList> data;
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int c = 0; c < 20; ++c)
            row.append(c == 2 ? QString::number(13800000000LL + r) : QStringLiteral("客户%1列%2").arg(r).arg(c));
        data.append(row);
    }
    return data;
}

void benchImport(const QString &dir, int rows)
{
    const QList<QStringList> data = importRows(rows);
    QStringList titles;
    for (int c = 0; c < 20; ++c)
        titles.append(QStringLiteral("标题%1").arg(c + 1));

    // The files: an .xlsx as a spreadsheet program writes it and a UTF-8 .csv.
    const QString xlsx = dir + QStringLiteral("/import.xlsx");
    {
        lxw_workbook *book = workbook_new(QFile::encodeName(xlsx).constData());
        lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
        for (int c = 0; c < 20; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), titles.at(c).toUtf8().constData(), nullptr);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 20; ++c) {
                if (c == 2)
                    worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), data[r][c].toDouble(), nullptr);
                else
                    worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c), data[r][c].toUtf8().constData(), nullptr);
            }
        workbook_close(book);
    }
    const QString csv = dir + QStringLiteral("/import.csv");
    {
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        file.write(titles.join(QLatin1Char(',')).toUtf8() + "\r\n");
        for (const QStringList &row : data)
            file.write(row.join(QLatin1Char(',')).toUtf8() + "\r\n");
    }

    // The raw baseline: the same values inserted with prepared statements in one transaction.
    const QString rawDb = dir + QStringLiteral("/import-raw.mdb");
    Schema::createDatabase(rawDb);
    double raw = 0;
    {
        auto connection = Connection::open(rawDb);
        QStringList targets;
        for (const Import::Mapping &m : Import::mappings(*connection))
            if (m.table == QLatin1String("custom") && targets.size() < 20)
                targets.append(m.target);
        RawEngine engine(rawDb);
        QString columns = QStringLiteral("CustCode"), marks = QStringLiteral("?");
        for (const QString &t : targets) {
            columns += QLatin1Char(',') + t;
            marks += QStringLiteral(",?");
        }
        // The values as a reader would hold them, in UTF-8.
        std::vector<std::vector<QByteArray>> utf8{size_t(rows)};
        for (int r = 0; r < rows; ++r)
            for (const QString &v : data[r])
                utf8[size_t(r)].push_back(v.toUtf8());
        QElapsedTimer t;
        t.start();
        sqlite3_stmt *begin = engine.prepare(QStringLiteral("begin immediate"));
        sqlite3_step(begin);
        sqlite3_finalize(begin);
        sqlite3_stmt *customer = engine.prepare(QStringLiteral("insert into custom (%1) values (%2)").arg(columns, marks));
        sqlite3_stmt *contact = engine.prepare(QStringLiteral("insert into contact (CustCode) values (?)"));
        for (int r = 0; r < rows; ++r) {
            sqlite3_reset(customer);
            sqlite3_bind_int64(customer, 1, r + 1);
            for (int c = 0; c < 20; ++c)
                sqlite3_bind_text(customer, c + 2, utf8[size_t(r)][size_t(c)].constData(),
                                  int(utf8[size_t(r)][size_t(c)].size()), SQLITE_STATIC);
            sqlite3_step(customer);
            sqlite3_reset(contact);
            sqlite3_bind_int64(contact, 1, r + 1);
            sqlite3_step(contact);
        }
        sqlite3_finalize(customer);
        sqlite3_finalize(contact);
        sqlite3_stmt *commit = engine.prepare(QStringLiteral("commit"));
        sqlite3_step(commit);
        sqlite3_finalize(commit);
        raw = seconds(t);
    }

    for (const QString &file : {xlsx, csv}) {
        const QString db = dir + QStringLiteral("/import-ours.mdb");
        QFile::remove(db);
        Schema::createDatabase(db);
        auto connection = Connection::open(db);
        QElapsedTimer t;
        t.start();
        const SheetData sheet = Spreadsheet::read(file);
        const double reading = seconds(t);
        Import::storeTitles(*connection, titles); // the i-th target takes the i-th column
        CustomerImport::run(*connection, sheet);
        const double ours = seconds(t);
        std::printf("  (reading %s: %.3f s)\n", qPrintable(QFileInfo(file).fileName()), reading);
        report(qPrintable(QStringLiteral("import %1 x 20 from %2").arg(rows).arg(QFileInfo(file).suffix())), ours, raw);
    }
}

void benchBackup(const QString &dir, int megabytes)
{
    const QString db = dir + QStringLiteral("/backup.mdb");
    Schema::createDatabase(db);
    {
        auto connection = Connection::open(db);
        connection->begin();
        Statement insert(*connection, QStringLiteral("insert into custom (CustCode, introduce) values (?, ?)"));
        const QString filler(4000, QChar(u'客')); // 12 KB of UTF-8 a row
        const int rows = megabytes * 1024 / 12;
        for (int i = 0; i < rows; ++i) {
            insert.reset();
            insert.bind(1, i);
            insert.bind(2, filler);
            insert.step();
        }
        connection->commit();
    }
    const auto size = std::filesystem::file_size(QFile::encodeName(db).toStdString());
    QElapsedTimer t;
    t.start();
    std::filesystem::copy_file(QFile::encodeName(db).toStdString(), QFile::encodeName(dir + QStringLiteral("/cp.mdb")).toStdString());
    const double raw = seconds(t);
    // What a backup must do before it may be renamed into place: the copy on the disk.
    t.restart();
    {
        const QString synced = dir + QStringLiteral("/cp-sync.mdb");
        std::filesystem::copy_file(QFile::encodeName(db).toStdString(), QFile::encodeName(synced).toStdString());
        QFile file(synced);
        file.open(QIODevice::ReadWrite);
        ::fsync(file.handle());
    }
    const double rawSynced = seconds(t);
    auto connection = Connection::open(db);
    t.restart();
    connection->backupTo(dir + QStringLiteral("/ours.mdb"));
    const double ours = seconds(t);
    report(qPrintable(QStringLiteral("backup %1 MB").arg(double(size) / 1048576.0, 0, 'f', 0)), ours, raw);
    report("  against copy + fsync", ours, rawSynced);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int rows = 100000, megabytes = 1024;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--rows"))
            rows = args.at(i + 1).toInt();
        if (args.at(i) == QLatin1String("--backup-mb"))
            megabytes = args.at(i + 1).toInt();
    }
    QTemporaryDir dir;
    benchExport(dir.path(), rows);
    benchImport(dir.path(), rows);
    benchBackup(dir.path(), megabytes);
    return 0;
}
