#include "ScheduleCommands.h"
#include "TFrm_AddSchedule.h"
#include "TFrm_Schedule.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"

#include <QPointer>
#include <memory>

void installScheduleCommands(TFrm_Main *mainWindow)
{
    TFrm_Data *data = mainWindow->data();
    mainWindow->setHandler(QStringLiteral("AddSchedule"), [mainWindow] { execEditor<TFrm_AddSchedule>(mainWindow, EditorMode::Add); });
    // Editing needs a schedule to edit: with an empty list the command does nothing.
    mainWindow->setHandler(QStringLiteral("EditSchedule"), [mainWindow, data] {
        if (data->Qry_Schedule->currentRow() >= 0)
            execEditor<TFrm_AddSchedule>(mainWindow, EditorMode::Edit);
    });

    auto list = std::make_shared<QPointer<TFrm_Schedule>>();
    mainWindow->setHandler(QStringLiteral("Main_Schedule"), [mainWindow, list] {
        mainWindow->ShowChildMaximized(*list);
    });
}
