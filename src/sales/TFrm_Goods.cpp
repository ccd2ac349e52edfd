#include "TFrm_Goods.h"
#include "ui_TFrm_Goods.h"
#include "TFrm_S_Goods.h"
#include "data/TFrm_Data.h"
#include "main/CategoryTree.h"
#include "main/GridColumns.h"
#include "main/GridExport.h"
#include "printing/GridPrint.h"
#include "store/queries/Goods.h"
#include "ui/Commands.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"
#include "store/Dataset.h"

#include <QAction>
#include <QMenu>
#include <QStyle>

namespace {
const QString Layout = QStringLiteral("Goods");

// The category code of a node: its text before the first "-".
QString nodeCode(const QTreeWidgetItem *node)
{
    const QString text = node->text(0);
    return text.left(text.indexOf(QLatin1Char('-')));
}
} // namespace

QPointer<TFrm_Goods> TFrm_Goods::s_open;

TFrm_Goods::TFrm_Goods(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Goods>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    ui->Splitter1->setSizes({220, 740});
    ui->DBGridEh1->setReadOnly(true);
    ui->DBGridEh1->setDataset(m_data->Qry_Goods);
    ui->Btn_Add->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->Btn_Search->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));

    // The record buttons run the session's commands and follow their enabled state.
    const auto bindCommand = [this](QPushButton *button, const char *name) {
        QAction *command = m_session->command(QString::fromLatin1(name));
        if (!command)
            return;
        button->setEnabled(command->isEnabled());
        connect(command, &QAction::changed, button, [button, command] { button->setEnabled(command->isEnabled()); });
        connect(button, &QPushButton::clicked, this, [this, name] { m_session->runCommand(QString::fromLatin1(name)); });
    };
    bindCommand(ui->Btn_Add, Cmd::AddGoods);
    bindCommand(ui->Btn_Edit, Cmd::EditGoods);
    bindCommand(ui->Btn_Del, Cmd::DelGoods);
    connect(ui->Btn_Search, &QPushButton::clicked, this, &TFrm_Goods::search);
    connect(ui->Btn_Print, &QPushButton::clicked, this, &TFrm_Goods::print);
    connect(ui->Btn_Excel, &QPushButton::clicked, this, &TFrm_Goods::exportToSpreadsheet);

    m_treeMenu = new QMenu(this);
    m_treeMenu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *refresh = m_treeMenu->addAction(QStringLiteral("刷新"), this, &TFrm_Goods::refreshTree);
    refresh->setObjectName(QStringLiteral("N_Refresh"));
    if (QAction *categories = m_session->command(QString::fromLatin1(Cmd::Goods_Category)))
        m_treeMenu->addAction(categories);
    connect(ui->TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_treeMenu->popup(ui->TreeView1->viewport()->mapToGlobal(pos));
    });
    connect(ui->TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *node) { showNode(node); });
    // The keyboard reaches the categories too: Enter on a node lists it.
    connect(ui->TreeView1, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *node) { showNode(node); });

    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("PopupMenu2"));
    for (const char *name : {Cmd::AddGoods, Cmd::EditGoods, Cmd::DelGoods})
        if (QAction *command = m_session->command(QString::fromLatin1(name)))
            m_gridMenu->addAction(command);
    connect(ui->DBGridEh1, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_gridMenu->popup(ui->DBGridEh1->viewport()->mapToGlobal(pos));
    });
    connect(ui->DBGridEh1, &QAbstractItemView::doubleClicked, this,
            [this] { m_session->runCommand(QString::fromLatin1(Cmd::EditGoods)); });
    connect(ui->DBGridEh1, &DataGrid::titleClicked, this, [this] {
        guarded(this, [this] { GridColumns::ApplySort(ui->DBGridEh1, m_data->Qry_Goods); });
    });

    // Goods added or deleted while the list is open are counted at once.
    const auto count = [this] {
        ui->StatusBar1->showMessage(QStringLiteral("当前共有 %1 条商品记录").arg(m_data->Qry_Goods->recordCount()));
    };
    connect(m_data->Qry_Goods, &Dataset::rowInserted, this, count);
    connect(m_data->Qry_Goods, &Dataset::rowRemoved, this, count);

    s_open = this;
    guarded(this, [this] {
        WaitCursor wait;
        Goods::openAll(*m_data->Qry_Goods);
        listReloaded();
        refreshTree();
    });
}

TFrm_Goods::~TFrm_Goods() = default;

QString TFrm_Goods::rememberedCategory()
{
    return s_open ? s_open->m_category : QString();
}

void TFrm_Goods::listReloaded()
{
    ui->StatusBar1->showMessage(QStringLiteral("当前共有 %1 条商品记录").arg(m_data->Qry_Goods->recordCount()));
    GridColumns::ApplyColumns(m_data, ui->DBGridEh1, m_data->Qry_Goods, Layout);
}

void TFrm_Goods::refreshTree()
{
    guarded(this, [this] {
        Dataset categories(m_data->connection());
        FillCategoryTree(ui->TreeView1, &categories, QStringLiteral("Goods_Category"), QStringLiteral("商品分类"));
        ui->TreeView1->setCurrentItem(ui->TreeView1->topLevelItem(0));
    });
}

void TFrm_Goods::showNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    guarded(this, [&] {
        WaitCursor wait;
        if (node->parent()) {
            m_category = nodeCode(node);
            Goods::openCategory(*m_data->Qry_Goods, m_category);
        } else {
            Goods::openAll(*m_data->Qry_Goods);
        }
        listReloaded();
    });
}

void TFrm_Goods::search()
{
    TFrm_S_Goods dialog(m_session, this);
    if (dialog.exec() == QDialog::Accepted)
        listReloaded();
}

void TFrm_Goods::print()
{
    guarded(this, [this] { GridPrint::preview(this, ui->DBGridEh1, QStringLiteral("货品列表")); });
}

void TFrm_Goods::exportToSpreadsheet()
{
    GridExport::exportGrid(this, ui->DBGridEh1, QStringLiteral("货品列表"));
}

void TFrm_Goods::done(int result)
{
    if (!m_saved) {
        m_saved = true;
        guarded(this, [this] { GridColumns::SaveColumns(m_data, ui->DBGridEh1, Layout, 0); });
    }
    QDialog::done(result);
}
