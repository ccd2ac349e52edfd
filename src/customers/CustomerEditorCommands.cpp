#include "CustomerEditorCommands.h"
#include "TFrm_AddContact.h"
#include "TFrm_AddCust.h"
#include "data/TFrm_Data.h"
#include "ui/Commands.h"
#include "ui/Session.h"

namespace {

// An editor over the session's window, in its mode, freed when it closes.
template <class Editor>
void openEditor(Session *session, EditorMode mode)
{
    Editor editor(session, session->dialogParent());
    editor.setMode(mode);
    editor.exec();
}

} // namespace

void installCustomerEditorCommands(Session *session)
{
    TFrm_Data *data = session->data();
    session->setHandler(QString::fromLatin1(Cmd::AddCust), [session] { openEditor<TFrm_AddCust>(session, EditorMode::Add); });
    // Editing needs a customer to edit: with an empty list the command does nothing.
    session->setHandler(QString::fromLatin1(Cmd::EditCust), [session, data] {
        if (data->Qry_Cust->currentRow() >= 0)
            openEditor<TFrm_AddCust>(session, EditorMode::Edit);
    });
    session->setHandler(QString::fromLatin1(Cmd::AddContact),
                        [session] { openEditor<TFrm_AddContact>(session, EditorMode::Add); });
    session->setHandler(QString::fromLatin1(Cmd::EditContact), [session, data] {
        if (data->Qry_Contact->currentRow() >= 0)
            openEditor<TFrm_AddContact>(session, EditorMode::Edit);
    });
}
