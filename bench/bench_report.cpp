// Printing 10,000 address labels: the report engine against a raw program that draws the
// same texts at the same places with QPdfWriter, and the first page of the preview against
// the time it takes to read the rows. Prints the ratios, all measured in one run.
#include "BenchData.h"
#include "report/ReportQueries.h"
#include "report/ReportRenderer.h"
#include "report/ReportValues.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Report;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The raw baseline: the label template's four texts, drawn where the template puts them.
void rawLabels(const Dataset &rows, const ReportDocument &document, const QString &path)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QSizeF(210, 297), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QPainter painter(&writer);
    const double s = 1200 / 25.4;
    const Band &band = *document.band(BandKind::MasterData);
    const LabelLayout &l = document.labels;
    const int postcode = rows.fieldIndex(QStringLiteral("postcode")), province = rows.fieldIndex(QStringLiteral("province")),
              city = rows.fieldIndex(QStringLiteral("city")), address = rows.fieldIndex(QStringLiteral("address")),
              company = rows.fieldIndex(QStringLiteral("Company")), contact = rows.fieldIndex(QStringLiteral("MainContact"));
    std::vector<QFont> fonts;
    for (const ReportObject &o : band.objects) {
        QFont f(o.fontFamily);
        f.setPointSizeF(o.fontSize);
        f.setBold(o.bold);
        f.setHintingPreference(QFont::PreferNoHinting);
        fonts.push_back(f);
    }
    for (int row = 0; row < rows.recordCount(); ++row) {
        const int place = row % l.perSheet();
        if (place == 0 && row > 0)
            writer.newPage();
        const QPointF origin(document.page.left + (place % l.columns) * (l.width + l.gapX),
                             document.page.top + (place / l.columns) * (l.height + l.gapY));
        const QString name = rows.value(row, contact).toString();
        const QString texts[] = {rows.value(row, postcode).toString(),
                                 rows.value(row, province).toString() + rows.value(row, city).toString()
                                     + rows.value(row, address).toString(),
                                 rows.value(row, company).toString(),
                                 (name.isEmpty() ? QStringLiteral("负责人") : name) + QStringLiteral(" 收")};
        for (int i = 0; i < 4; ++i) {
            const ReportObject &o = band.objects[i];
            const QRectF r = o.rect.translated(origin);
            painter.setFont(fonts[size_t(i)]);
            painter.drawText(QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s),
                             int(o.alignment) | (o.wordWrap ? Qt::TextWordWrap : 0), texts[i]);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    int count = 10000, repeat = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--rows"))
            count = args.at(i + 1).toInt();
        if (args.at(i) == QLatin1String("--repeat"))
            repeat = std::max(1, args.at(i + 1).toInt());
    }
    QFile file(QStringLiteral(KEHU_ASSETS_DIR "Reports/fr_Label.frf"));
    file.open(QIODevice::ReadOnly);
    QString error;
    const auto document = read(file.readAll(), &error);
    if (!document) {
        std::fprintf(stderr, "label template: %s\n", qPrintable(error));
        return 1;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    Schema::createDatabase(path);
    auto connection = Connection::open(path);
    BenchData::fill(*connection, count, 0);
    QVariantList codes;
    for (int code = 1; code <= count; ++code)
        codes.append(code);

    std::vector<double> readTimes, firstPageTimes, enginePdf, rawPdf;
    int pages = 0;
    for (int r = 0; r < repeat; ++r) {
        // Reading the rows, as the print dialog does before the preview opens.
        Dataset rows(connection.get());
        QElapsedTimer t;
        t.start();
        ReportQueries::openCustomers(rows, codes, false);
        readTimes.push_back(t.nsecsElapsed() / 1e6);

        DatasetValues values(&rows);
        values.setVariables([&rows](const QString &name, int row) -> std::optional<QVariant> {
            if (name.compare(u"contactname", Qt::CaseInsensitive) != 0)
                return std::nullopt;
            const QString contact = rows.value(row, rows.fieldIndex(QStringLiteral("MainContact"))).toString();
            return QVariant(contact.isEmpty() ? QStringLiteral("负责人") : contact);
        });

        // The preview's first page: layout of every label, then page 1 drawn at screen size.
        t.restart();
        ReportRenderer renderer(*document, &values);
        QImage image(794, 1123, QImage::Format_RGB32);
        image.setDotsPerMeterX(int(96 / 0.0254));
        image.setDotsPerMeterY(int(96 / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            renderer.paintPage(painter, 0);
        }
        firstPageTimes.push_back(t.nsecsElapsed() / 1e6);
        pages = renderer.pageCount();

        t.restart();
        exportPdf(renderer, dir.filePath(QStringLiteral("engine.pdf")), &error);
        enginePdf.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        rawLabels(rows, *document, dir.filePath(QStringLiteral("raw.pdf")));
        rawPdf.push_back(t.nsecsElapsed() / 1e6);
    }
    const double read = median(readTimes), first = median(firstPageTimes), engine = median(enginePdf), raw = median(rawPdf);
    std::printf("%d labels on %d A4 sheets, median of %d runs\n", count, pages, repeat);
    std::printf("reading the rows:            %9.1f ms\n", read);
    std::printf("preview's first page:        %9.1f ms   first page / reading the rows = %.3f\n", first, first / read);
    std::printf("labels to PDF, report engine:%9.1f ms\n", engine);
    std::printf("labels to PDF, raw QPdfWriter:%8.1f ms   engine / raw = %.2f (aim: at most 1.5)\n", raw, engine / raw);
    return 0;
}
