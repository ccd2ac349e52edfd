#include "CustomerToolCommands.h"
#include "TFrm_BatchEdit.h"
#include "TFrm_Custom.h"
#include "TFrm_Email.h"
#include "TFrm_Field.h"
#include "TFrm_S_Cust.h"
#include "main/TFrm_Main.h"

#include <QPointer>
#include <memory>

void installCustomerToolCommands(TFrm_Main *mainWindow)
{
    TFrm_Main *main = mainWindow;
    // The open column chooser, so the command never opens a second one.
    auto chooser = std::make_shared<QPointer<TFrm_Field>>();

    main->setHandler(QStringLiteral("SearchCust"), [main] {
        TFrm_S_Cust dialog(main);
        dialog.exec();
    });
    main->setHandler(QStringLiteral("ShowField_Cust"), [main, chooser] {
        if (!chooser->isNull())
            return;
        TFrm_Field dialog(main->data(), QStringLiteral("Custom"), main);
        *chooser = &dialog;
        dialog.exec();
    });
    main->setHandler(QStringLiteral("ExportEmail"), [main] {
        TFrm_Email dialog(main->data(), main);
        dialog.exec();
    });
    // The batch edit works on the rows selected in the open browser.
    main->setHandler(QStringLiteral("BatchEdit"), [main] {
        TFrm_Custom *browser = main->findChild<TFrm_Custom *>();
        if (!browser)
            return;
        TFrm_BatchEdit dialog(main->data(), browser, main);
        dialog.exec();
    });
}
