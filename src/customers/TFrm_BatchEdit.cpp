#include "TFrm_BatchEdit.h"
#include "TFrm_Custom.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Tree.h"
#include "store/SqlText.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TFrm_BatchEdit::TFrm_BatchEdit(TFrm_Data *data, TFrm_Custom *browser, QWidget *parent)
    : QDialog(parent), m_data(data), m_browser(browser)
{
    setObjectName(QStringLiteral("Frm_BatchEdit"));
    setWindowTitle(QStringLiteral("批量修改客户类别"));

    GroupBox1 = new QGroupBox(QStringLiteral(" 批量修改类别 "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    lbl = new QLabel(QStringLiteral("当前选中的记录数为: ") + QString::number(selectedRows().size()), GroupBox1);
    lbl->setObjectName(QStringLiteral("lbl"));
    Edit_Category = new QLineEdit(GroupBox1);
    Edit_Category->setObjectName(QStringLiteral("Edit_Category"));
    Edit_Category->setMinimumWidth(200);
    Btn_Category = new QToolButton(GroupBox1);
    Btn_Category->setObjectName(QStringLiteral("Btn_Category"));
    Btn_Category->setText(QStringLiteral("..."));
    Btn_Category->setToolTip(QStringLiteral("选择客户类别"));
    Label1 = new QLabel(QStringLiteral("类别"), GroupBox1);
    Label1->setBuddy(Edit_Category);

    auto *grid = new QGridLayout(GroupBox1);
    grid->addWidget(lbl, 0, 0, 1, 3);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(Edit_Category, 1, 1);
    grid->addWidget(Btn_Category, 1, 2);
    grid->setColumnStretch(1, 1);

    Btn_OK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("确定(&Y)"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    Btn_Exit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("退出(&Q)"), this);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));
    Btn_Exit->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Exit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    resize(400, sizeHint().height());

    connect(Btn_Category, &QToolButton::clicked, this, [this] { guarded(this, [this] { lookupCategory(); }); });
    connect(Btn_OK, &QPushButton::clicked, this, [this] { guarded(this, [this] { apply(); }); });
    connect(Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    Edit_Category->clear();
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
    tree.exec();
    if (tree.Selected)
        Edit_Category->setText(tree.SelectedCode);
}

void TFrm_BatchEdit::apply()
{
    if (Edit_Category->text().isEmpty()) {
        Messages::box(this, QStringLiteral("客户类别不能为空!"), QStringLiteral("询问"), Msg::Icon::Information);
        Edit_Category->setFocus();
        return;
    }
    Dataset *customers = m_data->Qry_Cust;
    if (!customers->isOpen())
        return;
    const QList<int> rows = selectedRows();
    const int codeField = rows.isEmpty() ? -1 : customers->checkedFieldIndex(QStringLiteral("CustCode"));
    const QString set = QStringLiteral("Update Custom set Category=") + SqlText::quoted(Edit_Category->text());

    // The codes are read by row position, so the grid's selection survives; at the end the
    // last row processed becomes the current customer, also when an update fails.
    int processed = -1;
    auto finish = [this, customers, &processed] {
        if (processed < 0 || processed >= customers->recordCount())
            return;
        DataGrid *grid = m_browser ? m_browser->Grid_Cust : nullptr;
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
            TFrm_Data::RunSql(m_data->Qry_Temp, set + QStringLiteral(" where CustCode=") + QString::number(code.toLongLong()));
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    Messages::box(this, QStringLiteral("批量修改成功"), QStringLiteral("成功"), Msg::Icon::Information);
}
