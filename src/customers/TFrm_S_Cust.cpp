#include "TFrm_S_Cust.h"
#include "ui_TFrm_S_Cust.h"
#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Tree.h"
#include "ui/Commands.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QStyle>

TFrm_S_Cust::TFrm_S_Cust(Session *session)
    : QDialog(session->dialogParent()), ui(std::make_unique<Ui::TFrm_S_Cust>()), m_session(session),
      m_data(session->data())
{
    ui->setupUi(this);
    ui->btn_ok->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ui->btn_reset->setIcon(style()->standardIcon(QStyle::SP_DialogResetButton));
    ui->btn_exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    resize(width(), sizeHint().height());
    // The salesman list is read again each time it drops down, so operators added while
    // the dialog is open are offered too.
    ui->Combo_User->setRefill([this] { return guarded(this, [this] { fillSalesmen(); }); });

    connect(ui->Btn_Lookup, &QToolButton::clicked, this, [this] { guarded(this, [this] { lookupCategory(); }); });
    connect(ui->btn_ok, &QPushButton::clicked, this, [this] { guarded(this, [this] { search(); }); });
    connect(ui->btn_reset, &QPushButton::clicked, this, &TFrm_S_Cust::reset);
    connect(ui->btn_exit, &QPushButton::clicked, this, &QDialog::reject);

    guarded(this, [this] { fillLists(); });
    reset();
    ui->Combo_User->setEditText(QString());
    // Without the view-all right an operator searches only their own customers.
    const OperatorScope scope = m_session->scope();
    if (!scope.viewAll) {
        ui->Combo_User->setEditText(scope.operatorName);
        ui->Combo_User->setEnabled(false);
    }
    // The category box is only filled by its picker: typing starts in the company name.
    ui->Edit_custname->setFocus();
}

TFrm_S_Cust::~TFrm_S_Cust() = default;

void TFrm_S_Cust::fillLists()
{
    Dataset lookup(m_data->connection());
    TFrm_Data::FillComboByName(&lookup, ui->Combo_CustType, QStringLiteral("Dict_CustType"));
    TFrm_Data::FillComboByName(&lookup, ui->Combo_CustFrom, QStringLiteral("Dict_Custfrom"));
    TFrm_Data::FillComboByName(&lookup, ui->Combo_country, QStringLiteral("Dict_Country"));
    TFrm_Data::FillComboByName(&lookup, ui->Combo_province, QStringLiteral("Dict_Province"));
}

void TFrm_S_Cust::fillSalesmen()
{
    const QStringList names = Customers::salesmen(m_data->connection());
    const QString typed = ui->Combo_User->currentText();
    ui->Combo_User->clear();
    ui->Combo_User->addItems(names);
    ui->Combo_User->setCurrentIndex(int(names.indexOf(typed)));
    ui->Combo_User->setEditText(typed);
}

void TFrm_S_Cust::reset()
{
    for (QLineEdit *edit : {ui->Edit_cate, ui->Edit_custname, ui->Edit_address, ui->Edit_postcode, ui->Edit_city,
                            ui->Edit_intro, ui->Edit_tel, ui->Edit_fax, ui->Edit_url, ui->Edit_email, ui->Edit_income})
        edit->clear();
    for (QComboBox *combo : {ui->Combo_CustType, ui->Combo_country, ui->Combo_province, ui->Combo_CustFrom}) {
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
    tree.CurrentCode = ui->Edit_cate->text();
    tree.exec();
    if (tree.Selected)
        ui->Edit_cate->setText(tree.SelectedCode);
}

Customers::Search TFrm_S_Cust::criteria() const
{
    Customers::Search search;
    search.category = ui->Edit_cate->text();
    search.company = ui->Edit_custname->text();
    search.address = ui->Edit_address->text();
    search.postcode = ui->Edit_postcode->text();
    search.custType = ui->Combo_CustType->currentText();
    search.country = ui->Combo_country->currentText();
    search.province = ui->Combo_province->currentText();
    search.custFrom = ui->Combo_CustFrom->currentText();
    search.city = ui->Edit_city->text();
    search.introduce = ui->Edit_intro->text();
    search.tel = ui->Edit_tel->text();
    search.fax = ui->Edit_fax->text();
    search.url = ui->Edit_url->text();
    search.email = ui->Edit_email->text();
    if (ui->DateTimePicker1->isChecked())
        search.addedFrom = ui->DateTimePicker1->date();
    if (ui->DateTimePicker2->isChecked())
        search.addedTo = ui->DateTimePicker2->date();
    search.salesman = ui->Combo_User->currentText();
    search.income = ui->Edit_income->text();
    return search;
}

QStringList TFrm_S_Cust::conditions() const
{
    return Customers::searchConditions(criteria());
}

QString TFrm_S_Cust::statement() const
{
    return Customers::searchStatement(criteria());
}

QVariantMap TFrm_S_Cust::parameters() const
{
    QVariantMap values;
    Customers::searchConditions(criteria(), &values);
    return values;
}

void TFrm_S_Cust::search()
{
    const Customers::Search search = criteria();
    if (Customers::searchConditions(search).isEmpty()) {
        Messages::plain(this, QStringLiteral("没有查询项目!"));
        return;
    }
    WaitCursor wait;
    // The result shows in the customer browser, opened first when it is closed.
    auto findBrowser = [this] { return m_session->dialogParent()->findChild<TFrm_Custom *>(); };
    TFrm_Custom *browser = findBrowser();
    if (!browser) {
        m_session->runHandler(QString::fromLatin1(Cmd::Cust_CustContact));
        browser = findBrowser();
    }
    if (browser) {
        // The result is seen where it is shown, also when another child window was in front.
        browser->bringToFront();
        browser->loadCustomers([&search](Dataset &customers) { Customers::openSearch(customers, search); });
        browser->applyCustomerColumns();
    } else {
        Customers::openSearch(*m_data->Qry_Cust, search);
        m_session->setStatusPanel(1, QStringLiteral("当前共有 ") + QString::number(m_data->Qry_Cust->recordCount())
                                         + QStringLiteral(" 条客户记录"));
    }
    accept();
}
