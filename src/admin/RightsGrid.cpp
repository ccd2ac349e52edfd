#include "RightsGrid.h"
#include "store/Dataset.h"
#include "ui/Guarded.h"

#include <QHeaderView>

namespace {
const QString FunctionField = QStringLiteral("FunctionName");
const QString AuthorityField = QStringLiteral("Authority");
constexpr int FunctionColumn = 0;
constexpr int AuthorityColumn = 1;
} // namespace

RightsGrid::RightsGrid(QWidget *parent) : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({QStringLiteral("功能名称"), QStringLiteral("权限")});
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(FunctionColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(AuthorityColumn, QHeaderView::Fixed);
    horizontalHeader()->resizeSection(AuthorityColumn, 60);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
                    if (topLeft.column() <= AuthorityColumn && AuthorityColumn <= bottomRight.column())
                        if (QTableWidgetItem *box = item(row, AuthorityColumn))
                            boxChanged(box);
            });
}

void RightsGrid::setDataset(Dataset *dataset)
{
    m_dataset = dataset;
    reload();
}

Qt::ItemFlags RightsGrid::checkFlags() const
{
    // No ItemNeverHasChildren: the table widget takes that bit for its header items and
    // would not report the item's changes.
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return m_readOnly ? flags : flags | Qt::ItemIsUserCheckable;
}

void RightsGrid::reload()
{
    m_loading = true;
    setRowCount(0);
    if (m_dataset && m_dataset->isOpen()) {
        const int function = m_dataset->checkedFieldIndex(FunctionField);
        const int authority = m_dataset->checkedFieldIndex(AuthorityField);
        setRowCount(m_dataset->recordCount());
        for (int row = 0; row < m_dataset->recordCount(); ++row) {
            auto *caption = new QTableWidgetItem(Dataset::displayText(m_dataset->value(row, function)));
            caption->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            setItem(row, FunctionColumn, caption);
            auto *box = new QTableWidgetItem;
            box->setFlags(checkFlags());
            box->setCheckState(m_dataset->value(row, authority).toBool() ? Qt::Checked : Qt::Unchecked);
            setItem(row, AuthorityColumn, box);
        }
    }
    m_loading = false;
}

void RightsGrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_loading = true;
    for (int row = 0; row < rowCount(); ++row)
        if (QTableWidgetItem *box = item(row, AuthorityColumn))
            box->setFlags(checkFlags());
    m_loading = false;
}

QString RightsGrid::functionName(int row) const
{
    const QTableWidgetItem *caption = item(row, FunctionColumn);
    return caption ? caption->text() : QString();
}

bool RightsGrid::authority(int row) const
{
    const QTableWidgetItem *box = item(row, AuthorityColumn);
    return box && box->checkState() == Qt::Checked;
}

void RightsGrid::boxChanged(QTableWidgetItem *changed)
{
    if (m_loading || !m_dataset || changed->row() >= m_dataset->recordCount())
        return;
    const int row = changed->row();
    const bool on = changed->checkState() == Qt::Checked;
    Dataset *rows = m_dataset;
    if (rows->value(row, rows->checkedFieldIndex(AuthorityField)).toBool() == on)
        return;
    const bool written = guarded(this, [&] {
        rows->setCurrentRow(row);
        rows->setValue(AuthorityField, on);
        rows->post();
    });
    if (!written) {
        // The box shows what the table holds, not the refused change.
        if (rows->state() != Dataset::State::Browse)
            rows->cancel();
        reload();
    }
}
