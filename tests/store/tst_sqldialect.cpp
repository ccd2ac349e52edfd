#include "TestProgram.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/SqlDialect.h"
#include "store/SqlText.h"
#include "store/queries/Customers.h"
#include "store/queries/Goods.h"
#include "store/queries/Sales.h"
#include "PgScratch.h"

#include <QtTest>

class TestSqlDialect : public QObject
{
    Q_OBJECT
private slots:
    void rewrite_data();
    void rewrite();
    void listsKeepInsertionOrder_data();
    void listsKeepInsertionOrder();
    void quoteName_data();
    void quoteName();
    void invalidDateIsRefused();
    void splitStatements_data();
    void splitStatements();
    void refused_data();
    void refused();
    void topLimitsItsOwnSelect_data();
    void topLimitsItsOwnSelect();
    void everyQuotedStatementRuns_data();
    void everyQuotedStatementRuns();
    void scheduleCodeMatchesQuotedAndBare();
    void likeEmptyPatternSkipsNull();
    void dateDifferenceInDays();
    void quotedValueSurvivesApostrophe();
    void columnNamesInAnyCase();
    void serverAcceptsEveryStatement_data();
    void serverAcceptsEveryStatement();
    void sameRowsOnBothEngines_data();
    void sameRowsOnBothEngines();

private:
    PgScratch *server();
    std::unique_ptr<PgScratch> m_server;
};

namespace {

// The statement forms the windows write, word for word as they send them.
QStringList quotedStatements();

// The statements the program's query functions write, with every search filled in.
QStringList programStatements()
{
    QStringList list = {
        "select top 1 BillCode from T_Bill where BillCode like :Prefix order by BillCode desc",
        "select * from T_BillDetail where BillCode=:BillCode and GoodsCode=:GoodsCode",
        "select Action from Dict_ClearData where F_Flag = true order by ClearID",
        "select Action, SQL from Dict_ClearData order by ClearID",
        "select * from T_FieldShow where tablename=:Layout and Name=:Name",
        "select * from T_FieldShow where show=:Show and TableName=:Layout order by ShowID",
        "update T_FieldShow set show=:Show where name=:Name and TableName=:Layout",
        "Select * From Contact where CustCode=:CustCode and F_User=:Operator",
        "select CustCode from Contact where MainContact like :Pattern group by CustCode",
        "select CustCode from Contact where Birthday like :Pattern group by CustCode",
        "select CustCode from Contact where ContactName like :Pattern group by CustCode",
        "update Contact set CustCode=:CustCode where ContactID=:ContactID",
        "Select count(*) as Total from Custom where F_User=:Operator",
        "Select top 100 * from Custom where F_User=:Operator",
        "Select * from custom where category like :Category",
        "Select * from custom where CustCode like :Pattern",
        "Select * from custom where AddDate like :Pattern",
        "Select * from custom where Company like :Pattern",
        "select * from Custom where CustCode in (:Code0,:Code1)",
        "select * from Custom where CustCode in(1,:Code1,3)",
        "select * from S_ViewCust where CustCode in(1,2)",
        "select top 5 * from S_ViewCust",
        "select top 5 * from Custom order by CustID",
        "select top 1 CustCode from T_Bill order by BillID desc",
        "select * from T_BillDetail where BillCode=:BillCode order by BillDetailID",
        "Select * From T_Schedule where CustCode=:CustCode",
        "select * from T_Bill where CustCode=:CustCode",
        "select * from S_BillDetail where CustCode=:CustCode",
        "select max(CustCode) as T_Code from Custom",
        "Update Contact set CustCode=:NewCode where CustCode=:OldCode",
        "Update T_Schedule set CustCode=:NewCode where CustCode=:OldCode",
        "Update T_Schedule set Company=:NewName where Company=:OldName and CustCode=:CustCode",
        "update custom set MainContact=:Name where CustCode=:CustCode",
        "Select * from T_Daily where author=:Author Order by AddDate",
        "Select * from T_Daily where subject like :Pattern or content like :Pattern",
        "update T_BillDetail set GoodsCode=:NewCode where GoodsCode=:OldCode",
        "insert into T_Temp (S_Field, CellID) values (:S_Field, :CellID)",
        "update T_Import set F_Field=:F_Field where ImportID=:ImportID",
        "select ImportID, tablename, S_Field, FieldName, F_Field from T_Import order by ImportID",
        "insert into custom (CustCode,[Company],[AddDate],[introduce]) values (:CustCode,:V1,:V2,:V3)",
        "update T_FieldShow set showid=:Position,width=:Width where tablename=:Layout and field=:Field",
        "Select * from T_Schedule where AwokeDate=:Day",
        "select * from T_Schedule where F_User=:Operator and awoke=True and datediff('y',Date(),[AwokeDate])='3'",
        "select * from Dict_Country order by id",
        "select * from Dict_Country order by name",
        "update admin set [Password]=:Password where UserID=:UserID",
        "select count(*) from T_Part where PartName=:PartName",
        "select * from Goods_Category where len(code)=4 and code like'01%' order by code",
    };
    Customers::Search search;
    search.category = search.company = search.address = search.postcode = search.custType = search.country =
        search.province = search.custFrom = search.city = search.introduce = search.tel = search.fax = search.url =
            search.email = search.salesman = search.income = QStringLiteral("x");
    search.addedFrom = QDate(2026, 1, 1);
    search.addedTo = QDate(2026, 12, 31);
    list.append(Customers::searchStatement(search));
    const Goods::SearchTexts goods{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    list.append(Goods::searchStatement(goods, Goods::SearchStyle::Search));
    Sales::Filter filter;
    list.append(Sales::analysisStatement(filter));
    filter.operatorName = filter.customer = filter.goodsCode = QStringLiteral("x");
    list.append(Sales::analysisStatement(filter));
    for (const QString &statement : {QStringLiteral("delete from custom"), QStringLiteral("delete from contact"),
                                     QStringLiteral("delete from T_Schedule")})
        list.append(statement);
    return list;
}

// A statement in its server form ready for PREPARE: each :Name becomes $n (the same
// name the same number); *names gets the names in number order.
QString numbered(const QString &serverSql, QStringList *names)
{
    static const QRegularExpression parameter(QStringLiteral("(?<![:\\w]):([A-Za-z_]\\w*)"));
    QString out;
    qsizetype last = 0;
    for (auto it = parameter.globalMatch(serverSql); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += serverSql.mid(last, m.capturedStart() - last);
        if (!names->contains(m.captured(1)))
            names->append(m.captured(1));
        out += QLatin1Char('$') + QString::number(names->indexOf(m.captured(1)) + 1);
        last = m.capturedEnd();
    }
    return out + serverSql.mid(last);
}

QString literal(QString value)
{
    return QLatin1Char('\'') + value.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// The parameters are sent as untyped text: the server gives each the type its place asks for.
QString serverRun(const QString &programSql, const QVariantMap &values)
{
    QStringList names;
    const QString prepared = numbered(SqlDialect::toEngine(programSql, SqlEngine::Postgres), &names);
    QStringList arguments;
    for (const QString &name : std::as_const(names)) {
        const QVariant value = values.value(name, QStringLiteral("1"));
        arguments.append(value.isNull() ? QStringLiteral("NULL")
                                        : literal(value.typeId() == QMetaType::QDate
                                                      ? value.toDate().toString(Qt::ISODate) : value.toString()));
    }
    return QStringLiteral("PREPARE s AS %1\n;\nEXECUTE s%2;\n")
        .arg(prepared, arguments.isEmpty() ? QString() : QLatin1Char('(') + arguments.join(QLatin1Char(',')) + QLatin1Char(')'));
}

} // namespace

PgScratch *TestSqlDialect::server()
{
    if (!m_server)
        m_server = std::make_unique<PgScratch>();
    return m_server.get();
}

void TestSqlDialect::rewrite_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("server"); // the server form, where it differs from the file's
    auto row = [](const char *name, const char *program, const char *engine, const char *server = nullptr) {
        QTest::newRow(name) << QString::fromUtf8(program) << QString::fromUtf8(engine)
                            << QString::fromUtf8(server ? server : engine);
    };
    row("plain select", "select * from custom", "select * from custom");
    row("true literal", "select * from admin where IsUser=True", "select * from admin where IsUser=1");
    row("true lower case with blanks", "select * from Dict_ClearData where F_Flag = true",
        "select * from Dict_ClearData where F_Flag = 1");
    row("false literal", "update T_Schedule set Awoke=False where ScheduleID=3",
        "update T_Schedule set Awoke=0 where ScheduleID=3");
    row("top", "Select top 100 * from Custom", "Select * from Custom LIMIT 100");
    row("top with where", "Select top 100 * from Custom where F_User='张三'",
        "Select * from Custom where F_User='张三' LIMIT 100");
    row("top before semicolon", "select top 1 * from admin;", "select * from admin LIMIT 1;");
    row("date literal", "(BillDate>=#2026-12-01# and BillDate<=#2026/12/31#)",
        "(BillDate>='2026-12-01' and BillDate<='2026-12-31')",
        "(BillDate>=DATE '2026-12-01' and BillDate<=DATE '2026-12-31')");
    row("short date month first", "select * from T_Schedule where AwokeDate=#12/9/2026#",
        "select * from T_Schedule where AwokeDate='2026-12-09'",
        "select * from T_Schedule where AwokeDate=DATE '2026-12-09'");
    row("date literal with time", "select #2026-1-2 13:05:00#", "select '2026-01-02 13:05:00'",
        "select TIMESTAMP '2026-01-02 13:05:00'");
    row("bracketed names", "select * from [custom] where ([Adddate]>=#2026-01-01#)",
        "select * from \"custom\" where (\"Adddate\">='2026-01-01')",
        "select * from \"custom\" where (\"adddate\">=DATE '2026-01-01')");
    row("len", "select * from Cust_Category where len(code)=2 order by code",
        "select * from Cust_Category where length(code)=2 order by code",
        "select * from Cust_Category where length(code)=2 order by code NULLS FIRST");
    row("len with blank before paren", "select * from Cust_Category where len (code)=4",
        "select * from Cust_Category where length(code)=4");
    row("datediff days to a date",
        "select * from T_Schedule where F_User='Admin' and awoke=True and datediff('y',Date(),[AwokeDate])='3'",
        "select * from T_Schedule where F_User='Admin' and awoke=1 and "
        "CAST(julianday(date(\"AwokeDate\")) - julianday(date(date('now','localtime'))) AS INTEGER)='3'",
        "select * from T_Schedule where F_User='Admin' and awoke=1 and "
        "(CAST(\"awokedate\" AS date) - CAST(CURRENT_DATE AS date))='3'");
    row("like contains", "select * from custom where (company like'%华%')",
        "select * from custom where (company like'%华%')");
    row("like empty pattern", "(F_User like'%%')", "(F_User like'%%')");
    row("in list", "select * from Custom where CustCode in (1,2,3)", "select * from Custom where CustCode in (1,2,3)",
        "select * from Custom where CustCode in ('1','2','3')");
    row("group by", "select CustCode from Contact where (ContactName like '%王%') group by CustCode",
        "select CustCode from Contact where (ContactName like '%王%') group by CustCode");
    row("aliases", "select max(CustCode) as T_Code from Custom", "select max(CustCode) as T_Code from Custom");
    row("parameter", "Select * From Contact where CustCode=:CustCode", "Select * From Contact where CustCode=:CustCode");
    row("string literal untouched", "select * from custom where company='True #1# top 5 [x] len( Date()'",
        "select * from custom where company='True #1# top 5 [x] len( Date()'");
    row("doubled quotes inside literal", "select * from custom where company='O''Neil true'",
        "select * from custom where company='O''Neil true'");
    row("word containing true", "select TrueName, IsTrue from x", "select TrueName, IsTrue from x");
    row("qualified name true", "select t.True from x t", "select t.True from x t");
    row("now", "select Now()", "select datetime('now','localtime')", "select LOCALTIMESTAMP(0)");
    row("top in a sub-select limits the sub-select",
        "select count(*) from custom where CustCode in (select top 2 CustCode from custom order by CustCode)",
        "select count(*) from custom where CustCode in (select CustCode from custom order by CustCode LIMIT 2)",
        "select count(*) from custom where CustCode in (select CustCode from custom order by CustCode NULLS FIRST LIMIT 2)");
    row("top outside and inside", "select top 1 * from custom where CustCode in (select top 2 CustCode from custom)",
        "select * from custom where CustCode in (select CustCode from custom LIMIT 2) LIMIT 1");
    row("top in a sub-select closed on its own line", "select * from x where a in (select top 3 a from y\n) and b=True",
        "select * from x where a in (select a from y LIMIT 3\n) and b=1");
    row("top before a trailing line comment", "select top 5 * from custom -- the first five",
        "select * from custom LIMIT 5 -- the first five");
    row("top before semicolon and comment", "select top 1 * from admin; -- one", "select * from admin LIMIT 1; -- one");
    row("top before a trailing block comment", "select top 3 * from custom /* three */",
        "select * from custom LIMIT 3 /* three */");
    row("comment in a sub-select", "select * from x where a in (select top 2 a from y -- two\n)",
        "select * from x where a in (select a from y LIMIT 2 -- two\n)");
    row("comments untouched", "select * from admin -- True #x top 5 [y 'z\nwhere IsUser=True /* len( #1# */",
        "select * from admin -- True #x top 5 [y 'z\nwhere IsUser=1 /* len( #1# */");
    row("two statements, each its own top", "select top 1 * from a; select top 2 * from b",
        "select * from a LIMIT 1; select * from b LIMIT 2");
    row("minus is not a comment", "select 3-1, 4 - -1", "select 3-1, 4 - -1");

    // Names: created unquoted on the server, so in lower case; quoted ones are made to match.
    row("double-quoted name", "select \"CustCode\", \"Company\" from \"Custom\"",
        "select \"CustCode\", \"Company\" from \"Custom\"", "select \"custcode\", \"company\" from \"custom\"");
    row("non-ASCII alias kept", "select Company as [客户名称], CustCode as [No客户] from custom",
        "select Company as \"客户名称\", CustCode as \"No客户\" from custom",
        "select Company as \"客户名称\", CustCode as \"no客户\" from custom");
    row("bracketed table and column", "update [T_FieldShow] set [ShowID]=:Position where [TableName]=:Layout",
        "update \"T_FieldShow\" set \"ShowID\"=:Position where \"TableName\"=:Layout",
        "update \"t_fieldshow\" set \"showid\"=:Position where \"tablename\"=:Layout");
    // Dates.
    row("today", "select * from T_Schedule where AwokeDate=Date()",
        "select * from T_Schedule where AwokeDate=date('now','localtime')",
        "select * from T_Schedule where AwokeDate=CURRENT_DATE");
    row("datediff days, text argument", "select datediff('d', '2026-12-01', [AwokeDate]) from T_Schedule",
        "select CAST(julianday(date(\"AwokeDate\")) - julianday(date('2026-12-01')) AS INTEGER) from T_Schedule",
        "select (CAST(\"awokedate\" AS date) - CAST('2026-12-01' AS date)) from T_Schedule");
    row("datediff with a parameter", "select * from T_Schedule where datediff('d', :Day, AwokeDate) = 0",
        "select * from T_Schedule where CAST(julianday(date(AwokeDate)) - julianday(date(:Day)) AS INTEGER) = 0",
        "select * from T_Schedule where (CAST(AwokeDate AS date) - CAST(:Day AS date)) = 0");
    row("datediff weeks", "select datediff('ww', #2026-12-01#, #2026-12-20#)",
        "select CAST((julianday(date('2026-12-20')) - julianday(date('2026-12-01'))) / 7 AS INTEGER)",
        "select ((CAST(DATE '2026-12-20' AS date) - CAST(DATE '2026-12-01' AS date)) / 7)");
    row("datediff months", "select datediff('m', #2026-11-30#, #2027-01-01#)",
        "select CAST((CAST(strftime('%Y','2027-01-01') AS INTEGER) - CAST(strftime('%Y','2026-11-30') AS INTEGER)) * 12"
        " + CAST(strftime('%m','2027-01-01') AS INTEGER) - CAST(strftime('%m','2026-11-30') AS INTEGER) AS INTEGER)",
        "select CAST((EXTRACT(YEAR FROM CAST(DATE '2027-01-01' AS date)) - EXTRACT(YEAR FROM CAST(DATE '2026-11-30' AS date))) * 12"
        " + EXTRACT(MONTH FROM CAST(DATE '2027-01-01' AS date)) - EXTRACT(MONTH FROM CAST(DATE '2026-11-30' AS date)) AS integer)");
    row("datediff years", "select datediff('yyyy', #2026-12-31#, #2027-01-01#)",
        "select CAST(CAST(strftime('%Y','2027-01-01') AS INTEGER) - CAST(strftime('%Y','2026-12-31') AS INTEGER) AS INTEGER)",
        "select CAST(EXTRACT(YEAR FROM CAST(DATE '2027-01-01' AS date)) - EXTRACT(YEAR FROM CAST(DATE '2026-12-31' AS date)) AS integer)");
    // 'like' on a number or date column matches its text, as on the file.
    row("like on an integer column", "Select * from custom where CustCode like :Pattern",
        "Select * from custom where CustCode like :Pattern",
        "Select * from custom where CAST(CustCode AS citext) like :Pattern");
    row("like on a bracketed date column", "select * from custom where [AddDate] not like '2026%'",
        "select * from custom where \"AddDate\" not like '2026%'",
        "select * from custom where CAST(\"adddate\" AS citext) not like '2026%'");
    row("like on a yes/no column", "select CustCode from Contact where MainContact like :Pattern group by CustCode",
        "select CustCode from Contact where MainContact like :Pattern group by CustCode",
        "select CustCode from Contact where CAST(MainContact AS citext) like :Pattern group by CustCode");
    row("like on qualified columns", "select * from custom c, contact where c.AddDate like '2026%' or contact.CustCode like :P"
        " or [contact].[Birthday] like '19%' or c.Company like 'a%'",
        "select * from custom c, contact where c.AddDate like '2026%' or contact.CustCode like :P"
        " or \"contact\".\"Birthday\" like '19%' or c.Company like 'a%'",
        "select * from custom c, contact where CAST(c.AddDate AS citext) like '2026%' or CAST(contact.CustCode AS citext) like :P"
        " or CAST(\"contact\".\"birthday\" AS citext) like '19%' or c.Company like 'a%'");
    row("like on a text column unchanged", "select * from custom where Company like :Pattern",
        "select * from custom where Company like :Pattern");
    row("a column named like a function is not cast", "select * from T_Bill where BillDate likely", // no 'like' word
        "select * from T_Bill where BillDate likely");
    // A code that is a number in one table and text in another, compared with bare numbers.
    row("schedule code with a bare number", "select * from T_Schedule where CustCode=5",
        "select * from T_Schedule where CustCode=5", "select * from T_Schedule where CustCode='5'");
    row("code with blanks and a qualified name", "select * from custom c where c.CustCode <> 12 and CustCode >= -3",
        "select * from custom c where c.CustCode <> 12 and CustCode >= -3",
        "select * from custom c where c.CustCode <> '12' and CustCode >= '-3'");
    row("code in a list", "select * from %1 where CustCode in(4, 5)", "select * from %1 where CustCode in(4, 5)",
        "select * from %1 where CustCode in('4', '5')");
    row("code list with a parameter stays", "select * from Custom where CustCode in(4,:Code1)",
        "select * from Custom where CustCode in(4,:Code1)");
    row("code compared with a parameter", "delete from T_Schedule where CustCode=:CustCode",
        "delete from T_Schedule where CustCode=:CustCode");
    row("main contact flag", "select * from contact where MainContact=True",
        "select * from contact where MainContact=1", "select * from contact where MainContact='1'");
    row("number not after a code", "select * from contact where ContactID=5", "select * from contact where ContactID=5");
    // NULL sorts first on the file, last on the server unless told.
    row("order by items", "select * from T_Bill order by BillDate desc, [CustName], T_Bill.BillID asc -- newest",
        "select * from T_Bill order by BillDate desc, \"CustName\", T_Bill.BillID asc -- newest",
        "select * from T_Bill order by BillDate desc NULLS LAST, \"custname\" NULLS FIRST, T_Bill.BillID asc NULLS FIRST -- newest");
    row("order by with top and a sub-select", "select top 3 * from T_Daily where DailyID in (select DailyID from T_Daily "
        "order by AddDate desc) order by AddDate;",
        "select * from T_Daily where DailyID in (select DailyID from T_Daily order by AddDate desc) order by AddDate LIMIT 3;",
        "select * from T_Daily where DailyID in (select DailyID from T_Daily order by AddDate desc NULLS LAST) "
        "order by AddDate NULLS FIRST LIMIT 3;");
    row("order by a function", "select * from custom order by length(Company) desc, Company nulls last",
        "select * from custom order by length(Company) desc, Company nulls last",
        "select * from custom order by length(Company) desc NULLS LAST, Company nulls last");
    row("group by untouched", "select F_User, count(*) from custom group by F_User",
        "select F_User, count(*) from custom group by F_User");
    // Functions the server spells otherwise.
    row("ifnull and instr", "select ifnull(Company, ''), instr(Company, 'a') from custom",
        "select ifnull(Company, ''), instr(Company, 'a') from custom",
        "select coalesce(Company, ''), strpos(Company, 'a') from custom");
}

void TestSqlDialect::rewrite()
{
    QFETCH(QString, program);
    QFETCH(QString, engine);
    QFETCH(QString, server);
    QCOMPARE(SqlDialect::toEngine(program), engine);
    QCOMPARE(SqlDialect::toEngine(program, SqlEngine::Postgres), server);
}

void TestSqlDialect::quoteName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("server");
    QTest::newRow("mixed case") << "CustCode" << "\"CustCode\"" << "\"custcode\"";
    QTest::newRow("table") << "T_BillDetail" << "\"T_BillDetail\"" << "\"t_billdetail\"";
    QTest::newRow("non-ASCII kept") << "Name客户" << "\"Name客户\"" << "\"name客户\"";
    QTest::newRow("inner quote doubled") << "a\"B" << "\"a\"\"B\"" << "\"a\"\"b\"";
}

void TestSqlDialect::quoteName()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QString, server);
    QCOMPARE(SqlDialect::quoteName(name), file);
    QCOMPARE(SqlDialect::quoteName(name, SqlEngine::Postgres), server);
}

void TestSqlDialect::invalidDateIsRefused()
{
    QVERIFY_THROWS_EXCEPTION(DbError, SqlDialect::toEngine(QStringLiteral("select #2026-13-40#")));
}

void TestSqlDialect::splitStatements_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("one") << "select 1" << QStringList{"select 1"};
    QTest::newRow("closing semicolon dropped") << "select 1; \n" << QStringList{"select 1"};
    QTest::newRow("comment after the last") << "select 1; -- done" << QStringList{"select 1"};
    QTest::newRow("two") << "insert into a values (1);select 2" << QStringList{"insert into a values (1)", "select 2"};
    QTest::newRow("empty piece kept") << "select 1;;select 2" << QStringList{"select 1", "", "select 2"};
    QTest::newRow("garbage kept") << "select 1; xyz" << QStringList{"select 1", " xyz"};
    QTest::newRow("semicolons inside") << "select 'a;b', [c;d], \"e;f\", #2026-1-1# -- g;h\n/* i;j */;x"
                                       << QStringList{"select 'a;b', [c;d], \"e;f\", #2026-1-1# -- g;h\n/* i;j */", "x"};
    QTest::newRow("doubled quote") << "select 'O''Neil;'; select 2" << QStringList{"select 'O''Neil;'", " select 2"};
    QTest::newRow("empty text") << "" << QStringList{""};
    QTest::newRow("trigger body kept whole")
        << "create trigger t after insert on custom begin update custom set memo='a;b' where CustID=new.CustID; "
           "delete from note where 1=0; end; select 1"
        << QStringList{"create trigger t after insert on custom begin update custom set memo='a;b' where "
                       "CustID=new.CustID; delete from note where 1=0; end",
                       " select 1"};
    QTest::newRow("case inside a temporary trigger")
        << "CREATE TEMP TRIGGER t AFTER UPDATE ON custom BEGIN select case when 1 then 2 end; select 3; END;select 4"
        << QStringList{"CREATE TEMP TRIGGER t AFTER UPDATE ON custom BEGIN select case when 1 then 2 end; select 3; END",
                       "select 4"};
    QTest::newRow("begin outside a trigger") << "begin; select 1; end" << QStringList{"begin", " select 1", " end"};
}

void TestSqlDialect::splitStatements()
{
    QFETCH(QString, script);
    QFETCH(QStringList, pieces);
    QCOMPARE(SqlDialect::splitStatements(script), pieces);
}

void TestSqlDialect::refused_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("message"); // a part of the error text
    QTest::newRow("empty") << "" << "SQL 语句为空";
    QTest::newRow("blanks") << " \t\r\n " << "SQL 语句为空";
    QTest::newRow("a comment only") << "-- nothing to run" << "SQL 语句为空";
    QTest::newRow("a block comment only") << "/* nothing */ " << "SQL 语句为空";
    QTest::newRow("unclosed date") << "select * from T_Schedule where AwokeDate=#2026-12-10" << "日期缺少结尾的 #";
    QTest::newRow("lone hash") << "select # from custom" << "日期缺少结尾的 #";
    QTest::newRow("impossible date") << "select #2026-02-30#" << "无效的日期";
    QTest::newRow("unclosed bracket") << "select [Company from custom" << "缺少右方括号";
    QTest::newRow("nesting past any statement") << QString(5000, QLatin1Char('(')) << "嵌套过深";
}

// Text the translator cannot make sense of is an error with a clear message, never a
// statement that means something else (an unclosed #date would become a parameter).
void TestSqlDialect::refused()
{
    QFETCH(QString, program);
    QFETCH(QString, message);
    try {
        const QString engine = SqlDialect::toEngine(program);
        QFAIL(qPrintable(QStringLiteral("translated to: ") + engine));
    } catch (const DbError &error) {
        QVERIFY2(error.text().contains(message), qPrintable(error.text()));
    }
}

void TestSqlDialect::topLimitsItsOwnSelect_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("first"); // first column of the first row
    QTest::newRow("sub-select") << "select count(*) from custom where CustCode in "
                                   "(select top 2 CustCode from custom order by CustCode)" << 1 << "2";
    QTest::newRow("outer and sub-select") << "select top 1 CustCode from custom where CustCode in "
                                             "(select top 3 CustCode from custom order by CustCode desc) "
                                             "order by CustCode" << 1 << "3";
    QTest::newRow("trailing line comment") << "select top 2 CustCode from custom order by CustCode -- two" << 2 << "1";
    QTest::newRow("trailing block comment") << "select top 3 CustCode from custom /* three */" << 3 << "1";
    QTest::newRow("semicolon, then comment") << "select top 4 CustCode from custom; -- four" << 4 << "1";
}

// The same rows, run on the delivered database with five customers in it.
void TestSqlDialect::topLimitsItsOwnSelect()
{
    QFETCH(QString, sql);
    QFETCH(int, rows);
    QFETCH(QString, first);
    TestProgram program;
    auto connection = program.connect();
    connection->exec(QStringLiteral("insert into custom (CustCode, Company) values (1,'a'),(2,'b'),(3,'c'),(4,'d'),(5,'e')"));
    Dataset query(connection.get());
    query.setSql(sql);
    query.open();
    QCOMPARE(query.recordCount(), rows);
    QCOMPARE(Dataset::displayText(query.value(0, 0)), first);
}

// Every statement form that the windows write runs on the delivered database.
namespace {
QStringList quotedStatements()
{
    const char *statements[] = {
        "select * from admin where IsUser=True",
        "select * from admin where username='Admin'",
        "select * from Admin where Userid=1",
        "Select top 100 * from Custom",
        "Select top 100 * from Custom where F_User='Admin'",
        "Select * from Custom where F_User='Admin'",
        "Select * from custom where category like '01%'",
        "select * from Custom where CustCode in (1,2)",
        "select * from Custom where CustCode in(1,2)",
        "select * from Custom where CustID>0 and CustID<0",
        "select max(CustCode) as T_Code from Custom",
        "select count(*) as T_Num from Custom",
        "select sum(Salemoney) as T_Mon from T_BillDetail where BillCode='B1'",
        "select * from [custom] where ([Adddate]>=#2026-01-01#) AND ([Adddate]<=#2026-12-31#)",
        "select * from [S_BillDetail] where (BillDate>=#2026-12-01# and BillDate<=#2026-12-31#) and "
        "(F_User like'%%') and (CustName like'%%') and (GoodsCode like'%%')",
        "select * from [T_Goods] where (GoodsName like'%打印%')",
        "Select * from T_Goods where category like '01%'",
        "select * from Cust_Category where len(code)=2 order by code",
        "select * from Goods_Category where len(code)=4 and code like'01%' order by code",
        "select * from Dict_ClearData where F_Flag = true",
        "Select * from T_Schedule where AwokeDate=#2026-12-10#",
        "select * from T_Schedule where F_User='Admin' and awoke=True and datediff('y',Date(),[AwokeDate])='0'",
        "select * from T_Schedule where CustCode='5'",
        "select * from T_Schedule where CustCode=5",
        "Select * From Contact where CustCode=:CustCode",
        "select * from S_BillDetail where CustCode=:CustCode",
        "select * from T_BillDetail where BillCode=:BillCode",
        "select * from S_ViewCust where CustCode in(1,2)",
        "select CustCode from Contact where (tel like '%1%') group by CustCode",
        "select * from T_FieldShow where show=1 and TableName='Custom' order by ShowID",
        "select * from T_FieldShow where tablename='Custom' and Name='公司名称'",
        "update T_FieldShow set showid=0,width=80 where tablename='Custom' and field='CustCode'",
        "update T_FieldShow set show=1 where name='电话'",
        "select * from T_Import where F_Field<>' ' and tablename='custom'",
        "Select * from T_import order by importid",
        "select * from T_other where cataid='Units'",
        "select * from T_UserAuthority where UserName='Admin' order by UserAuthorityID",
        "select * from T_PartAuthority where PartName='普通用户'",
        "select * from T_SoftInfo",
        "select * from info",
        "Select * from T_Daily where subject like '%会%'",
        "Update Custom set Category='01' where CustCode=1",
        "Update Contact set CustCode=2 where CustCode=1",
        "Update T_Schedule set CustCode='2' where CustCode='1'",
        "update custom set MainContact='王' where CustCode=1",
        "delete from T_Schedule where CustCode='1'",
        "delete from Contact where CustCode=1",
        "delete from T_Bill where CustCode=1",
        "delete from T_BillDetail where BillCode='B1'",
        "delete from T_BillDetail where GoodsCode='G1'",
        "delete from T_Temp",
        "select BillCode from T_Bill where BillCode like'XS2026%'",
        "select * from Custom where CustCode in (select top 10 CustCode from Custom order by CustCode)",
        "select top 10 * from Custom -- a note",
        "select top 1 * from T_Schedule where AwokeDate=#2026-12-10# /* a note */",
    };
    QStringList list;
    for (const char *sql : statements)
        list.append(QString::fromUtf8(sql));
    return list;
}
} // namespace

void TestSqlDialect::everyQuotedStatementRuns_data()
{
    QTest::addColumn<QString>("sql");
    for (const QString &sql : quotedStatements())
        QTest::newRow(qPrintable(sql)) << sql;
}

void TestSqlDialect::everyQuotedStatementRuns()
{
    QFETCH(QString, sql);
    TestProgram program;
    auto connection = program.connect();
    Dataset query(connection.get());
    query.setSql(sql);
    if (sql.startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        query.open();
    else
        query.execute();
}

void TestSqlDialect::scheduleCodeMatchesQuotedAndBare()
{
    TestProgram program;
    auto connection = program.connect();
    connection->exec(QStringLiteral("insert into T_Schedule (CustCode, Company) values ('5','甲'), ('15','乙')"));
    connection->exec(QStringLiteral("insert into custom (CustCode, Company) values (5,'甲')"));
    for (const char *sql : {"select * from T_Schedule where CustCode='5'", "select * from T_Schedule where CustCode=5"}) {
        Dataset query(connection.get());
        query.setSql(QString::fromLatin1(sql));
        query.open();
        QCOMPARE(query.recordCount(), 1);
        QCOMPARE(query.text(QStringLiteral("Company")), QStringLiteral("甲"));
    }
    // Bound from the customer's integer code, as a linked detail does.
    Dataset customers(connection.get());
    customers.setSql(QStringLiteral("select * from custom"));
    customers.open();
    Dataset schedules(connection.get());
    schedules.setMaster(&customers);
    schedules.setSql(QStringLiteral("Select * From T_Schedule where CustCode=:CustCode"));
    schedules.open();
    QCOMPARE(schedules.recordCount(), 1);
}

void TestSqlDialect::likeEmptyPatternSkipsNull()
{
    TestProgram program;
    auto connection = program.connect();
    connection->exec(QStringLiteral("insert into T_Bill (BillCode, CustName, F_User) values ('B1','甲','Admin'), ('B2',NULL,'Admin')"));
    Dataset query(connection.get());
    query.setSql(QStringLiteral("select * from T_Bill where (CustName like'%%')"));
    query.open();
    QCOMPARE(query.recordCount(), 1);
}

void TestSqlDialect::dateDifferenceInDays()
{
    TestProgram program;
    auto connection = program.connect();
    const QDate today = QDate::currentDate();
    connection->exec(QStringLiteral("insert into T_Schedule (CustCode, F_User, Awoke, AwokeDate, Company) values "
                                    "('1','Admin',1,'%1','in three days'), ('2','Admin',1,'%2','today'), "
                                    "('3','Admin',1,NULL,'none'), ('4','Admin',0,'%1','not wanted')")
                         .arg(today.addDays(3).toString(Qt::ISODate), today.toString(Qt::ISODate)));
    Dataset query(connection.get());
    query.setSql(QStringLiteral("select * from T_Schedule where F_User='Admin' and awoke=True and "
                                "datediff('y',Date(),[AwokeDate])='3'"));
    query.open();
    QCOMPARE(query.recordCount(), 1);
    QCOMPARE(query.text(QStringLiteral("Company")), QStringLiteral("in three days"));
}

void TestSqlDialect::quotedValueSurvivesApostrophe()
{
    QCOMPARE(SqlText::quoted(QStringLiteral("O'Neil")), QStringLiteral("'O''Neil'"));
    TestProgram program;
    auto connection = program.connect();
    Dataset query(connection.get());
    query.setSql(QStringLiteral("insert into custom (CustCode, Company) values (1, ") + SqlText::quoted(QStringLiteral("O'Neil")) + QStringLiteral(")"));
    query.execute();
    query.setSql(QStringLiteral("select * from custom where company=") + SqlText::quoted(QStringLiteral("o'neil")));
    query.open();
    QCOMPARE(query.recordCount(), 1);
    QCOMPARE(query.text(QStringLiteral("company")), QStringLiteral("O'Neil"));
}

void TestSqlDialect::columnNamesInAnyCase()
{
    TestProgram program;
    auto connection = program.connect();
    connection->exec(QStringLiteral("insert into custom (CustCode, Company, AddDate) values (1, 'ACME', '2026-05-01')"));
    Dataset query(connection.get());
    query.setSql(QStringLiteral("select * from CUSTOM where ([adddate]>=#2026-05-01#) and COMPANY='acme'"));
    query.open();
    QCOMPARE(query.recordCount(), 1);
    QCOMPARE(query.date(QStringLiteral("Adddate")), QDate(2026, 5, 1));
}

// Every statement form the windows and the query functions write is accepted by the
// server in its server form, with its parameters sent as untyped text.
void TestSqlDialect::serverAcceptsEveryStatement_data()
{
    QTest::addColumn<QString>("sql");
    for (const QString &sql : quotedStatements())
        QTest::newRow(qPrintable(sql)) << sql;
    for (const QString &sql : programStatements())
        QTest::newRow(qPrintable(sql)) << sql;
}

void TestSqlDialect::serverAcceptsEveryStatement()
{
    if (const QString reason = PgScratch::skipReason(); !reason.isEmpty())
        QSKIP(qPrintable(reason));
    QFETCH(QString, sql);
    QVERIFY2(server()->error().isEmpty(), qPrintable(server()->error()));
    const QVariantMap values = {{"Day", QDate(2026, 12, 10)},      {"AddedFrom", QDate(2026, 1, 1)},
                                {"AddedTo", QDate(2026, 12, 31)},  {"DateFrom", QDate(2026, 1, 1)},
                                {"DateTo", QDate(2026, 12, 31)},   {"V2", QDate(2026, 3, 4)}};
    const QString script = QStringLiteral("BEGIN;\n") + serverRun(sql, values) + QStringLiteral("ROLLBACK;\n");
    const PgScratch::Result result = server()->query(script);
    QVERIFY2(result.exitCode == 0, qPrintable(SqlDialect::toEngine(sql, SqlEngine::Postgres) + QLatin1Char('\n') + result.errors));
}

// A small fixture, the same statements on both engines, the same rows back: text compared
// without regard to case, like and NULL, dates, codes that are text in one table, order
// of NULLs.
void TestSqlDialect::sameRowsOnBothEngines_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<QString>("rows"); // one line a row, fields apart by '|'
    auto row = [](const char *sql, const char *rows, const QVariantMap &values = {}) {
        QTest::newRow(sql) << QString::fromUtf8(sql) << values << QString::fromUtf8(rows);
    };
    row("select CustCode from custom where Company='acme ltd'", "1");
    row("select CustCode from custom where Company=:Company", "1", {{"Company", "ACME LTD"}});
    row("select CustCode from custom where company like '%ACME%' order by CustCode", "1\n2");
    row("select CustCode from custom where Company like :Pattern order by CustCode", "1\n2", {{"Pattern", "%Acme%"}});
    row("select Company from custom order by Company", "ACME Ltd\nacme trading\nBeta\n北京华星");
    row("select Company from custom order by Company desc", "北京华星\nBeta\nacme trading\nACME Ltd");
    row("select count(*) from custom group by F_User order by count(*)", "1\n3");
    row("select CustCode from custom where F_User in ('ADMIN') order by CustCode", "1\n3\n12");
    row("select count(*) from custom where (tel like'%%')", "3");
    row("select BillCode from T_Bill where (CustName like'%%') order by BillCode", "B1");
    row("select Company from T_Schedule where F_User='Admin' and awoke=True and datediff('y',Date(),[AwokeDate])='3'",
        "ACME Ltd");
    row("select Company from T_Schedule where F_User=:Operator and awoke=True and datediff('d',Date(),[AwokeDate])=0",
        "Beta", {{"Operator", "admin"}});
    row("select Company from T_Schedule where F_User=:Operator and awoke=True and datediff('y',Date(),[AwokeDate])=:Day",
        "ACME Ltd", {{"Operator", "Admin"}, {"Day", "3"}});
    row("select Company from T_Schedule where CustCode=12", "Beta");
    row("select Company from T_Schedule where CustCode='12'", "Beta");
    row("select Company from T_Schedule where CustCode=:CustCode", "Beta", {{"CustCode", 12}});
    row("select Company from custom where CustCode in (1,12) order by CustCode", "ACME Ltd\nBeta");
    row("select Company from custom where CustCode=:CustCode", "Beta", {{"CustCode", "12"}});
    row("select CustCode from custom where CustCode like '%2%' order by CustCode", "2\n12");
    row("select CustCode from custom where AddDate like '2026-1%'", "12");
    row("select c.CustCode from custom c where c.AddDate like '2026-1%' and [c].[CustCode] like '1%'", "12");
    row("select CustCode from custom where ([Adddate]>=#2026-06-01#) AND ([Adddate]<=#2026-12-31#) order by CustCode",
        "2\n12");
    row("select CustCode from custom where AddDate>=:From order by CustCode", "2\n12", {{"From", QDate(2026, 6, 1)}});
    row("select CustCode from custom order by AddDate, CustCode", "3\n1\n2\n12");
    row("select CustCode from custom order by AddDate desc, CustCode", "12\n2\n1\n3");
    row("select CustCode from Contact where (ContactName like '%王%') group by CustCode order by CustCode", "1\n3");
    row("select CustCode from Contact where MainContact like :Pattern group by CustCode order by CustCode", "1\n3",
        {{"Pattern", "%1%"}});
    row("select count(*) from contact where MainContact=True", "2");
    row("select sum(MainContact) from contact", "2");
    row("select max(CustCode) as T_Code from Custom", "12");
    row("select top 2 Company from custom order by CustID", "ACME Ltd\nacme trading");
    row("select top 1 CustCode from custom where CustCode in (select top 2 CustCode from custom order by CustCode desc) "
        "order by CustCode", "3");
    row("select ContactName from S_ViewCust where CustCode in(1,2) order by CustID, ContactName", "Li\n王经理\n<null>");
    row("select ContactName from S_ViewCust where CustCode in(1,2) order by ContactName", "<null>\nLi\n王经理");
    row("select GoodsCode, Number from S_BillDetail where CustCode=:CustCode", "G1|2", {{"CustCode", "1"}});
    row("select len(Company) from custom where CustCode=3", "4");
}

void TestSqlDialect::sameRowsOnBothEngines()
{
    if (const QString reason = PgScratch::skipReason(); !reason.isEmpty())
        QSKIP(qPrintable(reason));
    QFETCH(QString, sql);
    QFETCH(QVariantMap, values);
    QFETCH(QString, rows);
    const QDate today = QDate::currentDate();
    const QString fixture = QStringLiteral(
        "insert into custom (CustCode, Company, F_User, AddDate, tel) values (1, 'ACME Ltd', 'Admin', #2026-05-01#, '010');"
        "insert into custom (CustCode, Company, F_User, AddDate, tel) values (2, 'acme trading', '张三', #2026-06-15#, NULL);"
        "insert into custom (CustCode, Company, F_User, AddDate, tel) values (3, '北京华星', 'Admin', NULL, '021');"
        "insert into custom (CustCode, Company, F_User, AddDate, tel) values (12, 'Beta', 'admin', #2026-12-10#, '0755');"
        "insert into contact (CustCode, ContactName, MainContact) values (1, '王经理', True);"
        "insert into contact (CustCode, ContactName, MainContact) values (1, 'Li', False);"
        "insert into contact (CustCode, ContactName, MainContact) values (3, '王五', True);"
        "insert into T_Schedule (CustCode, Company, F_User, Awoke, AwokeDate) values ('1', 'ACME Ltd', 'Admin', True, #%1#);"
        "insert into T_Schedule (CustCode, Company, F_User, Awoke, AwokeDate) values ('12', 'Beta', 'Admin', True, #%2#);"
        "insert into T_Schedule (CustCode, Company, F_User, Awoke, AwokeDate) values ('3', '北京华星', 'admin', False, NULL);"
        "insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) values ('B1', #2026-12-01#, 1, 'ACME Ltd', 'Admin');"
        "insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) values ('B2', #2026-12-05#, 3, NULL, 'Admin');"
        "insert into T_BillDetail (BillCode, GoodsCode, Number, SalePrice, Discount, SaleMoney) values ('B1', 'G1', 2, 10, 1, 20);")
        .arg(today.addDays(3).toString(Qt::ISODate), today.toString(Qt::ISODate));

    // On the file.
    TestProgram program;
    auto connection = program.connect();
    for (const QString &statement : SqlDialect::splitStatements(fixture))
        connection->exec(SqlDialect::toEngine(statement));
    Statement statement(*connection, SqlDialect::toEngine(sql));
    for (int i = 1; i <= statement.parameterCount(); ++i)
        statement.bind(i, values.value(statement.parameterName(i)));
    QStringList fileRows;
    while (statement.step()) {
        QStringList fields;
        for (int column = 0; column < statement.columnCount(); ++column) {
            const QVariant value = statement.value(column);
            fields.append(value.isNull() ? QStringLiteral("<null>") : value.toString());
        }
        fileRows.append(fields.join(QLatin1Char('|')));
    }
    QCOMPARE(fileRows.join(QLatin1Char('\n')), rows);

    // On the server, in a database of its own for this case.
    PgScratch scratch;
    QVERIFY2(scratch.error().isEmpty(), qPrintable(scratch.error()));
    const PgScratch::Result loaded = scratch.runScript(SqlDialect::toEngine(fixture, SqlEngine::Postgres));
    QVERIFY2(loaded.exitCode == 0, qPrintable(loaded.errors));
    const PgScratch::Result result = scratch.query(serverRun(sql, values));
    QVERIFY2(result.exitCode == 0, qPrintable(SqlDialect::toEngine(sql, SqlEngine::Postgres) + QLatin1Char('\n') + result.errors));
    QCOMPARE(result.output.trimmed(), rows);
}

// A list's rows come in the order they were added on both engines: on the server a plain
// select from one table gets its autonumber key as order; anything with an order, a
// grouping or several tables stays as it is.
void TestSqlDialect::listsKeepInsertionOrder_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("server");
    QTest::newRow("whole table") << "select * from Custom" << "select * from Custom ORDER BY custid";
    QTest::newRow("with a condition") << "Select * from custom where category like '01%'"
                                      << "Select * from custom where category like '01%' ORDER BY custid";
    QTest::newRow("top N") << "select top 100 * from custom where F_User=:U"
                           << "select * from custom where F_User=$U ORDER BY custid LIMIT 100";
    QTest::newRow("an order of its own") << "select * from custom order by Company"
                                         << "select * from custom order by Company NULLS FIRST";
    QTest::newRow("a count") << "select count(*) from custom" << "select count(*) from custom";
    QTest::newRow("two tables") << "select * from custom, contact" << "select * from custom, contact";
    QTest::newRow("a sub-select") << "select * from custom where CustCode in (select CustCode from contact)"
                                  << "select * from custom where CustCode in (select CustCode from contact)";
    QTest::newRow("a view without a key") << "select * from S_ViewCust" << "select * from S_ViewCust";
}

void TestSqlDialect::listsKeepInsertionOrder()
{
    QFETCH(QString, program);
    QFETCH(QString, server);
    server.replace(QLatin1String("$U"), QLatin1String(":U"));
    QCOMPARE(SqlDialect::toEngineList(program, SqlEngine::Postgres), server);
    QCOMPARE(SqlDialect::toEngineList(program, SqlEngine::Sqlite), SqlDialect::toEngine(program, SqlEngine::Sqlite));
}

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
