#include "TestProgram.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"

#include <QSignalSpy>
#include <QtTest>

class TestDataset : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rowsAndNavigation();
    void fieldsWithoutRegardToCase();
    void appendWritesRowAndReadsKeyBack();
    void editPostsOnlyToItsRow();
    void cancelDiscards();
    void removeDeletesFromTable();
    void movingPostsPendingEdit();
    void badValueIsRefused();
    void readOnlyResults_data();
    void readOnlyResults();
    void detailFollowsMaster();
    void appendedDetailTakesMasterValues();
    void unlinkedDetailStays();
    void sortInMemory();
    void unknownSortFieldIsRefused();
    void cachedUpdatesApplyAsOneBatch();
    void cachedUpdatesDiscarded();
    void calculatedFieldAndLabels();
    void signalsForViews();
    void typedValues();
    void streamedRowsEqualLoadedRows();
    void streamedTextIsTheDisplayText();
    void refreshKeepsPosition();

private:
    void addCustomers();
    std::unique_ptr<TestProgram> m_program;
    std::unique_ptr<Connection> m_db;
    int count(const QString &sql)
    {
        Statement s(*m_db, sql);
        s.step();
        return s.value(0).toInt();
    }
};

void TestDataset::init()
{
    m_program = std::make_unique<TestProgram>();
    m_db = m_program->connect();
}

void TestDataset::cleanup()
{
    m_db.reset();
    m_program.reset();
}

void TestDataset::addCustomers()
{
    m_db->exec(QStringLiteral(
        "insert into custom (CustCode, Company, City, F_User, AddDate) values "
        "(1,'北京华信','北京','Admin','2026-01-05'), (2,'上海东方','上海','Admin','2026-02-10'), "
        "(3,'北京华信','天津','张三','2026-03-15'), (4,'广州南方','广州','张三','2026-04-20')"));
    m_db->exec(QStringLiteral(
        "insert into contact (CustCode, Company, ContactName) values "
        "(1,'北京华信','王经理'), (1,'北京华信','李会计'), (2,'上海东方','赵主任')"));
}

void TestDataset::rowsAndNavigation()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    QVERIFY(!q.isOpen());
    q.open();
    QCOMPARE(q.recordCount(), 4);
    QCOMPARE(q.currentRow(), 0);
    QVERIFY(q.bof());
    QVERIFY(!q.eof());
    QStringList seen;
    for (q.first(); !q.eof(); q.next())
        seen.append(q.text(QStringLiteral("City")));
    QCOMPARE(seen, (QStringList{QStringLiteral("北京"), QStringLiteral("上海"), QStringLiteral("天津"), QStringLiteral("广州")}));
    QCOMPARE(q.currentRow(), 3);
    q.prior();
    QCOMPARE(q.currentRow(), 2);
    q.last();
    QCOMPARE(q.currentRow(), 3);
    QVERIFY(q.locate(QStringLiteral("company"), QStringLiteral("上海东方")));
    QCOMPARE(q.integer(QStringLiteral("CustCode")), 2);

    q.setSql(QStringLiteral("select * from custom where CustID<0"));
    q.open();
    QVERIFY(q.isEmpty());
    QCOMPARE(q.currentRow(), -1);
    QVERIFY(q.eof() && q.bof());
    QVERIFY(q.isNull(QStringLiteral("Company")));
}

void TestDataset::fieldsWithoutRegardToCase()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from Custom"));
    q.open();
    QCOMPARE(q.text(QStringLiteral("COMPANY")), QStringLiteral("北京华信"));
    QCOMPARE(q.date(QStringLiteral("adddate")), QDate(2026, 1, 5));
    QCOMPARE(q.fieldIndex(QStringLiteral("custcode")), q.fieldIndex(QStringLiteral("CustCode")));
    QVERIFY_THROWS_EXCEPTION(DbError, q.value(QStringLiteral("NoSuchField")));
}

void TestDataset::appendWritesRowAndReadsKeyBack()
{
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom where F_User='Admin'"));
    q.open();
    q.append();
    QCOMPARE(q.state(), Dataset::State::Insert);
    q.setValue(QStringLiteral("CustCode"), QStringLiteral("7"));
    q.setValue(QStringLiteral("Company"), QStringLiteral("O'Neil 贸易"));
    q.setValue(QStringLiteral("AddDate"), QDate(2026, 12, 10));
    q.setValue(QStringLiteral("City"), QString()); // empty text is stored as no value
    q.post();
    QCOMPARE(q.state(), Dataset::State::Browse);
    QVERIFY(q.integer(QStringLiteral("CustID")) > 0);
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=7 and Company='O''Neil 贸易' "
                                  "and AddDate='2026-12-10' and City is null")), 1);
    QCOMPARE(count(QStringLiteral("select CustID from custom where CustCode=7")), int(q.integer(QStringLiteral("CustID"))));
}

void TestDataset::editPostsOnlyToItsRow()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    q.next();
    q.edit();
    q.setValue(QStringLiteral("City"), QStringLiteral("浦东"));
    QCOMPARE(q.text(QStringLiteral("City")), QStringLiteral("浦东"));
    QCOMPARE(count(QStringLiteral("select count(*) from custom where City='浦东'")), 0); // not before post
    q.post();
    QCOMPARE(count(QStringLiteral("select count(*) from custom where City='浦东' and CustCode=2")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from custom where City='浦东'")), 1);

    // The row vanished behind our back: the update reports it instead of pretending.
    m_db->exec(QStringLiteral("delete from custom where CustCode=2"));
    q.setValue(QStringLiteral("City"), QStringLiteral("again"));
    QVERIFY_THROWS_EXCEPTION(DbError, q.post());
    q.cancel();
}

void TestDataset::cancelDiscards()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    q.setValue(QStringLiteral("City"), QStringLiteral("changed"));
    q.cancel();
    QCOMPARE(q.text(QStringLiteral("City")), QStringLiteral("北京"));
    q.append();
    QCOMPARE(q.recordCount(), 5);
    q.cancel();
    QCOMPARE(q.recordCount(), 4);
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 4);
}

void TestDataset::removeDeletesFromTable()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    q.last();
    q.remove();
    QCOMPARE(q.recordCount(), 3);
    QCOMPARE(q.currentRow(), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode=4")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from custom")), 3);
}

void TestDataset::movingPostsPendingEdit()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    q.setValue(QStringLiteral("City"), QStringLiteral("moved"));
    q.next();
    QCOMPARE(q.state(), Dataset::State::Browse);
    QCOMPARE(count(QStringLiteral("select count(*) from custom where City='moved' and CustCode=1")), 1);
}

void TestDataset::badValueIsRefused()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    QVERIFY_THROWS_EXCEPTION(DbError, q.setValue(QStringLiteral("CustCode"), QStringLiteral("12a")));
    QVERIFY_THROWS_EXCEPTION(DbError, q.setValue(QStringLiteral("AddDate"), QStringLiteral("2026-02-30")));
    q.cancel();
    QCOMPARE(q.integer(QStringLiteral("CustCode")), 1);
}

void TestDataset::readOnlyResults_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("view") << "select * from S_BillDetail";
    QTest::newRow("column list") << "select CustCode, Company from custom";
    QTest::newRow("aggregate") << "select count(*) as T_Num from custom";
    QTest::newRow("join") << "select * from custom, contact where custom.CustCode=contact.CustCode";
}

void TestDataset::readOnlyResults()
{
    QFETCH(QString, sql);
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(sql);
    q.open();
    QVERIFY(q.isReadOnly());
    QVERIFY_THROWS_EXCEPTION(DbError, q.append());
    if (!q.isEmpty())
        QVERIFY_THROWS_EXCEPTION(DbError, q.edit());
}

void TestDataset::detailFollowsMaster()
{
    addCustomers();
    Dataset customers(m_db.get());
    customers.setSql(QStringLiteral("select * from custom"));
    Dataset contacts(m_db.get());
    contacts.setMaster(&customers);
    contacts.setSql(QStringLiteral("Select * From Contact where CustCode=:CustCode"));
    customers.open();
    contacts.open();
    QCOMPARE(contacts.recordCount(), 2);
    customers.next();
    QCOMPARE(contacts.recordCount(), 1);
    QCOMPARE(contacts.text(QStringLiteral("ContactName")), QStringLiteral("赵主任"));
    customers.next();
    QCOMPARE(contacts.recordCount(), 0);
    // Re-opening the master re-runs the detail for its new first row.
    customers.setSql(QStringLiteral("select * from custom where CustCode=2"));
    customers.open();
    QCOMPARE(contacts.recordCount(), 1);
    customers.setSql(QStringLiteral("select * from custom where CustCode=99"));
    customers.open();
    QCOMPARE(contacts.recordCount(), 0);
}

void TestDataset::appendedDetailTakesMasterValues()
{
    addCustomers();
    Dataset customers(m_db.get());
    customers.setSql(QStringLiteral("select * from custom"));
    customers.open();
    customers.next();
    Dataset contacts(m_db.get());
    contacts.setMaster(&customers);
    contacts.setSql(QStringLiteral("Select * From Contact where CustCode=:CustCode"));
    contacts.open();
    contacts.append();
    QCOMPARE(contacts.integer(QStringLiteral("CustCode")), 2);
    contacts.setValue(QStringLiteral("ContactName"), QStringLiteral("钱工"));
    contacts.post();
    QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode=2 and ContactName='钱工'")), 1);
}

void TestDataset::unlinkedDetailStays()
{
    addCustomers();
    Dataset customers(m_db.get());
    customers.setSql(QStringLiteral("select * from custom"));
    customers.open();
    Dataset contacts(m_db.get());
    contacts.setMaster(&customers);
    contacts.unlink();
    contacts.setSql(QStringLiteral("Select * from Contact order by ContactID"));
    contacts.open();
    QCOMPARE(contacts.recordCount(), 3);
    customers.next();
    QCOMPARE(contacts.recordCount(), 3);
    contacts.link();
    QVERIFY(contacts.isLinked());
}

void TestDataset::sortInMemory()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    q.setCurrentRow(1); // 上海东方 stays current through the sort
    QSignalSpy resets(&q, &Dataset::reset);
    q.setSort(QStringLiteral("  Company DESC , City"));
    QCOMPARE(resets.count(), 1);
    QStringList order;
    for (int row = 0; row < q.recordCount(); ++row)
        order.append(q.value(row, q.fieldIndex(QStringLiteral("Company"))).toString() + QLatin1Char('/')
                     + q.value(row, q.fieldIndex(QStringLiteral("City"))).toString());
    // Chinese text in pinyin order: 北京 (bei) < 广州 (guang) < 上海 (shang); descending here.
    QCOMPARE(order, (QStringList{QStringLiteral("上海东方/上海"), QStringLiteral("广州南方/广州"),
                                 QStringLiteral("北京华信/北京"), QStringLiteral("北京华信/天津")}));
    QCOMPARE(q.text(QStringLiteral("Company")), QStringLiteral("上海东方"));
    q.setSort(QStringLiteral("CustCode desc"));
    QCOMPARE(q.value(0, q.fieldIndex(QStringLiteral("CustCode"))).toInt(), 4);
    q.setSort(QString());
    QCOMPARE(q.value(0, q.fieldIndex(QStringLiteral("CustCode"))).toInt(), 1);
    QCOMPARE(q.value(3, q.fieldIndex(QStringLiteral("CustCode"))).toInt(), 4);
}

void TestDataset::unknownSortFieldIsRefused()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    QVERIFY_THROWS_EXCEPTION(DbError, q.setSort(QStringLiteral("  Nope DESC")));
}

void TestDataset::cachedUpdatesApplyAsOneBatch()
{
    m_db->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, Number, SalePrice, Discount) values "
                              "('B1','G1',1,10,1), ('B1','G2',2,20,1)"));
    Dataset lines(m_db.get());
    lines.setCachedUpdates(true);
    lines.setSql(QStringLiteral("select * from T_BillDetail where BillCode='B1'"));
    lines.open();
    lines.setValue(QStringLiteral("Number"), 5);
    lines.next();
    lines.remove();
    lines.append();
    lines.setValue(QStringLiteral("BillCode"), QStringLiteral("B1"));
    lines.setValue(QStringLiteral("GoodsCode"), QStringLiteral("G3"));
    lines.post();
    QVERIFY(lines.hasPendingUpdates());
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='G3'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='G2'")), 1);

    // A failed batch leaves everything pending, so it can be applied again after a rollback.
    m_db->begin();
    m_db->exec(QStringLiteral("drop table T_BillDetail")); // made to fail inside the transaction
    QVERIFY_THROWS_EXCEPTION(DbError, lines.applyUpdates());
    m_db->rollback();
    QVERIFY(lines.hasPendingUpdates());

    m_db->begin();
    lines.applyUpdates();
    m_db->commit();
    QVERIFY(!lines.hasPendingUpdates());
    QCOMPARE(count(QStringLiteral("select Number from T_BillDetail where GoodsCode='G1'")), 5);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='G2'")), 0);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='G3'")), 1);
    QVERIFY(lines.locate(QStringLiteral("GoodsCode"), QStringLiteral("G3")));
    QCOMPARE(lines.integer(QStringLiteral("BillDetailID")),
             qint64(count(QStringLiteral("select BillDetailID from T_BillDetail where GoodsCode='G3'"))));
}

void TestDataset::cachedUpdatesDiscarded()
{
    m_db->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, Number) values ('B1','G1',1)"));
    Dataset lines(m_db.get());
    lines.setCachedUpdates(true);
    lines.setSql(QStringLiteral("select * from T_BillDetail"));
    lines.open();
    lines.setValue(QStringLiteral("Number"), 9);
    lines.append();
    lines.post();
    lines.cancelUpdates();
    QCOMPARE(lines.recordCount(), 1);
    QCOMPARE(lines.number(QStringLiteral("Number")), 1.0);
    QVERIFY(!lines.hasPendingUpdates());
}

void TestDataset::calculatedFieldAndLabels()
{
    m_db->exec(QStringLiteral("insert into T_BillDetail (BillCode, Number, SalePrice, Discount) values ('B1',3,2.5,0.9)"));
    Dataset lines(m_db.get());
    lines.addCalculatedField(QStringLiteral("money"), FieldKind::Currency, [](const Dataset &d, int row) {
        return QVariant(d.value(row, d.fieldIndex(QStringLiteral("Number"))).toDouble() * 2);
    });
    lines.setSql(QStringLiteral("select * from T_BillDetail"));
    lines.open();
    QCOMPARE(lines.number(QStringLiteral("MONEY")), 6.0);
    QVERIFY(lines.fieldDef(lines.fieldIndex(QStringLiteral("money"))).calculated);
    QVERIFY_THROWS_EXCEPTION(DbError, lines.setValue(QStringLiteral("money"), 1));
    lines.setValue(QStringLiteral("Number"), 4); // the calculation sees the edit at once
    QCOMPARE(lines.number(QStringLiteral("money")), 8.0);
    lines.cancel();

    lines.setDisplayLabel(QStringLiteral("goodscode"), QStringLiteral("商品编号"));
    QCOMPARE(lines.displayLabel(lines.fieldIndex(QStringLiteral("GoodsCode"))), QStringLiteral("商品编号"));
    QCOMPARE(lines.displayLabel(lines.fieldIndex(QStringLiteral("Units"))), QStringLiteral("Units"));
    QVERIFY_THROWS_EXCEPTION(DbError, lines.setDisplayLabel(QStringLiteral("NoSuchField"), QStringLiteral("x")));
}

void TestDataset::signalsForViews()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    QSignalSpy reset(&q, &Dataset::reset), changed(&q, &Dataset::rowChanged), inserted(&q, &Dataset::rowInserted),
        removed(&q, &Dataset::rowRemoved), current(&q, &Dataset::currentRowChanged);
    q.open();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(current.count(), 1);
    q.setCurrentRow(2);
    QCOMPARE(current.last().at(0).toInt(), 2);
    q.setValue(QStringLiteral("City"), QStringLiteral("x"));
    q.post();
    QVERIFY(changed.count() >= 1);
    QCOMPARE(changed.last().at(0).toInt(), 2);
    q.append();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.last().at(0).toInt(), 4);
    q.cancel();
    QCOMPARE(removed.count(), 1);
    q.setCurrentRow(0);
    q.remove();
    QCOMPARE(removed.count(), 2);
    QCOMPARE(removed.last().at(0).toInt(), 0);
    QCOMPARE(reset.count(), 1); // single-row changes never reset the views
}

void TestDataset::typedValues()
{
    m_db->exec(QStringLiteral("insert into T_Schedule (CustCode, Awoke, AwokeDate, StartDate) values ('12', 1, '2026-12-24', NULL)"));
    m_db->exec(QStringLiteral("insert into T_Goods (GoodsCode, SalePrice) values ('G1', 12.5)"));
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from T_Schedule"));
    q.open();
    QCOMPARE(q.value(QStringLiteral("Awoke")).typeId(), int(QMetaType::Bool));
    QVERIFY(q.boolean(QStringLiteral("Awoke")));
    QCOMPARE(q.value(QStringLiteral("AwokeDate")).toDate(), QDate(2026, 12, 24));
    QVERIFY(q.isNull(QStringLiteral("StartDate")));
    QCOMPARE(q.value(QStringLiteral("CustCode")).toString(), QStringLiteral("12"));
    q.setValue(QStringLiteral("Awoke"), false);
    q.setValue(QStringLiteral("AwokeDate"), QStringLiteral("2027/1/2"));
    q.post();
    QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Awoke=0 and AwokeDate='2027-01-02'")), 1);
    Dataset goods(m_db.get());
    goods.setSql(QStringLiteral("select * from T_Goods"));
    goods.open();
    QCOMPARE(goods.number(QStringLiteral("SalePrice")), 12.5);
}

// Streaming hands over the same typed values as a loaded dataset, row by row, keeps
// none of them, and leaves a dataset that opens as before.
void TestDataset::streamedRowsEqualLoadedRows()
{
    m_db->exec(QStringLiteral("insert into T_Schedule (CustCode, Awoke, AwokeDate, StartDate, Memo) values "
                              "('12', 1, '2026-12-24', NULL, 'a\tb'), (7, 0, 'not a date', '2026-01-02', NULL)"));
    Dataset loaded(m_db.get());
    loaded.setSql(QStringLiteral("select * from T_Schedule where CustCode<>:None"));
    loaded.setParameter(QStringLiteral("None"), QStringLiteral("x"));
    loaded.open();
    QCOMPARE(loaded.recordCount(), 2);

    Dataset streamed(m_db.get());
    streamed.setSql(loaded.sql());
    streamed.setParameter(QStringLiteral("None"), QStringLiteral("x"));
    QStringList names;
    QList<QList<QVariant>> rows;
    streamed.streamRows([&] { names = streamed.fieldNames(); }, [&](const QList<QVariant> &values) { rows.append(values); });
    QCOMPARE(names, loaded.fieldNames());
    QCOMPARE(rows.size(), 2);
    for (int row = 0; row < 2; ++row)
        for (int field = 0; field < loaded.fieldCount(); ++field)
            QCOMPARE(rows.at(row).at(field), loaded.value(row, field));
    QVERIFY(!streamed.isOpen());
    streamed.open();
    QCOMPARE(streamed.recordCount(), 2);
}

// The text stream hands over, for every storage class in every kind of column, exactly
// the text displayText() gives for the value the dataset reads.
void TestDataset::streamedTextIsTheDisplayText()
{
    m_db->exec(QStringLiteral("create table Kinds (t VARCHAR(20), i INTEGER, d DOUBLE, c CURRENCY, b BOOLEAN, "
                              "day DATETEXT, m LONGTEXT, u)"));
    const QStringList values = {QStringLiteral("'文本'"), QStringLiteral("'0012'"), QStringLiteral("42"),
                                QStringLiteral("-9007199254740993"), QStringLiteral("2.5"), QStringLiteral("0.1"),
                                QStringLiteral("1e20"), QStringLiteral("NULL"), QStringLiteral("''"),
                                QStringLiteral("'2026-12-24'"), QStringLiteral("'2026-12-24 08:30:00'"),
                                QStringLiteral("'not a date'"), QStringLiteral("'2024-02-30'"),
                                QStringLiteral("'2024-3-5'"), QStringLiteral("'２０２４-03-05'"), QStringLiteral("1"), QStringLiteral("0"),
                                QStringLiteral("'a\tb\nc'"), QStringLiteral("x'00ff'"), QStringLiteral("20261224")};
    for (const QString &v : values)
        m_db->exec(QStringLiteral("insert into Kinds values (%1, %1, %1, %1, %1, %1, %1, %1)").arg(v));
    Dataset loaded(m_db.get());
    loaded.setSql(QStringLiteral("select * from Kinds"));
    loaded.open();
    QCOMPARE(loaded.recordCount(), values.size());

    Dataset streamed(m_db.get());
    streamed.setSql(loaded.sql());
    int row = 0;
    streamed.streamText([] {}, [&](const QByteArrayView *cells, int count) {
        QCOMPARE(count, loaded.fieldCount());
        for (int field = 0; field < count; ++field) {
            const QByteArray expected = Dataset::displayText(loaded.value(row, field)).toUtf8();
            if (cells[field] != QByteArrayView(expected))
                QFAIL(qPrintable(QStringLiteral("value %1 in column %2: \"%3\" instead of \"%4\"")
                                     .arg(values.at(row), loaded.fieldNames().at(field),
                                          QString::fromUtf8(cells[field].toByteArray()), QString::fromUtf8(expected))));
        }
        ++row;
    });
    QCOMPARE(row, values.size());
}

void TestDataset::refreshKeepsPosition()
{
    addCustomers();
    Dataset q(m_db.get());
    q.setSql(QStringLiteral("select * from custom"));
    q.open();
    q.setCurrentRow(2);
    m_db->exec(QStringLiteral("insert into custom (CustCode, Company) values (5,'新客户')"));
    q.refresh();
    QCOMPARE(q.recordCount(), 5);
    QCOMPARE(q.integer(QStringLiteral("CustCode")), 3);
}

QTEST_GUILESS_MAIN(TestDataset)
#include "tst_dataset.moc"
