// The program's own all-or-nothing operations, run through the windows and commands that
// users run them with, failed at each of their statements in turn: after every failure
// nothing partial is stored and the operator was told.
#include "WindowFixture.h"
#include "customers/TFrm_AddContact.h"
#include "customers/TFrm_AddCust.h"
#include "main/RecordCommands.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/FaultInjection.h"
#include "store/PasswordHash.h"
#include "store/queries/Operators.h"
#include "ui/Guarded.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

namespace {

// Everything the operations touch, row by row in key order: equal before and after a
// failed operation means nothing partial stayed.
QString snapshot(Connection &c)
{
    QString all;
    for (const char *table : {"custom", "contact", "T_Schedule", "T_Bill", "T_BillDetail", "T_Goods", "admin",
                              "T_UserAuthority"}) {
        Statement rows(c, QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table)));
        all += QLatin1String(table) + QLatin1Char('\n');
        while (rows.step()) {
            for (int i = 0; i < rows.columnCount(); ++i)
                all += rows.value(i).toString() + QLatin1Char('|');
            all += QLatin1Char('\n');
        }
    }
    return all;
}

void seed(Connection &c)
{
    c.exec(QStringLiteral("insert into custom (CustCode, Company, MainContact, F_User) values "
                          "(5, '华信科技', '王经理', 'Admin'), (6, '东方贸易', '', 'Admin')"));
    c.exec(QStringLiteral("insert into contact (CustCode, Company, ContactName, F_User) values "
                          "(5, '华信科技', '王经理', 'Admin'), (5, '华信科技', '李助理', 'Admin')"));
    c.exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, F_User) values "
                          "('5', '华信科技', '回访', 'Admin'), ('5', '华信科技', '报价', 'Admin')"));
    c.exec(QStringLiteral("insert into T_Bill (BillCode, CustCode, CustName) values ('XS1', 5, '华信科技'), ('XS2', 5, '华信科技')"));
    c.exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, Number) values ('XS1','G1',1), ('XS2','G1',2), ('XS2','G2',3)"));
    c.exec(QStringLiteral("insert into T_Goods (GoodsCode, GoodsName) values ('G1','打印机'), ('G2','硒鼓')"));
}

// One operation on a fresh fixture; returns the messages shown.
using Operation = std::function<void(WindowFixture &)>;

} // namespace

class TestOperations : public QObject
{
    Q_OBJECT
private slots:
    void failedAtEveryStatement_data();
    void failedAtEveryStatement();
    void cleanup() { FaultInjection::disarm(); }
    void cleanupTestCase() { qInfo("%d fault positions injected through the windows", m_positions); }

private:
    int m_positions = 0;
};

void TestOperations::failedAtEveryStatement_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("failureMessage");

    QTest::newRow("customer deleted with contacts, schedules, bills and lines") << Operation([](WindowFixture &f) {
        TFrm_Data::RunQuery(f.data->Qry_Cust, QStringLiteral("select * from custom order by CustCode"));
        f.messages.answer(Msg::Answer::Yes);
        RecordCommands(f.data.get(), nullptr).DelCust({QStringLiteral("Admin"), 0}, {});
    }) << QStringLiteral("删除记录失败!");

    QTest::newRow("goods deleted with their bill lines") << Operation([](WindowFixture &f) {
        TFrm_Data::RunQuery(f.data->Qry_Goods, QStringLiteral("select * from T_Goods order by GoodsCode"));
        f.messages.answer(Msg::Answer::Yes);
        RecordCommands(f.data.get(), nullptr).DelGoods();
    }) << QStringLiteral("删除商品记录失败!");

    QTest::newRow("bill deleted with its lines") << Operation([](WindowFixture &f) {
        TFrm_Data::RunQuery(f.data->Qry_Bill, QStringLiteral("select * from T_Bill order by BillCode"));
        f.messages.answer(Msg::Answer::Yes);
        RecordCommands(f.data.get(), nullptr).DelBill();
    }) << QStringLiteral("删除记录失败!");

    QTest::newRow("customer code and name carried to contacts and schedules") << Operation([](WindowFixture &f) {
        TFrm_Data::RunQuery(f.data->Qry_Cust, QStringLiteral("select * from custom order by CustCode"));
        f.data->Qry_Contact->link();
        TFrm_Data::RunQuery(f.data->Qry_Contact, QStringLiteral("Select * From Contact where CustCode=:CustCode"));
        TFrm_AddCust editor(f.main.get());
        editor.setMode(EditorMode::Edit);
        editor.show();
        child<QLineEdit>(&editor, "Edit_Code")->setText(QStringLiteral("12"));
        child<QLineEdit>(&editor, "Edit_CustName")->setText(QStringLiteral("华信集团"));
        child<QPushButton>(&editor, "Btn_OK")->click();
    }) << QStringLiteral("保存数据失败!");

    QTest::newRow("contact added as the customer's main contact") << Operation([](WindowFixture &f) {
        TFrm_Data::RunQuery(f.data->Qry_Cust, QStringLiteral("select * from custom order by CustCode"));
        f.data->Qry_Contact->link();
        TFrm_Data::RunQuery(f.data->Qry_Contact, QStringLiteral("Select * From Contact where CustCode=:CustCode"));
        TFrm_AddContact editor(f.main.get());
        editor.setMode(EditorMode::Add);
        editor.show();
        child<QLineEdit>(&editor, "Edit_Name")->setText(QStringLiteral("新联系人"));
        child<QPushButton>(&editor, "Btn_OK")->click();
    }) << QStringLiteral("保存数据失败!");

    QTest::newRow("operator created with the rights of his role") << Operation([](WindowFixture &f) {
        Operators::NewOperator op;
        op.userName = QStringLiteral("新操作员");
        op.storedPassword = PasswordHash::make(QString());
        op.partName = QStringLiteral("系统管理员");
        op.isUser = true;
        try {
            Operators::create(*f.db(), op);
        } catch (const DbError &error) {
            Messages::box(nullptr, error.text(), QString(), Msg::Icon::Warning);
        }
    }) << QString();

    QTest::newRow("operator deleted with his rights") << Operation([](WindowFixture &f) {
        try {
            Operators::remove(*f.db(), f.scalar(QStringLiteral("select UserID from admin where UserName='Admin'")).toLongLong());
        } catch (const DbError &error) {
            Messages::box(nullptr, error.text(), QString(), Msg::Icon::Warning);
        }
    }) << QString();
}

void TestOperations::failedAtEveryStatement()
{
    QFETCH(Operation, operation);
    QFETCH(QString, failureMessage);

    // One clean run: how many statements the operation runs and what it leaves.
    QString before, done;
    int statements = 0;
    {
        WindowFixture f;
        seed(*f.db());
        f.login(QStringLiteral("Admin"), true, 0);
        before = snapshot(*f.db());
        FaultInjection::failAtStatement(1 << 30);
        guarded(nullptr, [&] { operation(f); });
        statements = FaultInjection::statementsSeen();
        FaultInjection::disarm();
        done = snapshot(*f.db());
        QVERIFY2(done != before, "the operation changed nothing");
        if (!failureMessage.isEmpty())
            QVERIFY(!f.messages.texts().contains(failureMessage));
    }
    QVERIFY(statements > 0);

    // Then a failure at each statement in turn: the data is as before or as after the whole
    // operation (a failure after the commit, in a read that follows it), never in between;
    // and when nothing was stored, the operator heard of it.
    for (int n = 1; n <= statements; ++n) {
        WindowFixture f;
        seed(*f.db());
        f.login(QStringLiteral("Admin"), true, 0);
        FaultInjection::failAtStatement(n);
        // As every command runs: what a window does not handle reaches the error report.
        guarded(nullptr, [&] { operation(f); });
        FaultInjection::disarm();
        ++m_positions;
        QVERIFY(!f.db()->inTransaction());
        const QString now = snapshot(*f.db());
        QVERIFY2(now == before || now == done,
                 qPrintable(QStringLiteral("partial change with a fault at statement %1 of %2").arg(n).arg(statements)));
        QVERIFY2(!f.messages.shown.isEmpty(),
                 qPrintable(QStringLiteral("no word after a fault at statement %1").arg(n)));
        if (now == before && !failureMessage.isEmpty())
            QVERIFY2(f.messages.texts().contains(failureMessage)
                         || f.messages.texts().join(QString()).contains(QLatin1String("injected")),
                     qPrintable(f.messages.texts().join(QLatin1Char('|'))));
    }
}

QTEST_MAIN(TestOperations)
#include "tst_operations.moc"
