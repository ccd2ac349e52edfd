#pragma once

#include "report/PageSource.h"
#include "report/ReportModel.h"

#include <QHash>
#include <QList>
#include <QRectF>
#include <QString>
#include <vector>

class QPainter;

namespace Report {

class ReportValues;

// One object as it is printed on a page: its place on the paper in mm and its text with
// every reference replaced. The painter draws exactly these, so tests read them to know
// what lands where.
struct PlacedObject
{
    const ReportObject *object = nullptr;
    QRectF rect;   // mm from the paper's top-left corner
    QString text;  // texts only
};

// Lays a report out into pages and draws them. The layout (which band of which row goes
// where) is worked out at once; the texts of a page are resolved only when that page is
// drawn, so the first page of a long report shows without reading every row.
class ReportRenderer : public PageSource
{
public:
    // `values` must outlive the renderer; programDir finds pictures named by file.
    ReportRenderer(ReportDocument document, const ReportValues *values, QString programDir = {});

    // The text of a named object is replaced by `text` (the bill's total in words).
    void setObjectText(const QString &objectName, const QString &text);
    // Starts a label sheet at another label (1-based) than the template says.
    void setFirstLabel(int label);

    const ReportDocument &document() const { return m_document; }
    int pageCount() const override;
    QSizeF pageSize() const override;
    QString documentTitle() const override;
    QList<PlacedObject> objects(int page) const;
    void paintPage(QPainter &painter, int page) const override;

    // The text a reference stands for ("[Company]"), formatted as an object would show it.
    static QString formatValue(const QVariant &value, const QString &format);

private:
    struct Placement
    {
        const Band *band;
        QPointF origin; // mm, the band's top-left corner on the paper
        int row;        // printed data row, -1 for other bands
    };
    void layOut();
    void layOutLabels(const Band &data, int rows);
    void layOutBands(int rows);
    QString resolve(const ReportObject &object, int row, int page, bool lineNumbers) const;
    QString reference(const QString &name, const QString &format, int row, int page, bool lineNumbers) const;

    ReportDocument m_document;
    const ReportValues *m_values;
    QString m_programDir;
    QHash<QString, QString> m_objectTexts;
    std::vector<std::vector<Placement>> m_pages;
};

// Draws one placed object; the painter's device gives the scale.
void paintObject(QPainter &painter, const PlacedObject &placed, const QString &programDir);

} // namespace Report
