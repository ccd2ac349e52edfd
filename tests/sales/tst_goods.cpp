#include "ModalDialogs.h"
#include "WindowFixture.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "sales/TFrm_AddGoods.h"
#include "sales/TFrm_Goods.h"
#include "sales/TFrm_S_Goods.h"
#include "sales/TFrm_SelectGoods.h"
#include "store/Connection.h"
#include "store/FaultInjection.h"
#include "store/queries/Goods.h"
#include "ui/DataGrid.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>

// The goods list, goods editor, goods search and goods picker driven as an operator
// would. Categories 01 电子 > 0101 手机 > 010101 智能机, 02 文具. Goods:
//   A100 手机甲   0101    price 12.5   (used by two lines of bill FH202601010001)
//   B200 智能机乙 010101
//   C300 铅笔     02
//   D400 杂项     no category
//   12'  O'Neil 笔 01
class TestGoods : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listFiltersByCategory();
    void refreshKeepsRows();
    void listMenusAndLayout();
    void addLoopWithCategoryPreset();
    void refusals_data();
    void refusals();
    void priceStoredAsNumber();
    void editUnchangedCode();
    void changedCodeCarriedIntoBillLines();
    void caseOnlyChangeRefused();
    void failedRenameRollsBack();
    void commandsWorkWithoutList();
    void searchStatements_data();
    void searchStatements();
    void searchDialogFillsList();
    void pickerAddsBillLines();
    void pickerAsksForStoredLine();
    void pickerEmptyList();
    void pickerForAnalysis();
    void pickerLayouts();
    void pickerSearchWhileTyping();
    void screenshots();

private:
    QVariant scalar(const QString &sql) { return m_fixture->scalar(sql); }
    int count(const QString &sql) { return m_fixture->count(sql); }
    QStringList codes(const Dataset *goods) const;
    static QTreeWidgetItem *node(QTreeWidget *tree, const QString &startsWith);
    std::unique_ptr<TFrm_AddGoods> editor(EditorMode mode);
    static void type(QWidget *editor, const char *name, const QString &text);

    std::unique_ptr<WindowFixture> m_fixture;
    TFrm_Data *m_data = nullptr;
    TFrm_Main *m_main = nullptr;
    ScriptedMessages *m_messages = nullptr;
};

void TestGoods::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_data = m_fixture->data.get();
    m_main = m_fixture->main.get();
    m_messages = &m_fixture->messages;
    Connection *c = m_data->connection();
    c->begin();
    c->exec(QStringLiteral("delete from Goods_Category"));
    c->exec(QStringLiteral("insert into Goods_Category (Code, Name) values ('01', '电子'), ('0101', '手机'), "
                           "('010101', '智能机'), ('02', '文具')"));
    c->exec(QStringLiteral("insert into T_Goods (GoodsCode, GoodsName, GoodsUnit, Units, Category, InPrice, SalePrice, CostPrice) "
                           "values ('A100', '手机甲', 'X1', '台', '0101', 10, 12.5, 11), "
                           "('B200', '智能机乙', 'X2', '台', '010101', 20, 25, 21), "
                           "('C300', '铅笔', 'HB', '支', '02', 0.5, 1, 0.6), "
                           "('D400', '杂项', null, null, null, 1, 2, 1), "
                           "('12''', 'O''Neil 笔', 'Q', '支', '01', 3, 4, 3)"));
    c->exec(QStringLiteral("insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) "
                           "values ('FH202601010001', '2026-01-01', 5, '华信科技', 'Admin')"));
    c->exec(QStringLiteral("insert into T_BillDetail (BillCode, GoodsCode, GoodsName, Number, SalePrice, Discount, SaleMoney) "
                           "values ('FH202601010001', 'A100', '手机甲', 1, 12.5, 1, 12.5), "
                           "('FH202601010001', 'A100', '手机甲', 2, 12.5, 1, 25), "
                           "('FH202601010001', 'C300', '铅笔', 1, 1, 1, 1)"));
    c->commit();
    m_fixture->login(QStringLiteral("Admin"), true, 0);
}

void TestGoods::cleanup()
{
    FaultInjection::disarm();
    m_fixture.reset();
}

QStringList TestGoods::codes(const Dataset *goods) const
{
    QStringList list;
    for (int row = 0; row < goods->recordCount(); ++row)
        list.append(goods->value(row, goods->fieldIndex(QStringLiteral("GoodsCode"))).toString());
    list.sort();
    return list;
}

QTreeWidgetItem *TestGoods::node(QTreeWidget *tree, const QString &startsWith)
{
    const auto found = tree->findItems(startsWith, Qt::MatchStartsWith | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

std::unique_ptr<TFrm_AddGoods> TestGoods::editor(EditorMode mode)
{
    auto w = std::make_unique<TFrm_AddGoods>(m_main);
    w->setMode(mode);
    w->show();
    return w;
}

void TestGoods::type(QWidget *editor, const char *name, const QString &text)
{
    child<QLineEdit>(editor, name)->setText(text);
}

// ------------------------------------------------------------------ goods list

void TestGoods::listFiltersByCategory()
{
    TFrm_Goods list(m_main);
    QCOMPARE(list.windowTitle(), QStringLiteral("商品管理"));
    QCOMPARE(child<QLabel>(&list, "Label1")->text(), QStringLiteral("商品资料"));
    QCOMPARE(codes(m_data->Qry_Goods), (QStringList{"12'", "A100", "B200", "C300", "D400"}));
    QCOMPARE(child<QStatusBar>(&list, "StatusBar1")->currentMessage(), QStringLiteral("当前共有 5 条商品记录"));
    auto *tree = child<QTreeWidget>(&list, "TreeView1");
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("商品分类"));
    QCOMPARE(TFrm_Goods::rememberedCategory(), QString());

    // 01 takes in its sub-categories, not 02, not the goods without a category.
    list.showNode(node(tree, QStringLiteral("01-")));
    QCOMPARE(codes(m_data->Qry_Goods), (QStringList{"12'", "A100", "B200"}));
    QCOMPARE(m_data->Qry_Goods->sql(), QStringLiteral("Select * from T_Goods where category like :Category"));
    QCOMPARE(m_data->Qry_Goods->parameter(QStringLiteral("Category")).toString(), QStringLiteral("01%"));
    QCOMPARE(child<QStatusBar>(&list, "StatusBar1")->currentMessage(), QStringLiteral("当前共有 3 条商品记录"));
    QCOMPARE(TFrm_Goods::rememberedCategory(), QStringLiteral("01"));

    list.showNode(node(tree, QStringLiteral("010101-")));
    QCOMPARE(codes(m_data->Qry_Goods), QStringList{"B200"});

    // The root lists everything and keeps the remembered category.
    list.showNode(tree->topLevelItem(0));
    QCOMPARE(codes(m_data->Qry_Goods).size(), 5);
    QCOMPARE(TFrm_Goods::rememberedCategory(), QStringLiteral("010101"));
    list.close();
}

void TestGoods::refreshKeepsRows()
{
    TFrm_Goods list(m_main);
    auto *tree = child<QTreeWidget>(&list, "TreeView1");
    list.showNode(node(tree, QStringLiteral("02-")));
    m_data->connection()->exec(QStringLiteral("insert into Goods_Category (Code, Name) values ('03', '食品')"));
    list.refreshTree();
    QVERIFY(node(tree, QStringLiteral("03-")));
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QCOMPARE(codes(m_data->Qry_Goods), QStringList{"C300"}); // until the tree is clicked
    list.close();
}

void TestGoods::listMenusAndLayout()
{
    TFrm_Goods list(m_main);
    list.show();
    QStringList entries;
    for (QAction *a : child<QMenu>(&list, "PopupMenu1")->actions())
        entries.append(a->text());
    QCOMPARE(entries, (QStringList{QStringLiteral("刷新"), QStringLiteral("商品分类管理")}));
    entries.clear();
    for (QAction *a : child<QMenu>(&list, "PopupMenu2")->actions())
        entries.append(a->objectName());
    QCOMPARE(entries, (QStringList{"AddGoods", "EditGoods", "DelGoods"}));
    auto *grid = child<DataGrid>(&list, "DBGridEh1");
    QCOMPARE(grid->columnFields().first(), QStringLiteral("GoodsCode"));
    QVERIFY(!grid->columnFields().contains(QStringLiteral("Memo"))); // hidden in the layout

    // The layout is applied again after a category click and saved on close.
    grid->horizontalHeader()->resizeSection(0, 177);
    list.close();
    QCOMPARE(count(QStringLiteral("select Width from T_FieldShow where TableName='Goods' and Field='GoodsCode'")), 177);
}

// ------------------------------------------------------------------ goods editor

void TestGoods::addLoopWithCategoryPreset()
{
    TFrm_Goods list(m_main);
    list.showNode(node(child<QTreeWidget>(&list, "TreeView1"), QStringLiteral("0101-")));
    list.showNode(child<QTreeWidget>(&list, "TreeView1")->topLevelItem(0)); // the root keeps 0101
    auto e = editor(EditorMode::Add);
    QCOMPARE(e->windowTitle(), QStringLiteral("添加商品"));
    QCOMPARE(child<QPushButton>(e.get(), "Btn_OK")->text(), QStringLiteral("新增(&A)"));
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_Category")->text(), QStringLiteral("手机"));
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_SalePrice")->text(), QStringLiteral("0"));
    auto *units = child<QComboBox>(e.get(), "Combo_Units");
    QVERIFY(units->count() > 0); // the delivered "Units" list

    for (const QString &code : {QStringLiteral("E500"), QStringLiteral("E501")}) {
        type(e.get(), "Edit_GoodsCode", code);
        type(e.get(), "Edit_GoodsName", QStringLiteral("新品") + code);
        type(e.get(), "Edit_SalePrice", QStringLiteral("8.8"));
        units->setEditText(QStringLiteral("箱"));
        child<QPushButton>(e.get(), "Btn_OK")->click();
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
        QVERIFY(e->isVisible());
        QCOMPARE(child<QLineEdit>(e.get(), "Edit_GoodsCode")->text(), QString());
        QCOMPARE(child<QLineEdit>(e.get(), "Edit_Category")->text(), QStringLiteral("手机"));
    }
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods where GoodsCode like 'E50%' and Category='0101' "
                                  "and SalePrice=8.8 and Units='箱' and InPrice=0")), 2);
    QCOMPARE(child<QStatusBar>(&list, "StatusBar1")->currentMessage(), QStringLiteral("当前共有 7 条商品记录"));
    e->close();
    list.close();
}

void TestGoods::refusals_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no code") << "" << "甲" << "1" << "商品编码不能为空!" << "Edit_GoodsCode";
    QTest::newRow("no name") << "Z1" << "" << "1" << "商品名称不能为空!" << "Edit_GoodsName";
    QTest::newRow("comma price") << "Z1" << "甲" << "12,5" << "销售定价“12,5”不是有效的数字，请输入数字，例如 12.5!"
                                 << "Edit_SalePrice";
    QTest::newRow("text price") << "Z1" << "甲" << "abc" << "销售定价“abc”不是有效的数字，请输入数字，例如 12.5!"
                                << "Edit_SalePrice";
    QTest::newRow("duplicate, other case") << "a100" << "甲" << "1" << "商品编码有重复，请您换一个产品编码!"
                                           << "Edit_GoodsCode";
}

void TestGoods::refusals()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    auto e = editor(EditorMode::Add);
    e->activateWindow();
    type(e.get(), "Edit_GoodsCode", code);
    type(e.get(), "Edit_GoodsName", name);
    type(e.get(), "Edit_SalePrice", price);
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{message});
    QCOMPARE(m_messages->last().title, QStringLiteral("警告"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods")), 5);
    QVERIFY(e->isVisible());
    QCOMPARE(e->focusWidget() ? e->focusWidget()->objectName() : QString(), focus);
}

void TestGoods::priceStoredAsNumber()
{
    SKIP_ON_SERVER(*m_fixture, "typeof");
    auto e = editor(EditorMode::Add);
    type(e.get(), "Edit_GoodsCode", QStringLiteral("O'Neil"));
    type(e.get(), "Edit_GoodsName", QStringLiteral("引号"));
    type(e.get(), "Edit_SalePrice", QStringLiteral("12.50"));
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
    QCOMPARE(scalar(QStringLiteral("select typeof(SalePrice) || ':' || SalePrice from T_Goods where GoodsCode='O''Neil'")).toString(),
             QStringLiteral("real:12.5"));
    e->close();
    QVERIFY(m_data->Qry_Goods->locate(QStringLiteral("GoodsCode"), QStringLiteral("O'Neil")));
    auto edit = editor(EditorMode::Edit);
    QCOMPARE(child<QLineEdit>(edit.get(), "Edit_SalePrice")->text(), QStringLiteral("12.5"));
    QCOMPARE(child<QLineEdit>(edit.get(), "Edit_Category")->text(), QString()); // no category
}

void TestGoods::editUnchangedCode()
{
    Goods::openAll(*m_data->Qry_Goods);
    QVERIFY(m_data->Qry_Goods->locate(QStringLiteral("GoodsCode"), QStringLiteral("A100")));
    auto e = editor(EditorMode::Edit);
    QCOMPARE(e->windowTitle(), QStringLiteral("编辑商品"));
    QCOMPARE(child<QPushButton>(e.get(), "Btn_OK")->text(), QStringLiteral("保存(&S)"));
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_Category")->text(), QStringLiteral("手机"));
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_GoodsName")->text(), QStringLiteral("手机甲"));
    // The navigator loads the row it moves to.
    child<RecordNavigator>(e.get(), "DBNavigator1")->NavNext->click();
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_GoodsCode")->text(), m_data->Qry_Goods->text(QStringLiteral("GoodsCode")));
    child<RecordNavigator>(e.get(), "DBNavigator1")->NavPrior->click();
    QCOMPARE(child<QLineEdit>(e.get(), "Edit_GoodsCode")->text(), QStringLiteral("A100"));
    type(e.get(), "Edit_GoodsName", QStringLiteral("手机甲二代"));
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QVERIFY(!e->isVisible());
    QCOMPARE(scalar(QStringLiteral("select GoodsName from T_Goods where GoodsCode='A100'")).toString(), QStringLiteral("手机甲二代"));
    QCOMPARE(scalar(QStringLiteral("select Category from T_Goods where GoodsCode='A100'")).toString(), QStringLiteral("0101"));
}

void TestGoods::changedCodeCarriedIntoBillLines()
{
    Goods::openAll(*m_data->Qry_Goods);
    QVERIFY(m_data->Qry_Goods->locate(QStringLiteral("GoodsCode"), QStringLiteral("A100")));
    auto e = editor(EditorMode::Edit);
    type(e.get(), "Edit_GoodsCode", QStringLiteral("A100-N"));
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
    QVERIFY(!e->isVisible());
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='A100-N'")), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='C300'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods where GoodsCode='A100-N'")), 1);
}

void TestGoods::caseOnlyChangeRefused()
{
    SKIP_ON_SERVER(*m_fixture, "the file engine's own SQL in the check");
    Goods::openAll(*m_data->Qry_Goods);
    QVERIFY(m_data->Qry_Goods->locate(QStringLiteral("GoodsCode"), QStringLiteral("A100")));
    auto e = editor(EditorMode::Edit);
    type(e.get(), "Edit_GoodsCode", QStringLiteral("a100"));
    child<QPushButton>(e.get(), "Btn_OK")->click();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("货品编码有重复，请您换一个货品编码!")});
    QVERIFY(e->isVisible());
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods where GoodsCode='A100' collate binary")), 1);
}

// Each statement of the rename failing in turn leaves goods and lines as they were,
// says so, and keeps the editor open with what was typed.
void TestGoods::failedRenameRollsBack()
{
    int failedSaves = 0;
    for (int n = 1;; ++n) {
        m_messages->shown.clear();
        Goods::openAll(*m_data->Qry_Goods);
        QVERIFY(m_data->Qry_Goods->locate(QStringLiteral("GoodsCode"), QStringLiteral("A100")));
        auto e = editor(EditorMode::Edit);
        type(e.get(), "Edit_GoodsCode", QStringLiteral("NEW"));
        // Counting starts with the save: the duplicate test is statement 1.
        FaultInjection::failAtStatement(n);
        child<QPushButton>(e.get(), "Btn_OK")->click();
        const int seen = FaultInjection::statementsSeen();
        FaultInjection::disarm();
        if (seen < n) {
            QVERIFY(!e->isVisible());
            QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='NEW'")), 2);
            QVERIFY(failedSaves >= 2); // the row's update and the lines' rename
            break;
        }
        QCOMPARE(count(QStringLiteral("select count(*) from T_Goods where GoodsCode='A100'")), 1);
        QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='A100'")), 2);
        QCOMPARE(count(QStringLiteral("select count(*) from T_Goods where GoodsCode='NEW'")), 0);
        QVERIFY(e->isVisible());
        QCOMPARE(child<QLineEdit>(e.get(), "Edit_GoodsCode")->text(), QStringLiteral("NEW"));
        QCOMPARE(m_messages->shown.size(), 1);
        // A failed read before the transaction is reported as it is; a failure inside it
        // as the failed save, and the list shows what is stored.
        if (m_messages->last().text == QStringLiteral("保存数据失败!")) {
            ++failedSaves;
            QCOMPARE(m_messages->last().title, QStringLiteral("提醒"));
            QVERIFY(m_data->Qry_Goods->locate(QStringLiteral("GoodsCode"), QStringLiteral("A100")));
        } else {
            QCOMPARE(m_messages->last().kind, Msg::Kind::ErrorReport);
        }
    }
}

void TestGoods::commandsWorkWithoutList()
{
    QVERIFY(!m_data->Qry_Goods->isOpen());
    const QString caption = captionWhenModal([this] { m_main->runHandler(QStringLiteral("AddGoods")); },
                                             [](QWidget *e) {
        type(e, "Edit_GoodsCode", QStringLiteral("M1"));
        type(e, "Edit_GoodsName", QStringLiteral("菜单新增"));
        child<QPushButton>(e, "Btn_OK")->click();
    });
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
    QCOMPARE(caption, QStringLiteral("添加商品"));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods where GoodsCode='M1' and ifnull(Category, '')=''")), 1);
    QVERIFY(m_main->M_Goods->isVisible());
    QVERIFY(m_main->AddGoods->isVisible());
    QCOMPARE(captionWhenModal([this] { m_main->runHandler(QStringLiteral("M_Goods")); }), QStringLiteral("商品管理"));
}

// ------------------------------------------------------------------ search and picker

void TestGoods::searchStatements_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("found");
    const int search = int(Goods::SearchStyle::Search), picker = int(Goods::SearchStyle::Picker);
    QTest::newRow("nothing") << "" << "" << "" << search << "select * from T_Goods"
                             << QStringList{"12'", "A100", "B200", "C300", "D400"};
    QTest::newRow("code alone") << "A1" << "" << "" << search << "select * from [T_Goods] where (GoodsCode like :Code)"
                                << QStringList{"A100"};
    QTest::newRow("code and name") << "0" << "机" << "" << search
        << "select * from [T_Goods] where (GoodsCode like :Code)AND(GoodsName like :Name)" << QStringList{"A100", "B200"};
    QTest::newRow("all three, picker") << "0" << "机" << "X2" << picker
        << "select * from [T_Goods] where (GoodsCode like:Code)AND(GoodsName like:Name)AND(GoodsUnit like:Unit)"
        << QStringList{"B200"};
    QTest::newRow("quote") << "'" << "" << "" << picker << "select * from [T_Goods] where (GoodsCode like:Code)"
                           << QStringList{"12'"};
    // An empty 规格 (GoodsUnit) never matches a condition on it.
    QTest::newRow("unit blank") << "" << "" << " " << search << "select * from [T_Goods] where (GoodsUnit like :Unit)"
                                << QStringList{};
}

void TestGoods::searchStatements()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    QFETCH(int, style);
    QFETCH(QString, statement);
    QFETCH(QStringList, found);
    Dataset goods(m_data->connection());
    Goods::openSearch(goods, {code, name, unit}, Goods::SearchStyle(style));
    QCOMPARE(goods.sql(), statement);
    if (!code.isEmpty())
        QCOMPARE(goods.parameter(QStringLiteral("Code")).toString(), QString('%' + code + '%'));
    QCOMPARE(codes(&goods), found);
}

void TestGoods::searchDialogFillsList()
{
    TFrm_Goods list(m_main);
    const QString caption = captionWhenModal([&] { child<QPushButton>(&list, "Btn_Search")->click(); }, [](QWidget *d) {
        type(d, "Edit_Name", QStringLiteral("笔"));
        child<QPushButton>(d, "Btn_OK")->click();
    });
    QCOMPARE(caption, QStringLiteral("查找货品"));
    QCOMPARE(codes(m_data->Qry_Goods), (QStringList{"12'", "C300"}));
    QCOMPARE(child<QStatusBar>(&list, "StatusBar1")->currentMessage(), QStringLiteral("当前共有 2 条商品记录"));
    list.close();
}

void TestGoods::pickerAddsBillLines()
{
    Dataset lines(m_data->connection());
    lines.setCachedUpdates(true);
    lines.setSql(QStringLiteral("select * from T_BillDetail where BillCode=:BillCode"));
    lines.open();
    TFrm_SelectGoods picker(m_main);
    picker.setMode(TFrm_SelectGoods::ForBill);
    picker.setBill(&lines, [] { return QStringLiteral("FH209901010001"); });
    picker.show();
    QCOMPARE(picker.windowTitle(), QStringLiteral("请选择货品"));
    QVERIFY(picker.goods()->locate(QStringLiteral("GoodsCode"), QStringLiteral("B200")));
    child<QPushButton>(&picker, "Btn_Select")->click();
    QVERIFY(picker.isVisible()); // more goods may follow
    QCOMPARE(lines.recordCount(), 1);
    QCOMPARE(lines.text(QStringLiteral("BillCode")), QStringLiteral("FH209901010001"));
    QCOMPARE(lines.text(QStringLiteral("GoodsCode")), QStringLiteral("B200"));
    QCOMPARE(lines.text(QStringLiteral("GoodsName")), QStringLiteral("智能机乙"));
    QCOMPARE(lines.text(QStringLiteral("GoodsUnit")), QStringLiteral("X2"));
    QCOMPARE(lines.text(QStringLiteral("Units")), QStringLiteral("台"));
    QCOMPARE(lines.number(QStringLiteral("SalePrice")), 25.0);
    QCOMPARE(lines.number(QStringLiteral("Discount")), 1.0);
    QCOMPARE(lines.number(QStringLiteral("Number")), 0.0);
    // Taken from the picker's list only.
    QVERIFY(!codes(picker.goods()).contains(QStringLiteral("B200")));
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods where GoodsCode='B200'")), 1);
    QCOMPARE(count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode='B200'")), 0);
    // A new search brings it back; choosing it again adds a second line without a question.
    picker.search();
    QVERIFY(picker.goods()->locate(QStringLiteral("GoodsCode"), QStringLiteral("B200")));
    child<QPushButton>(&picker, "Btn_Select")->click();
    QCOMPARE(lines.recordCount(), 2);
    QVERIFY(m_messages->shown.isEmpty());
    picker.close();
    QCOMPARE(count(QStringLiteral("select count(*) from T_Goods")), 5);
}

void TestGoods::pickerAsksForStoredLine()
{
    Dataset lines(m_data->connection());
    lines.setCachedUpdates(true);
    lines.setSql(QStringLiteral("select * from T_BillDetail where BillCode=:BillCode"));
    lines.setParameter(QStringLiteral("BillCode"), QStringLiteral("FH202601010001"));
    lines.open();
    TFrm_SelectGoods picker(m_main);
    picker.setBill(&lines, [] { return QStringLiteral("FH202601010001"); });
    QVERIFY(picker.goods()->locate(QStringLiteral("GoodsCode"), QStringLiteral("A100")));
    m_messages->answer(Msg::Answer::No);
    picker.choose();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("A100已经添加，还要添加吗？")});
    QCOMPARE(m_messages->last().title, QStringLiteral("询问"));
    QCOMPARE(lines.recordCount(), 3);
    QVERIFY(codes(picker.goods()).contains(QStringLiteral("A100")));
    m_messages->answer(Msg::Answer::Yes);
    picker.choose();
    QCOMPARE(lines.recordCount(), 4);
    QVERIFY(!codes(picker.goods()).contains(QStringLiteral("A100")));
}

void TestGoods::pickerEmptyList()
{
    Dataset lines(m_data->connection());
    lines.setCachedUpdates(true);
    lines.setSql(QStringLiteral("select * from T_BillDetail where BillCode=:BillCode"));
    lines.open();
    TFrm_SelectGoods picker(m_main);
    picker.setBill(&lines, [] { return QStringLiteral("X"); });
    type(&picker, "Edit_Code", QStringLiteral("nothing such"));
    picker.search();
    picker.choose();
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("没有货物！")});
    QCOMPARE(m_messages->last().kind, Msg::Kind::Plain);
    QCOMPARE(lines.recordCount(), 0);
}

void TestGoods::pickerForAnalysis()
{
    TFrm_SelectGoods picker(m_main);
    picker.setMode(TFrm_SelectGoods::ForAnalysis);
    picker.show();
    QVERIFY(picker.goods()->locate(QStringLiteral("GoodsCode"), QStringLiteral("C300")));
    child<QPushButton>(&picker, "Btn_Select")->click();
    QCOMPARE(picker.chosenCode(), QStringLiteral("C300"));
    QCOMPARE(picker.result(), int(QDialog::Accepted));
    QVERIFY(!picker.isVisible());

    TFrm_SelectGoods empty(m_main);
    empty.setMode(TFrm_SelectGoods::ForAnalysis);
    empty.show();
    type(&empty, "Edit_Code", QStringLiteral("nothing such"));
    empty.search();
    empty.choose();
    QCOMPARE(empty.chosenCode(), QString());
    QCOMPARE(empty.result(), int(QDialog::Accepted));
}

void TestGoods::pickerLayouts()
{
    TFrm_SelectGoods picker(m_main);
    picker.show();
    auto *grid = child<DataGrid>(&picker, "DBGridEh1");
    auto *tree = child<QTreeWidget>(&picker, "TreeView1");
    QCOMPARE(grid->columnFields().at(4), QStringLiteral("SalePrice")); // "SelectGoods"
    picker.showNode(node(tree, QStringLiteral("02-")));
    QCOMPARE(codes(picker.goods()), QStringList{"C300"});
    QCOMPARE(grid->columnFields().at(4), QStringLiteral("Category")); // "Goods"
    QCOMPARE(child<QStatusBar>(&picker, "StatusBar1")->currentMessage(), QStringLiteral("当前共有 1 条商品记录"));
    picker.showNode(tree->topLevelItem(0));
    QCOMPARE(grid->columnFields().at(4), QStringLiteral("SalePrice"));
    grid->horizontalHeader()->resizeSection(0, 133);
    picker.close();
    QCOMPARE(count(QStringLiteral("select Width from T_FieldShow where TableName='SelectGoods' and Field='GoodsCode'")), 133);
}

void TestGoods::pickerSearchWhileTyping()
{
    TFrm_SelectGoods picker(m_main);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    auto *code = child<QLineEdit>(&picker, "Edit_Code");
    code->setFocus();
    QTest::keyClicks(code, QStringLiteral("B2"));
    // The list follows the newest text once typing rests.
    QTRY_COMPARE(codes(picker.goods()), QStringList{"B200"});
    QTest::keyClick(code, Qt::Key_Backspace);
    QTest::keyClick(code, Qt::Key_Backspace);
    // Chinese text arrives as a key event with its text, as from an input method.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("笔"));
    QApplication::sendEvent(child<QLineEdit>(&picker, "Edit_Name"), &press);
    QTRY_COMPARE(codes(picker.goods()), (QStringList{"12'", "C300"}));
    // Typing in the 规格 input alone starts no search.
    QTest::keyClicks(child<QLineEdit>(&picker, "Edit_Unit"), QStringLiteral("HB"));
    QTest::qWait(300);
    QCOMPARE(codes(picker.goods()), (QStringList{"12'", "C300"}));
}

void TestGoods::screenshots()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    TFrm_Goods list(m_main);
    list.resize(960, 560);
    list.show();
    list.showNode(node(child<QTreeWidget>(&list, "TreeView1"), QStringLiteral("01-")));
    child<QTreeWidget>(&list, "TreeView1")->expandAll();
    QTest::qWait(100);
    QVERIFY(list.grab().save(QDir(folder).filePath(QStringLiteral("goods.png"))));
    QVERIFY(m_data->Qry_Goods->locate(QStringLiteral("GoodsCode"), QStringLiteral("A100")));
    auto e = editor(EditorMode::Edit);
    QTest::qWait(50);
    QVERIFY(e->grab().save(QDir(folder).filePath(QStringLiteral("goodseditor.png"))));
    TFrm_SelectGoods picker(m_main);
    picker.show();
    child<QTreeWidget>(&picker, "TreeView1")->expandAll();
    QTest::qWait(50);
    QVERIFY(picker.grab().save(QDir(folder).filePath(QStringLiteral("goodspicker.png"))));
    TFrm_S_Goods search(m_main);
    search.show();
    QTest::qWait(50);
    QVERIFY(search.grab().save(QDir(folder).filePath(QStringLiteral("goodssearch.png"))));
}

QTEST_MAIN(TestGoods)
#include "tst_goods.moc"
