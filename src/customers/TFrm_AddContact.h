#pragma once

#include "ui/EditorForm.h"

#include <QDialog>
#include <QPointer>
#include <QVariant>

class Dataset;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TFrm_Data;
class TFrm_Main;

// The contact editor: one contact person of a customer, added to or changed in the
// shared contact list Qry_Contact. Every save also makes the contact the customer's
// MainContact. Add mode loops (save, clear, next contact) until closed; edit mode
// closes after one save.
class TFrm_AddContact : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_AddContact(TFrm_Main *mainWindow, QWidget *parent = nullptr);
    ~TFrm_AddContact() override;

    // Set before the dialog is shown; fixed afterwards.
    void setMode(EditorMode mode);
    EditorMode mode() const { return m_mode; }
    // The customer the new contact belongs to, when the opener knows it (the customer
    // editor). Otherwise the customer current in Qry_Cust is taken.
    void setCustomer(const QVariant &custCode, const QString &company);
    // The customer code held for the next save.
    QVariant customerCode() const { return m_custCode; }

    // Saves (Btn_OK): add mode appends and clears for the next contact, edit mode
    // changes the current contact and closes.
    void save();

    QGroupBox *GroupBox1;
    QLineEdit *Edit_Name;
    QCheckBox *CB_Main;
    QLineEdit *Edit_Tel, *Edit_Mobile;
    QComboBox *Combo_Cust;
    QLineEdit *Edit_Fax, *Edit_Email;
    // The birthday: a date with a tick box; only a ticked date is written.
    QCheckBox *CB_Birthday;
    QDateEdit *DateTimePicker1;
    QComboBox *Combo_Depart, *Combo_Zw;
    QLineEdit *Edit_Address, *Edit_PostCode;
    QPlainTextEdit *Memo1;
    QPushButton *Btn_OK, *Btn_Exit;
    RecordNavigator *DBNavigator1;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void showSteps();
    void loadContact();
    void clearForNext();
    void setCompany(const QString &company);
    bool checkInputs(bool blankNameIsEmpty);
    QVariant resolveCustomerCode(const QString &company);
    void saveAdd();
    void saveEdit();
    void warn(const QString &text, QWidget *focus);

    TFrm_Main *m_main;
    TFrm_Data *m_data;
    EditorMode m_mode = EditorMode::Add;
    QVariant m_custCode;
    bool m_customerGiven = false;
    bool m_locked = false; // an ordinary operator met a colleague's contact
    bool m_shown = false;
};
