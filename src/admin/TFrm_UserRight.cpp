#include "TFrm_UserRight.h"
#include "RightsGrid.h"
#include "data/TFrm_Data.h"
#include "store/SqlText.h"
#include "store/Transaction.h"
#include "ui/EditorForm.h"
#include "ui/Guarded.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QWidget *page(QTabWidget *pages, const char *name, const QString &caption)
{
    auto *widget = new QWidget(pages);
    widget->setObjectName(QString::fromLatin1(name));
    pages->addTab(widget, caption);
    return widget;
}

QLabel *captionFor(const QString &text, const char *name, QWidget *buddy)
{
    auto *label = new QLabel(text, buddy->parentWidget());
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void setPageShown(QTabWidget *pages, QWidget *pageWidget, bool shown)
{
    pages->setTabVisible(pages->indexOf(pageWidget), shown);
}

} // namespace

TFrm_UserRight::TFrm_UserRight(TFrm_Data *data, QWidget *parent) : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("Frm_UserRight"));
    setModal(true);
    resize(460, 420);

    auto query = [this](const char *name) {
        auto *q = new Dataset(m_data->connection(), this);
        q->setObjectName(QString::fromLatin1(name));
        return q;
    };
    Qry_User = query("Qry_User");
    Qry_UserAuth = query("Qry_UserAuth");
    Qry_Part = query("Qry_Part");
    Qry_PartAuth = query("Qry_PartAuth");
    Qry_Temp = query("Qry_Temp");

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TS_User = page(PageControl1, "TS_User", QStringLiteral("操作员"));
    TS_UserAuth = page(PageControl1, "TS_UserAuth", QStringLiteral("用户权限"));
    TS_Part = page(PageControl1, "TS_Part", QStringLiteral("角色"));
    TS_Authority = page(PageControl1, "TS_Authority", QStringLiteral("权限设置"));

    // Operator page.
    Edit_Name = new QLineEdit(TS_User);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Edit_Pass = new QLineEdit(TS_User); // the initial password is shown in clear
    Edit_Pass->setObjectName(QStringLiteral("Edit_Pass"));
    Combo_User = new QComboBox(TS_User);
    Combo_User->setObjectName(QStringLiteral("Combo_User"));
    Combo_User->setEditable(true);
    Combo_User->setInsertPolicy(QComboBox::NoInsert);
    Memo_User = new QPlainTextEdit(TS_User);
    Memo_User->setObjectName(QStringLiteral("Memo_User"));
    Memo_User->setTabChangesFocus(true);
    Label_Name = captionFor(QStringLiteral("用户名称"), "Label_Name", Edit_Name);
    Label_Pass = captionFor(QStringLiteral("初始密码"), "Label_Pass", Edit_Pass);
    Label_User = captionFor(QStringLiteral("用户权限"), "Label_User", Combo_User);
    Label_Memo = captionFor(QStringLiteral("用户描述"), "Label_Memo", Memo_User);
    Label_Memo->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label_Memo->setContentsMargins(0, 5, 0, 0); // level with the memo's first line
    auto *userForm = new QGridLayout(TS_User);
    userForm->setContentsMargins(16, 16, 16, 16);
    userForm->setHorizontalSpacing(10);
    userForm->setVerticalSpacing(10);
    userForm->addWidget(Label_Name, 0, 0);
    userForm->addWidget(Edit_Name, 0, 1);
    userForm->addWidget(Label_Pass, 1, 0);
    userForm->addWidget(Edit_Pass, 1, 1);
    userForm->addWidget(Label_User, 2, 0);
    userForm->addWidget(Combo_User, 2, 1);
    userForm->addWidget(Label_Memo, 3, 0);
    userForm->addWidget(Memo_User, 3, 1);
    userForm->setColumnStretch(1, 1);
    userForm->setRowStretch(3, 1);

    // Operator's rights page.
    DBGridEh1 = new RightsGrid(TS_UserAuth);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    auto *userRights = new QVBoxLayout(TS_UserAuth);
    userRights->setContentsMargins(6, 6, 6, 6);
    userRights->addWidget(DBGridEh1);

    // Role page. The role's name cannot be changed, and there is nothing to store its
    // description with, so both are shown read-only.
    Edit_Part = new QLineEdit(TS_Part);
    Edit_Part->setObjectName(QStringLiteral("Edit_Part"));
    Edit_Part->setReadOnly(true);
    Memo_Part = new QPlainTextEdit(TS_Part);
    Memo_Part->setObjectName(QStringLiteral("Memo_Part"));
    Memo_Part->setReadOnly(true);
    Memo_Part->setTabChangesFocus(true);
    Label_Part = captionFor(QStringLiteral("角色名称"), "Label_Part", Edit_Part);
    Label_MemoPart = captionFor(QStringLiteral("角色描述"), "Label_MemoPart", Memo_Part);
    Label_MemoPart->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label_MemoPart->setContentsMargins(0, 5, 0, 0);
    auto *partForm = new QGridLayout(TS_Part);
    partForm->setContentsMargins(16, 16, 16, 16);
    partForm->setHorizontalSpacing(10);
    partForm->setVerticalSpacing(10);
    partForm->addWidget(Label_Part, 0, 0);
    partForm->addWidget(Edit_Part, 0, 1);
    partForm->addWidget(Label_MemoPart, 1, 0);
    partForm->addWidget(Memo_Part, 1, 1);
    partForm->setColumnStretch(1, 1);
    partForm->setRowStretch(1, 1);

    // Role's rights page.
    DBGridEh2 = new RightsGrid(TS_Authority);
    DBGridEh2->setObjectName(QStringLiteral("DBGridEh2"));
    auto *partRights = new QVBoxLayout(TS_Authority);
    partRights->setContentsMargins(6, 6, 6, 6);
    partRights->addWidget(DBGridEh2);

    // Below the pages.
    CB_User = new QCheckBox(QStringLiteral("操作员禁用"), this);
    CB_User->setObjectName(QStringLiteral("CB_User"));
    Btn_OK = new QPushButton(QStringLiteral("保存"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setAutoDefault(false);
    Btn_Exit = new QPushButton(QStringLiteral("退出"), this);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));
    Btn_Exit->setAutoDefault(false);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(CB_User);
    bottom->addStretch();
    bottom->addWidget(Btn_OK);
    bottom->addWidget(Btn_Exit);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);

    EditorForm::tabOrder({Edit_Name, Edit_Pass, Combo_User, Memo_User, CB_User, Btn_OK, Btn_Exit});

    connect(Btn_OK, &QPushButton::clicked, this, [this] { guarded(this, [this] { save(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_UserRight::~TFrm_UserRight() = default;

void TFrm_UserRight::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown || event->spontaneous())
        return;
    m_shown = true;
    guarded(this, [this] { FormShow(); });
}

int TFrm_UserRight::permitFor(const QString &role)
{
    return role == OrdinaryRole ? 1 : 0;
}

void TFrm_UserRight::FormShow()
{
    const bool user = EditorKind == UserKind;
    if (user) {
        setPageShown(PageControl1, TS_Part, false);
        setPageShown(PageControl1, TS_Authority, false);
        PageControl1->setCurrentWidget(TS_User);
    } else {
        setPageShown(PageControl1, TS_User, false);
        setPageShown(PageControl1, TS_UserAuth, false);
        CB_User->hide();
        TFrm_Data::RunQuery(Qry_Part, QStringLiteral("select * from T_Part where Partid=") + QString::number(EditPartID));
        const QString partName = Qry_Part->text(QStringLiteral("PartName"));
        // Key order is the order the role's rights were written in: the slot order.
        TFrm_Data::RunQuery(Qry_PartAuth, QStringLiteral("select * from T_PartAuthority where PartName=")
                                              + SqlText::quoted(partName) + QStringLiteral(" order by PartAuthorityID"));
        DBGridEh2->setDataset(Qry_PartAuth);
        Edit_Part->setText(partName);
        Memo_Part->setPlainText(Qry_Part->text(QStringLiteral("Remark")));
        PageControl1->setCurrentWidget(TS_Part);
    }

    Combo_User->clear();
    TFrm_Data::RunQuery(Qry_Temp, QStringLiteral("Select * from T_Part"));
    const int partName = Qry_Temp->checkedFieldIndex(QStringLiteral("PartName"));
    for (int row = 0; row < Qry_Temp->recordCount(); ++row)
        Combo_User->addItem(Dataset::displayText(Qry_Temp->value(row, partName)));
    Combo_User->setCurrentIndex(-1);
    Combo_User->clearEditText();

    if (Creating) {
        setWindowTitle(QStringLiteral("新增操作员"));
        Edit_Name->clear();
        Edit_Pass->clear();
        Memo_User->clear();
        return;
    }

    setWindowTitle(QStringLiteral("编辑操作员"));
    // For a role EditUserID is 0: no operator is found and the hidden operator pages stay empty.
    TFrm_Data::RunQuery(Qry_User, QStringLiteral("Select * from Admin where Userid=") + QString::number(EditUserID));
    if (!Qry_User->isEmpty()) {
        Edit_Name->setText(Qry_User->text(QStringLiteral("UserName")));
        Edit_Pass->setText(Qry_User->text(QStringLiteral("Password")));
        EditorForm::setComboText(Combo_User, Qry_User->text(QStringLiteral("PartName")));
        Memo_User->setPlainText(Qry_User->text(QStringLiteral("Remark")));
        CB_User->setChecked(!Qry_User->boolean(QStringLiteral("IsUser")));
    }
    TFrm_Data::RunQuery(Qry_UserAuth, QStringLiteral("select * from T_UserAuthority where UserName=")
                                          + SqlText::quoted(Edit_Name->text())
                                          + QStringLiteral(" order by UserAuthorityID"));
    DBGridEh1->setDataset(Qry_UserAuth);
    if (user && Edit_Name->text() == ProtectedName) {
        DBGridEh1->setReadOnly(true);
        Btn_OK->setEnabled(false);
    }
    Edit_Name->setEnabled(false);
    Edit_Part->setEnabled(false);
}

void TFrm_UserRight::save()
{
    // A role's rights are written as they are ticked; there is nothing else to save.
    if (EditorKind != UserKind)
        return;
    if (Creating)
        saveNewOperator();
    else
        saveOperator();
}

bool TFrm_UserRight::refuse(const QString &text, QWidget *input)
{
    Messages::box(this, text, QStringLiteral("警告"), Msg::Icon::Information);
    input->setFocus();
    return false;
}

void TFrm_UserRight::saveNewOperator()
{
    // The name is stored without surrounding blanks, so it is tested and used so everywhere:
    // " 张三" is the same operator as "张三", and his rights rows carry the stored name.
    const QString name = Edit_Name->text().trimmed();
    if (name.isEmpty()) {
        refuse(QStringLiteral("用户名不得为空!"), Edit_Name);
        return;
    }
    const QString role = Combo_User->currentText();
    if (role.trimmed().isEmpty()) {
        refuse(QStringLiteral("请给用户指定权限!"), Combo_User);
        return;
    }
    TFrm_Data::RunQuery(Qry_User, QStringLiteral("select * from Admin where UserName=") + SqlText::quoted(name));
    if (!Qry_User->isEmpty()) {
        refuse(QStringLiteral("用户名重复,请换一个用户名!"), Edit_Name);
        return;
    }

    QString failure;
    Connection &connection = *m_data->connection();
    const bool created = tryInTransaction(connection, [&] {
        try {
            Qry_User->append();
            Qry_User->setValue(QStringLiteral("UserName"), name);
            Qry_User->setValue(QStringLiteral("Password"), Edit_Pass->text());
            Qry_User->setValue(QStringLiteral("Permit"), permitFor(role));
            Qry_User->setValue(QStringLiteral("PartName"), role);
            Qry_User->setValue(QStringLiteral("Remark"), Memo_User->toPlainText());
            // The box below the pages says whether the new operator may log in.
            Qry_User->setValue(QStringLiteral("IsUser"), !CB_User->isChecked());
            Qry_User->post();

            // The role's rows in key order are its slots; copied one after the other they
            // get increasing keys and become the operator's slots 1, 2, ...
            TFrm_Data::RunQuery(Qry_PartAuth, QStringLiteral("select * from T_PartAuthority where PartName=")
                                                  + SqlText::quoted(role) + QStringLiteral(" order by PartAuthorityID"));
            TFrm_Data::RunQuery(Qry_Temp, QStringLiteral("select * from T_UserAuthority where UserName=")
                                              + SqlText::quoted(name));
            const int function = Qry_PartAuth->checkedFieldIndex(QStringLiteral("FunctionName"));
            const int authority = Qry_PartAuth->checkedFieldIndex(QStringLiteral("Authority"));
            for (int row = 0; row < Qry_PartAuth->recordCount(); ++row) {
                Qry_Temp->append();
                Qry_Temp->setValue(QStringLiteral("UserName"), name);
                Qry_Temp->setValue(QStringLiteral("FunctionName"), Qry_PartAuth->value(row, function));
                Qry_Temp->setValue(QStringLiteral("Authority"), Qry_PartAuth->value(row, authority));
                Qry_Temp->post();
            }
        } catch (const DbError &error) {
            failure = error.text();
            throw;
        }
    });
    if (!created) {
        // Nothing was stored: the queries must not show rows the rollback took back.
        Qry_User->close();
        Qry_Temp->close();
        Messages::errorReport(this, failure);
        return;
    }
    Messages::plain(this, QStringLiteral("添加操作员成功"));
    emit operatorsChanged();
}

void TFrm_UserRight::saveOperator()
{
    // The name cannot be changed here: it stays as stored, and with it the link to the
    // operator's rights rows.
    const QString role = Combo_User->currentText();
    Qry_User->edit();
    try {
        Qry_User->setValue(QStringLiteral("Password"), Edit_Pass->text());
        Qry_User->setValue(QStringLiteral("PartName"), role);
        Qry_User->setValue(QStringLiteral("Remark"), Memo_User->toPlainText());
        Qry_User->setValue(QStringLiteral("IsUser"), !CB_User->isChecked());
        Qry_User->setValue(QStringLiteral("Permit"), permitFor(role));
        Qry_User->post();
    } catch (...) {
        Qry_User->cancel();
        throw;
    }
    if (Qry_UserAuth->state() == Dataset::State::Edit)
        Qry_UserAuth->post();
    Messages::plain(this, QStringLiteral("保存成功"));
    emit operatorsChanged();
    accept();
}
