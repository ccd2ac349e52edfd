#include "TFrm_Schedule.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "main/TFrm_Main.h"
#include "store/SqlText.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
const QString Layout = QStringLiteral("Schedule");
} // namespace

TFrm_Schedule::TFrm_Schedule(TFrm_Main *mainWindow)
    : QWidget(nullptr), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_Schedule"));
    setWindowTitle(QStringLiteral("日程管理"));
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));

    DateTimePicker1 = new QDateEdit(QDate::currentDate(), this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    Label1 = new QLabel(QStringLiteral("下次联系提醒时间："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(DateTimePicker1);
    Btn_S_Cust = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("搜索"), this);
    Btn_S_Cust->setObjectName(QStringLiteral("Btn_S_Cust"));

    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGridEh1->setDataset(m_data->Qry_Schedule);

    // The record commands of the main window, enabled by the operator's rights.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const char *name : {"AddSchedule", "EditSchedule", "DelSchedule", "", "ExportCSVSchedule"}) {
        if (!*name)
            PopupMenu1->addSeparator();
        else if (QAction *command = m_main->command(QString::fromLatin1(name)))
            PopupMenu1->addAction(command);
    }

    auto *bar = new QHBoxLayout;
    bar->addWidget(Label1);
    bar->addWidget(DateTimePicker1);
    bar->addWidget(Btn_S_Cust);
    bar->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(DBGridEh1, 1);
    resize(900, 560);

    connect(Btn_S_Cust, &QPushButton::clicked, this, &TFrm_Schedule::search);
    connect(DBGridEh1, &QAbstractItemView::doubleClicked, this, [this] { m_main->runCommand(QStringLiteral("EditSchedule")); });
    connect(DBGridEh1, &QWidget::customContextMenuRequested, PopupMenu1, [this](const QPoint &pos) {
        PopupMenu1->popup(DBGridEh1->viewport()->mapToGlobal(pos));
    });
    // The list is shared with the customer browser: its titles do not re-sort it.
    connect(DBGridEh1, &DataGrid::sortMarksChanged, DBGridEh1, [this] {
        if (!DBGridEh1->sortMarks().isEmpty())
            DBGridEh1->clearSortMarks();
    });

    Dataset *schedules = m_data->Qry_Schedule;
    m_previousSql = schedules->sql();
    m_previousLinked = schedules->isLinked();
    m_previousOpen = schedules->isOpen();
    m_tookOver = true;
    guarded(this, [this] { openList(); });
}

TFrm_Schedule::~TFrm_Schedule() = default;

QString TFrm_Schedule::scoped(const QString &sql) const
{
    if (m_main->right(8))
        return sql;
    return sql + (sql.contains(QLatin1String(" where "), Qt::CaseInsensitive) ? QStringLiteral(" and F_User=")
                                                                              : QStringLiteral(" where F_User="))
           + SqlText::quoted(m_main->OperatorName);
}

void TFrm_Schedule::run(const QString &sql)
{
    Dataset *schedules = m_data->Qry_Schedule;
    m_ownSql = sql;
    TFrm_Data::RunQuery(schedules, sql);
    // The list shows its own rows, not those of the customer current in the browser.
    schedules->unlink();
    GridColumns::ApplyColumns(m_data, DBGridEh1, schedules, Layout);
}

void TFrm_Schedule::openList()
{
    WaitCursor wait;
    run(scoped(QStringLiteral("Select * from T_Schedule")));
}

void TFrm_Schedule::search()
{
    Btn_S_Cust->setEnabled(false);
    {
        WaitCursor wait;
        guarded(this, [this] {
            run(scoped(QStringLiteral("Select * from T_Schedule where AwokeDate=")
                       + SqlText::dateLiteral(DateTimePicker1->date())));
        });
    }
    Btn_S_Cust->setEnabled(true);
}

// The customer browser's schedule page follows the current customer again once this
// window is gone, unless someone else has set the list's statement meanwhile.
void TFrm_Schedule::giveBack()
{
    if (!m_tookOver || m_givenBack || m_previousSql.isEmpty())
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

void TFrm_Schedule::closeEvent(QCloseEvent *event)
{
    guarded(this, [this] { giveBack(); });
    QWidget::closeEvent(event);
}
