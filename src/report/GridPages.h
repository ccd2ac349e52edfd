#pragma once

#include "report/PageSource.h"

#include <QFont>
#include <QList>
#include <QStringList>
#include <Qt>
#include <functional>

namespace Report {

// What a printed grid shows: column titles and widths as on screen, the shown text of
// every cell and the footer sums.
struct GridTable
{
    QString title;
    QStringList headers;
    QList<double> widths;              // on-screen widths; only their proportions count
    QList<Qt::Alignment> alignments;   // per column, left when missing
    int rowCount = 0;
    std::function<QString(int row, int column)> cell;
    QStringList footer;                // one text per column; empty: no sums row
};

struct GridPrintOptions
{
    bool fitToWidth = true;    // columns fill the printable width in proportion to their widths
    bool stretchRows = false;  // a row grows to show its whole text, wrapped in its column
    bool landscape = false;
    bool autoLandscape = true; // turn the page when the columns are wider than a portrait page
    double fontSize = 9;       // points
};

// A grid laid out on A4 pages: the title and the column titles repeated on every page,
// the rows, the sums after the last row, and "第 N 页 / 共 M 页" with the date at the foot.
class GridPages : public PageSource
{
public:
    GridPages(GridTable table, GridPrintOptions options);

    int pageCount() const override { return int(m_pageStarts.size()); }
    QSizeF pageSize() const override;
    QString documentTitle() const override { return m_table.title; }
    void paintPage(QPainter &painter, int page) const override;

    // The rows printed on a page: first and one past the last.
    std::pair<int, int> rowsOnPage(int page) const;
    QList<double> columnWidths() const { return m_columns; } // mm
    double rowHeight(int row) const;                         // mm
    // Where the printed things of a page lie (mm from the paper's corner), for checking.
    double headerTop() const;
    double titleRowHeight() const { return m_headHeight; } // mm; grows when a title wraps
    double firstRowTop() const { return headerTop() + m_headHeight; }
    static constexpr double margin = 12, titleHeight = 12, headerHeight = 7, baseRowHeight = 6, footHeight = 8;

private:
    QFont font() const;
    double measureRow(int row) const;
    double measureText(const QString &text, double width, const QFont &font) const;

    GridTable m_table;
    GridPrintOptions m_options;
    QList<double> m_columns;       // mm
    QList<double> m_rowHeights;    // mm; empty when every row has the base height
    QList<int> m_pageStarts;       // first row of every page
    bool m_sumsOnOwnPage = false;
    double m_headHeight = headerHeight;
};

} // namespace Report
