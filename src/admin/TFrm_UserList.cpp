#include "TFrm_UserList.h"
#include "ui_TFrm_UserList.h"
#include "SessionOperator.h"
#include "TFrm_UserRight.h"
#include "data/TFrm_Data.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/queries/Operators.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QHeaderView>
#include <QMenu>
#include <QShowEvent>
#include <QStyle>

namespace {
constexpr int IdRole = Qt::UserRole;
// The administrator account of a new database: never deleted.
constexpr qint64 AdministratorId = 1;
const QString Warning = QStringLiteral("警告");
} // namespace

TFrm_UserList::TFrm_UserList(Session *session, QWidget *parent)
    : QDialog(parent ? parent : session->dialogParent()), ui(std::make_unique<Ui::TFrm_UserList>()),
      m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    for (QTreeWidget *list : {ui->ListView1, ui->ListView2}) {
        list->header()->resizeSection(0, 70);
        list->header()->resizeSection(1, 140);
    }

    // The lists are read over a connection of the window's own on the same file.
    m_connection = Connection::open(m_data->databasePath());
    Qry_User = new Dataset(m_connection.get(), this);
    Qry_User->setObjectName(QStringLiteral("Qry_User"));
    Qry_Part = new Dataset(m_connection.get(), this);
    Qry_Part->setObjectName(QStringLiteral("Qry_Part"));

    PopupMenu1 = new QMenu(ui->ListView1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(ui->N_Refresh);
    connect(ui->ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(ui->ListView1->viewport()->mapToGlobal(at)); });
    connect(ui->N_Refresh, &QAction::triggered, this, [this] { guarded(this, [this] { ReloadUsers(); }); });

    connect(ui->PageControl1, &QTabWidget::currentChanged, this, [this] { guarded(this, [this] { pageChanged(); }); });
    connect(ui->Btn_Add, &QPushButton::clicked, this, [this] { guarded(this, [this] { addOperator(); }); });
    connect(ui->Btn_Edit, &QPushButton::clicked, this, [this] { guarded(this, [this] { editSelected(); }); });
    connect(ui->Btn_Del, &QPushButton::clicked, this, [this] { guarded(this, [this] { deleteSelected(); }); });
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    for (QTreeWidget *list : {ui->ListView1, ui->ListView2})
        connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { guarded(this, [this] { editSelected(); }); });
}

TFrm_UserList::~TFrm_UserList() = default;

void TFrm_UserList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown || event->spontaneous())
        return;
    m_shown = true;
    guarded(this, [this] { ReloadUsers(); });
}

bool TFrm_UserList::onUserPage() const
{
    return ui->PageControl1->currentWidget() == ui->TS_User;
}

void TFrm_UserList::ReloadUsers()
{
    ui->ListView1->clear();
    Operators::openAll(*Qry_User);
    const int id = Qry_User->checkedFieldIndex(QStringLiteral("UserID"));
    const int name = Qry_User->checkedFieldIndex(QStringLiteral("UserName"));
    const int remark = Qry_User->checkedFieldIndex(QStringLiteral("Remark"));
    const int enabled = Qry_User->checkedFieldIndex(QStringLiteral("IsUser"));
    const QIcon enabledIcon = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon disabledIcon = style()->standardIcon(QStyle::SP_DialogCancelButton);
    for (int row = 0; row < Qry_User->recordCount(); ++row) {
        auto *item = new QTreeWidgetItem(ui->ListView1, {Dataset::displayText(Qry_User->value(row, id)),
                                                          Dataset::displayText(Qry_User->value(row, name)),
                                                          Dataset::displayText(Qry_User->value(row, remark))});
        item->setIcon(0, Qry_User->value(row, enabled).toBool() ? enabledIcon : disabledIcon);
        item->setData(0, IdRole, Qry_User->value(row, id).toLongLong());
    }
}

void TFrm_UserList::ReloadRoles()
{
    ui->ListView2->clear();
    Operators::openRoles(*Qry_Part);
    const int id = Qry_Part->checkedFieldIndex(QStringLiteral("PartID"));
    const int name = Qry_Part->checkedFieldIndex(QStringLiteral("PartName"));
    const int remark = Qry_Part->checkedFieldIndex(QStringLiteral("Remark"));
    for (int row = 0; row < Qry_Part->recordCount(); ++row) {
        auto *item = new QTreeWidgetItem(ui->ListView2, {Dataset::displayText(Qry_Part->value(row, id)),
                                                          Dataset::displayText(Qry_Part->value(row, name)),
                                                          Dataset::displayText(Qry_Part->value(row, remark))});
        item->setData(0, IdRole, Qry_Part->value(row, id).toLongLong());
    }
}

void TFrm_UserList::pageChanged()
{
    const bool rolePage = ui->PageControl1->currentWidget() == ui->TS_Part;
    if (rolePage)
        ReloadRoles();
    ui->Btn_Add->setVisible(!rolePage);
    ui->Btn_Del->setVisible(!rolePage);
}

void TFrm_UserList::openEditor(const QString &kind, bool creating, qint64 userId, qint64 partId)
{
    TFrm_UserRight editor(m_session, this);
    editor.EditorKind = kind;
    editor.setMode(creating ? EditorMode::Add : EditorMode::Edit);
    editor.EditUserID = userId;
    editor.EditPartID = partId;
    connect(&editor, &TFrm_UserRight::operatorsChanged, this, [this] { guarded(this, [this] { ReloadUsers(); }); });
    editor.exec();
}

void TFrm_UserList::addOperator()
{
    if (!onUserPage())
        return;
    openEditor(TFrm_UserRight::UserKind, true, 0, 0);
}

void TFrm_UserList::editSelected()
{
    if (onUserPage()) {
        if (QTreeWidgetItem *item = ui->ListView1->currentItem())
            openEditor(TFrm_UserRight::UserKind, false, item->data(0, IdRole).toLongLong(), 0);
    } else if (QTreeWidgetItem *item = ui->ListView2->currentItem()) {
        openEditor(TFrm_UserRight::PartKind, false, 0, item->data(0, IdRole).toLongLong());
    }
}

void TFrm_UserList::deleteSelected()
{
    QTreeWidgetItem *item = ui->ListView1->currentItem();
    if (!onUserPage() || !item)
        return;
    if (Messages::box(this, QStringLiteral("您确认要删除该用户吗？"), Warning, Msg::Icon::Information,
                      Msg::Buttons::YesNoDefaultNo)
        != Msg::Answer::Yes)
        return;
    const qint64 id = item->data(0, IdRole).toLongLong();
    if (id == AdministratorId) {
        Messages::box(this, QStringLiteral("这是系统管理员帐号，不能删除"), Warning, Msg::Icon::Information);
        return;
    }
    // The operator at work keeps his account while he works with it.
    if (isSessionOperator(*m_session, item->text(1))) {
        Messages::box(this, QStringLiteral("不能删除当前登录的操作员!"), Warning, Msg::Icon::Information);
        return;
    }
    delete item;

    try {
        Operators::remove(*m_data->connection(), id);
    } catch (const DbError &) {
        Messages::plain(this, QStringLiteral("删除用户失败!"));
        ReloadUsers();
        return;
    }
    // Reported once the deletion is committed, never before.
    Messages::plain(this, QStringLiteral("删除用户成功!"));
}
