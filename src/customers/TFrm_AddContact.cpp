#include "TFrm_AddContact.h"
#include "ui_TFrm_AddContact.h"
#include "data/TFrm_Data.h"
#include "store/DbError.h"
#include "store/Transaction.h"
#include "store/queries/Contacts.h"
#include "store/queries/Customers.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/Session.h"

#include <QEvent>
#include <QStyle>
#include <algorithm>

namespace {

const QString Warning = QStringLiteral("警告");
const QString Reminder = QStringLiteral("提醒");
const QString SaveFailed = QStringLiteral("保存数据失败!");

// Puts the in-memory contact list right after a rolled-back save: the rows as stored,
// the contact that was current before the save current again.
void undoContactChange(Dataset *contacts, bool posted, int previousRow)
{
    if (contacts->state() == Dataset::State::Edit || contacts->state() == Dataset::State::Insert) {
        contacts->cancel();
    } else if (posted) {
        contacts->refresh();
        contacts->setCurrentRow(previousRow);
    }
}

} // namespace

TFrm_AddContact::TFrm_AddContact(Session *session, QWidget *parent)
    : RecordEditor(parent), ui(std::make_unique<Ui::TFrm_AddContact>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    ui->DateTimePicker1->setDate(QDate::currentDate());
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    setNavigator(ui->DBNavigator1);

    connect(ui->CB_Birthday, &QCheckBox::toggled, ui->DateTimePicker1, &QWidget::setEnabled);
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddContact::save);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    ui->Edit_Email->installEventFilter(this);
}

TFrm_AddContact::~TFrm_AddContact() = default;

void TFrm_AddContact::setCustomer(const QVariant &custCode, const QString &company)
{
    m_custCode = custCode;
    m_customerGiven = true;
    setCompany(company);
}

void TFrm_AddContact::setCompany(const QString &company)
{
    ui->Combo_Cust->clear();
    if (!company.isEmpty())
        ui->Combo_Cust->addItem(company);
    ui->Combo_Cust->setCurrentIndex(company.isEmpty() ? -1 : 0);
}

void TFrm_AddContact::showSteps()
{
    TFrm_Data::FillComboById(m_data->Qry_zw, ui->Combo_Zw, QStringLiteral("Dict_zw"));
    ui->Combo_Zw->setCurrentIndex(-1);
    TFrm_Data::FillComboById(m_data->Qry_Depart, ui->Combo_Depart, QStringLiteral("Dict_department"));
    ui->Combo_Depart->setCurrentIndex(-1);

    if (isAdding()) {
        setWindowTitle(QStringLiteral("添加联系人"));
        ui->Btn_OK->setText(QStringLiteral("新增(&A)"));
        Dataset *customers = m_data->Qry_Cust;
        if (!m_customerGiven) {
            // A new contact starts with the company and the address of the current customer.
            m_custCode = customers->value(QStringLiteral("CustCode"));
            setCompany(customers->text(QStringLiteral("Company")));
        }
        ui->Edit_Address->setText(customers->text(QStringLiteral("Address")));
        ui->Edit_PostCode->setText(customers->text(QStringLiteral("PostCode")));
        clearForNext();
    } else {
        setWindowTitle(QStringLiteral("编辑联系人"));
        ui->Btn_OK->setText(QStringLiteral("保存(&S)"));
        loadRecord();
    }
    ui->DBNavigator1->setDataset(m_data->Qry_Contact);
}

void TFrm_AddContact::loadRecord()
{
    Dataset *c = m_data->Qry_Contact;
    ui->Edit_Name->setText(c->text(QStringLiteral("ContactName")));
    EditorForm::setComboText(ui->Combo_Zw, c->text(QStringLiteral("position")));
    setCompany(c->text(QStringLiteral("company")));
    if (!c->isNull(QStringLiteral("CustCode")))
        m_custCode = c->value(QStringLiteral("CustCode"));
    EditorForm::setComboText(ui->Combo_Depart, c->text(QStringLiteral("Department")));
    ui->Edit_Email->setText(c->text(QStringLiteral("Email")));
    ui->Edit_Address->setText(c->text(QStringLiteral("Address")));
    // A postcode loaded longer than six characters is shown whole, not cut on the next save.
    const QString postCode = c->text(QStringLiteral("PostCode"));
    ui->Edit_PostCode->setMaxLength(std::max<int>(6, postCode.size()));
    ui->Edit_PostCode->setText(postCode);
    ui->Edit_Tel->setText(c->text(QStringLiteral("tel")));
    ui->Edit_Mobile->setText(c->text(QStringLiteral("Mobile")));
    ui->Edit_Fax->setText(c->text(QStringLiteral("Fax")));
    ui->Memo1->setPlainText(c->text(QStringLiteral("introduce")));
    ui->CB_Main->setChecked(c->boolean(QStringLiteral("MainContact")));
    const QDate birthday = c->date(QStringLiteral("Birthday"));
    if (birthday.isValid())
        ui->DateTimePicker1->setDate(birthday);
    ui->CB_Birthday->setChecked(birthday.isValid());

    // An ordinary operator may read a colleague's contact but not save it.
    if (m_session->permit() == 1 && c->text(QStringLiteral("F_User")) != m_session->operatorName())
        m_locked = true;
    ui->Btn_OK->setEnabled(!m_locked);
}

void TFrm_AddContact::clearForNext()
{
    ui->Edit_Name->clear();
    ui->Edit_Email->clear();
    ui->Edit_Tel->clear();
    ui->Edit_Mobile->clear();
    ui->Edit_Fax->clear();
    ui->Memo1->clear();
    ui->DateTimePicker1->setDate(QDate::currentDate());
    ui->CB_Birthday->setChecked(false);
}

void TFrm_AddContact::warn(const QString &text, QWidget *focus)
{
    Messages::box(this, text, Warning, Msg::Icon::Information);
    focus->setFocus();
}

bool TFrm_AddContact::checkInputs(bool blankNameIsEmpty)
{
    const QString name = blankNameIsEmpty ? ui->Edit_Name->text().trimmed() : ui->Edit_Name->text();
    if (name.isEmpty()) {
        warn(QStringLiteral("联系人姓名不能为空"), ui->Edit_Name);
        return false;
    }
    if (ui->Combo_Cust->currentText().isEmpty()) {
        warn(QStringLiteral("请选择一个公司名称"), ui->Combo_Cust);
        return false;
    }
    return true;
}

// The customer is found by the company name shown. Should several customers carry that
// name, the one the dialog was opened for is taken (its code compared as stored). No
// customer: no code, and the save fails.
QVariant TFrm_AddContact::resolveCustomerCode(const QString &company)
{
    const QVariantList codes = Customers::codesOfCompany(m_data->connection(), company);
    for (const QVariant &code : codes)
        if (Customers::sameCode(code, m_custCode))
            return code;
    return codes.isEmpty() ? QVariant() : codes.first();
}

void TFrm_AddContact::save()
{
    if (!ui->Btn_OK->isEnabled())
        return;
    guarded(this, [this] {
        if (!checkInputs(!isAdding())) // a name of blanks passes in add mode
            return;
        const QString company = ui->Combo_Cust->currentText();
        const bool saved = writeContact(company, resolveCustomerCode(company));
        if (!saved && m_staleRefusal) {
            // Another workstation saved this contact meanwhile: the inputs show what is
            // stored now and the editor stays open.
            Messages::box(this, Dataset::staleRowMessage(), Reminder, Msg::Icon::Information);
            loadRecord();
            markClean();
            return;
        }
        if (!saved)
            Messages::box(this, SaveFailed, Reminder, Msg::Icon::Information);
        if (isAdding()) {
            clearForNext();
            if (saved)
                markClean();
        } else if (saved) {
            accept();
        } else {
            QDialog::reject(); // the failure is reported; nothing more to ask
        }
    });
}

// In one transaction: the contact appended (add mode) or changed (edit mode) in
// Qry_Contact, and the customer's MainContact set to its name. A refused statement rolls
// both back, puts the list right and returns false.
bool TFrm_AddContact::writeContact(const QString &company, const QVariant &code)
{
    Dataset *contacts = m_data->Qry_Contact;
    if (isAdding() && !contacts->isOpen())
        contacts->open();
    Connection *connection = m_data->connection();
    // The list writes a whole-number code itself; any other stored code (empty text, 4.6,
    // a text) is written as it is by its own statement, never converted to a number.
    const bool wholeCode = Customers::isWholeCode(code);
    bool posted = false;
    const int previousRow = contacts->currentRow();
    DbError::Kind failure = DbError::Kind::Statement;
    const bool saved = tryInTransaction(*connection, [&] {
        if (isAdding()) {
            // A new row of the linked list takes the master's code converted to the column's
            // kind; a code that is not a whole number must not pass through that conversion.
            const bool relink = !wholeCode && contacts->isLinked();
            if (relink)
                contacts->unlink();
            try {
                contacts->append();
            } catch (...) {
                if (relink)
                    contacts->link();
                throw;
            }
            if (relink)
                contacts->link();
        } else {
            contacts->edit();
        }
        contacts->setValue(QStringLiteral("ContactName"), ui->Edit_Name->text());
        if (!isAdding())
            contacts->setValue(QStringLiteral("MainContact"), ui->CB_Main->isChecked());
        else if (ui->CB_Main->isChecked()) // otherwise the column keeps its default
            contacts->setValue(QStringLiteral("MainContact"), true);
        if (wholeCode || code.isNull())
            contacts->setValue(QStringLiteral("CustCode"), code);
        contacts->setValue(QStringLiteral("company"), company);
        contacts->setValue(QStringLiteral("position"), ui->Combo_Zw->currentText());
        contacts->setValue(QStringLiteral("Department"), ui->Combo_Depart->currentText());
        contacts->setValue(QStringLiteral("Email"), ui->Edit_Email->text());
        contacts->setValue(QStringLiteral("Address"), ui->Edit_Address->text());
        contacts->setValue(QStringLiteral("PostCode"), ui->Edit_PostCode->text());
        contacts->setValue(QStringLiteral("tel"), ui->Edit_Tel->text());
        contacts->setValue(QStringLiteral("mobile"), ui->Edit_Mobile->text());
        contacts->setValue(QStringLiteral("Fax"), ui->Edit_Fax->text());
        contacts->setValue(QStringLiteral("introduce"), ui->Memo1->toPlainText());
        if (ui->CB_Birthday->isChecked()) // in edit mode an unticked box keeps the stored birthday
            contacts->setValue(QStringLiteral("birthday"), ui->DateTimePicker1->date());
        if (isAdding()) // who entered the contact; an edit leaves it
            contacts->setValue(QStringLiteral("F_User"), m_session->operatorName());
        contacts->post();
        posted = true;
        if (!wholeCode && !code.isNull())
            Contacts::setCustomerCode(connection, contacts->value(QStringLiteral("ContactID")), code);
        // The customer row gets the contact's name as its main contact; a customer that is
        // not there fails the save.
        if (code.isNull() || Customers::setMainContact(connection, code, ui->Edit_Name->text()) == 0)
            throw DbError(QStringLiteral("没有找到联系人所属的客户"));
    }, &failure);
    m_staleRefusal = !saved && failure == DbError::Kind::StaleRow;
    if (!saved) {
        if (!m_staleRefusal) // a stale row already shows what is stored now
            undoContactChange(contacts, posted, previousRow);
        return false;
    }
    if (!wholeCode && !code.isNull()) {
        // The list shows the code as written by its own statement.
        const QVariant key = contacts->value(QStringLiteral("ContactID"));
        contacts->refresh();
        contacts->locate(QStringLiteral("ContactID"), key);
    }
    return true;
}

bool TFrm_AddContact::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Edit_Email && event->type() == QEvent::MouseButtonDblClick) {
        const QString address = ui->Edit_Email->text().trimmed();
        if (!address.isEmpty())
            Platform::mailTo(this, address);
    }
    return RecordEditor::eventFilter(watched, event);
}
