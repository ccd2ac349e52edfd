#include "TestProgram.h"
#include "data/TFrm_Data.h"
#include "main/CategoryTree.h"
#include "main/TFrm_Tree.h"
#include "store/CategoryCode.h"
#include "store/Connection.h"
#include "ui/Messages.h"

#include <QAction>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

using namespace CategoryCode;

class TestCategoryTree : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void codeLevel_data();
    void codeLevel();
    void padCode_data();
    void padCode();
    void proposal_data();
    void proposal();
    void treeLeavesOutCodesWithoutLevel();
    void saveRefusalsInOrder_data();
    void saveRefusalsInOrder();
    void addChildAndSibling();
    void renameChangesOnlyTheName();
    void deleteRefusedWithChildren();
    void deleteLeafAfterConfirmation();
    void pickerHandsBackChoice_data();
    void pickerHandsBackChoice();
    void treeAndTableStayInStep();
    void screenshot();

private:
    void setCodes(const QStringList &codes);
    QTreeWidgetItem *node(TFrm_Tree &w, const QString &code);
    int rows(const QString &where);
    std::unique_ptr<TestProgram> m_program;
    std::unique_ptr<TFrm_Data> m_data;
    ScriptedMessages m_messages;
};

void TestCategoryTree::init()
{
    m_messages = ScriptedMessages();
    Messages::install(&m_messages);
    m_program = std::make_unique<TestProgram>();
    m_data = std::make_unique<TFrm_Data>();
}

void TestCategoryTree::cleanup()
{
    m_data.reset();
    m_program.reset();
    Messages::install(nullptr);
}

void TestCategoryTree::setCodes(const QStringList &codes)
{
    m_data->connection()->exec(QStringLiteral("delete from Cust_Category"));
    for (const QString &code : codes)
        m_data->connection()->exec(QStringLiteral("insert into Cust_Category (code, name) values ('%1', '类别%1')").arg(code));
}

int TestCategoryTree::rows(const QString &where)
{
    Statement s(*m_data->connection(), QStringLiteral("select count(*) from Cust_Category where ") + where);
    s.step();
    return s.value(0).toInt();
}

QTreeWidgetItem *TestCategoryTree::node(TFrm_Tree &w, const QString &code)
{
    const auto items = w.TreeView1->findItems(code + QLatin1Char('-'), Qt::MatchStartsWith | Qt::MatchRecursive);
    for (QTreeWidgetItem *item : items)
        if (CategoryCode::nodeCode(item->text(0)) == code)
            return item;
    return nullptr;
}

void TestCategoryTree::codeLevel_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("level");
    QTest::newRow("level 1") << "222222222" << "01" << 1;
    QTest::newRow("level 2") << "222222222" << "0103" << 2;
    QTest::newRow("level 9") << "222222222" << "010203040506070809" << 9;
    QTest::newRow("odd") << "222222222" << "010" << -1;
    QTest::newRow("too long") << "222222222" << "01020304050607080910" << -1;
    QTest::newRow("empty code") << "222222222" << "" << -1;
    QTest::newRow("empty pattern") << "" << "01" << -1;
}

void TestCategoryTree::codeLevel()
{
    QFETCH(QString, pattern);
    QFETCH(QString, code);
    QFETCH(int, level);
    QCOMPARE(CodeLevel(pattern, code), level);
}

void TestCategoryTree::padCode_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("code");
    QTest::newRow("7") << qint64(7) << "07";
    QTest::newRow("10") << qint64(10) << "10";
    QTest::newRow("110") << qint64(110) << "0110";
    QTest::newRow("1002") << qint64(1002) << "1002";
}

void TestCategoryTree::padCode()
{
    QFETCH(qint64, value);
    QFETCH(QString, code);
    QCOMPARE(PadCode(value), code);
}

void TestCategoryTree::proposal_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("child");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty table") << "" << "0301" << true << "01";
    QTest::newRow("root, 01 to 09") << "01 02 03 04 05 06 07 08 09" << "" << true << "10";
    QTest::newRow("leaf 03") << "01 02 03" << "03" << true << "0301";
    QTest::newRow("03 with two children") << "03 0301 0302" << "03" << true << "0303";
    QTest::newRow("01 with children to 0109") << "01 0101 0102 0103 0104 0105 0106 0107 0108 0109 02 0201" << "01" << true << "0110";
    QTest::newRow("grandchildren ignored") << "03 0301 030101 030102" << "03" << true << "0302";
    QTest::newRow("sibling of 0302") << "01 0101 0105 03 0301 0302" << "0302" << false << "0303";
    QTest::newRow("sibling level 1") << "01 02 0201" << "01" << false << "03";
    QTest::newRow("sibling carries past 99") << "01 0199" << "0199" << false << "0200";
    QTest::newRow("after 99") << "98 99" << "99" << false << "0100";
    QTest::newRow("child of unknown code") << "01" << "0501" << true << "0501";
}

void TestCategoryTree::proposal()
{
    QFETCH(QString, codes);
    QFETCH(QString, current);
    QFETCH(bool, child);
    QFETCH(QString, expected);
    setCodes(codes.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    Dataset scratch(m_data->connection());
    const Proposal p = propose(scratch, QStringLiteral("Cust_Category"), current, child);
    QCOMPARE(p.code.value_or(current), expected);
}

void TestCategoryTree::treeLeavesOutCodesWithoutLevel()
{
    setCodes({QStringLiteral("01"), QStringLiteral("0101"), QStringLiteral("010"), QStringLiteral("02"),
              QStringLiteral("0201"), QStringLiteral("020101"), QStringLiteral("01020304050607080910")});
    QTreeWidget tree;
    FillCategoryTree(&tree, m_data->Qry_HY, QStringLiteral("Cust_Category"), QStringLiteral("客户分类"));
    QCOMPARE(tree.topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree.topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("客户分类"));
    QVERIFY(root->isExpanded());
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(root->child(0)->text(0), QStringLiteral("01-类别01"));
    QCOMPARE(root->child(0)->childCount(), 1);
    QCOMPARE(root->child(1)->child(0)->child(0)->text(0), QStringLiteral("020101-类别020101"));
    QVERIFY(!root->child(0)->isExpanded()); // one level only
    QCOMPARE(tree.findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive).size(), 6);
}

void TestCategoryTree::saveRefusalsInOrder_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("letter") << "0a1" << "编码必须是数字!";
    QTest::newRow("three digits") << "031" << "编码规则出错!";
    QTest::newRow("existing") << "0301" << "编码重复!,不能保存!";
    QTest::newRow("no parent") << "0501" << "编码错误,父节点不存在!";
}

void TestCategoryTree::saveRefusalsInOrder()
{
    QFETCH(QString, code);
    QFETCH(QString, message);
    setCodes({QStringLiteral("03"), QStringLiteral("0301")});
    TFrm_Tree w(m_data.get());
    w.RootCaption = QStringLiteral("客户分类");
    w.show();
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("03")));
    w.TB_Add->trigger();
    QCOMPARE(w.Edit_Code->text(), QStringLiteral("0302"));
    w.Edit_Code->setText(code);
    w.Edit_Name->setText(QStringLiteral("新类别"));
    w.TB_Save->trigger();
    QCOMPARE(m_messages.texts(), QStringList{message});
    QCOMPARE(m_messages.last().title, QStringLiteral("信息"));
    QCOMPARE(m_messages.last().icon, Msg::Icon::Information);
    QCOMPARE(rows(QStringLiteral("1=1")), 2);
    QVERIFY(w.TB_Save->isEnabled()); // still adding
    QVERIFY(!w.TB_Add->isEnabled());
}

void TestCategoryTree::addChildAndSibling()
{
    setCodes({QStringLiteral("03"), QStringLiteral("0301")});
    TFrm_Tree w(m_data.get());
    w.RootCaption = QStringLiteral("客户分类");
    w.show();
    QVERIFY(!w.Edit_Code->isEnabled());
    QVERIFY(!w.TB_Save->isEnabled());
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("0301")));
    QCOMPARE(w.Edit_Name->text(), QStringLiteral("类别0301"));
    w.N1->trigger(); // sibling
    QCOMPARE(w.Edit_Code->text(), QStringLiteral("0302"));
    QVERIFY(w.Edit_Name->text().isEmpty());
    w.Edit_Name->setText(QStringLiteral("  上海  "));
    w.TB_Save->trigger();
    QVERIFY(m_messages.shown.isEmpty());
    QCOMPARE(rows(QStringLiteral("code='0302' and name='上海'")), 1);
    QVERIFY(node(w, QStringLiteral("0302")));
    QCOMPARE(node(w, QStringLiteral("0302"))->parent(), node(w, QStringLiteral("03")));
    QVERIFY(w.TB_Add->isEnabled());
    QVERIFY(!w.TB_Save->isEnabled());

    w.TreeView1->setCurrentItem(node(w, QStringLiteral("0302")));
    w.N2->trigger(); // child
    QCOMPARE(w.Edit_Code->text(), QStringLiteral("030201"));
    w.Edit_Name->setText(QStringLiteral("浦东"));
    w.TB_Save->trigger();
    QCOMPARE(node(w, QStringLiteral("030201"))->parent(), node(w, QStringLiteral("0302")));
    QCOMPARE(rows(QStringLiteral("code='030201'")), 1);
}

void TestCategoryTree::renameChangesOnlyTheName()
{
    setCodes({QStringLiteral("03"), QStringLiteral("0301")});
    TFrm_Tree w(m_data.get());
    w.show();
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("0301")));
    w.TB_Edit->trigger();
    QVERIFY(w.Edit_Name->isEnabled());
    QVERIFY(!w.Edit_Code->isEnabled());
    w.Edit_Name->setText(QStringLiteral("O'Neil 区"));
    w.TB_Save->trigger();
    QVERIFY(m_messages.shown.isEmpty());
    QCOMPARE(rows(QStringLiteral("code='0301' and name='O''Neil 区'")), 1);
    QCOMPARE(rows(QStringLiteral("1=1")), 2);
    QCOMPARE(w.TreeView1->currentItem()->text(0), QStringLiteral("0301-O'Neil 区"));
    QCOMPARE(w.TreeView1->currentItem()->parent(), node(w, QStringLiteral("03")));

    // A node removed meanwhile by another copy of the program.
    w.TB_Edit->trigger();
    m_data->connection()->exec(QStringLiteral("delete from Cust_Category where code='0301'"));
    w.TB_Save->trigger();
    QCOMPARE(m_messages.last().text, QStringLiteral("您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"));
    QCOMPARE(m_messages.last().title, QStringLiteral("Confirm"));
}

void TestCategoryTree::deleteRefusedWithChildren()
{
    setCodes({QStringLiteral("03"), QStringLiteral("0301")});
    TFrm_Tree w(m_data.get());
    w.show();
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("03")));
    w.TB_Del->trigger();
    QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("不能删除有子目录的目录，请先删除子目录！")});
    QCOMPARE(m_messages.last().kind, Msg::Kind::Plain);
    QCOMPARE(rows(QStringLiteral("1=1")), 2);
}

void TestCategoryTree::deleteLeafAfterConfirmation()
{
    setCodes({QStringLiteral("03"), QStringLiteral("0301"), QStringLiteral("0302")});
    TFrm_Tree w(m_data.get());
    w.show();
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("0301")));
    m_messages.answer(Msg::Answer::Cancel);
    w.TB_Del->trigger();
    QCOMPARE(rows(QStringLiteral("1=1")), 3);
    m_messages.answer(Msg::Answer::Ok);
    w.TB_Del->trigger();
    QCOMPARE(m_messages.last().text, QStringLiteral("你真的要删除所选择的目录吗？"));
    QCOMPARE(m_messages.last().buttons, Msg::Buttons::OkCancelDefaultCancel);
    QCOMPARE(rows(QStringLiteral("1=1")), 2);
    QCOMPARE(rows(QStringLiteral("code='0301'")), 0);
    QVERIFY(!node(w, QStringLiteral("0301")));
}

void TestCategoryTree::pickerHandsBackChoice_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("customer editor") << 1 << "0301" << "0301" << "类别0301";
    QTest::newRow("customer search") << 2 << "03" << "03" << "类别03";
    QTest::newRow("goods editor") << 3 << "0301" << "0301" << "类别0301";
    QTest::newRow("batch edit") << 4 << "0301" << "0301" << "类别0301";
    QTest::newRow("root passes empty code") << 2 << "" << "" << "客户分类";
}

void TestCategoryTree::pickerHandsBackChoice()
{
    QFETCH(int, mode);
    QFETCH(QString, pick);
    QFETCH(QString, code);
    QFETCH(QString, name);
    setCodes({QStringLiteral("03"), QStringLiteral("0301")});
    TFrm_Tree w(m_data.get());
    w.RootCaption = QStringLiteral("客户分类");
    w.SelectMode = mode;
    w.show();
    QTreeWidgetItem *item = pick.isEmpty() ? w.TreeView1->topLevelItem(0) : node(w, pick);
    w.TreeView1->setCurrentItem(item);
    emit w.TreeView1->itemDoubleClicked(item, 0);
    QVERIFY(w.Selected);
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(w.SelectedCode, code);
    QCOMPARE(w.SelectedName, name);
    IniSettings ini(m_program->dir() + QStringLiteral("Config.ini"));
    QCOMPARE(ini.readString(QStringLiteral("login"), QStringLiteral("CateCode")), mode == 1 ? code : QString());
    QCOMPARE(ini.readString(QStringLiteral("login"), QStringLiteral("Category")), mode == 1 ? name : QString());
}

// After a save or a cancelled add, Delete and Edit act on the node that is shown as selected.
void TestCategoryTree::treeAndTableStayInStep()
{
    setCodes({QStringLiteral("01"), QStringLiteral("0101"), QStringLiteral("0103")});
    TFrm_Tree w(m_data.get());
    w.show();
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("0103")));
    w.N1->trigger();
    w.Edit_Name->setText(QStringLiteral("山西"));
    w.TB_Save->trigger();
    QCOMPARE(w.TreeView1->currentItem(), node(w, QStringLiteral("0104")));
    m_messages.answer(Msg::Answer::Ok);
    w.TB_Del->trigger();
    QCOMPARE(rows(QStringLiteral("code='0104'")), 0);
    QVERIFY(!node(w, QStringLiteral("0104")));
    QVERIFY(node(w, QStringLiteral("0103")));

    // A code typed while adding is dropped by Cancel.
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("0103")));
    w.N1->trigger();
    w.Edit_Code->setText(QStringLiteral("0101"));
    w.TB_Cancel->trigger();
    QCOMPARE(w.Edit_Code->text(), QStringLiteral("0103"));
    m_messages.answer(Msg::Answer::Ok);
    w.TB_Del->trigger();
    QCOMPARE(rows(QStringLiteral("code='0101'")), 1);
    QCOMPARE(rows(QStringLiteral("code='0103'")), 0);
    QVERIFY(node(w, QStringLiteral("0101")));
    QVERIFY(!node(w, QStringLiteral("0103")));
}

// With KEHU_SCREENSHOTS set to a folder, the window is saved there as a picture.
void TestCategoryTree::screenshot()
{
    const QString folder = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KEHU_SCREENSHOTS not set");
    TFrm_Tree w(m_data.get());
    w.RootCaption = QStringLiteral("客户分类");
    w.show();
    w.TreeView1->expandAll();
    w.TreeView1->setCurrentItem(node(w, QStringLiteral("0101")));
    w.N1->trigger();
    QTest::qWait(100);
    w.grab().save(folder + QStringLiteral("/category_tree.png"));
}

QTEST_MAIN(TestCategoryTree)
#include "tst_categorytree.moc"
