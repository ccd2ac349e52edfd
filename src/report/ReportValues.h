#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class Dataset;

namespace Report {

// Where the values of a report's references come from: the rows printed by the master
// data band and everything else a [reference] can name.
class ReportValues
{
public:
    virtual ~ReportValues() = default;
    virtual int rowCount() const = 0;
    // The value of [reference] while row `row` is printed (-1 outside the data band);
    // nullopt when nothing answers to that name.
    virtual std::optional<QVariant> value(const QString &reference, int row) const = 0;
};

// Values from datasets: [Field] is a column of the master's printed row, [Name.Field] a
// column of the current row of the dataset added under Name (for example "Custom" or
// "Info"), and variables are asked of a callback first, as the report callbacks of the
// data module do.
class DatasetValues : public ReportValues
{
public:
    using Variables = std::function<std::optional<QVariant>(const QString &name, int row)>;

    explicit DatasetValues(const Dataset *master) : m_master(master) {}
    void addDataset(const QString &name, const Dataset *dataset) { m_named.insert(name.toLower(), dataset); }
    void setVariables(Variables variables) { m_variables = std::move(variables); }

    int rowCount() const override;
    std::optional<QVariant> value(const QString &reference, int row) const override;

private:
    const Dataset *m_master;
    QHash<QString, const Dataset *> m_named;
    Variables m_variables;
};

} // namespace Report
