#pragma once

#include <QDialog>
#include <QList>
#include <memory>

class Dataset;
class QLineEdit;
class Session;
namespace Ui { class TFrm_Softinfo; }

// The own company's data: the single row of table info, held open by the data module
// in Qry_Custom. OK stores the inputs trimmed of surrounding blanks into that row (the
// first row is created when the table is empty) and closes; close leaves it unchanged.
class TFrm_Softinfo : public QDialog
{
    Q_OBJECT
public:
    // Reads the open info row into the inputs (opening it first if it is closed).
    explicit TFrm_Softinfo(Session *session, QWidget *parent = nullptr);
    ~TFrm_Softinfo() override;

    // OK's work: store, report "修改成功!" and close. On a database error the error is
    // reported, the row keeps its stored values and the dialog stays open.
    void save();

private:
    // An input with the column of info it shows.
    struct Input
    {
        QLineEdit *edit;
        QString column;
    };

    std::unique_ptr<Ui::TFrm_Softinfo> ui;
    Dataset *m_info; // the data module's shared query Qry_Custom
    QList<Input> m_inputs;
};
