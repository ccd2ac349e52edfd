// The data grid and its model over a Dataset, on a real database with real widgets.
#include "TestProgram.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "ui/DataGrid.h"
#include "ui/DatasetModel.h"
#include "ui/Messages.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

// Company, City, Amount (currency), Price (double), Qty (integer), Paid (boolean), Day (date)
const char *const GridRows[] = {
    "'Alpha', 'Beijing', 10.5, 0.1, 3, 1, '2024-03-05'",
    "'Beta', 'Shanghai', 2.25, 0.2, 4, 0, '2023-12-31'",
    "'Gamma', 'Tianjin', 100, 1.5, 5, 0, NULL",
    "'Delta', 'Beijing', 0.0001, 2, 1, 1, '2024-01-01'",
    "'Epsilon', NULL, NULL, NULL, NULL, NULL, NULL",
    "'Zeta', 'Xian', 7, 3.25, 2, 1, '2022-06-30'",
    "'Eta', 'Wuhan', 1, 1, 1, 0, '2021-01-01'",
    "'Theta', 'Nanjing', 2, 2, 2, 1, '2020-02-29'",
};
constexpr int RowCount = int(std::size(GridRows));

} // namespace

class TestDataGrid : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelPassesTesterThroughChanges();
    void displayText_data();
    void displayText();
    void cellsShowKindsAndLabels();
    void changedRowRepaintsOnlyThatRow();
    void setDataWritesThroughTheDataset();
    void readOnlyGridRefusesEdits();
    void refusedValueIsReported();

    void gridFollowsDatasetRow();
    void datasetFollowsGridSelection();
    void selectedRowsAreSortedPositions();

    void titleClicksSetSortMarks_data();
    void titleClicksSetSortMarks();
    void sortMarksCanBeReadAndCleared();

    void footerShowsSumsOfMarkedColumns();
    void footerFollowsRowChanges();
    void footerSitsUnderTheRows();

    void ellipsisButtonEmitsRowAndField();

    void configuredColumnsKeepOrderAndWidths();
    void columnsSurviveReopen();
    void atMost51ConfiguredColumns();

private:
    void clickTitle(const QString &field);

    std::unique_ptr<TestProgram> m_program;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Dataset> m_rows;
    std::unique_ptr<DataGrid> m_grid;
    ScriptedMessages m_messages;
};

void TestDataGrid::init()
{
    m_program = std::make_unique<TestProgram>();
    m_connection = m_program->connect();
    m_connection->exec(QStringLiteral(
        "CREATE TABLE t_grid (id INTEGER PRIMARY KEY AUTOINCREMENT, Company VARCHAR(100) COLLATE NOCASE,"
        " City VARCHAR(50) COLLATE NOCASE, Amount CURRENCY, Price DOUBLE, Qty INTEGER, Paid BOOLEAN, Day DATETEXT)"));
    for (const char *row : GridRows)
        m_connection->exec(QStringLiteral("INSERT INTO t_grid (Company, City, Amount, Price, Qty, Paid, Day) VALUES (%1)")
                               .arg(QString::fromUtf8(row)));
    m_rows = std::make_unique<Dataset>(m_connection.get());
    m_rows->setObjectName(QStringLiteral("Qry_Grid"));
    m_rows->setSql(QStringLiteral("select * from t_grid order by id"));
    m_rows->open();

    m_messages = ScriptedMessages();
    Messages::install(&m_messages);
    m_grid = std::make_unique<DataGrid>();
    m_grid->resize(900, 300);
    m_grid->setDataset(m_rows.get());
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
}

void TestDataGrid::cleanup()
{
    m_grid.reset();
    m_rows.reset();
    m_connection.reset();
    m_program.reset();
    Messages::install(nullptr);
}

void TestDataGrid::clickTitle(const QString &field)
{
    QHeaderView *titles = m_grid->horizontalHeader();
    const int column = m_grid->columnOfField(field);
    QVERIFY(column >= 0);
    const QPoint centre(titles->sectionViewportPosition(column) + titles->sectionSize(column) / 2, titles->height() / 2);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, centre);
}

// --- the model

void TestDataGrid::modelPassesTesterThroughChanges()
{
    DatasetModel model(m_rows.get());
    model.setEditable(true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.rowCount(), RowCount);
    QCOMPARE(model.columnCount(), m_rows->fieldCount());

    // Edits through the model and through the dataset.
    const int city = model.columnOfField(QStringLiteral("City"));
    QVERIFY(model.setData(model.index(2, city), QStringLiteral("Harbin")));
    m_rows->post();
    m_rows->setCurrentRow(4);
    m_rows->setValue(QStringLiteral("Qty"), 9);
    m_rows->post();

    // Inserts, posted and cancelled, and removals in the middle and at the end.
    m_rows->append();
    m_rows->setValue(QStringLiteral("Company"), QStringLiteral("Iota"));
    m_rows->post();
    QCOMPARE(model.rowCount(), RowCount + 1);
    m_rows->append();
    m_rows->cancel();
    QCOMPARE(model.rowCount(), RowCount + 1);
    m_rows->setCurrentRow(3);
    m_rows->remove();
    m_rows->last();
    m_rows->remove();
    QCOMPARE(model.rowCount(), RowCount - 1);
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(model.index(row, 0).data(Qt::EditRole), m_rows->value(row, 0));

    // Columns configured, appended, and back to the default; sort, refresh and close.
    model.setColumnFields({QStringLiteral("City"), QStringLiteral("Company")});
    model.appendColumnField(QStringLiteral("Amount"));
    QCOMPARE(model.columnFields(), QStringList({"City", "Company", "Amount"}));
    m_rows->setSort(QStringLiteral("  Company DESC "));
    m_rows->refresh();
    model.clearColumns();
    QCOMPARE(model.columnCount(), m_rows->fieldCount());
    m_rows->close();
    QCOMPARE(model.rowCount(), 0);
    m_rows->open();
    QCOMPARE(model.rowCount(), RowCount - 1);
}

void TestDataGrid::displayText_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    const int text = int(FieldKind::Text), dbl = int(FieldKind::Double), cur = int(FieldKind::Currency);
    QTest::newRow("null") << text << QVariant() << QString();
    QTest::newRow("text") << text << QVariant(QStringLiteral("O'Neil")) << QStringLiteral("O'Neil");
    QTest::newRow("date") << int(FieldKind::Date) << QVariant(QDate(2024, 3, 5)) << QStringLiteral("2024-03-05");
    QTest::newRow("true") << int(FieldKind::Boolean) << QVariant(true) << QStringLiteral("是");
    QTest::newRow("false") << int(FieldKind::Boolean) << QVariant(false) << QStringLiteral("否");
    QTest::newRow("integer") << int(FieldKind::Integer) << QVariant(qlonglong(-42)) << QStringLiteral("-42");
    QTest::newRow("double noise") << dbl << QVariant(0.1 + 0.2) << QStringLiteral("0.3");
    QTest::newRow("double whole") << dbl << QVariant(3.0) << QStringLiteral("3");
    QTest::newRow("double fraction") << dbl << QVariant(1234.5) << QStringLiteral("1234.5");
    QTest::newRow("double negative zero") << dbl << QVariant(-0.0) << QStringLiteral("0");
    QTest::newRow("currency 4 places") << cur << QVariant(3.14159265) << QStringLiteral("3.1416");
    QTest::newRow("currency no trailing zeros") << cur << QVariant(2.5) << QStringLiteral("2.5");
    QTest::newRow("currency whole") << cur << QVariant(100.0) << QStringLiteral("100");
    QTest::newRow("currency smallest") << cur << QVariant(0.0001) << QStringLiteral("0.0001");
}

void TestDataGrid::displayText()
{
    QFETCH(int, kind);
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(DatasetModel::displayText(FieldKind(kind), value), expected);
}

void TestDataGrid::cellsShowKindsAndLabels()
{
    DatasetModel *model = m_grid->datasetModel();
    auto cell = [&](int row, const char *field, int role = Qt::DisplayRole) {
        return model->index(row, model->columnOfField(QString::fromLatin1(field))).data(role);
    };
    QCOMPARE(cell(0, "Day").toString(), QStringLiteral("2024-03-05"));
    QCOMPARE(cell(0, "Day", Qt::EditRole).toDate(), QDate(2024, 3, 5));
    QCOMPARE(cell(0, "Paid").toString(), QStringLiteral("是"));
    QCOMPARE(cell(1, "Paid").toString(), QStringLiteral("否"));
    QCOMPARE(cell(0, "Amount").toString(), QStringLiteral("10.5"));
    QCOMPARE(cell(3, "Amount").toString(), QStringLiteral("0.0001"));
    QCOMPARE(cell(2, "Amount").toString(), QStringLiteral("100"));
    QCOMPARE(cell(4, "City").toString(), QString());
    QVERIFY(cell(4, "City", Qt::EditRole).isNull());
    QVERIFY(cell(0, "Qty", Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    QVERIFY(cell(0, "Company", Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);

    // Titles show the field's display label.
    const int company = model->columnOfField(QStringLiteral("Company"));
    QCOMPARE(model->headerData(company, Qt::Horizontal).toString(), QStringLiteral("Company"));
    QSignalSpy titles(model, &QAbstractItemModel::headerDataChanged);
    m_rows->setDisplayLabel(QStringLiteral("Company"), QStringLiteral("公司名称"));
    m_grid->refreshTitles();
    QVERIFY(!titles.isEmpty());
    QCOMPARE(model->headerData(company, Qt::Horizontal).toString(), QStringLiteral("公司名称"));
    // The row indicator marks the current row.
    m_rows->setCurrentRow(2);
    QCOMPARE(model->headerData(2, Qt::Vertical).toString(), QStringLiteral("▶"));
    QCOMPARE(model->headerData(0, Qt::Vertical).toString(), QString());

    // A text of a megabyte shows its start in the list; the row keeps all of it.
    const QString huge(1 << 20, u'长');
    m_rows->setCurrentRow(1);
    m_rows->edit();
    m_rows->setValue(QStringLiteral("City"), huge);
    const QString shown = cell(1, "City").toString();
    QCOMPARE(shown.size(), DatasetModel::MaxShownCharacters + 1);
    QVERIFY(shown.endsWith(QStringLiteral("…")));
    QCOMPARE(cell(1, "City", Qt::EditRole).toString(), huge);
    m_rows->cancel();
}

void TestDataGrid::changedRowRepaintsOnlyThatRow()
{
    DatasetModel *model = m_grid->datasetModel();
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);

    m_rows->setCurrentRow(5);
    m_rows->setValue(QStringLiteral("City"), QStringLiteral("Chengdu"));
    m_rows->post();
    QVERIFY(!changed.isEmpty());
    for (const QList<QVariant> &args : std::as_const(changed)) {
        QCOMPARE(args.at(0).toModelIndex().row(), 5);
        QCOMPARE(args.at(1).toModelIndex().row(), 5);
        QCOMPARE(args.at(0).toModelIndex().column(), 0);
        QCOMPARE(args.at(1).toModelIndex().column(), model->columnCount() - 1);
    }
    m_rows->append();
    m_rows->post();
    m_rows->setCurrentRow(1);
    m_rows->remove();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), RowCount);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.first().at(1).toInt(), 1);
    QCOMPARE(resets.size(), 0);
    QCOMPARE(model->rowCount(), RowCount);
}

void TestDataGrid::setDataWritesThroughTheDataset()
{
    m_grid->setReadOnly(false);
    DatasetModel *model = m_grid->datasetModel();
    const QModelIndex city = model->index(3, model->columnOfField(QStringLiteral("City")));
    QVERIFY(model->flags(city) & Qt::ItemIsEditable);
    m_rows->setCurrentRow(0);

    QVERIFY(model->setData(city, QStringLiteral("Qingdao")));
    QCOMPARE(m_rows->currentRow(), 3);              // moved to the row first
    QCOMPARE(m_grid->currentIndex().row(), 3);
    QCOMPARE(m_rows->state(), Dataset::State::Edit);
    QCOMPARE(city.data().toString(), QStringLiteral("Qingdao"));

    // Leaving the row posts it to the table.
    m_grid->setCurrentIndex(model->index(0, 0));
    QCOMPARE(m_rows->state(), Dataset::State::Browse);
    Dataset check(m_connection.get());
    check.setSql(QStringLiteral("select City from t_grid where Company='Delta'"));
    check.open();
    QCOMPARE(check.text(QStringLiteral("City")), QStringLiteral("Qingdao"));

    // The editor's own path: type into the cell and commit with Enter.
    const QModelIndex company = model->index(1, model->columnOfField(QStringLiteral("Company")));
    m_grid->setCurrentIndex(company);
    m_grid->edit(company);
    QWidget *editor = m_grid->indexWidget(company);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Beta Ltd"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits from a queued call
    QVERIFY(!m_grid->indexWidget(company));
    QCOMPARE(m_rows->value(1, m_rows->fieldIndex(QStringLiteral("Company"))).toString(), QStringLiteral("Beta Ltd"));

    // Escape outside an editor cancels the pending row edit.
    QTest::keyClick(m_grid.get(), Qt::Key_Escape);
    QCOMPARE(m_rows->state(), Dataset::State::Browse);
    QCOMPARE(company.data().toString(), QStringLiteral("Beta"));
}

void TestDataGrid::readOnlyGridRefusesEdits()
{
    DatasetModel *model = m_grid->datasetModel();
    QVERIFY(m_grid->isReadOnly());
    const QModelIndex city = model->index(2, model->columnOfField(QStringLiteral("City")));
    QVERIFY(!(model->flags(city) & Qt::ItemIsEditable));
    QVERIFY(!model->setData(city, QStringLiteral("Harbin")));
    QCOMPARE(m_rows->state(), Dataset::State::Browse);
    QCOMPARE(city.data().toString(), QStringLiteral("Tianjin"));

    // A view's rows are never editable, whatever the grid allows.
    m_grid->setReadOnly(false);
    Dataset view(m_connection.get());
    view.setSql(QStringLiteral("select Company, City from t_grid"));
    view.open();
    DatasetModel viewModel(&view);
    viewModel.setEditable(true);
    QVERIFY(!(viewModel.flags(viewModel.index(0, 0)) & Qt::ItemIsEditable));
}

void TestDataGrid::refusedValueIsReported()
{
    m_grid->setReadOnly(false);
    DatasetModel *model = m_grid->datasetModel();
    const QModelIndex qty = model->index(1, model->columnOfField(QStringLiteral("Qty")));
    QVERIFY(!model->setData(qty, QStringLiteral("many")));
    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.last().kind, Msg::Kind::ErrorReport);
    QVERIFY(m_messages.last().text.contains(QStringLiteral("many")));
    QCOMPARE(qty.data().toString(), QStringLiteral("4"));
}

// --- current row and selection

void TestDataGrid::gridFollowsDatasetRow()
{
    m_rows->setCurrentRow(5);
    QCOMPARE(m_grid->currentIndex().row(), 5);
    QCOMPARE(m_grid->selectedRows(), QList<int>{5});
    m_rows->next();
    QCOMPARE(m_grid->currentIndex().row(), 6);
    QCOMPARE(m_grid->selectedRows(), QList<int>{6});

    // A new row is selected; after a removal the dataset's new row is.
    m_rows->append();
    QCOMPARE(m_grid->currentIndex().row(), RowCount);
    m_rows->cancel();
    QCOMPARE(m_grid->currentIndex().row(), RowCount - 1);
    m_rows->setCurrentRow(2);
    m_rows->remove();
    QCOMPARE(m_rows->currentRow(), 2);
    QCOMPARE(m_grid->currentIndex().row(), 2);
    QCOMPARE(m_grid->currentIndex().data().toString(), m_rows->value(2, 0).toString());

    // Re-sorting keeps the same record current.
    m_rows->setCurrentRow(0); // Alpha
    m_rows->setSort(QStringLiteral("Company DESC"));
    QCOMPARE(m_rows->text(QStringLiteral("Company")), QStringLiteral("Alpha"));
    QCOMPARE(m_grid->currentIndex().row(), m_rows->currentRow());

    // Far rows are scrolled into view.
    m_rows->last();
    const QRect shown = m_grid->visualRect(m_grid->currentIndex());
    QVERIFY(m_grid->viewport()->rect().intersects(shown));
}

void TestDataGrid::datasetFollowsGridSelection()
{
    DatasetModel *model = m_grid->datasetModel();
    m_grid->selectRow(4);
    QCOMPARE(m_rows->currentRow(), 4);

    // A click on a cell, then the keyboard.
    const QRect cell = m_grid->visualRect(model->index(2, 1));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_rows->currentRow(), 2);
    QTest::keyClick(m_grid.get(), Qt::Key_Down);
    QCOMPARE(m_rows->currentRow(), 3);
    QTest::keyClick(m_grid.get(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(m_rows->currentRow(), RowCount - 1);
}

void TestDataGrid::selectedRowsAreSortedPositions()
{
    DatasetModel *model = m_grid->datasetModel();
    auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, modifiers, m_grid->visualRect(model->index(row, 0)).center());
    };
    click(5, {});
    click(1, Qt::ControlModifier);
    click(3, Qt::ControlModifier);
    QCOMPARE(m_grid->selectedRows(), QList<int>({1, 3, 5}));
    QCOMPARE(m_rows->currentRow(), 3);
    click(1, Qt::ControlModifier); // off again
    QCOMPARE(m_grid->selectedRows(), QList<int>({3, 5}));
    click(6, Qt::ShiftModifier);
    QCOMPARE(m_grid->selectedRows(), QList<int>({1, 2, 3, 4, 5, 6}));
    m_grid->selectAll();
    QCOMPARE(m_grid->selectedRows().size(), RowCount);
    m_grid->clearSelection();
    QCOMPARE(m_grid->selectedRows(), QList<int>());
}

// --- sort marks

void TestDataGrid::titleClicksSetSortMarks_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("marks"); // "field asc|desc" in marking order

    QTest::newRow("one click ascending") << QStringList{"Company"} << QStringList{"Company asc"};
    QTest::newRow("second click descending") << QStringList{"Company", "Company"} << QStringList{"Company desc"};
    QTest::newRow("third click removes") << QStringList{"Company", "Company", "Company"} << QStringList{};
    QTest::newRow("marking order kept") << QStringList{"City", "Company"} << QStringList{"City asc", "Company asc"};
    QTest::newRow("descending keeps its place")
        << QStringList{"Company", "City", "Company"} << QStringList{"Company desc", "City asc"};
    QTest::newRow("removed from the middle")
        << QStringList{"Company", "City", "Qty", "City", "City"} << QStringList{"Company asc", "Qty asc"};
    QTest::newRow("removed then marked again goes last")
        << QStringList{"Company", "City", "Company", "Company", "Company"} << QStringList{"City asc", "Company asc"};
}

void TestDataGrid::titleClicksSetSortMarks()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, marks);
    QSignalSpy clicked(m_grid.get(), &DataGrid::titleClicked);
    for (const QString &field : clicks)
        clickTitle(field);
    QStringList actual;
    for (const DataGrid::SortMark &mark : m_grid->sortMarks())
        actual.append(mark.field + (mark.descending ? QStringLiteral(" desc") : QStringLiteral(" asc")));
    QCOMPARE(actual, marks);
    QCOMPARE(clicked.size(), clicks.size());
    QCOMPARE(clicked.last().at(0).toString(), clicks.last());
    // Marks alone never re-sort the query: the window does that.
    QCOMPARE(m_rows->sort(), QString());
    QCOMPARE(m_rows->text(QStringLiteral("Company")), QStringLiteral("Alpha"));
}

void TestDataGrid::sortMarksCanBeReadAndCleared()
{
    QSignalSpy changed(m_grid.get(), &DataGrid::sortMarksChanged);
    clickTitle(QStringLiteral("Qty"));
    clickTitle(QStringLiteral("Day"));
    clickTitle(QStringLiteral("Day"));
    QCOMPARE(changed.size(), 3);
    bool descending = false;
    QCOMPARE(m_grid->sortMarkPlace(QStringLiteral("day"), &descending), 2);
    QVERIFY(descending);
    QCOMPARE(m_grid->sortMarkPlace(QStringLiteral("Company")), 0);
    m_grid->horizontalHeader()->grab(); // paints the indicators and place numbers

    m_grid->clearSortMarks();
    QVERIFY(m_grid->sortMarks().isEmpty());
    QCOMPARE(changed.size(), 4);
    // A new set of columns starts without marks.
    clickTitle(QStringLiteral("City"));
    m_grid->clearColumns();
    QVERIFY(m_grid->sortMarks().isEmpty());
}

// --- footer

void TestDataGrid::footerShowsSumsOfMarkedColumns()
{
    QVERIFY(!m_grid->hasFooter());
    auto column = [&](const char *field) { return m_grid->columnOfField(QString::fromLatin1(field)); };
    m_grid->setSumColumn(column("Amount"), true);
    m_grid->setSumColumn(column("Price"), true);
    m_grid->setSumColumn(column("Qty"), true);
    m_grid->setSumColumn(column("City"), true);
    QVERIFY(m_grid->hasFooter());
    QCOMPARE(m_grid->footerText(column("Amount")), QStringLiteral("122.7501"));
    QCOMPARE(m_grid->footerText(column("Price")), QStringLiteral("10.05"));
    QCOMPARE(m_grid->footerText(column("Qty")), QStringLiteral("18"));
    QCOMPARE(m_grid->footerText(column("City")), QString()); // no text reads as a number
    QCOMPARE(m_grid->footerText(column("Company")), QString());        // not summed

    m_grid->setSumColumn(column("City"), false);
    QCOMPARE(m_grid->footerText(column("City")), QString());
}

void TestDataGrid::footerFollowsRowChanges()
{
    const int qty = m_grid->columnOfField(QStringLiteral("Qty"));
    m_grid->setSumColumn(qty, true);
    QCOMPARE(m_grid->footerText(qty), QStringLiteral("18"));

    m_rows->setCurrentRow(0);
    m_rows->setValue(QStringLiteral("Qty"), 13);
    QCOMPARE(m_grid->footerText(qty), QStringLiteral("28")); // the pending edit counts
    m_rows->post();
    m_rows->append();
    m_rows->setValue(QStringLiteral("Qty"), 2);
    m_rows->post();
    QCOMPARE(m_grid->footerText(qty), QStringLiteral("30"));
    m_rows->setCurrentRow(1);
    m_rows->remove();
    QCOMPARE(m_grid->footerText(qty), QStringLiteral("26"));
    m_rows->setSql(QStringLiteral("select * from t_grid where Qty > 2"));
    m_rows->open();
    QCOMPARE(m_grid->footerText(qty), QStringLiteral("18"));
}

void TestDataGrid::footerSitsUnderTheRows()
{
    m_grid->setSumColumn(m_grid->columnOfField(QStringLiteral("Qty")), true);
    QCoreApplication::processEvents();
    const QRect viewport = m_grid->viewport()->geometry();
    const QRect scrollBar = m_grid->horizontalScrollBar()->isVisible()
                                ? m_grid->horizontalScrollBar()->parentWidget()->geometry()
                                : QRect();
    // The footer is the one direct child that sits right under the viewport.
    QWidget *strip = nullptr;
    for (QWidget *child : m_grid->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child->geometry().top() == viewport.bottom() + 1 && child != m_grid->viewport())
            strip = child;
    QVERIFY(strip);
    QCOMPARE(strip->geometry().right(), viewport.right());
    QCOMPARE(strip->geometry().left(), viewport.left() - m_grid->verticalHeader()->width());
    if (scrollBar.isValid())
        QVERIFY(strip->geometry().bottom() < scrollBar.top());

    // The last row can still be scrolled fully into view above the footer.
    m_grid->resize(900, 120);
    QCoreApplication::processEvents();
    m_rows->last();
    QVERIFY(m_grid->viewport()->rect().contains(m_grid->visualRect(m_grid->currentIndex())));

    // Without summed columns the strip goes away and the rows take its place.
    m_grid->setSumColumn(m_grid->columnOfField(QStringLiteral("Qty")), false);
    QCoreApplication::processEvents();
    QVERIFY(!strip->isVisible());
    QCOMPARE(m_grid->viewport()->geometry().bottom(), strip->geometry().bottom());
}

// --- ellipsis buttons

void TestDataGrid::ellipsisButtonEmitsRowAndField()
{
    const int city = m_grid->columnOfField(QStringLiteral("City"));
    const int company = m_grid->columnOfField(QStringLiteral("Company"));
    m_grid->setButtonColumn(city, true);
    QVERIFY(m_grid->hasButton(city));
    QVERIFY(!m_grid->hasButton(company));
    QSignalSpy clicked(m_grid.get(), &DataGrid::ellipsisClicked);

    const QRect button = m_grid->ellipsisButtonRect(3, city);
    QVERIFY(m_grid->visualRect(m_grid->datasetModel()->index(3, city)).contains(button));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, button.center());
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked.first().at(0).toInt(), 3);
    QCOMPARE(clicked.first().at(1).toString(), QStringLiteral("City"));
    QCOMPARE(m_rows->currentRow(), 3); // the press made the row current

    // The text part of the cell and cells of other columns are ordinary cells.
    const QRect cell = m_grid->visualRect(m_grid->datasetModel()->index(5, city));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 5, cell.center().y()));
    const QRect other = m_grid->visualRect(m_grid->datasetModel()->index(6, company));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, QPoint(other.right() - 4, other.center().y()));
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(m_rows->currentRow(), 6);

    // Ctrl+Enter on a button cell does what the button does.
    m_grid->setCurrentIndex(m_grid->datasetModel()->index(1, city));
    QTest::keyClick(m_grid.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(clicked.size(), 2);
    QCOMPARE(clicked.last().at(0).toInt(), 1);
    m_grid->viewport()->grab(); // the buttons paint
}

// --- columns

void TestDataGrid::configuredColumnsKeepOrderAndWidths()
{
    QVERIFY(!m_grid->hasConfiguredColumns());
    QCOMPARE(m_grid->columnFields(), m_rows->fieldNames());

    QVERIFY(m_grid->addColumn(QStringLiteral("Company"), 150));
    QVERIFY(m_grid->addColumn(QStringLiteral("City"), 80));
    QVERIFY(m_grid->addColumn(QStringLiteral("Qty"), 40));
    QVERIFY(m_grid->hasConfiguredColumns());
    using CS = DataGrid::ColumnState;
    QCOMPARE(m_grid->columnOrder(), QList<CS>({{"Company", 150}, {"City", 80}, {"Qty", 40}}));
    QCOMPARE(m_grid->currentIndex().row(), m_rows->currentRow());

    // The operator drags the third column to the front and widens the city.
    QHeaderView *titles = m_grid->horizontalHeader();
    titles->moveSection(2, 0);
    titles->resizeSection(m_grid->columnOfField(QStringLiteral("City")), 120);
    QCOMPARE(m_grid->columnOrder(), QList<CS>({{"Qty", 40}, {"Company", 150}, {"City", 120}}));
    QCOMPARE(m_grid->columnFields(), QStringList({"Company", "City", "Qty"})); // logical order

    // A new set of columns starts in its own order.
    m_grid->clearColumns();
    m_grid->addColumn(QStringLiteral("Day"), 90);
    m_grid->addColumn(QStringLiteral("Company"));
    QCOMPARE(m_grid->columnOrder(), QList<CS>({{"Day", 90}, {"Company", titles->defaultSectionSize()}}));
    m_grid->clearColumns();
    QCOMPARE(m_grid->columnOrder().size(), m_rows->fieldCount());
    QCOMPARE(m_grid->columnOrder().first().field, QStringLiteral("id"));
}

void TestDataGrid::columnsSurviveReopen()
{
    m_grid->addColumn(QStringLiteral("City"), 70);
    m_grid->addColumn(QStringLiteral("Company"), 130);
    m_grid->horizontalHeader()->moveSection(1, 0);
    m_rows->setDisplayLabel(QStringLiteral("City"), QStringLiteral("城市"));

    // The same query opened with its fields in another order.
    m_rows->setSql(QStringLiteral("select Qty, Company, City, id from t_grid"));
    m_rows->open();
    using CS = DataGrid::ColumnState;
    QCOMPARE(m_grid->columnOrder(), QList<CS>({{"Company", 130}, {"City", 70}}));
    QCOMPARE(m_grid->datasetModel()->index(0, 0).data().toString(), QStringLiteral("Beijing"));
    QCOMPARE(m_grid->datasetModel()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("城市"));
    QCOMPARE(m_grid->currentIndex().row(), 0);
}

void TestDataGrid::atMost51ConfiguredColumns()
{
    const QStringList fields = m_rows->fieldNames();
    int added = 0;
    for (int i = 0; i < 60; ++i)
        added += m_grid->addColumn(fields.at(i % fields.size()), 20) ? 1 : 0;
    QCOMPARE(added, DataGrid::MaxColumns);
    QCOMPARE(m_grid->gridColumnCount(), DataGrid::MaxColumns);
}

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
