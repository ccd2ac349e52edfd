#include "Accessibility.h"

#include <QAbstractButton>
#include <QAction>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>
#include <QToolButton>

namespace {

void nameIfUnnamed(QWidget *widget, const QString &name)
{
    if (widget && widget->accessibleName().isEmpty() && !name.isEmpty())
        widget->setAccessibleName(name);
}

bool isInput(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QTextEdit *>(w)
        || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QAbstractButton *>(w);
}

// The input and the parts of it that take the focus. A label may lead to a compound
// input (a tick box with a date): its inputs take the label's name.
void nameInput(QWidget *input, const QString &name)
{
    if (!isInput(input)) {
        for (QWidget *part : input->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (isInput(part))
                nameInput(part, name);
        return;
    }
    nameIfUnnamed(input, name);
    if (auto *combo = qobject_cast<QComboBox *>(input))
        nameIfUnnamed(combo->lineEdit(), name);
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(input))
        for (QLineEdit *edit : spin->findChildren<QLineEdit *>())
            nameIfUnnamed(edit, name);
    else if (auto *text = qobject_cast<QTextEdit *>(input))
        nameIfUnnamed(text->viewport(), name);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(input))
        nameIfUnnamed(plain->viewport(), name);
}

class Namer : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() || qobject_cast<QMdiSubWindow *>(widget->parentWidget()))
                Accessibility::nameWidgets(widget);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QString Accessibility::plainCaption(const QString &caption)
{
    QString text = caption;
    static const QRegularExpression accelerator(QStringLiteral("\\(&.\\)"));
    text.remove(accelerator);
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)))
        text.chop(1);
    return text.trimmed();
}

void Accessibility::nameWidgets(QWidget *window)
{
    if (!window)
        return;
    for (QLabel *label : window->findChildren<QLabel *>())
        if (QWidget *buddy = label->buddy())
            nameInput(buddy, plainCaption(label->text()));
    // Inputs named after the label given them on purpose: their inner parts follow.
    for (QWidget *widget : window->findChildren<QWidget *>())
        if (isInput(widget) && !widget->accessibleName().isEmpty())
            nameInput(widget, widget->accessibleName());
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!plainCaption(button->text()).isEmpty())
            continue;
        QString name = plainCaption(button->toolTip());
        if (auto *tool = qobject_cast<QToolButton *>(button); tool && name.isEmpty() && tool->defaultAction())
            name = plainCaption(tool->defaultAction()->text());
        nameIfUnnamed(button, name);
    }
}

void Accessibility::install()
{
    static Namer *namer = nullptr;
    if (namer || !qApp)
        return;
    namer = new Namer(qApp);
    qApp->installEventFilter(namer);
}
