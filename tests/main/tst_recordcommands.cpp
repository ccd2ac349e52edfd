#include "TestProgram.h"
#include "data/TFrm_Data.h"
#include "main/RecordCommands.h"
#include "store/Connection.h"
#include "ui/Messages.h"

#include <QtTest>

// Delete commands: ownership, confirmations and the cascades in one transaction.
class TestRecordCommands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void customerOwnershipRefused();
    void customerDeclinedKeepsAll();
    void customerCascade();
    void cascadeMatchesTheStoredCodeExactly_data();
    void cascadeMatchesTheStoredCodeExactly();
    void customerRollbackOnFailure();
    void selectedCustomersUnderOneQuestion();
    void contactOwnershipAndDelete();
    void scheduleOwnershipAndDelete();
    void goodsRemovesItsBillLines();
    void goodsRollback();
    void billWithItsLines();
    void billFromEmptyListFails();
    void everyDeleteQuestionDefaultsToNo_data();
    void everyDeleteQuestionDefaultsToNo();

private:
    int count(const QString &sql);
    void openCustomers() { TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom")); }
    std::unique_ptr<TestProgram> m_program;
    std::unique_ptr<TFrm_Data> m_data;
    std::unique_ptr<RecordCommands> m_commands;
    ScriptedMessages m_messages;
    const OperatorContext admin{QStringLiteral("Admin"), 0};
    const OperatorContext clerk{QStringLiteral("张三"), 1};
};

void TestRecordCommands::init()
{
    m_messages = ScriptedMessages();
    Messages::install(&m_messages);
    m_program = std::make_unique<TestProgram>();
    m_data = std::make_unique<TFrm_Data>();
    m_commands = std::make_unique<RecordCommands>(m_data.get(), nullptr);
    Connection *c = m_data->connection();
    for (int code = 1; code <= 5; ++code) {
        c->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (%1, '公司%1', '%2')")
                    .arg(code).arg(code == 2 ? QStringLiteral("李四") : QStringLiteral("张三")));
        c->exec(QStringLiteral("insert into contact (CustCode, ContactName, F_User) values (%1, '联系人%1', '张三'), (%1, '助理%1', '李四')").arg(code));
        c->exec(QStringLiteral("insert into T_Schedule (CustCode, Subject, F_User) values ('%1', '回访', '张三')").arg(code));
        for (int b = 1; b <= 3; ++b) {
            c->exec(QStringLiteral("insert into T_Bill (BillCode, CustCode, CustName) values ('XS%1-%2', %1, '公司%1')").arg(code).arg(b));
            c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, Number) values ('XS%1-%2', 'G%2', 1), ('XS%1-%2', 'G9', 2)").arg(code).arg(b));
        }
    }
    c->exec(QStringLiteral("insert into T_Goods (GoodsCode, GoodsName) values ('G1','打印机'), ('G9','硒鼓')"));
}

void TestRecordCommands::cleanup()
{
    m_commands.reset();
    m_data.reset();
    m_program.reset();
    Messages::install(nullptr);
}

int TestRecordCommands::count(const QString &sql)
{
    Statement s(*m_data->connection(), sql);
    s.step();
    return s.value(0).toInt();
}

void TestRecordCommands::customerOwnershipRefused()
{
    openCustomers();
    m_data->Qry_Cust->setCurrentRow(1); // 李四's customer
    m_commands->DelCust(clerk, {});
    QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("不是你的客户，你没有权限删除！")});
    QCOMPARE(m_messages.last().title, QStringLiteral("警告"));
    QCOMPARE(m_messages.last().icon, Msg::Icon::Information);
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 5);

    // An unrestricted operator may delete anybody's customer.
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelCust(admin, {});
    QCOMPARE(m_messages.last().text, QStringLiteral("确定要删除客户记录吗！"));
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=2")), 0);
}

void TestRecordCommands::customerDeclinedKeepsAll()
{
    openCustomers();
    m_messages.answer(Msg::Answer::No);
    m_commands->DelCust(clerk, {});
    QCOMPARE(m_messages.last().buttons, Msg::Buttons::YesNoDefaultNo);
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 5);
}

void TestRecordCommands::cascadeMatchesTheStoredCodeExactly_data()
{
    QTest::addColumn<QString>("code"); // as it stands in the statements that store it
    // Codes that imports, the command-line tool or older files leave behind. Customers 0
    // and 5 stand beside them: a converted code would hit their records.
    QTest::newRow("empty") << QStringLiteral("''");
    QTest::newRow("fraction 4.6") << QStringLiteral("4.6");
    QTest::newRow("fraction 0.4") << QStringLiteral("0.4");
    QTest::newRow("text") << QStringLiteral("'A5'");
}

void TestRecordCommands::cascadeMatchesTheStoredCodeExactly()
{
    QFETCH(QString, code);
    Connection *c = m_data->connection();
    c->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (0, '公司0', '张三')"));
    c->exec(QStringLiteral("insert into contact (CustCode, ContactName, F_User) values (0, '联系人0', '张三')"));
    c->exec(QStringLiteral("insert into T_Schedule (CustCode, Subject, F_User) values ('0', '回访', '张三')"));
    c->exec(QStringLiteral("insert into T_Bill (BillCode, CustCode, CustName) values ('XS0-1', 0, '公司0')"));
    c->exec(QStringLiteral("insert into custom (CustCode, Company, F_User) values (%1, '怪号公司', '张三')").arg(code));
    c->exec(QStringLiteral("insert into contact (CustCode, ContactName, F_User) values (%1, '怪号联系人', '张三')").arg(code));
    c->exec(QStringLiteral("insert into T_Schedule (CustCode, Subject, F_User) values (%1, '怪号回访', '张三')").arg(code));
    c->exec(QStringLiteral("insert into T_Bill (BillCode, CustCode, CustName) values ('XS-ODD', %1, '怪号公司')").arg(code));
    c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, Number) values ('XS-ODD', 'G1', 1)"));

    openCustomers();
    QVERIFY(m_data->Qry_Cust->locate(QStringLiteral("Company"), QStringLiteral("怪号公司")));
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelCust(admin, {});

    QCOMPARE(count(QStringLiteral("select count(*) from custom where Company='怪号公司'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where ContactName='怪号联系人'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Subject='怪号回访'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill where BillCode='XS-ODD'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='XS-ODD'")), 0);
    // The neighbours keep everything.
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=0")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='0'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill where CustCode=0")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=5")), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='5'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill where CustCode=5")), 3);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode like 'XS5-%'")), 6);
}

void TestRecordCommands::customerCascade()
{
    openCustomers();
    m_data->Qry_Cust->setCurrentRow(2); // customer 3 with three bills
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelCust(clerk, {});
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=3")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=3")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='3'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill where CustCode=3")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode like 'XS3-%'")), 0);
    // Everybody else's records stay.
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 4);
    QCOMPARE(count(QStringLiteral("select count(*) from contact")), 8);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail")), 24);
    QCOMPARE(m_data->Qry_Cust->recordCount(), 4);
    QCOMPARE(m_messages.shown.size(), 1);
}

void TestRecordCommands::customerRollbackOnFailure()
{
    m_data->connection()->exec(QStringLiteral(
        "create trigger injected before delete on T_Bill when old.CustCode=3 begin select raise(abort, 'injected'); end"));
    openCustomers();
    m_data->Qry_Cust->setCurrentRow(2);
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelCust(clerk, {});
    QCOMPARE(m_messages.last().text, QStringLiteral("删除记录失败!"));
    QCOMPARE(m_messages.last().title, QStringLiteral("Confirm"));
    QCOMPARE(m_messages.last().buttons, Msg::Buttons::Ok);
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=3")), 2); // rolled back
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode='3'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=3")), 1);
    QCOMPARE(m_data->Qry_Cust->recordCount(), 5);
    QVERIFY(!m_data->connection()->inTransaction());
}

void TestRecordCommands::selectedCustomersUnderOneQuestion()
{
    m_data->connection()->exec(QStringLiteral(
        "create trigger injected before delete on T_Bill when old.CustCode=3 begin select raise(abort, 'injected'); end"));
    openCustomers();
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelCust(clerk, {0, 1, 2, 3, 4}); // 李四's customer 2 too: only the current one is tested
    QCOMPARE(m_messages.texts(), (QStringList{QStringLiteral("确定要删除客户记录吗！"), QStringLiteral("删除记录失败!")}));
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 1);
    QCOMPARE(count(QStringLiteral("select CustCode from custom")), 3);
    QCOMPARE(count(QStringLiteral("select count(*) from contact")), 2);
    QCOMPARE(m_data->Qry_Cust->recordCount(), 1);
}

void TestRecordCommands::contactOwnershipAndDelete()
{
    openCustomers();
    TFrm_Data::RunQuery(m_data->Qry_Contact, QStringLiteral("Select * From Contact where CustCode=:CustCode"));
    m_data->Qry_Contact->setCurrentRow(1); // 李四's contact
    m_commands->DelContact(clerk);
    QCOMPARE(m_messages.last().text, QStringLiteral("不是你的联系人，你没有权限删除！"));
    QCOMPARE(m_messages.last().kind, Msg::Kind::Dialog);
    QCOMPARE(count(QStringLiteral("select count(*) from contact")), 10);
    m_data->Qry_Contact->setCurrentRow(0);
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelContact(clerk);
    QCOMPARE(m_messages.last().text, QStringLiteral("你确定要删除该联系人吗！"));
    QCOMPARE(count(QStringLiteral("select count(*) from contact where ContactName='联系人1'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from contact")), 9);

    // An empty list: nothing happens, nothing is shown.
    const int shown = m_messages.shown.size();
    TFrm_Data::RunQuery(m_data->Qry_Contact, QStringLiteral("select * from contact where 1=0"));
    m_commands->DelContact(admin);
    QCOMPARE(m_messages.shown.size(), shown);
}

void TestRecordCommands::scheduleOwnershipAndDelete()
{
    m_data->connection()->exec(QStringLiteral("update T_Schedule set F_User='李四' where CustCode='1'"));
    openCustomers();
    TFrm_Data::RunQuery(m_data->Qry_Schedule, QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"));
    m_commands->DelSchedule(clerk);
    QCOMPARE(m_messages.last().text, QStringLiteral("不是你的联系活动，你没有权限删除！"));
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelSchedule(admin);
    QCOMPARE(m_messages.last().text, QStringLiteral("您确定要删除这条联系活动记录吗？"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule")), 4);
}

void TestRecordCommands::goodsRemovesItsBillLines()
{
    TFrm_Data::RunQuery(m_data->Qry_Goods, QStringLiteral("select * from T_Goods"));
    m_data->Qry_Goods->setCurrentRow(1); // G9, on a line of every bill
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelGoods();
    QCOMPARE(m_messages.last().text, QStringLiteral("您确定要删除这条商品记录吗？"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='G9'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail")), 15);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill")), 15); // headers stay
}

void TestRecordCommands::goodsRollback()
{
    m_data->connection()->exec(QStringLiteral(
        "create trigger injected before delete on T_Goods begin select raise(abort, 'injected'); end"));
    TFrm_Data::RunQuery(m_data->Qry_Goods, QStringLiteral("select * from T_Goods"));
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelGoods();
    QCOMPARE(m_messages.last().text, QStringLiteral("删除商品记录失败!"));
    QCOMPARE(m_messages.last().buttons, Msg::Buttons::YesNo);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='G1'")), 5);
    QCOMPARE(m_data->Qry_Goods->recordCount(), 2);
}

void TestRecordCommands::billWithItsLines()
{
    openCustomers();
    TFrm_Data::RunQuery(m_data->Qry_Bill, QStringLiteral("select * from T_Bill where CustCode=:CustCode"));
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelBill();
    QCOMPARE(m_messages.last().title, QStringLiteral("警告 "));
    QCOMPARE(m_messages.last().text, QStringLiteral("你确定要删除这条单据吗？"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill where BillCode='XS1-1'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where BillCode='XS1-1'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail")), 28);
}

void TestRecordCommands::billFromEmptyListFails()
{
    TFrm_Data::RunQuery(m_data->Qry_Bill, QStringLiteral("select * from T_Bill where 1=0"));
    m_messages.answer(Msg::Answer::Yes);
    m_commands->DelBill();
    QCOMPARE(m_messages.last().text, QStringLiteral("删除记录失败!"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Bill")), 15);
}

// Enter on a delete question keeps the record: every one has 否 as its default button, and
// the cautious answer that Enter gives deletes nothing.
void TestRecordCommands::everyDeleteQuestionDefaultsToNo_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("remaining"); // counted before and after
    QTest::newRow("customer") << "DelCust" << "确定要删除客户记录吗！" << "select count(*) from custom";
    QTest::newRow("contact") << "DelContact" << "你确定要删除该联系人吗！" << "select count(*) from contact";
    QTest::newRow("schedule") << "DelSchedule" << "您确定要删除这条联系活动记录吗？" << "select count(*) from T_Schedule";
    QTest::newRow("diary") << "DelDaily" << "您确定要删除这条日记记录吗？" << "select count(*) from T_Daily";
    QTest::newRow("goods") << "DelGoods" << "您确定要删除这条商品记录吗？" << "select count(*) from T_Goods";
    QTest::newRow("bill") << "DelBill" << "你确定要删除这条单据吗？" << "select count(*) from T_Bill";
}

void TestRecordCommands::everyDeleteQuestionDefaultsToNo()
{
    QFETCH(QString, command);
    QFETCH(QString, question);
    QFETCH(QString, remaining);
    m_data->connection()->exec(QStringLiteral("insert into T_Daily (Subject, author) values ('日记', 'Admin')"));
    openCustomers();
    TFrm_Data::RunQuery(m_data->Qry_Contact, QStringLiteral("select * from contact"));
    TFrm_Data::RunQuery(m_data->Qry_Schedule, QStringLiteral("select * from T_Schedule"));
    TFrm_Data::RunQuery(m_data->Qry_Daily, QStringLiteral("select * from T_Daily"));
    TFrm_Data::RunQuery(m_data->Qry_Goods, QStringLiteral("select * from T_Goods"));
    TFrm_Data::RunQuery(m_data->Qry_Bill, QStringLiteral("select * from T_Bill"));
    const int before = count(remaining);
    QVERIFY(before > 0);
    if (command == QLatin1String("DelCust"))
        m_commands->DelCust(admin, {});
    else if (command == QLatin1String("DelContact"))
        m_commands->DelContact(admin);
    else if (command == QLatin1String("DelSchedule"))
        m_commands->DelSchedule(admin);
    else if (command == QLatin1String("DelDaily"))
        m_commands->DelDaily();
    else if (command == QLatin1String("DelGoods"))
        m_commands->DelGoods();
    else
        m_commands->DelBill();
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.last().text, question);
    QCOMPARE(m_messages.last().buttons, Msg::Buttons::YesNoDefaultNo);
    QVERIFY(Msg::defaultsToNo(m_messages.last().buttons));
    QCOMPARE(count(remaining), before);
}

QTEST_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
