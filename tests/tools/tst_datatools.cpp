// The data tools driven as an operator would, on the delivered database: the grid export
// read back from the written workbook, the spreadsheet import through its mapping window,
// backup and restore, data clearing, compaction and the switch to another database file.
#include "ModalDialogs.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "main/GridExport.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/Dataset.h"
#include "store/FaultInjection.h"
#include "store/Gbk.h"
#include "store/SettingKeys.h"
#include "store/ServerDatabase.h"
#include "store/queries/Import.h"
#include "store/queries/Run.h"
#include "sheets/CustomerImport.h"
#include "tools/DataToolCommands.h"
#include "sheets/Spreadsheet.h"
#include "tools/TFrm_Backup.h"
#include "tools/TFrm_ClearData.h"
#include "tools/TFrm_Import.h"
#include "tools/TFrm_OpenDatabase.h"
#include "ui/Commands.h"
#include "ui/DataGrid.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <functional>
#include <thread>

using Check = std::function<void(QWidget *)>;

namespace {

// The success of an import of the customers fixture: its seventh column (no title) and
// its eighth (a second "电话", whose title reads the first one) are taken by no mapping.
QString importedTwoColumnsLeftOut()
{
    return QStringLiteral("导入数据成功!\n文件中有 2 列没有对应的字段,没有导入。");
}

} // namespace

class TestDataTools : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void exportLayoutAndTypes();
    void exportEmptyGridWritesTitlesOnly();
    void exportCommands_data();
    void exportCommands();
    void exportFailureTold();

    void importEachFormat_data();
    void importEachFormat();
    void importMappingEditedInGrid_data();
    void importMappingEditedInGrid();
    void importTitleRowOnly();
    void importRefusals_data();
    void importRefusals();
    void importSkipsNameTarget();
    void importAllOrNothingAtEveryStatement();
    void importCancelStoresNothing();

    void clearTicked_data();
    void clearTicked();
    void clearFailingThirdStatementChangesNothing();
    void clearAllOrNothingAtEveryStatement();
    void clearWithNothingOffered();

    void backupTwiceSameDay();
    void backupWhileAnotherConnectionWrites_data();
    void backupWhileAnotherConnectionWrites();
    void backupRemembersFolder();
    void restoreRefusals_data();
    void restoreRefusals();
    void restoreReplacesAndKeepsSafetyCopy();

    void compactSucceedsAndReconnects();
    void serverBackupRestoreAndCompact();
    void compactRefusedWhileFileInUse();
    void openDatabase_data();
    void openDatabase();

    void screenshots();

private:
    void seed();
    QString snapshot();
    QString fixture(const QString &name) const { return QStringLiteral(KEHU_FIXTURES "/") + name; }
    QStringList column(const QString &sql);
    QString importThroughCommand(const QString &file, const Check &act);

    std::unique_ptr<WindowFixture> f;
};

void TestDataTools::init()
{
    f = std::make_unique<WindowFixture>();
    f->login(QStringLiteral("Admin"), true, 0);
}

void TestDataTools::cleanup()
{
    FaultInjection::disarm();
    f.reset();
}

void TestDataTools::seed()
{
    f->db()->exec(QStringLiteral("insert into custom (CustCode, Company, tel, AddDate, F_User) values "
                                 "(3, '华信科技', '13800138000', '2024-03-05', 'Admin'), "
                                 "(17, 'O''Neil 公司', '010-1', '1999-12-31', 'Admin')"));
    f->db()->exec(QStringLiteral("insert into contact (CustCode, Company, ContactName) values (3, '华信科技', '王经理')"));
    f->db()->exec(QStringLiteral("insert into T_Schedule (CustCode, Company, Subject, F_User) values ('3', '华信科技', '回访', 'Admin')"));
}

QString TestDataTools::snapshot()
{
    QString all;
    for (const char *table : {"custom", "contact", "T_Schedule", "T_Daily", "T_Bill", "T_BillDetail", "T_Goods",
                              "Cust_Category", "Goods_Category"}) {
        Statement rows(*f->db(), QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table)));
        all += QLatin1String(table) + QLatin1Char('\n');
        while (rows.step()) {
            for (int i = 0; i < rows.columnCount(); ++i)
                all += rows.value(i).toString() + QLatin1Char('|');
            all += QLatin1Char('\n');
        }
    }
    return all;
}

QStringList TestDataTools::column(const QString &sql)
{
    QStringList values;
    Statement rows(*f->db(), sql);
    while (rows.step())
        values.append(rows.value(0).toString());
    return values;
}

// ---------------------------------------------------------------- export

// The grid's shown columns in the order and widths the operator arranged, titles in row 1,
// row n in sheet row n + 1, numbers as numbers, dates as dates, codes and phone numbers
// as the text they are.
void TestDataTools::exportLayoutAndTypes()
{
    seed();
    Dataset rows(f->db());
    rows.setSql(QStringLiteral("select CustCode, Company, tel, AddDate, CustID from custom order by CustCode"));
    rows.open();
    rows.setDisplayLabel(QStringLiteral("Company"), QStringLiteral("公司名称"));
    DataGrid grid;
    grid.setDataset(&rows);
    grid.resize(600, 300);
    grid.horizontalHeader()->moveSection(3, 0); // AddDate first
    grid.horizontalHeader()->hideSection(4);    // CustID not shown
    grid.horizontalHeader()->resizeSection(1, 150);

    const QString path = GridExport::exportGrid(nullptr, &grid, QStringLiteral("客户资料"));
    QVERIFY(!path.isEmpty());
    QVERIFY(path.startsWith(f->program.dir() + QStringLiteral("Export/客户资料_")));
    QCOMPARE(f->platform.calls().size(), 1);
    QVERIFY(f->platform.calls().first().contains(QStringLiteral("客户资料_")));
    QVERIFY(f->messages.shown.isEmpty());

    const SheetData sheet = Spreadsheet::readXlsx(path);
    QCOMPARE(sheet.rowCount(), 3);
    QCOMPARE(sheet.columnCount(), 4);
    const QStringList titles = {sheet.text(1, 1), sheet.text(1, 2), sheet.text(1, 3), sheet.text(1, 4)};
    QCOMPARE(titles, (QStringList{QStringLiteral("AddDate"), QStringLiteral("CustCode"), QStringLiteral("公司名称"),
                                  QStringLiteral("tel")}));
    QCOMPARE(sheet.text(2, 1), QStringLiteral("2024-03-05"));
    QCOMPARE(sheet.kind(2, 1), SheetData::Date);
    QCOMPARE(sheet.text(2, 2), QStringLiteral("3"));
    QCOMPARE(sheet.kind(2, 2), SheetData::Number);
    QCOMPARE(sheet.text(3, 3), QStringLiteral("O'Neil 公司"));
    QCOMPARE(sheet.text(2, 4), QStringLiteral("13800138000"));
    QCOMPARE(sheet.kind(2, 4), SheetData::Text);
    QCOMPARE(sheet.text(3, 1), QStringLiteral("1999-12-31"));
}

void TestDataTools::exportEmptyGridWritesTitlesOnly()
{
    Dataset rows(f->db());
    rows.setSql(QStringLiteral("select CustCode, Company from custom"));
    rows.open();
    DataGrid grid;
    grid.setDataset(&rows);
    const QString path = GridExport::exportGrid(nullptr, &grid, QStringLiteral("空"));
    const SheetData sheet = Spreadsheet::readXlsx(path);
    QCOMPARE(sheet.rowCount(), 1);
    QCOMPARE(sheet.text(1, 1), QStringLiteral("CustCode"));
    QCOMPARE(sheet.text(1, 2), QStringLiteral("Company"));
}

void TestDataTools::exportCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("firstTitle");
    QTest::addColumn<int>("rows");
    QTest::newRow("customers") << Cmd::ExportCustCSV << "客户资料_" << "客户编号" << 3;
    QTest::newRow("contacts") << Cmd::ExportContactCSV << "联系人_" << "" << -1;
    QTest::newRow("schedules") << Cmd::ExportCSVSchedule << "联系活动_" << "" << 2;
}

// Each Excel entry exports its grid, opening its window first when it is closed.
void TestDataTools::exportCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, fileName);
    QFETCH(QString, firstTitle);
    QFETCH(int, rows);
    seed();
    QVERIFY(f->main->runCommand(command));
    QVERIFY(!f->main->childWindows().isEmpty());
    QCOMPARE(f->platform.recorded.size(), 1);
    const QString path = QUrl(f->platform.recorded.first().arguments.first()).toLocalFile();
    QVERIFY2(QFileInfo(path).fileName().startsWith(fileName), qPrintable(path));
    const SheetData sheet = Spreadsheet::readXlsx(path);
    QVERIFY(sheet.columnCount() > 1);
    if (!firstTitle.isEmpty())
        QCOMPARE(sheet.text(1, 1), firstTitle);
    if (rows >= 0)
        QCOMPARE(sheet.rowCount(), rows);
}

void TestDataTools::exportFailureTold()
{
    QFile blocker(f->program.dir() + QStringLiteral("Export"));
    QDir(f->program.dir() + QStringLiteral("Export")).removeRecursively();
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    Dataset rows(f->db());
    rows.setSql(QStringLiteral("select CustCode from custom"));
    rows.open();
    DataGrid grid;
    grid.setDataset(&rows);
    QVERIFY(GridExport::exportGrid(nullptr, &grid, QStringLiteral("客户资料")).isEmpty());
    QCOMPARE(f->messages.shown.size(), 1);
    QVERIFY(f->messages.last().text.startsWith(QStringLiteral("无法创建目录")));
    QVERIFY(f->platform.recorded.isEmpty());
}

// ---------------------------------------------------------------- import

QString TestDataTools::importThroughCommand(const QString &file, const Check &act)
{
    f->platform.answer(file);
    return whenModal([this] { f->main->runHandler(QString::fromLatin1(Cmd::ImportCustomers)); }, act);
}

void TestDataTools::importEachFormat_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << "customers.xlsx";
    QTest::newRow("ods") << "customers.ods";
    QTest::newRow("xls") << "customers.xls";
    QTest::newRow("csv") << "customers.csv";
}

// The proposed mapping (the i-th target takes the i-th spreadsheet column), three data
// rows around a blank one become customers 18, 19, 20 after a highest code of 17, each
// with one contact; duplicate titles read the first such column.
void TestDataTools::importEachFormat()
{
    QFETCH(QString, file);
    seed();
    QString path = fixture(file);
    QTemporaryDir scratch;
    if (file.endsWith(QLatin1String(".csv"))) {
        // The expected texts as a GBK file with semicolons, as a Chinese office program saves them.
        QFile tsv(fixture(QStringLiteral("customers.expected.tsv")));
        QVERIFY(tsv.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(tsv.readAll());
        text.replace(QLatin1Char('\t'), QLatin1Char(';'));
        text.replace(QStringLiteral("O'Neil & \"合伙\""), QStringLiteral("\"O'Neil & \"\"合伙\"\"\""));
        path = scratch.filePath(file);
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(Gbk::encode(text));
    }
    QString label;
    QString opened = importThroughCommand(path, [&label](QWidget *window) {
        label = child<QLabel>(window, "Label1")->text();
        child<QPushButton>(window, "Btn_Start")->click();
    });
    QCOMPARE(opened, QStringLiteral("TFrm_Import"));
    QCOMPARE(label, QStringLiteral("Excel中共有 3 条记录"));
    QCOMPARE(f->messages.texts(), QStringList{importedTwoColumnsLeftOut()});

    QCOMPARE(column(QStringLiteral("select S_Field || '@' || CellID from T_Temp order by CellID")),
             (QStringList{"公司名称@1", "电话@2", "手机@3", "生日@4", "年收入@5", "备注@6", "@7", "电话@8"}));
    const QStringList mapped = column(QStringLiteral("select F_Field from T_Import order by ImportID"));
    QCOMPARE(mapped.mid(0, 9), (QStringList{"公司名称", "电话", "手机", "生日", "年收入", "备注", " ", "电话", " "}));

    QCOMPARE(column(QStringLiteral("select CustCode || ':' || Company || ':' || Category || ':' || CustType || ':' "
                                   "|| CustLevel || ':' || MainContact || ':' || tel || ':' || fax "
                                   "from custom where CustCode > 17 order by CustCode")),
             (QStringList{"18:华信科技:010-88886666:13800138000:1980-03-05:1234.5:老客户:010-88886666",
                          "19:东方贸易::12345678901234567:2023-12-31:-7::",
                          "20:O'Neil & \"合伙\":=1+1:0.125::::=1+1"}));
    QCOMPARE(column(QStringLiteral("select CustCode from contact where CustCode > 17 order by CustCode")),
             (QStringList{"18", "19", "20"}));
}

void TestDataTools::importMappingEditedInGrid_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("stored"); // F_Field of the fax row afterwards
    QTest::addColumn<QString>("fax");    // the fax of the first imported customer
    QTest::newRow("another title picked") << "年收入" << "年收入" << "1234.5";
    QTest::newRow("title cleared") << "" << " " << "";
    QTest::newRow("duplicate title picked") << "电话" << "电话" << "010-88886666";
}

// The title picked, cleared or typed in the grid's pick list is stored as the grid leaves
// the row, and the run follows it.
void TestDataTools::importMappingEditedInGrid()
{
    QFETCH(QString, choice);
    QFETCH(QString, stored);
    QFETCH(QString, fax);
    importThroughCommand(fixture(QStringLiteral("customers.xlsx")), [&choice](QWidget *window) {
        auto *grid = child<DataGrid>(window, "DBGridEh1");
        const int titleColumn = grid->columnOfField(QStringLiteral("F_Field"));
        QCOMPARE(titleColumn, 1);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("字段名称"));
        int faxRow = -1;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (grid->model()->index(row, 0).data().toString() == QStringLiteral("传真"))
                faxRow = row;
        QVERIFY(faxRow >= 0);
        const QModelIndex caption = grid->model()->index(faxRow, 0);
        grid->setCurrentIndex(caption);
        grid->edit(caption);
        QVERIFY(!grid->findChild<QComboBox *>(QStringLiteral("TitlePicker"))); // captions are not for editing
        const QModelIndex title = grid->model()->index(faxRow, titleColumn);
        grid->setCurrentIndex(title);
        grid->edit(title);
        auto *picker = grid->findChild<QComboBox *>(QStringLiteral("TitlePicker"));
        QVERIFY(picker);
        QCOMPARE(picker->count(), 7); // blank + six distinct titles
        picker->setCurrentText(choice);
        child<QPushButton>(window, "Btn_Start")->click();
    });
    QCOMPARE(f->messages.texts(), QStringList{importedTwoColumnsLeftOut()});
    QCOMPARE(f->scalar(QStringLiteral("select F_Field from T_Import where S_Field='fax'")).toString(), stored);
    QCOMPARE(f->scalar(QStringLiteral("select fax from custom where CustCode=1")).toString(), fax);
}

void TestDataTools::importTitleRowOnly()
{
    seed();
    const QString before = snapshot();
    QTemporaryDir scratch;
    QFile csv(scratch.filePath(QStringLiteral("titles.csv")));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("公司名称,电话\r\n");
    csv.close();
    QString label;
    importThroughCommand(csv.fileName(), [&label](QWidget *window) {
        label = child<QLabel>(window, "Label1")->text();
        child<QPushButton>(window, "Btn_Start")->click();
    });
    QCOMPARE(label, QStringLiteral("Excel中共有 0 条记录"));
    QCOMPARE(f->messages.texts(), QStringList{QStringLiteral("导入数据成功!")});
    QCOMPARE(snapshot(), before);
}

void TestDataTools::importRefusals_data()
{
    QTest::addColumn<QString>("mappingChange");
    QTest::addColumn<QString>("message");
    QTest::newRow("title the sheet lacks")
        << "update T_Import set F_Field='传真号码' where S_Field='fax'"
        << "字段“传真”对应的Excel列“传真号码”在Excel文件中不存在,请重新选择。";
    QTest::newRow("target column the table lacks")
        << "insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('contact', 'Nickname', '昵称', '电话')"
        << "字段“昵称”的目标列“Nickname”在表 contact 中不存在。";
    QTest::newRow("target that is no name")
        << "insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('custom', 'tel; drop table admin', '坏', '电话')"
        << "字段“坏”的目标列“tel; drop table admin”在表 custom 中不存在。";
}

// A mapping that cannot run is refused before anything is stored, naming the mapping row.
void TestDataTools::importRefusals()
{
    QFETCH(QString, mappingChange);
    QFETCH(QString, message);
    seed();
    const QString before = snapshot();
    importThroughCommand(fixture(QStringLiteral("customers.xlsx")), [this, &mappingChange](QWidget *window) {
        f->db()->exec(mappingChange);
        child<QPushButton>(window, "Btn_Start")->click();
    });
    QCOMPARE(f->messages.texts(), QStringList{message});
    QCOMPARE(f->messages.last().title, QStringLiteral("警告"));
    QCOMPARE(snapshot(), before);
}

void TestDataTools::importSkipsNameTarget()
{
    f->db()->exec(QStringLiteral("update T_Import set F_Field=' '"));
    f->db()->exec(QStringLiteral("insert into T_Import (tablename, S_Field, FieldName, F_Field) values "
                                 "('custom', 'Name', '名称', '公司名称'), ('custom', 'Company', '公司', '公司名称'), "
                                 "('contact', 'ContactName', '姓名', '公司名称')"));
    const SheetData sheet = Spreadsheet::read(fixture(QStringLiteral("customers.xlsx")));
    QStringList titles;
    for (int c = 1; c <= sheet.columnCount(); ++c)
        titles.append(sheet.text(1, c));
    Dataset temp(f->db());
    f->db()->exec(QStringLiteral("delete from T_Temp"));
    for (int c = 0; c < titles.size(); ++c)
        f->db()->exec(QStringLiteral("insert into T_Temp (S_Field, CellID) values ('%1', %2)").arg(titles.at(c)).arg(c + 1));
    QVERIFY(CustomerImport::run(*f->db(), sheet));
    QCOMPARE(column(QStringLiteral("select Company from custom order by CustCode")),
             (QStringList{"华信科技", "东方贸易", "O'Neil & \"合伙\""}));
    QCOMPARE(column(QStringLiteral("select ContactName from contact order by CustCode")),
             (QStringList{"华信科技", "东方贸易", "O'Neil & \"合伙\""}));
    QCOMPARE(column(QStringLiteral("select CustCode from custom order by CustCode")), (QStringList{"1", "2", "3"}));
}

// Failed at each of its statements in turn, the run stores nothing and says which row.
void TestDataTools::importAllOrNothingAtEveryStatement()
{
    seed();
    const QString before = snapshot();
    const SheetData sheet = Spreadsheet::read(fixture(QStringLiteral("customers.xlsx")));
    QStringList titles;
    for (int c = 1; c <= sheet.columnCount(); ++c)
        titles.append(sheet.text(1, c));
    Import::storeTitles(*f->db(), titles);
    const QString mapped = snapshot();
    int positions = 0;
    for (int n = 1;; ++n) {
        f->messages.shown.clear();
        {
            TFrm_Import window(f->main.get(), sheet, f->main.get());
            window.show();
            FaultInjection::failAtStatement(n);
            child<QPushButton>(&window, "Btn_Start")->click();
        }
        const int seen = FaultInjection::statementsSeen();
        FaultInjection::disarm();
        if (seen < n) {
            QCOMPARE(f->messages.texts(), QStringList{importedTwoColumnsLeftOut()});
            break;
        }
        ++positions;
        QCOMPARE(snapshot(), mapped);
        QCOMPARE(f->messages.shown.size(), 1);
        QCOMPARE(f->messages.last().title, QStringLiteral("警告"));
        QVERIFY2(f->messages.last().text.contains(QStringLiteral("没有导入任何数据")), qPrintable(f->messages.last().text));
    }
    QVERIFY(positions >= 6); // three rows of a customer and a contact each
    QCOMPARE(column(QStringLiteral("select count(*) from custom")), QStringList{"5"});
    Q_UNUSED(before);
}

void TestDataTools::importCancelStoresNothing()
{
    seed();
    const SheetData sheet = Spreadsheet::read(fixture(QStringLiteral("customers.ods")));
    QStringList titles;
    for (int c = 1; c <= sheet.columnCount(); ++c)
        titles.append(sheet.text(1, c));
    Import::storeTitles(*f->db(), titles);
    const QString before = snapshot();
    int calls = 0;
    QVERIFY(!CustomerImport::run(*f->db(), sheet, [&calls](int, int) { return ++calls < 1; }));
    QCOMPARE(snapshot(), before);
    QVERIFY(!f->db()->inTransaction());
}

// ---------------------------------------------------------------- clearing

void TestDataTools::clearTicked_data()
{
    QTest::addColumn<QList<int>>("unticked"); // list positions
    QTest::addColumn<Msg::Answer>("answer");
    QTest::addColumn<QStringList>("counts");  // custom, contact, T_Schedule afterwards
    QTest::newRow("all ticked") << QList<int>{} << Msg::Answer::Yes << QStringList{"0", "0", "0"};
    QTest::newRow("contacts unticked") << QList<int>{1} << Msg::Answer::Yes << QStringList{"0", "1", "0"};
    QTest::newRow("every entry unticked") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8} << Msg::Answer::Yes
                                          << QStringList{"2", "1", "1"};
    QTest::newRow("question answered no") << QList<int>{} << Msg::Answer::No << QStringList{"2", "1", "1"};
}

void TestDataTools::clearTicked()
{
    QFETCH(QList<int>, unticked);
    QFETCH(Msg::Answer, answer);
    QFETCH(QStringList, counts);
    seed();
    TFrm_ClearData window(f->main.get(), f->main.get());
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("数据初始化"));
    auto *list = child<QListWidget>(&window, "CLB_Data");
    QCOMPARE(list->count(), 9);
    QCOMPARE(list->item(0)->text(), QStringLiteral("清空客户资料"));
    for (int row = 0; row < list->count(); ++row)
        QCOMPARE(list->item(row)->checkState(), Qt::Checked);
    for (int row : unticked)
        list->item(row)->setCheckState(Qt::Unchecked);
    f->messages.answer(answer);
    child<QPushButton>(&window, "Btn_OK")->click();

    QCOMPARE(f->messages.shown.first().text, QStringLiteral("提醒,执行本操作您将丢失所有的数据,您确定要数据初始化吗?"));
    QCOMPARE(f->messages.shown.first().kind, Msg::Kind::Confirm);
    QCOMPARE(f->messages.shown.first().buttons, Msg::Buttons::YesNoDefaultNo); // Enter never clears
    if (answer == Msg::Answer::Yes) {
        QCOMPARE(f->messages.shown.size(), 2);
        QCOMPARE(f->messages.last().text, QStringLiteral("数据初始化成功!"));
        QCOMPARE(f->messages.last().kind, Msg::Kind::Confirm);
    } else {
        QCOMPARE(f->messages.shown.size(), 1);
    }
    const QStringList now = {f->scalar(QStringLiteral("select count(*) from custom")).toString(),
                             f->scalar(QStringLiteral("select count(*) from contact")).toString(),
                             f->scalar(QStringLiteral("select count(*) from T_Schedule")).toString()};
    QCOMPARE(now, counts);
    QVERIFY(window.isVisible());
}

void TestDataTools::clearFailingThirdStatementChangesNothing()
{
    seed();
    f->db()->exec(QStringLiteral("update Dict_ClearData set SQL='delete from NoSuchTable' where Action='清空联系活动'"));
    const QString before = snapshot();
    TFrm_ClearData window(f->main.get(), f->main.get());
    window.show();
    f->messages.answer(Msg::Answer::Yes);
    child<QPushButton>(&window, "Btn_OK")->click();
    QCOMPARE(f->messages.last().text, QStringLiteral("数据初始化失败!"));
    QCOMPARE(f->messages.last().kind, Msg::Kind::Confirm);
    QCOMPARE(snapshot(), before);
    QVERIFY(window.isVisible());
    QVERIFY(!f->db()->inTransaction());
}

void TestDataTools::clearAllOrNothingAtEveryStatement()
{
    seed();
    const QString before = snapshot();
    int positions = 0;
    for (int n = 1;; ++n) {
        f->messages.shown.clear();
        TFrm_ClearData window(f->main.get(), f->main.get());
        window.show();
        f->messages.answer(Msg::Answer::Yes);
        FaultInjection::failAtStatement(n);
        child<QPushButton>(&window, "Btn_OK")->click();
        const int seen = FaultInjection::statementsSeen();
        FaultInjection::disarm();
        if (seen < n) {
            QCOMPARE(f->messages.last().text, QStringLiteral("数据初始化成功!"));
            break;
        }
        ++positions;
        QCOMPARE(f->messages.last().text, QStringLiteral("数据初始化失败!"));
        QCOMPARE(snapshot(), before);
    }
    QVERIFY(positions >= 9);
    QCOMPARE(f->scalar(QStringLiteral("select count(*) from custom")).toInt(), 0);
}

void TestDataTools::clearWithNothingOffered()
{
    seed();
    f->db()->exec(QStringLiteral("update Dict_ClearData set F_Flag=0"));
    const QString before = snapshot();
    TFrm_ClearData window(f->main.get(), f->main.get());
    window.show();
    QCOMPARE(child<QListWidget>(&window, "CLB_Data")->count(), 0);
    f->messages.answer(Msg::Answer::Yes);
    child<QPushButton>(&window, "Btn_OK")->click();
    QCOMPARE(f->messages.texts(), (QStringList{QStringLiteral("提醒,执行本操作您将丢失所有的数据,您确定要数据初始化吗?"),
                                               QStringLiteral("数据初始化成功!")}));
    QCOMPARE(snapshot(), before);
}

// ---------------------------------------------------------------- backup and restore

void TestDataTools::backupTwiceSameDay()
{
    seed();
    QTemporaryDir folder;
    TFrm_Backup window(f->main.get(), f->main.get());
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("数据库备份"));
    window.setFolder(folder.path());
    child<QPushButton>(&window, "Btn_Back")->click();
    const QString target = QDir(folder.path()).filePath(TFrm_Backup::backupName(QDate::currentDate()));
    QCOMPARE(f->messages.last().text, QStringLiteral("备份成功,文件备份在:") + QDir::toNativeSeparators(target));
    QCOMPARE(f->messages.last().title, QStringLiteral("成功"));

    f->db()->exec(QStringLiteral("insert into custom (CustCode, Company) values (99, '后来的客户')"));
    child<QPushButton>(&window, "Btn_Back")->click();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(target).fileName()});
    auto copy = Connection::open(target);
    QVERIFY(copy->integrityProblems().isEmpty());
    Statement count(*copy, QStringLiteral("select count(*) from custom"));
    QVERIFY(count.step());
    QCOMPARE(count.value(0).toInt(), 3);
    QCOMPARE(child<QListWidget>(&window, "FileListBox1")->count(), 1);
    QVERIFY(f->db()->exec(QStringLiteral("update custom set tel='1' where CustCode=99")) == 1); // still connected
}

// A backup taken while another connection keeps writing opens with the password and
// passes the integrity check, and the writer is never refused: in the program's journal
// mode it waits while the file is copied, in WAL mode the page copy starts over.
void TestDataTools::backupWhileAnotherConnectionWrites_data()
{
    QTest::addColumn<QString>("journalMode");
    QTest::newRow("rollback journal") << "delete";
    QTest::newRow("write-ahead log") << "wal";
}

void TestDataTools::backupWhileAnotherConnectionWrites()
{
    QFETCH(QString, journalMode);
    const QString database = f->program.databasePath();
    {
        auto filler = Connection::open(database);
        {
            Statement mode(*filler, QStringLiteral("PRAGMA journal_mode=%1").arg(journalMode));
            QVERIFY(mode.step());
            QCOMPARE(mode.value(0).toString(), journalMode);
        }
        filler->begin();
        const QString text(2000, QChar(u'客'));
        for (int i = 0; i < 6000; ++i)
            filler->exec(QStringLiteral("insert into custom (CustCode, introduce) values (%1, '%2')").arg(i + 1000).arg(text));
        filler->commit();
    }
    std::atomic<bool> stop{false};
    std::atomic<int> written{0}, refused{0};
    std::thread writer([&] {
        auto connection = Connection::open(database);
        while (!stop) {
            try {
                connection->exec(QStringLiteral("insert into custom (CustCode, Company) values (1, '写入中')"));
                ++written;
            } catch (const DbError &) {
                ++refused;
            }
            QThread::msleep(1); // a busy office program, not a loop that never lets go of the file
        }
    });
    const auto joinWriter = qScopeGuard([&] {
        stop = true;
        if (writer.joinable())
            writer.join();
    });
    while (written < 5)
        QThread::msleep(5);
    auto source = Connection::open(database);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("copy.mdb"));
    int steps = 0;
    const bool copied = source->backupTo(target, [&](int, int) {
        ++steps;
        QThread::msleep(2);
        return true;
    });
    const int afterCopy = written;
    while (written < afterCopy + 5)
        QThread::msleep(5);
    stop = true;
    writer.join();
    QVERIFY(copied);
    QVERIFY(steps > 2);
    QCOMPARE(refused.load(), 0);
    auto copy = Connection::open(target);
    QVERIFY(copy->integrityProblems().isEmpty());
    Statement count(*copy, QStringLiteral("select count(*) from custom where Company='写入中'"));
    QVERIFY(count.step());
    QVERIFY(count.value(0).toInt() >= 5);
    QVERIFY(count.value(0).toInt() < written);
}

void TestDataTools::backupRemembersFolder()
{
    QTemporaryDir folder;
    {
        TFrm_Backup window(f->main.get(), f->main.get());
        window.show();
        const QStringList places = TFrm_Backup::places();
        child<QComboBox>(&window, "DriveComboBox1")->setCurrentIndex(1);
        emit child<QComboBox>(&window, "DriveComboBox1")->activated(1);
        QCOMPARE(window.folder(), QDir::cleanPath(places.at(1)));
        QVERIFY(child<QListWidget>(&window, "FileListBox1")->findItems(QStringLiteral("Custom.mdb"), Qt::MatchExactly).size() == 1);
        window.close();
    }
    QCOMPARE(Setting::BackupDrive.read(f->data->settings()), 1);
    {
        TFrm_Backup window(f->main.get(), f->main.get());
        window.show();
        f->platform.answer(folder.path());
        child<QPushButton>(&window, "Btn_Browse")->click();
        QCOMPARE(window.folder(), QDir::cleanPath(folder.path()));
        QCOMPARE(child<QComboBox>(&window, "DriveComboBox1")->currentIndex(), -1);
        window.close();
    }
    QCOMPARE(Setting::BackupDrive.read(f->data->settings()), -1);
    QCOMPARE(Setting::BackupDirectory.read(f->data->settings()), QDir::cleanPath(folder.path()));
    TFrm_Backup window(f->main.get(), f->main.get());
    QCOMPARE(window.folder(), QDir::cleanPath(folder.path()));
}

void TestDataTools::restoreRefusals_data()
{
    QTest::addColumn<QString>("file");       // put in the folder and selected; empty: nothing selected
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Msg::Answer>("answer");
    QTest::addColumn<QString>("message");    // the start of the last message
    QTest::newRow("nothing selected") << "" << QByteArray() << Msg::Answer::Yes << "请选择一个恢复的数据库";
    QTest::newRow("text file") << "notes.mdb" << QByteArray("客户名单") << Msg::Answer::Yes << "数据恢复失败!\n所选文件不是本系统可用的数据库";
    QTest::newRow("empty file") << "empty.mdb" << QByteArray() << Msg::Answer::Yes << "数据恢复失败!\n所选文件不是本系统可用的数据库";
    QTest::newRow("answered no") << "copy.mdb" << QByteArray("<database>") << Msg::Answer::No << "恢复将用";
}

// A restore that is not wanted or not possible leaves the database and the connection alone.
void TestDataTools::restoreRefusals()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(Msg::Answer, answer);
    QFETCH(QString, message);
    seed();
    const QString before = snapshot();
    QTemporaryDir folder;
    if (!file.isEmpty()) {
        if (bytes == "<database>") {
            QVERIFY(QFile::copy(f->program.databasePath(), folder.filePath(file)));
        } else {
            QFile out(folder.filePath(file));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
    }
    TFrm_Backup window(f->main.get(), f->main.get());
    window.show();
    window.setFolder(folder.path());
    auto *list = child<QListWidget>(&window, "FileListBox1");
    if (!file.isEmpty())
        list->setCurrentItem(list->findItems(file, Qt::MatchExactly).value(0));
    f->messages.answer(answer);
    Connection *connection = f->db();
    child<QPushButton>(&window, "Btn_Store")->click();
    QVERIFY2(f->messages.last().text.startsWith(message), qPrintable(f->messages.last().text));
    QCOMPARE(f->db(), connection); // never closed
    QCOMPARE(snapshot(), before);
    QCOMPARE(QDir(f->program.dir() + QStringLiteral("DataBase")).entryList(QDir::Files), QStringList{"Custom.mdb"});
}

void TestDataTools::restoreReplacesAndKeepsSafetyCopy()
{
    seed();
    QTemporaryDir folder;
    TFrm_Backup window(f->main.get(), f->main.get());
    window.show();
    window.setFolder(folder.path());
    child<QPushButton>(&window, "Btn_Back")->click();
    const QString withCustomers = snapshot();
    f->db()->exec(QStringLiteral("delete from custom"));
    f->main->runHandler(QString::fromLatin1(Cmd::Main_Schedule));
    QCOMPARE(f->main->childWindows().size(), 1);

    auto *list = child<QListWidget>(&window, "FileListBox1");
    list->setCurrentRow(0);
    f->messages.shown.clear();
    f->messages.answer(Msg::Answer::Yes);
    child<QPushButton>(&window, "Btn_Store")->click();
    QCOMPARE(f->messages.shown.first().title, QStringLiteral("询问"));
    QCOMPARE(f->messages.last().text, QStringLiteral("数据恢复成功!"));
    QCOMPARE(f->messages.last().title, QStringLiteral("警告"));
    QCOMPARE(snapshot(), withCustomers); // reconnected to the restored file
    QVERIFY(f->main->childWindows().isEmpty());
    const QStringList safety = QDir(f->program.dir() + QStringLiteral("DataBase"))
                                   .entryList({QStringLiteral("Custom_恢复前*.mdb")}, QDir::Files);
    QCOMPARE(safety.size(), 1);
    auto old = Connection::open(f->program.dir() + QStringLiteral("DataBase/") + safety.first());
    Statement count(*old, QStringLiteral("select count(*) from custom"));
    QVERIFY(count.step());
    QCOMPARE(count.value(0).toInt(), 0);
}

// ---------------------------------------------------------------- compaction and switch

// On a server the same window and commands copy the server's data into a backup file,
// copy a file back after the same checks (the server's data kept in a safety file first),
// and tidy the server's database, with the same messages.
void TestDataTools::serverBackupRestoreAndCompact()
{
    SKIP_WITHOUT_SERVER();
    TestServerDatabase server;
    f->data->switchDatabase(server.uri());
    seed();
    const QString withCustomers = snapshot();
    QTemporaryDir folder;
    {
        TFrm_Backup window(f->main.get(), f->main.get());
        window.show();
        window.setFolder(folder.path());
        child<QPushButton>(&window, "Btn_Back")->click();
        QVERIFY2(f->messages.last().text.startsWith(QStringLiteral("备份成功")), qPrintable(f->messages.last().text));
        const QString backup = QDir(folder.path()).filePath(TFrm_Backup::backupName(QDate::currentDate()));
        QCOMPARE(Run::scalar(*Connection::open(backup), QStringLiteral("select count(*) from custom")).toInt(), 2);

        f->db()->exec(QStringLiteral("delete from custom"));
        child<QListWidget>(&window, "FileListBox1")->setCurrentRow(0);
        f->messages.shown.clear();
        f->messages.answer(Msg::Answer::Yes);
        child<QPushButton>(&window, "Btn_Store")->click();
        QCOMPARE(f->messages.last().text, QStringLiteral("数据恢复成功!"));
    }
    QCOMPARE(f->data->databasePath(), server.uri());
    QCOMPARE(snapshot(), withCustomers);
    const QStringList safety = QDir(f->program.dir() + QStringLiteral("DataBase"))
                                   .entryList({QStringLiteral("Custom_恢复前*.mdb")}, QDir::Files);
    QCOMPARE(safety.size(), 1);
    QCOMPARE(Run::scalar(*Connection::open(f->program.dir() + QStringLiteral("DataBase/") + safety.first()),
                         QStringLiteral("select count(*) from custom")).toInt(), 0);

    f->messages.shown.clear();
    QVERIFY(f->main->runHandler(QString::fromLatin1(Cmd::M_CompactDB)));
    QCOMPARE(f->messages.texts(), QStringList{QStringLiteral("压缩数据库成功!")});
    QCOMPARE(f->data->databasePath(), server.uri());
    QCOMPARE(snapshot(), withCustomers);
    f->data->switchDatabase(f->program.databasePath());
}

void TestDataTools::compactSucceedsAndReconnects()
{
    seed();
    f->db()->exec(QStringLiteral("delete from T_Schedule"));
    const QString before = snapshot();
    f->main->runHandler(QString::fromLatin1(Cmd::Main_Schedule));
    QVERIFY(f->main->runHandler(QString::fromLatin1(Cmd::M_CompactDB)));
    QCOMPARE(f->messages.texts(), QStringList{QStringLiteral("压缩数据库成功!")});
    QCOMPARE(f->messages.last().kind, Msg::Kind::Plain);
    QVERIFY(f->main->childWindows().isEmpty());
    QCOMPARE(snapshot(), before);
    QCOMPARE(f->data->databasePath(), f->program.databasePath());
}

void TestDataTools::compactRefusedWhileFileInUse()
{
    seed();
    auto other = Connection::open(f->program.databasePath());
    other->begin(); // another program in the middle of its writing
    QVERIFY(f->main->runHandler(QString::fromLatin1(Cmd::M_CompactDB)));
    QCOMPARE(f->messages.texts(), QStringList{QStringLiteral("压缩数据库失败!")});
    other->rollback();
    QVERIFY(f->db());
    QCOMPARE(f->scalar(QStringLiteral("select count(*) from custom")).toInt(), 2);
}

void TestDataTools::openDatabase_data()
{
    QTest::addColumn<QString>("pick");     // "": cancelled, "copy": a copy of the database, "text": a text file,
                                           // "server": a server database, "no server database": a name not there
    QTest::addColumn<bool>("switched");
    QTest::newRow("cancelled") << "" << false;
    QTest::newRow("not a database") << "text" << false;
    QTest::newRow("another database") << "copy" << true;
    QTest::newRow("a server database") << "server" << true;
    QTest::newRow("no such server database") << "no server database" << false;
}

void TestDataTools::openDatabase()
{
    QFETCH(QString, pick);
    QFETCH(bool, switched);
    const bool onServer = pick == QLatin1String("server") || pick == QLatin1String("no server database");
    if (onServer)
        SKIP_WITHOUT_SERVER();
    std::unique_ptr<TestServerDatabase> server;
    if (onServer)
        server = std::make_unique<TestServerDatabase>();
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("网络.mdb"));
    QVERIFY(QFile::copy(f->program.databasePath(), copy));
    const QString text = folder.filePath(QStringLiteral("文本.mdb"));
    QFile out(text);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("no database");
    out.close();
    f->main->runHandler(QString::fromLatin1(Cmd::Main_Schedule));
    f->platform.answer(pick == QLatin1String("copy") ? copy : pick == QLatin1String("text") ? text : QString());
    QString target = pick == QLatin1String("copy") ? copy : QString();
    const QString caption = captionWhenModal([&] { QVERIFY(f->main->runHandler(QString::fromLatin1(Cmd::OpenDatabase))); },
                                             [&](QWidget *window) {
        if (pick.isEmpty()) {
            child<QPushButton>(window, "Btn_Exit")->click();
            return;
        }
        if (!onServer) {
            child<QPushButton>(window, "Btn_Browse")->click();
            child<QPushButton>(window, "Btn_OK")->click();
            return;
        }
        const auto address = ServerDatabase::Address::fromUri(server->uri());
        child<QRadioButton>(window, "RB_Server")->setChecked(true);
        child<QLineEdit>(window, "Edit_Host")->setText(address.host);
        child<QSpinBox>(window, "Edit_Port")->setValue(address.port);
        child<QLineEdit>(window, "Edit_Database")->setText(pick == QLatin1String("server") ? address.database
                                                                                           : QStringLiteral("no_such_db"));
        child<QLineEdit>(window, "Edit_User")->setText(address.user);
        child<QPushButton>(window, "Btn_Test")->click();
        if (pick == QLatin1String("server")) {
            QCOMPARE(f->messages.last().text, QStringLiteral("连接成功!"));
            target = server->uri();
        } else {
            QVERIFY(f->messages.last().text.startsWith(QStringLiteral("连接失败!\n")));
        }
        child<QPushButton>(window, "Btn_OK")->click();
    });
    QCOMPARE(caption, QStringLiteral("连接网络数据库"));
    QVERIFY(f->main->childWindows().isEmpty());
    QCOMPARE(f->data->databasePath(), switched ? target : f->program.databasePath());
    QCOMPARE(Setting::DBConn.read(f->data->settings()), switched ? target : QString());
    QVERIFY(f->db());
    if (switched) // the program's statements run on the database chosen
        QCOMPARE(f->scalar(QStringLiteral("select count(*) from admin where UserName = 'admin'")).toInt(), 1);
    QCOMPARE(f->messages.shown.size(), pick == QLatin1String("text") ? 1 : onServer ? (switched ? 1 : 2) : 0);
    if (pick == QLatin1String("text") || (onServer && !switched))
        QCOMPARE(f->messages.last().kind, Msg::Kind::ErrorReport);
    if (switched) // back to the file for the cases after this one
        f->data->switchDatabase(f->program.databasePath());
}

// ---------------------------------------------------------------- looks

void TestDataTools::screenshots()
{
    const QString dir = qEnvironmentVariable("KEHU_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("KEHU_SCREENSHOTS names the folder for the pictures");
    seed();
    const SheetData sheet = Spreadsheet::read(fixture(QStringLiteral("customers.xlsx")));
    QStringList titles;
    for (int c = 1; c <= sheet.columnCount(); ++c)
        titles.append(sheet.text(1, c));
    Import::storeTitles(*f->db(), titles);
    TFrm_Import import(f->main.get(), sheet, f->main.get());
    import.show();
    QTest::qWait(50);
    import.grab().save(dir + QStringLiteral("/import.png"));
    TFrm_Backup backup(f->main.get(), f->main.get());
    backup.setFolder(f->program.dir() + QStringLiteral("DataBase"));
    backup.show();
    QTest::qWait(50);
    backup.grab().save(dir + QStringLiteral("/backup.png"));
    TFrm_ClearData clear(f->main.get(), f->main.get());
    clear.show();
    QTest::qWait(50);
    clear.grab().save(dir + QStringLiteral("/cleardata.png"));
    TFrm_OpenDatabase server(QStringLiteral("postgresql://office@192.168.1.20:5432/kehu"), f->main.get());
    server.show();
    QTest::qWait(50);
    server.grab().save(dir + QStringLiteral("/opendatabase.png"));
}

QTEST_MAIN(TestDataTools)
#include "tst_datatools.moc"
