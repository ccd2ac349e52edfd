#include "TestProgram.h"
#include "TestServer.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/PgEngine.h"
#include "store/DbError.h"
#include "store/ServerDatabase.h"
#include "store/Transaction.h"
#include "store/queries/Run.h"

#include <QDate>
#include <QElapsedTimer>
#include <QtTest>
#include <atomic>
#include <thread>

// The store on a PostgreSQL server: the same Connection, Statement and Dataset the
// windows use, and what a server adds (several writers, copies between file and server).
// Cases that compare the two engines run on both.
class TestServerEngine : public QObject
{
    Q_OBJECT
private slots:
    void parametersNumbered_data();
    void parametersNumbered();
    void refusesToOpen_data();
    void refusesToOpen();
    void statementsAndValues();
    void anotherStatementWhileRowsStream();
    void failedTransactionRollsBack();
    void datasetEditsAndStreams();
    void staleRowRefused_data();
    void staleRowRefused();
    void serverInitRefusesAPreparedDatabase();
    void copyFileToServerAndBack();
    void copyRefusesBadDateNamingTheRow();
    void fourWritersLoseNothing();
};

namespace {

// A database of the program on either engine for one test case.
struct EngineDatabase {
    explicit EngineDatabase(const QString &engine)
    {
        if (engine == QLatin1String("server"))
            server = std::make_unique<TestServerDatabase>();
        else
            file = std::make_unique<TestProgram>();
    }
    QString location() const { return server ? server->uri() : file->databasePath(); }
    std::unique_ptr<Connection> connect() const { return Connection::open(location()); }
    std::unique_ptr<TestProgram> file;
    std::unique_ptr<TestServerDatabase> server;
};

void addEngines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("file") << QStringLiteral("file");
    QTest::newRow("server") << QStringLiteral("server");
}

#define SKIP_SERVER_ROW(engine)                                                                  \
    do {                                                                                        \
        if ((engine) == QLatin1String("server"))                                                \
            SKIP_WITHOUT_SERVER();                                                              \
    } while (false)

// Every table's rows as text, in key order: what a copy must keep.
QStringList tableText(Connection &connection, const QStringList &tables)
{
    QStringList lines;
    for (const QString &table : tables) {
        Dataset rows(&connection);
        rows.setSql(QStringLiteral("select * from %1").arg(table));
        rows.open();
        rows.waitForLoaded();
        QList<QStringList> sorted;
        for (int r = 0; r < rows.recordCount(); ++r) {
            QStringList cells;
            for (int f = 0; f < rows.fieldCount(); ++f)
                cells.append(rows.displayText(rows.value(r, f)));
            sorted.append(cells);
        }
        std::sort(sorted.begin(), sorted.end(), [](const QStringList &a, const QStringList &b) {
            return a.first().toLongLong() < b.first().toLongLong();
        });
        for (const QStringList &cells : sorted)
            lines.append(table + QLatin1Char(':') + cells.join(QLatin1Char('|')));
    }
    return lines;
}

} // namespace

void TestServerEngine::parametersNumbered_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("names in order, a repeated one once")
        << "select * from t where a=:A and b=:B or a=:A" << "select * from t where a=$1 and b=$2 or a=$1" << QStringList{"A", "B"};
    QTest::newRow("a name right after a word") << "select * from t where c like:Code"
                                               << "select * from t where c like $1" << QStringList{"Code"};
    QTest::newRow("casts, literals, quoted names and comments left alone")
        << "select x::date, ':No', \":No\" from t -- :No\nwhere y=:Yes /* :No */"
        << "select x::date, ':No', \":No\" from t -- :No\nwhere y=$1 /* :No */" << QStringList{"Yes"};
    QTest::newRow("numbered markers keep their numbers") << "update t set a=?2 where k=?1"
                                                         << "update t set a=$2 where k=$1" << QStringList{"1", "2"};
    QTest::newRow("a doubled quote inside a literal") << "select 'it''s :No' where a=:A"
                                                      << "select 'it''s :No' where a=$1" << QStringList{"A"};
}

void TestServerEngine::parametersNumbered()
{
    QFETCH(QString, sql);
    QFETCH(QString, server);
    QFETCH(QStringList, names);
    QStringList found;
    QCOMPARE(QString::fromUtf8(PgText::numberParameters(sql, &found)), server);
    QCOMPARE(found, names);
}

void TestServerEngine::refusesToOpen_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("expected");
    QTest::newRow("no server listening there") << "port" << int(DbError::Kind::CannotOpen);
    QTest::newRow("no such database") << "database" << int(DbError::Kind::CannotOpen);
    QTest::newRow("a database without the program's tables") << "empty" << int(DbError::Kind::NotOurDatabase);
}

void TestServerEngine::refusesToOpen()
{
    SKIP_WITHOUT_SERVER();
    QFETCH(QString, which);
    QFETCH(int, expected);
    std::unique_ptr<TestServerDatabase> empty;
    QString uri;
    if (which == QLatin1String("port"))
        uri = QStringLiteral("postgresql://kehu@127.0.0.1:1/kehu?connect_timeout=2");
    else if (which == QLatin1String("database"))
        uri = testServerUri(QStringLiteral("no_such_database"));
    else {
        empty = std::make_unique<TestServerDatabase>(false);
        uri = empty->uri();
    }
    try {
        Connection::open(uri);
        QFAIL("opened");
    } catch (const DbError &error) {
        QCOMPARE(int(error.kind()), expected);
    }
}

void TestServerEngine::statementsAndValues()
{
    SKIP_WITHOUT_SERVER();
    TestServerDatabase database;
    auto connection = Connection::open(database.uri());
    QCOMPARE(connection->engine(), SqlEngine::Postgres);

    Statement insert(*connection, QStringLiteral(
        "insert into custom (CustCode, Company, AddDate) values (:Code, :Company, :Added)"));
    QCOMPARE(insert.parameterCount(), 3);
    QCOMPARE(insert.parameterName(2), QStringLiteral("Company"));
    insert.bind(1, 41);
    insert.bind(2, QStringLiteral("O'Brien 贸易"));
    insert.bind(3, QDate(2026, 12, 10));
    QVERIFY(!insert.step());
    QCOMPARE(connection->changes(), 1);
    const qint64 first = connection->lastInsertId();
    QVERIFY(first > 0);
    insert.reset();
    insert.bind(1, 42);
    insert.bind(2, QStringLiteral("second"));
    insert.bind(3, QVariant());
    insert.step();
    QCOMPARE(connection->lastInsertId(), first + 1);

    // Text compares without regard to case; the schema's spelling and declared types
    // come back, whatever case the server keeps names in.
    Statement select(*connection, QStringLiteral(
        "select CustID, CustCode, Company, AddDate, 1.5 as half from custom where Company = :Name"));
    select.bind(1, QStringLiteral("o'brien 贸易"));
    QVERIFY(select.step());
    QCOMPARE(select.columnName(1), QStringLiteral("CustCode"));
    QCOMPARE(select.columnName(3), QStringLiteral("AddDate"));
    QCOMPARE(select.declaredType(3), QStringLiteral("DATETEXT"));
    QCOMPARE(select.columnType(1), Statement::ColumnType::Integer);
    QCOMPARE(select.value(1), QVariant(qlonglong(41)));
    QCOMPARE(select.value(2).toString(), QStringLiteral("O'Brien 贸易"));
    QCOMPARE(select.textBytes(3), QByteArrayView("2026-12-10"));
    QCOMPARE(select.columnType(4), Statement::ColumnType::Float);
    QCOMPARE(select.columnDouble(4), 1.5);
    QVERIFY(!select.step());

    // A parameter nothing around it types takes the type of its value.
    Statement alone(*connection, QStringLiteral("select :Value"));
    alone.bind(1, 7);
    QVERIFY(alone.step());
    QCOMPARE(alone.value(0), QVariant(qlonglong(7)));

    // Only one statement, as on the file.
    QVERIFY_THROWS_EXCEPTION(DbError, Statement(*connection, QStringLiteral("select 1; select 2")));
}

void TestServerEngine::anotherStatementWhileRowsStream()
{
    SKIP_WITHOUT_SERVER();
    TestServerDatabase database;
    auto connection = Connection::open(database.uri());
    connection->exec(QStringLiteral(
        "insert into custom (CustCode, Company) select g, 'C' || g from generate_series(1, 5) g"));
    // The server runs one command at a time per session; a write in the middle of reading
    // rows must neither fail nor lose the rows still to come.
    Statement rows(*connection, QStringLiteral("select CustCode from custom order by CustCode"));
    QStringList seen;
    while (rows.step()) {
        seen.append(rows.value(0).toString());
        if (seen.size() == 2)
            QCOMPARE(connection->exec(QStringLiteral("update custom set Company = 'X' where CustCode = 5")), 1);
    }
    QCOMPARE(seen, QStringList({"1", "2", "3", "4", "5"}));
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select Company from custom where CustCode = 5")).toString(),
             QStringLiteral("X"));
}

void TestServerEngine::failedTransactionRollsBack()
{
    SKIP_WITHOUT_SERVER();
    TestServerDatabase database;
    auto connection = Connection::open(database.uri());
    const bool saved = tryInTransaction(*connection, [&] {
        connection->exec(QStringLiteral("insert into custom (CustCode, Company) values (90, 'kept?')"));
        connection->exec(QStringLiteral("insert into no_such_table values (1)"));
    });
    QVERIFY(!saved);
    QVERIFY(!connection->inTransaction());
    // The session works on after the failed transaction, statements prepared in it too.
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select count(*) from custom where CustCode = 90")).toInt(), 0);
    connection->exec(QStringLiteral("insert into custom (CustCode, Company) values (91, 'ok')"));
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select count(*) from custom where CustCode = 91")).toInt(), 1);
}

void TestServerEngine::datasetEditsAndStreams()
{
    SKIP_WITHOUT_SERVER();
    TestServerDatabase database;
    auto connection = Connection::open(database.uri());
    connection->exec(QStringLiteral("insert into custom (CustCode, Company, AddDate) "
                                    "select g, 'C' || g, date '2026-01-01' + (g % 300) from generate_series(1, 30000) g"));
    Dataset customers(connection.get());
    customers.setSql(QStringLiteral("select * from custom"));
    customers.open();
    customers.waitForLoaded();
    QCOMPARE(customers.recordCount(), 30000);
    QCOMPARE(customers.value(QStringLiteral("AddDate")).typeId(), int(QMetaType::QDate));

    QVERIFY(customers.locate(QStringLiteral("CustCode"), 17));
    customers.edit();
    customers.setValue(QStringLiteral("Company"), QStringLiteral("改过的"));
    customers.post();
    customers.append();
    customers.setValue(QStringLiteral("CustCode"), 30001);
    customers.setValue(QStringLiteral("Company"), QStringLiteral("新的"));
    customers.post();
    const qint64 key = customers.value(QStringLiteral("CustID")).toLongLong();
    QVERIFY(key > 30000);
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select Company from custom where CustCode = 17")).toString(),
             QStringLiteral("改过的"));
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select CustCode from custom where CustID = :Key"),
                         {{"Key", key}}).toInt(), 30001);
    customers.remove();
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select count(*) from custom")).toInt(), 30000);
}

void TestServerEngine::staleRowRefused_data()
{
    addEngines();
}

void TestServerEngine::staleRowRefused()
{
    QFETCH(QString, engine);
    SKIP_SERVER_ROW(engine);
    EngineDatabase database(engine);
    auto first = database.connect();
    auto second = database.connect();
    Run::exec(*first, QStringLiteral("insert into custom (CustCode, Company, tel) values (7, '七', '1')"));
    auto open = [](Connection &connection) {
        auto rows = std::make_unique<Dataset>(&connection);
        rows->setSql(QStringLiteral("select * from custom where CustCode = 7"));
        rows->open();
        return rows;
    };
    auto mine = open(*first);
    auto theirs = open(*second);

    // They save first.
    theirs->edit();
    theirs->setValue(QStringLiteral("Company"), QStringLiteral("他们的"));
    theirs->post();

    // My save of the same field is refused, and my row shows theirs again.
    mine->edit();
    mine->setValue(QStringLiteral("Company"), QStringLiteral("我的"));
    try {
        mine->post();
        QFAIL("a stale save went through");
    } catch (const DbError &error) {
        QCOMPARE(error.kind(), DbError::Kind::StaleRow);
        QCOMPARE(error.text(), Dataset::staleRowMessage());
    }
    QCOMPARE(mine->state(), Dataset::State::Browse);
    QCOMPARE(mine->value(QStringLiteral("Company")).toString(), QStringLiteral("他们的"));
    QCOMPARE(Run::scalar(*first, QStringLiteral("select Company from custom where CustCode = 7")).toString(),
             QStringLiteral("他们的"));

    // A field they did not change saves, and keeps their change.
    mine->edit();
    mine->setValue(QStringLiteral("tel"), QStringLiteral("2"));
    mine->post();
    QCOMPARE(Run::scalar(*first, QStringLiteral("select Company || '/' || tel from custom where CustCode = 7")).toString(),
             QStringLiteral("他们的/2"));
}

void TestServerEngine::serverInitRefusesAPreparedDatabase()
{
    SKIP_WITHOUT_SERVER();
    TestServerDatabase database; // prepared once already
    QVERIFY_THROWS_EXCEPTION(DbError, ServerDatabase::initialise(database.uri()));
    auto connection = Connection::open(database.uri());
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select count(*) from admin")).toInt() > 0, true);
}

void TestServerEngine::copyFileToServerAndBack()
{
    SKIP_WITHOUT_SERVER();
    TestProgram program;
    {
        auto file = program.connect();
        Run::exec(*file, QStringLiteral("insert into custom (CustCode, Company, AddDate, province) values (17, '十七', '2026-03-04', null)"));
        Run::exec(*file, QStringLiteral("insert into custom (CustCode, Company, AddDate) values (18, 'Eighteen', '2026/3/5')"));
        Run::exec(*file, QStringLiteral("insert into contact (CustCode, Company, ContactName) values (17, '十七', '张三')"));
    }
    TestServerDatabase server(false);
    const auto there = ServerDatabase::copy(program.databasePath(), server.uri(), false);
    QVERIFY(there.tables > 10);

    // A second copy onto a server holding customers is refused unless asked to replace.
    QVERIFY_THROWS_EXCEPTION(DbError, ServerDatabase::copy(program.databasePath(), server.uri(), false));

    const QString back = program.dir() + QStringLiteral("back.mdb");
    const auto here = ServerDatabase::copy(server.uri(), back, false);
    QCOMPARE(here.rows, there.rows);

    auto original = program.connect();
    auto server_ = Connection::open(server.uri());
    auto copied = Connection::open(back);
    const QStringList tables = {"custom", "contact", "admin", "T_Goods"};
    // Rows, keys and values come through both ways; a date stored in another form on the
    // file arrives as the date it is, written as the program writes dates.
    const QStringList expected = tableText(*original, tables).replaceInStrings(QStringLiteral("2026/3/5"),
                                                                                 QStringLiteral("2026-03-05"));
    QCOMPARE(tableText(*server_, tables), expected);
    QCOMPARE(tableText(*copied, tables), expected);
    QCOMPARE(Run::scalar(*copied, QStringLiteral("select AddDate from custom where CustCode = 18")).toString(),
             QStringLiteral("2026-03-05"));

    // The server's autonumbers go on after the copied keys.
    const qint64 highest = Run::scalar(*server_, QStringLiteral("select max(CustID) from custom")).toLongLong();
    Run::exec(*server_, QStringLiteral("insert into custom (CustCode, Company) values (19, 'next')"));
    QCOMPARE(Run::scalar(*server_, QStringLiteral("select CustID from custom where CustCode = 19")).toLongLong(),
             highest + 1);
}

void TestServerEngine::copyRefusesBadDateNamingTheRow()
{
    SKIP_WITHOUT_SERVER();
    TestProgram program;
    Run::exec(*program.connect(), QStringLiteral("insert into custom (CustCode, Company, AddDate) values (5, 'bad', 'soon')"));
    TestServerDatabase server;
    try {
        ServerDatabase::copy(program.databasePath(), server.uri(), true);
        QFAIL("copied a date that is no date");
    } catch (const DbError &error) {
        QVERIFY2(error.text().contains(QLatin1String("custom")) && error.text().contains(QLatin1String("AddDate"))
                     && error.text().contains(QLatin1String("soon")),
                 qPrintable(error.text()));
    }
    // Nothing of the copy stayed: the server holds its initial rows only.
    QCOMPARE(Run::scalar(*Connection::open(server.uri()), QStringLiteral("select count(*) from custom")).toInt(), 0);
}

// Four workstations saving at once for a bounded time: each takes the next customer code
// and raises a shared counter inside a transaction. No code is taken twice, no raise is
// lost, and no save fails with an error that waiting would have avoided.
void TestServerEngine::fourWritersLoseNothing()
{
    SKIP_WITHOUT_SERVER();
    TestServerDatabase database;
    Run::exec(*Connection::open(database.uri()),
              QStringLiteral("insert into custom (CustCode, Company, income) values (0, 'counter', '0')"));
    std::atomic<int> saves{0};
    std::atomic<int> failures{0};
    QStringList errors;
    std::mutex errorsLock;
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            try {
                auto connection = Connection::open(database.uri());
                QElapsedTimer clock;
                clock.start();
                while (clock.elapsed() < 1500) {
                    connection->begin();
                    const qint64 code = Run::scalar(*connection, QStringLiteral("select max(CustCode) from custom")).toLongLong() + 1;
                    Run::exec(*connection, QStringLiteral("insert into custom (CustCode, Company) values (:Code, :Name)"),
                              {{"Code", code}, {"Name", QStringLiteral("writer %1").arg(w)}});
                    const int counter = Run::scalar(*connection, QStringLiteral("select income from custom where CustCode = 0")).toInt();
                    Run::exec(*connection, QStringLiteral("update custom set income = :Value where CustCode = 0"),
                              {{"Value", QString::number(counter + 1)}});
                    connection->commit();
                    ++saves;
                }
            } catch (const DbError &error) {
                ++failures;
                std::lock_guard<std::mutex> lock(errorsLock);
                errors.append(error.text());
            }
        });
    }
    for (auto &writer : writers)
        writer.join();
    QVERIFY2(failures == 0, qPrintable(errors.join(QLatin1Char('\n'))));
    QVERIFY(saves > 4);
    auto connection = Connection::open(database.uri());
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select count(*) from custom where CustCode > 0")).toInt(), saves.load());
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select count(distinct CustCode) from custom where CustCode > 0")).toInt(),
             saves.load());
    QCOMPARE(Run::scalar(*connection, QStringLiteral("select income from custom where CustCode = 0")).toInt(), saves.load());
}

QTEST_GUILESS_MAIN(TestServerEngine)
#include "tst_serverengine.moc"
