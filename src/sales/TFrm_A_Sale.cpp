#include "TFrm_A_Sale.h"
#include "ui_TFrm_A_Sale.h"
#include "SalesChart.h"
#include "SalesSummary.h"
#include "TFrm_SelectGoods.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "main/GridExport.h"
#include "printing/GridPrint.h"
#include "store/queries/Operators.h"
#include "store/queries/Sales.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>

namespace {
const QString Layout = QStringLiteral("R_SaleDetail");
} // namespace

TFrm_A_Sale::TFrm_A_Sale(Session *session)
    : QWidget(nullptr), ui(std::make_unique<Ui::TFrm_A_Sale>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->BitBtn1->setDefault(true);
    ui->DBGridEh1->setReadOnly(true);
    ui->DBGridEh1->setDataset(m_data->Qry_Count);
    m_chart = new SalesChart(ui->Page_Chart);
    m_chart->setObjectName(QStringLiteral("SalesChart"));
    ui->chartLayout->replaceWidget(ui->ChartArea, m_chart);
    delete ui->ChartArea;
    ui->chartLayout->setStretch(1, 1);

    QAction *pickGoods = ui->Edit_GoodsCode->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                                       QLineEdit::TrailingPosition);
    pickGoods->setObjectName(QStringLiteral("Btn_GoodsCode"));
    pickGoods->setToolTip(QStringLiteral("选择商品"));
    connect(pickGoods, &QAction::triggered, this, &TFrm_A_Sale::chooseGoods);
    connect(ui->Combo_Cust, &PopupCombo::aboutToPopup, this, &TFrm_A_Sale::fillCustomers);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrm_A_Sale::showSales);
    connect(ui->Btn_Print, &QPushButton::clicked, this, &TFrm_A_Sale::print);
    connect(ui->SpeedButton1, &QPushButton::clicked, this, &TFrm_A_Sale::exportToSpreadsheet);
    connect(ui->Btn_PrintChart, &QPushButton::clicked, this, &TFrm_A_Sale::printChart);
    connect(ui->Btn_SaveChart, &QPushButton::clicked, this, &TFrm_A_Sale::saveChart);
    connect(ui->DBGridEh1, &DataGrid::titleClicked, this, [this] {
        guarded(this, [this] { GridColumns::ApplySort(ui->DBGridEh1, m_data->Qry_Count); });
    });

    const QDate today = QDate::currentDate();
    ui->DateTimePicker1->setDate(QDate(today.year(), today.month(), 1));
    ui->DateTimePicker2->setDate(today);
    guarded(this, [this] {
        Dataset operators(m_data->connection());
        Operators::openActive(operators);
        for (int row = 0; row < operators.recordCount(); ++row)
            ui->Combo_User->addItem(operators.value(row, 1).toString());
        ui->Combo_User->setCurrentIndex(-1);
        ui->Combo_User->setEditText(QString());
    });
}

TFrm_A_Sale::~TFrm_A_Sale() = default;

void TFrm_A_Sale::fillCustomers()
{
    guarded(this, [this] {
        WaitCursor wait;
        const QString typed = ui->Combo_Cust->currentText();
        ui->Combo_Cust->clear();
        ui->Combo_Cust->addItems(Sales::customerCompanies(m_data->connection()));
        ui->Combo_Cust->setEditText(typed);
    });
}

void TFrm_A_Sale::chooseGoods()
{
    TFrm_SelectGoods picker(m_session, this);
    picker.setMode(TFrm_SelectGoods::ForAnalysis);
    if (picker.exec() == QDialog::Accepted)
        ui->Edit_GoodsCode->setText(picker.chosenCode());
}

void TFrm_A_Sale::showSales()
{
    guarded(this, [this] {
        WaitCursor wait;
        Sales::Filter filter;
        filter.from = ui->DateTimePicker1->date();
        filter.to = ui->DateTimePicker2->date();
        filter.operatorName = ui->Combo_User->currentText();
        filter.customer = ui->Combo_Cust->currentText();
        filter.goodsCode = ui->Edit_GoodsCode->text();
        Sales::openAnalysis(*m_data->Qry_Count, filter);
        ui->DBGridEh1->clearSortMarks();
        GridColumns::ApplyColumns(m_data, ui->DBGridEh1, m_data->Qry_Count, Layout);
        const SalesSummary summary = SalesSummary::of(*m_data->Qry_Count);
        m_chart->setSummary(summary);
        ui->Label_Total->setText(QStringLiteral("共 %1 条销售明细，销售金额合计 %2")
                                     .arg(m_data->Qry_Count->recordCount())
                                     .arg(QString::number(summary.total, 'f', 2)));
    });
}

void TFrm_A_Sale::print()
{
    GridPrint::Options options;
    options.stretchRows = true; // rows grow to their text, columns keep their proportions
    guarded(this, [&] { GridPrint::preview(this, ui->DBGridEh1, QStringLiteral("销售分析"), options); });
}

void TFrm_A_Sale::exportToSpreadsheet()
{
    GridExport::exportGrid(this, ui->DBGridEh1, QStringLiteral("销售分析"));
}

void TFrm_A_Sale::printChart()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("打印销售图表"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    const QImage image = m_chart->picture(QSize(1600, 1000));
    const QSize fitted = image.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), fitted), image);
}

void TFrm_A_Sale::saveChart()
{
    const QString file = Platform::saveFileName(this, QStringLiteral("导出销售图表"),
        QDir::homePath() + QStringLiteral("/销售图表.png"), QStringLiteral("PNG 图片 (*.png)"));
    if (file.isEmpty())
        return;
    if (m_chart->picture(QSize(1600, 1000)).save(file, "PNG"))
        Messages::box(this, QStringLiteral("销售图表已保存到 %1").arg(QDir::toNativeSeparators(file)), Msg::ProgramTitle,
                      Msg::Icon::Information);
    else
        Messages::box(this, QStringLiteral("无法保存图片 %1").arg(QDir::toNativeSeparators(file)), Msg::ProgramTitle,
                      Msg::Icon::Warning);
}

