#include "TFrm_SelectGoods.h"
#include "ui_TFrm_SelectGoods.h"
#include "data/TFrm_Data.h"
#include "main/CategoryTree.h"
#include "main/GridColumns.h"
#include "store/queries/Bills.h"
#include "store/queries/Goods.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QStyle>

namespace {
const QString OwnLayout = QStringLiteral("SelectGoods");
// Typing runs the search once the keys rest this long, so that a fast typist never
// waits for the search of a text already typed past.
constexpr int TypingPauseMs = 150;
} // namespace

TFrm_SelectGoods::TFrm_SelectGoods(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_SelectGoods>()), m_session(session), m_data(session->data()),
      m_goods(std::make_unique<Dataset>(session->data()->connection()))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    ui->Splitter1->setSizes({200, 660});
    m_goods->setObjectName(QStringLiteral("Qry_Goods"));
    // Rows taken from the list are only taken from the list: nothing is ever written back.
    m_goods->setCachedUpdates(true);
    ui->DBGridEh1->setReadOnly(true);
    ui->DBGridEh1->setDataset(m_goods.get());
    ui->Btn_Select->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    ui->Btn_Close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    m_typingPause.setSingleShot(true);
    m_typingPause.setInterval(TypingPauseMs);
    connect(&m_typingPause, &QTimer::timeout, this, &TFrm_SelectGoods::search);
    // The code and the name search while typing; the 规格 input joins in with its text.
    for (QLineEdit *input : {ui->Edit_Code, ui->Edit_Name})
        connect(input, &QLineEdit::textEdited, &m_typingPause, qOverload<>(&QTimer::start));
    connect(ui->Edit_Unit, &QLineEdit::returnPressed, this, &TFrm_SelectGoods::search);
    connect(ui->Btn_Select, &QPushButton::clicked, this, &TFrm_SelectGoods::choose);
    connect(ui->Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->DBGridEh1, &QAbstractItemView::doubleClicked, this, &TFrm_SelectGoods::choose);
    connect(ui->TreeView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *node) { showNode(node); });
    connect(ui->TreeView1, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *node) { showNode(node); });
    connect(ui->DBGridEh1, &DataGrid::titleClicked, this, [this] {
        guarded(this, [this] { GridColumns::ApplySort(ui->DBGridEh1, m_goods.get()); });
    });

    guarded(this, [this] {
        WaitCursor wait;
        Goods::openAll(*m_goods);
        reloaded(OwnLayout);
        Dataset categories(m_data->connection());
        FillCategoryTree(ui->TreeView1, &categories, QStringLiteral("Goods_Category"), QStringLiteral("商品分类"));
    });
}

TFrm_SelectGoods::~TFrm_SelectGoods() = default;

void TFrm_SelectGoods::setBill(Dataset *lines, std::function<QString()> billNumber)
{
    m_lines = lines;
    m_billNumber = std::move(billNumber);
}

void TFrm_SelectGoods::reloaded(const QString &layout)
{
    ui->StatusBar1->showMessage(QStringLiteral("当前共有 %1 条商品记录").arg(m_goods->recordCount()));
    GridColumns::ApplyColumns(m_data, ui->DBGridEh1, m_goods.get(), layout);
}

void TFrm_SelectGoods::search()
{
    m_typingPause.stop();
    guarded(this, [this] {
        Goods::openSearch(*m_goods, {ui->Edit_Code->text(), ui->Edit_Name->text(), ui->Edit_Unit->text()},
                          Goods::SearchStyle::Picker);
        reloaded(OwnLayout);
    });
}

void TFrm_SelectGoods::showNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    m_typingPause.stop();
    guarded(this, [&] {
        WaitCursor wait;
        if (node->parent()) {
            const QString text = node->text(0);
            Goods::openCategory(*m_goods, text.left(text.indexOf(QLatin1Char('-'))));
            // A category is shown as the goods list shows it.
            reloaded(QStringLiteral("Goods"));
        } else {
            Goods::openAll(*m_goods);
            reloaded(OwnLayout);
        }
    });
}

void TFrm_SelectGoods::choose()
{
    if (m_typingPause.isActive())
        search(); // choose from the list of what has been typed
    const QString code = m_goods->text(QStringLiteral("GoodsCode"));
    if (m_mode == ForAnalysis) {
        m_chosenCode = code;
        accept();
        return;
    }
    if (!m_lines)
        return;
    if (m_goods->isEmpty()) {
        Messages::plain(this, QStringLiteral("没有货物！"));
        return;
    }
    guarded(this, [&] {
        const QString billNumber = m_billNumber ? m_billNumber() : QString();
        if (Bills::hasLine(m_data->connection(), billNumber, code)
            && Messages::box(this, code + QStringLiteral("已经添加，还要添加吗？"), QStringLiteral("询问"),
                             Msg::Icon::Information, Msg::Buttons::YesNo) != Msg::Answer::Yes)
            return;
        m_lines->append();
        try {
            m_lines->setValue(QStringLiteral("BillCode"), billNumber);
            m_lines->setValue(QStringLiteral("GoodsCode"), code);
            m_lines->setValue(QStringLiteral("GoodsName"), m_goods->value(QStringLiteral("GoodsName")));
            m_lines->setValue(QStringLiteral("GoodsUnit"), m_goods->value(QStringLiteral("GoodsUnit")));
            m_lines->setValue(QStringLiteral("Units"), m_goods->value(QStringLiteral("Units")));
            m_lines->setValue(QStringLiteral("SalePrice"), m_goods->value(QStringLiteral("SalePrice")));
            m_lines->setValue(QStringLiteral("Discount"), 1);
            m_lines->setValue(QStringLiteral("Number"), 0);
            m_lines->post();
        } catch (...) {
            m_lines->cancel();
            throw;
        }
        m_goods->remove();
        ui->StatusBar1->showMessage(QStringLiteral("已添加 %1，当前共有 %2 条商品记录").arg(code).arg(m_goods->recordCount()));
    });
}

void TFrm_SelectGoods::done(int result)
{
    if (!m_saved) {
        m_saved = true;
        guarded(this, [this] { GridColumns::SaveColumns(m_data, ui->DBGridEh1, OwnLayout, 0); });
    }
    QDialog::done(result);
}
