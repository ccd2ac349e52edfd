#include "ModalDialogs.h"
#include "FocusChain.h"
#include "WindowFixture.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/Connection.h"
#include "store/SqlText.h"
#include "tools/TFrm_Other.h"
#include "tools/TFrm_Softinfo.h"
#include "tools/ToolCommands.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

// The lookup lists window and the company information dialog, driven as an operator
// would on the delivered database.
class TestTools : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void commandsOpenModalWindows_data();
    void commandsOpenModalWindows();

    void otherShowsCountriesFirst();
    void otherPages_data();
    void otherPages();
    void otherAddStoresEmptyValueAtOnce_data();
    void otherAddStoresEmptyValueAtOnce();
    void otherTypedValueStoredOnLeavingRow();
    void otherValueBeingTypedStoredOnClose_data();
    void otherValueBeingTypedStoredOnClose();
    void otherValueStoredOnPageChange();
    void otherEmptyAndDuplicateValuesStored();
    void otherDeleteAsks_data();
    void otherDeleteAsks();
    void otherDeleteLeavesCustomersAlone();
    void otherDeleteOnEmptyListAsksNothing();
    void otherFailedWriteOnCloseKeepsWindowOpen();

    void companyShowsInfoRow();
    void companyTabOrder();
    void companySave_data();
    void companySave();
    void companyCreatesRowInEmptyTable();
    void companyExitChangesNothing();
    void companyFailedSaveStaysOpen();
    void companyLongTextCut();

    void screenshots();

private:
    // Runs start(); when it opens a modal dialog, act() works on it and the dialog is closed.
    // Returns the class name of the dialog opened, empty when none was.
    QString whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act = {});
    std::unique_ptr<TFrm_Other> openOther();
    std::unique_ptr<TFrm_Softinfo> openCompany();
    QStringList names(const QString &sql) const;
    QStringList gridNames() const;
    static QLineEdit *typeInto(DataGrid *grid, int row, const QString &text);

    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
};

void TestTools::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    installToolCommands(m_main);
}

void TestTools::cleanup()
{
    m_fixture.reset();
}

QString TestTools::whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act)
{
    return ::whenModal(start, act);
}

std::unique_ptr<TFrm_Other> TestTools::openOther()
{
    auto window = std::make_unique<TFrm_Other>(m_main, m_main);
    window->show();
    return window;
}

std::unique_ptr<TFrm_Softinfo> TestTools::openCompany()
{
    auto dialog = std::make_unique<TFrm_Softinfo>(m_main, m_main);
    dialog->show();
    return dialog;
}

QStringList TestTools::names(const QString &sql) const
{
    QStringList result;
    Dataset rows(m_fixture->db());
    rows.setSql(sql);
    rows.open();
    for (int row = 0; row < rows.recordCount(); ++row)
        result.append(rows.value(row, 0).toString());
    return result;
}

// The values the shared query holds, in grid order.
QStringList TestTools::gridNames() const
{
    QStringList result;
    Dataset *q = m_data->Qry_Other;
    for (int row = 0; row < q->recordCount(); ++row)
        result.append(q->value(row, q->fieldIndex(QStringLiteral("Name"))).toString());
    return result;
}

// Opens the cell editor of the Name column in a row and types the text, leaving the
// editor open as an operator who has not yet left the cell.
QLineEdit *TestTools::typeInto(DataGrid *grid, int row, const QString &text)
{
    const QModelIndex cell = grid->model()->index(row, grid->columnOfField(QStringLiteral("Name")));
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(cell));
    if (editor)
        editor->setText(text);
    return editor;
}

// --- commands

void TestTools::commandsOpenModalWindows_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("M_Other") << "M_Other" << "TFrm_Other" << "其它管理";
    QTest::newRow("M_Company") << "M_Company" << "TFrm_Softinfo" << "公司信息";
    QTest::newRow("Sys_Company") << "Sys_Company" << "TFrm_Softinfo" << "公司信息";
}

void TestTools::commandsOpenModalWindows()
{
    QFETCH(QString, handler);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QString title;
    bool modal = false;
    const QString opened = whenModal([&] { QVERIFY(m_main->runHandler(handler)); },
                                     [&](QWidget *dialog) {
                                         title = dialog->windowTitle();
                                         modal = dialog->isModal();
                                     });
    QCOMPARE(opened, window);
    QCOMPARE(title, caption);
    QVERIFY(modal);
    QVERIFY(m_main->findChildren<QDialog *>().isEmpty()); // destroyed when closed
    QVERIFY(m_messages->shown.isEmpty());
}

// --- lookup lists

void TestTools::otherShowsCountriesFirst()
{
    auto w = openOther();
    QCOMPARE(w->windowTitle(), QStringLiteral("其它管理"));
    QCOMPARE(child<QToolButton>(w, "ToolButton1")->text(), QStringLiteral("添加"));
    QCOMPARE(child<QToolButton>(w, "ToolButton3")->text(), QStringLiteral("删除"));
    QCOMPARE(child<QToolButton>(w, "ToolButton6")->text(), QStringLiteral("  退出  "));
    QStringList tabs;
    for (int i = 0; i < child<QTabWidget>(w, "PageControl1")->count(); ++i)
        tabs.append(child<QTabWidget>(w, "PageControl1")->tabText(i));
    QCOMPARE(tabs, (QStringList{QStringLiteral(" 国家 "), QStringLiteral(" 职位"), QStringLiteral("部门"),
                                QStringLiteral("客户来源"), QStringLiteral("客户类型"), QStringLiteral("计量单位")}));
    QCOMPARE(child<QTabWidget>(w, "PageControl1")->currentWidget(), child<QWidget>(w, "TS_Country"));
    QVERIFY(child<QWidget>(w, "TS_Country")->isAncestorOf(child<DataGrid>(w, "DBGridEh1")));
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->columnFields(), QStringList{QStringLiteral("Name")});
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("名称"));
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->columnWidth(0), 200);
    QCOMPARE(m_data->Qry_Other->sql(), QStringLiteral("select * from Dict_Country"));
    QCOMPARE(gridNames(), names(QStringLiteral("select name from Dict_Country")));
    QVERIFY(gridNames().contains(QStringLiteral("中国")));
}

void TestTools::otherPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("stored");
    QTest::newRow("job titles") << 1 << "DBGridEh2" << "select * from Dict_Zw" << "select name from Dict_Zw";
    QTest::newRow("departments") << 2 << "DBGridEh3" << "select * from Dict_department" << "select name from Dict_department";
    QTest::newRow("customer sources") << 3 << "DBGridEh4" << "select * from Dict_custfrom" << "select name from Dict_CustFrom";
    QTest::newRow("customer types") << 4 << "DBGridEh5" << "select * from Dict_custType" << "select name from Dict_CustType";
    QTest::newRow("units") << 5 << "DBGridEh6" << "select * from T_other where cataid='Units'"
                           << "select Name from T_Other where Cataid='Units'";
    QTest::newRow("back to countries") << 0 << "DBGridEh1" << "select * from Dict_Country" << "select name from Dict_Country";
}

void TestTools::otherPages()
{
    QFETCH(int, page);
    QFETCH(QString, grid);
    QFETCH(QString, statement);
    QFETCH(QString, stored);
    auto w = openOther();
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(page == 0 ? 1 : 0);
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(page);
    QCOMPARE(m_data->Qry_Other->sql(), statement);
    QCOMPARE(w->currentGrid()->objectName(), grid);
    QCOMPARE(w->currentGrid()->columnFields(), QStringList{QStringLiteral("Name")});
    QCOMPARE(w->currentGrid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("名称"));
    QCOMPARE(gridNames(), names(stored));
    QVERIFY(!gridNames().contains(QStringLiteral("回访"))); // subjects are not a list of this window
    QVERIFY(m_messages->shown.isEmpty());
}

void TestTools::otherAddStoresEmptyValueAtOnce_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("cataid");
    QTest::newRow("countries") << 0 << "Dict_Country" << "";
    QTest::newRow("job titles") << 1 << "Dict_Zw" << "";
    QTest::newRow("departments") << 2 << "Dict_department" << "";
    QTest::newRow("customer sources") << 3 << "Dict_CustFrom" << "";
    QTest::newRow("customer types") << 4 << "Dict_CustType" << "";
    QTest::newRow("units") << 5 << "T_Other" << "Units";
}

// Add, then close without typing: a row with an empty value stays in the list.
void TestTools::otherAddStoresEmptyValueAtOnce()
{
    QFETCH(int, page);
    QFETCH(QString, table);
    QFETCH(QString, cataid);
    const int before = m_fixture->count(QStringLiteral("select count(*) from ") + table);
    auto w = openOther();
    child<QTabWidget>(w, "PageControl1")->setCurrentIndex(page);
    const int shown = m_data->Qry_Other->recordCount();
    child<QToolButton>(w, "ToolButton1")->click();
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from ") + table), before + 1);
    QCOMPARE(m_data->Qry_Other->recordCount(), shown + 1);
    QCOMPARE(m_data->Qry_Other->state(), Dataset::State::Browse);
    QCOMPARE(w->currentGrid()->currentIndex().row(), shown);
    const QString newest = QStringLiteral("select %1 from ") + table + QStringLiteral(" order by id desc limit 1");
    // An empty text is stored as no value, as every empty text of the program is.
    QCOMPARE(m_fixture->scalar(newest.arg(QStringLiteral("coalesce(Name, '')"))).toString(), QString());
    if (!cataid.isEmpty())
        QCOMPARE(m_fixture->scalar(newest.arg(QStringLiteral("Cataid"))).toString(), cataid);
    child<QToolButton>(w, "ToolButton6")->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from ") + table + QStringLiteral(" where coalesce(Name, '')=''")), 1);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestTools::otherTypedValueStoredOnLeavingRow()
{
    auto w = openOther();
    QAbstractItemModel *model = child<DataGrid>(w, "DBGridEh1")->model();
    child<DataGrid>(w, "DBGridEh1")->setCurrentIndex(model->index(1, 0));
    QVERIFY(model->setData(model->index(1, 0), QStringLiteral("美利坚"), Qt::EditRole));
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from Dict_Country where name='美利坚'")), 0);
    child<DataGrid>(w, "DBGridEh1")->setCurrentIndex(model->index(2, 0)); // leaves the row
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from Dict_Country where name='美利坚'")), 1);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from Dict_Country where name='美国'")), 0);
}

void TestTools::otherValueBeingTypedStoredOnClose_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << "箱装" << "箱装";
    QTest::newRow("quote") << "O'Neil 规格" << "O'Neil 规格";
    QTest::newRow("blanks kept as typed") << "  卷  " << "  卷  ";
}

// A value typed into the new row and not yet left is written when the window closes.
void TestTools::otherValueBeingTypedStoredOnClose()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    auto w = openOther();
    child<QTabWidget>(w, "PageControl1")->setCurrentWidget(child<QWidget>(w, "TS_Units"));
    child<QToolButton>(w, "ToolButton1")->click();
    QVERIFY(typeInto(child<DataGrid>(w, "DBGridEh6"), m_data->Qry_Other->recordCount() - 1, typed));
    child<QToolButton>(w, "ToolButton6")->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_Other where Cataid='Units' and Name=")
                              + SqlText::quoted(stored)),
             1);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_Other where coalesce(Name, '')=''")), 0);
    QCOMPARE(m_data->Qry_Other->state(), Dataset::State::Browse);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestTools::otherValueStoredOnPageChange()
{
    auto w = openOther();
    child<QTabWidget>(w, "PageControl1")->setCurrentWidget(child<QWidget>(w, "TS_Zw"));
    QVERIFY(typeInto(child<DataGrid>(w, "DBGridEh2"), 0, QStringLiteral("首席执行官")));
    child<QTabWidget>(w, "PageControl1")->setCurrentWidget(child<QWidget>(w, "TS_Depart"));
    QCOMPARE(m_data->Qry_Other->sql(), QStringLiteral("select * from Dict_department"));
    QCOMPARE(names(QStringLiteral("select name from Dict_Zw order by id limit 1")), QStringList{QStringLiteral("首席执行官")});
    QVERIFY(m_messages->shown.isEmpty());
}

void TestTools::otherEmptyAndDuplicateValuesStored()
{
    auto w = openOther();
    child<QTabWidget>(w, "PageControl1")->setCurrentWidget(child<QWidget>(w, "TS_CustType"));
    const int before = m_fixture->count(QStringLiteral("select count(*) from Dict_CustType"));
    const QString existing = gridNames().first();
    child<QToolButton>(w, "ToolButton1")->click();
    QVERIFY(typeInto(child<DataGrid>(w, "DBGridEh5"), m_data->Qry_Other->recordCount() - 1, existing));
    child<QToolButton>(w, "ToolButton1")->click(); // the second new row stays empty
    child<QToolButton>(w, "ToolButton6")->click();
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from Dict_CustType")), before + 2);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from Dict_CustType where name=") + SqlText::quoted(existing)), 2);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from Dict_CustType where coalesce(name, '')=''")), 1);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestTools::otherDeleteAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes") << int(Msg::Answer::Yes) << true;
    QTest::newRow("no") << int(Msg::Answer::No) << false;
}

void TestTools::otherDeleteAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    auto w = openOther();
    child<QTabWidget>(w, "PageControl1")->setCurrentWidget(child<QWidget>(w, "TS_Units"));
    const QStringList before = gridNames();
    child<DataGrid>(w, "DBGridEh6")->setCurrentIndex(child<DataGrid>(w, "DBGridEh6")->model()->index(1, 0));
    const QString target = before.at(1);
    m_messages->answer(Msg::Answer(answer));
    child<QToolButton>(w, "ToolButton3")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    const Msg::Record &asked = m_messages->last();
    QCOMPARE(asked.kind, Msg::Kind::Box);
    QCOMPARE(asked.text, QStringLiteral("您确定要删除这条记录吗？"));
    QCOMPARE(asked.title, QStringLiteral("删除记录"));
    QCOMPARE(asked.icon, Msg::Icon::Information);
    QCOMPARE(asked.buttons, Msg::Buttons::YesNoDefaultNo); // Enter never deletes
    const int left = m_fixture->count(QStringLiteral("select count(*) from T_Other where Cataid='Units' and Name=")
                                      + SqlText::quoted(target));
    QCOMPARE(left, deleted ? 0 : 1);
    QStringList expected = before;
    if (deleted)
        expected.removeAt(1);
    QCOMPARE(gridNames(), expected);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_Other where Cataid='subject'")), 8);
}

// Deleting a value does not touch the records that carry it.
void TestTools::otherDeleteLeavesCustomersAlone()
{
    m_fixture->db()->exec(QStringLiteral("insert into custom (CustCode, Company, Country) values (9001, '环球贸易', '美国')"));
    auto w = openOther();
    QVERIFY(m_data->Qry_Other->locate(QStringLiteral("Name"), QStringLiteral("美国")));
    m_messages->answer(Msg::Answer::Yes);
    child<QToolButton>(w, "ToolButton3")->click();
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from Dict_Country where name='美国'")), 0);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Country from custom where CustCode=9001")).toString(), QStringLiteral("美国"));
}

void TestTools::otherDeleteOnEmptyListAsksNothing()
{
    m_fixture->db()->exec(QStringLiteral("delete from Dict_department"));
    auto w = openOther();
    child<QTabWidget>(w, "PageControl1")->setCurrentWidget(child<QWidget>(w, "TS_Depart"));
    QCOMPARE(m_data->Qry_Other->recordCount(), 0);
    child<QToolButton>(w, "ToolButton3")->click();
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(w->isVisible());
}

// The table refuses the change: the error is reported, the window stays open with the
// stored value, and closing again works.
void TestTools::otherFailedWriteOnCloseKeepsWindowOpen()
{
    SKIP_ON_SERVER(*m_fixture, "a trigger refuses the save");
    m_fixture->db()->exec(QStringLiteral("create trigger refuse before update on Dict_Country begin "
                                         "select raise(abort, '国家列表已锁定'); end"));
    auto w = openOther();
    const QString first = gridNames().first();
    QVERIFY(typeInto(child<DataGrid>(w, "DBGridEh1"), 0, QStringLiteral("无名国")));
    child<QToolButton>(w, "ToolButton6")->click();
    QVERIFY(w->isVisible());
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
    QVERIFY2(m_messages->last().text.contains(QStringLiteral("国家列表已锁定")), qPrintable(m_messages->last().text));
    QCOMPARE(m_data->Qry_Other->state(), Dataset::State::Browse);
    QCOMPARE(gridNames().first(), first);
    child<QToolButton>(w, "ToolButton6")->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(names(QStringLiteral("select name from Dict_Country order by id limit 1")), QStringList{first});
}

// --- company information

void TestTools::companyShowsInfoRow()
{
    auto d = openCompany();
    QCOMPARE(d->windowTitle(), QStringLiteral("公司信息"));
    QCOMPARE(child<QPushButton>(d, "btn_ok")->text(), QStringLiteral("确定(&Y)"));
    QCOMPARE(child<QPushButton>(d, "btn_exit")->text(), QStringLiteral("退出(&E)"));
    QVERIFY(child<QPushButton>(d, "btn_ok")->isDefault());
    struct Expected { const char *input; const char *label; const char *column; };
    const Expected rows[] = {
        {"Edit_name", "公司名称：", "Company"}, {"Edit_user", "联系人：", "Regname"},
        {"Edit_address", "通讯地址：", "Address"}, {"Edit_zip", "邮政编码：", "Postcode"},
        {"Edit_tel", "电话：", "tel"}, {"Edit_fax", "传真：", "fax"},
    };
    const auto labels = d->findChildren<QLabel *>();
    QCOMPARE(labels.size(), 6);
    for (const Expected &row : rows) {
        auto *input = d->findChild<QLineEdit *>(QString::fromLatin1(row.input));
        QVERIFY2(input, row.input);
        QLabel *label = nullptr;
        for (QLabel *candidate : labels)
            if (candidate->buddy() == input)
                label = candidate;
        QVERIFY2(label, row.input);
        QCOMPARE(label->text(), QString::fromUtf8(row.label));
        QCOMPARE(input->text(), m_fixture->scalar(QStringLiteral("select %1 from info").arg(QString::fromLatin1(row.column))).toString());
    }
    QCOMPARE(child<QLineEdit>(d, "Edit_name")->text(), QStringLiteral("北京华信科技有限公司"));
}

void TestTools::companyTabOrder()
{
    auto d = openCompany();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
    QCOMPARE(tabChain(child<QLineEdit>(d, "Edit_name")),
             (QStringList{"Edit_name", "Edit_user", "Edit_address", "Edit_zip", "Edit_tel", "Edit_fax", "btn_ok", "btn_exit"}));
}

void TestTools::companySave_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("new values, blanks trimmed")
        << QStringList{QStringLiteral("  上海远东贸易有限公司 "), QStringLiteral(" 李明"), QStringLiteral("上海市浦东新区 世纪大道 8 号  "),
                       QStringLiteral("200120"), QStringLiteral(" 021-5888 0001 "), QStringLiteral("021-58880002")}
        << QStringList{QStringLiteral("上海远东贸易有限公司"), QStringLiteral("李明"), QStringLiteral("上海市浦东新区 世纪大道 8 号"),
                       QStringLiteral("200120"), QStringLiteral("021-5888 0001"), QStringLiteral("021-58880002")};
    QTest::newRow("every input empty") << QStringList(6, QStringLiteral("   ")) << QStringList(6, QString());
    QTest::newRow("quote in a name") << QStringList{QStringLiteral("O'Neil 贸易"), QString(), QString(), QString(), QString(), QString()}
                                     << QStringList{QStringLiteral("O'Neil 贸易"), QString(), QString(), QString(), QString(), QString()};
}

void TestTools::companySave()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, stored);
    auto d = openCompany();
    const QList<QLineEdit *> inputs{child<QLineEdit>(d, "Edit_name"), child<QLineEdit>(d, "Edit_user"), child<QLineEdit>(d, "Edit_address"), child<QLineEdit>(d, "Edit_zip"), child<QLineEdit>(d, "Edit_tel"), child<QLineEdit>(d, "Edit_fax")};
    for (int i = 0; i < inputs.size(); ++i)
        inputs[i]->setText(typed.at(i));
    child<QPushButton>(d, "btn_ok")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::Plain);
    QCOMPARE(m_messages->last().title, QStringLiteral("客户管理系统"));
    QCOMPARE(m_messages->last().text, QStringLiteral("修改成功!"));
    QVERIFY(!d->isVisible());
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from info")), 1);
    const QStringList columns{QStringLiteral("Company"), QStringLiteral("Regname"), QStringLiteral("Address"),
                              QStringLiteral("Postcode"), QStringLiteral("tel"), QStringLiteral("fax")};
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant value = m_fixture->scalar(QStringLiteral("select %1 from info").arg(columns.at(i)));
        QCOMPARE(value.toString(), stored.at(i));
        QCOMPARE(m_data->Qry_Custom->text(columns.at(i)), stored.at(i)); // the shared row shows it too
    }
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Version from info")).toString(), QStringLiteral("1.0"));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select name from info")).toString(), QString());

    auto again = openCompany(); // the next opening shows what was stored
    QCOMPARE(child<QLineEdit>(again, "Edit_name")->text(), stored.at(0));
}

void TestTools::companyCreatesRowInEmptyTable()
{
    m_fixture->db()->exec(QStringLiteral("delete from info"));
    TFrm_Data::RunQuery(m_data->Qry_Custom, QStringLiteral("select * from info"));
    auto d = openCompany();
    QCOMPARE(child<QLineEdit>(d, "Edit_name")->text(), QString());
    child<QLineEdit>(d, "Edit_name")->setText(QStringLiteral("新公司"));
    child<QLineEdit>(d, "Edit_tel")->setText(QStringLiteral("123"));
    child<QPushButton>(d, "btn_ok")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("修改成功!")});
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from info")), 1);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Company from info")).toString(), QStringLiteral("新公司"));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select tel from info")).toString(), QStringLiteral("123"));

    auto second = openCompany(); // a second save changes the row made, adds none
    child<QLineEdit>(second, "Edit_name")->setText(QStringLiteral("新公司二"));
    child<QPushButton>(second, "btn_ok")->click();
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from info")), 1);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Company from info")).toString(), QStringLiteral("新公司二"));
}

void TestTools::companyExitChangesNothing()
{
    auto d = openCompany();
    child<QLineEdit>(d, "Edit_name")->setText(QStringLiteral("不保存"));
    child<QPushButton>(d, "btn_exit")->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(d->result(), int(QDialog::Rejected));
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Company from info")).toString(), QStringLiteral("北京华信科技有限公司"));
    QCOMPARE(m_data->Qry_Custom->state(), Dataset::State::Browse);
}

void TestTools::companyFailedSaveStaysOpen()
{
    SKIP_ON_SERVER(*m_fixture, "a trigger refuses the save");
    m_fixture->db()->exec(QStringLiteral("create trigger refuse before update on info begin "
                                         "select raise(abort, '公司信息已锁定'); end"));
    auto d = openCompany();
    child<QLineEdit>(d, "Edit_name")->setText(QStringLiteral("改不了"));
    child<QPushButton>(d, "btn_ok")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
    QVERIFY2(m_messages->last().text.contains(QStringLiteral("公司信息已锁定")), qPrintable(m_messages->last().text));
    QVERIFY(d->isVisible());
    QCOMPARE(child<QLineEdit>(d, "Edit_name")->text(), QStringLiteral("改不了"));
    QCOMPARE(m_data->Qry_Custom->state(), Dataset::State::Browse);
    QCOMPARE(m_data->Qry_Custom->text(QStringLiteral("Company")), QStringLiteral("北京华信科技有限公司"));

    m_fixture->db()->exec(QStringLiteral("drop trigger refuse"));
    child<QPushButton>(d, "btn_ok")->click(); // the same inputs save once the table takes them
    QCOMPARE(m_messages->last().text, QStringLiteral("修改成功!"));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Company from info")).toString(), QStringLiteral("改不了"));
}

// Text longer than the column holds cannot be entered: 50 characters, 20 for the contact.
void TestTools::companyLongTextCut()
{
    auto d = openCompany();
    child<QLineEdit>(d, "Edit_name")->setText(QString(60, QChar(0x957f)));
    child<QLineEdit>(d, "Edit_user")->setText(QString(25, QLatin1Char('a')));
    child<QPushButton>(d, "btn_ok")->click();
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Company from info")).toString(), QString(50, QChar(0x957f)));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Regname from info")).toString(), QString(20, QLatin1Char('a')));
}

// With KEHU_SCREENSHOTS set to a folder, the windows are saved there.
void TestTools::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    const QDir dir(folder);
    auto w = openOther();
    QTest::qWait(50);
    QVERIFY(w->grab().save(dir.filePath(QStringLiteral("tools_other_countries.png"))));
    child<QTabWidget>(w, "PageControl1")->setCurrentWidget(child<QWidget>(w, "TS_Units"));
    child<QToolButton>(w, "ToolButton1")->click();
    QTest::qWait(50);
    QVERIFY(w->grab().save(dir.filePath(QStringLiteral("tools_other_units.png"))));
    w->close();
    auto d = openCompany();
    QTest::qWait(50);
    QVERIFY(d->grab().save(dir.filePath(QStringLiteral("tools_company.png"))));
}

QTEST_MAIN(TestTools)
#include "tst_tools.moc"
