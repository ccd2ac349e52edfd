#include "RecordEditor.h"
#include "Guarded.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>

RecordEditor::RecordEditor(QWidget *parent) : QDialog(parent) {}

void RecordEditor::setMode(EditorMode mode)
{
    if (!m_shown)
        m_mode = mode;
}

void RecordEditor::setNavigator(RecordNavigator *navigator)
{
    m_navigator = navigator;
    connect(navigator, &RecordNavigator::moved, this, [this] { guarded(this, [this] { loadRecord(); }); });
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
    }
}
