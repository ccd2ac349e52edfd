#include "TFrm_Awoke.h"
#include "ui_TFrm_Awoke.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "store/Dataset.h"
#include "store/SettingKeys.h"
#include "store/queries/Schedules.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Session.h"

#include <QHeaderView>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

namespace {
} // namespace

TFrm_Awoke::TFrm_Awoke(Session *session, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Awoke>()), m_session(session), m_data(session->data())
{
    ui->setupUi(this);
    m_reminders = new Dataset(m_data->connection(), this);
    m_reminders->setObjectName(QStringLiteral("Qry_Awoke"));
    ui->DBGridEh1->setReadOnly(true);
    ui->DBGridEh1->setDataset(m_reminders);
    ui->Edit_Day->setFixedWidth(ui->Edit_Day->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 16);
    ui->Btn_Refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui->Btn_Print->setIcon(QIcon::fromTheme(QStringLiteral("document-print"), style()->standardIcon(QStyle::SP_FileIcon)));
    ui->Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    printHandler = [this](DataGrid *grid) { printGrid(grid, this); };

    connect(ui->CheckBox1, &QCheckBox::toggled, this, &TFrm_Awoke::tickChanged);
    connect(ui->Btn_Refresh, &QPushButton::clicked, this, [this] { guarded(this, [this] { loadReminders(); }); });
    connect(ui->Btn_Print, &QPushButton::clicked, this, &TFrm_Awoke::print);
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &TFrm_Awoke::reject);
}

TFrm_Awoke::~TFrm_Awoke() = default;

void TFrm_Awoke::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    guarded(this, [this] { showSteps(); });
}

void TFrm_Awoke::showSteps()
{
    // Shown once per start of the frame's timer: the timer opened it, or would open it again.
    m_session->stopReminderTimer();
    IniSettings &settings = m_data->settings();
    if (Setting::ShowReminders.read(settings) != 0)
        ui->CheckBox1->setChecked(false); // a change like the operator's: writes awoke = 1
    ui->Edit_Day->setText(Setting::ReminderDays.read(settings));
    loadReminders();
}

void TFrm_Awoke::tickChanged(bool ticked)
{
    guarded(this, [this, ticked] { Setting::ShowReminders.write(m_data->settings(), ticked ? 0 : 1); });
}

void TFrm_Awoke::loadReminders()
{
    Schedules::openReminders(*m_reminders, m_session->operatorName(), ui->Edit_Day->text());
    GridColumns::ApplyColumns(m_data, ui->DBGridEh1, m_reminders, QStringLiteral("Schedule"));
}

void TFrm_Awoke::print()
{
    guarded(this, [this] {
        if (printHandler)
            printHandler(ui->DBGridEh1);
    });
}

// The window always closes. A day count that is no whole number keeps the count stored
// before (1 when none is), and the operator is told so.
void TFrm_Awoke::reject()
{
    const QString text = ui->Edit_Day->text();
    bool ok = false;
    int day = text.trimmed().toInt(&ok);
    if (!ok) {
        const int stored = Setting::ReminderDays.read(m_data->settings()).trimmed().toInt(&ok);
        day = ok ? stored : 1;
        Messages::box(this, keptDayNote(text, day), QStringLiteral("提醒"), Msg::Icon::Information);
        ui->Edit_Day->setText(QString::number(day));
    }
    // A settings file that cannot be written is reported; the window still closes, or
    // the operator could never leave it.
    guarded(this, [this, day] { Setting::ReminderDays.write(m_data->settings(), QString::number(day)); });
    QDialog::reject();
}

QString TFrm_Awoke::keptDayNote(const QString &typed, int kept)
{
    if (typed.trimmed().isEmpty())
        return QStringLiteral("没有填写提醒天数，仍按 %1 天提醒。").arg(kept);
    return QStringLiteral("“%1”不是有效的天数（应为整数），仍按 %2 天提醒。").arg(typed.trimmed()).arg(kept);
}

// ------------------------------------------------------------------ grid print preview

namespace {

struct PrintColumn
{
    int logical;
    int width;
};

// Paints the grid's title row and rows onto the printer's pages, the columns scaled
// together to the page width; the title row is repeated on every page.
void paintGrid(DataGrid *grid, QPrinter *printer)
{
    const QAbstractItemModel *model = grid->model();
    const QHeaderView *header = grid->horizontalHeader();
    QList<PrintColumn> columns;
    int totalWidth = 0;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical) || header->sectionSize(logical) <= 0)
            continue;
        columns.append({logical, header->sectionSize(logical)});
        totalWidth += header->sectionSize(logical);
    }
    QPainter painter(printer);
    if (columns.isEmpty() || !painter.isActive())
        return;
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const double scale = page.width() / totalWidth;
    const double rowHeight = std::max(grid->verticalHeader()->defaultSectionSize(), grid->fontMetrics().height() + 6) * scale;
    QFont font = grid->font();
    font.setPixelSize(std::max(1, int(grid->fontMetrics().height() * 0.8 * scale)));
    QFont bold = font;
    bold.setBold(true);
    const double padding = 3 * scale;

    auto paintRow = [&](double y, const std::function<QString(int logical)> &text, const QFont &f) {
        painter.setFont(f);
        double x = 0;
        for (const PrintColumn &column : columns) {
            const QRectF cell(x, y, column.width * scale, rowHeight);
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(padding, 0, -padding, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(text(column.logical), Qt::ElideRight,
                                                              int(cell.width() - 2 * padding)));
            x += cell.width();
        }
    };
    auto titles = [&](int logical) { return model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString(); };

    painter.setPen(QPen(Qt::black, std::max(1.0, scale / 2)));
    double y = 0;
    paintRow(y, titles, bold);
    y += rowHeight;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (y + rowHeight > page.height()) {
            printer->newPage();
            y = 0;
            paintRow(y, titles, bold);
            y += rowHeight;
        }
        paintRow(y, [&](int logical) { return model->index(row, logical).data(Qt::DisplayRole).toString(); }, font);
        y += rowHeight;
    }
}

} // namespace

void TFrm_Awoke::printGrid(DataGrid *grid, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(QStringLiteral("打印预览"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [grid](QPrinter *target) { paintGrid(grid, target); });
    preview.exec();
}
