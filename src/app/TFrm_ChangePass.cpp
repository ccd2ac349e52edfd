#include "TFrm_ChangePass.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/SqlText.h"
#include "ui/Guarded.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFrm_ChangePass::TFrm_ChangePass(TFrm_Main *mainWindow, TFrm_Data *data, QWidget *parent)
    : QDialog(parent ? parent : mainWindow), m_main(mainWindow), m_data(data)
{
    setObjectName(QStringLiteral("Frm_ChangePass"));
    setWindowTitle(QStringLiteral("修改密码"));
    setModal(true);

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    auto addInput = [this, form](QLabel *&label, QLineEdit *&edit, const QString &caption, const char *name) {
        const int row = form->rowCount();
        label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("Label%1").arg(row + 1));
        edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // shown as "*"
        edit->setMinimumWidth(180);
        edit->clear();
        label->setBuddy(edit);
        form->addWidget(label, row, 0);
        form->addWidget(edit, row, 1);
    };
    addInput(Label1, Edit_oldpass, QStringLiteral("旧密码"), "Edit_oldpass");
    addInput(Label2, Edit_newpass, QStringLiteral("新密码"), "Edit_newpass");
    addInput(Label3, Edit_pass, QStringLiteral("验  证"), "Edit_pass");

    Btn_ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    Btn_ok->setObjectName(QStringLiteral("Btn_ok"));
    Btn_ok->setDefault(true);
    btn_exit = new QPushButton(QStringLiteral("退出(&E)"), this);
    btn_exit->setObjectName(QStringLiteral("btn_exit"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_ok);
    buttons->addWidget(btn_exit);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(16);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Btn_ok, &QPushButton::clicked, this, [this] { guarded(this, [this] { changePassword(); }); });
    connect(btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrm_ChangePass::changePassword()
{
    Dataset *query = m_data->Qry_Temp;
    TFrm_Data::RunQuery(query, QStringLiteral("select * from admin where username=")
                                   + SqlText::quoted(m_main->OperatorName));
    // Without a row of the operator (a name cut to 20 bytes) no old password can match.
    if (query->isEmpty() || Edit_oldpass->text() != query->text(QStringLiteral("Password"))) {
        Messages::plain(this, QStringLiteral("旧密码错误!"));
        return;
    }
    if (Edit_pass->text() != Edit_newpass->text()) {
        Messages::box(this, QStringLiteral("在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码."),
                      QStringLiteral("验证密码"), Msg::Icon::Information);
        return;
    }
    query->edit();
    try {
        query->setValue(QStringLiteral("Password"), Edit_newpass->text());
        query->post();
    } catch (...) {
        query->cancel(); // the refused change is reported; the row stays as stored
        throw;
    }
    Messages::box(this, QStringLiteral("修改密码成功!"), QStringLiteral("成功"), Msg::Icon::Information);
    accept();
}
