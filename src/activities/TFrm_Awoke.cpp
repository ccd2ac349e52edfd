#include "TFrm_Awoke.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "main/TFrm_Main.h"
#include "store/Dataset.h"
#include "store/SqlText.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString Section = QStringLiteral("otherInfo");
const QString AwokeKey = QStringLiteral("awoke");
const QString DayKey = QStringLiteral("Day");
} // namespace

TFrm_Awoke::TFrm_Awoke(TFrm_Main *mainWindow, QWidget *parent)
    : QDialog(parent), m_main(mainWindow), m_data(mainWindow->data())
{
    setObjectName(QStringLiteral("Frm_Awoke"));
    setWindowTitle(QStringLiteral("联系活动提醒"));
    Qry_Awoke = new Dataset(m_data->connection(), this);
    Qry_Awoke->setObjectName(QStringLiteral("Qry_Awoke"));
    printHandler = [this](DataGrid *grid) { printGrid(grid, this); };
    buildForm();
}

TFrm_Awoke::~TFrm_Awoke() = default;

void TFrm_Awoke::buildForm()
{
    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setDataset(Qry_Awoke);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    CheckBox1 = new QCheckBox(QStringLiteral("每次程序启动时弹出提醒窗口"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    Edit_Day = new QLineEdit(QStringLiteral("1"), Panel1);
    Edit_Day->setObjectName(QStringLiteral("Edit_Day"));
    Edit_Day->setAlignment(Qt::AlignRight);
    Edit_Day->setFixedWidth(Edit_Day->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 16);
    Label1 = new QLabel(QStringLiteral("天"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(Edit_Day);
    Btn_Refresh = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("刷新(&R)"), Panel1);
    Btn_Refresh->setObjectName(QStringLiteral("Btn_Refresh"));
    Btn_Print = new QPushButton(QIcon::fromTheme(QStringLiteral("document-print"), style()->standardIcon(QStyle::SP_FileIcon)),
                                QStringLiteral("打印(&P)"), Panel1);
    Btn_Print->setObjectName(QStringLiteral("Btn_Print"));
    Btn_Exit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("退出(&Q)"), Panel1);
    Btn_Exit->setObjectName(QStringLiteral("Btn_Exit"));
    for (QPushButton *b : {Btn_Refresh, Btn_Print, Btn_Exit})
        b->setAutoDefault(false);

    auto *panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(8, 4, 8, 4);
    panel->addWidget(CheckBox1);
    panel->addSpacing(16);
    panel->addWidget(Edit_Day);
    panel->addWidget(Label1);
    panel->addStretch();
    panel->addWidget(Btn_Refresh);
    panel->addWidget(Btn_Print);
    panel->addWidget(Btn_Exit);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(DBGridEh1, 1);
    layout->addWidget(Panel1);
    resize(1000, 420); // the "Schedule" layout's columns fit without scrolling

    connect(CheckBox1, &QCheckBox::toggled, this, &TFrm_Awoke::tickChanged);
    connect(Btn_Refresh, &QPushButton::clicked, this, [this] { guarded(this, [this] { loadReminders(); }); });
    connect(Btn_Print, &QPushButton::clicked, this, &TFrm_Awoke::print);
    connect(Btn_Exit, &QPushButton::clicked, this, &TFrm_Awoke::reject);
}

QString TFrm_Awoke::reminderSql(const QString &operatorName, const QString &dayText)
{
    return QStringLiteral("select * from T_Schedule where F_User=") + SqlText::quoted(operatorName)
           + QStringLiteral(" and awoke=True and datediff('y',Date(),[AwokeDate])=") + SqlText::quoted(dayText.trimmed());
}

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
    // Shown once per start of the timer: the timer opened it, or it would open it again.
    m_main->Timer1->stop();
    IniSettings &settings = m_data->settings();
    if (settings.readInteger(Section, AwokeKey, -1) != 0)
        CheckBox1->setChecked(false); // a change like the operator's: writes awoke = 1
    Edit_Day->setText(settings.readString(Section, DayKey));
    loadReminders();
}

void TFrm_Awoke::tickChanged(bool ticked)
{
    guarded(this, [this, ticked] { m_data->settings().writeInteger(Section, AwokeKey, ticked ? 0 : 1); });
}

void TFrm_Awoke::loadReminders()
{
    TFrm_Data::RunQuery(Qry_Awoke, reminderSql(m_main->OperatorName, Edit_Day->text()));
    GridColumns::ApplyColumns(m_data, DBGridEh1, Qry_Awoke, QStringLiteral("Schedule"));
}

void TFrm_Awoke::print()
{
    guarded(this, [this] {
        if (printHandler)
            printHandler(DBGridEh1);
    });
}

void TFrm_Awoke::reject()
{
    const QString text = Edit_Day->text();
    bool ok = false;
    const int day = text.trimmed().toInt(&ok);
    if (!ok) {
        Messages::errorReport(this, QStringLiteral("'%1' 不是有效的整数值").arg(text));
        Edit_Day->setFocus();
        return;
    }
    // A settings file that cannot be written is reported; the window still closes, or
    // the operator could never leave it.
    guarded(this, [this, day] { m_data->settings().writeInteger(Section, DayKey, day); });
    QDialog::reject();
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
