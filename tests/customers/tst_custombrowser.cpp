#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "data/TFrm_Data.h"
#include "app/WindowCommands.h"
#include "activities/TFrm_Schedule.h"
#include "customers/TFrm_Custom.h"
#include "customers/TFrm_S_Cust.h"
#include "main/GridExport.h"
#include "main/TFrm_Main.h"
#include "sheets/Spreadsheet.h"
#include "store/Connection.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDateEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QAbstractButton>
#include <QDialog>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTreeWidget>
#include <QSignalSpy>
#include <QtTest>

// The customer browser driven as an operator would, on a small fixture: customers of
// two salesmen in a category tree, with contacts, schedules and bills.
class TestCustomBrowser : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstLoadThenFullList();
    void longListArrivesWhileWindowWorks();
    void exportDuringLoadHasEveryRow();
    void listsPrintFromTheirMenus();
    void accessScope_data();
    void accessScope();
    void scopedStatements_data();
    void scopedStatements();
    void categorySubtree();
    void quickSearchCustomer();
    void quickSearchContact();
    void contactSearchFindsStoredCodes();
    void headingsMoveToNextItem();
    void detailPagesFollowCustomer();
    void titleSortInMemory();
    void deleteKeyRunsEnabledCommand();
    void f5RefreshesCustomerGrid();
    void closingEmptiesStatus();
    void reloginLeavesNoListBehind();
    void windowFilesHoldNoStatements();
    void firstStatusCountsScope_data();
    void firstStatusCountsScope();
    void scheduleListRoundTrip_data();
    void scheduleListRoundTrip();
    void searchBringsBrowserToFront();
    void tabLeavesGridsAndTree();
    void acceleratorsOfFrameAndBrowserDiffer();
    void screenshot();

private:
    TFrm_Custom *openBrowser();
    void login(const QString &name, bool viewAll);
    TFrm_Custom *browserOverLongList();
    QStringList companies();
    QTreeWidgetItem *node(TFrm_Custom *w, const QString &code);

    std::unique_ptr<WindowFixture> m_fixture;
    TestProgram *m_program = nullptr;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
    RecordingPlatform *m_platform = nullptr;
};

void TestCustomBrowser::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_program = &m_fixture->program;
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    m_platform = &m_fixture->platform;
    Connection *c = m_data->connection();
    c->exec(QStringLiteral("delete from Cust_Category"));
    c->exec(QStringLiteral("insert into Cust_Category (code, name) values ('01','华北'), ('0101','北京'), ('0102','天津'), "
                           "('02','华东'), ('0201','上海')"));
    const char *categories[] = {"0101", "0102", "01", "0201", "02"};
    c->begin();
    for (int code = 1; code <= 150; ++code) {
        const QString user = code % 3 == 0 ? QStringLiteral("李四") : QStringLiteral("张三");
        c->exec(QStringLiteral("insert into custom (CustCode, Company, Category, address, tel, F_User) values "
                               "(%1, '%2公司%1', '%3', '地址%1', '010-%1', '%4')")
                    .arg(code).arg(code % 2 ? QStringLiteral("华信") : QStringLiteral("东方"))
                    .arg(QString::fromLatin1(categories[code % 5])).arg(user));
    }
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName, tel, F_User) values "
                           "(1,'华信公司1','王经理','111','张三'), (1,'华信公司1','王会计','112','李四'), "
                           "(2,'东方公司2','赵主任','221','张三')"));
    c->exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, F_User) values ('1','华信公司1','回访','张三'), "
                           "('1','华信公司1','报价','李四'), ('2','东方公司2','回访','张三')"));
    c->exec(QStringLiteral("insert into T_Bill (BillCode, CustCode, CustName, BillDate, F_User) values "
                           "('XS001',1,'华信公司1','2026-12-01','张三'), ('XS002',2,'东方公司2','2026-12-02','张三')"));
    c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, GoodsName, Number, SalePrice, Discount, SaleMoney) "
                           "values ('XS001','G1','打印机',2,1000,1,2000), ('XS001','G2','硒鼓',5,100,1,500)"));
    c->exec(QStringLiteral("insert into admin (UserName, Password, IsUser, Permit) values ('张三','',1,1)"));
    c->commit();
}

void TestCustomBrowser::cleanup()
{
    Dataset::setForegroundWaitMs(0);
    m_fixture.reset();
}

// The customer and contact grids print what they show through the grid print preview.
void TestCustomBrowser::listsPrintFromTheirMenus()
{
    login(QStringLiteral("张三"), true);
    TFrm_Custom *w = openBrowser();
    for (const char *entry : {"N_PrintCust", "N_PrintContact"}) {
        QAction *print = child<QAction>(w, entry);
        QCOMPARE(print->text(), QStringLiteral("打印列表"));
        QCOMPARE(whenModal([&] { print->trigger(); }), QStringLiteral("TFrm_Preview"));
    }
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
}

// 100,000 customers: a root click returns at once with the first rows, the status text
// counts up while the rest arrives, the grid and the contacts follow, and the final
// text is the usual one; a new click cancels a running load.
void TestCustomBrowser::longListArrivesWhileWindowWorks()
{
    TFrm_Custom *w = browserOverLongList();
    QSignalSpy finished(m_data->Qry_Cust, &Dataset::loadFinished);
    QStringList statusTexts;
    w->categoryClicked(child<QTreeWidget>(w, "TreeView1")->topLevelItem(0));
    QVERIFY(m_data->Qry_Cust->isLoading());
    while (m_data->Qry_Cust->isLoading()) {
        statusTexts.append(m_main->statusPanel(1));
        QTest::qWait(5);
    }
    QCOMPARE(finished.size(), 1);
    QVERIFY2(statusTexts.first().startsWith(QStringLiteral("正在读取… ")), qPrintable(statusTexts.first()));
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 100000 条客户记录"));
    QCOMPARE(child<DataGrid>(w, "Grid_Cust")->model()->rowCount(), 100000);
    QCOMPARE(m_data->Qry_Cust->currentRow(), 0);
    QCOMPARE(m_data->Qry_Contact->recordCount(), 2); // the first customer's contacts

    // A category click while the root is still loading: only the category's customers.
    w->categoryClicked(child<QTreeWidget>(w, "TreeView1")->topLevelItem(0));
    QVERIFY(m_data->Qry_Cust->isLoading());
    w->categoryClicked(node(w, QStringLiteral("0101")));
    m_data->Qry_Cust->waitForLoaded();
    QTest::qWait(50);
    QCOMPARE(m_data->Qry_Cust->recordCount(), 30);
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 30 条客户记录"));
}

// An export started while a long list is still arriving writes every row, not the rows
// read so far.
void TestCustomBrowser::exportDuringLoadHasEveryRow()
{
    TFrm_Custom *w = browserOverLongList();
    w->categoryClicked(child<QTreeWidget>(w, "TreeView1")->topLevelItem(0));
    QVERIFY(m_data->Qry_Cust->isLoading());
    const QString path = GridExport::exportGrid(w, child<DataGrid>(w, "Grid_Cust"), QStringLiteral("客户列表"));
    QVERIFY(!path.isEmpty());
    QCOMPARE(Spreadsheet::readXlsx(path).rowCount(), 100000 + 1);
    QFile::remove(path);
}

// 100,000 more customers in category 0201, and the browser set to load long lists in
// the background without waiting for them.
TFrm_Custom *TestCustomBrowser::browserOverLongList()
{
    m_data->connection()->exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < 100849) "
        "INSERT INTO custom (CustCode, Company, Category, F_User) SELECT i, '批量公司' || i, '0201', '张三' FROM n"));
    login(QStringLiteral("张三"), true);
    TFrm_Custom *w = openBrowser();
    m_data->Qry_Cust->setBackgroundLoading(true);
    Dataset::setForegroundWaitMs(0);
    return w;
}

void TestCustomBrowser::login(const QString &name, bool viewAll)
{
    m_fixture->login(name, viewAll, viewAll ? 0 : 1);
}

TFrm_Custom *TestCustomBrowser::openBrowser()
{
    m_main->showCustomerBrowser();
    auto *browser = m_main->findChild<TFrm_Custom *>();
    Q_ASSERT(browser);
    return browser;
}

QStringList TestCustomBrowser::companies()
{
    QStringList result;
    Dataset *q = m_data->Qry_Cust;
    for (int row = 0; row < q->recordCount(); ++row)
        result.append(q->value(row, q->fieldIndex(QStringLiteral("Company"))).toString());
    return result;
}

QTreeWidgetItem *TestCustomBrowser::node(TFrm_Custom *w, const QString &code)
{
    const auto items = child<QTreeWidget>(w, "TreeView1")->findItems(code + QLatin1Char('-'), Qt::MatchStartsWith | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}

void TestCustomBrowser::firstLoadThenFullList()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    QCOMPARE(w->windowTitle(), QStringLiteral("客户信息"));
    QCOMPARE(m_data->Qry_Cust->recordCount(), 100);
    // The first list is capped; the status line tells how many there are and how many show.
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 150 条客户记录，显示前 100 条"));
    QCOMPARE(child<QComboBox>(w, "Combo_Type")->currentText(), QStringLiteral("公司名称"));
    QCOMPARE(child<DataGrid>(w, "Grid_Cust")->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("客户编号"));

    QVERIFY(m_main->runHandler(QStringLiteral("Cust_CustContact")));
    QCOMPARE(m_main->findChildren<TFrm_Custom *>().size(), 1); // the same browser
    QCOMPARE(m_data->Qry_Cust->recordCount(), 150);
    // The status line follows the list loaded: it no longer speaks of the first hundred.
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 150 条客户记录"));
}

void TestCustomBrowser::accessScope_data()
{
    QTest::addColumn<bool>("viewAll");
    QTest::addColumn<int>("customers");
    QTest::addColumn<int>("contactsOfFirst");
    QTest::newRow("with the view-all right") << true << 150 << 2;
    QTest::newRow("own records only") << false << 100 << 1;
}

void TestCustomBrowser::accessScope()
{
    QFETCH(bool, viewAll);
    QFETCH(int, customers);
    QFETCH(int, contactsOfFirst);
    login(QStringLiteral("张三"), viewAll);
    TFrm_Custom *w = openBrowser();
    w->categoryClicked(child<QTreeWidget>(w, "TreeView1")->topLevelItem(0)); // root: every customer in scope
    QCOMPARE(m_data->Qry_Cust->recordCount(), customers);
    QCOMPARE(m_data->Qry_Contact->recordCount(), contactsOfFirst);
    QCOMPARE(m_data->Qry_Schedule->recordCount(), contactsOfFirst);
    for (int row = 0; !viewAll && row < m_data->Qry_Cust->recordCount(); ++row)
        QCOMPARE(m_data->Qry_Cust->value(row, m_data->Qry_Cust->fieldIndex(QStringLiteral("F_User"))).toString(),
                 QStringLiteral("张三"));
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("公司"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(m_data->Qry_Cust->recordCount(), customers);
}

void TestCustomBrowser::scopedStatements_data()
{
    QTest::addColumn<bool>("viewAll");
    QTest::newRow("with the view-all right") << true;
    QTest::newRow("own records only") << false;
}

// Every list of the browser narrows by the one operator-scope rule: the owner condition
// with the operator bound, only without the view-all right; the other values bound too.
void TestCustomBrowser::scopedStatements()
{
    QFETCH(bool, viewAll);
    login(QStringLiteral("张三"), viewAll);
    const QString own = viewAll ? QString() : QStringLiteral(" and F_User=:Operator");
    const QString operatorName = viewAll ? QString() : QStringLiteral("张三");
    auto bound = [](Dataset *query, const char *name) { return query->parameter(QString::fromLatin1(name)).toString(); };

    TFrm_Custom *w = openBrowser();
    QCOMPARE(m_data->Qry_Cust->sql(), QStringLiteral("Select top 100 * from Custom")
                                          + (viewAll ? QString() : QStringLiteral(" where F_User=:Operator")));
    QCOMPARE(bound(m_data->Qry_Cust, "Operator"), operatorName);
    QCOMPARE(m_data->Qry_Contact->sql(), QStringLiteral("Select * From Contact where CustCode=:CustCode") + own);
    QCOMPARE(bound(m_data->Qry_Contact, "Operator"), operatorName);
    QCOMPARE(m_data->Qry_Schedule->sql(), QStringLiteral("Select * From T_Schedule where CustCode=:CustCode") + own);
    QCOMPARE(bound(m_data->Qry_Schedule, "Operator"), operatorName);

    w->categoryClicked(node(w, QStringLiteral("01")));
    QCOMPARE(m_data->Qry_Cust->sql(), QStringLiteral("Select * from custom where category like :Category") + own);
    QCOMPARE(bound(m_data->Qry_Cust, "Category"), QStringLiteral("01%"));
    QCOMPARE(bound(m_data->Qry_Cust, "Operator"), operatorName);

    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("O'Neil"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(m_data->Qry_Cust->sql(), QStringLiteral("Select * from custom where Company like :Pattern") + own);
    QCOMPARE(bound(m_data->Qry_Cust, "Pattern"), QStringLiteral("%O'Neil%"));
    QCOMPARE(bound(m_data->Qry_Cust, "Operator"), operatorName);

    child<QComboBox>(w, "Combo_Type")->setCurrentIndex(9);
    emit child<QComboBox>(w, "Combo_Type")->activated(9);
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("王"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(m_data->Qry_Cust->sql(), QStringLiteral("select * from Custom where CustCode in (:Code0)") + own);
    QCOMPARE(m_data->Qry_Cust->parameter(QStringLiteral("Code0")), QVariant(qlonglong(1)));
    QCOMPARE(bound(m_data->Qry_Cust, "Operator"), operatorName);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestCustomBrowser::categorySubtree()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    QCOMPARE(child<QTreeWidget>(w, "TreeView1")->topLevelItem(0)->text(0), QStringLiteral("客户分类"));
    w->categoryClicked(node(w, QStringLiteral("01")));
    QCOMPARE(m_data->Qry_Cust->recordCount(), 90); // 01, 0101 and 0102
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 90 条客户记录"));
    w->categoryClicked(node(w, QStringLiteral("0101")));
    QCOMPARE(m_data->Qry_Cust->recordCount(), 30);
    w->categoryClicked(node(w, QStringLiteral("02")));
    QCOMPARE(m_data->Qry_Cust->recordCount(), 60);
    w->categoryClicked(child<QTreeWidget>(w, "TreeView1")->topLevelItem(0));
    QCOMPARE(m_data->Qry_Cust->recordCount(), 150);
}

void TestCustomBrowser::quickSearchCustomer()
{
    login(QStringLiteral("Admin"), true);
    m_data->connection()->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (151, 'O''Neil Trading', 'Admin')"));
    TFrm_Custom *w = openBrowser();
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("华信公司1"));
    QTest::keyClick(child<QLineEdit>(w, "Edit_Key"), Qt::Key_Return);
    QCOMPARE(m_data->Qry_Cust->recordCount(), 31); // odd codes starting with 1: 1, 11..19, 101..149
    QVERIFY(child<QPushButton>(w, "Btn_S_Cust")->isEnabled());
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("o'neil"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(companies(), QStringList{QStringLiteral("O'Neil Trading")});
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 1 条客户记录"));

    child<QComboBox>(w, "Combo_Type")->setCurrentIndex(4); // 电话
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("010-15"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(m_data->Qry_Cust->recordCount(), 2); // 15 and 150
    QVERIFY(m_messages->shown.isEmpty());
}

void TestCustomBrowser::quickSearchContact()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    child<QComboBox>(w, "Combo_Type")->setCurrentIndex(9);
    emit child<QComboBox>(w, "Combo_Type")->activated(9);
    QCOMPARE(w->searchTarget(), TFrm_Custom::Target::Contact);
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("王"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(companies(), QStringList{QStringLiteral("华信公司1")}); // two contacts, one customer
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("无此人"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(m_data->Qry_Cust->recordCount(), 0);
    QCOMPARE(m_data->Qry_Cust->sql(), QStringLiteral("select * from Custom where CustID>0 and CustID<0"));
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 0 条客户记录"));
    QVERIFY(m_messages->shown.isEmpty());
}

// The customers of the matching contacts are found by the codes as stored: a contact of
// customer 4.6 lists that customer, not customer 5.
void TestCustomBrowser::contactSearchFindsStoredCodes()
{
    SKIP_ON_SERVER(*m_fixture, "a fraction as a customer code (whole numbers only on the server)");
    login(QStringLiteral("Admin"), true);
    Connection *c = m_data->connection();
    c->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (4.6, '异码公司', 'Admin')"));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName) values (4.6, '异码公司', '王异')"));
    TFrm_Custom *w = openBrowser();
    child<QComboBox>(w, "Combo_Type")->setCurrentIndex(9);
    emit child<QComboBox>(w, "Combo_Type")->activated(9);
    child<QLineEdit>(w, "Edit_Key")->setText(QStringLiteral("王"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(companies(), (QStringList{QStringLiteral("华信公司1"), QStringLiteral("异码公司")}));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestCustomBrowser::headingsMoveToNextItem()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    child<QComboBox>(w, "Combo_Type")->setCurrentIndex(8);
    emit child<QComboBox>(w, "Combo_Type")->activated(8);
    QCOMPARE(child<QComboBox>(w, "Combo_Type")->currentText(), QStringLiteral("姓名"));
    QCOMPARE(w->searchTarget(), TFrm_Custom::Target::Contact);
    child<QComboBox>(w, "Combo_Type")->setCurrentIndex(0);
    emit child<QComboBox>(w, "Combo_Type")->activated(0);
    QCOMPARE(child<QComboBox>(w, "Combo_Type")->currentText(), QStringLiteral("客户编号"));
    QCOMPARE(w->searchTarget(), TFrm_Custom::Target::Custom);
}

void TestCustomBrowser::detailPagesFollowCustomer()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    QCOMPARE(m_data->Qry_Contact->recordCount(), 2);
    QVERIFY(!m_data->Qry_Bill->isOpen()); // sales pages are queried only when turned to
    child<QTabWidget>(w, "PageControl2")->setCurrentIndex(2);
    QCOMPARE(m_data->Qry_Bill->recordCount(), 1);
    child<QTabWidget>(w, "PageControl2")->setCurrentIndex(3);
    QCOMPARE(m_data->Qry_Detail->recordCount(), 2);
    QCOMPARE(child<DataGrid>(w, "Grid_Detail")->footerText(child<DataGrid>(w, "Grid_Detail")->columnOfField(QStringLiteral("SaleMoney"))).remove(QLatin1Char(',')).toDouble(), 2500.0);

    child<DataGrid>(w, "Grid_Cust")->setCurrentIndex(child<DataGrid>(w, "Grid_Cust")->model()->index(1, 0)); // the operator moves to customer 2
    QCOMPARE(m_data->Qry_Cust->integer(QStringLiteral("CustCode")), 2);
    QCOMPARE(m_data->Qry_Contact->text(QStringLiteral("ContactName")), QStringLiteral("赵主任"));
    QCOMPARE(m_data->Qry_Schedule->recordCount(), 1);
    QCOMPARE(m_data->Qry_Bill->text(QStringLiteral("BillCode")), QStringLiteral("XS002"));
    QCOMPARE(m_data->Qry_Detail->recordCount(), 0);
    child<DataGrid>(w, "Grid_Cust")->setCurrentIndex(child<DataGrid>(w, "Grid_Cust")->model()->index(2, 0));
    QCOMPARE(m_data->Qry_Contact->recordCount(), 0);
}

void TestCustomBrowser::titleSortInMemory()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    const QString sql = m_data->Qry_Cust->sql();
    child<DataGrid>(w, "Grid_Cust")->toggleSortMark(QStringLiteral("CustCode"));
    child<DataGrid>(w, "Grid_Cust")->toggleSortMark(QStringLiteral("CustCode")); // descending
    QCOMPARE(m_data->Qry_Cust->value(0, m_data->Qry_Cust->fieldIndex(QStringLiteral("CustCode"))).toInt(), 100);
    QCOMPARE(m_data->Qry_Cust->sql(), sql); // no new statement
    child<DataGrid>(w, "Grid_Cust")->clearSortMarks();
    QCOMPARE(m_data->Qry_Cust->value(0, m_data->Qry_Cust->fieldIndex(QStringLiteral("CustCode"))).toInt(), 1);
}

void TestCustomBrowser::deleteKeyRunsEnabledCommand()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    child<DataGrid>(w, "Grid_Cust")->setFocus();
    m_main->DelCust->setEnabled(false);
    QTest::keyClick(child<DataGrid>(w, "Grid_Cust"), Qt::Key_Delete);
    QVERIFY(m_messages->shown.isEmpty());
    m_main->DelCust->setEnabled(true);
    m_messages->answer(Msg::Answer::No);
    QTest::keyClick(child<DataGrid>(w, "Grid_Cust"), Qt::Key_Delete);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("确定要删除客户记录吗！")});
}

// F5 on the customer grid re-runs its statement; the reminders' F5 does not take it.
void TestCustomBrowser::f5RefreshesCustomerGrid()
{
    login(QStringLiteral("Admin"), true);
    int reminders = 0;
    m_main->setHandler(QStringLiteral("N_Awoke"), [&reminders] { ++reminders; });
    m_main->resize(1000, 700);
    m_main->show();
    TFrm_Custom *w = openBrowser();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    child<DataGrid>(w, "Grid_Cust")->setFocus();
    m_data->connection()->exec(QStringLiteral("update custom set Company='改过' where CustCode=1"));
    QTest::keyClick(child<DataGrid>(w, "Grid_Cust"), Qt::Key_F5);
    QCOMPARE(m_data->Qry_Cust->text(QStringLiteral("Company")), QStringLiteral("改过"));
    QCOMPARE(reminders, 0);
}

void TestCustomBrowser::closingEmptiesStatus()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *w = openBrowser();
    QVERIFY(!m_main->statusPanel(1).isEmpty());
    QPointer<TFrm_Custom> guard(w);
    w->close();
    QTRY_VERIFY(guard.isNull());
    QVERIFY(m_main->statusPanel(1).isEmpty());
}

// Nothing loaded in the previous operator's scope stays for the next one to edit.
void TestCustomBrowser::reloginLeavesNoListBehind()
{
    login(QStringLiteral("Admin"), true);
    QVERIFY(m_main->runHandler(QStringLiteral("Cust_CustContact")));
    QCOMPARE(m_data->Qry_Cust->recordCount(), 150);
    QTimer::singleShot(0, m_main, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->inherits("TFrm_Login")) {
                QCOMPARE(TFrm_Main::instance()->statusPanel(1), QString()); // the browser has gone
                qobject_cast<QDialog *>(w)->reject();
            }
    });
    m_main->Relogin();
    QVERIFY(m_main->findChildren<TFrm_Custom *>().isEmpty());
    for (Dataset *q : {m_data->Qry_Cust, m_data->Qry_Contact, m_data->Qry_Schedule})
        QVERIFY(!q->isOpen());
    // The edit command finds no customer to open: no editor comes up.
    bool editorOpened = false;
    QTimer::singleShot(0, m_main, [&editorOpened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            editorOpened = true;
            modal->close();
        }
    });
    m_main->runCommand(QStringLiteral("EditCust"));
    QCoreApplication::processEvents();
    QVERIFY(!editorOpened);
    QCOMPARE(m_messages->shown.size(), 0);
}

// The customer windows reach the database only through the query layer and the session:
// no statement text, no shared scratch query, no main window in any of their files.
void TestCustomBrowser::windowFilesHoldNoStatements()
{
    const QString folder = QFINDTESTDATA("../../src/customers");
    QVERIFY2(!folder.isEmpty(), "src/customers not found beside the tests");
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
    QVERIFY(files.contains(QStringLiteral("TFrm_Custom.cpp")));
    static const QRegularExpression literal(QStringLiteral("\"(?:[^\"\\\\\\n]|\\\\.)*\""));
    static const QRegularExpression statement(QStringLiteral("\\b(select|insert|update|delete)\\b\\s+(\\*|\\w+|into|from)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression scratch(QStringLiteral("\\bQry_(Temp|Str|Del|Sql)\\b"));
    for (const QString &name : files) {
        QFile file(QDir(folder).filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (auto it = literal.globalMatch(text); it.hasNext();) {
            const QString found = it.next().captured();
            QVERIFY2(!statement.match(found).hasMatch(), qPrintable(name + QStringLiteral(": ") + found));
        }
        QVERIFY2(!scratch.match(text).hasMatch(), qPrintable(name));
        QVERIFY2(!text.contains(QStringLiteral("main/TFrm_Main.h")), qPrintable(name));
    }
}

// With KEHU_SCREENSHOTS set to a folder, the browser is saved there as a picture.

// The first list holds at most 100 customers; the status line counts those in scope.
void TestCustomBrowser::firstStatusCountsScope_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("viewAll");
    QTest::addColumn<int>("deleteAbove"); // customers with a greater code are removed first
    QTest::addColumn<QString>("status");
    QTest::newRow("all 150, capped") << "Admin" << true << 1000 << "当前共有 150 条客户记录，显示前 100 条";
    QTest::newRow("exactly 100") << "Admin" << true << 100 << "当前共有 100 条客户记录";
    QTest::newRow("own 100 of 101") << "张三" << false << 151 << "当前共有 100 条客户记录";
    QTest::newRow("own, under the cap") << "李四" << false << 1000 << "当前共有 50 条客户记录";
}

void TestCustomBrowser::firstStatusCountsScope()
{
    QFETCH(QString, name);
    QFETCH(bool, viewAll);
    QFETCH(int, deleteAbove);
    QFETCH(QString, status);
    m_data->connection()->exec(QStringLiteral("delete from custom where CustCode>%1").arg(deleteAbove));
    login(name, viewAll);
    openBrowser();
    QCOMPARE(m_main->statusPanel(1), status);
}

// The schedule list borrows the shared schedule list for its own rows. However the
// operator gets back to the browser, its 联系记录 page lists the current customer's
// schedules again and follows the customer list; the list window, in front once more,
// shows its own rows.
void TestCustomBrowser::scheduleListRoundTrip_data()
{
    QTest::addColumn<QString>("back"); // how the operator returns to the browser
    QTest::newRow("list closed") << "close";
    QTest::newRow("客户管理 with the list open") << "command";
    QTest::newRow("browser clicked, list open") << "activate";
    QTest::newRow("list closed by Ctrl+F4") << "closeKey";
}

void TestCustomBrowser::scheduleListRoundTrip()
{
    QFETCH(QString, back);
    m_data->connection()->exec(QStringLiteral("update T_Schedule set AwokeDate='2026-03-10'"));
    login(QStringLiteral("Admin"), true);
    m_main->resize(1100, 700);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    TFrm_Custom *browser = openBrowser();
    Dataset *schedules = m_data->Qry_Schedule;
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 3)); // a customer without schedules
    QCOMPARE(schedules->recordCount(), 0);

    QVERIFY(m_main->runHandler(QStringLiteral("Main_Schedule")));
    QPointer<TFrm_Schedule> list = m_main->findChild<TFrm_Schedule *>();
    QVERIFY(list);
    child<QDateEdit>(list.data(), "DateTimePicker1")->setDate(QDate(2026, 3, 10));
    child<QPushButton>(list.data(), "Btn_S_Cust")->click();
    QCOMPARE(schedules->recordCount(), 3);

    QMdiArea *area = m_main->mdiArea();
    if (back == QLatin1String("close")) {
        qobject_cast<QMdiSubWindow *>(list->parentWidget())->close();
        QTRY_VERIFY(list.isNull());
    } else if (back == QLatin1String("closeKey")) {
        QVERIFY(QTest::qWaitForWindowActive(m_main));
        QTest::keyClick(m_main, Qt::Key_F4, Qt::ControlModifier);
        QTRY_VERIFY(list.isNull());
    } else if (back == QLatin1String("command")) {
        QVERIFY(m_main->runHandler(QStringLiteral("Cust_CustContact")));
    } else {
        area->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(browser->parentWidget()));
    }
    QCOMPARE(area->activeSubWindow()->widget(), browser);

    const auto codesShown = [schedules] {
        QStringList codes;
        for (int row = 0; row < schedules->recordCount(); ++row)
            codes.append(schedules->value(row, schedules->fieldIndex(QStringLiteral("CustCode"))).toString());
        return codes;
    };
    QVERIFY(schedules->isLinked());
    QVERIFY(schedules->sql().contains(QStringLiteral(":CustCode")));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 3));
    QCOMPARE(codesShown(), QStringList());
    QCOMPARE(child<DataGrid>(browser, "Grid_Sch")->model()->rowCount(), 0);
    // Reloading the customer list and the page keeps them the current customer's.
    browser->categoryClicked(child<QTreeWidget>(browser, "TreeView1")->topLevelItem(0));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 1));
    QCOMPARE(codesShown(), (QStringList{"1", "1"}));
    browser->findChild<QAction *>(QStringLiteral("N_RefreshSch"))->trigger();
    QCOMPARE(codesShown(), (QStringList{"1", "1"}));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 2));
    QCOMPARE(codesShown(), QStringList{"2"});
    // Delete acts on the row shown under the customer: customer 2's schedule.
    m_messages->answer(Msg::Answer::Yes);
    QVERIFY(m_main->runHandler(QStringLiteral("DelSchedule")));
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_Schedule where CustCode='2'")), 0);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_Schedule where CustCode='1'")), 2);

    if (list) {
        // The list in front again lists its own search result, whatever the customer.
        area->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(list->parentWidget()));
        QVERIFY(!schedules->isLinked());
        QCOMPARE(codesShown(), (QStringList{"1", "1"}));
        QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 3));
        QCOMPARE(schedules->recordCount(), 2);
    }
}

// A search run while another child window is in front shows its result in the browser,
// which comes to the front with it.
void TestCustomBrowser::searchBringsBrowserToFront()
{
    login(QStringLiteral("Admin"), true);
    m_main->resize(1100, 700);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    TFrm_Custom *browser = openBrowser();
    QVERIFY(m_main->runHandler(QStringLiteral("Main_Schedule")));
    QMdiArea *area = m_main->mdiArea();
    QVERIFY(area->activeSubWindow()->widget() != browser);
    qobject_cast<QMdiSubWindow *>(browser->parentWidget())->showMinimized();

    TFrm_S_Cust search(m_main);
    child<QLineEdit>(&search, "Edit_custname")->setText(QStringLiteral("公司11"));
    child<QPushButton>(&search, "btn_ok")->click();
    QCOMPARE(area->activeSubWindow()->widget(), browser);
    QVERIFY(!browser->parentWidget()->isMinimized());
    QCOMPARE(m_data->Qry_Cust->recordCount(), 11); // 11 and 110 to 119
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 %1 条客户记录").arg(m_data->Qry_Cust->recordCount()));
}

// Tab goes on from the tree and from every grid to the next input instead of moving
// between cells.
void TestCustomBrowser::tabLeavesGridsAndTree()
{
    login(QStringLiteral("Admin"), true);
    m_main->resize(1100, 700);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    TFrm_Custom *browser = openBrowser();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    for (const char *name : {"TreeView1", "Grid_Cust"}) {
        QWidget *widget = browser->findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY(widget);
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
        QTest::keyClick(widget, Qt::Key_Tab);
        QVERIFY2(QApplication::focusWidget() != widget, name);
        widget->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(widget, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY2(QApplication::focusWidget() != widget, name);
    }
    auto *grid = child<DataGrid>(browser, "Grid_Cust");
    QVERIFY(!grid->tabKeyNavigation());
}

// The browser sits in the frame under its menu bar: no letter serves both, so Alt+S runs
// the quick search and Alt+K reaches the key.
void TestCustomBrowser::acceleratorsOfFrameAndBrowserDiffer()
{
    login(QStringLiteral("Admin"), true);
    m_main->resize(1100, 700);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowActive(m_main));
    TFrm_Custom *browser = openBrowser();
    const auto letter = [](QString text) {
        text.remove(QStringLiteral("&&"));
        const int at = int(text.indexOf(QLatin1Char('&')));
        return at >= 0 ? text.mid(at + 1, 1).toUpper() : QString();
    };
    QStringList letters;
    for (QAction *menu : m_main->menuBar()->actions())
        letters.append(letter(menu->text()));
    for (QLabel *label : browser->findChildren<QLabel *>())
        letters.append(letter(label->text()));
    for (QAbstractButton *button : browser->findChildren<QAbstractButton *>())
        letters.append(letter(button->text()));
    letters.removeAll(QString());
    QCOMPARE(QSet<QString>(letters.cbegin(), letters.cend()).size(), letters.size());

    QTest::keyClick(m_main, Qt::Key_K, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(browser, "Edit_Key"));
    QTest::keyClicks(child<QLineEdit>(browser, "Edit_Key"), QStringLiteral("12"));
    QTest::keyClick(m_main, Qt::Key_S, Qt::AltModifier); // the button clicks after its press shows
    QTRY_COMPARE(m_data->Qry_Cust->recordCount(), 12); // 12, 112 and 120 to 129
}

void TestCustomBrowser::screenshot()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    login(QStringLiteral("Admin"), true);
    m_main->resize(1280, 800);
    m_main->show();
    QVERIFY(m_main->runHandler(QStringLiteral("Cust_CustContact")));
    QTest::qWait(200);
    m_main->grab().save(QDir(folder).filePath(QStringLiteral("browser.png")));

    // After a round trip through the schedule list: the 联系记录 page follows the customer.
    m_data->connection()->exec(QStringLiteral("update T_Schedule set AwokeDate='2026-03-10'"));
    QVERIFY(m_main->runHandler(QStringLiteral("Main_Schedule")));
    QPointer<TFrm_Schedule> list = m_main->findChild<TFrm_Schedule *>();
    child<QDateEdit>(list.data(), "DateTimePicker1")->setDate(QDate(2026, 3, 10));
    child<QPushButton>(list.data(), "Btn_S_Cust")->click();
    QTest::qWait(100);
    m_main->grab().save(QDir(folder).filePath(QStringLiteral("schedulelist_search.png")));
    qobject_cast<QMdiSubWindow *>(list->parentWidget())->close();
    QTRY_VERIFY(list.isNull());
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 1));
    child<QTabWidget>(m_main->findChild<TFrm_Custom *>(), "PageControl2")->setCurrentIndex(1);
    QTest::qWait(200);
    m_main->grab().save(QDir(folder).filePath(QStringLiteral("browser_after_list.png")));
}

QTEST_MAIN(TestCustomBrowser)
#include "tst_custombrowser.moc"
