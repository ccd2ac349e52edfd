#include "WorkbookWriter.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cmath>
#include <stdexcept>
#include <xlsxwriter.h>

namespace {

// Excel keeps at most this many characters in a cell.
constexpr int MaxCellText = 32767;
// Integers beyond this lose digits as spreadsheet numbers: they are written as text.
constexpr double ExactIntegerLimit = 1e15;

// Excel measures a column in characters of the default font: 7 pixels each plus 5 of padding.
double characterWidth(int pixels)
{
    return std::max(1.0, (pixels - 5) / 7.0);
}

bool isNumeric(FieldKind kind)
{
    return kind == FieldKind::Integer || kind == FieldKind::Double || kind == FieldKind::Currency;
}

// Spreadsheet dates start in 1900 and end in 9999; others stay text.
bool inSpreadsheetRange(const QDate &date)
{
    return date.isValid() && date.year() >= 1900 && date.year() <= 9999;
}

} // namespace

struct WorkbookWriter::Book
{
    lxw_workbook *book = nullptr;
    lxw_worksheet *sheet = nullptr;
    lxw_format *title = nullptr, *dateFormat = nullptr, *dateTimeFormat = nullptr;
    QByteArray utf8; // reused for every text cell

    void date(lxw_row_t row, lxw_col_t column, const QDate &day, const QTime &time, bool withTime)
    {
        lxw_datetime when{day.year(), day.month(), day.day(), time.hour(), time.minute(),
                          time.second() + time.msec() / 1000.0};
        worksheet_write_datetime(sheet, row, column, &when, withTime ? dateTimeFormat : dateFormat);
    }
};

WorkbookWriter::WorkbookWriter(const QString &path) : m_book(std::make_unique<Book>()), m_path(path)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    m_book->book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!m_book->book)
        throw std::runtime_error(QStringLiteral("无法写入文件 \"%1\"").arg(QDir::toNativeSeparators(path)).toStdString());
    m_book->sheet = workbook_add_worksheet(m_book->book, nullptr);
    m_book->title = workbook_add_format(m_book->book);
    format_set_bold(m_book->title);
    m_book->dateFormat = workbook_add_format(m_book->book);
    format_set_num_format(m_book->dateFormat, "yyyy-mm-dd");
    m_book->dateTimeFormat = workbook_add_format(m_book->book);
    format_set_num_format(m_book->dateTimeFormat, "yyyy-mm-dd hh:mm:ss");
}

WorkbookWriter::~WorkbookWriter()
{
    if (m_book->book)
        discard();
}

void WorkbookWriter::title(int column, const QString &text, int widthPixels)
{
    worksheet_set_column(m_book->sheet, lxw_col_t(column), lxw_col_t(column), characterWidth(widthPixels), nullptr);
    if (text.isEmpty())
        return;
    m_book->utf8 = (text.size() > MaxCellText ? text.left(MaxCellText) : text).toUtf8();
    worksheet_write_string(m_book->sheet, 0, lxw_col_t(column), m_book->utf8.constData(), m_book->title);
}

void WorkbookWriter::text(int row, int column, const QString &value)
{
    if (value.isEmpty())
        return;
    m_book->utf8 = (value.size() > MaxCellText ? value.left(MaxCellText) : value).toUtf8();
    worksheet_write_string(m_book->sheet, lxw_row_t(row), lxw_col_t(column), m_book->utf8.constData(), nullptr);
}

void WorkbookWriter::cell(int row, int column, FieldKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return;
    switch (value.typeId()) {
    case QMetaType::QDate:
        if (inSpreadsheetRange(value.toDate()))
            return m_book->date(lxw_row_t(row), lxw_col_t(column), value.toDate(), QTime(0, 0), false);
        break;
    case QMetaType::QDateTime: {
        const QDateTime when = value.toDateTime();
        if (inSpreadsheetRange(when.date()))
            return m_book->date(lxw_row_t(row), lxw_col_t(column), when.date(), when.time(), true);
        break;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        // A number in a text column stays the text the grid shows (a code, a phone number).
        if (isNumeric(kind) || kind == FieldKind::Unknown) {
            const double number = value.toDouble();
            if (std::isfinite(number) && std::fabs(number) < ExactIntegerLimit) {
                worksheet_write_number(m_book->sheet, lxw_row_t(row), lxw_col_t(column), number, nullptr);
                return;
            }
        }
        break;
    case QMetaType::QString:
        return text(row, column, value.toString());
    default:
        break;
    }
    text(row, column, Dataset::gridText(kind, value));
}

bool WorkbookWriter::close()
{
    const lxw_error result = workbook_close(m_book->book);
    m_book->book = nullptr;
    if (result == LXW_NO_ERROR)
        return true;
    m_error = QStringLiteral("无法写入文件 \"%1\": %2")
                  .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(lxw_strerror(result)));
    QFile::remove(m_path);
    return false;
}

void WorkbookWriter::discard()
{
    if (m_book->book) {
        workbook_close(m_book->book);
        m_book->book = nullptr;
    }
    QFile::remove(m_path);
}
