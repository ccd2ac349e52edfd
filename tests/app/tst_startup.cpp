// No exception leaves start-up or the event loop: it is shown by the default error
// report. Runs under the program's own application object.
#include "TestProgram.h"
#include "app/GuardedApplication.h"
#include "app/Startup.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "ui/Messages.h"

#include <QtTest>
#include <functional>
#include <stdexcept>

namespace {

class Thrower : public QObject
{
public:
    std::function<void()> action;
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            action();
        return QObject::event(event);
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_messages = ScriptedMessages(); Messages::install(&m_messages); }
    void cleanup() { Messages::install(nullptr); }

    void eventHandlerExceptionIsReported_data();
    void eventHandlerExceptionIsReported();
    void startupFailureIsReported();

private:
    ScriptedMessages m_messages;
};

void TestStartup::eventHandlerExceptionIsReported_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("report");
    QTest::newRow("database error") << 0 << "no such table: x";
    QTest::newRow("standard exception") << 1 << "bad thing";
    QTest::newRow("anything else") << 2 << "程序遇到未知错误。";
}

void TestStartup::eventHandlerExceptionIsReported()
{
    QFETCH(int, what);
    QFETCH(QString, report);
    QVERIFY(dynamic_cast<GuardedApplication *>(qApp));
    Thrower thrower;
    thrower.action = [what] {
        if (what == 0)
            throw DbError(QStringLiteral("no such table: x"));
        if (what == 1)
            throw std::runtime_error("bad thing");
        throw 42;
    };
    // Posted, as a timer or a queued slot would be, and delivered by the event loop.
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&thrower, QEvent::User);
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.last().kind, Msg::Kind::ErrorReport);
    QCOMPARE(m_messages.last().text, report);
    // And the loop goes on delivering.
    bool delivered = false;
    thrower.action = [&] { delivered = true; };
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&thrower, QEvent::User);
    QVERIFY(delivered);
}

// A database that opens (it has the program's key tables) but lacks the tables the
// windows read: it is refused before any window works on it, saying what is missing,
// and the usual question offers the local database instead.
void TestStartup::startupFailureIsReported()
{
    TestProgram program;
    const QString broken = program.dir() + QStringLiteral("broken.mdb");
    Connection::create(broken)->execScript(QStringLiteral(
        "create table custom (CustID integer primary key); create table admin (UserID integer primary key);"));
    program.writeConfig(QStringLiteral("[Config]\r\nDBConn=%1\r\n").arg(broken));
    m_messages.answer(Msg::Answer::No);
    QCOMPARE(Startup::run(*qApp), 0);
    QCOMPARE(m_messages.shown.size(), 2);
    const QString reason = m_messages.shown.at(0).text;
    QVERIFY2(reason.startsWith(QStringLiteral("数据库结构与本系统不符: ")) && reason.contains(QStringLiteral("缺少表 contact")),
             qPrintable(reason));
    QCOMPARE(m_messages.last().text, QStringLiteral("连接数据库失败,您要连接本机数据库吗! "));
}

int main(int argc, char **argv)
{
    GuardedApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
