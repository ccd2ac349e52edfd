#include "TFrm_ChangePass.h"
#include "ui_TFrm_ChangePass.h"
#include "data/TFrm_Data.h"
#include "store/Dataset.h"
#include "store/PasswordHash.h"
#include "store/queries/Operators.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

TFrm_ChangePass::TFrm_ChangePass(Session *session, QWidget *parent)
    : QDialog(parent ? parent : session->dialogParent()), ui(std::make_unique<Ui::TFrm_ChangePass>()),
      m_session(session)
{
    ui->setupUi(this);
    for (QLineEdit *edit : {ui->Edit_oldpass, ui->Edit_newpass, ui->Edit_pass})
        edit->clear();
    connect(ui->Btn_ok, &QPushButton::clicked, this, [this] { guarded(this, [this] { changePassword(); }); });
    connect(ui->btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_ChangePass::~TFrm_ChangePass() = default;

void TFrm_ChangePass::startAtNewPassword()
{
    ui->Edit_newpass->setFocus();
}

void TFrm_ChangePass::changePassword()
{
    Connection *connection = m_session->data()->connection();
    Dataset user(connection);
    Operators::openByName(user, m_session->operatorName());
    // Without a row of the operator (a name cut to 20 bytes) no old password can match.
    if (user.isEmpty() || !PasswordHash::matches(ui->Edit_oldpass->text(), user.text(QStringLiteral("Password")))) {
        Messages::plain(this, QStringLiteral("旧密码错误!"));
        return;
    }
    if (ui->Edit_pass->text() != ui->Edit_newpass->text()) {
        Messages::box(this, QStringLiteral("在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码."),
                      QStringLiteral("验证密码"), Msg::Icon::Information);
        return;
    }
    // Stored as its hash only, the empty password too.
    Operators::setPassword(connection, user.integer(QStringLiteral("UserID")),
                           PasswordHash::make(ui->Edit_newpass->text()));
    Messages::box(this, QStringLiteral("修改密码成功!"), QStringLiteral("成功"), Msg::Icon::Information);
    accept();
}
