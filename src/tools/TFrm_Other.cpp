#include "TFrm_Other.h"
#include "ui_TFrm_Other.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QAbstractItemDelegate>

namespace {

const QString OtherLayout = QStringLiteral("Other");

Lookups::List listOf(int page)
{
    return static_cast<Lookups::List>(page);
}

} // namespace

TFrm_Other::TFrm_Other(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Other>()), m_data(session->data()), m_values(m_data->Qry_Other)
{
    ui->setupUi(this);
    m_grids = {ui->DBGridEh1, ui->DBGridEh2, ui->DBGridEh3, ui->DBGridEh4, ui->DBGridEh5, ui->DBGridEh6};
    for (DataGrid *grid : m_grids) {
        grid->setReadOnly(false);
        grid->setDataset(m_values);
    }

    // The countries come first.
    ui->PageControl1->setCurrentIndex(0);
    showPage(0);

    connect(ui->PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        commitPending();
        guarded(this, [this, page] { showPage(page); });
    });
    connect(ui->ToolButton1, &QToolButton::clicked, this, [this] { guarded(this, [this] { addRow(); }); });
    connect(ui->ToolButton3, &QToolButton::clicked, this, [this] { guarded(this, [this] { deleteRow(); }); });
    connect(ui->ToolButton6, &QToolButton::clicked, this, &QDialog::reject);
}

TFrm_Other::~TFrm_Other() = default;

int TFrm_Other::currentPage() const
{
    return ui->PageControl1->currentIndex();
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
    Lookups::openList(*m_values, listOf(page));
    GridColumns::ApplyColumns(m_data, m_grids[size_t(page)], m_values, OtherLayout);
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
    if (m_values->state() != Dataset::State::Edit && m_values->state() != Dataset::State::Insert)
        return true;
    if (guarded(this, [this] { m_values->post(); }))
        return true;
    guarded(this, [this] { m_values->cancel(); });
    return false;
}

void TFrm_Other::addRow()
{
    if (!commitPending())
        return;
    m_values->append();
    try {
        m_values->setValue(QStringLiteral("Name"), QStringLiteral(""));
        const QString category = Lookups::newValueCategory(listOf(currentPage()));
        if (!category.isEmpty())
            m_values->setValue(QStringLiteral("Cataid"), category);
        m_values->post();
    } catch (...) {
        m_values->cancel(); // no half-made row stays in the list
        throw;
    }
    // The new empty row is where the operator types the value.
    if (DataGrid *grid = currentGrid()) {
        const int column = grid->columnOfField(QStringLiteral("Name"));
        const QModelIndex cell = grid->model()->index(m_values->currentRow(), column < 0 ? 0 : column);
        grid->setCurrentIndex(cell);
        grid->scrollTo(cell);
        grid->setFocus();
    }
}

void TFrm_Other::deleteRow()
{
    commitPending();
    // An empty list has nothing to delete: no question is asked.
    if (!m_values->isOpen() || m_values->currentRow() < 0)
        return;
    if (Messages::box(this, QStringLiteral("您确定要删除这条记录吗？"), QStringLiteral("删除记录"), Msg::Icon::Information,
                      Msg::Buttons::YesNoDefaultNo)
        != Msg::Answer::Yes)
        return;
    m_values->remove();
}

void TFrm_Other::done(int result)
{
    if (!commitPending())
        return; // the error was reported; the stored value is shown again
    QDialog::done(result);
}
