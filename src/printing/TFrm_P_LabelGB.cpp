#include "TFrm_P_LabelGB.h"
#include "ui_TFrm_P_LabelGB.h"

#include "ReportPrint.h"
#include "TFrm_Designer.h"
#include "report/ReportQueries.h"
#include "store/Gbk.h"
#include "ui/Messages.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

TFrm_P_LabelGB::TFrm_P_LabelGB(Session *session, CustomerCodes codes, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_P_LabelGB>()), m_session(session), m_codes(std::move(codes))
{
    ui->setupUi(this);
    ui->Edit_Name->setText(QStringLiteral("负责人"));
    connect(ui->Combo_Type, &QComboBox::currentIndexChanged, this, &TFrm_P_LabelGB::typeChanged);
    connect(ui->Btn_Print, &QPushButton::clicked, this, &TFrm_P_LabelGB::print);
    connect(ui->Btn_Set, &QPushButton::clicked, this, &TFrm_P_LabelGB::design);
    connect(ui->Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    setPrintKind(PrintKind);
}

TFrm_P_LabelGB::~TFrm_P_LabelGB() = default;

QString TFrm_P_LabelGB::reportOf(const QString &kind)
{
    if (kind == u"2")
        return QStringLiteral("fr_Envelop");
    if (kind == u"3")
        return QStringLiteral("fr_CustBasic");
    return QStringLiteral("fr_EnveLabel");
}

void TFrm_P_LabelGB::setPrintKind(const QString &kind)
{
    PrintKind = kind;
    if (kind == u"1") {
        setWindowTitle(QStringLiteral("信封标签打印"));
    } else if (kind == u"2") {
        setWindowTitle(QStringLiteral("信封打印"));
        ui->lbl->setText(QStringLiteral("信封打印"));
    } else if (kind == u"3") {
        setWindowTitle(QStringLiteral("客户基本资料打印"));
        ui->lbl->setText(QStringLiteral("客户基本资料打印"));
    }
    // Only a label sheet has places to start from.
    const bool labels = kind == u"1";
    ui->Label_First->setVisible(labels);
    ui->Edit_FirstLabel->setVisible(labels);
    int perSheet = 1;
    if (labels && m_session)
        if (ReportTemplate *report = m_session->data()->report(reportOf(kind)))
            if (auto document = report->document(nullptr); document && document->labels.active())
                perSheet = document->labels.perSheet();
    ui->Edit_FirstLabel->setMaximum(std::max(1, perSheet));
    ui->Edit_FirstLabel->setSuffix(QStringLiteral(" / %1").arg(perSheet));
}

void TFrm_P_LabelGB::typeChanged(int index)
{
    ui->lbl2->setText(index == 0 ? QStringLiteral("无主联系人时显示") : QStringLiteral("无联系人时显示"));
}

void TFrm_P_LabelGB::print()
{
    ReportPrint::Request request;
    request.contact.fillContact = true;
    if (ui->Combo_Type->currentText().trimmed().isEmpty()) {
        Messages::box(this, QStringLiteral("请选择收信人类型!"), QStringLiteral("警告"), Msg::Icon::Information);
        return;
    }
    const QVariantList codes = m_codes ? m_codes(ui->Radio_All->isChecked()) : QVariantList();
    if (codes.isEmpty()) {
        // Nothing chosen: said plainly instead of running a statement with an empty list.
        Messages::box(this, QStringLiteral("没有可打印的客户，请先打开客户列表并选择要打印的客户。"),
                      QStringLiteral("警告"), Msg::Icon::Information);
        return;
    }
    TFrm_Data *dataModule = m_session->data();
    const bool main = ui->Combo_Type->currentIndex() == 0;
    {
        WaitCursor wait;
        ReportQueries::openCustomers(*dataModule->Qry_Report, codes, !main);
    }
    request.contact.useMainContact = main ? 1 : 0;
    request.contact.defaultContact = Gbk::cut(ui->Edit_Name->text(), 20);
    request.reportName = reportOf(PrintKind);
    request.rows = dataModule->Qry_Report;
    if (PrintKind == u"1")
        request.firstLabel = ui->Edit_FirstLabel->value();
    ReportPrint::preview(this, dataModule, request);
}

void TFrm_P_LabelGB::design()
{
    ReportDesign::open(this, m_session->data(), reportOf(PrintKind));
}
