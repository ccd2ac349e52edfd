#include "TFrm_Field.h"
#include "ui_TFrm_Field.h"
#include "data/TFrm_Data.h"
#include "store/queries/ColumnChoice.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QStyle>

namespace {

QStringList titlesOf(const QListWidget *list)
{
    QStringList titles;
    for (int i = 0; i < list->count(); ++i)
        titles.append(list->item(i)->text());
    return titles;
}

} // namespace

TFrm_Field::TFrm_Field(TFrm_Data *dataModule, const QString &layout, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Field>()), m_data(dataModule), m_layout(layout)
{
    ui->setupUi(this);
    ui->Btn_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    ui->Btn_exit->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    connect(ui->SP_right, &QToolButton::clicked, this, &TFrm_Field::moveRight);
    connect(ui->SP_allright, &QToolButton::clicked, this, &TFrm_Field::moveAllRight);
    connect(ui->SP_left, &QToolButton::clicked, this, &TFrm_Field::moveLeft);
    connect(ui->SP_allleft, &QToolButton::clicked, this, &TFrm_Field::moveAllLeft);
    connect(ui->SrcList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        ui->SrcList->setCurrentItem(item);
        moveRight();
    });
    connect(ui->DstList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        ui->DstList->setCurrentItem(item);
        moveLeft();
    });
    connect(ui->Btn_ok, &QPushButton::clicked, this, [this] { guarded(this, [this] { store(); }); });
    connect(ui->Btn_exit, &QPushButton::clicked, this, &QDialog::reject);

    guarded(this, [this] { load(); });
    updateButtons();
}

TFrm_Field::~TFrm_Field() = default;

void TFrm_Field::load()
{
    ui->SrcList->addItems(ColumnChoice::titles(m_data->connection(), m_layout, false));
    ui->DstList->addItems(ColumnChoice::titles(m_data->connection(), m_layout, true));
}

QStringList TFrm_Field::hiddenTitles() const
{
    return titlesOf(ui->SrcList);
}

QStringList TFrm_Field::shownTitles() const
{
    return titlesOf(ui->DstList);
}

void TFrm_Field::updateButtons()
{
    ui->SP_right->setEnabled(ui->SrcList->count() > 0);
    ui->SP_allright->setEnabled(ui->SrcList->count() > 0);
    ui->SP_left->setEnabled(ui->DstList->count() > 0);
    ui->SP_allleft->setEnabled(ui->DstList->count() > 0);
}

void TFrm_Field::moveSelected(QListWidget *from, QListWidget *to)
{
    const QList<QListWidgetItem *> selected = from->selectedItems();
    if (!selected.isEmpty())
        to->addItem(from->takeItem(from->row(selected.first())));
    if (from->count() > 0)
        from->setCurrentRow(0);
    updateButtons();
}

void TFrm_Field::moveAll(QListWidget *from, QListWidget *to)
{
    while (from->count() > 0)
        to->addItem(from->takeItem(0));
    updateButtons();
}

void TFrm_Field::moveRight() { moveSelected(ui->SrcList, ui->DstList); }
void TFrm_Field::moveAllRight() { moveAll(ui->SrcList, ui->DstList); }
void TFrm_Field::moveLeft() { moveSelected(ui->DstList, ui->SrcList); }
void TFrm_Field::moveAllLeft() { moveAll(ui->DstList, ui->SrcList); }

void TFrm_Field::store()
{
    // One statement per title; a failing one stops the rest, those already run stay.
    for (const QString &title : hiddenTitles())
        ColumnChoice::setShown(m_data->connection(), m_layout, title.trimmed(), false);
    for (const QString &title : shownTitles())
        ColumnChoice::setShown(m_data->connection(), m_layout, title.trimmed(), true);
    Messages::plain(this, QStringLiteral("修改完成！"));
    accept();
}
