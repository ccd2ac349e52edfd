#include "TestProgram.h"
#include "store/Connection.h"
#include "store/DbError.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    void refusesToOpen_data();
    void refusesToOpen();
    void lockedFileIsBusy();
    void statementErrorKind();
    void oneStatementExactly_data();
    void oneStatementExactly();
    void statementsAndErrors();
    void transactions();
    void readOnlyConnection();
    void lastInsertIdAndColumns();
    void sharedWithASecondConnection();
    void columnsReadByStorageClass_data();
    void columnsReadByStorageClass();
    void resetRewindsAndClearsBindings();
    void changesCountsTheLastStatement();
};

void TestConnection::refusesToOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("expected");
    using K = DbError::Kind;
    QTest::newRow("missing file") << "missing" << int(K::CannotOpen);
    QTest::newRow("a directory") << "directory" << int(K::CannotOpen);
    QTest::newRow("wrong password") << "password" << int(K::NotOurDatabase);
    QTest::newRow("not a database") << "text" << int(K::NotOurDatabase);
    QTest::newRow("shorter than a database header") << "short" << int(K::NotOurDatabase);
    QTest::newRow("zero-byte file") << "empty" << int(K::NotOurDatabase);
    QTest::newRow("keyed database without the program's tables") << "foreign" << int(K::NotOurDatabase);
    QTest::newRow("keyed database with only one of them") << "half" << int(K::NotOurDatabase);
}

void TestConnection::refusesToOpen()
{
    QFETCH(QString, kind);
    QFETCH(int, expected);
    TestProgram program;
    QString path = program.databasePath();
    QByteArray password = Connection::DatabasePassword;
    auto writeFile = [&](const QString &name, const QByteArray &bytes) {
        path = program.dir() + name;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    auto keyedDatabase = [&](const char *tables) {
        path = program.dir() + QStringLiteral("other.db");
        Connection::create(path)->execScript(QString::fromLatin1(tables));
    };
    if (kind == QLatin1String("missing")) {
        path = program.dir() + QStringLiteral("DataBase/Other.mdb");
    } else if (kind == QLatin1String("password")) {
        password = "wrong";
    } else if (kind == QLatin1String("text")) {
        writeFile(QStringLiteral("notes.txt"), QByteArray(4096, 'x'));
    } else if (kind == QLatin1String("short")) {
        writeFile(QStringLiteral("short.mdb"), QByteArray("SQLite"));
    } else if (kind == QLatin1String("empty")) {
        writeFile(QStringLiteral("empty.mdb"), QByteArray());
    } else if (kind == QLatin1String("foreign")) {
        keyedDatabase("create table notes (id integer primary key, body text);");
    } else if (kind == QLatin1String("half")) {
        keyedDatabase("create table Custom (CustID integer primary key);");
    } else {
        path = program.dir() + QStringLiteral("DataBase");
    }
    QByteArray before;
    if (QFileInfo(path).isFile()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        before = file.readAll();
    }
    try {
        Connection::open(path, password);
        QFAIL("opened");
    } catch (const DbError &error) {
        QCOMPARE(int(error.kind()), expected);
        if (error.kind() == DbError::Kind::NotOurDatabase)
            QVERIFY2(error.text().startsWith(QStringLiteral("不是本系统的数据库文件: ") + path), qPrintable(error.text()));
        else
            QVERIFY2(error.text().contains(path), qPrintable(error.text()));
    }
    // Opening must never create the file it was asked for, nor write to one it refused
    // (an empty file must not quietly become a database).
    if (kind == QLatin1String("missing"))
        QVERIFY(!QFile::exists(path));
    if (QFileInfo(path).isFile()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before);
    }
    QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
}

// Another program holding the file locked past the busy time-out is told apart from a
// broken or foreign file, both while opening and for a statement on an open connection.
void TestConnection::lockedFileIsBusy()
{
    TestProgram program;
    auto reader = Connection::open(program.databasePath(), Connection::DatabasePassword, 50);
    auto holder = program.connect();
    holder->execScript(QStringLiteral("BEGIN EXCLUSIVE; insert into T_Daily (Subject) values ('held');"));
    try {
        Connection::open(program.databasePath(), Connection::DatabasePassword, 50);
        QFAIL("opened a locked file");
    } catch (const DbError &error) {
        QCOMPARE(int(error.kind()), int(DbError::Kind::Busy));
        QVERIFY2(error.text().startsWith(QStringLiteral("数据库正被其他程序使用: ")), qPrintable(error.text()));
    }
    try {
        reader->exec(QStringLiteral("insert into T_Daily (Subject) values ('waiting')"));
        QFAIL("wrote to a locked file");
    } catch (const DbError &error) {
        QCOMPARE(int(error.kind()), int(DbError::Kind::Busy));
    }
    holder->rollback();
    QCOMPARE(Connection::open(program.databasePath())->exec(QStringLiteral("delete from T_Daily")), 0);
}

void TestConnection::statementErrorKind()
{
    TestProgram program;
    auto connection = program.connect();
    try {
        connection->exec(QStringLiteral("select * from NoSuchTable"));
        QFAIL("no error raised");
    } catch (const DbError &error) {
        QCOMPARE(int(error.kind()), int(DbError::Kind::Statement));
    }
    QCOMPARE(int(DbError(QStringLiteral("x")).kind()), int(DbError::Kind::Statement));
}

void TestConnection::oneStatementExactly_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("error"); // a part of the error text; empty: runs
    QTest::newRow("plain") << "select 1" << "";
    QTest::newRow("closing semicolon") << "select 1;" << "";
    QTest::newRow("semicolons and a comment after") << "select 1 ; ; -- done\n" << "";
    QTest::newRow("empty") << "" << "SQL 语句为空";
    QTest::newRow("blanks") << "  \n" << "SQL 语句为空";
    QTest::newRow("comment only") << "-- nothing" << "SQL 语句为空";
    QTest::newRow("a second statement") << "select 1; delete from T_Daily" << "多余的文本: delete from T_Daily";
    QTest::newRow("garbage after the semicolon") << "select 1; xyz" << "多余的文本: xyz";
    QTest::newRow("garbage after an empty statement") << "select 1;; xyz" << "多余的文本";
}

// A statement is one statement: the engine would run the first of several and drop
// the rest without a word, and run an empty text as nothing at all.
void TestConnection::oneStatementExactly()
{
    QFETCH(QString, sql);
    QFETCH(QString, error);
    TestProgram program;
    auto connection = program.connect();
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('kept')"));
    try {
        Statement statement(*connection, sql);
        QVERIFY(statement.step());
        QVERIFY2(error.isEmpty(), "no error raised");
    } catch (const DbError &e) {
        QVERIFY2(!error.isEmpty() && e.text().contains(error), qPrintable(e.text()));
    }
    Statement count(*connection, QStringLiteral("select count(*) from T_Daily"));
    count.step();
    QCOMPARE(count.value(0).toInt(), 1);
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

// A connection opened for reading reads and says so; a write is refused by the engine.
void TestConnection::readOnlyConnection()
{
    TestProgram program;
    QVERIFY(!program.connect()->isReadOnly());
    auto connection = Connection::openReadOnly(program.databasePath());
    QVERIFY(connection->isReadOnly());
    Statement count(*connection, QStringLiteral("select count(*) from admin"));
    QVERIFY(count.step());
    QCOMPARE(count.value(0).toInt(), 1);
    QVERIFY_THROWS_EXCEPTION(DbError, connection->exec(QStringLiteral("delete from admin")));
    QCOMPARE(program.connect()->changes(), 0);
    Statement still(*program.connect(), QStringLiteral("select count(*) from admin"));
    QVERIFY(still.step());
    QCOMPARE(still.value(0).toInt(), 1);
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

void TestConnection::columnsReadByStorageClass_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<QByteArray>("bytes");
    using T = Statement::ColumnType;
    QTest::newRow("null") << "NULL" << int(T::Null) << QVariant() << QByteArray();
    QTest::newRow("integer") << "-9007199254740993" << int(T::Integer) << QVariant(qlonglong(-9007199254740993LL))
                             << QByteArray("-9007199254740993");
    QTest::newRow("float") << "2.5" << int(T::Float) << QVariant(2.5) << QByteArray("2.5");
    QTest::newRow("chinese text, length in bytes") << "'客户'" << int(T::Text) << QVariant(QStringLiteral("客户"))
                                                   << QByteArray("客户");
    QTest::newRow("text with a zero byte") << "'a' || char(0) || 'b'" << int(T::Text)
                                           << QVariant(QString::fromUtf8("a\0b", 3)) << QByteArray("a\0b", 3);
    QTest::newRow("blob") << "x'41ff42'" << int(T::Blob) << QVariant() << QByteArray("A\xff" "B");
}

// The typed readers that Dataset packs rows with agree with value() and never copy
// text through QString: bytes come back exactly, zero bytes and all.
void TestConnection::columnsReadByStorageClass()
{
    QFETCH(QString, expression);
    QFETCH(int, type);
    QFETCH(QVariant, expected);
    QFETCH(QByteArray, bytes);
    TestProgram program;
    auto connection = program.connect();
    Statement statement(*connection, QStringLiteral("select ") + expression);
    QVERIFY(statement.step());
    QCOMPARE(int(statement.columnType(0)), type);
    switch (Statement::ColumnType(type)) {
    case Statement::ColumnType::Integer:
        QCOMPARE(statement.columnInt64(0), expected.toLongLong());
        QCOMPARE(statement.value(0), expected);
        break;
    case Statement::ColumnType::Float:
        QCOMPARE(statement.columnDouble(0), expected.toDouble());
        break;
    case Statement::ColumnType::Text:
        QCOMPARE(statement.value(0), expected);
        break;
    default:
        break;
    }
    const QByteArrayView view = statement.textBytes(0);
    QCOMPARE(QByteArray(view.data(), view.size()), bytes);
}

// A statement kept for another run (a detail query following its master) must not
// carry the previous run's values into the next.
void TestConnection::resetRewindsAndClearsBindings()
{
    TestProgram program;
    auto connection = program.connect();
    Statement statement(*connection, QStringLiteral("select ?1 is null, ?1"));
    statement.bind(1, 7);
    QVERIFY(statement.step());
    QCOMPARE(statement.value(0).toInt(), 0);
    QCOMPARE(statement.value(1).toInt(), 7);
    statement.reset();
    QVERIFY(statement.step());
    QCOMPARE(statement.value(0).toInt(), 1);
    QVERIFY(!statement.step());
    statement.reset();
    statement.bind(1, QStringLiteral("再"));
    QVERIFY(statement.step());
    QCOMPARE(statement.value(1).toString(), QStringLiteral("再"));
}

void TestConnection::changesCountsTheLastStatement()
{
    TestProgram program;
    auto connection = program.connect();
    connection->exec(QStringLiteral("insert into T_Daily (Subject) values ('a'), ('b'), ('c')"));
    QCOMPARE(connection->changes(), 3);
    Statement update(*connection, QStringLiteral("update T_Daily set Subject='x' where Subject<>'a'"));
    QVERIFY(!update.step());
    QCOMPARE(connection->changes(), 2);
    Statement none(*connection, QStringLiteral("delete from T_Daily where Subject='nobody'"));
    none.step();
    QCOMPARE(connection->changes(), 0);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
