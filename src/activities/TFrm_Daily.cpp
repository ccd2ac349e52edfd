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
    // The diary follows no customer: moving in the customer list leaves it as it is.
    m_data->Qry_Daily->unlink();
    Diary::openOwn(*m_data->Qry_Daily, m_session->operatorName());
    applyLayout();
}

// The diary has no stored column layout: its columns and Chinese titles are fixed here,
// the key left out.
void TFrm_Daily::applyLayout()
{
    struct Column
    {
        const char *field;
        const char *title;
        int width;
    };
    static const Column columns[] = {
        {"AddDate", "日期", 90}, {"Subject", "主题", 200}, {"Content", "内容", 360}, {"author", "作者", 80}};
    Dataset *daily = m_data->Qry_Daily;
    DataGrid *grid = ui->DBGrid1;
    grid->clearColumns();
    for (const Column &column : columns) {
        const QString field = QString::fromLatin1(column.field);
        if (daily->fieldIndex(field) < 0)
            continue;
        grid->addColumn(field, column.width);
        daily->setDisplayLabel(field, QString::fromUtf8(column.title));
    }
    grid->refreshTitles();
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
        m_data->Qry_Daily->unlink();
        Diary::openSearch(*m_data->Qry_Daily, ui->Edit_Key->text());
        applyLayout();
    });
}
