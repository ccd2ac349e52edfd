#include "CustomerEditorCommands.h"
#include "TFrm_AddContact.h"
#include "TFrm_AddCust.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"

void installCustomerEditorCommands(TFrm_Main *mainWindow)
{
    TFrm_Data *data = mainWindow->data();
    mainWindow->setHandler(QStringLiteral("AddCust"), [mainWindow] {
        execEditor<TFrm_AddCust>(mainWindow, EditorMode::Add);
    });
    // Editing needs a customer to edit: with an empty list the command does nothing.
    mainWindow->setHandler(QStringLiteral("EditCust"), [mainWindow, data] {
        if (data->Qry_Cust->currentRow() >= 0)
            execEditor<TFrm_AddCust>(mainWindow, EditorMode::Edit);
    });
    mainWindow->setHandler(QStringLiteral("AddContact"), [mainWindow] {
        execEditor<TFrm_AddContact>(mainWindow, EditorMode::Add);
    });
    mainWindow->setHandler(QStringLiteral("EditContact"), [mainWindow, data] {
        if (data->Qry_Contact->currentRow() >= 0)
            execEditor<TFrm_AddContact>(mainWindow, EditorMode::Edit);
    });
}
