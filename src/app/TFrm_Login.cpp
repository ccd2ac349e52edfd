#include "TFrm_Login.h"
#include "TFrm_ChangePass.h"
#include "ui_TFrm_Login.h"
#include "data/TFrm_Data.h"
#include "store/SettingKeys.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/Gbk.h"
#include "store/PasswordHash.h"
#include "store/ProgramDir.h"
#include "store/queries/Operators.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QPixmap>
#include <QScreen>

namespace {
const QString Warning = QStringLiteral("警告");
}

TFrm_Login::TFrm_Login(Session *session, SetOperator setOperator, QWidget *parent)
    : QDialog(parent ? parent : session->dialogParent()), ui(std::make_unique<Ui::TFrm_Login>()),
      m_session(session), m_setOperator(std::move(setOperator))
{
    ui->setupUi(this);
    setFixedWidth(420);
    // The picture across the top carries the two hint lines; failure to load it is ignored.
    QPixmap picture;
    if (picture.load(ProgramDir::file(QStringLiteral("IMG/Login.jpg"))))
        ui->Image1->setPixmap(picture);

    connect(ui->Btn_ok, &QPushButton::clicked, this, &TFrm_Login::pressOK);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Combo_User, &QComboBox::activated, this, [this] { ui->Edit_Pass->setFocus(); });

    ui->Edit_Pass->clear();
    guarded(this, [this] { fillUsers(); });
    ui->Edit_Pass->setFocus();
}

TFrm_Login::~TFrm_Login() = default;

void TFrm_Login::fillUsers()
{
    Dataset users(m_session->data()->connection());
    Operators::openActive(users);
    const int name = users.checkedFieldIndex(QStringLiteral("UserName"));
    for (int row = 0; row < users.recordCount(); ++row)
        ui->Combo_User->addItem(Dataset::displayText(users.value(row, name)));
    // The hint names the initial operator and its empty password only while that is true.
    Dataset admin(m_session->data()->connection());
    Operators::openByName(admin, QStringLiteral("Admin"));
    ui->Label4->setVisible(!admin.isEmpty() && PasswordHash::matches(QString(), admin.text(QStringLiteral("Password"))));
    const int position = Setting::LoginUser.read(m_session->data()->settings());
    ui->Combo_User->setCurrentIndex(position >= 0 && position < ui->Combo_User->count() ? position : -1);
}

void TFrm_Login::pressOK()
{
    guarded(this, [this] { tryLogin(); });
    // Remembered after every press, also when the login failed.
    guarded(this, [this] {
        Setting::LoginUser.write(m_session->data()->settings(), ui->Combo_User->currentIndex());
    });
    if (LoginOK)
        accept();
}

void TFrm_Login::tryLogin()
{
    const QString chosen = ui->Combo_User->currentIndex() >= 0 ? ui->Combo_User->currentText() : QString();
    Dataset user(m_session->data()->connection());
    Operators::openByName(user, chosen);
    const QString stored = user.isEmpty() ? QString() : user.text(QStringLiteral("Password"));
    const int permit = user.isEmpty() ? 0 : int(user.integer(QStringLiteral("Permit")));

    if (chosen.trimmed().isEmpty()) {
        Messages::box(this, QStringLiteral("请选择一个用户名！"), Warning, Msg::Icon::Error);
        return;
    }
    const QString typed = ui->Edit_Pass->text();
    if (PasswordHash::matches(typed, stored)) {
        if (!user.isEmpty() && !PasswordHash::isHash(stored))
            storeHash(user.integer(QStringLiteral("UserID")), typed);
        // Sets operator, timer, permit, status bar and rights together, or nothing when
        // reading the rights fails.
        m_setOperator(Gbk::cut(chosen.trimmed(), 20), permit);
        LoginOK = true;
        if (typed.isEmpty())
            askForPassword(chosen.trimmed());
        return;
    }
    if (typed.isEmpty()) {
        Messages::box(this, QStringLiteral("请输入密码！"), Warning, Msg::Icon::Error);
        ui->Edit_Pass->setFocus();
        return;
    }
    if (!PasswordHash::isBlank(stored))
        Messages::box(this, QStringLiteral("密码错误，请重新输入密码！"), Warning, Msg::Icon::Error);
    else
        Messages::box(this, chosen + QStringLiteral("密码为空，您可以直接点击确定按钮登录！"), Warning, Msg::Icon::Error);
    ui->Edit_Pass->clear();
}

// An empty password lets anyone in under this name, so it is never left silently: the
// operator is asked to set one at every login while it stays empty, and may go on
// without (否) to be asked again next time.
void TFrm_Login::askForPassword(const QString &name)
{
    const Msg::Answer answer = Messages::box(
        this, QStringLiteral("“%1”的密码为空,任何人都可以用这个名字登录。\n现在设置密码吗?").arg(name),
        QStringLiteral("设置密码"), Msg::Icon::Question, Msg::Buttons::YesNo);
    if (answer != Msg::Answer::Yes)
        return;
    TFrm_ChangePass dialog(m_session, this);
    dialog.startAtNewPassword();
    dialog.exec();
}

// A password from an older database, just typed correctly, is replaced by its hash.
// When the file refuses the change (read-only, say) the operator still logs in, and the
// next login tries again: keeping him out would not make the password any safer.
void TFrm_Login::storeHash(qint64 userId, const QString &password)
{
    try {
        Operators::setPassword(m_session->data()->connection(), userId, PasswordHash::make(password));
    } catch (const DbError &) {
    }
}

void TFrm_Login::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen, also when the main window behind it is still hidden.
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}
