#include "GridPrint.h"
#include "store/Dataset.h"

#include "TFrm_Preview.h"
#include "ui/DataGrid.h"
#include "ui/WaitCursor.h"

#include <QAbstractItemModel>
#include <QHeaderView>

namespace GridPrint {

Report::GridTable table(const DataGrid *grid, const QString &title)
{
    Report::GridTable table;
    table.title = title;
    // A long list may still be arriving in the background: the printout gets every row.
    if (Dataset *rows = grid->dataset(); rows && rows->isLoading())
        rows->waitForLoaded();
    const QAbstractItemModel *model = grid->model();
    const QHeaderView *header = grid->horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || header->isSectionHidden(logical) || header->sectionSize(logical) <= 0)
            continue;
        columns.append(logical);
    }
    const int rows = model ? model->rowCount() : 0;
    // The texts are copied now: the preview stays right when the grid changes under it.
    std::vector<QStringList> cells(static_cast<size_t>(rows));
    bool anySum = false;
    QStringList footer;
    for (int logical : columns) {
        table.headers.append(model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString());
        table.widths.append(header->sectionSize(logical));
        const QVariant align = rows > 0 ? model->index(0, logical).data(Qt::TextAlignmentRole) : QVariant();
        table.alignments.append(align.isValid() ? Qt::Alignment(align.toInt()) & Qt::AlignHorizontal_Mask : Qt::AlignLeft);
        const QString sum = grid->hasFooter() ? grid->footerText(logical) : QString();
        anySum = anySum || !sum.isEmpty();
        footer.append(sum);
    }
    for (int row = 0; row < rows; ++row) {
        QStringList &line = cells[size_t(row)];
        line.reserve(columns.size());
        for (int logical : columns)
            line.append(model->index(row, logical).data(Qt::DisplayRole).toString());
    }
    if (anySum)
        table.footer = footer;
    table.rowCount = rows;
    auto shared = std::make_shared<std::vector<QStringList>>(std::move(cells));
    table.cell = [shared](int row, int column) { return shared->at(size_t(row)).value(column); };
    return table;
}

void preview(QWidget *parent, const DataGrid *grid, const QString &title, Options options)
{
    std::shared_ptr<Report::GridPages> pages;
    {
        WaitCursor wait;
        pages = std::make_shared<Report::GridPages>(table(grid, title), options);
    }
    TFrm_Preview preview(pages, parent);
    preview.exec();
}

} // namespace GridPrint
