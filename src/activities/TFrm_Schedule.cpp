#include "TFrm_Schedule.h"
#include "ui_TFrm_Schedule.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "store/queries/Schedules.h"
#include "ui/Commands.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScopeGuard>
#include <QStyle>

namespace {
const QString Layout = QStringLiteral("Schedule");
} // namespace

TFrm_Schedule::TFrm_Schedule(Session *session)
    : QWidget(nullptr), ui(std::make_unique<Ui::TFrm_Schedule>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    ui->DateTimePicker1->setDate(QDate::currentDate());
    ui->Btn_S_Cust->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ui->DBGridEh1->setReadOnly(true);
    ui->DBGridEh1->setDataset(m_data->Qry_Schedule);

    // The record commands of the session, enabled by the operator's rights.
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("PopupMenu1"));
    for (const char *name : {Cmd::AddSchedule, Cmd::EditSchedule, Cmd::DelSchedule, "", Cmd::ExportCSVSchedule}) {
        if (!*name)
            m_contextMenu->addSeparator();
        else if (QAction *command = m_session->command(QString::fromLatin1(name)))
            m_contextMenu->addAction(command);
    }

    connect(ui->Btn_S_Cust, &QPushButton::clicked, this, &TFrm_Schedule::search);
    connect(ui->DBGridEh1, &QAbstractItemView::doubleClicked, this,
            [this] { m_session->runCommand(QString::fromLatin1(Cmd::EditSchedule)); });
    connect(ui->DBGridEh1, &QWidget::customContextMenuRequested, m_contextMenu, [this](const QPoint &pos) {
        m_contextMenu->popup(ui->DBGridEh1->viewport()->mapToGlobal(pos));
    });
    // The list is shared with the customer browser: its titles do not re-sort it.
    connect(ui->DBGridEh1, &DataGrid::sortMarksChanged, ui->DBGridEh1, [this] {
        if (!ui->DBGridEh1->sortMarks().isEmpty())
            ui->DBGridEh1->clearSortMarks();
    });

    Dataset *schedules = m_data->Qry_Schedule;
    m_previousSql = schedules->sql();
    m_previousLinked = schedules->isLinked();
    m_previousOpen = schedules->isOpen();
    guarded(this, [this] { openList(); });
}

TFrm_Schedule::~TFrm_Schedule() = default;

void TFrm_Schedule::run(const std::function<void(Dataset &)> &open)
{
    Dataset *schedules = m_data->Qry_Schedule;
    // The statement is this window's from now on, also when it fails to open.
    const auto remember = qScopeGuard([this, schedules] { m_ownSql = schedules->sql(); });
    m_lastOpen = open;
    // The list shows its own rows, not those of the customer current in the browser.
    schedules->unlink();
    open(*schedules);
    GridColumns::ApplyColumns(m_data, ui->DBGridEh1, schedules, Layout);
}

void TFrm_Schedule::openList()
{
    WaitCursor wait;
    run([this](Dataset &schedules) { Schedules::openList(schedules, m_session->scope()); });
}

void TFrm_Schedule::search()
{
    // The button and the cursor are back before a failure is reported.
    guarded(this, [this] {
        ui->Btn_S_Cust->setEnabled(false);
        const auto enableAgain = qScopeGuard([this] { ui->Btn_S_Cust->setEnabled(true); });
        WaitCursor wait;
        const QDate day = ui->DateTimePicker1->date();
        run([this, day](Dataset &schedules) { Schedules::openByReminderDate(schedules, m_session->scope(), day); });
    });
}

// The customer browser's schedule page follows the current customer again once this
// window is gone, unless someone else has set the list's statement meanwhile.
void TFrm_Schedule::giveBack()
{
    if (m_givenBack || m_previousSql.isEmpty())
        return;
    m_givenBack = true;
    Dataset *schedules = m_data->Qry_Schedule;
    if (schedules->sql() != m_ownSql)
        return;
    schedules->close();
    schedules->setSql(m_previousSql);
    if (m_previousLinked)
        schedules->link();
    if (m_previousOpen && schedules->connection())
        schedules->open();
}

void TFrm_Schedule::frameActivated()
{
    guarded(this, [this] {
        Dataset *schedules = m_data->Qry_Schedule;
        if (m_givenBack || !m_lastOpen || (schedules->sql() == m_ownSql && !schedules->isLinked()))
            return;
        WaitCursor wait;
        run(m_lastOpen);
    });
}

bool TFrm_Schedule::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
            connect(frame, &QMdiSubWindow::aboutToActivate, this, &TFrm_Schedule::frameActivated,
                    Qt::UniqueConnection);
    }
    return QWidget::event(event);
}

void TFrm_Schedule::closeEvent(QCloseEvent *event)
{
    guarded(this, [this] { giveBack(); });
    QWidget::closeEvent(event);
}
