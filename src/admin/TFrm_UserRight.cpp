#include "TFrm_UserRight.h"
#include "ui_TFrm_UserRight.h"
#include "SessionOperator.h"
#include "data/TFrm_Data.h"
#include "store/Dataset.h"
#include "store/PasswordHash.h"
#include "store/queries/Operators.h"
#include "ui/EditorForm.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

namespace {

void setPageShown(QTabWidget *pages, QWidget *page, bool shown)
{
    pages->setTabVisible(pages->indexOf(page), shown);
}

} // namespace

TFrm_UserRight::TFrm_UserRight(Session *session, QWidget *parent)
    : RecordEditor(parent ? parent : session->dialogParent()), ui(std::make_unique<Ui::TFrm_UserRight>()),
      m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    // The memo captions sit level with the first line of text, not the frame's edge.
    ui->Label_Memo->setContentsMargins(0, 5, 0, 0);
    ui->Label_MemoPart->setContentsMargins(0, 5, 0, 0);

    auto query = [this](const char *name) {
        auto *q = new Dataset(m_data->connection(), this);
        q->setObjectName(QString::fromLatin1(name));
        return q;
    };
    Qry_User = query("Qry_User");
    Qry_UserAuth = query("Qry_UserAuth");
    Qry_Part = query("Qry_Part");
    Qry_PartAuth = query("Qry_PartAuth");

    connect(ui->Btn_OK, &QPushButton::clicked, this, [this] { guarded(this, [this] { save(); }); });
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_UserRight::~TFrm_UserRight() = default;

int TFrm_UserRight::permitFor(const QString &role)
{
    return role == OrdinaryRole ? 1 : 0;
}

void TFrm_UserRight::showSteps()
{
    const bool user = EditorKind == UserKind;
    if (user) {
        setPageShown(ui->PageControl1, ui->TS_Part, false);
        setPageShown(ui->PageControl1, ui->TS_Authority, false);
        ui->PageControl1->setCurrentWidget(ui->TS_User);
    } else {
        setPageShown(ui->PageControl1, ui->TS_User, false);
        setPageShown(ui->PageControl1, ui->TS_UserAuth, false);
        ui->CB_User->hide();
        Operators::openRole(*Qry_Part, EditPartID);
        const QString partName = Qry_Part->text(QStringLiteral("PartName"));
        Operators::openRoleRights(*Qry_PartAuth, partName);
        ui->DBGridEh2->setDataset(Qry_PartAuth);
        ui->Edit_Part->setText(partName);
        ui->Memo_Part->setPlainText(Qry_Part->text(QStringLiteral("Remark")));
        ui->PageControl1->setCurrentWidget(ui->TS_Part);
    }

    ui->Combo_User->clear();
    Dataset roles(m_data->connection());
    Operators::openRoles(roles);
    const int partName = roles.checkedFieldIndex(QStringLiteral("PartName"));
    for (int row = 0; row < roles.recordCount(); ++row)
        ui->Combo_User->addItem(Dataset::displayText(roles.value(row, partName)));
    ui->Combo_User->setCurrentIndex(-1);
    ui->Combo_User->clearEditText();

    if (isAdding()) {
        setWindowTitle(QStringLiteral("新增操作员"));
        ui->Edit_Name->clear();
        ui->Edit_Pass->clear();
        ui->Memo_User->clear();
        return;
    }

    setWindowTitle(QStringLiteral("编辑操作员"));
    // For a role EditUserID is 0: no operator is found and the hidden operator pages stay empty.
    Operators::openById(*Qry_User, EditUserID);
    if (!Qry_User->isEmpty()) {
        ui->Edit_Name->setText(Qry_User->text(QStringLiteral("UserName")));
        // Only the password's hash is stored, so there is nothing to show: a password
        // typed here replaces it, an empty box keeps it.
        ui->Edit_Pass->clear();
        ui->Edit_Pass->setPlaceholderText(QStringLiteral("不修改请留空"));
        EditorForm::setComboText(ui->Combo_User, Qry_User->text(QStringLiteral("PartName")));
        ui->Memo_User->setPlainText(Qry_User->text(QStringLiteral("Remark")));
        ui->CB_User->setChecked(!Qry_User->boolean(QStringLiteral("IsUser")));
    }
    Operators::openRights(*Qry_UserAuth, ui->Edit_Name->text());
    ui->DBGridEh1->setDataset(Qry_UserAuth);
    if (user && ui->Edit_Name->text() == ProtectedName) {
        ui->DBGridEh1->setReadOnly(true);
        ui->Btn_OK->setEnabled(false);
    }
    ui->Edit_Name->setEnabled(false);
    ui->Edit_Part->setEnabled(false);
}

void TFrm_UserRight::save()
{
    // A role's rights are written as they are ticked; there is nothing else to save.
    if (EditorKind != UserKind)
        return;
    if (isAdding())
        saveNewOperator();
    else
        saveOperator();
}

void TFrm_UserRight::refuse(const QString &text, QWidget *input)
{
    Messages::box(this, text, QStringLiteral("警告"), Msg::Icon::Information);
    input->setFocus();
}

bool TFrm_UserRight::roleRefused(const QString &role)
{
    if (role.trimmed().isEmpty()) {
        refuse(QStringLiteral("请给用户指定权限!"), ui->Combo_User);
        return true;
    }
    // The operator's rights are copied from the role: a name that is no role would leave
    // him without any.
    if (!Operators::roleExists(m_data->connection(), role)) {
        refuse(QStringLiteral("角色「%1」不存在，请从列表中选择角色!").arg(role), ui->Combo_User);
        return true;
    }
    return false;
}

void TFrm_UserRight::saveNewOperator()
{
    // The name is stored without surrounding blanks, so it is tested and used so everywhere:
    // " 张三" is the same operator as "张三", and his rights rows carry the stored name.
    const QString name = ui->Edit_Name->text().trimmed();
    if (name.isEmpty()) {
        refuse(QStringLiteral("用户名不得为空!"), ui->Edit_Name);
        return;
    }
    const QString role = ui->Combo_User->currentText();
    if (roleRefused(role))
        return;
    if (Operators::nameTaken(m_data->connection(), name)) {
        refuse(QStringLiteral("用户名重复,请换一个用户名!"), ui->Edit_Name);
        return;
    }

    Operators::NewOperator newOperator;
    newOperator.userName = name;
    newOperator.storedPassword = PasswordHash::make(ui->Edit_Pass->text()); // the empty one too
    newOperator.partName = role;
    newOperator.remark = ui->Memo_User->toPlainText();
    // The box below the pages says whether the new operator may log in.
    newOperator.isUser = !ui->CB_User->isChecked();
    newOperator.permit = permitFor(role);
    // Nothing is stored when any row fails; the error is reported and the editor stays.
    if (!guarded(this, [&] { Operators::create(*m_data->connection(), newOperator); }))
        return;
    Messages::plain(this, QStringLiteral("添加操作员成功"));
    emit operatorsChanged();
}

void TFrm_UserRight::saveOperator()
{
    // The name cannot be changed here: it stays as stored, and with it the link to the
    // operator's rights rows.
    const QString role = ui->Combo_User->currentText();
    // A role stored before roles were checked stays as it is until it is changed.
    if (role != Qry_User->text(QStringLiteral("PartName")) && roleRefused(role))
        return;
    // The operator at work would lock himself out at his next login.
    if (ui->CB_User->isChecked() && isSessionOperator(*m_session, Qry_User->text(QStringLiteral("UserName")))) {
        refuse(QStringLiteral("不能禁用当前登录的操作员!"), ui->CB_User);
        return;
    }
    const QString stored = Qry_User->text(QStringLiteral("Password"));
    const QString typed = ui->Edit_Pass->text();
    // A password still stored as typed (from an older database) is kept as its hash.
    const QString password = !typed.isEmpty()               ? PasswordHash::make(typed)
                             : PasswordHash::isHash(stored) ? stored
                                                            : PasswordHash::make(stored);
    Qry_User->edit();
    try {
        Qry_User->setValue(QStringLiteral("Password"), password);
        Qry_User->setValue(QStringLiteral("PartName"), role);
        Qry_User->setValue(QStringLiteral("Remark"), ui->Memo_User->toPlainText());
        Qry_User->setValue(QStringLiteral("IsUser"), !ui->CB_User->isChecked());
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
