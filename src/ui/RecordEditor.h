#pragma once

#include "ui/EditorForm.h" // EditorMode, RecordNavigator
#include "ui/Session.h"

#include <QDialog>

class QBoxLayout;
class QPushButton;

// The skeleton every record editor shares: the mode set by the opener before the dialog is
// shown, the show steps run once on the first show, the record navigator that loads the
// row it moves to, and the button bar (navigator on the left, buttons on the right).
// Subclasses build their inputs, then fill in the hooks.
class RecordEditor : public QDialog
{
    Q_OBJECT
public:
    explicit RecordEditor(QWidget *parent = nullptr);

    // Set before the dialog is shown; fixed afterwards.
    void setMode(EditorMode mode);
    EditorMode mode() const { return m_mode; }
    bool isAdding() const { return m_mode == EditorMode::Add; }

protected:
    // Runs once, when the dialog is first shown, inside the default error report. When it
    // fails the editor is disabled and closes: it holds no record it could save.
    virtual void showSteps() = 0;
    // The navigator moved: put the new current row into the inputs.
    virtual void loadRecord() {}

    // The navigator whose moves call loadRecord().
    void setNavigator(RecordNavigator *navigator);
    RecordNavigator *navigator() const { return m_navigator; }
    // A bar with the navigator (if any) at the left and the buttons at the right.
    QBoxLayout *buttonBar(const QList<QPushButton *> &buttons);

    void showEvent(QShowEvent *event) override;

private:
    EditorMode m_mode = EditorMode::Add;
    RecordNavigator *m_navigator = nullptr;
    bool m_shown = false;
};

// What every add and edit command does: the editor, modal over the session's frame, in its
// mode, freed when it closes.
template <class Editor>
void execEditor(Session *session, EditorMode mode)
{
    Editor editor(session, session->dialogParent());
    editor.setMode(mode);
    editor.exec();
}
