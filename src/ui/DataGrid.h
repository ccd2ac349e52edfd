#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QTableView>

class Dataset;
class DatasetModel;
class GridFooter;

// The program's data grid: a table view bound to a Dataset.
//
// - It follows the dataset's current row both ways: selecting a row moves the dataset,
//   and the dataset moving (navigation, an editor, a locate) selects and shows the row.
// - Columns are bound to dataset fields by name. Without configured columns the grid
//   shows one column per field; addColumn() switches to the configured columns.
// - Titles act as buttons that put sort marks: a click on an unmarked title adds an
//   ascending mark, on an ascending one makes it descending, on a descending one removes
//   it. Several marks are kept in the order they were set; the grid only keeps them,
//   the window re-sorts its query (GridColumns::ApplySort) on titleClicked().
// - Columns marked as summed show the sum of their values in a footer row under the
//   rows; columns marked with a button show an ellipsis button in every cell.
// - Rows are painted on demand with a fixed row height and no per-row widgets, so a
//   grid of 100,000 rows scrolls as smoothly as one of ten.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    static constexpr int MaxColumns = 51;

    struct SortMark
    {
        QString field;
        bool descending = false;
        bool operator==(const SortMark &other) const = default;
    };
    struct ColumnState
    {
        QString field;
        int width = 0;
        bool operator==(const ColumnState &other) const = default;
    };

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setDataset(Dataset *dataset);
    Dataset *dataset() const;
    DatasetModel *datasetModel() const { return m_model; }

    // Read-only by default; an editable grid writes cell edits through the dataset.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    // --- columns (logical column numbers, as the model counts them)
    // Back to the default columns, one per dataset field; drops marks, sums and buttons.
    void clearColumns();
    // Appends a configured column; width < 0 keeps the default width. Returns false
    // when the grid already has MaxColumns configured columns.
    bool addColumn(const QString &field, int width = -1);
    bool hasConfiguredColumns() const;
    int gridColumnCount() const;
    QStringList columnFields() const;          // in logical order
    QString columnField(int column) const;
    int columnOfField(const QString &field) const; // -1 when no column shows it
    // The columns as the operator sees them: visual order, current widths.
    QList<ColumnState> columnOrder() const;
    // Repaints the titles after display labels of the dataset changed.
    void refreshTitles();

    void setSumColumn(int column, bool sum);
    bool isSumColumn(int column) const;
    void setButtonColumn(int column, bool button);
    bool hasButton(int column) const;
    // Where a cell's ellipsis button sits, in viewport coordinates.
    QRect ellipsisButtonRect(int row, int column) const;

    // --- footer
    bool hasFooter() const;
    // The footer text of a column: the sum of its values when it is summed, else empty.
    QString footerText(int column) const;

    // --- sort marks
    QList<SortMark> sortMarks() const { return m_sortMarks; }
    void setSortMarks(const QList<SortMark> &marks);
    void clearSortMarks();
    // What a title click does to the marks.
    void toggleSortMark(const QString &field);
    // The mark on a field: 0 none, otherwise its 1-based place in the marking order;
    // descending tells its direction.
    int sortMarkPlace(const QString &field, bool *descending = nullptr) const;

    // --- selection
    // Positions of the selected rows, ascending.
    QList<int> selectedRows() const;

signals:
    void ellipsisClicked(int row, const QString &field);
    void titleClicked(const QString &field);
    void sortMarksChanged();

protected:
    void updateGeometries() override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class GridFooter;
    friend class GridDelegate;
    void followDataset(int row);
    void columnsReplaced();
    void invalidateSums();
    void computeSums() const;
    void sectionClicked(int logicalIndex);
    void emitEllipsis(const QModelIndex &index);
    int footerHeight() const;

    DatasetModel *m_model;
    GridFooter *m_footer;
    bool m_readOnly = true;
    bool m_following = false; // the view is being moved to the dataset's row
    QSet<QString> m_sumFields;    // lower-case field names
    QSet<QString> m_buttonFields; // lower-case field names
    QList<SortMark> m_sortMarks;
    mutable bool m_sumsValid = false;
    mutable QHash<int, QString> m_sums; // column -> footer text
};
