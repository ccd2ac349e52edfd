#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "activities/TFrm_AddDaily.h"
#include "activities/TFrm_AddSchedule.h"
#include "activities/TFrm_Awoke.h"
#include "app/TFrm_ChangePass.h"
#include "app/TFrm_Login.h"
#include "customers/TFrm_AddContact.h"
#include "customers/TFrm_AddCust.h"
#include "customers/TFrm_BatchEdit.h"
#include "customers/TFrm_Custom.h"
#include "customers/TFrm_Email.h"
#include "customers/TFrm_Field.h"
#include "customers/TFrm_S_Cust.h"
#include "main/TFrm_About.h"
#include "main/TFrm_Tree.h"
#include "store/Connection.h"
#include "store/SettingKeys.h"
#include "ui/Accessibility.h"
#include "ui/ChineseLocale.h"
#include "ui/Messages.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

// What every dialog of the program owes its operator, checked on all of them at once:
// typed work is not thrown away without a question, Enter and Esc do what they say, each
// accelerator letter leads to one place, a screen reader finds a name for every input,
// and Qt's own texts are Chinese.
class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editorsAskBeforeDiscarding_data();
    void editorsAskBeforeDiscarding();
    void editorsCloseQuietlyWhenClean_data();
    void editorsCloseQuietlyWhenClean();
    void savedAddsLeaveNothingToLose();
    void navigatorMoveIsNoChange();
    void ownStateJoinsTheQuestion();
    void realQuestionDefaultsToNo_data();
    void realQuestionDefaultsToNo();

    void firstInputHasFocus_data();
    void firstInputHasFocus();
    void everyDialog_data();
    void defaultButtonAndEscape();
    void defaultButtonAndEscape_data() { everyDialog_data(); }
    void acceleratorsUnique();
    void acceleratorsUnique_data() { everyDialog_data(); }
    void inputsHaveAccessibleNames();
    void inputsHaveAccessibleNames_data() { everyDialog_data(); }
    void childWindowsHaveAccessibleNames();
    void labelsReachTheirInputs();
    void labelsReachTheirInputs_data() { everyDialog_data(); }

    void categoryWindowKeys();
    void categoryPickerOpensOnCurrent();
    void qtTextsAreChinese();
    void screenshots();

private:
    QDialog *make(const QString &name);
    void openBrowser();

    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
};

void TestDialogs::initTestCase()
{
    ChineseLocale::install();
    Accessibility::install();
}

void TestDialogs::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    Connection *c = m_fixture->db();
    c->exec(QStringLiteral("insert into custom (CustCode, Company, Category, F_User) values "
                           "(5, '华信科技', '01', '张三'), (7, '东方贸易', '01', '张三')"));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName, F_User) values (5, '华信科技', '王经理', '张三')"));
    c->exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, F_User) values "
                           "('5', '华信科技', '回访', '张三'), ('5', '华信科技', '报价', '张三')"));
    c->exec(QStringLiteral("insert into T_Daily (Subject, Content, AddDate, author) values ('日记', '内容', '2026-03-01', '张三')"));
    m_fixture->login(QStringLiteral("张三"), true, 0);
}

void TestDialogs::cleanup()
{
    m_fixture.reset();
}

void TestDialogs::openBrowser()
{
    m_main->showCustomerBrowser();
    QVERIFY(m_fixture->data->Qry_Cust->locate(QStringLiteral("CustCode"), 5));
}

// A dialog of the program by a short name, in add mode for the editors.
QDialog *TestDialogs::make(const QString &name)
{
    TFrm_Data *data = m_fixture->data.get();
    const auto editor = [](RecordEditor *e, EditorMode mode = EditorMode::Add) {
        e->setMode(mode);
        return e;
    };
    if (name == QLatin1String("customer"))
        return editor(new TFrm_AddCust(m_main, m_main));
    if (name == QLatin1String("customer edit"))
        return editor(new TFrm_AddCust(m_main, m_main), EditorMode::Edit);
    if (name == QLatin1String("contact"))
        return editor(new TFrm_AddContact(m_main, m_main));
    if (name == QLatin1String("schedule"))
        return editor(new TFrm_AddSchedule(m_main, m_main));
    if (name == QLatin1String("schedule edit"))
        return editor(new TFrm_AddSchedule(m_main, m_main), EditorMode::Edit);
    if (name == QLatin1String("diary"))
        return editor(new TFrm_AddDaily(m_main, m_main));
    if (name == QLatin1String("search"))
        return new TFrm_S_Cust(m_main);
    if (name == QLatin1String("columns"))
        return new TFrm_Field(data, QStringLiteral("Custom"), m_main);
    if (name == QLatin1String("batch"))
        return new TFrm_BatchEdit(data, m_main->findChild<TFrm_Custom *>(), m_main);
    if (name == QLatin1String("email"))
        return new TFrm_Email(data, m_main);
    if (name == QLatin1String("reminders"))
        return new TFrm_Awoke(m_main, m_main);
    if (name == QLatin1String("category")) {
        auto *tree = new TFrm_Tree(data, m_main);
        tree->RootCaption = QStringLiteral("客户分类");
        tree->SelectMode = TFrm_Tree::CustomerEditor;
        return tree;
    }
    if (name == QLatin1String("password"))
        return new TFrm_ChangePass(m_main, m_main);
    if (name == QLatin1String("login"))
        return new TFrm_Login(m_main, [](const QString &, int) {}, m_main);
    if (name == QLatin1String("about"))
        return new TFrm_About(QStringLiteral("客户管理系统"), QStringLiteral("1.0"), m_main);
    qFatal("no dialog %s", qPrintable(name));
}

// ------------------------------------------------------------------ unsaved changes

void TestDialogs::editorsAskBeforeDiscarding_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("input"); // typed into
    QTest::addColumn<QString>("exitButton");
    QTest::addColumn<QString>("way"); // esc, button, closeBox
    QTest::addColumn<QString>("unsaved"); // a statement counting what must not have been stored
    const struct
    {
        const char *dialog, *input, *exit, *unsaved;
    } editors[] = {
        {"customer", "Edit_CustName", "Btn_Cancel", "select count(*) from custom where Company like '%zzq%'"},
        {"customer edit", "Edit_CustName", "Btn_Cancel", "select count(*) from custom where Company like '%zzq%'"},
        {"contact", "Edit_Name", "Btn_Exit", "select count(*) from contact where ContactName like '%zzq%'"},
        {"schedule", "Combo_Subject", "Btn_Exit", "select count(*) from T_Schedule where Subject like '%zzq%'"},
        {"schedule edit", "Memo1", "Btn_Exit", "select count(*) from T_Schedule where Memo like '%zzq%'"},
        {"diary", "Memo1", "Btn_Exit", "select count(*) from T_Daily where Content like '%zzq%'"},
    };
    for (const auto &e : editors)
        for (const char *way : {"esc", "button", "closeBox"})
            QTest::addRow("%s, %s", e.dialog, way) << e.dialog << e.input << e.exit << way << e.unsaved;
}

// Typed and not saved: leaving asks "放弃所做的修改吗？" with 否 as the default; 否 keeps
// the editor open with the text, 是 closes it and stores nothing.
void TestDialogs::editorsAskBeforeDiscarding()
{
    QFETCH(QString, dialog);
    QFETCH(QString, input);
    QFETCH(QString, exitButton);
    QFETCH(QString, way);
    QFETCH(QString, unsaved);
    openBrowser();
    std::unique_ptr<QDialog> w(make(dialog));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QWidget *typedInto = w->findChild<QWidget *>(input);
    QVERIFY(typedInto);
    QTest::keyClicks(typedInto, QStringLiteral("zzq"));
    const auto leave = [&] {
        if (way == QLatin1String("esc"))
            QTest::keyClick(w.get(), Qt::Key_Escape);
        else if (way == QLatin1String("button"))
            child<QPushButton>(w, exitButton.toLatin1().constData())->click();
        else
            w->close();
    };
    m_messages->answer(Msg::Answer::No);
    leave();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("放弃所做的修改吗？")});
    QCOMPARE(m_messages->last().title, QStringLiteral("询问"));
    QCOMPARE(m_messages->last().icon, Msg::Icon::Question);
    QCOMPARE(m_messages->last().buttons, Msg::Buttons::YesNoDefaultNo);
    QVERIFY(w->isVisible());
    QVERIFY(w->result() != QDialog::Rejected || w->isVisible());

    m_messages->answer(Msg::Answer::Yes);
    leave();
    QCOMPARE(m_messages->shown.size(), 2);
    QVERIFY(!w->isVisible());
    QCOMPARE(m_fixture->count(unsaved), 0);
}

void TestDialogs::editorsCloseQuietlyWhenClean_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("typeAndTakeBack");
    for (const char *d : {"customer", "customer edit", "contact", "schedule", "schedule edit", "diary"}) {
        QTest::addRow("%s, untouched", d) << d << QString() << false;
    }
    QTest::newRow("customer, typed and taken back") << "customer" << "Edit_CustName" << true;
    QTest::newRow("diary, typed and taken back") << "diary" << "Edit_Subject" << true;
    QTest::newRow("schedule edit, typed and taken back") << "schedule edit" << "Memo1" << true;
}

// Nothing typed, or typed and taken back: Esc closes without a word.
void TestDialogs::editorsCloseQuietlyWhenClean()
{
    QFETCH(QString, dialog);
    QFETCH(QString, input);
    QFETCH(bool, typeAndTakeBack);
    openBrowser();
    std::unique_ptr<QDialog> w(make(dialog));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    if (typeAndTakeBack) {
        QWidget *typedInto = w->findChild<QWidget *>(input);
        QTest::keyClicks(typedInto, QStringLiteral("ab"));
        QTest::keyClick(typedInto, Qt::Key_Backspace);
        QTest::keyClick(typedInto, Qt::Key_Backspace);
    }
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
    QVERIFY(!w->isVisible());
}

// After an add loop's save the inputs hold nothing unsaved: Esc closes without a word.
void TestDialogs::savedAddsLeaveNothingToLose()
{
    openBrowser();
    for (const char *d : {"customer", "contact", "schedule", "diary"}) {
        m_messages->shown.clear();
        std::unique_ptr<QDialog> w(make(QString::fromLatin1(d)));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const char *input = qstrcmp(d, "customer") == 0 ? "Edit_CustName"
                          : qstrcmp(d, "contact") == 0  ? "Edit_Name"
                          : qstrcmp(d, "schedule") == 0 ? "Combo_Subject"
                                                        : "Edit_Subject";
        QTest::keyClicks(w->findChild<QWidget *>(QString::fromLatin1(input)), QStringLiteral("saved %1").arg(QLatin1String(d)));
        child<QPushButton>(w, "Btn_OK")->click();
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(QLatin1String(d) + m_messages->texts().join(QLatin1Char('|'))));
        QVERIFY(w->isVisible()); // open for the next one
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY2(m_messages->shown.isEmpty(), d);
        QVERIFY2(!w->isVisible(), d);
    }
}

// A row the navigator moved to is what the inputs hold: nothing to lose.
void TestDialogs::navigatorMoveIsNoChange()
{
    openBrowser();
    std::unique_ptr<QDialog> w(make(QStringLiteral("schedule edit")));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTest::keyClicks(child<QWidget>(w, "Memo1"), QStringLiteral("x"));
    child<QToolButton>(w, "NavNext")->click(); // the typed text goes with the row left
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(!w->isVisible());
}

namespace {
// An editor with work of its own outside its inputs (lines held in memory).
class LinesEditor : public RecordEditor
{
public:
    bool linesChanged = false;
    bool hasUnsavedChanges() const override { return RecordEditor::hasUnsavedChanges() || linesChanged; }

protected:
    void showSteps() override {}
};
} // namespace

void TestDialogs::ownStateJoinsTheQuestion()
{
    LinesEditor w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.linesChanged = true;
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("放弃所做的修改吗？")});
    QVERIFY(w.isVisible());
    w.linesChanged = false;
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(!w.isVisible());
}

// The real message box: Enter on a deleting or discarding question keeps everything.
void TestDialogs::realQuestionDefaultsToNo_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<int>("enterAnswer");
    QTest::newRow("plain yes/no") << int(Msg::Buttons::YesNo) << "是(&Y)" << int(Msg::Answer::Yes);
    QTest::newRow("deleting yes/no") << int(Msg::Buttons::YesNoDefaultNo) << "否(&N)" << int(Msg::Answer::No);
    QTest::newRow("plain ok/cancel") << int(Msg::Buttons::OkCancel) << "确定" << int(Msg::Answer::Ok);
    QTest::newRow("deleting ok/cancel") << int(Msg::Buttons::OkCancelDefaultCancel) << "取消" << int(Msg::Answer::Cancel);
}

void TestDialogs::realQuestionDefaultsToNo()
{
    QFETCH(int, buttons);
    QFETCH(QString, defaultText);
    QFETCH(int, enterAnswer);
    Messages::install(nullptr); // the real boxes
    QString shownDefault;
    Msg::Answer answer = Msg::Answer::Ok;
    whenModal([&] { answer = Messages::box(m_main, QStringLiteral("确定要删除客户记录吗！"), QStringLiteral("警告"),
                                           Msg::Icon::Information, Msg::Buttons(buttons)); },
              [&](QWidget *dialog) {
                  auto *box = qobject_cast<QMessageBox *>(dialog);
                  QVERIFY(box && box->defaultButton());
                  shownDefault = box->defaultButton()->text();
                  QTest::keyClick(box, Qt::Key_Return);
              });
    Messages::install(m_messages);
    QCOMPARE(shownDefault, defaultText);
    QCOMPARE(int(answer), enterAnswer);
}

// ------------------------------------------------------------------ keyboard

void TestDialogs::firstInputHasFocus_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("autoCode"); // [Config] AutoCode
    QTest::addColumn<QString>("focused");
    QTest::newRow("customer, automatic codes") << "customer" << 1 << "Edit_CustName";
    QTest::newRow("customer, codes typed") << "customer" << 0 << "Edit_Code";
    QTest::newRow("customer edit") << "customer edit" << 1 << "Edit_CustName";
    QTest::newRow("contact") << "contact" << 1 << "Edit_Name";
    QTest::newRow("schedule") << "schedule" << 1 << "Combo_Subject";
    QTest::newRow("diary") << "diary" << 1 << "Edit_Subject";
    QTest::newRow("search") << "search" << 1 << "Edit_custname";
    QTest::newRow("batch") << "batch" << 1 << "Edit_Category";
    QTest::newRow("email") << "email" << 1 << "Edit1";
}

// A new record starts with the focus in its first input, ready for typing.
void TestDialogs::firstInputHasFocus()
{
    QFETCH(QString, dialog);
    QFETCH(int, autoCode);
    QFETCH(QString, focused);
    Setting::AutoCode.write(m_fixture->data->settings(), autoCode);
    openBrowser();
    std::unique_ptr<QDialog> w(make(dialog));
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QWidget *focus = QApplication::focusWidget();
    while (focus && (focus->objectName().isEmpty() || focus->objectName().startsWith(QLatin1String("qt_"))))
        focus = focus->parentWidget();
    QVERIFY(focus);
    QCOMPARE(focus->objectName(), focused);
}

void TestDialogs::everyDialog_data()
{
    QTest::addColumn<QString>("dialog");
    for (const char *d : {"customer", "customer edit", "contact", "schedule", "schedule edit", "diary", "search",
                          "columns", "batch", "email", "reminders", "category", "password", "login", "about"})
        QTest::newRow(d) << d;
}

// Enter has a button to press; Esc closes a dialog in which nothing was typed.
void TestDialogs::defaultButtonAndEscape()
{
    QFETCH(QString, dialog);
    openBrowser();
    std::unique_ptr<QDialog> w(make(dialog));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QStringList defaults;
    for (QPushButton *button : w->findChildren<QPushButton *>())
        if (button->isDefault())
            defaults.append(button->objectName());
    // The category window works from its tool bar: Enter picks or saves there
    // (categoryWindowKeys).
    QCOMPARE(defaults.size(), dialog == QLatin1String("category") ? 0 : 1);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
}

namespace {
// The accelerator letter of a caption ("保存(&S)" gives "S"), upper case; empty for none.
QString acceleratorOf(QString text)
{
    text.replace(QStringLiteral("&&"), QString());
    const int at = int(text.indexOf(QLatin1Char('&')));
    return at >= 0 && at + 1 < text.size() ? text.mid(at + 1, 1).toUpper() : QString();
}
} // namespace

// Each accelerator letter leads to one place in the window, whichever page it is on.
void TestDialogs::acceleratorsUnique()
{
    QFETCH(QString, dialog);
    openBrowser();
    std::unique_ptr<QDialog> w(make(dialog));
    w->show();
    QMultiMap<QString, QString> owners;
    const auto add = [&owners](const QString &caption, const QString &owner) {
        const QString key = acceleratorOf(caption);
        if (!key.isEmpty())
            owners.insert(key, owner + QLatin1Char(' ') + caption);
    };
    for (QLabel *label : w->findChildren<QLabel *>())
        if (label->buddy())
            add(label->text(), label->objectName());
    for (QAbstractButton *button : w->findChildren<QAbstractButton *>())
        add(button->text(), button->objectName());
    for (QGroupBox *box : w->findChildren<QGroupBox *>())
        add(box->title(), box->objectName());
    for (QTabWidget *tabs : w->findChildren<QTabWidget *>())
        for (int i = 0; i < tabs->count(); ++i)
            add(tabs->tabText(i), tabs->objectName());
    for (QToolBar *bar : w->findChildren<QToolBar *>())
        for (QAction *action : bar->actions())
            add(action->text(), action->objectName());
    QStringList clashes;
    for (const QString &key : owners.uniqueKeys())
        if (owners.count(key) > 1)
            clashes.append(key + QStringLiteral(": ") + QStringList(owners.values(key)).join(QStringLiteral(", ")));
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QStringLiteral("; "))));
}

namespace {
bool isInput(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QTextEdit *>(w)
        || qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QAbstractButton *>(w);
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}
} // namespace

namespace {
// The inputs and buttons of a window that a Tab or click can reach without a name for a
// screen reader, the part of each that actually takes the focus included.
QStringList unnamedInputs(QWidget *window)
{
    QStringList unnamed;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!isInput(widget) || !(widget->focusPolicy() & Qt::TabFocus) || widget->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (qobject_cast<QLineEdit *>(widget) && (qobject_cast<QComboBox *>(widget->parentWidget())
                                                  || qobject_cast<QAbstractSpinBox *>(widget->parentWidget())))
            continue; // checked below as the part of its input
        if (accessibleName(widget).isEmpty())
            unnamed.append(widget->objectName() + QLatin1Char('(') + QLatin1String(widget->metaObject()->className()) + QLatin1Char(')'));
        QWidget *focused = widget;
        if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->lineEdit())
            focused = combo->lineEdit();
        else if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
            focused = spin->findChild<QLineEdit *>();
        else if (auto *text = qobject_cast<QTextEdit *>(widget))
            focused = text->viewport();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
            focused = plain->viewport();
        if (focused && focused != widget && accessibleName(focused).isEmpty() && focused->accessibleName().isEmpty())
            unnamed.append(widget->objectName() + QStringLiteral(" (inner part)"));
    }
    return unnamed;
}
} // namespace

// Every input and button of a dialog gives a screen reader a name.
void TestDialogs::inputsHaveAccessibleNames()
{
    QFETCH(QString, dialog);
    openBrowser();
    std::unique_ptr<QDialog> w(make(dialog));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QStringList unnamed = unnamedInputs(w.get());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

// So do those of the child windows: the browser, the schedule list, the diary.
void TestDialogs::childWindowsHaveAccessibleNames()
{
    m_main->resize(1100, 700);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    openBrowser();
    QVERIFY(m_main->runHandler(QStringLiteral("Main_Schedule")));
    QVERIFY(m_main->runHandler(QStringLiteral("Main_Daily")));
    QCOMPARE(m_main->childWindows().size(), 3);
    for (QWidget *window : m_main->childWindows()) {
        const QStringList unnamed = unnamedInputs(window);
        QVERIFY2(unnamed.isEmpty(), qPrintable(window->windowTitle() + QStringLiteral(": ") + unnamed.join(QStringLiteral(", "))));
    }
}

// A label's accelerator leads to its input, and no two labels share an input.
void TestDialogs::labelsReachTheirInputs()
{
    QFETCH(QString, dialog);
    openBrowser();
    std::unique_ptr<QDialog> w(make(dialog));
    QStringList problems;
    QMap<QWidget *, QString> buddies;
    for (QLabel *label : w->findChildren<QLabel *>()) {
        if (acceleratorOf(label->text()).isEmpty())
            continue;
        if (!label->buddy())
            problems.append(label->text() + QStringLiteral(" leads nowhere"));
        else if (buddies.contains(label->buddy()))
            problems.append(label->text() + QStringLiteral(" and ") + buddies.value(label->buddy()));
        else
            buddies.insert(label->buddy(), label->text());
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
}

// The category window has tool-bar entries, no buttons: Alt and the entry's letter run
// an entry (Alt+S saves instead of typing an "s" into the name), and Enter saves the name
// or, on the tree, picks the category.
void TestDialogs::categoryWindowKeys()
{
    m_fixture->db()->exec(QStringLiteral("delete from Cust_Category"));
    m_fixture->db()->exec(QStringLiteral("insert into Cust_Category (code, name) values ('01','华北'), ('0101','北京')"));
    std::unique_ptr<TFrm_Tree> w(static_cast<TFrm_Tree *>(make(QStringLiteral("category"))));
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QCOMPARE(w->TB_Save->shortcut(), QKeySequence(QStringLiteral("Alt+S")));
    QCOMPARE(w->TB_Cancel->shortcut(), QKeySequence(QStringLiteral("Alt+C")));
    QCOMPARE(w->TB_Select->shortcut(), QKeySequence(QStringLiteral("Alt+X")));

    w->TreeView1->setCurrentItem(w->TreeView1->findItems(QStringLiteral("01-"), Qt::MatchStartsWith | Qt::MatchRecursive).value(0));
    w->TB_Edit->trigger(); // rename 01
    QCOMPARE(w->Edit_Name->text(), QStringLiteral("华北"));
    w->Edit_Name->setText(QStringLiteral("华北地区"));
    QTest::keyClick(w->Edit_Name, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select name from Cust_Category where code='01'")).toString(), QStringLiteral("华北地区"));
    QCOMPARE(w->Edit_Name->text(), QStringLiteral("华北地区"));

    w->TB_Edit->trigger();
    w->Edit_Name->setText(QStringLiteral("华北区"));
    QTest::keyClick(w->Edit_Name, Qt::Key_Return);
    QCOMPARE(m_fixture->scalar(QStringLiteral("select name from Cust_Category where code='01'")).toString(), QStringLiteral("华北区"));

    // Enter on the tree picks the current category.
    w->TreeView1->setFocus();
    QTreeWidgetItem *beijing = w->TreeView1->findItems(QStringLiteral("0101-"), Qt::MatchStartsWith | Qt::MatchRecursive).value(0);
    QVERIFY(beijing);
    w->TreeView1->setCurrentItem(beijing);
    QTest::keyClick(w->TreeView1, Qt::Key_Return);
    QVERIFY(w->Selected);
    QCOMPARE(w->SelectedCode, QStringLiteral("0101"));
    QVERIFY(!w->isVisible());
}

// The picker opens on the category the input holds, its branch open and the node selected.
void TestDialogs::categoryPickerOpensOnCurrent()
{
    m_fixture->db()->exec(QStringLiteral("delete from Cust_Category"));
    m_fixture->db()->exec(QStringLiteral("insert into Cust_Category (code, name) values ('01','华北'), ('0101','北京'), "
                                         "('010101','朝阳'), ('02','华东')"));
    TFrm_Tree tree(m_fixture->data.get(), m_main);
    tree.RootCaption = QStringLiteral("客户分类");
    tree.SelectMode = TFrm_Tree::BatchEdit;
    tree.CurrentCode = QStringLiteral("010101");
    tree.show();
    QTreeWidgetItem *current = tree.TreeView1->currentItem();
    QVERIFY(current);
    QCOMPARE(current->text(0), QStringLiteral("010101-朝阳"));
    QVERIFY(current->isSelected());
    for (QTreeWidgetItem *up = current->parent(); up; up = up->parent())
        QVERIFY(up->isExpanded());
    QCOMPARE(tree.Edit_Code->text(), QStringLiteral("010101"));
}

// ------------------------------------------------------------------ Qt's own texts

void TestDialogs::qtTextsAreChinese()
{
    QVERIFY2(!ChineseLocale::translationFile().isEmpty(), "qtbase_zh_CN.qm is not installed");
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            texts.append(action->text());
    // The shortcut follows a tab: compare the captions.
    for (QString &text : texts)
        text = text.section(QLatin1Char('\t'), 0, 0);
    QCOMPARE(texts, (QStringList{QStringLiteral("撤消(&U)"), QStringLiteral("重做(&R)"), QStringLiteral("剪切(&T)"),
                                 QStringLiteral("复制(&C)"), QStringLiteral("粘贴(&P)"), QStringLiteral("删除"),
                                 QStringLiteral("全选")}));
    // Dates and numbers in the Chinese locale, whatever the system's.
    QCOMPARE(QLocale().name(), QStringLiteral("zh_CN"));
    QCalendarWidget calendar;
    QCOMPARE(calendar.locale().monthName(3), QStringLiteral("三月"));
}

// With KEHU_SCREENSHOTS set to a folder: the page setup dialog and a date picker's
// calendar, in Chinese.
void TestDialogs::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    QDir().mkpath(folder);
    QPrinter printer;
    QPageSetupDialog setup(&printer, m_main);
    setup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&setup));
    QVERIFY(setup.grab().save(QDir(folder).filePath(QStringLiteral("page_setup.png"))));
    setup.close();

    openBrowser();
    std::unique_ptr<QDialog> w(make(QStringLiteral("schedule")));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto *picker = child<QDateEdit>(w, "DateTimePicker1");
    picker->setDate(QDate(2026, 3, 10));
    QCalendarWidget *calendar = picker->calendarWidget();
    calendar->setSelectedDate(picker->date());
    calendar->resize(calendar->sizeHint());
    calendar->show();
    QTest::qWait(50);
    QVERIFY(calendar->grab().save(QDir(folder).filePath(QStringLiteral("date_picker_calendar.png"))));
    QVERIFY(w->grab().save(QDir(folder).filePath(QStringLiteral("schedule_editor.png"))));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
