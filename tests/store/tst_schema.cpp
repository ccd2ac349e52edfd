#include "TestProgram.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Schema.h"
#include "PgScratch.h"

#include <QtTest>

// The delivered database holds every table and the initial rows the windows rely on.
class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void everyTable_data();
    void everyTable();
    void administratorHasEveryRight();
    void rightsRowsFollowSlotOrder();
    void layoutsHaveTheQuickSearchTitles();
    void everyLayoutFieldExists();
    void oneRowTables();
    void viewsYieldTheirColumns();
    void importRowsNameRealColumns();
    void declaredColumns_data();
    void declaredColumns();
    void declaredColumnsAreTheFilesColumns();
    void identityColumnsAreTheKeys();
    void serverFormIsDerivedFromTheScript_data();
    void serverFormIsDerivedFromTheScript();
    void serverSchemaLoads();

private:
    QVariant scalar(Connection &c, const QString &sql)
    {
        Statement s(c, sql);
        return s.step() ? s.value(0) : QVariant();
    }
};

void TestSchema::everyTable_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    auto row = [](const char *t, const char *c) { QTest::newRow(t) << QString::fromLatin1(t) << QString::fromLatin1(c); };
    row("custom", "CustID CustCode Company CustType Category country province city address postcode tel fax url email "
                  "MainContact Mobile OtherInfo income introduce memo2 memo3 CustFrom CustLevel F_User AddDate");
    row("contact", "ContactID CustCode Company ContactName Department position tel Fax Mobile Email Address PostCode "
                   "Birthday MainContact introduce F_User");
    row("Cust_Category", "code name");
    row("Goods_Category", "code name");
    row("T_Goods", "GoodsCode GoodsName GoodsUnit Units Category InPrice SalePrice CostPrice Memo");
    row("T_Bill", "BillCode BillDate CustCode CustName memo F_User");
    row("T_BillDetail", "BillDetailID BillCode GoodsCode GoodsName GoodsUnit Units Number SalePrice Discount SaleMoney");
    row("T_Schedule", "CustCode Company Contact Subject Type StartDate Awoke AwokeDate Memo F_User");
    row("T_Daily", "Subject Content AddDate author");
    row("admin", "UserID UserName Password PartName Remark IsUser Permit");
    row("T_Part", "PartID PartName Remark");
    row("T_System", "FunctionName");
    row("T_PartAuthority", "PartName FunctionName Authority");
    row("T_UserAuthority", "UserAuthorityID UserName FunctionName Authority");
    row("info", "id Company Regname Address fax tel Postcode Version name");
    row("T_SoftInfo", "SoftName Version");
    for (const char *dict : {"Dict_Country", "Dict_Province", "Dict_CustType", "Dict_CustFrom", "Dict_CustLevel",
                             "Dict_department", "Dict_Zw"})
        row(dict, "id name");
    row("T_Other", "Name Cataid");
    row("T_FieldShow", "TableName Field Name Width ShowID show SumField ShowButton");
    row("T_Import", "ImportID tablename S_Field FieldName F_Field");
    row("T_Temp", "S_Field CellID");
    row("Dict_ClearData", "Action SQL F_Flag");
}

void TestSchema::everyTable()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    TestProgram program;
    auto connection = program.connect();
    QVERIFY(connection->isTable(table));
    const QList<ColumnInfo> info = connection->tableColumns(table);
    QVERIFY2(info.first().primaryKey, "every table starts with its autonumber key");
    QStringList names;
    for (const ColumnInfo &c : info)
        names.append(c.name.toLower());
    for (const QString &column : columns.split(QLatin1Char(' ')))
        QVERIFY2(names.contains(column.toLower()), qPrintable(table + QLatin1Char('.') + column));
}

void TestSchema::administratorHasEveryRight()
{
    TestProgram program;
    auto c = program.connect();
    QCOMPARE(scalar(*c, QStringLiteral("select UserID from admin where UserName='Admin' and IsUser=1 and "
                                       "(Password='' or Password is null)")).toInt(), 1);
    const int rights = scalar(*c, QStringLiteral("select count(*) from T_System")).toInt();
    QVERIFY(rights >= 11 && rights <= 20);
    QCOMPARE(scalar(*c, QStringLiteral("select count(*) from T_UserAuthority where UserName='Admin' and Authority=1")).toInt(), rights);
    QCOMPARE(scalar(*c, QStringLiteral("select count(*) from T_Part where PartName='普通用户'")).toInt(), 1);
}

void TestSchema::rightsRowsFollowSlotOrder()
{
    TestProgram program;
    auto c = program.connect();
    Dataset system(c.get()), role(c.get()), user(c.get());
    system.setSql(QStringLiteral("select * from T_System"));
    system.open();
    role.setSql(QStringLiteral("select * from T_PartAuthority where PartName='普通用户'"));
    role.open();
    user.setSql(QStringLiteral("select * from T_UserAuthority where UserName='Admin' order by UserAuthorityID"));
    user.open();
    QCOMPARE(role.recordCount(), system.recordCount());
    QCOMPARE(user.recordCount(), system.recordCount());
    const int name = system.fieldIndex(QStringLiteral("FunctionName"));
    for (int row = 0; row < system.recordCount(); ++row) {
        QCOMPARE(role.value(row, role.fieldIndex(QStringLiteral("FunctionName"))), system.value(row, name));
        QCOMPARE(user.value(row, user.fieldIndex(QStringLiteral("FunctionName"))), system.value(row, name));
    }
}

void TestSchema::layoutsHaveTheQuickSearchTitles()
{
    TestProgram program;
    auto c = program.connect();
    const QStringList custom = {QStringLiteral("客户编号"), QStringLiteral("公司名称"), QStringLiteral("通讯地址"),
                                QStringLiteral("电话"), QStringLiteral("传真"), QStringLiteral("电子信箱"), QStringLiteral("网址")};
    for (const QString &title : custom)
        QCOMPARE(scalar(*c, QStringLiteral("select count(*) from T_FieldShow where TableName='Custom' and Name='%1'").arg(title)).toInt(), 1);
    for (const QString &title : {QStringLiteral("姓名"), QStringLiteral("办公电话"), QStringLiteral("电子邮件")})
        QCOMPARE(scalar(*c, QStringLiteral("select count(*) from T_FieldShow where TableName='Contact' and Name='%1'").arg(title)).toInt(), 1);
    Dataset import(c.get());
    import.setSql(QStringLiteral("select * from T_FieldShow where show=1 and TableName='import' order by ShowID"));
    import.open();
    QCOMPARE(import.value(0, import.fieldIndex(QStringLiteral("Field"))).toString(), QStringLiteral("FieldName"));
    QCOMPARE(import.value(1, import.fieldIndex(QStringLiteral("Field"))).toString(), QStringLiteral("F_Field"));
    QCOMPARE(scalar(*c, QStringLiteral("select Field from T_FieldShow where TableName='Other' and show=1")).toString(), QStringLiteral("Name"));
}

// Every column named by a layout exists in the query its grid shows.
void TestSchema::everyLayoutFieldExists()
{
    TestProgram program;
    auto c = program.connect();
    const QList<QPair<QString, QString>> layouts = {
        {QStringLiteral("Custom"), QStringLiteral("custom")}, {QStringLiteral("Contact"), QStringLiteral("contact")},
        {QStringLiteral("Schedule"), QStringLiteral("T_Schedule")}, {QStringLiteral("Bill"), QStringLiteral("T_Bill")},
        {QStringLiteral("S_SaleDetail"), QStringLiteral("S_BillDetail")}, {QStringLiteral("R_SaleDetail"), QStringLiteral("S_BillDetail")},
        {QStringLiteral("Goods"), QStringLiteral("T_Goods")}, {QStringLiteral("SelectGoods"), QStringLiteral("T_Goods")},
        {QStringLiteral("BillDetail"), QStringLiteral("T_BillDetail")}, {QStringLiteral("import"), QStringLiteral("T_Import")},
        {QStringLiteral("Other"), QStringLiteral("T_Other")}};
    for (const auto &[layout, table] : layouts) {
        Dataset rows(c.get()), target(c.get());
        rows.setSql(QStringLiteral("select * from T_FieldShow where TableName='%1'").arg(layout));
        rows.open();
        QVERIFY2(rows.recordCount() > 0, qPrintable(layout));
        target.setSql(QStringLiteral("select * from %1 where 1=0").arg(table));
        target.open();
        for (int row = 0; row < rows.recordCount(); ++row) {
            const QString field = rows.value(row, rows.fieldIndex(QStringLiteral("Field"))).toString();
            if (layout == QLatin1String("BillDetail") && field == QLatin1String("money"))
                continue; // calculated by the data module
            QVERIFY2(target.fieldIndex(field) >= 0, qPrintable(layout + QLatin1Char('.') + field));
        }
    }
}

void TestSchema::oneRowTables()
{
    TestProgram program;
    auto c = program.connect();
    QCOMPARE(scalar(*c, QStringLiteral("select count(*) from info")).toInt(), 1);
    QCOMPARE(scalar(*c, QStringLiteral("select count(*) from T_SoftInfo")).toInt(), 1);
    QVERIFY(scalar(*c, QStringLiteral("select count(*) from T_Other where Cataid='Units'")).toInt() > 0);
    QVERIFY(scalar(*c, QStringLiteral("select count(*) from T_Other where Cataid='subject'")).toInt() > 0);
    QVERIFY(scalar(*c, QStringLiteral("select count(*) from Dict_ClearData where F_Flag=1")).toInt() > 0);
    for (const char *dict : {"Dict_Country", "Dict_Province", "Dict_CustType", "Dict_CustFrom", "Dict_CustLevel",
                             "Dict_department", "Dict_Zw"})
        QVERIFY(scalar(*c, QStringLiteral("select count(*) from %1").arg(QString::fromLatin1(dict))).toInt() > 0);
}

void TestSchema::viewsYieldTheirColumns()
{
    TestProgram program;
    auto c = program.connect();
    c->exec(QStringLiteral("insert into custom (CustCode, Company) values (1,'甲公司'), (2,'乙公司')"));
    c->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName) values (1,'甲公司','王经理'), (1,'甲公司','李会计')"));
    c->exec(QStringLiteral("insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) values ('B1','2026-12-01',1,'甲公司','Admin')"));
    c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, Number, SalePrice, Discount, SaleMoney) values ('B1','G1',2,10,1,20)"));
    Dataset people(c.get());
    people.setSql(QStringLiteral("select * from S_ViewCust where CustCode in(1,2)"));
    people.open();
    QCOMPARE(people.recordCount(), 3); // two contacts, and one empty row for the customer without any
    QVERIFY(people.isReadOnly());
    Dataset lines(c.get());
    lines.setSql(QStringLiteral("select * from S_BillDetail where CustCode=1"));
    lines.open();
    QCOMPARE(lines.recordCount(), 1);
    for (const char *f : {"BillCode", "BillDate", "CustCode", "CustName", "F_User", "GoodsCode", "GoodsName",
                          "GoodsUnit", "Units", "Number", "SalePrice", "Discount", "SaleMoney"})
        QVERIFY2(lines.fieldIndex(QString::fromLatin1(f)) >= 0, f);
    QCOMPARE(lines.number(QStringLiteral("SaleMoney")), 20.0);
}

void TestSchema::importRowsNameRealColumns()
{
    TestProgram program;
    auto c = program.connect();
    Dataset rows(c.get());
    rows.setSql(QStringLiteral("select * from T_Import"));
    rows.open();
    QVERIFY(rows.recordCount() > 20);
    for (int row = 0; row < rows.recordCount(); ++row) {
        const QString table = rows.value(row, rows.fieldIndex(QStringLiteral("tablename"))).toString();
        const QString field = rows.value(row, rows.fieldIndex(QStringLiteral("S_Field"))).toString();
        QVERIFY(table == QLatin1String("custom") || table == QLatin1String("contact"));
        bool found = false;
        for (const ColumnInfo &col : c->tableColumns(table))
            found = found || col.name.compare(field, Qt::CaseInsensitive) == 0;
        QVERIFY2(found, qPrintable(table + QLatin1Char('.') + field));
        QVERIFY(!rows.value(row, rows.fieldIndex(QStringLiteral("FieldName"))).toString().isEmpty());
    }
}

void TestSchema::declaredColumns_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("declared");
    auto row = [](const char *t, const char *c, const char *d) {
        QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(QLatin1String(t), QLatin1String(c))))
            << QString::fromLatin1(t) << QString::fromLatin1(c) << QString::fromLatin1(d);
    };
    row("custom", "CustID", "INTEGER");
    row("custom", "CustCode", "INTEGER");
    row("custom", "Company", "VARCHAR(100)");
    row("custom", "introduce", "LONGTEXT");
    row("custom", "AddDate", "DATETEXT");
    row("contact", "MainContact", "BOOLEAN");
    row("T_Schedule", "CustCode", "VARCHAR(20)");
    row("T_BillDetail", "Number", "DOUBLE");
    row("T_BillDetail", "SaleMoney", "CURRENCY");
    // A view's column has the type of the column it is taken from.
    row("S_BillDetail", "BillDate", "DATETEXT");
    row("S_BillDetail", "SaleMoney", "CURRENCY");
    row("S_ViewCust", "CustCode", "INTEGER");
    row("S_ViewCust", "ContactName", "VARCHAR(50)");
}

void TestSchema::declaredColumns()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, declared);
    QCOMPARE(Schema::declaredColumns().count(SchemaTranslation::DeclaredColumn{table, column, declared}), 1);
}

// The list read from the script is what the file itself declares, column for column,
// views included.
void TestSchema::declaredColumnsAreTheFilesColumns()
{
    TestProgram program;
    auto c = program.connect();
    QMap<QString, QList<SchemaTranslation::DeclaredColumn>> byTable;
    for (const auto &column : Schema::declaredColumns())
        byTable[column.table].append(column);
    QCOMPARE(byTable.size(), 30); // 28 tables and 2 views
    for (auto it = byTable.cbegin(); it != byTable.cend(); ++it) {
        const QList<ColumnInfo> file = c->tableColumns(it.key());
        QCOMPARE(file.size(), it.value().size());
        for (qsizetype i = 0; i < file.size(); ++i) {
            QCOMPARE(it.value().at(i).column, file.at(i).name);
            QCOMPARE(it.value().at(i).declaredType, file.at(i).declaredType);
        }
    }
}

void TestSchema::identityColumnsAreTheKeys()
{
    TestProgram program;
    auto c = program.connect();
    const auto keys = Schema::identityColumns();
    QCOMPARE(keys.size(), 28);
    for (const auto &key : keys) {
        const QList<ColumnInfo> file = c->tableColumns(key.table);
        QVERIFY2(file.first().primaryKey, qPrintable(key.table));
        QCOMPARE(key.column, file.first().name);
    }
}

// The server's column types, one of each kind, in the server form of the script.
void TestSchema::serverFormIsDerivedFromTheScript_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("extension first") << "CREATE EXTENSION IF NOT EXISTS citext;";
    QTest::newRow("autonumber") << "  CustID integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,";
    QTest::newRow("integer") << "  CustCode integer,";
    QTest::newRow("text without case") << "  Company citext,";
    QTest::newRow("long text") << "  introduce citext,";
    QTest::newRow("date") << "  AddDate date";
    QTest::newRow("yes/no with its default") << "  MainContact smallint DEFAULT 0,";
    QTest::newRow("double with its default") << "  Discount double precision DEFAULT 1,";
    QTest::newRow("money") << "  SaleMoney numeric(19,4)";
    QTest::newRow("view join") << "INNER JOIN T_Bill ON T_Bill.BillCode = T_BillDetail.BillCode";
}

void TestSchema::serverFormIsDerivedFromTheScript()
{
    QFETCH(QString, line);
    const QStringList lines = Schema::schemaSql(SqlEngine::Postgres).split(QLatin1Char('\n'));
    QVERIFY2(lines.contains(line), qPrintable(line));
    QVERIFY(!Schema::schemaSql(SqlEngine::Postgres).contains(QLatin1String("NOCASE")));
    QVERIFY(!Schema::schemaSql(SqlEngine::Postgres).contains(QLatin1String("AUTOINCREMENT")));
}

// The server form loads on an empty database in one transaction, with as many rows in
// every table as the file, and new rows get keys past the inserted ones.
void TestSchema::serverSchemaLoads()
{
    if (const QString reason = PgScratch::skipReason(); !reason.isEmpty())
        QSKIP(qPrintable(reason));
    PgScratch server;
    QVERIFY2(server.error().isEmpty(), qPrintable(server.error()));
    TestProgram program;
    auto c = program.connect();
    for (const auto &key : Schema::identityColumns()) {
        const QString count = QStringLiteral("select count(*) from %1").arg(key.table);
        const PgScratch::Result rows = server.query(count);
        QVERIFY2(rows.exitCode == 0, qPrintable(rows.errors));
        QCOMPARE(rows.output.trimmed(), scalar(*c, count).toString());
    }
    // Types as the server reports them.
    const PgScratch::Result types = server.query(QStringLiteral(
        "select table_name || '.' || column_name || ' ' || data_type || coalesce(' ' || is_identity, '') "
        "from information_schema.columns where (table_name, column_name) in "
        "(('custom','custid'),('custom','custcode'),('custom','company'),('custom','adddate'),"
        "('contact','maincontact'),('t_billdetail','salemoney'),('t_billdetail','number')) order by 1"));
    QCOMPARE(types.output.trimmed().split(QLatin1Char('\n')),
             QStringList({QStringLiteral("contact.maincontact smallint NO"), QStringLiteral("custom.adddate date NO"),
                          QStringLiteral("custom.company USER-DEFINED NO"), QStringLiteral("custom.custcode integer NO"),
                          QStringLiteral("custom.custid integer YES"), QStringLiteral("t_billdetail.number double precision NO"),
                          QStringLiteral("t_billdetail.salemoney numeric NO")}));
    // The keys inserted by the initial rows (admin 1, T_Part 1 to 3) are not handed out again.
    const PgScratch::Result added = server.runScript(QStringLiteral(
        "insert into admin (UserName) values ('王五'); insert into T_Part (PartName) values ('新角色');"));
    QVERIFY2(added.exitCode == 0, qPrintable(added.errors));
    QCOMPARE(server.query(QStringLiteral("select max(UserID) from admin")).output.trimmed(), QStringLiteral("2"));
    QCOMPARE(server.query(QStringLiteral("select max(PartID) from T_Part")).output.trimmed(), QStringLiteral("4"));
    // Names compare without regard to case, as on the file.
    QCOMPARE(server.query(QStringLiteral("select count(*) from admin where UserName='ADMIN'")).output.trimmed(),
             QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
