#include "ActivityLogCommands.h"
#include "TFrm_AddDaily.h"
#include "TFrm_Awoke.h"
#include "TFrm_Daily.h"
#include "ui/Commands.h"
#include "ui/Session.h"

#include <QPointer>
#include <memory>

namespace {

// The diary editor, modal over the session's frame, in its mode; freed when it closes.
void runEditor(Session *session, EditorMode mode)
{
    TFrm_AddDaily editor(session, session->dialogParent());
    editor.setMode(mode);
    editor.exec();
}

} // namespace

void installActivityLogCommands(Session *session)
{
    session->setHandler(QString::fromLatin1(Cmd::AddDaily), [session] { runEditor(session, EditorMode::Add); });
    // Also on an empty list: the editor then saves a new entry.
    session->setHandler(QString::fromLatin1(Cmd::EditDaily), [session] { runEditor(session, EditorMode::Edit); });
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
