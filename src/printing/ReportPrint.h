#pragma once

#include "data/TFrm_Data.h"
#include "report/PageSource.h"

#include <QHash>
#include <QString>
#include <memory>

class Dataset;
class QWidget;

namespace Report {
class ReportRenderer;
class DatasetValues;
}

// Printing one of the data module's reports (fr_Envelop, fr_EnveLabel, fr_CustBasic,
// fr_Bills) with rows of a dataset.
namespace ReportPrint {

struct Request
{
    QString reportName;                       // "fr_Bills", "fr_Envelop", ...
    Dataset *rows = nullptr;                  // the rows of the master data band
    QHash<QString, Dataset *> named;          // [Name.Field] reads the current row of named[Name]
    QHash<QString, QString> objectTexts;      // texts that replace named objects' texts
    ReportContactOptions contact;             // the contact-name variable; off unless fillContact
    int firstLabel = 0;                       // label sheets: start at this label (0: as designed)
};

// The report laid out and ready to draw, with the values it reads. [Info.Field] always
// reads the own company's information (Qry_Custom).
class Prepared : public Report::PageSource
{
public:
    Prepared(std::unique_ptr<Report::DatasetValues> values, std::unique_ptr<Report::ReportRenderer> renderer);
    ~Prepared() override;
    const Report::DatasetValues &values() const { return *m_values; }
    const Report::ReportRenderer &renderer() const { return *m_renderer; }
    int pageCount() const override;
    QSizeF pageSize() const override;
    QString documentTitle() const override;
    void paintPage(QPainter &painter, int page) const override;

private:
    std::unique_ptr<Report::DatasetValues> m_values;
    std::unique_ptr<Report::ReportRenderer> m_renderer;
};

// A missing or damaged template gives nullptr and the reason in *error.
std::shared_ptr<Prepared> prepare(TFrm_Data *data, const Request &request, QString *error);

// Lays the report out and shows it in the print preview (modal). A missing or damaged
// template is told in a message box ("警告") and nothing is shown; returns whether the
// preview was shown.
bool preview(QWidget *parent, TFrm_Data *data, const Request &request);

// The bill print of the sales bill editor: the template fr_Bills with the editor's lines
// (Qry_BillDetail with its calculated field money, unsaved lines included), "Custom" the
// customer's details and objectTexts["Memo_BigMoney"] the capital total. Further objects
// of fr_Bills that a caller may fill: Memo_BillCode ("单据编号：..."), Memo_BillDate,
// Memo_Maker, Memo_Memo. The contact-name variable is not answered on a bill.
bool preview(QWidget *parent, TFrm_Data *data, const QString &reportName, Dataset *rows,
             const QHash<QString, Dataset *> &named, const QHash<QString, QString> &objectTexts);

} // namespace ReportPrint
