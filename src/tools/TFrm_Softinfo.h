#pragma once

#include <QDialog>

class Dataset;
class QLineEdit;
class QPushButton;
class TFrm_Data;

// The own company's data: the single row of table info, held open by the data module
// in Qry_Custom. OK stores the inputs trimmed of surrounding blanks into that row (the
// first row is created when the table is empty) and closes; close leaves it unchanged.
class TFrm_Softinfo : public QDialog
{
    Q_OBJECT
public:
    // Reads the open info row into the inputs (opening it first if it is closed).
    explicit TFrm_Softinfo(TFrm_Data *data, QWidget *parent = nullptr);
    ~TFrm_Softinfo() override;

    // OK's work: store, report "修改成功!" and close. On a database error the error is
    // reported, the row keeps its stored values and the dialog stays open.
    void save();

    QLineEdit *Edit_name, *Edit_user, *Edit_address, *Edit_zip, *Edit_tel, *Edit_fax;
    QPushButton *btn_ok, *btn_exit;
    Dataset *Qry_Custom; // the data module's shared query

private:
    TFrm_Data *m_data;
};
