#pragma once

#include <QDate>
#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TFrm_Data;
class TFrm_Main;

// A date input with a tick box: the date counts only while the box is ticked.
class CheckedDateEdit : public QWidget
{
    Q_OBJECT
public:
    explicit CheckedDateEdit(QWidget *parent = nullptr);
    bool isChecked() const;
    void setChecked(bool checked);
    QDate date() const;
    void setDate(const QDate &date);
    QCheckBox *checkBox() const { return m_check; }
    QDateEdit *dateEdit() const { return m_date; }

private:
    QCheckBox *m_check;
    QDateEdit *m_date;
};

// Customer search: up to eighteen conditions joined with AND into one statement over
// the customer table; the result is loaded into the customer browser's list.
class TFrm_S_Cust : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_S_Cust(TFrm_Main *mainWindow);
    ~TFrm_S_Cust() override;

    // The condition of every filled input, in input order.
    QStringList conditions() const;
    // The search statement; empty when no input is filled.
    QString statement() const;
    // Runs the search: the message "没有查询项目!" when nothing is filled, otherwise the
    // browser's list is loaded with the statement and the dialog closes.
    void search();
    // Empties the text inputs and lists; the salesman and the dates keep their state.
    void reset();
    // Fills the salesman list from the operators (done whenever the list drops down).
    void fillSalesmen();

    QGroupBox *GroupBox1;
    QLineEdit *Edit_cate;
    QToolButton *Btn_Lookup;
    QLineEdit *Edit_custname, *Edit_address, *Edit_postcode;
    QComboBox *Combo_CustType, *Combo_country, *Combo_province, *Combo_CustFrom;
    QLineEdit *Edit_city, *Edit_intro, *Edit_tel, *Edit_fax, *Edit_url, *Edit_email;
    CheckedDateEdit *DateTimePicker1, *DateTimePicker2;
    QComboBox *Combo_User;
    QLineEdit *Edit_income;
    QPushButton *btn_ok, *btn_reset, *btn_exit;

private:
    void buildInputs();
    void fillLists();
    void lookupCategory();

    TFrm_Main *m_main;
    TFrm_Data *m_data;
};
