#include "Spreadsheet.h"
#include "store/Gbk.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <cmath>
#include <cstring>
#include <freexl.h>
#include <memory>
#include <zip.h>

// ---------------------------------------------------------------- SheetData

QString SheetData::text(int row, int column) const
{
    if (row < 1 || row > m_rows.size())
        return {};
    const QStringList &cells = m_rows.at(row - 1);
    return column >= 1 && column <= cells.size() ? cells.at(column - 1) : QString();
}

SheetData::Kind SheetData::kind(int row, int column) const
{
    if (row < 1 || row > m_kinds.size())
        return Empty;
    const QByteArray &kinds = m_kinds.at(row - 1);
    return column >= 1 && column <= kinds.size() ? Kind(kinds.at(column - 1)) : Empty;
}

bool SheetData::isBlankRow(int row) const
{
    if (row < 1 || row > m_rows.size())
        return true;
    for (const QString &cell : m_rows.at(row - 1))
        if (!cell.isEmpty())
            return false;
    return true;
}

void SheetData::appendRow(QStringList cells, QByteArray kinds)
{
    // A row repeated many times (an .ods row with number-rows-repeated) arrives as one
    // shared list: it is only written to where it must change, so the repeats share it.
    while (!cells.isEmpty() && cells.constLast().isEmpty())
        cells.removeLast();
    if (kinds.size() != cells.size())
        kinds.resize(cells.size(), char(Empty));
    for (int i = 0; i < cells.size(); ++i)
        if (cells.at(i).isEmpty() && kinds.at(i) != char(Empty))
            kinds[i] = char(Empty);
    // The limits of a spreadsheet program's own sheets, and a bound on the cells held,
    // checked before the row is kept: a small file that claims a billion repeated rows or
    // cells is refused instead of filling the memory.
    if (m_rows.size() >= MaxRows)
        throw SpreadsheetError(QStringLiteral("工作表太大或已损坏: 超过 %1 行。").arg(MaxRows));
    if (cells.size() > MaxColumns)
        throw SpreadsheetError(QStringLiteral("工作表太大或已损坏: 超过 %1 列。").arg(MaxColumns));
    m_cells += cells.size();
    if (m_cells > MaxCells)
        throw SpreadsheetError(QStringLiteral("工作表太大或已损坏: 超过 %1 个单元格。").arg(MaxCells));
    m_columns = std::max(m_columns, int(cells.size()));
    m_rows.append(std::move(cells));
    m_kinds.append(std::move(kinds));
}

void SheetData::finish()
{
    while (!m_rows.isEmpty() && m_rows.last().isEmpty()) {
        m_rows.removeLast();
        m_kinds.removeLast();
    }
}

namespace {

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw SpreadsheetError(QStringLiteral("无法读取文件 \"%1\": %2").arg(QFileInfo(path).fileName(), why));
}

// ---------------------------------------------------------------- number display

// What a number format shows.
struct NumberFormat
{
    enum Kind { General, Fixed, Percent, Date, DateTime, Time, Text } kind = General;
    int decimals = 0;
    bool grouped = false;
};

QString fixedNumber(double value, int decimals, bool grouped)
{
    QString text = QString::number(std::fabs(value), 'f', decimals);
    if (grouped) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        for (qsizetype i = (point < 0 ? text.size() : point) - 3; i > 0; i -= 3)
            text.insert(i, QLatin1Char(','));
    }
    const bool negative = value < 0 && text.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return negative ? QLatin1Char('-') + text : text;
}

QDateTime fromSerial(double serial, bool base1904)
{
    // Day 0 of the 1900 system is 1899-12-30 from day 61 on (the system counts a
    // 29 February 1900 that never was); before that the days start a day later.
    QDate base = base1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    if (!base1904 && serial < 61)
        base = base.addDays(1);
    const double days = std::floor(serial);
    const qint64 ms = qint64(std::llround((serial - days) * 86400000.0));
    return QDateTime(base.addDays(qint64(days)), QTime(0, 0)).addMSecs(ms);
}

QString shownNumber(double value, const NumberFormat &format, bool base1904)
{
    switch (format.kind) {
    case NumberFormat::Fixed:
        return fixedNumber(value, format.decimals, format.grouped);
    case NumberFormat::Percent:
        return fixedNumber(value * 100, format.decimals, false) + QLatin1Char('%');
    case NumberFormat::Date:
        return fromSerial(value, base1904).date().toString(QStringLiteral("yyyy-MM-dd"));
    case NumberFormat::DateTime:
        return fromSerial(value, base1904).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case NumberFormat::Time:
        return fromSerial(value, base1904).time().toString(QStringLiteral("hh:mm:ss"));
    default:
        return Spreadsheet::generalNumber(value);
    }
}

// The kind of a format code ("yyyy-mm-dd", "0.00", "#,##0", "0%", "@" ...).
NumberFormat classify(const QString &code)
{
    NumberFormat format;
    // Only the first section (positive numbers) counts; quoted text, escapes and
    // [colour]/[locale] parts are no format letters.
    QString plain;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (quoted) {
            quoted = c != QLatin1Char('"');
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            ++bracket;
        } else if (c == QLatin1Char(']')) {
            bracket = std::max(0, bracket - 1);
        } else if (c == QLatin1Char(';') && bracket == 0) {
            break;
        } else if (bracket == 0) {
            plain.append(c.toLower());
        }
    }
    if (plain == QLatin1String("@"))
        return {NumberFormat::Text};
    const bool hasDate = plain.contains(QLatin1Char('y')) || plain.contains(QLatin1Char('d'))
                         || (plain.contains(QLatin1Char('m')) && !plain.contains(QLatin1Char('h')));
    const bool hasTime = plain.contains(QLatin1Char('h')) || plain.contains(QLatin1Char('s'));
    if (hasDate)
        return {hasTime ? NumberFormat::DateTime : NumberFormat::Date};
    if (hasTime)
        return {NumberFormat::Time};
    if (plain.contains(QLatin1Char('0')) || plain.contains(QLatin1Char('#'))) {
        const qsizetype point = plain.indexOf(QLatin1Char('.'));
        if (point >= 0)
            while (point + 1 + format.decimals < plain.size()
                   && (plain.at(point + 1 + format.decimals) == QLatin1Char('0')))
                ++format.decimals;
        format.grouped = plain.contains(QLatin1Char(','));
        format.kind = plain.contains(QLatin1Char('%')) ? NumberFormat::Percent : NumberFormat::Fixed;
    }
    return format;
}

// The formats every spreadsheet file knows by number without writing them down.
NumberFormat builtinFormat(int id)
{
    switch (id) {
    case 1: return {NumberFormat::Fixed, 0, false};
    case 2: return {NumberFormat::Fixed, 2, false};
    case 3: return {NumberFormat::Fixed, 0, true};
    case 4: return {NumberFormat::Fixed, 2, true};
    case 9: return {NumberFormat::Percent, 0, false};
    case 10: return {NumberFormat::Percent, 2, false};
    case 14: case 15: case 16: case 17:
    case 27: case 28: case 29: case 30: case 31: case 34: case 35: case 36:
    case 50: case 51: case 52: case 53: case 54: case 57: case 58:
        return {NumberFormat::Date};
    case 22: return {NumberFormat::DateTime};
    case 18: case 19: case 20: case 21: case 45: case 46: case 47:
    case 32: case 33: case 55: case 56:
        return {NumberFormat::Time};
    case 49: return {NumberFormat::Text};
    default: return {};
    }
}

// ---------------------------------------------------------------- zip

class ZipArchive
{
public:
    explicit ZipArchive(const QString &path) : m_path(path)
    {
        int error = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
        if (!m_zip)
            fail(path, QStringLiteral("文件不是有效的Excel或OpenDocument表格文件。"));
    }
    ~ZipArchive() { zip_discard(m_zip); }
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool contains(const QString &name) const
    {
        return zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }
    // The whole entry; an empty array when it does not exist and optional is set.
    QByteArray read(const QString &name, bool optional = false) const
    {
        const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0) {
            if (optional)
                return {};
            fail(m_path, QStringLiteral("缺少 %1。").arg(name));
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)
            || stat.size > zip_uint64_t(1) << 31)
            fail(m_path, QStringLiteral("%1 太大或已损坏。").arg(name));
        zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        if (!file)
            fail(m_path, QStringLiteral("%1 无法解压。").arg(name));
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t got = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        if (got < 0 || zip_uint64_t(got) != stat.size)
            fail(m_path, QStringLiteral("%1 无法解压。").arg(name));
        return bytes;
    }

private:
    QString m_path;
    zip_t *m_zip = nullptr;
};

// A path inside the archive: a relationship target relative to its part's folder.
QString resolve(const QString &folder, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts = folder.isEmpty() ? QStringList() : folder.split(QLatin1Char('/'));
    for (const QString &piece : target.split(QLatin1Char('/'))) {
        if (piece == QLatin1String(".."))
            parts.isEmpty() ? void() : parts.removeLast();
        else if (piece != QLatin1String(".") && !piece.isEmpty())
            parts.append(piece);
    }
    return parts.join(QLatin1Char('/'));
}

struct Relationship
{
    QString type, target;
};

QHash<QString, Relationship> relationships(const ZipArchive &zip, const QString &relsPath, const QString &folder)
{
    QHash<QString, Relationship> result;
    QXmlStreamReader xml(zip.read(relsPath, true));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const auto a = xml.attributes();
            result.insert(a.value(QLatin1String("Id")).toString(),
                          {a.value(QLatin1String("Type")).toString(),
                           resolve(folder, a.value(QLatin1String("Target")).toString())});
        }
    }
    return result;
}

QString findByType(const QHash<QString, Relationship> &rels, QLatin1String typeEnd)
{
    for (const Relationship &r : rels)
        if (r.type.endsWith(typeEnd))
            return r.target;
    return {};
}

// Column number of a cell reference ("AB12" -> 28); 0 when it has no letters.
int columnOf(QStringView reference)
{
    int column = 0;
    for (QChar c : reference) {
        const char16_t u = c.unicode();
        if (u >= 'A' && u <= 'Z')
            column = column * 26 + (u - 'A' + 1);
        else if (u >= 'a' && u <= 'z')
            column = column * 26 + (u - 'a' + 1);
        else
            break;
        if (column > 16384)
            return 0;
    }
    return column;
}

// The text of an <si> or <is> element: its <t> elements, phonetic runs left out.
QString stringItem(QXmlStreamReader &xml)
{
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText();
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

void checkXml(const QXmlStreamReader &xml, const QString &path, const QString &part)
{
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        fail(path, QStringLiteral("%1 已损坏 (%2)。").arg(part, xml.errorString()));
}

} // namespace

namespace {

// The sheet and shared-text parts of an .xlsx are large and always written the same plain
// way; they are scanned byte by byte here, many times faster than a general XML reader.
// Parts that use a namespace prefix or a document type go through QXmlStreamReader.
bool isPlainSpreadsheetXml(const QByteArray &xml, const char *rootElement)
{
    return xml.contains(rootElement) && !xml.contains("<!DOCTYPE") && !xml.contains("<![CDATA[");
}

class FastXml
{
public:
    explicit FastXml(const QByteArray &bytes) : m_p(bytes.constData()), m_end(bytes.constData() + bytes.size()) {}

    // Moves to the next element tag; false at the end.
    bool next()
    {
        for (;;) {
            const char *open = static_cast<const char *>(std::memchr(m_p, '<', size_t(m_end - m_p)));
            if (!open)
                return false;
            const char *p = open + 1;
            if (p < m_end && (*p == '?' || *p == '!')) {
                const char *close = *p == '!' && m_end - p > 3 && p[1] == '-' && p[2] == '-'
                                        ? find(p, "-->") : static_cast<const char *>(std::memchr(p, '>', size_t(m_end - p)));
                if (!close)
                    return fail();
                m_p = close + 1;
                continue;
            }
            m_closing = p < m_end && *p == '/';
            if (m_closing)
                ++p;
            const char *name = p;
            while (p < m_end && *p != '>' && *p != '/' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
                ++p;
            m_tag = QByteArrayView(name, p - name);
            m_attributes = p;
            // The tag ends at the first '>' outside a quoted value.
            char quote = 0;
            while (p < m_end && (quote || *p != '>')) {
                if (quote ? *p == quote : (*p == '"' || *p == '\''))
                    quote = quote ? 0 : *p;
                ++p;
            }
            if (p >= m_end)
                return fail();
            m_selfClosing = p[-1] == '/';
            m_attributesEnd = p;
            m_p = p + 1;
            return true;
        }
    }
    QByteArrayView tag() const { return m_tag; }
    bool closing() const { return m_closing; }
    bool selfClosing() const { return m_selfClosing; }
    bool ok() const { return m_ok; }

    // An attribute of the current tag, decoded; empty when it is missing.
    QString attribute(const char *name) const
    {
        const qsizetype length = qsizetype(std::strlen(name));
        const char *p = m_attributes;
        while (p < m_attributesEnd) {
            while (p < m_attributesEnd && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '/'))
                ++p;
            const char *key = p;
            while (p < m_attributesEnd && *p != '=' && *p != ' ')
                ++p;
            const QByteArrayView found(key, p - key);
            while (p < m_attributesEnd && (*p == '=' || *p == ' '))
                ++p;
            if (p >= m_attributesEnd || (*p != '"' && *p != '\''))
                return {};
            const char quote = *p++;
            const char *valueStart = p;
            while (p < m_attributesEnd && *p != quote)
                ++p;
            if (found.size() == length && std::memcmp(found.data(), name, size_t(length)) == 0)
                return decode(valueStart, p);
            ++p;
        }
        return {};
    }

    // The text up to the closing tag of the current element (which has no children).
    QString textUntilClose(const char *name)
    {
        const char *start = m_p;
        const char *close = static_cast<const char *>(std::memchr(m_p, '<', size_t(m_end - m_p)));
        if (!close) {
            fail();
            return {};
        }
        m_p = close;
        QString text = decode(start, close);
        if (!next() || !m_closing || m_tag != QByteArrayView(name))
            fail();
        return text;
    }

    // The text of an <si> or <is> element: its <t> elements, phonetic runs left out.
    QString stringItem(const char *name)
    {
        QString text;
        int phonetic = 0;
        while (next()) {
            if (m_tag == QByteArrayView(name) && m_closing)
                return text;
            if (m_tag == "rPh" && !m_selfClosing)
                phonetic += m_closing ? -1 : 1;
            else if (m_tag == "t" && !m_closing && !m_selfClosing && phonetic == 0)
                text += textUntilClose("t");
        }
        fail();
        return text;
    }

private:
    bool fail()
    {
        m_ok = false;
        m_p = m_end;
        return false;
    }
    const char *find(const char *from, const char *what) const
    {
        const QByteArrayView rest(from, m_end - from);
        const qsizetype at = rest.indexOf(QByteArrayView(what));
        return at < 0 ? nullptr : from + at + std::strlen(what) - 1;
    }
    static QString decode(const char *begin, const char *end)
    {
        const char *amp = static_cast<const char *>(std::memchr(begin, '&', size_t(end - begin)));
        if (!amp)
            return QString::fromUtf8(begin, end - begin);
        QByteArray out;
        out.reserve(end - begin);
        for (const char *p = begin; p < end; ++p) {
            if (*p != '&') {
                out.append(*p);
                continue;
            }
            const char *semi = static_cast<const char *>(std::memchr(p, ';', size_t(end - p)));
            if (!semi || semi - p > 12) {
                out.append(*p);
                continue;
            }
            const QByteArrayView entity(p + 1, semi - p - 1);
            if (entity == "amp")
                out.append('&');
            else if (entity == "lt")
                out.append('<');
            else if (entity == "gt")
                out.append('>');
            else if (entity == "quot")
                out.append('"');
            else if (entity == "apos")
                out.append('\'');
            else if (entity.startsWith("#")) {
                bool ok = false;
                const uint code = entity.startsWith("#x") || entity.startsWith("#X")
                                      ? QByteArray(entity.sliced(2).data(), entity.size() - 2).toUInt(&ok, 16)
                                      : QByteArray(entity.sliced(1).data(), entity.size() - 1).toUInt(&ok, 10);
                if (!ok || code > 0x10FFFF) {
                    out.append(p, semi - p + 1);
                } else {
                    const char32_t c = char32_t(code);
                    out.append(QString::fromUcs4(&c, 1).toUtf8());
                }
            } else {
                out.append(p, semi - p + 1);
            }
            p = semi;
        }
        return QString::fromUtf8(out);
    }

    const char *m_p;
    const char *m_end;
    QByteArrayView m_tag;
    const char *m_attributes = nullptr;
    const char *m_attributesEnd = nullptr;
    bool m_closing = false;
    bool m_selfClosing = false;
    bool m_ok = true;
};

} // namespace

// ---------------------------------------------------------------- .xlsx

SheetData Spreadsheet::readXlsx(const QString &path)
{
    const ZipArchive zip(path);
    const QHash<QString, Relationship> packageRels = relationships(zip, QStringLiteral("_rels/.rels"), QString());
    QString workbookPath = findByType(packageRels, QLatin1String("/officeDocument"));
    if (workbookPath.isEmpty())
        workbookPath = QStringLiteral("xl/workbook.xml");
    const QString folder = workbookPath.section(QLatin1Char('/'), 0, -2);
    const QHash<QString, Relationship> rels = relationships(
        zip, folder + QStringLiteral("/_rels/") + workbookPath.section(QLatin1Char('/'), -1) + QStringLiteral(".rels"), folder);

    // The workbook: its date system, its sheets in order and the one shown when it opens.
    bool base1904 = false;
    int activeTab = 0;
    QStringList sheets;
    {
        QXmlStreamReader xml(zip.read(workbookPath));
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("workbookPr")) {
                const auto v = a.value(QLatin1String("date1904"));
                base1904 = v == QLatin1String("1") || v == QLatin1String("true");
            } else if (xml.name() == QLatin1String("workbookView")) {
                activeTab = a.value(QLatin1String("activeTab")).toInt();
            } else if (xml.name() == QLatin1String("sheet")) {
                for (const QXmlStreamAttribute &attribute : a)
                    if (attribute.name() == QLatin1String("id"))
                        sheets.append(rels.value(attribute.value().toString()).target);
            }
        }
        checkXml(xml, path, workbookPath);
    }
    if (sheets.isEmpty())
        fail(path, QStringLiteral("工作簿中没有工作表。"));
    const QString sheetPath = sheets.value(activeTab >= 0 && activeTab < sheets.size() ? activeTab : 0);
    if (sheetPath.isEmpty() || !zip.contains(sheetPath))
        fail(path, QStringLiteral("找不到工作表。"));

    QStringList strings;
    QString sharedPath = findByType(rels, QLatin1String("/sharedStrings"));
    if (!sharedPath.isEmpty()) {
        const QByteArray sharedXml = zip.read(sharedPath, true);
        if (isPlainSpreadsheetXml(sharedXml, "<sst")) {
            FastXml xml(sharedXml);
            while (xml.next())
                if (xml.tag() == "si" && !xml.closing())
                    strings.append(xml.selfClosing() ? QString() : xml.stringItem("si"));
            if (!xml.ok())
                fail(path, QStringLiteral("%1 已损坏。").arg(sharedPath));
        } else {
            QXmlStreamReader xml(sharedXml);
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == QLatin1String("si"))
                    strings.append(stringItem(xml));
            }
            checkXml(xml, path, sharedPath);
        }
    }

    // Styles: the number format of each cell style.
    QList<NumberFormat> styles;
    const QString stylesPath = findByType(rels, QLatin1String("/styles"));
    if (!stylesPath.isEmpty()) {
        QHash<int, NumberFormat> custom;
        QXmlStreamReader xml(zip.read(stylesPath, true));
        bool inCellXfs = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs"))
                inCellXfs = false;
            if (!xml.isStartElement())
                continue;
            const auto a = xml.attributes();
            if (xml.name() == QLatin1String("numFmt")) {
                custom.insert(a.value(QLatin1String("numFmtId")).toInt(),
                              classify(a.value(QLatin1String("formatCode")).toString()));
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                const int id = a.value(QLatin1String("numFmtId")).toInt();
                styles.append(custom.contains(id) ? custom.value(id) : builtinFormat(id));
            }
        }
        checkXml(xml, path, stylesPath);
    }

    SheetData sheet;
    QStringList cells;
    QByteArray kinds;
    int rowNumber = 0;      // the row being read
    int column = 0;         // the cell being read
    QString type;           // its t attribute
    int style = 0;          // its s attribute
    QString value;          // its <v> text
    QString inlineText;
    bool hasInline = false;
    const auto rowStarts = [&](int r) {
        rowNumber = r > rowNumber ? r : rowNumber + 1;
        if (rowNumber > 1048576)
            fail(path, QStringLiteral("行数超出范围。"));
        while (sheet.rowCount() < rowNumber - 1)
            sheet.appendRow({}, {});
        cells.clear();
        kinds.clear();
        column = 0;
    };
    const auto cellStarts = [&](QStringView reference, QStringView t, QStringView s) {
        const int c = columnOf(reference);
        column = c > 0 ? c : column + 1;
        if (column < 1 || column > 16384)
            fail(path, QStringLiteral("列超出范围。"));
        type = t.toString();
        style = s.toInt();
        value.clear();
        inlineText.clear();
        hasInline = false;
    };
    const auto cellEnds = [&] {
        QString text;
        char kind = SheetData::Text;
        if (type == QLatin1String("s") && !value.isEmpty()) {
            bool ok = false;
            const int index = value.toInt(&ok);
            if (!ok || index < 0 || index >= strings.size())
                fail(path, QStringLiteral("单元格引用了不存在的文字。"));
            text = strings.at(index);
        } else if (type == QLatin1String("s")) {
            text.clear(); // a shared text without its number: an empty cell
        } else if (type == QLatin1String("inlineStr")) {
            text = hasInline ? inlineText : value;
        } else if (type == QLatin1String("str") || type == QLatin1String("e")) {
            text = value;
        } else if (type == QLatin1String("b")) {
            text = value.isEmpty() ? QString() : value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            kind = SheetData::Boolean;
        } else if (!value.isEmpty()) {
            bool ok = false;
            const double number = value.toDouble(&ok);
            const NumberFormat format = style >= 0 && style < styles.size() ? styles.at(style) : NumberFormat{};
            if (!ok) {
                text = value;
            } else {
                text = shownNumber(number, format, base1904);
                kind = format.kind == NumberFormat::Date || format.kind == NumberFormat::DateTime
                               || format.kind == NumberFormat::Time
                           ? SheetData::Date
                           : SheetData::Number;
            }
        }
        if (!text.isEmpty()) {
            while (cells.size() < column) {
                cells.append(QString());
                kinds.append(char(SheetData::Empty));
            }
            cells[column - 1] = text;
            kinds[column - 1] = kind;
        }
    };
    const auto rowEnds = [&] {
        sheet.appendRow(std::move(cells), std::move(kinds));
        cells = {};
        kinds = {};
    };

    const QByteArray sheetXml = zip.read(sheetPath);
    if (isPlainSpreadsheetXml(sheetXml, "<sheetData")) {
        FastXml xml(sheetXml);
        while (xml.next()) {
            const QByteArrayView tag = xml.tag();
            if (tag == "row") {
                if (xml.closing())
                    rowEnds();
                else {
                    rowStarts(xml.attribute("r").toInt());
                    if (xml.selfClosing())
                        rowEnds();
                }
            } else if (tag == "c" && !xml.closing()) {
                cellStarts(xml.attribute("r"), xml.attribute("t"), xml.attribute("s"));
                if (xml.selfClosing()) {
                    cellEnds();
                    continue;
                }
                // The cell's content up to </c>: its value or its inline text.
                while (xml.next()) {
                    const QByteArrayView inner = xml.tag();
                    if (inner == "c" && xml.closing())
                        break;
                    if (inner == "v" && !xml.closing() && !xml.selfClosing())
                        value = xml.textUntilClose("v");
                    else if (inner == "is" && !xml.closing() && !xml.selfClosing()) {
                        inlineText = xml.stringItem("is");
                        hasInline = true;
                    }
                }
                cellEnds();
            }
        }
        if (!xml.ok())
            fail(path, QStringLiteral("%1 已损坏。").arg(sheetPath));
    } else {
        QXmlStreamReader xml(sheetXml);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                const QStringView name = xml.name();
                if (name == QLatin1String("row")) {
                    rowStarts(xml.attributes().value(QLatin1String("r")).toInt());
                } else if (name == QLatin1String("c")) {
                    const auto a = xml.attributes();
                    cellStarts(a.value(QLatin1String("r")), a.value(QLatin1String("t")), a.value(QLatin1String("s")));
                } else if (name == QLatin1String("v")) {
                    value = xml.readElementText();
                } else if (name == QLatin1String("is")) {
                    inlineText = stringItem(xml);
                    hasInline = true;
                }
            } else if (xml.isEndElement()) {
                if (xml.name() == QLatin1String("c"))
                    cellEnds();
                else if (xml.name() == QLatin1String("row"))
                    rowEnds();
            }
        }
        checkXml(xml, path, sheetPath);
    }
    sheet.finish();
    return sheet;
}

// ---------------------------------------------------------------- .ods

namespace {

// The text of a <text:p> element: its text, spans, spaces (<text:s text:c="n"/>), tabs
// and line breaks.
void paragraphText(QXmlStreamReader &xml, QString &text)
{
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == QLatin1String("s")) {
                const int n = xml.attributes().value(QLatin1String("text:c")).toInt();
                text += QString(std::max(1, n), QLatin1Char(' '));
            } else if (xml.name() == QLatin1String("tab")) {
                text += QLatin1Char('\t');
            } else if (xml.name() == QLatin1String("line-break")) {
                text += QLatin1Char('\n');
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
}

// Repeats are limited so that a sheet of a million empty formatted rows costs nothing.
constexpr int MaxRepeat = 1048576;

} // namespace

SheetData Spreadsheet::readOds(const QString &path)
{
    const ZipArchive zip(path);
    QXmlStreamReader xml(zip.read(QStringLiteral("content.xml")));
    SheetData sheet;
    int tables = 0;
    int pendingBlankRows = 0;
    QStringList cells;
    QByteArray kinds;
    int pendingBlankCells = 0;
    int rowRepeat = 1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (name == QLatin1String("table")) {
                if (++tables > 1)
                    break; // the first sheet only
            } else if (tables != 1) {
                continue;
            } else if (name == QLatin1String("table-row")) {
                rowRepeat = std::clamp(xml.attributes().value(QLatin1String("table:number-rows-repeated")).toInt(), 1, MaxRepeat);
                cells.clear();
                kinds.clear();
                pendingBlankCells = 0;
            } else if (name == QLatin1String("table-cell") || name == QLatin1String("covered-table-cell")) {
                const auto a = xml.attributes();
                const int repeat = std::clamp(a.value(QLatin1String("table:number-columns-repeated")).toInt(), 1, 16384);
                const QStringView type = a.value(QLatin1String("office:value-type"));
                QString text;
                bool paragraphs = false;
                // The cell's paragraphs, one line each.
                int depth = 1;
                while (depth > 0 && !xml.atEnd()) {
                    xml.readNext();
                    if (xml.isStartElement()) {
                        if (xml.name() == QLatin1String("annotation")) {
                            xml.skipCurrentElement(); // a comment is not what the cell shows
                        } else if (xml.name() == QLatin1String("p")) {
                            if (paragraphs)
                                text += QLatin1Char('\n');
                            paragraphs = true;
                            paragraphText(xml, text);
                        } else {
                            ++depth;
                        }
                    } else if (xml.isEndElement()) {
                        --depth;
                    }
                }
                char kind = text.isEmpty() ? char(SheetData::Empty) : char(SheetData::Text);
                if (type == QLatin1String("float") || type == QLatin1String("currency") || type == QLatin1String("percentage")) {
                    kind = SheetData::Number;
                    // A long whole number shown in scientific notation is read as its digits.
                    bool ok = false;
                    const double number = a.value(QLatin1String("office:value")).toDouble(&ok);
                    if (ok && (text.contains(QLatin1Char('E')) || text.isEmpty()) && type == QLatin1String("float"))
                        text = generalNumber(number);
                } else if (type == QLatin1String("date")) {
                    kind = SheetData::Date;
                    const QString value = a.value(QLatin1String("office:date-value")).toString();
                    const QDateTime when = QDateTime::fromString(value.left(19), Qt::ISODate);
                    if (value.size() <= 10)
                        text = value;
                    else if (when.isValid())
                        text = when.time() == QTime(0, 0) ? when.date().toString(QStringLiteral("yyyy-MM-dd"))
                                                          : when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
                } else if (type == QLatin1String("boolean")) {
                    kind = SheetData::Boolean;
                    const auto v = a.value(QLatin1String("office:boolean-value"));
                    text = v == QLatin1String("true") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                }
                if (text.isEmpty()) {
                    pendingBlankCells = std::min(pendingBlankCells + repeat, 16384);
                } else {
                    for (int i = 0; i < pendingBlankCells; ++i) {
                        cells.append(QString());
                        kinds.append(char(SheetData::Empty));
                    }
                    pendingBlankCells = 0;
                    for (int i = 0; i < repeat && cells.size() < 16384; ++i) {
                        cells.append(text);
                        kinds.append(kind);
                    }
                }
            }
        } else if (xml.isEndElement() && tables == 1 && xml.name() == QLatin1String("table-row")) {
            if (cells.isEmpty()) {
                pendingBlankRows = std::min(pendingBlankRows + rowRepeat, MaxRepeat);
            } else {
                for (int i = 0; i < pendingBlankRows; ++i)
                    sheet.appendRow({}, {});
                pendingBlankRows = 0;
                // Past the limits, appendRow refuses the sheet rather than cut it short.
                for (int i = 0; i < rowRepeat; ++i)
                    sheet.appendRow(cells, kinds);
            }
        }
    }
    checkXml(xml, path, QStringLiteral("content.xml"));
    if (tables == 0)
        fail(path, QStringLiteral("文件中没有工作表。"));
    sheet.finish();
    return sheet;
}

// ---------------------------------------------------------------- .xls

SheetData Spreadsheet::readXls(const QString &path)
{
    const void *handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        fail(path, QStringLiteral("文件不是有效的Excel 97-2003工作簿。"));
    }
    const std::unique_ptr<const void, int (*)(const void *)> closer(handle, freexl_close);
    unsigned int sheetCount = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK || sheetCount == 0)
        fail(path, QStringLiteral("工作簿中没有工作表。"));
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK
        || freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        fail(path, QStringLiteral("无法读取工作表。"));
    SheetData sheet;
    for (unsigned int r = 0; r < rows; ++r) {
        QStringList cells;
        QByteArray kinds;
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, r, c, &cell) != FREEXL_OK)
                fail(path, QStringLiteral("第 %1 行第 %2 列无法读取。").arg(r + 1).arg(c + 1));
            QString text;
            char kind = SheetData::Empty;
            switch (cell.type) {
            case FREEXL_CELL_INT:
                text = QString::number(cell.value.int_value);
                kind = SheetData::Number;
                break;
            case FREEXL_CELL_DOUBLE:
                text = generalNumber(cell.value.double_value);
                kind = SheetData::Number;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                text = QString::fromUtf8(cell.value.text_value);
                kind = SheetData::Text;
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: {
                text = QString::fromUtf8(cell.value.text_value);
                if (text.endsWith(QLatin1String(" 00:00:00")))
                    text.chop(9);
                kind = SheetData::Date;
                break;
            }
            default:
                break;
            }
            cells.append(text);
            kinds.append(kind);
        }
        sheet.appendRow(std::move(cells), std::move(kinds));
    }
    sheet.finish();
    return sheet;
}

// ---------------------------------------------------------------- .csv

QString Spreadsheet::decodeText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(view.sliced(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return Gbk::decode(bytes);
}

QChar Spreadsheet::csvDelimiter(QStringView text)
{
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            break;
        else if (c == QLatin1Char(','))
            ++commas;
        else if (c == QLatin1Char(';'))
            ++semicolons;
        else if (c == QLatin1Char('\t'))
            ++tabs;
    }
    if (tabs > commas && tabs >= semicolons)
        return QLatin1Char('\t');
    if (semicolons > commas)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

namespace {

// The 1-based line and field of a byte offset, counting the delimiter bytes before it on
// its line (',', ';' and tab are single bytes in UTF-8 and GBK alike).
QString placeOf(const QByteArray &bytes, qsizetype offset)
{
    const qsizetype lineStart = bytes.lastIndexOf('\n', offset - 1) + 1;
    const int line = int(bytes.left(offset).count('\n')) + 1;
    const QByteArray before = bytes.mid(lineStart, offset - lineStart);
    const int field = 1 + int(std::max({before.count(','), before.count(';'), before.count('\t')}));
    return QStringLiteral("第 %1 行第 %2 列").arg(line).arg(field);
}

} // namespace

QString Spreadsheet::decodeCsvText(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    const bool bom = view.startsWith("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bom ? view.sliced(3) : view);
    if (!utf8.hasError())
        return text;
    // Not UTF-8 throughout: the whole file must then read as GBK; a file of both is
    // refused rather than stored half garbled. (UTF-8 Chinese also decodes as GBK, into
    // other characters, so a line that is valid UTF-8 with text beyond ASCII, in a file
    // that is not, is taken for a mixed file: Chinese in GBK is almost never valid UTF-8.)
    qsizetype bad = 0;
    if (!bom) {
        qsizetype utf8Line = -1, otherLine = -1; // byte offsets of the first such lines
        for (qsizetype at = 0; at < bytes.size() && (utf8Line < 0 || otherLine < 0);) {
            const qsizetype next = bytes.indexOf('\n', at) < 0 ? bytes.size() : bytes.indexOf('\n', at) + 1;
            const QByteArrayView line = view.sliced(at, next - at);
            if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
                QStringDecoder probe(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                const QString decoded = probe.decode(line); // decoding happens on conversion to QString
                qsizetype &first = probe.hasError() ? otherLine : utf8Line;
                if (first < 0)
                    first = at;
            }
            at = next;
        }
        if (utf8Line >= 0 && otherLine >= 0)
            throw SpreadsheetError(QStringLiteral("文件中的文字编码不一致: 第 %1 行是 UTF-8 编码,第 %2 行不是。"
                                                  "请把文件另存为 UTF-8 编码后再导入。")
                                       .arg(bytes.left(utf8Line).count('\n') + 1)
                                       .arg(bytes.left(otherLine).count('\n') + 1));
        if (Gbk::decodeStrict(bytes, &text, &bad))
            return text;
    }
    if (bom) {
        QStringDecoder probe(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        bad = 3;
        while (bad < bytes.size()) {
            const qsizetype end = std::min(bytes.size(), bytes.indexOf('\n', bad) < 0 ? bytes.size() : bytes.indexOf('\n', bad) + 1);
            const QString decoded = probe.decode(view.sliced(bad, end - bad));
            if (probe.hasError())
                break;
            bad = end;
        }
    }
    throw SpreadsheetError(QStringLiteral("文件的编码无法识别: %1含有既不是 UTF-8 也不是 GBK 的文字。请把文件另存为 UTF-8 编码后再导入。")
                               .arg(placeOf(bytes, bad)));
}

SheetData Spreadsheet::parseCsv(const QByteArray &bytes)
{
    const QString text = decodeCsvText(bytes);
    const QChar delimiter = csvDelimiter(text);
    SheetData sheet;
    QStringList cells;
    QString cell;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the field began with a quote
    int line = 1, quoteLine = 0, quoteField = 0;
    const qsizetype n = text.size();
    auto endCell = [&] {
        cells.append(cell);
        cell.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endCell();
        QByteArray kinds(cells.size(), char(SheetData::Text));
        sheet.appendRow(std::move(cells), std::move(kinds));
        cells = {};
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"') && cell.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            quoteLine = line;
            quoteField = int(cells.size()) + 1;
        } else if (c == delimiter) {
            endCell();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRow();
            ++line;
        } else {
            cell += c;
        }
    }
    // A quote never closed would take the rest of the file into one field.
    if (quoted)
        throw SpreadsheetError(QStringLiteral("第 %1 行第 %2 列的引号没有结束,文件可能已损坏。").arg(quoteLine).arg(quoteField));
    if (!cell.isEmpty() || !cells.isEmpty() || wasQuoted)
        endRow();
    sheet.finish();
    return sheet;
}

SheetData Spreadsheet::readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    try {
        return parseCsv(file.readAll());
    } catch (const SpreadsheetError &error) {
        fail(path, error.text());
    }
}

// ---------------------------------------------------------------- any

QString Spreadsheet::generalNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Spreadsheet::fileFilter()
{
    return QStringLiteral("Excel文件 (*.xlsx *.xls *.ods *.csv);;所有文件 (*)");
}

SheetData Spreadsheet::read(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        fail(path, QStringLiteral("文件不存在。"));
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xlsm"))
        return readXlsx(path);
    if (suffix == QLatin1String("ods"))
        return readOds(path);
    if (suffix == QLatin1String("xls"))
        return readXls(path);
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        return readCsv(path);
    // Any other name: by the first bytes.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    const QByteArray head = file.peek(8);
    if (head.startsWith("PK\x03\x04"))
        return ZipArchive(path).contains(QStringLiteral("content.xml")) ? readOds(path) : readXlsx(path);
    if (head.startsWith("\xD0\xCF\x11\xE0"))
        return readXls(path);
    return parseCsv(file.readAll());
}
