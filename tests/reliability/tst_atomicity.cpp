// Every all-or-nothing operation of the store layer, failed at each of its statements
// in turn by the fault switch: the transaction rolls back and not one row of it stays;
// run without a fault it stores the whole. The operations are the kinds the windows
// run: datasets posting rows, statements changing several tables, a cached batch of
// bill lines, a script.
#include "TestProgram.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/FaultInjection.h"
#include "store/Transaction.h"

#include <QtTest>
#include <functional>

namespace {

using Operation = std::function<void(Connection &)>;

// Everything the operations may touch, as text: equal texts mean equal contents.
QString snapshot(Connection &c)
{
    QString text;
    for (const char *table : {"custom", "contact", "T_Schedule", "T_Bill", "T_BillDetail", "T_Daily", "sqlite_sequence"}) {
        Statement rows(c, QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table)));
        text += QLatin1String(table) + QLatin1Char('\n');
        while (rows.step()) {
            for (int i = 0; i < rows.columnCount(); ++i)
                text += rows.value(i).toString() + QLatin1Char('|');
            text += QLatin1Char('\n');
        }
    }
    return text;
}

void seed(Connection &c)
{
    c.execScript(QStringLiteral(
        "insert into custom (CustCode, Company) values (1, '甲公司'), (2, '乙公司');"
        "insert into contact (CustCode, Company, ContactName) values (1, '甲公司', '王'), (1, '甲公司', '李');"
        "insert into T_Schedule (CustCode, Company, Subject) values ('1', '甲公司', '回访');"
        "insert into T_Bill (BillCode, CustCode, CustName) values ('XS1', 1, '甲公司');"
        "insert into T_BillDetail (BillCode, GoodsCode, Number) values ('XS1', 'G1', 2);"));
}

void newCustomerWithContacts(Connection &c)
{
    Dataset customer(&c);
    customer.setSql(QStringLiteral("select * from custom where 1=0"));
    customer.open();
    customer.append();
    customer.setValue(QStringLiteral("CustCode"), 3);
    customer.setValue(QStringLiteral("Company"), QStringLiteral("丙公司"));
    customer.post();
    Dataset contacts(&c);
    contacts.setSql(QStringLiteral("select * from contact where CustCode=3"));
    contacts.open();
    for (const char *name : {"赵", "钱"}) {
        contacts.append();
        contacts.setValue(QStringLiteral("CustCode"), 3);
        contacts.setValue(QStringLiteral("ContactName"), QString::fromUtf8(name));
        contacts.post();
    }
}

void customerCodeChangedEverywhere(Connection &c)
{
    c.exec(QStringLiteral("update custom set CustCode=9 where CustCode=1"));
    c.exec(QStringLiteral("update contact set CustCode=9 where CustCode=1"));
    c.exec(QStringLiteral("update T_Schedule set CustCode='9' where CustCode='1'"));
    c.exec(QStringLiteral("update T_Bill set CustCode=9 where CustCode=1"));
}

void customerDeletedWithEverything(Connection &c)
{
    c.exec(QStringLiteral("delete from T_BillDetail where BillCode in (select BillCode from T_Bill where CustCode=1)"));
    c.exec(QStringLiteral("delete from T_Bill where CustCode=1"));
    c.exec(QStringLiteral("delete from T_Schedule where CustCode='1'"));
    c.exec(QStringLiteral("delete from contact where CustCode=1"));
    Dataset customer(&c);
    customer.setSql(QStringLiteral("select * from custom where CustCode=1"));
    customer.open();
    customer.remove();
}

void billWithCachedLines(Connection &c)
{
    Dataset bill(&c);
    bill.setSql(QStringLiteral("select * from T_Bill where 1=0"));
    bill.open();
    bill.append();
    bill.setValue(QStringLiteral("BillCode"), QStringLiteral("XS2"));
    bill.setValue(QStringLiteral("CustCode"), 2);
    bill.post();
    Dataset lines(&c);
    lines.setCachedUpdates(true);
    lines.setSql(QStringLiteral("select * from T_BillDetail where BillCode='XS1'"));
    lines.open();
    lines.edit();
    lines.setValue(QStringLiteral("Number"), 5);
    lines.post();
    for (const char *goods : {"G2", "G3", "G4"}) {
        lines.append();
        lines.setValue(QStringLiteral("BillCode"), QStringLiteral("XS2"));
        lines.setValue(QStringLiteral("GoodsCode"), QString::fromLatin1(goods));
        lines.post();
    }
    lines.applyUpdates();
}

void scriptAndStatements(Connection &c)
{
    c.execScript(QStringLiteral("insert into T_Daily (Subject) values ('一'); insert into T_Daily (Subject) values ('二');"));
    c.exec(QStringLiteral("insert into T_Daily (Subject) values ('三')"));
    c.exec(QStringLiteral("update custom set Company='改' where CustCode=2"));
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestAtomicity : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { FaultInjection::disarm(); }
    void failedAtEveryStatement_data();
    void failedAtEveryStatement();
    void cachedLinesApplyAgainAfterAFailure();
    void cleanupTestCase() { qInfo("%d fault positions injected in all", m_positions); }

private:
    int m_positions = 0;
};

void TestAtomicity::failedAtEveryStatement_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("statements"); // at least this many: each a position to fail at
    QTest::newRow("new customer with two contacts, posted by datasets") << Operation(newCustomerWithContacts) << 5;
    QTest::newRow("customer code changed in four tables") << Operation(customerCodeChangedEverywhere) << 4;
    QTest::newRow("customer deleted with contacts, schedules and bills") << Operation(customerDeletedWithEverything) << 6;
    QTest::newRow("bill saved with cached lines") << Operation(billWithCachedLines) << 6;
    QTest::newRow("script and statements") << Operation(scriptAndStatements) << 3;
}

void TestAtomicity::failedAtEveryStatement()
{
    QFETCH(Operation, operation);
    QFETCH(int, statements);
    TestProgram program;
    auto c = program.connect();
    seed(*c);
    const QString before = snapshot(*c);

    // The whole operation once, on a copy, for the state it must leave.
    QString after;
    {
        TestProgram reference;
        auto r = reference.connect();
        seed(*r);
        QVERIFY(tryInTransaction(*r, [&] { operation(*r); }));
        after = snapshot(*r);
    }
    QVERIFY(after != before);

    int positions = 0;
    for (int n = 1;; ++n) {
        QVERIFY2(n < 1000, "the operation never ends");
        FaultInjection::failAtStatement(n);
        const bool done = tryInTransaction(*c, [&] { operation(*c); });
        const int seen = FaultInjection::statementsSeen();
        FaultInjection::disarm();
        QVERIFY(!c->inTransaction());
        if (seen < n) { // the fault lay past the operation's last statement
            QVERIFY(done);
            QCOMPARE(snapshot(*c), after);
            break;
        }
        ++positions;
        QVERIFY2(!done, qPrintable(QStringLiteral("succeeded despite a fault at statement %1").arg(n)));
        QVERIFY2(snapshot(*c) == before, qPrintable(QStringLiteral("fault at statement %1 left a part stored").arg(n)));
    }
    QVERIFY2(positions >= statements, qPrintable(QStringLiteral("only %1 positions").arg(positions)));
    m_positions += positions;
}

// A batch of cached lines that failed and was rolled back is applied again from the
// same dataset: every line is stored once, none twice and none lost.
void TestAtomicity::cachedLinesApplyAgainAfterAFailure()
{
    int positions = 0;
    for (int n = 1;; ++n) {
        QVERIFY2(n < 100, "the batch never ends");
        TestProgram program;
        auto c = program.connect();
        seed(*c);
        Dataset lines(c.get());
        lines.setCachedUpdates(true);
        lines.setSql(QStringLiteral("select * from T_BillDetail where BillCode='XS1'"));
        lines.open();
        lines.edit();
        lines.setValue(QStringLiteral("Number"), 7);
        lines.post();
        for (const char *goods : {"G2", "G3"}) {
            lines.append();
            lines.setValue(QStringLiteral("BillCode"), QStringLiteral("XS1"));
            lines.setValue(QStringLiteral("GoodsCode"), QString::fromLatin1(goods));
            lines.post();
        }
        FaultInjection::failAtStatement(n);
        const bool first = tryInTransaction(*c, [&] { lines.applyUpdates(); });
        const int seen = FaultInjection::statementsSeen();
        FaultInjection::disarm();
        if (seen < n) {
            QVERIFY(first);
            break;
        }
        ++positions;
        QVERIFY(!first);
        QVERIFY(lines.hasPendingUpdates());
        QVERIFY(tryInTransaction(*c, [&] { lines.applyUpdates(); }));
        QVERIFY(!lines.hasPendingUpdates());
        Statement stored(*c, QStringLiteral("select group_concat(GoodsCode || ':' || cast(Number as integer), ',') "
                                            "from (select * from T_BillDetail order by GoodsCode)"));
        stored.step();
        QCOMPARE(stored.value(0).toString(), QStringLiteral("G1:7,G2:0,G3:0"));
    }
    QVERIFY(positions >= 3);
    m_positions += positions;
}

QTEST_GUILESS_MAIN(TestAtomicity)
#include "tst_atomicity.moc"
