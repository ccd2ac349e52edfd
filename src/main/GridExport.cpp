#include "GridExport.h"
#include "store/Dataset.h"
#include "store/ProgramDir.h"
#include "ui/DataGrid.h"
#include "ui/DatasetModel.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/WaitCursor.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>
#include <cmath>
#include <stdexcept>
#include <xlsxwriter.h>

namespace {

// Excel keeps at most this many characters in a cell.
constexpr int MaxCellText = 32767;
// Integers beyond this lose digits as spreadsheet numbers: they are written as text.
constexpr double ExactIntegerLimit = 1e15;
// Exports of more rows than this show a progress bar.
constexpr int ProgressRows = 2000;
constexpr int ProgressStep = 500;

// Excel measures a column in characters of the default font: 7 pixels each plus 5 of padding.
double characterWidth(int pixels)
{
    return std::max(1.0, (pixels - 5) / 7.0);
}

bool isNumeric(FieldKind kind)
{
    return kind == FieldKind::Integer || kind == FieldKind::Double || kind == FieldKind::Currency;
}

class Workbook
{
public:
    explicit Workbook(const QByteArray &path)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_book = workbook_new_opt(path.constData(), &options);
        if (!m_book)
            throw std::runtime_error("cannot start a workbook");
        m_sheet = workbook_add_worksheet(m_book, nullptr);
        m_title = workbook_add_format(m_book);
        format_set_bold(m_title);
        m_date = workbook_add_format(m_book);
        format_set_num_format(m_date, "yyyy-mm-dd");
        m_dateTime = workbook_add_format(m_book);
        format_set_num_format(m_dateTime, "yyyy-mm-dd hh:mm:ss");
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // Writes the file; the engine's error text when that fails.
    QString close()
    {
        const lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        return error == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(error));
    }

    void text(lxw_row_t row, lxw_col_t column, const QString &value, lxw_format *format = nullptr)
    {
        if (value.isEmpty())
            return;
        const QByteArray utf8 = (value.size() > MaxCellText ? value.left(MaxCellText) : value).toUtf8();
        worksheet_write_string(m_sheet, row, column, utf8.constData(), format);
    }
    void number(lxw_row_t row, lxw_col_t column, double value)
    {
        worksheet_write_number(m_sheet, row, column, value, nullptr);
    }
    void date(lxw_row_t row, lxw_col_t column, const QDate &date, const QTime &time, bool withTime)
    {
        lxw_datetime when{date.year(), date.month(), date.day(), time.hour(), time.minute(),
                          time.second() + time.msec() / 1000.0};
        worksheet_write_datetime(m_sheet, row, column, &when, withTime ? m_dateTime : m_date);
    }
    void width(lxw_col_t column, int pixels)
    {
        worksheet_set_column(m_sheet, column, column, characterWidth(pixels), nullptr);
    }
    lxw_format *titleFormat() const { return m_title; }

private:
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_title = nullptr, *m_date = nullptr, *m_dateTime = nullptr;
};

// Spreadsheet dates start in 1900 and end in 9999; others stay text.
bool inSpreadsheetRange(const QDate &date)
{
    return date.isValid() && date.year() >= 1900 && date.year() <= 9999;
}

void writeCell(Workbook &book, lxw_row_t row, lxw_col_t column, FieldKind kind, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return;
    switch (value.typeId()) {
    case QMetaType::QDate:
        if (inSpreadsheetRange(value.toDate()))
            return book.date(row, column, value.toDate(), QTime(0, 0), false);
        break;
    case QMetaType::QDateTime: {
        const QDateTime when = value.toDateTime();
        if (inSpreadsheetRange(when.date()))
            return book.date(row, column, when.date(), when.time(), true);
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
            if (std::isfinite(number) && std::fabs(number) < ExactIntegerLimit)
                return book.number(row, column, number);
        }
        break;
    default:
        break;
    }
    book.text(row, column, DatasetModel::displayText(kind, value));
}

} // namespace

namespace GridExport {

QList<Column> shownColumns(const DataGrid *grid)
{
    QList<Column> columns;
    const QHeaderView *titles = grid->horizontalHeader();
    const QAbstractItemModel *model = grid->model();
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        if (titles->isSectionHidden(logical) || titles->sectionSize(logical) <= 0)
            continue;
        columns.append({grid->columnField(logical), model->headerData(logical, Qt::Horizontal).toString(),
                        titles->sectionSize(logical)});
    }
    return columns;
}

bool writeWorkbook(const QString &path, const Dataset &rows, const QList<Column> &columns,
                   const std::function<bool(int)> &progress)
{
    QList<int> fields;
    QList<FieldKind> kinds;
    for (const Column &column : columns) {
        const int field = rows.isOpen() ? rows.fieldIndex(column.field) : -1;
        fields.append(field);
        kinds.append(field >= 0 ? rows.fieldDef(field).kind : FieldKind::Unknown);
    }
    const QByteArray nativePath = QFile::encodeName(path);
    bool finished = true;
    QString error;
    {
        Workbook book(nativePath);
        for (int c = 0; c < columns.size(); ++c) {
            book.width(lxw_col_t(c), columns.at(c).widthPixels);
            book.text(0, lxw_col_t(c), columns.at(c).title, book.titleFormat());
        }
        const int count = rows.isOpen() ? rows.recordCount() : 0;
        for (int r = 0; r < count; ++r) {
            if (progress && r % ProgressStep == 0 && !progress(r)) {
                finished = false;
                break;
            }
            for (int c = 0; c < columns.size(); ++c) {
                if (fields.at(c) >= 0)
                    writeCell(book, lxw_row_t(r + 1), lxw_col_t(c), kinds.at(c), rows.value(r, fields.at(c)));
            }
        }
        if (finished && progress)
            progress(count);
        error = book.close();
    }
    if (!finished || !error.isEmpty())
        QFile::remove(path);
    if (!error.isEmpty())
        throw std::runtime_error(QStringLiteral("无法写入文件 \"%1\": %2")
                                     .arg(QDir::toNativeSeparators(path), error).toStdString());
    return finished;
}

QString exportPath(const QString &name)
{
    QString base = name;
    // A name is kept to what every file system accepts.
    static const QString Forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : base)
        if (Forbidden.contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    if (base.trimmed().isEmpty())
        base = QStringLiteral("导出");
    const QString directory = ProgramDir::file(QStringLiteral("Export"));
    const QString stem = directory + QLatin1Char('/') + base + QLatin1Char('_')
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
    QString path = stem + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral("_%1.xlsx").arg(n);
    return path;
}

QString exportGrid(QWidget *parent, DataGrid *grid, const QString &name)
{
    const Dataset *rows = grid ? grid->dataset() : nullptr;
    if (!rows) {
        Messages::box(parent, QStringLiteral("没有可导出的数据。"), QStringLiteral("提醒"), Msg::Icon::Information);
        return {};
    }
    const QString directory = ProgramDir::file(QStringLiteral("Export"));
    if (!QDir().mkpath(directory)) {
        Messages::box(parent, QStringLiteral("无法创建目录 \"%1\"。").arg(QDir::toNativeSeparators(directory)),
                      QStringLiteral("警告"), Msg::Icon::Warning);
        return {};
    }
    const QString path = exportPath(name);
    const int count = rows->isOpen() ? rows->recordCount() : 0;

    std::unique_ptr<QProgressDialog> bar;
    if (count > ProgressRows) {
        bar = std::make_unique<QProgressDialog>(QStringLiteral("正在导出 %1 行数据…").arg(count),
                                                QStringLiteral("取消"), 0, count, parent);
        bar->setObjectName(QStringLiteral("ExportProgress"));
        bar->setWindowTitle(QStringLiteral("导出到Excel"));
        bar->setWindowModality(Qt::WindowModal);
        bar->setMinimumDuration(300);
    }
    bool finished = false;
    try {
        WaitCursor wait;
        grid->setUpdatesEnabled(false);
        finished = writeWorkbook(path, *rows, shownColumns(grid), [&bar](int done) {
            if (!bar)
                return true;
            bar->setValue(done);
            return !bar->wasCanceled();
        });
        grid->setUpdatesEnabled(true);
    } catch (const std::exception &error) {
        grid->setUpdatesEnabled(true);
        bar.reset();
        Messages::box(parent, QStringLiteral("导出失败!\n") + QString::fromStdString(error.what()),
                      QStringLiteral("警告"), Msg::Icon::Warning);
        return {};
    }
    bar.reset();
    if (!finished)
        return {};
    if (!Platform::openDocument(parent, path))
        Messages::box(parent, QStringLiteral("数据已导出到文件:\n%1\n\n没有找到打开它的程序。").arg(QDir::toNativeSeparators(path)),
                      QStringLiteral("提醒"), Msg::Icon::Information);
    return path;
}

} // namespace GridExport
