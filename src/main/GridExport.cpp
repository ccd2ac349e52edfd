#include "GridExport.h"
#include "sheets/WorkbookWriter.h"
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

namespace {

// Exports of more rows than this show a progress bar.
constexpr int ProgressRows = 2000;
constexpr int ProgressStep = 500;

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
    WorkbookWriter book(path);
    for (int c = 0; c < columns.size(); ++c)
        book.title(c, columns.at(c).title, columns.at(c).widthPixels);
    const int count = rows.isOpen() ? rows.recordCount() : 0;
    for (int r = 0; r < count; ++r) {
        if (progress && r % ProgressStep == 0 && !progress(r)) {
            book.discard();
            return false;
        }
        for (int c = 0; c < columns.size(); ++c) {
            if (fields.at(c) >= 0)
                book.cell(r + 1, c, kinds.at(c), rows.value(r, fields.at(c)));
        }
    }
    if (progress)
        progress(count);
    if (!book.close())
        throw std::runtime_error(book.error().toStdString());
    return true;
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
    Dataset *const source = grid ? grid->dataset() : nullptr;
    // A long list may still be arriving in the background: the file gets every row.
    if (source && source->isLoading()) {
        WaitCursor wait;
        source->waitForLoaded();
    }
    const Dataset *rows = source;
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
