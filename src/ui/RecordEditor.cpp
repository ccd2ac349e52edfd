#include "RecordEditor.h"
#include "Guarded.h"
#include "Messages.h"

#include <QAbstractButton>
#include <algorithm>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTextEdit>

RecordEditor::RecordEditor(QWidget *parent) : QDialog(parent) {}

void RecordEditor::setMode(EditorMode mode)
{
    if (!m_shown)
        m_mode = mode;
}

void RecordEditor::setNavigator(RecordNavigator *navigator)
{
    m_navigator = navigator;
    connect(navigator, &RecordNavigator::moved, this, [this] {
        guarded(this, [this] { loadRecord(); });
        markClean(); // the row moved to is what the inputs hold now
    });
}

QBoxLayout *RecordEditor::buttonBar(const QList<QPushButton *> &buttons)
{
    auto *bar = new QHBoxLayout;
    if (m_navigator)
        bar->addWidget(m_navigator);
    bar->addStretch();
    for (QPushButton *button : buttons)
        bar->addWidget(button);
    return bar;
}

void RecordEditor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (!guarded(this, [this] { showSteps(); })) {
        // The record could not be loaded: a save now would write half-filled inputs over
        // it. Nothing can be done in the dialog; it closes once the report is read.
        setEnabled(false);
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    watchInputs();
    m_tracking = true;
    // Enter saves: the OK button is the default unless the editor made another one so.
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    if (std::none_of(buttons.cbegin(), buttons.cend(), [](const QPushButton *b) { return b->isDefault(); }))
        if (auto *ok = findChild<QPushButton *>(QStringLiteral("Btn_OK")))
            ok->setDefault(true);
}

// ------------------------------------------------------------------ unsaved changes

void RecordEditor::watchInputs()
{
    const auto inner = [](const QWidget *w) {
        // The edit inside a pick list or a date or number box belongs to that input.
        for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
            if (qobject_cast<const QComboBox *>(p) || qobject_cast<const QAbstractSpinBox *>(p))
                return true;
        return false;
    };
    const auto watch = [this](QWidget *input, QObject *part) {
        m_owner.insert(part, input);
        part->installEventFilter(this);
    };
    for (QWidget *w : findChildren<QWidget *>()) {
        QWidget *input = nullptr;
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            input = combo;
            if (combo->lineEdit())
                watch(combo, combo->lineEdit());
            connect(combo, &QComboBox::activated, this, [this, combo] { m_touched.insert(combo); });
        } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(w)) {
            input = spin;
            for (QLineEdit *edit : spin->findChildren<QLineEdit *>())
                watch(spin, edit);
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            if (!inner(edit))
                input = edit;
        } else if (auto *text = qobject_cast<QTextEdit *>(w)) {
            input = text;
            watch(text, text->viewport());
        } else if (auto *plain = qobject_cast<QPlainTextEdit *>(w)) {
            input = plain;
            watch(plain, plain->viewport());
        } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
            input = w;
            connect(static_cast<QAbstractButton *>(w), &QAbstractButton::clicked, this,
                    [this, w] { m_touched.insert(w); });
        }
        if (!input)
            continue;
        m_inputs.append(input);
        watch(input, input);
    }
    markClean();
}

void RecordEditor::markClean()
{
    m_clean.clear();
    for (const QPointer<QWidget> &input : std::as_const(m_inputs))
        if (input)
            m_clean.insert(input, valueOf(input));
}

QVariant RecordEditor::valueOf(const QWidget *input)
{
    if (auto *combo = qobject_cast<const QComboBox *>(input))
        return combo->currentText();
    if (auto *dateTime = qobject_cast<const QDateTimeEdit *>(input))
        return dateTime->dateTime();
    if (auto *spin = qobject_cast<const QAbstractSpinBox *>(input))
        return spin->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(input))
        return edit->text();
    if (auto *text = qobject_cast<const QTextEdit *>(input))
        return text->toPlainText();
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(input))
        return plain->toPlainText();
    if (auto *button = qobject_cast<const QAbstractButton *>(input))
        return button->isChecked();
    return {};
}

bool RecordEditor::changed(const QWidget *input) const
{
    return m_touched.contains(input) && m_clean.contains(input) && m_clean.value(input) != valueOf(input);
}

bool RecordEditor::hasUnsavedChanges() const
{
    for (const QPointer<QWidget> &input : m_inputs)
        if (input && changed(input))
            return true;
    return false;
}

bool RecordEditor::eventFilter(QObject *watched, QEvent *event)
{
    // What the operator does in an input; a focus the program moves there is no work.
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
        if (QWidget *input = m_owner.value(watched))
            m_touched.insert(input);
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void RecordEditor::reject()
{
    if (m_tracking && isEnabled() && hasUnsavedChanges()
        && Messages::box(this, discardQuestion(), QStringLiteral("询问"), Msg::Icon::Question,
                         Msg::Buttons::YesNoDefaultNo) != Msg::Answer::Yes)
        return;
    QDialog::reject();
}
