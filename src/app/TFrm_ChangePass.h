#pragma once

#include <QDialog>
#include <memory>

class Session;
class TFrm_Data;
namespace Ui { class TFrm_ChangePass; }

// Lets the current operator change the own password.
class TFrm_ChangePass : public QDialog
{
    Q_OBJECT
public:
    // Shown over the session's dialog parent unless a parent is given.
    explicit TFrm_ChangePass(Session *session, QWidget *parent = nullptr);
    // The data module is the session's own; the parameter stays for openers that pass it.
    TFrm_ChangePass(Session *session, TFrm_Data * /*data*/, QWidget *parent) : TFrm_ChangePass(session, parent) {}
    ~TFrm_ChangePass() override;

    // For an operator whose password is empty: the old one is left blank and typing
    // starts at the new one.
    void startAtNewPassword();

private:
    void changePassword();

    std::unique_ptr<Ui::TFrm_ChangePass> ui;
    Session *m_session;
};
