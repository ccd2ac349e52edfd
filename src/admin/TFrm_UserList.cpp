#include "TFrm_UserList.h"
#include "TFrm_UserRight.h"
#include "data/TFrm_Data.h"
#include "store/SqlText.h"
#include "store/Transaction.h"
#include "ui/Guarded.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int IdRole = Qt::UserRole;
// The administrator account of a new database: never deleted.
constexpr qint64 AdministratorId = 1;
} // namespace

QTreeWidget *TFrm_UserList::makeList(QWidget *page, const char *name, const QStringList &titles)
{
    auto *list = new QTreeWidget(page);
    list->setObjectName(QString::fromLatin1(name));
    list->setColumnCount(int(titles.size()));
    list->setHeaderLabels(titles);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(true);
    list->header()->resizeSection(0, 70);
    list->header()->resizeSection(1, 140);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(list);
    return list;
}

TFrm_UserList::TFrm_UserList(TFrm_Data *data, QWidget *parent) : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("Frm_UserList"));
    setWindowTitle(QStringLiteral("操作员管理"));
    setModal(true);
    resize(700, 400);

    // The lists are read over a connection of the window's own on the same file.
    m_connection = Connection::open(data->databasePath());
    Qry_User = new Dataset(m_connection.get(), this);
    Qry_User->setObjectName(QStringLiteral("Qry_User"));
    Qry_Part = new Dataset(m_connection.get(), this);
    Qry_Part->setObjectName(QStringLiteral("Qry_Part"));
    Qry_Del = new Dataset(data->connection(), this);
    Qry_Del->setObjectName(QStringLiteral("Qry_Del"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TS_User = new QWidget(PageControl1);
    TS_User->setObjectName(QStringLiteral("TS_User"));
    PageControl1->addTab(TS_User, QStringLiteral("用户列表"));
    TS_Part = new QWidget(PageControl1);
    TS_Part->setObjectName(QStringLiteral("TS_Part"));
    PageControl1->addTab(TS_Part, QStringLiteral("角色列表"));
    ListView1 = makeList(TS_User, "ListView1", {QStringLiteral("编号"), QStringLiteral("用户姓名"), QStringLiteral("用户描述")});
    ListView2 = makeList(TS_Part, "ListView2", {QStringLiteral("编号"), QStringLiteral("角色名称"), QStringLiteral("角色描述")});

    PopupMenu1 = new QMenu(ListView1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N_Refresh = PopupMenu1->addAction(QStringLiteral("刷新"));
    N_Refresh->setObjectName(QStringLiteral("N_Refresh"));
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at)); });
    connect(N_Refresh, &QAction::triggered, this, [this] { guarded(this, [this] { ReloadUsers(); }); });

    auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Btn_Add = button("Btn_Add", QStringLiteral("新建&A"));
    Btn_Edit = button("Btn_Edit", QStringLiteral("修改&E"));
    Btn_Del = button("Btn_Del", QStringLiteral("删除&D"));
    Btn_Exit = button("Btn_Exit", QStringLiteral("退出&Q"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {Btn_Add, Btn_Edit, Btn_Del, Btn_Exit})
        buttons->addWidget(b);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { guarded(this, [this] { pageChanged(); }); });
    connect(Btn_Add, &QPushButton::clicked, this, [this] { guarded(this, [this] { addOperator(); }); });
    connect(Btn_Edit, &QPushButton::clicked, this, [this] { guarded(this, [this] { editSelected(); }); });
    connect(Btn_Del, &QPushButton::clicked, this, [this] { guarded(this, [this] { deleteSelected(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    for (QTreeWidget *list : {ListView1, ListView2})
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

void TFrm_UserList::ReloadUsers()
{
    ListView1->clear();
    TFrm_Data::RunQuery(Qry_User, QStringLiteral("select * from Admin"));
    const int id = Qry_User->checkedFieldIndex(QStringLiteral("UserID"));
    const int name = Qry_User->checkedFieldIndex(QStringLiteral("UserName"));
    const int remark = Qry_User->checkedFieldIndex(QStringLiteral("Remark"));
    const int enabled = Qry_User->checkedFieldIndex(QStringLiteral("IsUser"));
    const QIcon enabledIcon = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon disabledIcon = style()->standardIcon(QStyle::SP_DialogCancelButton);
    for (int row = 0; row < Qry_User->recordCount(); ++row) {
        auto *item = new QTreeWidgetItem(ListView1, {Dataset::displayText(Qry_User->value(row, id)),
                                                      Dataset::displayText(Qry_User->value(row, name)),
                                                      Dataset::displayText(Qry_User->value(row, remark))});
        item->setIcon(0, Qry_User->value(row, enabled).toBool() ? enabledIcon : disabledIcon);
        item->setData(0, IdRole, Qry_User->value(row, id).toLongLong());
    }
}

void TFrm_UserList::ReloadRoles()
{
    ListView2->clear();
    TFrm_Data::RunQuery(Qry_Part, QStringLiteral("select * from T_Part"));
    const int id = Qry_Part->checkedFieldIndex(QStringLiteral("PartID"));
    const int name = Qry_Part->checkedFieldIndex(QStringLiteral("PartName"));
    const int remark = Qry_Part->checkedFieldIndex(QStringLiteral("Remark"));
    for (int row = 0; row < Qry_Part->recordCount(); ++row) {
        auto *item = new QTreeWidgetItem(ListView2, {Dataset::displayText(Qry_Part->value(row, id)),
                                                      Dataset::displayText(Qry_Part->value(row, name)),
                                                      Dataset::displayText(Qry_Part->value(row, remark))});
        item->setData(0, IdRole, Qry_Part->value(row, id).toLongLong());
    }
}

void TFrm_UserList::pageChanged()
{
    const bool rolePage = PageControl1->currentWidget() == TS_Part;
    if (rolePage)
        ReloadRoles();
    Btn_Add->setVisible(!rolePage);
    Btn_Del->setVisible(!rolePage);
}

void TFrm_UserList::openEditor(const QString &kind, bool creating, qint64 userId, qint64 partId)
{
    TFrm_UserRight editor(m_data, this);
    editor.EditorKind = kind;
    editor.Creating = creating;
    editor.EditUserID = userId;
    editor.EditPartID = partId;
    connect(&editor, &TFrm_UserRight::operatorsChanged, this, [this] { guarded(this, [this] { ReloadUsers(); }); });
    editor.exec();
}

void TFrm_UserList::addOperator()
{
    if (PageControl1->currentWidget() != TS_User)
        return;
    openEditor(TFrm_UserRight::UserKind, true, 0, 0);
}

void TFrm_UserList::editSelected()
{
    if (PageControl1->currentWidget() == TS_User) {
        if (QTreeWidgetItem *item = ListView1->currentItem())
            openEditor(TFrm_UserRight::UserKind, false, item->data(0, IdRole).toLongLong(), 0);
    } else if (QTreeWidgetItem *item = ListView2->currentItem()) {
        openEditor(TFrm_UserRight::PartKind, false, 0, item->data(0, IdRole).toLongLong());
    }
}

void TFrm_UserList::deleteSelected()
{
    QTreeWidgetItem *item = ListView1->currentItem();
    if (PageControl1->currentWidget() != TS_User || !item)
        return;
    if (Messages::box(this, QStringLiteral("您确认要删除该用户吗？"), QStringLiteral("警告"), Msg::Icon::Information,
                      Msg::Buttons::YesNo)
        != Msg::Answer::Yes)
        return;
    const qint64 id = item->data(0, IdRole).toLongLong();
    if (id == AdministratorId) {
        Messages::box(this, QStringLiteral("这是系统管理员帐号，不能删除"), QStringLiteral("警告"), Msg::Icon::Information);
        return;
    }
    delete item;

    const bool deleted = tryInTransaction(*m_data->connection(), [&] {
        const QString where = QStringLiteral(" where Userid=") + QString::number(id);
        TFrm_Data::RunQuery(Qry_Del, QStringLiteral("select * from Admin") + where);
        // An operator removed meanwhile leaves nothing to delete; rights rows without a
        // name (they belong to no operator) are not taken for his.
        if (Qry_Del->isEmpty())
            return;
        const QString name = Qry_Del->text(QStringLiteral("UserName"));
        TFrm_Data::RunSql(Qry_Del, QStringLiteral("Delete from Admin") + where);
        TFrm_Data::RunSql(Qry_Del, QStringLiteral("delete from T_UserAuthority where UserName=") + SqlText::quoted(name));
    });
    if (!deleted) {
        Messages::plain(this, QStringLiteral("删除用户失败!"));
        ReloadUsers();
        return;
    }
    // Reported once the deletion is committed, never before.
    Messages::plain(this, QStringLiteral("删除用户成功!"));
}
