#include "WindowFixture.h"
#include "data/TFrm_Data.h"
#include "app/WindowCommands.h"
#include "customers/CustomerToolCommands.h"
#include "customers/TFrm_BatchEdit.h"
#include "customers/TFrm_Custom.h"
#include "customers/TFrm_Email.h"
#include "customers/TFrm_Field.h"
#include "customers/SearchInputs.h"
#include "customers/TFrm_S_Cust.h"
#include "main/TFrm_Main.h"
#include "main/TFrm_Tree.h"
#include "store/Connection.h"
#include "store/ProgramDir.h"
#include "store/SqlText.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

// The customer search, column chooser, batch category edit and e-mail export, driven
// as an operator would on a small fixture of seven customers of two salesmen.
class TestCustomerTools : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void searchSingleCondition_data();
    void searchSingleCondition();
    void searchJoinsInInputOrder();
    void searchDateRange_data();
    void searchDateRange();
    void searchOpensBrowserWithCountAndLayout();
    void nothingToSearch();
    void salesmanLockedWithoutViewAll();
    void salesmanListFromOperators();
    void clearKeepsSalesmanAndDates();
    void searchCategoryPicker();

    void chooserListsAndMoves();
    void chooserStores_data();
    void chooserStores();
    void chooserSwitchesRowsOfOneTitle();
    void chooserOneAtATime();

    void batchEditSelectedCustomers();
    void batchEditCategoryText_data();
    void batchEditCategoryText();
    void batchEditWithoutSelection();
    void batchEditFindsStoredCode();
    void batchEditCategoryPicker();

    void emailExport_data();
    void emailExport();
    void emailWithoutViewer();
    void emailFileName();
    void emailReplacesFile();
    void emailCurrentListNotOpen();

    void commandsOpenDialogs();
    void screenshots();

private:
    void login(const QString &name, bool viewAll);
    TFrm_Custom *openBrowser();
    QList<int> codesOf(Dataset *query);
    QList<int> codesWhere(const QString &where);
    QString scalar(const QString &sql);
    QTreeWidgetItem *node(TFrm_Tree *tree, const QString &code);
    // Runs check on the next modal dialog of class W once it is shown; closes it afterwards.
    template <class W>
    void whenModal(std::function<void(W *)> check);
    QByteArray exportedFile(const QString &name);

    std::unique_ptr<WindowFixture> m_fixture;
    TestProgram *m_program = nullptr;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
    RecordingPlatform *m_platform = nullptr;
};

void TestCustomerTools::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_program = &m_fixture->program;
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    m_platform = &m_fixture->platform;
    Connection *c = m_data->connection();
    c->exec(QStringLiteral("delete from Cust_Category"));
    c->exec(QStringLiteral("insert into Cust_Category (code, name) values ('01','华北'), ('0101','北京'), ('02','华东')"));
    c->exec(QStringLiteral(
        "insert into custom (CustCode, Company, Category, city, tel, email, income, AddDate, F_User) values "
        "(1, '华信科技', '0101', '北京', '010-1', ' a@x.com ', '100万', '2024-01-10', '张三'), "
        "(2, '东方贸易', '02', '上海', '021-2', '', '', '2024-02-01', '李四'), "
        "(3, 'O''Neil Trading', '01', '天津', '022-3', '   ', '', '2024-02-15', '张三'), "
        "(4, '北方机械', '0101', '北京', '010-4', NULL, '', '2024-03-01', '李四'), "
        "(5, '南方电子', '02', '广州', '020-5', 'b@x.com', '', '2024-03-20', '张三'), "
        "(6, '华信分公司', '01', '北京 ', '010-6', 'a@x.com', '', '2024-04-05', '李四'), "
        "(7, '中国电信', '02', '北京', '010-7', '中@x.cn', '', '2024-05-01', '张三')"));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName, F_User) values (1,'华信科技','王经理','张三')"));
    c->exec(QStringLiteral("insert into admin (UserName, Password, IsUser, Permit) values ('张三','',1,1), ('李四','',1,1), "
                           "('停用','',0,1)"));
}

void TestCustomerTools::cleanup()
{
    m_fixture.reset();
}

void TestCustomerTools::login(const QString &name, bool viewAll)
{
    m_fixture->login(name, viewAll, viewAll ? 0 : 1);
}

TFrm_Custom *TestCustomerTools::openBrowser()
{
    m_main->runHandler(QStringLiteral("Cust_CustContact"));
    return m_main->findChild<TFrm_Custom *>();
}

QList<int> TestCustomerTools::codesOf(Dataset *query)
{
    QList<int> codes;
    const int field = query->fieldIndex(QStringLiteral("CustCode"));
    for (int row = 0; row < query->recordCount(); ++row)
        codes.append(query->value(row, field).toInt());
    return codes;
}

QList<int> TestCustomerTools::codesWhere(const QString &where)
{
    Statement s(*m_data->connection(), QStringLiteral("select CustCode from custom where ") + where + QStringLiteral(" order by CustCode"));
    QList<int> codes;
    while (s.step())
        codes.append(s.value(0).toInt());
    return codes;
}

QString TestCustomerTools::scalar(const QString &sql)
{
    Statement s(*m_data->connection(), sql);
    return s.step() ? s.value(0).toString() : QStringLiteral("<none>");
}

QTreeWidgetItem *TestCustomerTools::node(TFrm_Tree *tree, const QString &code)
{
    const auto items = tree->TreeView1->findItems(code + QLatin1Char('-'), Qt::MatchStartsWith | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}

template <class W>
void TestCustomerTools::whenModal(std::function<void(W *)> check)
{
    auto attempt = std::make_shared<std::function<void(int)>>();
    *attempt = [check, attempt](int left) {
        auto *dialog = qobject_cast<W *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (left > 0)
                QTimer::singleShot(10, [attempt, left] { (*attempt)(left - 1); });
            else
                qWarning("no modal dialog of the expected class appeared");
            return;
        }
        QPointer<W> guard(dialog);
        check(dialog);
        if (guard && guard->isVisible())
            guard->reject();
    };
    QTimer::singleShot(0, [attempt] { (*attempt)(300); });
}

QByteArray TestCustomerTools::exportedFile(const QString &name)
{
    QFile file(ProgramDir::file(QStringLiteral("Export/")) + name + QStringLiteral(".txt"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<missing>");
    return file.readAll();
}

// ---------------------------------------------------------------- customer search

void TestCustomerTools::searchSingleCondition_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("value"); // what the statement binds for the input
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("category: prefix") << "Edit_cate" << "01" << "(category like :Category)" << "Category" << "01%" << QList<int>{1, 3, 4, 6};
    QTest::newRow("company") << "Edit_custname" << "华信" << "(company like :Company)" << "Company" << "%华信%" << QList<int>{1, 6};
    QTest::newRow("company with a quote") << "Edit_custname" << "O'Neil" << "(company like :Company)" << "Company" << "%O'Neil%" << QList<int>{3};
    QTest::newRow("address") << "Edit_address" << "路" << "(address like :Address)" << "Address" << "%路%" << QList<int>{};
    QTest::newRow("postcode") << "Edit_postcode" << "100" << "(postcode like :Postcode)" << "Postcode" << "%100%" << QList<int>{};
    QTest::newRow("grade") << "Combo_CustType" << "重要" << "(custtype like :CustType)" << "CustType" << "%重要%" << QList<int>{};
    QTest::newRow("country") << "Combo_country" << "中国" << "(country like :Country)" << "Country" << "%中国%" << QList<int>{};
    QTest::newRow("province") << "Combo_province" << "北京" << "(province like :Province)" << "Province" << "%北京%" << QList<int>{};
    QTest::newRow("source") << "Combo_CustFrom" << "展会" << "(CustFrom like :CustFrom)" << "CustFrom" << "%展会%" << QList<int>{};
    QTest::newRow("city") << "Edit_city" << "北京" << "(city like :City)" << "City" << "%北京%" << QList<int>{1, 4, 6, 7};
    QTest::newRow("city: blanks count") << "Edit_city" << " " << "(city like :City)" << "City" << "% %" << QList<int>{6};
    QTest::newRow("profile") << "Edit_intro" << "软件" << "(introduce like :Introduce)" << "Introduce" << "%软件%" << QList<int>{};
    QTest::newRow("telephone") << "Edit_tel" << "010" << "(tel like :Tel)" << "Tel" << "%010%" << QList<int>{1, 4, 6, 7};
    QTest::newRow("fax") << "Edit_fax" << "8" << "(fax like :Fax)" << "Fax" << "%8%" << QList<int>{};
    QTest::newRow("web address") << "Edit_url" << "www" << "(url like :Url)" << "Url" << "%www%" << QList<int>{};
    QTest::newRow("e-mail") << "Edit_email" << "a@x" << "(email like :Email)" << "Email" << "%a@x%" << QList<int>{1, 6};
    QTest::newRow("salesman: exact") << "Combo_User" << "张三" << "(F_User=:Salesman)" << "Salesman" << "张三" << QList<int>{1, 3, 5, 7};
    QTest::newRow("income") << "Edit_income" << "万" << "(income like :Income)" << "Income" << "%万%" << QList<int>{1};
}

void TestCustomerTools::searchSingleCondition()
{
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(QString, condition);
    QFETCH(QString, parameter);
    QFETCH(QString, value);
    QFETCH(QList<int>, found);
    login(QStringLiteral("Admin"), true);
    TFrm_S_Cust dialog(m_main);
    if (auto *edit = dialog.findChild<QLineEdit *>(input))
        edit->setText(text);
    else
        dialog.findChild<QComboBox *>(input)->setEditText(text);
    const QString expected = QStringLiteral("select * from [custom] where ") + condition + QStringLiteral("  ORDER BY CustID");
    QCOMPARE(dialog.statement(), expected);
    QCOMPARE(dialog.parameters(), (QVariantMap{{parameter, value}}));
    child<QPushButton>(&dialog, "btn_ok")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(m_data->Qry_Cust->sql(), expected);
    QCOMPARE(m_data->Qry_Cust->parameter(parameter).toString(), value);
    QCOMPARE(codesOf(m_data->Qry_Cust), found);
}

void TestCustomerTools::searchJoinsInInputOrder()
{
    login(QStringLiteral("Admin"), true);
    TFrm_S_Cust dialog(m_main);
    // Filled in reverse: the statement still follows the order of the inputs.
    child<QLineEdit>(&dialog, "Edit_income")->setText(QStringLiteral("万"));
    child<QComboBox>(&dialog, "Combo_User")->setEditText(QStringLiteral("张三"));
    child<QLineEdit>(&dialog, "Edit_city")->setText(QStringLiteral("北京"));
    child<QLineEdit>(&dialog, "Edit_custname")->setText(QStringLiteral("华信"));
    child<QLineEdit>(&dialog, "Edit_cate")->setText(QStringLiteral("01"));
    QCOMPARE(dialog.statement(),
             QStringLiteral("select * from [custom] where (category like :Category)AND(company like :Company)AND(city like :City)"
                            "AND(F_User=:Salesman)AND(income like :Income)  ORDER BY CustID"));
    QCOMPARE(dialog.parameters(), (QVariantMap{{QStringLiteral("Category"), QStringLiteral("01%")},
                                               {QStringLiteral("Company"), QStringLiteral("%华信%")},
                                               {QStringLiteral("City"), QStringLiteral("%北京%")},
                                               {QStringLiteral("Salesman"), QStringLiteral("张三")},
                                               {QStringLiteral("Income"), QStringLiteral("%万%")}}));
    child<QPushButton>(&dialog, "btn_ok")->click();
    QCOMPARE(codesOf(m_data->Qry_Cust), QList<int>{1});

    TFrm_S_Cust two(m_main);
    child<QLineEdit>(&two, "Edit_custname")->setText(QStringLiteral("华信"));
    child<QLineEdit>(&two, "Edit_city")->setText(QStringLiteral("北京"));
    QCOMPARE(two.statement(),
             QStringLiteral("select * from [custom] where (company like :Company)AND(city like :City)  ORDER BY CustID"));
    child<QPushButton>(&two, "btn_ok")->click();
    QCOMPARE(codesOf(m_data->Qry_Cust), (QList<int>{1, 6}));
}

void TestCustomerTools::searchDateRange_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("conditions");
    QTest::addColumn<QList<int>>("found");
    const QDate feb1(2024, 2, 1), mar1(2024, 3, 1);
    QTest::newRow("from only: open range") << feb1 << QDate() << "([Adddate]>=:AddedFrom)" << QList<int>{2, 3, 4, 5, 6, 7};
    QTest::newRow("to only") << QDate() << mar1 << "([Adddate]<=:AddedTo)" << QList<int>{1, 2, 3, 4};
    QTest::newRow("both: closed range") << feb1 << mar1 << "([Adddate]>=:AddedFrom)AND([Adddate]<=:AddedTo)"
                                        << QList<int>{2, 3, 4};
    QTest::newRow("one day") << mar1 << mar1 << "([Adddate]>=:AddedFrom)AND([Adddate]<=:AddedTo)" << QList<int>{4};
}

void TestCustomerTools::searchDateRange()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, conditions);
    QFETCH(QList<int>, found);
    login(QStringLiteral("Admin"), true);
    TFrm_S_Cust dialog(m_main);
    QVERIFY(!child<CheckedDateEdit>(&dialog, "DateTimePicker1")->isChecked());
    QVERIFY(!child<CheckedDateEdit>(&dialog, "DateTimePicker2")->isChecked());
    QCOMPARE(child<CheckedDateEdit>(&dialog, "DateTimePicker2")->date(), QDate::currentDate());
    // A date set while the box is unticked does not count.
    child<CheckedDateEdit>(&dialog, "DateTimePicker1")->dateEdit()->setDate(from.isValid() ? from : QDate(2000, 1, 1));
    child<CheckedDateEdit>(&dialog, "DateTimePicker2")->dateEdit()->setDate(to.isValid() ? to : QDate(2000, 1, 1));
    QVERIFY(dialog.statement().isEmpty());
    child<CheckedDateEdit>(&dialog, "DateTimePicker1")->checkBox()->setChecked(from.isValid());
    child<CheckedDateEdit>(&dialog, "DateTimePicker2")->checkBox()->setChecked(to.isValid());
    QCOMPARE(dialog.statement(), QStringLiteral("select * from [custom] where ") + conditions + QStringLiteral("  ORDER BY CustID"));
    // The calendar dates themselves are bound, never a date and time.
    QVariantMap dates;
    if (from.isValid())
        dates.insert(QStringLiteral("AddedFrom"), from);
    if (to.isValid())
        dates.insert(QStringLiteral("AddedTo"), to);
    QCOMPARE(dialog.parameters(), dates);
    child<QPushButton>(&dialog, "btn_ok")->click();
    QCOMPARE(codesOf(m_data->Qry_Cust), found);
}

void TestCustomerTools::searchOpensBrowserWithCountAndLayout()
{
    login(QStringLiteral("Admin"), true);
    QVERIFY(!m_main->findChild<TFrm_Custom *>());
    TFrm_S_Cust dialog(m_main);
    child<QLineEdit>(&dialog, "Edit_tel")->setText(QStringLiteral("010"));
    child<QPushButton>(&dialog, "btn_ok")->click();
    auto *browser = m_main->findChild<TFrm_Custom *>();
    QVERIFY(browser);
    QCOMPARE(codesOf(m_data->Qry_Cust), (QList<int>{1, 4, 6, 7}));
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 4 条客户记录"));
    QCOMPARE(child<DataGrid>(browser, "Grid_Cust")->columnFields().first(), QStringLiteral("CustCode"));

    // With the browser open: the same browser shows the next result, re-laid out.
    child<DataGrid>(browser, "Grid_Cust")->clearColumns();
    TFrm_S_Cust again(m_main);
    child<QLineEdit>(&again, "Edit_custname")->setText(QStringLiteral("O'Neil"));
    child<QPushButton>(&again, "btn_ok")->click();
    QCOMPARE(m_main->findChildren<TFrm_Custom *>().size(), 1);
    QCOMPARE(m_main->statusPanel(1), QStringLiteral("当前共有 1 条客户记录"));
    QVERIFY(child<DataGrid>(browser, "Grid_Cust")->hasConfiguredColumns());
    QCOMPARE(child<DataGrid>(browser, "Grid_Cust")->columnFields().first(), QStringLiteral("CustCode"));
    QVERIFY(!child<DataGrid>(browser, "Grid_Cust")->columnFields().contains(QStringLiteral("income"))); // hidden in "Custom"
}

void TestCustomerTools::nothingToSearch()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *browser = openBrowser();
    QVERIFY(browser);
    const QString before = m_data->Qry_Cust->sql();
    TFrm_S_Cust dialog(m_main);
    dialog.show();
    child<QPushButton>(&dialog, "btn_ok")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::Plain);
    QCOMPARE(m_messages->last().text, QStringLiteral("没有查询项目!"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(m_data->Qry_Cust->sql(), before);
    child<QPushButton>(&dialog, "btn_exit")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(m_data->Qry_Cust->sql(), before);
}

void TestCustomerTools::salesmanLockedWithoutViewAll()
{
    login(QStringLiteral("张三"), false);
    TFrm_S_Cust dialog(m_main);
    QVERIFY(!child<QComboBox>(&dialog, "Combo_User")->isEnabled());
    QCOMPARE(child<QComboBox>(&dialog, "Combo_User")->currentText(), QStringLiteral("张三"));
    // The salesman alone already makes a search; every search carries it.
    QCOMPARE(dialog.statement(), QStringLiteral("select * from [custom] where (F_User=:Salesman)  ORDER BY CustID"));
    QCOMPARE(dialog.parameters(), (QVariantMap{{QStringLiteral("Salesman"), QStringLiteral("张三")}}));
    child<QLineEdit>(&dialog, "Edit_city")->setText(QStringLiteral("北京"));
    QCOMPARE(dialog.statement(),
             QStringLiteral("select * from [custom] where (city like :City)AND(F_User=:Salesman)  ORDER BY CustID"));
    QCOMPARE(dialog.parameters().value(QStringLiteral("Salesman")).toString(), QStringLiteral("张三"));
    child<QPushButton>(&dialog, "btn_reset")->click();
    QCOMPARE(child<QComboBox>(&dialog, "Combo_User")->currentText(), QStringLiteral("张三"));
    child<QLineEdit>(&dialog, "Edit_city")->setText(QStringLiteral("北京"));
    child<QPushButton>(&dialog, "btn_ok")->click();
    QCOMPARE(codesOf(m_data->Qry_Cust), (QList<int>{1, 7}));

    login(QStringLiteral("Admin"), true);
    TFrm_S_Cust all(m_main);
    QVERIFY(child<QComboBox>(&all, "Combo_User")->isEnabled());
    QVERIFY(child<QComboBox>(&all, "Combo_User")->currentText().isEmpty());
}

void TestCustomerTools::salesmanListFromOperators()
{
    login(QStringLiteral("Admin"), true);
    TFrm_S_Cust dialog(m_main);
    dialog.show();
    QCOMPARE(child<QComboBox>(&dialog, "Combo_User")->count(), 0);
    child<QComboBox>(&dialog, "Combo_User")->setEditText(QStringLiteral("李"));
    child<QComboBox>(&dialog, "Combo_User")->showPopup();
    QStringList items;
    for (int i = 0; i < child<QComboBox>(&dialog, "Combo_User")->count(); ++i)
        items.append(child<QComboBox>(&dialog, "Combo_User")->itemText(i));
    QCOMPARE(items, (QStringList{QStringLiteral("Admin"), QStringLiteral("张三"), QStringLiteral("李四")}));
    QCOMPARE(child<QComboBox>(&dialog, "Combo_User")->currentText(), QStringLiteral("李")); // the typed text stays
    child<QComboBox>(&dialog, "Combo_User")->hidePopup();
    m_data->connection()->exec(QStringLiteral("insert into admin (UserName, IsUser) values ('王五', 1)"));
    child<QComboBox>(&dialog, "Combo_User")->showPopup();
    QCOMPARE(child<QComboBox>(&dialog, "Combo_User")->count(), 4);
    child<QComboBox>(&dialog, "Combo_User")->hidePopup();
    // The pick lists come from the lookup tables, sorted by name, and start empty.
    QVERIFY(child<QComboBox>(&dialog, "Combo_country")->count() > 0);
    QVERIFY(child<QComboBox>(&dialog, "Combo_country")->currentText().isEmpty());
}

void TestCustomerTools::clearKeepsSalesmanAndDates()
{
    login(QStringLiteral("Admin"), true);
    TFrm_S_Cust dialog(m_main);
    for (const char *name : {"Edit_cate", "Edit_custname", "Edit_address", "Edit_postcode", "Edit_city", "Edit_intro",
                             "Edit_tel", "Edit_fax", "Edit_url", "Edit_email", "Edit_income"})
        child<QLineEdit>(&dialog, name)->setText(QStringLiteral("1"));
    for (const char *name : {"Combo_CustType", "Combo_country", "Combo_province", "Combo_CustFrom"})
        child<QComboBox>(&dialog, name)->setEditText(QStringLiteral("1"));
    child<QComboBox>(&dialog, "Combo_User")->setEditText(QStringLiteral("张三"));
    child<CheckedDateEdit>(&dialog, "DateTimePicker1")->setChecked(true);
    child<CheckedDateEdit>(&dialog, "DateTimePicker1")->setDate(QDate(2024, 2, 1));
    child<CheckedDateEdit>(&dialog, "DateTimePicker2")->setChecked(true);
    QCOMPARE(dialog.conditions().size(), 18);
    child<QPushButton>(&dialog, "btn_reset")->click();
    QCOMPARE(dialog.conditions(), (QStringList{QStringLiteral("([Adddate]>=:AddedFrom)"), QStringLiteral("([Adddate]<=:AddedTo)"),
                                               QStringLiteral("(F_User=:Salesman)")}));
    QCOMPARE(dialog.parameters(), (QVariantMap{{QStringLiteral("AddedFrom"), QDate(2024, 2, 1)},
                                               {QStringLiteral("AddedTo"), QDate::currentDate()},
                                               {QStringLiteral("Salesman"), QStringLiteral("张三")}}));
}

void TestCustomerTools::searchCategoryPicker()
{
    login(QStringLiteral("Admin"), true);
    TFrm_S_Cust dialog(m_main);
    int mode = -1;
    whenModal<TFrm_Tree>([this, &mode](TFrm_Tree *tree) {
        mode = tree->SelectMode;
        QCOMPARE(tree->windowTitle(), QStringLiteral("客户分类"));
        tree->TreeView1->setCurrentItem(node(tree, QStringLiteral("0101")));
        tree->TB_Select->trigger();
    });
    child<QToolButton>(&dialog, "Btn_Lookup")->click();
    QCOMPARE(mode, int(TFrm_Tree::CustomerSearch));
    QCOMPARE(child<QLineEdit>(&dialog, "Edit_cate")->text(), QStringLiteral("0101"));
    QVERIFY(child<QLineEdit>(&dialog, "Edit_cate")->isReadOnly());

    whenModal<TFrm_Tree>([](TFrm_Tree *tree) { tree->TB_Close->trigger(); }); // closed without a choice
    child<QToolButton>(&dialog, "Btn_Lookup")->click();
    QCOMPARE(child<QLineEdit>(&dialog, "Edit_cate")->text(), QStringLiteral("0101"));
    child<QPushButton>(&dialog, "btn_ok")->click();
    QCOMPARE(codesOf(m_data->Qry_Cust), (QList<int>{1, 4}));
}

// ---------------------------------------------------------------- column chooser

void TestCustomerTools::chooserListsAndMoves()
{
    TFrm_Field chooser(m_data, QStringLiteral("Custom"));
    QCOMPARE(chooser.windowTitle(), QStringLiteral("选择显示的字段"));
    const QStringList hidden{QStringLiteral("年收入"), QStringLiteral("其它信息"), QStringLiteral("公司简介"),
                             QStringLiteral("附加信息"), QStringLiteral("竞争对手"), QStringLiteral("记录号")};
    QCOMPARE(chooser.hiddenTitles(), hidden);
    QCOMPARE(chooser.shownTitles().size(), 19);
    QCOMPARE(chooser.shownTitles().first(), QStringLiteral("客户编号"));

    auto enabled = [&chooser] {
        return QList<bool>{child<QToolButton>(&chooser, "SP_right")->isEnabled(), child<QToolButton>(&chooser, "SP_allright")->isEnabled(), child<QToolButton>(&chooser, "SP_left")->isEnabled(),
                           child<QToolButton>(&chooser, "SP_allleft")->isEnabled()};
    };
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true}));

    child<QListWidget>(&chooser, "SrcList")->setCurrentRow(2);
    child<QToolButton>(&chooser, "SP_right")->click();
    QCOMPARE(chooser.shownTitles().last(), QStringLiteral("公司简介"));
    QCOMPARE(child<QListWidget>(&chooser, "SrcList")->currentItem()->text(), QStringLiteral("年收入")); // first one selected next
    QCOMPARE(child<QListWidget>(&chooser, "SrcList")->selectedItems().size(), 1);

    // A double click moves the title clicked.
    QListWidgetItem *item = child<QListWidget>(&chooser, "DstList")->item(1);
    emit child<QListWidget>(&chooser, "DstList")->itemDoubleClicked(item);
    QCOMPARE(chooser.hiddenTitles().last(), QStringLiteral("公司名称"));
    QCOMPARE(child<QListWidget>(&chooser, "DstList")->currentItem()->text(), QStringLiteral("客户编号"));

    child<QToolButton>(&chooser, "SP_allright")->click();
    QCOMPARE(child<QListWidget>(&chooser, "SrcList")->count(), 0);
    QCOMPARE(chooser.shownTitles().mid(19), (QStringList{QStringLiteral("年收入"), QStringLiteral("其它信息"),
                                                         QStringLiteral("附加信息"), QStringLiteral("竞争对手"),
                                                         QStringLiteral("记录号"), QStringLiteral("公司名称")}));
    QCOMPARE(enabled(), (QList<bool>{false, false, true, true}));
    child<QToolButton>(&chooser, "SP_allleft")->click();
    QCOMPARE(child<QListWidget>(&chooser, "DstList")->count(), 0);
    QCOMPARE(child<QListWidget>(&chooser, "SrcList")->count(), 25);
    QCOMPARE(enabled(), (QList<bool>{true, true, false, false}));
    child<QToolButton>(&chooser, "SP_left")->click(); // nothing to move
    QCOMPARE(child<QListWidget>(&chooser, "SrcList")->count(), 25);
}

void TestCustomerTools::chooserStores_data()
{
    QTest::addColumn<QString>("moves");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("shownAfter"); // the titles shown afterwards, in ShowID order
    const QString unchanged = QStringLiteral("19 shown");
    QTest::newRow("everything hidden") << "<<" << true << "";
    QTest::newRow("everything shown") << ">>" << true << "25 shown";
    QTest::newRow("there and back") << "> <<  >>" << true << "25 shown";
    QTest::newRow("moved and moved back") << "src0> dstLast<" << true << unchanged;
    QTest::newRow("cancel after moves") << "<< src0>" << false << unchanged;
    QTest::newRow("one switched on") << "src0>" << true << "20 shown";
}

void TestCustomerTools::chooserStores()
{
    SKIP_ON_SERVER(*m_fixture, "group_concat");
    QFETCH(QString, moves);
    QFETCH(bool, confirm);
    QFETCH(QString, shownAfter);
    m_data->connection()->exec(QStringLiteral("insert into T_FieldShow (TableName, Field, Name, ShowID, show) values ('Contact', 'x', '年收入', 99, 1)"));
    TFrm_Field chooser(m_data, QStringLiteral("Custom"));
    chooser.show();
    for (const QString &move : moves.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (move == QStringLiteral("<<"))
            child<QToolButton>(&chooser, "SP_allleft")->click();
        else if (move == QStringLiteral(">>"))
            child<QToolButton>(&chooser, "SP_allright")->click();
        else if (move == QStringLiteral(">"))
            child<QToolButton>(&chooser, "SP_right")->click();
        else if (move == QStringLiteral("src0>")) {
            child<QListWidget>(&chooser, "SrcList")->setCurrentRow(0);
            child<QToolButton>(&chooser, "SP_right")->click();
        } else if (move == QStringLiteral("dstLast<")) {
            child<QListWidget>(&chooser, "DstList")->setCurrentRow(child<QListWidget>(&chooser, "DstList")->count() - 1);
            child<QToolButton>(&chooser, "SP_left")->click();
        }
    }
    (confirm ? child<QPushButton>(&chooser, "Btn_ok") : child<QPushButton>(&chooser, "Btn_exit"))->click();
    QVERIFY(!chooser.isVisible());
    if (confirm) {
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->last().kind, Msg::Kind::Plain);
        QCOMPARE(m_messages->last().text, QStringLiteral("修改完成！"));
    } else {
        QVERIFY(m_messages->shown.isEmpty());
    }
    const QString shown = scalar(QStringLiteral("select count(*) from T_FieldShow where TableName='Custom' and show=1"));
    QCOMPARE(shown, shownAfter.isEmpty() ? QStringLiteral("0") : shownAfter.section(QLatin1Char(' '), 0, 0));
    if (shownAfter == QStringLiteral("20 shown"))
        QCOMPARE(scalar(QStringLiteral("select show from T_FieldShow where TableName='Custom' and Name='年收入'")), QStringLiteral("1"));
    // Positions are never touched, nor other layouts.
    QCOMPARE(scalar(QStringLiteral("select group_concat(ShowID) from (select ShowID from T_FieldShow where TableName='Custom' order by FieldShowID)")),
             QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24"));
    QCOMPARE(scalar(QStringLiteral("select show from T_FieldShow where TableName='Contact' and Field='x'")), QStringLiteral("1"));
}

void TestCustomerTools::chooserSwitchesRowsOfOneTitle()
{
    SKIP_ON_SERVER(*m_fixture, "group_concat");
    // Two rows titled 电话, one shown, one hidden; a quote in a title is stored like any other.
    m_data->connection()->exec(QStringLiteral("insert into T_FieldShow (TableName, Field, Name, ShowID, show) values "
                                              "('Custom', 'tel2', '电话', 30, 0), ('Custom', 'q', 'O''Neil', 31, 0)"));
    TFrm_Field chooser(m_data, QStringLiteral("Custom"));
    QVERIFY(chooser.hiddenTitles().contains(QStringLiteral("电话")));
    QVERIFY(chooser.shownTitles().contains(QStringLiteral("电话")));
    child<QListWidget>(&chooser, "DstList")->setCurrentRow(int(chooser.shownTitles().indexOf(QStringLiteral("电话"))));
    child<QToolButton>(&chooser, "SP_left")->click();
    child<QListWidget>(&chooser, "SrcList")->setCurrentRow(int(chooser.hiddenTitles().indexOf(QStringLiteral("O'Neil"))));
    child<QToolButton>(&chooser, "SP_right")->click();
    child<QPushButton>(&chooser, "Btn_ok")->click();
    QCOMPARE(scalar(QStringLiteral("select group_concat(show) from T_FieldShow where TableName='Custom' and Name='电话'")), QStringLiteral("0,0"));
    QCOMPARE(scalar(QStringLiteral("select show from T_FieldShow where Name='O''Neil'")), QStringLiteral("1"));

    // Shown again: both rows come back together.
    TFrm_Field again(m_data, QStringLiteral("Custom"));
    QCOMPARE(again.hiddenTitles().count(QStringLiteral("电话")), 2);
    child<QListWidget>(&again, "SrcList")->setCurrentRow(int(again.hiddenTitles().indexOf(QStringLiteral("电话"))));
    child<QToolButton>(&again, "SP_right")->click();
    child<QPushButton>(&again, "Btn_ok")->click();
    QCOMPARE(scalar(QStringLiteral("select group_concat(show) from T_FieldShow where TableName='Custom' and Name='电话'")), QStringLiteral("1,1"));
}

void TestCustomerTools::chooserOneAtATime()
{
    int open = 0;
    bool secondRan = false;
    whenModal<TFrm_Field>([this, &open, &secondRan](TFrm_Field *chooser) {
        QCOMPARE(chooser->layoutName(), QStringLiteral("Custom"));
        secondRan = m_main->runHandler(QStringLiteral("ShowField_Cust")); // returns at once
        open = int(m_main->findChildren<TFrm_Field *>().size());
        child<QPushButton>(chooser, "Btn_exit")->click();
    });
    QVERIFY(m_main->runHandler(QStringLiteral("ShowField_Cust")));
    QVERIFY(secondRan);
    QCOMPARE(open, 1);
    QCOMPARE(m_main->findChildren<TFrm_Field *>().size(), 0); // freed after closing
    // Closed, it opens again.
    bool reopened = false;
    whenModal<TFrm_Field>([&reopened](TFrm_Field *) { reopened = true; });
    m_main->runHandler(QStringLiteral("ShowField_Cust"));
    QVERIFY(reopened);
}

// ---------------------------------------------------------------- batch category edit

void TestCustomerTools::batchEditSelectedCustomers()
{
    SKIP_ON_SERVER(*m_fixture, "the file engine's own SQL in the check");
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *browser = openBrowser();
    QVERIFY(browser);
    QItemSelectionModel *selection = child<DataGrid>(browser, "Grid_Cust")->selectionModel();
    QAbstractItemModel *model = child<DataGrid>(browser, "Grid_Cust")->model();
    selection->clearSelection(); // the current row comes selected
    for (int row : {1, 3, 4})
        selection->select(model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(browser->selectedRows(), (QList<int>{1, 3, 4}));
    const QString contactsBefore = scalar(QStringLiteral("select group_concat(CustCode || Company) from contact"));

    QString info;
    whenModal<TFrm_BatchEdit>([this, &info](TFrm_BatchEdit *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("批量修改客户类别"));
        info = child<QLabel>(dialog, "lbl")->text();
        QVERIFY(child<QLineEdit>(dialog, "Edit_Category")->text().isEmpty());
        child<QLineEdit>(dialog, "Edit_Category")->setText(QStringLiteral("0101"));
        child<QPushButton>(dialog, "Btn_OK")->click();
        QVERIFY(dialog->isVisible()); // stays open for another change
        child<QPushButton>(dialog, "Btn_Exit")->click();
    });
    QVERIFY(m_main->runHandler(QStringLiteral("BatchEdit")));
    QCOMPARE(info, QStringLiteral("当前选中的记录数为: 3"));
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::Box);
    QCOMPARE(m_messages->last().title, QStringLiteral("成功"));
    QCOMPARE(m_messages->last().text, QStringLiteral("批量修改成功"));
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QCOMPARE(codesWhere(QStringLiteral("Category='0101'")), (QList<int>{1, 2, 4, 5}));
    QCOMPARE(scalar(QStringLiteral("select Category from custom where CustCode=6")), QStringLiteral("01"));
    QCOMPARE(scalar(QStringLiteral("select group_concat(CustCode || Company) from contact")), contactsBefore);
    // The list is loaded again, so the grid shows the new categories; the last row
    // processed is current; the selection stays.
    const int category = m_data->Qry_Cust->fieldIndex(QStringLiteral("Category"));
    for (int row : {1, 3, 4})
        QCOMPARE(m_data->Qry_Cust->value(row, category).toString(), QStringLiteral("0101"));
    QCOMPARE(m_data->Qry_Cust->currentRow(), 4);
    QCOMPARE(browser->selectedRows(), (QList<int>{1, 3, 4}));
}

void TestCustomerTools::batchEditCategoryText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << "" << "询问" << "客户类别不能为空!" << "0101";
    QTest::newRow("typed, no category code") << "不是代码" << "成功" << "批量修改成功" << "不是代码";
    QTest::newRow("with a quote") << "A'B" << "成功" << "批量修改成功" << "A'B";
    QTest::newRow("blanks kept") << " 02 " << "成功" << "批量修改成功" << " 02 ";
}

void TestCustomerTools::batchEditCategoryText()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *browser = openBrowser();
    child<DataGrid>(browser, "Grid_Cust")->selectRow(0);
    TFrm_BatchEdit dialog(m_data, browser);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    child<QLineEdit>(&dialog, "Edit_Category")->setText(text);
    child<QPushButton>(&dialog, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{message});
    QCOMPARE(m_messages->last().title, title);
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QCOMPARE(scalar(QStringLiteral("select Category from custom where CustCode=1")), stored);
    if (text.isEmpty())
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&dialog, "Edit_Category"));
}

void TestCustomerTools::batchEditWithoutSelection()
{
    SKIP_ON_SERVER(*m_fixture, "the file engine's own SQL in the check");
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *browser = openBrowser();
    child<DataGrid>(browser, "Grid_Cust")->clearSelection();
    const QString before = scalar(QStringLiteral("select group_concat(Category) from custom"));
    TFrm_BatchEdit dialog(m_data, browser);
    QCOMPARE(child<QLabel>(&dialog, "lbl")->text(), QStringLiteral("当前选中的记录数为: 0"));
    child<QLineEdit>(&dialog, "Edit_Category")->setText(QStringLiteral("02"));
    child<QPushButton>(&dialog, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("批量修改成功")});
    QCOMPARE(scalar(QStringLiteral("select group_concat(Category) from custom")), before);

    // With the customer list closed nothing is done and nothing is shown.
    m_data->Qry_Cust->close();
    child<QPushButton>(&dialog, "Btn_OK")->click();
    QCOMPARE(m_messages->shown.size(), 1);
}

// A selected customer is changed by its code as stored: customer 4.6, not customer 5.
void TestCustomerTools::batchEditFindsStoredCode()
{
    SKIP_ON_SERVER(*m_fixture, "a fraction as a customer code (whole numbers only on the server)");
    login(QStringLiteral("Admin"), true);
    m_data->connection()->exec(QStringLiteral("insert into custom (CustCode, Company, Category) values (4.6, '异码公司', '02')"));
    TFrm_Custom *browser = openBrowser();
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("Company"), QStringLiteral("异码公司")));
    child<DataGrid>(browser, "Grid_Cust")->selectRow(m_data->Qry_Cust->currentRow());
    TFrm_BatchEdit dialog(m_data, browser);
    QCOMPARE(child<QLabel>(&dialog, "lbl")->text(), QStringLiteral("当前选中的记录数为: 1"));
    child<QLineEdit>(&dialog, "Edit_Category")->setText(QStringLiteral("0101"));
    child<QPushButton>(&dialog, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("批量修改成功")});
    QCOMPARE(scalar(QStringLiteral("select Category from custom where Company='异码公司'")), QStringLiteral("0101"));
    QCOMPARE(scalar(QStringLiteral("select Category from custom where CustCode=5")), QStringLiteral("02"));
    QCOMPARE(codesWhere(QStringLiteral("Category='0101' and Company<>'异码公司'")), (QList<int>{1, 4}));
}

void TestCustomerTools::batchEditCategoryPicker()
{
    login(QStringLiteral("Admin"), true);
    TFrm_Custom *browser = openBrowser();
    TFrm_BatchEdit dialog(m_data, browser);
    int mode = -1;
    whenModal<TFrm_Tree>([this, &mode](TFrm_Tree *tree) {
        mode = tree->SelectMode;
        tree->TreeView1->setCurrentItem(node(tree, QStringLiteral("02")));
        tree->TB_Select->trigger();
    });
    child<QToolButton>(&dialog, "Btn_Category")->click();
    QCOMPARE(mode, int(TFrm_Tree::BatchEdit));
    QCOMPARE(child<QLineEdit>(&dialog, "Edit_Category")->text(), QStringLiteral("02"));
}

// ---------------------------------------------------------------- e-mail export

void TestCustomerTools::emailExport_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("category"); // clicked in the browser first; empty: the full list
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("written"); // the caption's count: addresses written, or rows gone through for all
    // Trimmed, blanks and nulls skipped, duplicates kept, GBK, CRLF.
    const QByteArray all = "a@x.com\r\nb@x.com\r\na@x.com\r\n\xD6\xD0@x.cn\r\n";
    QTest::newRow("current list: own customers only") << int(TFrm_Email::CurrentList) << "" << QByteArray("a@x.com\r\nb@x.com\r\n\xD6\xD0@x.cn\r\n") << 3;
    QTest::newRow("current list after a category click") << int(TFrm_Email::CurrentList) << "01" << QByteArray("a@x.com\r\n") << 1;
    QTest::newRow("all customers, whatever the browser shows") << int(TFrm_Email::AllCustomers) << "01" << all << 7;
}

void TestCustomerTools::emailExport()
{
    QFETCH(int, range);
    QFETCH(QString, category);
    QFETCH(QByteArray, content);
    QFETCH(int, written);
    login(QStringLiteral("张三"), false); // sees customers 1, 3, 5, 7
    TFrm_Custom *browser = openBrowser();
    QVERIFY(browser);
    if (!category.isEmpty()) {
        const auto items = child<QTreeWidget>(browser, "TreeView1")->findItems(category + QLatin1Char('-'), Qt::MatchStartsWith | Qt::MatchRecursive);
        browser->categoryClicked(items.first());
    }
    const int rows = m_data->Qry_Cust->recordCount();
    TFrm_Email dialog(m_data, m_main);
    QCOMPARE(child<QLineEdit>(&dialog, "Edit1")->text(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    QVERIFY(child<QRadioButton>(&dialog, "Radio_Current")->isChecked());
    child<QLineEdit>(&dialog, "Edit1")->setText(QStringLiteral(" 邮件 "));
    dialog.setRange(range);
    child<QPushButton>(&dialog, "Btn_start")->click();
    QCOMPARE(exportedFile(QStringLiteral("邮件")), content);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("导出客户电子信箱( %1 )").arg(written));
    // The bar ends full; the file written is reported with its path and count.
    QProgressBar *bar = child<QProgressBar>(&dialog, "ProgressBar1");
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(bar->maximum() > 0);
    const QString path = QDir(m_program->dir()).absoluteFilePath(QStringLiteral("Export/邮件.txt"));
    QCOMPARE(m_platform->calls(), QStringList{QStringLiteral("openUrl ") + QUrl::fromLocalFile(path).toString()});
    const int lines = int(content.count("\r\n"));
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().title, QStringLiteral("成功"));
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("已导出 %1 个电子信箱地址到文件：\n%2").arg(lines).arg(QDir::toNativeSeparators(path)));
    if (range == TFrm_Email::CurrentList)
        QCOMPARE(m_data->Qry_Cust->currentRow(), rows - 1);
}

// A desktop without a viewer for text files: the file is written all the same and
// reported as success, with a note instead of a warning.
void TestCustomerTools::emailWithoutViewer()
{
    login(QStringLiteral("Admin"), true);
    openBrowser();
    m_platform->succeed = false;
    TFrm_Email dialog(m_data, m_main);
    child<QLineEdit>(&dialog, "Edit1")->setText(QStringLiteral("无查看程序"));
    dialog.setRange(TFrm_Email::AllCustomers);
    child<QPushButton>(&dialog, "Btn_start")->click();
    QCOMPARE(exportedFile(QStringLiteral("无查看程序")), QByteArray("a@x.com\r\nb@x.com\r\na@x.com\r\n\xD6\xD0@x.cn\r\n"));
    const QString path = QDir::toNativeSeparators(QDir(m_program->dir()).absoluteFilePath(QStringLiteral("Export/无查看程序.txt")));
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("已导出 4 个电子信箱地址到文件：\n%1\n\n"
                                                             "本机没有可以打开文本文件的程序，请用其他程序打开该文件。").arg(path)});
    QCOMPARE(m_messages->last().title, QStringLiteral("成功"));
    QCOMPARE(m_messages->last().kind, Msg::Kind::Box);
    QProgressBar *bar = child<QProgressBar>(&dialog, "ProgressBar1");
    QCOMPARE(bar->value(), bar->maximum());
}

void TestCustomerTools::emailFileName()
{
    login(QStringLiteral("Admin"), true);
    openBrowser();
    TFrm_Email dialog(m_data, m_main);
    child<QLineEdit>(&dialog, "Edit1")->setText(QStringLiteral("   "));
    child<QPushButton>(&dialog, "Btn_start")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("文件名不能为空!")});
    QCOMPARE(m_messages->last().title, QStringLiteral("警告"));
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QVERIFY(m_platform->recorded.isEmpty());

    // A name leading out of the Export folder is refused.
    child<QLineEdit>(&dialog, "Edit1")->setText(QStringLiteral("../外面"));
    child<QPushButton>(&dialog, "Btn_start")->click();
    QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
    QVERIFY(!QFile::exists(m_program->dir() + QStringLiteral("外面.txt")));
    QVERIFY(m_platform->recorded.isEmpty());

    // The preset name gives Export/<today>.txt; a removed Export folder is made again.
    QDir(ProgramDir::file(QStringLiteral("Export"))).removeRecursively();
    child<QLineEdit>(&dialog, "Edit1")->setText(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    child<QPushButton>(&dialog, "Btn_start")->click();
    QCOMPARE(exportedFile(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))),
             QByteArray("a@x.com\r\nb@x.com\r\na@x.com\r\n\xD6\xD0@x.cn\r\n"));
    QCOMPARE(TFrm_Email::exportPath(QStringLiteral(" x ")), ProgramDir::path() + QStringLiteral("Export/x.txt"));
}

void TestCustomerTools::emailReplacesFile()
{
    login(QStringLiteral("Admin"), true);
    openBrowser();
    QDir().mkpath(ProgramDir::file(QStringLiteral("Export")));
    QFile old(TFrm_Email::exportPath(QStringLiteral("list")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(500, 'x'));
    old.close();
    TFrm_Email dialog(m_data, m_main);
    child<QLineEdit>(&dialog, "Edit1")->setText(QStringLiteral("list"));
    m_data->connection()->exec(QStringLiteral("update custom set email=''"));
    dialog.setRange(TFrm_Email::AllCustomers);
    child<QPushButton>(&dialog, "Btn_start")->click();
    QCOMPARE(exportedFile(QStringLiteral("list")), QByteArray()); // replaced by an empty list
    QCOMPARE(dialog.windowTitle(), QStringLiteral("导出客户电子信箱( 7 )")); // every row gone through
    QCOMPARE(m_platform->recorded.size(), 1);
}

void TestCustomerTools::emailCurrentListNotOpen()
{
    m_data->Qry_Cust->close();
    TFrm_Email dialog(m_data, m_main);
    child<QLineEdit>(&dialog, "Edit1")->setText(QStringLiteral("none"));
    child<QPushButton>(&dialog, "Btn_start")->click();
    QCOMPARE(exportedFile(QStringLiteral("none")), QByteArrayLiteral("<missing>"));
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(m_platform->recorded.isEmpty());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("导出客户电子信箱"));
}

// ---------------------------------------------------------------- commands

void TestCustomerTools::commandsOpenDialogs()
{
    login(QStringLiteral("Admin"), true);
    QString searchTitle, emailTitle;
    whenModal<TFrm_S_Cust>([&searchTitle](TFrm_S_Cust *dialog) {
        searchTitle = dialog->windowTitle();
        QCOMPARE(child<QGroupBox>(dialog, "GroupBox1")->title(), QStringLiteral("  组 合 查 询  "));
        child<QLineEdit>(dialog, "Edit_custname")->setText(QStringLiteral("华信"));
        child<QPushButton>(dialog, "btn_ok")->click();
    });
    QVERIFY(m_main->runHandler(QStringLiteral("SearchCust")));
    QCOMPARE(searchTitle, QStringLiteral("客户信息查询"));
    QCOMPARE(codesOf(m_data->Qry_Cust), (QList<int>{1, 6}));
    QCOMPARE(m_main->findChildren<TFrm_S_Cust *>().size(), 0);

    whenModal<TFrm_Email>([&emailTitle](TFrm_Email *dialog) {
        emailTitle = dialog->windowTitle();
        child<QPushButton>(dialog, "btn_exit")->click();
    });
    QVERIFY(m_main->runHandler(QStringLiteral("ExportEmail")));
    QCOMPARE(emailTitle, QStringLiteral("导出客户电子信箱"));
    QCOMPARE(m_main->findChildren<TFrm_Email *>().size(), 0);

    // Without an open browser there are no selected rows to change.
    QPointer<TFrm_Custom> browser(m_main->findChild<TFrm_Custom *>());
    QVERIFY(browser);
    browser->close();
    QTRY_VERIFY(browser.isNull());
    QVERIFY(m_main->runHandler(QStringLiteral("BatchEdit")));
    QVERIFY(m_main->findChildren<TFrm_BatchEdit *>().isEmpty());
}

// With KEHU_SCREENSHOTS set to a folder, the four dialogs are saved there as pictures.
void TestCustomerTools::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    QDir().mkpath(folder);
    login(QStringLiteral("张三"), false);
    TFrm_Custom *browser = openBrowser();
    child<DataGrid>(browser, "Grid_Cust")->selectRow(0);

    auto save = [&folder](QWidget *dialog, const char *file) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(dialog->grab().save(QDir(folder).filePath(QString::fromLatin1(file))));
    };
    TFrm_S_Cust search(m_main);
    child<QLineEdit>(&search, "Edit_custname")->setText(QStringLiteral("华信"));
    child<CheckedDateEdit>(&search, "DateTimePicker1")->setChecked(true);
    save(&search, "customer_search.png");
    TFrm_Field chooser(m_data, QStringLiteral("Custom"), m_main);
    child<QListWidget>(&chooser, "SrcList")->setCurrentRow(0);
    save(&chooser, "column_chooser.png");
    TFrm_BatchEdit batch(m_data, browser, m_main);
    child<QLineEdit>(&batch, "Edit_Category")->setText(QStringLiteral("0101"));
    save(&batch, "batch_edit.png");
    TFrm_Email email(m_data, m_main);
    child<QProgressBar>(&email, "ProgressBar1")->setValue(40);
    save(&email, "email_export.png");
}

QTEST_MAIN(TestCustomerTools)
#include "tst_customertools.moc"
