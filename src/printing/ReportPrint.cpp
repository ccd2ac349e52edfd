#include "ReportPrint.h"

#include "TFrm_Preview.h"
#include "report/ReportRenderer.h"
#include "report/ReportValues.h"
#include "store/Dataset.h"
#include "store/ProgramDir.h"
#include "ui/Messages.h"

namespace ReportPrint {

Prepared::Prepared(std::unique_ptr<Report::DatasetValues> values, std::unique_ptr<Report::ReportRenderer> renderer)
    : m_values(std::move(values)), m_renderer(std::move(renderer))
{
}

Prepared::~Prepared() = default;
int Prepared::pageCount() const { return m_renderer->pageCount(); }
QSizeF Prepared::pageSize() const { return m_renderer->pageSize(); }
QString Prepared::documentTitle() const { return m_renderer->documentTitle(); }
void Prepared::paintPage(QPainter &painter, int page) const { m_renderer->paintPage(painter, page); }

std::shared_ptr<Prepared> prepare(TFrm_Data *data, const Request &request, QString *error)
{
    ReportTemplate *report = data->report(request.reportName);
    if (!report) {
        if (error)
            *error = QStringLiteral("没有名为“%1”的报表。").arg(request.reportName);
        return {};
    }
    auto document = report->document(error);
    if (!document)
        return {};
    auto values = std::make_unique<Report::DatasetValues>(request.rows);
    values->addDataset(QStringLiteral("Info"), data->Qry_Custom);
    for (auto it = request.named.cbegin(); it != request.named.cend(); ++it)
        values->addDataset(it.key(), it.value());
    // The report's callback: the contact name of the printed row, by the data module's rule.
    if (request.contact.fillContact && request.rows) {
        const ReportContactOptions options = request.contact;
        Dataset *rows = request.rows;
        const QString variable = report->contactVariable();
        values->setVariables([options, rows, variable](const QString &name, int row) -> std::optional<QVariant> {
            if (name.compare(variable, Qt::CaseInsensitive) != 0 || row < 0 || row >= rows->recordCount())
                return std::nullopt;
            if (rows->currentRow() != row)
                rows->setCurrentRow(row);
            if (auto value = TFrm_Data::contactVariable(options, *rows, name, variable))
                return QVariant(*value);
            return std::nullopt;
        });
    }
    auto renderer = std::make_unique<Report::ReportRenderer>(std::move(*document), values.get(), ProgramDir::path());
    for (auto it = request.objectTexts.cbegin(); it != request.objectTexts.cend(); ++it)
        renderer->setObjectText(it.key(), it.value());
    if (request.firstLabel > 0)
        renderer->setFirstLabel(request.firstLabel);
    return std::make_shared<Prepared>(std::move(values), std::move(renderer));
}

bool preview(QWidget *parent, TFrm_Data *data, const Request &request)
{
    QString error;
    std::shared_ptr<Prepared> prepared = prepare(data, request, &error);
    if (!prepared) {
        Messages::box(parent, error, QStringLiteral("警告"), Msg::Icon::Information);
        return false;
    }
    TFrm_Preview preview(prepared, parent);
    preview.exec();
    return true;
}

bool preview(QWidget *parent, TFrm_Data *data, const QString &reportName, Dataset *rows,
             const QHash<QString, Dataset *> &named, const QHash<QString, QString> &objectTexts)
{
    Request request;
    request.reportName = reportName;
    request.rows = rows;
    request.named = named;
    request.objectTexts = objectTexts;
    request.contact.fillContact = false;
    return preview(parent, data, request);
}

} // namespace ReportPrint
