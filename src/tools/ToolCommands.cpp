#include "ToolCommands.h"
#include "TFrm_Other.h"
#include "TFrm_Softinfo.h"
#include "main/TFrm_Main.h"

void installToolCommands(TFrm_Main *mainWindow)
{
    mainWindow->setHandler(QStringLiteral("M_Other"), [mainWindow] {
        TFrm_Other window(mainWindow->data(), mainWindow);
        window.exec();
    });
    mainWindow->setHandler(QStringLiteral("M_Company"), [mainWindow] {
        TFrm_Softinfo window(mainWindow->data(), mainWindow);
        window.exec();
    });
}
