#include "DatasetModel.h"
#include "Guarded.h"

#include <QScopedValueRollback>
#include <cmath>

namespace {


bool isNumericKind(FieldKind kind)
{
    return kind == FieldKind::Integer || kind == FieldKind::Double || kind == FieldKind::Currency;
}

// An editor that is closed without a change must not put the row into edit state.
bool sameEditValue(const QVariant &stored, const QVariant &edited)
{
    const bool storedEmpty = stored.isNull() || (stored.typeId() == QMetaType::QString && stored.toString().isEmpty());
    const bool editedEmpty = !edited.isValid() || edited.isNull()
                             || (edited.typeId() == QMetaType::QString && edited.toString().isEmpty());
    if (storedEmpty || editedEmpty)
        return storedEmpty == editedEmpty;
    if (stored.typeId() == edited.typeId())
        return stored == edited;
    if (edited.typeId() == QMetaType::QString)
        return false; // typed text is converted by the dataset; let it decide
    return QVariant::compare(stored, edited) == QPartialOrdering::Equivalent;
}

} // namespace

DatasetModel::DatasetModel(Dataset *dataset, QObject *parent) : QAbstractTableModel(parent)
{
    setDataset(dataset);
}

DatasetModel::~DatasetModel() = default;

void DatasetModel::setDataset(Dataset *dataset)
{
    if (m_dataset == dataset)
        return;
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (dataset) {
        connect(dataset, &Dataset::reset, this, &DatasetModel::datasetReset);
        connect(dataset, &Dataset::rowChanged, this, &DatasetModel::datasetRowChanged);
        connect(dataset, &Dataset::rowInserted, this, &DatasetModel::datasetRowInserted);
        connect(dataset, &Dataset::rowsAppended, this, &DatasetModel::datasetRowsAppended);
        connect(dataset, &Dataset::rowRemoved, this, &DatasetModel::datasetRowRemoved);
        connect(dataset, &Dataset::currentRowChanged, this, &DatasetModel::datasetCurrentChanged);
        connect(dataset, &QObject::destroyed, this, [this] {
            m_dataset = nullptr;
            datasetReset();
        });
    }
    datasetReset();
}

// --- columns

void DatasetModel::resolveColumns()
{
    m_fields.clear();
    if (m_configured.isEmpty()) {
        const int n = m_dataset ? m_dataset->fieldCount() : 0;
        for (int i = 0; i < n; ++i)
            m_fields.append(i);
        return;
    }
    for (const QString &name : std::as_const(m_configured))
        m_fields.append(m_dataset ? m_dataset->fieldIndex(name) : -1);
}

void DatasetModel::setColumns(const QList<int> &fieldIndexes)
{
    QStringList names;
    for (int field : fieldIndexes)
        if (m_dataset && field >= 0 && field < m_dataset->fieldCount())
            names.append(m_dataset->fieldDef(field).name);
    setColumnFields(names);
}

void DatasetModel::setColumnFields(const QStringList &fields)
{
    const QScopedValueRollback changing(m_changing, true);
    beginResetModel();
    m_configured = fields;
    resolveColumns();
    endResetModel();
}

void DatasetModel::appendColumnField(const QString &field)
{
    if (m_configured.isEmpty()) {
        setColumnFields({field});
        return;
    }
    const int column = int(m_fields.size());
    beginInsertColumns({}, column, column);
    m_configured.append(field);
    m_fields.append(m_dataset ? m_dataset->fieldIndex(field) : -1);
    endInsertColumns();
}

QStringList DatasetModel::columnFields() const
{
    QStringList names;
    for (int column = 0; column < columnCount(); ++column)
        names.append(fieldName(column));
    return names;
}

QString DatasetModel::fieldName(int column) const
{
    if (column < 0 || column >= m_fields.size())
        return {};
    if (!m_configured.isEmpty())
        return m_configured.at(column);
    return m_dataset ? m_dataset->fieldDef(m_fields.at(column)).name : QString();
}

int DatasetModel::fieldIndex(int column) const
{
    return column >= 0 && column < m_fields.size() ? m_fields.at(column) : -1;
}

int DatasetModel::columnOfField(const QString &field) const
{
    for (int column = 0; column < columnCount(); ++column)
        if (fieldName(column).compare(field, Qt::CaseInsensitive) == 0)
            return column;
    return -1;
}

void DatasetModel::setEditable(bool editable)
{
    if (m_editable == editable)
        return;
    m_editable = editable;
    if (m_rowCount > 0 && !m_fields.isEmpty())
        emit dataChanged(index(0, 0), index(m_rowCount - 1, columnCount() - 1), {});
}

void DatasetModel::refreshHeaders()
{
    if (!m_fields.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

// --- following the dataset

void DatasetModel::datasetReset()
{
    const QScopedValueRollback changing(m_changing, true);
    beginResetModel();
    resolveColumns();
    const bool open = m_dataset && m_dataset->isOpen();
    m_rowCount = open ? m_dataset->recordCount() : 0;
    m_current = open ? m_dataset->currentRow() : -1;
    m_pendingInsert = m_pendingRemove = -1;
    endResetModel();
}

void DatasetModel::datasetRowChanged(int row)
{
    if (row < 0 || row >= m_rowCount || m_fields.isEmpty())
        return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1), {});
}

void DatasetModel::datasetRowsAppended(int first, int last)
{
    // Rows of a background load: the model counts them in at the end.
    if (first != m_rowCount || last < first)
        return datasetReset();
    const QScopedValueRollback changing(m_changing, true);
    beginInsertRows({}, first, last);
    m_rowCount = last + 1;
    endInsertRows();
}

void DatasetModel::datasetRowInserted(int row)
{
    if (row < 0 || row > m_rowCount)
        return;
    const QScopedValueRollback changing(m_changing, true);
    m_pendingInsert = row;
    beginInsertRows({}, row, row);
    m_pendingInsert = -1;
    ++m_rowCount;
    if (m_current >= row)
        ++m_current;
    endInsertRows();
}

void DatasetModel::datasetRowRemoved(int row)
{
    if (row < 0 || row >= m_rowCount)
        return;
    const QScopedValueRollback changing(m_changing, true);
    m_pendingRemove = row;
    beginRemoveRows({}, row, row);
    m_pendingRemove = -1;
    --m_rowCount;
    if (m_current == row)
        m_current = -1;
    else if (m_current > row)
        --m_current;
    endRemoveRows();
}

void DatasetModel::datasetCurrentChanged(int row)
{
    const int old = m_current;
    m_current = row;
    if (old == row)
        return;
    if (old >= 0 && old < m_rowCount)
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < m_rowCount)
        emit headerDataChanged(Qt::Vertical, row, row);
}

int DatasetModel::datasetRow(int modelRow) const
{
    if (m_pendingInsert >= 0 && modelRow >= m_pendingInsert)
        return modelRow + 1;
    if (m_pendingRemove >= 0 && modelRow >= m_pendingRemove)
        return modelRow == m_pendingRemove ? -1 : modelRow - 1;
    return modelRow;
}

// --- model interface

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QString DatasetModel::displayText(FieldKind kind, const QVariant &value)
{
    return Dataset::gridText(kind, value);
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!m_dataset || !index.isValid() || index.row() >= m_rowCount || index.column() >= m_fields.size())
        return {};
    const int field = m_fields.at(index.column());
    if (field < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const int row = datasetRow(index.row());
        if (row < 0)
            return {};
        // A list cell shows the start of a long text: laying out megabytes of one memo
        // in a grid row would stall the window; the editor shows the whole of it.
        QString text = displayText(m_dataset->fieldDef(field).kind, m_dataset->value(row, field));
        if (text.size() > MaxShownCharacters)
            text = text.left(MaxShownCharacters) + QStringLiteral("…");
        return text;
    }
    case Qt::EditRole: {
        const int row = datasetRow(index.row());
        return row < 0 ? QVariant() : m_dataset->value(row, field);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignVCenter)
                                   | (isNumericKind(m_dataset->fieldDef(field).kind) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const int field = fieldIndex(index.column());
    if (m_editable && m_dataset && !m_dataset->isReadOnly() && field >= 0
        && !m_dataset->fieldDef(field).calculated)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = datasetRow(index.row());
    const int field = fieldIndex(index.column());
    if (row < 0 || sameEditValue(m_dataset->value(row, field), value))
        return row >= 0;
    // Called from an editor inside the event loop: a refused value is reported, not thrown.
    return guarded(nullptr, [&] {
        if (m_dataset->currentRow() != row)
            m_dataset->setCurrentRow(row);
        if (m_dataset->currentRow() != row)
            return;
        m_dataset->setValue(field, value);
    }) && m_dataset->currentRow() == row;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_fields.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            const int field = m_fields.at(section);
            return field >= 0 && m_dataset ? m_dataset->displayLabel(field) : fieldName(section);
        }
        return {};
    }
    if (section < 0 || section >= m_rowCount)
        return {};
    if (role == Qt::DisplayRole)
        return section == m_current ? QStringLiteral("▶") : QString();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}
