#include "GridColumns.h"
#include "data/TFrm_Data.h"
#include "store/Dataset.h"
#include "store/queries/Layouts.h"
#include "ui/Messages.h"

namespace GridColumns {

void ApplyColumns(TFrm_Data *data, DataGrid *grid, Dataset *query, const QString &layout)
{
    if (grid->dataset() != query)
        grid->setDataset(query);
    grid->clearColumns();

    Dataset *rows = data->Qry_FieldShow;
    Layouts::openShown(*rows, layout);
    if (rows->recordCount() == 0)
        return;

    const int fieldCol = rows->checkedFieldIndex(QStringLiteral("Field"));
    const int widthCol = rows->checkedFieldIndex(QStringLiteral("Width"));
    const int nameCol = rows->checkedFieldIndex(QStringLiteral("Name"));
    const int sumCol = rows->checkedFieldIndex(QStringLiteral("SumField"));
    const int buttonCol = rows->checkedFieldIndex(QStringLiteral("ShowButton"));

    // Titles are repainted however the loop ends: a bad row stops it half way.
    struct RefreshTitles
    {
        DataGrid *grid;
        ~RefreshTitles() { grid->refreshTitles(); }
    } refresh{grid};

    for (int row = 0; row < rows->recordCount(); ++row) {
        const QString field = Dataset::displayText(rows->value(row, fieldCol));
        const QVariant width = rows->value(row, widthCol);
        const QString name = Dataset::displayText(rows->value(row, nameCol));
        const bool sum = rows->value(row, sumCol).toLongLong() == 1;
        const bool button = rows->value(row, buttonCol).toLongLong() == 1;

        if (!grid->addColumn(field, width.isNull() ? -1 : int(width.toLongLong())))
            break; // the grid is full
        const int column = grid->gridColumnCount() - 1;
        query->setDisplayLabel(field, name); // throws for a field the query lacks
        if (sum)
            grid->setSumColumn(column, true);
        if (button)
            grid->setButtonColumn(column, true);
    }
}

QString SortText(const QList<DataGrid::SortMark> &marks)
{
    QString text;
    for (const DataGrid::SortMark &mark : marks)
        text += mark.field + (mark.descending ? QStringLiteral(" DESC , ") : QStringLiteral(", "));
    if (!text.isEmpty()) {
        text.chop(2);
        text.prepend(QStringLiteral("  "));
    }
    return text;
}

void ApplySort(DataGrid *grid, Dataset *query)
{
    const QString text = SortText(grid->sortMarks());
    if (query->isOpen())
        query->setSort(text);
}

void SaveColumns(TFrm_Data *data, DataGrid *grid, const QString &layout, int notify)
{
    const QList<DataGrid::ColumnState> columns = grid->columnOrder();
    for (int i = 0; i < columns.size(); ++i) {
        Layouts::saveColumn(*data->connection(), layout, columns.at(i).field, i, columns.at(i).width);
    }
    if (notify == 1)
        Messages::confirm(grid, QStringLiteral("列属性已成功保存!"), Msg::Buttons::Ok);
}

} // namespace GridColumns
