#include "ReportValues.h"

#include "store/Dataset.h"

namespace Report {

int DatasetValues::rowCount() const
{
    return m_master && m_master->isOpen() ? m_master->recordCount() : 0;
}

std::optional<QVariant> DatasetValues::value(const QString &reference, int row) const
{
    if (m_variables)
        if (auto answer = m_variables(reference, row))
            return answer;
    const int dot = reference.indexOf(u'.');
    if (dot > 0) {
        const Dataset *named = m_named.value(reference.left(dot).trimmed().toLower());
        if (named && named->isOpen()) {
            const int field = named->fieldIndex(reference.mid(dot + 1).trimmed());
            if (field < 0)
                return std::nullopt;
            const int current = named->currentRow() >= 0 ? named->currentRow() : 0;
            return current < named->recordCount() ? named->value(current, field) : QVariant();
        }
    }
    if (m_master && m_master->isOpen()) {
        const int field = m_master->fieldIndex(reference.trimmed());
        if (field >= 0)
            return row >= 0 && row < m_master->recordCount() ? m_master->value(row, field) : QVariant();
    }
    return std::nullopt;
}

} // namespace Report
