#include "TFrm_Main.h"
#include "TFrm_About.h"
#include "store/ProgramDir.h"
#include "store/SettingKeys.h"
#include "store/queries/Operators.h"
#include "store/queries/Shared.h"
#include "ui/Commands.h"
#include "ui/Guarded.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <stdexcept>

namespace {

TFrm_Main *current = nullptr;

// Marks a menu entry that its own rights slot may hide; a bound entry is visible only
// while its command is visible too.
constexpr char EntryShown[] = "entryShown";
constexpr char BoundCommand[] = "boundCommand";

// One row per command: its name, caption, hint, shortcut and the rights slot that
// enables it (0: always enabled; slot 2 shows or hides instead, see applyRights).
struct CommandRow
{
    QAction *TFrm_Main::*member;
    const char *name;
    const char *caption;
    const char *hint;
    const char *shortcut;
    int slot;
};

#define KEHU_COMMAND(name, caption, hint, shortcut, slot) {&TFrm_Main::name, #name, caption, hint, shortcut, slot}

const CommandRow Commands[] = {
    KEHU_COMMAND(AddCust, "新增&A", "新增", "Ctrl+A", 3),
    KEHU_COMMAND(EditCust, "编辑&E", "编辑", "Ctrl+E", 4),
    KEHU_COMMAND(DelCust, "删除&D", "删除", "Ctrl+D", 5),
    KEHU_COMMAND(AddContact, "新增&A", "新增", "", 3),
    KEHU_COMMAND(EditContact, "编辑&E", "编辑", "", 4),
    KEHU_COMMAND(DelContact, "删除&D", "删除", "", 5),
    KEHU_COMMAND(AddSchedule, "添加&A", "新增", "", 3),
    KEHU_COMMAND(EditSchedule, "编辑&E", "编辑", "", 4),
    KEHU_COMMAND(DelSchedule, "删除&D", "删除", "", 5),
    KEHU_COMMAND(AddDaily, "", "", "", 0),
    KEHU_COMMAND(EditDaily, "", "", "", 0),
    KEHU_COMMAND(DelDaily, "", "", "", 0),
    KEHU_COMMAND(AddGoods, "新增&A", "", "", 3),
    KEHU_COMMAND(EditGoods, "编辑&E", "", "", 4),
    KEHU_COMMAND(DelGoods, "删除&D", "", "", 5),
    KEHU_COMMAND(AddBill, "新增&A", "", "", 3),
    KEHU_COMMAND(EditBill, "编辑&E", "", "", 4),
    KEHU_COMMAND(DelBill, "删除&D", "", "", 5),
    KEHU_COMMAND(SearchCust, "查询", "", "", 6),
    KEHU_COMMAND(P_CustBasic, "客户基础资料", "", "", 7),
    KEHU_COMMAND(P_Envelop, "信封打印", "", "", 7),
    KEHU_COMMAND(P_Label, "信封标签", "", "", 7),
    KEHU_COMMAND(ExportCustCSV, "导出客户为Excel文件", "", "", 8),
    KEHU_COMMAND(ExportContactCSV, "导出联系人为Excel文件", "", "", 8),
    KEHU_COMMAND(ExportCSVSchedule, "导出联系活动为Excel文件", "", "", 8),
    KEHU_COMMAND(ExportEmail, "导出客户电子信箱", "", "", 8),
    KEHU_COMMAND(Cust_CustContact, "客户资料", "", "", 0),
    KEHU_COMMAND(ShowField_Cust, "", "", "", 0),
    KEHU_COMMAND(M_UserList, "用户权限管理", "", "", 1),
    KEHU_COMMAND(M_Company, "用户单位信息", "", "", 1),
    KEHU_COMMAND(M_Backup, "数据库备份、恢复", "", "", 1),
    KEHU_COMMAND(M_CompactDB, "", "", "", 0),
    KEHU_COMMAND(M_ClearData, "数据初始化", "", "", 2),
    KEHU_COMMAND(Cust_Category, "客户类别管理", "", "", 10),
    KEHU_COMMAND(Goods_Category, "商品分类管理", "", "", 0),
    KEHU_COMMAND(M_Other, "其它管理", "", "", 11),
    KEHU_COMMAND(M_Goods, "商品管理", "", "", 0),
    KEHU_COMMAND(M_A_Sale, "销售分析", "", "", 0),
    // Offered by no menu entry or button; other windows may put them where they fit.
    KEHU_COMMAND(Main_Schedule, "联系活动列表", "", "", 0),
    KEHU_COMMAND(Main_Daily, "历史记录", "", "", 0), // named as the diary window it opens
    KEHU_COMMAND(MyCust, "我的客户", "", "", 0),
    KEHU_COMMAND(Cust_Cust, "客户列表", "", "", 0),
    KEHU_COMMAND(Cust_Contact, "联系人列表", "", "", 0),
    KEHU_COMMAND(Help, "帮助文件", "", "", 0),
};

#undef KEHU_COMMAND

// Commands and entries that write to the database: none of them is offered while the
// database can only be read.
const char *const WritingCommands[] = {
    Cmd::AddCust, Cmd::EditCust, Cmd::DelCust, Cmd::AddContact, Cmd::EditContact, Cmd::DelContact,
    Cmd::AddSchedule, Cmd::EditSchedule, Cmd::DelSchedule, Cmd::AddDaily, Cmd::EditDaily, Cmd::DelDaily,
    Cmd::AddGoods, Cmd::EditGoods, Cmd::DelGoods, Cmd::AddBill, Cmd::EditBill, Cmd::DelBill,
    Cmd::M_ClearData, Cmd::Cust_Category, Cmd::Goods_Category, Cmd::M_Other, Cmd::M_UserList, Cmd::M_Company,
    Cmd::M_CompactDB, Cmd::ImportCustomers, Cmd::ChangePassword, Cmd::CompanyEntry};

// Menu entries that rights slot 1 shows or hides.
const char *const SystemEntries[] = {"Sys_Compact", "Sys_User", "sys_Import", "Sys_Company", "Sys_Backup"};

QIcon standardIcon(QStyle::StandardPixmap pixmap)
{
    return QApplication::style()->standardIcon(pixmap);
}

QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), standardIcon(fallback));
}

} // namespace

TFrm_Main::TFrm_Main(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Frm_Main"));
    current = this;
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(m_mdi);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(bar);
    const int widths[] = {150, 250, 50};
    for (int i = 0; i < 3; ++i) {
        m_panels[size_t(i)] = new QLabel(bar);
        m_panels[size_t(i)]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[size_t(i)]->setMinimumWidth(widths[i]);
        bar->addWidget(m_panels[size_t(i)], i == 2 ? 1 : 0);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrm_Main::timerTick);

    startProgram = [](const QString &program) { return QProcess::startDetached(program, {}); };
    openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };

    createCommands();
    createMenus();
    createToolBar();
    createBuiltinHandlers();
}

TFrm_Main::~TFrm_Main()
{
    // Child windows go while the frame is whole: on their way out they still talk to it
    // through its session (the status line).
    delete m_mdi;
    m_mdi = nullptr;
    if (current == this)
        current = nullptr;
}

TFrm_Main *TFrm_Main::instance()
{
    return current;
}

// ---------------------------------------------------------------- commands

void TFrm_Main::createCommands()
{
    for (const CommandRow &row : Commands) {
        const QString name = QString::fromLatin1(row.name);
        auto *action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(name);
        const QString hint = QString::fromUtf8(row.hint);
        if (!hint.isEmpty()) {
            action->setToolTip(hint);
            action->setStatusTip(hint);
        }
        if (*row.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        connect(action, &QAction::triggered, this, [this, name] { runCommand(name); });
        this->*row.member = action;
        m_commands.insert(name, action);
        m_commandOrder.append(name);
    }
    M_Goods->setIcon(standardIcon(QStyle::SP_DialogOpenButton));
    M_A_Sale->setIcon(standardIcon(QStyle::SP_FileDialogDetailedView));
    Cust_CustContact->setIcon(standardIcon(QStyle::SP_DirHomeIcon));
    SearchCust->setIcon(themeIcon("system-search", QStyle::SP_FileDialogContentsView));
}

QAction *TFrm_Main::command(const QString &name) const
{
    return m_commands.value(name);
}

QStringList TFrm_Main::commandNames() const
{
    return m_commandOrder;
}

QAction *TFrm_Main::menuEntry(const QString &name) const
{
    if (QAction *action = command(name))
        return action;
    return findChild<QAction *>(name);
}

const QStringList &TFrm_Main::handlerNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const CommandRow &row : Commands)
            list.append(QString::fromLatin1(row.name));
        for (const char *entry : {Cmd::ChangePassword, Cmd::Relogin, Cmd::Quit, Cmd::ImportCustomers,
                                  Cmd::OpenDatabase, Cmd::DesignEnvelope, Cmd::DesignLabel, Cmd::DesignBill,
                                  Cmd::CompanyEntry, Cmd::PrintLabels, Cmd::Reminders, Cmd::Calculator,
                                  Cmd::TextEditor, Cmd::WriteToAuthor, Cmd::About, Cmd::BatchEdit,
                                  Cmd::CascadeWindows, Cmd::TileWindows, Cmd::CloseAllWindows, Cmd::NextWindow,
                                  Cmd::CloseWindow})
            list.append(QString::fromLatin1(entry));
        return list;
    }();
    return names;
}

void TFrm_Main::setHandler(const QString &name, Handler handler)
{
    if (!handlerNames().contains(name))
        throw std::invalid_argument("no command or menu entry is named " + name.toStdString());
    m_handlers.insert(name, std::move(handler));
    if (m_unavailable.remove(name)) {
        if (QAction *action = menuEntry(name)) {
            action->setVisible(true);
            action->setEnabled(true);
        }
        applyRights();
        updateToolButtons();
    }
}

void TFrm_Main::hideUnhandledCommands()
{
    for (const QString &name : handlerNames()) {
        if (hasHandler(name))
            continue;
        m_unavailable.insert(name);
        if (QAction *action = menuEntry(name)) {
            action->setEnabled(false);
            action->setVisible(false);
        }
    }
    updateToolButtons();
}

// A tool button shows only while it has work: its command, or a menu with a visible entry.
// The print button's face opens the sales analysis; without it, the face opens the menu.
void TFrm_Main::updateToolButtons()
{
    const auto hasVisibleEntry = [](QMenu *menu) {
        for (QAction *action : menu->actions())
            if (action->isVisible())
                return true;
        return false;
    };
    for (QToolButton *button : {TB_Nav, ToolButton6, ToolButton2, ToolButton5, TB_Search}) {
        bool works = true;
        if (button == TB_Search)
            works = hasHandler(QString::fromLatin1(Cmd::SearchCust));
        else if (button == TB_Nav)
            works = hasHandler(QString::fromLatin1(Cmd::Cust_CustContact));
        else if (button == ToolButton5)
            works = hasHandler(QString::fromLatin1(Cmd::M_A_Sale)) || hasVisibleEntry(PopupMenu2);
        else if (QAction *action = button->defaultAction())
            works = !m_unavailable.contains(action->objectName());
        if (button == ToolButton5)
            button->setPopupMode(hasHandler(QString::fromLatin1(Cmd::M_A_Sale)) ? QToolButton::MenuButtonPopup
                                                                               : QToolButton::InstantPopup);
        for (QAction *action : ToolBar1->actions())
            if (ToolBar1->widgetForAction(action) == button)
                action->setVisible(works);
    }
}

QWidget *TFrm_Main::showChildWindow(const std::type_info &type, const std::function<QWidget *()> &create,
                                    bool maximized)
{
    if (QWidget *open = findChildWindow(type)) {
        activateChildWindow(open);
        return open;
    }
    QWidget *window = create();
    addChildWindow(window);
    if (maximized)
        maximizeChildWindow(window);
    return window;
}

bool TFrm_Main::hasHandler(const QString &name) const
{
    return bool(m_handlers.value(name));
}

bool TFrm_Main::runHandler(const QString &name)
{
    const Handler handler = m_handlers.value(name); // a copy: the handler may replace itself
    if (!handler)
        return false;
    guarded(this, handler);
    return true;
}

bool TFrm_Main::runCommand(const QString &name)
{
    QAction *action = command(name);
    if (!action || !action->isEnabled())
        return false;
    return runHandler(name);
}

// ---------------------------------------------------------------- menus

QAction *TFrm_Main::addEntry(QMenu *menu, const char *name, const QString &caption)
{
    auto *entry = new QAction(caption, menu);
    entry->setObjectName(QString::fromLatin1(name));
    entry->setProperty(EntryShown, true);
    menu->addAction(entry);
    const QString handlerName = entry->objectName();
    connect(entry, &QAction::triggered, this, [this, handlerName] { runHandler(handlerName); });
    return entry;
}

// An entry with its own name that shows a command: the command's caption (unless the
// entry has its own), hint, enabled state and visibility, and it runs the command.
QAction *TFrm_Main::addBoundEntry(QMenu *menu, const char *name, QAction *command, const QString &ownCaption)
{
    auto *entry = new QAction(menu);
    entry->setObjectName(QString::fromLatin1(name));
    entry->setProperty(EntryShown, true);
    entry->setProperty(BoundCommand, QVariant::fromValue<QObject *>(command));
    menu->addAction(entry);
    auto follow = [this, entry, command, ownCaption] {
        entry->setText(ownCaption.isEmpty() ? command->text() : ownCaption);
        entry->setIcon(command->icon());
        entry->setToolTip(command->toolTip());
        entry->setStatusTip(command->statusTip());
        entry->setEnabled(command->isEnabled());
        setEntryShown(entry, entry->property(EntryShown).toBool());
    };
    follow();
    connect(command, &QAction::changed, entry, follow);
    connect(entry, &QAction::triggered, command, [command] { command->trigger(); });
    return entry;
}

QMenu *TFrm_Main::addSubmenu(QMenu *menu, const char *name, const QString &caption)
{
    QMenu *submenu = menu->addMenu(caption);
    submenu->setObjectName(QString::fromLatin1(name));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name));
    submenu->menuAction()->setProperty(EntryShown, true);
    return submenu;
}

void TFrm_Main::setEntryShown(QAction *entry, bool shown)
{
    entry->setProperty(EntryShown, shown);
    auto *command = qobject_cast<QAction *>(entry->property(BoundCommand).value<QObject *>());
    entry->setVisible(shown && (!command || command->isVisible()));
}

void TFrm_Main::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *system = bar->addMenu(QStringLiteral("系统设置(&X)"));
    system->setObjectName(QStringLiteral("Menu_System"));
    addBoundEntry(system, "Sys_User", M_UserList);
    addEntry(system, "N31", QStringLiteral("修改密码"));
    addBoundEntry(system, "N27", M_ClearData);
    addEntry(system, "Sys_Relogin", QStringLiteral("重新登录"));
    system->addSeparator();
    QMenu *import = addSubmenu(system, "sys_Import", QStringLiteral("导入数据"));
    addEntry(import, "sss1", QStringLiteral("从Excel导入客户数据"));
    QMenu *exportMenu = addSubmenu(system, "N40", QStringLiteral("导出数据"));
    exportMenu->addAction(ExportCustCSV);
    exportMenu->addAction(ExportContactCSV);
    setEntryShown(exportMenu->menuAction(), false); // never shown
    system->addSeparator();
    addBoundEntry(system, "Sys_Backup", M_Backup);
    addBoundEntry(system, "Sys_Compact", M_CompactDB, QStringLiteral("压缩和修复数据库"));
    system->addSeparator();
    // Never shown, yet Ctrl+O runs it: a hidden action takes no shortcuts, so the window
    // itself carries one that runs the entry.
    QAction *open = addEntry(system, "Sys_Open", QStringLiteral("连接网络数据库"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    setEntryShown(open, false);
    auto *openKey = new QAction(this);
    openKey->setObjectName(QStringLiteral("Sys_OpenKey"));
    openKey->setShortcut(open->shortcut());
    connect(openKey, &QAction::triggered, this, [this] { runHandler(QStringLiteral("Sys_Open")); });
    addAction(openKey);
    QMenu *reports = addSubmenu(system, "N52", QStringLiteral("报表设置"));
    addEntry(reports, "N26", QStringLiteral("信封套打格式设置"));
    addEntry(reports, "N53", QStringLiteral("信封标签打印设置"));
    reports->addSeparator();
    addEntry(reports, "N55", QStringLiteral("销售单据设置"));
    system->addSeparator();
    addEntry(system, "N2", QStringLiteral("退出程序"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *dataMenu = bar->addMenu(QStringLiteral("数据操作(&D)"));
    dataMenu->setObjectName(QStringLiteral("Menu_Data"));
    QMenu *customers = addSubmenu(dataMenu, "N7", QStringLiteral("客户资料"));
    customers->addAction(Cust_CustContact);
    customers->addSeparator();
    customers->addActions({AddCust, EditCust, DelCust});
    customers->addSeparator();
    addBoundEntry(customers, "Sys_Cate", Cust_Category, QStringLiteral("客户分类管理"));
    QMenu *goods = addSubmenu(dataMenu, "N38", QStringLiteral("商品管理"));
    goods->addAction(M_Goods);
    goods->addSeparator();
    goods->addActions({AddGoods, EditGoods, DelGoods});
    goods->addSeparator();
    goods->addAction(Goods_Category);
    QMenu *contacts = addSubmenu(dataMenu, "N23", QStringLiteral("联系人资料"));
    contacts->addActions({AddContact, EditContact, DelContact});
    dataMenu->addSeparator();
    addBoundEntry(dataMenu, "Sys_Other", M_Other);
    dataMenu->addSeparator();
    addEntry(dataMenu, "Sys_Company", QStringLiteral("公司信息"));
    dataMenu->addSeparator();
    addEntry(dataMenu, "N_Awoke", QStringLiteral("联系活动提醒"))->setShortcut(QKeySequence(Qt::Key_F5));
    // The schedule list and the work diary have no entry of their own in the classic
    // menu; they are offered here, beside the reminders.
    dataMenu->addActions({Main_Schedule, Main_Daily});

    QMenu *query = bar->addMenu(QStringLiteral("数据查询(&Q)"));
    query->setObjectName(QStringLiteral("Menu_Query"));
    addBoundEntry(query, "N20", SearchCust);

    QMenu *printing = bar->addMenu(QStringLiteral("报表打印(&R)"));
    printing->setObjectName(QStringLiteral("Menu_Report"));
    printing->addActions({P_Envelop, P_CustBasic});
    addEntry(printing, "N42", QStringLiteral("客户信封标签打印"));

    QMenu *tools = bar->addMenu(QStringLiteral("实用工具(&T)"));
    tools->setObjectName(QStringLiteral("Menu_Tools"));
    addEntry(tools, "N16", QStringLiteral("计算器"));
    addEntry(tools, "N17", QStringLiteral("记事本"));

    // The child windows: arranged, closed, switched, and listed to bring one to the front.
    QMenu *windows = bar->addMenu(QStringLiteral("窗口(&W)"));
    windows->setObjectName(QStringLiteral("Menu_Window"));
    addEntry(windows, Cmd::CascadeWindows, QStringLiteral("层叠窗口(&C)"));
    addEntry(windows, Cmd::TileWindows, QStringLiteral("平铺窗口(&T)"));
    windows->addSeparator();
    addEntry(windows, Cmd::NextWindow, QStringLiteral("下一个窗口(&N)"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    addEntry(windows, Cmd::CloseWindow, QStringLiteral("关闭窗口(&O)"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_W)});
    addEntry(windows, Cmd::CloseAllWindows, QStringLiteral("关闭全部窗口(&A)"));
    m_windowList = windows->addSeparator();
    m_windowList->setObjectName(QStringLiteral("Win_List"));
    connect(windows, &QMenu::aboutToShow, this, &TFrm_Main::listChildWindows);

    QMenu *help = bar->addMenu(QStringLiteral("帮助文件(&H)"));
    help->setObjectName(QStringLiteral("Menu_Help"));
    addEntry(help, "N12", QStringLiteral("给作者写信"));
    help->addSeparator();
    addEntry(help, "N13", QStringLiteral("关于我们"));
}

void TFrm_Main::createToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    auto button = [this](const char *name) {
        auto *tool = new QToolButton(ToolBar1);
        tool->setObjectName(QString::fromLatin1(name));
        tool->setIconSize(QSize(32, 32));
        tool->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        tool->setAutoRaise(true);
        ToolBar1->addWidget(tool);
        return tool;
    };

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({AddCust, EditCust, DelCust});
    TB_Nav = button("TB_Nav");
    TB_Nav->setText(QStringLiteral(" 客户管理 "));
    TB_Nav->setIcon(Cust_CustContact->icon());
    TB_Nav->setMenu(PopupMenu1);
    TB_Nav->setPopupMode(QToolButton::MenuButtonPopup);
    connect(TB_Nav, &QToolButton::clicked, this, [this] { Cust_CustContact->trigger(); });

    ToolButton6 = button("ToolButton6");
    ToolButton6->setDefaultAction(M_Goods);
    ToolBar1->addSeparator();

    ToolButton2 = button("ToolButton2");
    ToolButton2->setDefaultAction(M_A_Sale);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    PopupMenu2->addActions({P_CustBasic, P_Envelop, P_Label});
    ToolButton5 = button("ToolButton5");
    ToolButton5->setText(QStringLiteral("报表打印"));
    ToolButton5->setIcon(themeIcon("document-print", QStyle::SP_FileIcon));
    ToolButton5->setMenu(PopupMenu2);
    ToolButton5->setPopupMode(QToolButton::MenuButtonPopup);
    // The face opens the sales analysis; the arrow offers the print commands.
    connect(ToolButton5, &QToolButton::clicked, this, [this] { runHandler(QStringLiteral("M_A_Sale")); });
    ToolBar1->addSeparator();

    TB_Search = button("TB_Search");
    TB_Search->setText(QStringLiteral("查询客户"));
    TB_Search->setToolTip(QStringLiteral("查询"));
    TB_Search->setStatusTip(QStringLiteral("查询"));
    TB_Search->setIcon(SearchCust->icon());
    // Runs the search directly, so it stays usable when rights disable SearchCust.
    connect(TB_Search, &QToolButton::clicked, this, [this] { runHandler(QStringLiteral("SearchCust")); });
    ToolBar1->addSeparator();
}

void TFrm_Main::createBuiltinHandlers()
{
    setHandler(QStringLiteral("Sys_Relogin"), [this] { Relogin(); });
    setHandler(QStringLiteral("N2"), [this] { close(); });
    setHandler(QStringLiteral("Sys_Company"), [this] { runHandler(QStringLiteral("M_Company")); });
    setHandler(QStringLiteral("N42"), [this] { runHandler(QStringLiteral("P_Label")); });
    setHandler(QStringLiteral("N16"), [this] { startUtility(calculatorPrograms(), QStringLiteral("计算器")); });
    setHandler(QStringLiteral("N17"), [this] { startUtility(editorPrograms(), QStringLiteral("文本编辑器")); });
    setHandler(QStringLiteral("N12"), [this] {
        if (!openUrl(feedbackUrl()))
            Messages::box(this, QStringLiteral("无法打开邮件程序，请直接写信至 ") + supportAddress() + QStringLiteral("。"),
                          QStringLiteral("提醒"), Msg::Icon::Information);
    });
    setHandler(QStringLiteral("N13"), [this] { showAbout(); });
    setHandler(QString::fromLatin1(Cmd::CascadeWindows), [this] { m_mdi->cascadeSubWindows(); });
    setHandler(QString::fromLatin1(Cmd::TileWindows), [this] { m_mdi->tileSubWindows(); });
    setHandler(QString::fromLatin1(Cmd::NextWindow), [this] { m_mdi->activateNextSubWindow(); });
    setHandler(QString::fromLatin1(Cmd::CloseWindow), [this] { m_mdi->closeActiveSubWindow(); });
    setHandler(QString::fromLatin1(Cmd::CloseAllWindows), [this] { m_mdi->closeAllSubWindows(); });
    setHandler(QStringLiteral("Help"), [this] {
        const QString file = ProgramDir::file(QStringLiteral("Help.chm"));
        if (!QFileInfo::exists(file) || !openUrl(QUrl::fromLocalFile(file)))
            Messages::box(this, QStringLiteral("无法打开帮助文件 ") + QDir::toNativeSeparators(file) + QStringLiteral("。"),
                          QStringLiteral("提醒"), Msg::Icon::Information);
    });
}

// ---------------------------------------------------------------- rights

TFrm_Main::Rights_t TFrm_Main::readRights(const QString &operatorName) const
{
    Dataset rows(m_data->connection());
    Operators::openRights(rows, operatorName);
    const int authority = rows.checkedFieldIndex(QStringLiteral("Authority"));
    // Every slot starts off: an operator with fewer rights rows than the one before him
    // (or none, created under a role that has none) must not keep the other's rights.
    Rights_t rights{};
    for (int row = 0; row < rows.recordCount() && row < RightsSlots; ++row)
        rights[size_t(row)] = rows.value(row, authority).toBool();
    return rights;
}

void TFrm_Main::LoadRights()
{
    Rights = readRights(OperatorName);
    applyRights();
}

void TFrm_Main::applyRights()
{
    for (const CommandRow &row : Commands) {
        if (m_unavailable.contains(QString::fromLatin1(row.name)))
            continue; // stays hidden and disabled until it has work
        if (row.slot == 2)
            (this->*row.member)->setVisible(right(2));
        else if (row.slot != 0)
            (this->*row.member)->setEnabled(right(row.slot));
    }
    for (const char *name : SystemEntries)
        setEntryShown(menuEntry(QString::fromLatin1(name)), right(1));

    const bool readOnly = m_data && m_data->isReadOnly();
    for (const char *name : WritingCommands) {
        const QString entry = QString::fromLatin1(name);
        QAction *action = menuEntry(entry);
        if (!action || m_unavailable.contains(entry))
            continue;
        const auto row = std::find_if(std::begin(Commands), std::end(Commands),
                                      [name](const CommandRow &r) { return qstrcmp(r.name, name) == 0; });
        const bool byRights = row == std::end(Commands) || row->slot == 0 || row->slot == 2 || right(row->slot);
        action->setEnabled(byRights && !readOnly);
    }
}

void TFrm_Main::setOperator(const QString &operatorName, int permit)
{
    const Rights_t rights = readRights(operatorName);
    OperatorName = operatorName;
    Timer1->start();
    Permit = permit;
    setStatusPanel(0, QStringLiteral(" 当前操作员: ") + OperatorName);
    Rights = rights;
    applyRights();
}

void TFrm_Main::setStatusPanel(int panel, const QString &text)
{
    m_panels.at(size_t(panel))->setText(text);
}

QString TFrm_Main::statusPanel(int panel) const
{
    return m_panels.at(size_t(panel))->text();
}

// ---------------------------------------------------------------- show sequence and timer

void TFrm_Main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    guarded(this, [this] { showSequence(); });
}

void TFrm_Main::showSequence()
{
    for (const QString &directory : {ProgramDir::file(QStringLiteral("Export")), backupDirectory()}) {
        if (!QDir().mkpath(directory))
            throw std::runtime_error(
                QStringLiteral("无法创建目录 \"%1\"。").arg(QDir::toNativeSeparators(directory)).toStdString());
    }
    Dataset *info = m_data->Qry_SoftInfo;
    Shared::openSoftInfo(*info);
    info->first();
    SoftName = info->text(QStringLiteral("SoftName"));
    Version = info->text(QStringLiteral("Version"));
    setWindowTitle(SoftName + Version);
    setStatusPanel(2, QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    Timer1->start();
    if (showCustomerBrowser)
        showCustomerBrowser();
}

void TFrm_Main::stopReminderTimer()
{
    Timer1->stop();
}

void TFrm_Main::timerTick()
{
    // The reminders window switches the timer off when it is shown.
    if (m_data && Setting::ShowReminders.read(m_data->settings()) == 0)
        runHandler(QStringLiteral("N_Awoke"));
}

// ---------------------------------------------------------------- child windows

QList<QWidget *> TFrm_Main::childWindows() const
{
    QList<QWidget *> windows;
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (sub->widget())
            windows.append(sub->widget());
    return windows;
}

QWidget *TFrm_Main::findChildWindow(const std::type_info &type) const
{
    for (QWidget *window : childWindows())
        if (typeid(*window) == type)
            return window;
    return nullptr;
}

void TFrm_Main::activateChildWindow(QWidget *window)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    if (sub->isMinimized())
        sub->showNormal();
    if (sub->isHidden())
        sub->show();
    if (window->isHidden())
        window->show();
    m_mdi->setActiveSubWindow(sub);
    sub->raise();
    window->setFocus();
}

// The window menu ends with one entry per child window, in the order they were opened,
// the front one ticked; choosing one brings it to the front.
void TFrm_Main::listChildWindows()
{
    QMenu *menu = qobject_cast<QMenu *>(sender());
    if (!menu || !m_windowList)
        return;
    const QList<QAction *> actions = menu->actions();
    for (qsizetype i = actions.indexOf(m_windowList) + 1; i < actions.size(); ++i)
        delete actions.at(i);
    const QList<QWidget *> windows = childWindows();
    m_windowList->setVisible(!windows.isEmpty());
    QWidget *front = m_mdi->activeSubWindow() ? m_mdi->activeSubWindow()->widget() : nullptr;
    int number = 0;
    for (QWidget *window : windows) {
        ++number;
        const QString caption = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle())
                                            : QStringLiteral("%1 %2").arg(number).arg(window->windowTitle());
        QAction *entry = menu->addAction(caption);
        entry->setObjectName(QStringLiteral("Win_Window%1").arg(number));
        entry->setCheckable(true);
        entry->setChecked(window == front);
        QPointer<QWidget> target(window);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target)
                activateChildWindow(target);
        });
    }
}

void TFrm_Main::maximizeChildWindow(QWidget *window)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame->showMaximized();
}

void TFrm_Main::addChildWindow(QWidget *window)
{
    QMdiSubWindow *sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Closing the front window by key belongs to the window menu's entry; each frame's own
    // close entry would make the same key mean several things (and none would run).
    for (QAction *action : sub->actions())
        if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_F4)))
            action->setShortcuts({});
    // A child that closes itself takes its frame with it.
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, sub, &QObject::deleteLater);
    window->show();
    sub->show();
    m_mdi->setActiveSubWindow(sub);
}

// ---------------------------------------------------------------- system menu

void TFrm_Main::Relogin()
{
    const QList<QMdiSubWindow *> children = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        (*it)->close();
    // The closed windows go now, not after the login dialog: their status-line text with them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_data->closeCustomerQueries();
    if (loginDialog)
        loginDialog();
}

void TFrm_Main::showAbout()
{
    TFrm_About about(SoftName.isEmpty() ? Msg::ProgramTitle : SoftName, Version.trimmed(), this);
    about.exec();
}

QString TFrm_Main::findProgram(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        const QString path = QStandardPaths::findExecutable(candidate);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

const QStringList &TFrm_Main::calculatorPrograms()
{
    static const QStringList programs = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                         QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"),
                                         QStringLiteral("xcalc")};
    return programs;
}

const QStringList &TFrm_Main::editorPrograms()
{
    static const QStringList programs = {QStringLiteral("gedit"), QStringLiteral("mousepad"), QStringLiteral("kate"),
                                         QStringLiteral("xed"), QStringLiteral("pluma"), QStringLiteral("leafpad")};
    return programs;
}

void TFrm_Main::startUtility(const QStringList &candidates, const QString &what)
{
    const QString program = findProgram(candidates);
    if (program.isEmpty()) {
        Messages::box(this,
                      QStringLiteral("没有找到%1程序。请安装以下程序之一：%2。").arg(what, candidates.join(QStringLiteral("、"))),
                      QStringLiteral("提醒"), Msg::Icon::Information);
        return;
    }
    if (!startProgram(program))
        Messages::box(this, QStringLiteral("无法启动%1程序 %2。").arg(what, program), QStringLiteral("提醒"),
                      Msg::Icon::Information);
}

QString TFrm_Main::supportAddress()
{
    return QStringLiteral("support@kehu-crm.example.com");
}

QUrl TFrm_Main::feedbackUrl()
{
    return QUrl::fromEncoded("mailto:" + supportAddress().toLatin1() + "?subject="
                             + QUrl::toPercentEncoding(QStringLiteral("意见")));
}

QString TFrm_Main::backupDirectory()
{
    return QDir::homePath() + QStringLiteral("/Backup");
}
