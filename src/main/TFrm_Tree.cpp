#include "TFrm_Tree.h"
#include "CategoryTree.h"
#include "data/TFrm_Data.h"
#include "store/CategoryCode.h"
#include "store/SettingKeys.h"
#include "store/queries/Categories.h"
#include "ui/Guarded.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QKeySequence>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Empty text counts as a number here; otherwise digits only.
bool isNumber(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

} // namespace

TFrm_Tree::TFrm_Tree(TFrm_Data *dataModule, QWidget *parent) : QDialog(parent), m_data(dataModule)
{
    setObjectName(QStringLiteral("Frm_Tree"));
    resize(560, 480);

    // The window's own queries work over a connection of their own on the same file.
    m_connection = Connection::open(dataModule->databasePath());
    Qry_repeat = new Dataset(m_connection.get(), this);
    Qry_repeat->setObjectName(QStringLiteral("Qry_repeat"));
    Qry = new Dataset(m_connection.get(), this);
    Qry->setObjectName(QStringLiteral("Qry"));
    Qry_Hy = new Dataset(m_connection.get(), this);
    Qry_Hy->setObjectName(QStringLiteral("Qry_Hy"));

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto action = [this](const char *name, const QString &caption, QStyle::StandardPixmap icon) {
        auto *a = new QAction(style()->standardIcon(icon), caption, this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    TB_Add = action("TB_Add", QStringLiteral("新增&A"), QStyle::SP_FileDialogNewFolder);
    N1 = action("N1", QStringLiteral("新增同级节点"), QStyle::SP_FileIcon);
    N1->setShortcut(Qt::Key_F3);
    N2 = action("N2", QStringLiteral("新增下级节点"), QStyle::SP_FileIcon);
    N2->setShortcut(Qt::Key_F4);
    TB_Edit = action("TB_Edit", QStringLiteral("编辑&E"), QStyle::SP_FileDialogDetailedView);
    TB_Del = action("TB_Del", QStringLiteral("删除&D"), QStyle::SP_TrashIcon);
    TB_Save = action("TB_Save", QStringLiteral("保存&S"), QStyle::SP_DialogSaveButton);
    TB_Cancel = action("TB_Cancel", QStringLiteral("取消&C"), QStyle::SP_DialogCancelButton);
    TB_Select = action("TB_Select", QStringLiteral("选择&X"), QStyle::SP_DialogApplyButton);
    TB_Refresh = action("TB_Refresh", QStringLiteral("刷新&R"), QStyle::SP_BrowserReload);
    TB_Close = action("TB_Close", QStringLiteral("退出&Q"), QStyle::SP_DialogCloseButton);
    auto *addMenu = new QMenu(this);
    addMenu->setObjectName(QStringLiteral("PopupMenu1"));
    addMenu->addAction(N1);
    addMenu->addAction(N2);
    TB_Add->setMenu(addMenu);
    addAction(N1); // F3 and F4 work without opening the menu
    addAction(N2);
    for (QAction *a : {TB_Add, TB_Edit, TB_Del, TB_Save, TB_Cancel, TB_Select, TB_Refresh, TB_Close}) {
        ToolBar1->addAction(a);
        if (QWidget *button = ToolBar1->widgetForAction(a))
            button->setObjectName(a->objectName());
        // A tool bar shows no accelerator of its own: Alt and the caption's letter run the
        // entry, also while the name is being typed (instead of typing the letter).
        const int amp = int(a->text().indexOf(QLatin1Char('&')));
        if (amp >= 0 && amp + 1 < a->text().size()) {
            const QChar letter = a->text().at(amp + 1).toUpper();
            a->setShortcut(QKeySequence(Qt::ALT | Qt::Key(letter.unicode())));
            a->setShortcutContext(Qt::WindowShortcut);
            a->setToolTip(QStringLiteral("%1 (Alt+%2)").arg(QString(a->text()).remove(QLatin1Char('&')), letter));
        }
    }
    if (auto *addButton = qobject_cast<QToolButton *>(ToolBar1->widgetForAction(TB_Add)))
        addButton->setPopupMode(QToolButton::MenuButtonPopup);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    Label1 = new QLabel(QStringLiteral("编码(&B):"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit_Code = new QLineEdit(this);
    Edit_Code->setObjectName(QStringLiteral("Edit_Code"));
    Edit_Code->setMaxLength(11);
    Label1->setBuddy(Edit_Code);
    Label2 = new QLabel(QStringLiteral("名称(&M):"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Edit_Name = new QLineEdit(this);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Label2->setBuddy(Edit_Name);
    Edit_Code->clear();
    Edit_Name->clear();
    Edit_Code->setEnabled(false);
    Edit_Name->setEnabled(false);

    auto *form = new QGridLayout;
    form->addWidget(Label1, 0, 0);
    form->addWidget(Edit_Code, 0, 1);
    form->addWidget(Label2, 1, 0);
    form->addWidget(Edit_Name, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(ToolBar1);
    layout->addWidget(TreeView1, 1);
    layout->addLayout(form);

    connect(TB_Add, &QAction::triggered, this, [this] { startAdding(true); });
    connect(N2, &QAction::triggered, this, [this] { startAdding(true); });
    connect(N1, &QAction::triggered, this, [this] { startAdding(false); });
    connect(TB_Edit, &QAction::triggered, this, &TFrm_Tree::startRenaming);
    connect(TB_Del, &QAction::triggered, this, [this] { guarded(this, [this] { deleteNode(); }); });
    connect(TB_Save, &QAction::triggered, this, [this] { guarded(this, [this] { save(); }); });
    connect(TB_Cancel, &QAction::triggered, this, &TFrm_Tree::cancel);
    connect(TB_Select, &QAction::triggered, this, &TFrm_Tree::select);
    connect(TB_Refresh, &QAction::triggered, this, [this] { guarded(this, [this] { refresh(); }); });
    connect(TB_Close, &QAction::triggered, this, &QDialog::reject);
    connect(TreeView1, &QTreeWidget::itemClicked, this, &TFrm_Tree::nodeClicked);
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, &TFrm_Tree::select);
    // Enter: on the tree a picker takes the node, in the inputs the name is saved.
    connect(TreeView1, &QTreeWidget::itemActivated, this, [this] {
        // A double click activates too and has picked already.
        if (!Selected && SelectMode != ManageOnly && TB_Select->isVisible() && TB_Select->isEnabled())
            select();
    });
    for (QLineEdit *input : {Edit_Code, Edit_Name})
        connect(input, &QLineEdit::returnPressed, this, [this] {
            if (TB_Save->isEnabled())
                TB_Save->trigger();
        });
    // Moving with the keyboard picks the node as a click does, while nothing is being edited.
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item && TB_Add->isEnabled())
            nodeClicked(item);
    });
    setEditing(false);
}

TFrm_Tree::~TFrm_Tree()
{
    for (Dataset *q : {Qry_repeat, Qry, Qry_Hy})
        q->setConnection(nullptr);
}

void TFrm_Tree::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    setWindowTitle(RootCaption);
    guarded(this, [this] {
        FillCategoryTree(TreeView1, m_data->Qry_HY, CategoryTable, RootCaption);
        Categories::openAll(*Qry_Hy, CategoryTable);
    });
    showCurrentCategory();
}

// A picker opens on the category the opener holds: its node selected and in view, the
// branches above it open, the focus on the tree.
void TFrm_Tree::showCurrentCategory()
{
    QTreeWidgetItem *item = CurrentCode.trimmed().isEmpty() ? nullptr : nodeForCode(CurrentCode.trimmed());
    if (!item)
        item = TreeView1->topLevelItem(0);
    if (!item)
        return;
    for (QTreeWidgetItem *up = item->parent(); up; up = up->parent())
        up->setExpanded(true);
    item->setExpanded(true);
    TreeView1->setCurrentItem(item);
    TreeView1->scrollToItem(item);
    TreeView1->setFocus();
}

void TFrm_Tree::setEditing(bool editing)
{
    for (QAction *a : {TB_Add, N2, TB_Edit, TB_Del})
        a->setEnabled(!editing);
    N1->setEnabled(!editing && categoryNodeLevel(TreeView1->currentItem()) > 0);
    TB_Save->setEnabled(editing);
    TB_Cancel->setEnabled(editing);
}

void TFrm_Tree::nodeClicked(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QString text = item->text(0);
    const int level = categoryNodeLevel(item);
    if (level >= 1) {
        Edit_Code->setText(text.left(2 * level));
        Edit_Name->setText(text.mid(2 * level + 1));
        N1->setEnabled(TB_Add->isEnabled());
    } else {
        const int dash = text.indexOf(QLatin1Char('-'));
        Edit_Code->setText(dash < 0 ? QString() : text.left(dash)); // the caption has no "-": empty
        Edit_Name->setText(text);
        N1->setEnabled(false);
    }
}

void TFrm_Tree::startAdding(bool child)
{
    AddChild = child;
    Edit_Code->setEnabled(true);
    Edit_Name->setEnabled(true);
    Edit_Name->setFocus();
    AddMode = true;
    guarded(this, [this] {
        const CategoryCode::Proposal proposal = CategoryCode::propose(*Qry, CategoryTable, Edit_Code->text(), AddChild);
        if (proposal.code)
            Edit_Code->setText(*proposal.code);
        if (!proposal.emptyTable)
            Edit_Name->clear();
    });
    Edit_Name->setFocus();
    setEditing(true);
}

void TFrm_Tree::startRenaming()
{
    AddMode = false;
    Edit_Name->setEnabled(true);
    Edit_Code->setEnabled(false);
    Edit_Name->setFocus();
    setEditing(true);
}

void TFrm_Tree::save()
{
    if (AddMode)
        saveNew();
    else
        saveName();
}

void TFrm_Tree::saveNew()
{
    const QString typed = Edit_Code->text();
    if (!isNumber(typed)) {
        Messages::dialog(this, QStringLiteral("编码必须是数字!"), Msg::Icon::Information);
        Edit_Code->setFocus();
        return;
    }
    if (typed.size() % 2 != 0) {
        Messages::dialog(this, QStringLiteral("编码规则出错!"), Msg::Icon::Information);
        Edit_Code->setFocus();
        return;
    }
    const QString code = typed.trimmed();
    Categories::openByCode(*Qry_repeat, CategoryTable, code);
    Categories::openByCode(*Qry, CategoryTable, code.left(code.size() - 2));
    if (!Qry_repeat->isEmpty()) {
        Messages::dialog(this, QStringLiteral("编码重复!,不能保存!"), Msg::Icon::Information);
        return;
    }
    if (code.size() != 2 && Qry->isEmpty()) {
        Messages::dialog(this, QStringLiteral("编码错误,父节点不存在!"), Msg::Icon::Information);
        Edit_Code->setFocus();
        return;
    }
    const QString name = Edit_Name->text().trimmed();
    Qry_Hy->append();
    Qry_Hy->setValue(QStringLiteral("code"), code);
    Qry_Hy->setValue(QStringLiteral("name"), name);
    Qry_Hy->post();

    QTreeWidgetItem *selected = TreeView1->currentItem();
    if (!selected)
        selected = TreeView1->topLevelItem(0);
    QTreeWidgetItem *parent = AddChild || !selected ? selected : selected->parent();
    if (!parent)
        parent = TreeView1->topLevelItem(0);
    if (parent) {
        auto *item = new QTreeWidgetItem(parent, QStringList(code + QLatin1Char('-') + name));
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
        parent->setExpanded(true);
        setEditing(false);
        // The new node becomes the selected one, so Edit and Delete act on what is shown.
        TreeView1->setCurrentItem(item);
        nodeClicked(item);
        return;
    }
    setEditing(false);
}

void TFrm_Tree::saveName()
{
    const QString code = Edit_Code->text().trimmed();
    if (code.isEmpty()) {
        Messages::confirm(this, QStringLiteral("请点击取消按钮再重新选择一个节点进行编辑!"));
        return;
    }
    Categories::openByCode(*Qry, CategoryTable, code);
    if (Qry->isEmpty()) {
        Messages::confirm(this, QStringLiteral("您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"));
        return;
    }
    if (TreeView1->topLevelItemCount() == 0)
        return;
    Edit_Code->setEnabled(false);
    Edit_Name->setEnabled(false);
    const QString name = Edit_Name->text().trimmed();
    if (!Qry_Hy->locate(QStringLiteral("code"), code)) {
        Categories::openAll(*Qry_Hy, CategoryTable); // added by another copy meanwhile
        Qry_Hy->locate(QStringLiteral("code"), code);
    }
    Qry_Hy->setValue(QStringLiteral("name"), name);
    Qry_Hy->post();
    if (QTreeWidgetItem *item = nodeForCode(code))
        item->setText(0, code + QLatin1Char('-') + name);
    setEditing(false);
}

void TFrm_Tree::deleteNode()
{
    // The node deleted from the tree is the one whose code is deleted from the table.
    QTreeWidgetItem *item = nodeForCode(Edit_Code->text().trimmed());
    if (!item || !item->parent())
        return; // the root is no category
    if (item->childCount() > 0) {
        Messages::plain(this, QStringLiteral("不能删除有子目录的目录，请先删除子目录！"));
        return;
    }
    if (Messages::confirm(this, QStringLiteral("你真的要删除所选择的目录吗？"), Msg::Buttons::OkCancelDefaultCancel) != Msg::Answer::Ok)
        return;
    const QString code = Edit_Code->text().trimmed();
    Categories::deleteByCode(*m_connection, CategoryTable, code);
    delete item;
    Qry_Hy->refresh();
}

void TFrm_Tree::cancel()
{
    AddChild = false;
    setEditing(false);
    // A proposed or typed code is dropped: the inputs show the selected node again.
    if (QTreeWidgetItem *item = TreeView1->currentItem())
        nodeClicked(item);
}

QTreeWidgetItem *TFrm_Tree::nodeForCode(const QString &code) const
{
    if (code.isEmpty())
        return nullptr;
    const auto items = TreeView1->findItems(code + QLatin1Char('-'), Qt::MatchStartsWith | Qt::MatchRecursive);
    for (QTreeWidgetItem *item : items)
        if (item->text(0).left(2 * categoryNodeLevel(item)) == code && categoryNodeLevel(item) * 2 == code.size())
            return item;
    return nullptr;
}

void TFrm_Tree::select()
{
    if (SelectMode == ManageOnly)
        return;
    Selected = true;
    SelectedCode = Edit_Code->text().trimmed();
    SelectedName = Edit_Name->text();
    if (SelectMode == CustomerEditor) {
        guarded(this, [this] {
            Setting::LastCategoryName.write(m_data->settings(), Edit_Name->text());
            Setting::LastCategoryCode.write(m_data->settings(), Edit_Code->text());
        });
    }
    accept();
}

void TFrm_Tree::refresh()
{
    FillCategoryTree(TreeView1, m_data->Qry_HY, CategoryTable, RootCaption);
    TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
    nodeClicked(TreeView1->topLevelItem(0));
}
