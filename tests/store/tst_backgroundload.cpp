#include "TestProgram.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

// Lists loaded off the window thread: 100,000 customers arriving in batches, a new load
// cancelling the running one, whatever needs every row waiting for the load, details
// following the first rows, and loads inside a transaction staying in front.
class TestBackgroundLoad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void rowsArriveInBatches();
    void pileOfRowsTakenOverSeveralTurns();
    void firstScreenThenTheRest_data();
    void firstScreenThenTheRest();
    void shortListCompleteOnReturn();
    void newLoadCancelsRunningOne();
    void sortAndLocateWaitForTheRest();
    void detailFollowsFirstRows();
    void loadInsideTransactionSeesItsChanges();
    void closingStopsTheLoad();

private:
    std::unique_ptr<Dataset> customers(bool background = true);
    std::unique_ptr<TestProgram> m_program;
    std::unique_ptr<Connection> m_db;
};

void TestBackgroundLoad::initTestCase()
{
    m_program = std::make_unique<TestProgram>();
    m_db = m_program->connect();
    m_db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                              "INSERT INTO custom (CustCode, Company, City) SELECT i, '公司' || i, '城市' || (i % 97) FROM n"));
    m_db->exec(QStringLiteral("INSERT INTO contact (CustCode, ContactName) VALUES (1, '甲'), (1, '乙'), (2, '丙')"));
}

void TestBackgroundLoad::init()
{
    Dataset::setForegroundWaitMs(0); // everything beyond the first moment arrives later
}

void TestBackgroundLoad::cleanup()
{
    Dataset::setForegroundWaitMs(0);
    Dataset::setFirstScreenTimeMs(15);
}

std::unique_ptr<Dataset> TestBackgroundLoad::customers(bool background)
{
    auto q = std::make_unique<Dataset>(m_db.get());
    q->setBackgroundLoading(background);
    q->setSql(QStringLiteral("select * from custom order by CustCode"));
    return q;
}

void TestBackgroundLoad::rowsArriveInBatches()
{
    auto q = customers();
    QSignalSpy appended(q.get(), &Dataset::rowsAppended);
    QSignalSpy finished(q.get(), &Dataset::loadFinished);
    q->open();
    QVERIFY(q->isOpen());
    QVERIFY(q->isLoading());
    QVERIFY(q->recordCount() < 100000);
    QVERIFY(finished.wait(30000));
    QVERIFY(!q->isLoading());
    QCOMPARE(q->recordCount(), 100000);
    QVERIFY(appended.size() >= 2);
    // Batches follow one another without gaps, in the statement's order.
    int expectedFirst = appended.first().at(0).toInt();
    for (const QList<QVariant> &batch : std::as_const(appended)) {
        QCOMPARE(batch.at(0).toInt(), expectedFirst);
        expectedFirst = batch.at(1).toInt() + 1;
    }
    QCOMPARE(expectedFirst, 100000);
    QCOMPARE(q->currentRow(), 0);
    const int code = q->fieldIndex(QStringLiteral("CustCode"));
    for (int row : {0, 99, 100, 4196, 99999})
        QCOMPARE(q->value(row, code).toInt(), row + 1);
    QCOMPARE(q->value(12345, q->fieldIndex(QStringLiteral("Company"))).toString(), QStringLiteral("公司12346"));
    QVERIFY(!q->isReadOnly()); // written back by its key as ever
}

// Rows that piled up while the window thread was busy are taken a bounded number per
// event-loop turn, so a busy moment is never followed by one long stall; they still come
// in order, and the load ends once, after the last of them.
void TestBackgroundLoad::pileOfRowsTakenOverSeveralTurns()
{
    auto q = customers();
    QSignalSpy appended(q.get(), &Dataset::rowsAppended);
    QSignalSpy finished(q.get(), &Dataset::loadFinished);
    q->open();
    // The window is busy while the reader reads (all of it, on any but a crawling machine).
    QThread::msleep(2500);
    int turns = 0;
    while (finished.isEmpty() && turns < 1000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ++turns;
    }
    QCOMPARE(finished.size(), 1);
    QCOMPARE(q->recordCount(), 100000);
    int expectedFirst = appended.first().at(0).toInt();
    int largest = 0;
    for (const QList<QVariant> &batch : std::as_const(appended)) {
        QCOMPARE(batch.at(0).toInt(), expectedFirst);
        largest = std::max(largest, batch.at(1).toInt() - batch.at(0).toInt() + 1);
        expectedFirst = batch.at(1).toInt() + 1;
    }
    QCOMPARE(expectedFirst, 100000);
    QVERIFY2(largest <= 16384, qPrintable(QString::number(largest)));
    QVERIFY(appended.size() >= 100000 / 16384);
}

// open() reads the first screenful itself and the load thread goes on with the same
// statement; when the statement is too slow to give its first screenful within the moment,
// the load thread reads the whole list instead. Either way every row comes once, in order.
void TestBackgroundLoad::firstScreenThenTheRest_data()
{
    QTest::addColumn<int>("firstScreenMs");
    QTest::addColumn<int>("rowsOnReturn"); // -1: not known, the load thread may be quick
    QTest::newRow("first screen read at once") << 60000 << 100;
    QTest::newRow("no time for the first screen") << 0 << -1;
}

void TestBackgroundLoad::firstScreenThenTheRest()
{
    QFETCH(int, firstScreenMs);
    QFETCH(int, rowsOnReturn);
    Dataset::setFirstScreenTimeMs(firstScreenMs);
    auto q = customers();
    QSignalSpy finished(q.get(), &Dataset::loadFinished);
    q->open();
    QVERIFY(q->isOpen());
    QVERIFY(q->isLoading());
    if (rowsOnReturn >= 0)
        QCOMPARE(q->recordCount(), rowsOnReturn);
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(q->recordCount(), 100000);
    const int code = q->fieldIndex(QStringLiteral("CustCode"));
    for (int row = 0; row < 100000; ++row) {
        if (q->value(row, code).toInt() != row + 1)
            QFAIL(qPrintable(QStringLiteral("row %1 holds customer %2").arg(row).arg(q->value(row, code).toInt())));
    }
    QCOMPARE(q->currentRow(), 0);

    // A statement that fails fails open() itself, whichever way it was read.
    q->setSql(QStringLiteral("select * from custom where NoSuchColumn = 1"));
    QVERIFY_THROWS_EXCEPTION(DbError, q->open());
    QVERIFY(!q->isLoading());
}

void TestBackgroundLoad::shortListCompleteOnReturn()
{
    Dataset::setForegroundWaitMs(10000);
    auto q = customers();
    q->setSql(QStringLiteral("select * from custom where CustCode <= 50"));
    QSignalSpy appended(q.get(), &Dataset::rowsAppended);
    q->open();
    QVERIFY(!q->isLoading());
    QCOMPARE(q->recordCount(), 50);
    QCOMPARE(appended.size(), 0); // one reset, as with a plain open
}

void TestBackgroundLoad::newLoadCancelsRunningOne()
{
    auto q = customers();
    q->open();
    QVERIFY(q->isLoading());
    q->setSql(QStringLiteral("select * from custom where CustCode in (7, 8)"));
    Dataset::setForegroundWaitMs(10000);
    q->open();
    QCOMPARE(q->recordCount(), 2);
    QTest::qWait(200); // nothing of the first load arrives late
    QCOMPARE(q->recordCount(), 2);
    QCOMPARE(q->value(0, q->fieldIndex(QStringLiteral("CustCode"))).toInt(), 7);
}

void TestBackgroundLoad::sortAndLocateWaitForTheRest()
{
    auto q = customers();
    q->open();
    QVERIFY(q->isLoading());
    q->setSort(QStringLiteral("CustCode DESC"));
    QVERIFY(!q->isLoading());
    QCOMPARE(q->recordCount(), 100000);
    QCOMPARE(q->value(0, q->fieldIndex(QStringLiteral("CustCode"))).toInt(), 100000);

    q->setSql(QStringLiteral("select * from custom"));
    q->open();
    QVERIFY(q->locate(QStringLiteral("Company"), QStringLiteral("公司99998")));
    QCOMPARE(q->recordCount(), 100000);
}

void TestBackgroundLoad::detailFollowsFirstRows()
{
    auto q = customers();
    Dataset contacts(m_db.get());
    contacts.setMaster(q.get());
    contacts.setSql(QStringLiteral("select * from contact where CustCode=:CustCode"));
    q->setSql(QStringLiteral("select * from custom where CustCode > 0 order by CustCode"));
    q->open();
    contacts.open();
    QTRY_COMPARE(q->currentRow(), 0);
    QTRY_COMPARE(contacts.recordCount(), 2);
    q->waitForLoaded();
    q->setCurrentRow(1);
    QCOMPARE(contacts.recordCount(), 1);
}

void TestBackgroundLoad::loadInsideTransactionSeesItsChanges()
{
    auto q = customers();
    q->setSql(QStringLiteral("select * from custom where CustCode > 100000"));
    m_db->begin();
    m_db->exec(QStringLiteral("insert into custom (CustCode, Company) values (100001, '未提交')"));
    q->open();
    QVERIFY(!q->isLoading());
    QCOMPARE(q->recordCount(), 1);
    q->close();
    m_db->rollback();
}

void TestBackgroundLoad::closingStopsTheLoad()
{
    auto q = customers();
    QSignalSpy appended(q.get(), &Dataset::rowsAppended);
    q->open();
    q->close();
    QVERIFY(!q->isLoading());
    QTest::qWait(100);
    QCOMPARE(q->recordCount(), 0);
    QCOMPARE(appended.size(), 0);
    q->open();
    q.reset(); // destroyed while loading
}

QTEST_MAIN(TestBackgroundLoad)
#include "tst_backgroundload.moc"
