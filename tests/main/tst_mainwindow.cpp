// The main window: menus and tool bar, gating by rights, child windows, show sequence,
// reminder timer, relogin and the utilities, on real widgets.
#include "TestProgram.h"
#include "app/TFrm_ChangePass.h"
#include "data/TFrm_Data.h"
#include "app/TFrm_Login.h"
#include "main/TFrm_About.h"
#include "main/TFrm_Main.h"
#include "app/WindowCommands.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/SqlText.h"
#include "ui/Messages.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

// A scratch program with the data module and the main window, messages scripted.
struct Fixture
{
    explicit Fixture(const QString &config = {})
    {
        if (!config.isEmpty())
            program.writeConfig(config);
        Messages::install(&messages);
        main = std::make_unique<TFrm_Main>();
        data = std::make_unique<TFrm_Data>();
        main->setDataModule(data.get());
        installSessionDialogs(main.get());
    }
    ~Fixture()
    {
        main.reset();
        data.reset();
        Messages::install(nullptr);
    }
    void exec(const QString &sql) { data->connection()->exec(sql); }
    // An operator with one rights row per entry of rights, in slot order.
    void addOperator(const QString &name, const QString &password, int permit, const QList<bool> &rights)
    {
        exec(QStringLiteral("insert into admin (UserName, Password, PartName, Remark, IsUser, Permit) "
                            "values (%1, %2, '', '', 1, %3)")
                 .arg(SqlText::quoted(name), SqlText::quoted(password))
                 .arg(permit));
        for (int slot = 0; slot < rights.size(); ++slot)
            exec(QStringLiteral("insert into T_UserAuthority (UserName, FunctionName, Authority) values (%1, %2, %3)")
                     .arg(SqlText::quoted(name), SqlText::quoted(QStringLiteral("权限%1").arg(slot + 1)))
                     .arg(rights[slot] ? 1 : 0));
    }
    void logIn(const QString &name, int permit = 0)
    {
        main->OperatorName = name;
        main->Permit = permit;
        main->LoadRights();
    }
    QWidget *widget(const QString &name) const { return main->findChild<QWidget *>(name); }
    QToolButton *button(const QString &name) const { return main->findChild<QToolButton *>(name); }

    TestProgram program;
    ScriptedMessages messages;
    std::unique_ptr<TFrm_Main> main;
    std::unique_ptr<TFrm_Data> data;
};

QList<bool> rightsRows(int count, bool value)
{
    return QList<bool>(count, value);
}

QList<bool> onlySlot(int slot)
{
    QList<bool> rights(TFrm_Main::RightsSlots, false);
    rights[slot - 1] = true;
    return rights;
}

// The menu as text: one line per entry (name, caption, shortcut, hidden mark),
// submenus indented, "-" for a separator.
void outline(const QList<QAction *> &actions, int depth, QStringList &lines)
{
    for (QAction *action : actions) {
        QString line = QString(depth * 2, QLatin1Char(' '));
        if (action->isSeparator()) {
            lines.append(line + QLatin1Char('-'));
            continue;
        }
        if (depth > 0)
            line += action->objectName() + QLatin1Char(' ');
        line += action->text();
        if (!action->shortcut().isEmpty())
            line += QLatin1Char(' ') + action->shortcut().toString(QKeySequence::PortableText);
        if (!action->isVisible())
            line += QStringLiteral(" [hidden]");
        lines.append(line);
        if (action->menu())
            outline(action->menu()->actions(), depth + 1, lines);
    }
}

const char *const ExpectedMenus = R"(系统设置(&X)
  Sys_User 用户权限管理
  N31 修改密码
  N27 数据初始化
  Sys_Relogin 重新登录
  -
  sys_Import 导入数据
    sss1 从Excel导入客户数据
  N40 导出数据 [hidden]
    ExportCustCSV 导出客户为Excel文件
    ExportContactCSV 导出联系人为Excel文件
  -
  Sys_Backup 数据库备份、恢复
  Sys_Compact 压缩和修复数据库
  -
  Sys_Open 连接网络数据库 Ctrl+O [hidden]
  N52 报表设置
    N26 信封套打格式设置
    N53 信封标签打印设置
    -
    N55 销售单据设置
  -
  N2 退出程序 Ctrl+Q
数据操作(&D)
  N7 客户资料
    Cust_CustContact 客户资料
    -
    AddCust 新增&A Ctrl+A
    EditCust 编辑&E Ctrl+E
    DelCust 删除&D Ctrl+D
    -
    Sys_Cate 客户分类管理
  N38 商品管理
    M_Goods 商品管理
    -
    AddGoods 新增&A
    EditGoods 编辑&E
    DelGoods 删除&D
    -
    Goods_Category 商品分类管理
  N23 联系人资料
    AddContact 新增&A
    EditContact 编辑&E
    DelContact 删除&D
  -
  Sys_Other 其它管理
  -
  Sys_Company 公司信息
  -
  N_Awoke 联系活动提醒 F5
  Main_Schedule 联系活动列表
  Main_Daily 历史记录
数据查询(&Q)
  N20 查询
报表打印(&R)
  P_Envelop 信封打印
  P_CustBasic 客户基础资料
  N42 客户信封标签打印
实用工具(&T)
  N16 计算器
  N17 记事本
窗口(&W)
  Win_Cascade 层叠窗口(&C)
  Win_Tile 平铺窗口(&T)
  -
  Win_Next 下一个窗口(&N) Ctrl+Tab
  Win_Close 关闭窗口(&O) Ctrl+F4
  Win_CloseAll 关闭全部窗口(&A)
  -
帮助文件(&H)
  N12 给作者写信
  -
  N13 关于我们)";

// Commands switched by rights, with the slot that switches them.
const QList<QPair<const char *, int>> GatedCommands = {
    {"M_Company", 1}, {"M_Backup", 1}, {"M_UserList", 1},
    {"AddCust", 3}, {"AddContact", 3}, {"AddSchedule", 3}, {"AddBill", 3}, {"AddGoods", 3},
    {"EditCust", 4}, {"EditContact", 4}, {"EditSchedule", 4}, {"EditBill", 4}, {"EditGoods", 4},
    {"DelCust", 5}, {"DelContact", 5}, {"DelSchedule", 5}, {"DelGoods", 5}, {"DelBill", 5},
    {"SearchCust", 6},
    {"P_CustBasic", 7}, {"P_Envelop", 7}, {"P_Label", 7},
    {"ExportCustCSV", 8}, {"ExportContactCSV", 8}, {"ExportEmail", 8}, {"ExportCSVSchedule", 8},
    {"Cust_Category", 10}, {"M_Other", 11},
};
// Menu entries with their own name bound to a gated command.
const QList<QPair<const char *, int>> GatedEntries = {
    {"Sys_User", 1}, {"Sys_Backup", 1}, {"Sys_Cate", 10}, {"Sys_Other", 11}, {"N20", 6},
};
const QStringList SystemEntries = {"Sys_Compact", "Sys_User", "sys_Import", "Sys_Company", "Sys_Backup"};

// Tiny child windows for ShowChild; each notes whether the reference named it when shown.
QStringList closedChildren;
class ChildA : public QWidget
{
public:
    static inline QPointer<ChildA> *reference = nullptr;
    bool referencedWhenShown = false;
protected:
    void showEvent(QShowEvent *) override { referencedWhenShown = reference && reference->data() == this; }
    void closeEvent(QCloseEvent *) override { closedChildren.append(QStringLiteral("A")); }
};
class ChildB : public QWidget
{
protected:
    void closeEvent(QCloseEvent *) override { closedChildren.append(QStringLiteral("B")); }
};

// Runs act on the modal dialog of class Dialog as soon as it is shown.
template <class Dialog>
void whenShown(QWidget *owner, std::function<void(Dialog *)> act)
{
    QTimer::singleShot(0, owner, [owner, act] {
        auto *dialog = owner->findChild<Dialog *>();
        QVERIFY(dialog);
        act(dialog);
    });
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void menuBar();
    void toolBar();
    void gating_data();
    void gating();
    void noRightsKeepsUsableEntries();
    void noRightsCarryOverFromThePreviousOperator();
    void handlersRunOnlyWhenRegistered();
    void unknownHandlerNamesAreRefused();
    void readOnlyDatabaseOffersNoSaves();
    void everyEntryShownHasWork();
    void shortcuts_data();
    void shortcuts();
    void showChildReusesOneWindowPerClass();
    void windowMenu();
    void showSequence();
    void showSequenceStopsWhenDirectoryFails();
    void timerOpensReminders_data();
    void timerOpensReminders();
    void reloginClosesChildrenAndKeepsContextOnFailure();
    void reloginReplacesOperator();
    void systemDialogs();
    void utilities_data();
    void utilities();
    void feedbackMail();

private:
    QTemporaryDir m_home;
};

void tst_MainWindow::initTestCase()
{
    // The backup folder lies in the home directory: keep it in a scratch one.
    QVERIFY(m_home.isValid());
    QApplication::setQuitOnLastWindowClosed(false);
    qputenv("HOME", m_home.path().toLocal8Bit());
}

void tst_MainWindow::menuBar()
{
    Fixture f;
    QStringList lines;
    outline(f.main->menuBar()->actions(), 0, lines);
    QCOMPARE(lines.join(QLatin1Char('\n')), QString::fromUtf8(ExpectedMenus));

    // Menu entries with a command are that very command, or follow it.
    QVERIFY(f.main->menuEntry("N7")->menu()->actions().contains(f.main->AddCust));
    QCOMPARE(f.main->menuEntry("Sys_Cate")->text(), QStringLiteral("客户分类管理"));
    f.main->Cust_Category->setEnabled(false);
    QVERIFY(!f.main->menuEntry("Sys_Cate")->isEnabled());
    f.main->M_ClearData->setVisible(false);
    QVERIFY(!f.main->menuEntry("N27")->isVisible());
    QCOMPARE(f.main->AddCust->toolTip(), QStringLiteral("新增"));
    QCOMPARE(f.main->AddSchedule->statusTip(), QStringLiteral("新增"));
}

void tst_MainWindow::toolBar()
{
    Fixture f;
    QToolBar *bar = f.main->findChild<QToolBar *>("ToolBar1");
    QVERIFY(bar);
    QStringList lines;
    for (QAction *action : bar->actions()) {
        if (action->isSeparator()) {
            lines.append(QStringLiteral("-"));
            continue;
        }
        auto *tool = qobject_cast<QToolButton *>(bar->widgetForAction(action));
        QVERIFY(tool);
        QString line = tool->objectName() + QLatin1Char('|') + tool->text();
        if (tool->menu()) {
            line += QLatin1Char('|') + tool->menu()->objectName();
            for (QAction *entry : tool->menu()->actions())
                line += QLatin1Char(' ') + entry->objectName();
        }
        lines.append(line);
        QCOMPARE(tool->iconSize(), QSize(32, 32));
        QCOMPARE(tool->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!tool->icon().isNull());
    }
    QCOMPARE(lines, (QStringList{QStringLiteral("TB_Nav| 客户管理 |PopupMenu1 AddCust EditCust DelCust"),
                                 QStringLiteral("ToolButton6|商品管理"), QStringLiteral("-"),
                                 QStringLiteral("ToolButton2|销售分析"),
                                 QStringLiteral("ToolButton5|报表打印|PopupMenu2 P_CustBasic P_Envelop P_Label"),
                                 QStringLiteral("-"), QStringLiteral("TB_Search|查询客户"), QStringLiteral("-")}));
    QCOMPARE(f.button("TB_Search")->toolTip(), QStringLiteral("查询"));
    // The drop-down menus hold the commands themselves.
    QCOMPARE(f.main->PopupMenu2->actions().first(), f.main->P_CustBasic);
    QCOMPARE(f.button("ToolButton6")->defaultAction(), f.main->M_Goods);
}

void tst_MainWindow::gating_data()
{
    QTest::addColumn<QList<bool>>("rights");
    QTest::addColumn<QList<int>>("slotsOn");

    QTest::newRow("no rights rows") << QList<bool>{} << QList<int>{};
    QTest::newRow("all off") << rightsRows(20, false) << QList<int>{};
    for (int slot = 1; slot <= 12; ++slot)
        QTest::addRow("only slot %d", slot) << onlySlot(slot) << QList<int>{slot};
    QList<int> all;
    for (int slot = 1; slot <= 20; ++slot)
        all.append(slot);
    QTest::newRow("all on") << rightsRows(20, true) << all;
}

void tst_MainWindow::gating()
{
    QFETCH(QList<bool>, rights);
    QFETCH(QList<int>, slotsOn);
    Fixture f;
    f.addOperator(QStringLiteral("操作员"), QString(), 0, rights);
    f.logIn(QStringLiteral("操作员"));

    for (int slot = 1; slot <= TFrm_Main::RightsSlots; ++slot)
        QCOMPARE(f.main->right(slot), slotsOn.contains(slot));
    for (const auto &[name, slot] : GatedCommands) {
        QAction *command = f.main->command(QString::fromLatin1(name));
        QVERIFY2(command, name);
        QVERIFY2(command->isEnabled() == slotsOn.contains(slot), name);
        QVERIFY2(command->isVisible(), name);
    }
    for (const auto &[name, slot] : GatedEntries)
        QVERIFY2(f.main->menuEntry(QString::fromLatin1(name))->isEnabled() == slotsOn.contains(slot), name);
    for (const QString &name : SystemEntries)
        QVERIFY2(f.main->menuEntry(name)->isVisible() == slotsOn.contains(1), qPrintable(name));
    QCOMPARE(f.main->M_ClearData->isVisible(), slotsOn.contains(2));
    QCOMPARE(f.main->menuEntry("N27")->isVisible(), slotsOn.contains(2));
    // Never shown, whatever the rights.
    QVERIFY(!f.main->menuEntry("N40")->isVisible());
    QVERIFY(!f.main->menuEntry("Sys_Open")->isVisible());
}

void tst_MainWindow::noRightsKeepsUsableEntries()
{
    Fixture f;
    f.addOperator(QStringLiteral("O'Neil"), QString(), 1, rightsRows(20, false));
    f.logIn(QStringLiteral("O'Neil"), 1);
    QStringList ran;
    for (const QString &name : f.main->commandNames())
        f.main->setHandler(name, [&ran, name] { ran.append(name); });
    f.main->show();

    // Disabled commands run nowhere: not from the menu, the pop-up menus or a window.
    f.main->AddCust->trigger();
    f.main->menuEntry("N20")->trigger();
    f.main->PopupMenu2->actions().first()->trigger();
    QVERIFY(!f.main->runCommand(QStringLiteral("EditCust")));
    QCOMPARE(ran, QStringList{});

    for (const char *name : {"M_Goods", "Goods_Category", "M_A_Sale", "Cust_CustContact", "N42", "N13"})
        QVERIFY2(f.main->menuEntry(QString::fromLatin1(name))->isEnabled(), name);
    for (const char *name : {"TB_Nav", "ToolButton6", "ToolButton2", "ToolButton5", "TB_Search"})
        QVERIFY2(f.button(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(!f.main->menuEntry("Sys_Company")->isVisible());

    QTest::mouseClick(f.button("TB_Search"), Qt::LeftButton);
    QTest::mouseClick(f.button("ToolButton5"), Qt::LeftButton, {}, QPoint(8, 8)); // the face, not the arrow
    QTest::mouseClick(f.button("TB_Nav"), Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseClick(f.button("ToolButton6"), Qt::LeftButton);
    QTest::mouseClick(f.button("ToolButton2"), Qt::LeftButton);
    f.main->menuEntry("N42")->trigger();
    f.main->menuEntry("Goods_Category")->trigger();
    QCOMPARE(ran, (QStringList{"SearchCust", "M_A_Sale", "Cust_CustContact", "M_Goods", "M_A_Sale", "P_Label",
                               "Goods_Category"}));
    // Without the view-all right the customer list holds the operator's own rows.
    QVERIFY(!f.main->scope().viewAll);
    QCOMPARE(f.main->scope().operatorName, QStringLiteral("O'Neil"));
}

// The rights slots are read afresh at every login: an operator with fewer rights rows than
// the one before him, or with none at all (created under a role without rights), holds no
// right of the previous operator.
void tst_MainWindow::noRightsCarryOverFromThePreviousOperator()
{
    Fixture f;
    f.addOperator(QStringLiteral("十一行"), QString(), 0, rightsRows(11, true));
    f.addOperator(QStringLiteral("五行"), QString(), 0, rightsRows(5, false));
    f.addOperator(QStringLiteral("无行"), QString(), 0, {});
    f.logIn(QStringLiteral("十一行"));
    f.logIn(QStringLiteral("五行"));

    for (int slot = 1; slot <= TFrm_Main::RightsSlots; ++slot)
        QVERIFY2(!f.main->right(slot), qPrintable(QString::number(slot)));
    QVERIFY(!f.main->AddCust->isEnabled());
    QVERIFY(!f.main->M_UserList->isEnabled());
    QVERIFY(!f.main->SearchCust->isEnabled());
    QVERIFY(!f.main->ExportEmail->isEnabled());
    QVERIFY(!f.main->M_Other->isEnabled());
    QVERIFY(!f.main->scope().viewAll);

    f.logIn(QStringLiteral("十一行"));
    f.logIn(QStringLiteral("无行"));
    for (int slot = 1; slot <= TFrm_Main::RightsSlots; ++slot)
        QVERIFY2(!f.main->right(slot), qPrintable(QString::number(slot)));
}

// A database that can only be read: every command that would write is off whatever the
// rights, reading commands stay; a writable database gives them back.
void tst_MainWindow::readOnlyDatabaseOffersNoSaves()
{
    Fixture f;
    installWindowCommands(f.main.get());
    f.addOperator(QStringLiteral("全权"), QString(), 0, rightsRows(20, true));
    const QString path = f.data->databasePath();
    f.data->switchDatabase(path, true);
    QVERIFY(f.data->isReadOnly());
    f.logIn(QStringLiteral("全权"));
    for (const char *name : {"AddCust", "EditCust", "DelCust", "AddContact", "DelSchedule", "AddDaily", "M_Other",
                             "Cust_Category", "M_UserList", "N31"})
        QVERIFY2(!f.main->menuEntry(QString::fromLatin1(name))->isEnabled(), name);
    for (const char *name : {"SearchCust", "Cust_CustContact", "ExportEmail", "Main_Schedule"})
        QVERIFY2(f.main->menuEntry(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(!f.main->runCommand(QStringLiteral("AddCust")));

    f.data->switchDatabase(path);
    QVERIFY(!f.data->isReadOnly());
    f.logIn(QStringLiteral("全权"));
    for (const char *name : {"AddCust", "EditCust", "DelCust", "AddDaily", "M_Other", "N31"})
        QVERIFY2(f.main->menuEntry(QString::fromLatin1(name))->isEnabled(), name);
}

void tst_MainWindow::unknownHandlerNamesAreRefused()
{
    Fixture f;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, f.main->setHandler(QStringLiteral("AddCus"), [] {}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, f.main->setHandler(QStringLiteral("N99"), [] {}));
    f.main->setHandler(QStringLiteral("AddCust"), [] {});
    QVERIFY(f.main->hasHandler(QStringLiteral("AddCust")));
}

// With every window's commands installed, no menu entry, tool button or command that a user
// can see runs nothing: what has no work yet is hidden and disabled.
void tst_MainWindow::everyEntryShownHasWork()
{
    Fixture f;
    installWindowCommands(f.main.get());
    f.addOperator(QStringLiteral("全权"), QString(), 0, rightsRows(20, true));
    f.logIn(QStringLiteral("全权"));

    for (const QString &name : f.main->commandNames()) {
        QAction *command = f.main->command(name);
        if (!f.main->hasHandler(name)) {
            QVERIFY2(!command->isVisible() && !command->isEnabled(), qPrintable(name));
            QVERIFY(!f.main->runCommand(name));
        }
    }
    const std::function<void(QMenu *)> walk = [&](QMenu *menu) {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            if (action->menu()) {
                walk(action->menu());
                continue;
            }
            QString name = action->objectName();
            if (auto *bound = qobject_cast<QAction *>(action->property("boundCommand").value<QObject *>()))
                name = bound->objectName();
            QVERIFY2(f.main->hasHandler(name), qPrintable(action->text() + QLatin1Char(' ') + name));
        }
    };
    for (QAction *top : f.main->menuBar()->actions())
        walk(top->menu());
    const QToolBar *bar = f.main->findChild<QToolBar *>(QStringLiteral("ToolBar1"));
    for (QAction *action : bar->actions()) {
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
        if (!button || !action->isVisible())
            continue;
        const bool hasMenuEntry = button->menu() && std::any_of(button->menu()->actions().cbegin(), button->menu()->actions().cend(),
                                                                [](QAction *a) { return a->isVisible(); });
        const bool facesWork = button->defaultAction() ? f.main->hasHandler(button->defaultAction()->objectName())
                                                       : button->popupMode() == QToolButton::InstantPopup ? hasMenuEntry : true;
        QVERIFY2(facesWork, qPrintable(button->objectName()));
    }
}

void tst_MainWindow::handlersRunOnlyWhenRegistered()
{
    Fixture f;
    // Commands of windows that are not there yet do nothing.
    QVERIFY(!f.main->runHandler(QStringLiteral("M_Goods")));
    f.main->M_Goods->trigger();
    f.main->menuEntry("sss1")->trigger();
    QCOMPARE(f.messages.shown.size(), 0);

    // A failing handler reaches the default error report and nothing escapes.
    f.main->setHandler(QStringLiteral("sss1"), [] { throw DbError(QStringLiteral("拒绝")); });
    f.main->menuEntry("sss1")->trigger();
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.last().kind, Msg::Kind::ErrorReport);
    QCOMPARE(f.messages.last().text, QStringLiteral("拒绝"));

    // Sys_Compact runs M_CompactDB; Sys_Company runs the handler of M_Company.
    QStringList ran;
    f.main->setHandler(QStringLiteral("M_CompactDB"), [&] { ran.append(QStringLiteral("compact")); });
    f.main->setHandler(QStringLiteral("M_Company"), [&] { ran.append(QStringLiteral("company")); });
    f.main->menuEntry("Sys_Compact")->trigger();
    f.main->menuEntry("Sys_Company")->trigger();
    QCOMPARE(ran, (QStringList{"compact", "company"}));
}

void tst_MainWindow::shortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("handler");
    QTest::newRow("Ctrl+O on the hidden entry") << (Qt::CTRL | Qt::Key_O).toCombined() << QStringLiteral("Sys_Open");
    QTest::newRow("F5 reminders") << int(Qt::Key_F5) << QStringLiteral("N_Awoke");
    QTest::newRow("Ctrl+A add customer") << (Qt::CTRL | Qt::Key_A).toCombined() << QStringLiteral("AddCust");
    QTest::newRow("Ctrl+D delete customer") << (Qt::CTRL | Qt::Key_D).toCombined() << QStringLiteral("DelCust");
    QTest::newRow("Ctrl+Q quit") << (Qt::CTRL | Qt::Key_Q).toCombined() << QStringLiteral("N2");
}

void tst_MainWindow::shortcuts()
{
    QFETCH(int, key);
    QFETCH(QString, handler);
    Fixture f;
    f.logIn(QStringLiteral("Admin"));
    QStringList ran;
    f.main->setHandler(handler, [&ran, handler] { ran.append(handler); });
    f.main->show();
    QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    QTest::keyClick(f.main.get(), combination.key(), combination.keyboardModifiers());
    QCOMPARE(ran, QStringList{handler});
}

void tst_MainWindow::showChildReusesOneWindowPerClass()
{
    Fixture f;
    f.main->show();
    QPointer<ChildA> a;
    QPointer<ChildB> b;
    ChildA::reference = &a;
    ChildA *first = f.main->ShowChild(a);
    QVERIFY(first);
    QCOMPARE(a.data(), first);
    QVERIFY(first->referencedWhenShown);
    QVERIFY(first->isVisible());

    // A second call finds the open window: restored from minimised and in front.
    auto *frame = qobject_cast<QMdiSubWindow *>(first->parentWidget());
    QVERIFY(frame);
    frame->showMinimized();
    f.main->ShowChild(b);
    QPointer<ChildA> again;
    QCOMPARE(f.main->ShowChild(again), first);
    QCOMPARE(again.data(), first);
    QVERIFY(!frame->isMinimized());
    QCOMPARE(f.main->mdiArea()->activeSubWindow(), frame);
    QCOMPARE(f.main->childWindows().size(), 2);

    // Closing the window clears the reference; the next call makes a new one. A child
    // that closes itself takes its frame along.
    frame->close();
    QTRY_VERIFY(a.isNull());
    QTRY_COMPARE(f.main->childWindows().size(), 1);
    QVERIFY(f.main->ShowChild(a) != nullptr);
    QCOMPARE(f.main->childWindows().size(), 2);
    b->close();
    QTRY_VERIFY(b.isNull());
    QTRY_COMPARE(f.main->mdiArea()->subWindowList().size(), 1);
    ChildA::reference = nullptr;
}

// The window menu lists the child windows (the front one ticked) and brings the one chosen
// to the front; Ctrl+Tab goes to the next, Ctrl+F4 closes the front one, and the entries
// cascade, tile and close them all.
void tst_MainWindow::windowMenu()
{
    Fixture f;
    f.main->resize(900, 600);
    f.main->show();
    QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
    QPointer<ChildA> a;
    QPointer<ChildB> b;
    f.main->ShowChild(a)->setWindowTitle(QStringLiteral("客户信息"));
    f.main->ShowChild(b)->setWindowTitle(QStringLiteral("联系活动列表"));
    QMdiArea *area = f.main->mdiArea();
    QCOMPARE(area->activeSubWindow()->widget(), b.data());

    auto *menu = f.main->findChild<QMenu *>(QStringLiteral("Menu_Window"));
    QVERIFY(menu);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    QStringList listed;
    for (QAction *action : menu->actions())
        if (action->objectName().startsWith(QLatin1String("Win_Window")))
            listed.append(action->text() + (action->isChecked() ? QStringLiteral(" *") : QString()));
    QCOMPARE(listed, (QStringList{QStringLiteral("&1 客户信息"), QStringLiteral("&2 联系活动列表 *")}));
    menu->findChild<QAction *>(QStringLiteral("Win_Window1"))->trigger();
    QCOMPARE(area->activeSubWindow()->widget(), a.data());
    QMetaObject::invokeMethod(menu, "aboutToShow"); // listed again, not twice
    int entries = 0;
    for (QAction *action : menu->actions())
        entries += action->objectName().startsWith(QLatin1String("Win_Window"));
    QCOMPARE(entries, 2);

    QTest::keyClick(f.main.get(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(area->activeSubWindow()->widget(), b.data());
    f.main->menuEntry(QStringLiteral("Win_Tile"))->trigger();
    f.main->menuEntry(QStringLiteral("Win_Cascade"))->trigger();
    QVERIFY(a && b);

    QTest::keyClick(f.main.get(), Qt::Key_F4, Qt::ControlModifier);
    QTRY_VERIFY(b.isNull());
    QVERIFY(a);
    f.main->ShowChild(b);
    f.main->menuEntry(QStringLiteral("Win_CloseAll"))->trigger();
    QTRY_VERIFY(a.isNull() && b.isNull());
    QTRY_VERIFY(area->subWindowList().isEmpty());
}

void tst_MainWindow::showSequence()
{
    Fixture f;
    int browserOpened = 0;
    f.main->showCustomerBrowser = [&] { ++browserOpened; };
    QVERIFY(!f.main->Timer1->isActive());
    f.main->show();

    QVERIFY(QFileInfo(f.program.dir() + QStringLiteral("Export")).isDir());
    QVERIFY(QFileInfo(m_home.path() + QStringLiteral("/Backup")).isDir());
    QCOMPARE(f.main->windowTitle(), QStringLiteral("客户管理系统 V1.0"));
    QCOMPARE(f.main->statusPanel(2), QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    QVERIFY(f.main->Timer1->isActive());
    QCOMPARE(browserOpened, 1);

    // Only the first show runs it.
    f.main->hide();
    f.main->show();
    QCOMPARE(browserOpened, 1);
}

void tst_MainWindow::showSequenceStopsWhenDirectoryFails()
{
    Fixture f;
    QFile blocker(f.program.dir() + QStringLiteral("Export")); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    int browserOpened = 0;
    f.main->showCustomerBrowser = [&] { ++browserOpened; };
    f.main->show();

    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.last().kind, Msg::Kind::ErrorReport);
    QVERIFY(f.messages.last().text.contains(QStringLiteral("Export")));
    QVERIFY(f.main->windowTitle() != QStringLiteral("客户管理系统 V1.0"));
    QVERIFY(f.main->statusPanel(2).isEmpty());
    QVERIFY(!f.main->Timer1->isActive());
    QCOMPARE(browserOpened, 0);
}

void tst_MainWindow::timerOpensReminders_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<bool>("opens");
    QTest::newRow("awoke 0") << QStringLiteral("[otherInfo]\nawoke=0\n") << true;
    QTest::newRow("awoke 1") << QStringLiteral("[otherInfo]\nawoke=1\n") << false;
    QTest::newRow("awoke -1") << QStringLiteral("[OtherInfo]\nAwoke=-1\n") << false;
    QTest::newRow("no setting") << QString() << false;
}

void tst_MainWindow::timerOpensReminders()
{
    QFETCH(QString, config);
    QFETCH(bool, opens);
    Fixture f(config);
    QCOMPARE(f.main->Timer1->interval(), 1000);
    QVERIFY(!f.main->Timer1->isActive());
    f.main->Timer1->setInterval(20); // the test need not wait whole seconds
    int opened = 0;
    // The reminders window switches the timer off when it is shown.
    f.main->setHandler(QStringLiteral("N_Awoke"), [&] { ++opened; f.main->Timer1->stop(); });
    f.main->Timer1->start();
    if (opens) {
        QTRY_COMPARE(opened, 1);
        QVERIFY(!f.main->Timer1->isActive());
    } else {
        QTest::qWait(200);
        QCOMPARE(opened, 0);
        QVERIFY(f.main->Timer1->isActive());
    }
}

void tst_MainWindow::reloginClosesChildrenAndKeepsContextOnFailure()
{
    Fixture f;
    f.addOperator(QStringLiteral("张三"), QStringLiteral("123"), 1, rightsRows(20, false));
    f.main->setOperator(QStringLiteral("Admin"), 0);
    f.main->show();
    QPointer<ChildA> a;
    QPointer<ChildB> b;
    f.main->ShowChild(a);
    f.main->ShowChild(b);
    closedChildren.clear();

    bool checked = false;
    whenShown<TFrm_Login>(f.main.get(), [&](TFrm_Login *login) {
        QVERIFY(login->isModal());
        QCOMPARE(login->parentWidget(), f.main.get());
        QCOMPARE(closedChildren, (QStringList{"B", "A"})); // last opened first
        child<QComboBox>(login, "Combo_User")->setCurrentIndex(child<QComboBox>(login, "Combo_User")->findText(QStringLiteral("张三")));
        QTest::keyClicks(child<QLineEdit>(login, "Edit_Pass"), QStringLiteral("321"));
        QTest::mouseClick(child<QPushButton>(login, "Btn_ok"), Qt::LeftButton);
        QVERIFY(login->isVisible());
        QTest::mouseClick(child<QPushButton>(login, "Btn_Exit"), Qt::LeftButton);
        checked = true;
    });
    f.main->menuEntry("Sys_Relogin")->trigger();
    QVERIFY(checked);

    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("密码错误，请重新输入密码！")});
    QCOMPARE(f.main->OperatorName, QStringLiteral("Admin"));
    QCOMPARE(f.main->Permit, 0);
    QCOMPARE(f.main->statusPanel(0), QStringLiteral(" 当前操作员: Admin"));
    for (const auto &[name, slot] : GatedCommands)
        QVERIFY2(f.main->command(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(f.main->M_ClearData->isVisible());
    // The children stay closed, and the dialog is gone.
    QTRY_VERIFY(a.isNull() && b.isNull());
    QVERIFY(f.main->childWindows().isEmpty());
    QTRY_VERIFY(!f.main->findChild<TFrm_Login *>());
}

void tst_MainWindow::reloginReplacesOperator()
{
    Fixture f;
    f.addOperator(QStringLiteral("张三"), QStringLiteral("123"), 1, onlySlot(6));
    f.main->setOperator(QStringLiteral("Admin"), 0);
    f.main->Timer1->stop();

    whenShown<TFrm_Login>(f.main.get(), [](TFrm_Login *login) {
        child<QComboBox>(login, "Combo_User")->setCurrentIndex(child<QComboBox>(login, "Combo_User")->findText(QStringLiteral("张三")));
        QTest::keyClicks(child<QLineEdit>(login, "Edit_Pass"), QStringLiteral("123"));
        QTest::mouseClick(child<QPushButton>(login, "Btn_ok"), Qt::LeftButton);
    });
    f.main->Relogin();

    QCOMPARE(f.messages.shown.size(), 0);
    QCOMPARE(f.main->OperatorName, QStringLiteral("张三"));
    QCOMPARE(f.main->Permit, 1);
    QCOMPARE(f.main->statusPanel(0), QStringLiteral(" 当前操作员: 张三"));
    QVERIFY(f.main->Timer1->isActive());
    QVERIFY(f.main->SearchCust->isEnabled());
    QVERIFY(!f.main->AddCust->isEnabled());
    QVERIFY(!f.main->menuEntry("Sys_User")->isVisible());
}

void tst_MainWindow::systemDialogs()
{
    Fixture f;
    f.main->show();
    QString seen;
    whenShown<TFrm_About>(f.main.get(), [&](TFrm_About *about) {
        seen = about->windowTitle() + QLatin1Char('|') + about->Lbl_Product->text() + QLatin1Char('|')
               + about->Lbl_Version->text() + QLatin1Char('|') + QString::number(about->isModal());
        QVERIFY(!about->Lbl_Description->text().isEmpty());
        QTest::mouseClick(about->Btn_OK, Qt::LeftButton);
    });
    f.main->menuEntry("N13")->trigger();
    QCOMPARE(seen, QStringLiteral("关于我们|客户管理系统|版本：V1.0|1"));

    seen.clear();
    whenShown<TFrm_ChangePass>(f.main.get(), [&](TFrm_ChangePass *dialog) {
        seen = dialog->windowTitle() + QLatin1Char('|') + QString::number(dialog->isModal());
        QTest::mouseClick(child<QPushButton>(dialog, "btn_exit"), Qt::LeftButton);
    });
    f.main->menuEntry("N31")->trigger();
    QCOMPARE(seen, QStringLiteral("修改密码|1"));
    QTRY_VERIFY(!f.main->findChild<TFrm_ChangePass *>());

    // N2 closes the main window.
    f.main->menuEntry("N2")->trigger();
    QVERIFY(!f.main->isVisible());
}

void tst_MainWindow::utilities_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("message");

    QTest::newRow("calculator, first of the list wins")
        << "N16" << QStringList{"xcalc", "kcalc"} << true << "kcalc" << QString();
    QTest::newRow("editor") << "N17" << QStringList{"leafpad"} << true << "leafpad" << QString();
    QTest::newRow("no calculator") << "N16" << QStringList{"gedit"} << true << QString()
        << "没有找到计算器程序。请安装以下程序之一：gnome-calculator、kcalc、galculator、qalculate-gtk、xcalc。";
    QTest::newRow("no editor") << "N17" << QStringList{} << true << QString()
        << "没有找到文本编辑器程序。请安装以下程序之一：gedit、mousepad、kate、xed、pluma、leafpad。";
    QTest::newRow("start refused") << "N17" << QStringList{"gedit"} << false << "gedit"
        << "无法启动文本编辑器程序 %1。";
}

void tst_MainWindow::utilities()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, installed);
    QFETCH(bool, starts);
    QFETCH(QString, started);
    QFETCH(QString, message);
    Fixture f;
    QTemporaryDir bin;
    for (const QString &name : installed) {
        QFile program(bin.filePath(name));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    QStringList runs;
    f.main->startProgram = [&](const QString &program) { runs.append(program); return starts; };
    f.main->menuEntry(entry)->trigger();
    qputenv("PATH", path);

    const QString startedPath = started.isEmpty() ? QString() : bin.filePath(started);
    QCOMPARE(runs, startedPath.isEmpty() ? QStringList{} : QStringList{startedPath});
    if (message.isEmpty()) {
        QCOMPARE(f.messages.shown.size(), 0);
    } else {
        QCOMPARE(f.messages.texts(),
                 QStringList{message.contains(QLatin1String("%1")) ? message.arg(startedPath) : message});
        QCOMPARE(f.messages.last().title, QStringLiteral("提醒"));
    }
}

void tst_MainWindow::feedbackMail()
{
    Fixture f;
    QList<QUrl> opened;
    f.main->openUrl = [&](const QUrl &url) { opened.append(url); return true; };
    f.main->menuEntry("N12")->trigger();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().scheme(), QStringLiteral("mailto"));
    QCOMPARE(opened.first().path(), TFrm_Main::supportAddress());
    QCOMPARE(QUrlQuery(opened.first()).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("意见"));
    QVERIFY(opened.first().toEncoded().endsWith("?subject=%E6%84%8F%E8%A7%81"));
    QCOMPARE(f.messages.shown.size(), 0);

    // Without a mail program the operator learns the address.
    f.main->openUrl = [](const QUrl &) { return false; };
    f.main->menuEntry("N12")->trigger();
    QCOMPARE(f.messages.shown.size(), 1);
    QVERIFY(f.messages.last().text.contains(TFrm_Main::supportAddress()));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
