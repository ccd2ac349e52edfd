#include "DataCommands.h"
#include "sheets/CustomerImport.h"
#include "sheets/Spreadsheet.h"
#include "sheets/WorkbookWriter.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/OutputFile.h"
#include "store/SqlDialect.h"
#include "store/StatementGuard.h"
#include "store/queries/Import.h"
#include "store/queries/Maintenance.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

void say(FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

int fail(const QString &text)
{
    say(stderr, text);
    return 1;
}

int usage()
{
    std::fprintf(stderr, "usage: kehu-cli backup FOLDER [--db PATH]\n"
                         "       kehu-cli restore FILE [--db PATH]\n"
                         "       kehu-cli import FILE [--mapping default|saved] [--db PATH]\n"
                         "       kehu-cli export \"STATEMENT\" OUT.xlsx [--replace] [--db PATH]\n"
                         "       kehu-cli compact [--db PATH]\n");
    return 2;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

int backup(const QString &folder, const QString &database)
{
    try {
        const QString target = Maintenance::backupInto(database, QDir::cleanPath(folder));
        say(stdout, QStringLiteral("备份成功,文件备份在:") + shown(target));
        return 0;
    } catch (const DbError &error) {
        return fail(QStringLiteral("备份失败!\n") + error.text());
    }
}

int restore(const QString &file, const QString &database)
{
    const QString failed = QStringLiteral("数据恢复失败!\n");
    if (!QFileInfo::exists(file))
        return fail(failed + QStringLiteral("文件 \"%1\" 不存在。").arg(shown(file)));
    const QString refusal = Maintenance::restoreRefusal(file, database);
    if (!refusal.isEmpty())
        return fail(failed + refusal);
    const QString safety = Maintenance::safetyCopyPath(database);
    try {
        Maintenance::replaceDatabase(file, database, safety);
    } catch (const DbError &error) {
        return fail(failed + error.text());
    }
    say(stdout, QStringLiteral("数据恢复成功!"));
    if (QFileInfo::exists(safety))
        say(stdout, QStringLiteral("替换前的数据库另存为 \"%1\"。").arg(shown(safety)));
    return 0;
}

int importCustomers(const QString &file, bool savedMapping, const QString &database)
{
    SheetData sheet;
    try {
        sheet = Spreadsheet::read(file);
    } catch (const SpreadsheetError &error) {
        return fail(error.text());
    }
    QStringList titles;
    for (int column = 1; column <= sheet.columnCount(); ++column)
        titles.append(sheet.text(1, column));
    try {
        auto connection = Connection::open(database);
        Import::storeTitles(*connection, titles, !savedMapping);
        CustomerImport::checkMapping(*connection);
        // Said before anything is stored, so a script's log shows what was left out.
        const int unmapped = CustomerImport::unmappedColumnCount(*connection, sheet);
        if (unmapped > 0)
            say(stdout, QStringLiteral("文件中有 %1 列没有对应的字段,这些列不导入。").arg(unmapped));
        CustomerImport::Summary summary;
        CustomerImport::run(*connection, sheet, {}, &summary);
        say(stdout, QStringLiteral("导入数据成功!共导入 %1 条记录。").arg(summary.imported));
        if (summary.skippedEmpty > 0)
            say(stdout, QStringLiteral("有 %1 行的对应列都是空的,已跳过。").arg(summary.skippedEmpty));
        return 0;
    } catch (const CustomerImport::Failure &error) {
        return fail(error.text());
    } catch (const DbError &error) {
        return fail(error.text());
    }
}

// The rows are written as they are stepped, none of them kept.
int exportRows(const QString &statement, const QString &out, const QString &database, bool replace)
{
    // Excel's widest default: about ten characters of the default font.
    constexpr int ColumnPixels = 75;
    const OutputFile::Refusal refused = OutputFile::refusal(out, database, replace);
    if (refused == OutputFile::Refusal::Exists)
        return fail(QStringLiteral("导出失败: ") + OutputFile::refusalText(refused, out)
                    + QStringLiteral("要替换它请加 --replace。"));
    if (refused != OutputFile::Refusal::None)
        return fail(QStringLiteral("导出失败: ") + OutputFile::refusalText(refused, out));
    const QString notAllowed = StatementGuard::refusal(statement);
    if (!notAllowed.isEmpty())
        return fail(QStringLiteral("导出失败: ") + notAllowed);
    try {
        auto connection = Connection::openReadOnly(database);
        if (Statement(*connection, SqlDialect::toEngine(statement, connection->engine())).columnCount() == 0)
            return fail(QStringLiteral("导出失败: 只能导出查询(select)的结果。"));
        Dataset rows(connection.get());
        rows.setSql(statement);
        OutputFile target(out);
        WorkbookWriter book(target.temporaryPath());
        QList<FieldKind> kinds;
        int written = 0;
        rows.streamRows(
            [&] {
                const QStringList names = rows.fieldNames();
                for (int c = 0; c < names.size(); ++c) {
                    book.title(c, names.at(c), ColumnPixels);
                    kinds.append(rows.fieldDef(c).kind);
                }
            },
            [&](const QList<QVariant> &values) {
                ++written;
                for (qsizetype c = 0; c < values.size(); ++c)
                    book.cell(written, int(c), kinds.at(c), values.at(c));
            });
        if (!book.close())
            return fail(book.error());
        QString error;
        if (!target.commit(&error))
            return fail(QStringLiteral("导出失败: ") + error);
        say(stdout, QStringLiteral("已导出 %1 行到 \"%2\"。").arg(written).arg(shown(out)));
        return 0;
    } catch (const DbError &error) {
        return fail(QStringLiteral("导出失败: ") + error.text());
    } catch (const std::exception &error) {
        return fail(QString::fromStdString(error.what()));
    }
}

int compact(const QString &database)
{
    // A server's database is tidied while others work on it (VACUUM ANALYZE).
    const bool server = Connection::isServerLocation(database);
    if (!server && !QFileInfo::exists(database))
        return fail(QStringLiteral("压缩数据库失败!\n文件 \"%1\" 不存在。").arg(shown(database)));
    if (!server && Maintenance::inUse(database))
        return fail(QStringLiteral("压缩数据库失败!\n数据库正被其他程序使用,请先关闭其他程序。"));
    if (!Maintenance::compactFile(database))
        return fail(QStringLiteral("压缩数据库失败!"));
    say(stdout, QStringLiteral("压缩数据库成功!"));
    return 0;
}

} // namespace

bool isDataCommand(const QStringList &args)
{
    static const QStringList Commands = {QStringLiteral("backup"), QStringLiteral("restore"), QStringLiteral("import"),
                                         QStringLiteral("export"), QStringLiteral("compact")};
    return !args.isEmpty() && Commands.contains(args.first());
}

int dataCommand(const QStringList &given, const QString &database)
{
    QStringList args = given;
    const QString command = args.takeFirst();
    if (command == QLatin1String("backup") && args.size() == 1)
        return backup(args.at(0), database);
    if (command == QLatin1String("restore") && args.size() == 1)
        return restore(args.at(0), database);
    if (command == QLatin1String("export")) {
        const bool replace = args.removeAll(QStringLiteral("--replace")) > 0;
        if (args.size() == 2)
            return exportRows(args.at(0), args.at(1), database, replace);
    }
    if (command == QLatin1String("compact") && args.isEmpty())
        return compact(database);
    if (command == QLatin1String("import")) {
        bool saved = false;
        const int mapping = args.indexOf(QStringLiteral("--mapping"));
        if (mapping >= 0) {
            if (mapping + 1 >= args.size())
                return usage();
            const QString how = args.at(mapping + 1);
            if (how != QLatin1String("default") && how != QLatin1String("saved"))
                return usage();
            saved = how == QLatin1String("saved");
            args.remove(mapping, 2);
        }
        if (args.size() == 1)
            return importCustomers(args.at(0), saved, database);
    }
    return usage();
}
