#pragma once

#include "report/ReportTemplate.h"
#include "report/ReportValues.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QVariantMap>

// Rows for a report without a database: each row a map of field to value; a field is
// matched without regard to case, as the datasets match them.
class RowValues : public Report::ReportValues
{
public:
    explicit RowValues(QList<QVariantMap> rows = {}) : rows(std::move(rows)) {}
    int rowCount() const override { return int(rows.size()); }
    std::optional<QVariant> value(const QString &reference, int row) const override
    {
        if (named.contains(reference.toLower()))
            return named.value(reference.toLower());
        if (row < 0 || row >= rows.size())
            return std::nullopt;
        for (auto it = rows[row].cbegin(); it != rows[row].cend(); ++it)
            if (it.key().compare(reference, Qt::CaseInsensitive) == 0)
                return it.value();
        return std::nullopt;
    }
    QList<QVariantMap> rows;
    QHash<QString, QVariant> named; // [Info.Company] and the like, lower case
};

// One of the delivered templates, read from the source tree.
inline Report::ReportDocument deliveredTemplate(const QString &file)
{
    QFile in(QStringLiteral(KEHU_ASSETS_DIR "Reports/") + file);
    if (!in.open(QIODevice::ReadOnly))
        qFatal("missing template %s", qPrintable(file));
    QString error;
    auto document = Report::read(in.readAll(), &error);
    if (!document)
        qFatal("template %s: %s", qPrintable(file), qPrintable(error));
    return *document;
}
