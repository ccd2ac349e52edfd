#include "CustomerEditorCommands.h"
#include "TFrm_AddContact.h"
#include "TFrm_AddCust.h"
#include "data/TFrm_Data.h"
#include "ui/Commands.h"
#include "ui/RecordEditor.h"
#include "ui/Session.h"

void installCustomerEditorCommands(Session *session)
{
    TFrm_Data *data = session->data();
    session->setHandler(QString::fromLatin1(Cmd::AddCust), [session] { execEditor<TFrm_AddCust>(session, EditorMode::Add); });
    // Editing needs a customer to edit: with an empty list the command does nothing.
    session->setHandler(QString::fromLatin1(Cmd::EditCust), [session, data] {
        if (data->Qry_Cust->currentRow() >= 0)
            execEditor<TFrm_AddCust>(session, EditorMode::Edit);
    });
    session->setHandler(QString::fromLatin1(Cmd::AddContact),
                        [session] { execEditor<TFrm_AddContact>(session, EditorMode::Add); });
    session->setHandler(QString::fromLatin1(Cmd::EditContact), [session, data] {
        if (data->Qry_Contact->currentRow() >= 0)
            execEditor<TFrm_AddContact>(session, EditorMode::Edit);
    });
}
