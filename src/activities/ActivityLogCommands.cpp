#include "ActivityLogCommands.h"
#include "TFrm_AddDaily.h"
#include "TFrm_Awoke.h"
#include "TFrm_Daily.h"
#include "ui/Commands.h"
#include "ui/RecordEditor.h"
#include "ui/Session.h"

#include <QPointer>
#include <memory>

void installActivityLogCommands(Session *session)
{
    session->setHandler(QString::fromLatin1(Cmd::AddDaily), [session] { execEditor<TFrm_AddDaily>(session, EditorMode::Add); });
    // Also on an empty list: the editor then saves a new entry.
    session->setHandler(QString::fromLatin1(Cmd::EditDaily), [session] { execEditor<TFrm_AddDaily>(session, EditorMode::Edit); });
    session->setHandler(QString::fromLatin1(Cmd::Main_Daily), [session] {
        session->showChild<TFrm_Daily>([session] { return new TFrm_Daily(session); });
    });
    auto open = std::make_shared<QPointer<TFrm_Awoke>>();
    session->setHandler(QString::fromLatin1(Cmd::Reminders), [session, open] {
        // One reminders window at a time, whoever asks for it.
        if (*open)
            return;
        TFrm_Awoke reminders(session, session->dialogParent());
        *open = &reminders;
        reminders.exec();
    });
}
