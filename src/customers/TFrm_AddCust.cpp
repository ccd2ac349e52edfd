#include "TFrm_AddCust.h"
#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "main/TFrm_Main.h"
#include "main/TFrm_Tree.h"
#include "store/DbError.h"
#include "store/SqlText.h"
#include "store/Transaction.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString FormConfig = QStringLiteral("FormConfig");
const QString Login = QStringLiteral("login");
const QString AutoCode = QStringLiteral("AutoCode");
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

QLineEdit *lineEdit(QWidget *page, const char *name)
{
    auto *e = new QLineEdit(page);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

QComboBox *pickList(QWidget *page, const char *name)
{
    auto *c = new QComboBox(page);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true); // every list also takes typed text
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(8);
    return c;
}

QPlainTextEdit *memo(QWidget *page, const char *name)
{
    auto *m = new QPlainTextEdit(page);
    m->setObjectName(QString::fromLatin1(name));
    m->setTabChangesFocus(true);
    return m;
}

QLabel *memoLabel(const QString &caption, char key, QWidget *buddy)
{
    QLabel *label = EditorForm::label(caption, key, buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    return label;
}

} // namespace

TFrm_AddCust::TFrm_AddCust(TFrm_Main *mainWindow, QWidget *parent)
    : QDialog(parent), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_AddCust"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("客户基本信息"));
    PageControl1->addTab(TabSheet2, QStringLiteral("客户详细信息"));
    buildBasicPage();
    buildDetailsPage();

    DBNavigator1 = new RecordNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    auto button = [this](const char *name, const QString &caption, QStyle::StandardPixmap icon) {
        auto *b = new QPushButton(style()->standardIcon(icon), caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false); // Enter in an input does not save by accident
        return b;
    };
    BitBtn1 = button("BitBtn1", QStringLiteral("新增联系人(&C)"), QStyle::SP_FileDialogNewFolder);
    Btn_OK = button("Btn_OK", QStringLiteral("保存(&S)"), QStyle::SP_DialogSaveButton);
    Btn_Cancel = button("Btn_Cancel", QStringLiteral("关闭(&Q)"), QStyle::SP_DialogCloseButton);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(DBNavigator1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    resize(640, 500);

    connect(Btn_OK, &QPushButton::clicked, this, &TFrm_AddCust::save);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrm_AddCust::addContact);
    connect(Btn_Category, &QAction::triggered, this, &TFrm_AddCust::chooseCategory);
    connect(cb_Auto, &QCheckBox::clicked, this, &TFrm_AddCust::autoClicked);
    connect(cb_Auto, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked)
            guarded(this, [this] { proposeCode(); });
    });
    connect(DBNavigator1, &RecordNavigator::moved, this, [this] { guarded(this, [this] { loadCurrent(); }); });
    Edit_Email->installEventFilter(this);
    Edit_Url->installEventFilter(this);
}

TFrm_AddCust::~TFrm_AddCust() = default;

void TFrm_AddCust::buildBasicPage()
{
    QWidget *page = TabSheet1;
    Edit_Code = lineEdit(page, "Edit_Code");
    cb_Auto = new QCheckBox(QStringLiteral("自动(&Z)"), page);
    cb_Auto->setObjectName(QStringLiteral("cb_Auto"));
    cb_Auto->setToolTip(QStringLiteral("自动给出下一个客户编号"));
    Edit_CustName = lineEdit(page, "Edit_CustName");
    Edit_Category = lineEdit(page, "Edit_Category");
    Edit_Category->setReadOnly(true); // chosen with the browse button: the code behind the name stays right
    Btn_Category = Edit_Category->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    Btn_Category->setObjectName(QStringLiteral("Btn_Category"));
    Btn_Category->setToolTip(QStringLiteral("选择客户分类"));
    Edit_Address = lineEdit(page, "Edit_Address");
    Edit_Zip = lineEdit(page, "Edit_Zip");
    Edit_Zip->setMaxLength(6);
    Edit_Fax = lineEdit(page, "Edit_Fax");
    Edit_tel = lineEdit(page, "Edit_tel");
    Edit_Email = lineEdit(page, "Edit_Email");
    Edit_Email->setToolTip(QStringLiteral("双击写邮件"));
    Combo_CustType = pickList(page, "Combo_CustType");
    Edit_Income = lineEdit(page, "Edit_Income");
    Combo_User = pickList(page, "Combo_User");
    Edit_Url = lineEdit(page, "Edit_Url");
    Edit_Url->setToolTip(QStringLiteral("双击打开网址"));
    Edit_Main = lineEdit(page, "Edit_Main");
    Edit_Mobile = lineEdit(page, "Edit_Mobile");
    Edit_OtherInfo = lineEdit(page, "Edit_OtherInfo");
    Memo1 = memo(page, "Memo1");
    Combo_CustLevel = pickList(page, "Combo_CustLevel");

    auto *code = new QHBoxLayout;
    code->setSpacing(8);
    code->addWidget(Edit_Code, 1);
    code->addWidget(cb_Auto);

    using EditorForm::label;
    auto *grid = new QGridLayout(page);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(label(QStringLiteral("客户编号:"), 'B', Edit_Code), 0, 0);
    grid->addLayout(code, 0, 1);
    grid->addWidget(label(QStringLiteral("客户分类:"), 'F', Edit_Category), 0, 2);
    grid->addWidget(Edit_Category, 0, 3);
    grid->addWidget(label(QStringLiteral("公司名称:"), 'M', Edit_CustName), 1, 0);
    grid->addWidget(Edit_CustName, 1, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("通讯地址:"), 'D', Edit_Address), 2, 0);
    grid->addWidget(Edit_Address, 2, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("邮编:"), 'Y', Edit_Zip), 3, 0);
    grid->addWidget(Edit_Zip, 3, 1);
    grid->addWidget(label(QStringLiteral("传真号码:"), 'X', Edit_Fax), 3, 2);
    grid->addWidget(Edit_Fax, 3, 3);
    grid->addWidget(label(QStringLiteral("联系电话:"), 'T', Edit_tel), 4, 0);
    grid->addWidget(Edit_tel, 4, 1);
    grid->addWidget(label(QStringLiteral("手机号码:"), 'O', Edit_Mobile), 4, 2);
    grid->addWidget(Edit_Mobile, 4, 3);
    grid->addWidget(label(QStringLiteral("电子信箱:"), 'E', Edit_Email), 5, 0);
    grid->addWidget(Edit_Email, 5, 1);
    grid->addWidget(label(QStringLiteral("公司网址:"), 'R', Edit_Url), 5, 2);
    grid->addWidget(Edit_Url, 5, 3);
    grid->addWidget(label(QStringLiteral("客户类型:"), 'L', Combo_CustType), 6, 0);
    grid->addWidget(Combo_CustType, 6, 1);
    grid->addWidget(label(QStringLiteral("客户级别:"), 'V', Combo_CustLevel), 6, 2);
    grid->addWidget(Combo_CustLevel, 6, 3);
    grid->addWidget(label(QStringLiteral("业务员:"), 'W', Combo_User), 7, 0);
    grid->addWidget(Combo_User, 7, 1);
    grid->addWidget(label(QStringLiteral("年收入:"), 'I', Edit_Income), 7, 2);
    grid->addWidget(Edit_Income, 7, 3);
    grid->addWidget(label(QStringLiteral("主联系人:"), 'P', Edit_Main), 8, 0);
    grid->addWidget(Edit_Main, 8, 1);
    grid->addWidget(label(QStringLiteral("其它信息:"), 'A', Edit_OtherInfo), 8, 2);
    grid->addWidget(Edit_OtherInfo, 8, 3);
    grid->addWidget(memoLabel(QStringLiteral("公司简介:"), 'J', Memo1), 9, 0);
    grid->addWidget(Memo1, 9, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(9, 1);

    EditorForm::tabOrder({Edit_Code, cb_Auto, Edit_Category, Edit_CustName, Edit_Address, Edit_Zip, Edit_Fax, Edit_tel,
                          Edit_Mobile, Edit_Email, Edit_Url, Combo_CustType, Combo_CustLevel, Combo_User, Edit_Income,
                          Edit_Main, Edit_OtherInfo, Memo1});
}

void TFrm_AddCust::buildDetailsPage()
{
    QWidget *page = TabSheet2;
    Combo_Country = pickList(page, "Combo_Country");
    Combo_Province = pickList(page, "Combo_Province");
    Edit_City = lineEdit(page, "Edit_City");
    Combo_CustFrom = pickList(page, "Combo_CustFrom");
    DateEdit1 = new QDateEdit(QDate::currentDate(), page);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setCalendarPopup(true);
    DateEdit1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateEdit1->setMinimumDate(NoDate);
    DateEdit1->setSpecialValueText(QStringLiteral(" "));
    Memo2 = memo(page, "Memo2");
    Memo3 = memo(page, "Memo3");

    using EditorForm::label;
    auto *grid = new QGridLayout(page);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(label(QStringLiteral("国家:"), 'G', Combo_Country), 0, 0);
    grid->addWidget(Combo_Country, 0, 1);
    grid->addWidget(label(QStringLiteral("省份:"), 'H', Combo_Province), 0, 2);
    grid->addWidget(Combo_Province, 0, 3);
    grid->addWidget(label(QStringLiteral("城市:"), 'K', Edit_City), 1, 0);
    grid->addWidget(Edit_City, 1, 1);
    grid->addWidget(label(QStringLiteral("客户来源:"), 'N', Combo_CustFrom), 1, 2);
    grid->addWidget(Combo_CustFrom, 1, 3);
    grid->addWidget(label(QStringLiteral("添加时间:"), 'U', DateEdit1), 2, 0);
    grid->addWidget(DateEdit1, 2, 1);
    grid->addWidget(memoLabel(QStringLiteral("其它信息:"), 'A', Memo2), 3, 0);
    grid->addWidget(Memo2, 3, 1, 1, 3);
    grid->addWidget(memoLabel(QStringLiteral("竟争对手:"), 'J', Memo3), 4, 0);
    grid->addWidget(Memo3, 4, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    grid->setRowStretch(4, 1);

    EditorForm::tabOrder({Combo_Country, Combo_Province, Edit_City, Combo_CustFrom, DateEdit1, Memo2, Memo3});
}

void TFrm_AddCust::setMode(EditorMode mode)
{
    if (!m_shown)
        m_mode = mode;
}

qint64 TFrm_AddCust::nextCustomerCode(TFrm_Data *data)
{
    Dataset *temp = data->Qry_Temp;
    TFrm_Data::RunQuery(temp, QStringLiteral("select max(CustCode) as T_Code from Custom"));
    return temp->integer(QStringLiteral("T_Code")) + 1; // no customers yet: 0 + 1
}

void TFrm_AddCust::proposeCode()
{
    Edit_Code->setText(QString::number(nextCustomerCode(m_data)));
}

void TFrm_AddCust::autoClicked(bool checked)
{
    guarded(this, [this, checked] { m_data->settings().writeInteger(FormConfig, AutoCode, checked ? 1 : 0); });
}

// ------------------------------------------------------------------ showing

void TFrm_AddCust::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    guarded(this, [this] { showSteps(); });
}

void TFrm_AddCust::fillLists()
{
    Dataset *temp = m_data->Qry_Temp;
    const QList<QPair<QComboBox *, QString>> lists = {
        {Combo_CustType, QStringLiteral("Dict_CustType")}, {Combo_CustLevel, QStringLiteral("Dict_CustLevel")},
        {Combo_Country, QStringLiteral("Dict_Country")},   {Combo_Province, QStringLiteral("Dict_Province")},
        {Combo_CustFrom, QStringLiteral("Dict_CustFrom")}};
    for (const auto &[combo, table] : lists) {
        TFrm_Data::FillComboById(temp, combo, table);
        combo->setCurrentIndex(-1);
    }
    // Salesmen: the active operators, names as stored.
    TFrm_Data::RunQuery(temp, QStringLiteral("select * from admin where IsUser=True"));
    Combo_User->clear();
    QStringList users;
    for (int row = 0; row < temp->recordCount(); ++row)
        users.append(Dataset::displayText(temp->value(row, 1)));
    Combo_User->addItems(users);
    Combo_User->setCurrentIndex(-1);
}

void TFrm_AddCust::showSteps()
{
    fillLists();
    IniSettings &ini = m_data->settings();
    if (m_mode == EditorMode::Add) {
        setWindowTitle(QStringLiteral("添加客户信息"));
        resetForNext();
        DateEdit1->setDate(QDate::currentDate());
        EditorForm::setComboText(Combo_User, m_main->OperatorName);
        Edit_Category->setText(ini.readString(Login, QStringLiteral("Category")));
        m_categoryCode = ini.readString(Login, QStringLiteral("CateCode"));
        if (ini.readInteger(FormConfig, AutoCode, -1) == 1)
            cb_Auto->setChecked(true); // proposes a code
        const QList<QPair<QComboBox *, QString>> remembered = {
            {Combo_Country, QStringLiteral("Country")}, {Combo_Province, QStringLiteral("Province")},
            {Combo_CustType, QStringLiteral("CustType")}, {Combo_CustFrom, QStringLiteral("CustFrom")}};
        for (const auto &[combo, key] : remembered) {
            const int position = ini.readInteger(FormConfig, key, -1);
            combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
        }
        // The navigator stays unbound: there is no row to walk in add mode.
    } else {
        setWindowTitle(QStringLiteral("编辑客户信息"));
        DateEdit1->setReadOnly(true); // the date added is never changed by an edit
        loadCurrent();
        DBNavigator1->setDataset(m_data->Qry_Cust);
    }
}

void TFrm_AddCust::loadCurrent()
{
    Dataset *c = m_data->Qry_Cust;
    auto text = [c](const char *field) { return c->text(QString::fromLatin1(field)); };
    Edit_Code->setText(text("CustCode"));
    Edit_CustName->setText(text("Company"));
    Edit_Address->setText(text("address"));
    // A postcode loaded longer than six characters is shown whole, not cut on the next save.
    Edit_Zip->setMaxLength(std::max<int>(6, text("postcode").size()));
    Edit_Zip->setText(text("postcode"));
    Edit_Fax->setText(text("fax"));
    Edit_tel->setText(text("tel"));
    Edit_Email->setText(text("email"));
    EditorForm::setComboText(Combo_CustType, text("CustType"));
    Edit_Income->setText(text("income"));
    EditorForm::setComboText(Combo_User, text("F_User"));
    Edit_Url->setText(text("url"));
    Edit_Main->setText(text("MainContact"));
    Edit_Mobile->setText(text("Mobile"));
    Edit_OtherInfo->setText(text("OtherInfo"));
    Memo1->setPlainText(text("introduce"));
    EditorForm::setComboText(Combo_CustLevel, text("CustLevel"));
    EditorForm::setComboText(Combo_Country, text("country"));
    EditorForm::setComboText(Combo_Province, text("province"));
    Edit_City->setText(text("city"));
    EditorForm::setComboText(Combo_CustFrom, text("CustFrom"));
    const QDate added = c->date(QStringLiteral("AddDate"));
    DateEdit1->setDate(added.isValid() ? added : NoDate);
    Memo2->setPlainText(text("memo2"));
    Memo3->setPlainText(text("memo3"));

    m_loadedCode = c->value(QStringLiteral("CustCode"));
    m_loadedName = text("Company");
    m_categoryCode = text("Category");
    Dataset *temp = m_data->Qry_Temp;
    TFrm_Data::RunQuery(temp, QStringLiteral("Select * from Cust_Category where Code=") + SqlText::quoted(m_categoryCode));
    Edit_Category->setText(temp->isEmpty() ? QString() : temp->text(QStringLiteral("Name")));
}

void TFrm_AddCust::resetForNext()
{
    if (m_data->settings().readInteger(FormConfig, AutoCode, -1) != 0) {
        proposeCode();
        PageControl1->setCurrentIndex(0);
        Edit_CustName->setFocus();
    } else {
        Edit_Code->clear();
    }
    for (QLineEdit *e : {Edit_CustName, Edit_Main, Edit_Mobile, Edit_OtherInfo, Edit_City, Edit_Address, Edit_Zip,
                         Edit_tel, Edit_Fax, Edit_Income, Edit_Url, Edit_Email})
        e->clear();
    for (QPlainTextEdit *m : {Memo1, Memo2, Memo3})
        m->clear();
}

// ------------------------------------------------------------------ saving

void TFrm_AddCust::remind(const QString &text, QWidget *focus)
{
    Messages::box(this, text, Reminder, Msg::Icon::Information);
    PageControl1->setCurrentIndex(0);
    if (focus)
        focus->setFocus();
}

void TFrm_AddCust::save()
{
    guarded(this, [this] {
        const QString codeText = Edit_Code->text().trimmed();
        if (codeText.isEmpty()) {
            remind(QStringLiteral("客户编号不能为空!"), Edit_Code);
            return;
        }
        const QString company = Edit_CustName->text().trimmed();
        if (company.isEmpty()) {
            remind(QStringLiteral("公司名称不能为空!"), Edit_CustName);
            return;
        }
        // The code goes into statements as a bare number: anything else is refused here.
        qint64 code = 0;
        if (!wholeNumber(codeText, &code)) {
            remind(QStringLiteral("客户编号必须是整数!"), Edit_Code);
            return;
        }
        if (m_mode == EditorMode::Add)
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
    c->setValue(QStringLiteral("address"), trimmed(Edit_Address));
    c->setValue(QStringLiteral("postcode"), trimmed(Edit_Zip));
    c->setValue(QStringLiteral("fax"), trimmed(Edit_Fax));
    c->setValue(QStringLiteral("tel"), trimmed(Edit_tel));
    c->setValue(QStringLiteral("email"), trimmed(Edit_Email));
    c->setValue(QStringLiteral("CustType"), listText(Combo_CustType));
    c->setValue(QStringLiteral("income"), trimmed(Edit_Income));
    c->setValue(QStringLiteral("F_User"), Combo_User->currentText());
    c->setValue(QStringLiteral("url"), trimmed(Edit_Url));
    c->setValue(QStringLiteral("MainContact"), trimmed(Edit_Main));
    c->setValue(QStringLiteral("Mobile"), trimmed(Edit_Mobile));
    c->setValue(QStringLiteral("OtherInfo"), trimmed(Edit_OtherInfo));
    c->setValue(QStringLiteral("introduce"), Memo1->toPlainText());
    c->setValue(QStringLiteral("CustLevel"), listText(Combo_CustLevel));
    c->setValue(QStringLiteral("country"), listText(Combo_Country));
    c->setValue(QStringLiteral("province"), listText(Combo_Province));
    c->setValue(QStringLiteral("city"), trimmed(Edit_City));
    c->setValue(QStringLiteral("CustFrom"), listText(Combo_CustFrom));
    if (withDate)
        c->setValue(QStringLiteral("AddDate"), DateEdit1->date());
    c->setValue(QStringLiteral("memo2"), Memo2->toPlainText());
    c->setValue(QStringLiteral("memo3"), Memo3->toPlainText());
}

void TFrm_AddCust::saveNew(qint64 code, const QString &company)
{
    Dataset *temp = m_data->Qry_Temp;
    TFrm_Data::RunQuery(temp, QStringLiteral("select * from Custom where CustCode=") + QString::number(code));
    if (!temp->isEmpty()) {
        remind(QStringLiteral("客户编号有重复!"));
        proposeCode();
        return;
    }
    TFrm_Data::RunQuery(temp, QStringLiteral("select * from Custom where Company=") + SqlText::quoted(company));
    if (!temp->isEmpty()) {
        remind(QStringLiteral("客户名称有重复!"), Edit_CustName);
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
}

void TFrm_AddCust::saveChanges(qint64 code, const QString &company)
{
    const bool hadCode = m_loadedCode.isValid() && !m_loadedCode.isNull();
    const qint64 oldCode = m_loadedCode.toLongLong();
    // Compared as numbers: blanks or leading zeros around the same code are no change.
    const bool codeChanged = !hadCode || code != oldCode;
    if (codeChanged) {
        Dataset *temp = m_data->Qry_Temp;
        TFrm_Data::RunQuery(temp, QStringLiteral("select * from custom where CustCode=") + QString::number(code));
        if (!temp->isEmpty()) {
            Messages::plain(this, QStringLiteral("客户编号重复，请你换一个客户编号"));
            PageControl1->setCurrentIndex(0);
            Edit_Code->setFocus();
            return;
        }
    }
    const bool nameChanged = company != m_loadedName;
    const QString newCode = QString::number(code);
    Dataset *customers = m_data->Qry_Cust;
    bool posted = false;
    const bool saved = tryInTransaction(*m_data->connection(), [&] {
        customers->edit();
        writeColumns(customers, code, company, false);
        customers->post();
        posted = true;
        Dataset *temp = m_data->Qry_Temp;
        if (codeChanged && hadCode) {
            const QString old = QString::number(oldCode);
            TFrm_Data::RunSql(temp, QStringLiteral("Update Contact set CustCode=") + newCode + QStringLiteral(" where CustCode=") + old);
            TFrm_Data::RunSql(temp, QStringLiteral("Update T_Schedule set CustCode=") + newCode + QStringLiteral(" where CustCode=") + old);
        }
        // The customer's own contacts and schedules take the new name, also when the code
        // changed in the same save; rows of another customer of the same name stay.
        if (nameChanged) {
            const QString where = QStringLiteral(" where Company=") + SqlText::quoted(m_loadedName)
                                  + QStringLiteral(" and CustCode=") + newCode;
            TFrm_Data::RunSql(temp, QStringLiteral("Update Contact set Company=") + SqlText::quoted(company) + where);
            TFrm_Data::RunSql(temp, QStringLiteral("Update T_Schedule set Company=") + SqlText::quoted(company) + where);
        }
    });
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
}

// ------------------------------------------------------------------ other buttons

void TFrm_AddCust::chooseCategory()
{
    guarded(this, [this] {
        TFrm_Tree tree(m_data, this);
        tree.CategoryTable = QStringLiteral("Cust_Category");
        tree.RootCaption = QStringLiteral("客户分类");
        tree.SelectMode = TFrm_Tree::CustomerEditor; // also remembers the choice in [login]
        tree.exec();
        if (tree.Selected) {
            m_categoryCode = tree.SelectedCode.trimmed();
            Edit_Category->setText(tree.SelectedName);
        }
    });
}

void TFrm_AddCust::addContact()
{
    guarded(this, [this] {
        TFrm_AddContact contact(m_main, this);
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
        if (watched == Edit_Email) {
            const QString address = Edit_Email->text().trimmed();
            if (!address.isEmpty())
                Platform::mailTo(this, address);
        } else if (watched == Edit_Url) {
            const QString address = Edit_Url->text().trimmed();
            if (!address.isEmpty())
                Platform::openWebAddress(this, address);
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ------------------------------------------------------------------ closing

void TFrm_AddCust::done(int result)
{
    if (m_shown)
        guarded(this, [this] { closingSteps(); });
    QDialog::done(result);
}

void TFrm_AddCust::closingSteps()
{
    IniSettings &ini = m_data->settings();
    if (m_mode == EditorMode::Add) {
        ini.writeInteger(FormConfig, QStringLiteral("Country"), EditorForm::comboPosition(Combo_Country));
        ini.writeInteger(FormConfig, QStringLiteral("Province"), EditorForm::comboPosition(Combo_Province));
        ini.writeInteger(FormConfig, QStringLiteral("CustType"), EditorForm::comboPosition(Combo_CustType));
        ini.writeInteger(FormConfig, QStringLiteral("CustFrom"), EditorForm::comboPosition(Combo_CustFrom));
        ini.writeInteger(FormConfig, AutoCode, cb_Auto->isChecked() ? 1 : 0);
    }
    // The contact list of the current customer again, in the operator's scope as the
    // browser shows it.
    Dataset *contacts = m_data->Qry_Contact;
    contacts->link();
    QString sql = QStringLiteral("Select * From Contact where CustCode=:CustCode");
    if (!m_main->right(8))
        sql += QStringLiteral(" and F_User=") + SqlText::quoted(m_main->OperatorName);
    TFrm_Data::RunQuery(contacts, sql);
    if (auto *browser = m_main->findChild<TFrm_Custom *>())
        GridColumns::ApplyColumns(m_data, browser->Grid_Contact, contacts, QStringLiteral("Contact"));
}
