#include "Startup.h"
#include "GuardedApplication.h"
#include "data/TFrm_Data.h"
#include "TFrm_Login.h"
#include "TFrm_Splash.h"
#include "WindowCommands.h"
#include "main/TFrm_Main.h"

#include <QApplication>
#include <memory>

namespace {

int start(QApplication &app)
{
    auto splash = std::make_unique<TFrm_Splash>();
    splash->show();
    app.processEvents();

    TFrm_Main mainWindow;
    TFrm_Data data;
    mainWindow.setDataModule(&data);
    installWindowCommands(&mainWindow);
    splash.reset();

    if (!data.connectOK())
        return 0;
    TFrm_Login login(&mainWindow, [&mainWindow](const QString &name, int permit) { mainWindow.setOperator(name, permit); });
    login.exec();
    if (!login.LoginOK)
        return 0;
    mainWindow.showMaximized();
    return app.exec();
}

} // namespace

int Startup::run(QApplication &app)
{
    // Whatever start-up throws (a database that opens but lacks a table the data module
    // reads, a settings file that cannot be written) is shown, never an abort.
    try {
        return start(app);
    } catch (...) {
        reportCurrentException();
    }
    return 1;
}
