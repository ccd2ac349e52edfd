#include "TFrm_AddBill.h"
#include "ui_TFrm_AddBill.h"
#include "TFrm_SelectGoods.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "report/MoneyInCapitals.h"
#include "printing/ReportPrint.h"
#include "store/Transaction.h"
#include "store/queries/Bills.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QStyle>
#include <stdexcept>

namespace {
const QString Layout = QStringLiteral("BillDetail");
} // namespace

TFrm_AddBill::TFrm_AddBill(Session *session, QWidget *parent)
    : RecordEditor(parent), ui(std::make_unique<Ui::TFrm_AddBill>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    // Line amounts are calculated while a bill editor exists.
    m_data->setBillEditor(this);
    ui->Btn_AddLine->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    ui->Btn_DelLine->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    ui->DBGridEh1->setReadOnly(false);
    ui->DBGridEh1->setDataset(m_data->Qry_BillDetail);

    connect(ui->Btn_AddLine, &QPushButton::clicked, this, &TFrm_AddBill::addLines);
    connect(ui->Btn_DelLine, &QPushButton::clicked, this, &TFrm_AddBill::deleteLine);
    connect(ui->DBGridEh1, &DataGrid::ellipsisClicked, this, &TFrm_AddBill::addLines);
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddBill::save);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TFrm_AddBill::print);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_AddBill::~TFrm_AddBill() = default;

QString TFrm_AddBill::billNumber() const
{
    return ui->Edit_Bill->text();
}

void TFrm_AddBill::showSteps()
{
    const Dataset *customers = m_data->Qry_Cust;
    if (customers->isOpen() && !customers->isEmpty()) {
        m_custCode = customers->value(QStringLiteral("CustCode"));
        ui->Combo_Cust->setEditText(customers->text(QStringLiteral("Company")));
    }
    Dataset *lines = m_data->Qry_BillDetail;
    lines->close(); // whatever an earlier editor left in the cache is gone
    if (isAdding()) {
        setWindowTitle(QStringLiteral("新增销售单"));
        ui->Btn_OK->setText(QStringLiteral("新增&A"));
        ui->DateTimePicker1->setDate(QDate::currentDate());
        ui->Edit_User->setText(m_session->operatorName());
        ui->Memo1->clear();
        newNumber();
        Bills::openLines(*lines, QString()); // a new bill has no lines yet
    } else {
        const Dataset *bills = m_data->Qry_Bill;
        setWindowTitle(QStringLiteral("保存销售单"));
        ui->Btn_OK->setText(QStringLiteral("保存&S"));
        const QDate date = bills->date(QStringLiteral("BillDate"));
        ui->DateTimePicker1->setDate(date.isValid() ? date : QDate::currentDate());
        ui->Edit_Bill->setText(bills->text(QStringLiteral("BillCode")));
        ui->Edit_User->setText(bills->text(QStringLiteral("F_User")));
        ui->Memo1->setText(bills->text(QStringLiteral("memo")));
        Bills::openLines(*lines, billNumber());
    }
    GridColumns::ApplyColumns(m_data, ui->DBGridEh1, lines, Layout);
    ui->DBGridEh1->setFocus();
}

void TFrm_AddBill::newNumber()
{
    // Always today's number, whatever date the bill carries.
    ui->Edit_Bill->setText(Bills::nextNumber(m_data->connection(), QDate::currentDate()));
}

void TFrm_AddBill::addLines()
{
    TFrm_SelectGoods picker(m_session, this);
    picker.setMode(TFrm_SelectGoods::ForBill);
    picker.setBill(m_data->Qry_BillDetail, [this] { return billNumber(); });
    picker.exec();
}

void TFrm_AddBill::deleteLine()
{
    Dataset *lines = m_data->Qry_BillDetail;
    if (lines->isEmpty())
        return;
    guarded(this, [lines] { lines->remove(); });
}

bool TFrm_AddBill::hasPendingLines() const
{
    const Dataset *lines = m_data->Qry_BillDetail;
    return lines->hasPendingUpdates() || lines->state() == Dataset::State::Edit
           || lines->state() == Dataset::State::Insert;
}

double TFrm_AddBill::linesTotal() const
{
    return Bills::linesTotal(*m_data->Qry_BillDetail);
}

void TFrm_AddBill::save()
{
    if (billNumber().isEmpty()) {
        Messages::box(this, QStringLiteral("单据编号不能为空"), QStringLiteral("警告"), Msg::Icon::Information);
        ui->Edit_Bill->setFocus();
        return;
    }
    bool duplicate = false;
    const bool checked = guarded(this, [&] {
        duplicate = isAdding() && Bills::exists(m_data->connection(), billNumber());
    });
    if (!checked)
        return;
    if (duplicate) {
        Messages::box(this, QStringLiteral("单据编号有重复，程序将自动生成新的编号!"), QStringLiteral("提醒"),
                      Msg::Icon::Information);
        guarded(this, [this] { newNumber(); });
        return;
    }
    bool saved = false;
    try {
        saved = tryInTransaction(*m_data->connection(), [this] { writeBill(); });
    } catch (...) {
        saved = false;
    }
    if (!saved) {
        // Nothing was written; the lines stay in the cache for another attempt.
        Messages::box(this, QStringLiteral("数据出错,单据不能保存!"), Msg::ProgramTitle, Msg::Icon::Information,
                      Msg::Buttons::Ok);
        return;
    }
    // The customer's bill lists show the bill as stored.
    guarded(this, [this] {
        for (Dataset *list : {m_data->Qry_Bill, m_data->Qry_Detail})
            if (list->isOpen())
                list->refresh();
    });
    accept();
}

// Inside the save transaction: the header, then every line under the header's number
// with its amount stored.
void TFrm_AddBill::writeBill()
{
    writeHeader();
    Dataset *lines = m_data->Qry_BillDetail;
    if (lines->state() == Dataset::State::Edit || lines->state() == Dataset::State::Insert)
        lines->post(); // an open cell edit is not lost
    const QString number = billNumber();
    const int money = lines->checkedFieldIndex(QStringLiteral("money"));
    const int current = lines->currentRow();
    for (int row = 0; row < lines->recordCount(); ++row) {
        lines->setCurrentRow(row);
        const QVariant amount = lines->value(row, money);
        // Lines picked before a regenerated number take the number that is saved now.
        lines->edit();
        lines->setValue(QStringLiteral("BillCode"), number);
        lines->setValue(QStringLiteral("SaleMoney"), amount);
        lines->post();
    }
    if (current >= 0)
        lines->setCurrentRow(current);
    lines->applyUpdates();
}

void TFrm_AddBill::writeHeader()
{
    Dataset header(m_data->connection());
    Bills::openHeader(header, billNumber());
    if (isAdding() || header.isEmpty())
        header.append();
    else
        header.edit();
    header.setValue(QStringLiteral("BillCode"), billNumber());
    header.setValue(QStringLiteral("BillDate"), ui->DateTimePicker1->date());
    header.setValue(QStringLiteral("CustCode"), m_custCode);
    header.setValue(QStringLiteral("CustName"), ui->Combo_Cust->currentText());
    header.setValue(QStringLiteral("memo"), ui->Memo1->text());
    header.setValue(QStringLiteral("F_User"), ui->Edit_User->text());
    header.post();
}

// The bill as the editor shows it, lines not yet saved included; the total in capital
// numerals is the total of those same lines, so a printed bill never disagrees with itself.
void TFrm_AddBill::print()
{
    QString inCapitals;
    try {
        inCapitals = signedMoneyInCapitals(linesTotal());
    } catch (const std::out_of_range &) {
        Messages::box(this, moneyOutOfRangeMessage(), QStringLiteral("警告"), Msg::Icon::Information);
        return;
    }
    guarded(this, [&] {
        Dataset *lines = m_data->Qry_BillDetail;
        if (lines->state() == Dataset::State::Edit || lines->state() == Dataset::State::Insert)
            lines->post();
        Dataset customer(m_data->connection());
        Bills::openCustomer(customer, ui->Combo_Cust->currentText());
        // The bill's own header values, as the editor shows them now.
        ReportPrint::preview(this, m_data, QStringLiteral("fr_Bills"), lines, {{QStringLiteral("Custom"), &customer}},
                             {{QStringLiteral("Memo_BigMoney"), inCapitals}});
    });
}

void TFrm_AddBill::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        guarded(this, [this] {
            GridColumns::SaveColumns(m_data, ui->DBGridEh1, Layout, 0);
            // Lines not saved are dropped with the cache.
            m_data->Qry_BillDetail->close();
        });
    }
    RecordEditor::done(result);
}
