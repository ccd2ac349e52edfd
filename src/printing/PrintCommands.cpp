#include "PrintCommands.h"

#include "TFrm_Designer.h"
#include "ui/Commands.h"
#include "ui/Session.h"

void installPrintCommands(Session *session, TFrm_P_LabelGB::CustomerCodes codes)
{
    auto printDialog = [session, codes](const char *kind) {
        return [session, codes, kind] {
            TFrm_P_LabelGB dialog(session, codes, session->dialogParent());
            dialog.setPrintKind(QString::fromLatin1(kind));
            dialog.exec();
        };
    };
    session->setHandler(QString::fromLatin1(Cmd::P_Label), printDialog("1"));
    session->setHandler(QString::fromLatin1(Cmd::P_Envelop), printDialog("2"));
    session->setHandler(QString::fromLatin1(Cmd::P_CustBasic), printDialog("3"));
    auto design = [session](const char *report) {
        return [session, report] { ReportDesign::open(session->dialogParent(), session->data(), QString::fromLatin1(report)); };
    };
    session->setHandler(QString::fromLatin1(Cmd::DesignEnvelope), design("fr_Envelop"));
    session->setHandler(QString::fromLatin1(Cmd::DesignLabel), design("fr_EnveLabel"));
    session->setHandler(QString::fromLatin1(Cmd::DesignBill), design("fr_Bills"));
}
