#include "ModalDialogs.h"
#include "FocusChain.h"
#include "WindowFixture.h"
#include "activities/ScheduleCommands.h"
#include "activities/TFrm_AddSchedule.h"
#include "activities/TFrm_Schedule.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/Connection.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

// The schedule list and the schedule editor driven as an operator would. Three
// customers; four schedules, two of 张三 and two of 李四:
//   1  华信科技   王经理  回访  reminder 2026-03-10, wanted    张三
//   2  华信科技   李会计  报价  reminder 2026-03-10, not wanted 李四
//   3  东方贸易   -       催款  no reminder date               李四
//   4  O'Neil     Sean    回访  reminder 2026-03-11, wanted    张三
class TestSchedules : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // list window
    void listWindowOpens();
    void listScope_data();
    void listScope();
    void searchBusyState();
    void searchErrorRestoresButton();
    void doubleClickRunsEnabledEdit();
    void closingGivesListBackToBrowser();
    void reloginLeavesNoListBehind();

    // editor
    void labels_data();
    void labels();
    void addModeShows();
    void tabOrder_data();
    void tabOrder();
    void addLoop();
    void reminderFields_data();
    void reminderFields();
    void editUnchangedKeepsReminder_data();
    void editUnchangedKeepsReminder();
    void editSavesAndCloses();
    void refusals_data();
    void refusals();
    void ownershipLock_data();
    void ownershipLock();
    void unrestrictedOperatorTakesOwnership();
    void contactChoices();
    void contactKeptWhenPassingThrough();
    void addFromListStoresCustomerCode();
    void addFromEmptyListChoosesCustomer();
    void reminderNeedsDate_data();
    void reminderNeedsDate();
    void operatorWithQuote();
    void databaseErrorKeepsEditorOpen();
    void commands();
    void screenshots();

private:
    void login(const QString &name, bool viewAll, int permit) { m_fixture->login(name, viewAll, permit); }
    // The lists as the customer browser holds them: every customer, the current one's
    // schedules following it.
    void openLists(int custCode = 5);
    TFrm_Schedule *openList();
    std::unique_ptr<TFrm_AddSchedule> editor(EditorMode mode);
    QList<int> listedIds();
    QVariant scalar(const QString &sql) { return m_fixture->scalar(sql); }
    int count(const QString &sql) { return m_fixture->count(sql); }
    QString whenModal(const std::function<void()> &start);
    static void enter(QWidget *widget, Qt::FocusReason reason = Qt::TabFocusReason);

    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
};

void TestSchedules::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    installScheduleCommands(m_main);
    Connection *c = m_data->connection();
    c->begin();
    c->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values "
                           "(5, '华信科技', '张三'), (7, '东方贸易', '李四'), (9, 'O''Neil Trading', '张三')"));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName, F_User) values "
                           "(5, '华信科技', '王经理', '张三'), (5, '华信科技', ' 李会计 ', '李四'), "
                           "(9, 'O''Neil Trading', 'Sean', '张三')"));
    c->exec(QStringLiteral(
        "insert into T_Schedule (ScheduleID, CustCode, Company, Contact, Subject, Type, StartDate, Awoke, AwokeDate, Memo, F_User) "
        "values (1, '5', '华信科技', '王经理', '回访', '电话', '2026-03-01', 1, '2026-03-10', '问候', '张三'), "
        "(2, '5', '华信科技', '李会计', '报价', '会面', '2026-03-02', 0, '2026-03-10', null, '李四'), "
        "(3, '7', '东方贸易', null, '催款', '事务', '2026-03-03', 0, null, null, '李四'), "
        "(4, '9', 'O''Neil Trading', 'Sean', '回访', '电话', '2026-03-04', 1, '2026-03-11', null, '张三')"));
    c->commit();
    login(QStringLiteral("张三"), true, 0);
}

void TestSchedules::cleanup()
{
    m_fixture.reset();
}

void TestSchedules::openLists(int custCode)
{
    TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom order by CustCode"));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), custCode));
    m_data->Qry_Schedule->link();
    TFrm_Data::RunQuery(m_data->Qry_Schedule, QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"));
}

TFrm_Schedule *TestSchedules::openList()
{
    m_main->runHandler(QStringLiteral("Main_Schedule"));
    return m_main->findChild<TFrm_Schedule *>();
}

std::unique_ptr<TFrm_AddSchedule> TestSchedules::editor(EditorMode mode)
{
    auto w = std::make_unique<TFrm_AddSchedule>(m_main);
    w->setMode(mode);
    w->show();
    return w;
}

QList<int> TestSchedules::listedIds()
{
    QList<int> ids;
    Dataset *q = m_data->Qry_Schedule;
    for (int row = 0; row < q->recordCount(); ++row)
        ids.append(q->value(row, q->fieldIndex(QStringLiteral("ScheduleID"))).toInt());
    std::sort(ids.begin(), ids.end());
    return ids;
}

QString TestSchedules::whenModal(const std::function<void()> &start)
{
    return ::captionWhenModal(start);
}

// The focus arriving in a widget as the operator's Tab or click brings it.
void TestSchedules::enter(QWidget *widget, Qt::FocusReason reason)
{
    QFocusEvent event(QEvent::FocusIn, reason);
    QApplication::sendEvent(widget, &event);
}

// ------------------------------------------------------------------ list window

void TestSchedules::listWindowOpens()
{
    openLists();
    TFrm_Schedule *w = openList();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("联系活动列表"));
    QVERIFY(qobject_cast<QMdiSubWindow *>(w->parentWidget())->isMaximized());
    QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("下次联系提醒时间："));
    QCOMPARE(child<QLabel>(w, "Label1")->buddy(), child<QDateEdit>(w, "DateTimePicker1"));
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate::currentDate());
    QCOMPARE(child<QPushButton>(w, "Btn_S_Cust")->text(), QStringLiteral("搜索"));
    QCOMPARE(m_data->Qry_Schedule->sql(), QStringLiteral("Select * from T_Schedule"));
    QVERIFY(!m_data->Qry_Schedule->isLinked());
    QCOMPARE(listedIds(), (QList<int>{1, 2, 3, 4}));
    // Columns of the "Schedule" layout: the shown rows in their order.
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->columnFields(), (QStringList{QStringLiteral("StartDate"), QStringLiteral("Company"),
        QStringLiteral("Contact"), QStringLiteral("Subject"), QStringLiteral("Type"), QStringLiteral("Awoke"),
        QStringLiteral("AwokeDate"), QStringLiteral("Memo"), QStringLiteral("F_User")}));
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("联系时间"));

    QStringList menu;
    for (QAction *a : child<QMenu>(w, "PopupMenu1")->actions())
        menu.append(a->isSeparator() ? QStringLiteral("-") : a->objectName() + QLatin1Char(' ') + a->text());
    QCOMPARE(menu, (QStringList{QStringLiteral("AddSchedule 添加&A"), QStringLiteral("EditSchedule 编辑&E"),
                                QStringLiteral("DelSchedule 删除&D"), QStringLiteral("-"),
                                QStringLiteral("ExportCSVSchedule 导出联系活动为Excel文件")}));
    QCOMPARE(child<QMenu>(w, "PopupMenu1")->actions().first(), m_main->AddSchedule); // the main window's own commands

    // Once more: the same window comes to the front, the list is not run again.
    m_data->connection()->exec(QStringLiteral("delete from T_Schedule where ScheduleID=4"));
    QCOMPARE(openList(), w);
    QCOMPARE(m_main->findChildren<TFrm_Schedule *>().size(), 1);
    QCOMPARE(listedIds(), (QList<int>{1, 2, 3, 4}));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestSchedules::listScope_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("viewAll");
    QTest::addColumn<QList<int>>("all");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QList<int>>("found");
    const QDate day10(2026, 3, 10);
    QTest::newRow("view-all right: every row") << "张三" << true << QList<int>{1, 2, 3, 4} << day10 << QList<int>{1, 2};
    QTest::newRow("own rows, reminder wanted") << "张三" << false << QList<int>{1, 4} << day10 << QList<int>{1};
    // A reminder date matches whatever the Awoke flag says.
    QTest::newRow("own rows, reminder not wanted") << "李四" << false << QList<int>{2, 3} << day10 << QList<int>{2};
    QTest::newRow("other day") << "张三" << true << QList<int>{1, 2, 3, 4} << QDate(2026, 3, 11) << QList<int>{4};
    QTest::newRow("no reminder on that day") << "李四" << true << QList<int>{1, 2, 3, 4} << QDate(2026, 3, 3)
                                             << QList<int>{};
    // A quote in the name is part of the value, not the end of a text in the statement.
    QTest::newRow("operator with a quote") << "O'Brien" << false << QList<int>{} << day10 << QList<int>{};
}

void TestSchedules::listScope()
{
    QFETCH(QString, name);
    QFETCH(bool, viewAll);
    QFETCH(QList<int>, all);
    QFETCH(QDate, day);
    QFETCH(QList<int>, found);
    login(name, viewAll, 1);
    TFrm_Schedule *w = openList();
    Dataset *schedules = m_data->Qry_Schedule;
    // Without the view-all right the statement is narrowed to the operator's rows, the
    // name bound as a value.
    QCOMPARE(schedules->sql(), viewAll ? QStringLiteral("Select * from T_Schedule")
                                       : QStringLiteral("Select * from T_Schedule where F_User=:Operator"));
    QCOMPARE(schedules->parameter(QStringLiteral("Operator")), viewAll ? QVariant() : QVariant(name));
    QCOMPARE(listedIds(), all);
    child<QDateEdit>(w, "DateTimePicker1")->setDate(day);
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(schedules->sql(), viewAll ? QStringLiteral("Select * from T_Schedule where AwokeDate=:Day")
                                       : QStringLiteral("Select * from T_Schedule where AwokeDate=:Day and F_User=:Operator"));
    QCOMPARE(schedules->parameter(QStringLiteral("Day")).toDate(), day);
    QCOMPARE(schedules->parameter(QStringLiteral("Operator")), viewAll ? QVariant() : QVariant(name));
    QCOMPARE(listedIds(), found);
    QVERIFY(!schedules->isLinked());
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->columnOfField(QStringLiteral("Subject")), 3); // laid out again
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
}

// While the search runs its button is off and the wait cursor is shown; both come back.
void TestSchedules::searchBusyState()
{
    TFrm_Schedule *w = openList();
    bool buttonOff = false, waiting = false;
    connect(m_data->Qry_Schedule, &Dataset::reset, w, [&] {
        buttonOff = !child<QPushButton>(w, "Btn_S_Cust")->isEnabled();
        waiting = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2026, 3, 11));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QVERIFY(buttonOff);
    QVERIFY(waiting);
    QVERIFY(child<QPushButton>(w, "Btn_S_Cust")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(listedIds(), QList<int>{4});
}

void TestSchedules::searchErrorRestoresButton()
{
    TFrm_Schedule *w = openList();
    m_data->connection()->exec(QStringLiteral("alter table T_Schedule rename to T_Gone"));
    child<QPushButton>(w, "Btn_S_Cust")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
    QVERIFY(m_messages->last().text.contains(QStringLiteral("T_Schedule")));
    QVERIFY(child<QPushButton>(w, "Btn_S_Cust")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void TestSchedules::doubleClickRunsEnabledEdit()
{
    int edits = 0;
    m_main->resize(1000, 700);
    m_main->show();
    TFrm_Schedule *w = openList();
    m_main->setHandler(QStringLiteral("EditSchedule"), [&edits] { ++edits; });
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    const QPoint cell = child<DataGrid>(w, "DBGridEh1")->visualRect(child<DataGrid>(w, "DBGridEh1")->model()->index(1, 1)).center();
    m_main->EditSchedule->setEnabled(false);
    QTest::mouseDClick(child<DataGrid>(w, "DBGridEh1")->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(edits, 0);
    m_main->EditSchedule->setEnabled(true);
    QTest::mouseDClick(child<DataGrid>(w, "DBGridEh1")->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(edits, 1);
    QCOMPARE(m_data->Qry_Schedule->currentRow(), 1);
}

// The browser's schedule page follows the current customer again once the list is closed.
void TestSchedules::closingGivesListBackToBrowser()
{
    m_main->showCustomerBrowser();
    const QString browserSql = m_data->Qry_Schedule->sql();
    QVERIFY(browserSql.contains(QStringLiteral(":CustCode")));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 5));
    TFrm_Schedule *w = openList();
    QCOMPARE(listedIds(), (QList<int>{1, 2, 3, 4}));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 7)); // the list does not follow
    QCOMPARE(m_data->Qry_Schedule->recordCount(), 4);
    QPointer<TFrm_Schedule> guard(w);
    qobject_cast<QMdiSubWindow *>(w->parentWidget())->close();
    QTRY_VERIFY(guard.isNull());
    QCOMPARE(m_data->Qry_Schedule->sql(), browserSql);
    QVERIFY(m_data->Qry_Schedule->isLinked());
    QCOMPARE(listedIds(), QList<int>{3});
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 5));
    QCOMPARE(listedIds(), (QList<int>{1, 2}));
}

// Relogin closes the list with every other window; nothing of the previous operator's
// schedules stays loaded for the next one.
void TestSchedules::reloginLeavesNoListBehind()
{
    m_main->showCustomerBrowser();
    openList();
    QTimer::singleShot(0, m_main, [] {
        if (auto *login = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            login->reject();
    });
    m_main->Relogin();
    QVERIFY(m_main->findChildren<TFrm_Schedule *>().isEmpty());
    QVERIFY(!m_data->Qry_Schedule->isOpen());
    QVERIFY(m_messages->shown.isEmpty());
}

// ------------------------------------------------------------------ editor

void TestSchedules::labels_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("buddy");
    const QList<std::tuple<const char *, const char *, const char *>> rows = {
        {"Combo_Subject", "活动主题", "Combo_Subject"}, {"Combo_Type", "活动类型", "Combo_Type"},
        {"Combo_Company", "相关客户", "Combo_Company"}, {"Combo_Contact", "相关联系人", "Combo_Contact"},
        {"DateTimePicker1", "联系时间", "DateTimePicker1"},
        {"DateTimePicker2", "提醒时间", "CB_AwokeDate"}, // the tick box that switches the date on
        {"Memo1", "活动描述", "Memo1"}};
    for (const auto &[input, caption, buddy] : rows)
        QTest::newRow(input) << QString::fromLatin1(input) << QString::fromUtf8(caption) << QString::fromLatin1(buddy);
}

void TestSchedules::labels()
{
    QFETCH(QString, input);
    QFETCH(QString, caption);
    QFETCH(QString, buddy);
    TFrm_AddSchedule w(m_main);
    QCOMPARE(child<QGroupBox>(&w, "GroupBox1")->title(), QStringLiteral(" 联系活动 "));
    QCOMPARE(child<QCheckBox>(&w, "CB_Awoke")->text(), QStringLiteral("需要提醒"));
    auto *widget = w.findChild<QWidget *>(input);
    QVERIFY(widget);
    QVERIFY(child<QGroupBox>(&w, "GroupBox1")->isAncestorOf(widget));
    auto *label = w.findChild<QLabel *>(QStringLiteral("Label_") + input);
    QVERIFY(label);
    QCOMPARE(label->buddy(), w.findChild<QWidget *>(buddy));
    const QRegularExpression key(QStringLiteral("\\(&(.)\\)"));
    QCOMPARE(QString(label->text()).remove(key), caption);
    // Each accelerator key leads to one place only.
    QStringList keys;
    for (QLabel *l : w.findChildren<QLabel *>())
        keys.append(key.match(l->text()).captured(1));
    for (QAbstractButton *b : {static_cast<QAbstractButton *>(child<QPushButton>(&w, "Btn_OK")), static_cast<QAbstractButton *>(child<QPushButton>(&w, "Btn_Exit"))})
        keys.append(key.match(b->text()).captured(1));
    keys.append(QStringLiteral("S")); // Btn_OK's key in edit mode
    QCOMPARE(keys.count(key.match(label->text()).captured(1)), 1);
}

void TestSchedules::addModeShows()
{
    openLists(5);
    auto w = editor(EditorMode::Add);
    QCOMPARE(w->windowTitle(), QStringLiteral("添加联系活动"));
    QCOMPARE(child<QPushButton>(w, "Btn_OK")->text(), QStringLiteral("新增(&A)"));
    QVERIFY(child<QPushButton>(w, "Btn_OK")->isDefault());
    QVERIFY(child<QPushButton>(w, "Btn_OK")->isEnabled());
    QCOMPARE(child<QPushButton>(w, "Btn_Exit")->text(), QStringLiteral("退出(&Q)"));
    QVERIFY(!child<RecordNavigator>(w, "DBNavigator1")->isEnabled());
    QCOMPARE(child<QComboBox>(w, "Combo_Company")->currentText(), QStringLiteral("华信科技"));
    QVERIFY(!child<QComboBox>(w, "Combo_Company")->isEnabled());
    QCOMPARE(w->customerCode().toInt(), 5);
    QStringList subjects;
    for (int i = 0; i < child<QComboBox>(w, "Combo_Subject")->count(); ++i)
        subjects.append(child<QComboBox>(w, "Combo_Subject")->itemText(i));
    QCOMPARE(subjects, (QStringList{QStringLiteral("产品介绍"), QStringLiteral("报价"), QStringLiteral("回访"),
                                    QStringLiteral("售后服务"), QStringLiteral("投诉处理"), QStringLiteral("合同洽谈"),
                                    QStringLiteral("催款"), QStringLiteral("节日问候")}));
    QVERIFY(child<QComboBox>(w, "Combo_Subject")->isEditable());
    QCOMPARE(child<QComboBox>(w, "Combo_Type")->count(), 3);
    QCOMPARE((QStringList{child<QComboBox>(w, "Combo_Type")->itemText(0), child<QComboBox>(w, "Combo_Type")->itemText(1), child<QComboBox>(w, "Combo_Type")->itemText(2)}),
             (QStringList{QStringLiteral("电话"), QStringLiteral("会面"), QStringLiteral("事务")}));
    QVERIFY(child<QComboBox>(w, "Combo_Type")->isEditable());
    QVERIFY(child<QComboBox>(w, "Combo_Contact")->isEditable());
    for (QComboBox *c : {child<QComboBox>(w, "Combo_Subject"), child<QComboBox>(w, "Combo_Type"), child<QComboBox>(w, "Combo_Contact")})
        QVERIFY2(c->currentText().isEmpty(), qPrintable(c->objectName()));
    QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate::currentDate());
    QVERIFY(!child<QCheckBox>(w, "CB_AwokeDate")->isChecked());
    QVERIFY(!child<QDateEdit>(w, "DateTimePicker2")->isEnabled());
    QVERIFY(!child<QCheckBox>(w, "CB_Awoke")->isChecked());
    QVERIFY(m_messages->shown.isEmpty());
}

void TestSchedules::tabOrder_data()
{
    QTest::addColumn<EditorMode>("mode");
    QTest::addColumn<QStringList>("chain");
    // The company is only shown, and without a reminder date its input is off; in edit
    // mode the navigator's buttons that can move follow the editor's own buttons.
    QTest::newRow("add") << EditorMode::Add
                         << QStringList{"Combo_Subject", "Combo_Type", "Combo_Contact", "DateTimePicker1", "CB_AwokeDate",
                                        "CB_Awoke", "Memo1", "Btn_OK", "Btn_Exit"};
    QTest::newRow("edit, with a reminder date")
        << EditorMode::Edit
        << QStringList{"Combo_Subject", "Combo_Type", "Combo_Contact", "DateTimePicker1", "CB_AwokeDate", "DateTimePicker2",
                       "CB_Awoke", "Memo1", "Btn_OK", "Btn_Exit", "NavNext", "NavLast"};
}

void TestSchedules::tabOrder()
{
    QFETCH(EditorMode, mode);
    QFETCH(QStringList, chain);
    openLists(5);
    auto w = editor(mode);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QCOMPARE(tabChain(child<QComboBox>(w, "Combo_Subject")), chain);
}

// Two schedules in a row: both stored as typed for the current customer, and between
// them only the per-schedule inputs are cleared.
void TestSchedules::addLoop()
{
    login(QStringLiteral("李四"), false, 1);
    openLists(5);
    auto w = editor(EditorMode::Add);
    child<QComboBox>(w, "Combo_Subject")->setCurrentIndex(1); // 报价
    child<QComboBox>(w, "Combo_Type")->setEditText(QStringLiteral(" 电邮 ")); // free text, stored untrimmed
    child<QComboBox>(w, "Combo_Contact")->setEditText(QStringLiteral("王经理"));
    child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2026, 4, 1));
    child<QCheckBox>(w, "CB_AwokeDate")->click();
    child<QDateEdit>(w, "DateTimePicker2")->setDate(QDate(2026, 4, 8));
    child<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("第一行\n第二行"));
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));

    Dataset row(m_data->connection());
    row.setSql(QStringLiteral("select * from T_Schedule where Subject='报价' and ScheduleID>4"));
    row.open();
    QCOMPARE(row.recordCount(), 1);
    QCOMPARE(row.text(QStringLiteral("CustCode")), QStringLiteral("5"));
    QCOMPARE(row.text(QStringLiteral("Company")), QStringLiteral("华信科技"));
    QCOMPARE(row.text(QStringLiteral("Contact")), QStringLiteral("王经理"));
    QCOMPARE(row.text(QStringLiteral("Type")), QStringLiteral(" 电邮 "));
    QCOMPARE(row.date(QStringLiteral("StartDate")), QDate(2026, 4, 1));
    QCOMPARE(row.boolean(QStringLiteral("Awoke")), true);
    QCOMPARE(row.date(QStringLiteral("AwokeDate")), QDate(2026, 4, 8));
    QCOMPARE(row.text(QStringLiteral("Memo")), QStringLiteral("第一行\n第二行"));
    QCOMPARE(row.text(QStringLiteral("F_User")), QStringLiteral("李四"));
    QCOMPARE(m_data->Qry_Schedule->recordCount(), 3); // the browser's schedule page shows it

    // Cleared for the next one; company and both reminder boxes stay.
    for (QComboBox *c : {child<QComboBox>(w, "Combo_Subject"), child<QComboBox>(w, "Combo_Type"), child<QComboBox>(w, "Combo_Contact")})
        QVERIFY2(c->currentText().isEmpty(), qPrintable(c->objectName()));
    QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate::currentDate());
    QCOMPARE(child<QComboBox>(w, "Combo_Company")->currentText(), QStringLiteral("华信科技"));
    QVERIFY(child<QCheckBox>(w, "CB_AwokeDate")->isChecked());
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker2")->date(), QDate(2026, 4, 8));
    QVERIFY(child<QCheckBox>(w, "CB_Awoke")->isChecked());
    QVERIFY(w->isVisible());

    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("第二次"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='第二次' and CustCode='5' and Awoke=1 "
                                  "and AwokeDate='2026-04-08' and Contact is null and Type is null and Memo is null")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule")), 6);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestSchedules::reminderFields_data()
{
    QTest::addColumn<int>("dateClicks");   // clicks on the reminder date's tick box
    QTest::addColumn<int>("remindAfter");  // then "需要提醒": -1 as it is, 0 off, 1 on
    QTest::addColumn<bool>("remindShown"); // "需要提醒" after the clicks
    QTest::addColumn<bool>("awoke");
    QTest::addColumn<QString>("awokeDate");
    QTest::newRow("date ticked: reminder wanted") << 1 << -1 << true << true << "2026-02-20";
    QTest::newRow("date ticked, wish removed afterwards") << 1 << 0 << true << false << "2026-02-20";
    QTest::newRow("date ticked and unticked") << 2 << -1 << false << false << "";
    QTest::newRow("neither") << 0 << -1 << false << false << "";
}

// Also: a reminder date before the contact date is stored like any other.
void TestSchedules::reminderFields()
{
    SKIP_ON_SERVER(*m_fixture, "ifnull on a date column");
    QFETCH(int, dateClicks);
    QFETCH(int, remindAfter);
    QFETCH(bool, remindShown);
    QFETCH(bool, awoke);
    QFETCH(QString, awokeDate);
    openLists(7);
    auto w = editor(EditorMode::Add);
    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("提醒测试"));
    child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2026, 3, 1));
    child<QDateEdit>(w, "DateTimePicker2")->setDate(QDate(2026, 2, 20));
    for (int i = 0; i < dateClicks; ++i)
        child<QCheckBox>(w, "CB_AwokeDate")->click();
    QCOMPARE(child<QCheckBox>(w, "CB_Awoke")->isChecked(), remindShown);
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker2")->isEnabled(), dateClicks % 2 == 1);
    if (remindAfter >= 0)
        child<QCheckBox>(w, "CB_Awoke")->setChecked(remindAfter == 1);
    QCOMPARE(child<QCheckBox>(w, "CB_AwokeDate")->isChecked(), dateClicks % 2 == 1); // "需要提醒" leaves the date alone
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='提醒测试' and CustCode='7' "
                                  "and StartDate='2026-03-01' and Awoke=%1 and ifnull(AwokeDate,'')='%2'")
                       .arg(int(awoke)).arg(awokeDate)), 1);
}

// "需要提醒" without a reminder date could never fire: refused with a message, the focus on
// the date's tick box, nothing written, in both modes; with a date it saves.
void TestSchedules::reminderNeedsDate_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<bool>("storedWanted"); // a stored row that already wants a reminder without a date
    QTest::newRow("add") << true << false;
    QTest::newRow("edit") << false << false;
    QTest::newRow("edit a stored one, unchanged") << false << true;
}

void TestSchedules::reminderNeedsDate()
{
    QFETCH(bool, adding);
    QFETCH(bool, storedWanted);
    if (storedWanted)
        m_data->connection()->exec(QStringLiteral("update T_Schedule set Awoke=1 where ScheduleID=3"));
    openLists(7); // schedule 3: no reminder date
    auto w = editor(adding ? EditorMode::Add : EditorMode::Edit);
    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("无日期提醒"));
    QVERIFY(!child<QCheckBox>(w, "CB_AwokeDate")->isChecked());
    if (!storedWanted)
        child<QCheckBox>(w, "CB_Awoke")->click();
    QVERIFY(child<QCheckBox>(w, "CB_Awoke")->isChecked());
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().text,
             QStringLiteral("需要提醒的联系活动必须设置提醒时间！请勾选并填写提醒时间，或取消“需要提醒”。"));
    QCOMPARE(m_messages->last().title, QStringLiteral("提醒"));
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QVERIFY(w->isVisible());
    QCOMPARE(w->focusWidget(), child<QCheckBox>(w, "CB_AwokeDate"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='无日期提醒'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Awoke=1 and AwokeDate is null")), int(storedWanted));

    child<QCheckBox>(w, "CB_AwokeDate")->click(); // ticks "需要提醒" along: both ticked
    child<QDateEdit>(w, "DateTimePicker2")->setDate(QDate(2026, 4, 1));
    QVERIFY(child<QCheckBox>(w, "CB_Awoke")->isChecked());
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='无日期提醒' and Awoke=1 "
                                  "and AwokeDate='2026-04-01' and CustCode='7'")), 1);
}

void TestSchedules::editUnchangedKeepsReminder_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("awoke");
    QTest::addColumn<QDate>("awokeDate");
    QTest::newRow("date, reminder wanted") << 1 << true << QDate(2026, 3, 10);
    QTest::newRow("date, reminder not wanted") << 2 << false << QDate(2026, 3, 10);
    QTest::newRow("no reminder date") << 3 << false << QDate();
}

void TestSchedules::editUnchangedKeepsReminder()
{
    SKIP_ON_SERVER(*m_fixture, "the file engine's own SQL in the check");
    QFETCH(int, id);
    QFETCH(bool, awoke);
    QFETCH(QDate, awokeDate);
    m_data->connection()->exec(QStringLiteral("insert into T_Schedule (ScheduleID, CustCode, Company, Subject, StartDate, "
                                              "Awoke, F_User) values (5, '7', '东方贸易', '待定', '2026-03-05', 1, '张三')"));
    TFrm_Schedule *list = openList();
    QVERIFY(list);
    QVERIFY(m_data->Qry_Schedule->locate(QStringLiteral("ScheduleID"), id));
    auto w = editor(EditorMode::Edit);
    QCOMPARE(child<QCheckBox>(w, "CB_Awoke")->isChecked(), awoke);
    QCOMPARE(child<QCheckBox>(w, "CB_AwokeDate")->isChecked(), awokeDate.isValid());
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker2")->isEnabled(), awokeDate.isValid());
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker2")->date(), awokeDate.isValid() ? awokeDate : QDate::currentDate());
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(!w->isVisible());
    QCOMPARE(scalar(QStringLiteral("select Awoke from T_Schedule where ScheduleID=%1").arg(id)).toInt(), int(awoke));
    QCOMPARE(scalar(QStringLiteral("select ifnull(AwokeDate,'') from T_Schedule where ScheduleID=%1").arg(id)).toString(),
             awokeDate.isValid() ? awokeDate.toString(Qt::ISODate) : QString());
}

void TestSchedules::editSavesAndCloses()
{
    openLists(5);
    auto w = editor(EditorMode::Edit);
    QCOMPARE(w->windowTitle(), QStringLiteral("编辑联系活动"));
    QCOMPARE(child<QPushButton>(w, "Btn_OK")->text(), QStringLiteral("保存(&S)"));
    QVERIFY(child<RecordNavigator>(w, "DBNavigator1")->isEnabled());
    QCOMPARE(child<QComboBox>(w, "Combo_Subject")->currentText(), QStringLiteral("回访"));
    QCOMPARE(child<QComboBox>(w, "Combo_Type")->currentText(), QStringLiteral("电话"));
    QCOMPARE(child<QComboBox>(w, "Combo_Company")->currentText(), QStringLiteral("华信科技"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->currentText(), QStringLiteral("王经理"));
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate(2026, 3, 1));
    QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("问候"));

    // The navigator loads the next schedule; the save changes that one.
    child<RecordNavigator>(w, "DBNavigator1")->NavNext->click();
    QCOMPARE(child<QComboBox>(w, "Combo_Subject")->currentText(), QStringLiteral("报价"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->currentText(), QStringLiteral("李会计"));
    QVERIFY(!child<QCheckBox>(w, "CB_Awoke")->isChecked());
    QVERIFY(child<QCheckBox>(w, "CB_AwokeDate")->isChecked());
    child<QComboBox>(w, "Combo_Type")->setCurrentIndex(2);
    child<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("已报价"));
    child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2026, 3, 12));
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(!w->isVisible());
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where ScheduleID=2 and Type='事务' and Memo='已报价' "
                                  "and StartDate='2026-03-12' and Subject='报价' and CustCode='5' and F_User='张三'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule")), 4);
    QCOMPARE(m_data->Qry_Schedule->text(QStringLiteral("Memo")), QStringLiteral("已报价"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where ScheduleID=1 and Memo='问候' and Type='电话'")), 1);
}

void TestSchedules::refusals_data()
{
    QTest::addColumn<bool>("addMode");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<bool>("withCompany");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("add, empty subject") << true << "" << true << "主题不能为空!" << "提醒";
    QTest::newRow("add, no company") << true << "回访" << false << "请选择一个公司名称" << "警告";
    QTest::newRow("add, neither: subject first") << true << "" << false << "主题不能为空!" << "提醒";
    QTest::newRow("add, blank subject passes") << true << "   " << true << "" << "";
    QTest::newRow("edit, empty subject") << false << "" << true << "主题不能为空!" << "提醒";
    QTest::newRow("edit, row without company") << false << "回访" << false << "请选择一个公司名称" << "警告";
}

void TestSchedules::refusals()
{
    QFETCH(bool, addMode);
    QFETCH(QString, subject);
    QFETCH(bool, withCompany);
    QFETCH(QString, message);
    QFETCH(QString, title);
    if (!withCompany)
        m_data->connection()->exec(addMode ? QStringLiteral("update custom set Company=null where CustCode=5")
                                           : QStringLiteral("update T_Schedule set Company=null where ScheduleID=1"));
    openLists(5);
    auto w = editor(addMode ? EditorMode::Add : EditorMode::Edit);
    child<QComboBox>(w, "Combo_Subject")->setEditText(subject);
    child<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("拒绝测试"));
    child<QComboBox>(w, "Combo_Type")->setFocus();
    child<QPushButton>(w, "Btn_OK")->click();
    const int saved = count(QStringLiteral("select count(*) from T_Schedule where Memo='拒绝测试'"));
    if (message.isEmpty()) {
        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(saved, 1);
        return;
    }
    QCOMPARE(m_messages->texts(), QStringList{message});
    QCOMPARE(m_messages->last().kind, Msg::Kind::Box);
    QCOMPARE(m_messages->last().title, title);
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QCOMPARE(m_messages->last().buttons, Msg::Buttons::Ok);
    QCOMPARE(saved, 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule")), 4);
    // Open with what was typed, in edit mode too; the focus on the subject when it is
    // the subject that is missing, otherwise where it was.
    QVERIFY(w->isVisible());
    QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("拒绝测试"));
    QCOMPARE(w->focusWidget(), subject.isEmpty() ? static_cast<QWidget *>(child<QComboBox>(w, "Combo_Subject")) : child<QComboBox>(w, "Combo_Type"));
    QCOMPARE(m_data->Qry_Schedule->state(), Dataset::State::Browse);
}

void TestSchedules::ownershipLock_data()
{
    QTest::addColumn<int>("permit");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("canSave");
    QTest::newRow("ordinary operator, own schedule") << 1 << 1 << true;
    QTest::newRow("ordinary operator, colleague's schedule") << 1 << 2 << false;
    QTest::newRow("unrestricted operator, colleague's schedule") << 0 << 2 << true;
}

void TestSchedules::ownershipLock()
{
    QFETCH(int, permit);
    QFETCH(int, id);
    QFETCH(bool, canSave);
    login(QStringLiteral("张三"), true, permit);
    openLists(5);
    QVERIFY(m_data->Qry_Schedule->locate(QStringLiteral("ScheduleID"), id));
    auto w = editor(EditorMode::Edit);
    QCOMPARE(child<QPushButton>(w, "Btn_OK")->isEnabled(), canSave);
    QCOMPARE(child<QComboBox>(w, "Combo_Subject")->currentText(), id == 1 ? QStringLiteral("回访") : QStringLiteral("报价")); // readable
    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("改过"));
    w->save();
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='改过'")), canSave ? 1 : 0);
    if (canSave)
        return;
    QTest::keyClick(child<QComboBox>(w, "Combo_Subject"), Qt::Key_Return); // the default button is off as well
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='改过'")), 0);
    // Once locked, the button stays off, also on the operator's own schedule.
    child<RecordNavigator>(w, "DBNavigator1")->NavFirst->click();
    QCOMPARE(child<QComboBox>(w, "Combo_Subject")->currentText(), QStringLiteral("回访"));
    QVERIFY(!child<QPushButton>(w, "Btn_OK")->isEnabled());
    QVERIFY(w->isVisible());
    QVERIFY(m_messages->shown.isEmpty());
}

// Saving a colleague's schedule makes the unrestricted operator its owner: it leaves the
// colleague's own list.
void TestSchedules::unrestrictedOperatorTakesOwnership()
{
    login(QStringLiteral("张三"), false, 0);
    openLists(7);
    auto w = editor(EditorMode::Edit);
    QCOMPARE(child<QComboBox>(w, "Combo_Subject")->currentText(), QStringLiteral("催款"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(scalar(QStringLiteral("select F_User from T_Schedule where ScheduleID=3")).toString(), QStringLiteral("张三"));
    login(QStringLiteral("李四"), false, 1);
    openList();
    QCOMPARE(listedIds(), QList<int>{2});
}

void TestSchedules::contactChoices()
{
    openLists(5);
    auto w = editor(EditorMode::Add);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->count(), 0);
    enter(child<QComboBox>(w, "Combo_Contact"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->count(), 2);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->itemText(0), QStringLiteral("王经理"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->itemText(1), QStringLiteral("李会计")); // trimmed
    QVERIFY(child<QComboBox>(w, "Combo_Contact")->currentText().isEmpty());

    // Coming back from its own list or from another window does not refill the box.
    m_data->connection()->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName) values (5,'华信科技','新人')"));
    child<QComboBox>(w, "Combo_Contact")->setCurrentIndex(1);
    enter(child<QComboBox>(w, "Combo_Contact"), Qt::PopupFocusReason);
    enter(child<QComboBox>(w, "Combo_Contact"), Qt::ActiveWindowFocusReason);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->count(), 2);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->currentText(), QStringLiteral("李会计"));
    enter(child<QComboBox>(w, "Combo_Contact"), Qt::MouseFocusReason);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->count(), 3);

    // A company with a quote in its name finds its contacts; one without contacts
    // offers none and takes free text.
    w.reset();
    openLists(9);
    w = editor(EditorMode::Add);
    enter(child<QComboBox>(w, "Combo_Contact"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->count(), 1);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->itemText(0), QStringLiteral("Sean"));
    w.reset();
    openLists(7);
    w = editor(EditorMode::Add);
    enter(child<QComboBox>(w, "Combo_Contact"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->count(), 0);
    child<QComboBox>(w, "Combo_Contact")->setEditText(QStringLiteral("门卫"));
    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("拜访"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Contact='门卫' and Company='东方贸易'")), 1);
    QVERIFY(m_messages->shown.isEmpty());
}

// Entering the contact box refreshes its list but keeps the contact shown, so a schedule
// saved after merely passing through keeps its contact.
void TestSchedules::contactKeptWhenPassingThrough()
{
    openLists(5);
    auto w = editor(EditorMode::Edit);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->currentText(), QStringLiteral("王经理"));
    enter(child<QComboBox>(w, "Combo_Contact"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->count(), 2);
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->currentText(), QStringLiteral("王经理"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(scalar(QStringLiteral("select Contact from T_Schedule where ScheduleID=1")).toString(), QStringLiteral("王经理"));
    // A contact typed by the operator who went on is kept as well.
    openLists(5);
    w = editor(EditorMode::Add);
    child<QComboBox>(w, "Combo_Contact")->setEditText(QStringLiteral("前台"));
    enter(child<QComboBox>(w, "Combo_Contact"));
    QCOMPARE(child<QComboBox>(w, "Combo_Contact")->currentText(), QStringLiteral("前台"));
}

// Added from the schedule list (which does not follow the customer list), the schedule
// belongs to the customer of the row the operator has selected there, not to the customer
// current in the hidden browser; it carries that customer's code and shows in the list.
void TestSchedules::addFromListStoresCustomerCode()
{
    TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom order by CustCode"));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 7)); // hidden behind the list
    openList();
    QVERIFY(!m_data->Qry_Schedule->isLinked());
    QVERIFY(m_data->Qry_Schedule->locate(QStringLiteral("ScheduleID"), 4)); // O'Neil Trading's
    auto w = editor(EditorMode::Add);
    QCOMPARE(child<QComboBox>(w, "Combo_Company")->currentText(), QStringLiteral("O'Neil Trading"));
    QVERIFY(!child<QComboBox>(w, "Combo_Company")->isEnabled());
    QCOMPARE(w->customerCode().toString(), QStringLiteral("9"));
    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("列表新增"));
    child<QPushButton>(w, "Btn_OK")->click();
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(scalar(QStringLiteral("select CustCode || Company from T_Schedule where Subject='列表新增'")).toString(),
             QStringLiteral("9O'Neil Trading"));
    QCOMPARE(m_data->Qry_Schedule->recordCount(), 5); // in the list at once
}

// With no schedule in the list there is no customer in sight: the company box offers the
// customers in the operator's scope, and nothing is saved until one is chosen.
void TestSchedules::addFromEmptyListChoosesCustomer()
{
    login(QStringLiteral("李四"), false, 1);
    TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom order by CustCode"));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 5));
    TFrm_Schedule *list = openList();
    child<QDateEdit>(list, "DateTimePicker1")->setDate(QDate(2000, 1, 1));
    child<QPushButton>(list, "Btn_S_Cust")->click();
    QVERIFY(m_data->Qry_Schedule->isEmpty());
    auto w = editor(EditorMode::Add);
    auto *company = child<QComboBox>(w, "Combo_Company");
    QVERIFY(company->isEnabled());
    QCOMPARE(company->currentIndex(), -1);
    QStringList offered;
    for (int i = 0; i < company->count(); ++i)
        offered.append(company->itemText(i));
    QCOMPARE(offered, QStringList{QStringLiteral("东方贸易")}); // 李四's only customer
    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("选客户"));
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("请选择一个公司名称")});
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='选客户'")), 0);
    company->setCurrentIndex(0);
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(scalar(QStringLiteral("select CustCode || Company from T_Schedule where Subject='选客户'")).toString(),
             QStringLiteral("7东方贸易"));
}

// Names with a quote make valid statements: the operator's rows save and list like others.
void TestSchedules::operatorWithQuote()
{
    login(QStringLiteral("O'Brien"), false, 1);
    openLists(9);
    auto w = editor(EditorMode::Add);
    QCOMPARE(child<QComboBox>(w, "Combo_Company")->currentText(), QStringLiteral("O'Neil Trading"));
    child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("It's done"));
    child<QCheckBox>(w, "CB_AwokeDate")->click();
    child<QDateEdit>(w, "DateTimePicker2")->setDate(QDate(2026, 6, 1));
    child<QPushButton>(w, "Btn_OK")->click();
    w.reset();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
    TFrm_Schedule *list = openList();
    QCOMPARE(m_data->Qry_Schedule->recordCount(), 1);
    QCOMPARE(m_data->Qry_Schedule->text(QStringLiteral("Subject")), QStringLiteral("It's done"));
    child<QDateEdit>(list, "DateTimePicker1")->setDate(QDate(2026, 6, 1));
    child<QPushButton>(list, "Btn_S_Cust")->click();
    QCOMPARE(m_data->Qry_Schedule->recordCount(), 1);
    auto e = editor(EditorMode::Edit);
    QVERIFY(child<QPushButton>(e, "Btn_OK")->isEnabled()); // the operator's own row
    QVERIFY(m_messages->shown.isEmpty());
}

// A row the database refuses is reported; the list keeps the stored rows and the
// editor stays open with what was typed.
void TestSchedules::databaseErrorKeepsEditorOpen()
{
    SKIP_ON_SERVER(*m_fixture, "a trigger refuses the save");
    m_data->connection()->exec(QStringLiteral(
        "create trigger refuse before insert on T_Schedule begin select raise(abort,'injected'); end"));
    m_data->connection()->exec(QStringLiteral(
        "create trigger refuse2 before update on T_Schedule begin select raise(abort,'injected'); end"));
    for (EditorMode mode : {EditorMode::Add, EditorMode::Edit}) {
        m_messages->shown.clear();
        openLists(5);
        auto w = editor(mode);
        child<QComboBox>(w, "Combo_Subject")->setEditText(QStringLiteral("失败"));
        child<QPushButton>(w, "Btn_OK")->click();
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
        QVERIFY(m_messages->last().text.contains(QStringLiteral("injected")));
        QCOMPARE(m_data->Qry_Schedule->state(), Dataset::State::Browse);
        QCOMPARE(m_data->Qry_Schedule->recordCount(), 2);
        QCOMPARE(m_data->Qry_Schedule->text(QStringLiteral("Subject")), QStringLiteral("回访"));
        QVERIFY(w->isVisible());
        QCOMPARE(child<QComboBox>(w, "Combo_Subject")->currentText(), QStringLiteral("失败"));
    }
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='失败'")), 0);
}

void TestSchedules::commands()
{
    openLists(5);
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("AddSchedule")); }), QStringLiteral("添加联系活动"));
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("EditSchedule")); }), QStringLiteral("编辑联系活动"));
    m_data->connection()->exec(QStringLiteral("delete from T_Schedule where CustCode='7'"));
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 7)); // a customer without schedules
    QVERIFY(m_data->Qry_Schedule->isEmpty());
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("EditSchedule")); }), QString());
    QCOMPARE(whenModal([&] { m_main->runHandler(QStringLiteral("AddSchedule")); }), QStringLiteral("添加联系活动"));
    QCoreApplication::processEvents();
    QVERIFY(m_main->findChildren<TFrm_AddSchedule *>().isEmpty()); // freed when closed
    QVERIFY(m_messages->shown.isEmpty());
}

// With KEHU_SCREENSHOTS set to a folder, both windows are saved there as pictures.
void TestSchedules::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    m_main->resize(1100, 650);
    m_main->show();
    openList();
    QTest::qWait(100);
    QVERIFY(m_main->grab().save(QDir(folder).filePath(QStringLiteral("schedules.png"))));
    openLists(5);
    auto e = editor(EditorMode::Edit);
    QTest::qWait(50);
    QVERIFY(e->grab().save(QDir(folder).filePath(QStringLiteral("scheduleeditor.png"))));
    e.reset();
    auto a = editor(EditorMode::Add);
    QTest::qWait(50);
    QVERIFY(a->grab().save(QDir(folder).filePath(QStringLiteral("scheduleeditor_add.png"))));
}

QTEST_MAIN(TestSchedules)
#include "tst_schedules.moc"
