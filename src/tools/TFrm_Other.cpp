#include "TFrm_Other.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "store/SqlText.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"

#include <QAbstractItemDelegate>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The page of the units of measure: its rows live in T_Other under this Cataid.
constexpr int UnitsPage = 5;
const QString UnitsCataid = QStringLiteral("Units");

const QString OtherLayout = QStringLiteral("Other");

} // namespace

QString TFrm_Other::pageSql(int page)
{
    switch (page) {
    case 0: return QStringLiteral("select * from Dict_Country");
    case 1: return QStringLiteral("select * from Dict_Zw");
    case 2: return QStringLiteral("select * from Dict_department");
    case 3: return QStringLiteral("select * from Dict_custfrom");
    case 4: return QStringLiteral("select * from Dict_custType");
    case UnitsPage: return QStringLiteral("select * from T_other where cataid=") + SqlText::quoted(UnitsCataid);
    default: return {};
    }
}

TFrm_Other::TFrm_Other(TFrm_Data *data, QWidget *parent) : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("Frm_Other"));
    setWindowTitle(QStringLiteral("其它管理"));
    setModal(true);
    resize(420, 460);
    Qry_Other = data->Qry_Other;

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto toolButton = [this](const char *name, const QString &caption) {
        auto *button = new QToolButton(ToolBar1);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        button->setMinimumWidth(64);
        ToolBar1->addWidget(button);
        return button;
    };
    ToolButton1 = toolButton("ToolButton1", QStringLiteral("添加"));
    ToolButton3 = toolButton("ToolButton3", QStringLiteral("删除"));
    ToolBar1->addSeparator();
    ToolButton6 = toolButton("ToolButton6", QStringLiteral("  退出  "));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    struct PageEntry { QWidget **page; const char *pageName; const char *caption; DataGrid **grid; const char *gridName; };
    const PageEntry pages[PageCount] = {
        {&TS_Country, "TS_Country", " 国家 ", &DBGridEh1, "DBGridEh1"},
        {&TS_Zw, "TS_Zw", " 职位", &DBGridEh2, "DBGridEh2"},
        {&TS_Depart, "TS_Depart", "部门", &DBGridEh3, "DBGridEh3"},
        {&TS_CustFrom, "TS_CustFrom", "客户来源", &DBGridEh4, "DBGridEh4"},
        {&TS_CustType, "TS_CustType", "客户类型", &DBGridEh5, "DBGridEh5"},
        {&TS_Units, "TS_Units", "计量单位", &DBGridEh6, "DBGridEh6"},
    };
    for (int i = 0; i < PageCount; ++i) {
        const PageEntry &entry = pages[i];
        auto *page = new QWidget(PageControl1);
        page->setObjectName(QString::fromLatin1(entry.pageName));
        auto *grid = new DataGrid(page);
        grid->setObjectName(QString::fromLatin1(entry.gridName));
        grid->setReadOnly(false);
        grid->setDataset(Qry_Other);
        auto *pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(4, 4, 4, 4);
        pageLayout->addWidget(grid);
        PageControl1->addTab(page, QString::fromUtf8(entry.caption));
        *entry.page = page;
        *entry.grid = grid;
        m_grids[size_t(i)] = grid;
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(ToolBar1);
    layout->addWidget(PageControl1, 1);

    // The countries come first.
    PageControl1->setCurrentIndex(0);
    showPage(0);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        commitPending();
        guarded(this, [this, page] { showPage(page); });
    });
    connect(ToolButton1, &QToolButton::clicked, this, [this] { guarded(this, [this] { addRow(); }); });
    connect(ToolButton3, &QToolButton::clicked, this, [this] { guarded(this, [this] { deleteRow(); }); });
    connect(ToolButton6, &QToolButton::clicked, this, &QDialog::reject);
}

TFrm_Other::~TFrm_Other() = default;

int TFrm_Other::currentPage() const
{
    return PageControl1->currentIndex();
}

DataGrid *TFrm_Other::currentGrid() const
{
    const int page = currentPage();
    return page >= 0 && page < PageCount ? m_grids[size_t(page)] : nullptr;
}

void TFrm_Other::showPage(int page)
{
    if (page < 0 || page >= PageCount)
        return;
    TFrm_Data::RunQuery(Qry_Other, pageSql(page));
    GridColumns::ApplyColumns(m_data, m_grids[size_t(page)], Qry_Other, OtherLayout);
}

bool TFrm_Other::commitPending()
{
    // A cell still being typed in: its text goes into the row first (a tool button
    // takes no focus, so the cell editor would otherwise keep it to itself).
    for (DataGrid *grid : m_grids) {
        if (QWidget *editor = grid->indexWidget(grid->currentIndex())) {
            QMetaObject::invokeMethod(grid, "commitData", Qt::DirectConnection, Q_ARG(QWidget *, editor));
            QMetaObject::invokeMethod(grid, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget *, editor),
                                      Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
        }
    }
    if (Qry_Other->state() != Dataset::State::Edit && Qry_Other->state() != Dataset::State::Insert)
        return true;
    if (guarded(this, [this] { Qry_Other->post(); }))
        return true;
    guarded(this, [this] { Qry_Other->cancel(); });
    return false;
}

void TFrm_Other::addRow()
{
    if (!commitPending())
        return;
    Qry_Other->append();
    try {
        Qry_Other->setValue(QStringLiteral("Name"), QStringLiteral(""));
        if (currentPage() == UnitsPage)
            Qry_Other->setValue(QStringLiteral("Cataid"), UnitsCataid);
        Qry_Other->post();
    } catch (...) {
        Qry_Other->cancel(); // no half-made row stays in the list
        throw;
    }
    // The new empty row is where the operator types the value.
    if (DataGrid *grid = currentGrid()) {
        const int column = grid->columnOfField(QStringLiteral("Name"));
        const QModelIndex cell = grid->model()->index(Qry_Other->currentRow(), column < 0 ? 0 : column);
        grid->setCurrentIndex(cell);
        grid->scrollTo(cell);
        grid->setFocus();
    }
}

void TFrm_Other::deleteRow()
{
    commitPending();
    // An empty list has nothing to delete: no question is asked.
    if (!Qry_Other->isOpen() || Qry_Other->currentRow() < 0)
        return;
    if (Messages::box(this, QStringLiteral("您确定要删除这条记录吗？"), QStringLiteral("删除记录"), Msg::Icon::Information,
                      Msg::Buttons::YesNo)
        != Msg::Answer::Yes)
        return;
    Qry_Other->remove();
}

void TFrm_Other::done(int result)
{
    if (!commitPending())
        return; // the error was reported; the stored value is shown again
    QDialog::done(result);
}
