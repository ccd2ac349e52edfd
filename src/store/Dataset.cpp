#include "Dataset.h"
#include "Connection.h"
#include "DbError.h"
#include "SqlDialect.h"

#include <QCollator>
#include <QLocale>
#include <QMetaObject>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <charconv>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif
#include <type_traits>

// Rows are held packed: each cell a tag byte followed by its payload (varint for
// integers and long text lengths, 8 bytes for doubles, UTF-8 for text). A text of up to
// ShortTextMax bytes carries its length in the tag itself. This keeps a million
// customers in little more memory than their text, and copying a row out of the engine
// is one append per cell.
namespace {

enum CellTag : quint8 { TagNull = 0, TagInt = 1, TagDouble = 2, TagText = 3, TagShortText = 4 };
constexpr int ShortTextMax = 255 - TagShortText;

void putVarint(std::string &out, quint64 v)
{
    while (v >= 0x80) {
        out.push_back(char((v & 0x7f) | 0x80));
        v >>= 7;
    }
    out.push_back(char(v));
}

quint64 getVarint(const char *&p)
{
    quint64 v = 0;
    int shift = 0;
    for (;;) {
        const auto byte = quint8(*p++);
        v |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return v;
        shift += 7;
    }
}

quint64 zigzag(qint64 v) { return (quint64(v) << 1) ^ quint64(v >> 63); }
qint64 unzigzag(quint64 v) { return qint64(v >> 1) ^ -qint64(v & 1); }

void putInt(std::string &out, qint64 v)
{
    out.push_back(char(TagInt));
    putVarint(out, zigzag(v));
}

void putDouble(std::string &out, double v)
{
    out.push_back(char(TagDouble));
    out.append(reinterpret_cast<const char *>(&v), sizeof v);
}

void putText(std::string &out, const char *text, int bytes)
{
    if (bytes <= ShortTextMax) {
        out.push_back(char(TagShortText + bytes));
    } else {
        out.push_back(char(TagText));
        putVarint(out, quint64(bytes));
    }
    out.append(text, size_t(bytes));
}

// Points p past one cell.
void skipCell(const char *&p)
{
    const auto tag = quint8(*p++);
    switch (tag) {
    case TagNull:
        break;
    case TagInt:
        getVarint(p);
        break;
    case TagDouble:
        p += sizeof(double);
        break;
    case TagText: {
        const quint64 n = getVarint(p);
        p += n;
        break;
    }
    default:
        p += tag - TagShortText;
        break;
    }
}

QVariant readCell(const char *p)
{
    const auto tag = quint8(*p++);
    switch (tag) {
    case TagNull:
        return {};
    case TagInt:
        return qlonglong(unzigzag(getVarint(p)));
    case TagDouble: {
        double v;
        memcpy(&v, p, sizeof v);
        return v;
    }
    case TagText: {
        const quint64 n = getVarint(p);
        return QString::fromUtf8(p, qsizetype(n));
    }
    default:
        return QString::fromUtf8(p, tag - TagShortText);
    }
}

// The current row of a statement in the packed form the dataset keeps.
void packRow(Statement &statement, int n, std::string &scratch)
{
    scratch.clear();
    for (int i = 0; i < n; ++i) {
        switch (statement.columnType(i)) {
        case Statement::ColumnType::Null:
            scratch.push_back(char(TagNull));
            break;
        case Statement::ColumnType::Integer:
            putInt(scratch, statement.columnInt64(i));
            break;
        case Statement::ColumnType::Float:
            putDouble(scratch, statement.columnDouble(i));
            break;
        default: {
            const QByteArrayView text = statement.textBytes(i);
            putText(scratch, text.data(), int(text.size()));
        }
        }
    }
}

// How long open() waits for the whole of a background load (tests wait longer).
std::atomic<int> foregroundWaitMs{0};
// The rows a first screenful takes: read at once, before open() returns.
constexpr size_t FirstScreenRows = 100;
// The longest the window thread reads or waits for a first screenful; then the list
// opens with what it has and the rest arrives.
std::atomic<int> firstScreenTimeMs{15};

FieldKind kindOf(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.isEmpty())
        return FieldKind::Unknown;
    if (t.contains(QLatin1String("DATETEXT")))
        return FieldKind::Date;
    if (t.contains(QLatin1String("BOOL")))
        return FieldKind::Boolean;
    if (t.contains(QLatin1String("CURRENCY")))
        return FieldKind::Currency;
    if (t.contains(QLatin1String("LONGTEXT")))
        return FieldKind::Memo;
    if (t.contains(QLatin1String("INT")))
        return FieldKind::Integer;
    if (t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("REAL"))
        || t.contains(QLatin1String("FLOA")))
        return FieldKind::Double;
    return FieldKind::Text;
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a == b;
}

double roundCurrency(double v)
{
    // nearbyint rounds half to even in the default rounding mode.
    return std::nearbyint(v * 10000.0) / 10000.0;
}


} // namespace

Dataset::Dataset(Connection *connection, QObject *parent)
    : QObject(parent), m_connection(connection)
{
}

Dataset::~Dataset()
{
    cancelLoad();
}

void Dataset::setConnection(Connection *connection)
{
    close();
    m_statement.reset();
    m_readConnection.reset();
    m_connection = connection;
}

void Dataset::setSql(const QString &programSql)
{
    close();
    m_sql = programSql;
    m_parameters.clear();
}

void Dataset::setParameter(const QString &name, const QVariant &value)
{
    QString key = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
    m_parameters.insert(key.toLower(), value);
}

QVariant Dataset::parameter(const QString &name) const
{
    QString key = name.startsWith(QLatin1Char(':')) ? name.mid(1) : name;
    return m_parameters.value(key.toLower());
}

void Dataset::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void Dataset::close()
{
    cancelLoad();
    if (m_state == State::Inactive)
        return;
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_arena.clear();
    m_buffer.clear();
    m_original.clear();
    m_deletedKeys.clear();
    m_current = -1;
    m_bof = m_eof = true;
    m_sortText.clear();
    m_sortFields.clear();
    setState(State::Inactive);
    emit reset();
    emit currentRowChanged(-1);
}

void Dataset::prepareFields(Statement &statement)
{
    QHash<QString, QString> labels; // keep display labels set earlier for the same fields
    for (const FieldDef &f : m_fields)
        if (f.displayLabel != f.name)
            labels.insert(f.name.toLower(), f.displayLabel);
    m_fields.clear();
    m_fieldByName.clear();
    const int n = statement.columnCount();
    for (int i = 0; i < n; ++i) {
        FieldDef def;
        def.name = statement.columnName(i);
        def.kind = kindOf(statement.declaredType(i));
        def.displayLabel = labels.value(def.name.toLower(), def.name);
        m_fieldByName.insert(def.name.toLower(), int(m_fields.size()));
        m_fields.push_back(def);
    }
    m_storedFieldCount = n;
    for (const Calculated &c : std::as_const(m_calculations)) {
        FieldDef def;
        def.name = c.name;
        def.kind = c.kind;
        def.displayLabel = labels.value(c.name.toLower(), c.name);
        def.calculated = true;
        m_fieldByName.insert(def.name.toLower(), int(m_fields.size()));
        m_fields.push_back(def);
    }
}

QList<QVariant> Dataset::parameterValues(Statement &statement)
{
    const int n = statement.parameterCount();
    m_hasParameters = n > 0;
    QList<QVariant> values;
    for (int i = 1; i <= n; ++i) {
        QVariant value;
        const QString name = statement.parameterName(i);
        const auto own = m_parameters.constFind(name.toLower());
        if (own != m_parameters.constEnd())
            value = *own;
        else if (m_master && m_linked && m_master->currentRow() >= 0)
            value = m_master->value(name);
        values.append(value);
    }
    return values;
}

void Dataset::bindParameters(Statement &statement)
{
    const QList<QVariant> values = parameterValues(statement);
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values.at(i));
}

void Dataset::detectBaseTable()
{
    m_baseTable.clear();
    m_keyField = -1;
    // Only "select * from <table> [where ...] [order by ...]" is written back; joins,
    // column lists, aggregates and views give read-only rows.
    static const QRegularExpression plainSelect(
        QStringLiteral("^\\s*select\\s+(?:top\\s+\\d+\\s+)?\\*\\s+from\\s+(?:\\[([^\\]]+)\\]|(\\w+))\\s*(?:$|;|where\\b|order\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = plainSelect.match(m_sql);
    if (!match.hasMatch())
        return;
    const QString table = match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
    if (!m_connection->isTable(table))
        return;
    for (const ColumnInfo &column : m_connection->tableColumns(table)) {
        if (column.primaryKey) {
            m_keyField = fieldIndex(column.name);
            break;
        }
    }
    if (m_keyField < 0)
        return;
    m_fields[size_t(m_keyField)].key = true;
    m_baseTable = table;
}

void Dataset::open()
{
    if (!m_connection)
        throw DbError(QStringLiteral("没有打开的数据库连接"));
    cancelLoad();
    if (m_state != State::Inactive) {
        m_state = State::Inactive; // quietly: the reset below tells the views
        m_rows.clear();
    }
    m_arena.clear();
    m_sortText.clear();
    m_sortFields.clear();
    m_deletedKeys.clear();
    m_buffer.clear();

    const bool prepared = m_statement && m_preparedSql == m_sql;
    if (prepared) {
        m_statement->reset();
    } else {
        m_statement.reset();
        m_statement = std::make_unique<Statement>(*m_connection, SqlDialect::toEngineList(m_sql, m_connection->engine()));
        m_preparedSql = m_sql;
        prepareFields(*m_statement);
    }
    Statement &statement = *m_statement;
    if (m_background && !m_connection->inTransaction() && openInBackground(!prepared))
        return;
    bindParameters(statement);
    // Whatever happens while stepping, the statement lets go of the file afterwards.
    struct ResetAtEnd
    {
        Statement &statement;
        ~ResetAtEnd() { statement.reset(); }
    } resetAtEnd{statement};

    std::vector<Row> rows;
    std::string scratch;
    const int n = m_storedFieldCount;
    int origin = 0;
    while (statement.step()) {
        packRow(statement, n, scratch);
        Row row;
        row.cells = m_arena.store(scratch.data(), scratch.size());
        row.origin = origin++;
        rows.push_back(std::move(row));
    }
    m_rows = std::move(rows);
    m_nextOrigin = origin;
    if (!prepared)
        detectBaseTable();
    becomeOpen();
}

// The rows are in: the first one is current and the views are told.
void Dataset::becomeOpen()
{
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    m_state = State::Browse;
    emit stateChanged(m_state);
    emit reset();
    emitCurrent();
}

namespace {

// The date yyyy-MM-dd that text begins with. The common stored form is read directly:
// QDate::fromString's general parser costs more than all the rest of reading a list
// with a date column. Any other form goes to that parser, so the result is the same.
inline int codeOf(QChar c) { return c.unicode(); }
inline int codeOf(char c) { return static_cast<unsigned char>(c); }

// The date of text that begins with exactly yyyy-MM-dd (ten ASCII characters); an invalid
// date for any other text.
template <typename Text>
QDate strictLeadingDate(Text text)
{
    if (text.size() < 10 || codeOf(text[4]) != '-' || codeOf(text[7]) != '-')
        return {};
    int parts[8];
    const int at[8] = {0, 1, 2, 3, 5, 6, 8, 9};
    for (int k = 0; k < 8; ++k) {
        const int c = codeOf(text[at[k]]);
        if (c < '0' || c > '9')
            return {};
        parts[k] = c - '0';
    }
    return QDate(parts[0] * 1000 + parts[1] * 100 + parts[2] * 10 + parts[3], parts[4] * 10 + parts[5],
                 parts[6] * 10 + parts[7]);
}

// The date yyyy-MM-dd that text begins with. The common stored form is read directly:
// QDate::fromString's general parser costs more than all the rest of reading a list
// with a date column. Any other form goes to that parser, so the result is the same.
QDate leadingDate(QStringView text)
{
    const QDate strict = strictLeadingDate(text);
    if (strict.isValid())
        return strict;
    return QDate::fromString(text.left(10).toString(), QStringLiteral("yyyy-MM-dd"));
}

// A column of the current row as the engine holds it, before the field's kind is applied.
QVariant engineValue(const Statement &statement, int column)
{
    switch (statement.columnType(column)) {
    case Statement::ColumnType::Null:
        return {};
    case Statement::ColumnType::Integer:
        return qlonglong(statement.columnInt64(column));
    case Statement::ColumnType::Float:
        return statement.columnDouble(column);
    default: {
        const QByteArrayView text = statement.textBytes(column);
        return QString::fromUtf8(text.data(), text.size());
    }
    }
}

} // namespace

void Dataset::streamRows(const std::function<void()> &fieldsKnown,
                         const std::function<void(const QList<QVariant> &)> &row)
{
    if (!m_connection)
        throw DbError(QStringLiteral("没有打开的数据库连接"));
    close();
    Statement statement(*m_connection, SqlDialect::toEngineList(m_sql, m_connection->engine()));
    prepareFields(statement);
    m_statement.reset(); // the kept statement's fields no longer match
    m_preparedSql.clear();
    bindParameters(statement);
    fieldsKnown();
    const int n = m_storedFieldCount;
    QList<QVariant> values(n);
    while (statement.step()) {
        for (int i = 0; i < n; ++i)
            values[i] = typedValue(i, engineValue(statement, i));
        row(values);
    }
}

void Dataset::streamText(const std::function<void()> &fieldsKnown,
                         const std::function<void(const QByteArrayView *cells, int count)> &row)
{
    if (!m_connection)
        throw DbError(QStringLiteral("没有打开的数据库连接"));
    close();
    Statement statement(*m_connection, SqlDialect::toEngineList(m_sql, m_connection->engine()));
    prepareFields(statement);
    m_statement.reset();
    m_preparedSql.clear();
    bindParameters(statement);
    fieldsKnown();
    const int n = m_storedFieldCount;
    std::vector<QByteArrayView> cells(static_cast<size_t>(n));
    std::vector<QByteArray> converted(static_cast<size_t>(n));
    std::vector<std::array<char, 24>> digits(static_cast<size_t>(n));
    while (statement.step()) {
        for (int i = 0; i < n; ++i) {
            const FieldKind kind = m_fields[size_t(i)].kind;
            const Statement::ColumnType type = statement.columnType(i);
            // The common cells need no conversion: text shows as it is stored (a date or a
            // yes/no field excepted), a whole number as its digits. The rest goes the way
            // of value() and displayText().
            if (type == Statement::ColumnType::Null) {
                cells[size_t(i)] = {};
            } else if (type == Statement::ColumnType::Text && kind != FieldKind::Boolean && kind != FieldKind::Date) {
                cells[size_t(i)] = statement.textBytes(i);
            } else if (type == Statement::ColumnType::Text && kind == FieldKind::Date
                       && strictLeadingDate(statement.textBytes(i)).isValid()) {
                cells[size_t(i)] = statement.textBytes(i).first(10);
            } else if (type == Statement::ColumnType::Integer && kind != FieldKind::Boolean
                       && kind != FieldKind::Double && kind != FieldKind::Currency) {
                char *first = digits[size_t(i)].data();
                const auto end = std::to_chars(first, first + digits[size_t(i)].size(), statement.columnInt64(i)).ptr;
                cells[size_t(i)] = QByteArrayView(first, end - first);
            } else {
                converted[size_t(i)] = displayText(typedValue(i, engineValue(statement, i))).toUtf8();
                cells[size_t(i)] = converted[size_t(i)];
            }
        }
        row(cells.data(), n);
    }
}

int Dataset::execute()
{
    if (!m_connection)
        throw DbError(QStringLiteral("没有打开的数据库连接"));
    close();
    Statement statement(*m_connection, SqlDialect::toEngineList(m_sql, m_connection->engine()));
    bindParameters(statement);
    while (statement.step()) {
    }
    return m_connection->changes();
}

void Dataset::refresh()
{
    const int row = m_current;
    const QVariant key = (m_keyField >= 0 && row >= 0) ? value(row, m_keyField) : QVariant();
    const QString sortText = m_sortText;
    open();
    if (!sortText.isEmpty())
        setSort(sortText);
    if (m_rows.empty())
        return;
    if (!key.isNull() && m_keyField >= 0 && locate(m_fields[size_t(m_keyField)].name, key))
        return;
    setCurrentRow(std::clamp(row, 0, recordCount() - 1));
}

void Dataset::emitCurrent()
{
    emit currentRowChanged(m_current);
}

void Dataset::setCurrentRow(int row)
{
    if (m_state == State::Inactive)
        return;
    if (m_state == State::Edit || m_state == State::Insert) {
        if (row == m_current)
            return;
        post();
    }
    if (m_rows.empty()) {
        m_bof = m_eof = true;
        return;
    }
    row = std::clamp(row, 0, recordCount() - 1);
    m_bof = m_eof = false;
    if (row == m_current)
        return;
    m_current = row;
    emitCurrent();
}

void Dataset::next()
{
    if (m_current >= recordCount() - 1) {
        if (m_state == State::Edit || m_state == State::Insert)
            post();
        m_eof = true;
        return;
    }
    setCurrentRow(m_current + 1);
}

void Dataset::prior()
{
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    setCurrentRow(m_current - 1);
}

bool Dataset::locate(const QString &field, const QVariant &value)
{
    waitForLoaded();
    const int f = checkedFieldIndex(field);
    const bool text = value.typeId() == QMetaType::QString;
    for (int row = 0; row < recordCount(); ++row) {
        const QVariant v = this->value(row, f);
        const bool equal = text ? (!v.isNull() && v.toString().compare(value.toString(), Qt::CaseInsensitive) == 0)
                                : sameValue(v, value) || (!v.isNull() && v.toString() == value.toString());
        if (equal) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

int Dataset::fieldIndex(const QString &name) const
{
    return m_fieldByName.value(name.toLower(), -1);
}

int Dataset::checkedFieldIndex(const QString &name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw DbError(QStringLiteral("%1: 字段 '%2' 不存在").arg(objectName(), name));
    return index;
}

QStringList Dataset::fieldNames() const
{
    QStringList names;
    for (const FieldDef &f : m_fields)
        names.append(f.name);
    return names;
}

void Dataset::setDisplayLabel(const QString &field, const QString &label)
{
    const int f = checkedFieldIndex(field);
    m_fields[size_t(f)].displayLabel = label;
}

QString Dataset::displayLabel(int field) const
{
    return m_fields.at(size_t(field)).displayLabel;
}

QVariant Dataset::storedValue(const Row &row, int field) const
{
    const char *p = row.cells;
    for (int i = 0; i < field; ++i)
        skipCell(p);
    return typedValue(field, readCell(p));
}

QVariant Dataset::typedValue(int field, const QVariant &raw) const
{
    if (raw.isNull())
        return raw;
    switch (m_fields[size_t(field)].kind) {
    case FieldKind::Boolean:
        return raw.toLongLong() != 0;
    case FieldKind::Date: {
        const QString text = raw.toString();
        const QDate date = leadingDate(QStringView(text));
        return date.isValid() ? QVariant(date) : raw;
    }
    case FieldKind::Double:
    case FieldKind::Currency:
        return raw.typeId() == QMetaType::QString ? raw : QVariant(raw.toDouble());
    case FieldKind::Text:
    case FieldKind::Memo:
        return raw.toString();
    default:
        return raw;
    }
}

QVariant Dataset::value(int row, int field) const
{
    if (row < 0 || row >= recordCount() || field < 0 || field >= fieldCount())
        return {};
    const FieldDef &def = m_fields[size_t(field)];
    if (def.calculated)
        return m_calculations.at(field - m_storedFieldCount).calculation(*this, row);
    if (row == m_current && (m_state == State::Edit || m_state == State::Insert))
        return m_buffer.value(field);
    return storedValue(m_rows[size_t(row)], field);
}

QVariant Dataset::value(const QString &field) const
{
    return value(m_current, checkedFieldIndex(field));
}

QString Dataset::displayText(const QVariant &v)
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    default:
        return v.toString();
    }
}

namespace {
QString trimmedDecimals(QString text)
{
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}
} // namespace

QString Dataset::gridText(FieldKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double v = value.toDouble();
        if (!std::isfinite(v))
            return QString::number(v);
        if (kind == FieldKind::Currency)
            return trimmedDecimals(QString::number(v, 'f', 4));
        if (v == std::floor(v) && std::fabs(v) < 1e15)
            return QString::number(qint64(v));
        return trimmedDecimals(QString::number(v, 'g', 15));
    }
    default:
        return value.toString();
    }
}

QString Dataset::text(const QString &field) const { return displayText(value(field)); }
qint64 Dataset::integer(const QString &field) const { return value(field).toLongLong(); }
double Dataset::number(const QString &field) const { return value(field).toDouble(); }
bool Dataset::boolean(const QString &field) const { return value(field).toBool(); }
bool Dataset::isNull(const QString &field) const { return value(field).isNull(); }

QDate Dataset::date(const QString &field) const
{
    const QVariant v = value(field);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    return QDate::fromString(SqlDialect::normalizeDate(v.toString()).left(10), QStringLiteral("yyyy-MM-dd"));
}

QVariant Dataset::coerce(int field, const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return {};
    const FieldDef &def = m_fields[size_t(field)];
    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString().trimmed() : QString();
    if (isText && text.isEmpty() && def.kind != FieldKind::Text && def.kind != FieldKind::Memo
        && def.kind != FieldKind::Unknown)
        return {};
    bool ok = true;
    switch (def.kind) {
    case FieldKind::Integer: {
        const qlonglong v = isText ? text.toLongLong(&ok) : value.toLongLong(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' 不是字段 %2 的有效整数").arg(value.toString(), def.name));
        return v;
    }
    case FieldKind::Double:
    case FieldKind::Currency: {
        double v = isText ? text.toDouble(&ok) : value.toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' 不是字段 %2 的有效数值").arg(value.toString(), def.name));
        return def.kind == FieldKind::Currency ? roundCurrency(v) : v;
    }
    case FieldKind::Date: {
        if (value.typeId() == QMetaType::QDate)
            return value;
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        const QDate d = QDate::fromString(SqlDialect::normalizeDate(value.toString()).left(10),
                                          QStringLiteral("yyyy-MM-dd"));
        if (!d.isValid())
            throw DbError(QStringLiteral("'%1' 不是字段 %2 的有效日期").arg(value.toString(), def.name));
        return d;
    }
    case FieldKind::Boolean:
        if (isText)
            return text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1")
                   || text == QLatin1String("-1");
        return value.toBool();
    case FieldKind::Text:
    case FieldKind::Memo: {
        // An empty text is stored as no value, as the desktop database did, so that
        // "like '%%'" passes over it.
        const QString s = value.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    default:
        return value;
    }
}

QByteArray Dataset::pack(const QList<QVariant> &values) const
{
    std::string out;
    for (int i = 0; i < m_storedFieldCount; ++i) {
        const QVariant &v = values.at(i);
        if (v.isNull()) {
            out.push_back(char(TagNull));
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Bool:
            putInt(out, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
            putInt(out, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            putDouble(out, v.toDouble());
            break;
        default: {
            const QByteArray utf8 = v.typeId() == QMetaType::QDate
                                        ? v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8()
                                        : v.toString().toUtf8();
            putText(out, utf8.constData(), int(utf8.size()));
        }
        }
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

QList<QVariant> Dataset::unpack(const Row &row) const
{
    QList<QVariant> values;
    values.reserve(m_storedFieldCount);
    for (int i = 0; i < m_storedFieldCount; ++i)
        values.append(storedValue(row, i));
    return values;
}

void Dataset::requireBrowse(const char *action)
{
    if (m_state == State::Inactive)
        throw DbError(QStringLiteral("%1: 数据集未打开,无法%2").arg(objectName(), QString::fromUtf8(action)));
    if (m_state == State::Edit || m_state == State::Insert)
        post();
}

void Dataset::append()
{
    waitForLoaded();
    requireBrowse("新增");
    if (isReadOnly())
        throw DbError(QStringLiteral("%1: 只读数据集不能新增记录").arg(objectName()));
    m_buffer = QList<QVariant>(m_storedFieldCount);
    // A row added to a linked detail belongs to the master's current row.
    if (isLinked() && m_hasParameters && m_master->currentRow() >= 0) {
        static const QRegularExpression parameter(QStringLiteral(":(\\w+)"));
        auto it = parameter.globalMatch(m_sql);
        while (it.hasNext()) {
            const QString name = it.next().captured(1);
            const int f = fieldIndex(name);
            if (f >= 0 && f < m_storedFieldCount)
                m_buffer[f] = coerce(f, m_master->value(name));
        }
    }
    m_original = m_buffer;
    Row row;
    row.cells = m_arena.store(pack(m_buffer));
    row.origin = m_nextOrigin++;
    row.status = RowStatus::Inserted;
    m_rows.push_back(std::move(row));
    m_current = recordCount() - 1;
    m_bof = m_eof = false;
    setState(State::Insert);
    emit rowInserted(m_current);
    emitCurrent();
}

void Dataset::edit()
{
    waitForLoaded();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_state == State::Inactive || m_current < 0)
        throw DbError(QStringLiteral("%1: 没有可编辑的记录").arg(objectName()));
    if (isReadOnly())
        throw DbError(QStringLiteral("%1: 只读数据集不能修改").arg(objectName()));
    m_original = unpack(m_rows[size_t(m_current)]);
    m_buffer = m_original;
    setState(State::Edit);
}

void Dataset::setValue(int field, const QVariant &value)
{
    if (field < 0 || field >= m_storedFieldCount)
        throw DbError(QStringLiteral("%1: 字段不能修改").arg(objectName()));
    if (m_state == State::Browse)
        edit();
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("%1: 数据集不在编辑状态").arg(objectName()));
    m_buffer[field] = coerce(field, value);
    emit rowChanged(m_current);
}

void Dataset::setValue(const QString &field, const QVariant &value)
{
    setValue(checkedFieldIndex(field), value);
}

void Dataset::writeInsert(QList<QVariant> &values)
{
    QStringList names, marks;
    QList<QVariant> bound;
    for (int i = 0; i < m_storedFieldCount; ++i) {
        if (i == m_keyField || values.at(i).isNull())
            continue;
        names.append(m_connection->quoteName(m_fields[size_t(i)].name));
        marks.append(QStringLiteral("?%1").arg(bound.size() + 1));
        bound.append(values.at(i));
    }
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_connection->quoteName(m_baseTable))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(m_connection->quoteName(m_baseTable), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    Statement statement(*m_connection, sql);
    for (int i = 0; i < bound.size(); ++i)
        statement.bind(i + 1, bound.at(i));
    statement.step();
    values[m_keyField] = qlonglong(m_connection->lastInsertId());
}

bool Dataset::readStoredRow(const QVariant &key, QList<QVariant> *values)
{
    QStringList names;
    for (int i = 0; i < m_storedFieldCount; ++i)
        names.append(m_connection->quoteName(m_fields[size_t(i)].name));
    Statement statement(*m_connection, QStringLiteral("SELECT %1 FROM %2 WHERE %3=?1")
                                           .arg(names.join(QLatin1Char(',')), m_connection->quoteName(m_baseTable),
                                                m_connection->quoteName(m_fields[size_t(m_keyField)].name)));
    statement.bind(1, key);
    if (!statement.step())
        return false;
    values->resize(m_storedFieldCount);
    for (int i = 0; i < m_storedFieldCount; ++i)
        (*values)[i] = typedValue(i, engineValue(statement, i));
    return true;
}

void Dataset::writeUpdate(const QList<QVariant> &original, const QList<QVariant> &values)
{
    QStringList sets;
    QList<QVariant> bound;
    QList<int> changed;
    for (int i = 0; i < m_storedFieldCount; ++i) {
        if (i == m_keyField)
            continue;
        if (!original.isEmpty() && sameValue(original.at(i), values.at(i)))
            continue;
        sets.append(QStringLiteral("%1=?%2").arg(m_connection->quoteName(m_fields[size_t(i)].name)).arg(bound.size() + 1));
        bound.append(values.at(i));
        changed.append(i);
    }
    if (sets.isEmpty())
        return;
    // Another workstation may have saved the same row since it was read here. The change
    // goes through only when every field it changes still holds the value read; otherwise
    // it is refused and the row shows what is stored now, so nobody's save is silently
    // overwritten. Fields this edit leaves alone keep whatever the other saved. The check
    // and the update run in one transaction, so no save can come in between.
    const bool ownTransaction = !m_connection->inTransaction();
    if (ownTransaction)
        m_connection->begin();
    try {
        QList<QVariant> stored;
        if (!readStoredRow(values.at(m_keyField), &stored))
            throw DbError(QStringLiteral("要修改的记录已不存在,可能已被其他用户删除。"));
        if (!original.isEmpty()) {
            for (int i : changed) {
                if (!sameValue(stored.at(i), original.at(i))) {
                    m_storedNow = stored;
                    throw DbError(staleRowMessage(), DbError::Kind::StaleRow);
                }
            }
        }
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3=?%4")
                                .arg(m_connection->quoteName(m_baseTable), sets.join(QLatin1Char(',')),
                                     m_connection->quoteName(m_fields[size_t(m_keyField)].name))
                                .arg(bound.size() + 1);
        Statement statement(*m_connection, sql);
        for (int i = 0; i < bound.size(); ++i)
            statement.bind(i + 1, bound.at(i));
        statement.bind(int(bound.size()) + 1, values.at(m_keyField));
        statement.step();
        if (m_connection->changes() == 0)
            throw DbError(QStringLiteral("要修改的记录已不存在,可能已被其他用户删除。"));
        if (ownTransaction)
            m_connection->commit();
    } catch (...) {
        if (ownTransaction)
            m_connection->rollback();
        throw;
    }
}

QString Dataset::staleRowMessage()
{
    return QStringLiteral("该记录已被其他用户修改,您的修改没有保存。\n现在显示的是该记录当前保存的内容,请核对后重新修改。");
}

void Dataset::writeDelete(const QVariant &key)
{
    Statement statement(*m_connection, QStringLiteral("DELETE FROM %1 WHERE %2=?1")
                                           .arg(m_connection->quoteName(m_baseTable), m_connection->quoteName(m_fields[size_t(m_keyField)].name)));
    statement.bind(1, key);
    statement.step();
}

void Dataset::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    Row &row = m_rows[size_t(m_current)];
    if (m_state == State::Insert) {
        if (!m_cached)
            writeInsert(m_buffer);
    } else {
        if (!m_cached) {
            try {
                writeUpdate(m_original, m_buffer);
            } catch (const DbError &error) {
                if (error.kind() == DbError::Kind::StaleRow)
                    showStoredNow(row);
                throw;
            }
        } else if (row.status == RowStatus::Unchanged)
            row.status = RowStatus::Modified;
    }
    if (!m_cached)
        row.status = RowStatus::Unchanged;
    row.cells = m_arena.store(pack(m_buffer));
    m_buffer.clear();
    m_original.clear();
    setState(State::Browse);
    emit rowChanged(m_current);
}

void Dataset::showStoredNow(Row &row)
{
    row.cells = m_arena.store(pack(m_storedNow));
    m_storedNow.clear();
    m_buffer.clear();
    m_original.clear();
    setState(State::Browse);
    emit rowChanged(m_current);
}

void Dataset::cancel()
{
    if (m_state == State::Edit) {
        m_buffer.clear();
        setState(State::Browse);
        emit rowChanged(m_current);
    } else if (m_state == State::Insert) {
        const int removed = m_current;
        m_rows.erase(m_rows.begin() + removed);
        m_buffer.clear();
        setState(State::Browse);
        m_current = std::min(removed, recordCount() - 1);
        m_bof = m_eof = m_rows.empty();
        emit rowRemoved(removed);
        emitCurrent();
    }
}

void Dataset::remove()
{
    waitForLoaded();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (m_state == State::Inactive || m_current < 0)
        throw DbError(QStringLiteral("%1: 没有可删除的记录").arg(objectName()));
    if (isReadOnly())
        throw DbError(QStringLiteral("%1: 只读数据集不能删除记录").arg(objectName()));
    const Row &row = m_rows[size_t(m_current)];
    const QVariant key = storedValue(row, m_keyField);
    if (!m_cached)
        writeDelete(key);
    else if (row.status != RowStatus::Inserted)
        m_deletedKeys.append(key);
    const int removed = m_current;
    m_rows.erase(m_rows.begin() + removed);
    m_current = std::min(removed, recordCount() - 1);
    m_bof = m_eof = m_rows.empty();
    emit rowRemoved(removed);
    emitCurrent();
}

void Dataset::setCachedUpdates(bool cached)
{
    m_cached = cached;
}

bool Dataset::hasPendingUpdates() const
{
    if (!m_deletedKeys.isEmpty() || m_state == State::Edit || m_state == State::Insert)
        return true;
    return std::any_of(m_rows.begin(), m_rows.end(),
                       [](const Row &r) { return r.status != RowStatus::Unchanged; });
}

void Dataset::applyUpdates()
{
    waitForLoaded();
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    if (!m_cached || m_state == State::Inactive)
        return;
    // Written in one pass; keys of new rows are kept aside and taken over only when
    // every statement succeeded, so a rolled-back batch can be applied again.
    QList<QPair<size_t, QList<QVariant>>> written;
    for (const QVariant &key : std::as_const(m_deletedKeys))
        writeDelete(key);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows[i];
        if (row.status == RowStatus::Unchanged)
            continue;
        QList<QVariant> values = unpack(row);
        if (row.status == RowStatus::Inserted)
            writeInsert(values);
        else
            writeUpdate({}, values);
        written.append({i, values});
    }
    for (const auto &[index, values] : written) {
        m_rows[index].cells = m_arena.store(pack(values));
        m_rows[index].status = RowStatus::Unchanged;
    }
    m_deletedKeys.clear();
    for (const auto &entry : written)
        emit rowChanged(int(entry.first));
}

void Dataset::cancelUpdates()
{
    cancel();
    m_deletedKeys.clear();
    if (m_state != State::Inactive)
        open();
}

void Dataset::addCalculatedField(const QString &name, FieldKind kind, Calculation calculation)
{
    m_statement.reset(); // the field list changes with the next open
    m_calculations.append({name, kind, std::move(calculation)});
}

void Dataset::setMaster(Dataset *master)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    if (master)
        connect(master, &Dataset::currentRowChanged, this, &Dataset::masterMoved);
}

void Dataset::link()
{
    m_linked = true;
}

void Dataset::unlink()
{
    m_linked = false;
}

void Dataset::masterMoved()
{
    if (m_linked && m_hasParameters && m_state != State::Inactive)
        open();
}

void Dataset::setSort(const QString &sortText)
{
    waitForLoaded();
    QList<QPair<int, bool>> fields;
    for (const QString &part : sortText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QStringList words = part.simplified().split(QLatin1Char(' '));
        bool descending = false;
        if (words.size() > 1) {
            const QString order = words.takeLast().toLower();
            descending = order == QLatin1String("desc");
            if (!descending && order != QLatin1String("asc"))
                words.append(order);
        }
        if (words.isEmpty() || words.first().isEmpty())
            continue;
        QString name = words.join(QLatin1Char(' '));
        if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
            name = name.mid(1, name.size() - 2);
        fields.append({checkedFieldIndex(name), descending});
    }
    m_sortText = sortText;
    m_sortFields = fields;
    if (m_state != State::Inactive)
        applySort();
}

void Dataset::applySort()
{
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    const int current = m_current >= 0 ? m_rows[size_t(m_current)].origin : -1;
    std::vector<size_t> order(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;

    if (m_sortFields.isEmpty()) {
        std::sort(order.begin(), order.end(),
                  [this](size_t a, size_t b) { return m_rows[a].origin < m_rows[b].origin; });
    } else {
        // Keys are taken out once; text compares by the Chinese collation (pinyin order)
        // without regard to case.
        QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        // Numbers are compared as doubles, without a QVariant per comparison.
        struct Column
        {
            std::vector<QVariant> values;
            std::vector<QCollatorSortKey> keys;
            std::vector<double> numbers;
            std::vector<bool> nulls;
            bool text;
            bool numeric;
            bool desc;
        };
        std::vector<Column> columns;
        for (const auto &[field, desc] : std::as_const(m_sortFields)) {
            Column column{{}, {}, {}, {}, false, true, desc};
            const FieldKind kind = m_fields[size_t(field)].kind;
            column.text = kind == FieldKind::Text || kind == FieldKind::Memo || kind == FieldKind::Unknown;
            column.values.reserve(m_rows.size());
            column.nulls.reserve(m_rows.size());
            for (size_t i = 0; i < m_rows.size(); ++i) {
                QVariant v = value(int(i), field);
                if (v.typeId() != QMetaType::QString)
                    column.text = column.text && v.isNull();
                const int type = v.typeId();
                column.numeric = column.numeric
                                 && (v.isNull() || type == QMetaType::Double || type == QMetaType::LongLong
                                     || type == QMetaType::Int);
                column.nulls.push_back(v.isNull());
                column.values.push_back(std::move(v));
            }
            if (column.text) {
                column.numeric = false;
                column.keys.reserve(m_rows.size());
                for (const QVariant &v : column.values)
                    column.keys.push_back(collator.sortKey(v.toString()));
            } else if (column.numeric) {
                column.numbers.reserve(m_rows.size());
                for (const QVariant &v : column.values)
                    column.numbers.push_back(v.toDouble());
            }
            columns.push_back(std::move(column));
        }
        std::stable_sort(order.begin(), order.end(), [&columns](size_t a, size_t b) {
            for (const Column &c : columns) {
                const bool nullA = c.nulls[a], nullB = c.nulls[b];
                int cmp;
                if (nullA || nullB)
                    cmp = int(!nullA) - int(!nullB);
                else if (c.text)
                    cmp = c.keys[a].compare(c.keys[b]);
                else if (c.numeric)
                    cmp = c.numbers[a] < c.numbers[b] ? -1 : c.numbers[a] > c.numbers[b] ? 1 : 0;
                else {
                    const QPartialOrdering o = QVariant::compare(c.values[a], c.values[b]);
                    cmp = o == QPartialOrdering::Less ? -1 : o == QPartialOrdering::Greater ? 1 : 0;
                }
                if (cmp != 0)
                    return c.desc ? cmp > 0 : cmp < 0;
            }
            return false;
        });
    }
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i : order)
        sorted.push_back(std::move(m_rows[i]));
    m_rows = std::move(sorted);
    m_current = -1;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].origin == current)
            m_current = int(i);
    emit reset();
    emitCurrent();
}

// ---------------------------------------------------------------- background loading

// A load running on the dataset's read connection, on the dataset's load thread. The
// thread packs rows exactly as open() does and leaves them in `read`; the window thread
// takes them from there (takeRows) whenever it is told that some arrived.
struct Dataset::Loader
{
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Row> read;          // rows read; those from `taken` on are not taken yet
    size_t taken = 0;
    bool done = false;              // every row is in `read`
    bool finished = false;          // the load thread no longer touches this load
    std::optional<DbError> error;
    std::atomic<bool> cancelled{false};
    std::atomic<bool> told{false};  // a takeRows call is already on its way
    CellArena arena;                // written by the thread only; taken over when it has finished
    std::unique_ptr<Statement> statement; // the list's statement, handed to the thread to step

    void waitFinished()
    {
        std::unique_lock lock(mutex);
        arrived.wait(lock, [this] { return finished; });
    }
};

// One thread per dataset that runs its loads in turn. Starting a thread costs about half
// a millisecond here, more than reading a first screenful, so it is started once and kept
// waiting for the next load.
class Dataset::LoadWorker
{
public:
    LoadWorker() : m_thread([this] { serve(); }) {}
    ~LoadWorker()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    // Runs the job on the thread; the previous job has finished (one load at a time).
    void run(std::function<void()> job)
    {
        {
            std::lock_guard lock(m_mutex);
            Q_ASSERT(!m_job);
            m_job = std::move(job);
        }
        m_wake.notify_one();
    }

private:
    void serve()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopping || m_job; });
                if (!m_job)
                    return;
                job = std::move(m_job);
                m_job = nullptr;
            }
            job();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::function<void()> m_job;
    bool m_stopping = false;
    std::thread m_thread; // last: it starts serving once the members above exist
};

// The pages of a million rows' cells cost more to fault in, 4 KB at a time, than reading
// the rows does. Once an arena is large its blocks are 2 MB, aligned and offered to the
// kernel as huge pages: one fault each instead of 512. Qt and the standard library have no
// allocation of that kind, hence the mapping by hand.
void Dataset::CellArena::Release::operator()(char *block) const
{
#ifdef Q_OS_LINUX
    if (mappedBytes > 0) {
        munmap(block, mappedBytes);
        return;
    }
#endif
    delete[] block;
}

Dataset::CellArena::Block Dataset::CellArena::allocate(size_t bytes, bool huge)
{
#ifdef Q_OS_LINUX
    if (huge) {
        // Map twice the size and keep the aligned middle, so the block is one huge page.
        const size_t span = 2 * bytes;
        void *mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped != MAP_FAILED) {
            char *start = static_cast<char *>(mapped);
            char *aligned = reinterpret_cast<char *>((reinterpret_cast<quintptr>(start) + bytes - 1) & ~quintptr(bytes - 1));
            if (aligned > start)
                munmap(start, size_t(aligned - start));
            if (start + span > aligned + bytes)
                munmap(aligned + bytes, size_t(start + span - (aligned + bytes)));
            madvise(aligned, bytes, MADV_HUGEPAGE); // a hint: without huge pages the block still works
            return Block(aligned, Release{bytes});
        }
    }
#else
    Q_UNUSED(huge);
#endif
    // Not make_unique: that would zero the block, a pass over every byte for nothing.
    return Block(new char[bytes], Release{});
}

const char *Dataset::CellArena::store(const char *data, size_t size)
{
    constexpr size_t SmallBlock = 256 * 1024, HugeBlock = 2 * 1024 * 1024;
    // A list keeps to small blocks up to this size, so that a half-filled huge block is a
    // small part of what it holds.
    constexpr qint64 HugeFrom = 32 * 1024 * 1024;
    if (size > m_left) {
        const bool huge = m_bytes >= HugeFrom && size <= HugeBlock;
        const size_t block = huge ? HugeBlock : std::max(SmallBlock, size);
        m_blocks.push_back(allocate(block, huge));
        m_bytes += qint64(block);
        m_free = m_blocks.back().get();
        m_left = block;
    }
    char *stored = m_free;
    if (size > 0)
        std::memcpy(stored, data, size);
    m_free += size;
    m_left -= size;
    return stored;
}

void Dataset::CellArena::clear()
{
    m_bytes = 0;
    m_blocks.clear();
    m_free = nullptr;
    m_left = 0;
}

void Dataset::CellArena::adopt(CellArena &other)
{
    for (auto &block : other.m_blocks)
        m_blocks.push_back(std::move(block));
    m_bytes += other.m_bytes;
    other.m_bytes = 0;
    other.m_blocks.clear();
    other.m_free = nullptr;
    other.m_left = 0;
}

qint64 Dataset::heldBytes() const
{
    return m_arena.bytes() + (m_loader ? m_loader->arena.bytes() : 0) + qint64(m_rows.capacity() * sizeof(Row));
}

void Dataset::setForegroundWaitMs(int ms)
{
    foregroundWaitMs = ms;
}

void Dataset::setFirstScreenTimeMs(int ms)
{
    firstScreenTimeMs = ms;
}

// The read connection is opened once and kept: opening an encrypted file costs the key
// derivation. Without one (a database that cannot be opened twice) loads stay in front.
Connection *Dataset::readConnection()
{
    if (m_readConnection && m_readConnection->path() == m_connection->path())
        return m_readConnection.get();
    m_readConnection.reset();
    try {
        m_readConnection = Connection::openReadOnly(m_connection->path());
    } catch (const DbError &) {
        return nullptr;
    }
    return m_readConnection.get();
}

// Prepares the list's statement on the read connection and reads its first screenful
// right here on the window thread: waking the load thread costs more than reading a
// screenful, and most lists are no longer. It gives up when the statement takes longer
// than `deadline` (a search still looking for its first matches), leaving the statement
// at its start for the load thread to read the whole list.
Dataset::FrontRead Dataset::readFirstScreen(Connection &reader, std::unique_ptr<Statement> &statement,
                                             std::chrono::steady_clock::time_point deadline)
{
    // A statement that cannot be prepared fails open() here, whatever the time.
    statement = std::make_unique<Statement>(reader, SqlDialect::toEngineList(m_sql, reader.engine()));
    bindParameters(*statement);
    if (!reader.limitStepsUntil(deadline))
        return FrontRead::NotTried; // the load thread steps the statement from the start
    struct Unlimit
    {
        Connection &reader;
        ~Unlimit() { reader.unlimitSteps(); }
    } unlimit{reader};
    std::string scratch;
    try {
        while (m_rows.size() < FirstScreenRows) {
            if (!statement->step()) {
                statement.reset();
                return FrontRead::Complete;
            }
            packRow(*statement, m_storedFieldCount, scratch);
            Row row;
            row.cells = m_arena.store(scratch.data(), scratch.size());
            row.origin = m_nextOrigin++;
            m_rows.push_back(row);
        }
        return FrontRead::FirstScreen;
    } catch (const DbError &) {
        m_rows.clear();
        m_nextOrigin = 0;
        if (std::chrono::steady_clock::now() < deadline)
            throw; // a failure of the statement itself
        statement->reset(); // back to its start, which also drops its values
        bindParameters(*statement);
        return FrontRead::OutOfTime;
    }
}

bool Dataset::openInBackground(bool freshlyPrepared)
{
    Connection *reader = readConnection();
    if (!reader)
        return false;
    const int n = m_storedFieldCount;
    if (freshlyPrepared)
        detectBaseTable();
    m_rows.clear();
    m_nextOrigin = 0;

    const auto now = std::chrono::steady_clock::now();
    const auto frontDeadline = now + std::chrono::milliseconds(firstScreenTimeMs.load());
    std::unique_ptr<Statement> listStatement;
    const FrontRead front = readFirstScreen(*reader, listStatement, frontDeadline);
    if (front == FrontRead::Complete) {
        becomeOpen();
        return true;
    }

    m_loader = std::make_unique<Loader>();
    Loader *loader = m_loader.get();
    loader->statement = std::move(listStatement); // bound, and maybe past the first screen
    if (!m_worker)
        m_worker = std::make_unique<LoadWorker>();
    // The dataset outlives the load: closing, re-opening and destroying it stop the load
    // and wait until it has finished first.
    Dataset *self = this;
    const bool firstScreenShown = !m_rows.empty();
    m_worker->run([loader, n, self, firstScreenShown] {
        // A first screenful not yet shown is handed over as soon as it is read, other rows
        // in larger batches.
        constexpr size_t FirstBatch = FirstScreenRows, Batch = 4096;
        std::vector<Row> batch;
        const auto handOver = [&](bool last) {
            {
                std::lock_guard lock(loader->mutex);
                for (Row &row : batch)
                    loader->read.push_back(std::move(row));
                loader->done = last;
            }
            batch.clear();
            loader->arrived.notify_all();
            if (!loader->told.exchange(true))
                QMetaObject::invokeMethod(self, [self] { self->takeRows(); }, Qt::QueuedConnection);
        };
        std::unique_ptr<Statement> statement = std::move(loader->statement);
        try {
            std::string scratch;
            size_t handed = firstScreenShown ? FirstBatch : 0;
            while (!loader->cancelled && statement->step()) {
                packRow(*statement, n, scratch);
                Row row;
                row.cells = loader->arena.store(scratch.data(), scratch.size());
                batch.push_back(std::move(row));
                if (batch.size() >= (handed == 0 ? FirstBatch : Batch)) {
                    handed += batch.size();
                    handOver(false);
                }
            }
        } catch (const DbError &error) {
            if (!loader->cancelled) {
                std::lock_guard lock(loader->mutex);
                loader->error = error;
            }
        }
        statement.reset(); // before `finished`: the read connection may go right after
        handOver(true);
        // The last touch: once `finished` is seen the load may be gone.
        std::lock_guard lock(loader->mutex);
        loader->finished = true;
        loader->arrived.notify_all();
    });

    // A list that has not shown its first screenful yet (a search, a server) gets the
    // rest of the front read's moment for it; foregroundWaitMs lets a caller wait longer
    // for the whole list.
    const auto foregroundDeadline = now + std::chrono::milliseconds(foregroundWaitMs.load());
    {
        std::unique_lock lock(loader->mutex);
        loader->arrived.wait_until(lock, std::max(frontDeadline, foregroundDeadline), [&] {
            return loader->done
                || (m_rows.size() + loader->read.size() >= FirstScreenRows
                    && std::chrono::steady_clock::now() >= foregroundDeadline);
        });
    }
    takeRows(); // throws when the statement failed within the moment
    becomeOpen();
    return true;
}

void Dataset::takeRows()
{
    Loader *loader = m_loader.get();
    if (!loader)
        return;
    const bool opening = m_state == State::Inactive; // still inside openInBackground
    // One turn of the event loop takes at most this many rows, so that rows piling up
    // while the window was busy never hold it for long: the rest follow on the next turns.
    constexpr size_t MaxRowsPerTurn = 16384;
    std::vector<Row> rows;
    bool done = false;
    bool more = false;
    std::optional<DbError> error;
    {
        std::lock_guard lock(loader->mutex);
        const size_t waiting = loader->read.size() - loader->taken;
        if (!opening && waiting > MaxRowsPerTurn) {
            const auto from = loader->read.begin() + qsizetype(loader->taken);
            rows.assign(std::make_move_iterator(from), std::make_move_iterator(from + MaxRowsPerTurn));
            loader->taken += MaxRowsPerTurn;
            more = true; // `told` stays set: the next turn is posted below
        } else {
            if (loader->taken == 0) {
                rows.swap(loader->read);
            } else {
                rows.assign(std::make_move_iterator(loader->read.begin() + qsizetype(loader->taken)),
                            std::make_move_iterator(loader->read.end()));
                loader->read.clear();
            }
            loader->taken = 0;
            done = loader->done;
            error = loader->error;
            loader->told = false;
        }
    }
    if (more)
        QMetaObject::invokeMethod(this, [this] { takeRows(); }, Qt::QueuedConnection);
    const int first = recordCount();
    for (Row &row : rows) {
        row.origin = m_nextOrigin++;
        m_rows.push_back(std::move(row));
    }
    if (done) {
        loader->waitFinished();
        m_arena.adopt(loader->arena);
        m_loader.reset();
    }
    if (opening) {
        if (error) {
            m_rows.clear();
            throw *error;
        }
        return;
    }
    if (!rows.empty()) {
        m_eof = false;
        emit rowsAppended(first, recordCount() - 1);
        if (m_current < 0) {
            m_current = 0;
            emitCurrent();
        }
    }
    if (done) {
        if (error)
            emit loadFailed(error->text());
        else
            emit loadFinished();
    }
}

void Dataset::waitForLoaded()
{
    while (Loader *loader = m_loader.get()) {
        {
            std::unique_lock lock(loader->mutex);
            loader->arrived.wait(lock, [loader] { return loader->done || loader->read.size() > loader->taken; });
        }
        takeRows();
    }
}

void Dataset::cancelLoad()
{
    if (!m_loader)
        return;
    m_loader->cancelled = true;
    if (m_readConnection)
        m_readConnection->interrupt();
    m_loader->waitFinished();
    m_arena.adopt(m_loader->arena); // the rows taken so far stay
    m_loader.reset();
}
