#pragma once

#include "ui/EditorForm.h" // EditorMode, RecordNavigator
#include "ui/Session.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QVariant>

class QBoxLayout;
class QPushButton;

// The skeleton every record editor shares: the mode set by the opener before the dialog is
// shown, the show steps run once on the first show, the record navigator that loads the
// row it moves to, and the button bar (navigator on the left, buttons on the right).
// Subclasses build their inputs, then fill in the hooks.
//
// Unsaved changes. Every editor asks "放弃所做的修改吗？" (否 the default) before Esc, its
// exit button or the close box throw away what the operator typed; nothing in the editor
// itself is needed for that. The base class notes the values of every input (line edits,
// text and plain-text edits, pick lists, date and number boxes, tick boxes) at each clean
// point: after the show steps, after the navigator loaded a row and after markClean().
// An input counts as changed when the operator has worked in it (keys, mouse, a pick) and
// its value now differs from the one noted, so values the editor sets itself (a proposed
// code, inputs cleared after an add) never count, and typing something and taking it back
// leaves the editor clean. An editor that filters events of its own passes them on to
// RecordEditor::eventFilter, which sees the operator's keys and clicks.
class RecordEditor : public QDialog
{
    Q_OBJECT
public:
    explicit RecordEditor(QWidget *parent = nullptr);

    // Set before the dialog is shown; fixed afterwards.
    void setMode(EditorMode mode);
    EditorMode mode() const { return m_mode; }
    bool isAdding() const { return m_mode == EditorMode::Add; }

    // Whether leaving now would throw away typed work. Editors that hold work of their
    // own outside their inputs (lines kept in memory until the record is saved, a picture
    // chosen, ...) override it and add theirs:
    //     bool hasUnsavedChanges() const override
    //     { return RecordEditor::hasUnsavedChanges() || m_linesChanged; }
    virtual bool hasUnsavedChanges() const;

    // Esc, the exit button and the close box: asks first when there are unsaved changes;
    // 否 keeps the editor open with what was typed.
    void reject() override;

    static QString discardQuestion() { return QStringLiteral("放弃所做的修改吗？"); }

protected:
    // Runs once, when the dialog is first shown, inside the default error report. When it
    // fails the editor is disabled and closes: it holds no record it could save.
    virtual void showSteps() = 0;
    // The navigator moved: put the new current row into the inputs.
    virtual void loadRecord() {}

    // The inputs as they are now count as saved: call it after a save that keeps the
    // editor open with values the operator typed (an add loop that keeps the company).
    // Editors that clear their inputs after a save need not call it.
    void markClean();

    // The navigator whose moves call loadRecord().
    void setNavigator(RecordNavigator *navigator);
    RecordNavigator *navigator() const { return m_navigator; }
    // A bar with the navigator (if any) at the left and the buttons at the right.
    QBoxLayout *buttonBar(const QList<QPushButton *> &buttons);

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The inputs whose values count: every one in the dialog, found when it is first shown.
    void watchInputs();
    static QVariant valueOf(const QWidget *input);
    bool changed(const QWidget *input) const;

    EditorMode m_mode = EditorMode::Add;
    RecordNavigator *m_navigator = nullptr;
    bool m_shown = false;
    bool m_tracking = false; // the show steps succeeded: there is a record to lose
    QList<QPointer<QWidget>> m_inputs;
    QHash<const QWidget *, QVariant> m_clean;  // value of each input at the last clean point
    QHash<const QObject *, QWidget *> m_owner; // inner widgets (a pick list's edit) to their input
    QSet<const QWidget *> m_touched;           // inputs the operator has worked in
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
