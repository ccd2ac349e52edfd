// Two writer processes on one database for a bounded time, each transaction reading
// the highest customer code and inserting the next ones: neither sees a busy error,
// no committed write is lost, and no code is handed out twice. The writers rest 5 ms
// between transactions: one that takes the write lock again the instant it let go can
// keep the other waiting past the busy time-out (it then fails as DbError::Kind::Busy).
// KEHU_CONCURRENCY_SECONDS sets how long they write (3 by default).
#include "TestProgram.h"
#include "WriterRun.h"
#include "store/Connection.h"

#include <QFile>
#include <QProcess>
#include <QtTest>
#include <memory>

class TestConcurrency : public QObject
{
    Q_OBJECT
private slots:
    void twoWritersLoseNothing();
};

void TestConcurrency::twoWritersLoseNothing()
{
    const QString seconds = qEnvironmentVariableIsSet("KEHU_CONCURRENCY_SECONDS")
                                ? qEnvironmentVariable("KEHU_CONCURRENCY_SECONDS") : QStringLiteral("3");
    constexpr int RowsPerTransaction = 2;
    TestProgram program;
    const QString writerProgram = testHelperProgram(QStringLiteral("kehu-test-writer"));
    QVERIFY2(QFile::exists(writerProgram), qPrintable(writerProgram));
    const QStringList tags = {QStringLiteral("A"), QStringLiteral("B")};
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const QString &tag : tags) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(writerProgram, WriterRun::arguments(program.databasePath(), tag,
            {QStringLiteral("--seconds"), seconds, QStringLiteral("--rows"), QString::number(RowsPerTransaction),
             QStringLiteral("--pause-ms"), QStringLiteral("5")}));
        QVERIFY(writers.back()->waitForStarted());
    }
    QSet<qint64> all;
    for (size_t i = 0; i < writers.size(); ++i) {
        QProcess &writer = *writers[i];
        QVERIFY(writer.waitForFinished(-1));
        const QByteArray errors = writer.readAllStandardError();
        QVERIFY2(errors.isEmpty(), errors.constData()); // a busy error would surface here
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer.exitCode(), 0);
        const QSet<qint64> ids = WriterRun::reportedIds(writer);
        QVERIFY2(!ids.isEmpty(), qPrintable(tags.at(int(i)) + QStringLiteral(" committed nothing")));
        qInfo("writer %s: %lld transactions", qPrintable(tags.at(int(i))), qint64(ids.size() / RowsPerTransaction));
        all.unite(ids);
    }
    auto c = program.connect();
    QCOMPARE(WriterRun::integrity(*c), QStringLiteral("ok"));
    QVERIFY(WriterRun::missing(*c, all).isEmpty());
    int stored = 0;
    for (const QString &tag : tags) {
        QVERIFY(WriterRun::partial(*c, tag, RowsPerTransaction).isEmpty());
        stored += WriterRun::rowsOf(*c, tag);
    }
    QCOMPARE(stored, int(all.size()));
    Statement duplicates(*c, QStringLiteral("select count(*) - count(distinct CustCode) from custom"));
    duplicates.step();
    QCOMPARE(duplicates.value(0).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
