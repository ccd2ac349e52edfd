#include "Startup.h"
#include "data/TFrm_Data.h"
#include "TFrm_Login.h"
#include "TFrm_Splash.h"
#include "WindowCommands.h"
#include "main/TFrm_Main.h"

#include <QApplication>

int Startup::run(QApplication &app)
{
    auto *splash = new TFrm_Splash;
    splash->show();
    app.processEvents();

    TFrm_Main mainWindow;
    TFrm_Data data;
    mainWindow.setDataModule(&data);
    installWindowCommands(&mainWindow);
    delete splash;

    if (!data.connectOK())
        return 0;
    TFrm_Login login(&mainWindow, &data);
    login.exec();
    if (!login.LoginOK)
        return 0;
    mainWindow.showMaximized();
    return app.exec();
}
