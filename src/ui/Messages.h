#pragma once

#include <QList>
#include <QQueue>
#include <QString>

class QWidget;

// The program's three kinds of message and its default error report. Windows never
// call QMessageBox themselves: they go through Messages, so that tests can put a
// scripted stand-in in place of the real boxes.
namespace Msg {

inline const QString ProgramTitle = QStringLiteral("客户管理系统");

enum class Icon { None, Information, Warning, Error, Question };
// YesNoDefaultNo and OkCancelDefaultCancel: the same buttons with 否 / 取消 the default, for
// every question whose 是 or 确定 deletes, clears or throws away work, so that Enter never
// destroys anything by itself.
enum class Buttons { Ok, YesNo, OkCancel, YesNoDefaultNo, OkCancelDefaultCancel };
inline bool isYesNo(Buttons buttons) { return buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo; }
inline bool isOkCancel(Buttons buttons) { return buttons == Buttons::OkCancel || buttons == Buttons::OkCancelDefaultCancel; }
// Whether the button that Enter presses is the one that keeps everything as it is.
inline bool defaultsToNo(Buttons buttons) { return buttons == Buttons::YesNoDefaultNo || buttons == Buttons::OkCancelDefaultCancel; }
enum class Answer { Ok, Cancel, Yes, No };
enum class Kind { Box, Dialog, Confirm = Dialog, Plain, ErrorReport };

// The caption the toolkit's message dialog gives each icon.
QString dialogCaption(Icon icon);

struct Record
{
    Kind kind;
    QString title;
    QString text;
    Icon icon;
    Buttons buttons;
    Answer answer;
};

} // namespace Msg

class MessageService
{
public:
    virtual ~MessageService() = default;
    // A message box with an explicit title, icon and buttons.
    virtual Msg::Answer box(QWidget *parent, const QString &text, const QString &title, Msg::Icon icon,
                            Msg::Buttons buttons) = 0;
    // The toolkit's own message dialog, captioned after its icon: "Confirm" for the
    // question icon (the program's users know it so), "信息", "警告" or "错误" for the others.
    virtual Msg::Answer dialog(QWidget *parent, const QString &text, Msg::Icon icon, Msg::Buttons buttons) = 0;
    // The toolkit's confirmation dialog: caption "Confirm", question icon.
    Msg::Answer confirm(QWidget *parent, const QString &text, Msg::Buttons buttons)
    {
        return dialog(parent, text, Msg::Icon::Question, buttons);
    }
    // A plain message with the program's title and OK.
    virtual void plain(QWidget *parent, const QString &text) = 0;
    // The default report of an error that a window does not handle itself.
    virtual void errorReport(QWidget *parent, const QString &text) = 0;
};

// Real dialogs.
class DialogMessages : public MessageService
{
public:
    Msg::Answer box(QWidget *parent, const QString &text, const QString &title, Msg::Icon icon,
                    Msg::Buttons buttons) override;
    Msg::Answer dialog(QWidget *parent, const QString &text, Msg::Icon icon, Msg::Buttons buttons) override;
    void plain(QWidget *parent, const QString &text) override;
    void errorReport(QWidget *parent, const QString &text) override;
};

// Records every message and answers from a queue; when the queue is empty it gives
// the cautious answer (OK for a lone OK button, otherwise No or Cancel).
class ScriptedMessages : public MessageService
{
public:
    Msg::Answer box(QWidget *parent, const QString &text, const QString &title, Msg::Icon icon,
                    Msg::Buttons buttons) override;
    Msg::Answer dialog(QWidget *parent, const QString &text, Msg::Icon icon, Msg::Buttons buttons) override;
    void plain(QWidget *parent, const QString &text) override;
    void errorReport(QWidget *parent, const QString &text) override;

    void answer(Msg::Answer next) { answers.enqueue(next); }
    QStringList texts() const;
    const Msg::Record &last() const { return shown.last(); }

    QList<Msg::Record> shown;
    QQueue<Msg::Answer> answers;

private:
    Msg::Answer record(Msg::Kind kind, const QString &title, const QString &text, Msg::Icon icon,
                       Msg::Buttons buttons);
};

namespace Messages {
MessageService &service();
// Installs a service (not owned); nullptr restores the real dialogs.
void install(MessageService *service);

inline Msg::Answer box(QWidget *parent, const QString &text, const QString &title, Msg::Icon icon,
                       Msg::Buttons buttons = Msg::Buttons::Ok)
{
    return service().box(parent, text, title, icon, buttons);
}
inline Msg::Answer confirm(QWidget *parent, const QString &text, Msg::Buttons buttons = Msg::Buttons::Ok)
{
    return service().confirm(parent, text, buttons);
}
inline Msg::Answer dialog(QWidget *parent, const QString &text, Msg::Icon icon,
                          Msg::Buttons buttons = Msg::Buttons::Ok)
{
    return service().dialog(parent, text, icon, buttons);
}
// A question whose 是 deletes or clears something: a box with 否 as the default button.
inline bool askDelete(QWidget *parent, const QString &text, const QString &title, Msg::Icon icon = Msg::Icon::Information)
{
    return service().box(parent, text, title, icon, Msg::Buttons::YesNoDefaultNo) == Msg::Answer::Yes;
}
// The same question in the toolkit's confirmation dialog ("Confirm").
inline bool confirmDelete(QWidget *parent, const QString &text)
{
    return service().confirm(parent, text, Msg::Buttons::YesNoDefaultNo) == Msg::Answer::Yes;
}
inline void plain(QWidget *parent, const QString &text) { service().plain(parent, text); }
inline void errorReport(QWidget *parent, const QString &text) { service().errorReport(parent, text); }
} // namespace Messages
