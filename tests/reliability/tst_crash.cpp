// A writer killed with SIGKILL at random moments while it commits: after each kill the
// database opens, passes the engine's integrity check, holds every transaction the
// writer reported committed, and holds no transaction in part.
// KEHU_CRASH_RUNS sets the number of kills (40 by default; more for a nightly run),
// KEHU_CRASH_SEED repeats a run's random moments.
#include "TestProgram.h"
#include "WriterRun.h"
#include "store/Connection.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>

class TestCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedWriterLosesNothingCommitted();
};

void TestCrash::killedWriterLosesNothingCommitted()
{
    const int runs = qEnvironmentVariableIsSet("KEHU_CRASH_RUNS") ? qEnvironmentVariableIntValue("KEHU_CRASH_RUNS") : 40;
    const quint32 seed = qEnvironmentVariableIsSet("KEHU_CRASH_SEED")
                             ? quint32(qEnvironmentVariableIntValue("KEHU_CRASH_SEED"))
                             : QRandomGenerator::system()->generate();
    qInfo("%d kills, seed %u (KEHU_CRASH_SEED=%u repeats them)", runs, seed, seed);
    QRandomGenerator random(seed);
    constexpr int RowsPerTransaction = 3;

    TestProgram program;
    const QString writerProgram = testHelperProgram(QStringLiteral("kehu-test-writer"));
    QVERIFY2(QFile::exists(writerProgram), qPrintable(writerProgram));
    int hotJournals = 0;
    qint64 committed = 0;
    QElapsedTimer clock;
    clock.start();
    for (int run = 1; run <= runs; ++run) {
        const QString tag = QStringLiteral("run%1").arg(run);
        QProcess writer;
        writer.start(writerProgram, WriterRun::arguments(program.databasePath(), tag,
                                                         {QStringLiteral("--seconds"), QStringLiteral("120"),
                                                          QStringLiteral("--rows"), QString::number(RowsPerTransaction)}));
        QVERIFY(writer.waitForStarted());
        // Once the first commit is reported the writer is in its loop of transactions;
        // the kill falls anywhere in the next ~80 ms of it.
        while (!writer.canReadLine() && writer.state() == QProcess::Running)
            writer.waitForReadyRead(100);
        QVERIFY2(writer.state() == QProcess::Running, writer.readAllStandardError().constData());
        QThread::usleep(random.bounded(80000));
        writer.kill(); // SIGKILL
        QVERIFY(writer.waitForFinished());
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        const QByteArray errors = writer.readAllStandardError();
        QVERIFY2(errors.isEmpty(), errors.constData());
        const QSet<qint64> ids = WriterRun::reportedIds(writer);
        committed += ids.size();
        if (QFile::exists(program.databasePath() + QStringLiteral("-journal")))
            ++hotJournals;

        auto c = program.connect(); // rolls a hot journal back
        QCOMPARE(WriterRun::integrity(*c), QStringLiteral("ok"));
        const QList<qint64> lost = WriterRun::missing(*c, ids);
        QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("run %1 lost committed keys, first %2").arg(run).arg(lost.value(0))));
        const QStringList partial = WriterRun::partial(*c, tag, RowsPerTransaction);
        QVERIFY2(partial.isEmpty(), qPrintable(partial.join(QLatin1String(", "))));
        // At most the transaction committed in the instant before the kill went unreported.
        const int stored = WriterRun::rowsOf(*c, tag);
        QVERIFY2(stored >= ids.size() && stored <= ids.size() + RowsPerTransaction,
                 qPrintable(QStringLiteral("run %1: %2 rows stored, %3 reported").arg(run).arg(stored).arg(ids.size())));
    }
    qInfo("%d kills, %d left a hot journal behind, %lld committed rows checked, %.1f s",
          runs, hotJournals, committed, clock.elapsed() / 1000.0);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
