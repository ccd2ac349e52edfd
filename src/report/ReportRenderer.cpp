#include "ReportRenderer.h"

#include "report/ReportValues.h"
#include "store/Dataset.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPaintDevice>
#include <QPdfWriter>
#include <QRegularExpression>
#include <cmath>

namespace Report {

double dotsPerMm(const QPaintDevice *device)
{
    return device->logicalDpiX() / 25.4;
}

ReportRenderer::ReportRenderer(ReportDocument document, const ReportValues *values, QString programDir)
    : m_document(std::move(document)), m_values(values), m_programDir(std::move(programDir))
{
    layOut();
}

void ReportRenderer::setObjectText(const QString &objectName, const QString &text)
{
    m_objectTexts.insert(objectName.toLower(), text);
}

void ReportRenderer::setFirstLabel(int label)
{
    m_document.labels.firstLabel = std::max(1, label);
    layOut();
}

int ReportRenderer::pageCount() const
{
    return int(m_pages.size());
}

QSizeF ReportRenderer::pageSize() const
{
    return {m_document.page.width, m_document.page.height};
}

QString ReportRenderer::documentTitle() const
{
    return m_document.title.isEmpty() ? m_document.name : m_document.title;
}

void ReportRenderer::layOut()
{
    m_pages.clear();
    const int rows = m_values ? m_values->rowCount() : 0;
    const Band *data = m_document.band(BandKind::MasterData);
    if (data && m_document.labels.active())
        layOutLabels(*data, rows);
    else
        layOutBands(rows);
    if (m_pages.empty())
        m_pages.emplace_back();
}

void ReportRenderer::layOutLabels(const Band &data, int rows)
{
    const LabelLayout &labels = m_document.labels;
    const PageSetup &page = m_document.page;
    const int perSheet = labels.perSheet();
    const int skipped = (std::max(1, labels.firstLabel) - 1) % perSheet;
    for (int row = 0; row < rows; ++row) {
        const int slot = skipped + row;
        const int sheet = slot / perSheet;
        const int place = slot % perSheet;
        if (size_t(sheet) >= m_pages.size())
            m_pages.resize(size_t(sheet) + 1);
        const double x = page.left + (place % labels.columns) * (labels.width + labels.gapX);
        const double y = page.top + (place / labels.columns) * (labels.height + labels.gapY);
        m_pages[size_t(sheet)].push_back({&data, QPointF(x, y), row});
    }
}

void ReportRenderer::layOutBands(int rows)
{
    const PageSetup &page = m_document.page;
    const Band *title = m_document.band(BandKind::Title);
    const Band *header = m_document.band(BandKind::PageHeader);
    const Band *data = m_document.band(BandKind::MasterData);
    const Band *summary = m_document.band(BandKind::Summary);
    const Band *footer = m_document.band(BandKind::PageFooter);
    const double bottom = page.height - page.bottom - (footer ? footer->height : 0);
    double y = 0;

    auto startPage = [&] {
        if (!m_pages.empty() && footer)
            m_pages.back().push_back({footer, QPointF(page.left, page.height - page.bottom - footer->height), -1});
        m_pages.emplace_back();
        y = page.top;
        if (header) {
            m_pages.back().push_back({header, QPointF(page.left, y), -1});
            y += header->height;
        }
    };
    auto pageIsEmpty = [&] {
        for (const Placement &p : m_pages.back())
            if (p.band != header && p.band != title)
                return false;
        return true;
    };
    auto place = [&](const Band *band, int row) {
        // A band taller than a whole page is still printed, alone on its page.
        if (y + band->height > bottom + 1e-6 && !pageIsEmpty())
            startPage();
        m_pages.back().push_back({band, QPointF(page.left, y), row});
        y += band->height;
    };

    // The report title opens the first page, above the page header.
    m_pages.emplace_back();
    y = page.top;
    if (title) {
        m_pages.back().push_back({title, QPointF(page.left, y), -1});
        y += title->height;
    }
    if (header) {
        m_pages.back().push_back({header, QPointF(page.left, y), -1});
        y += header->height;
    }
    if (data) {
        for (int row = 0; row < rows; ++row) {
            place(data, row);
            if (data->newPageAfterRow && row + 1 < rows)
                startPage();
        }
    }
    if (summary)
        place(summary, -1);
    if (footer)
        m_pages.back().push_back({footer, QPointF(page.left, page.height - page.bottom - footer->height), -1});
}

QString ReportRenderer::formatValue(const QVariant &value, const QString &format)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (format.isEmpty())
        return Dataset::displayText(value);
    const bool dateFormat = format.contains(u'y') || format.contains(u'M') || format.contains(u'd');
    if (dateFormat) {
        QDate date = value.toDate();
        if (!date.isValid())
            date = QDate::fromString(value.toString().left(10), Qt::ISODate);
        if (date.isValid())
            return date.toString(format);
        return Dataset::displayText(value);
    }
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    if (!ok)
        return Dataset::displayText(value);
    const int point = format.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
    QLocale locale = QLocale::c();
    locale.setNumberOptions(format.contains(u',') ? QLocale::NumberOptions() : QLocale::OmitGroupSeparator);
    return locale.toString(number, 'f', decimals);
}

QString ReportRenderer::reference(const QString &name, const QString &format, int row, int page,
                                  bool lineNumbers) const
{
    const QString key = name.trimmed();
    const QString upper = key.toUpper();
    if (upper == u"PAGE#")
        return QString::number(page + 1);
    if (upper == u"TOTALPAGES")
        return QString::number(pageCount());
    if (upper == u"LINE#")
        return lineNumbers && row >= 0 ? QString::number(row + 1) : QString();
    if (upper == u"DATE")
        return QDate::currentDate().toString(format.isEmpty() ? QStringLiteral("yyyy-MM-dd") : format);
    if (upper == u"TIME")
        return QTime::currentTime().toString(format.isEmpty() ? QStringLiteral("HH:mm") : format);
    static const QRegularExpression aggregate(QStringLiteral("^(SUM|COUNT)\\((.*)\\)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto match = aggregate.match(key);
    if (match.hasMatch() && m_values) {
        const int rows = m_values->rowCount();
        if (match.captured(1).compare(u"count", Qt::CaseInsensitive) == 0)
            return QString::number(rows);
        double sum = 0;
        for (int r = 0; r < rows; ++r)
            if (auto v = m_values->value(match.captured(2).trimmed(), r))
                sum += v->toDouble();
        return formatValue(sum, format);
    }
    if (m_values)
        if (auto v = m_values->value(key, row))
            return formatValue(*v, format);
    return {};
}

QString ReportRenderer::resolve(const ReportObject &object, int row, int page, bool lineNumbers) const
{
    const auto given = m_objectTexts.constFind(object.name.toLower());
    if (given != m_objectTexts.cend())
        return *given;
    QString result;
    const QString &text = object.text;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(u'[', from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u']', open + 1);
        if (open < 0 || close < 0) {
            result += text.mid(from);
            break;
        }
        result += text.mid(from, open - from);
        result += reference(text.mid(open + 1, close - open - 1), object.format, row, page, lineNumbers);
        from = close + 1;
    }
    return result;
}

QList<PlacedObject> ReportRenderer::objects(int page) const
{
    QList<PlacedObject> placed;
    if (page < 0 || page >= pageCount())
        return placed;
    // Bands outside the data band show the fields of a row too: the first row of their
    // page (title, page header, page footer) or the last row (summary), as a bill's heading
    // shows its number.
    const int rows = m_values ? m_values->rowCount() : 0;
    int firstOnPage = -1;
    for (const Placement &p : m_pages[size_t(page)])
        if (p.row >= 0) {
            firstOnPage = p.row;
            break;
        }
    if (firstOnPage < 0)
        firstOnPage = rows - 1;
    for (const Placement &p : m_pages[size_t(page)]) {
        const bool data = p.band->kind == BandKind::MasterData;
        const int row = data ? p.row : (p.band->kind == BandKind::Summary ? rows - 1 : firstOnPage);
        for (const ReportObject &object : p.band->objects) {
            PlacedObject item;
            item.object = &object;
            item.rect = object.rect.translated(p.origin);
            if (object.kind == ObjectKind::Text)
                item.text = resolve(object, row, page, data);
            placed.append(item);
        }
    }
    return placed;
}

void paintObject(QPainter &painter, const PlacedObject &placed, const QString &programDir)
{
    const ReportObject &o = *placed.object;
    const double scale = dotsPerMm(painter.device());
    const QRectF r(placed.rect.x() * scale, placed.rect.y() * scale, placed.rect.width() * scale,
                   placed.rect.height() * scale);
    QPen pen(Qt::black);
    pen.setWidthF(std::max(0.05, o.lineWidth) * scale);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (o.kind) {
    case ObjectKind::Line:
        painter.drawLine(r.topLeft(), r.bottomRight());
        return;
    case ObjectKind::Rect:
        painter.drawRect(r);
        return;
    case ObjectKind::Picture: {
        QImage image;
        if (!o.pictureData.isEmpty())
            image.loadFromData(o.pictureData);
        else if (!o.picture.isEmpty())
            image.load(programDir + o.picture);
        if (!image.isNull()) {
            QSizeF size = QSizeF(image.size()).scaled(r.size(), Qt::KeepAspectRatio);
            painter.drawImage(QRectF(r.center() - QPointF(size.width() / 2, size.height() / 2), size), image);
        }
        break;
    }
    case ObjectKind::Text: {
        QFont font(o.fontFamily);
        font.setPointSizeF(o.fontSize);
        font.setBold(o.bold);
        font.setItalic(o.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        painter.setFont(font);
        if (o.cells > 0) {
            const double cell = r.width() / o.cells;
            for (int i = 0; i < o.cells; ++i) {
                const QRectF box(r.x() + i * cell, r.y(), cell, r.height());
                painter.drawRect(box);
                if (i < placed.text.size())
                    painter.drawText(box, Qt::AlignCenter, placed.text.mid(i, 1));
            }
            return;
        }
        int flags = int(o.alignment);
        if (o.wordWrap)
            flags |= Qt::TextWordWrap;
        // Text in a frame keeps a little room from its lines.
        const double inset = o.frame ? 1.0 * scale : 0;
        painter.drawText(r.adjusted(inset, o.frame && o.wordWrap ? inset : 0, -inset, 0), flags, placed.text);
        break;
    }
    }
    if (o.frame) {
        if (o.frame & FrameLeft) painter.drawLine(r.topLeft(), r.bottomLeft());
        if (o.frame & FrameTop) painter.drawLine(r.topLeft(), r.topRight());
        if (o.frame & FrameRight) painter.drawLine(r.topRight(), r.bottomRight());
        if (o.frame & FrameBottom) painter.drawLine(r.bottomLeft(), r.bottomRight());
    }
}

void ReportRenderer::paintPage(QPainter &painter, int page) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const PlacedObject &placed : objects(page))
        paintObject(painter, placed, m_programDir);
    painter.restore();
}

bool exportPdf(const PageSource &source, const QString &path, QString *error, const Progress &progress,
               int resolution)
{
    QPdfWriter writer(path);
    writer.setResolution(resolution);
    writer.setCreator(QStringLiteral("客户管理系统"));
    writer.setTitle(source.documentTitle());
    writer.setPageSize(QPageSize(source.pageSize(), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("无法写入文件“%1”").arg(path);
        return false;
    }
    for (int page = 0; page < source.pageCount(); ++page) {
        if (progress && !progress(page)) {
            painter.end();
            QFile::remove(path);
            if (error)
                *error = QStringLiteral("导出已取消");
            return false;
        }
        if (page > 0)
            writer.newPage();
        source.paintPage(painter, page);
    }
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("无法写入文件“%1”").arg(path);
        return false;
    }
    return true;
}

bool exportPng(const PageSource &source, int page, const QString &path, QString *error, int dpi)
{
    const double scale = dpi / 25.4;
    QImage image(QSize(int(std::lround(source.pageSize().width() * scale)),
                       int(std::lround(source.pageSize().height() * scale))),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        source.paintPage(painter, page);
    }
    if (!image.save(path, "PNG")) {
        if (error)
            *error = QStringLiteral("无法写入文件“%1”").arg(path);
        return false;
    }
    return true;
}

} // namespace Report
