#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "data/TFrm_Data.h"
#include "app/WindowCommands.h"
#include "customers/CustomerEditorCommands.h"
#include "customers/TFrm_AddContact.h"
#include "customers/TFrm_AddCust.h"
#include "customers/TFrm_Custom.h"
#include "main/TFrm_Main.h"
#include "main/TFrm_Tree.h"
#include "store/Connection.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

// The customer editor driven as an operator would: two customers (5 and 7) of two
// salesmen, with contacts, schedules and bills that a change of code or name must
// follow (or, for bills, must not).
class TestCustEditor : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void labels_data();
    void labels();
    void addModeShows_data();
    void addModeShows();
    void emptyTableProposesOne();
    void addLoopWithAutomaticCodes();
    void autoBoxWritesSettingAtOnce();
    void saveRefusals_data();
    void saveRefusals();
    void duplicateCodeProposesFreshCode();
    void refusedInsertLeavesNoRow();
    void companyWithQuote();
    void editLoadsCurrentRowAndNavigates();
    void editCascades_data();
    void editCascades();
    void editCascadeRollsBack_data();
    void editCascadeRollsBack();
    void oddCodeCarriesOnlyItsOwnRows_data();
    void oddCodeCarriesOnlyItsOwnRows();
    void oddCodeToTakenCode_data();
    void oddCodeToTakenCode();
    void secondSaveAfterCodeChange();
    void categoryPicker();
    void doubleClicksOpenAddresses();
    void addContactForSavedCustomer();
    void closingStoresPositionsAndRestoresContacts();
    void editClosingLeavesPositions();
    void commands();
    void screenshots();

private:
    void login(const QString &name, bool viewAll, int permit);
    void openLists();
    std::unique_ptr<TFrm_AddCust> editor(EditorMode mode);
    QVariant scalar(const QString &sql);
    int count(const QString &sql) { return scalar(sql).toInt(); }
    // Customer 0 and a customer whose stored code is not a whole number, each with a
    // contact and a schedule; the latter becomes the current row of the list.
    void addOddCodedCustomer(const QString &storedCode);
    IniSettings &ini() { return m_data->settings(); }
    // Starts something that may open a modal dialog; act sees the dialog, which is then
    // closed. Returns the class name of the dialog ("" when none opened).
    QString whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act = {});

    std::unique_ptr<WindowFixture> m_fixture;
    TestProgram *m_program = nullptr;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
    RecordingPlatform *m_platform = nullptr;
};

void TestCustEditor::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_program = &m_fixture->program;
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    m_platform = &m_fixture->platform;
    Connection *c = m_data->connection();
    c->begin();
    c->exec(QStringLiteral("delete from Cust_Category"));
    c->exec(QStringLiteral("insert into Cust_Category (code, name) values ('01','华北'), ('0101','北京'), ('02','华东')"));
    c->exec(QStringLiteral("insert into admin (UserName, Password, IsUser, Permit) values ('张三','',1,1), ('李四','',1,1), "
                           "('离职','',0,1)"));
    c->exec(QStringLiteral(
        "insert into custom (CustCode, Company, Category, address, postcode, tel, fax, email, url, MainContact, Mobile, "
        "OtherInfo, income, introduce, memo2, memo3, CustType, CustLevel, country, province, city, CustFrom, F_User, AddDate) "
        "values (5, '华信科技', '0101', '北京路1号', '100001', '010-1', '010-2', 'hx@example.com', 'www.hx.com', '王经理', "
        "'139', '老客户', '100万', '简介', '备注', '对手', '正式客户', 'VIP客户', '中国', '北京市', '北京', '展会', '张三', "
        "'2020-01-02'), "
        "(7, '东方贸易', '01', '上海路2号', '200002', '021-1', null, null, null, null, null, null, null, null, null, null, "
        "null, null, null, null, null, null, '李四', '2021-03-04')"));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName, F_User) values "
                           "(5,'华信科技','王经理','张三'), (5,'华信科技','李会计','李四'), (7,'东方贸易','赵主任','李四')"));
    c->exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, F_User) values "
                           "('5','华信科技','回访','张三'), ('5','华信科技','报价','李四'), ('7','东方贸易','回访','李四')"));
    c->exec(QStringLiteral("insert into T_Bill (BillCode, CustCode, CustName, F_User) values "
                           "('XS001',5,'华信科技','张三'), ('XS002',7,'东方贸易','李四')"));
    c->commit();
    login(QStringLiteral("张三"), true, 0);
}

void TestCustEditor::cleanup()
{
    m_fixture.reset();
}

void TestCustEditor::login(const QString &name, bool viewAll, int permit)
{
    m_fixture->login(name, viewAll, permit);
}

// The lists as the browser holds them: every customer, the first one current.
void TestCustEditor::openLists()
{
    TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom"));
    m_data->Qry_Contact->link();
    TFrm_Data::RunQuery(m_data->Qry_Contact, QStringLiteral("Select * From Contact where CustCode=:CustCode"));
}

std::unique_ptr<TFrm_AddCust> TestCustEditor::editor(EditorMode mode)
{
    auto w = std::make_unique<TFrm_AddCust>(m_main);
    w->setMode(mode);
    w->show();
    return w;
}

QVariant TestCustEditor::scalar(const QString &sql)
{
    Dataset d(m_data->connection());
    d.setSql(sql);
    d.open();
    return d.isEmpty() ? QVariant() : d.value(0, 0);
}

QString TestCustEditor::whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act)
{
    return ::whenModal(start, act);
}

static QString withoutAccelerator(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
}

// Every input has its label, the label names it and leads to it with its accelerator.
void TestCustEditor::labels_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("page");
    const QList<std::tuple<const char *, const char *, int>> rows = {
        {"Edit_Code", "客户编号:", 0}, {"Edit_CustName", "公司名称:", 0}, {"Edit_Category", "客户分类:", 0},
        {"Edit_Address", "通讯地址:", 0}, {"Edit_Zip", "邮编:", 0}, {"Edit_Fax", "传真号码:", 0},
        {"Edit_tel", "联系电话:", 0}, {"Edit_Email", "电子信箱:", 0}, {"Combo_CustType", "客户类型:", 0},
        {"Edit_Income", "年收入:", 0}, {"Combo_User", "业务员:", 0}, {"Edit_Url", "公司网址:", 0},
        {"Edit_Main", "主联系人:", 0}, {"Edit_Mobile", "手机号码:", 0}, {"Edit_OtherInfo", "其它信息:", 0},
        {"Memo1", "公司简介:", 0}, {"Combo_CustLevel", "客户级别:", 0}, {"Combo_Country", "国家:", 1},
        {"Combo_Province", "省份:", 1}, {"Edit_City", "城市:", 1}, {"Combo_CustFrom", "客户来源:", 1},
        {"DateEdit1", "添加时间:", 1}, {"Memo2", "其它信息:", 1}, {"Memo3", "竞争对手:", 1}};
    for (const auto &[input, caption, page] : rows)
        QTest::newRow(input) << QString::fromLatin1(input) << QString::fromUtf8(caption) << page;
}

void TestCustEditor::labels()
{
    QFETCH(QString, input);
    QFETCH(QString, caption);
    QFETCH(int, page);
    TFrm_AddCust w(m_main);
    auto *widget = w.findChild<QWidget *>(input);
    QVERIFY(widget);
    auto *label = w.findChild<QLabel *>(QStringLiteral("Label_") + input);
    QVERIFY(label);
    QCOMPARE(label->buddy(), widget);
    QVERIFY(label->text().contains(QRegularExpression(QStringLiteral("\\(&[A-Z0-9]\\)"))));
    QCOMPARE(withoutAccelerator(label->text()), caption);
    QWidget *pageWidget = page == 0 ? child<QWidget>(&w, "TabSheet1") : child<QWidget>(&w, "TabSheet2");
    QVERIFY(pageWidget->isAncestorOf(widget));
    QVERIFY(pageWidget->isAncestorOf(label));
    // The accelerator is unique on its page and among the buttons.
    QStringList keys;
    for (QLabel *l : pageWidget->findChildren<QLabel *>())
        keys.append(QRegularExpression(QStringLiteral("\\(&(.)\\)")).match(l->text()).captured(1));
    for (QAbstractButton *b : {static_cast<QAbstractButton *>(child<QPushButton>(&w, "Btn_OK")), static_cast<QAbstractButton *>(child<QPushButton>(&w, "Btn_Cancel")),
                               static_cast<QAbstractButton *>(child<QPushButton>(&w, "BitBtn1")), static_cast<QAbstractButton *>(child<QCheckBox>(&w, "cb_Auto"))})
        keys.append(QRegularExpression(QStringLiteral("\\(&(.)\\)")).match(b->text()).captured(1));
    const QString key = QRegularExpression(QStringLiteral("\\(&(.)\\)")).match(label->text()).captured(1);
    QCOMPARE(keys.count(key), 1);
}

void TestCustEditor::addModeShows_data()
{
    QTest::addColumn<int>("autoCode"); // -1: key missing
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("storedOnClose");
    QTest::newRow("AutoCode missing: proposed, box unticked") << -1 << "8" << false << 0;
    QTest::newRow("AutoCode 1: proposed, box ticked") << 1 << "8" << true << 1;
    QTest::newRow("AutoCode 0: no code") << 0 << "" << false << 0;
}

void TestCustEditor::addModeShows()
{
    QFETCH(int, autoCode);
    QFETCH(QString, code);
    QFETCH(bool, ticked);
    QFETCH(int, storedOnClose);
    if (autoCode >= 0)
        ini().writeInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), autoCode);
    ini().writeString(QStringLiteral("login"), QStringLiteral("Category"), QStringLiteral("北京"));
    ini().writeString(QStringLiteral("login"), QStringLiteral("Catecode"), QStringLiteral("0101"));
    ini().writeInteger(QStringLiteral("FormConfig"), QStringLiteral("Country"), 2);
    ini().writeInteger(QStringLiteral("FormConfig"), QStringLiteral("CustFrom"), 99); // beyond the list: nothing
    openLists();
    auto w = editor(EditorMode::Add);
    QCOMPARE(w->windowTitle(), QStringLiteral("添加客户信息"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), code);
    QCOMPARE(child<QCheckBox>(w, "cb_Auto")->isChecked(), ticked);
    QCOMPARE(child<QDateEdit>(w, "DateEdit1")->date(), QDate::currentDate());
    QCOMPARE(child<QComboBox>(w, "Combo_User")->currentText(), QStringLiteral("张三"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Category")->text(), QStringLiteral("北京"));
    QCOMPARE(w->categoryCode(), QStringLiteral("0101"));
    QCOMPARE(child<QComboBox>(w, "Combo_Country")->currentText(), QStringLiteral("日本"));
    QCOMPARE(child<QComboBox>(w, "Combo_Province")->currentIndex(), -1);
    QCOMPARE(child<QComboBox>(w, "Combo_Province")->currentText(), QString());
    QCOMPARE(child<QComboBox>(w, "Combo_CustFrom")->currentText(), QString());
    QCOMPARE(child<QComboBox>(w, "Combo_CustType")->count(), 6);
    QCOMPARE(child<QComboBox>(w, "Combo_CustType")->itemText(0), QStringLiteral("潜在客户"));
    QCOMPARE(child<QComboBox>(w, "Combo_CustLevel")->currentText(), QString());
    QStringList users;
    for (int i = 0; i < child<QComboBox>(w, "Combo_User")->count(); ++i)
        users.append(child<QComboBox>(w, "Combo_User")->itemText(i));
    QCOMPARE(users, (QStringList{QStringLiteral("Admin"), QStringLiteral("张三"), QStringLiteral("李四")}));
    QVERIFY(!child<RecordNavigator>(w, "DBNavigator1")->NavFirst->isEnabled());
    QVERIFY(!child<RecordNavigator>(w, "DBNavigator1")->NavLast->isEnabled());
    QCOMPARE(child<QTabWidget>(w, "PageControl1")->currentIndex(), 0);
    if (!code.isEmpty())
        QCOMPARE(w->focusWidget(), child<QLineEdit>(w, "Edit_CustName"));
    QVERIFY(m_messages->shown.isEmpty());
    child<QPushButton>(w, "Btn_Cancel")->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), -1), storedOnClose);
}

void TestCustEditor::emptyTableProposesOne()
{
    m_data->connection()->exec(QStringLiteral("delete from custom"));
    openLists();
    auto w = editor(EditorMode::Add);
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("1"));
}

void TestCustEditor::addLoopWithAutomaticCodes()
{
    ini().writeInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), 1);
    login(QStringLiteral("李四"), false, 1);
    openLists();
    auto w = editor(EditorMode::Add);
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("8"));
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("  新公司甲  "));
    child<QLineEdit>(w, "Edit_Address")->setText(QStringLiteral(" 广州路3号 "));
    child<QLineEdit>(w, "Edit_Zip")->setText(QStringLiteral("5100001")); // six characters at most
    child<QLineEdit>(w, "Edit_tel")->setText(QStringLiteral("020-1"));
    child<QLineEdit>(w, "Edit_Email")->setText(QStringLiteral(" a@b.cn "));
    child<QLineEdit>(w, "Edit_Main")->setText(QStringLiteral("钱经理"));
    child<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral(" 简介 "));
    child<QComboBox>(w, "Combo_CustType")->setCurrentIndex(2);
    child<QComboBox>(w, "Combo_CustLevel")->setEditText(QStringLiteral(" 自定级别 "));
    child<QComboBox>(w, "Combo_Country")->setCurrentIndex(0);
    child<QComboBox>(w, "Combo_Province")->setCurrentIndex(18);
    child<QComboBox>(w, "Combo_CustFrom")->setCurrentIndex(1);
    child<QComboBox>(w, "Combo_User")->setEditText(QStringLiteral("李四 ")); // the salesman as typed
    child<QLineEdit>(w, "Edit_City")->setText(QStringLiteral("广州"));
    child<QPlainTextEdit>(w, "Memo3")->setPlainText(QStringLiteral("对手甲"));
    child<QDateEdit>(w, "DateEdit1")->setDate(QDate(2024, 6, 1));
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));

    Dataset row(m_data->connection());
    row.setSql(QStringLiteral("select * from custom where CustCode=8"));
    row.open();
    QCOMPARE(row.recordCount(), 1);
    QCOMPARE(row.text(QStringLiteral("Company")), QStringLiteral("新公司甲"));
    QCOMPARE(row.text(QStringLiteral("address")), QStringLiteral("广州路3号"));
    QCOMPARE(row.text(QStringLiteral("postcode")), QStringLiteral("510000"));
    QCOMPARE(row.text(QStringLiteral("email")), QStringLiteral("a@b.cn"));
    QCOMPARE(row.text(QStringLiteral("MainContact")), QStringLiteral("钱经理"));
    QCOMPARE(row.text(QStringLiteral("introduce")), QStringLiteral(" 简介 "));
    QCOMPARE(row.text(QStringLiteral("CustType")), QStringLiteral("正式客户"));
    QCOMPARE(row.text(QStringLiteral("CustLevel")), QStringLiteral("自定级别"));
    QCOMPARE(row.text(QStringLiteral("country")), QStringLiteral("中国"));
    QCOMPARE(row.text(QStringLiteral("province")), QStringLiteral("广东省"));
    QCOMPARE(row.text(QStringLiteral("CustFrom")), QStringLiteral("网络推广"));
    QCOMPARE(row.text(QStringLiteral("F_User")), QStringLiteral("李四 "));
    QCOMPARE(row.text(QStringLiteral("city")), QStringLiteral("广州"));
    QCOMPARE(row.text(QStringLiteral("memo3")), QStringLiteral("对手甲"));
    QCOMPARE(row.date(QStringLiteral("AddDate")), QDate(2024, 6, 1));
    QVERIFY(row.isNull(QStringLiteral("fax")));
    // The browser's list shows the new customer as its current row.
    QCOMPARE(m_data->Qry_Cust->recordCount(), 3);
    QCOMPARE(m_data->Qry_Cust->integer(QStringLiteral("CustCode")), 8);

    // Reset for the next customer: next code, per-customer inputs empty, the kind kept.
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("9"));
    QCOMPARE(child<QTabWidget>(w, "PageControl1")->currentIndex(), 0);
    for (QLineEdit *e : {child<QLineEdit>(w, "Edit_CustName"), child<QLineEdit>(w, "Edit_Address"), child<QLineEdit>(w, "Edit_Zip"), child<QLineEdit>(w, "Edit_tel"), child<QLineEdit>(w, "Edit_Email"), child<QLineEdit>(w, "Edit_Main"),
                         child<QLineEdit>(w, "Edit_City"), child<QLineEdit>(w, "Edit_Fax"), child<QLineEdit>(w, "Edit_Income"), child<QLineEdit>(w, "Edit_Url"), child<QLineEdit>(w, "Edit_Mobile"), child<QLineEdit>(w, "Edit_OtherInfo")})
        QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
    QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty() && child<QPlainTextEdit>(w, "Memo2")->toPlainText().isEmpty() && child<QPlainTextEdit>(w, "Memo3")->toPlainText().isEmpty());
    QCOMPARE(child<QComboBox>(w, "Combo_CustType")->currentText(), QStringLiteral("正式客户"));
    QCOMPARE(child<QComboBox>(w, "Combo_CustLevel")->currentText(), QStringLiteral(" 自定级别 "));
    QCOMPARE(child<QComboBox>(w, "Combo_Country")->currentText(), QStringLiteral("中国"));
    QCOMPARE(child<QComboBox>(w, "Combo_Province")->currentText(), QStringLiteral("广东省"));
    QCOMPARE(child<QComboBox>(w, "Combo_CustFrom")->currentText(), QStringLiteral("网络推广"));
    QCOMPARE(child<QComboBox>(w, "Combo_User")->currentText(), QStringLiteral("李四 "));
    QCOMPARE(child<QDateEdit>(w, "DateEdit1")->date(), QDate(2024, 6, 1));

    // A typed code above the highest: the next proposal follows it.
    child<QLineEdit>(w, "Edit_Code")->setText(QStringLiteral("20"));
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("新公司乙"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=20 and Company='新公司乙'")), 1);
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("21"));
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 4);
}

void TestCustEditor::autoBoxWritesSettingAtOnce()
{
    ini().writeInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), 0);
    openLists();
    auto w = editor(EditorMode::Add);
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QString());
    child<QCheckBox>(w, "cb_Auto")->click();
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("8"));
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), -1), 1);
    child<QLineEdit>(w, "Edit_Code")->setText(QStringLiteral("30"));
    child<QCheckBox>(w, "cb_Auto")->click();
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("30")); // unticking proposes nothing
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), -1), 0);
    // With the setting 0 a saved customer leaves the code empty for the next one.
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("新公司"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=30")), 1);
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QString());
}

// Each refusal in its place in the order: its message, the first page, the focus, and
// nothing written.
void TestCustEditor::saveRefusals_data()
{
    QTest::addColumn<bool>("addMode");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("focus");
    const int box = int(Msg::Kind::Box);
    const int plain = int(Msg::Kind::Plain);
    const QString codeEmpty = QStringLiteral("客户编号不能为空!");
    const QString nameEmpty = QStringLiteral("公司名称不能为空!");
    const QString notNumber = QStringLiteral("客户编号必须是整数!");
    for (bool add : {true, false}) {
        const char *m = add ? "add: " : "edit: ";
        auto row = [m](const char *name) -> QTestData & { return QTest::newRow(qPrintable(QString::fromLatin1(m) + QString::fromLatin1(name))); };
        row("empty code") << add << "" << "新名称" << codeEmpty << box << "Edit_Code";
        row("blank code") << add << "   " << "新名称" << codeEmpty << box << "Edit_Code";
        row("code before name") << add << "" << "" << codeEmpty << box << "Edit_Code";
        row("empty name") << add << "30" << "" << nameEmpty << box << "Edit_CustName";
        row("blank name") << add << "30" << "   " << nameEmpty << box << "Edit_CustName";
        row("name before number") << add << "abc" << " " << nameEmpty << box << "Edit_CustName";
        row("letters in code") << add << "3a" << "新名称" << notNumber << box << "Edit_Code";
        row("statement in code") << add << "5 or 1=1" << "新名称" << notNumber << box << "Edit_Code";
        row("negative code") << add << "-3" << "新名称" << notNumber << box << "Edit_Code";
        row("code too large") << add << "99999999999999999999" << "新名称" << notNumber << box << "Edit_Code";
    }
    QTest::newRow("add: duplicate name") << true << "30" << "华信科技" << QStringLiteral("客户名称有重复!") << box
                                         << "Edit_CustName";
    QTest::newRow("add: name of the second customer") << true << "30" << "东方贸易" << QStringLiteral("客户名称有重复!")
                                                      << box << "Edit_CustName";
    QTest::newRow("edit: code of another customer") << false << "7" << "华信科技"
                                                    << QStringLiteral("客户编号重复，请你换一个客户编号") << plain
                                                    << "Edit_Code";
}

void TestCustEditor::saveRefusals()
{
    SKIP_ON_SERVER(*m_fixture, "a trigger and group_concat");
    QFETCH(bool, addMode);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(int, kind);
    QFETCH(QString, focus);
    openLists();
    const QString before = scalar(QStringLiteral("select group_concat(CustCode || Company || ifnull(address,''), '|') from custom")).toString();
    auto w = editor(addMode ? EditorMode::Add : EditorMode::Edit);
    child<QLineEdit>(w, "Edit_Code")->setText(code);
    child<QLineEdit>(w, "Edit_CustName")->setText(name);
    child<QLineEdit>(w, "Edit_Address")->setText(QStringLiteral("改过的地址"));
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{message});
    QCOMPARE(int(m_messages->last().kind), kind);
    QCOMPARE(m_messages->last().title, kind == int(Msg::Kind::Plain) ? Msg::ProgramTitle : QStringLiteral("提醒"));
    QCOMPARE(m_messages->last().icon, kind == int(Msg::Kind::Plain) ? Msg::Icon::None : Msg::Icon::Information);
    QCOMPARE(child<QTabWidget>(w, "PageControl1")->currentIndex(), 0);
    QCOMPARE(w->focusWidget()->objectName(), focus);
    QVERIFY(w->isVisible());
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), code); // inputs unchanged
    QCOMPARE(child<QLineEdit>(w, "Edit_CustName")->text(), name);
    QCOMPARE(scalar(QStringLiteral("select group_concat(CustCode || Company || ifnull(address,''), '|') from custom")).toString(), before);
    QCOMPARE(m_data->Qry_Cust->recordCount(), 2);
}

void TestCustEditor::duplicateCodeProposesFreshCode()
{
    ini().writeInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), 0); // "自动" off
    openLists();
    auto w = editor(EditorMode::Add);
    QVERIFY(!child<QCheckBox>(w, "cb_Auto")->isChecked());
    child<QLineEdit>(w, "Edit_Code")->setText(QStringLiteral(" 5 "));
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("全新公司"));
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("客户编号有重复!")});
    QCOMPARE(m_messages->last().title, QStringLiteral("提醒"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("8"));
    QCOMPARE(child<QTabWidget>(w, "PageControl1")->currentIndex(), 0);
    QCOMPARE(child<QLineEdit>(w, "Edit_CustName")->text(), QStringLiteral("全新公司"));
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 2);
    child<QPushButton>(w, "Btn_OK")->click(); // the proposed code saves
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=8 and Company='全新公司'")), 1);
}

// A row the database refuses is reported and does not stay in the list; the form keeps
// what was typed.
void TestCustEditor::refusedInsertLeavesNoRow()
{
    SKIP_ON_SERVER(*m_fixture, "a trigger refuses the save");
    m_data->connection()->exec(QStringLiteral(
        "create trigger refuse before insert on custom begin select raise(abort,'injected'); end"));
    openLists();
    auto w = editor(EditorMode::Add);
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("新公司"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
    QVERIFY(m_messages->last().text.contains(QStringLiteral("injected")));
    QCOMPARE(m_data->Qry_Cust->recordCount(), 2);
    QCOMPARE(m_data->Qry_Cust->state(), Dataset::State::Browse);
    QCOMPARE(child<QLineEdit>(w, "Edit_CustName")->text(), QStringLiteral("新公司"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("8"));
}

void TestCustEditor::companyWithQuote()
{
    openLists();
    auto w = editor(EditorMode::Add);
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("O'Neil Trading"));
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(count(QStringLiteral("select count(*) from custom where Company='O''Neil Trading'")), 1);
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("O'Neil Trading"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("客户名称有重复!")});
    w->close();

    // Renaming it carries the new name, quote and all, to its contacts.
    m_data->connection()->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName) values (8, 'O''Neil Trading', 'Pat')"));
    m_data->Qry_Cust->refresh();
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 8));
    auto e = editor(EditorMode::Edit);
    QCOMPARE(child<QLineEdit>(e, "Edit_CustName")->text(), QStringLiteral("O'Neil Trading"));
    child<QLineEdit>(e, "Edit_CustName")->setText(QStringLiteral("O'Neil & O'Hara"));
    child<QPushButton>(e, "Btn_OK")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(scalar(QStringLiteral("select Company from contact where ContactName='Pat'")).toString(), QStringLiteral("O'Neil & O'Hara"));
}

void TestCustEditor::editLoadsCurrentRowAndNavigates()
{
    openLists();
    QCOMPARE(m_data->Qry_Cust->integer(QStringLiteral("CustCode")), 5);
    auto w = editor(EditorMode::Edit);
    QCOMPARE(w->windowTitle(), QStringLiteral("编辑客户信息"));
    const QList<QPair<QWidget *, QString>> expected = {
        {child<QLineEdit>(w, "Edit_Code"), QStringLiteral("5")}, {child<QLineEdit>(w, "Edit_CustName"), QStringLiteral("华信科技")},
        {child<QLineEdit>(w, "Edit_Category"), QStringLiteral("北京")}, {child<QLineEdit>(w, "Edit_Address"), QStringLiteral("北京路1号")},
        {child<QLineEdit>(w, "Edit_Zip"), QStringLiteral("100001")}, {child<QLineEdit>(w, "Edit_tel"), QStringLiteral("010-1")}, {child<QLineEdit>(w, "Edit_Fax"), QStringLiteral("010-2")},
        {child<QLineEdit>(w, "Edit_Email"), QStringLiteral("hx@example.com")}, {child<QLineEdit>(w, "Edit_Url"), QStringLiteral("www.hx.com")},
        {child<QLineEdit>(w, "Edit_Main"), QStringLiteral("王经理")}, {child<QLineEdit>(w, "Edit_Mobile"), QStringLiteral("139")},
        {child<QLineEdit>(w, "Edit_OtherInfo"), QStringLiteral("老客户")}, {child<QLineEdit>(w, "Edit_Income"), QStringLiteral("100万")},
        {child<QLineEdit>(w, "Edit_City"), QStringLiteral("北京")}, {child<QComboBox>(w, "Combo_CustType"), QStringLiteral("正式客户")},
        {child<QComboBox>(w, "Combo_CustLevel"), QStringLiteral("VIP客户")}, {child<QComboBox>(w, "Combo_Country"), QStringLiteral("中国")},
        {child<QComboBox>(w, "Combo_Province"), QStringLiteral("北京市")}, {child<QComboBox>(w, "Combo_CustFrom"), QStringLiteral("展会")},
        {child<QComboBox>(w, "Combo_User"), QStringLiteral("张三")}, {child<QPlainTextEdit>(w, "Memo1"), QStringLiteral("简介")}, {child<QPlainTextEdit>(w, "Memo2"), QStringLiteral("备注")},
        {child<QPlainTextEdit>(w, "Memo3"), QStringLiteral("对手")}};
    for (const auto &[widget, text] : expected) {
        QString shown;
        if (auto *e = qobject_cast<QLineEdit *>(widget))
            shown = e->text();
        else if (auto *c = qobject_cast<QComboBox *>(widget))
            shown = c->currentText();
        else if (auto *m = qobject_cast<QPlainTextEdit *>(widget))
            shown = m->toPlainText();
        QCOMPARE(shown, text);
    }
    QCOMPARE(child<QComboBox>(w, "Combo_Country")->currentIndex(), 0); // the list item itself is selected
    QCOMPARE(child<QDateEdit>(w, "DateEdit1")->date(), QDate(2020, 1, 2));
    QCOMPARE(w->categoryCode(), QStringLiteral("0101"));
    QCOMPARE(w->loadedCode().toLongLong(), 5);
    QCOMPARE(w->loadedName(), QStringLiteral("华信科技"));
    QVERIFY(!child<RecordNavigator>(w, "DBNavigator1")->NavPrior->isEnabled());
    QVERIFY(child<RecordNavigator>(w, "DBNavigator1")->NavNext->isEnabled());

    // A navigator move drops what was typed and loads the next customer.
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("未保存的名称"));
    child<RecordNavigator>(w, "DBNavigator1")->NavNext->click();
    QCOMPARE(m_data->Qry_Cust->integer(QStringLiteral("CustCode")), 7);
    QCOMPARE(m_data->Qry_Contact->text(QStringLiteral("ContactName")), QStringLiteral("赵主任")); // the browser follows
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), QStringLiteral("7"));
    QCOMPARE(child<QLineEdit>(w, "Edit_CustName")->text(), QStringLiteral("东方贸易"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Category")->text(), QStringLiteral("华北"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Email")->text(), QString());
    QCOMPARE(child<QComboBox>(w, "Combo_CustType")->currentText(), QString());
    QCOMPARE(w->loadedName(), QStringLiteral("东方贸易"));
    QVERIFY(!child<RecordNavigator>(w, "DBNavigator1")->NavLast->isEnabled());
    child<RecordNavigator>(w, "DBNavigator1")->NavFirst->click();
    QCOMPARE(child<QLineEdit>(w, "Edit_CustName")->text(), QStringLiteral("华信科技"));
    QCOMPARE(count(QStringLiteral("select count(*) from custom where Company='未保存的名称'")), 0);

    // A category code that names no category shows an empty name.
    m_data->connection()->exec(QStringLiteral("update custom set Category='99' where CustCode=7"));
    m_data->Qry_Cust->refresh();
    child<RecordNavigator>(w, "DBNavigator1")->NavLast->click();
    QCOMPARE(child<QLineEdit>(w, "Edit_Category")->text(), QString());
    QCOMPARE(w->categoryCode(), QStringLiteral("99"));
    QVERIFY(m_messages->shown.isEmpty());
}

// What an edit-mode save carries to contacts and schedules; bills never change, and
// the date added stays.
void TestCustEditor::editCascades_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("contactCode");
    QTest::addColumn<QString>("contactCompany");
    QTest::newRow("code 5 to 12") << "12" << "华信科技" << 12 << "华信科技";
    QTest::newRow("code with blanks is no change") << " 5 " << "华信科技" << 5 << "华信科技";
    QTest::newRow("rename") << "5" << "华信集团" << 5 << "华信集团";
    QTest::newRow("code and name together") << "12" << "华信集团" << 12 << "华信集团";
    QTest::newRow("name trimmed everywhere") << "5" << "  华信集团 " << 5 << "华信集团";
}

void TestCustEditor::editCascades()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(int, contactCode);
    QFETCH(QString, contactCompany);
    Connection *c = m_data->connection();
    // A contact and a schedule of customer 7 that carry the same company text stay as they are.
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName) values (7,'华信科技','同名')"));
    c->exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject) values ('7','华信科技','同名')"));
    openLists();
    auto w = editor(EditorMode::Edit);
    child<QLineEdit>(w, "Edit_Code")->setText(code);
    child<QLineEdit>(w, "Edit_CustName")->setText(name);
    child<QLineEdit>(w, "Edit_tel")->setText(QStringLiteral(" 010-9 "));
    child<QDateEdit>(w, "DateEdit1")->setDate(QDate(2030, 1, 1));
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
    QVERIFY(w->isVisible()); // edit mode stays open

    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=%1 and Company='%2' and tel='010-9'")
                       .arg(contactCode).arg(contactCompany)), 1);
    QCOMPARE(scalar(QStringLiteral("select AddDate from custom where CustCode=%1").arg(contactCode)).toString(),
             QStringLiteral("2020-01-02"));
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=%1 and Company='%2'").arg(contactCode).arg(contactCompany)), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='%1' and Company='%2'").arg(contactCode).arg(contactCompany)), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=7 and Company='东方贸易'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=7 and ContactName='同名' and Company='华信科技'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='7' and Subject='同名' and Company='华信科技'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill where BillCode='XS001' and CustCode=5 and CustName='华信科技'")), 1);
    // The browser's list shows the change at once.
    QCOMPARE(m_data->Qry_Cust->integer(QStringLiteral("CustCode")), contactCode);
    QCOMPARE(m_data->Qry_Cust->text(QStringLiteral("Company")), contactCompany);
}

void TestCustEditor::editCascadeRollsBack_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("code change") << "12" << "华信科技";
    QTest::newRow("name change") << "5" << "华信集团";
}

void TestCustEditor::editCascadeRollsBack()
{
    SKIP_ON_SERVER(*m_fixture, "a trigger refuses the save");
    QFETCH(QString, code);
    QFETCH(QString, name);
    m_data->connection()->exec(QStringLiteral(
        "create trigger refuse before update on T_Schedule begin select raise(abort,'injected'); end"));
    openLists();
    auto w = editor(EditorMode::Edit);
    child<QLineEdit>(w, "Edit_Code")->setText(code);
    child<QLineEdit>(w, "Edit_CustName")->setText(name);
    child<QLineEdit>(w, "Edit_tel")->setText(QStringLiteral("010-9"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("保存数据失败!")});
    QCOMPARE(m_messages->last().title, QStringLiteral("提醒"));
    QCOMPARE(m_messages->last().kind, Msg::Kind::Box);
    QVERIFY(w->isVisible());
    QVERIFY(!m_data->connection()->inTransaction());
    // Nothing of the save stays: customer row, contacts, schedules.
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=5 and Company='华信科技' and tel='010-1'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=5 and Company='华信科技'")), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='5' and Company='华信科技'")), 2);
    // The list shows the row as stored, and the form still holds what was typed.
    QCOMPARE(m_data->Qry_Cust->state(), Dataset::State::Browse);
    QCOMPARE(m_data->Qry_Cust->integer(QStringLiteral("CustCode")), 5);
    QCOMPARE(m_data->Qry_Cust->text(QStringLiteral("tel")), QStringLiteral("010-1"));
    QCOMPARE(child<QLineEdit>(w, "Edit_tel")->text(), QStringLiteral("010-9"));

    // Without the fault the same save goes through.
    m_data->connection()->exec(QStringLiteral("drop trigger refuse"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='%1' and Company='%2'").arg(code.trimmed(), name)), 2);
}

void TestCustEditor::addOddCodedCustomer(const QString &storedCode)
{
    Connection *c = m_data->connection();
    c->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (0, '零号公司', '张三'), (%1, '异码公司', '张三')")
                .arg(storedCode));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName) values (0, '零号公司', '零'), (%1, '异码公司', '甲')")
                .arg(storedCode));
    c->exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject) values ('0', '零号公司', '零'), (%1, '异码公司', '甲')")
                .arg(storedCode));
    openLists();
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("Company"), QStringLiteral("异码公司")));
}

// A customer code that is not a whole number (imported or older data) is matched as it is
// stored when a new code or name is carried: an empty text is not customer 0, 4.6 is not
// customer 5, a text code is not 0.
void TestCustEditor::oddCodeCarriesOnlyItsOwnRows_data()
{
    QTest::addColumn<QString>("storedCode"); // as written into the statements of the fixture
    QTest::addColumn<QString>("shownCode");
    QTest::addColumn<QString>("name");
    QTest::newRow("empty code next to customer 0") << "''" << "" << "异码公司";
    QTest::newRow("fraction next to customer 5") << "4.6" << "4.6" << "异码公司";
    QTest::newRow("text code next to customer 0") << "'A1'" << "A1" << "异码公司";
    QTest::newRow("fraction, renamed too") << "4.6" << "4.6" << "异码集团";
    QTest::newRow("empty code, renamed too") << "''" << "" << "异码集团";
}

void TestCustEditor::oddCodeCarriesOnlyItsOwnRows()
{
    SKIP_ON_SERVER(*m_fixture, "a fraction as a customer code (whole numbers only on the server)");
    QFETCH(QString, storedCode);
    QFETCH(QString, shownCode);
    QFETCH(QString, name);
    addOddCodedCustomer(storedCode);
    auto w = editor(EditorMode::Edit);
    QCOMPARE(child<QLineEdit>(w, "Edit_Code")->text(), shownCode);
    child<QLineEdit>(w, "Edit_Code")->setText(QStringLiteral("12"));
    child<QLineEdit>(w, "Edit_CustName")->setText(name);
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));

    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=12 and Company='%1'").arg(name)), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=12 and ContactName='甲' and Company='%1'").arg(name)), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='12' and Subject='甲' and Company='%1'").arg(name)), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=12")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='12'")), 1);
    // The neighbours keep every row.
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=0 and ContactName='零' and Company='零号公司'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='0' and Subject='零' and Company='零号公司'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=5 and Company='华信科技'")), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='5' and Company='华信科技'")), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode in (0, 5, 7)")), 3);
    QCOMPARE(w->loadedCode().toLongLong(), 12);
}

// Such a code changed to the code of another customer is a duplicate: refused, nothing
// written.
void TestCustEditor::oddCodeToTakenCode_data()
{
    QTest::addColumn<QString>("storedCode");
    QTest::addColumn<QString>("typedCode");
    QTest::newRow("empty code to 0") << "''" << "0";
    QTest::newRow("4.6 to 5") << "4.6" << "5";
    QTest::newRow("text code to 0") << "'A1'" << "0";
}

void TestCustEditor::oddCodeToTakenCode()
{
    SKIP_ON_SERVER(*m_fixture, "a fraction as a customer code (whole numbers only on the server)");
    QFETCH(QString, storedCode);
    QFETCH(QString, typedCode);
    addOddCodedCustomer(storedCode);
    const QString before = scalar(QStringLiteral(
        "select group_concat(CustCode || '/' || Company, '|') from (select CustCode, Company from custom union all "
        "select CustCode, Company from contact union all select CustCode, Company from T_Schedule)")).toString();
    auto w = editor(EditorMode::Edit);
    child<QLineEdit>(w, "Edit_Code")->setText(typedCode);
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("异码集团"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("客户编号重复，请你换一个客户编号")});
    QCOMPARE(scalar(QStringLiteral(
        "select group_concat(CustCode || '/' || Company, '|') from (select CustCode, Company from custom union all "
        "select CustCode, Company from contact union all select CustCode, Company from T_Schedule)")).toString(), before);
}

// After a saved code change the dialog compares against the new code: saving again is
// not refused as a duplicate of the customer itself.
void TestCustEditor::secondSaveAfterCodeChange()
{
    openLists();
    auto w = editor(EditorMode::Edit);
    child<QLineEdit>(w, "Edit_Code")->setText(QStringLiteral("9"));
    child<QPushButton>(w, "Btn_OK")->click();
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("华信集团"));
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=9 and Company='华信集团'")), 2);
    QCOMPARE(w->loadedCode().toLongLong(), 9);
    QCOMPARE(w->loadedName(), QStringLiteral("华信集团"));
}

void TestCustEditor::categoryPicker()
{
    openLists();
    auto w = editor(EditorMode::Add);
    const QString opened = whenModal([&] { child<QAction>(w, "Btn_Category")->trigger(); }, [](QWidget *dialog) {
        auto *tree = qobject_cast<TFrm_Tree *>(dialog);
        QCOMPARE(tree->RootCaption, QStringLiteral("客户分类"));
        QCOMPARE(tree->CategoryTable, QStringLiteral("Cust_Category"));
        QCOMPARE(tree->SelectMode, 1);
        const auto items = tree->TreeView1->findItems(QStringLiteral("0101-"), Qt::MatchStartsWith | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        tree->TreeView1->setCurrentItem(items.first());
        emit tree->TreeView1->itemDoubleClicked(items.first(), 0);
    });
    QCOMPARE(opened, QStringLiteral("TFrm_Tree"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Category")->text(), QStringLiteral("北京"));
    QCOMPARE(w->categoryCode(), QStringLiteral("0101"));
    QCOMPARE(ini().readString(QStringLiteral("login"), QStringLiteral("CateCode")), QStringLiteral("0101"));
    QCOMPARE(ini().readString(QStringLiteral("login"), QStringLiteral("Category")), QStringLiteral("北京"));
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("新公司"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(scalar(QStringLiteral("select Category from custom where Company='新公司'")).toString(), QStringLiteral("0101"));
    QCOMPARE(child<QLineEdit>(w, "Edit_Category")->text(), QStringLiteral("北京")); // kept for the next customer

    // Closing the picker without a choice changes nothing.
    whenModal([&] { child<QAction>(w, "Btn_Category")->trigger(); });
    QCOMPARE(w->categoryCode(), QStringLiteral("0101"));
}

void TestCustEditor::doubleClicksOpenAddresses()
{
    openLists();
    auto w = editor(EditorMode::Edit);
    child<QLineEdit>(w, "Edit_Email")->setText(QStringLiteral("  sales@hx.com "));
    QTest::mouseDClick(child<QLineEdit>(w, "Edit_Email"), Qt::LeftButton);
    child<QLineEdit>(w, "Edit_Url")->setText(QStringLiteral(" www.hx.com "));
    QTest::mouseDClick(child<QLineEdit>(w, "Edit_Url"), Qt::LeftButton);
    QCOMPARE(m_platform->calls(), (QStringList{QStringLiteral("openUrl mailto:sales@hx.com"),
                                               QStringLiteral("openUrl http://www.hx.com")}));
    child<QLineEdit>(w, "Edit_Email")->clear();
    child<QLineEdit>(w, "Edit_Url")->setText(QStringLiteral("   "));
    QTest::mouseDClick(child<QLineEdit>(w, "Edit_Email"), Qt::LeftButton);
    QTest::mouseDClick(child<QLineEdit>(w, "Edit_Url"), Qt::LeftButton);
    QCOMPARE(m_platform->recorded.size(), 2); // nothing to open
}

void TestCustEditor::addContactForSavedCustomer()
{
    openLists();
    auto w = editor(EditorMode::Add);
    child<QLineEdit>(w, "Edit_CustName")->setText(QStringLiteral("新公司"));
    child<QPushButton>(w, "Btn_OK")->click();
    QString company;
    QVariant code;
    QString caption;
    const QString opened = whenModal([&] { child<QPushButton>(w, "BitBtn1")->click(); }, [&](QWidget *dialog) {
        auto *contact = qobject_cast<TFrm_AddContact *>(dialog);
        company = child<QComboBox>(contact, "Combo_Cust")->currentText();
        code = contact->customerCode();
        caption = contact->windowTitle();
        child<QLineEdit>(contact, "Edit_Name")->setText(QStringLiteral("新联系人"));
        child<QPushButton>(contact, "Btn_OK")->click();
    });
    QCOMPARE(opened, QStringLiteral("TFrm_AddContact"));
    QCOMPARE(caption, QStringLiteral("添加联系人"));
    QCOMPARE(company, QStringLiteral("新公司"));
    QCOMPARE(code.toLongLong(), 8);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=8 and Company='新公司' and ContactName='新联系人'")), 1);
    QCOMPARE(scalar(QStringLiteral("select MainContact from custom where CustCode=8")).toString(), QStringLiteral("新联系人"));
}

// Closing in add mode remembers the list positions; in both modes the contact list of
// the current customer comes back, in the operator's scope, with its column layout.
void TestCustEditor::closingStoresPositionsAndRestoresContacts()
{
    login(QStringLiteral("张三"), false, 1);
    m_data->connection()->exec(QStringLiteral("update custom set F_User='张三'"));
    m_main->showCustomerBrowser();
    auto *browser = m_main->findChild<TFrm_Custom *>();
    QVERIFY(browser);
    QCOMPARE(m_data->Qry_Contact->recordCount(), 1); // own contacts only
    TFrm_Data::RunQuery(m_data->Qry_Contact, QStringLiteral("select * from contact")); // something else meanwhile

    auto w = editor(EditorMode::Add);
    child<QComboBox>(w, "Combo_Country")->setCurrentIndex(3);
    child<QComboBox>(w, "Combo_Province")->setEditText(QStringLiteral("不在列表中"));
    child<QComboBox>(w, "Combo_CustType")->setCurrentIndex(1);
    child<QComboBox>(w, "Combo_CustFrom")->setEditText(QStringLiteral("展会")); // typed, but an item of the list
    w->close();
    QVERIFY(!w->isVisible());
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("Country"), -9), 3);
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("Province"), -9), -1);
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("CustType"), -9), 1);
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("CustFrom"), -9), 2);
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("AutoCode"), -9), 0);

    QCOMPARE(m_data->Qry_Contact->sql(), QStringLiteral("Select * From Contact where CustCode=:CustCode and F_User=:Operator"));
    QCOMPARE(m_data->Qry_Contact->parameter(QStringLiteral("Operator")).toString(), QStringLiteral("张三"));
    QCOMPARE(m_data->Qry_Contact->recordCount(), 1);
    QCOMPARE(m_data->Qry_Contact->text(QStringLiteral("ContactName")), QStringLiteral("王经理"));
    QCOMPARE(child<DataGrid>(browser, "Grid_Contact")->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("姓名"));

    // The positions come back in the next add-mode editor.
    auto again = editor(EditorMode::Add);
    QCOMPARE(child<QComboBox>(again, "Combo_Country")->currentText(), QStringLiteral("韩国"));
    QCOMPARE(child<QComboBox>(again, "Combo_CustType")->currentText(), QStringLiteral("意向客户"));
    QCOMPARE(child<QComboBox>(again, "Combo_CustFrom")->currentText(), QStringLiteral("展会"));
    QCOMPARE(child<QComboBox>(again, "Combo_Province")->currentText(), QString());
}

void TestCustEditor::editClosingLeavesPositions()
{
    ini().writeInteger(QStringLiteral("FormConfig"), QStringLiteral("Country"), 4);
    openLists();
    TFrm_Data::RunQuery(m_data->Qry_Contact, QStringLiteral("select * from contact"));
    auto w = editor(EditorMode::Edit);
    QVERIFY(!child<QCheckBox>(w, "cb_Auto")->isChecked());
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QCOMPARE(ini().readInteger(QStringLiteral("FormConfig"), QStringLiteral("Country"), -9), 4);
    QVERIFY(!ini().hasKey(QStringLiteral("FormConfig"), QStringLiteral("AutoCode")));
    QCOMPARE(m_data->Qry_Contact->sql(), QStringLiteral("Select * From Contact where CustCode=:CustCode"));
    QCOMPARE(m_data->Qry_Contact->recordCount(), 2);
}

void TestCustEditor::commands()
{
    openLists();
    QString caption;
    auto title = [&](QWidget *dialog) { caption = dialog->windowTitle(); };
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("AddCust")); }, title), QStringLiteral("TFrm_AddCust"));
    QCOMPARE(caption, QStringLiteral("添加客户信息"));
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("EditCust")); }, title), QStringLiteral("TFrm_AddCust"));
    QCOMPARE(caption, QStringLiteral("编辑客户信息"));
    // A double click on the browser's customer grid edits too, when the command is enabled.
    m_main->showCustomerBrowser();
    auto *browser = m_main->findChild<TFrm_Custom *>();
    QCOMPARE(whenModal([&] { emit child<DataGrid>(browser, "Grid_Cust")->doubleClicked(child<DataGrid>(browser, "Grid_Cust")->model()->index(0, 0)); }, title),
             QStringLiteral("TFrm_AddCust"));
    QCOMPARE(caption, QStringLiteral("编辑客户信息"));
    // With no customer in the list there is nothing to edit.
    TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom where CustCode<0"));
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("EditCust")); }), QString());
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("AddCust")); }), QStringLiteral("TFrm_AddCust"));
    QVERIFY(m_main->findChildren<TFrm_AddCust *>().isEmpty()); // freed after closing
    QVERIFY(m_messages->shown.isEmpty());
}

// With KEHU_SCREENSHOTS set to a folder, both pages of the editor are saved there.
void TestCustEditor::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    openLists();
    auto w = editor(EditorMode::Edit);
    QTest::qWait(50);
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(0);
    QVERIFY(w->grab().save(QDir(folder).filePath(QStringLiteral("custeditor_basic.png"))));
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    QVERIFY(w->grab().save(QDir(folder).filePath(QStringLiteral("custeditor_details.png"))));
    auto a = editor(EditorMode::Add);
    QTest::qWait(50);
    QVERIFY(a->grab().save(QDir(folder).filePath(QStringLiteral("custeditor_add.png"))));
}

QTEST_MAIN(TestCustEditor)
#include "tst_custeditor.moc"
