#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "admin/AdminCommands.h"
#include "admin/RightsGrid.h"
#include "admin/TFrm_UserList.h"
#include "admin/TFrm_UserRight.h"
#include "app/TFrm_ChangePass.h"
#include "app/TFrm_Login.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Gbk.h"
#include "store/PasswordHash.h"
#include "store/PasswordHashTesting.h"
#include "store/SqlText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using Rows = QList<QPair<QString, bool>>; // FunctionName, Authority in key order

// Twelve characters, 24 GBK bytes: the login holds the first ten.
static const QString LongName = QStringLiteral("一二三四五六七八九十甲乙");

// The operator and role administration driven as an administrator would: the list
// window and the editor on the delivered database, messages answered by the script.
class TestAdmin : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void commandOpensList();
    void listsShowOperatorsAndRoles();
    void editorLabels();
    void createOperator_data();
    void createOperator();
    void createRefusals_data();
    void createRefusals();
    void createRollsBackOnFailure_data();
    void createRollsBackOnFailure();
    void createFromList();
    void editOperator_data();
    void editOperator();
    void editPassword_data();
    void editPassword();
    void noPasswordStoredAsTyped();
    void editRole_data();
    void editRole();
    void disabledOperatorNotOfferedAtLogin();
    void loggedInOperatorCannotBeDisabled();
    void adminIsReadOnly();
    void changeNeedsSelection();
    void deleteOperator_data();
    void deleteOperator();
    void deleteRollsBackOnFailure_data();
    void deleteRollsBackOnFailure();
    void roleRights();
    void screenshots();

private:
    std::unique_ptr<TFrm_UserList> openList();
    std::unique_ptr<TFrm_UserRight> editor(const QString &kind, bool creating, qint64 userId, qint64 partId);
    // Runs start(); when it opens a modal dialog, act() works on it and the dialog is closed.
    // Returns the class name of the dialog opened, empty when none was.
    QString whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act = {});
    void createViaEditor(const QString &name, const QString &role, const QString &password = {});
    qint64 userId(const QString &name) const;
    Rows userRights(const QString &name) const;
    Rows roleRights(const QString &role) const;
    Rows rows(const QString &sql) const;
    static QStringList listColumn(QTreeWidget *list, int column);
    QStringList loginNames();

    // The suite creates many operators: their password hashes take few iterations here.
    const PasswordHash::TestIterations m_quickHashes{1000};
    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
};

void TestAdmin::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    installAdminCommands(m_main);
}

void TestAdmin::cleanup()
{
    m_fixture.reset();
}

std::unique_ptr<TFrm_UserList> TestAdmin::openList()
{
    auto list = std::make_unique<TFrm_UserList>(m_main);
    list->show();
    return list;
}

std::unique_ptr<TFrm_UserRight> TestAdmin::editor(const QString &kind, bool creating, qint64 userId, qint64 partId)
{
    auto w = std::make_unique<TFrm_UserRight>(m_main);
    w->EditorKind = kind;
    w->setMode(creating ? EditorMode::Add : EditorMode::Edit);
    w->EditUserID = userId;
    w->EditPartID = partId;
    w->show();
    return w;
}

// A tab widget page's caption and whether its tab is shown, by the page's name.
template <class Window>
static QString pageCaption(const Window &window, const char *page)
{
    auto *pages = child<QTabWidget>(window, "PageControl1");
    return pages->tabText(pages->indexOf(child<QWidget>(window, page)));
}

template <class Window>
static bool pageShown(const Window &window, const char *page)
{
    auto *pages = child<QTabWidget>(window, "PageControl1");
    return pages->isTabVisible(pages->indexOf(child<QWidget>(window, page)));
}

template <class Window>
static void showPage(const Window &window, const char *page)
{
    child<QTabWidget>(window, "PageControl1")->setCurrentWidget(child<QWidget>(window, page));
}

// A click on a right's box: the grid's model is told the new state, as the check box delegate does.
static void tick(RightsGrid *grid, int row, bool on)
{
    QVERIFY(grid->model()->setData(grid->model()->index(row, 1), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
}

QString TestAdmin::whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act)
{
    return ::whenModal(start, act);
}

void TestAdmin::createViaEditor(const QString &name, const QString &role, const QString &password)
{
    auto w = editor(TFrm_UserRight::UserKind, true, 0, 0);
    child<QLineEdit>(w, "Edit_Name")->setText(name);
    child<QLineEdit>(w, "Edit_Pass")->setText(password);
    child<QComboBox>(w, "Combo_User")->setEditText(role);
    child<QPushButton>(w, "Btn_OK")->click();
}

qint64 TestAdmin::userId(const QString &name) const
{
    return m_fixture->scalar(QStringLiteral("select UserID from admin where UserName=") + SqlText::quoted(name)).toLongLong();
}

Rows TestAdmin::rows(const QString &sql) const
{
    Dataset d(m_data->connection());
    d.setSql(sql);
    d.open();
    Rows result;
    for (int row = 0; row < d.recordCount(); ++row)
        result.append({d.value(row, d.fieldIndex(QStringLiteral("FunctionName"))).toString(),
                       d.value(row, d.fieldIndex(QStringLiteral("Authority"))).toBool()});
    return result;
}

Rows TestAdmin::userRights(const QString &name) const
{
    return rows(QStringLiteral("select * from T_UserAuthority where UserName=") + SqlText::quoted(name)
                + QStringLiteral(" order by UserAuthorityID"));
}

Rows TestAdmin::roleRights(const QString &role) const
{
    return rows(QStringLiteral("select * from T_PartAuthority where PartName=") + SqlText::quoted(role)
                + QStringLiteral(" order by PartAuthorityID"));
}

QStringList TestAdmin::listColumn(QTreeWidget *list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(column));
    return texts;
}

QStringList TestAdmin::loginNames()
{
    TFrm_Login login(m_main, m_data);
    login.show();
    QStringList names;
    for (int i = 0; i < child<QComboBox>(&login, "Combo_User")->count(); ++i)
        names.append(child<QComboBox>(&login, "Combo_User")->itemText(i));
    login.close();
    return names;
}

// ------------------------------------------------------------------ list window

void TestAdmin::commandOpensList()
{
    m_fixture->login(QStringLiteral("Admin"), true, 0);
    QVERIFY(m_main->M_UserList->isEnabled());
    QString title;
    QStringList names;
    const QString opened = whenModal([this] { QVERIFY(m_main->runCommand(QStringLiteral("M_UserList"))); },
                                     [&](QWidget *dialog) {
                                         title = dialog->windowTitle();
                                         names = listColumn(dialog->findChild<QTreeWidget *>(QStringLiteral("ListView1")), 1);
                                     });
    QCOMPARE(opened, QStringLiteral("TFrm_UserList"));
    QCOMPARE(title, QStringLiteral("操作员管理"));
    QCOMPARE(names, QStringList{QStringLiteral("Admin")});
}

void TestAdmin::listsShowOperatorsAndRoles()
{
    m_fixture->db()->exec(QStringLiteral("insert into admin (UserName, PartName, Remark, IsUser, Permit) "
                                         "values ('停用者','普通用户','已离职',0,1)"));
    auto list = openList();
    auto *users = child<QTreeWidget>(list, "ListView1");
    auto *roles = child<QTreeWidget>(list, "ListView2");
    QCOMPARE(child<QTabWidget>(list, "PageControl1")->tabText(0), QStringLiteral("用户列表"));
    QCOMPARE(child<QTabWidget>(list, "PageControl1")->tabText(1), QStringLiteral("角色列表"));
    QCOMPARE(child<QPushButton>(list, "Btn_Add")->text(), QStringLiteral("新建&A"));
    QCOMPARE(child<QPushButton>(list, "Btn_Edit")->text(), QStringLiteral("修改&E"));
    QCOMPARE(child<QPushButton>(list, "Btn_Del")->text(), QStringLiteral("删除&D"));
    QCOMPARE(child<QPushButton>(list, "Btn_Exit")->text(), QStringLiteral("退出&Q"));
    QTreeWidgetItem *titles = users->headerItem();
    QCOMPARE((QStringList{titles->text(0), titles->text(1), titles->text(2)}),
             (QStringList{QStringLiteral("编号"), QStringLiteral("用户姓名"), QStringLiteral("用户描述")}));
    QCOMPARE(listColumn(users, 0), (QStringList{QStringLiteral("1"), QString::number(userId(QStringLiteral("停用者")))}));
    QCOMPARE(listColumn(users, 1), (QStringList{QStringLiteral("Admin"), QStringLiteral("停用者")}));
    QCOMPARE(listColumn(users, 2), (QStringList{QStringLiteral("系统管理员帐号，拥有全部权限"), QStringLiteral("已离职")}));
    // Enabled and disabled operators carry different icons.
    QVERIFY(users->topLevelItem(0)->icon(0).cacheKey() != users->topLevelItem(1)->icon(0).cacheKey());
    QCOMPARE(child<QMenu>(list, "PopupMenu1")->actions().first()->text(), QStringLiteral("刷新"));

    // Rows written elsewhere appear on refresh.
    m_fixture->db()->exec(QStringLiteral("insert into admin (UserName, IsUser) values ('新来的',1)"));
    child<QAction>(list, "N_Refresh")->trigger();
    QCOMPARE(users->topLevelItemCount(), 3);
    QCOMPARE(users->topLevelItem(2)->icon(0).cacheKey(), users->topLevelItem(0)->icon(0).cacheKey());

    showPage(list, "TS_Part");
    titles = roles->headerItem();
    QCOMPARE((QStringList{titles->text(0), titles->text(1), titles->text(2)}),
             (QStringList{QStringLiteral("编号"), QStringLiteral("角色名称"), QStringLiteral("角色描述")}));
    QCOMPARE(listColumn(roles, 0), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(listColumn(roles, 1),
             (QStringList{QStringLiteral("系统管理员"), QStringLiteral("普通用户"), QStringLiteral("销售经理")}));
    QCOMPARE(roles->topLevelItem(0)->text(2), QStringLiteral("拥有全部权限"));
    QVERIFY(child<QPushButton>(list, "Btn_Add")->isHidden());
    QVERIFY(child<QPushButton>(list, "Btn_Del")->isHidden());
    QVERIFY(!child<QPushButton>(list, "Btn_Edit")->isHidden());
    showPage(list, "TS_User");
    QVERIFY(!child<QPushButton>(list, "Btn_Add")->isHidden());
    QVERIFY(!child<QPushButton>(list, "Btn_Del")->isHidden());
    QVERIFY(m_messages->shown.isEmpty());
}

// ------------------------------------------------------------------ editor

void TestAdmin::editorLabels()
{
    auto w = editor(TFrm_UserRight::UserKind, true, 0, 0);
    const QList<QPair<QString, QWidget *>> expected{
        {QStringLiteral("用户名称"), child<QLineEdit>(w, "Edit_Name")}, {QStringLiteral("初始密码"), child<QLineEdit>(w, "Edit_Pass")},
        {QStringLiteral("用户权限"), child<QComboBox>(w, "Combo_User")}, {QStringLiteral("用户描述"), child<QPlainTextEdit>(w, "Memo_User")},
        {QStringLiteral("角色名称"), child<QLineEdit>(w, "Edit_Part")}, {QStringLiteral("角色描述"), child<QPlainTextEdit>(w, "Memo_Part")}};
    const auto labels = w->findChildren<QLabel *>();
    for (const auto &[caption, input] : expected) {
        const auto found = std::find_if(labels.cbegin(), labels.cend(), [&](QLabel *l) { return l->buddy() == input; });
        QVERIFY2(found != labels.cend(), qPrintable(input->objectName()));
        QCOMPARE((*found)->text(), caption);
    }
    QCOMPARE(pageCaption(w, "TS_User"), QStringLiteral("操作员"));
    QCOMPARE(pageCaption(w, "TS_UserAuth"), QStringLiteral("用户权限"));
    QCOMPARE(pageCaption(w, "TS_Part"), QStringLiteral("角色"));
    QCOMPARE(pageCaption(w, "TS_Authority"), QStringLiteral("权限设置"));
    QCOMPARE(child<QCheckBox>(w, "CB_User")->text(), QStringLiteral("操作员禁用"));
    QCOMPARE(child<QPushButton>(w, "Btn_OK")->text(), QStringLiteral("保存"));
    QCOMPARE(child<QPushButton>(w, "Btn_Exit")->text(), QStringLiteral("退出"));
    QCOMPARE(child<RightsGrid>(w, "DBGridEh1")->horizontalHeaderItem(0)->text(), QStringLiteral("功能名称"));
    QCOMPARE(child<RightsGrid>(w, "DBGridEh1")->horizontalHeaderItem(1)->text(), QStringLiteral("权限"));
    // The operator editor shows its two pages and the check box, not the role's.
    QVERIFY(pageShown(w, "TS_User"));
    QVERIFY(pageShown(w, "TS_UserAuth"));
    QVERIFY(!pageShown(w, "TS_Part"));
    QVERIFY(!pageShown(w, "TS_Authority"));
    QVERIFY(!child<QCheckBox>(w, "CB_User")->isHidden());
    QCOMPARE(w->windowTitle(), QStringLiteral("新增操作员"));
    QVERIFY(child<QLineEdit>(w, "Edit_Name")->isEnabled());
    QCOMPARE(child<QComboBox>(w, "Combo_User")->currentText(), QString());
    QCOMPARE(child<QComboBox>(w, "Combo_User")->count(), 3);
    QCOMPARE(child<QComboBox>(w, "Combo_User")->itemText(1), QStringLiteral("普通用户"));
}

void TestAdmin::createOperator_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("role");
    QTest::addColumn<int>("permit");
    QTest::newRow("administrator role") << QStringLiteral("王五") << QStringLiteral("系统管理员") << 0;
    QTest::newRow("ordinary role") << QStringLiteral("赵六") << QStringLiteral("普通用户") << 1;
    QTest::newRow("sales manager") << QStringLiteral("钱七") << QStringLiteral("销售经理") << 0;
    QTest::newRow("name with a quote") << QStringLiteral("O'Neil") << QStringLiteral("普通用户") << 1;
    QTest::newRow("blanks around the name") << QStringLiteral("  孙八 ") << QStringLiteral("普通用户") << 1;
    QTest::newRow("role of no rights rows") << QStringLiteral("周九") << QStringLiteral("临时角色") << 0;
}

// A role that the table holds without rights rows (临时角色 is made for the test).
static bool madeForTest(const QString &role)
{
    return role == QStringLiteral("临时角色");
}

// A new operator gets the role's rights rows, copied in key order, so that his log-in
// reads the role's slots.
void TestAdmin::createOperator()
{
    SKIP_ON_SERVER(*m_fixture, "a comparison stored as a yes/no value");
    QFETCH(QString, name);
    QFETCH(QString, role);
    QFETCH(int, permit);
    const QString stored = name.trimmed();
    if (madeForTest(role))
        m_fixture->db()->exec(QStringLiteral("insert into T_Part (PartName, Remark) values (%1, '')").arg(SqlText::quoted(role)));
    const int usersBefore = m_fixture->count(QStringLiteral("select count(*) from admin"));
    const int rightsBefore = m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority"));
    // Make the role's rows differ from slot to slot, so that a wrong order shows.
    m_fixture->db()->exec(QStringLiteral("update T_PartAuthority set Authority = (PartAuthorityID % 3 = 0) where PartName=")
                          + SqlText::quoted(role));
    const Rows expected = roleRights(role);

    auto w = editor(TFrm_UserRight::UserKind, true, 0, 0);
    QSignalSpy changed(w.get(), &TFrm_UserRight::operatorsChanged);
    child<QLineEdit>(w, "Edit_Name")->setText(name);
    child<QLineEdit>(w, "Edit_Pass")->setText(QStringLiteral("pw'1"));
    child<QComboBox>(w, "Combo_User")->setEditText(role);
    child<QPlainTextEdit>(w, "Memo_User")->setPlainText(QStringLiteral("新同事"));
    child<QPushButton>(w, "Btn_OK")->click();

    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("添加操作员成功")});
    QCOMPARE(m_messages->last().kind, Msg::Kind::Plain);
    QCOMPARE(changed.count(), 1);
    QVERIFY(w->isVisible()); // stays open for the next operator
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin")), usersBefore + 1);
    const QString where = QStringLiteral(" from admin where UserName=") + SqlText::quoted(stored);
    const QString password = m_fixture->scalar(QStringLiteral("select Password") + where).toString();
    QVERIFY2(PasswordHash::isHash(password), qPrintable(password)); // never as typed
    QVERIFY(PasswordHash::matches(QStringLiteral("pw'1"), password));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select PartName") + where).toString(), role);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Remark") + where).toString(), QStringLiteral("新同事"));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Permit") + where).toInt(), permit);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select IsUser") + where).toInt(), 1);

    QCOMPARE(userRights(stored), expected);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority")), rightsBefore + int(expected.size()));

    // His log-in reads the role's slots.
    TFrm_Main::Rights_t rights{};
    m_main->Rights = rights;
    rights = m_main->readRights(stored);
    for (int slot = 0; slot < int(expected.size()) && slot < TFrm_Main::RightsSlots; ++slot)
        QCOMPARE(rights[size_t(slot)], expected.at(slot).second);
    if (!expected.isEmpty()) {
        m_main->setOperator(stored, permit);
        QCOMPARE(m_main->M_UserList->isEnabled(), expected.at(0).second);
        QCOMPARE(m_main->SearchCust->isEnabled(), expected.at(5).second);
    }
    QVERIFY(loginNames().contains(stored));
}

void TestAdmin::createRefusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const QString noName = QStringLiteral("用户名不得为空!");
    const QString noRole = QStringLiteral("请给用户指定权限!");
    const QString duplicate = QStringLiteral("用户名重复,请换一个用户名!");
    const QString role = QStringLiteral("普通用户");
    QTest::newRow("empty name") << QString() << role << noName << "Edit_Name";
    QTest::newRow("blank name") << QStringLiteral("   ") << role << noName << "Edit_Name";
    QTest::newRow("empty name and no role: name first") << QString() << QString() << noName << "Edit_Name";
    QTest::newRow("no role") << QStringLiteral("新人") << QString() << noRole << "Combo_User";
    QTest::newRow("blank role") << QStringLiteral("新人") << QStringLiteral("  ") << noRole << "Combo_User";
    QTest::newRow("existing Admin") << QStringLiteral("Admin") << role << duplicate << "Edit_Name";
    QTest::newRow("other letter case") << QStringLiteral("ADMIN") << role << duplicate << "Edit_Name";
    QTest::newRow("existing name with blanks") << QStringLiteral(" 张三 ") << role << duplicate << "Edit_Name";
    QTest::newRow("existing name with a quote") << QStringLiteral("O'Neil") << role << duplicate << "Edit_Name";
    // A role is chosen from the list: a name that is no role would give the operator no rights.
    QTest::newRow("no such role") << QStringLiteral("新人") << QStringLiteral("临时角色")
                                  << QStringLiteral("角色「临时角色」不存在，请从列表中选择角色!") << "Combo_User";
    QTest::newRow("role with a blank before it") << QStringLiteral("新人") << QStringLiteral(" 普通用户")
                                                 << QStringLiteral("角色「 普通用户」不存在，请从列表中选择角色!")
                                                 << "Combo_User";
    QTest::newRow("no such role, existing name: role first")
        << QStringLiteral("张三") << QStringLiteral("临时角色") << QStringLiteral("角色「临时角色」不存在，请从列表中选择角色!")
        << "Combo_User";
}

void TestAdmin::createRefusals()
{
    QFETCH(QString, name);
    QFETCH(QString, role);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    m_fixture->db()->exec(QStringLiteral("insert into admin (UserName, IsUser) values ('张三',1), ('O''Neil',1)"));
    const int users = m_fixture->count(QStringLiteral("select count(*) from admin"));
    const int rights = m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority"));

    auto w = editor(TFrm_UserRight::UserKind, true, 0, 0);
    QSignalSpy changed(w.get(), &TFrm_UserRight::operatorsChanged);
    child<QLineEdit>(w, "Edit_Name")->setText(name);
    child<QComboBox>(w, "Combo_User")->setEditText(role);
    child<QPushButton>(w, "Btn_OK")->click();

    QCOMPARE(m_messages->texts(), QStringList{message});
    QCOMPARE(m_messages->last().kind, Msg::Kind::Box);
    QCOMPARE(m_messages->last().title, QStringLiteral("警告"));
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QCOMPARE(m_messages->last().buttons, Msg::Buttons::Ok);
    QCOMPARE(w->focusWidget() ? w->focusWidget()->objectName() : QString(), focus);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin")), users);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority")), rights);
    QCOMPARE(changed.count(), 0);
    QVERIFY(w->isVisible());
}

// A failure while copying the rights takes the new operator back too, and is reported.
void TestAdmin::createRollsBackOnFailure_data()
{
    QTest::addColumn<QString>("refusal"); // a trigger that refuses one of the rows written
    const QString rightsRow = QStringLiteral(
        "create trigger refuse before insert on T_UserAuthority when "
        "(select count(*) from T_UserAuthority where UserName = new.UserName) = %1 "
        "begin select raise(abort, '写入被拒绝'); end");
    QTest::newRow("operator's row") << QStringLiteral(
        "create trigger refuse before insert on admin begin select raise(abort, '写入被拒绝'); end");
    QTest::newRow("first rights row") << rightsRow.arg(0);
    QTest::newRow("a rights row between") << QStringLiteral(
        "create trigger refuse before insert on T_UserAuthority "
        "when new.FunctionName = '客户查询' begin select raise(abort, '写入被拒绝'); end");
    QTest::newRow("last rights row") << rightsRow.arg(19);
}

// Creating is all or nothing, wherever it fails.
void TestAdmin::createRollsBackOnFailure()
{
    SKIP_ON_SERVER(*m_fixture, "the file engine's own SQL in the check");
    QFETCH(QString, refusal);
    m_fixture->db()->exec(refusal);
    const int rights = m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority"));
    createViaEditor(QStringLiteral("王五"), QStringLiteral("普通用户"));
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
    QVERIFY2(m_messages->last().text.contains(QStringLiteral("写入被拒绝")), qPrintable(m_messages->last().text));
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin where UserName='王五'")), 0);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority")), rights);
    QVERIFY(!m_data->connection()->inTransaction());

    // Once the cause is gone the same input succeeds.
    m_fixture->db()->exec(QStringLiteral("drop trigger refuse"));
    m_messages->shown.clear();
    createViaEditor(QStringLiteral("王五"), QStringLiteral("普通用户"));
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("添加操作员成功")});
    QCOMPARE(userRights(QStringLiteral("王五")), roleRights(QStringLiteral("普通用户")));
}

void TestAdmin::createFromList()
{
    auto list = openList();
    QString title;
    QStringList namesWhileOpen;
    const QString opened = whenModal([&] { child<QPushButton>(list, "Btn_Add")->click(); }, [&](QWidget *dialog) {
        auto *w = qobject_cast<TFrm_UserRight *>(dialog);
        QVERIFY(w);
        title = w->windowTitle();
        QCOMPARE(w->EditorKind, QStringLiteral("User"));
        QVERIFY(w->isAdding());
        child<QLineEdit>(w, "Edit_Name")->setText(QStringLiteral("王五"));
        child<QComboBox>(w, "Combo_User")->setCurrentIndex(2);
        child<QPushButton>(w, "Btn_OK")->click();
        namesWhileOpen = listColumn(child<QTreeWidget>(list, "ListView1"), 1);
    });
    QCOMPARE(opened, QStringLiteral("TFrm_UserRight"));
    QCOMPARE(title, QStringLiteral("新增操作员"));
    QCOMPARE(namesWhileOpen, (QStringList{QStringLiteral("Admin"), QStringLiteral("王五")}));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select PartName from admin where UserName='王五'")).toString(),
             QStringLiteral("销售经理"));
}

void TestAdmin::editOperator_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<bool>("disable");
    QTest::addColumn<int>("permit");
    QTest::newRow("to ordinary, disabled") << QStringLiteral("普通用户") << true << 1;
    QTest::newRow("to manager, enabled") << QStringLiteral("销售经理") << false << 0;
}

// Saving an operator changes his row; his rights rows stay as they are, but a box
// ticked in his grid is written.
void TestAdmin::editOperator()
{
    QFETCH(QString, role);
    QFETCH(bool, disable);
    QFETCH(int, permit);
    createViaEditor(QStringLiteral("O'Neil"), QStringLiteral("系统管理员"), QStringLiteral("old"));
    m_messages->shown.clear();
    const qint64 id = userId(QStringLiteral("O'Neil"));
    Rows rights = userRights(QStringLiteral("O'Neil"));

    auto list = openList();
    child<QTreeWidget>(list, "ListView1")->setCurrentItem(child<QTreeWidget>(list, "ListView1")->topLevelItem(1));
    QStringList afterSave;
    const QString opened = whenModal([&] { child<QPushButton>(list, "Btn_Edit")->click(); }, [&](QWidget *dialog) {
        auto *w = qobject_cast<TFrm_UserRight *>(dialog);
        QVERIFY(w);
        QCOMPARE(w->EditUserID, id);
        QCOMPARE(w->windowTitle(), QStringLiteral("编辑操作员"));
        QCOMPARE(child<QLineEdit>(w, "Edit_Name")->text(), QStringLiteral("O'Neil"));
        QVERIFY(!child<QLineEdit>(w, "Edit_Name")->isEnabled());
        // Only the hash is stored: the box starts empty, which keeps the password.
        QCOMPARE(child<QLineEdit>(w, "Edit_Pass")->text(), QString());
        QCOMPARE(child<QLineEdit>(w, "Edit_Pass")->placeholderText(), QStringLiteral("不修改请留空"));
        QCOMPARE(child<QComboBox>(w, "Combo_User")->currentText(), QStringLiteral("系统管理员"));
        QVERIFY(!child<QCheckBox>(w, "CB_User")->isChecked());
        QVERIFY(child<QPushButton>(w, "Btn_OK")->isEnabled());
        QCOMPARE(child<RightsGrid>(w, "DBGridEh1")->rowCount(), int(rights.size()));
        for (int row = 0; row < rights.size(); ++row) {
            QCOMPARE(child<RightsGrid>(w, "DBGridEh1")->functionName(row), rights.at(row).first);
            QCOMPARE(child<RightsGrid>(w, "DBGridEh1")->authority(row), rights.at(row).second);
        }
        // Two boxes changed: both are written, the last one too.
        tick(child<RightsGrid>(w, "DBGridEh1"), 2, false);
        tick(child<RightsGrid>(w, "DBGridEh1"), 4, false);
        child<QLineEdit>(w, "Edit_Pass")->setText(QStringLiteral("new"));
        child<QComboBox>(w, "Combo_User")->setEditText(role);
        child<QPlainTextEdit>(w, "Memo_User")->setPlainText(QStringLiteral("调岗"));
        child<QCheckBox>(w, "CB_User")->setChecked(disable);
        child<QPushButton>(w, "Btn_OK")->click();
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        afterSave = listColumn(child<QTreeWidget>(list, "ListView1"), 1);
    });
    QCOMPARE(opened, QStringLiteral("TFrm_UserRight"));
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("保存成功")});
    QCOMPARE(m_messages->last().kind, Msg::Kind::Plain);
    const QString where = QStringLiteral(" from admin where UserID=") + QString::number(id);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select UserName") + where).toString(), QStringLiteral("O'Neil"));
    const QString password = m_fixture->scalar(QStringLiteral("select Password") + where).toString();
    QVERIFY2(PasswordHash::isHash(password), qPrintable(password));
    QVERIFY(PasswordHash::matches(QStringLiteral("new"), password));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select PartName") + where).toString(), role);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Remark") + where).toString(), QStringLiteral("调岗"));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select IsUser") + where).toInt(), disable ? 0 : 1);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Permit") + where).toInt(), permit);
    rights[2].second = false;
    rights[4].second = false;
    QCOMPARE(userRights(QStringLiteral("O'Neil")), rights); // not copied again from the new role
    QCOMPARE(afterSave.size(), 2);
    QCOMPARE(loginNames().contains(QStringLiteral("O'Neil")), !disable);
}

void TestAdmin::editPassword_data()
{
    QTest::addColumn<QString>("stored"); // before: as an older database holds it, or hashed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("password"); // afterwards
    const QString oldHash = PasswordHash::make(QStringLiteral("old"), QByteArray("fixed test salt!"), 1000);
    QTest::newRow("kept, stored as typed") << QStringLiteral("old") << QString() << QStringLiteral("old");
    QTest::newRow("kept, stored hashed") << oldHash << QString() << QStringLiteral("old");
    QTest::newRow("kept empty, stored as typed") << QString() << QString() << QString();
    QTest::newRow("new one, stored as typed") << QStringLiteral("old") << QStringLiteral("新的") << QStringLiteral("新的");
    QTest::newRow("new one, stored hashed") << oldHash << QStringLiteral("新的") << QStringLiteral("新的");
    QTest::newRow("blanks") << oldHash << QStringLiteral("  ") << QStringLiteral("  ");
}

// The editor of an operator writes hashes only. An empty box keeps the password; one
// still stored as typed gets its hash on the way.
void TestAdmin::editPassword()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, password);
    m_fixture->db()->exec(QStringLiteral("insert into admin (UserName, Password, PartName, Remark, IsUser, Permit) "
                                         "values ('孙八', %1, '普通用户', '', 1, 1)")
                              .arg(SqlText::quoted(stored)));
    auto w = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("孙八")), 0);
    QCOMPARE(child<QLineEdit>(w, "Edit_Pass")->text(), QString());
    child<QLineEdit>(w, "Edit_Pass")->setText(typed);
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("保存成功")});
    const QString after = m_fixture->scalar(QStringLiteral("select Password from admin where UserName='孙八'")).toString();
    QVERIFY2(PasswordHash::isHash(after), qPrintable(after));
    QVERIFY(PasswordHash::matches(password, after));
    if (PasswordHash::isHash(stored) && typed.isEmpty())
        QCOMPARE(after, stored);
}

// Whatever way a password enters the table (a new operator, the editor, the own change,
// the first login with a password from an older database), only its hash is stored.
void TestAdmin::noPasswordStoredAsTyped()
{
    const QStringList typed{QStringLiteral("a1"), QString(), QStringLiteral("  "), QStringLiteral("b2"),
                            QStringLiteral("c3")};
    createViaEditor(QStringLiteral("张三"), QStringLiteral("普通用户"), typed[0]);
    createViaEditor(QStringLiteral("李四"), QStringLiteral("普通用户"), typed[1]);
    createViaEditor(QStringLiteral("王五"), QStringLiteral("销售经理"), typed[2]);
    auto w = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("李四")), 0);
    child<QLineEdit>(w, "Edit_Pass")->setText(typed[3]);
    child<QPushButton>(w, "Btn_OK")->click();

    m_main->setOperator(QStringLiteral("王五"), 0);
    TFrm_ChangePass change(m_main);
    child<QLineEdit>(&change, "Edit_oldpass")->setText(typed[2]);
    child<QLineEdit>(&change, "Edit_newpass")->setText(typed[4]);
    child<QLineEdit>(&change, "Edit_pass")->setText(typed[4]);
    child<QPushButton>(&change, "Btn_ok")->click();

    TFrm_Login login(m_main, m_data); // Admin, as delivered: the empty password as typed
    child<QComboBox>(&login, "Combo_User")->setCurrentIndex(0);
    child<QPushButton>(&login, "Btn_ok")->click();
    QVERIFY(login.LoginOK);

    // Admin's empty password is not left silently; the question is answered 否 here.
    QCOMPARE(m_messages->texts(), (QStringList{QStringLiteral("添加操作员成功"), QStringLiteral("添加操作员成功"),
                                               QStringLiteral("添加操作员成功"), QStringLiteral("保存成功"),
                                               QStringLiteral("修改密码成功!"),
                                               QStringLiteral("“Admin”的密码为空,任何人都可以用这个名字登录。\n现在设置密码吗?")}));
    Dataset operators(m_data->connection());
    operators.setSql(QStringLiteral("select UserName, Password from admin"));
    operators.open();
    QCOMPARE(operators.recordCount(), 4);
    for (int row = 0; row < operators.recordCount(); ++row) {
        const QString stored = operators.value(row, 1).toString();
        QVERIFY2(PasswordHash::isHash(stored), qPrintable(operators.value(row, 0).toString() + ": " + stored));
        QVERIFY(!typed.contains(stored));
    }
}

void TestAdmin::editRole_data()
{
    QTest::addColumn<QString>("role"); // typed over the stored 旧角色, which is no role
    QTest::addColumn<QString>("message");
    const QString saved = QStringLiteral("保存成功");
    QTest::newRow("changed to a role") << QStringLiteral("销售经理") << saved;
    QTest::newRow("stored role kept, though no role") << QStringLiteral("旧角色") << saved;
    QTest::newRow("changed to no role") << QStringLiteral("临时角色")
                                        << QStringLiteral("角色「临时角色」不存在，请从列表中选择角色!");
    QTest::newRow("emptied") << QString() << QStringLiteral("请给用户指定权限!");
}

// A changed role must be one of the roles; a stored one is kept as it is.
void TestAdmin::editRole()
{
    QFETCH(QString, role);
    QFETCH(QString, message);
    m_fixture->db()->exec(QStringLiteral("insert into admin (UserName, Password, PartName, Remark, IsUser, Permit) "
                                         "values ('孙八', '', '旧角色', '老同事', 1, 0)"));
    const qint64 id = userId(QStringLiteral("孙八"));
    auto w = editor(TFrm_UserRight::UserKind, false, id, 0);
    QSignalSpy changed(w.get(), &TFrm_UserRight::operatorsChanged);
    QCOMPARE(child<QComboBox>(w, "Combo_User")->currentText(), QStringLiteral("旧角色"));
    child<QComboBox>(w, "Combo_User")->setEditText(role);
    child<QPlainTextEdit>(w, "Memo_User")->setPlainText(QStringLiteral("调岗"));
    child<QPushButton>(w, "Btn_OK")->click();

    QCOMPARE(m_messages->texts(), QStringList{message});
    const QString where = QStringLiteral(" from admin where UserID=") + QString::number(id);
    const bool saved = message == QStringLiteral("保存成功");
    QCOMPARE(m_fixture->scalar(QStringLiteral("select PartName") + where).toString(),
             saved ? role : QStringLiteral("旧角色"));
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Remark") + where).toString(),
             saved ? QStringLiteral("调岗") : QStringLiteral("老同事"));
    QCOMPARE(changed.count(), int(saved));
    QCOMPARE(w->isVisible(), !saved);
    if (!saved) {
        QCOMPARE(m_messages->last().title, QStringLiteral("警告"));
        QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
        QCOMPARE(w->focusWidget() ? w->focusWidget()->objectName() : QString(), QStringLiteral("Combo_User"));
    }
}

void TestAdmin::disabledOperatorNotOfferedAtLogin()
{
    createViaEditor(QStringLiteral("张三"), QStringLiteral("普通用户"));
    QVERIFY(loginNames().contains(QStringLiteral("张三")));
    auto w = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("张三")), 0);
    child<QCheckBox>(w, "CB_User")->setChecked(true);
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(loginNames(), QStringList{QStringLiteral("Admin")});
    // Shown ticked when opened again; unticking enables him again.
    auto again = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("张三")), 0);
    QVERIFY(child<QCheckBox>(again, "CB_User")->isChecked());
    child<QCheckBox>(again, "CB_User")->setChecked(false);
    child<QPushButton>(again, "Btn_OK")->click();
    QCOMPARE(loginNames(), (QStringList{QStringLiteral("Admin"), QStringLiteral("张三")}));
    // A new operator created with the box ticked cannot log in either.
    auto created = editor(TFrm_UserRight::UserKind, true, 0, 0);
    child<QLineEdit>(created, "Edit_Name")->setText(QStringLiteral("李四"));
    child<QComboBox>(created, "Combo_User")->setEditText(QStringLiteral("普通用户"));
    child<QCheckBox>(created, "CB_User")->setChecked(true);
    child<QPushButton>(created, "Btn_OK")->click();
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin where UserName='李四' and IsUser=0")), 1);
    QVERIFY(!loginNames().contains(QStringLiteral("李四")));
}

// The operator at work cannot lock himself out; he can change the rest of his row, and
// disable others.
void TestAdmin::loggedInOperatorCannotBeDisabled()
{
    createViaEditor(QStringLiteral("张三"), QStringLiteral("普通用户"));
    createViaEditor(LongName, QStringLiteral("普通用户"));
    m_main->setOperator(QStringLiteral("张三"), 1);
    m_messages->shown.clear();
    const QString own = QStringLiteral("不能禁用当前登录的操作员!");
    const QString where = QStringLiteral(" from admin where UserName='张三'");

    auto w = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("张三")), 0);
    QSignalSpy changed(w.get(), &TFrm_UserRight::operatorsChanged);
    child<QPlainTextEdit>(w, "Memo_User")->setPlainText(QStringLiteral("调岗"));
    child<QCheckBox>(w, "CB_User")->setChecked(true);
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{own});
    QCOMPARE(m_messages->last().kind, Msg::Kind::Box);
    QCOMPARE(m_messages->last().title, QStringLiteral("警告"));
    QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    QCOMPARE(w->focusWidget() ? w->focusWidget()->objectName() : QString(), QStringLiteral("CB_User"));
    QVERIFY(w->isVisible());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select IsUser") + where).toInt(), 1);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Remark") + where).toString(), QString());

    m_messages->shown.clear();
    child<QCheckBox>(w, "CB_User")->setChecked(false);
    child<QPushButton>(w, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("保存成功")});
    QCOMPARE(m_fixture->scalar(QStringLiteral("select Remark") + where).toString(), QStringLiteral("调岗"));

    // The login holds a long name cut to 20 bytes: he is still the operator at work.
    m_main->setOperator(Gbk::cut(LongName, 20), 1);
    m_messages->shown.clear();
    auto longName = editor(TFrm_UserRight::UserKind, false, userId(LongName), 0);
    child<QCheckBox>(longName, "CB_User")->setChecked(true);
    child<QPushButton>(longName, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{own});
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin where IsUser=0")), 0);

    // Someone else can be disabled.
    m_messages->shown.clear();
    auto other = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("张三")), 0);
    child<QCheckBox>(other, "CB_User")->setChecked(true);
    child<QPushButton>(other, "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("保存成功")});
    QCOMPARE(m_fixture->scalar(QStringLiteral("select IsUser") + where).toInt(), 0);
}

void TestAdmin::adminIsReadOnly()
{
    const Rows before = userRights(QStringLiteral("Admin"));
    auto w = editor(TFrm_UserRight::UserKind, false, 1, 0);
    QCOMPARE(child<QLineEdit>(w, "Edit_Name")->text(), QStringLiteral("Admin"));
    QVERIFY(!child<QPushButton>(w, "Btn_OK")->isEnabled());
    QVERIFY(child<RightsGrid>(w, "DBGridEh1")->isReadOnly());
    QCOMPARE(child<RightsGrid>(w, "DBGridEh1")->rowCount(), 20);
    for (int row = 0; row < child<RightsGrid>(w, "DBGridEh1")->rowCount(); ++row)
        QVERIFY(!(child<RightsGrid>(w, "DBGridEh1")->item(row, 1)->flags() & Qt::ItemIsUserCheckable));
    child<QPushButton>(w, "Btn_OK")->click(); // disabled: nothing happens
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(userRights(QStringLiteral("Admin")), before);

    // Another operator's grid can be changed.
    createViaEditor(QStringLiteral("张三"), QStringLiteral("普通用户"));
    auto other = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("张三")), 0);
    QVERIFY(child<QPushButton>(other, "Btn_OK")->isEnabled());
    QVERIFY(child<RightsGrid>(other, "DBGridEh1")->item(0, 1)->flags() & Qt::ItemIsUserCheckable);
}

void TestAdmin::changeNeedsSelection()
{
    auto list = openList();
    child<QTreeWidget>(list, "ListView1")->setCurrentItem(nullptr);
    QCOMPARE(whenModal([&] { child<QPushButton>(list, "Btn_Edit")->click(); }), QString());
    QCOMPARE(whenModal([&] { child<QPushButton>(list, "Btn_Del")->click(); }), QString());
    showPage(list, "TS_Part");
    child<QTreeWidget>(list, "ListView2")->setCurrentItem(nullptr);
    QCOMPARE(whenModal([&] { child<QPushButton>(list, "Btn_Edit")->click(); }), QString());
    QVERIFY(m_messages->shown.isEmpty());
    // A double click opens the selected item like the change button.
    showPage(list, "TS_User");
    QTreeWidgetItem *admin = child<QTreeWidget>(list, "ListView1")->topLevelItem(0);
    child<QTreeWidget>(list, "ListView1")->setCurrentItem(admin);
    qint64 edited = -1;
    QCOMPARE(whenModal([&] { emit child<QTreeWidget>(list, "ListView1")->itemDoubleClicked(admin, 0); },
                       [&](QWidget *d) { edited = qobject_cast<TFrm_UserRight *>(d)->EditUserID; }),
             QStringLiteral("TFrm_UserRight"));
    QCOMPARE(edited, 1);
}

void TestAdmin::deleteOperator_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("loggedIn"); // the session's operator, held as the login holds him
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("deleted");
    const QString ask = QStringLiteral("您确认要删除该用户吗？");
    const QString done = QStringLiteral("删除用户成功!");
    const QString own = QStringLiteral("不能删除当前登录的操作员!");
    const QString admin = QStringLiteral("Admin");
    QTest::newRow("answered no") << QStringLiteral("张三") << admin << false << QStringList{ask} << false;
    QTest::newRow("operator") << QStringLiteral("张三") << admin << true << QStringList{ask, done} << true;
    QTest::newRow("name with a quote") << QStringLiteral("O'Neil") << admin << true << QStringList{ask, done} << true;
    QTest::newRow("administrator account") << admin << admin << true
                                           << QStringList{ask, QStringLiteral("这是系统管理员帐号，不能删除")} << false;
    QTest::newRow("administrator account, logged in as another")
        << admin << QStringLiteral("张三") << true << QStringList{ask, QStringLiteral("这是系统管理员帐号，不能删除")}
        << false;
    QTest::newRow("the operator logged in") << QStringLiteral("张三") << QStringLiteral("张三") << true
                                            << QStringList{ask, own} << false;
    QTest::newRow("another while logged in") << QStringLiteral("O'Neil") << QStringLiteral("张三") << true
                                             << QStringList{ask, done} << true;
    QTest::newRow("the operator logged in, name held cut") << LongName << LongName << true << QStringList{ask, own}
                                                           << false;
}

// Deleting removes the operator's row and his rights rows, and only those.
void TestAdmin::deleteOperator()
{
    QFETCH(QString, name);
    QFETCH(QString, loggedIn);
    QFETCH(bool, yes);
    QFETCH(QStringList, messages);
    QFETCH(bool, deleted);
    createViaEditor(QStringLiteral("张三"), QStringLiteral("普通用户"));
    createViaEditor(QStringLiteral("O'Neil"), QStringLiteral("销售经理"));
    createViaEditor(LongName, QStringLiteral("普通用户"));
    m_main->setOperator(Gbk::cut(loggedIn, 20), 0);
    m_messages->shown.clear();
    const int users = m_fixture->count(QStringLiteral("select count(*) from admin"));
    const int allRights = m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority"));
    const int ownRights = int(userRights(name).size());
    QCOMPARE(ownRights, 20);

    auto list = openList();
    const qint64 id = userId(name);
    const auto items = child<QTreeWidget>(list, "ListView1")->findItems(name, Qt::MatchExactly, 1);
    QCOMPARE(items.size(), 1);
    child<QTreeWidget>(list, "ListView1")->setCurrentItem(items.first());
    m_messages->answer(yes ? Msg::Answer::Yes : Msg::Answer::No);
    child<QPushButton>(list, "Btn_Del")->click();

    QCOMPARE(m_messages->texts(), messages);
    const Msg::Record &question = m_messages->shown.first();
    QCOMPARE(question.title, QStringLiteral("警告"));
    QCOMPARE(question.icon, Msg::Icon::Information);
    QCOMPARE(question.buttons, Msg::Buttons::YesNoDefaultNo); // Enter never deletes
    if (messages.size() > 1 && !deleted) {
        QCOMPARE(m_messages->last().title, QStringLiteral("警告"));
        QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
    }
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin")), users - int(deleted));
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin where UserID=") + QString::number(id)), int(!deleted));
    QCOMPARE(int(userRights(name).size()), deleted ? 0 : ownRights);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from T_UserAuthority")), allRights - (deleted ? ownRights : 0));
    QCOMPARE(listColumn(child<QTreeWidget>(list, "ListView1"), 1).contains(name), !deleted);
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin where UserID=1")), 1);
}

void TestAdmin::deleteRollsBackOnFailure_data()
{
    QTest::addColumn<QString>("refusal"); // a trigger that refuses one of the deletions
    QTest::newRow("operator's row") << QStringLiteral(
        "create trigger keep before delete on admin begin select raise(abort, '删除被拒绝'); end");
    QTest::newRow("rights rows") << QStringLiteral(
        "create trigger keep before delete on T_UserAuthority begin select raise(abort, '删除被拒绝'); end");
}

// Deleting is all or nothing, wherever it fails.
void TestAdmin::deleteRollsBackOnFailure()
{
    SKIP_ON_SERVER(*m_fixture, "the file engine's own SQL in the check");
    QFETCH(QString, refusal);
    createViaEditor(QStringLiteral("张三"), QStringLiteral("普通用户"));
    m_messages->shown.clear();
    m_fixture->db()->exec(refusal);
    auto list = openList();
    child<QTreeWidget>(list, "ListView1")->setCurrentItem(child<QTreeWidget>(list, "ListView1")->topLevelItem(1));
    m_messages->answer(Msg::Answer::Yes);
    child<QPushButton>(list, "Btn_Del")->click();
    QCOMPARE(m_messages->texts(), (QStringList{QStringLiteral("您确认要删除该用户吗？"), QStringLiteral("删除用户失败!")}));
    QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from admin where UserName='张三'")), 1);
    QCOMPARE(userRights(QStringLiteral("张三")).size(), 20);
    QCOMPARE(listColumn(child<QTreeWidget>(list, "ListView1"), 1), (QStringList{QStringLiteral("Admin"), QStringLiteral("张三")}));
    QVERIFY(!m_data->connection()->inTransaction());
}

// The role editor changes the role's rights at once; operators created afterwards get
// them, operators created before keep theirs.
void TestAdmin::roleRights()
{
    const QString role = QStringLiteral("普通用户");
    createViaEditor(QStringLiteral("老员工"), role);
    m_messages->shown.clear();
    const Rows oldRights = userRights(QStringLiteral("老员工"));
    Rows expected = roleRights(role);
    QVERIFY(!expected.at(0).second);

    auto list = openList();
    showPage(list, "TS_Part");
    child<QTreeWidget>(list, "ListView2")->setCurrentItem(child<QTreeWidget>(list, "ListView2")->topLevelItem(1));
    const QString opened = whenModal([&] { child<QPushButton>(list, "Btn_Edit")->click(); }, [&](QWidget *dialog) {
        auto *w = qobject_cast<TFrm_UserRight *>(dialog);
        QVERIFY(w);
        QCOMPARE(w->EditorKind, QStringLiteral("Part"));
        QCOMPARE(w->EditPartID, 2);
        QCOMPARE(w->windowTitle(), QStringLiteral("编辑操作员"));
        QVERIFY(!pageShown(w, "TS_User"));
        QVERIFY(!pageShown(w, "TS_UserAuth"));
        QVERIFY(pageShown(w, "TS_Part"));
        QVERIFY(pageShown(w, "TS_Authority"));
        QCOMPARE(child<QTabWidget>(w, "PageControl1")->currentWidget(), child<QWidget>(w, "TS_Part"));
        QVERIFY(child<QCheckBox>(w, "CB_User")->isHidden());
        QCOMPARE(child<QLineEdit>(w, "Edit_Part")->text(), role);
        QVERIFY(!child<QLineEdit>(w, "Edit_Part")->isEnabled());
        QVERIFY(child<QPlainTextEdit>(w, "Memo_Part")->toPlainText().startsWith(QStringLiteral("可新增")));
        QVERIFY(child<QPlainTextEdit>(w, "Memo_Part")->isReadOnly());
        QCOMPARE(child<RightsGrid>(w, "DBGridEh2")->rowCount(), 20);
        for (int row = 0; row < expected.size(); ++row) {
            QCOMPARE(child<RightsGrid>(w, "DBGridEh2")->functionName(row), expected.at(row).first);
            QCOMPARE(child<RightsGrid>(w, "DBGridEh2")->authority(row), expected.at(row).second);
        }
        tick(child<RightsGrid>(w, "DBGridEh2"), 0, true);
        tick(child<RightsGrid>(w, "DBGridEh2"), 19, true); // the last change counts too
        child<QPushButton>(w, "Btn_OK")->click(); // nothing more to save for a role
        QVERIFY(w->isVisible());
    });
    QCOMPARE(opened, QStringLiteral("TFrm_UserRight"));
    QVERIFY(m_messages->shown.isEmpty());
    expected[0].second = true;
    expected[19].second = true;
    QCOMPARE(roleRights(role), expected);
    QCOMPARE(roleRights(QStringLiteral("系统管理员")).size(), 20); // other roles untouched
    QCOMPARE(userRights(QStringLiteral("老员工")), oldRights);

    createViaEditor(QStringLiteral("新员工"), role);
    QCOMPARE(userRights(QStringLiteral("新员工")), expected);
    m_main->setOperator(QStringLiteral("新员工"), 1);
    QVERIFY(m_main->M_UserList->isEnabled());
}

// With KEHU_SCREENSHOTS set to a folder, the list window's pages and the editor's kinds
// are saved there.
void TestAdmin::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    const QDir dir(folder);
    createViaEditor(QStringLiteral("张三"), QStringLiteral("普通用户"));
    m_fixture->db()->exec(QStringLiteral("update admin set Remark='销售部业务员' where UserName='张三'"));
    m_fixture->db()->exec(QStringLiteral("insert into admin (UserName, Remark, IsUser) values ('停用者','已离职',0)"));
    auto list = openList();
    QTest::qWait(50);
    QVERIFY(list->grab().save(dir.filePath(QStringLiteral("admin_userlist.png"))));
    showPage(list, "TS_Part");
    QVERIFY(list->grab().save(dir.filePath(QStringLiteral("admin_rolelist.png"))));
    list->close();

    auto added = editor(TFrm_UserRight::UserKind, true, 0, 0);
    QTest::qWait(50);
    QVERIFY(added->grab().save(dir.filePath(QStringLiteral("admin_new.png"))));
    added->close();
    auto edited = editor(TFrm_UserRight::UserKind, false, userId(QStringLiteral("张三")), 0);
    QTest::qWait(50);
    QVERIFY(edited->grab().save(dir.filePath(QStringLiteral("admin_edit.png"))));
    showPage(edited, "TS_UserAuth");
    QVERIFY(edited->grab().save(dir.filePath(QStringLiteral("admin_edit_rights.png"))));
    edited->close();
    auto part = editor(TFrm_UserRight::PartKind, false, 0, 2);
    QTest::qWait(50);
    QVERIFY(part->grab().save(dir.filePath(QStringLiteral("admin_role.png"))));
    showPage(part, "TS_Authority");
    QVERIFY(part->grab().save(dir.filePath(QStringLiteral("admin_role_rights.png"))));
}

QTEST_MAIN(TestAdmin)
#include "tst_admin.moc"
