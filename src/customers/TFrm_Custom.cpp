#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "main/CategoryTree.h"
#include "main/GridColumns.h"
#include "main/TFrm_Main.h"
#include "store/queries/Customers.h"
#include "store/CategoryCode.h"
#include "store/DbError.h"
#include "store/SqlText.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

} // namespace

TFrm_Custom::TFrm_Custom(TFrm_Main *mainWindow)
    : QWidget(nullptr), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_Custom"));
    setWindowTitle(QStringLiteral("客户信息"));
    setWindowIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    buildPages();
    buildMenus();
    bindGridKeys();
    resize(1000, 640);
    guarded(this, [this] { openFirstList(); });
}

TFrm_Custom::~TFrm_Custom()
{
    m_main->setStatusPanel(1, QString());
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
    PageControl2->addTab(gridPage(Grid_Contact, {QStringLiteral("AddContact"), QStringLiteral("EditContact"), QStringLiteral("DelContact")}),
                         QStringLiteral("联系人资料"));
    PageControl2->addTab(gridPage(Grid_Sch, {QStringLiteral("AddSchedule"), QStringLiteral("EditSchedule"), QStringLiteral("DelSchedule")}),
                         QStringLiteral("联系记录"));
    PageControl2->addTab(gridPage(Grid_Sale, {QStringLiteral("AddBill"), QStringLiteral("EditBill"), QStringLiteral("DelBill")}),
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
        for (const QString &name : commands) {
            auto *button = new QToolButton(page);
            button->setDefaultAction(m_main->command(name));
            button->setObjectName(QStringLiteral("Btn_") + name);
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
    auto action = [this](QMenu *menu, const char *name, const QString &caption, auto &&slot) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, slot] { guarded(this, slot); });
        return a;
    };
    auto command = [this](QMenu *menu, const char *name) {
        if (QAction *a = m_main->command(QString::fromLatin1(name)))
            menu->addAction(a);
    };
    auto saveColumns = [this](DataGrid *grid, const char *layout) {
        return [this, grid, layout] { GridColumns::SaveColumns(m_data, grid, QString::fromLatin1(layout), 1); };
    };

    PopupMenu_Cust = new QMenu(this);
    PopupMenu_Cust->setObjectName(QStringLiteral("PopupMenu_Cust"));
    command(PopupMenu_Cust, "AddCust");
    command(PopupMenu_Cust, "EditCust");
    command(PopupMenu_Cust, "DelCust");
    PopupMenu_Cust->addSeparator();
    command(PopupMenu_Cust, "SearchCust");
    // F5 belongs to the main window's reminders everywhere else; on the customer grid the
    // key press itself refreshes (see eventFilter), so the menu only names the key.
    action(PopupMenu_Cust, "N_RefreshCust", QStringLiteral("刷新\tF5"), [this] { refreshCustomers(); });
    PopupMenu_Cust->addSeparator();
    action(PopupMenu_Cust, "N_BatchEdit", QStringLiteral("批量修改"), [this] { m_main->runHandler(QStringLiteral("BatchEdit")); });
    action(PopupMenu_Cust, "N_ShowField", QStringLiteral("设置列显示"), [this] { m_main->runHandler(QStringLiteral("ShowField_Cust")); });
    action(PopupMenu_Cust, "N_SaveCust", QStringLiteral("保存列属性"), saveColumns(Grid_Cust, "Custom"));
    QMenu *exportMenu = PopupMenu_Cust->addMenu(QStringLiteral("导出数据"));
    exportMenu->setObjectName(QStringLiteral("N_Export"));
    command(exportMenu, "ExportEmail");
    command(exportMenu, "ExportCustCSV");

    PopupMenu_Tree = new QMenu(this);
    PopupMenu_Tree->setObjectName(QStringLiteral("PopupMenu_Tree"));
    action(PopupMenu_Tree, "N_RefreshTree", QStringLiteral("刷新"), [this] { refreshTree(); });
    command(PopupMenu_Tree, "Cust_Category");

    PopupMenu_Contact = new QMenu(this);
    PopupMenu_Contact->setObjectName(QStringLiteral("PopupMenu_Contact"));
    command(PopupMenu_Contact, "AddContact");
    command(PopupMenu_Contact, "EditContact");
    command(PopupMenu_Contact, "DelContact");
    PopupMenu_Contact->addSeparator();
    action(PopupMenu_Contact, "N_RefreshContact", QStringLiteral("刷新"), [this] {
        m_data->Qry_Contact->refresh();
        GridColumns::ApplyColumns(m_data, Grid_Contact, m_data->Qry_Contact, QStringLiteral("Contact"));
    });
    command(PopupMenu_Contact, "ExportContactCSV");

    PopupMenu_Sch = new QMenu(this);
    PopupMenu_Sch->setObjectName(QStringLiteral("PopupMenu_Sch"));
    command(PopupMenu_Sch, "AddSchedule");
    command(PopupMenu_Sch, "EditSchedule");
    command(PopupMenu_Sch, "DelSchedule");
    PopupMenu_Sch->addSeparator();
    action(PopupMenu_Sch, "N_RefreshSch", QStringLiteral("刷新"), [this] {
        m_data->Qry_Schedule->refresh();
        GridColumns::ApplyColumns(m_data, Grid_Sch, m_data->Qry_Schedule, QStringLiteral("Schedule"));
    });
    action(PopupMenu_Sch, "N_SaveSch", QStringLiteral("保存列属性"), saveColumns(Grid_Sch, "Schedule"));

    PopupMenu_Sale = new QMenu(this);
    PopupMenu_Sale->setObjectName(QStringLiteral("PopupMenu_Sale"));
    command(PopupMenu_Sale, "AddBill");
    command(PopupMenu_Sale, "EditBill");
    command(PopupMenu_Sale, "DelBill");
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
    connect(Grid_Cust, &QAbstractItemView::doubleClicked, this, [this] { m_main->runCommand(QStringLiteral("EditCust")); });
    connect(Grid_Sch, &QAbstractItemView::doubleClicked, this, [this] { m_main->runCommand(QStringLiteral("EditSchedule")); });
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
        const QString command = watched == Grid_Cust ? QStringLiteral("DelCust")
                              : watched == Grid_Sch  ? QStringLiteral("DelSchedule")
                              : watched == Grid_Sale ? QStringLiteral("DelBill") : QString();
        if (!command.isEmpty()) {
            m_main->runCommand(command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString TFrm_Custom::scoped(const QString &sql) const
{
    if (m_main->right(8))
        return sql;
    return sql + QStringLiteral(" and F_User=") + SqlText::quoted(m_main->OperatorName);
}

void TFrm_Custom::openFirstList()
{
    Edit_Key->clear();
    const bool all = m_main->right(8);
    const QString own = SqlText::quoted(m_main->OperatorName);
    WaitCursor wait;
    loadCustomers(all ? QStringLiteral("Select top 100 * from Custom")
                      : QStringLiteral("Select top 100 * from Custom where F_User=") + own);
    TFrm_Data::RunQuery(m_data->Qry_Contact, all ? QStringLiteral("Select * From Contact where CustCode=:CustCode")
        : QStringLiteral("Select * From Contact where CustCode=:CustCode and F_User=") + own);
    TFrm_Data::RunQuery(m_data->Qry_Schedule, all ? QStringLiteral("Select * From T_Schedule where CustCode=:CustCode")
        : QStringLiteral("Select * From T_Schedule where CustCode=:CustCode and F_User=") + own);
    GridColumns::ApplyColumns(m_data, Grid_Cust, m_data->Qry_Cust, QStringLiteral("Custom"));
    GridColumns::ApplyColumns(m_data, Grid_Contact, m_data->Qry_Contact, QStringLiteral("Contact"));
    GridColumns::ApplyColumns(m_data, Grid_Sch, m_data->Qry_Schedule, QStringLiteral("Schedule"));
    refreshTree();
    m_target = Target::Custom;
    Combo_Type->setCurrentIndex(2);
}

void TFrm_Custom::showCount()
{
    m_main->setStatusPanel(1, QStringLiteral("当前共有 ") + QString::number(m_data->Qry_Cust->recordCount())
                                  + QStringLiteral(" 条客户记录"));
}

void TFrm_Custom::loadCustomers(const QString &sql)
{
    TFrm_Data::RunQuery(m_data->Qry_Cust, sql);
    showCount();
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
    GridColumns::ApplyColumns(m_data, Grid_Cust, m_data->Qry_Cust, QStringLiteral("Custom"));
}

void TFrm_Custom::categoryClicked(QTreeWidgetItem *item)
{
    if (!item || TreeView1->topLevelItemCount() == 0)
        return;
    guarded(this, [this, item] {
        WaitCursor wait;
        if (!item->parent()) {
            Customers::openList(*m_data->Qry_Cust, m_main->scope());
            showCount();
        } else {
            const QString code = CategoryCode::nodeCode(item->text(0));
            loadCustomers(scoped(QStringLiteral("Select * from custom where category like '")
                                 + SqlText::escaped(code) + QStringLiteral("%'")));
        }
        GridColumns::ApplyColumns(m_data, Grid_Cust, m_data->Qry_Cust, QStringLiteral("Custom"));
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
        const QString pattern = QStringLiteral("%") + SqlText::escaped(Edit_Key->text()) + QStringLiteral("%");
        const QString layout = m_target == Target::Contact ? QStringLiteral("Contact") : QStringLiteral("Custom");
        Dataset *temp = m_data->Qry_Temp;
        TFrm_Data::RunQuery(temp, QStringLiteral("select * from T_FieldShow where tablename='") + layout
                                      + QStringLiteral("' and Name=") + SqlText::quoted(Combo_Type->currentText()));
        if (temp->isEmpty())
            throw DbError(QStringLiteral("列表\"%1\"中没有名为\"%2\"的列,无法查询。").arg(layout, Combo_Type->currentText()));
        const QString column = temp->text(QStringLiteral("Field"));
        if (m_target == Target::Custom) {
            loadCustomers(scoped(QStringLiteral("Select * from custom where ") + column + QStringLiteral(" like '")
                                 + pattern + QStringLiteral("'")));
        } else {
            TFrm_Data::RunQuery(temp, QStringLiteral("select CustCode from Contact where ") + column
                                          + QStringLiteral(" like '") + pattern + QStringLiteral("' group by CustCode"));
            QStringList codes;
            for (int row = 0; row < temp->recordCount(); ++row)
                if (!temp->value(row, 0).isNull())
                    codes.append(QString::number(temp->value(row, 0).toLongLong()));
            if (codes.isEmpty())
                loadCustomers(QStringLiteral("select * from Custom where CustID>0 and CustID<0"));
            else
                loadCustomers(scoped(QStringLiteral("select * from Custom where CustCode in (") + codes.join(QLatin1Char(','))
                                     + QStringLiteral(")")));
        }
        GridColumns::ApplyColumns(m_data, Grid_Cust, m_data->Qry_Cust, QStringLiteral("Custom"));
        showCount();
    });
    Btn_S_Cust->setEnabled(true);
}

void TFrm_Custom::pageTurned(int index)
{
    guarded(this, [this, index] {
        if (index == 2) {
            TFrm_Data::RunQuery(m_data->Qry_Bill, QStringLiteral("select * from T_Bill where CustCode=:CustCode"));
            GridColumns::ApplyColumns(m_data, Grid_Sale, m_data->Qry_Bill, QStringLiteral("Bill"));
        } else if (index == 3) {
            TFrm_Data::RunQuery(m_data->Qry_Detail, QStringLiteral("select * from S_BillDetail where CustCode=:CustCode"));
            GridColumns::ApplyColumns(m_data, Grid_Detail, m_data->Qry_Detail, QStringLiteral("S_SaleDetail"));
        }
    });
}

QList<int> TFrm_Custom::selectedRows() const
{
    return Grid_Cust->selectedRows();
}
