#include "ReportModel.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace Report {

namespace {

struct KindName
{
    BandKind kind;
    const char *name;
    const char *caption;
};

const KindName bandKinds[] = {
    {BandKind::Title, "title", "报表标题"},
    {BandKind::PageHeader, "pageheader", "页眉"},
    {BandKind::MasterData, "masterdata", "主数据"},
    {BandKind::Summary, "summary", "汇总"},
    {BandKind::PageFooter, "pagefooter", "页脚"},
};

const char *objectTag(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text: return "text";
    case ObjectKind::Line: return "line";
    case ObjectKind::Rect: return "rect";
    case ObjectKind::Picture: return "picture";
    }
    return "text";
}

std::optional<ObjectKind> objectKind(QStringView tag)
{
    if (tag == u"text") return ObjectKind::Text;
    if (tag == u"line") return ObjectKind::Line;
    if (tag == u"rect") return ObjectKind::Rect;
    if (tag == u"picture") return ObjectKind::Picture;
    return std::nullopt;
}

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

QString frameText(int frame)
{
    if (frame == FrameAll)
        return QStringLiteral("all");
    QString text;
    if (frame & FrameLeft) text += u'l';
    if (frame & FrameTop) text += u't';
    if (frame & FrameRight) text += u'r';
    if (frame & FrameBottom) text += u'b';
    return text;
}

int frameFromText(const QString &text)
{
    if (text == u"all")
        return FrameAll;
    int frame = 0;
    if (text.contains(u'l')) frame |= FrameLeft;
    if (text.contains(u't')) frame |= FrameTop;
    if (text.contains(u'r')) frame |= FrameRight;
    if (text.contains(u'b')) frame |= FrameBottom;
    return frame;
}

QString alignText(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter) return QStringLiteral("center");
    if (alignment & Qt::AlignRight) return QStringLiteral("right");
    if (alignment & Qt::AlignJustify) return QStringLiteral("justify");
    return QStringLiteral("left");
}

QString valignText(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignTop) return QStringLiteral("top");
    if (alignment & Qt::AlignBottom) return QStringLiteral("bottom");
    return QStringLiteral("center");
}

Qt::Alignment alignmentFrom(const QString &align, const QString &valign)
{
    Qt::Alignment result = Qt::AlignLeft;
    if (align == u"center") result = Qt::AlignHCenter;
    else if (align == u"right") result = Qt::AlignRight;
    else if (align == u"justify") result = Qt::AlignJustify;
    if (valign == u"top") result |= Qt::AlignTop;
    else if (valign == u"bottom") result |= Qt::AlignBottom;
    else result |= Qt::AlignVCenter;
    return result;
}

// Reads the attributes of one element as numbers, remembering the first bad one.
class Attributes
{
public:
    Attributes(const QXmlStreamAttributes &attributes, QString *error) : m_attributes(attributes), m_error(error) {}

    double number(const char *name, double fallback, double minimum = -1e6, double maximum = 1e6)
    {
        const QString key = QString::fromLatin1(name);
        if (!m_attributes.hasAttribute(key))
            return fallback;
        bool ok = false;
        const double value = m_attributes.value(key).toDouble(&ok);
        if (!ok || !(value >= minimum && value <= maximum)) {
            fail(QStringLiteral("属性 %1 的值“%2”无效,应在 %3 到 %4 之间")
                     .arg(key, m_attributes.value(key).toString(), QString::number(minimum), QString::number(maximum)));
            return fallback;
        }
        return value;
    }
    int integer(const char *name, int fallback, int minimum, int maximum)
    {
        return int(number(name, fallback, minimum, maximum));
    }
    QString text(const char *name, const QString &fallback = {}) const
    {
        const QString key = QString::fromLatin1(name);
        return m_attributes.hasAttribute(key) ? m_attributes.value(key).toString() : fallback;
    }
    bool flag(const char *name, bool fallback = false) const
    {
        const QString value = text(name);
        return value.isEmpty() ? fallback : (value == u"1" || value == u"true");
    }
    void fail(const QString &message)
    {
        if (m_error->isEmpty())
            *m_error = message;
    }

private:
    const QXmlStreamAttributes &m_attributes;
    QString *m_error;
};

constexpr double maxLength = 5000; // mm: nothing printed is larger

ReportObject readObject(QXmlStreamReader &xml, ObjectKind kind, QString *error)
{
    ReportObject object;
    object.kind = kind;
    const QXmlStreamAttributes attributes = xml.attributes();
    Attributes a(attributes, error);
    object.name = a.text("name");
    object.rect = QRectF(a.number("x", 0, -maxLength, maxLength), a.number("y", 0, -maxLength, maxLength),
                         a.number("w", 10, -maxLength, maxLength), a.number("h", 5, -maxLength, maxLength));
    object.format = a.text("format");
    object.fontFamily = a.text("font", object.fontFamily);
    object.fontSize = a.number("size", object.fontSize, 1, 400);
    object.bold = a.flag("bold");
    object.italic = a.flag("italic");
    object.alignment = alignmentFrom(a.text("align"), a.text("valign"));
    object.frame = frameFromText(a.text("frame"));
    object.lineWidth = a.number("linewidth", object.lineWidth, 0, 20);
    object.wordWrap = a.flag("wrap");
    object.cells = a.integer("cells", 0, 0, 100);
    object.picture = a.text("file");
    if (kind != ObjectKind::Line && (object.rect.width() < 0 || object.rect.height() < 0))
        a.fail(QStringLiteral("对象“%1”的大小为负").arg(object.name));
    const QString body = xml.readElementText(QXmlStreamReader::SkipChildElements);
    if (kind == ObjectKind::Picture)
        object.pictureData = QByteArray::fromBase64(body.trimmed().toLatin1());
    else if (kind == ObjectKind::Text)
        object.text = body;
    if (object.name.isEmpty())
        a.fail(QStringLiteral("有对象没有名称"));
    return object;
}

} // namespace

QString bandKindName(BandKind kind)
{
    for (const KindName &entry : bandKinds)
        if (entry.kind == kind)
            return QString::fromLatin1(entry.name);
    return {};
}

QString bandCaption(BandKind kind)
{
    for (const KindName &entry : bandKinds)
        if (entry.kind == kind)
            return QString::fromUtf8(entry.caption);
    return {};
}

std::optional<BandKind> bandKindFromName(const QString &name)
{
    for (const KindName &entry : bandKinds)
        if (name == QLatin1String(entry.name))
            return entry.kind;
    return std::nullopt;
}

Band *ReportDocument::band(BandKind kind)
{
    for (Band &b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

const Band *ReportDocument::band(BandKind kind) const
{
    return const_cast<ReportDocument *>(this)->band(kind);
}

ReportObject *ReportDocument::object(const QString &objectName)
{
    for (Band &b : bands)
        for (ReportObject &o : b.objects)
            if (o.name.compare(objectName, Qt::CaseInsensitive) == 0)
                return &o;
    return nullptr;
}

const ReportObject *ReportDocument::object(const QString &objectName) const
{
    return const_cast<ReportDocument *>(this)->object(objectName);
}

QString ReportDocument::freeName(const QString &prefix) const
{
    for (int n = 1;; ++n) {
        const QString candidate = prefix + QString::number(n);
        if (!object(candidate))
            return candidate;
    }
}

std::optional<ReportDocument> read(const QByteArray &text, QString *error)
{
    QString dummy;
    if (!error)
        error = &dummy;
    error->clear();
    QXmlStreamReader xml(text);
    ReportDocument document;
    if (!xml.readNextStartElement() || xml.name() != u"report") {
        *error = QStringLiteral("不是报表模板文件");
        return std::nullopt;
    }
    {
        const QXmlStreamAttributes attributes = xml.attributes();
        document.name = attributes.value(QStringLiteral("name")).toString();
        document.title = attributes.value(QStringLiteral("title")).toString();
    }
    while (xml.readNextStartElement() && error->isEmpty()) {
        const QXmlStreamAttributes attributes = xml.attributes();
        Attributes a(attributes, error);
        if (xml.name() == u"page") {
            PageSetup &page = document.page;
            page.paper = a.text("paper", page.paper);
            page.width = a.number("width", page.width, 10, maxLength);
            page.height = a.number("height", page.height, 10, maxLength);
            page.left = a.number("left", page.left, 0, maxLength);
            page.top = a.number("top", page.top, 0, maxLength);
            page.right = a.number("right", page.right, 0, maxLength);
            page.bottom = a.number("bottom", page.bottom, 0, maxLength);
            if (page.left + page.right >= page.width || page.top + page.bottom >= page.height)
                a.fail(QStringLiteral("页边距大于纸张"));
            xml.skipCurrentElement();
        } else if (xml.name() == u"labels") {
            LabelLayout &labels = document.labels;
            // A label sheet has at least one label of some size: a sheet of none would lay
            // every row on one spot, or divide by its zero columns.
            labels.columns = a.integer("columns", 0, 1, 100);
            labels.rows = a.integer("rows", 0, 1, 200);
            labels.width = a.number("width", 0, 1, maxLength);
            labels.height = a.number("height", 0, 1, maxLength);
            if (error->isEmpty() && !labels.active())
                a.fail(QStringLiteral("标签纸须写明 columns、rows、width 和 height"));
            labels.gapX = a.number("gapx", 0, 0, maxLength);
            labels.gapY = a.number("gapy", 0, 0, maxLength);
            labels.firstLabel = a.integer("first", 1, 1, 20000);
            xml.skipCurrentElement();
        } else if (xml.name() == u"band") {
            const auto kind = bandKindFromName(a.text("kind"));
            if (!kind) {
                a.fail(QStringLiteral("未知的报表区“%1”").arg(a.text("kind")));
                break;
            }
            if (document.band(*kind)) {
                a.fail(QStringLiteral("报表区“%1”重复").arg(bandCaption(*kind)));
                break;
            }
            Band band;
            band.kind = *kind;
            band.height = a.number("height", band.height, 0, maxLength);
            band.newPageAfterRow = a.flag("newpage");
            while (xml.readNextStartElement() && error->isEmpty()) {
                const auto kindOfObject = objectKind(xml.name());
                if (!kindOfObject) {
                    *error = QStringLiteral("未知的对象“%1”").arg(xml.name().toString());
                    break;
                }
                band.objects.append(readObject(xml, *kindOfObject, error));
            }
            document.bands.append(band);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (error->isEmpty() && xml.hasError())
        *error = QStringLiteral("模板文件已损坏（第 %1 行：%2）").arg(xml.lineNumber()).arg(xml.errorString());
    if (error->isEmpty()) {
        QStringList names;
        for (const Band &band : document.bands)
            for (const ReportObject &object : band.objects) {
                if (names.contains(object.name, Qt::CaseInsensitive)) {
                    *error = QStringLiteral("对象名称“%1”重复").arg(object.name);
                    break;
                }
                names.append(object.name);
            }
    }
    if (!error->isEmpty())
        return std::nullopt;
    // Bands in printing order, whatever the order in the file.
    std::stable_sort(document.bands.begin(), document.bands.end(),
                     [](const Band &x, const Band &y) { return int(x.kind) < int(y.kind); });
    return document;
}

QByteArray write(const ReportDocument &document)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("report"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("name"), document.name);
    if (!document.title.isEmpty())
        xml.writeAttribute(QStringLiteral("title"), document.title);

    const PageSetup &page = document.page;
    xml.writeStartElement(QStringLiteral("page"));
    xml.writeAttribute(QStringLiteral("paper"), page.paper);
    xml.writeAttribute(QStringLiteral("width"), number(page.width));
    xml.writeAttribute(QStringLiteral("height"), number(page.height));
    xml.writeAttribute(QStringLiteral("left"), number(page.left));
    xml.writeAttribute(QStringLiteral("top"), number(page.top));
    xml.writeAttribute(QStringLiteral("right"), number(page.right));
    xml.writeAttribute(QStringLiteral("bottom"), number(page.bottom));
    xml.writeEndElement();

    if (document.labels.active()) {
        const LabelLayout &labels = document.labels;
        xml.writeStartElement(QStringLiteral("labels"));
        xml.writeAttribute(QStringLiteral("columns"), QString::number(labels.columns));
        xml.writeAttribute(QStringLiteral("rows"), QString::number(labels.rows));
        xml.writeAttribute(QStringLiteral("width"), number(labels.width));
        xml.writeAttribute(QStringLiteral("height"), number(labels.height));
        xml.writeAttribute(QStringLiteral("gapx"), number(labels.gapX));
        xml.writeAttribute(QStringLiteral("gapy"), number(labels.gapY));
        xml.writeAttribute(QStringLiteral("first"), QString::number(labels.firstLabel));
        xml.writeEndElement();
    }

    for (const Band &band : document.bands) {
        xml.writeStartElement(QStringLiteral("band"));
        xml.writeAttribute(QStringLiteral("kind"), bandKindName(band.kind));
        xml.writeAttribute(QStringLiteral("height"), number(band.height));
        if (band.newPageAfterRow)
            xml.writeAttribute(QStringLiteral("newpage"), QStringLiteral("1"));
        for (const ReportObject &o : band.objects) {
            xml.writeStartElement(QString::fromLatin1(objectTag(o.kind)));
            xml.writeAttribute(QStringLiteral("name"), o.name);
            xml.writeAttribute(QStringLiteral("x"), number(o.rect.x()));
            xml.writeAttribute(QStringLiteral("y"), number(o.rect.y()));
            xml.writeAttribute(QStringLiteral("w"), number(o.rect.width()));
            xml.writeAttribute(QStringLiteral("h"), number(o.rect.height()));
            if (o.kind == ObjectKind::Text) {
                xml.writeAttribute(QStringLiteral("font"), o.fontFamily);
                xml.writeAttribute(QStringLiteral("size"), number(o.fontSize));
                if (o.bold) xml.writeAttribute(QStringLiteral("bold"), QStringLiteral("1"));
                if (o.italic) xml.writeAttribute(QStringLiteral("italic"), QStringLiteral("1"));
                xml.writeAttribute(QStringLiteral("align"), alignText(o.alignment));
                xml.writeAttribute(QStringLiteral("valign"), valignText(o.alignment));
                if (!o.format.isEmpty()) xml.writeAttribute(QStringLiteral("format"), o.format);
                if (o.wordWrap) xml.writeAttribute(QStringLiteral("wrap"), QStringLiteral("1"));
                if (o.cells > 0) xml.writeAttribute(QStringLiteral("cells"), QString::number(o.cells));
            }
            if (o.frame)
                xml.writeAttribute(QStringLiteral("frame"), frameText(o.frame));
            if (o.frame || o.kind == ObjectKind::Line || o.kind == ObjectKind::Rect || o.cells > 0)
                xml.writeAttribute(QStringLiteral("linewidth"), number(o.lineWidth));
            if (o.kind == ObjectKind::Picture && !o.picture.isEmpty())
                xml.writeAttribute(QStringLiteral("file"), o.picture);
            if (o.kind == ObjectKind::Text)
                xml.writeCharacters(o.text);
            else if (o.kind == ObjectKind::Picture && !o.pictureData.isEmpty())
                xml.writeCharacters(QString::fromLatin1(o.pictureData.toBase64()));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace Report
