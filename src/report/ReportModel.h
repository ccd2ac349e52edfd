#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <Qt>
#include <optional>

// The layout of one report: page, bands, label sheet and the objects in the bands.
// Every length is in millimetres; an object's position is relative to its band (or to
// its label on a label sheet), measured from the page's left margin. The file format is
// documented in docs/report-format.md.
namespace Report {

enum class BandKind { Title, PageHeader, MasterData, Summary, PageFooter };
enum class ObjectKind { Text, Line, Rect, Picture };

// Sides of an object's frame.
enum FrameSide { FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

struct ReportObject
{
    ObjectKind kind = ObjectKind::Text;
    QString name;
    QRectF rect;                 // mm; a line runs from the top-left to the bottom-right corner
    QString text;                // with [Field], [Dataset.Field] and [variable] references
    QString format;              // display format of the values: "0.00", "#,##0.00", "yyyy-MM-dd"
    QString fontFamily = QStringLiteral("Noto Sans CJK SC");
    double fontSize = 10;        // points
    bool bold = false;
    bool italic = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int frame = 0;               // FrameSide bits
    double lineWidth = 0.2;      // mm, for frames, lines and rectangles
    bool wordWrap = false;
    int cells = 0;               // > 0: one character per framed cell (postcode boxes)
    QString picture;             // file relative to the program directory
    QByteArray pictureData;      // or the picture itself (PNG), kept in the template
};

struct Band
{
    BandKind kind = BandKind::MasterData;
    double height = 10;          // mm; on a label sheet the label's height counts
    bool newPageAfterRow = false; // master data: every row on a page of its own
    QList<ReportObject> objects;
};

struct PageSetup
{
    QString paper = QStringLiteral("A4"); // A4, A5, B5, DL, C5, Custom...
    double width = 210;          // mm, as printed (landscape already turned)
    double height = 297;
    double left = 10, top = 10, right = 10, bottom = 10;
    bool landscape() const { return width > height; }
};

// An address-label sheet: the master data band is printed once per label.
struct LabelLayout
{
    int columns = 0;             // 0: no label sheet
    int rows = 0;
    double width = 0, height = 0; // one label, mm
    double gapX = 0, gapY = 0;   // between labels, mm
    int firstLabel = 1;          // 1-based place of the first label on the first sheet
    bool active() const { return columns > 0 && rows > 0 && width > 0 && height > 0; }
    int perSheet() const { return columns * rows; }
};

struct ReportDocument
{
    QString name;
    QString title;
    PageSetup page;
    LabelLayout labels;
    QList<Band> bands;

    Band *band(BandKind kind);
    const Band *band(BandKind kind) const;
    // Every object of the report by its name (nullptr when there is none).
    ReportObject *object(const QString &name);
    const ReportObject *object(const QString &name) const;
    // A name no object has yet: prefix + the next number.
    QString freeName(const QString &prefix) const;
};

QString bandKindName(BandKind kind);          // title, pageheader, masterdata, summary, pagefooter
QString bandCaption(BandKind kind);           // 报表标题, 页眉, 主数据, 汇总, 页脚
std::optional<BandKind> bandKindFromName(const QString &name);

// Reading and writing the template text. read() returns nullopt and the reason, in
// the program's language, when the text is not a report template.
std::optional<ReportDocument> read(const QByteArray &xml, QString *error);
QByteArray write(const ReportDocument &document);

} // namespace Report
