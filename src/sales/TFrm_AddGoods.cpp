#include "TFrm_AddGoods.h"
#include "ui_TFrm_AddGoods.h"
#include "TFrm_Goods.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Tree.h"
#include "store/Transaction.h"
#include "store/queries/Goods.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QAction>
#include <QLocale>
#include <QStyle>
#include <cmath>

namespace {
const QString Warning = QStringLiteral("警告");
} // namespace

TFrm_AddGoods::TFrm_AddGoods(Session *session, QWidget *parent)
    : RecordEditor(parent), ui(std::make_unique<Ui::TFrm_AddGoods>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    m_categoryButton = ui->Edit_Category->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                                    QLineEdit::TrailingPosition);
    m_categoryButton->setObjectName(QStringLiteral("Btn_Category"));
    m_categoryButton->setToolTip(QStringLiteral("选择商品类别"));
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->Bit_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    setNavigator(ui->DBNavigator1);

    connect(m_categoryButton, &QAction::triggered, this, &TFrm_AddGoods::chooseCategory);
    connect(ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddGoods::save);
    connect(ui->Bit_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_AddGoods::~TFrm_AddGoods() = default;

void TFrm_AddGoods::showSteps()
{
    ui->Combo_Units->clear();
    ui->Combo_Units->addItems(Goods::units(m_data->connection()));
    // Opened from the main window's goods menu the goods list may never have been
    // shown: the editor then works on every goods.
    if (!m_data->Qry_Goods->isOpen())
        Goods::openAll(*m_data->Qry_Goods);

    if (isAdding()) {
        setWindowTitle(QStringLiteral("添加商品"));
        ui->Btn_OK->setText(QStringLiteral("新增(&A)"));
        ui->DBNavigator1->setDataset(nullptr);
        ui->DBNavigator1->setEnabled(false);
        clearInputs();
        m_categoryCode = TFrm_Goods::rememberedCategory();
        ui->Edit_Category->setText(Goods::categoryName(m_data->connection(), m_categoryCode));
    } else {
        setWindowTitle(QStringLiteral("编辑商品"));
        ui->Btn_OK->setText(QStringLiteral("保存(&S)"));
        ui->DBNavigator1->setDataset(m_data->Qry_Goods);
        if (m_data->Qry_Goods->isEmpty())
            clearInputs();
        else
            loadRecord();
    }
    ui->Edit_GoodsCode->setFocus();
}

void TFrm_AddGoods::clearInputs()
{
    for (QLineEdit *input : {ui->Edit_GoodsCode, ui->Edit_GoodsName, ui->Edit_GoodsUnit})
        input->clear();
    ui->Combo_Units->setCurrentIndex(-1);
    ui->Combo_Units->setEditText(QString());
    ui->Memo1->clear();
    for (QLineEdit *price : {ui->Edit_InPrice, ui->Edit_SalePrice, ui->Edit_CostPrice})
        price->setText(QStringLiteral("0"));
}

void TFrm_AddGoods::loadRecord()
{
    guarded(this, [this] {
        const Dataset *goods = m_data->Qry_Goods;
        m_categoryCode = goods->text(QStringLiteral("Category"));
        ui->Edit_Category->setText(Goods::categoryName(m_data->connection(), m_categoryCode));
        m_oldCode = goods->text(QStringLiteral("GoodsCode"));
        ui->Edit_GoodsCode->setText(m_oldCode);
        ui->Edit_GoodsName->setText(goods->text(QStringLiteral("GoodsName")));
        ui->Edit_GoodsUnit->setText(goods->text(QStringLiteral("GoodsUnit")));
        ui->Edit_InPrice->setText(goods->text(QStringLiteral("InPrice")));
        ui->Edit_SalePrice->setText(goods->text(QStringLiteral("SalePrice")));
        ui->Edit_CostPrice->setText(goods->text(QStringLiteral("CostPrice")));
        ui->Combo_Units->setEditText(goods->text(QStringLiteral("Units")));
        ui->Memo1->setPlainText(goods->text(QStringLiteral("Memo")));
    });
}

void TFrm_AddGoods::chooseCategory()
{
    guarded(this, [this] {
        TFrm_Tree tree(m_data, this);
        tree.CategoryTable = QStringLiteral("Goods_Category");
        tree.RootCaption = QStringLiteral("商品分类");
        tree.SelectMode = TFrm_Tree::GoodsEditor;
        tree.exec();
        if (tree.Selected) {
            m_categoryCode = tree.SelectedCode.trimmed();
            ui->Edit_Category->setText(tree.SelectedName);
        }
    });
}

std::optional<TFrm_AddGoods::Prices> TFrm_AddGoods::readPrices()
{
    // A price is a decimal number with a point, as the grid shows it; an empty input is 0.
    const auto read = [this](QLineEdit *input, double &price) {
        const QString text = input->text().trimmed();
        bool ok = true;
        price = text.isEmpty() ? 0.0 : QLocale::c().toDouble(text, &ok);
        if (ok && std::isfinite(price))
            return true;
        return false;
    };
    Prices prices;
    const struct { QLineEdit *input; double *price; const char *name; } inputs[] = {
        {ui->Edit_InPrice, &prices.in, "采购价"},
        {ui->Edit_SalePrice, &prices.sale, "销售定价"},
        {ui->Edit_CostPrice, &prices.cost, "成本价"},
    };
    for (const auto &input : inputs) {
        if (!read(input.input, *input.price)) {
            Messages::box(this, QStringLiteral("%1“%2”不是有效的数字，请输入数字，例如 12.5!")
                                    .arg(QString::fromUtf8(input.name), input.input->text()),
                          Warning, Msg::Icon::Information);
            input.input->setFocus();
            input.input->selectAll();
            return std::nullopt;
        }
    }
    return prices;
}

void TFrm_AddGoods::save()
{
    const QString code = ui->Edit_GoodsCode->text();
    if (code.isEmpty()) {
        Messages::box(this, QStringLiteral("商品编码不能为空!"), Warning, Msg::Icon::Information);
        ui->Edit_GoodsCode->setFocus();
        return;
    }
    if (ui->Edit_GoodsName->text().isEmpty()) {
        Messages::box(this, QStringLiteral("商品名称不能为空!"), Warning, Msg::Icon::Information);
        ui->Edit_GoodsName->setFocus();
        return;
    }
    const std::optional<Prices> prices = readPrices();
    if (!prices)
        return;
    guarded(this, [&] {
        if (isAdding())
            addGoods(*prices);
        else
            changeGoods(*prices);
    });
}

bool TFrm_AddGoods::refuseDuplicate(const QString &code, const QString &message)
{
    if (!Goods::codeExists(m_data->connection(), code))
        return false;
    Messages::box(this, message, Warning, Msg::Icon::Information);
    ui->Edit_GoodsCode->setFocus();
    return true;
}

// Writes the inputs into the row being appended or edited and posts it; a refused row
// is given up, so that the list shows what is stored.
void TFrm_AddGoods::writeRow(const Prices &prices)
{
    Dataset *goods = m_data->Qry_Goods;
    try {
        writeValues(prices);
    } catch (...) {
        goods->cancel();
        throw;
    }
}

void TFrm_AddGoods::writeValues(const Prices &prices)
{
    Dataset *goods = m_data->Qry_Goods;
    goods->setValue(QStringLiteral("Category"), m_categoryCode);
    goods->setValue(QStringLiteral("GoodsCode"), ui->Edit_GoodsCode->text());
    goods->setValue(QStringLiteral("GoodsName"), ui->Edit_GoodsName->text());
    goods->setValue(QStringLiteral("GoodsUnit"), ui->Edit_GoodsUnit->text());
    goods->setValue(QStringLiteral("InPrice"), prices.in);
    goods->setValue(QStringLiteral("SalePrice"), prices.sale);
    goods->setValue(QStringLiteral("CostPrice"), prices.cost);
    goods->setValue(QStringLiteral("Units"), ui->Combo_Units->currentText());
    goods->setValue(QStringLiteral("Memo"), ui->Memo1->toPlainText());
    goods->post();
}

void TFrm_AddGoods::addGoods(const Prices &prices)
{
    if (refuseDuplicate(ui->Edit_GoodsCode->text(), QStringLiteral("商品编码有重复，请您换一个产品编码!")))
        return;
    Dataset *goods = m_data->Qry_Goods;
    goods->append();
    writeRow(prices);
    clearInputs(); // the category stays for the next goods
    ui->Edit_GoodsCode->setFocus();
}

void TFrm_AddGoods::changeGoods(const Prices &prices)
{
    Dataset *goods = m_data->Qry_Goods;
    const QString code = ui->Edit_GoodsCode->text();
    if (goods->isEmpty() || goods->currentRow() < 0)
        return;
    if (code == m_oldCode) {
        goods->edit();
        writeRow(prices);
        accept();
        return;
    }
    if (refuseDuplicate(code, QStringLiteral("货品编码有重复，请您换一个货品编码!")))
        return;
    bool posted = false;
    const bool saved = tryInTransaction(*m_data->connection(), [&] {
        goods->edit();
        writeRow(prices);
        posted = true;
        Goods::renameInBillLines(m_data->connection(), m_oldCode, code);
    });
    if (saved) {
        accept();
        return;
    }
    // The row shows what is stored again; the inputs keep what was typed for another try.
    if (posted)
        goods->refresh();
    Messages::box(this, QStringLiteral("保存数据失败!"), QStringLiteral("提醒"), Msg::Icon::Information);
}
