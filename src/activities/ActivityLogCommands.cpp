#include "ActivityLogCommands.h"
#include "TFrm_AddDaily.h"
#include "TFrm_Awoke.h"
#include "TFrm_Daily.h"
#include "main/TFrm_Main.h"

#include <QPointer>
#include <memory>

namespace {

struct ActivityWindows
{
    QPointer<TFrm_Daily> Frm_Daily;
    QPointer<TFrm_Awoke> Frm_Awoke;
};

} // namespace

void installActivityLogCommands(TFrm_Main *mainWindow)
{
    auto windows = std::make_shared<ActivityWindows>();
    mainWindow->setHandler(QStringLiteral("AddDaily"), [mainWindow] { execEditor<TFrm_AddDaily>(mainWindow, EditorMode::Add); });
    // Also on an empty list: the editor then saves a new entry.
    mainWindow->setHandler(QStringLiteral("EditDaily"), [mainWindow] { execEditor<TFrm_AddDaily>(mainWindow, EditorMode::Edit); });
    mainWindow->setHandler(QStringLiteral("Main_Daily"), [mainWindow, windows] { mainWindow->ShowChild(windows->Frm_Daily); });
    mainWindow->setHandler(QStringLiteral("N_Awoke"), [mainWindow, windows] {
        // One reminders window at a time, whoever asks for it.
        if (windows->Frm_Awoke)
            return;
        TFrm_Awoke reminders(mainWindow, mainWindow);
        windows->Frm_Awoke = &reminders;
        reminders.exec();
    });
}
