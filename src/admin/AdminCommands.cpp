#include "AdminCommands.h"
#include "TFrm_UserList.h"
#include "main/TFrm_Main.h"

void installAdminCommands(TFrm_Main *mainWindow)
{
    mainWindow->setHandler(QStringLiteral("M_UserList"), [mainWindow] {
        TFrm_UserList window(mainWindow->data(), mainWindow);
        window.exec();
    });
}
