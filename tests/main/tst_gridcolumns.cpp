// Grid column layouts from T_FieldShow, the re-sort by title marks and the saving of
// column order and widths, on the delivered database through the data module.
#include "TestProgram.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "ui/DataGrid.h"
#include "ui/DatasetModel.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

struct Shown
{
    QString field;
    QString title;
    int width;
};

// The shown rows of the delivered "Custom" layout, in ShowID order.
const QList<Shown> CustomLayout = {
    {"CustCode", "客户编号", 70},  {"Company", "公司名称", 200},  {"Category", "客户类别", 70},
    {"CustType", "客户类型", 80},  {"CustLevel", "客户级别", 80}, {"MainContact", "联系人", 70},
    {"tel", "电话", 110},          {"Mobile", "手机", 110},       {"fax", "传真", 110},
    {"email", "电子信箱", 150},    {"url", "网址", 150},          {"address", "通讯地址", 200},
    {"postcode", "邮编", 60},      {"city", "城市", 70},          {"province", "省份", 80},
    {"country", "国家", 60},       {"CustFrom", "客户来源", 80},  {"F_User", "业务员", 70},
    {"AddDate", "添加日期", 90},
};

// Company, city, in load (CustID) order.
const QList<QPair<QString, QString>> Customers = {
    {"Zhongxing", "Beijing"}, {"Anda", "Shanghai"}, {"zhongxing", "Anshan"},
    {"Meilin", "Chengdu"},    {"Anda", "Beijing"},  {"Meilin", "Anshan"},
};

} // namespace

class TestGridColumns : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void applyColumnsShowsTheCustomLayout();
    void layoutWithoutShownRowsKeepsDefaultColumns();
    void columnsFollowShowIdOrder();
    void missingFieldStopsAtThatRow();
    void sumsAndButtonsFromTheLayout();
    void quotesInNamesAreDoubled();
    void atMost51Columns();

    void sortText_data();
    void sortText();
    void applySortOrdersLoadedRows();
    void titleClicksThenApplySort();
    void applySortLeavesClosedQueryAlone();

    void saveColumnsWritesOrderAndWidths();
    void saveColumnsNotify_data();
    void saveColumnsNotify();

private:
    void addLayoutRow(const QString &layout, const QString &field, const QString &name, int width, int showId,
                      int show = 1, int sum = 0, int button = 0);
    QHash<QString, QPair<int, int>> savedRows(const QString &layout); // field -> (ShowID, Width)
    QStringList companiesAndCities() const;

    std::unique_ptr<TestProgram> m_program;
    ScriptedMessages m_messages;
    std::unique_ptr<TFrm_Data> m_data;
    std::unique_ptr<DataGrid> m_grid;
};

void TestGridColumns::init()
{
    m_program = std::make_unique<TestProgram>();
    m_messages = ScriptedMessages();
    Messages::install(&m_messages);
    m_data = std::make_unique<TFrm_Data>();
    QVERIFY(m_data->connectOK());
    for (const auto &[company, city] : Customers)
        m_data->connection()->exec(QStringLiteral("INSERT INTO custom (CustCode, Company, city) VALUES (%1, '%2', '%3')")
                                       .arg(Customers.indexOf({company, city}) + 1)
                                       .arg(company, city));
    TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom"));
    m_grid = std::make_unique<DataGrid>();
    m_grid->resize(1000, 300);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
}

void TestGridColumns::cleanup()
{
    m_grid.reset();
    m_data.reset();
    m_program.reset();
    Messages::install(nullptr);
}

void TestGridColumns::addLayoutRow(const QString &layout, const QString &field, const QString &name, int width,
                                   int showId, int show, int sum, int button)
{
    QString escaped = layout;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    m_data->connection()->exec(
        QStringLiteral("INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton)"
                       " VALUES ('%1', '%2', '%3', %4, %5, %6, %7, %8)")
            .arg(escaped, field, name)
            .arg(width)
            .arg(showId)
            .arg(show)
            .arg(sum)
            .arg(button));
}

QHash<QString, QPair<int, int>> TestGridColumns::savedRows(const QString &layout)
{
    Dataset rows(m_data->connection());
    QString escaped = layout;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    rows.setSql(QStringLiteral("select Field, ShowID, Width from T_FieldShow where TableName='%1'").arg(escaped));
    rows.open();
    QHash<QString, QPair<int, int>> result;
    for (int row = 0; row < rows.recordCount(); ++row)
        result.insert(rows.value(row, 0).toString(), {rows.value(row, 1).toInt(), rows.value(row, 2).toInt()});
    return result;
}

QStringList TestGridColumns::companiesAndCities() const
{
    Dataset *cust = m_data->Qry_Cust;
    QStringList rows;
    for (int row = 0; row < cust->recordCount(); ++row)
        rows.append(cust->value(row, cust->fieldIndex(QStringLiteral("Company"))).toString() + QLatin1Char('/')
                    + cust->value(row, cust->fieldIndex(QStringLiteral("city"))).toString());
    return rows;
}

// --- ApplyColumns

void TestGridColumns::applyColumnsShowsTheCustomLayout()
{
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("Custom"));

    QCOMPARE(m_grid->dataset(), m_data->Qry_Cust);
    QVERIFY(m_grid->hasConfiguredColumns());
    const QList<DataGrid::ColumnState> order = m_grid->columnOrder();
    QCOMPARE(order.size(), CustomLayout.size());
    DatasetModel *model = m_grid->datasetModel();
    for (int i = 0; i < CustomLayout.size(); ++i) {
        QCOMPARE(order.at(i).field, CustomLayout.at(i).field);
        QCOMPARE(order.at(i).width, CustomLayout.at(i).width);
        QCOMPARE(model->headerData(i, Qt::Horizontal).toString(), CustomLayout.at(i).title);
        QCOMPARE(m_data->Qry_Cust->displayLabel(m_data->Qry_Cust->fieldIndex(CustomLayout.at(i).field)),
                 CustomLayout.at(i).title);
    }
    QCOMPARE(m_data->Qry_FieldShow->sql(),
             QStringLiteral("select * from T_FieldShow where show=1 and TableName=:Layout order by ShowID"));
    QCOMPARE(m_data->Qry_FieldShow->parameter(QStringLiteral("Layout")).toString(), QStringLiteral("Custom"));
    QVERIFY(!m_grid->hasFooter());
    for (int column = 0; column < m_grid->gridColumnCount(); ++column)
        QVERIFY(!m_grid->hasButton(column));
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("Zhongxing"));

    // Titles stay when the query is run again (a search, a refresh).
    TFrm_Data::RunQuery(m_data->Qry_Cust, QStringLiteral("select * from custom where Company like 'A%'"));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("公司名称"));
    QCOMPARE(m_grid->columnOrder(), order);
}

void TestGridColumns::layoutWithoutShownRowsKeepsDefaultColumns()
{
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("Custom"));
    addLayoutRow(QStringLiteral("Hidden"), QStringLiteral("Company"), QStringLiteral("公司"), 99, 0, 0);

    for (const QString &layout : {QStringLiteral("NoSuchLayout"), QStringLiteral("Hidden")}) {
        GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, layout);
        QVERIFY2(!m_grid->hasConfiguredColumns(), qPrintable(layout));
        QCOMPARE(m_grid->columnFields(), m_data->Qry_Cust->fieldNames());
        QCOMPARE(m_grid->gridColumnCount(), m_data->Qry_Cust->fieldCount());
    }
}

void TestGridColumns::columnsFollowShowIdOrder()
{
    addLayoutRow(QStringLiteral("Order3"), QStringLiteral("city"), QStringLiteral("城市"), 61, 2);
    addLayoutRow(QStringLiteral("Order3"), QStringLiteral("Company"), QStringLiteral("公司"), 62, 0);
    addLayoutRow(QStringLiteral("Order3"), QStringLiteral("fax"), QStringLiteral("传真"), 64, 3, 0); // not shown
    addLayoutRow(QStringLiteral("Order3"), QStringLiteral("tel"), QStringLiteral("电话"), 63, 1);

    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("order3"));
    using CS = DataGrid::ColumnState;
    QCOMPARE(m_grid->columnOrder(), QList<CS>({{"Company", 62}, {"tel", 63}, {"city", 61}}));
    QCOMPARE(m_grid->datasetModel()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("城市"));
}

void TestGridColumns::missingFieldStopsAtThatRow()
{
    addLayoutRow(QStringLiteral("Bad"), QStringLiteral("Company"), QStringLiteral("公司"), 120, 0);
    addLayoutRow(QStringLiteral("Bad"), QStringLiteral("NoSuchField"), QStringLiteral("没有"), 50, 1);
    addLayoutRow(QStringLiteral("Bad"), QStringLiteral("city"), QStringLiteral("城市"), 80, 2, 1, 1);

    Dataset *cust = m_data->Qry_Cust;
    QString error;
    try {
        GridColumns::ApplyColumns(m_data.get(), m_grid.get(), cust, QStringLiteral("Bad"));
    } catch (const DbError &e) {
        error = e.text();
    }
    QVERIFY2(error.contains(QStringLiteral("NoSuchField")), qPrintable(error));
    // Rows before the bad one are applied, the bad one's column is there, the rest is not.
    QCOMPARE(m_grid->columnFields(), QStringList({"Company", "NoSuchField"}));
    QCOMPARE(cust->displayLabel(cust->fieldIndex(QStringLiteral("Company"))), QStringLiteral("公司"));
    QCOMPARE(cust->displayLabel(cust->fieldIndex(QStringLiteral("city"))), QStringLiteral("city"));
    QVERIFY(!m_grid->hasFooter());
    QCOMPARE(m_grid->datasetModel()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("公司"));

    // Run as a command handler, the error reaches the default error report.
    QVERIFY(!guarded(m_grid.get(), [&] {
        GridColumns::ApplyColumns(m_data.get(), m_grid.get(), cust, QStringLiteral("Bad"));
    }));
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.last().kind, Msg::Kind::ErrorReport);
    QCOMPARE(m_messages.last().text, error);
}

void TestGridColumns::sumsAndButtonsFromTheLayout()
{
    QObject billEditor; // bill-line amounts are calculated while a bill editor exists
    m_data->setBillEditor(&billEditor);
    Dataset *lines = m_data->Qry_BillDetail;
    lines->open();
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), lines, QStringLiteral("BillDetail"));
    QCOMPARE(m_grid->columnFields(), QStringList({"GoodsCode", "GoodsName", "GoodsUnit", "Units", "Number",
                                                  "SalePrice", "Discount", "money"}));

    const struct { const char *code; double number, price, discount; } bill[] = {
        {"G01", 2, 3.5, 1}, {"G02", 1.5, 10, 0.9}};
    for (const auto &line : bill) {
        lines->append();
        lines->setValue(QStringLiteral("GoodsCode"), QString::fromLatin1(line.code));
        lines->setValue(QStringLiteral("Number"), line.number);
        lines->setValue(QStringLiteral("SalePrice"), line.price);
        lines->setValue(QStringLiteral("Discount"), line.discount);
        lines->post();
    }
    auto column = [&](const char *field) { return m_grid->columnOfField(QString::fromLatin1(field)); };
    QVERIFY(m_grid->hasFooter());
    QCOMPARE(m_grid->footerText(column("Number")), QStringLiteral("3.5"));
    QCOMPARE(m_grid->footerText(column("money")), QStringLiteral("20.5"));
    QCOMPARE(m_grid->footerText(column("SalePrice")), QString());

    QVERIFY(m_grid->hasButton(column("GoodsCode")));
    QVERIFY(!m_grid->hasButton(column("GoodsName")));
    QSignalSpy clicked(m_grid.get(), &DataGrid::ellipsisClicked);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, m_grid->ellipsisButtonRect(1, column("GoodsCode")).center());
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.first().at(0).toInt(), 1);
    QCOMPARE(clicked.first().at(1).toString(), QStringLiteral("GoodsCode"));
    lines->cancelUpdates();
}

void TestGridColumns::quotesInNamesAreDoubled()
{
    const QString layout = QStringLiteral("O'Neil");
    addLayoutRow(layout, QStringLiteral("Company"), QStringLiteral("公司"), 111, 0);
    addLayoutRow(layout, QStringLiteral("city"), QStringLiteral("城市"), 77, 1);
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, layout);
    QCOMPARE(m_grid->columnFields(), QStringList({"Company", "city"}));
    QCOMPARE(m_data->Qry_FieldShow->parameter(QStringLiteral("Layout")).toString(), layout);

    m_grid->horizontalHeader()->moveSection(1, 0);
    GridColumns::SaveColumns(m_data.get(), m_grid.get(), layout, 0);
    QCOMPARE(savedRows(layout).value(QStringLiteral("city")), qMakePair(0, 77));
    QCOMPARE(savedRows(layout).value(QStringLiteral("Company")), qMakePair(1, 111));
}

void TestGridColumns::atMost51Columns()
{
    const QStringList fields = m_data->Qry_Cust->fieldNames();
    for (int i = 0; i < 60; ++i)
        addLayoutRow(QStringLiteral("Wide"), fields.at(i % fields.size()), QStringLiteral("第%1列").arg(i), 30, i);
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("Wide"));
    QCOMPARE(m_grid->gridColumnCount(), GridColumns::MaxColumns);
}

// --- ApplySort

void TestGridColumns::sortText_data()
{
    QTest::addColumn<QStringList>("marks"); // "field" ascending, "-field" descending
    QTest::addColumn<QString>("expected");

    QTest::newRow("no marks") << QStringList{} << QString();
    QTest::newRow("one ascending") << QStringList{"City"} << QStringLiteral("  City");
    QTest::newRow("descending then ascending") << QStringList{"-Company", "City"}
                                               << QStringLiteral("  Company DESC , City");
    QTest::newRow("last descending") << QStringList{"City", "-Company"} << QStringLiteral("  City, Company DESC ");
    QTest::newRow("three") << QStringList{"a", "-b", "c"} << QStringLiteral("  a, b DESC , c");
}

void TestGridColumns::sortText()
{
    QFETCH(QStringList, marks);
    QFETCH(QString, expected);
    QList<DataGrid::SortMark> list;
    for (const QString &mark : marks)
        list.append({mark.startsWith(QLatin1Char('-')) ? mark.mid(1) : mark, mark.startsWith(QLatin1Char('-'))});
    QCOMPARE(GridColumns::SortText(list), expected);
}

void TestGridColumns::applySortOrdersLoadedRows()
{
    Dataset *cust = m_data->Qry_Cust;
    m_grid->setDataset(cust);
    const QStringList loadOrder = companiesAndCities();
    // A row added after loading must not be seen by a re-sort.
    m_data->connection()->exec(QStringLiteral("INSERT INTO custom (CustCode, Company, city) VALUES (99, 'Zz', 'Zz')"));

    m_grid->setSortMarks({{QStringLiteral("Company"), true}, {QStringLiteral("City"), false}});
    GridColumns::ApplySort(m_grid.get(), cust);
    QCOMPARE(cust->sort(), QStringLiteral("  Company DESC , City"));
    QCOMPARE(companiesAndCities(), QStringList({"zhongxing/Anshan", "Zhongxing/Beijing", "Meilin/Anshan",
                                                "Meilin/Chengdu", "Anda/Beijing", "Anda/Shanghai"}));
    QCOMPARE(m_grid->datasetModel()->index(0, m_grid->columnOfField(QStringLiteral("city"))).data().toString(),
             QStringLiteral("Anshan"));

    m_grid->clearSortMarks();
    GridColumns::ApplySort(m_grid.get(), cust);
    QCOMPARE(cust->sort(), QString());
    QCOMPARE(companiesAndCities(), loadOrder);
}

void TestGridColumns::titleClicksThenApplySort()
{
    Dataset *cust = m_data->Qry_Cust;
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), cust, QStringLiteral("Custom"));
    // The window re-sorts on every title click.
    connect(m_grid.get(), &DataGrid::titleClicked, this, [&] { GridColumns::ApplySort(m_grid.get(), cust); });
    QHeaderView *titles = m_grid->horizontalHeader();
    auto click = [&](const char *field) {
        const int column = m_grid->columnOfField(QString::fromLatin1(field));
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(column) + 10, titles->height() / 2));
    };
    click("Company");
    click("Company");
    click("city");
    QCOMPARE(cust->sort(), QStringLiteral("  Company DESC , city"));
    QCOMPARE(companiesAndCities().first(), QStringLiteral("zhongxing/Anshan"));
    QCOMPARE(companiesAndCities().last(), QStringLiteral("Anda/Shanghai"));

    click("Company"); // removes the company mark
    QCOMPARE(cust->sort(), QStringLiteral("  city"));
    QCOMPARE(companiesAndCities().first().section(QLatin1Char('/'), 1), QStringLiteral("Anshan"));
}

void TestGridColumns::applySortLeavesClosedQueryAlone()
{
    Dataset *cust = m_data->Qry_Cust;
    m_grid->setDataset(cust);
    m_grid->setSortMarks({{QStringLiteral("Company"), true}});
    cust->close();
    GridColumns::ApplySort(m_grid.get(), cust);
    QCOMPARE(cust->sort(), QString());
    cust->open();
    QCOMPARE(cust->recordCount(), Customers.size());
    QCOMPARE(companiesAndCities().first(), QStringLiteral("Zhongxing/Beijing"));
}

// --- SaveColumns

void TestGridColumns::saveColumnsWritesOrderAndWidths()
{
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("Custom"));
    QHeaderView *titles = m_grid->horizontalHeader();
    titles->moveSection(2, 0); // the third column (Category) to the front
    titles->resizeSection(m_grid->columnOfField(QStringLiteral("Company")), 222);

    GridColumns::SaveColumns(m_data.get(), m_grid.get(), QStringLiteral("Custom"), 0);
    const auto saved = savedRows(QStringLiteral("Custom"));
    QCOMPARE(saved.value(QStringLiteral("Category")), qMakePair(0, 70));
    QCOMPARE(saved.value(QStringLiteral("CustCode")), qMakePair(1, 70));
    QCOMPARE(saved.value(QStringLiteral("Company")), qMakePair(2, 222));
    QCOMPARE(saved.value(QStringLiteral("CustType")), qMakePair(3, 80));
    QCOMPARE(saved.value(QStringLiteral("AddDate")), qMakePair(18, 90));
    QCOMPARE(saved.value(QStringLiteral("income")), qMakePair(19, 80)); // shown 0: untouched
    QCOMPARE(saved.value(QStringLiteral("CustID")), qMakePair(24, 60));

    // The next ApplyColumns shows the saved order and widths.
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("Custom"));
    const QList<DataGrid::ColumnState> order = m_grid->columnOrder();
    QCOMPARE(order.at(0), (DataGrid::ColumnState{"Category", 70}));
    QCOMPARE(order.at(1), (DataGrid::ColumnState{"CustCode", 70}));
    QCOMPARE(order.at(2), (DataGrid::ColumnState{"Company", 222}));

    // Columns without a row in the layout update nothing.
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("Empty"));
    GridColumns::SaveColumns(m_data.get(), m_grid.get(), QStringLiteral("Empty"), 0);
    QVERIFY(savedRows(QStringLiteral("Empty")).isEmpty());
}

void TestGridColumns::saveColumnsNotify_data()
{
    QTest::addColumn<int>("notify");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("notify 1 confirms") << 1 << true;
    QTest::newRow("notify 0 is silent") << 0 << false;
}

void TestGridColumns::saveColumnsNotify()
{
    QFETCH(int, notify);
    QFETCH(bool, confirmed);
    GridColumns::ApplyColumns(m_data.get(), m_grid.get(), m_data->Qry_Cust, QStringLiteral("Custom"));
    GridColumns::SaveColumns(m_data.get(), m_grid.get(), QStringLiteral("Custom"), notify);
    QCOMPARE(m_messages.shown.size(), confirmed ? 1 : 0);
    if (confirmed) {
        const Msg::Record &shown = m_messages.last();
        QCOMPARE(shown.kind, Msg::Kind::Confirm);
        QCOMPARE(shown.text, QStringLiteral("列属性已成功保存!"));
        QCOMPARE(shown.icon, Msg::Icon::Question);
        QCOMPARE(shown.buttons, Msg::Buttons::Ok);
    }
}

QTEST_MAIN(TestGridColumns)
#include "tst_gridcolumns.moc"
