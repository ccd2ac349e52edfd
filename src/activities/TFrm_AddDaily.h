#pragma once

#include "ui/EditorForm.h" // EditorMode, RecordNavigator

#include <QDialog>

class Dataset;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TFrm_Data;
class TFrm_Main;

// The diary editor: one entry of the work diary, added to or changed in the shared
// diary query Qry_Daily. Add mode saves any number of entries in a row, clearing the
// inputs after each; edit mode changes the current entry and closes. Every save makes
// the current operator the entry's author.
class TFrm_AddDaily : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_AddDaily(TFrm_Main *mainWindow, QWidget *parent = nullptr);
    ~TFrm_AddDaily() override;

    // Set before the dialog is shown; fixed afterwards.
    void setMode(EditorMode mode);
    EditorMode mode() const { return m_mode; }

    // Btn_OK: checks the subject, then appends (add mode) or changes the current entry
    // (edit mode; an empty list gets a new entry instead).
    void save();

    QGroupBox *GroupBox1;
    QLabel *Label_Subject, *Label_Content, *Label_Date;
    QLineEdit *Edit_Subject;
    QPlainTextEdit *Memo1;
    QDateEdit *DateTimePicker1;
    QPushButton *Btn_OK, *Btn_Exit;
    RecordNavigator *DBNavigator1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildForm();
    void showSteps();
    void clearInputs();
    void loadEntry();
    bool writeEntry();

    TFrm_Main *m_main;
    TFrm_Data *m_data;
    EditorMode m_mode = EditorMode::Add;
    bool m_shown = false;
};
