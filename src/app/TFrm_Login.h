#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFrm_Data;
class TFrm_Main;

// Asks for an operator and a password; on success fills the main window's operator
// context. Serves both the start of the program and a relogin.
class TFrm_Login : public QDialog
{
    Q_OBJECT
public:
    TFrm_Login(TFrm_Main *mainWindow, TFrm_Data *data, QWidget *parent = nullptr);

    bool LoginOK = false;

    QLabel *Image1, *Label1, *Label2, *Label3, *Label4;
    QComboBox *Combo_User;
    QLineEdit *Edit_Pass;
    QPushButton *Btn_ok, *Btn_Exit;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillUsers();
    void pressOK();
    void tryLogin();

    TFrm_Main *m_main;
    TFrm_Data *m_data;
};
