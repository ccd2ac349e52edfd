#include "TFrm_Login.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/Gbk.h"
#include "store/ProgramDir.h"
#include "store/SqlText.h"
#include "ui/Guarded.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString Warning = QStringLiteral("警告");
}

TFrm_Login::TFrm_Login(TFrm_Main *mainWindow, TFrm_Data *data, QWidget *parent)
    : QDialog(parent ? parent : mainWindow), m_main(mainWindow), m_data(data)
{
    setObjectName(QStringLiteral("Frm_Login"));
    setWindowTitle(QStringLiteral("登录"));
    setModal(true);

    // The picture across the top carries the two hint lines.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedHeight(110);
    Image1->setScaledContents(true);
    QPixmap picture;
    if (picture.load(ProgramDir::file(QStringLiteral("IMG/Login.jpg"))))
        Image1->setPixmap(picture); // failure to load is ignored
    auto *captionBox = new QVBoxLayout(Image1);
    captionBox->setContentsMargins(20, 0, 12, 12);
    captionBox->addStretch();
    Label2 = new QLabel(QStringLiteral("请选择操作员姓名并输入相应密码"), Image1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4 = new QLabel(QStringLiteral("初始用户为：“Admin” 密码为空"), Image1);
    Label4->setObjectName(QStringLiteral("Label4"));
    for (QLabel *label : {Label2, Label4}) {
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        captionBox->addWidget(label);
    }

    Label1 = new QLabel(QStringLiteral("用户名称："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo_User = new QComboBox(this);
    Combo_User->setObjectName(QStringLiteral("Combo_User"));
    Combo_User->setEditable(false);
    Combo_User->setMinimumWidth(200);
    Label1->setBuddy(Combo_User);

    Label3 = new QLabel(QStringLiteral("用户密码："), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Edit_Pass = new QLineEdit(this);
    Edit_Pass->setObjectName(QStringLiteral("Edit_Pass"));
    Edit_Pass->setEchoMode(QLineEdit::Password);
    Edit_Pass->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Label3->setBuddy(Edit_Pass);

    Btn_ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    Btn_ok->setObjectName(QStringLiteral("Btn_ok"));
    Btn_ok->setDefault(true);
    Btn_Exit = new QPushButton(QStringLiteral("取消(&C)"), this);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));

    auto *form = new QGridLayout;
    form->setContentsMargins(40, 16, 40, 8);
    form->setVerticalSpacing(10);
    form->addWidget(Label1, 0, 0);
    form->addWidget(Combo_User, 0, 1);
    form->addWidget(Label3, 1, 0);
    form->addWidget(Edit_Pass, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(40, 4, 40, 16);
    buttons->addStretch();
    buttons->addWidget(Btn_ok);
    buttons->addWidget(Btn_Exit);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setFixedWidth(420);

    connect(Btn_ok, &QPushButton::clicked, this, &TFrm_Login::pressOK);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(Combo_User, &QComboBox::activated, this, [this] { Edit_Pass->setFocus(); });

    Edit_Pass->clear();
    guarded(this, [this] { fillUsers(); });
    Edit_Pass->setFocus();
}

void TFrm_Login::fillUsers()
{
    Dataset *query = m_data->Qry_Temp;
    TFrm_Data::RunQuery(query, QStringLiteral("select * from admin where IsUser=True"));
    const int name = query->checkedFieldIndex(QStringLiteral("UserName"));
    for (int row = 0; row < query->recordCount(); ++row)
        Combo_User->addItem(Dataset::displayText(query->value(row, name)));
    const int position = m_data->settings().readInteger(QStringLiteral("login"), QStringLiteral("username"), -1);
    Combo_User->setCurrentIndex(position >= 0 && position < Combo_User->count() ? position : -1);
}

void TFrm_Login::pressOK()
{
    guarded(this, [this] { tryLogin(); });
    // Remembered after every press, also when the login failed.
    guarded(this, [this] {
        m_data->settings().writeInteger(QStringLiteral("login"), QStringLiteral("username"),
                                        Combo_User->currentIndex());
    });
    if (LoginOK)
        accept();
}

void TFrm_Login::tryLogin()
{
    const QString chosen = Combo_User->currentIndex() >= 0 ? Combo_User->currentText() : QString();
    Dataset *query = m_data->Qry_Temp;
    TFrm_Data::RunQuery(query, QStringLiteral("select * from admin where username=") + SqlText::quoted(chosen));
    const QString stored = query->isEmpty() ? QString() : query->text(QStringLiteral("Password"));
    const int permit = query->isEmpty() ? 0 : int(query->integer(QStringLiteral("Permit")));

    if (chosen.trimmed().isEmpty()) {
        Messages::box(this, QStringLiteral("请选择一个用户名！"), Warning, Msg::Icon::Error);
        return;
    }
    const QString typed = Edit_Pass->text();
    if (typed == stored) {
        // Sets operator, timer, permit, status bar and rights together, or nothing when
        // reading the rights fails.
        m_main->setOperator(Gbk::cut(chosen.trimmed(), 20), permit);
        LoginOK = true;
        return;
    }
    if (typed.isEmpty()) {
        Messages::box(this, QStringLiteral("请输入密码！"), Warning, Msg::Icon::Error);
        Edit_Pass->setFocus();
        return;
    }
    if (!stored.trimmed().isEmpty())
        Messages::box(this, QStringLiteral("密码错误，请重新输入密码！"), Warning, Msg::Icon::Error);
    else
        Messages::box(this, chosen + QStringLiteral("密码为空，您可以直接点击确定按钮登录！"), Warning, Msg::Icon::Error);
    Edit_Pass->clear();
}

void TFrm_Login::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen, also when the main window behind it is still hidden.
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}
