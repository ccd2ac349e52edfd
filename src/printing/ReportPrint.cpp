#include "ReportPrint.h"

#include "TFrm_Preview.h"
#include "report/ReportRenderer.h"
#include "report/ReportValues.h"
#include "store/Dataset.h"
#include "store/ProgramDir.h"
#include "ui/Messages.h"

namespace ReportPrint {

Prepared prepare(TFrm_Data *data, const Request &request, QString *error)
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
    Prepared prepared;
    prepared.values = std::make_shared<Report::DatasetValues>(request.rows);
    prepared.values->addDataset(QStringLiteral("Info"), data->Qry_Custom);
    for (auto it = request.named.cbegin(); it != request.named.cend(); ++it)
        prepared.values->addDataset(it.key(), it.value());
    // The report's callback: the contact name of the printed row (Part of the data module).
    if (request.contact.fillContact && request.rows) {
        const ReportContactOptions options = request.contact;
        Dataset *rows = request.rows;
        const QString variable = report->contactVariable();
        prepared.values->setVariables([options, rows, variable](const QString &name, int row) -> std::optional<QVariant> {
            if (name.compare(variable, Qt::CaseInsensitive) != 0 || row < 0 || row >= rows->recordCount())
                return std::nullopt;
            if (rows->currentRow() != row)
                rows->setCurrentRow(row);
            if (auto value = TFrm_Data::contactVariable(options, *rows, name, variable))
                return QVariant(*value);
            return std::nullopt;
        });
    }
    prepared.renderer = std::make_shared<Report::ReportRenderer>(std::move(*document), prepared.values.get(),
                                                                 ProgramDir::path());
    for (auto it = request.objectTexts.cbegin(); it != request.objectTexts.cend(); ++it)
        prepared.renderer->setObjectText(it.key(), it.value());
    if (request.firstLabel > 0)
        prepared.renderer->setFirstLabel(request.firstLabel);
    return prepared;
}

namespace {
// Keeps the values alive as long as the renderer that reads them.
struct Owned : Report::PageSource
{
    Prepared prepared;
    explicit Owned(Prepared p) : prepared(std::move(p)) {}
    int pageCount() const override { return prepared.renderer->pageCount(); }
    QSizeF pageSize() const override { return prepared.renderer->pageSize(); }
    QString documentTitle() const override { return prepared.renderer->documentTitle(); }
    void paintPage(QPainter &painter, int page) const override { prepared.renderer->paintPage(painter, page); }
};
} // namespace

bool preview(QWidget *parent, TFrm_Data *data, const Request &request)
{
    QString error;
    Prepared prepared = prepare(data, request, &error);
    if (!prepared.renderer) {
        Messages::box(parent, error, QStringLiteral("警告"), Msg::Icon::Information);
        return false;
    }
    TFrm_Preview preview(std::make_shared<Owned>(std::move(prepared)), parent);
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
