#include "TFrm_Daily.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "store/queries/Diary.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolBar>
#include <QVBoxLayout>

TFrm_Daily::TFrm_Daily(TFrm_Main *mainWindow) : QWidget(nullptr), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_Daily"));
    setWindowTitle(QStringLiteral("历史记录"));

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    Label1 = new QLabel(QStringLiteral("请输入关键字"), ToolBar1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit_Key = new QLineEdit(ToolBar1);
    Edit_Key->setObjectName(QStringLiteral("Edit_Key"));
    Edit_Key->setMinimumWidth(200);
    Label1->setBuddy(Edit_Key);
    Label1->setContentsMargins(4, 0, 6, 0);
    Btn_Search = new QPushButton(QStringLiteral("搜索"), ToolBar1);
    Btn_Search->setObjectName(QStringLiteral("Btn_Search"));
    ToolBar1->addWidget(Label1);
    ToolBar1->addWidget(Edit_Key);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(Btn_Search);

    DBGrid1 = new DataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setReadOnly(true);
    DBGrid1->setDataset(m_data->Qry_Daily);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto entry = [this](const char *name, const QString &caption, const QString &command) {
        QAction *action = PopupMenu1->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, command] { m_main->runCommand(command); });
        return action;
    };
    entry("N_AddDaily", QStringLiteral("新建日记"), QStringLiteral("AddDaily"));
    entry("N_EditDaily", QStringLiteral("编辑日记"), QStringLiteral("EditDaily"));
    entry("N_DelDaily", QStringLiteral("删除日记"), QStringLiteral("DelDaily"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(DBGrid1, 1);
    resize(720, 420);

    connect(Btn_Search, &QPushButton::clicked, this, &TFrm_Daily::search);
    connect(Edit_Key, &QLineEdit::returnPressed, this, &TFrm_Daily::search);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { m_main->runCommand(QStringLiteral("EditDaily")); });

    Edit_Key->clear();
    guarded(this, [this] { loadOwnEntries(); });
}

TFrm_Daily::~TFrm_Daily() = default;

void TFrm_Daily::loadOwnEntries()
{
    DBGrid1->clearColumns(); // every column of the statement, titled by its name
    Diary::openOwn(*m_data->Qry_Daily, m_main->OperatorName);
}

void TFrm_Daily::search()
{
    if (!Btn_Search->isEnabled())
        return;
    // The button and the cursor are back before a failure is reported.
    guarded(this, [this] {
        Btn_Search->setEnabled(false);
        const auto enableAgain = qScopeGuard([this] { Btn_Search->setEnabled(true); });
        WaitCursor wait;
        Diary::openSearch(*m_data->Qry_Daily, Edit_Key->text());
    });
}
