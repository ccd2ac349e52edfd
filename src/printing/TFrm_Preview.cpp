#include "TFrm_Preview.h"
#include "store/OutputFile.h"

#include "report/PageSource.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

// The page on screen, drawn once per page and zoom.
class TFrm_Preview::PageView : public QWidget
{
public:
    explicit PageView(TFrm_Preview *owner) : QWidget(owner), m_owner(owner)
    {
        setObjectName(QStringLiteral("PageView"));
    }

    void setPage(int page, double dpi)
    {
        if (page == m_page && qFuzzyCompare(dpi, m_dpi))
            return;
        m_page = page;
        m_dpi = dpi;
        m_image = QImage();
        const QSizeF mm = m_owner->m_source->pageSize();
        setFixedSize(int(std::lround(mm.width() * dpi / 25.4)) + 2 * border,
                     int(std::lround(mm.height() * dpi / 25.4)) + 2 * border);
        update();
    }
    const QImage &image()
    {
        if (m_image.isNull()) {
            const QSizeF mm = m_owner->m_source->pageSize();
            m_image = QImage(int(std::lround(mm.width() * m_dpi / 25.4)), int(std::lround(mm.height() * m_dpi / 25.4)),
                             QImage::Format_RGB32);
            m_image.setDotsPerMeterX(int(std::lround(m_dpi / 0.0254)));
            m_image.setDotsPerMeterY(int(std::lround(m_dpi / 0.0254)));
            m_image.fill(Qt::white);
            QPainter painter(&m_image);
            m_owner->m_source->paintPage(painter, m_page);
            ++m_owner->m_pagesDrawn;
        }
        return m_image;
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        painter.fillRect(QRect(border + 3, border + 3, width() - 2 * border, height() - 2 * border), QColor(60, 60, 60));
        painter.drawImage(QPoint(border, border), image());
    }

private:
    static constexpr int border = 12;
    TFrm_Preview *m_owner;
    int m_page = -1;
    double m_dpi = 0;
    QImage m_image;
};

TFrm_Preview::TFrm_Preview(std::shared_ptr<const Report::PageSource> source, QWidget *parent)
    : QDialog(parent), m_source(std::move(source))
{
    setObjectName(QStringLiteral("TFrm_Preview"));
    setWindowTitle(QStringLiteral("打印预览 - %1").arg(m_source->documentTitle()));
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto button = [this](const char *name, const QString &caption, QStyle::StandardPixmap icon) {
        auto *b = new QPushButton(style()->standardIcon(icon), caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Btn_First = button("Btn_First", QStringLiteral("首页"), QStyle::SP_MediaSkipBackward);
    Btn_Prior = button("Btn_Prior", QStringLiteral("上一页"), QStyle::SP_MediaSeekBackward);
    Btn_Next = button("Btn_Next", QStringLiteral("下一页"), QStyle::SP_MediaSeekForward);
    Btn_Last = button("Btn_Last", QStringLiteral("末页"), QStyle::SP_MediaSkipForward);
    Btn_Print = button("Btn_Print", QStringLiteral("打印(&P)"), QStyle::SP_FileIcon);
    Btn_Pdf = button("Btn_Pdf", QStringLiteral("导出PDF(&F)"), QStyle::SP_DialogSaveButton);
    Btn_Png = button("Btn_Png", QStringLiteral("导出图片(&I)"), QStyle::SP_DialogSaveButton);
    Btn_Close = button("Btn_Close", QStringLiteral("关闭(&Q)"), QStyle::SP_DialogCloseButton);

    Edit_Page = new QSpinBox(this);
    Edit_Page->setObjectName(QStringLiteral("Edit_Page"));
    Edit_Page->setRange(1, std::max(1, m_source->pageCount()));
    auto *pageLabel = new QLabel(QStringLiteral("页码(&G)："), this);
    pageLabel->setBuddy(Edit_Page);
    Label_Count = new QLabel(QStringLiteral("共 %1 页").arg(m_source->pageCount()), this);
    Label_Count->setObjectName(QStringLiteral("Label_Count"));

    Combo_Zoom = new QComboBox(this);
    Combo_Zoom->setObjectName(QStringLiteral("Combo_Zoom"));
    Combo_Zoom->addItems({QStringLiteral("整页"), QStringLiteral("页宽"), QStringLiteral("50%"), QStringLiteral("75%"),
                          QStringLiteral("100%"), QStringLiteral("150%"), QStringLiteral("200%")});
    Combo_Zoom->setCurrentIndex(1);
    auto *zoomLabel = new QLabel(QStringLiteral("缩放(&Z)："), this);
    zoomLabel->setBuddy(Combo_Zoom);

    auto *bar = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{Btn_First, Btn_Prior, pageLabel, Edit_Page, Label_Count, Btn_Next,
                                                       Btn_Last, zoomLabel, Combo_Zoom})
        bar->addWidget(w);
    bar->addStretch();
    for (QWidget *w : std::initializer_list<QWidget *>{Btn_Print, Btn_Pdf, Btn_Png, Btn_Close})
        bar->addWidget(w);

    m_view = new PageView(this);
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    ScrollBox->setWidget(m_view);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(ScrollBox, 1);

    connect(Btn_First, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(Btn_Prior, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(Btn_Next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(Btn_Last, &QPushButton::clicked, this, [this] { showPage(m_source->pageCount() - 1); });
    connect(Edit_Page, &QSpinBox::valueChanged, this, [this](int value) { showPage(value - 1); });
    connect(Combo_Zoom, &QComboBox::currentIndexChanged, this, &TFrm_Preview::zoomChosen);
    connect(Btn_Print, &QPushButton::clicked, this, &TFrm_Preview::print);
    connect(Btn_Pdf, &QPushButton::clicked, this, &TFrm_Preview::exportPdf);
    connect(Btn_Png, &QPushButton::clicked, this, &TFrm_Preview::exportPng);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::accept);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableSize() * 0.8);
    refresh();
}

TFrm_Preview::~TFrm_Preview() = default;

void TFrm_Preview::showPage(int page)
{
    page = std::clamp(page, 0, std::max(0, m_source->pageCount() - 1));
    m_page = page;
    refresh();
}

void TFrm_Preview::setZoom(Zoom zoom, int percent)
{
    m_zoom = zoom;
    m_percent = percent;
    refresh();
}

void TFrm_Preview::zoomChosen(int index)
{
    if (index == 0)
        setZoom(Zoom::FitPage);
    else if (index == 1)
        setZoom(Zoom::FitWidth);
    else
        setZoom(Zoom::Percent, Combo_Zoom->itemText(index).chopped(1).toInt());
}

double TFrm_Preview::pageDpi() const
{
    const QSizeF mm = m_source->pageSize();
    const QSize room = ScrollBox->viewport()->size() - QSize(2 * 12 + 4, 2 * 12 + 4);
    switch (m_zoom) {
    case Zoom::FitPage:
        return std::max(10.0, std::min(room.width() / mm.width(), room.height() / mm.height()) * 25.4);
    case Zoom::FitWidth:
        return std::max(10.0, (room.width() - ScrollBox->verticalScrollBar()->sizeHint().width()) / mm.width() * 25.4);
    case Zoom::Percent:
        break;
    }
    return logicalDpiX() * m_percent / 100.0;
}

void TFrm_Preview::refresh()
{
    const bool many = m_source->pageCount() > 1;
    Btn_First->setEnabled(many && m_page > 0);
    Btn_Prior->setEnabled(many && m_page > 0);
    Btn_Next->setEnabled(m_page + 1 < m_source->pageCount());
    Btn_Last->setEnabled(m_page + 1 < m_source->pageCount());
    {
        const QSignalBlocker block(Edit_Page);
        Edit_Page->setValue(m_page + 1);
    }
    m_view->setPage(m_page, pageDpi());
}

void TFrm_Preview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_zoom != Zoom::Percent)
        refresh();
}

void TFrm_Preview::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageDown: showPage(m_page + 1); return;
    case Qt::Key_PageUp: showPage(m_page - 1); return;
    case Qt::Key_Home:
        if (event->modifiers() & Qt::ControlModifier) { showPage(0); return; }
        break;
    case Qt::Key_End:
        if (event->modifiers() & Qt::ControlModifier) { showPage(m_source->pageCount() - 1); return; }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

void TFrm_Preview::preparePrinter(const Report::PageSource &source, QPrinter &printer)
{
    const QSizeF mm = source.pageSize();
    const bool landscape = mm.width() > mm.height();
    const QSizeF portrait = landscape ? mm.transposed() : mm;
    printer.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    // Positions are true to the millimetre from the paper's corner, not from the printable area.
    printer.setFullPage(true);
    printer.setDocName(source.documentTitle());
    printer.setFromTo(0, 0);
}

void TFrm_Preview::printPages(const Report::PageSource &source, QPrinter &printer)
{
    int first = 0, last = source.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = std::min(last, printer.toPage() - 1);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("printer");
    for (int page = first; page <= last; ++page) {
        if (page > first)
            printer.newPage();
        source.paintPage(painter, page);
    }
    painter.end();
}

void TFrm_Preview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(*m_source, printer);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setMinMax(1, std::max(1, m_source->pageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        printPages(*m_source, printer);
    } catch (const std::exception &) {
        Messages::box(this, QStringLiteral("无法开始打印，请检查打印机。"), QStringLiteral("警告"), Msg::Icon::Information);
    }
}

void TFrm_Preview::exportPdf()
{
    const QString path = Platform::saveFileName(this, QStringLiteral("导出PDF"),
                                                          QDir::home().filePath(m_source->documentTitle() + QStringLiteral(".pdf")),
                                                          QStringLiteral("PDF文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    QProgressDialog progress(QStringLiteral("正在导出PDF…"), QStringLiteral("取消"), 0, m_source->pageCount(), this);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowTitle(QStringLiteral("导出PDF"));
    progress.setMinimumDuration(500);
    QString error;
    // Into a temporary file renamed over the chosen one when complete: a cancelled or
    // failed export leaves an earlier file of that name whole.
    OutputFile target(path);
    const bool done = Report::exportPdf(*m_source, target.temporaryPath(), &error, [&progress](int page) {
        progress.setValue(page);
        return !progress.wasCanceled();
    }) && target.commit(&error);
    progress.setValue(m_source->pageCount());
    if (done)
        Messages::box(this, QStringLiteral("已导出到“%1”。").arg(QDir::toNativeSeparators(path)), QStringLiteral("成功"),
                      Msg::Icon::Information);
    else
        Messages::box(this, error, QStringLiteral("警告"), Msg::Icon::Information);
}

void TFrm_Preview::exportPng()
{
    const QString path = Platform::saveFileName(this, QStringLiteral("导出图片"),
                                                          QDir::home().filePath(m_source->documentTitle() + QStringLiteral(".png")),
                                                          QStringLiteral("PNG图片 (*.png)"));
    if (path.isEmpty())
        return;
    // One picture per page: name.png for a single page, name-1.png, name-2.png... otherwise.
    const int pages = m_source->pageCount();
    const QFileInfo info(path);
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.completeBaseName();
    QProgressDialog progress(QStringLiteral("正在导出图片…"), QStringLiteral("取消"), 0, pages, this);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowTitle(QStringLiteral("导出图片"));
    progress.setMinimumDuration(500);
    QString error;
    for (int page = 0; page < pages; ++page) {
        progress.setValue(page);
        if (progress.wasCanceled()) {
            error = QStringLiteral("导出已取消");
            break;
        }
        const QString file = pages == 1 ? path : QStringLiteral("%1-%2.png").arg(stem).arg(page + 1);
        if (!Report::exportPng(*m_source, page, file, &error))
            break;
    }
    progress.setValue(pages);
    if (error.isEmpty())
        Messages::box(this, QStringLiteral("已导出 %1 页到“%2”。").arg(pages).arg(QDir::toNativeSeparators(info.absolutePath())),
                      QStringLiteral("成功"), Msg::Icon::Information);
    else
        Messages::box(this, error, QStringLiteral("警告"), Msg::Icon::Information);
}
