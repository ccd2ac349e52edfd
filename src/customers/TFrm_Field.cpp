#include "TFrm_Field.h"
#include "data/TFrm_Data.h"
#include "store/SqlText.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TFrm_Field::TFrm_Field(TFrm_Data *data, const QString &layout, QWidget *parent)
    : QDialog(parent), m_data(data), m_layout(layout)
{
    setObjectName(QStringLiteral("Frm_Field"));
    setWindowTitle(QStringLiteral("选择显示的字段"));

    auto list = [this](const char *name) {
        auto *l = new QListWidget(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setMinimumSize(180, 330);
        return l;
    };
    SrcList = list("SrcList");
    DstList = list("DstList");
    Label1 = new QLabel(QStringLiteral("未选择的字段"), this);
    Label1->setBuddy(SrcList);
    Label2 = new QLabel(QStringLiteral("已选择的字段"), this);
    Label2->setBuddy(DstList);

    auto move = [this](const char *name, const QString &caption, const QString &tip) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolTip(tip);
        b->setMinimumSize(44, 28);
        return b;
    };
    SP_right = move("SP_right", QStringLiteral(">"), QStringLiteral("显示所选字段"));
    SP_allright = move("SP_allright", QStringLiteral(">>"), QStringLiteral("显示全部字段"));
    SP_left = move("SP_left", QStringLiteral("<"), QStringLiteral("隐藏所选字段"));
    SP_allleft = move("SP_allleft", QStringLiteral("<<"), QStringLiteral("隐藏全部字段"));
    auto *moves = new QVBoxLayout;
    moves->addStretch();
    for (QToolButton *b : {SP_right, SP_allright, SP_left, SP_allleft})
        moves->addWidget(b);
    moves->addStretch();

    Btn_ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("确定(&Y)"), this);
    Btn_ok->setObjectName(QStringLiteral("Btn_ok"));
    Btn_ok->setDefault(true);
    Btn_exit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("取消(&C)"), this);
    Btn_exit->setObjectName(QStringLiteral("Btn_exit"));
    Btn_exit->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_ok);
    buttons->addWidget(Btn_exit);

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 2);
    grid->addWidget(SrcList, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(DstList, 1, 2);
    auto *layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(grid, 1);
    layoutBox->addLayout(buttons);

    connect(SP_right, &QToolButton::clicked, this, &TFrm_Field::moveRight);
    connect(SP_allright, &QToolButton::clicked, this, &TFrm_Field::moveAllRight);
    connect(SP_left, &QToolButton::clicked, this, &TFrm_Field::moveLeft);
    connect(SP_allleft, &QToolButton::clicked, this, &TFrm_Field::moveAllLeft);
    connect(SrcList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        SrcList->setCurrentItem(item);
        moveRight();
    });
    connect(DstList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        DstList->setCurrentItem(item);
        moveLeft();
    });
    connect(Btn_ok, &QPushButton::clicked, this, [this] { guarded(this, [this] { store(); }); });
    connect(Btn_exit, &QPushButton::clicked, this, &QDialog::reject);

    guarded(this, [this] { load(); });
    updateButtons();
}

TFrm_Field::~TFrm_Field() = default;

void TFrm_Field::load()
{
    Dataset *temp = m_data->Qry_Temp;
    for (auto [list, shown] : {std::pair{SrcList, 0}, std::pair{DstList, 1}}) {
        TFrm_Data::RunQuery(temp, QStringLiteral("select * from T_FieldShow where show=%1 and TableName=").arg(shown)
                                      + SqlText::quoted(m_layout));
        const int name = temp->checkedFieldIndex(QStringLiteral("Name"));
        for (int row = 0; row < temp->recordCount(); ++row)
            list->addItem(Dataset::displayText(temp->value(row, name)));
    }
}

QStringList TFrm_Field::hiddenTitles() const
{
    QStringList titles;
    for (int i = 0; i < SrcList->count(); ++i)
        titles.append(SrcList->item(i)->text());
    return titles;
}

QStringList TFrm_Field::shownTitles() const
{
    QStringList titles;
    for (int i = 0; i < DstList->count(); ++i)
        titles.append(DstList->item(i)->text());
    return titles;
}

void TFrm_Field::updateButtons()
{
    SP_right->setEnabled(SrcList->count() > 0);
    SP_allright->setEnabled(SrcList->count() > 0);
    SP_left->setEnabled(DstList->count() > 0);
    SP_allleft->setEnabled(DstList->count() > 0);
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

void TFrm_Field::moveRight() { moveSelected(SrcList, DstList); }
void TFrm_Field::moveAllRight() { moveAll(SrcList, DstList); }
void TFrm_Field::moveLeft() { moveSelected(DstList, SrcList); }
void TFrm_Field::moveAllLeft() { moveAll(DstList, SrcList); }

void TFrm_Field::store()
{
    // One statement per title; a failing one stops the rest, those already run stay.
    Dataset *temp = m_data->Qry_Temp;
    const QString where = QStringLiteral(" and TableName=") + SqlText::quoted(m_layout);
    for (const QString &title : hiddenTitles())
        TFrm_Data::RunSql(temp, QStringLiteral("update T_FieldShow set show=0 where name=")
                                    + SqlText::quoted(title.trimmed()) + where);
    for (const QString &title : shownTitles())
        TFrm_Data::RunSql(temp, QStringLiteral("update T_FieldShow set show=1 where name=")
                                    + SqlText::quoted(title.trimmed()) + where);
    Messages::plain(this, QStringLiteral("修改完成！"));
    accept();
}
