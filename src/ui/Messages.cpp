#include "Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon toIcon(Msg::Icon icon)
{
    switch (icon) {
    case Msg::Icon::Information: return QMessageBox::Information;
    case Msg::Icon::Warning: return QMessageBox::Warning;
    case Msg::Icon::Error: return QMessageBox::Critical;
    case Msg::Icon::Question: return QMessageBox::Question;
    default: return QMessageBox::NoIcon;
    }
}

Msg::Answer show(QWidget *parent, const QString &title, const QString &text, Msg::Icon icon,
                 Msg::Buttons buttons)
{
    QMessageBox box(toIcon(icon), title, text, QMessageBox::NoButton, parent);
    switch (buttons) {
    case Msg::Buttons::Ok:
        box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        break;
    case Msg::Buttons::YesNo:
    case Msg::Buttons::YesNoDefaultNo: {
        QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(buttons == Msg::Buttons::YesNo ? yes : no);
        box.setEscapeButton(no);
        break;
    }
    case Msg::Buttons::OkCancel:
    case Msg::Buttons::OkCancelDefaultCancel: {
        QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(buttons == Msg::Buttons::OkCancel ? ok : cancel);
        box.setEscapeButton(cancel);
        break;
    }
    }
    box.exec();
    const auto role = box.buttonRole(box.clickedButton());
    switch (buttons) {
    case Msg::Buttons::Ok: return Msg::Answer::Ok;
    case Msg::Buttons::YesNo:
    case Msg::Buttons::YesNoDefaultNo: return role == QMessageBox::YesRole ? Msg::Answer::Yes : Msg::Answer::No;
    case Msg::Buttons::OkCancel:
    case Msg::Buttons::OkCancelDefaultCancel: return role == QMessageBox::AcceptRole ? Msg::Answer::Ok : Msg::Answer::Cancel;
    }
    return Msg::Answer::Cancel;
}

DialogMessages &dialogs()
{
    static DialogMessages instance;
    return instance;
}

MessageService *installed = nullptr;

} // namespace

Msg::Answer DialogMessages::box(QWidget *parent, const QString &text, const QString &title, Msg::Icon icon,
                                Msg::Buttons buttons)
{
    return show(parent, title, text, icon, buttons);
}

QString Msg::dialogCaption(Icon icon)
{
    switch (icon) {
    case Icon::Question: return QStringLiteral("Confirm");
    case Icon::Information: return QStringLiteral("信息");
    case Icon::Warning: return QStringLiteral("警告");
    case Icon::Error: return QStringLiteral("错误");
    default: return ProgramTitle;
    }
}

Msg::Answer DialogMessages::dialog(QWidget *parent, const QString &text, Msg::Icon icon, Msg::Buttons buttons)
{
    return show(parent, Msg::dialogCaption(icon), text, icon, buttons);
}

void DialogMessages::plain(QWidget *parent, const QString &text)
{
    show(parent, Msg::ProgramTitle, text, Msg::Icon::None, Msg::Buttons::Ok);
}

void DialogMessages::errorReport(QWidget *parent, const QString &text)
{
    show(parent, Msg::ProgramTitle, text, Msg::Icon::Error, Msg::Buttons::Ok);
}

Msg::Answer ScriptedMessages::record(Msg::Kind kind, const QString &title, const QString &text, Msg::Icon icon,
                                     Msg::Buttons buttons)
{
    Msg::Answer answer;
    if (!answers.isEmpty())
        answer = answers.dequeue();
    else if (buttons == Msg::Buttons::Ok)
        answer = Msg::Answer::Ok;
    else if (Msg::isYesNo(buttons))
        answer = Msg::Answer::No;
    else
        answer = Msg::Answer::Cancel;
    shown.append({kind, title, text, icon, buttons, answer});
    return answer;
}

Msg::Answer ScriptedMessages::box(QWidget *, const QString &text, const QString &title, Msg::Icon icon,
                                  Msg::Buttons buttons)
{
    return record(Msg::Kind::Box, title, text, icon, buttons);
}

Msg::Answer ScriptedMessages::dialog(QWidget *, const QString &text, Msg::Icon icon, Msg::Buttons buttons)
{
    return record(Msg::Kind::Dialog, Msg::dialogCaption(icon), text, icon, buttons);
}

void ScriptedMessages::plain(QWidget *, const QString &text)
{
    record(Msg::Kind::Plain, Msg::ProgramTitle, text, Msg::Icon::None, Msg::Buttons::Ok);
}

void ScriptedMessages::errorReport(QWidget *, const QString &text)
{
    record(Msg::Kind::ErrorReport, Msg::ProgramTitle, text, Msg::Icon::Error, Msg::Buttons::Ok);
}

QStringList ScriptedMessages::texts() const
{
    QStringList result;
    for (const Msg::Record &r : shown)
        result.append(r.text);
    return result;
}

MessageService &Messages::service()
{
    return installed ? *installed : dialogs();
}

void Messages::install(MessageService *service)
{
    installed = service;
}
