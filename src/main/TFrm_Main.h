#pragma once

#include "data/TFrm_Data.h"
#include "ui/Session.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <array>
#include <functional>
#include <type_traits>
#include <typeinfo>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class QUrl;

// The frame window: child windows, commands, menus and tool bar, operator context,
// gating of commands by rights and the reminder timer.
//
// Every command is one QAction (objectName = command name) shared by the menu
// entries and buttons that show it; other windows put the same QAction on their own
// menus and buttons. What a command does is its handler: the windows of the
// subsystems register theirs with setHandler() as they come into being, so a command
// whose window does not exist yet does nothing. Menu entries that run no command
// (sss1, Sys_Open, N26, N53, N55, N_Awoke, ...) take handlers the same way, by their
// own name.
class TFrm_Main : public QMainWindow, public Session
{
    Q_OBJECT
public:
    static constexpr int RightsSlots = 20;
    using Handler = std::function<void()>;
    using Rights_t = std::array<bool, RightsSlots>;

    explicit TFrm_Main(QWidget *parent = nullptr);
    ~TFrm_Main() override;
    static TFrm_Main *instance();

    void setDataModule(TFrm_Data *data) { m_data = data; }
    TFrm_Data *data() const override { return m_data; }

    // --- the session that windows see
    QString operatorName() const override { return OperatorName; }
    int permit() const override { return Permit; }
    bool hasRight(Right r) const override { return right(int(r)); }
    void stopReminderTimer() override;
    QWidget *dialogParent() const override { return const_cast<TFrm_Main *>(this); }
    QWidget *showChildWindow(const std::type_info &type, const std::function<QWidget *()> &create,
                             bool maximized) override;

    // --- commands and menu entries
    // A command by its name (AddCust, M_Goods, ...); nullptr for an unknown name.
    QAction *command(const QString &name) const override;
    QStringList commandNames() const;
    // Any action of the window by objectName: a command, a menu entry (N31,
    // Sys_Relogin, Sys_User, ...) or a submenu (N7, sys_Import, N40, N52, ...).
    QAction *menuEntry(const QString &name) const;
    // Gives a command or menu entry its work; replaces an earlier handler. A name that is
    // neither a command nor a menu entry with work of its own (see Commands.h) throws
    // std::invalid_argument: a misspelt name fails at once instead of doing nothing.
    void setHandler(const QString &name, Handler handler) override;
    // Every name that may take a handler.
    static const QStringList &handlerNames();
    // Called once every window has registered its work: a command or entry that still has
    // no handler is hidden and disabled, so no menu entry or button does nothing.
    void hideUnhandledCommands();
    bool isUnavailable(const QString &name) const { return m_unavailable.contains(name); }
    bool hasHandler(const QString &name) const;
    // Runs a handler directly, enabled or not (TB_Search runs SearchCust so). Failures go to
    // the default error report. Returns false when nothing is registered under the name.
    bool runHandler(const QString &name) override;
    // Runs a command's handler only while the command is enabled (grid double clicks).
    bool runCommand(const QString &name) override;

    QAction *AddCust, *EditCust, *DelCust;
    QAction *AddContact, *EditContact, *DelContact;
    QAction *AddSchedule, *EditSchedule, *DelSchedule;
    QAction *AddDaily, *EditDaily, *DelDaily;
    QAction *AddGoods, *EditGoods, *DelGoods;
    QAction *AddBill, *EditBill, *DelBill;
    QAction *SearchCust;
    QAction *P_CustBasic, *P_Envelop, *P_Label;
    QAction *ExportCustCSV, *ExportContactCSV, *ExportCSVSchedule, *ExportEmail;
    QAction *Cust_CustContact, *ShowField_Cust;
    QAction *M_UserList, *M_Company, *M_Backup, *M_CompactDB, *M_ClearData;
    QAction *Cust_Category, *Goods_Category, *M_Other, *M_Goods, *M_A_Sale;
    // Commands that no menu entry or button offers.
    QAction *Main_Schedule, *Main_Daily, *MyCust, *Cust_Cust, *Cust_Contact, *Help;

    QToolBar *ToolBar1;
    QToolButton *TB_Nav, *ToolButton6, *ToolButton2, *ToolButton5, *TB_Search;
    QMenu *PopupMenu1, *PopupMenu2;

    // --- operator context and rights
    // Reads the operator's rights rows in key order into the slots, then gates the commands.
    void LoadRights();
    // The slots after reading the rights rows of an operator; slots after the operator's
    // last row keep the value they have now. Throws DbError; changes nothing.
    Rights_t readRights(const QString &operatorName) const;
    // Switches the commands and menu entries on and off by the current slots.
    void applyRights();
    // A successful login: everything that can fail (reading the rights) is done before the
    // operator context changes, so a failure leaves the previous operator in force.
    void setOperator(const QString &operatorName, int permit);
    bool right(int slot) const { return slot >= 1 && slot <= RightsSlots && Rights[size_t(slot - 1)]; }

    void setStatusPanel(int panel, const QString &text) override;
    QString statusPanel(int panel) const override;

    QString OperatorName;
    int Permit = 0;
    Rights_t Rights{};
    // Report fields read by the contact-variable callbacks.
    ReportContactOptions reportContact;
    // Product name and version from T_SoftInfo, read by the show sequence.
    QString SoftName, Version;

    QTimer *Timer1;
    QMdiArea *mdiArea() const { return m_mdi; }

    // --- child windows
    // Opens a child window inside the frame, at most one per class: an open one is restored
    // when minimised, shown and brought to the front; otherwise create() makes a new one.
    // The reference names the window before it is shown, so that its show steps can reach it.
    template <class Window, class Factory>
    Window *ShowChild(QPointer<Window> &reference, Factory &&create)
    {
        if (auto *open = dynamic_cast<Window *>(findChildWindow(typeid(Window)))) {
            reference = open;
            activateChildWindow(open);
            return open;
        }
        Window *window = create();
        reference = window;
        addChildWindow(window);
        return window;
    }
    template <class Window>
    Window *ShowChild(QPointer<Window> &reference)
    {
        return ShowChild(reference, [this] {
            if constexpr (std::is_constructible_v<Window, TFrm_Main *>)
                return new Window(this);
            else
                return new Window;
        });
    }
    // ShowChild for the working windows that fill the frame when they first open.
    template <class Window>
    Window *ShowChildMaximized(QPointer<Window> &reference)
    {
        const bool isNew = findChildWindow(typeid(Window)) == nullptr;
        Window *window = ShowChild(reference);
        if (isNew)
            maximizeChildWindow(window);
        return window;
    }
    // The open child windows in the order they were opened.
    QList<QWidget *> childWindows() const;

    // Hook of the show sequence: opens the customer browser (its window registers it).
    Handler showCustomerBrowser;

    // --- platform hooks (tests put recorders here)
    std::function<bool(const QString &program)> startProgram;
    std::function<bool(const QUrl &url)> openUrl;
    // The first of the candidates found on the search path; empty when none is installed.
    static QString findProgram(const QStringList &candidates);
    static const QStringList &calculatorPrograms();
    static const QStringList &editorPrograms();
    static QString supportAddress();
    // The mail to the maker: "mailto:" address with the subject "意见", percent-encoded.
    static QUrl feedbackUrl();
    // Where backups go by default: "Backup" in the user's home.
    static QString backupDirectory();

    // --- system menu work
    // Closes every child window and the customer queries, then asks for a login
    // (loginDialog, which the start-up provides).
    void Relogin();
    Handler loginDialog;
    void showAbout();
    // Starts the desktop's calculator or text editor; a message tells when none is installed.
    void startUtility(const QStringList &candidates, const QString &what);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void createBuiltinHandlers();
    QAction *addEntry(QMenu *menu, const char *name, const QString &caption);
    QAction *addBoundEntry(QMenu *menu, const char *name, QAction *command, const QString &ownCaption = {});
    QMenu *addSubmenu(QMenu *menu, const char *name, const QString &caption);
    void setEntryShown(QAction *entry, bool shown);
    void updateToolButtons();
    void showSequence();
    void timerTick();

    QWidget *findChildWindow(const std::type_info &type) const;
    void activateChildWindow(QWidget *window);
    void addChildWindow(QWidget *window);
    void maximizeChildWindow(QWidget *window);
    void listChildWindows();

    TFrm_Data *m_data = nullptr;
    QMdiArea *m_mdi;
    std::array<QLabel *, 3> m_panels{};
    QHash<QString, QAction *> m_commands;
    QStringList m_commandOrder;
    QHash<QString, Handler> m_handlers;
    QSet<QString> m_unavailable;
    bool m_shownOnce = false;
    QAction *m_windowList = nullptr; // the separator after which the window menu lists the windows
};
