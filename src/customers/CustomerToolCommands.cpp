#include "CustomerToolCommands.h"
#include "TFrm_BatchEdit.h"
#include "TFrm_Custom.h"
#include "TFrm_Email.h"
#include "TFrm_Field.h"
#include "TFrm_S_Cust.h"
#include "main/GridExport.h"
#include "ui/DataGrid.h"
#include "ui/Commands.h"
#include "ui/Session.h"

#include <QPointer>
#include <memory>

void installCustomerToolCommands(Session *session)
{
    // The open column chooser, so the command never opens a second one.
    auto chooser = std::make_shared<QPointer<TFrm_Field>>();

    session->setHandler(QString::fromLatin1(Cmd::SearchCust), [session] {
        TFrm_S_Cust dialog(session);
        dialog.exec();
    });
    session->setHandler(QString::fromLatin1(Cmd::ShowField_Cust), [session, chooser] {
        if (!chooser->isNull())
            return;
        TFrm_Field dialog(session->data(), QStringLiteral("Custom"), session->dialogParent());
        *chooser = &dialog;
        dialog.exec();
    });
    session->setHandler(QString::fromLatin1(Cmd::ExportEmail), [session] {
        TFrm_Email dialog(session->data(), session->dialogParent());
        dialog.exec();
    });
    // The grid exports work on the browser's grids; the browser opens first when it is closed.
    const auto exportGrid = [session](const char *gridName, const QString &fileName) {
        auto *browser = session->dialogParent()->findChild<TFrm_Custom *>();
        if (!browser) {
            session->runHandler(QString::fromLatin1(Cmd::Cust_CustContact));
            browser = session->dialogParent()->findChild<TFrm_Custom *>();
        }
        if (browser)
            GridExport::exportGrid(session->dialogParent(), browser->findChild<DataGrid *>(QString::fromLatin1(gridName)), fileName);
    };
    session->setHandler(QString::fromLatin1(Cmd::ExportCustCSV), [exportGrid] { exportGrid("Grid_Cust", QStringLiteral("客户资料")); });
    session->setHandler(QString::fromLatin1(Cmd::ExportContactCSV), [exportGrid] { exportGrid("Grid_Contact", QStringLiteral("联系人")); });
    // The batch edit works on the rows selected in the open browser.
    session->setHandler(QString::fromLatin1(Cmd::BatchEdit), [session] {
        auto *browser = session->dialogParent()->findChild<TFrm_Custom *>();
        if (!browser)
            return;
        TFrm_BatchEdit dialog(session->data(), browser, session->dialogParent());
        dialog.exec();
    });
}
