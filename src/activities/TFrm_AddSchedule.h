#pragma once

#include "ui/EditorForm.h" // EditorMode, RecordNavigator, EditorForm

#include <QDialog>
#include <QVariant>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class TFrm_Data;
class TFrm_Main;

// The schedule editor: one contact activity with a customer, added to or changed in
// the shared schedule list Qry_Schedule. Add mode saves any number of schedules in a
// row for the customer current in Qry_Cust; edit mode changes the current schedule
// and closes after it was saved.
class TFrm_AddSchedule : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_AddSchedule(TFrm_Main *mainWindow, QWidget *parent = nullptr);
    ~TFrm_AddSchedule() override;

    // Set before the dialog is shown; fixed afterwards.
    void setMode(EditorMode mode);
    EditorMode mode() const { return m_mode; }
    // The customer code a new schedule is saved with (the customer shown as company).
    QVariant customerCode() const { return m_custCode; }

    // Btn_OK: checks the subject and the company, then appends (add mode, and clears
    // for the next schedule) or changes the current schedule (edit mode, and closes).
    void save();

    QGroupBox *GroupBox1;
    QComboBox *Combo_Subject, *Combo_Type, *Combo_Company, *Combo_Contact;
    QDateEdit *DateTimePicker1; // contact date
    // The reminder date: a date with its tick box; only a ticked date is saved.
    QCheckBox *CB_AwokeDate;
    QDateEdit *DateTimePicker2;
    QCheckBox *CB_Awoke;
    QPlainTextEdit *Memo1;
    QPushButton *Btn_OK, *Btn_Exit;
    RecordNavigator *DBNavigator1;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void showSteps();
    void fillSubjects();
    void fillContacts();
    void loadSchedule();
    void clearForNext();
    void setCompany(const QString &company);
    bool checkInputs();
    void writeRow();

    TFrm_Main *m_main;
    TFrm_Data *m_data;
    EditorMode m_mode = EditorMode::Add;
    QVariant m_custCode;
    bool m_locked = false; // an ordinary operator met a colleague's schedule
    bool m_shown = false;
};
