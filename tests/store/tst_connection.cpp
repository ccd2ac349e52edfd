#include "TestProgram.h"
#include "store/Connection.h"
#include "store/DbError.h"

#include <QFile>
#include <QtTest>

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    void refusesToOpen_data();
    void refusesToOpen();
    void statementsAndErrors();
    void transactions();
    void lastInsertIdAndColumns();
    void sharedWithASecondConnection();
};

void TestConnection::refusesToOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("wrong password") << "password";
    QTest::newRow("not a database") << "text";
    QTest::newRow("a directory") << "directory";
}

void TestConnection::refusesToOpen()
{
    QFETCH(QString, kind);
    TestProgram program;
    QString path = program.databasePath();
    QByteArray password = Connection::DatabasePassword;
    if (kind == QLatin1String("missing")) {
        path = program.dir() + QStringLiteral("DataBase/Other.mdb");
    } else if (kind == QLatin1String("password")) {
        password = "wrong";
    } else if (kind == QLatin1String("text")) {
        path = program.dir() + QStringLiteral("notes.txt");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(4096, 'x'));
    } else {
        path = program.dir() + QStringLiteral("DataBase");
    }
    QVERIFY_THROWS_EXCEPTION(DbError, Connection::open(path, password));
    // Opening must never create the file it was asked for.
    if (kind == QLatin1String("missing"))
        QVERIFY(!QFile::exists(path));
}

void TestConnection::statementsAndErrors()
{
    TestProgram program;
    auto connection = program.connect();
    QCOMPARE(connection->exec(QStringLiteral("insert into T_Other (Name, Cataid) values ('瓶','Units')")), 1);
    QCOMPARE(connection->exec(QStringLiteral("update T_Other set Name=Name where Cataid='Units'")) > 1, true);
    try {
        connection->exec(QStringLiteral("select * from NoSuchTable"));
        QFAIL("no error raised");
    } catch (const DbError &error) {
        QVERIFY2(error.text().contains(QLatin1String("no such table: NoSuchTable")), qPrintable(error.text()));
    }
}

void TestConnection::transactions()
{
    TestProgram program;
    auto connection = program.connect();
    auto count = [&] {
        Statement s(*connection, QStringLiteral("select count(*) from T_Daily"));
        s.step();
        return s.value(0).toInt();
    };
    connection->begin();
    QVERIFY(connection->inTransaction());
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('a')"));
    connection->rollback();
    QVERIFY(!connection->inTransaction());
    QCOMPARE(count(), 0);
    connection->begin();
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('b')"));
    connection->commit();
    QCOMPARE(count(), 1);
    connection->rollback(); // nothing open: harmless
}

void TestConnection::lastInsertIdAndColumns()
{
    TestProgram program;
    auto connection = program.connect();
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('a')"));
    const qint64 first = connection->lastInsertId();
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('b')"));
    QCOMPARE(connection->lastInsertId(), first + 1);

    const QList<ColumnInfo> columns = connection->tableColumns(QStringLiteral("ADMIN"));
    QCOMPARE(columns.at(0).name, QStringLiteral("UserID"));
    QVERIFY(columns.at(0).primaryKey);
    QCOMPARE(columns.at(1).name, QStringLiteral("UserName"));
    QVERIFY(connection->isTable(QStringLiteral("Custom")));
    QVERIFY(!connection->isTable(QStringLiteral("S_BillDetail"))); // a view
}

void TestConnection::sharedWithASecondConnection()
{
    TestProgram program;
    auto first = program.connect();
    auto second = program.connect();
    first->exec(QStringLiteral("insert into T_Daily (Subject) values ('from the first copy')"));
    Statement s(*second, QStringLiteral("select Subject from T_Daily"));
    QVERIFY(s.step());
    QCOMPARE(s.value(0).toString(), QStringLiteral("from the first copy"));
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
