// The work diary (list and editor) and the contact activity reminders, driven as an
// operator would on real widgets: inputs set by name, buttons clicked, messages
// answered by the scripted stand-in, rows and settings checked.
#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "activities/ActivityLogCommands.h"
#include "activities/TFrm_AddDaily.h"
#include "store/queries/Diary.h"
#include "store/queries/Schedules.h"
#include "activities/TFrm_Awoke.h"
#include "activities/TFrm_Daily.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/Connection.h"
#include "store/IniSettings.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using Texts = QStringList;

class TestActivityLog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // diary list
    void listOpensOnOwnEntries();
    void listIsOneChildWindow();
    void search_data();
    void search();
    void searchByEnterAndQuote();
    void contextMenuAndDoubleClick();
    void deleteFromMenu_data();
    void deleteFromMenu();

    // diary editor
    void editorForm_data();
    void editorForm();
    void addLoop();
    void emptySubject_data();
    void emptySubject();
    void blankSubjectPasses();
    void editSavesCurrentAndCloses();
    void editNavigatorLoadsRows();
    void editOtherAuthorsEntry();
    void editOnEmptyListAdds();
    void addWithoutListOpensOwnList();
    void addWhileBrowserShowsCustomers();
    void failedSaveKeepsEditorAndList_data();
    void failedSaveKeepsEditorAndList();
    void editorCommands();

    // reminders
    void reminderStatement();
    void remindersForDays_data();
    void remindersForDays();
    void refreshUsesTypedDays();
    void remindersLayout();
    void settingsOnShow_data();
    void settingsOnShow();
    void tickWritesAtOnce();
    void closeWritesDay_data();
    void closeWritesDay();
    void escapeAlwaysCloses();
    void nextShowingUsesWrittenDay();
    void timerOpensOnceAndStops();
    void menuEntryOpensRegardless();
    void printHandsOverGrid();
    void printPreview();

    void screenshots();

private:
    void login(const QString &name, bool viewAll = false, int permit = 1);
    void config(const QString &text);
    IniSettings writtenSettings() const;
    TFrm_Daily *openList();
    QStringList subjects(Dataset *query, bool sorted = false);
    std::unique_ptr<TFrm_AddDaily> editor(EditorMode mode);
    std::unique_ptr<TFrm_Awoke> reminders();
    void addSchedule(const QString &subject, const QString &user, bool awoke, const QVariant &daysFromToday);
    QString whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act = {});
    int count(const QString &sql) const { return m_fixture->count(sql); }

    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
};

void TestActivityLog::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    installActivityLogCommands(m_main);
    Connection *c = m_data->connection();
    c->exec(QStringLiteral(
        "insert into T_Daily (Subject, Content, AddDate, author) values "
        "('周一例会', '讨论华信的回访计划', '2024-03-04', '张三'), "
        "('拜访客户', '与东方贸易签订合同', '2024-01-15', '张三'), "
        "('月度总结', '华信项目进展顺利', '2024-02-01', '李四'), "
        "('O''Neil 来电', '询问报价', '2024-02-10', '王五'), "
        "('整理名片', null, '2024-02-20', '张三')"));
    login(QStringLiteral("张三"));
}

void TestActivityLog::cleanup()
{
    QApplication::restoreOverrideCursor();
    m_fixture.reset();
}

void TestActivityLog::login(const QString &name, bool viewAll, int permit)
{
    m_fixture->login(name, viewAll, permit);
    m_main->Timer1->stop(); // the tests that need the timer start it themselves
}

void TestActivityLog::config(const QString &text)
{
    m_fixture->program.writeConfig(text);
    m_data->settings().reload();
}

// The settings file as another reader finds it.
IniSettings TestActivityLog::writtenSettings() const
{
    return IniSettings(m_fixture->program.dir() + QStringLiteral("Config.ini"));
}

TFrm_Daily *TestActivityLog::openList()
{
    if (!m_main->runHandler(QStringLiteral("Main_Daily")))
        return nullptr;
    return m_main->findChild<TFrm_Daily *>();
}

QStringList TestActivityLog::subjects(Dataset *query, bool sorted)
{
    QStringList result;
    const int field = query->fieldIndex(QStringLiteral("Subject"));
    for (int row = 0; row < query->recordCount(); ++row)
        result.append(query->value(row, field).toString());
    if (sorted)
        result.sort();
    return result;
}

std::unique_ptr<TFrm_AddDaily> TestActivityLog::editor(EditorMode mode)
{
    auto w = std::make_unique<TFrm_AddDaily>(m_main);
    w->setMode(mode);
    w->show();
    return w;
}

std::unique_ptr<TFrm_Awoke> TestActivityLog::reminders()
{
    auto w = std::make_unique<TFrm_Awoke>(m_main);
    w->show();
    return w;
}

// A schedule whose reminder date lies the given number of days from today (null: none).
void TestActivityLog::addSchedule(const QString &subject, const QString &user, bool awoke, const QVariant &daysFromToday)
{
    const QString date = daysFromToday.isNull()
                             ? QStringLiteral("null")
                             : QStringLiteral("'%1'").arg(QDate::currentDate().addDays(daysFromToday.toInt()).toString(Qt::ISODate));
    m_data->connection()->exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, Awoke, AwokeDate, StartDate, F_User) "
                                              "values ('1', '华信科技', '%1', %2, %3, '2024-01-01', '%4')")
                                   .arg(subject).arg(int(awoke)).arg(date, user));
}

// Runs start(), which opens a modal dialog; act() drives the dialog, which is then closed
// unless act() closed it. Returns the dialog's caption, empty when none opened.
QString TestActivityLog::whenModal(const std::function<void()> &start, const std::function<void(QWidget *)> &act)
{
    return ::captionWhenModal(start, act);
}

// ------------------------------------------------------------------ diary list

void TestActivityLog::listOpensOnOwnEntries()
{
    TFrm_Daily *list = openList();
    QVERIFY(list);
    QCOMPARE(list->windowTitle(), QStringLiteral("历史记录"));
    QCOMPARE(child<QLabel>(list, "Label1")->text(), QStringLiteral("请输入关键字"));
    QCOMPARE(child<QLabel>(list, "Label1")->buddy(), child<QLineEdit>(list, "Edit_Key"));
    QCOMPARE(child<QPushButton>(list, "Btn_Search")->text(), QStringLiteral("搜索"));
    QVERIFY(child<QLineEdit>(list, "Edit_Key")->text().isEmpty());
    QVERIFY(list->findChild<DataGrid *>(QStringLiteral("DBGrid1")));

    Dataset *daily = m_data->Qry_Daily;
    QCOMPARE(daily->sql(), QStringLiteral("Select * from T_Daily where author=:Author Order by AddDate"));
    QCOMPARE(daily->parameter(QStringLiteral("Author")).toString(), QStringLiteral("张三"));
    QCOMPARE(subjects(daily), (Texts{"拜访客户", "整理名片", "周一例会"})); // oldest first
    // Chinese titles like every other grid; the key is not shown. A search keeps them.
    QCOMPARE(child<DataGrid>(list, "DBGrid1")->dataset(), daily);
    QVERIFY(child<DataGrid>(list, "DBGrid1")->isReadOnly());
    const auto titles = [list] {
        QStringList shown;
        for (int c = 0; c < child<DataGrid>(list, "DBGrid1")->model()->columnCount(); ++c)
            shown.append(child<DataGrid>(list, "DBGrid1")->model()->headerData(c, Qt::Horizontal).toString());
        return shown;
    };
    QCOMPARE(titles(), (Texts{"日期", "主题", "内容", "作者"}));
    child<QLineEdit>(list, "Edit_Key")->setText(QStringLiteral("名片"));
    child<QPushButton>(list, "Btn_Search")->click();
    QCOMPARE(titles(), (Texts{"日期", "主题", "内容", "作者"}));
    child<QLineEdit>(list, "Edit_Key")->clear();
    child<QPushButton>(list, "Btn_Search")->click();
    QVERIFY(m_messages->shown.isEmpty());
}

void TestActivityLog::listIsOneChildWindow()
{
    // The view-all right changes nothing: the list shows the operator's own entries.
    login(QStringLiteral("李四"), true, 0);
    QPointer<TFrm_Daily> list = openList();
    QVERIFY(list);
    QCOMPARE(subjects(m_data->Qry_Daily), Texts{"月度总结"});
    child<QLineEdit>(list, "Edit_Key")->setText(QStringLiteral("华信"));
    QTest::mouseClick(child<QPushButton>(list, "Btn_Search"), Qt::LeftButton);
    QCOMPARE(m_data->Qry_Daily->recordCount(), 2);

    // Asked again, the open window comes to the front as it is.
    QCOMPARE(openList(), list.data());
    QCOMPARE(m_main->childWindows().size(), 1);
    QCOMPARE(m_data->Qry_Daily->recordCount(), 2);

    // Closing frees the window; the diary query keeps its last list.
    list->parentWidget()->close();
    QTRY_VERIFY(list.isNull());
    QVERIFY(m_data->Qry_Daily->isOpen());
    QCOMPARE(m_data->Qry_Daily->recordCount(), 2);
    QVERIFY(openList());
    QCOMPARE(subjects(m_data->Qry_Daily), Texts{"月度总结"});
}

void TestActivityLog::search_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<Texts>("found");
    QTest::newRow("empty: every author") << QString() << Texts{"O'Neil 来电", "周一例会", "拜访客户", "整理名片", "月度总结"};
    QTest::newRow("subject") << QStringLiteral("例会") << Texts{"周一例会"};
    QTest::newRow("content, middle of the text") << QStringLiteral("华信") << Texts{"周一例会", "月度总结"};
    QTest::newRow("other authors too") << QStringLiteral("报价") << Texts{"O'Neil 来电"};
    QTest::newRow("letter case") << QStringLiteral("o'neil") << Texts{"O'Neil 来电"};
    QTest::newRow("nothing") << QStringLiteral("不存在") << Texts{};
}

void TestActivityLog::search()
{
    QFETCH(QString, keyword);
    QFETCH(Texts, found);
    TFrm_Daily *list = openList();
    child<QLineEdit>(list, "Edit_Key")->setText(keyword);
    QTest::mouseClick(child<QPushButton>(list, "Btn_Search"), Qt::LeftButton);
    QCOMPARE(m_data->Qry_Daily->sql(), QStringLiteral("Select * from T_Daily where subject like :Pattern or content like :Pattern"));
    QCOMPARE(m_data->Qry_Daily->parameter(QStringLiteral("Pattern")).toString(), QLatin1Char('%') + keyword + QLatin1Char('%'));
    Texts sortedFound = found;
    sortedFound.sort();
    QCOMPARE(subjects(m_data->Qry_Daily, true), sortedFound);
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(child<QPushButton>(list, "Btn_Search")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void TestActivityLog::searchByEnterAndQuote()
{
    // A quote in the keyword is a character to look for, not the end of the text.
    TFrm_Daily *list = openList();
    child<QLineEdit>(list, "Edit_Key")->setFocus();
    QTest::keyClicks(child<QLineEdit>(list, "Edit_Key"), QStringLiteral("O'N"));
    QTest::keyClick(child<QLineEdit>(list, "Edit_Key"), Qt::Key_Return);
    QCOMPARE(subjects(m_data->Qry_Daily), Texts{"O'Neil 来电"});
    QVERIFY(m_messages->shown.isEmpty());
    // The operator's name is a value too, never a piece of the statement.
    Diary::openOwn(*m_data->Qry_Daily, QStringLiteral("O'Neil"));
    QCOMPARE(m_data->Qry_Daily->sql(), QStringLiteral("Select * from T_Daily where author=:Author Order by AddDate"));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestActivityLog::contextMenuAndDoubleClick()
{
    TFrm_Daily *list = openList();
    QStringList ran;
    for (const char *name : {"AddDaily", "EditDaily", "DelDaily"})
        m_main->setHandler(QString::fromLatin1(name), [&ran, name] { ran.append(QString::fromLatin1(name)); });

    QCOMPARE(child<QMenu>(list, "PopupMenu1")->objectName(), QStringLiteral("PopupMenu1"));
    const QList<QAction *> entries = child<QMenu>(list, "PopupMenu1")->actions();
    QStringList captions;
    for (QAction *a : entries)
        captions.append(a->text());
    QCOMPARE(captions, (Texts{"新建日记", "编辑日记", "删除日记"}));
    for (QAction *a : entries)
        a->trigger();
    QCOMPARE(ran, (Texts{"AddDaily", "EditDaily", "DelDaily"}));

    ran.clear();
    m_main->resize(900, 600);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
    m_main->runHandler(QStringLiteral("Main_Daily")); // to the front, over the customer browser
    const QRect cell = child<DataGrid>(list, "DBGrid1")->visualRect(child<DataGrid>(list, "DBGrid1")->model()->index(1, 1));
    QVERIFY(child<DataGrid>(list, "DBGrid1")->viewport()->rect().contains(cell.center()));
    QTest::mouseClick(child<DataGrid>(list, "DBGrid1")->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(child<DataGrid>(list, "DBGrid1")->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(ran, Texts{"EditDaily"});
    QCOMPARE(m_data->Qry_Daily->currentRow(), 1);
}

void TestActivityLog::deleteFromMenu_data()
{
    QTest::addColumn<Msg::Answer>("answer");
    QTest::addColumn<Texts>("left");
    QTest::newRow("yes") << Msg::Answer::Yes << Texts{"拜访客户", "周一例会"};
    QTest::newRow("no") << Msg::Answer::No << Texts{"拜访客户", "整理名片", "周一例会"};
}

void TestActivityLog::deleteFromMenu()
{
    QFETCH(Msg::Answer, answer);
    QFETCH(Texts, left);
    TFrm_Daily *list = openList();
    m_data->Qry_Daily->setCurrentRow(1);
    m_messages->answer(answer);
    child<QMenu>(list, "PopupMenu1")->actions().at(2)->trigger();
    QCOMPARE(m_messages->shown.size(), 1);
    const Msg::Record &asked = m_messages->last();
    QCOMPARE(asked.text, QStringLiteral("您确定要删除这条日记记录吗？"));
    QCOMPARE(asked.title, QStringLiteral("警告"));
    QCOMPARE(asked.icon, Msg::Icon::Information);
    QCOMPARE(asked.buttons, Msg::Buttons::YesNoDefaultNo);
    QCOMPARE(subjects(m_data->Qry_Daily), left);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where author='张三'")), int(left.size()));
}

// ------------------------------------------------------------------ diary editor

void TestActivityLog::editorForm_data()
{
    QTest::addColumn<EditorMode>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("ok");
    QTest::newRow("add") << EditorMode::Add << QStringLiteral("新建日记") << QStringLiteral("新增(&A)");
    QTest::newRow("edit") << EditorMode::Edit << QStringLiteral("编辑日记") << QStringLiteral("保存(&A)");
}

void TestActivityLog::editorForm()
{
    QFETCH(EditorMode, mode);
    QFETCH(QString, caption);
    QFETCH(QString, ok);
    openList(); // current entry: 拜访客户
    auto w = editor(mode);
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(child<QPushButton>(w, "Btn_OK")->text(), ok);
    QCOMPARE(child<QPushButton>(w, "Btn_Exit")->text(), QStringLiteral("退出(&Q)"));
    QCOMPARE(child<QGroupBox>(w, "GroupBox1")->title(), QStringLiteral(" 日记 "));
    const QList<std::pair<const char *, const char *>> labels = {
        {"Edit_Subject", "主题"}, {"Memo1", "内容"}, {"DateTimePicker1", "时间"}};
    for (const auto &[input, text] : labels) {
        auto *widget = w->findChild<QWidget *>(QString::fromLatin1(input));
        QVERIFY2(widget, input);
        QVERIFY(child<QGroupBox>(w, "GroupBox1")->isAncestorOf(widget));
        QLabel *label = nullptr;
        for (QLabel *l : w->findChildren<QLabel *>())
            if (l->buddy() == widget)
                label = l;
        QVERIFY2(label, input);
        QCOMPARE(label->text(), QString::fromUtf8(text));
    }
    QVERIFY(w->findChild<RecordNavigator *>(QStringLiteral("DBNavigator1")));
    if (mode == EditorMode::Add) {
        QVERIFY(!child<RecordNavigator>(w, "DBNavigator1")->isEnabled());
        QVERIFY(child<QLineEdit>(w, "Edit_Subject")->text().isEmpty());
        QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());
        QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate::currentDate());
    } else {
        QVERIFY(child<RecordNavigator>(w, "DBNavigator1")->isEnabled());
        QCOMPARE(child<QLineEdit>(w, "Edit_Subject")->text(), QStringLiteral("拜访客户"));
        QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("与东方贸易签订合同"));
        QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate(2024, 1, 15));
    }
    QVERIFY(m_messages->shown.isEmpty());
}

void TestActivityLog::addLoop()
{
    openList();
    auto w = editor(EditorMode::Add);
    const QList<std::tuple<QString, QString, QDate>> entries = {
        {QStringLiteral("电话回访"), QStringLiteral("第一行\n第二行"), QDate(2024, 4, 1)},
        {QStringLiteral("O'Neil 回电"), QString(), QDate(2023, 12, 31)}};
    for (const auto &[subject, content, date] : entries) {
        child<QLineEdit>(w, "Edit_Subject")->setText(subject);
        child<QPlainTextEdit>(w, "Memo1")->setPlainText(content);
        child<QDateEdit>(w, "DateTimePicker1")->setDate(date);
        QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);
        // Saved, emptied for the next entry, still open.
        QVERIFY(w->isVisible());
        QVERIFY(child<QLineEdit>(w, "Edit_Subject")->text().isEmpty());
        QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());
        QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate::currentDate());
        QCOMPARE(m_fixture->scalar(QStringLiteral("select AddDate from T_Daily where Subject='%1'")
                                       .arg(QString(subject).replace(QLatin1Char('\''), QLatin1String("''"))))
                     .toString(),
                 date.toString(Qt::ISODate));
    }
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where author='张三' and "
                                  "((Subject='电话回访' and Content='第一行\n第二行') or (Subject='O''Neil 回电' and coalesce(Content,'')=''))")),
             2);
    // The list shows the new entries at once.
    QCOMPARE(m_data->Qry_Daily->recordCount(), 5);
    QCOMPARE(m_data->Qry_Daily->text(QStringLiteral("Subject")), QStringLiteral("O'Neil 回电"));
    QTest::mouseClick(child<QPushButton>(w, "Btn_Exit"), Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily")), 7);
}

void TestActivityLog::emptySubject_data()
{
    QTest::addColumn<EditorMode>("mode");
    QTest::newRow("add") << EditorMode::Add;
    QTest::newRow("edit") << EditorMode::Edit;
}

void TestActivityLog::emptySubject()
{
    QFETCH(EditorMode, mode);
    openList();
    auto w = editor(mode);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    child<QLineEdit>(w, "Edit_Subject")->clear();
    child<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("没有主题的内容"));
    child<QPlainTextEdit>(w, "Memo1")->setFocus();
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);

    QCOMPARE(m_messages->shown.size(), 1);
    const Msg::Record &message = m_messages->last();
    QCOMPARE(message.kind, Msg::Kind::Box);
    QCOMPARE(message.text, QStringLiteral("主题不能为空!"));
    QCOMPARE(message.title, QString());
    QCOMPARE(message.icon, Msg::Icon::Information);
    QCOMPARE(message.buttons, Msg::Buttons::Ok);
    // Nothing written; the editor stays open with what was typed, the subject to be filled in.
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily")), 5);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Subject='拜访客户' and Content='与东方贸易签订合同'")), 1);
    QVERIFY(w->isVisible());
    QCOMPARE(child<QPlainTextEdit>(w, "Memo1")->toPlainText(), QStringLiteral("没有主题的内容"));
    QVERIFY(child<QLineEdit>(w, "Edit_Subject")->hasFocus());
    QCOMPARE(m_data->Qry_Daily->state(), Dataset::State::Browse);
}

void TestActivityLog::blankSubjectPasses()
{
    openList();
    auto w = editor(EditorMode::Add);
    child<QLineEdit>(w, "Edit_Subject")->setText(QStringLiteral("  "));
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Subject='  '")), 1);
}

void TestActivityLog::editSavesCurrentAndCloses()
{
    openList();
    m_data->Qry_Daily->setCurrentRow(2); // 周一例会
    const QVariant id = m_data->Qry_Daily->value(QStringLiteral("DailyID"));
    auto w = editor(EditorMode::Edit);
    QCOMPARE(child<QLineEdit>(w, "Edit_Subject")->text(), QStringLiteral("周一例会"));
    child<QLineEdit>(w, "Edit_Subject")->setText(QStringLiteral("周一例会（改）"));
    child<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("改期到周二"));
    child<QDateEdit>(w, "DateTimePicker1")->setDate(QDate(2024, 3, 5));
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);

    QVERIFY(!w->isVisible());
    QCOMPARE(w->result(), int(QDialog::Accepted));
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where DailyID=%1 and Subject='周一例会（改）' and "
                                  "Content='改期到周二' and AddDate='2024-03-05' and author='张三'")
                       .arg(id.toInt())),
             1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily")), 5);
    QCOMPARE(m_data->Qry_Daily->text(QStringLiteral("Subject")), QStringLiteral("周一例会（改）"));
}

void TestActivityLog::editNavigatorLoadsRows()
{
    openList(); // 拜访客户, 整理名片, 周一例会
    auto w = editor(EditorMode::Edit);
    RecordNavigator *nav = child<RecordNavigator>(w, "DBNavigator1");
    QVERIFY(!nav->NavFirst->isEnabled());
    QTest::mouseClick(nav->NavNext, Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(w, "Edit_Subject")->text(), QStringLiteral("整理名片"));
    QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate(2024, 2, 20));
    QTest::mouseClick(nav->NavLast, Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(w, "Edit_Subject")->text(), QStringLiteral("周一例会"));
    QVERIFY(!nav->NavNext->isEnabled());
    QTest::mouseClick(nav->NavPrior, Qt::LeftButton);
    QTest::mouseClick(nav->NavFirst, Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(w, "Edit_Subject")->text(), QStringLiteral("拜访客户"));
    QTest::mouseClick(nav->NavNext, Qt::LeftButton);
    // The entry saved is the one navigated to.
    child<QPlainTextEdit>(w, "Memo1")->setPlainText(QStringLiteral("已整理"));
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Subject='整理名片' and Content='已整理'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Content='已整理'")), 1);
}

void TestActivityLog::editOtherAuthorsEntry()
{
    TFrm_Daily *list = openList();
    child<QLineEdit>(list, "Edit_Key")->setText(QStringLiteral("月度"));
    QTest::mouseClick(child<QPushButton>(list, "Btn_Search"), Qt::LeftButton);
    QCOMPARE(subjects(m_data->Qry_Daily), Texts{"月度总结"});
    auto w = editor(EditorMode::Edit);
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);
    // Saving makes the current operator the author.
    QCOMPARE(m_fixture->scalar(QStringLiteral("select author from T_Daily where Subject='月度总结'")).toString(),
             QStringLiteral("张三"));
}

void TestActivityLog::editOnEmptyListAdds()
{
    login(QStringLiteral("赵六"));
    openList();
    QVERIFY(m_data->Qry_Daily->isEmpty());
    auto w = editor(EditorMode::Edit);
    QVERIFY(child<QLineEdit>(w, "Edit_Subject")->text().isEmpty());
    QVERIFY(child<QPlainTextEdit>(w, "Memo1")->toPlainText().isEmpty());
    QCOMPARE(child<QDateEdit>(w, "DateTimePicker1")->date(), QDate::currentDate());
    child<QLineEdit>(w, "Edit_Subject")->setText(QStringLiteral("第一篇"));
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily")), 6);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Subject='第一篇' and author='赵六' and AddDate='%1'")
                       .arg(QDate::currentDate().toString(Qt::ISODate))),
             1);
    QCOMPARE(subjects(m_data->Qry_Daily), Texts{"第一篇"});
}

void TestActivityLog::addWithoutListOpensOwnList()
{
    QVERIFY(!m_data->Qry_Daily->isOpen());
    auto w = editor(EditorMode::Add);
    child<QLineEdit>(w, "Edit_Subject")->setText(QStringLiteral("新日记"));
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(m_data->Qry_Daily->sql(), QStringLiteral("Select * from T_Daily where author=:Author Order by AddDate"));
    QCOMPARE(m_data->Qry_Daily->parameter(QStringLiteral("Author")).toString(), QStringLiteral("张三"));
    QCOMPARE(subjects(m_data->Qry_Daily), (Texts{"拜访客户", "整理名片", "周一例会", "新日记"}));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Subject='新日记' and author='张三'")), 1);
}

// The browser is open from the start: its current customer has nothing to give a diary
// entry, and adding one (with and without the diary list open) works all the same.
void TestActivityLog::addWhileBrowserShowsCustomers()
{
    m_data->connection()->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (5, '华信科技', '张三')"));
    m_main->showCustomerBrowser();
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("CustCode"), 5));
    for (bool listOpen : {false, true}) {
        if (listOpen)
            openList();
        auto w = editor(EditorMode::Add);
        const QString subject = listOpen ? QStringLiteral("列表开着") : QStringLiteral("只有客户信息");
        child<QLineEdit>(w, "Edit_Subject")->setText(subject);
        QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
        QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Subject='%1' and author='张三'").arg(subject)), 1);
        QVERIFY(subjects(m_data->Qry_Daily).contains(subject));
    }
    // Moving in the customer list leaves the diary as it is.
    const int rows = m_data->Qry_Daily->recordCount();
    m_data->Qry_Cust->first();
    QCOMPARE(m_data->Qry_Daily->recordCount(), rows);
}

void TestActivityLog::failedSaveKeepsEditorAndList_data()
{
    emptySubject_data();
}

// A refused statement is reported; the editor stays open with the inputs, the list as stored.
void TestActivityLog::failedSaveKeepsEditorAndList()
{
    SKIP_ON_SERVER(*m_fixture, "a trigger refuses the save");
    QFETCH(EditorMode, mode);
    openList();
    m_data->Qry_Daily->setCurrentRow(1);
    auto w = editor(mode);
    m_data->connection()->exec(QStringLiteral("create trigger refuse_daily_insert before insert on T_Daily "
                                              "begin select raise(abort, '日记表只读'); end"));
    m_data->connection()->exec(QStringLiteral("create trigger refuse_daily_update before update on T_Daily "
                                              "begin select raise(abort, '日记表只读'); end"));
    child<QLineEdit>(w, "Edit_Subject")->setText(QStringLiteral("写不进去"));
    QTest::mouseClick(child<QPushButton>(w, "Btn_OK"), Qt::LeftButton);

    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
    QVERIFY2(m_messages->last().text.contains(QStringLiteral("日记表只读")), qPrintable(m_messages->last().text));
    QVERIFY(w->isVisible());
    QCOMPARE(child<QLineEdit>(w, "Edit_Subject")->text(), QStringLiteral("写不进去"));
    Dataset *daily = m_data->Qry_Daily;
    QCOMPARE(daily->state(), Dataset::State::Browse);
    QCOMPARE(subjects(daily), (Texts{"拜访客户", "整理名片", "周一例会"}));
    QCOMPARE(daily->currentRow(), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Daily where Subject='写不进去'")), 0);
}

void TestActivityLog::editorCommands()
{
    openList();
    m_data->Qry_Daily->setCurrentRow(2);
    const QList<std::tuple<const char *, QString, QString>> commands = {
        {"AddDaily", QStringLiteral("新建日记"), QString()},
        {"EditDaily", QStringLiteral("编辑日记"), QStringLiteral("周一例会")}};
    for (const auto &[command, caption, subject] : commands) {
        QString shownSubject = QStringLiteral("-");
        bool modal = false;
        const QString opened = whenModal([&] { QVERIFY(m_main->runCommand(QString::fromLatin1(command))); },
                                         [&](QWidget *dialog) {
                                             auto *w = qobject_cast<TFrm_AddDaily *>(dialog);
                                             QVERIFY(w);
                                             modal = w->isModal();
                                             shownSubject = child<QLineEdit>(w, "Edit_Subject")->text();
                                         });
        QCOMPARE(opened, caption);
        QVERIFY(modal);
        QCOMPARE(shownSubject, subject);
    }
    // Editors are freed when they close.
    QTRY_VERIFY(!m_main->findChild<TFrm_AddDaily *>());
    // The edit command opens the editor on an empty list too.
    login(QStringLiteral("赵六"));
    Diary::openOwn(*m_data->Qry_Daily, QStringLiteral("赵六"));
    QCOMPARE(whenModal([&] { m_main->runCommand(QStringLiteral("EditDaily")); }), QStringLiteral("编辑日记"));
}

// ------------------------------------------------------------------ reminders

// The operator and the day count enter the reminder statement as bound values: quotes in
// them stay inside their values and find nothing they do not name.
void TestActivityLog::reminderStatement()
{
    addSchedule(QStringLiteral("明天"), QStringLiteral("张三"), true, 1);
    m_data->connection()->exec(QStringLiteral("insert into T_Schedule (Subject, Awoke, AwokeDate, F_User) values "
                                              "('O''Neil 明天', 1, '%1', 'O''Neil')")
                                   .arg(QDate::currentDate().addDays(1).toString(Qt::ISODate)));
    Dataset query(m_data->connection());
    Schedules::openReminders(query, QStringLiteral("张三"), QStringLiteral(" 1 "));
    QCOMPARE(query.sql(), QStringLiteral("select * from T_Schedule where F_User=:Operator and awoke=True and "
                                         "datediff('y',Date(),[AwokeDate])=:Day"));
    QCOMPARE(query.parameter(QStringLiteral("Operator")).toString(), QStringLiteral("张三"));
    QCOMPARE(query.parameter(QStringLiteral("Day")).toString(), QStringLiteral("1")); // blanks dropped
    QCOMPARE(subjects(&query), Texts{"明天"});
    Schedules::openReminders(query, QStringLiteral("O'Neil"), QStringLiteral("1"));
    QCOMPARE(subjects(&query), Texts{"O'Neil 明天"});
    Schedules::openReminders(query, QStringLiteral("张三"), QStringLiteral("1' or '1'='1"));
    QCOMPARE(query.parameter(QStringLiteral("Day")).toString(), QStringLiteral("1' or '1'='1"));
    QCOMPARE(subjects(&query), Texts{});
}

void TestActivityLog::remindersForDays_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<Texts>("listed");
    QTest::newRow("tomorrow") << QStringLiteral("1") << Texts{"明天"};
    QTest::newRow("today") << QStringLiteral("0") << Texts{"今天"};
    QTest::newRow("three days") << QStringLiteral("3") << Texts{"三天后", "三天后二"};
    QTest::newRow("yesterday") << QStringLiteral("-1") << Texts{"昨天"};
    QTest::newRow("no reminder that day") << QStringLiteral("2") << Texts{};
    QTest::newRow("blanks around") << QStringLiteral(" 1 ") << Texts{"明天"};
    QTest::newRow("leading zero") << QStringLiteral("01") << Texts{"明天"};
    QTest::newRow("not a number") << QStringLiteral("abc") << Texts{};
    QTest::newRow("quote") << QStringLiteral("1'") << Texts{};
    QTest::newRow("empty") << QString() << Texts{};
}

void TestActivityLog::remindersForDays()
{
    SKIP_ON_SERVER(*m_fixture, "an empty text stored in a date column");
    QFETCH(QString, day);
    QFETCH(Texts, listed);
    addSchedule(QStringLiteral("昨天"), QStringLiteral("张三"), true, -1);
    addSchedule(QStringLiteral("今天"), QStringLiteral("张三"), true, 0);
    addSchedule(QStringLiteral("明天"), QStringLiteral("张三"), true, 1);
    addSchedule(QStringLiteral("三天后"), QStringLiteral("张三"), true, 3);
    addSchedule(QStringLiteral("三天后二"), QStringLiteral("张三"), true, 3);
    addSchedule(QStringLiteral("明天不提醒"), QStringLiteral("张三"), false, 1);
    addSchedule(QStringLiteral("今天不提醒"), QStringLiteral("张三"), false, 0);
    addSchedule(QStringLiteral("没有日期"), QStringLiteral("张三"), true, QVariant());
    addSchedule(QStringLiteral("李四明天"), QStringLiteral("李四"), true, 1);
    addSchedule(QStringLiteral("李四今天"), QStringLiteral("李四"), true, 0);
    m_data->connection()->exec(QStringLiteral("insert into T_Schedule (Subject, Awoke, AwokeDate, F_User) values ('空日期', 1, '', '张三')"));
    // Another operator's reminders stay out even for one who may see everything.
    login(QStringLiteral("张三"), true, 0);
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=%1\n").arg(day));

    auto w = reminders();
    QCOMPARE(child<QLineEdit>(w, "Edit_Day")->text(), day);
    QCOMPARE(child<Dataset>(w, "Qry_Awoke")->sql(),
             QStringLiteral("select * from T_Schedule where F_User=:Operator and awoke=True and "
                            "datediff('y',Date(),[AwokeDate])=:Day"));
    QCOMPARE(child<Dataset>(w, "Qry_Awoke")->parameter(QStringLiteral("Day")).toString(), day.trimmed());
    QCOMPARE(subjects(child<Dataset>(w, "Qry_Awoke"), true), listed);
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join(QLatin1Char('|'))));
    // Listing changes no schedule.
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Awoke=1")), 9);
}

void TestActivityLog::refreshUsesTypedDays()
{
    addSchedule(QStringLiteral("今天"), QStringLiteral("张三"), true, 0);
    addSchedule(QStringLiteral("明天"), QStringLiteral("张三"), true, 1);
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=1\n"));
    auto w = reminders();
    QCOMPARE(subjects(child<Dataset>(w, "Qry_Awoke")), Texts{"明天"});
    child<QLineEdit>(w, "Edit_Day")->setText(QStringLiteral("0"));
    QTest::mouseClick(child<QPushButton>(w, "Btn_Refresh"), Qt::LeftButton);
    QCOMPARE(subjects(child<Dataset>(w, "Qry_Awoke")), Texts{"今天"});
    // The schedule added meanwhile is found by the next refresh.
    addSchedule(QStringLiteral("又一个今天"), QStringLiteral("张三"), true, 0);
    QTest::mouseClick(child<QPushButton>(w, "Btn_Refresh"), Qt::LeftButton);
    QCOMPARE(subjects(child<Dataset>(w, "Qry_Awoke"), true), (Texts{"今天", "又一个今天"}));
    QVERIFY(m_messages->shown.isEmpty());
    // Refreshing writes no day count; closing does.
    QCOMPARE(writtenSettings().readString(QStringLiteral("otherInfo"), QStringLiteral("Day")), QStringLiteral("1"));
}

void TestActivityLog::remindersLayout()
{
    addSchedule(QStringLiteral("明天"), QStringLiteral("张三"), true, 1);
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=1\n"));
    auto w = reminders();
    QCOMPARE(w->windowTitle(), QStringLiteral("联系活动提醒"));
    QCOMPARE(child<QCheckBox>(w, "CheckBox1")->text(), QStringLiteral("每次程序启动时弹出提醒窗口"));
    QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("天"));
    QCOMPARE(child<QLabel>(w, "Label1")->buddy(), child<QLineEdit>(w, "Edit_Day"));
    QCOMPARE(child<QPushButton>(w, "Btn_Refresh")->text(), QStringLiteral("刷新(&R)"));
    QCOMPARE(child<QPushButton>(w, "Btn_Print")->text(), QStringLiteral("打印(&P)"));
    QCOMPARE(child<QPushButton>(w, "Btn_Exit")->text(), QStringLiteral("退出(&Q)"));
    QCOMPARE(child<Dataset>(w, "Qry_Awoke")->objectName(), QStringLiteral("Qry_Awoke"));
    QVERIFY(child<Dataset>(w, "Qry_Awoke") != m_data->Qry_Schedule);
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->dataset(), child<Dataset>(w, "Qry_Awoke"));
    QVERIFY(child<DataGrid>(w, "DBGridEh1")->isReadOnly());
    // The columns of the "Schedule" layout, shown ones only, titled by it.
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->columnFields(),
             (Texts{"StartDate", "Company", "Contact", "Subject", "Type", "Awoke", "AwokeDate", "Memo", "F_User"}));
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("活动主题"));
    QCOMPARE(child<DataGrid>(w, "DBGridEh1")->model()->index(0, 3).data().toString(), QStringLiteral("明天"));
    // Laid out before being shown: a window made but not shown holds the design state.
    TFrm_Awoke fresh(m_main);
    QVERIFY(child<QCheckBox>(&fresh, "CheckBox1")->isChecked());
    QCOMPARE(child<QLineEdit>(&fresh, "Edit_Day")->text(), QStringLiteral("1"));
}

void TestActivityLog::settingsOnShow_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("day");
    QTest::addColumn<int>("awokeAfter"); // -1: still absent
    QTest::newRow("nothing written yet") << QString() << false << QString() << 1;
    QTest::newRow("pop up") << QStringLiteral("[otherInfo]\nawoke=0\nDay=2\n") << true << QStringLiteral("2") << 0;
    QTest::newRow("no pop up") << QStringLiteral("[otherInfo]\nawoke=1\nDay=5\n") << false << QStringLiteral("5") << 1;
    QTest::newRow("other value") << QStringLiteral("[OtherInfo]\nAwoke=7\n") << false << QString() << 1;
    QTest::newRow("names in other case") << QStringLiteral("[OTHERINFO]\nAWOKE=0\nday=4\n") << true << QStringLiteral("4") << 0;
}

void TestActivityLog::settingsOnShow()
{
    QFETCH(QString, ini);
    QFETCH(bool, ticked);
    QFETCH(QString, day);
    QFETCH(int, awokeAfter);
    config(ini);
    auto w = reminders();
    QCOMPARE(child<QCheckBox>(w, "CheckBox1")->isChecked(), ticked);
    QCOMPARE(child<QLineEdit>(w, "Edit_Day")->text(), day);
    QCOMPARE(writtenSettings().readInteger(QStringLiteral("otherInfo"), QStringLiteral("awoke"), -1), awokeAfter);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestActivityLog::tickWritesAtOnce()
{
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=1\n"));
    auto w = reminders();
    const QList<std::pair<bool, int>> steps = {{false, 1}, {true, 0}, {false, 1}};
    for (const auto &[tick, written] : steps) {
        QTest::mouseClick(child<QCheckBox>(w, "CheckBox1"), Qt::LeftButton);
        QCOMPARE(child<QCheckBox>(w, "CheckBox1")->isChecked(), tick);
        QCOMPARE(writtenSettings().readInteger(QStringLiteral("otherInfo"), QStringLiteral("awoke"), -1), written);
        // What the main window's timer reads.
        QCOMPARE(m_data->settings().readInteger(QStringLiteral("OtherInfo"), QStringLiteral("awoke"), -1), written);
    }
    QVERIFY(m_messages->shown.isEmpty());
}

// The window always closes: a day count that is no whole number keeps the stored count
// (or 1 when none is stored) and says so.
void TestActivityLog::closeWritesDay_data()
{
    QTest::addColumn<QString>("stored"); // Day in Config.ini before; empty: absent
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byCloseBox");
    QTest::addColumn<QString>("note"); // empty: closes and writes without a word
    QTest::addColumn<QString>("written");
    QTest::newRow("three") << "1" << QStringLiteral("3") << false << QString() << QStringLiteral("3");
    QTest::newRow("close box") << "1" << QStringLiteral("3") << true << QString() << QStringLiteral("3");
    QTest::newRow("negative") << "1" << QStringLiteral("-2") << false << QString() << QStringLiteral("-2");
    QTest::newRow("blanks around") << "1" << QStringLiteral(" 7 ") << false << QString() << QStringLiteral("7");
    QTest::newRow("leading zero") << "1" << QStringLiteral("007") << false << QString() << QStringLiteral("7");
    QTest::newRow("empty keeps stored") << "4" << QString() << false << QStringLiteral("没有填写提醒天数，仍按 4 天提醒。")
                                        << QStringLiteral("4");
    QTest::newRow("letters keep stored") << "2" << QStringLiteral("abc") << false
                                         << QStringLiteral("“abc”不是有效的天数（应为整数），仍按 2 天提醒。") << QStringLiteral("2");
    QTest::newRow("fraction by close box") << "1" << QStringLiteral("1.5") << true
                                           << QStringLiteral("“1.5”不是有效的天数（应为整数），仍按 1 天提醒。") << QStringLiteral("1");
    QTest::newRow("too large") << "1" << QStringLiteral("99999999999") << false
                               << QStringLiteral("“99999999999”不是有效的天数（应为整数），仍按 1 天提醒。") << QStringLiteral("1");
    QTest::newRow("nothing stored, empty") << "" << QString() << false << QStringLiteral("没有填写提醒天数，仍按 1 天提醒。")
                                           << QStringLiteral("1");
    QTest::newRow("stored text no number") << "x" << QStringLiteral("y") << false
                                           << QStringLiteral("“y”不是有效的天数（应为整数），仍按 1 天提醒。") << QStringLiteral("1");
}

void TestActivityLog::closeWritesDay()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, byCloseBox);
    QFETCH(QString, note);
    QFETCH(QString, written);
    config(QStringLiteral("[otherInfo]\nawoke=0\n") + (stored.isEmpty() ? QString() : QStringLiteral("Day=%1\n").arg(stored)));
    auto w = reminders();
    child<QLineEdit>(w, "Edit_Day")->setText(typed);
    if (byCloseBox)
        w->close();
    else
        QTest::mouseClick(child<QPushButton>(w, "Btn_Exit"), Qt::LeftButton);
    QCOMPARE(writtenSettings().readString(QStringLiteral("otherInfo"), QStringLiteral("Day")), written);
    QVERIFY(!w->isVisible());
    if (note.isEmpty()) {
        QVERIFY(m_messages->shown.isEmpty());
    } else {
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->last().kind, Msg::Kind::Box);
        QCOMPARE(m_messages->last().title, QStringLiteral("提醒"));
        QCOMPARE(m_messages->last().icon, Msg::Icon::Information);
        QCOMPARE(m_messages->last().text, note);
    }
}

// Esc with an empty day count closes the window too.
void TestActivityLog::escapeAlwaysCloses()
{
    config(QStringLiteral("[otherInfo]\nawoke=0\n"));
    auto w = reminders();
    child<QLineEdit>(w, "Edit_Day")->clear();
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QCOMPARE(writtenSettings().readString(QStringLiteral("otherInfo"), QStringLiteral("Day")), QStringLiteral("1"));
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("没有填写提醒天数，仍按 1 天提醒。")});
}

void TestActivityLog::nextShowingUsesWrittenDay()
{
    addSchedule(QStringLiteral("明天"), QStringLiteral("张三"), true, 1);
    addSchedule(QStringLiteral("三天后"), QStringLiteral("张三"), true, 3);
    config(QString()); // nothing written: the day count starts empty, so does the list
    {
        auto w = reminders();
        QVERIFY(child<QLineEdit>(w, "Edit_Day")->text().isEmpty());
        QVERIFY(child<Dataset>(w, "Qry_Awoke")->isEmpty());
        child<QLineEdit>(w, "Edit_Day")->setText(QStringLiteral("3"));
        QTest::mouseClick(child<QPushButton>(w, "Btn_Exit"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
    }
    QCOMPARE(writtenSettings().readInteger(QStringLiteral("otherInfo"), QStringLiteral("Day"), -99), 3);
    auto again = reminders();
    QCOMPARE(child<QLineEdit>(again, "Edit_Day")->text(), QStringLiteral("3"));
    QCOMPARE(subjects(child<Dataset>(again, "Qry_Awoke")), Texts{"三天后"});
}

void TestActivityLog::timerOpensOnceAndStops()
{
    addSchedule(QStringLiteral("今天"), QStringLiteral("张三"), true, 0);
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=0\n"));
    m_main->Timer1->setInterval(10); // the test need not wait whole seconds
    int shown = 0;
    bool timerRanWhileShown = true;
    QStringList listed;
    std::function<void()> watch;
    watch = [&] {
        if (auto *w = qobject_cast<TFrm_Awoke *>(QApplication::activeModalWidget())) {
            ++shown;
            timerRanWhileShown = m_main->Timer1->isActive();
            listed = subjects(child<Dataset>(w, "Qry_Awoke"));
            QTest::mouseClick(child<QPushButton>(w, "Btn_Exit"), Qt::LeftButton);
            return;
        }
        QTimer::singleShot(5, this, watch);
    };
    QTimer::singleShot(0, this, watch);
    m_main->Timer1->start();
    QTRY_COMPARE(shown, 1);
    QVERIFY(!timerRanWhileShown);
    QCOMPARE(listed, Texts{"今天"});
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(!m_main->Timer1->isActive());
    QTRY_VERIFY(!m_main->findChild<TFrm_Awoke *>()); // freed after closing
    // The setting still asks for it: a login starts the timer again and it opens once more.
    QTimer::singleShot(0, this, watch);
    m_fixture->login(QStringLiteral("张三"), false, 1);
    m_main->Timer1->setInterval(10);
    QTRY_COMPARE(shown, 2);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(!m_main->Timer1->isActive());
}

void TestActivityLog::menuEntryOpensRegardless()
{
    const QList<QString> configs = {QString(), QStringLiteral("[otherInfo]\nawoke=1\n"), QStringLiteral("[otherInfo]\nawoke=0\n")};
    for (const QString &ini : configs) {
        config(ini);
        m_main->Timer1->start();
        bool modal = false;
        const QString opened = whenModal([&] { m_main->menuEntry(QStringLiteral("N_Awoke"))->trigger(); },
                                         [&](QWidget *dialog) {
                                             modal = dialog->isModal() && dialog->parentWidget() == m_main;
                                             auto *w = qobject_cast<TFrm_Awoke *>(dialog);
                                             QVERIFY(w);
                                             child<QLineEdit>(w, "Edit_Day")->setText(QStringLiteral("1"));
                                         });
        QCOMPARE(opened, QStringLiteral("联系活动提醒"));
        QVERIFY(modal);
        QVERIFY(!m_main->Timer1->isActive());
        // Absent or not 0 becomes 1; 0 stays.
        QCOMPARE(writtenSettings().readInteger(QStringLiteral("otherInfo"), QStringLiteral("awoke"), -1),
                 ini.contains(QStringLiteral("awoke=0")) ? 0 : 1);
    }
    QCOMPARE(m_main->menuEntry(QStringLiteral("N_Awoke"))->shortcut(), QKeySequence(Qt::Key_F5));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestActivityLog::printHandsOverGrid()
{
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=1\n"));
    auto w = reminders();
    QList<DataGrid *> printed;
    w->printHandler = [&](DataGrid *grid) { printed.append(grid); };
    QTest::mouseClick(child<QPushButton>(w, "Btn_Print"), Qt::LeftButton);
    QCOMPARE(printed, QList<DataGrid *>{child<DataGrid>(w, "DBGridEh1")});
}

void TestActivityLog::printPreview()
{
    for (int day = 0; day < 40; ++day)
        addSchedule(QStringLiteral("提醒%1").arg(day), QStringLiteral("张三"), true, 2);
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=2\n"));
    auto w = reminders();
    QCOMPARE(child<Dataset>(w, "Qry_Awoke")->recordCount(), 40);
    int pages = 0;
    const QString opened = whenModal([&] { QTest::mouseClick(child<QPushButton>(w, "Btn_Print"), Qt::LeftButton); }, [&](QWidget *dialog) {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(dialog);
        QVERIFY(preview);
        QCOMPARE(preview->printer()->pageLayout().units(), QPageLayout::Millimeter);
        if (auto *page = preview->findChild<QPrintPreviewWidget *>()) {
            pages = page->pageCount();
            const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
            if (!folder.isEmpty()) {
                preview->resize(800, 900);
                page->fitInView();
                QTest::qWait(50);
                preview->grab().save(QDir(folder).filePath(QStringLiteral("reminders_print.png")));
            }
        }
    });
    QCOMPARE(opened, QStringLiteral("打印预览"));
    QVERIFY(pages >= 1);
    QVERIFY(m_messages->shown.isEmpty());
}

// ------------------------------------------------------------------ screenshots

void TestActivityLog::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    addSchedule(QStringLiteral("回访华信"), QStringLiteral("张三"), true, 1);
    addSchedule(QStringLiteral("报价跟进"), QStringLiteral("张三"), true, 1);
    config(QStringLiteral("[otherInfo]\nawoke=0\nDay=1\n"));

    m_main->resize(1000, 600);
    m_main->show();
    TFrm_Daily *list = openList();
    list->parentWidget()->resize(760, 360);
    QTest::qWait(50);
    QVERIFY(m_main->grab().save(QDir(folder).filePath(QStringLiteral("daily_list.png"))));

    m_data->Qry_Daily->setCurrentRow(2);
    auto edit = editor(EditorMode::Edit);
    QTest::qWait(50);
    QVERIFY(edit->grab().save(QDir(folder).filePath(QStringLiteral("daily_editor.png"))));
    auto add = editor(EditorMode::Add);
    QTest::qWait(50);
    QVERIFY(add->grab().save(QDir(folder).filePath(QStringLiteral("daily_editor_add.png"))));

    auto w = reminders();
    QTest::qWait(50);
    QVERIFY(w->grab().save(QDir(folder).filePath(QStringLiteral("reminders.png"))));
}

QTEST_MAIN(TestActivityLog)
#include "tst_activitylog.moc"
