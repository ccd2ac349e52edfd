// The report engine without windows: the template format, the layout into pages, the
// values of references and the PDF pages.
#include "ReportFixtures.h"
#include "report/GridPages.h"
#include "report/ReportRenderer.h"
#include "TestProgram.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Report;

namespace {

QList<QVariantMap> customers(int count)
{
    QList<QVariantMap> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(QVariantMap{{QStringLiteral("Company"), QStringLiteral("客户%1有限公司").arg(i)},
                                {QStringLiteral("postcode"), QStringLiteral("10%1").arg(i, 4, 10, QLatin1Char('0'))},
                                {QStringLiteral("province"), QStringLiteral("北京市")},
                                {QStringLiteral("city"), QString()},
                                {QStringLiteral("address"), QStringLiteral("海淀区中关村大街%1号").arg(i)},
                                {QStringLiteral("contactname"), QStringLiteral("联系人%1").arg(i)}});
    return rows;
}

const PlacedObject *find(const QList<PlacedObject> &objects, const QString &name, int nth = 0)
{
    for (const PlacedObject &o : objects)
        if (o.object->name == name && nth-- == 0)
            return &o;
    return nullptr;
}

// The page sizes of a PDF in points, from its MediaBox entries.
QList<QSizeF> pdfPageSizes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromLatin1(file.readAll());
    QList<QSizeF> sizes;
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[\\s*0 0 ([0-9.]+) ([0-9.]+)\\s*\\]"));
    for (auto it = box.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        sizes.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    return sizes;
}

} // namespace

class TestReportEngine : public QObject
{
    Q_OBJECT
private slots:
    void deliveredTemplatesReadAndWriteBack_data();
    void deliveredTemplatesReadAndWriteBack();
    void damagedTemplateIsRefusedWithReason_data();
    void damagedTemplateIsRefusedWithReason();
    void missingTemplateSaysSoWhenUsed();
    void saveReplacesTemplateWhole();
    void formatsValues_data();
    void formatsValues();
    void labelSheetPlacesEveryLabel_data();
    void labelSheetPlacesEveryLabel();
    void envelopePerCustomerAtTrueSize();
    void billRepeatsColumnTitlesAndSumsAllLines();
    void customerSheetOnePagePerCustomer();
    void gridPagesRepeatTitleRowAndBreakWhereFull_data();
    void gridPagesRepeatTitleRowAndBreakWhereFull();
    void gridStretchedRowsGrowWithTheirText();
    void gridTurnsAndWrapsTitlesForManyColumns();
};

void TestReportEngine::deliveredTemplatesReadAndWriteBack_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("object");
    QTest::newRow("envelope") << "fr_Envelop.frf" << "Memo_Contact";
    QTest::newRow("labels") << "fr_Label.frf" << "Memo_Contact";
    QTest::newRow("customer sheet") << "fr_CustBasic.frf" << "Memo_contact_name";
    QTest::newRow("bill") << "fr_Bills.frf" << "Memo_BigMoney";
}

void TestReportEngine::deliveredTemplatesReadAndWriteBack()
{
    QFETCH(QString, file);
    QFETCH(QString, object);
    const ReportDocument document = deliveredTemplate(file);
    QVERIFY(document.object(object));
    QString error;
    const auto again = read(write(document), &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(write(*again), write(document));
    QCOMPARE(again->object(object)->rect, document.object(object)->rect);
    QCOMPARE(again->object(object)->text, document.object(object)->text);
}

void TestReportEngine::damagedTemplateIsRefusedWithReason_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not xml") << QByteArray("FRF\x01\x02binary") << "不是报表模板文件";
    QTest::newRow("cut off") << QByteArray("<report><band kind=\"masterdata\"><text name=\"a\">[x]") << "模板文件已损坏";
    QTest::newRow("unknown band") << QByteArray("<report><band kind=\"sidebar\"/></report>") << "未知的报表区";
    QTest::newRow("bad number") << QByteArray("<report><page width=\"abc\"/></report>") << "属性 width";
    QTest::newRow("margins wider than paper")
        << QByteArray("<report><page width=\"100\" height=\"100\" left=\"60\" right=\"50\"/></report>") << "页边距大于纸张";
    QTest::newRow("negative size")
        << QByteArray("<report><band kind=\"title\"><rect name=\"r\" w=\"-5\"/></band></report>") << "大小为负";
    QTest::newRow("same name twice")
        << QByteArray("<report><band kind=\"title\"><rect name=\"r\"/><text name=\"R\"/></band></report>") << "重复";
    QTest::newRow("nameless object")
        << QByteArray("<report><band kind=\"title\"><line x=\"1\"/></band></report>") << "没有名称";
    QTest::newRow("band twice")
        << QByteArray("<report><band kind=\"title\"/><band kind=\"title\"/></report>") << "重复";
}

void TestReportEngine::damagedTemplateIsRefusedWithReason()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    QString error;
    QVERIFY(!read(text, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));

    ReportTemplate report(QStringLiteral("fr_Bills"), QStringLiteral("Reports/fr_Bills.frf"), QStringLiteral("contactname"));
    report.setLayout(text);
    QVERIFY(!report.document(&error));
    QVERIFY2(error.startsWith(QStringLiteral("报表模板“Reports/fr_Bills.frf”已损坏")), qPrintable(error));
}

void TestReportEngine::missingTemplateSaysSoWhenUsed()
{
    QTemporaryDir dir;
    ReportTemplate report(QStringLiteral("fr_Envelop"), QStringLiteral("Reports/fr_Envelop.frf"), QStringLiteral("contactname"));
    QVERIFY(!report.load(dir.path() + QLatin1Char('/')));
    QString error;
    QVERIFY(!report.document(&error));
    QCOMPARE(error, QStringLiteral("报表模板“Reports/fr_Envelop.frf”不存在或是空的，请先设计报表格式。"));
}

void TestReportEngine::saveReplacesTemplateWhole()
{
    QTemporaryDir dir;
    const QString programDir = dir.path() + QLatin1Char('/');
    ReportTemplate report(QStringLiteral("fr_Bills"), QStringLiteral("Reports/fr_Bills.frf"), QStringLiteral("contactname"));
    ReportDocument document = deliveredTemplate(QStringLiteral("fr_Bills.frf"));
    document.object(QStringLiteral("Memo_Title"))->text = QStringLiteral("出 库 单");
    QString error;
    QVERIFY2(report.save(programDir, document, &error), qPrintable(error));
    // Nothing but the template is left in the folder: the temporary file was renamed over it.
    QCOMPARE(QDir(programDir + QStringLiteral("Reports")).entryList(QDir::Files), QStringList{QStringLiteral("fr_Bills.frf")});
    ReportTemplate loaded(QStringLiteral("fr_Bills"), QStringLiteral("Reports/fr_Bills.frf"), QStringLiteral("contactname"));
    QVERIFY(loaded.load(programDir));
    QCOMPARE(loaded.document(&error)->object(QStringLiteral("Memo_Title"))->text, QStringLiteral("出 库 单"));

    // A folder that cannot be written keeps the old template and says why.
    QFile::setPermissions(programDir + QStringLiteral("Reports"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(programDir + QStringLiteral("Reports")).isWritable())
        QSKIP("running with rights that write anywhere");
    document.object(QStringLiteral("Memo_Title"))->text = QStringLiteral("退 货 单");
    QVERIFY(!report.save(programDir, document, &error));
    QVERIFY(error.contains(QStringLiteral("保存失败")));
    QVERIFY(loaded.load(programDir));
    QCOMPARE(loaded.document(&error)->object(QStringLiteral("Memo_Title"))->text, QStringLiteral("出 库 单"));
}

void TestReportEngine::formatsValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two places") << QVariant(33.75) << "0.00" << "33.75";
    QTest::newRow("rounded") << QVariant(6.755) << "0.0" << "6.8";
    QTest::newRow("grouped") << QVariant(1234567.5) << "#,##0.00" << "1,234,567.50";
    QTest::newRow("whole") << QVariant(12.0) << "0" << "12";
    QTest::newRow("number as text") << QVariant(QStringLiteral("8")) << "0.00" << "8.00";
    QTest::newRow("date text") << QVariant(QStringLiteral("2026-03-09")) << "yyyy年M月d日" << "2026年3月9日";
    QTest::newRow("text left as it is") << QVariant(QStringLiteral("北京")) << "0.00" << "北京";
    QTest::newRow("empty") << QVariant() << "0.00" << "";
    QTest::newRow("no format") << QVariant(QStringLiteral("abc")) << "" << "abc";
}

void TestReportEngine::formatsValues()
{
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, shown);
    QCOMPARE(ReportRenderer::formatValue(value, format), shown);
}

void TestReportEngine::labelSheetPlacesEveryLabel_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("labels");
    QTest::addColumn<int>("row");      // 0-based printed row
    QTest::addColumn<int>("page");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("pages");
    // 3 x 8 labels of 70 x 36 mm, top margin 4.5 mm.
    QTest::newRow("first label") << 1 << 25 << 0 << 0 << 0.0 << 4.5 << 2;
    QTest::newRow("second column") << 1 << 25 << 1 << 0 << 70.0 << 4.5 << 2;
    QTest::newRow("24th on the last place") << 1 << 25 << 23 << 0 << 140.0 << 4.5 + 7 * 36 << 2;
    QTest::newRow("25th on page 2") << 1 << 25 << 24 << 1 << 0.0 << 4.5 << 2;
    QTest::newRow("partly used sheet") << 5 << 20 << 0 << 0 << 70.0 << 4.5 + 36 << 1;
    QTest::newRow("partly used sheet overflows") << 5 << 21 << 20 << 1 << 0.0 << 4.5 << 2;
}

void TestReportEngine::labelSheetPlacesEveryLabel()
{
    QFETCH(int, first);
    QFETCH(int, labels);
    QFETCH(int, row);
    QFETCH(int, page);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, pages);
    RowValues values(customers(labels));
    ReportRenderer renderer(deliveredTemplate(QStringLiteral("fr_Label.frf")), &values);
    renderer.setFirstLabel(first);
    QCOMPARE(renderer.pageCount(), pages);
    const QList<PlacedObject> objects = renderer.objects(page);
    const PlacedObject *company = nullptr;
    for (const PlacedObject &o : objects)
        if (o.object->name == u"Memo_Company" && o.text == QStringLiteral("客户%1有限公司").arg(row + 1))
            company = &o;
    QVERIFY(company);
    const QRectF label = company->rect.translated(-company->object->rect.topLeft());
    QCOMPARE(label.topLeft(), QPointF(x, y));
    QCOMPARE(renderer.pageSize(), QSizeF(210, 297));
}

void TestReportEngine::envelopePerCustomerAtTrueSize()
{
    TestProgram program;
    RowValues values(customers(3));
    values.named.insert(QStringLiteral("info.company"), QStringLiteral("星光贸易有限公司"));
    values.named.insert(QStringLiteral("info.postcode"), QStringLiteral("200001"));
    ReportRenderer renderer(deliveredTemplate(QStringLiteral("fr_Envelop.frf")), &values);
    QCOMPARE(renderer.pageCount(), 3);
    const QList<PlacedObject> second = renderer.objects(1);
    QCOMPARE(find(second, QStringLiteral("Memo_Contact"))->text, QStringLiteral("联系人2  收"));
    QCOMPARE(find(second, QStringLiteral("Memo_PostCode"))->text, QStringLiteral("100002"));
    QCOMPARE(find(second, QStringLiteral("Memo_PostCode"))->rect, QRectF(12, 10, 54, 10));
    QCOMPARE(find(second, QStringLiteral("Memo_Address"))->text, QStringLiteral("北京市海淀区中关村大街2号"));
    QCOMPARE(find(second, QStringLiteral("Memo_SenderPost"))->text, QStringLiteral("邮政编码：200001"));

    const QString pdf = program.dir() + QStringLiteral("envelope.pdf");
    QString error;
    QVERIFY2(exportPdf(renderer, pdf, &error), qPrintable(error));
    const QList<QSizeF> sizes = pdfPageSizes(pdf);
    QCOMPARE(sizes.size(), 3);
    for (const QSizeF &size : sizes) { // 220 x 110 mm in points
        QCOMPARE(qRound(size.width() * 25.4 / 72), 220);
        QCOMPARE(qRound(size.height() * 25.4 / 72), 110);
    }
}

void TestReportEngine::billRepeatsColumnTitlesAndSumsAllLines()
{
    QList<QVariantMap> lines;
    for (int i = 1; i <= 40; ++i)
        lines.append(QVariantMap{{QStringLiteral("BillCode"), QStringLiteral("FH202603090001")},
                                 {QStringLiteral("GoodsName"), QStringLiteral("货品%1").arg(i)},
                                 {QStringLiteral("Number"), 3}, {QStringLiteral("SalePrice"), 12.5},
                                 {QStringLiteral("Discount"), 0.9}, {QStringLiteral("money"), 33.75}});
    RowValues values(lines);
    values.named.insert(QStringLiteral("custom.company"), QStringLiteral("O'Neil 贸易"));
    ReportRenderer renderer(deliveredTemplate(QStringLiteral("fr_Bills.frf")), &values);
    renderer.setObjectText(QStringLiteral("Memo_BigMoney"), QStringLiteral("壹仟叁佰伍拾元整"));
    QCOMPARE(renderer.pageCount(), 2);
    for (int page = 0; page < 2; ++page) {
        const auto objects = renderer.objects(page);
        QVERIFY(find(objects, QStringLiteral("Memo_H3")));          // column titles on every page
        QCOMPARE(find(objects, QStringLiteral("Memo_Page"))->text,
                 QStringLiteral("第 %1 页 / 共 2 页").arg(page + 1));
        QCOMPARE(find(objects, QStringLiteral("Memo_Page"))->rect.bottom(), 297.0 - 12 - 1);
    }
    const auto first = renderer.objects(0);
    QCOMPARE(find(first, QStringLiteral("Memo_BillCode"))->text, QStringLiteral("单据编号：FH202603090001"));
    QCOMPARE(find(first, QStringLiteral("Memo_CustLabel"))->text, QStringLiteral("客户名称：O'Neil 贸易"));
    QCOMPARE(find(first, QStringLiteral("Memo_D1"))->text, QStringLiteral("1"));
    QCOMPARE(find(first, QStringLiteral("Memo_D7"))->text, QStringLiteral("12.50"));
    // The column titles follow the title band; the first line follows the titles.
    QCOMPARE(find(first, QStringLiteral("Memo_H1"))->rect.top(), 15.0 + 47);
    QCOMPARE(find(first, QStringLiteral("Memo_D1"))->rect.top(), 15.0 + 47 + 8);
    const auto last = renderer.objects(1);
    QCOMPARE(find(last, QStringLiteral("Memo_Sum"))->text, QStringLiteral("1350.00"));
    QCOMPARE(find(last, QStringLiteral("Memo_BigMoney"))->text, QStringLiteral("壹仟叁佰伍拾元整"));
    QVERIFY(!find(first, QStringLiteral("Memo_Sum")));
    // Lines continue on page 2 right below the repeated titles, numbered on.
    const PlacedObject *continued = find(last, QStringLiteral("Memo_D1"));
    QCOMPARE(continued->rect.top(), 15.0 + 8);
    int onFirst = 0;
    for (const PlacedObject &o : first)
        onFirst += o.object->name == u"Memo_D1";
    QCOMPARE(continued->text, QString::number(onFirst + 1));
}

void TestReportEngine::customerSheetOnePagePerCustomer()
{
    QList<QVariantMap> rows = customers(2);
    rows[0].insert(QStringLiteral("contact_name"), QStringLiteral("王经理"));
    rows[0].insert(QStringLiteral("AddDate"), QStringLiteral("2026-01-05"));
    RowValues values(rows);
    ReportRenderer renderer(deliveredTemplate(QStringLiteral("fr_CustBasic.frf")), &values);
    QCOMPARE(renderer.pageCount(), 2);
    const auto first = renderer.objects(0);
    QCOMPARE(find(first, QStringLiteral("Memo_Company"))->text, QStringLiteral("客户1有限公司"));
    QCOMPARE(find(first, QStringLiteral("Memo_contact_name"))->text, QStringLiteral("王经理"));
    QCOMPARE(find(first, QStringLiteral("Memo_AddDate"))->text, QStringLiteral("2026-01-05"));
    QCOMPARE(find(first, QStringLiteral("Memo_Page"))->text, QStringLiteral("第 1 页 / 共 2 页"));
    QCOMPARE(find(renderer.objects(1), QStringLiteral("Memo_Company"))->text, QStringLiteral("客户2有限公司"));
    // Everything stays on the paper.
    for (const PlacedObject &o : first)
        QVERIFY2(QRectF(0, 0, 210, 297).contains(o.rect.topLeft())
                     && QRectF(0, 0, 210.001, 297.001).contains(o.rect.bottomRight()),
                 qPrintable(o.object->name));
}

void TestReportEngine::gridPagesRepeatTitleRowAndBreakWhereFull_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("sums");
    QTest::addColumn<int>("pages");
    const int perPage = int((297 - GridPages::margin - GridPages::footHeight - (GridPages::margin + GridPages::titleHeight
                                                                              + GridPages::headerHeight))
                            / GridPages::baseRowHeight);
    QTest::newRow("empty grid") << 0 << false << 1;
    QTest::newRow("one page") << perPage << false << 1;
    QTest::newRow("one row over") << perPage + 1 << false << 2;
    QTest::newRow("three pages") << 3 * perPage << false << 3;
    QTest::newRow("sums need a page of their own") << perPage << true << 2;
    QTest::newRow("sums below the rows") << perPage - 2 << true << 1;
}

void TestReportEngine::gridPagesRepeatTitleRowAndBreakWhereFull()
{
    QFETCH(int, rows);
    QFETCH(bool, sums);
    QFETCH(int, pages);
    GridTable table;
    table.title = QStringLiteral("货品列表");
    table.headers = {QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("单价")};
    table.widths = {50, 150, 100};
    table.rowCount = rows;
    table.cell = [](int row, int column) { return QStringLiteral("%1-%2").arg(row).arg(column); };
    if (sums)
        table.footer = {QString(), QString(), QStringLiteral("100.00")};
    GridPages grid(table, {});
    QCOMPARE(grid.pageCount(), pages);
    // Every row on exactly one page, in order.
    int next = 0;
    for (int page = 0; page < grid.pageCount(); ++page) {
        const auto [first, end] = grid.rowsOnPage(page);
        QCOMPARE(first, next);
        next = end;
    }
    QCOMPARE(next, rows);
    // Columns fill the printable width in proportion to the grid's widths.
    const QList<double> widths = grid.columnWidths();
    QCOMPARE(widths.size(), 3);
    QVERIFY(qAbs(widths[0] + widths[1] + widths[2] - (210 - 2 * GridPages::margin)) < 1e-9);
    QVERIFY(qAbs(widths[1] / widths[0] - 3) < 1e-9);
    // The title row and every page's foot are drawn on every page (painted into a picture).
    QImage image(210 * 4, 297 * 4, QImage::Format_RGB32);
    image.setDotsPerMeterX(int(101.6 / 0.0254));
    image.setDotsPerMeterY(int(101.6 / 0.0254));
    for (int page = 0; page < grid.pageCount(); ++page) {
        image.fill(Qt::white);
        QPainter painter(&image);
        grid.paintPage(painter, page);
        painter.end();
        // The title row's shading lies right below the page title on every page.
        const QPoint shaded(int((GridPages::margin + 2) * 4), int((grid.headerTop() + 1) * 4));
        QCOMPARE(image.pixelColor(shaded), QColor(235, 235, 235));
    }
}

void TestReportEngine::gridStretchedRowsGrowWithTheirText()
{
    GridTable table;
    table.title = QStringLiteral("客户列表");
    table.headers = {QStringLiteral("名称"), QStringLiteral("简介")};
    table.widths = {100, 100};
    table.rowCount = 2;
    table.cell = [](int row, int column) {
        return row == 1 && column == 1 ? QStringLiteral("很长的说明文字").repeated(20) : QStringLiteral("短");
    };
    GridPages fixed(table, {});
    QCOMPARE(fixed.rowHeight(1), GridPages::baseRowHeight);
    GridPrintOptions stretch;
    stretch.stretchRows = true;
    GridPages grown(table, stretch);
    QCOMPARE(grown.rowHeight(0), GridPages::baseRowHeight);
    QVERIFY2(grown.rowHeight(1) > 3 * GridPages::baseRowHeight, qPrintable(QString::number(grown.rowHeight(1))));

    // A number has no place to break, yet it is shown whole: it breaks anywhere.
    table.cell = [](int row, int column) { return row == 0 && column == 0 ? QStringLiteral("1234567890").repeated(8) : QString(); };
    table.widths = {20, 280};
    GridPages number(table, stretch);
    QVERIFY(number.rowHeight(0) > 2 * GridPages::baseRowHeight);
}

void TestReportEngine::gridTurnsAndWrapsTitlesForManyColumns()
{
    GridTable table;
    table.title = QStringLiteral("客户列表");
    for (int c = 0; c < 12; ++c) {
        table.headers.append(QStringLiteral("很长的栏目标题%1").arg(c));
        table.widths.append(80);
    }
    table.rowCount = 1;
    table.cell = [](int, int) { return QStringLiteral("x"); };
    GridPages wide(table, {});
    QCOMPARE(wide.pageSize(), QSizeF(297, 210)); // 12 x 80 pixels are wider than a portrait page
    QVERIFY(wide.titleRowHeight() > GridPages::headerHeight); // the titles wrap in their columns
    QCOMPARE(wide.firstRowTop(), wide.headerTop() + wide.titleRowHeight());
    GridPrintOptions portrait;
    portrait.autoLandscape = false;
    QCOMPARE(GridPages(table, portrait).pageSize(), QSizeF(210, 297));
    table.headers = table.headers.mid(0, 2);
    table.widths = table.widths.mid(0, 2);
    QCOMPARE(GridPages(table, {}).pageSize(), QSizeF(210, 297));
}

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
