#include "TFrm_Daily.h"
#include "ui_TFrm_Daily.h"
#include "data/TFrm_Data.h"
#include "store/queries/Diary.h"
#include "ui/Commands.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QMenu>
#include <QScopeGuard>

TFrm_Daily::TFrm_Daily(Session *session)
    : QWidget(nullptr), ui(std::make_unique<Ui::TFrm_Daily>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    ui->DBGrid1->setReadOnly(true);
    ui->DBGrid1->setDataset(m_data->Qry_Daily);

    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const std::pair<QAction *, const char *> entries[] = {
        {ui->N_AddDaily, Cmd::AddDaily}, {ui->N_EditDaily, Cmd::EditDaily}, {ui->N_DelDaily, Cmd::DelDaily}};
    for (const auto &[action, command] : entries) {
        m_contextMenu->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, name = QString::fromLatin1(command)] { m_session->runCommand(name); });
    }

    connect(ui->Btn_Search, &QPushButton::clicked, this, &TFrm_Daily::search);
    connect(ui->Edit_Key, &QLineEdit::returnPressed, this, &TFrm_Daily::search);
    connect(ui->DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_contextMenu->popup(ui->DBGrid1->viewport()->mapToGlobal(at)); });
    connect(ui->DBGrid1, &QAbstractItemView::doubleClicked, this,
            [this] { m_session->runCommand(QString::fromLatin1(Cmd::EditDaily)); });

    ui->Edit_Key->clear();
    guarded(this, [this] { loadOwnEntries(); });
}

TFrm_Daily::~TFrm_Daily() = default;

void TFrm_Daily::loadOwnEntries()
{
    ui->DBGrid1->clearColumns(); // every column of the statement, titled by its name
    Diary::openOwn(*m_data->Qry_Daily, m_session->operatorName());
}

void TFrm_Daily::search()
{
    if (!ui->Btn_Search->isEnabled())
        return;
    // The button and the cursor are back before a failure is reported.
    guarded(this, [this] {
        ui->Btn_Search->setEnabled(false);
        const auto enableAgain = qScopeGuard([this] { ui->Btn_Search->setEnabled(true); });
        WaitCursor wait;
        Diary::openSearch(*m_data->Qry_Daily, ui->Edit_Key->text());
    });
}
