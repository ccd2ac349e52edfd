#include "TFrm_AddSchedule.h"
#include "ui_TFrm_AddSchedule.h"
#include "data/TFrm_Data.h"
#include "store/queries/Customers.h"
#include "store/queries/Lookups.h"
#include "store/queries/Schedules.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QFocusEvent>
#include <QStyle>

namespace {

const QString Notice = QStringLiteral("提醒");
const QString Warning = QStringLiteral("警告");
const QString ReminderWithoutDate = QStringLiteral("需要提醒的联系活动必须设置提醒时间！请勾选并填写提醒时间，或取消“需要提醒”。");

// Empties an editable pick list's text, keeping its items.
void clearText(QComboBox *combo)
{
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

} // namespace

TFrm_AddSchedule::TFrm_AddSchedule(Session *session, QWidget *parent)
    : RecordEditor(parent), ui(std::make_unique<Ui::TFrm_AddSchedule>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    ui->DateTimePicker1->setDate(QDate::currentDate());
    ui->DateTimePicker2->setDate(QDate::currentDate());
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    setNavigator(ui->DBNavigator1);

    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddSchedule::save);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    // The operator's tick on the reminder date carries over to "需要提醒"; loading a row
    // sets both boxes on their own, so a stored combination is shown as it is.
    connect(ui->CB_AwokeDate, &QCheckBox::clicked, ui->CB_Awoke, &QCheckBox::setChecked);
    ui->Combo_Contact->installEventFilter(this);
}

TFrm_AddSchedule::~TFrm_AddSchedule() = default;

void TFrm_AddSchedule::setCompany(const QString &company)
{
    ui->Combo_Company->clear();
    if (!company.isEmpty())
        ui->Combo_Company->addItem(company);
    ui->Combo_Company->setCurrentIndex(company.isEmpty() ? -1 : 0);
}

void TFrm_AddSchedule::showSteps()
{
    fillSubjects();
    if (isAdding()) {
        clearForNext();
        takeCustomer();
        setWindowTitle(QStringLiteral("添加联系活动"));
        ui->DBNavigator1->setEnabled(false);
        ui->Btn_OK->setText(QStringLiteral("新增(&A)"));
        ui->CB_AwokeDate->setChecked(false);
        ui->CB_Awoke->setChecked(false);
    } else {
        setWindowTitle(QStringLiteral("编辑联系活动"));
        ui->Btn_OK->setText(QStringLiteral("保存(&S)"));
        ui->DBNavigator1->setDataset(m_data->Qry_Schedule);
        loadRecord();
    }
}

// The new schedule belongs to the customer the operator sees. Under the customer
// browser that is the current customer; the schedule list follows no customer, so there
// it is the customer of the schedule selected in the list, and with none selected the
// operator chooses the customer in the company box.
void TFrm_AddSchedule::takeCustomer()
{
    Dataset *schedules = m_data->Qry_Schedule;
    if (schedules->isLinked() || schedules->sql().isEmpty()) {
        Dataset *customers = m_data->Qry_Cust;
        setCompany(customers->text(QStringLiteral("Company")));
        m_custCode = customers->value(QStringLiteral("CustCode"));
        return;
    }
    if (schedules->isOpen() && schedules->currentRow() >= 0) {
        setCompany(schedules->text(QStringLiteral("Company")));
        m_custCode = schedules->value(QStringLiteral("CustCode"));
        return;
    }
    offerCustomers();
}

void TFrm_AddSchedule::offerCustomers()
{
    Dataset customers(m_data->connection());
    Customers::openList(customers, m_session->scope());
    const int company = customers.checkedFieldIndex(QStringLiteral("Company"));
    const int code = customers.checkedFieldIndex(QStringLiteral("CustCode"));
    ui->Combo_Company->clear();
    for (int row = 0; row < customers.recordCount(); ++row) {
        const QString name = customers.value(row, company).toString();
        if (!name.isEmpty())
            ui->Combo_Company->addItem(name, customers.value(row, code));
    }
    ui->Combo_Company->setCurrentIndex(-1);
    m_custCode = QVariant();
    ui->Combo_Company->setEnabled(true);
    connect(ui->Combo_Company, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_custCode = index >= 0 ? ui->Combo_Company->itemData(index) : QVariant();
    });
}

void TFrm_AddSchedule::fillSubjects()
{
    ui->Combo_Subject->clear();
    ui->Combo_Subject->addItems(Lookups::scheduleSubjects(m_data->connection()));
    clearText(ui->Combo_Subject);
}

// The contacts of the company shown. The text in the box stays: a loaded or typed
// contact is kept when the operator merely passes through the box.
void TFrm_AddSchedule::fillContacts()
{
    const QString text = ui->Combo_Contact->currentText();
    const QStringList names = Schedules::contactNames(m_data->connection(), ui->Combo_Company->currentText());
    ui->Combo_Contact->clear();
    ui->Combo_Contact->addItems(names);
    EditorForm::setComboText(ui->Combo_Contact, text);
}

void TFrm_AddSchedule::loadRecord()
{
    Dataset *s = m_data->Qry_Schedule;
    // An ordinary operator may read a colleague's schedule but not save it, for as long
    // as the editor is open.
    if (m_session->permit() != 0 && s->text(QStringLiteral("F_User")) != m_session->operatorName())
        m_locked = true;
    ui->Btn_OK->setEnabled(!m_locked);

    ui->CB_Awoke->setChecked(s->boolean(QStringLiteral("Awoke")));
    EditorForm::setComboText(ui->Combo_Subject, s->text(QStringLiteral("Subject")));
    EditorForm::setComboText(ui->Combo_Type, s->text(QStringLiteral("Type")));
    setCompany(s->text(QStringLiteral("Company")));
    EditorForm::setComboText(ui->Combo_Contact, s->text(QStringLiteral("Contact")));
    const QDate start = s->date(QStringLiteral("StartDate"));
    ui->DateTimePicker1->setDate(start.isValid() ? start : QDate::currentDate());
    const QDate awoke = s->date(QStringLiteral("AwokeDate"));
    ui->DateTimePicker2->setDate(awoke.isValid() ? awoke : QDate::currentDate());
    ui->CB_AwokeDate->setChecked(awoke.isValid());
    ui->Memo1->setPlainText(s->text(QStringLiteral("Memo")));
}

void TFrm_AddSchedule::clearForNext()
{
    clearText(ui->Combo_Subject);
    clearText(ui->Combo_Type);
    clearText(ui->Combo_Contact);
    ui->Memo1->clear();
    ui->DateTimePicker1->setDate(QDate::currentDate());
}

bool TFrm_AddSchedule::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the contact box (not coming back from its own list or another window)
    // offers the company's contacts.
    if (watched == ui->Combo_Contact && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            guarded(this, [this] { fillContacts(); });
    }
    return RecordEditor::eventFilter(watched, event);
}

bool TFrm_AddSchedule::checkInputs()
{
    if (ui->Combo_Subject->currentText().isEmpty()) { // a subject of blanks passes
        Messages::box(this, QStringLiteral("主题不能为空!"), Notice, Msg::Icon::Information);
        ui->Combo_Subject->setFocus();
        return false;
    }
    if (ui->Combo_Company->currentText().isEmpty()) {
        Messages::box(this, QStringLiteral("请选择一个公司名称"), Warning, Msg::Icon::Information);
        if (ui->Combo_Company->isEnabled())
            ui->Combo_Company->setFocus();
        return false;
    }
    // A reminder without a date could never fire: the reminders list only the schedules
    // whose reminder date has come.
    if (ui->CB_Awoke->isChecked() && !ui->CB_AwokeDate->isChecked()) {
        Messages::box(this, ReminderWithoutDate, Notice, Msg::Icon::Information);
        ui->CB_AwokeDate->setFocus();
        return false;
    }
    return true;
}

void TFrm_AddSchedule::writeRow()
{
    Dataset *s = m_data->Qry_Schedule;
    const int previousRow = s->currentRow();
    if (isAdding()) {
        if (!s->isOpen() && !s->sql().isEmpty())
            s->open();
        s->append();
    } else {
        s->edit();
    }
    try {
        // Also when the list is not following the customer list, a new schedule is
        // stored with the code of the customer it names.
        if (isAdding() && m_custCode.isValid() && !m_custCode.isNull())
            s->setValue(QStringLiteral("CustCode"), m_custCode.toString());
        s->setValue(QStringLiteral("Awoke"), ui->CB_Awoke->isChecked());
        s->setValue(QStringLiteral("Subject"), ui->Combo_Subject->currentText());
        s->setValue(QStringLiteral("Type"), ui->Combo_Type->currentText());
        s->setValue(QStringLiteral("Company"), ui->Combo_Company->currentText());
        s->setValue(QStringLiteral("Contact"), ui->Combo_Contact->currentText());
        s->setValue(QStringLiteral("StartDate"), ui->DateTimePicker1->date());
        s->setValue(QStringLiteral("AwokeDate"),
                    ui->CB_AwokeDate->isChecked() ? QVariant(ui->DateTimePicker2->date()) : QVariant());
        s->setValue(QStringLiteral("Memo"), ui->Memo1->toPlainText());
        s->setValue(QStringLiteral("F_User"), m_session->operatorName());
        s->post();
    } catch (...) {
        // A refused row leaves the list as it was stored, not half edited.
        if (s->state() == Dataset::State::Edit || s->state() == Dataset::State::Insert) {
            s->cancel();
            s->setCurrentRow(previousRow);
        }
        throw;
    }
}

void TFrm_AddSchedule::save()
{
    if (!ui->Btn_OK->isEnabled())
        return;
    // A refused save keeps the dialog open with what was typed, in both modes; a
    // database error is reported and keeps it open as well.
    if (!checkInputs())
        return;
    if (!guarded(this, [this] { writeRow(); }))
        return;
    if (isAdding()) {
        clearForNext();
        markClean();
    } else {
        accept();
    }
}
