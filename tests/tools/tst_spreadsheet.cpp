// Reading spreadsheet files as the import sees them: the text each cell shows, from files
// written by a real office program (fixtures/customers.* converted by LibreOffice from
// customers.fods) and from workbooks written here cell type by cell type.
#include "main/GridExport.h"
#include "sheets/Spreadsheet.h"
#include "store/Gbk.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <xlsxwriter.h>
#include <zip.h>
#include <sys/resource.h>

class TestSpreadsheet : public QObject
{
    Q_OBJECT
private slots:
    void officeFiles_data();
    void officeFiles();
    void csvFiles_data();
    void csvFiles();
    void numberFormats_data();
    void numberFormats();
    void handWrittenXlsx_data();
    void handWrittenXlsx();
    void brokenFiles_data();
    void brokenFiles();
    void repeatBombsRefused_data();
    void repeatBombsRefused();
};

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(KEHU_FIXTURES "/") + name;
}

// The expected shown texts: one line per row, cells separated by tabs.
QList<QStringList> expected()
{
    QFile file(fixture(QStringLiteral("customers.expected.tsv")));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no expected texts");
    QList<QStringList> rows;
    for (const QByteArray &line : file.readAll().split('\n'))
        rows.append(QString::fromUtf8(line).split(QLatin1Char('\t')));
    while (!rows.isEmpty() && rows.last() == QStringList{QString()})
        rows.removeLast();
    return rows;
}

void compareWithExpected(const SheetData &sheet)
{
    const QList<QStringList> rows = expected();
    QCOMPARE(sheet.rowCount(), rows.size());
    QCOMPARE(sheet.columnCount(), 8);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 8; ++c)
            QVERIFY2(sheet.text(r + 1, c + 1) == rows.at(r).value(c),
                     qPrintable(QStringLiteral("row %1 column %2: \"%3\" instead of \"%4\"")
                                    .arg(r + 1).arg(c + 1).arg(sheet.text(r + 1, c + 1), rows.at(r).value(c))));
    QVERIFY(sheet.isBlankRow(4));
    QVERIFY(!sheet.isBlankRow(5));
}

// The expected rows as a delimited file.
QByteArray delimited(QChar delimiter)
{
    QString text;
    for (const QStringList &row : expected()) {
        QStringList cells;
        for (const QString &cell : row) {
            const bool quote = cell.contains(delimiter) || cell.contains(QLatin1Char('"'));
            cells.append(quote ? QLatin1Char('"') + QString(cell).replace(QLatin1String("\""), QLatin1String("\"\""))
                                     + QLatin1Char('"')
                               : cell);
        }
        text += cells.join(delimiter) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

} // namespace

void TestSpreadsheet::officeFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << "customers.xlsx";
    QTest::newRow("ods") << "customers.ods";
    QTest::newRow("xls") << "customers.xls";
}

// Text, a phone number stored as a number, long digits kept as text, dates, negative and
// fractional numbers, a merged title, a duplicate title, a blank row, empty cells and a
// text that looks like a formula.
void TestSpreadsheet::officeFiles()
{
    QFETCH(QString, file);
    compareWithExpected(Spreadsheet::read(fixture(file)));
    const SheetData sheet = Spreadsheet::read(fixture(file));
    QCOMPARE(sheet.kind(2, 3), SheetData::Number);
    QCOMPARE(sheet.kind(2, 4), SheetData::Date);
    QCOMPARE(sheet.kind(3, 3), SheetData::Text);
    QCOMPARE(sheet.kind(3, 2), SheetData::Empty);
}

void TestSpreadsheet::csvFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");

    const QByteArray comma = delimited(QLatin1Char(','));
    QTest::newRow("utf-8 with comma") << comma << 5 << 2 << 3 << "13800138000";
    QTest::newRow("utf-8 with byte order mark") << QByteArray("\xEF\xBB\xBF") + comma << 5 << 1 << 1 << "公司名称";
    QTest::newRow("gbk with semicolon") << Gbk::encode(QString::fromUtf8(delimited(QLatin1Char(';')))) << 5 << 3 << 1
                                        << "东方贸易";
    QTest::newRow("tab") << delimited(QLatin1Char('\t')) << 5 << 5 << 1 << "O'Neil & \"合伙\"";
    QTest::newRow("quoted delimiter") << QByteArray("a,b\n\"x,y\",z\n") << 2 << 2 << 1 << "x,y";
    QTest::newRow("doubled quote") << QByteArray("a\n\"say \"\"hi\"\"\"\n") << 2 << 2 << 1 << "say \"hi\"";
    QTest::newRow("line break in quotes") << QByteArray("a,b\n\"one\ntwo\",z\n") << 2 << 2 << 1 << "one\ntwo";
    QTest::newRow("no final line break") << QByteArray("a,b\n1,2") << 2 << 2 << 2 << "2";
    QTest::newRow("blank lines at the end") << QByteArray("a,b\n1,2\n\n\n") << 2 << 2 << 1 << "1";
    QTest::newRow("long digits stay text") << QByteArray("a\n12345678901234567890\n") << 2 << 2 << 1
                                           << "12345678901234567890";
    QTest::newRow("empty file") << QByteArray() << 0 << 1 << 1 << "";
}

void TestSpreadsheet::csvFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rows);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("客户.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const SheetData sheet = Spreadsheet::read(path);
    QCOMPARE(sheet.rowCount(), rows);
    QCOMPARE(sheet.text(row, column), text);
    if (rows == 5)
        compareWithExpected(sheet);
}

void TestSpreadsheet::numberFormats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format"); // empty: General
    QTest::addColumn<QString>("shown");

    QTest::newRow("general whole") << 13800138000.0 << "" << "13800138000";
    QTest::newRow("general fraction") << 12.5 << "" << "12.5";
    QTest::newRow("general negative") << -0.25 << "" << "-0.25";
    QTest::newRow("two decimals") << 1234.5 << "0.00" << "1234.50";
    QTest::newRow("thousands") << 1234567.0 << "#,##0" << "1,234,567";
    QTest::newRow("thousands and decimals") << -1234.5 << "#,##0.00" << "-1,234.50";
    QTest::newRow("percent") << 0.125 << "0%" << "13%";
    QTest::newRow("percent decimals") << 0.125 << "0.00%" << "12.50%";
    QTest::newRow("iso date") << 45356.0 << "yyyy-mm-dd" << "2024-03-05";
    QTest::newRow("chinese date") << 45356.0 << "yyyy\"年\"m\"月\"d\"日\"" << "2024-03-05";
    QTest::newRow("day before march 1900") << 59.0 << "yyyy-mm-dd" << "1900-02-28";
    QTest::newRow("date and time") << 45356.5 << "yyyy-mm-dd hh:mm" << "2024-03-05 12:00:00";
    QTest::newRow("time") << 0.75 << "hh:mm:ss" << "18:00:00";
    QTest::newRow("text format") << 42.0 << "@" << "42";
    QTest::newRow("coloured negative") << -3.0 << "[Red]0.0;[Blue]-0.0" << "-3.0";
}

// Numbers written by the workbook writer with a format, read back as the text they show.
void TestSpreadsheet::numberFormats()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("formats.xlsx")));
    lxw_workbook *book = workbook_new(path.constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *cellFormat = nullptr;
    if (!format.isEmpty()) {
        cellFormat = workbook_add_format(book);
        format_set_num_format(cellFormat, format.toUtf8().constData());
    }
    worksheet_write_string(sheet, 0, 0, "标题", nullptr);
    worksheet_write_number(sheet, 1, 0, value, cellFormat);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);

    const SheetData read = Spreadsheet::read(dir.filePath(QStringLiteral("formats.xlsx")));
    QCOMPARE(read.rowCount(), 2);
    QCOMPARE(read.text(2, 1), shown);
}

void TestSpreadsheet::handWrittenXlsx_data()
{
    QTest::addColumn<QString>("prefix"); // namespace prefix of the sheet's elements
    QTest::newRow("plain") << "";
    QTest::newRow("prefixed") << "x:";
}

// Sheets as other programs write them: inline texts with character references, cells and
// rows without references, a formula with its cached text, a comment, an empty shared
// text cell; plain and with a namespace prefix the two readers of the sheet agree.
void TestSpreadsheet::handWrittenXlsx()
{
    QFETCH(QString, prefix);
    const QByteArray x = prefix.toLatin1();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hand.xlsx"));
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(zip);
    QList<QByteArray> keep;
    const auto add = [&](const char *name, const QByteArray &text) {
        keep.append(text);
        zip_source_t *source = zip_source_buffer(zip, keep.last().constData(), zip_uint64_t(keep.last().size()), 0);
        QVERIFY(zip_file_add(zip, name, source, ZIP_FL_OVERWRITE) >= 0);
    };
    add("xl/workbook.xml",
        "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
        "<sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
    add("xl/_rels/workbook.xml.rels",
        "<Relationships><Relationship Id=\"rId1\" Type=\"http://x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    add("xl/sharedStrings.xml", "<" + x + "sst xmlns" + (x.isEmpty() ? "" : ":x") + "=\"s\"><" + x + "si><" + x + "t>共享</" + x
                                    + "t><" + x + "rPh><" + x + "t>gongxiang</" + x + "t></" + x + "rPh></" + x + "si></" + x + "sst>");
    add("xl/worksheets/sheet1.xml",
        "<?xml version=\"1.0\"?><" + x + "worksheet xmlns" + (x.isEmpty() ? "" : ":x") + "=\"s\"><" + x + "sheetData>"
        "<!-- written by hand -->"
        "<" + x + "row><" + x + "c t=\"inlineStr\"><" + x + "is><" + x + "t>&#x4E2D;&#25991;&lt;b&gt; &amp; 'q'</" + x + "t></" + x + "is></" + x + "c>"
        "<" + x + "c t=\"s\"><" + x + "v>0</" + x + "v></" + x + "c><" + x + "c t=\"s\"/></" + x + "row>"
        "<" + x + "row r=\"3\"><" + x + "c r=\"B3\" t=\"str\"><" + x + "f>A1&amp;\"x\"</" + x + "f><" + x + "v>结果</" + x + "v></" + x + "c>"
        "<" + x + "c r=\"D3\"><" + x + "v>13800138000</" + x + "v></" + x + "c><" + x + "c r=\"E3\" t=\"b\"><" + x + "v>1</" + x + "v></" + x + "c></" + x + "row>"
        "</" + x + "sheetData></" + x + "worksheet>");
    QCOMPARE(zip_close(zip), 0);

    const SheetData sheet = Spreadsheet::read(path);
    QCOMPARE(sheet.rowCount(), 3);
    QCOMPARE(sheet.columnCount(), 5);
    QCOMPARE(sheet.text(1, 1), QStringLiteral("中文<b> & 'q'"));
    QCOMPARE(sheet.text(1, 2), QStringLiteral("共享"));
    QCOMPARE(sheet.text(1, 3), QString());
    QVERIFY(sheet.isBlankRow(2));
    QCOMPARE(sheet.text(3, 2), QStringLiteral("结果"));
    QCOMPARE(sheet.text(3, 4), QStringLiteral("13800138000"));
    QCOMPARE(sheet.text(3, 5), QStringLiteral("TRUE"));
}

void TestSpreadsheet::brokenFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text named xlsx") << "a.xlsx" << QByteArray("公司名称,电话\n");
    QTest::newRow("empty xlsx") << "a.xlsx" << QByteArray();
    QTest::newRow("cut zip") << "a.xlsx" << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8);
    QTest::newRow("text named ods") << "a.ods" << QByteArray("x");
    QTest::newRow("text named xls") << "a.xls" << QByteArray("公司名称\t电话\n");
    QTest::newRow("cut xls") << "a.xls" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

// A file that is no spreadsheet is refused with a message naming it, never read as one.
void TestSpreadsheet::brokenFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QString message;
    try {
        Spreadsheet::read(file.fileName());
    } catch (const SpreadsheetError &error) {
        message = error.text();
    }
    QVERIFY2(message.contains(name), qPrintable(message));
}

namespace {

// An .ods file holding only content.xml with the given rows of the first table.
void writeOds(const QString &path, const QByteArray &rows)
{
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(zip);
    const QByteArray content =
        "<?xml version=\"1.0\"?><office:document-content xmlns:office=\"o\" xmlns:table=\"t\" xmlns:text=\"x\">"
        "<office:body><office:spreadsheet><table:table table:name=\"S\">" + rows +
        "</table:table></office:spreadsheet></office:body></office:document-content>";
    zip_source_t *source = zip_source_buffer(zip, content.constData(), zip_uint64_t(content.size()), 0);
    QVERIFY(zip_file_add(zip, "content.xml", source, ZIP_FL_OVERWRITE) >= 0);
    QCOMPARE(zip_close(zip), 0);
}

QByteArray odsRow(const QByteArray &text, int rowRepeat, int cellRepeat)
{
    QByteArray cell = "<table:table-cell table:number-columns-repeated=\"" + QByteArray::number(cellRepeat) + "\"";
    cell += text.isEmpty() ? QByteArray("/>") : "><text:p>" + text + "</text:p></table:table-cell>";
    return "<table:table-row table:number-rows-repeated=\"" + QByteArray::number(rowRepeat) + "\">" + cell
           + "</table:table-row>";
}

long peakKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

void TestSpreadsheet::repeatBombsRefused_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<int>("rowCount"); // -1: refused as too large
    const QByteArray title = odsRow("公司名称", 1, 1);
    QTest::newRow("a billion rows of 16,384 cells") << title + odsRow("x", 1000000000, 16384) << -1;
    QTest::newRow("100,000 rows of 1,000 cells") << title + odsRow("x", 100000, 1000) << -1;
    QTest::newRow("text after a billion blank rows") << title + odsRow("", 1000000000, 1) + odsRow("x", 1, 1) << -1;
    QTest::newRow("trailing formatted rows") << title + odsRow("", 1000000000, 16384) << 1;
    QTest::newRow("many repeated rows within the limits") << title + odsRow("华信", 1000, 3) << 1001;
}

// A small file claiming huge repeats is refused as too large before memory grows; blank
// repeats at the end cost nothing.
void TestSpreadsheet::repeatBombsRefused()
{
    QFETCH(QByteArray, rows);
    QFETCH(int, rowCount);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bomb.ods"));
    writeOds(path, rows);
    const long before = peakKilobytes();
    QString message;
    int read = -1;
    try {
        read = Spreadsheet::read(path).rowCount();
    } catch (const SpreadsheetError &error) {
        message = error.text();
    }
    QCOMPARE(read, rowCount);
    if (rowCount < 0)
        QVERIFY2(message.contains(QStringLiteral("太大或已损坏")), qPrintable(message));
    QVERIFY2(peakKilobytes() - before < 1024 * 1024, qPrintable(QString::number(peakKilobytes() - before)));
}

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "tst_spreadsheet.moc"
