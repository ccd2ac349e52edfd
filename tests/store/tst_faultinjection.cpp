#include "TestProgram.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/FaultInjection.h"

#include <QtTest>

// The store layer's fault switch: which statement fails, what is counted, and that
// transaction control still works after an injected failure.
class TestFaultInjection : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { FaultInjection::disarm(); }

    void nthStatementFails_data();
    void nthStatementFails();
    void countsEveryKindOfStatement_data();
    void countsEveryKindOfStatement();
    void transactionControlIsNotCounted();
    void disarmedNothingFailsNorCounts();

private:
    static int daily(Connection &c)
    {
        Statement s(c, QStringLiteral("select count(*) from T_Daily"));
        s.step();
        return s.value(0).toInt();
    }
};

void TestFaultInjection::nthStatementFails_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("rowsStored"); // of three inserts run one after another
    QTest::newRow("first") << 1 << 2;
    QTest::newRow("second") << 2 << 2;
    QTest::newRow("third") << 3 << 2;
    QTest::newRow("past the end") << 4 << 3;
}

// Only the armed statement fails, once; the count goes on past it so that a loop can
// tell when a position lies beyond the operation.
void TestFaultInjection::nthStatementFails()
{
    QFETCH(int, position);
    QFETCH(int, rowsStored);
    TestProgram program;
    auto connection = program.connect();
    FaultInjection::failAtStatement(position);
    int failures = 0;
    for (int i = 1; i <= 3; ++i) {
        try {
            connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('%1')").arg(i));
        } catch (const DbError &error) {
            ++failures;
            QCOMPARE(error.text(), QStringLiteral("injected fault"));
            QCOMPARE(int(error.kind()), int(DbError::Kind::Statement));
            QCOMPARE(i, position);
        }
    }
    QCOMPARE(FaultInjection::statementsSeen(), 3);
    QCOMPARE(failures, position <= 3 ? 1 : 0);
    FaultInjection::disarm();
    QCOMPARE(daily(*connection), rowsStored);
}

void TestFaultInjection::countsEveryKindOfStatement_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("counted");
    QTest::newRow("Connection::exec") << "exec" << 1;
    QTest::newRow("Connection::execScript, several statements") << "script" << 1;
    QTest::newRow("Statement stepped to the end") << "statement" << 1;
    QTest::newRow("Statement prepared, never run") << "prepared" << 0;
    QTest::newRow("kept statement reset and run again") << "rerun" << 2;
    QTest::newRow("Dataset opened twice on its kept statement") << "dataset" << 2;
}

void TestFaultInjection::countsEveryKindOfStatement()
{
    QFETCH(QString, way);
    QFETCH(int, counted);
    TestProgram program;
    auto connection = program.connect();
    Dataset kept(connection.get());
    kept.setSql(QStringLiteral("select * from admin"));
    kept.open(); // prepared, its base table found: later opens only re-run it
    FaultInjection::failAtStatement(1000);
    if (way == QLatin1String("exec")) {
        connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('a')"));
    } else if (way == QLatin1String("script")) {
        connection->execScript(QStringLiteral("insert into T_Daily (Subject) values ('a'); delete from T_Daily;"));
    } else if (way == QLatin1String("statement") || way == QLatin1String("prepared") || way == QLatin1String("rerun")) {
        Statement s(*connection, QStringLiteral("select * from admin"));
        if (way != QLatin1String("prepared"))
            while (s.step()) {
            }
        if (way == QLatin1String("rerun")) {
            s.reset();
            while (s.step()) {
            }
        }
    } else {
        kept.open();
        kept.open();
    }
    QCOMPARE(FaultInjection::statementsSeen(), counted);

    // And the armed position really fails whichever way the statement runs.
    if (counted > 0) {
        FaultInjection::failAtStatement(counted);
        QVERIFY_THROWS_EXCEPTION(DbError, [&] {
            if (way == QLatin1String("exec"))
                connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('a')"));
            else if (way == QLatin1String("script"))
                connection->execScript(QStringLiteral("insert into T_Daily (Subject) values ('a');"));
            else if (way == QLatin1String("dataset")) {
                kept.open();
                kept.open();
            } else {
                Statement s(*connection, QStringLiteral("select * from admin"));
                while (s.step()) {
                }
                s.reset();
                while (s.step()) {
                }
            }
        }());
    }
}

void TestFaultInjection::transactionControlIsNotCounted()
{
    TestProgram program;
    auto connection = program.connect();
    FaultInjection::failAtStatement(2);
    connection->begin();
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('kept until rollback')"));
    QVERIFY_THROWS_EXCEPTION(DbError, connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('b')")));
    connection->rollback();
    QVERIFY(!connection->inTransaction());
    connection->begin();
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('c')"));
    connection->commit();
    QCOMPARE(FaultInjection::statementsSeen(), 3);
    FaultInjection::disarm();
    QCOMPARE(daily(*connection), 1);
}

void TestFaultInjection::disarmedNothingFailsNorCounts()
{
    TestProgram program;
    auto connection = program.connect();
    FaultInjection::failAtStatement(1);
    FaultInjection::disarm();
    for (int i = 0; i < 5; ++i)
        connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('a')"));
    QCOMPARE(FaultInjection::statementsSeen(), 0);
    QCOMPARE(daily(*connection), 5);
    FaultInjection::failAtStatement(0); // not a position: stays disarmed
    connection->exec(QStringLiteral("delete from T_Daily"));
    QCOMPARE(FaultInjection::statementsSeen(), 0);
}

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
