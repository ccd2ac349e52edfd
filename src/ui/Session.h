#pragma once

#include "store/queries/OperatorScope.h"

#include <QString>
#include <functional>
#include <typeinfo>

class QAction;
class QWidget;
class TFrm_Data;

// The 20 rights slots of an operator, slot k being the k-th rights row in key order.
// What a slot stands for is fixed by its position, so the values are the slot numbers.
enum class Right : int {
    SystemAdmin = 1,      // users, company, backup, compaction, import
    ClearData = 2,        // shows the data-initialisation entry
    Add = 3,
    Edit = 4,
    Delete = 5,
    SearchCustomers = 6,
    Print = 7,
    ExportAndViewAll = 8, // exports, and every operator's customers, contacts, schedules
    Unused9 = 9,
    CustomerCategories = 10,
    LookupLists = 11,
    Unused12 = 12, Unused13, Unused14, Unused15, Unused16, Unused17, Unused18, Unused19, Unused20,
};
inline constexpr int RightsSlots = 20;

// What a subsystem window may ask of the program around it: who is working, with which
// rights, the shared queries, the commands, the status bar and the child-window area.
// The main window implements it; windows never depend on the main window itself.
class Session
{
public:
    virtual ~Session() = default;

    virtual QString operatorName() const = 0;
    virtual int permit() const = 0; // 1: may change and delete only the own records
    virtual bool hasRight(Right right) const = 0;
    OperatorScope scope() const { return {operatorName(), hasRight(Right::ExportAndViewAll)}; }

    virtual TFrm_Data *data() const = 0;

    // A command by its name (see Commands.h); nullptr for an unknown name.
    virtual QAction *command(const QString &name) const = 0;
    // Runs a command's handler only while the command is enabled.
    virtual bool runCommand(const QString &name) = 0;
    // Runs a handler whether its command is enabled or not.
    virtual bool runHandler(const QString &name) = 0;
    // Gives a command (a Cmd:: name) its work; an unknown name throws std::invalid_argument.
    virtual void setHandler(const QString &name, std::function<void()> handler) = 0;

    virtual void setStatusPanel(int panel, const QString &text) = 0;
    virtual QString statusPanel(int panel) const = 0;

    // The reminders window, once shown, stops the timer that opens it; a login starts it again.
    virtual void stopReminderTimer() = 0;

    // The window that dialogs are opened over.
    virtual QWidget *dialogParent() const = 0;

    // Child windows: at most one per class inside the frame. An open one is brought to the
    // front; otherwise create() makes it and the frame shows it (filling the frame when
    // maximized is set). Returns the window.
    virtual QWidget *showChildWindow(const std::type_info &type, const std::function<QWidget *()> &create,
                                     bool maximized) = 0;

    template <class Window, class Factory>
    Window *showChild(Factory &&create, bool maximized = false)
    {
        return static_cast<Window *>(showChildWindow(typeid(Window), std::forward<Factory>(create), maximized));
    }
};
