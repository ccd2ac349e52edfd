#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "data/TFrm_Data.h"
#include "report/MoneyInCapitals.h"
#include "main/TFrm_Main.h"
#include "sales/SalesChart.h"
#include "sales/SalesSummary.h"
#include "sales/TFrm_A_Sale.h"
#include "sales/TFrm_AddBill.h"
#include "sales/TFrm_SelectGoods.h"
#include "store/Connection.h"
#include "store/FaultInjection.h"
#include "store/queries/Bills.h"
#include "store/queries/Customers.h"
#include "store/queries/Sales.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

// Sales bills, bill numbers, the sales analysis with its chart, and the capital numerals.
// Customers 5 华信科技 and 7 O'Neil Trading; goods A100 (12.5), B200 (25), C300 (1).
// Stored bills of 2026: FH202603010001 (华信科技, 张三, 03-01), FH202603310001
// (O'Neil, 李四, 03-31) and FH202604010001 (华信科技, 张三, 04-01), one with a line
// without goods code.
class TestSales : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void moneyInCapitals_data();
    void moneyInCapitals();
    void moneyOutOfRange_data();
    void moneyOutOfRange();

    void billNumbers_data();
    void billNumbers();
    void addBillSavesHeaderAndLines();
    void duplicateNumberTakesLinesAlong();
    void failedSaveKeepsEditorAndLines();
    void leavingWithoutSavingChangesNothing();
    void editBillSavesChangedLines();
    void editBillCommandNeedsBill();
    void printShowsUnsavedLines();

    void analysisStatements_data();
    void analysisStatements();
    void analysisWindow();
    void analysisRangeInclusive();
    void chartFollowsRows();
    void customerListFilledOnDropDown();
    void goodsCodeFromPicker();
    void screenshots();

private:
    QVariant scalar(const QString &sql) { return m_fixture->scalar(sql); }
    int count(const QString &sql) { return m_fixture->count(sql); }
    void selectCustomer(int custCode);
    std::unique_ptr<TFrm_AddBill> billEditor(EditorMode mode);
    // Picks goods through the editor's 增行 as the operator would.
    void pickGoods(TFrm_AddBill *editor, const QStringList &codes);
    void setLine(int row, double number, double discount);
    QStringList analysisCodes();

    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
};

void TestSales::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    Connection *c = m_data->connection();
    c->begin();
    c->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (5, '华信科技', '张三'), "
                           "(7, 'O''Neil Trading', '李四'), (8, '  空格公司 ', '张三')"));
    c->exec(QStringLiteral("insert into T_Goods (GoodsCode, GoodsName, GoodsUnit, Units, SalePrice) values "
                           "('A100', '手机甲', 'X1', '台', 12.5), ('B200', '智能机乙', 'X2', '台', 25), "
                           "('C300', '铅笔', 'HB', '支', 1)"));
    c->exec(QStringLiteral("insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) values "
                           "('FH202603010001', '2026-03-01', 5, '华信科技', '张三'), "
                           "('FH202603310001', '2026-03-31', 7, 'O''Neil Trading', '李四'), "
                           "('FH202604010001', '2026-04-01', 5, '华信科技', '张三')"));
    c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, GoodsName, Number, SalePrice, Discount, SaleMoney) values "
                           "('FH202603010001', 'A100', '手机甲', 2, 12.5, 1, 25), "
                           "('FH202603010001', 'C300', '铅笔', 10, 1, 1, 10), "
                           "('FH202603310001', 'B200', '智能机乙', 1, 25, 0.8, 20), "
                           "('FH202603310001', null, '服务费', 1, 5, 1, 5), "
                           "('FH202604010001', 'A100', '手机甲', 4, 12.5, 1, 50)"));
    c->commit();
    m_fixture->login(QStringLiteral("Admin"), true, 0);
}

void TestSales::cleanup()
{
    FaultInjection::disarm();
    m_fixture.reset();
}

void TestSales::selectCustomer(int custCode)
{
    Customers::openList(*m_data->Qry_Cust, m_main->scope());
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), custCode));
    Customers::openBills(*m_data->Qry_Bill);
}

std::unique_ptr<TFrm_AddBill> TestSales::billEditor(EditorMode mode)
{
    auto w = std::make_unique<TFrm_AddBill>(m_main);
    w->setMode(mode);
    w->show();
    return w;
}

void TestSales::pickGoods(TFrm_AddBill *editor, const QStringList &codes)
{
    whenModal([&] { child<QPushButton>(editor, "Btn_AddLine")->click(); }, [&](QWidget *picker) {
        auto *select = qobject_cast<TFrm_SelectGoods *>(picker);
        QVERIFY(select);
        for (const QString &code : codes) {
            QVERIFY(select->goods()->locate(QStringLiteral("GoodsCode"), code));
            child<QPushButton>(picker, "Btn_Select")->click();
        }
        child<QPushButton>(picker, "Btn_Close")->click();
    });
}

void TestSales::setLine(int row, double number, double discount)
{
    Dataset *lines = m_data->Qry_BillDetail;
    lines->setCurrentRow(row);
    lines->edit();
    lines->setValue(QStringLiteral("Number"), number);
    lines->setValue(QStringLiteral("Discount"), discount);
    lines->post();
}

// ------------------------------------------------------------------ capital numerals

void TestSales::moneyInCapitals_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0.0 << "零元零角零分";
    QTest::newRow("100") << 100.0 << "壹佰零拾零元零角零分";
    QTest::newRow("1203.5") << 1203.5 << "壹仟贰佰零拾叁元伍角零分";
    QTest::newRow("0.07") << 0.07 << "零元零角柒分";
    QTest::newRow("33.75") << 33.75 << "叁拾叁元柒角伍分";
    QTest::newRow("1e9") << 1e9 << "壹拾零亿零仟零佰零拾零万零仟零佰零拾零元零角零分";
    QTest::newRow("largest") << 999999999999.99 << "玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分";
    // Rounded on the decimal text, halves away from zero, as written on paper.
    QTest::newRow("0.125") << 0.125 << "零元壹角叁分";
    QTest::newRow("1.005") << 1.005 << "壹元零角壹分";
    QTest::newRow("2.675") << 2.675 << "贰元陆角捌分";
    QTest::newRow("9.995 carries") << 9.995 << "壹拾零元零角零分";
    QTest::newRow("0.004") << 0.004 << "零元零角零分";
}

void TestSales::moneyInCapitals()
{
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(MoneyInCapitals(amount), text);
}

void TestSales::moneyOutOfRange_data()
{
    QTest::addColumn<double>("amount");
    QTest::newRow("1e12") << 1e12;
    QTest::newRow("rounds up to 1e12") << 999999999999.995;
    QTest::newRow("negative") << -1.0;
    QTest::newRow("nan") << std::nan("");
    QTest::newRow("infinite") << HUGE_VAL;
}

void TestSales::moneyOutOfRange()
{
    QFETCH(double, amount);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, MoneyInCapitals(amount));
}

// ------------------------------------------------------------------ bill numbers and editor

void TestSales::billNumbers_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("next");
    QTest::newRow("first of the day") << QStringList{"FH202612090005"} << "FH202612100001";
    QTest::newRow("0009") << QStringList{"FH202612100008", "FH202612100009"} << "FH202612100010";
    QTest::newRow("0999") << QStringList{"FH202612100999", "FH202612100100"} << "FH202612101000";
    QTest::newRow("9999") << QStringList{"FH202612109999"} << "FH2026121010000";
    QTest::newRow("after 10000") << QStringList{"FH202612109999", "FH2026121010000"} << "FH2026121010001";
}

void TestSales::billNumbers()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, next);
    for (const QString &code : stored)
        m_data->connection()->exec(QStringLiteral("insert into T_Bill (BillCode) values ('%1')").arg(code));
    QCOMPARE(Bills::nextNumber(m_data->connection(), QDate(2026, 12, 10)), next);
}

void TestSales::addBillSavesHeaderAndLines()
{
    selectCustomer(5);
    auto e = billEditor(EditorMode::Add);
    const QString number = Bills::numberPrefix(QDate::currentDate()) + QStringLiteral("0001");
    QCOMPARE(e->windowTitle(), QStringLiteral("新增销售单"));
    QCOMPARE(child<QPushButton>(e.get(), "Btn_OK")->text(), QStringLiteral("新增&A"));
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_Bill")->text(), number);
    QCOMPARE(child<QComboBox>(e.get(), "Combo_Cust")->currentText(), QStringLiteral("华信科技"));
    QVERIFY(!child<QComboBox>(e.get(), "Combo_Cust")->isEnabled());
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_User")->text(), QStringLiteral("Admin"));
    QCOMPARE(m_data->Qry_BillDetail->recordCount(), 0);
    // A bill dated yesterday still gets today's number.
    child<QDateEdit>(e.get(), "DateTimePicker1")->setDate(QDate::currentDate().addDays(-1));
    child<QLineEdit>(e.get(), "Memo1")->setText(QStringLiteral("加急"));

    pickGoods(e.get(), {QStringLiteral("A100"), QStringLiteral("C300")});
    QCOMPARE(m_data->Qry_BillDetail->recordCount(), 2);
    setLine(0, 3, 0.9);
    setLine(1, 2, 1);
    QCOMPARE(m_data->Qry_BillDetail->value(0, m_data->Qry_BillDetail->fieldIndex(QStringLiteral("money"))).toDouble(), 33.75);
    QCOMPARE(e->linesTotal(), 35.75);
    auto *grid = child<DataGrid>(e.get(), "DBGridEh1");
    QCOMPARE(grid->footerText(grid->columnOfField(QStringLiteral("money"))), QStringLiteral("35.75"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='%1'").arg(number)), 0);

    child<QPushButton>(e.get(), "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
    QVERIFY(!e->isVisible());
    QCOMPARE(scalar(QStringLiteral("select BillDate || '|' || CustCode || '|' || CustName || '|' || memo || '|' || F_User "
                                   "from T_Bill where BillCode='%1'").arg(number)).toString(),
             QDate::currentDate().addDays(-1).toString(Qt::ISODate) + QStringLiteral("|5|华信科技|加急|Admin"));
    QCOMPARE(scalar(QStringLiteral("select SaleMoney from T_BillDetail where BillCode='%1' and GoodsCode='A100'").arg(number)).toDouble(),
             33.75);
    QCOMPARE(scalar(QStringLiteral("select sum(SaleMoney) from T_BillDetail where BillCode='%1'").arg(number)).toDouble(), 35.75);
    // The customer's bill list shows the new bill.
    QVERIFY(m_data->Qry_Bill->locate(QStringLiteral("BillCode"), number));
}

// The number shown was taken meanwhile: a new one is generated, and the lines picked
// under the old number are saved under the new one with the header.
void TestSales::duplicateNumberTakesLinesAlong()
{
    selectCustomer(5);
    auto e = billEditor(EditorMode::Add);
    const QString first = child<QLineEdit>(e.get(), "Edit_Bill")->text();
    pickGoods(e.get(), {QStringLiteral("B200")});
    setLine(0, 1, 1);
    m_data->connection()->exec(QStringLiteral("insert into T_Bill (BillCode, CustName) values ('%1', '别人的单据')").arg(first));
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("单据编号有重复，程序将自动生成新的编号!")});
    QCOMPARE(m_messages->last().title, QStringLiteral("提醒"));
    QVERIFY(e->isVisible());
    const QString second = child<QLineEdit>(e.get(), "Edit_Bill")->text();
    QCOMPARE(second, Bills::numberAfter(Bills::numberPrefix(QDate::currentDate()), first));
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QVERIFY(!e->isVisible());
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='%1'").arg(first)), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='%1' and SaleMoney=25").arg(second)), 1);
}

// A failure at any statement of the save writes nothing, says so, and keeps the editor
// open with its lines; the next attempt saves everything.
void TestSales::failedSaveKeepsEditorAndLines()
{
    selectCustomer(7); // O'Neil: quotes in the customer name
    auto e = billEditor(EditorMode::Add);
    const QString number = child<QLineEdit>(e.get(), "Edit_Bill")->text();
    pickGoods(e.get(), {QStringLiteral("A100"), QStringLiteral("B200")});
    setLine(0, 1, 1);
    setLine(1, 2, 1);
    int failures = 0;
    for (int n = 1;; ++n) {
        m_messages->shown.clear();
        FaultInjection::failAtStatement(n);
        child<QPushButton>(e.get(), "Btn_OK")->click();
        const int seen = FaultInjection::statementsSeen();
        FaultInjection::disarm();
        if (seen < n)
            break;
        QCOMPARE(m_messages->shown.size(), 1);
        const bool stored = count(QStringLiteral("select count(*) from T_Bill where BillCode='%1'").arg(number)) == 1;
        if (stored) {
            // Only re-reading the customer's bill list after the commit failed: the bill is
            // saved whole, the editor closed, and the failed read reported.
            QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
            QVERIFY(!e->isVisible());
            break;
        }
        // The duplicate test before the transaction reports its failed read as it is; a
        // failure inside the transaction is the failed save.
        if (m_messages->last().kind == Msg::Kind::ErrorReport)
            QCOMPARE(failures, 0);
        else
            QCOMPARE(m_messages->texts(), (QStringList{QStringLiteral("数据出错,单据不能保存!")}));
        failures += m_messages->last().kind != Msg::Kind::ErrorReport;
        QVERIFY(e->isVisible());
        QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='%1'").arg(number)), 0);
        QCOMPARE(m_data->Qry_BillDetail->recordCount(), 2);
    }
    QVERIFY(failures >= 3); // header, two lines
    QVERIFY(!e->isVisible());
    QCOMPARE(scalar(QStringLiteral("select CustName from T_Bill where BillCode='%1'").arg(number)).toString(),
             QStringLiteral("O'Neil Trading"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='%1'").arg(number)), 2);
}

void TestSales::leavingWithoutSavingChangesNothing()
{
    selectCustomer(5);
    QVERIFY(m_data->Qry_Bill->locate(QStringLiteral("BillCode"), QStringLiteral("FH202603010001")));
    auto e = billEditor(EditorMode::Edit);
    QCOMPARE(m_data->Qry_BillDetail->recordCount(), 2);
    pickGoods(e.get(), {QStringLiteral("B200")});
    m_data->Qry_BillDetail->first();
    child<QPushButton>(e.get(), "Btn_DelLine")->click();
    setLine(0, 99, 1);
    QVERIFY(e->hasPendingLines());
    // Leaving asks first; 否 keeps the lines, 是 throws them away.
    e->reject();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("放弃所做的修改吗？")});
    QVERIFY(e->isVisible());
    QVERIFY(e->hasPendingLines());
    m_messages->answer(Msg::Answer::Yes);
    e->reject();
    QVERIFY(!e->isVisible());
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='FH202603010001'")), 2);
    QCOMPARE(scalar(QStringLiteral("select sum(Number) from T_BillDetail where BillCode='FH202603010001'")).toInt(), 12);
    QVERIFY(!m_data->Qry_BillDetail->isOpen());
}

void TestSales::editBillSavesChangedLines()
{
    selectCustomer(5);
    QVERIFY(m_data->Qry_Bill->locate(QStringLiteral("BillCode"), QStringLiteral("FH202603010001")));
    auto e = billEditor(EditorMode::Edit);
    QCOMPARE(e->windowTitle(), QStringLiteral("保存销售单"));
    QCOMPARE(child<QPushButton>(e.get(), "Btn_OK")->text(), QStringLiteral("保存&S"));
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_Bill")->text(), QStringLiteral("FH202603010001"));
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_User")->text(), QStringLiteral("张三"));
    QCOMPARE(child<QDateEdit>(e.get(), "DateTimePicker1")->date(), QDate(2026, 3, 1));
    // The picker asks for goods stored on this bill already.
    m_messages->answer(Msg::Answer::Yes);
    pickGoods(e.get(), {QStringLiteral("A100")});
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("A100已经添加，还要添加吗？")});
    m_messages->shown.clear();
    QVERIFY(m_data->Qry_BillDetail->locate(QStringLiteral("GoodsCode"), QStringLiteral("C300")));
    setLine(m_data->Qry_BillDetail->currentRow(), 5, 0.5);
    setLine(m_data->Qry_BillDetail->recordCount() - 1, 2, 1);
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
    QCOMPARE(scalar(QStringLiteral("select SaleMoney from T_BillDetail where BillCode='FH202603010001' and GoodsCode='C300'")).toDouble(),
             2.5);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='FH202603010001' and GoodsCode='A100'")), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill where BillCode='FH202603010001'")), 1);
}

void TestSales::editBillCommandNeedsBill()
{
    QVERIFY(m_main->AddBill->isVisible() && m_main->EditBill->isVisible());
    m_main->runHandler(QStringLiteral("EditBill"));
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("请先在客户的“销售记录”中选择要编辑的销售单。")});
    selectCustomer(5);
    QCOMPARE(captionWhenModal([this] { m_main->runHandler(QStringLiteral("EditBill")); }), QStringLiteral("保存销售单"));
    QCOMPARE(captionWhenModal([this] { m_main->runHandler(QStringLiteral("AddBill")); }), QStringLiteral("新增销售单"));
}

// Printing a bill not saved yet shows it in the preview and writes nothing; an amount
// the capital numerals cannot write is refused with a message instead.
void TestSales::printShowsUnsavedLines()
{
    m_fixture->deliverReportTemplates();
    selectCustomer(7);
    auto e = billEditor(EditorMode::Add);
    pickGoods(e.get(), {QStringLiteral("A100")});
    setLine(0, 3, 0.9);
    QCOMPARE(whenModal([&] { child<QPushButton>(e.get(), "BitBtn2")->click(); }), QStringLiteral("TFrm_Preview"));
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
    QVERIFY(e->hasPendingLines());
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='%1'").arg(e->billNumber())), 0);

    setLine(0, 1e11, 10); // 1.25e13
    QCOMPARE(whenModal([&] { child<QPushButton>(e.get(), "BitBtn2")->click(); }), QString());
    QCOMPARE(m_messages->texts(), QStringList{moneyOutOfRangeMessage()});
}

// ------------------------------------------------------------------ sales analysis

QStringList TestSales::analysisCodes()
{
    QStringList list;
    Dataset *rows = m_data->Qry_Count;
    for (int row = 0; row < rows->recordCount(); ++row)
        list.append(rows->value(row, rows->fieldIndex(QStringLiteral("BillCode"))).toString() + QLatin1Char('/')
                    + rows->value(row, rows->fieldIndex(QStringLiteral("GoodsCode"))).toString());
    list.sort();
    return list;
}

void TestSales::analysisStatements_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("found");
    const QString head = QStringLiteral("select * from [S_BillDetail] where (BillDate>=:DateFrom and BillDate<=:DateTo)AND");
    QTest::newRow("no condition") << "" << "" << ""
        << head + "(F_User like'%%')AND(CustName like'%%')AND(GoodsCode like'%%')"
        << QStringList{"FH202603010001/A100", "FH202603010001/C300", "FH202603310001/B200"};
    QTest::newRow("operator") << "李四" << "" << ""
        << head + "(F_User=:Operator)AND(CustName like'%%')AND(GoodsCode like'%%')" << QStringList{"FH202603310001/B200"};
    QTest::newRow("customer with quote") << "" << "O'Neil Trading" << ""
        << head + "(F_User like'%%')AND(CustName=:Customer)AND(GoodsCode like'%%')" << QStringList{"FH202603310001/B200"};
    QTest::newRow("part of a name finds nothing") << "" << "华信" << ""
        << head + "(F_User like'%%')AND(CustName=:Customer)AND(GoodsCode like'%%')" << QStringList{};
    QTest::newRow("goods") << "" << "" << "A100"
        << head + "(F_User like'%%')AND(CustName like'%%')AND(GoodsCode=:GoodsCode)" << QStringList{"FH202603010001/A100"};
}

void TestSales::analysisStatements()
{
    QFETCH(QString, user);
    QFETCH(QString, customer);
    QFETCH(QString, goods);
    QFETCH(QString, statement);
    QFETCH(QStringList, found);
    Sales::Filter filter{QDate(2026, 3, 1), QDate(2026, 3, 31), user, customer, goods};
    Sales::openAnalysis(*m_data->Qry_Count, filter);
    QCOMPARE(m_data->Qry_Count->sql(), statement);
    QCOMPARE(analysisCodes(), found);
}

void TestSales::analysisWindow()
{
    m_main->runHandler(QStringLiteral("M_A_Sale"));
    auto *w = m_main->findChild<TFrm_A_Sale *>();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("销售分析"));
    QVERIFY(qobject_cast<QMdiSubWindow *>(w->parentWidget())->isMaximized());
    const QDate today = QDate::currentDate();
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate(today.year(), today.month(), 1));
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker2")->date(), today);
    auto *users = child<QComboBox>(w, "Combo_User");
    QVERIFY(users->findText(QStringLiteral("Admin")) >= 0);
    QCOMPARE(users->currentText(), QString());
    // One instance: the open one comes to the front.
    m_main->runHandler(QStringLiteral("M_A_Sale"));
    QCOMPARE(m_main->findChildren<TFrm_A_Sale *>().size(), 1);

    child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2026, 1, 1));
    child<QDateEdit>(w, "DateTimePicker2")->setDate(QDate(2026, 12, 31));
    users->setEditText(QStringLiteral("张三"));
    child<QPushButton>(w, "BitBtn1")->click();
    QCOMPARE(analysisCodes(), (QStringList{"FH202603010001/A100", "FH202603010001/C300", "FH202604010001/A100"}));
    auto *grid = child<DataGrid>(w, "DBGridEh1");
    QCOMPARE(grid->columnFields().first(), QStringLiteral("BillDate"));
    const int money = grid->columnOfField(QStringLiteral("SaleMoney"));
    QCOMPARE(grid->footerText(money), QStringLiteral("85"));
    // Sort marks re-sort the rows; the sums stay.
    grid->toggleSortMark(QStringLiteral("SaleMoney"));
    grid->toggleSortMark(QStringLiteral("SaleMoney")); // descending
    emit grid->titleClicked(QStringLiteral("SaleMoney"));
    QCOMPARE(m_data->Qry_Count->number(QStringLiteral("SaleMoney")) >= 0, true);
    QCOMPARE(m_data->Qry_Count->value(0, m_data->Qry_Count->fieldIndex(QStringLiteral("SaleMoney"))).toDouble(), 50.0);
    QCOMPARE(grid->footerText(money), QStringLiteral("85"));
}

void TestSales::analysisRangeInclusive()
{
    Sales::openAnalysis(*m_data->Qry_Count, {QDate(2026, 3, 31), QDate(2026, 3, 31), {}, {}, {}});
    QCOMPARE(analysisCodes(), QStringList{"FH202603310001/B200"});
    Sales::openAnalysis(*m_data->Qry_Count, {QDate(2026, 4, 2), QDate(2026, 3, 1), {}, {}, {}});
    QCOMPARE(analysisCodes(), QStringList{});
}

// The chart adds up the rows the grid shows: its sums equal the footer.
void TestSales::chartFollowsRows()
{
    TFrm_A_Sale w(m_main);
    child<QDateEdit>(&w, "DateTimePicker1")->setDate(QDate(2026, 1, 1));
    child<QDateEdit>(&w, "DateTimePicker2")->setDate(QDate(2026, 12, 31));
    w.showSales();
    const SalesSummary &summary = w.chart()->summary();
    auto *grid = child<DataGrid>(&w, "DBGridEh1");
    QCOMPARE(QString::number(summary.total), grid->footerText(grid->columnOfField(QStringLiteral("SaleMoney"))));
    QCOMPARE(summary.total, 105.0);
    QCOMPARE(summary.months, (SalesSummary::Amounts{{"2026-03", 55.0}, {"2026-04", 50.0}}));
    QCOMPARE(summary.customers, (SalesSummary::Amounts{{"华信科技", 85.0}, {"O'Neil Trading", 20.0}}));
    QCOMPARE(summary.goods.first(), (QPair<QString, double>{"A100 手机甲", 75.0}));
    double months = 0;
    for (const auto &month : summary.months)
        months += month.second;
    QCOMPARE(months, summary.total);

    child<QComboBox>(&w, "Combo_Cust")->setEditText(QStringLiteral("O'Neil Trading"));
    w.showSales();
    QCOMPARE(w.chart()->summary().total, 20.0);
    QCOMPARE(w.chart()->summary().months, (SalesSummary::Amounts{{"2026-03", 20.0}}));
    QVERIFY(!w.chart()->picture(QSize(800, 500)).isNull());
}

void TestSales::customerListFilledOnDropDown()
{
    TFrm_A_Sale w(m_main);
    w.show();
    auto *customers = child<QComboBox>(&w, "Combo_Cust");
    QCOMPARE(customers->count(), 0);
    customers->setEditText(QStringLiteral("华"));
    customers->showPopup();
    QCOMPARE(customers->count(), 3);
    QVERIFY(customers->findText(QStringLiteral("空格公司")) >= 0); // blanks removed
    QCOMPARE(customers->currentText(), QStringLiteral("华"));
    customers->hidePopup();
}

void TestSales::goodsCodeFromPicker()
{
    TFrm_A_Sale w(m_main);
    w.show();
    whenModal([&] { w.chooseGoods(); }, [](QWidget *picker) {
        auto *select = qobject_cast<TFrm_SelectGoods *>(picker);
        QVERIFY(select->goods()->locate(QStringLiteral("GoodsCode"), QStringLiteral("C300")));
        child<QPushButton>(picker, "Btn_Select")->click();
    });
    QCOMPARE(child<QLineEdit>(&w, "Edit_GoodsCode")->text(), QStringLiteral("C300"));
}

void TestSales::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    selectCustomer(5);
    QVERIFY(m_data->Qry_Bill->locate(QStringLiteral("BillCode"), QStringLiteral("FH202603010001")));
    auto e = billEditor(EditorMode::Edit);
    e->resize(900, 520);
    QTest::qWait(100);
    QVERIFY(e->grab().save(QDir(folder).filePath(QStringLiteral("billeditor.png"))));
    e->reject();
    m_main->resize(1200, 720);
    m_main->show();
    m_main->runHandler(QStringLiteral("M_A_Sale"));
    auto *w = m_main->findChild<TFrm_A_Sale *>();
    child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2026, 1, 1));
    w->showSales();
    QTest::qWait(100);
    QVERIFY(m_main->grab().save(QDir(folder).filePath(QStringLiteral("salesanalysis.png"))));
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    QTest::qWait(200);
    QVERIFY(m_main->grab().save(QDir(folder).filePath(QStringLiteral("saleschart.png"))));
}

QTEST_MAIN(TestSales)
#include "tst_sales.moc"
