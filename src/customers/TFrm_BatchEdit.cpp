#include "TFrm_BatchEdit.h"
#include "ui_TFrm_BatchEdit.h"
#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Tree.h"
#include "store/queries/Customers.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QItemSelectionModel>
#include <QStyle>

TFrm_BatchEdit::TFrm_BatchEdit(TFrm_Data *dataModule, TFrm_Custom *browser, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_BatchEdit>()), m_data(dataModule), m_browser(browser)
{
    ui->setupUi(this);
    ui->lbl->setText(QStringLiteral("当前选中的记录数为: ") + QString::number(selectedRows().size()));
    ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui->Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    resize(width(), sizeHint().height());

    connect(ui->Btn_Category, &QToolButton::clicked, this, [this] { guarded(this, [this] { lookupCategory(); }); });
    connect(ui->Btn_OK, &QPushButton::clicked, this, [this] { guarded(this, [this] { apply(); }); });
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    ui->Edit_Category->clear();
}

TFrm_BatchEdit::~TFrm_BatchEdit() = default;

QList<int> TFrm_BatchEdit::selectedRows() const
{
    return m_browser ? m_browser->selectedRows() : QList<int>();
}

void TFrm_BatchEdit::lookupCategory()
{
    TFrm_Tree tree(m_data, this);
    tree.CategoryTable = QStringLiteral("Cust_Category");
    tree.RootCaption = QStringLiteral("客户分类");
    tree.SelectMode = TFrm_Tree::BatchEdit;
    tree.CurrentCode = ui->Edit_Category->text();
    tree.exec();
    if (tree.Selected)
        ui->Edit_Category->setText(tree.SelectedCode);
}

void TFrm_BatchEdit::apply()
{
    const QString category = ui->Edit_Category->text();
    if (category.isEmpty()) {
        Messages::box(this, QStringLiteral("客户类别不能为空!"), QStringLiteral("询问"), Msg::Icon::Information);
        ui->Edit_Category->setFocus();
        return;
    }
    Dataset *customers = m_data->Qry_Cust;
    if (!customers->isOpen())
        return;
    customers->waitForLoaded(); // every selected row is there
    const QList<int> rows = selectedRows();
    const int codeField = rows.isEmpty() ? -1 : customers->checkedFieldIndex(QStringLiteral("CustCode"));

    // The codes are read by row position, so the grid's selection survives; at the end the
    // last row processed becomes the current customer, also when an update fails.
    int processed = -1;
    auto finish = [this, customers, &processed] {
        if (processed < 0 || processed >= customers->recordCount())
            return;
        DataGrid *grid = m_browser ? m_browser->findChild<DataGrid *>(QStringLiteral("Grid_Cust")) : nullptr;
        const QItemSelection selection = grid && grid->selectionModel() ? grid->selectionModel()->selection()
                                                                        : QItemSelection();
        customers->setCurrentRow(processed);
        if (grid && grid->selectionModel())
            grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    };
    try {
        for (int row : rows) {
            processed = row;
            const QVariant code = customers->value(row, codeField);
            if (code.isNull())
                continue; // no code, nothing to match the statement against
            Customers::setCategory(m_data->connection(), code, category);
        }
    } catch (...) {
        finish();
        // The customers changed before the failure show their new category.
        try {
            if (m_browser && processed > 0)
                m_browser->reloadCustomers();
        } catch (...) {
        }
        throw;
    }
    finish();
    // The grid shows the categories as they are stored now, the same customers selected.
    if (m_browser && !rows.isEmpty())
        m_browser->reloadCustomers();
    Messages::box(this, QStringLiteral("批量修改成功"), QStringLiteral("成功"), Msg::Icon::Information);
}
