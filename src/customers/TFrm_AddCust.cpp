#include "TFrm_AddCust.h"
#include "ui_TFrm_AddCust.h"
#include "TFrm_AddContact.h"
#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "store/SettingKeys.h"
#include "main/TFrm_Tree.h"
#include "store/Transaction.h"
#include "store/queries/Contacts.h"
#include "store/queries/Customers.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/Session.h"

#include <QAction>
#include <QEvent>
#include <QStyle>
#include <algorithm>

namespace {

const QString Reminder = QStringLiteral("提醒");

// Before this date the date input shows nothing: a customer without a date added.
const QDate NoDate(1899, 12, 30);

// A customer code is a whole number: decimal digits only, small enough to store.
bool wholeNumber(const QString &text, qint64 *value)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok;
}

} // namespace

TFrm_AddCust::TFrm_AddCust(Session *session, QWidget *parent)
    : RecordEditor(parent), ui(std::make_unique<Ui::TFrm_AddCust>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    ui->DateEdit1->setDate(QDate::currentDate());
    // The category is chosen with the browse button, so the code behind the name stays right.
    m_categoryButton = ui->Edit_Category->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    m_categoryButton->setObjectName(QStringLiteral("Btn_Category"));
    m_categoryButton->setToolTip(QStringLiteral("选择客户分类"));
    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->Btn_Cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    setNavigator(ui->DBNavigator1);

    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddCust::save);
    connect(ui->Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrm_AddCust::addContact);
    connect(m_categoryButton, &QAction::triggered, this, &TFrm_AddCust::chooseCategory);
    connect(ui->cb_Auto, &QCheckBox::clicked, this, &TFrm_AddCust::autoClicked);
    connect(ui->cb_Auto, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked)
            guarded(this, [this] { proposeCode(); });
    });
    ui->Edit_Email->installEventFilter(this);
    ui->Edit_Url->installEventFilter(this);
}

TFrm_AddCust::~TFrm_AddCust() = default;

void TFrm_AddCust::proposeCode()
{
    ui->Edit_Code->setText(QString::number(Customers::nextCode(m_data->connection())));
}

void TFrm_AddCust::autoClicked(bool checked)
{
    guarded(this, [this, checked] { Setting::AutoCode.write(m_data->settings(), checked ? 1 : 0); });
}

// ------------------------------------------------------------------ showing

void TFrm_AddCust::fillLists()
{
    Dataset lookup(m_data->connection());
    const QList<QPair<QComboBox *, QString>> lists = {
        {ui->Combo_CustType, QStringLiteral("Dict_CustType")}, {ui->Combo_CustLevel, QStringLiteral("Dict_CustLevel")},
        {ui->Combo_Country, QStringLiteral("Dict_Country")},   {ui->Combo_Province, QStringLiteral("Dict_Province")},
        {ui->Combo_CustFrom, QStringLiteral("Dict_CustFrom")}};
    for (const auto &[combo, table] : lists) {
        TFrm_Data::FillComboById(&lookup, combo, table);
        combo->setCurrentIndex(-1);
    }
    // Salesmen: the active operators, names as stored.
    ui->Combo_User->clear();
    ui->Combo_User->addItems(Customers::salesmen(m_data->connection()));
    ui->Combo_User->setCurrentIndex(-1);
}

void TFrm_AddCust::showSteps()
{
    m_shown = true;
    fillLists();
    IniSettings &ini = m_data->settings();
    if (isAdding()) {
        setWindowTitle(QStringLiteral("添加客户信息"));
        resetForNext();
        ui->DateEdit1->setDate(QDate::currentDate());
        EditorForm::setComboText(ui->Combo_User, m_session->operatorName());
        ui->Edit_Category->setText(Setting::LastCategoryName.read(ini));
        m_categoryCode = Setting::LastCategoryCode.read(ini);
        if (Setting::AutoCode.read(ini) == 1)
            ui->cb_Auto->setChecked(true); // proposes a code
        const QList<QPair<QComboBox *, IntegerSetting>> remembered = {
            {ui->Combo_Country, Setting::LastCountry}, {ui->Combo_Province, Setting::LastProvince},
            {ui->Combo_CustType, Setting::LastCustType}, {ui->Combo_CustFrom, Setting::LastCustFrom}};
        for (const auto &[combo, setting] : remembered) {
            const int position = setting.read(ini);
            combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
        }
        // The navigator stays unbound: there is no row to walk in add mode.
    } else {
        setWindowTitle(QStringLiteral("编辑客户信息"));
        ui->DateEdit1->setReadOnly(true); // the date added is never changed by an edit
        loadRecord();
        ui->DBNavigator1->setDataset(m_data->Qry_Cust);
    }
    // Typing starts at once in the company name, or in the code when none is proposed.
    ui->PageControl1->setCurrentIndex(0);
    if (isAdding() && ui->Edit_Code->text().trimmed().isEmpty())
        ui->Edit_Code->setFocus();
    else
        ui->Edit_CustName->setFocus();
}

void TFrm_AddCust::loadRecord()
{
    Dataset *c = m_data->Qry_Cust;
    auto text = [c](const char *field) { return c->text(QString::fromLatin1(field)); };
    ui->Edit_Code->setText(text("CustCode"));
    ui->Edit_CustName->setText(text("Company"));
    ui->Edit_Address->setText(text("address"));
    // A postcode loaded longer than six characters is shown whole, not cut on the next save.
    ui->Edit_Zip->setMaxLength(std::max<int>(6, text("postcode").size()));
    ui->Edit_Zip->setText(text("postcode"));
    ui->Edit_Fax->setText(text("fax"));
    ui->Edit_tel->setText(text("tel"));
    ui->Edit_Email->setText(text("email"));
    EditorForm::setComboText(ui->Combo_CustType, text("CustType"));
    ui->Edit_Income->setText(text("income"));
    EditorForm::setComboText(ui->Combo_User, text("F_User"));
    ui->Edit_Url->setText(text("url"));
    ui->Edit_Main->setText(text("MainContact"));
    ui->Edit_Mobile->setText(text("Mobile"));
    ui->Edit_OtherInfo->setText(text("OtherInfo"));
    ui->Memo1->setPlainText(text("introduce"));
    EditorForm::setComboText(ui->Combo_CustLevel, text("CustLevel"));
    EditorForm::setComboText(ui->Combo_Country, text("country"));
    EditorForm::setComboText(ui->Combo_Province, text("province"));
    ui->Edit_City->setText(text("city"));
    EditorForm::setComboText(ui->Combo_CustFrom, text("CustFrom"));
    const QDate added = c->date(QStringLiteral("AddDate"));
    ui->DateEdit1->setDate(added.isValid() ? added : NoDate);
    ui->Memo2->setPlainText(text("memo2"));
    ui->Memo3->setPlainText(text("memo3"));

    m_loadedCode = c->value(QStringLiteral("CustCode")); // as stored: carried changes match exactly this
    m_loadedName = text("Company");
    m_categoryCode = text("Category");
    ui->Edit_Category->setText(Customers::categoryName(m_data->connection(), m_categoryCode));
}

void TFrm_AddCust::resetForNext()
{
    if (Setting::AutoCode.read(m_data->settings()) != 0) {
        proposeCode();
        ui->PageControl1->setCurrentIndex(0);
        ui->Edit_CustName->setFocus();
    } else {
        ui->Edit_Code->clear();
    }
    for (QLineEdit *e : {ui->Edit_CustName, ui->Edit_Main, ui->Edit_Mobile, ui->Edit_OtherInfo, ui->Edit_City,
                         ui->Edit_Address, ui->Edit_Zip, ui->Edit_tel, ui->Edit_Fax, ui->Edit_Income, ui->Edit_Url,
                         ui->Edit_Email})
        e->clear();
    for (QPlainTextEdit *m : {ui->Memo1, ui->Memo2, ui->Memo3})
        m->clear();
}

// ------------------------------------------------------------------ saving

void TFrm_AddCust::remind(const QString &text, QWidget *focus)
{
    Messages::box(this, text, Reminder, Msg::Icon::Information);
    ui->PageControl1->setCurrentIndex(0);
    if (focus)
        focus->setFocus();
}

void TFrm_AddCust::save()
{
    guarded(this, [this] {
        const QString codeText = ui->Edit_Code->text().trimmed();
        if (codeText.isEmpty()) {
            remind(QStringLiteral("客户编号不能为空!"), ui->Edit_Code);
            return;
        }
        const QString company = ui->Edit_CustName->text().trimmed();
        if (company.isEmpty()) {
            remind(QStringLiteral("公司名称不能为空!"), ui->Edit_CustName);
            return;
        }
        // A customer code is a whole number: anything else is refused before any statement.
        qint64 code = 0;
        if (!wholeNumber(codeText, &code)) {
            remind(QStringLiteral("客户编号必须是整数!"), ui->Edit_Code);
            return;
        }
        if (isAdding())
            saveNew(code, company);
        else
            saveChanges(code, company);
    });
}

void TFrm_AddCust::writeColumns(Dataset *c, qint64 code, const QString &company, bool withDate)
{
    auto trimmed = [](QLineEdit *e) { return e->text().trimmed(); };
    auto listText = [](QComboBox *combo) { return combo->currentText().trimmed(); };
    c->setValue(QStringLiteral("CustCode"), code);
    c->setValue(QStringLiteral("Company"), company);
    c->setValue(QStringLiteral("Category"), m_categoryCode);
    c->setValue(QStringLiteral("address"), trimmed(ui->Edit_Address));
    c->setValue(QStringLiteral("postcode"), trimmed(ui->Edit_Zip));
    c->setValue(QStringLiteral("fax"), trimmed(ui->Edit_Fax));
    c->setValue(QStringLiteral("tel"), trimmed(ui->Edit_tel));
    c->setValue(QStringLiteral("email"), trimmed(ui->Edit_Email));
    c->setValue(QStringLiteral("CustType"), listText(ui->Combo_CustType));
    c->setValue(QStringLiteral("income"), trimmed(ui->Edit_Income));
    c->setValue(QStringLiteral("F_User"), ui->Combo_User->currentText());
    c->setValue(QStringLiteral("url"), trimmed(ui->Edit_Url));
    c->setValue(QStringLiteral("MainContact"), trimmed(ui->Edit_Main));
    c->setValue(QStringLiteral("Mobile"), trimmed(ui->Edit_Mobile));
    c->setValue(QStringLiteral("OtherInfo"), trimmed(ui->Edit_OtherInfo));
    c->setValue(QStringLiteral("introduce"), ui->Memo1->toPlainText());
    c->setValue(QStringLiteral("CustLevel"), listText(ui->Combo_CustLevel));
    c->setValue(QStringLiteral("country"), listText(ui->Combo_Country));
    c->setValue(QStringLiteral("province"), listText(ui->Combo_Province));
    c->setValue(QStringLiteral("city"), trimmed(ui->Edit_City));
    c->setValue(QStringLiteral("CustFrom"), listText(ui->Combo_CustFrom));
    if (withDate)
        c->setValue(QStringLiteral("AddDate"), ui->DateEdit1->date());
    c->setValue(QStringLiteral("memo2"), ui->Memo2->toPlainText());
    c->setValue(QStringLiteral("memo3"), ui->Memo3->toPlainText());
}

void TFrm_AddCust::saveNew(qint64 code, const QString &company)
{
    if (Customers::codeTaken(m_data->connection(), code)) {
        remind(QStringLiteral("客户编号有重复!"));
        proposeCode();
        return;
    }
    if (Customers::nameTaken(m_data->connection(), company)) {
        remind(QStringLiteral("客户名称有重复!"), ui->Edit_CustName);
        return;
    }
    Dataset *customers = m_data->Qry_Cust;
    if (!customers->isOpen())
        customers->open();
    customers->append();
    try {
        writeColumns(customers, code, company, true);
        customers->post();
    } catch (...) {
        customers->cancel(); // a refused row does not stay in the list
        throw;
    }
    resetForNext();
    markClean();
}

// The customer row, and what its contacts and schedules copy of it, change together or
// not at all. The copies are found by the code exactly as the customer row stored it.
void TFrm_AddCust::saveChanges(qint64 code, const QString &company)
{
    Connection *connection = m_data->connection();
    const bool hadCode = !m_loadedCode.isNull();
    // Blanks or leading zeros around the same stored number are no change. An empty text,
    // a fraction such as 4.6 or a text code is never the typed whole number: replacing it
    // is a change, tested for duplicates and carried to the rows of exactly that value.
    const bool codeChanged = !Customers::sameCode(m_loadedCode, code);
    if (codeChanged && Customers::codeTaken(connection, code)) {
        Messages::plain(this, QStringLiteral("客户编号重复，请你换一个客户编号"));
        ui->PageControl1->setCurrentIndex(0);
        ui->Edit_Code->setFocus();
        return;
    }
    const bool nameChanged = company != m_loadedName;
    Dataset *customers = m_data->Qry_Cust;
    bool posted = false;
    DbError::Kind failure = DbError::Kind::Statement;
    const bool saved = tryInTransaction(*connection, [&] {
        customers->edit();
        writeColumns(customers, code, company, false);
        customers->post();
        posted = true;
        // A customer without a code has no rows linked to it by code.
        if (!hadCode)
            return;
        if (codeChanged)
            Customers::carryCode(connection, m_loadedCode, code);
        // The customer's own contacts and schedules take the new name, also when the code
        // changed in the same save; rows of another customer of the same name stay.
        if (nameChanged)
            Customers::carryName(connection, codeChanged ? QVariant(code) : m_loadedCode, m_loadedName, company);
    }, &failure);
    if (!saved && failure == DbError::Kind::StaleRow) {
        // Another workstation saved this customer meanwhile: nothing of this save is kept,
        // and the inputs show what is stored now.
        Messages::box(this, Dataset::staleRowMessage(), Reminder, Msg::Icon::Information);
        loadRecord();
        markClean();
        return;
    }
    if (!saved) {
        if (customers->state() == Dataset::State::Edit)
            customers->cancel();
        else if (posted)
            customers->refresh(); // the list shows the row as it is stored again
        Messages::box(this, QStringLiteral("保存数据失败!"), Reminder, Msg::Icon::Information);
        return;
    }
    // Later saves compare against what is stored now.
    m_loadedCode = code;
    m_loadedName = company;
    markClean();
}

// ------------------------------------------------------------------ other buttons

void TFrm_AddCust::chooseCategory()
{
    guarded(this, [this] {
        TFrm_Tree tree(m_data, this);
        tree.CategoryTable = QStringLiteral("Cust_Category");
        tree.RootCaption = QStringLiteral("客户分类");
        tree.SelectMode = TFrm_Tree::CustomerEditor; // also remembers the choice in [login]
        tree.CurrentCode = m_categoryCode;
        tree.exec();
        if (tree.Selected) {
            m_categoryCode = tree.SelectedCode.trimmed();
            ui->Edit_Category->setText(tree.SelectedName);
        }
    });
}

void TFrm_AddCust::addContact()
{
    guarded(this, [this] {
        TFrm_AddContact contact(m_session, this);
        contact.setMode(EditorMode::Add);
        Dataset *customers = m_data->Qry_Cust;
        if (customers->isOpen() && customers->currentRow() >= 0)
            contact.setCustomer(customers->value(QStringLiteral("CustCode")), customers->text(QStringLiteral("Company")));
        contact.exec();
    });
}

bool TFrm_AddCust::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ui->Edit_Email) {
            const QString address = ui->Edit_Email->text().trimmed();
            if (!address.isEmpty())
                Platform::mailTo(this, address);
        } else if (watched == ui->Edit_Url) {
            const QString address = ui->Edit_Url->text().trimmed();
            if (!address.isEmpty())
                Platform::openWebAddress(this, address);
        }
    }
    return RecordEditor::eventFilter(watched, event);
}

// ------------------------------------------------------------------ closing

void TFrm_AddCust::done(int result)
{
    if (m_shown)
        guarded(this, [this] { closingSteps(); });
    RecordEditor::done(result);
}

void TFrm_AddCust::closingSteps()
{
    IniSettings &ini = m_data->settings();
    if (isAdding()) {
        Setting::LastCountry.write(ini, EditorForm::comboPosition(ui->Combo_Country));
        Setting::LastProvince.write(ini, EditorForm::comboPosition(ui->Combo_Province));
        Setting::LastCustType.write(ini, EditorForm::comboPosition(ui->Combo_CustType));
        Setting::LastCustFrom.write(ini, EditorForm::comboPosition(ui->Combo_CustFrom));
        Setting::AutoCode.write(ini, ui->cb_Auto->isChecked() ? 1 : 0);
    }
    // The contact list of the current customer again, in the operator's scope as the
    // browser shows it.
    Dataset *contacts = m_data->Qry_Contact;
    contacts->link();
    Contacts::openOfCustomer(*contacts, m_session->scope());
    if (auto *browser = m_session->dialogParent()->findChild<TFrm_Custom *>())
        browser->applyContactColumns();
}
