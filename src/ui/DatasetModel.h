#pragma once

#include "store/Dataset.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

// A table model over a Dataset: one model row per dataset row, one model column per
// configured field (by default every field of the dataset, in order).
//
// The model follows the dataset's signals one change at a time: a changed row repaints
// that row only, an inserted or removed row is announced as such, and only an open,
// re-query or re-sort resets the model. Columns are bound by field name, so they stay
// bound when the dataset is opened again with a statement that lists its fields in
// another order.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The most characters a cell's display text has; a longer text ends in "…".
    static constexpr int MaxShownCharacters = 300;

    explicit DatasetModel(Dataset *dataset = nullptr, QObject *parent = nullptr);
    ~DatasetModel() override;

    void setDataset(Dataset *dataset);
    Dataset *dataset() const { return m_dataset; }

    // --- columns
    // Configured columns by field index or by field name; an empty list restores the
    // default of one column per field.
    void setColumns(const QList<int> &fieldIndexes);
    void setColumnFields(const QStringList &fields);
    void appendColumnField(const QString &field);
    void clearColumns() { setColumnFields({}); }
    bool hasConfiguredColumns() const { return !m_configured.isEmpty(); }
    QStringList columnFields() const;     // field name of each column, in model order
    QString fieldName(int column) const;  // as configured (or the dataset's name by default)
    int fieldIndex(int column) const;     // -1 when the dataset has no such field
    int columnOfField(const QString &field) const; // first column showing it, or -1

    // --- editing
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    // True while an insertion, removal or reset is being announced; views that follow
    // the dataset's current row ignore the renumbering the view does on its own then.
    bool isChangingRows() const { return m_changing; }

    // Tells the views that titles changed (display labels are set on the dataset).
    void refreshHeaders();

    // The text a grid shows for a value of a field of this kind: dates yyyy-MM-dd,
    // booleans 是/否, doubles without rounding noise, currency with at most 4 decimals.
    static QString displayText(FieldKind kind, const QVariant &value);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void datasetReset();
    void datasetRowChanged(int row);
    void datasetRowInserted(int row);
    void datasetRowsAppended(int first, int last);
    void datasetRowRemoved(int row);
    void datasetCurrentChanged(int row);
    void resolveColumns();
    int datasetRow(int modelRow) const;

    QPointer<Dataset> m_dataset;
    QStringList m_configured;   // configured field names; empty: every field
    QList<int> m_fields;        // field index of each column (-1: not in the dataset)
    int m_rowCount = 0;         // the row count the views know
    int m_current = -1;         // the row marked in the vertical header
    bool m_editable = false;
    // While an insertion or removal is being announced, the dataset already holds its
    // new rows; model rows are mapped onto them as they were before the change.
    int m_pendingInsert = -1;
    int m_pendingRemove = -1;
    bool m_changing = false;
};
