// The printing windows driven as an operator would: the print dialog of labels, envelopes
// and customer sheets on the customer list, the preview, the bill print, grid printing and
// the designer, on a small fixture of customers with and without contacts.
#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "customers/TFrm_Custom.h"
#include "printing/GridPrint.h"
#include "printing/ReportPrint.h"
#include "printing/TFrm_Designer.h"
#include "printing/TFrm_P_LabelGB.h"
#include "printing/TFrm_Preview.h"
#include "report/ReportQueries.h"
#include "report/ReportRenderer.h"
#include "report/ReportValues.h"
#include "store/Connection.h"
#include "store/ProgramDir.h"
#include "ui/DataGrid.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QUndoStack>
#include <QtTest>

using namespace Report;

namespace {

// The texts of one object on every page of a prepared report, page by page.
QStringList textsOf(const ReportRenderer &renderer, const QString &object)
{
    QStringList texts;
    for (int page = 0; page < renderer.pageCount(); ++page)
        for (const PlacedObject &placed : renderer.objects(page))
            if (placed.object->name == object)
                texts.append(placed.text);
    return texts;
}

const ReportPrint::Prepared *preparedOf(QWidget *preview)
{
    auto *window = qobject_cast<TFrm_Preview *>(preview);
    return window ? dynamic_cast<const ReportPrint::Prepared *>(&window->source()) : nullptr;
}

int pdfPages(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return int(file.readAll().count("/MediaBox"));
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dialogKinds_data();
    void dialogKinds();
    void recipientModeRelabels();
    void printsCustomers_data();
    void printsCustomers();
    void longDefaultRecipientIsCut();
    void nothingToPrintIsSaid_data();
    void nothingToPrintIsSaid();
    void damagedTemplateIsSaid();
    void labelSheetStartsAtChosenLabel();
    void customerCodesOfAnyKind_data();
    void customerCodesOfAnyKind();
    void previewPrintsThroughSystemDialog();

    void billPrintWithUnsavedLines();
    void previewNavigatesAndDrawsOnlyShownPages();
    void previewExports();
    void gridPrintFollowsTheGrid();

    void designCommandsOpenTheirReports_data();
    void designCommandsOpenTheirReports();
    void designerMovesResizesUndoesAndSaves();
    void designerAddsAndEditsObjects();
    void designerStartsEmptyWithoutTemplate();
    void designerBandsAndPictures();

    void screenshots();

private:
    TFrm_Custom *openBrowser();
    void selectCustomers(TFrm_Custom *browser, const QList<int> &rows);
    // Opens the print dialog of a command, lets act set it up, presses 打印 and hands the
    // preview that opens (nullptr when none) to check.
    void printWith(const char *command, const std::function<void(QWidget *)> &act,
                   const std::function<void(QWidget *)> &check);

    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
};

void TestPrinting::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_fixture->deliverReportTemplates();
    Connection *c = m_data->connection();
    c->exec(QStringLiteral(
        "insert into custom (CustCode, Company, province, city, address, postcode, MainContact, F_User) values "
        "(1, '华信科技', '北京市', '', '海淀区中关村大街1号', '100080', '王经理', 'Admin'), "
        "(2, '东方贸易', '上海市', '', '浦东新区世纪大道2号', '200120', '', 'Admin'), "
        "(3, 'O''Neil Trading', '天津市', '', '和平区南京路3号', '300000', '李总', 'Admin')"));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName, F_User) values "
                           "(1,'华信科技','王经理','Admin'), (1,'华信科技','赵会计','Admin')"));
    c->exec(QStringLiteral("update info set Company='星光贸易有限公司', Address='广州市天河路100号', Postcode='510000'"));
    m_data->Qry_Custom->refresh();
    m_fixture->login(QStringLiteral("Admin"), true, 0);
}

void TestPrinting::cleanup()
{
    m_fixture.reset();
}

TFrm_Custom *TestPrinting::openBrowser()
{
    m_main->runHandler(QStringLiteral("Cust_CustContact"));
    return m_main->findChild<TFrm_Custom *>();
}

void TestPrinting::selectCustomers(TFrm_Custom *browser, const QList<int> &rows)
{
    auto *grid = child<DataGrid>(browser, "Grid_Cust");
    grid->clearSelection();
    for (int row : rows)
        grid->selectionModel()->select(grid->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TestPrinting::printWith(const char *command, const std::function<void(QWidget *)> &act,
                             const std::function<void(QWidget *)> &check)
{
    bool checked = false;
    whenModal([this, command] { m_main->runHandler(QString::fromLatin1(command)); },
              [&](QWidget *dialog) {
                  if (act)
                      act(dialog);
                  const QString opened = whenModal([dialog] { child<QPushButton>(dialog, "Btn_Print")->click(); },
                                                   [&](QWidget *preview) {
                                                       checked = true;
                                                       check(preview);
                                                   });
                  if (!checked)
                      check(nullptr);
                  checked = true;
                  Q_UNUSED(opened);
              });
    QVERIFY(checked);
}

void TestPrinting::dialogKinds_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<bool>("firstLabel");
    QTest::newRow("labels") << "P_Label" << "信封标签打印" << "信封标签打印" << true;
    QTest::newRow("labels from the menu") << "N42" << "信封标签打印" << "信封标签打印" << true;
    QTest::newRow("envelopes") << "P_Envelop" << "信封打印" << "信封打印" << false;
    QTest::newRow("customer sheets") << "P_CustBasic" << "客户基本资料打印" << "客户基本资料打印" << false;
}

void TestPrinting::dialogKinds()
{
    QFETCH(QString, command);
    QFETCH(QString, caption);
    QFETCH(QString, heading);
    QFETCH(bool, firstLabel);
    QString shownHeading, name, type, range;
    bool labelShown = false;
    const QString opened = captionWhenModal([&] { m_main->runHandler(command); }, [&](QWidget *dialog) {
        shownHeading = child<QLabel>(dialog, "lbl")->text();
        name = child<QLineEdit>(dialog, "Edit_Name")->text();
        type = child<QComboBox>(dialog, "Combo_Type")->currentText();
        range = child<QRadioButton>(dialog, "Radio_Selected")->isChecked() ? QStringLiteral("selected") : QString();
        labelShown = child<QSpinBox>(dialog, "Edit_FirstLabel")->isVisibleTo(dialog);
        QCOMPARE(child<QPushButton>(dialog, "Btn_Print")->text(), QStringLiteral("打印(&P)"));
        QCOMPARE(child<QPushButton>(dialog, "Btn_Set")->text(), QStringLiteral("设计(&D)"));
        QCOMPARE(child<QPushButton>(dialog, "Btn_Close")->text(), QStringLiteral("关闭(&Q)"));
        QVERIFY(child<QPushButton>(dialog, "Btn_Print")->isDefault());
    });
    QCOMPARE(opened, caption);
    QCOMPARE(shownHeading, heading);
    QCOMPARE(name, QStringLiteral("负责人"));
    QCOMPARE(type, QStringLiteral("主联系人"));
    QCOMPARE(range, QStringLiteral("selected"));
    QCOMPARE(labelShown, firstLabel);
}

void TestPrinting::recipientModeRelabels()
{
    TFrm_P_LabelGB dialog(m_main, {}, m_main);
    auto *label = child<QLabel>(&dialog, "lbl2");
    QCOMPARE(label->text(), QStringLiteral("无主联系人时显示:"));
    child<QComboBox>(&dialog, "Combo_Type")->setCurrentIndex(1);
    QCOMPARE(label->text(), QStringLiteral("无联系人时显示"));
    child<QComboBox>(&dialog, "Combo_Type")->setCurrentIndex(0);
    QCOMPARE(label->text(), QStringLiteral("无主联系人时显示"));
    QCOMPARE(label->buddy(), child<QLineEdit>(&dialog, "Edit_Name"));
}

void TestPrinting::printsCustomers_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("mode");          // 0 main contact, 1 all contacts
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QStringList>("texts"); // per printed row
    QTest::newRow("envelopes, main contact, three selected")
        << "P_Envelop" << 0 << false << "Memo_Contact"
        << QStringList{"王经理  收", "负责人  收", "李总  收"};
    QTest::newRow("envelopes, every contact")
        << "P_Envelop" << 1 << true << "Memo_Contact"
        << QStringList{"王经理  收", "赵会计  收", "负责人  收", "负责人  收"};
    QTest::newRow("labels, main contact") << "P_Label" << 0 << true << "Memo_Contact"
                                          << QStringList{"王经理 收", "负责人 收", "李总 收"};
    QTest::newRow("customer sheets ask contact_name")
        << "P_CustBasic" << 0 << false << "Memo_contact_name" << QStringList{"王经理", "负责人", "李总"};
    QTest::newRow("envelope company with a quote") << "P_Envelop" << 0 << false << "Memo_Company"
                                                   << QStringList{"华信科技", "东方贸易", "O'Neil Trading"};
}

void TestPrinting::printsCustomers()
{
    QFETCH(QString, command);
    QFETCH(int, mode);
    QFETCH(bool, all);
    QFETCH(QString, object);
    QFETCH(QStringList, texts);
    TFrm_Custom *browser = openBrowser();
    QVERIFY(browser);
    selectCustomers(browser, {0, 1, 2});
    QStringList printed;
    printWith(command.toLatin1().constData(), [&](QWidget *dialog) {
        child<QComboBox>(dialog, "Combo_Type")->setCurrentIndex(mode);
        child<QRadioButton>(dialog, all ? "Radio_All" : "Radio_Selected")->setChecked(true);
    }, [&](QWidget *preview) {
        const ReportPrint::Prepared *prepared = preparedOf(preview);
        QVERIFY(prepared);
        printed = textsOf(prepared->renderer(), object);
    });
    QCOMPARE(printed, texts);
    QVERIFY(m_fixture->messages.shown.isEmpty());
}

void TestPrinting::longDefaultRecipientIsCut()
{
    openBrowser();
    QStringList printed;
    printWith("P_Envelop", [](QWidget *dialog) {
        child<QLineEdit>(dialog, "Edit_Name")->setText(QStringLiteral("一二三四五六七八九十甲乙"));
        child<QRadioButton>(dialog, "Radio_All")->setChecked(true);
    }, [&](QWidget *preview) {
        printed = textsOf(preparedOf(preview)->renderer(), QStringLiteral("Memo_Contact"));
    });
    QCOMPARE(printed.value(1), QStringLiteral("一二三四五六七八九十  收"));
}

void TestPrinting::nothingToPrintIsSaid_data()
{
    QTest::addColumn<bool>("browser");
    QTest::addColumn<bool>("empty");
    QTest::newRow("no customer list open") << false << false;
    QTest::newRow("empty customer list") << true << true;
}

void TestPrinting::nothingToPrintIsSaid()
{
    QFETCH(bool, browser);
    QFETCH(bool, empty);
    if (empty)
        m_data->connection()->exec(QStringLiteral("delete from custom"));
    if (browser)
        openBrowser();
    bool previewOpened = true;
    printWith("P_Envelop", {}, [&](QWidget *preview) { previewOpened = preview != nullptr; });
    QVERIFY(!previewOpened);
    QCOMPARE(m_fixture->messages.texts(),
             QStringList{QStringLiteral("没有可打印的客户，请先打开客户列表并选择要打印的客户。")});
    QCOMPARE(m_fixture->messages.last().title, QStringLiteral("警告"));
    QVERIFY(!m_data->Qry_Report->isOpen());
}

void TestPrinting::damagedTemplateIsSaid()
{
    QFile file(m_fixture->program.dir() + QStringLiteral("Reports/fr_Envelop.frf"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<report><band kind=\"masterdata\"><text name=\"x\">");
    file.close();
    m_data->report(QStringLiteral("fr_Envelop"))->load(m_fixture->program.dir());
    openBrowser();
    bool previewOpened = true;
    printWith("P_Envelop", {}, [&](QWidget *preview) { previewOpened = preview != nullptr; });
    QVERIFY(!previewOpened);
    QCOMPARE(m_fixture->messages.shown.size(), 1);
    QVERIFY2(m_fixture->messages.last().text.startsWith(QStringLiteral("报表模板“Reports/fr_Envelop.frf”已损坏")),
             qPrintable(m_fixture->messages.last().text));
}

void TestPrinting::labelSheetStartsAtChosenLabel()
{
    openBrowser();
    QList<QPointF> places;
    int pages = 0;
    printWith("P_Label", [](QWidget *dialog) {
        QCOMPARE(child<QSpinBox>(dialog, "Edit_FirstLabel")->maximum(), 24);
        child<QSpinBox>(dialog, "Edit_FirstLabel")->setValue(23);
        child<QRadioButton>(dialog, "Radio_All")->setChecked(true);
    }, [&](QWidget *preview) {
        const ReportRenderer &renderer = preparedOf(preview)->renderer();
        pages = renderer.pageCount();
        for (int page = 0; page < pages; ++page)
            for (const PlacedObject &o : renderer.objects(page))
                if (o.object->name == u"Memo_Company")
                    places.append(o.rect.topLeft() - o.object->rect.topLeft() + QPointF(page * 1000, 0));
    });
    // Labels 23 and 24 of the first sheet, then the first label of a new sheet.
    QCOMPARE(pages, 2);
    QCOMPARE(places, (QList<QPointF>{QPointF(70, 4.5 + 7 * 36), QPointF(140, 4.5 + 7 * 36), QPointF(1000, 4.5)}));
}

void TestPrinting::customerCodesOfAnyKind_data()
{
    QTest::addColumn<QVariantList>("codes");
    QTest::addColumn<bool>("everyContact");
    QTest::addColumn<int>("rows");
    QTest::newRow("numbers") << QVariantList{1, 3} << false << 2;
    QTest::newRow("numbers as text") << QVariantList{QStringLiteral("2"), QStringLiteral("3")} << false << 2;
    QTest::newRow("a code with a quote") << QVariantList{QStringLiteral("A'7"), 1} << false << 2;
    QTest::newRow("a code that only looks like a number") << QVariantList{QStringLiteral("07")} << false << 1;
    QTest::newRow("every contact") << QVariantList{1, 2} << true << 3;
    QVariantList many;
    for (int code = 1; code <= 5000; ++code)
        many.append(code);
    QTest::newRow("more codes than the engine binds") << many << false << 4; // 1, 2, 3 and 7
}

void TestPrinting::customerCodesOfAnyKind()
{
    SKIP_ON_SERVER(*m_fixture, "text codes in the number column");
    QFETCH(QVariantList, codes);
    QFETCH(bool, everyContact);
    QFETCH(int, rows);
    // Codes kept as text by an import: matched as stored, never put into the statement.
    m_data->connection()->exec(QStringLiteral("insert into custom (CustCode, Company) values ('A''7', '文本编号'), ('07', '零七')")); // '07' is stored as 7
    Dataset query(m_data->connection());
    QVERIFY(ReportQueries::openCustomers(query, codes, everyContact));
    QCOMPARE(query.recordCount(), rows);
    QVERIFY(!ReportQueries::openCustomers(query, {}, everyContact));
}

void TestPrinting::previewPrintsThroughSystemDialog()
{
    struct OneRow : ReportValues
    {
        int rowCount() const override { return 1; }
        std::optional<QVariant> value(const QString &, int) const override { return QVariant(QStringLiteral("x")); }
    } values;
    auto renderer = std::make_shared<ReportRenderer>(*m_data->report(QStringLiteral("fr_Envelop"))->document(nullptr), &values);
    QPrinter printer(QPrinter::HighResolution);
    TFrm_Preview::preparePrinter(*renderer, printer);
    // The envelope is landscape DL, placed from the paper's corner.
    QVERIFY(printer.fullPage());
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(printer.pageLayout().fullRect(QPageLayout::Millimeter).size().toSize(), QSize(220, 110));
    TFrm_Preview preview(renderer, m_main);
    QCOMPARE(captionWhenModal([&] { child<QPushButton>(&preview, "Btn_Print")->click(); }), QStringLiteral("打印"));
    QVERIFY(m_fixture->messages.shown.isEmpty());
}

void TestPrinting::billPrintWithUnsavedLines()
{
    // A stored line and two lines still in the editor's cache, as the bill editor holds them.
    Connection *c = m_data->connection();
    c->exec(QStringLiteral("insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) values "
                           "('FH202603090001', '2026-03-09', 3, 'O''Neil Trading', 'Admin')"));
    c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, GoodsName, Units, Number, SalePrice, Discount, SaleMoney) "
                           "values ('FH202603090001', 'G1', '打印纸', '箱', 2, 100, 1, 200)"));
    QObject editor;
    m_data->setBillEditor(&editor);
    Dataset *lines = m_data->Qry_BillDetail;
    lines->close();
    lines->setSql(QStringLiteral("select * from T_BillDetail where BillCode=:BillCode"));
    lines->setParameter(QStringLiteral("BillCode"), QStringLiteral("FH202603090001"));
    lines->open();
    for (const auto &[name, number, price, discount] :
         {std::tuple{"墨盒", 3.0, 12.5, 0.9}, std::tuple{"订书机", 1.0, 45.0, 1.0}}) {
        lines->append();
        lines->setValue(QStringLiteral("BillCode"), QStringLiteral("FH202603090001"));
        lines->setValue(QStringLiteral("GoodsName"), QString::fromUtf8(name));
        lines->setValue(QStringLiteral("Number"), number);
        lines->setValue(QStringLiteral("SalePrice"), price);
        lines->setValue(QStringLiteral("Discount"), discount);
        lines->post();
    }
    Dataset customer(m_data->connection());
    customer.setSql(QStringLiteral("select * from Custom where Company=:Company"));
    customer.setParameter(QStringLiteral("Company"), QStringLiteral("O'Neil Trading"));
    customer.open();

    // An envelope printed before must not leave its contact name on the bill.
    ReportPrint::Request envelope;
    envelope.reportName = QStringLiteral("fr_Envelop");
    envelope.contact.fillContact = true;

    QStringList amounts, sum, words, buyer, contact;
    const QString opened = whenModal([&] {
        ReportPrint::preview(m_main, m_data, QStringLiteral("fr_Bills"), lines,
                             {{QStringLiteral("Custom"), &customer}},
                             {{QStringLiteral("Memo_BigMoney"), QStringLiteral("贰佰元整")}});
    }, [&](QWidget *preview) {
        const ReportPrint::Prepared *prepared = preparedOf(preview);
        amounts = textsOf(prepared->renderer(), QStringLiteral("Memo_D9"));
        sum = textsOf(prepared->renderer(), QStringLiteral("Memo_Sum"));
        words = textsOf(prepared->renderer(), QStringLiteral("Memo_BigMoney"));
        buyer = textsOf(prepared->renderer(), QStringLiteral("Memo_CustLabel"));
        contact.append(prepared->values().value(QStringLiteral("contactname"), 0) ? QStringLiteral("answered")
                                                                                 : QStringLiteral("not answered"));
    });
    QCOMPARE(opened, QStringLiteral("TFrm_Preview"));
    QCOMPARE(amounts, (QStringList{"200.00", "33.75", "45.00"}));
    QCOMPARE(sum, QStringList{QStringLiteral("278.75")});
    QCOMPARE(words, QStringList{QStringLiteral("贰佰元整")}); // the capital total the editor gives
    QCOMPARE(buyer, QStringList{QStringLiteral("客户名称：O'Neil Trading")});
    QCOMPARE(contact, QStringList{QStringLiteral("not answered")});
    QVERIFY(lines->hasPendingUpdates()); // printing wrote nothing
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_BillDetail")), 1);
}

void TestPrinting::previewNavigatesAndDrawsOnlyShownPages()
{
    // 10,000 labels: the preview opens on page 1 having drawn that page only.
    struct ManyRows : ReportValues
    {
        int rowCount() const override { return 10000; }
        std::optional<QVariant> value(const QString &reference, int row) const override
        {
            return QVariant(QStringLiteral("%1 %2").arg(reference).arg(row + 1));
        }
    } values;
    QString error;
    auto document = m_data->report(QStringLiteral("fr_EnveLabel"))->document(&error);
    QVERIFY(document);
    auto renderer = std::make_shared<ReportRenderer>(*document, &values);
    TFrm_Preview preview(renderer, m_main);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCOMPARE(child<QLabel>(&preview, "Label_Count")->text(), QStringLiteral("共 417 页"));
    QCOMPARE(preview.pagesDrawn(), 1);
    QVERIFY(!child<QPushButton>(&preview, "Btn_Prior")->isEnabled());
    child<QPushButton>(&preview, "Btn_Last")->click();
    QCOMPARE(preview.currentPage(), 416);
    QVERIFY(!child<QPushButton>(&preview, "Btn_Next")->isEnabled());
    child<QSpinBox>(&preview, "Edit_Page")->setValue(100);
    QCOMPARE(preview.currentPage(), 99);
    child<QPushButton>(&preview, "Btn_Prior")->click();
    QCOMPARE(preview.currentPage(), 98);
    QApplication::processEvents();
    QVERIFY2(preview.pagesDrawn() <= 4, qPrintable(QString::number(preview.pagesDrawn())));

    // Zoom: 100 % is the screen's own resolution; whole page fits the window.
    auto *zoom = child<QComboBox>(&preview, "Combo_Zoom");
    zoom->setCurrentText(QStringLiteral("100%"));
    QCOMPARE(preview.pageDpi(), double(preview.logicalDpiX()));
    zoom->setCurrentText(QStringLiteral("200%"));
    QCOMPARE(preview.pageDpi(), 2.0 * preview.logicalDpiX());
    zoom->setCurrentText(QStringLiteral("整页"));
    auto *view = child<QWidget>(&preview, "PageView");
    QApplication::processEvents();
    auto *scroll = child<QScrollArea>(&preview, "ScrollBox");
    QVERIFY(view->height() <= scroll->viewport()->height());
    zoom->setCurrentText(QStringLiteral("页宽"));
    QVERIFY(view->width() <= scroll->viewport()->width());
    QVERIFY(view->width() > scroll->viewport()->width() * 0.8);
}

void TestPrinting::previewExports()
{
    openBrowser();
    const QString pdf = m_fixture->program.dir() + QStringLiteral("信封.pdf");
    const QString png = m_fixture->program.dir() + QStringLiteral("信封.png");
    printWith("P_Envelop", [](QWidget *dialog) { child<QRadioButton>(dialog, "Radio_All")->setChecked(true); },
              [&](QWidget *preview) {
                  m_fixture->platform.answer(pdf);
                  child<QPushButton>(preview, "Btn_Pdf")->click();
                  m_fixture->platform.answer(png);
                  child<QPushButton>(preview, "Btn_Png")->click();
                  m_fixture->platform.answer(QString()); // cancelled: nothing happens
                  child<QPushButton>(preview, "Btn_Pdf")->click();
                  // The database in use, chosen by mistake, is refused and stays as it is.
                  m_fixture->platform.answer(m_fixture->program.databasePath());
                  child<QPushButton>(preview, "Btn_Pdf")->click();
                  m_fixture->platform.answer(m_fixture->program.databasePath());
                  child<QPushButton>(preview, "Btn_Png")->click();
              });
    const QString refused = QStringLiteral("\"%1\" 是本系统的数据库文件,不能覆盖。请另选文件名。")
                                .arg(QDir::toNativeSeparators(m_fixture->program.databasePath()));
    QCOMPARE(m_fixture->program.connect()->integrityProblems(), QStringList());
    QCOMPARE(pdfPages(pdf), 3);
    for (int page = 1; page <= 3; ++page) {
        const QImage image(m_fixture->program.dir() + QStringLiteral("信封-%1.png").arg(page));
        QCOMPARE(image.size(), QSize(qRound(220 / 25.4 * 150), qRound(110 / 25.4 * 150)));
    }
    QCOMPARE(m_fixture->messages.texts(),
             (QStringList{QStringLiteral("已导出到“%1”。").arg(QDir::toNativeSeparators(pdf)),
                          QStringLiteral("已导出 3 页到“%1”。").arg(QDir::toNativeSeparators(QFileInfo(png).absolutePath())),
                          refused, refused}));
}

void TestPrinting::gridPrintFollowsTheGrid()
{
    TFrm_Custom *browser = openBrowser();
    auto *grid = child<DataGrid>(browser, "Grid_Cust");
    grid->clearColumns();
    grid->addColumn(QStringLiteral("CustCode"), 60);
    grid->addColumn(QStringLiteral("Company"), 200);
    grid->addColumn(QStringLiteral("postcode"), 80);
    grid->addColumn(QStringLiteral("address"), 100);
    grid->horizontalHeader()->moveSection(2, 0);     // postcode first on screen
    grid->horizontalHeader()->setSectionHidden(3, true);
    const GridTable table = GridPrint::table(grid, QStringLiteral("客户列表"));
    QCOMPARE(table.rowCount, 3);
    QCOMPARE(table.widths, (QList<double>{80, 60, 200}));
    QCOMPARE(table.headers.size(), 3);
    QCOMPARE(table.cell(2, 2), QStringLiteral("O'Neil Trading"));
    QCOMPARE(table.cell(0, 0), QStringLiteral("100080"));
    QString opened = captionWhenModal([&] { GridPrint::preview(m_main, grid, QStringLiteral("客户列表")); });
    QCOMPARE(opened, QStringLiteral("打印预览 - 客户列表"));
}

void TestPrinting::designCommandsOpenTheirReports_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::newRow("envelope") << "N26" << "报表设计 - Reports/fr_Envelop.frf";
    QTest::newRow("labels") << "N53" << "报表设计 - Reports/fr_Label.frf";
    QTest::newRow("bill") << "N55" << "报表设计 - Reports/fr_Bills.frf";
}

void TestPrinting::designCommandsOpenTheirReports()
{
    QFETCH(QString, command);
    QFETCH(QString, caption);
    QCOMPARE(captionWhenModal([&] { m_main->runHandler(command); }), caption);
    // The print dialog's 设计 opens the designer of its own report.
    const QString fromDialog = captionWhenModal([this] { m_main->runHandler(QStringLiteral("P_CustBasic")); },
                                                [](QWidget *dialog) {
        QCOMPARE(captionWhenModal([dialog] { child<QPushButton>(dialog, "Btn_Set")->click(); }),
                 QStringLiteral("报表设计 - Reports/fr_CustBasic.frf"));
    });
    QCOMPARE(fromDialog, QStringLiteral("客户基本资料打印"));
}

void TestPrinting::designerMovesResizesUndoesAndSaves()
{
    ReportTemplate *report = m_data->report(QStringLiteral("fr_Bills"));
    TFrm_Designer designer(m_data, report, *report->document(nullptr), m_main);
    designer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&designer));
    const QRectF original = designer.document().object(QStringLiteral("Memo_Title"))->rect;
    designer.select(QStringLiteral("Memo_Title"));
    QCOMPARE(child<QLineEdit>(&designer, "Edit_ObjName")->text(), QStringLiteral("Memo_Title"));

    // Arrow keys move by a millimetre, Shift+arrow resizes, Ctrl+arrow moves by a tenth.
    QGraphicsView *view = designer.view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QRectF now = designer.document().object(QStringLiteral("Memo_Title"))->rect;
    QCOMPARE(now.topLeft(), original.topLeft() + QPointF(2, 0.1));
    QCOMPARE(now.size(), original.size() + QSizeF(1, 0));
    QCOMPARE(child<QDoubleSpinBox>(&designer, "Edit_X")->value(), original.x() + 2);

    // Dragging with the mouse: 10 mm to the right, snapped to a tenth of a millimetre.
    QGraphicsItem *item = nullptr;
    for (QGraphicsItem *candidate : designer.scene()->items())
        if (candidate->data(0).toString() == u"Memo_Title")
            item = candidate;
    QVERIFY(item);
    const QPointF grip = item->sceneBoundingRect().center();
    const QPoint from = view->mapFromScene(grip);
    const QPoint to = view->mapFromScene(grip + QPointF(10, 0));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    QTRY_VERIFY(std::abs(designer.document().object(QStringLiteral("Memo_Title"))->rect.x() - (original.x() + 12)) < 0.6);
    const QRectF dragged = designer.document().object(QStringLiteral("Memo_Title"))->rect;

    // Undo: the drag, then the key steps; redo brings the drag back.
    QUndoStack *undo = designer.undoStack();
    undo->undo();
    QCOMPARE(designer.document().object(QStringLiteral("Memo_Title"))->rect, now);
    while (undo->canUndo())
        undo->undo();
    QCOMPARE(designer.document().object(QStringLiteral("Memo_Title"))->rect, original);
    while (undo->canRedo())
        undo->redo();
    QCOMPARE(designer.document().object(QStringLiteral("Memo_Title"))->rect, dragged);

    child<QPushButton>(&designer, "Btn_Save")->click();
    QVERIFY(undo->isClean());
    QVERIFY(!designer.windowTitle().endsWith(u'*'));
    ReportTemplate loaded(QStringLiteral("fr_Bills"), QStringLiteral("Reports/fr_Bills.frf"), QStringLiteral("contactname"));
    QVERIFY(loaded.load(m_fixture->program.dir()));
    const auto reread = loaded.document(nullptr);
    QVERIFY(reread);
    QCOMPARE(reread->object(QStringLiteral("Memo_Title"))->rect, dragged);
    QCOMPARE(write(*reread), write(designer.document()));
    QVERIFY(m_fixture->messages.shown.isEmpty());
}

void TestPrinting::designerAddsAndEditsObjects()
{
    ReportTemplate *report = m_data->report(QStringLiteral("fr_Envelop"));
    TFrm_Designer designer(m_data, report, *report->document(nullptr), m_main);
    const int before = int(designer.document().band(BandKind::MasterData)->objects.size());
    child<QComboBox>(&designer, "Combo_Field")->setCurrentText(QStringLiteral("tel"));
    child<QPushButton>(&designer, "Btn_AddField")->click();
    QCOMPARE(designer.selectedName(), QStringLiteral("Memo1"));
    QCOMPARE(designer.document().object(QStringLiteral("Memo1"))->text, QStringLiteral("[tel]"));
    child<QPushButton>(&designer, "Btn_AddLine")->click();
    child<QPushButton>(&designer, "Btn_AddRect")->click();
    QCOMPARE(designer.document().band(BandKind::MasterData)->objects.size(), before + 3);

    // The property panel edits the selected object; a name in use is refused.
    designer.select(QStringLiteral("Memo1"));
    auto *text = child<QLineEdit>(&designer, "Edit_Text");
    text->setText(QStringLiteral("电话：[tel]"));
    emit text->editingFinished();
    child<QDoubleSpinBox>(&designer, "Edit_FontSize")->setValue(14);
    QCOMPARE(designer.document().object(QStringLiteral("Memo1"))->text, QStringLiteral("电话：[tel]"));
    QCOMPARE(designer.document().object(QStringLiteral("Memo1"))->fontSize, 14.0);
    auto *name = child<QLineEdit>(&designer, "Edit_ObjName");
    name->setText(QStringLiteral("memo_contact"));
    emit name->editingFinished();
    QCOMPARE(m_fixture->messages.texts(), QStringList{QStringLiteral("对象名称“memo_contact”已被使用!")});
    QCOMPARE(name->text(), QStringLiteral("Memo1"));

    // Delete, then undo brings the object back whole.
    child<QPushButton>(&designer, "Btn_Delete")->click();
    QVERIFY(!designer.document().object(QStringLiteral("Memo1")));
    designer.undoStack()->undo();
    QCOMPARE(designer.document().object(QStringLiteral("Memo1"))->text, QStringLiteral("电话：[tel]"));

    // Closing with changes asks; No leaves the template file as it was.
    const QByteArray file = report->layout();
    designer.show();
    m_fixture->messages.answer(Msg::Answer::No);
    designer.close();
    QCOMPARE(m_fixture->messages.last().text, QStringLiteral("报表格式已修改，是否保存？"));
    QFile stored(m_fixture->program.dir() + QStringLiteral("Reports/fr_Envelop.frf"));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), file);
}

void TestPrinting::designerStartsEmptyWithoutTemplate()
{
    QFile::remove(m_fixture->program.dir() + QStringLiteral("Reports/fr_Bills.frf"));
    m_data->report(QStringLiteral("fr_Bills"))->load(m_fixture->program.dir());
    QString caption = captionWhenModal([this] { m_main->runHandler(QStringLiteral("N55")); }, [](QWidget *dialog) {
        auto *designer = qobject_cast<TFrm_Designer *>(dialog);
        QCOMPARE(designer->document().bands.size(), 1);
        child<QPushButton>(designer, "Btn_AddText")->click();
        child<QPushButton>(designer, "Btn_Save")->click();
    });
    QCOMPARE(caption, QStringLiteral("报表设计 - Reports/fr_Bills.frf"));
    QVERIFY(m_fixture->messages.shown.isEmpty());
    QString error;
    const auto saved = m_data->report(QStringLiteral("fr_Bills"))->document(&error);
    QVERIFY2(saved, qPrintable(error));
    QCOMPARE(saved->object(QStringLiteral("Memo1"))->text, QStringLiteral("文本"));
}

void TestPrinting::designerBandsAndPictures()
{
    ReportTemplate *report = m_data->report(QStringLiteral("fr_Envelop"));
    TFrm_Designer designer(m_data, report, *report->document(nullptr), m_main);
    auto *band = child<QComboBox>(&designer, "Combo_Band");
    auto *height = child<QDoubleSpinBox>(&designer, "Edit_BandHeight");

    // A page footer is added by giving it a height; objects then go into it.
    band->setCurrentIndex(band->findText(QStringLiteral("页脚")));
    QCOMPARE(height->value(), 0.0);
    height->setValue(12);
    emit height->editingFinished();
    QVERIFY(designer.document().band(BandKind::PageFooter));
    QCOMPARE(designer.document().band(BandKind::PageFooter)->height, 12.0);

    // A picture is kept inside the template; its box keeps the picture's proportions.
    QImage logo(200, 100, QImage::Format_RGB32);
    logo.fill(Qt::red);
    const QString file = m_fixture->program.dir() + QStringLiteral("logo.png");
    QVERIFY(logo.save(file));
    m_fixture->platform.answer(file);
    child<QPushButton>(&designer, "Btn_AddPicture")->click();
    const ReportObject *picture = designer.document().object(QStringLiteral("Picture1"));
    QVERIFY(picture);
    QVERIFY(!picture->pictureData.isEmpty());
    QCOMPARE(picture->rect.size(), QSizeF(40, 20));
    QVERIFY(designer.document().band(BandKind::PageFooter)->objects.size() == 1);
    designer.undoStack()->undo(); // one step takes the picture away again
    QVERIFY(!designer.document().object(QStringLiteral("Picture1")));
    designer.undoStack()->redo();

    // Height 0 removes the band; with objects in it the operator is asked first.
    m_fixture->messages.answer(Msg::Answer::No);
    height->setValue(0);
    emit height->editingFinished();
    QCOMPARE(m_fixture->messages.last().text, QStringLiteral("报表区“页脚”中的对象将一起删除，继续吗？"));
    QVERIFY(designer.document().band(BandKind::PageFooter));
    QCOMPARE(height->value(), 12.0);
    m_fixture->messages.answer(Msg::Answer::Yes);
    height->setValue(0);
    emit height->editingFinished();
    QVERIFY(!designer.document().band(BandKind::PageFooter));

    // What the designer saves is read back the same, picture included.
    QVERIFY(designer.save());
    designer.undoStack()->undo(); // the footer comes back; save again with the picture
    QVERIFY(designer.save());
    ReportTemplate loaded(QStringLiteral("fr_Envelop"), QStringLiteral("Reports/fr_Envelop.frf"), QStringLiteral("contactname"));
    QVERIFY(loaded.load(m_fixture->program.dir()));
    QCOMPARE(loaded.document(nullptr)->object(QStringLiteral("Picture1"))->pictureData,
             designer.document().object(QStringLiteral("Picture1"))->pictureData);
}

void TestPrinting::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    QDir().mkpath(folder);
    TFrm_Custom *browser = openBrowser();
    selectCustomers(browser, {0, 1, 2});
    auto save = [&folder](QWidget *window, const QString &file) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
        QVERIFY(window->grab().save(QDir(folder).filePath(file)));
    };
    TFrm_P_LabelGB dialog(m_main, {}, m_main);
    dialog.setPrintKind(QStringLiteral("1"));
    save(&dialog, QStringLiteral("print_dialog.png"));
    for (const char *command : {"P_Envelop", "P_Label", "P_CustBasic"}) {
        printWith(command, [](QWidget *d) { child<QRadioButton>(d, "Radio_All")->setChecked(true); },
                  [&](QWidget *preview) {
                      preview->resize(1100, 800);
                      save(preview, QStringLiteral("preview_%1.png").arg(QString::fromLatin1(command)));
                      QString error;
                      exportPdf(preparedOf(preview)->renderer(), QDir(folder).filePath(QStringLiteral("%1.pdf").arg(QString::fromLatin1(command))), &error);
                  });
    }
    // The customer list printed as a grid.
    {
        auto *grid = child<DataGrid>(browser, "Grid_Cust");
        GridPrint::Options options;
        options.stretchRows = true;
        GridPages pages(GridPrint::table(grid, QStringLiteral("客户列表")), options);
        QString failure;
        QVERIFY(exportPng(pages, 0, QDir(folder).filePath(QStringLiteral("grid.png")), &failure, 100));
    }
    // A bill of three lines as a picture of its page.
    Connection *c = m_data->connection();
    c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, GoodsName, GoodsUnit, Units, Number, SalePrice, Discount) "
                           "values ('FH202603090001', 'G001', 'A4复印纸', '70克', '箱', 5, 120, 1), "
                           "('FH202603090001', 'G002', '激光打印机墨盒', 'HP-88A', '个', 3, 12.5, 0.9), "
                           "('FH202603090001', 'G003', '订书机', '大号', '个', 2, 45, 1)"));
    QObject editor;
    m_data->setBillEditor(&editor);
    Dataset *lines = m_data->Qry_BillDetail;
    lines->close();
    lines->setSql(QStringLiteral("select * from T_BillDetail"));
    lines->open();
    Dataset customer(m_data->connection());
    customer.setSql(QStringLiteral("select * from Custom where CustCode=1"));
    customer.open();
    ReportPrint::Request bill;
    bill.reportName = QStringLiteral("fr_Bills");
    bill.rows = lines;
    bill.named.insert(QStringLiteral("Custom"), &customer);
    bill.objectTexts.insert(QStringLiteral("Memo_BigMoney"), QStringLiteral("柒佰柒拾叁元柒角伍分"));
    QString error;
    const auto prepared = ReportPrint::prepare(m_data, bill, &error);
    QVERIFY2(prepared, qPrintable(error));
    QVERIFY(exportPng(*prepared, 0, QDir(folder).filePath(QStringLiteral("bill.png")), &error, 100));
    QVERIFY(exportPdf(*prepared, QDir(folder).filePath(QStringLiteral("bill.pdf")), &error));

    ReportTemplate *report = m_data->report(QStringLiteral("fr_Bills"));
    TFrm_Designer designer(m_data, report, *report->document(nullptr), m_main);
    designer.resize(1280, 860);
    designer.select(QStringLiteral("Memo_Title"));
    save(&designer, QStringLiteral("designer.png"));
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
