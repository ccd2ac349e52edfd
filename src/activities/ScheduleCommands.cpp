#include "ScheduleCommands.h"
#include "TFrm_AddSchedule.h"
#include "TFrm_Schedule.h"
#include "data/TFrm_Data.h"
#include "main/GridExport.h"
#include "ui/DataGrid.h"
#include "ui/Commands.h"
#include "ui/RecordEditor.h"
#include "ui/Session.h"

void installScheduleCommands(Session *session)
{
    TFrm_Data *data = session->data();
    session->setHandler(QString::fromLatin1(Cmd::AddSchedule), [session] { execEditor<TFrm_AddSchedule>(session, EditorMode::Add); });
    // Editing needs a schedule to edit: with an empty list the command does nothing.
    session->setHandler(QString::fromLatin1(Cmd::EditSchedule), [session, data] {
        if (data->Qry_Schedule->currentRow() >= 0)
            execEditor<TFrm_AddSchedule>(session, EditorMode::Edit);
    });
    session->setHandler(QString::fromLatin1(Cmd::Main_Schedule), [session] {
        session->showChild<TFrm_Schedule>([session] { return new TFrm_Schedule(session); }, true);
    });
    // The export works on the schedule list's grid, opening the list first when it is closed.
    session->setHandler(QString::fromLatin1(Cmd::ExportCSVSchedule), [session] {
        auto *list = session->showChild<TFrm_Schedule>([session] { return new TFrm_Schedule(session); }, true);
        GridExport::exportGrid(session->dialogParent(), list->findChild<DataGrid *>(QStringLiteral("DBGridEh1")),
                               QStringLiteral("联系活动"));
    });
}
