#include "TestProgram.h"
#include "app/Startup.h"
#include "data/TFrm_Data.h"
#include "store/Connection.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <functional>
#include <utility>

class TestDataModule : public QObject
{
    Q_OBJECT
private slots:
    void init() { Messages::install(&m_messages); m_messages = ScriptedMessages(); }
    void cleanup() { Messages::install(nullptr); }

    void databasePathRules_data();
    void databasePathRules();
    void opensLocalFileWithoutConfig();
    void failedConnectionAsks_data();
    void failedConnectionAsks();
    void busyDatabaseOffersRetry_data();
    void busyDatabaseOffersRetry();
    void startupEndsOnFailedConnection();
    void sharedQueriesAndLinks();
    void reportTemplatesLoadedOrSkipped();
    void lineAmountOnlyWhileBillEditorExists();
    void lineAmountRounding_data();
    void lineAmountRounding();
    void contactVariableRule_data();
    void contactVariableRule();
    void fillCombos();

private:
    ScriptedMessages m_messages;
};

void TestDataModule::databasePathRules_data()
{
    QTest::addColumn<QString>("dbConn");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty means the local file") << "" << "/opt/kehu/DataBase/Custom.mdb";
    QTest::newRow("blanks are a path") << "  " << "  ";
    QTest::newRow("network file") << "/mnt/share/Custom.mdb" << "/mnt/share/Custom.mdb";
}

void TestDataModule::databasePathRules()
{
    QFETCH(QString, dbConn);
    QFETCH(QString, expected);
    QCOMPARE(TFrm_Data::databasePathFor(dbConn, QStringLiteral("/opt/kehu/")), expected);
}

void TestDataModule::opensLocalFileWithoutConfig()
{
    TestProgram program;
    TFrm_Data data;
    QVERIFY(data.connectOK());
    QVERIFY(m_messages.shown.isEmpty());
    QCOMPARE(data.databasePath(), program.databasePath());
    QVERIFY(data.Qry_Custom->isOpen());
    QCOMPARE(data.Qry_Custom->recordCount(), 1);
    QVERIFY(!QFile::exists(program.dir() + QStringLiteral("Config.ini"))); // nothing written
}

void TestDataModule::failedConnectionAsks_data()
{
    QTest::addColumn<QString>("dbConn");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("file"); // made in the program folder under the name dbConn ends with
    QTest::newRow("missing file, Yes") << "/nowhere/Custom.mdb" << true << "";
    QTest::newRow("missing file, No") << "/nowhere/Custom.mdb" << false << "";
    QTest::newRow("blanks only, Yes") << "   " << true << "";
    QTest::newRow("zero-byte file, Yes") << "empty.mdb" << true << "empty";
    QTest::newRow("zero-byte file, No") << "empty.mdb" << false << "empty";
    QTest::newRow("keyed database without the tables, No") << "other.mdb" << false << "foreign";
    QTest::newRow("text file, Yes") << "notes.mdb" << true << "text";
}

// A file that is not the program's database is a failed connection like a missing one:
// the question, never an abort and never a write to that file.
void TestDataModule::failedConnectionAsks()
{
    QFETCH(QString, dbConn);
    QFETCH(bool, yes);
    QFETCH(QString, file);
    TestProgram program;
    QByteArray fileBytes;
    if (!file.isEmpty()) {
        dbConn = program.dir() + dbConn;
        if (file == QLatin1String("foreign"))
            Connection::create(dbConn)->execScript(QStringLiteral("create table notes (body text);"));
        QFile made(dbConn);
        QVERIFY(made.open(QIODevice::ReadWrite));
        if (file == QLatin1String("text"))
            made.write("[Config]\r\nDBConn=\r\n");
        made.seek(0);
        fileBytes = made.readAll();
    }
    program.writeConfig(QStringLiteral("[Config]\r\nDBConn=") + dbConn + QStringLiteral("\r\n"));
    m_messages.answer(yes ? Msg::Answer::Yes : Msg::Answer::No);
    {
        TFrm_Data data;
        QVERIFY(!data.connectOK());
        QCOMPARE(m_messages.shown.size(), 1);
        const Msg::Record &question = m_messages.last();
        QCOMPARE(question.text, QStringLiteral("连接数据库失败,您要连接本机数据库吗! "));
        QCOMPARE(question.title, QStringLiteral("客户管理系统"));
        QCOMPARE(question.icon, Msg::Icon::Information);
        QCOMPARE(question.buttons, Msg::Buttons::YesNo);
    }
    IniSettings settings(program.dir() + QStringLiteral("Config.ini"));
    QCOMPARE(settings.readString(QStringLiteral("config"), QStringLiteral("dbconn")), yes ? QString() : dbConn);
    if (!file.isEmpty()) {
        QFile left(dbConn);
        QVERIFY(left.open(QIODevice::ReadOnly));
        QVERIFY(left.readAll() == fileBytes);
    }
    if (yes) {
        // The next start opens the local file.
        TFrm_Data next;
        QVERIFY(next.connectOK());
        QCOMPARE(next.databasePath(), program.databasePath());
    }
}

namespace {
// Answers from the queue, and lets a test act when a question is asked (the other
// program lets go of the database while the operator reads the message).
struct ActingMessages : ScriptedMessages
{
    std::function<void()> onQuestion;
    Msg::Answer box(QWidget *parent, const QString &text, const QString &title, Msg::Icon icon,
                    Msg::Buttons buttons) override
    {
        if (onQuestion)
            std::exchange(onQuestion, nullptr)();
        return ScriptedMessages::box(parent, text, title, icon, buttons);
    }
};
}

void TestDataModule::busyDatabaseOffersRetry_data()
{
    QTest::addColumn<QList<int>>("answers"); // Msg::Answer values, in order
    QTest::addColumn<bool>("releaseAtFirstQuestion");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("connected");
    const int yes = int(Msg::Answer::Yes), no = int(Msg::Answer::No);
    QTest::newRow("give up") << QList<int>{no} << false << 1 << false;
    QTest::newRow("retry while still busy, then give up") << QList<int>{yes, no} << false << 2 << false;
    QTest::newRow("retry after the other program let go") << QList<int>{yes} << true << 1 << true;
}

// A database locked by another program is the right database, only busy: the operator
// may try again, and the setting naming it is never cleared.
void TestDataModule::busyDatabaseOffersRetry()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, releaseAtFirstQuestion);
    QFETCH(int, questions);
    QFETCH(bool, connected);
    TestProgram program;
    const QString config = QStringLiteral("[Config]\r\nDBConn=%1\r\n").arg(program.databasePath());
    program.writeConfig(config);
    ActingMessages messages;
    Messages::install(&messages);
    for (int answer : answers)
        messages.answer(Msg::Answer(answer));
    auto holder = program.connect();
    holder->execScript(QStringLiteral("BEGIN EXCLUSIVE;"));
    if (releaseAtFirstQuestion)
        messages.onQuestion = [&] { holder->rollback(); };
    {
        TFrm_Data data;
        QCOMPARE(data.connectOK(), connected);
        QCOMPARE(messages.shown.size(), questions);
        for (const Msg::Record &question : messages.shown) {
            QVERIFY2(question.text.startsWith(QStringLiteral("数据库正被其他程序使用")), qPrintable(question.text));
            QVERIFY(question.text.contains(QDir::toNativeSeparators(program.databasePath())));
            QCOMPARE(question.title, QStringLiteral("客户管理系统"));
            QCOMPARE(question.buttons, Msg::Buttons::YesNo);
        }
        if (connected)
            QCOMPARE(data.Qry_Custom->recordCount(), 1);
    }
    holder.reset();
    QFile written(program.dir() + QStringLiteral("Config.ini"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()), config);
}

void TestDataModule::startupEndsOnFailedConnection()
{
    TestProgram program;
    program.writeConfig(QStringLiteral("[Config]\r\nDBConn=/nowhere/Custom.mdb\r\n"));
    m_messages.answer(Msg::Answer::No);
    QCOMPARE(Startup::run(*qApp), 0);
    QCOMPARE(m_messages.shown.size(), 1); // the question, and no login after it
    QVERIFY(QApplication::topLevelWidgets().isEmpty() || std::none_of(QApplication::topLevelWidgets().cbegin(),
            QApplication::topLevelWidgets().cend(), [](QWidget *w) { return w->isVisible(); }));
}

void TestDataModule::sharedQueriesAndLinks()
{
    TestProgram program;
    TFrm_Data data;
    for (const char *name : {"Qry_Cust", "Qry_Contact", "Qry_Schedule", "Qry_Daily", "Qry_Bill", "Qry_Detail",
                             "Qry_BillDetail", "Qry_Goods", "Qry_Custom", "Qry_Other", "Qry_HY", "Qry_zw",
                             "Qry_Depart", "Qry_FieldShow", "Qry_Import", "Qry_SoftInfo", "Qry_Report", "Qry_Count"})
        QVERIFY2(data.findChild<Dataset *>(QString::fromLatin1(name)), name);
    // No scratch queries shared between windows: each works with its own.
    for (const char *name : {"Qry_Temp", "Qry_Str", "Qry_Del", "Qry_Sql"})
        QVERIFY2(!data.findChild<Dataset *>(QString::fromLatin1(name)), name);
    for (const char *name : {"DS_Cust", "DS_Contact", "DS_Schedule", "DS_Daily", "DS_Bill", "DS_Detail",
                             "DS_BillDetail", "DS_Goods", "DS_Other"})
        QVERIFY2(data.findChild<DataSource *>(QString::fromLatin1(name)), name);
    QCOMPARE(data.Qry_Cust->sql(), QStringLiteral("select * from custom"));
    QCOMPARE(data.Qry_Contact->sql(), QStringLiteral("select * from contact"));
    QCOMPARE(data.Qry_BillDetail->sql(), QStringLiteral("select * from T_BillDetail"));
    QVERIFY(data.Qry_BillDetail->cachedUpdates());

    data.connection()->exec(QStringLiteral("insert into custom (CustCode, Company) values (1,'甲'), (2,'乙')"));
    data.connection()->exec(QStringLiteral("insert into T_Schedule (CustCode, Company) values ('2','乙')"));
    TFrm_Data::RunQuery(data.Qry_Cust, QStringLiteral("select * from custom"));
    TFrm_Data::RunQuery(data.Qry_Schedule, QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"));
    QCOMPARE(data.Qry_Schedule->recordCount(), 0);
    data.Qry_Cust->next();
    QCOMPARE(data.Qry_Schedule->recordCount(), 1);
    Dataset scratch(data.connection());
    QCOMPARE(TFrm_Data::RunSql(&scratch, QStringLiteral("delete from T_Schedule where CustCode='2'")), 1);
}

void TestDataModule::reportTemplatesLoadedOrSkipped()
{
    TestProgram program;
    QDir(program.dir()).mkpath(QStringLiteral("Reports"));
    QFile file(program.dir() + QStringLiteral("Reports/fr_Envelop.frf"));
    file.open(QIODevice::WriteOnly);
    file.write("layout");
    file.close();
    TFrm_Data data;
    QVERIFY(m_messages.shown.isEmpty()); // the three missing files are skipped silently
    QCOMPARE(data.reports().size(), size_t(4));
    QCOMPARE(data.report(QStringLiteral("fr_Envelop"))->layout(), QByteArray("layout"));
    QVERIFY(!data.report(QStringLiteral("fr_Bills"))->hasLayout());
    QCOMPARE(data.report(QStringLiteral("fr_EnveLabel"))->relativeFile(), QStringLiteral("Reports/fr_Label.frf"));
    QCOMPARE(data.report(QStringLiteral("fr_CustBasic"))->contactVariable(), QStringLiteral("contact_name"));
}

void TestDataModule::lineAmountOnlyWhileBillEditorExists()
{
    TestProgram program;
    TFrm_Data data;
    data.connection()->exec(QStringLiteral("insert into T_BillDetail (BillCode, Number, SalePrice, Discount) values ('B1',3,2.5,0.9)"));
    TFrm_Data::RunQuery(data.Qry_BillDetail, QStringLiteral("select * from T_BillDetail where BillCode='B1'"));
    QVERIFY(data.Qry_BillDetail->isNull(QStringLiteral("money")));
    auto *editor = new QObject;
    data.setBillEditor(editor);
    QCOMPARE(data.Qry_BillDetail->number(QStringLiteral("money")), 6.75);
    delete editor; // the editor closed
    QVERIFY(data.Qry_BillDetail->isNull(QStringLiteral("money")));
}

void TestDataModule::lineAmountRounding_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("discount");
    QTest::addColumn<double>("amount");
    QTest::newRow("plain") << 3.0 << 2.5 << 0.9 << 6.75;
    QTest::newRow("four places") << 1.0 << 1.23456 << 1.0 << 1.2346;
    QTest::newRow("tie to even, down") << 1.0 << 0.03125 << 1.0 << 0.0312; // exactly 312.5 ten-thousandths
    QTest::newRow("tie to even, up") << 3.0 << 0.03125 << 1.0 << 0.0938; // exactly 937.5 ten-thousandths
    QTest::newRow("no discount factor") << 2.0 << 10.0 << 0.0 << 0.0;
}

void TestDataModule::lineAmountRounding()
{
    QFETCH(double, number);
    QFETCH(double, price);
    QFETCH(double, discount);
    QFETCH(double, amount);
    QCOMPARE(TFrm_Data::lineAmount(number, price, discount).toDouble(), amount);
}

void TestDataModule::contactVariableRule_data()
{
    QTest::addColumn<bool>("fill");
    QTest::addColumn<int>("useMain");
    QTest::addColumn<QString>("contactName");
    QTest::addColumn<QString>("mainContact");
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("expected"); // "-" means left to the engine
    QTest::newRow("off") << false << 0 << "王" << "李" << "contactname" << "contactname" << "-";
    QTest::newRow("contact column") << true << 0 << "王" << "李" << "ContactName" << "contactname" << "王";
    QTest::newRow("main contact column") << true << 1 << "王" << "李" << "contactname" << "contactname" << "李";
    QTest::newRow("empty gives default") << true << 0 << "" << "李" << "contactname" << "contactname" << "先生/女士";
    QTest::newRow("basic data report name") << true << 0 << "" << "" << "CONTACT_NAME" << "contact_name" << "先生/女士";
    QTest::newRow("other variable") << true << 0 << "王" << "" << "company" << "contactname" << "-";
    QTest::newRow("other variable, empty") << true << 0 << "" << "" << "company" << "contactname" << "-";
}

void TestDataModule::contactVariableRule()
{
    QFETCH(bool, fill);
    QFETCH(int, useMain);
    QFETCH(QString, contactName);
    QFETCH(QString, mainContact);
    QFETCH(QString, requested);
    QFETCH(QString, variable);
    QFETCH(QString, expected);
    TestProgram program;
    auto c = program.connect();
    c->exec(QStringLiteral("insert into custom (CustCode, Company, MainContact) values (1,'甲','%1')").arg(mainContact));
    if (!contactName.isEmpty())
        c->exec(QStringLiteral("insert into contact (CustCode, ContactName) values (1,'%1')").arg(contactName));
    Dataset rows(c.get());
    rows.setSql(QStringLiteral("select * from S_ViewCust where CustCode in(1)"));
    rows.open();
    const ReportContactOptions options{fill, useMain, QStringLiteral("先生/女士")};
    const std::optional<QString> value = TFrm_Data::contactVariable(options, rows, requested, variable);
    QCOMPARE(value.has_value() ? *value : QStringLiteral("-"), expected);
}

void TestDataModule::fillCombos()
{
    TestProgram program;
    TFrm_Data data;
    data.connection()->exec(QStringLiteral("delete from Dict_CustType"));
    data.connection()->exec(QStringLiteral("insert into Dict_CustType (name) values ('乙 '), (' 甲'), ('丙')"));
    QComboBox combo;
    combo.addItem(QStringLiteral("old"));
    Dataset lookup(data.connection());
    TFrm_Data::FillComboById(&lookup, &combo, QStringLiteral("Dict_CustType"));
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.itemText(0), QStringLiteral("乙"));
    QCOMPARE(combo.itemText(1), QStringLiteral("甲"));
    TFrm_Data::FillComboByName(&lookup, &combo, QStringLiteral("Dict_CustType"));
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.itemText(0), QStringLiteral("甲")); // ' 甲' sorts first by its stored text
}

QTEST_MAIN(TestDataModule)
#include "tst_datamodule.moc"
