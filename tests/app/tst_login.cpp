// The login window and the change-password dialog on real widgets: inputs set by
// name, buttons pressed, messages answered by the scripted stand-in.
#include "TestProgram.h"
#include "app/TFrm_ChangePass.h"
#include "data/TFrm_Data.h"
#include "app/TFrm_Login.h"
#include "main/TFrm_Main.h"
#include "store/Connection.h"
#include "store/IniSettings.h"
#include "store/PasswordHash.h"
#include "store/SqlText.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

// The question after a login with an empty password.
QString askForPassword(const QString &name)
{
    return QStringLiteral("“%1”的密码为空,任何人都可以用这个名字登录。\n现在设置密码吗?").arg(name);
}

} // namespace

namespace {

const QString Warning = QStringLiteral("警告");
const QString LongName = QStringLiteral("一二三四五六七八九十甲乙"); // 12 characters, 24 GBK bytes

// How the fixture stores passwords: as typed, like a database from before the hashes, or
// hashed. The test hashes take few iterations; the count is read from the stored text.
enum class Stored { Plain, Hashed };

QString quickHash(const QString &password)
{
    return PasswordHash::make(password, QByteArray("fixed test salt!"), 1000);
}

struct Fixture
{
    explicit Fixture(const QString &config = {})
    {
        if (!config.isEmpty())
            program.writeConfig(config);
        Messages::install(&messages);
        main = std::make_unique<TFrm_Main>();
        data = std::make_unique<TFrm_Data>();
        main->setDataModule(data.get());
    }
    ~Fixture()
    {
        main.reset();
        data.reset();
        Messages::install(nullptr);
    }
    void exec(const QString &sql) { data->connection()->exec(sql); }
    void addOperator(const QString &name, const QString &password, int permit = 0, bool isUser = true,
                     const QList<bool> &rights = {}, Stored stored = Stored::Plain)
    {
        const QString value = stored == Stored::Hashed ? quickHash(password) : password;
        exec(QStringLiteral("insert into admin (UserName, Password, PartName, Remark, IsUser, Permit) "
                            "values (%1, %2, '', '', %3, %4)")
                 .arg(SqlText::quoted(name), SqlText::quoted(value))
                 .arg(isUser ? 1 : 0)
                 .arg(permit));
        for (int slot = 0; slot < rights.size(); ++slot)
            exec(QStringLiteral("insert into T_UserAuthority (UserName, FunctionName, Authority) values (%1, '权限', %2)")
                     .arg(SqlText::quoted(name))
                     .arg(rights[slot] ? 1 : 0));
    }
    // The operators of the login tests, in key order after Admin.
    void addLoginOperators(Stored stored = Stored::Plain)
    {
        if (stored == Stored::Hashed)
            exec(QStringLiteral("update admin set Password=%1 where UserName='Admin'")
                     .arg(SqlText::quoted(quickHash(QString()))));
        addOperator(QStringLiteral("张三"), QStringLiteral("Abc123"), 1, true, QList<bool>(20, false), stored);
        addOperator(QStringLiteral("停用"), QString(), 0, false, {}, stored);
        addOperator(QStringLiteral("赵六"), QStringLiteral("  "), 0, true, {}, stored);
        addOperator(QStringLiteral(" 王五 "), QString(), 0, true, {}, stored);
        addOperator(LongName, QString(), 0, true, {}, stored);
    }
    // A previous operator in force, to see that a failed login leaves it alone.
    void setPrevious()
    {
        main->OperatorName = QStringLiteral("前任");
        main->Permit = 7;
        main->setStatusPanel(0, QStringLiteral(" 当前操作员: 前任"));
        main->Rights.fill(true);
        main->applyRights();
    }
    QString storedPassword(const QString &name)
    {
        Dataset rows(data->connection());
        rows.setSql(QStringLiteral("select * from admin where UserName=") + SqlText::quoted(name));
        rows.open();
        return rows.text(QStringLiteral("Password"));
    }
    int savedPosition() const
    {
        return IniSettings(program.dir() + QStringLiteral("Config.ini"))
            .readInteger(QStringLiteral("login"), QStringLiteral("username"), -99);
    }

    TestProgram program;
    ScriptedMessages messages;
    std::unique_ptr<TFrm_Main> main;
    std::unique_ptr<TFrm_Data> data;
};

// Types text key by key, Chinese characters too (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QStringList items(QComboBox *combo)
{
    QStringList result;
    for (int i = 0; i < combo->count(); ++i)
        result.append(combo->itemText(i));
    return result;
}

} // namespace

class tst_Login : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loginWindow();
    void listsActiveOperatorsAsStored();
    void preselectsSavedPosition_data();
    void preselectsSavedPosition();
    void pressOK_data();
    void pressOK();
    void plainPasswordHashedAtFirstLogin();
    void emptyPasswordAskedUntilSet();
    void loginWhenHashCannotBeWritten();
    void failedLoginRemembersOperatorForNextTime();
    void focusFollowsChoice();
    void databaseFailures();
    void changePassDialog();
    void changePassword_data();
    void changePassword();
};

void tst_Login::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_Login::loginWindow()
{
    Fixture f;
    TFrm_Login login(f.main.get(), f.data.get());
    QCOMPARE(login.windowTitle(), QStringLiteral("登录"));
    QVERIFY(login.isModal());
    QCOMPARE(login.parentWidget(), f.main.get());
    QCOMPARE(login.findChild<QLabel *>("Label2")->text(), QStringLiteral("请选择操作员姓名并输入相应密码"));
    QCOMPARE(login.findChild<QLabel *>("Label4")->text(), QStringLiteral("初始用户为：“Admin” 密码为空"));
    QCOMPARE(login.findChild<QLabel *>("Label1")->text(), QStringLiteral("用户名称："));
    QCOMPARE(login.findChild<QLabel *>("Label1")->buddy(), child<QComboBox>(&login, "Combo_User"));
    QCOMPARE(login.findChild<QLabel *>("Label3")->text(), QStringLiteral("用户密码："));
    QCOMPARE(login.findChild<QLabel *>("Label3")->buddy(), child<QLineEdit>(&login, "Edit_Pass"));
    QVERIFY(!login.findChild<QComboBox *>("Combo_User")->isEditable());
    QCOMPARE(login.findChild<QLineEdit *>("Edit_Pass")->echoMode(), QLineEdit::Password);
    QVERIFY(login.findChild<QLineEdit *>("Edit_Pass")->text().isEmpty());
    QCOMPARE(login.findChild<QPushButton *>("Btn_ok")->text(), QStringLiteral("确定(&Y)"));
    QVERIFY(child<QPushButton>(&login, "Btn_ok")->isDefault());
    QCOMPARE(login.findChild<QPushButton *>("Btn_Exit")->text(), QStringLiteral("取消(&C)"));

    login.show();
    QTest::mouseClick(child<QPushButton>(&login, "Btn_Exit"), Qt::LeftButton);
    QVERIFY(!login.isVisible());
    QVERIFY(!login.LoginOK);
    QVERIFY(f.main->OperatorName.isEmpty());
}

void tst_Login::listsActiveOperatorsAsStored()
{
    Fixture f;
    f.addLoginOperators();
    TFrm_Login login(f.main.get(), f.data.get());
    // The disabled operator is missing; names keep their blanks.
    QCOMPARE(items(child<QComboBox>(&login, "Combo_User")), (QStringList{"Admin", "张三", "赵六", " 王五 ", LongName}));
}

void tst_Login::preselectsSavedPosition_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<int>("selected");
    QTest::newRow("no setting") << QString() << -1;
    QTest::newRow("second entry") << QStringLiteral("[login]\nusername=1\n") << 1;
    QTest::newRow("key case differs") << QStringLiteral("[Login]\nUserName=2\n") << 2;
    QTest::newRow("past the end") << QStringLiteral("[login]\nusername=5\n") << -1;
    QTest::newRow("none") << QStringLiteral("[login]\nusername=-1\n") << -1;
}

void tst_Login::preselectsSavedPosition()
{
    QFETCH(QString, config);
    QFETCH(int, selected);
    Fixture f(config);
    f.addOperator(QStringLiteral("张三"), QString());
    f.addOperator(QStringLiteral("李四"), QString());
    TFrm_Login login(f.main.get(), f.data.get());
    QCOMPARE(child<QComboBox>(&login, "Combo_User")->count(), 3);
    QCOMPARE(child<QComboBox>(&login, "Combo_User")->currentIndex(), selected);
}

void tst_Login::pressOK_data()
{
    QTest::addColumn<bool>("hashed");      // the operators' passwords stored hashed, else as typed
    QTest::addColumn<QString>("user");     // entry to choose; empty: none
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: the login succeeds
    QTest::addColumn<QString>("boxAfter"); // the password box after pressing OK
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<int>("permit");

    // Passwords from an older database (as typed) and hashed ones behave alike.
    for (const bool hashed : {false, true}) {
        auto row = [hashed](const char *tag) -> QTestData & {
            return QTest::newRow(qPrintable(QString::fromLatin1(tag) + (hashed ? " (hashed)" : " (plain)"))) << hashed;
        };
        row("Admin with empty password") << "Admin" << "" << "" << "" << "Admin" << 0;
        row("own password") << "张三" << "Abc123" << "" << "Abc123" << "张三" << 1;
        row("no user chosen") << "" << "Abc123" << "请选择一个用户名！" << "Abc123" << "" << 0;
        row("no user, no password") << "" << "" << "请选择一个用户名！" << "" << "" << 0;
        row("empty password") << "张三" << "" << "请输入密码！" << "" << "" << 0;
        row("wrong password") << "张三" << "Abc12" << "密码错误，请重新输入密码！" << "" << "" << 0;
        row("letter case counts") << "张三" << "abc123" << "密码错误，请重新输入密码！" << "" << "" << 0;
        row("stored empty, typed something")
            << "Admin" << "secret" << "Admin密码为空，您可以直接点击确定按钮登录！" << "" << "" << 0;
        row("stored blanks, typed nothing") << "赵六" << "" << "请输入密码！" << "" << "" << 0;
        row("stored blanks, typed blanks") << "赵六" << "  " << "" << "  " << "赵六" << 0;
        row("name with blanks, trimmed") << " 王五 " << "" << "" << "" << "王五" << 0;
        row("name with blanks, message untrimmed")
            << " 王五 " << "x" << " 王五 密码为空，您可以直接点击确定按钮登录！" << "" << "" << 0;
        row("12 characters held as 10") << LongName << "" << "" << "" << LongName.left(10) << 0;
    }
    // A plain password of blanks counts as empty for the hint; once hashed, only the
    // empty password is known to be empty.
    QTest::newRow("stored blanks, typed other (plain)")
        << false << "赵六" << "x" << "赵六密码为空，您可以直接点击确定按钮登录！" << "" << "" << 0;
    QTest::newRow("stored blanks, typed other (hashed)")
        << true << "赵六" << "x" << "密码错误，请重新输入密码！" << "" << "" << 0;
}

void tst_Login::pressOK()
{
    QFETCH(bool, hashed);
    QFETCH(QString, user);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, boxAfter);
    QFETCH(QString, operatorName);
    QFETCH(int, permit);
    Fixture f;
    f.addLoginOperators(hashed ? Stored::Hashed : Stored::Plain);
    f.setPrevious();
    const QString before = f.storedPassword(user);
    TFrm_Login login(f.main.get(), f.data.get());
    login.show();
    auto *combo = login.findChild<QComboBox *>("Combo_User");
    auto *password = login.findChild<QLineEdit *>("Edit_Pass");
    combo->setCurrentIndex(user.isEmpty() ? -1 : combo->findText(user));
    QVERIFY(user.isEmpty() || combo->currentIndex() >= 0);
    typeText(password, typed);
    QTest::mouseClick(login.findChild<QPushButton *>("Btn_ok"), Qt::LeftButton);

    QCOMPARE(password->text(), boxAfter);
    // The list position is saved after every press, succeeded or not.
    QCOMPARE(f.savedPosition(), combo->currentIndex());
    if (message.isEmpty()) {
        // An empty password logs in, and the operator is asked to set one (here 否).
        if (typed.isEmpty()) {
            QCOMPARE(f.messages.shown.size(), 1);
            QCOMPARE(f.messages.last().text, askForPassword(user.trimmed()));
            QCOMPARE(f.messages.last().buttons, Msg::Buttons::YesNo);
        } else {
            QCOMPARE(f.messages.shown.size(), 0);
        }
        QVERIFY(login.LoginOK);
        QVERIFY(!login.isVisible());
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(f.main->OperatorName, operatorName);
        QCOMPARE(f.main->Permit, permit);
        QCOMPARE(f.main->statusPanel(0), QStringLiteral(" 当前操作员: ") + operatorName);
        QVERIFY(f.main->Timer1->isActive());
        // A password as typed is replaced by its hash; a hash stays as it was.
        const QString after = f.storedPassword(user);
        QVERIFY2(PasswordHash::isHash(after), qPrintable(after));
        QVERIFY(PasswordHash::matches(typed, after));
        if (hashed)
            QCOMPARE(after, before);
        return;
    }
    QCOMPARE(f.messages.shown.size(), 1);
    const Msg::Record &shown = f.messages.last();
    QCOMPARE(shown.kind, Msg::Kind::Box);
    QCOMPARE(shown.text, message);
    QCOMPARE(shown.title, Warning);
    QCOMPARE(shown.icon, Msg::Icon::Error);
    QCOMPARE(shown.buttons, Msg::Buttons::Ok);
    QVERIFY(!login.LoginOK);
    QVERIFY(login.isVisible());
    // The previous operator stays in force.
    QCOMPARE(f.main->OperatorName, QStringLiteral("前任"));
    QCOMPARE(f.main->Permit, 7);
    QCOMPARE(f.main->statusPanel(0), QStringLiteral(" 当前操作员: 前任"));
    QVERIFY(f.main->right(3));
    QVERIFY(f.main->AddCust->isEnabled());
    QVERIFY(!f.main->Timer1->isActive());
    QCOMPARE(f.storedPassword(user), before); // a failed login writes nothing
}

namespace {

// Logs in through a new login window: the message shown, empty when it succeeded (the
// question that asks for a password after an empty one is answered 否 and not counted).
QString logIn(Fixture &f, const QString &user, const QString &typed)
{
    f.messages.shown.clear();
    TFrm_Login login(f.main.get(), f.data.get());
    auto *combo = child<QComboBox>(&login, "Combo_User");
    combo->setCurrentIndex(combo->findText(user));
    typeText(child<QLineEdit>(&login, "Edit_Pass"), typed);
    QTest::mouseClick(child<QPushButton>(&login, "Btn_ok"), Qt::LeftButton);
    if (login.LoginOK && !f.messages.shown.isEmpty() && f.messages.last().text == askForPassword(user.trimmed()))
        f.messages.shown.removeLast();
    if (login.LoginOK != f.messages.shown.isEmpty())
        return QStringLiteral("login %1 but message shown").arg(login.LoginOK ? "succeeded" : "failed");
    return login.LoginOK ? QString() : f.messages.last().text;
}

} // namespace

// A password from an older database is kept as typed until its operator logs in with it;
// from then on only its hash is stored, and the same password logs in.
void tst_Login::plainPasswordHashedAtFirstLogin()
{
    Fixture f;
    f.addLoginOperators();
    const QString wrong = QStringLiteral("密码错误，请重新输入密码！");
    QCOMPARE(logIn(f, QStringLiteral("张三"), QStringLiteral("abc123")), wrong);
    QCOMPARE(f.storedPassword(QStringLiteral("张三")), QStringLiteral("Abc123"));

    QCOMPARE(logIn(f, QStringLiteral("张三"), QStringLiteral("Abc123")), QString());
    const QString hash = f.storedPassword(QStringLiteral("张三"));
    QVERIFY2(hash.startsWith(QStringLiteral("pbkdf2-sha256$120000$")), qPrintable(hash));
    QVERIFY(!hash.contains(QStringLiteral("Abc123")));
    QCOMPARE(logIn(f, QStringLiteral("张三"), QStringLiteral("Abc123")), QString());
    QCOMPARE(f.storedPassword(QStringLiteral("张三")), hash); // hashed once, not at every login
    QCOMPARE(logIn(f, QStringLiteral("张三"), QStringLiteral("abc123")), wrong);
    QCOMPARE(logIn(f, QStringLiteral("张三"), QStringLiteral("Abc123 ")), wrong);

    // The first login of a new database: Admin with the empty password.
    QCOMPARE(f.storedPassword(QStringLiteral("Admin")), QString());
    QCOMPARE(logIn(f, QStringLiteral("Admin"), QString()), QString());
    const QString adminHash = f.storedPassword(QStringLiteral("Admin"));
    QVERIFY(PasswordHash::isHash(adminHash));
    QCOMPARE(logIn(f, QStringLiteral("Admin"), QString()), QString());
    QCOMPARE(logIn(f, QStringLiteral("Admin"), QStringLiteral("x")),
             QStringLiteral("Admin密码为空，您可以直接点击确定按钮登录！"));
    QCOMPARE(f.storedPassword(QStringLiteral("Admin")), adminHash);
}

// An empty password is never left silently: every login with it asks for one, 是 opens
// the change-password window, and once a password is set neither the question nor the
// hint naming the initial operator comes back.
void tst_Login::emptyPasswordAskedUntilSet()
{
    Fixture f;
    {
        TFrm_Login login(f.main.get(), f.data.get());
        QVERIFY(child<QLabel>(&login, "Label4")->isVisibleTo(&login));
    }
    auto loginAsAdmin = [&f](const QString &typed) {
        f.messages.shown.clear();
        TFrm_Login login(f.main.get(), f.data.get());
        auto *combo = child<QComboBox>(&login, "Combo_User");
        combo->setCurrentIndex(combo->findText(QStringLiteral("Admin")));
        typeText(child<QLineEdit>(&login, "Edit_Pass"), typed);
        QTest::mouseClick(child<QPushButton>(&login, "Btn_ok"), Qt::LeftButton);
        return login.LoginOK;
    };
    for (int time = 0; time < 2; ++time) {
        QVERIFY(loginAsAdmin(QString()));
        QCOMPARE(f.messages.texts(), QStringList{askForPassword(QStringLiteral("Admin"))});
    }
    f.messages.answer(Msg::Answer::Yes);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&poll] {
        auto *change = qobject_cast<TFrm_ChangePass *>(QApplication::activeModalWidget());
        if (!change)
            return;
        poll.stop();
        QCOMPARE(change->focusWidget(), child<QLineEdit>(change, "Edit_newpass"));
        child<QLineEdit>(change, "Edit_newpass")->setText(QStringLiteral("新密码1"));
        child<QLineEdit>(change, "Edit_pass")->setText(QStringLiteral("新密码1"));
        child<QPushButton>(change, "Btn_ok")->click();
    });
    poll.start(10);
    QVERIFY(loginAsAdmin(QString()));
    QCOMPARE(f.messages.texts(), (QStringList{askForPassword(QStringLiteral("Admin")), QStringLiteral("修改密码成功!")}));
    QVERIFY(PasswordHash::matches(QStringLiteral("新密码1"), f.storedPassword(QStringLiteral("Admin"))));

    QVERIFY(loginAsAdmin(QStringLiteral("新密码1")));
    QCOMPARE(f.messages.texts(), QStringList());
    TFrm_Login again(f.main.get(), f.data.get());
    QVERIFY(!child<QLabel>(&again, "Label4")->isVisibleTo(&again));
}

// The hash replaces the typed password when it can; a file that refuses the change does
// not keep the operator out.
void tst_Login::loginWhenHashCannotBeWritten()
{
    Fixture f;
    f.addLoginOperators();
    f.exec(QStringLiteral("create trigger keep_passwords before update on admin "
                          "begin select raise(abort, '只读'); end"));
    QCOMPARE(logIn(f, QStringLiteral("张三"), QStringLiteral("Abc123")), QString());
    QCOMPARE(f.main->OperatorName, QStringLiteral("张三"));
    QCOMPARE(f.storedPassword(QStringLiteral("张三")), QStringLiteral("Abc123"));
    QVERIFY(!f.data->connection()->inTransaction());
}

void tst_Login::failedLoginRemembersOperatorForNextTime()
{
    Fixture f;
    f.addLoginOperators();
    {
        TFrm_Login login(f.main.get(), f.data.get());
        child<QComboBox>(&login, "Combo_User")->setCurrentIndex(child<QComboBox>(&login, "Combo_User")->findText(QStringLiteral("赵六")));
        typeText(child<QLineEdit>(&login, "Edit_Pass"), QStringLiteral("wrong"));
        QTest::mouseClick(child<QPushButton>(&login, "Btn_ok"), Qt::LeftButton);
        QVERIFY(!login.LoginOK);
        QTest::mouseClick(child<QPushButton>(&login, "Btn_Exit"), Qt::LeftButton);
    }
    TFrm_Login next(f.main.get(), f.data.get());
    QCOMPARE(child<QComboBox>(&next, "Combo_User")->currentText(), QStringLiteral("赵六"));
    QCOMPARE(f.savedPosition(), 2);

    // Pressing OK with nothing chosen saves -1.
    child<QComboBox>(&next, "Combo_User")->setCurrentIndex(-1);
    QTest::mouseClick(child<QPushButton>(&next, "Btn_ok"), Qt::LeftButton);
    QCOMPARE(f.savedPosition(), -1);
}

void tst_Login::focusFollowsChoice()
{
    Fixture f;
    f.addLoginOperators();
    TFrm_Login login(f.main.get(), f.data.get());
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&login, "Edit_Pass"));
    child<QComboBox>(&login, "Combo_User")->setFocus();
    QCOMPARE(QApplication::focusWidget(), child<QComboBox>(&login, "Combo_User"));
    QTest::keyClick(child<QComboBox>(&login, "Combo_User"), Qt::Key_Down); // chooses the next entry
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&login, "Edit_Pass"));
}

void tst_Login::databaseFailures()
{
    // Reading the rights fails after the password matched: nothing of the operator changes.
    {
        Fixture f;
        f.addLoginOperators();
        f.setPrevious();
        TFrm_Login login(f.main.get(), f.data.get());
        f.exec(QStringLiteral("drop table T_UserAuthority"));
        login.show();
        child<QComboBox>(&login, "Combo_User")->setCurrentIndex(child<QComboBox>(&login, "Combo_User")->findText(QStringLiteral("张三")));
        typeText(child<QLineEdit>(&login, "Edit_Pass"), QStringLiteral("Abc123"));
        QTest::mouseClick(child<QPushButton>(&login, "Btn_ok"), Qt::LeftButton);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.last().kind, Msg::Kind::ErrorReport);
        QVERIFY(!login.LoginOK);
        QVERIFY(login.isVisible());
        QCOMPARE(f.main->OperatorName, QStringLiteral("前任"));
        QCOMPARE(f.main->Permit, 7);
        QCOMPARE(f.main->statusPanel(0), QStringLiteral(" 当前操作员: 前任"));
        QVERIFY(f.main->AddCust->isEnabled());
        QVERIFY(!f.main->Timer1->isActive());
    }
    // The operators' table cannot be read: the error report, and the window stays open.
    {
        Fixture f;
        TFrm_Login login(f.main.get(), f.data.get());
        child<QComboBox>(&login, "Combo_User")->setCurrentIndex(0);
        f.exec(QStringLiteral("drop table admin"));
        login.show();
        QTest::mouseClick(child<QPushButton>(&login, "Btn_ok"), Qt::LeftButton);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.last().kind, Msg::Kind::ErrorReport);
        QVERIFY(!login.LoginOK);
        QVERIFY(login.isVisible());
    }
}

void tst_Login::changePassDialog()
{
    Fixture f;
    TFrm_ChangePass dialog(f.main.get());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("修改密码"));
    QVERIFY(dialog.isModal());
    const QList<QPair<QString, QString>> inputs = {
        {"Edit_oldpass", "旧密码"}, {"Edit_newpass", "新密码"}, {"Edit_pass", "验  证"}};
    for (const auto &[name, caption] : inputs) {
        auto *edit = dialog.findChild<QLineEdit *>(name);
        QVERIFY2(edit, qPrintable(name));
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QVERIFY(edit->text().isEmpty());
        QLabel *label = nullptr;
        for (QLabel *candidate : dialog.findChildren<QLabel *>())
            if (candidate->buddy() == edit)
                label = candidate;
        QVERIFY2(label, qPrintable(name));
        QCOMPARE(label->text(), caption);
    }
    QCOMPARE(dialog.findChild<QPushButton *>("Btn_ok")->text(), QStringLiteral("确定(&Y)"));
    QVERIFY(child<QPushButton>(&dialog, "Btn_ok")->isDefault());
    QCOMPARE(dialog.findChild<QPushButton *>("btn_exit")->text(), QStringLiteral("退出(&E)"));
    dialog.show();
    QTest::mouseClick(child<QPushButton>(&dialog, "btn_exit"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void tst_Login::changePassword_data()
{
    QTest::addColumn<bool>("hashed"); // the old password stored hashed, else as typed
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("oldTyped");
    QTest::addColumn<QString>("newTyped");
    QTest::addColumn<QString>("verifyTyped");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("password"); // the password afterwards

    const int plain = int(Msg::Kind::Plain), box = int(Msg::Kind::Box);
    for (const bool hashed : {false, true}) {
        auto row = [hashed](const char *tag) -> QTestData & {
            return QTest::newRow(qPrintable(QString::fromLatin1(tag) + (hashed ? " (hashed)" : " (plain)"))) << hashed;
        };
        row("wrong old password") << "李四" << "abc" << "new" << "new" << plain << "客户管理系统" << "旧密码错误!"
                                  << "Abc";
        row("old password, letter case counts")
            << "李四" << "ABC" << "new" << "new" << plain << "客户管理系统" << "旧密码错误!" << "Abc";
        row("verify differs") << "李四" << "Abc" << "new" << "neu" << box << "验证密码"
                              << "在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码." << "Abc";
        row("changed") << "李四" << "Abc" << "新口令9" << "新口令9" << box << "成功" << "修改密码成功!" << "新口令9";
        row("changed to empty") << "李四" << "Abc" << "" << "" << box << "成功" << "修改密码成功!" << "";
        row("name with a quote") << "O'Neil" << "Abc" << "x'y" << "x'y" << box << "成功" << "修改密码成功!"
                                 << "x'y";
    }
}

void tst_Login::changePassword()
{
    QFETCH(bool, hashed);
    QFETCH(QString, name);
    QFETCH(QString, oldTyped);
    QFETCH(QString, newTyped);
    QFETCH(QString, verifyTyped);
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, password);
    Fixture f;
    const Stored stored = hashed ? Stored::Hashed : Stored::Plain;
    f.addOperator(name, QStringLiteral("Abc"), 0, true, {}, stored);
    f.addOperator(QStringLiteral("旁人"), QStringLiteral("Abc"), 0, true, {}, stored);
    f.main->OperatorName = name;
    const QString before = f.storedPassword(name);
    const QString otherBefore = f.storedPassword(QStringLiteral("旁人"));

    TFrm_ChangePass dialog(f.main.get());
    dialog.show();
    typeText(dialog.findChild<QLineEdit *>("Edit_oldpass"), oldTyped);
    typeText(dialog.findChild<QLineEdit *>("Edit_newpass"), newTyped);
    typeText(dialog.findChild<QLineEdit *>("Edit_pass"), verifyTyped);
    QTest::mouseClick(dialog.findChild<QPushButton *>("Btn_ok"), Qt::LeftButton);

    QCOMPARE(f.messages.shown.size(), 1);
    const Msg::Record &shown = f.messages.last();
    QCOMPARE(int(shown.kind), kind);
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.text, message);
    if (shown.kind == Msg::Kind::Box)
        QCOMPARE(shown.icon, Msg::Icon::Information);
    const bool changed = password != QStringLiteral("Abc");
    QCOMPARE(dialog.isVisible(), !changed); // closes only after a change
    const QString after = f.storedPassword(name);
    if (changed) {
        // The new password is stored as its hash, never as typed.
        QVERIFY2(PasswordHash::isHash(after), qPrintable(after));
        QVERIFY(PasswordHash::matches(password, after));
        QVERIFY(after != newTyped);
    } else {
        QCOMPARE(after, before);
    }
    QCOMPARE(f.storedPassword(QStringLiteral("旁人")), otherBefore);
}

QTEST_MAIN(tst_Login)
#include "tst_login.moc"
