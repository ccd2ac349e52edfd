#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "main/CategoryTree.h"
#include "main/GridColumns.h"
#include "printing/GridPrint.h"
#include "store/CategoryCode.h"
#include "store/DbError.h"
#include "store/queries/ColumnChoice.h"
#include "store/queries/Contacts.h"
#include "store/queries/Customers.h"
#include "ui/Commands.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const int ContactHeading = 8;
const int CustomerHeading = 0;
const int FirstListCap = 100; // "top 100" of the first list

const QString CustomLayout = QStringLiteral("Custom");
const QString ContactLayout = QStringLiteral("Contact");

QString name(const char *command)
{
    return QString::fromLatin1(command);
}

} // namespace

TFrm_Custom::TFrm_Custom(Session *session)
    : QWidget(nullptr), m_session(session), m_data(session->data())
{
    setObjectName(QStringLiteral("Frm_Custom"));
    setWindowTitle(QStringLiteral("客户信息"));
    // Long customer lists arrive in batches after they are opened.
    connect(m_data->Qry_Cust, &Dataset::rowsAppended, this, &TFrm_Custom::showCount);
    connect(m_data->Qry_Cust, &Dataset::loadFinished, this, &TFrm_Custom::showCount);
    connect(m_data->Qry_Cust, &Dataset::loadFailed, this, [this](const QString &message) {
        showCount();
        Messages::errorReport(this, message);
    });
    setWindowIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    buildPages();
    buildMenus();
    bindGridKeys();
    resize(1000, 640);
    guarded(this, [this] { openFirstList(); });
}

TFrm_Custom::~TFrm_Custom()
{
    m_session->setStatusPanel(1, QString());
}

void TFrm_Custom::buildPages()
{
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);

    Label1 = new QLabel(QStringLiteral("查询字段(&F):"), this);
    Combo_Type = new QComboBox(this);
    Combo_Type->setObjectName(QStringLiteral("Combo_Type"));
    Combo_Type->addItems({QStringLiteral("**客户选项**"), QStringLiteral("客户编号"), QStringLiteral("公司名称"),
                          QStringLiteral("通讯地址"), QStringLiteral("电话"), QStringLiteral("传真"),
                          QStringLiteral("电子信箱"), QStringLiteral("网址"), QStringLiteral("*联系人选项*"),
                          QStringLiteral("姓名"), QStringLiteral("办公电话"), QStringLiteral("电子邮件")});
    Combo_Type->setCurrentIndex(2);
    Label1->setBuddy(Combo_Type);
    Label2 = new QLabel(QStringLiteral("关键字(&K):"), this);
    Edit_Key = new QLineEdit(this);
    Edit_Key->setObjectName(QStringLiteral("Edit_Key"));
    Edit_Key->setClearButtonEnabled(true);
    Label2->setBuddy(Edit_Key);
    Btn_S_Cust = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("查询(&S)"), this);
    Btn_S_Cust->setObjectName(QStringLiteral("Btn_S_Cust"));

    auto grid = [this](const char *name, bool multiSelect) {
        auto *g = new DataGrid(this);
        g->setObjectName(QString::fromLatin1(name));
        g->setReadOnly(true);
        g->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
        g->setContextMenuPolicy(Qt::CustomContextMenu);
        return g;
    };
    Grid_Cust = grid("Grid_Cust", true);
    Grid_Cust->setDataset(m_data->Qry_Cust);
    Grid_Contact = grid("Grid_Contact", false);
    Grid_Contact->setDataset(m_data->Qry_Contact);
    Grid_Sch = grid("Grid_Sch", false);
    Grid_Sch->setDataset(m_data->Qry_Schedule);
    Grid_Sale = grid("Grid_Sale", false);
    Grid_Sale->setDataset(m_data->Qry_Bill);
    Grid_Detail = grid("Grid_Detail", false);
    Grid_Detail->setDataset(m_data->Qry_Detail);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(Grid_Cust, QStringLiteral("客户资料"));
    PageControl2 = new QTabWidget(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->addTab(gridPage(Grid_Contact, {name(Cmd::AddContact), name(Cmd::EditContact), name(Cmd::DelContact)}),
                         QStringLiteral("联系人资料"));
    PageControl2->addTab(gridPage(Grid_Sch, {name(Cmd::AddSchedule), name(Cmd::EditSchedule), name(Cmd::DelSchedule)}),
                         QStringLiteral("联系记录"));
    PageControl2->addTab(gridPage(Grid_Sale, {name(Cmd::AddBill), name(Cmd::EditBill), name(Cmd::DelBill)}),
                         QStringLiteral("销售记录"));
    PageControl2->addTab(gridPage(Grid_Detail, {}), QStringLiteral("销售明细"));

    auto *searchBar = new QHBoxLayout;
    searchBar->addWidget(Label1);
    searchBar->addWidget(Combo_Type);
    searchBar->addSpacing(8);
    searchBar->addWidget(Label2);
    searchBar->addWidget(Edit_Key, 1);
    searchBar->addWidget(Btn_S_Cust);

    auto *right = new QSplitter(Qt::Vertical, this);
    right->addWidget(PageControl1);
    right->addWidget(PageControl2);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(TreeView1);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 800});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(searchBar);
    layout->addWidget(split, 1);

    connect(Combo_Type, &QComboBox::activated, this, &TFrm_Custom::typeChosen);
    connect(Btn_S_Cust, &QPushButton::clicked, this, &TFrm_Custom::quickSearch);
    connect(Edit_Key, &QLineEdit::returnPressed, this, &TFrm_Custom::quickSearch);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { categoryClicked(item); });
    connect(TreeView1, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { categoryClicked(item); });
    connect(PageControl2, &QTabWidget::currentChanged, this, &TFrm_Custom::pageTurned);
    // Only the customer grid sorts by its titles, in memory.
    connect(Grid_Cust, &DataGrid::sortMarksChanged, this, [this] {
        guarded(this, [this] { GridColumns::ApplySort(Grid_Cust, m_data->Qry_Cust); });
    });
    for (DataGrid *g : {Grid_Contact, Grid_Sch, Grid_Sale, Grid_Detail})
        connect(g, &DataGrid::sortMarksChanged, g, [g] {
            if (!g->sortMarks().isEmpty())
                g->clearSortMarks();
        });
}

QWidget *TFrm_Custom::gridPage(DataGrid *grid, const QStringList &commands)
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (!commands.isEmpty()) {
        auto *strip = new QHBoxLayout;
        for (const QString &command : commands) {
            auto *button = new QToolButton(page);
            button->setDefaultAction(m_session->command(command));
            button->setObjectName(QStringLiteral("Btn_") + command);
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            strip->addWidget(button);
        }
        strip->addStretch();
        layout->addLayout(strip);
    }
    layout->addWidget(grid, 1);
    return page;
}

void TFrm_Custom::buildMenus()
{
    auto action = [this](QMenu *menu, const char *entry, const QString &caption, auto &&slot) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(entry));
        connect(a, &QAction::triggered, this, [this, slot] { guarded(this, slot); });
        return a;
    };
    auto command = [this](QMenu *menu, const char *commandName) {
        if (QAction *a = m_session->command(name(commandName)))
            menu->addAction(a);
    };
    auto saveColumns = [this](DataGrid *grid, const char *layout) {
        return [this, grid, layout] { GridColumns::SaveColumns(m_data, grid, QString::fromLatin1(layout), 1); };
    };

    PopupMenu_Cust = new QMenu(this);
    PopupMenu_Cust->setObjectName(QStringLiteral("PopupMenu_Cust"));
    command(PopupMenu_Cust, Cmd::AddCust);
    command(PopupMenu_Cust, Cmd::EditCust);
    command(PopupMenu_Cust, Cmd::DelCust);
    PopupMenu_Cust->addSeparator();
    command(PopupMenu_Cust, Cmd::SearchCust);
    // F5 belongs to the main window's reminders everywhere else; on the customer grid the
    // key press itself refreshes (see eventFilter), so the menu only names the key.
    action(PopupMenu_Cust, "N_RefreshCust", QStringLiteral("刷新\tF5"), [this] { refreshCustomers(); });
    PopupMenu_Cust->addSeparator();
    action(PopupMenu_Cust, "N_BatchEdit", QStringLiteral("批量修改"), [this] { m_session->runHandler(name(Cmd::BatchEdit)); });
    action(PopupMenu_Cust, "N_ShowField", QStringLiteral("设置列显示"), [this] { m_session->runHandler(name(Cmd::ShowField_Cust)); });
    action(PopupMenu_Cust, "N_SaveCust", QStringLiteral("保存列属性"), saveColumns(Grid_Cust, "Custom"));
    action(PopupMenu_Cust, "N_PrintCust", QStringLiteral("打印列表"), [this] {
        m_data->Qry_Cust->waitForLoaded(); // every row of a list still arriving
        GridPrint::preview(this, Grid_Cust, QStringLiteral("客户列表"));
    });
    QMenu *exportMenu = PopupMenu_Cust->addMenu(QStringLiteral("导出数据"));
    exportMenu->setObjectName(QStringLiteral("N_Export"));
    command(exportMenu, Cmd::ExportEmail);
    command(exportMenu, Cmd::ExportCustCSV);

    PopupMenu_Tree = new QMenu(this);
    PopupMenu_Tree->setObjectName(QStringLiteral("PopupMenu_Tree"));
    action(PopupMenu_Tree, "N_RefreshTree", QStringLiteral("刷新"), [this] { refreshTree(); });
    command(PopupMenu_Tree, Cmd::Cust_Category);

    PopupMenu_Contact = new QMenu(this);
    PopupMenu_Contact->setObjectName(QStringLiteral("PopupMenu_Contact"));
    command(PopupMenu_Contact, Cmd::AddContact);
    command(PopupMenu_Contact, Cmd::EditContact);
    command(PopupMenu_Contact, Cmd::DelContact);
    PopupMenu_Contact->addSeparator();
    action(PopupMenu_Contact, "N_RefreshContact", QStringLiteral("刷新"), [this] {
        m_data->Qry_Contact->refresh();
        applyContactColumns();
    });
    command(PopupMenu_Contact, Cmd::ExportContactCSV);
    action(PopupMenu_Contact, "N_PrintContact", QStringLiteral("打印列表"),
           [this] { GridPrint::preview(this, Grid_Contact, QStringLiteral("联系人列表")); });

    PopupMenu_Sch = new QMenu(this);
    PopupMenu_Sch->setObjectName(QStringLiteral("PopupMenu_Sch"));
    command(PopupMenu_Sch, Cmd::AddSchedule);
    command(PopupMenu_Sch, Cmd::EditSchedule);
    command(PopupMenu_Sch, Cmd::DelSchedule);
    PopupMenu_Sch->addSeparator();
    action(PopupMenu_Sch, "N_RefreshSch", QStringLiteral("刷新"), [this] {
        followCurrentCustomer();
        m_data->Qry_Schedule->refresh();
        GridColumns::ApplyColumns(m_data, Grid_Sch, m_data->Qry_Schedule, QStringLiteral("Schedule"));
    });
    action(PopupMenu_Sch, "N_SaveSch", QStringLiteral("保存列属性"), saveColumns(Grid_Sch, "Schedule"));

    PopupMenu_Sale = new QMenu(this);
    PopupMenu_Sale->setObjectName(QStringLiteral("PopupMenu_Sale"));
    command(PopupMenu_Sale, Cmd::AddBill);
    command(PopupMenu_Sale, Cmd::EditBill);
    command(PopupMenu_Sale, Cmd::DelBill);
    PopupMenu_Sale->addSeparator();
    action(PopupMenu_Sale, "N_SaveSale", QStringLiteral("保存列属性"), saveColumns(Grid_Sale, "Bill"));

    PopupMenu_Detail = new QMenu(this);
    PopupMenu_Detail->setObjectName(QStringLiteral("PopupMenu_Detail"));
    action(PopupMenu_Detail, "N_SaveDetail", QStringLiteral("保存列属性"), saveColumns(Grid_Detail, "S_SaleDetail"));

    const QList<QPair<QWidget *, QMenu *>> menus = {{Grid_Cust, PopupMenu_Cust}, {TreeView1, PopupMenu_Tree},
        {Grid_Contact, PopupMenu_Contact}, {Grid_Sch, PopupMenu_Sch}, {Grid_Sale, PopupMenu_Sale}, {Grid_Detail, PopupMenu_Detail}};
    for (const auto &[widget, menu] : menus) {
        QWidget *w = widget;
        QMenu *m = menu;
        connect(w, &QWidget::customContextMenuRequested, m, [w, m](const QPoint &pos) {
            auto *view = qobject_cast<QAbstractScrollArea *>(w);
            m->popup((view ? view->viewport() : w)->mapToGlobal(pos));
        });
    }
}

// Double clicks and the Delete key run the main window's commands, only when enabled.
void TFrm_Custom::bindGridKeys()
{
    connect(Grid_Cust, &QAbstractItemView::doubleClicked, this, [this] { m_session->runCommand(name(Cmd::EditCust)); });
    connect(Grid_Sch, &QAbstractItemView::doubleClicked, this, [this] { m_session->runCommand(name(Cmd::EditSchedule)); });
    Grid_Cust->installEventFilter(this);
    Grid_Sch->installEventFilter(this);
    Grid_Sale->installEventFilter(this);
}

bool TFrm_Custom::eventFilter(QObject *watched, QEvent *event)
{
    const auto isF5 = [event] {
        const auto *key = static_cast<QKeyEvent *>(event);
        return key->key() == Qt::Key_F5 && key->modifiers() == Qt::NoModifier;
    };
    if (watched == Grid_Cust && event->type() == QEvent::ShortcutOverride && isF5()) {
        event->accept(); // the grid takes F5 before the window-wide shortcut does
        return true;
    }
    if (watched == Grid_Cust && event->type() == QEvent::KeyPress && isF5()) {
        guarded(this, [this] { refreshCustomers(); });
        return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete
        && static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
        const char *command = watched == Grid_Cust ? Cmd::DelCust
                            : watched == Grid_Sch  ? Cmd::DelSchedule
                            : watched == Grid_Sale ? Cmd::DelBill : nullptr;
        if (command) {
            m_session->runCommand(name(command));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFrm_Custom::openFirstList()
{
    Edit_Key->clear();
    const OperatorScope scope = m_session->scope();
    WaitCursor wait;
    loadCustomers([&scope](Dataset &customers) { Customers::openFirstHundred(customers, scope); });
    // The first list is capped: the status line says how many there are and how many show.
    const int shown = m_data->Qry_Cust->recordCount();
    if (shown >= FirstListCap) {
        const int total = Customers::countInScope(m_data->connection(), scope);
        if (total > shown)
            m_session->setStatusPanel(1, QStringLiteral("当前共有 %1 条客户记录，显示前 %2 条").arg(total).arg(shown));
    }
    Contacts::openOfCustomer(*m_data->Qry_Contact, scope);
    m_data->Qry_Schedule->link();
    Customers::openSchedules(*m_data->Qry_Schedule, scope);
    m_scheduleSql = m_data->Qry_Schedule->sql();
    applyCustomerColumns();
    applyContactColumns();
    GridColumns::ApplyColumns(m_data, Grid_Sch, m_data->Qry_Schedule, QStringLiteral("Schedule"));
    refreshTree();
    m_target = Target::Custom;
    Combo_Type->setCurrentIndex(2);
}

void TFrm_Custom::followCurrentCustomer()
{
    Dataset *schedules = m_data->Qry_Schedule;
    if (m_scheduleSql.isEmpty() || !schedules->connection())
        return; // the first list never opened: nothing of the browser's to restore
    if (schedules->sql() == m_scheduleSql && schedules->isLinked() && schedules->isOpen())
        return;
    schedules->close();
    schedules->link();
    Customers::openSchedules(*schedules, m_session->scope());
    m_scheduleSql = schedules->sql();
    GridColumns::ApplyColumns(m_data, Grid_Sch, schedules, QStringLiteral("Schedule"));
}

void TFrm_Custom::frameActivated()
{
    guarded(this, [this] { followCurrentCustomer(); });
}

bool TFrm_Custom::event(QEvent *event)
{
    // Inside the frame the browser sits in a child-window frame: each time that frame
    // comes to the front, the detail pages follow the current customer again.
    if (event->type() == QEvent::ParentChange) {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
            connect(frame, &QMdiSubWindow::aboutToActivate, this, &TFrm_Custom::frameActivated, Qt::UniqueConnection);
    }
    return QWidget::event(event);
}

void TFrm_Custom::bringToFront()
{
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!frame)
        return;
    if (frame->isMinimized())
        frame->showNormal();
    if (QMdiArea *area = frame->mdiArea())
        area->setActiveSubWindow(frame);
    frame->raise();
}

void TFrm_Custom::showCount()
{
    // While a long list is still arriving the count goes up with it.
    if (m_data->Qry_Cust->isLoading()) {
        m_session->setStatusPanel(1, QStringLiteral("正在读取… %1 条").arg(m_data->Qry_Cust->recordCount()));
        return;
    }
    m_session->setStatusPanel(1, QStringLiteral("当前共有 ") + QString::number(m_data->Qry_Cust->recordCount())
                                     + QStringLiteral(" 条客户记录"));
}

void TFrm_Custom::loadCustomers(const std::function<void(Dataset &)> &load)
{
    load(*m_data->Qry_Cust);
    showCount();
}

void TFrm_Custom::applyCustomerColumns()
{
    GridColumns::ApplyColumns(m_data, Grid_Cust, m_data->Qry_Cust, CustomLayout);
}

void TFrm_Custom::applyContactColumns()
{
    GridColumns::ApplyColumns(m_data, Grid_Contact, m_data->Qry_Contact, ContactLayout);
}

void TFrm_Custom::refreshTree()
{
    FillCategoryTree(TreeView1, m_data->Qry_HY, QStringLiteral("Cust_Category"), QStringLiteral("客户分类"));
    TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
}

void TFrm_Custom::refreshCustomers()
{
    WaitCursor wait;
    m_data->Qry_Cust->refresh();
    applyCustomerColumns();
}

void TFrm_Custom::reloadCustomers()
{
    Dataset *customers = m_data->Qry_Cust;
    if (!customers->isOpen())
        return;
    const int key = customers->checkedFieldIndex(QStringLiteral("CustID"));
    QVariantList selected;
    for (int row : Grid_Cust->selectedRows())
        selected.append(customers->value(row, key));
    const QVariant current = customers->currentRow() >= 0 ? customers->value(customers->currentRow(), key) : QVariant();
    WaitCursor wait;
    customers->refresh();
    applyCustomerColumns();
    QItemSelection selection;
    for (int row = 0; row < customers->recordCount(); ++row) {
        if (selected.contains(customers->value(row, key))) {
            const QModelIndex index = Grid_Cust->model()->index(row, 0);
            selection.select(index, index);
        }
    }
    if (current.isValid())
        customers->locate(QStringLiteral("CustID"), current);
    if (Grid_Cust->selectionModel())
        Grid_Cust->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TFrm_Custom::categoryClicked(QTreeWidgetItem *item)
{
    if (!item || TreeView1->topLevelItemCount() == 0)
        return;
    guarded(this, [this, item] {
        WaitCursor wait;
        const OperatorScope scope = m_session->scope();
        if (!item->parent()) {
            loadCustomers([&scope](Dataset &customers) { Customers::openList(customers, scope); });
        } else {
            const QString code = CategoryCode::nodeCode(item->text(0));
            loadCustomers([&](Dataset &customers) { Customers::openCategory(customers, scope, code); });
        }
        applyCustomerColumns();
    });
}

void TFrm_Custom::typeChosen(int index)
{
    if (index == CustomerHeading || index == ContactHeading)
        Combo_Type->setCurrentIndex(++index);
    m_target = index > 7 ? Target::Contact : Target::Custom;
}

void TFrm_Custom::quickSearch()
{
    Btn_S_Cust->setEnabled(false);
    guarded(this, [this] {
        WaitCursor wait;
        const QString key = Edit_Key->text(); // as typed: an empty key matches every value
        const QString layout = m_target == Target::Contact ? ContactLayout : CustomLayout;
        const QString caption = Combo_Type->currentText();
        const QString column = ColumnChoice::columnNamed(m_data->connection(), layout, caption);
        if (column.isEmpty())
            throw DbError(QStringLiteral("列表\"%1\"中没有名为\"%2\"的列,无法查询。").arg(layout, caption));
        const OperatorScope scope = m_session->scope();
        if (m_target == Target::Custom) {
            loadCustomers([&](Dataset &customers) { Customers::openMatching(customers, scope, column, key); });
        } else {
            // The customers of the matching contacts; no contact found gives the empty list.
            const QVariantList codes = Contacts::customerCodesMatching(m_data->connection(), column, key);
            loadCustomers([&](Dataset &customers) { Customers::openByCodes(customers, scope, codes); });
        }
        applyCustomerColumns();
    });
    Btn_S_Cust->setEnabled(true);
}

void TFrm_Custom::pageTurned(int index)
{
    guarded(this, [this, index] {
        if (index == 2) {
            Customers::openBills(*m_data->Qry_Bill);
            GridColumns::ApplyColumns(m_data, Grid_Sale, m_data->Qry_Bill, QStringLiteral("Bill"));
        } else if (index == 3) {
            Customers::openBillLines(*m_data->Qry_Detail);
            GridColumns::ApplyColumns(m_data, Grid_Detail, m_data->Qry_Detail, QStringLiteral("S_SaleDetail"));
        }
    });
}

QList<int> TFrm_Custom::selectedRows() const
{
    return Grid_Cust->selectedRows();
}
