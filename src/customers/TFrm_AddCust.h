#pragma once

#include "TFrm_AddContact.h"

#include <QDialog>
#include <QVariant>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TFrm_Data;
class TFrm_Main;

// The customer editor: one row of Custom, appended to (add mode) or changed in (edit
// mode) the shared customer list Qry_Cust, so the browser shows the result at once.
// Add mode proposes the next free customer code and loops (save, reset, next customer)
// until closed. Edit mode walks the list with the navigator; a changed code or company
// name is carried to the customer's contacts and schedules in the same transaction.
class TFrm_AddCust : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_AddCust(TFrm_Main *mainWindow, QWidget *parent = nullptr);
    ~TFrm_AddCust() override;

    // Set before the dialog is shown; fixed afterwards.
    void setMode(EditorMode mode);
    EditorMode mode() const { return m_mode; }

    // The next free customer code over the whole table: max(CustCode) + 1, 1 when empty.
    static qint64 nextCustomerCode(TFrm_Data *data);

    // The code of the chosen category, stored in Custom.Category; the input shows its name.
    QString categoryCode() const { return m_categoryCode; }
    // Edit mode: the code and the company name of the row as loaded (or last saved).
    QVariant loadedCode() const { return m_loadedCode; }
    QString loadedName() const { return m_loadedName; }

    void save();           // Btn_OK
    void chooseCategory(); // the browse button of Edit_Category
    void addContact();     // BitBtn1

    QTabWidget *PageControl1;
    QWidget *TabSheet1, *TabSheet2;
    // Basic page
    QLineEdit *Edit_Code;
    QCheckBox *cb_Auto;
    QLineEdit *Edit_CustName, *Edit_Category;
    QAction *Btn_Category;
    QLineEdit *Edit_Address, *Edit_Zip, *Edit_Fax, *Edit_tel, *Edit_Email;
    QComboBox *Combo_CustType;
    QLineEdit *Edit_Income;
    QComboBox *Combo_User;
    QLineEdit *Edit_Url, *Edit_Main, *Edit_Mobile, *Edit_OtherInfo;
    QPlainTextEdit *Memo1;
    QComboBox *Combo_CustLevel;
    // Details page
    QComboBox *Combo_Country, *Combo_Province;
    QLineEdit *Edit_City;
    QComboBox *Combo_CustFrom;
    QDateEdit *DateEdit1;
    QPlainTextEdit *Memo2, *Memo3;
    // Buttons
    QPushButton *Btn_OK, *Btn_Cancel, *BitBtn1;
    RecordNavigator *DBNavigator1;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildBasicPage();
    void buildDetailsPage();
    void showSteps();
    void fillLists();
    void loadCurrent();
    void resetForNext();
    void proposeCode();
    void autoClicked(bool checked);
    void closingSteps();
    void remind(const QString &text, QWidget *focus = nullptr);
    void writeColumns(Dataset *customers, qint64 code, const QString &company, bool withDate);
    void saveNew(qint64 code, const QString &company);
    void saveChanges(qint64 code, const QString &company);

    TFrm_Main *m_main;
    TFrm_Data *m_data;
    EditorMode m_mode = EditorMode::Add;
    QString m_categoryCode;
    QVariant m_loadedCode;
    QString m_loadedName;
    bool m_shown = false;
};
