#include "GridPages.h"

#include <QDate>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <numeric>

namespace Report {

namespace {
// Text is measured on a device of printer resolution, whatever the screen.
QImage &measuringDevice()
{
    static QImage device = [] {
        QImage image(4, 4, QImage::Format_RGB32);
        image.setDotsPerMeterX(int(1200 / 0.0254));
        image.setDotsPerMeterY(int(1200 / 0.0254));
        return image;
    }();
    return device;
}
constexpr double cellPadding = 1; // mm on each side of a cell's text
} // namespace

GridPages::GridPages(GridTable table, GridPrintOptions options) : m_table(std::move(table)), m_options(options)
{
    const int columns = int(m_table.headers.size());
    double total = 0;
    for (int c = 0; c < columns; ++c)
        total += std::max(1.0, c < m_table.widths.size() ? m_table.widths[c] : 80.0);
    const double natural = total * 25.4 / 96; // on-screen pixels to mm
    if (m_options.autoLandscape && !m_options.landscape && natural > 210 - 2 * margin)
        m_options.landscape = true;
    const double printable = pageSize().width() - 2 * margin;
    // Without fitting, columns keep their screen size as long as they fit on the paper.
    const double factor = (m_options.fitToWidth || natural > printable) ? printable / std::max(1.0, total)
                                                                         : 25.4 / 96;
    for (int c = 0; c < columns; ++c)
        m_columns.append(std::max(1.0, c < m_table.widths.size() ? m_table.widths[c] : 80.0) * factor);

    // Column titles wrap inside narrow columns; the title row grows to hold them.
    QFont headFont = font();
    headFont.setBold(true);
    for (int c = 0; c < columns; ++c)
        m_headHeight = std::max(m_headHeight, measureText(m_table.headers[c], m_columns[c], headFont));
    if (m_options.stretchRows) {
        m_rowHeights.reserve(m_table.rowCount);
        for (int row = 0; row < m_table.rowCount; ++row)
            m_rowHeights.append(measureRow(row));
    }
    const double bottom = pageSize().height() - margin - footHeight;
    double y = firstRowTop();
    m_pageStarts.append(0);
    for (int row = 0; row < m_table.rowCount; ++row) {
        const double h = rowHeight(row);
        if (y + h > bottom && y > firstRowTop()) {
            m_pageStarts.append(row);
            y = firstRowTop();
        }
        y += h;
    }
    if (!m_table.footer.isEmpty() && y + baseRowHeight + 1 > bottom && m_table.rowCount > 0) {
        m_pageStarts.append(m_table.rowCount);
        m_sumsOnOwnPage = true;
    }
}

QSizeF GridPages::pageSize() const
{
    return m_options.landscape ? QSizeF(297, 210) : QSizeF(210, 297);
}

QFont GridPages::font() const
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPointSizeF(m_options.fontSize);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double GridPages::measureText(const QString &text, double width, const QFont &f) const
{
    if (text.isEmpty())
        return 0;
    const QFontMetricsF metrics(f, &measuringDevice());
    const double scale = dotsPerMm(&measuringDevice());
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, std::max(1.0, width - 2 * cellPadding) * scale, 1e6),
                                               Qt::TextWordWrap | Qt::TextWrapAnywhere, text);
    return bounds.height() / scale + 1;
}

double GridPages::measureRow(int row) const
{
    double tallest = baseRowHeight;
    for (int c = 0; c < m_columns.size(); ++c)
        tallest = std::max(tallest, measureText(m_table.cell ? m_table.cell(row, c) : QString(), m_columns[c], font()));
    return tallest;
}

double GridPages::rowHeight(int row) const
{
    return m_rowHeights.isEmpty() ? baseRowHeight : m_rowHeights.value(row, baseRowHeight);
}

double GridPages::headerTop() const
{
    return margin + titleHeight;
}

std::pair<int, int> GridPages::rowsOnPage(int page) const
{
    if (page < 0 || page >= pageCount())
        return {0, 0};
    const int first = m_pageStarts[page];
    const int end = page + 1 < pageCount() ? m_pageStarts[page + 1] : m_table.rowCount;
    return {first, end};
}

void GridPages::paintPage(QPainter &painter, int page) const
{
    const double s = dotsPerMm(painter.device());
    auto px = [s](double x, double y, double w, double h) { return QRectF(x * s, y * s, w * s, h * s); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::black);
    pen.setWidthF(0.2 * s);
    painter.setPen(pen);

    QFont titleFont = font();
    titleFont.setPointSizeF(16);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const double width = pageSize().width() - 2 * margin;
    painter.drawText(px(margin, margin, width, titleHeight - 2), Qt::AlignCenter, m_table.title);

    auto alignment = [this](int c) {
        return (c < m_table.alignments.size() ? m_table.alignments[c] : Qt::AlignLeft) | Qt::AlignVCenter;
    };
    // Wrapped texts break anywhere when they must; a text that still does not fit a fixed
    // row ends in "…" rather than being cut off unseen.
    const bool stretch = m_options.stretchRows;
    auto drawRow = [&](double y, double h, const std::function<QString(int)> &text, bool centred, bool wrap) {
        double x = margin;
        for (int c = 0; c < m_columns.size(); ++c) {
            const QRectF cell = px(x, y, m_columns[c], h);
            painter.drawRect(cell);
            const QRectF inner = px(x + cellPadding, y, m_columns[c] - 2 * cellPadding, h);
            const int flags = (centred ? int(Qt::AlignCenter) : int(alignment(c)))
                              | (wrap ? Qt::TextWordWrap | Qt::TextWrapAnywhere : 0);
            QString shown = text(c);
            if (!wrap)
                shown = painter.fontMetrics().elidedText(shown, Qt::ElideRight, int(inner.width()));
            painter.drawText(inner, flags, shown);
            x += m_columns[c];
        }
    };

    QFont headFont = font();
    headFont.setBold(true);
    painter.setFont(headFont);
    painter.fillRect(px(margin, headerTop(), std::accumulate(m_columns.begin(), m_columns.end(), 0.0), m_headHeight),
                     QColor(235, 235, 235));
    drawRow(headerTop(), m_headHeight, [this](int c) { return m_table.headers.value(c); }, true, true);

    painter.setFont(font());
    const auto [first, end] = rowsOnPage(page);
    double y = firstRowTop();
    for (int row = first; row < end; ++row) {
        const double h = rowHeight(row);
        drawRow(y, h, [this, row](int c) { return m_table.cell ? m_table.cell(row, c) : QString(); }, false, stretch);
        y += h;
    }
    if (!m_table.footer.isEmpty() && page == pageCount() - 1) {
        painter.setFont(headFont);
        drawRow(y, baseRowHeight + 1, [this](int c) { return m_table.footer.value(c); }, false, false);
    }

    painter.setFont(font());
    const double footTop = pageSize().height() - margin - footHeight + 2;
    painter.drawText(px(margin, footTop, width, footHeight - 2), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("打印日期：%1").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    painter.drawText(px(margin, footTop, width, footHeight - 2), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页 / 共 %2 页").arg(page + 1).arg(pageCount()));
    painter.restore();
}

} // namespace Report
