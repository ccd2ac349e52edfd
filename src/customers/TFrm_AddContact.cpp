#include "TFrm_AddContact.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/DbError.h"
#include "store/SqlText.h"
#include "store/Transaction.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString Warning = QStringLiteral("警告");
const QString Reminder = QStringLiteral("提醒");
const QString SaveFailed = QStringLiteral("保存数据失败!");
} // namespace

TFrm_AddContact::TFrm_AddContact(TFrm_Main *mainWindow, QWidget *parent)
    : QDialog(parent), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_AddContact"));
    buildForm();
}

TFrm_AddContact::~TFrm_AddContact() = default;

void TFrm_AddContact::buildForm()
{
    GroupBox1 = new QGroupBox(QStringLiteral(" 联 系 人 信 息 "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    auto edit = [this](const char *name) {
        auto *e = new QLineEdit(GroupBox1);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    auto combo = [this](const char *name, bool editable) {
        auto *c = new QComboBox(GroupBox1);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(editable);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(8);
        return c;
    };
    Edit_Name = edit("Edit_Name");
    CB_Main = new QCheckBox(QStringLiteral("主联系人(&M)"), GroupBox1);
    CB_Main->setObjectName(QStringLiteral("CB_Main"));
    CB_Main->setChecked(true);
    Edit_Tel = edit("Edit_Tel");
    Edit_Mobile = edit("Edit_Mobile");
    Combo_Cust = combo("Combo_Cust", false); // a contact stays with the company it was opened for
    Edit_Fax = edit("Edit_Fax");
    Edit_Email = edit("Edit_Email");
    Edit_Email->setToolTip(QStringLiteral("双击写邮件"));
    CB_Birthday = new QCheckBox(GroupBox1);
    CB_Birthday->setObjectName(QStringLiteral("CB_Birthday"));
    CB_Birthday->setToolTip(QStringLiteral("勾选后保存生日"));
    DateTimePicker1 = new QDateEdit(QDate::currentDate(), GroupBox1);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTimePicker1->setEnabled(false);
    connect(CB_Birthday, &QCheckBox::toggled, DateTimePicker1, &QWidget::setEnabled);
    Combo_Depart = combo("Combo_Depart", true);
    Combo_Zw = combo("Combo_Zw", true);
    Edit_Address = edit("Edit_Address");
    Edit_PostCode = edit("Edit_PostCode");
    Edit_PostCode->setMaxLength(6);
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);

    auto *birthday = new QHBoxLayout;
    birthday->setSpacing(4);
    birthday->addWidget(CB_Birthday);
    birthday->addWidget(DateTimePicker1, 1);
    auto *name = new QHBoxLayout;
    name->setSpacing(8);
    name->addWidget(Edit_Name, 1);
    name->addWidget(CB_Main);

    using EditorForm::label;
    auto *grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(label(QStringLiteral("姓名:"), 'N', Edit_Name), 0, 0);
    grid->addLayout(name, 0, 1);
    grid->addWidget(label(QStringLiteral("公司名称"), 'G', Combo_Cust), 0, 2);
    grid->addWidget(Combo_Cust, 0, 3);
    grid->addWidget(label(QStringLiteral("办公电话"), 'T', Edit_Tel), 1, 0);
    grid->addWidget(Edit_Tel, 1, 1);
    grid->addWidget(label(QStringLiteral("移动电话"), 'O', Edit_Mobile), 1, 2);
    grid->addWidget(Edit_Mobile, 1, 3);
    grid->addWidget(label(QStringLiteral("传真"), 'F', Edit_Fax), 2, 0);
    grid->addWidget(Edit_Fax, 2, 1);
    grid->addWidget(label(QStringLiteral("电子信箱"), 'E', Edit_Email), 2, 2);
    grid->addWidget(Edit_Email, 2, 3);
    grid->addWidget(label(QStringLiteral("部门"), 'D', Combo_Depart), 3, 0);
    grid->addWidget(Combo_Depart, 3, 1);
    grid->addWidget(label(QStringLiteral("职务"), 'Z', Combo_Zw), 3, 2);
    grid->addWidget(Combo_Zw, 3, 3);
    QLabel *birthdayLabel = label(QStringLiteral("生日"), 'B', CB_Birthday);
    birthdayLabel->setObjectName(QStringLiteral("Label_DateTimePicker1"));
    grid->addWidget(birthdayLabel, 4, 0);
    grid->addLayout(birthday, 4, 1);
    grid->addWidget(label(QStringLiteral("邮编"), 'Y', Edit_PostCode), 4, 2);
    grid->addWidget(Edit_PostCode, 4, 3);
    grid->addWidget(label(QStringLiteral("详细地址"), 'R', Edit_Address), 5, 0);
    grid->addWidget(Edit_Address, 5, 1, 1, 3);
    QLabel *memoLabel = label(QStringLiteral("个人简介"), 'J', Memo1);
    memoLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(memoLabel, 6, 0);
    grid->addWidget(Memo1, 6, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);

    DBNavigator1 = new RecordNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    Btn_OK = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("新增(&A)"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_Exit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("退出(&Q)"), this);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));
    for (QPushButton *b : {Btn_OK, Btn_Exit})
        b->setAutoDefault(false); // Enter in an input does not save by accident

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(DBNavigator1);
    buttons->addStretch();
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);

    EditorForm::tabOrder({Edit_Name, CB_Main, Combo_Cust, Edit_Tel, Edit_Mobile, Edit_Fax, Edit_Email, Combo_Depart, Combo_Zw,
                 CB_Birthday, DateTimePicker1, Edit_PostCode, Edit_Address, Memo1, Btn_OK, Btn_Exit});
    resize(600, 400);

    connect(Btn_OK, &QPushButton::clicked, this, &TFrm_AddContact::save);
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBNavigator1, &RecordNavigator::moved, this, [this] { guarded(this, [this] { loadContact(); }); });
    Edit_Email->installEventFilter(this);
}

void TFrm_AddContact::setMode(EditorMode mode)
{
    if (!m_shown)
        m_mode = mode;
}

void TFrm_AddContact::setCustomer(const QVariant &custCode, const QString &company)
{
    m_custCode = custCode;
    m_customerGiven = true;
    setCompany(company);
}

void TFrm_AddContact::setCompany(const QString &company)
{
    Combo_Cust->clear();
    if (!company.isEmpty())
        Combo_Cust->addItem(company);
    Combo_Cust->setCurrentIndex(company.isEmpty() ? -1 : 0);
}

void TFrm_AddContact::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    guarded(this, [this] { showSteps(); });
}

void TFrm_AddContact::showSteps()
{
    TFrm_Data::FillComboById(m_data->Qry_zw, Combo_Zw, QStringLiteral("Dict_zw"));
    Combo_Zw->setCurrentIndex(-1);
    TFrm_Data::FillComboById(m_data->Qry_Depart, Combo_Depart, QStringLiteral("Dict_department"));
    Combo_Depart->setCurrentIndex(-1);

    Dataset *contacts = m_data->Qry_Contact;
    if (m_mode == EditorMode::Add) {
        setWindowTitle(QStringLiteral("添加联系人"));
        Btn_OK->setText(QStringLiteral("新增(&A)"));
        Dataset *customers = m_data->Qry_Cust;
        if (!m_customerGiven) {
            // A new contact starts with the company and the address of the current customer.
            m_custCode = customers->value(QStringLiteral("CustCode"));
            setCompany(customers->text(QStringLiteral("Company")));
        }
        Edit_Address->setText(customers->text(QStringLiteral("Address")));
        Edit_PostCode->setText(customers->text(QStringLiteral("PostCode")));
        clearForNext();
    } else {
        setWindowTitle(QStringLiteral("编辑联系人"));
        Btn_OK->setText(QStringLiteral("保存(&S)"));
        loadContact();
    }
    DBNavigator1->setDataset(contacts);
}

void TFrm_AddContact::loadContact()
{
    Dataset *c = m_data->Qry_Contact;
    Edit_Name->setText(c->text(QStringLiteral("ContactName")));
    EditorForm::setComboText(Combo_Zw, c->text(QStringLiteral("position")));
    setCompany(c->text(QStringLiteral("company")));
    if (!c->isNull(QStringLiteral("CustCode")))
        m_custCode = c->value(QStringLiteral("CustCode"));
    EditorForm::setComboText(Combo_Depart, c->text(QStringLiteral("Department")));
    Edit_Email->setText(c->text(QStringLiteral("Email")));
    Edit_Address->setText(c->text(QStringLiteral("Address")));
    // A postcode loaded longer than six characters is shown whole, not cut on the next save.
    const QString postCode = c->text(QStringLiteral("PostCode"));
    Edit_PostCode->setMaxLength(std::max<int>(6, postCode.size()));
    Edit_PostCode->setText(postCode);
    Edit_Tel->setText(c->text(QStringLiteral("tel")));
    Edit_Mobile->setText(c->text(QStringLiteral("Mobile")));
    Edit_Fax->setText(c->text(QStringLiteral("Fax")));
    Memo1->setPlainText(c->text(QStringLiteral("introduce")));
    CB_Main->setChecked(c->boolean(QStringLiteral("MainContact")));
    const QDate birthday = c->date(QStringLiteral("Birthday"));
    if (birthday.isValid())
        DateTimePicker1->setDate(birthday);
    CB_Birthday->setChecked(birthday.isValid());

    // An ordinary operator may read a colleague's contact but not save it.
    if (m_main->Permit == 1 && c->text(QStringLiteral("F_User")) != m_main->OperatorName)
        m_locked = true;
    Btn_OK->setEnabled(!m_locked);
}

void TFrm_AddContact::clearForNext()
{
    Edit_Name->clear();
    Edit_Email->clear();
    Edit_Tel->clear();
    Edit_Mobile->clear();
    Edit_Fax->clear();
    Memo1->clear();
    DateTimePicker1->setDate(QDate::currentDate());
    CB_Birthday->setChecked(false);
}

void TFrm_AddContact::warn(const QString &text, QWidget *focus)
{
    Messages::box(this, text, Warning, Msg::Icon::Information);
    focus->setFocus();
}

bool TFrm_AddContact::checkInputs(bool blankNameIsEmpty)
{
    const QString name = blankNameIsEmpty ? Edit_Name->text().trimmed() : Edit_Name->text();
    if (name.isEmpty()) {
        warn(QStringLiteral("联系人姓名不能为空"), Edit_Name);
        return false;
    }
    if (Combo_Cust->currentText().isEmpty()) {
        warn(QStringLiteral("请选择一个公司名称"), Combo_Cust);
        return false;
    }
    return true;
}

// The customer is found by the company name shown. Should several customers carry that
// name, the one the dialog was opened for is taken. No customer: an invalid code, and
// the save fails.
QVariant TFrm_AddContact::resolveCustomerCode(const QString &company)
{
    Dataset *temp = m_data->Qry_Temp;
    TFrm_Data::RunQuery(temp, QStringLiteral("Select * from custom where company=") + SqlText::quoted(company));
    const int code = temp->checkedFieldIndex(QStringLiteral("CustCode"));
    for (int row = 0; row < temp->recordCount(); ++row)
        if (m_custCode.isValid() && !m_custCode.isNull()
            && temp->value(row, code).toLongLong() == m_custCode.toLongLong())
            return temp->value(row, code);
    return temp->isEmpty() ? QVariant() : temp->value(0, code);
}

void TFrm_AddContact::save()
{
    if (!Btn_OK->isEnabled())
        return;
    guarded(this, [this] {
        if (m_mode == EditorMode::Add)
            saveAdd();
        else
            saveEdit();
    });
}

namespace {

// The customer row gets the contact's name as its main contact; a customer that is not
// there fails the save.
void setMainContact(TFrm_Data *data, const QVariant &code, const QString &name)
{
    if (code.isNull() || !code.isValid())
        throw DbError(QStringLiteral("没有找到联系人所属的客户"));
    const int changed = TFrm_Data::RunSql(data->Qry_Temp, QStringLiteral("update custom set MainContact=")
                                                              + SqlText::quoted(name) + QStringLiteral(" where CustCode=")
                                                              + QString::number(code.toLongLong()));
    if (changed == 0)
        throw DbError(QStringLiteral("没有找到联系人所属的客户"));
}

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

void TFrm_AddContact::saveAdd()
{
    if (!checkInputs(false)) // a name of blanks passes here
        return;
    const QString company = Combo_Cust->currentText();
    const QVariant code = resolveCustomerCode(company);
    Dataset *contacts = m_data->Qry_Contact;
    if (!contacts->isOpen())
        contacts->open();
    bool posted = false;
    const int previousRow = contacts->currentRow();
    const bool saved = tryInTransaction(*m_data->connection(), [&] {
        contacts->append();
        contacts->setValue(QStringLiteral("ContactName"), Edit_Name->text());
        if (CB_Main->isChecked())
            contacts->setValue(QStringLiteral("MainContact"), true);
        contacts->setValue(QStringLiteral("CustCode"), code);
        contacts->setValue(QStringLiteral("company"), company);
        contacts->setValue(QStringLiteral("position"), Combo_Zw->currentText());
        contacts->setValue(QStringLiteral("Department"), Combo_Depart->currentText());
        contacts->setValue(QStringLiteral("Email"), Edit_Email->text());
        contacts->setValue(QStringLiteral("Address"), Edit_Address->text());
        contacts->setValue(QStringLiteral("PostCode"), Edit_PostCode->text());
        contacts->setValue(QStringLiteral("tel"), Edit_Tel->text());
        contacts->setValue(QStringLiteral("mobile"), Edit_Mobile->text());
        contacts->setValue(QStringLiteral("Fax"), Edit_Fax->text());
        contacts->setValue(QStringLiteral("introduce"), Memo1->toPlainText());
        if (CB_Birthday->isChecked())
            contacts->setValue(QStringLiteral("birthday"), DateTimePicker1->date());
        contacts->setValue(QStringLiteral("F_User"), m_main->OperatorName);
        contacts->post();
        posted = true;
        setMainContact(m_data, code, Edit_Name->text());
    });
    if (!saved) {
        undoContactChange(contacts, posted, previousRow);
        Messages::box(this, SaveFailed, Reminder, Msg::Icon::Information);
    }
    clearForNext();
}

void TFrm_AddContact::saveEdit()
{
    if (!checkInputs(true))
        return;
    const QString company = Combo_Cust->currentText();
    const QVariant code = resolveCustomerCode(company);
    Dataset *contacts = m_data->Qry_Contact;
    bool posted = false;
    const int previousRow = contacts->currentRow();
    const bool saved = tryInTransaction(*m_data->connection(), [&] {
        contacts->edit();
        contacts->setValue(QStringLiteral("ContactName"), Edit_Name->text());
        contacts->setValue(QStringLiteral("MainContact"), CB_Main->isChecked());
        contacts->setValue(QStringLiteral("CustCode"), code);
        contacts->setValue(QStringLiteral("company"), company);
        contacts->setValue(QStringLiteral("position"), Combo_Zw->currentText());
        contacts->setValue(QStringLiteral("Department"), Combo_Depart->currentText());
        contacts->setValue(QStringLiteral("Email"), Edit_Email->text());
        contacts->setValue(QStringLiteral("Address"), Edit_Address->text());
        contacts->setValue(QStringLiteral("PostCode"), Edit_PostCode->text());
        contacts->setValue(QStringLiteral("tel"), Edit_Tel->text());
        contacts->setValue(QStringLiteral("mobile"), Edit_Mobile->text());
        contacts->setValue(QStringLiteral("Fax"), Edit_Fax->text());
        contacts->setValue(QStringLiteral("introduce"), Memo1->toPlainText());
        if (CB_Birthday->isChecked()) // an unticked box keeps the stored birthday
            contacts->setValue(QStringLiteral("birthday"), DateTimePicker1->date());
        contacts->post();
        posted = true;
        setMainContact(m_data, code, Edit_Name->text());
    });
    if (!saved) {
        undoContactChange(contacts, posted, previousRow);
        Messages::box(this, SaveFailed, Reminder, Msg::Icon::Information);
        reject();
        return;
    }
    accept();
}

bool TFrm_AddContact::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit_Email && event->type() == QEvent::MouseButtonDblClick) {
        const QString address = Edit_Email->text().trimmed();
        if (!address.isEmpty())
            Platform::mailTo(this, address);
    }
    return QDialog::eventFilter(watched, event);
}
