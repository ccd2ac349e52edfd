#include "DataToolCommands.h"
#include "TFrm_Import.h"
#include "ui/Commands.h"
#include "ui/Session.h"

void installDataToolCommands(Session *session)
{
    session->setHandler(QString::fromLatin1(Cmd::ImportCustomers), [session] { TFrm_Import::importCommand(session); });
}
