#include "ToolCommands.h"
#include "TFrm_Other.h"
#include "TFrm_Softinfo.h"
#include "ui/Commands.h"
#include "ui/Session.h"

void installToolCommands(Session *session)
{
    session->setHandler(QString::fromLatin1(Cmd::M_Other), [session] {
        TFrm_Other window(session, session->dialogParent());
        window.exec();
    });
    session->setHandler(QString::fromLatin1(Cmd::M_Company), [session] {
        TFrm_Softinfo window(session, session->dialogParent());
        window.exec();
    });
}
