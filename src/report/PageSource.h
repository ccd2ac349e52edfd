#pragma once

#include <QSizeF>
#include <QString>
#include <functional>

class QPainter;
class QPaintDevice;

namespace Report {

// A printable document made of pages: a report or a printed grid. The preview, the
// printer, PDF and PNG all draw through paintPage(), so they show the same thing.
class PageSource
{
public:
    virtual ~PageSource() = default;
    virtual int pageCount() const = 0;
    virtual QSizeF pageSize() const = 0; // mm
    virtual QString documentTitle() const = 0;
    // Draws page `page` (0-based) with the painter's origin at the paper's top-left
    // corner, at the true size given by the painter's device resolution.
    virtual void paintPage(QPainter &painter, int page) const = 0;
};

// Device pixels per millimetre of the painter's device.
double dotsPerMm(const QPaintDevice *device);

// Told before each page is drawn (0-based); answering false stops the work.
using Progress = std::function<bool(int page)>;

// Every page into one PDF file whose pages have the document's size in millimetres.
// A stopped export removes the unfinished file and says so in *error.
bool exportPdf(const PageSource &source, const QString &path, QString *error, const Progress &progress = {},
               int resolution = 1200);
// One page into a PNG picture at the given resolution (dots per inch).
bool exportPng(const PageSource &source, int page, const QString &path, QString *error, int dpi = 150);

} // namespace Report
