#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TFrm_Data;
class TFrm_Main;

// Lets the current operator change the own password.
class TFrm_ChangePass : public QDialog
{
    Q_OBJECT
public:
    TFrm_ChangePass(TFrm_Main *mainWindow, TFrm_Data *data, QWidget *parent = nullptr);

    QLabel *Label1, *Label2, *Label3;
    QLineEdit *Edit_oldpass, *Edit_newpass, *Edit_pass;
    QPushButton *Btn_ok, *btn_exit;

private:
    void changePassword();

    TFrm_Main *m_main;
    TFrm_Data *m_data;
};
