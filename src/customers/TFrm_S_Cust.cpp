#include "TFrm_S_Cust.h"
#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "main/TFrm_Main.h"
#include "main/TFrm_Tree.h"
#include "store/SqlText.h"
#include "ui/Guarded.h"
#include "ui/WaitCursor.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The salesman list is read again each time it drops down, so operators added while
// the dialog is open are offered too.
class SalesmanCombo : public QComboBox
{
public:
    SalesmanCombo(TFrm_S_Cust *owner) : QComboBox(owner), m_owner(owner) {}
    void showPopup() override
    {
        if (guarded(m_owner, [this] { m_owner->fillSalesmen(); }))
            QComboBox::showPopup();
    }

private:
    TFrm_S_Cust *m_owner;
};

// "(column like'%text%')": a contains-match on the text as typed.
QString contains(const char *column, const QString &text)
{
    return QLatin1Char('(') + QLatin1String(column) + QStringLiteral(" like'%") + SqlText::escaped(text)
           + QStringLiteral("%')");
}

} // namespace

// ---------------------------------------------------------------- CheckedDateEdit

CheckedDateEdit::CheckedDateEdit(QWidget *parent) : QWidget(parent)
{
    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("Check"));
    m_date = new QDateEdit(QDate::currentDate(), this);
    m_date->setObjectName(QStringLiteral("Date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setEnabled(false);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_check);
    layout->addWidget(m_date, 1);
    setFocusProxy(m_check);
    connect(m_check, &QCheckBox::toggled, m_date, &QWidget::setEnabled);
}

bool CheckedDateEdit::isChecked() const { return m_check->isChecked(); }
void CheckedDateEdit::setChecked(bool checked) { m_check->setChecked(checked); }
QDate CheckedDateEdit::date() const { return m_date->date(); }
void CheckedDateEdit::setDate(const QDate &date) { m_date->setDate(date); }

// ---------------------------------------------------------------- TFrm_S_Cust

TFrm_S_Cust::TFrm_S_Cust(TFrm_Main *mainWindow)
    : QDialog(mainWindow), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_S_Cust"));
    setWindowTitle(QStringLiteral("客户信息查询"));
    buildInputs();

    guarded(this, [this] { fillLists(); });
    reset();
    Combo_User->setEditText(QString());
    // Without the view-all right an operator searches only their own customers.
    if (!m_main->right(8)) {
        Combo_User->setEditText(m_main->OperatorName);
        Combo_User->setEnabled(false);
    }
}

TFrm_S_Cust::~TFrm_S_Cust() = default;

void TFrm_S_Cust::buildInputs()
{
    GroupBox1 = new QGroupBox(QStringLiteral("  组 合 查 询  "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 60);

    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    auto lineEdit = [this, named](const char *name) {
        return static_cast<QLineEdit *>(named(new QLineEdit(GroupBox1), name));
    };
    auto combo = [this, named](const char *name) {
        auto *c = static_cast<QComboBox *>(named(new QComboBox(GroupBox1), name));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        return c;
    };
    auto place = [this, grid](int row, int column, const QString &caption, QWidget *input, QWidget *field = nullptr) {
        auto *label = new QLabel(caption, GroupBox1);
        label->setBuddy(input);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(field ? field : input, row, column * 2 + 1);
    };

    Edit_cate = lineEdit("Edit_cate");
    Edit_cate->setReadOnly(true);
    Btn_Lookup = static_cast<QToolButton *>(named(new QToolButton(GroupBox1), "Btn_Lookup"));
    Btn_Lookup->setText(QStringLiteral("..."));
    Btn_Lookup->setToolTip(QStringLiteral("选择客户类别"));
    auto *cateField = new QWidget(GroupBox1);
    auto *cateLayout = new QHBoxLayout(cateField);
    cateLayout->setContentsMargins(0, 0, 0, 0);
    cateLayout->setSpacing(2);
    cateLayout->addWidget(Edit_cate, 1);
    cateLayout->addWidget(Btn_Lookup);

    Edit_custname = lineEdit("Edit_custname");
    Edit_address = lineEdit("Edit_address");
    Edit_postcode = lineEdit("Edit_postcode");
    Edit_postcode->setMaxLength(6);
    Combo_CustType = combo("Combo_CustType");
    Combo_country = combo("Combo_country");
    Combo_province = combo("Combo_province");
    Combo_CustFrom = combo("Combo_CustFrom");
    Edit_city = lineEdit("Edit_city");
    Edit_intro = lineEdit("Edit_intro");
    Edit_tel = lineEdit("Edit_tel");
    Edit_fax = lineEdit("Edit_fax");
    Edit_url = lineEdit("Edit_url");
    Edit_email = lineEdit("Edit_email");
    DateTimePicker1 = static_cast<CheckedDateEdit *>(named(new CheckedDateEdit(GroupBox1), "DateTimePicker1"));
    DateTimePicker2 = static_cast<CheckedDateEdit *>(named(new CheckedDateEdit(GroupBox1), "DateTimePicker2"));
    Combo_User = new SalesmanCombo(this);
    Combo_User->setObjectName(QStringLiteral("Combo_User"));
    Combo_User->setEditable(true);
    Combo_User->setInsertPolicy(QComboBox::NoInsert);
    Edit_income = lineEdit("Edit_income");

    place(0, 0, QStringLiteral("行业类别"), Edit_cate, cateField);
    place(0, 1, QStringLiteral("公司名称"), Edit_custname);
    place(1, 0, QStringLiteral("通讯地址"), Edit_address);
    place(1, 1, QStringLiteral("邮政编码"), Edit_postcode);
    place(2, 0, QStringLiteral("客户等级"), Combo_CustType);
    place(2, 1, QStringLiteral("国家"), Combo_country);
    place(3, 0, QStringLiteral("省份"), Combo_province);
    place(3, 1, QStringLiteral("客户来源"), Combo_CustFrom);
    place(4, 0, QStringLiteral("城市"), Edit_city);
    place(4, 1, QStringLiteral("公司简介"), Edit_intro);
    place(5, 0, QStringLiteral("电话"), Edit_tel);
    place(5, 1, QStringLiteral("传真"), Edit_fax);
    place(6, 0, QStringLiteral("网址"), Edit_url);
    place(6, 1, QStringLiteral("电子信箱"), Edit_email);

    // The date range: from in the left column, "~" and to in the right one.
    place(7, 0, QStringLiteral("添加时间"), DateTimePicker1);
    place(7, 1, QStringLiteral("~"), DateTimePicker2);

    place(8, 0, QStringLiteral("业务员"), Combo_User);
    place(8, 1, QStringLiteral("年收人"), Edit_income);

    auto button = [this, named](const char *name, const QString &caption, QStyle::StandardPixmap icon) {
        auto *b = static_cast<QPushButton *>(named(new QPushButton(style()->standardIcon(icon), caption, this), name));
        b->setAutoDefault(false);
        return b;
    };
    btn_ok = button("btn_ok", QStringLiteral("搜索(&S)"), QStyle::SP_FileDialogContentsView);
    btn_ok->setDefault(true);
    btn_reset = button("btn_reset", QStringLiteral("清空(&E)"), QStyle::SP_DialogResetButton);
    btn_exit = button("btn_exit", QStringLiteral("退出(&Q)"), QStyle::SP_DialogCloseButton);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_ok);
    buttons->addWidget(btn_reset);
    buttons->addWidget(btn_exit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    resize(620, sizeHint().height());

    connect(Btn_Lookup, &QToolButton::clicked, this, [this] { guarded(this, [this] { lookupCategory(); }); });
    connect(btn_ok, &QPushButton::clicked, this, [this] { guarded(this, [this] { search(); }); });
    connect(btn_reset, &QPushButton::clicked, this, &TFrm_S_Cust::reset);
    connect(btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrm_S_Cust::fillLists()
{
    Dataset *temp = m_data->Qry_Temp;
    TFrm_Data::FillComboByName(temp, Combo_CustType, QStringLiteral("Dict_CustType"));
    TFrm_Data::FillComboByName(temp, Combo_CustFrom, QStringLiteral("Dict_Custfrom"));
    TFrm_Data::FillComboByName(temp, Combo_country, QStringLiteral("Dict_Country"));
    TFrm_Data::FillComboByName(temp, Combo_province, QStringLiteral("Dict_Province"));
}

void TFrm_S_Cust::fillSalesmen()
{
    Dataset *temp = m_data->Qry_Temp;
    TFrm_Data::RunQuery(temp, QStringLiteral("select * from admin where IsUser=True"));
    const QString typed = Combo_User->currentText();
    QStringList names;
    for (int row = 0; row < temp->recordCount(); ++row)
        names.append(Dataset::displayText(temp->value(row, 1)));
    Combo_User->clear();
    Combo_User->addItems(names);
    Combo_User->setCurrentIndex(int(names.indexOf(typed)));
    Combo_User->setEditText(typed);
}

void TFrm_S_Cust::reset()
{
    for (QLineEdit *edit : {Edit_cate, Edit_custname, Edit_address, Edit_postcode, Edit_city, Edit_intro, Edit_tel,
                            Edit_fax, Edit_url, Edit_email, Edit_income})
        edit->clear();
    for (QComboBox *combo : {Combo_CustType, Combo_country, Combo_province, Combo_CustFrom}) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
}

void TFrm_S_Cust::lookupCategory()
{
    TFrm_Tree tree(m_data, this);
    tree.CategoryTable = QStringLiteral("Cust_Category");
    tree.RootCaption = QStringLiteral("客户分类");
    tree.SelectMode = TFrm_Tree::CustomerSearch;
    tree.exec();
    if (tree.Selected)
        Edit_cate->setText(tree.SelectedCode);
}

QStringList TFrm_S_Cust::conditions() const
{
    QStringList result;
    // Text is taken as typed: blanks count as a filled input.
    auto add = [&result](const char *column, const QString &text) {
        if (!text.isEmpty())
            result.append(contains(column, text));
    };
    if (!Edit_cate->text().isEmpty())
        result.append(QStringLiteral("(category like'") + SqlText::escaped(Edit_cate->text()) + QStringLiteral("%')"));
    add("company", Edit_custname->text());
    add("address", Edit_address->text());
    add("postcode", Edit_postcode->text());
    add("custtype", Combo_CustType->currentText());
    add("country", Combo_country->currentText());
    add("province", Combo_province->currentText());
    add("CustFrom", Combo_CustFrom->currentText());
    add("city", Edit_city->text());
    add("introduce", Edit_intro->text());
    add("tel", Edit_tel->text());
    add("fax", Edit_fax->text());
    add("url", Edit_url->text());
    add("email", Edit_email->text());
    if (DateTimePicker1->isChecked())
        result.append(QStringLiteral("([Adddate]>=") + SqlText::dateLiteral(DateTimePicker1->date()) + QStringLiteral(")"));
    if (DateTimePicker2->isChecked())
        result.append(QStringLiteral("([Adddate]<=") + SqlText::dateLiteral(DateTimePicker2->date()) + QStringLiteral(")"));
    if (!Combo_User->currentText().isEmpty())
        result.append(QStringLiteral("(F_User=") + SqlText::quoted(Combo_User->currentText()) + QStringLiteral(")"));
    add("income", Edit_income->text());
    return result;
}

QString TFrm_S_Cust::statement() const
{
    const QStringList parts = conditions();
    if (parts.isEmpty())
        return {};
    return QStringLiteral("select * from [custom] where ") + parts.join(QStringLiteral("AND"))
           + QStringLiteral("  ORDER BY CustID");
}

void TFrm_S_Cust::search()
{
    const QString sql = statement();
    if (sql.isEmpty()) {
        Messages::plain(this, QStringLiteral("没有查询项目!"));
        return;
    }
    WaitCursor wait;
    // The result shows in the customer browser, opened first when it is closed.
    TFrm_Custom *browser = m_main->findChild<TFrm_Custom *>();
    if (!browser && m_main->showCustomerBrowser) {
        m_main->showCustomerBrowser();
        browser = m_main->findChild<TFrm_Custom *>();
    }
    if (browser) {
        browser->loadCustomers(sql);
        GridColumns::ApplyColumns(m_data, browser->Grid_Cust, m_data->Qry_Cust, QStringLiteral("Custom"));
    } else {
        TFrm_Data::RunQuery(m_data->Qry_Cust, sql);
        m_main->setStatusPanel(1, QStringLiteral("当前共有 ") + QString::number(m_data->Qry_Cust->recordCount())
                                      + QStringLiteral(" 条客户记录"));
    }
    accept();
}
