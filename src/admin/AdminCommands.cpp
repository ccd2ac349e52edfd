#include "AdminCommands.h"
#include "TFrm_UserList.h"
#include "ui/Commands.h"
#include "ui/Session.h"

void installAdminCommands(Session *session)
{
    session->setHandler(QString::fromLatin1(Cmd::M_UserList), [session] {
        TFrm_UserList window(session);
        window.exec();
    });
}
