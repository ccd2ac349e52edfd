#include "FuzzEntries.h"
#include "sheets/Spreadsheet.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/IniSettings.h"
#include "store/Schema.h"
#include "store/SqlDialect.h"
#include "store/StatementGuard.h"
#include "store/queries/Maintenance.h"
#include "store/queries/SchemaCheck.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <algorithm>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char *what, const QString &detail)
{
    std::fprintf(stderr, "check failed: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

// A scratch file of this process on a memory file system where there is one.
QString scratchPath(const QString &name)
{
    static const QString folder = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    return folder + QStringLiteral("/kehu-fuzz-%1-%2").arg(QCoreApplication::applicationPid()).arg(name);
}

void writeFile(const QString &path, const char *data, qsizetype size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        broken("cannot write the scratch file", path);
    file.write(data, size);
}

} // namespace

int FuzzEntries::spreadsheet(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const suffixes[] = {".csv", ".ods", ".xlsx"};
    const QString path = scratchPath(QStringLiteral("sheet")) + QString::fromLatin1(suffixes[data[0] % 3]);
    writeFile(path, reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    try {
        const SheetData sheet = Spreadsheet::read(path);
        // What is read stays within a sheet's limits.
        if (sheet.rowCount() > SheetData::MaxRows || sheet.columnCount() > SheetData::MaxColumns)
            broken("a sheet past the limits was read", path);
        for (int row = 1; row <= std::min(sheet.rowCount(), 50); ++row)
            for (int column = 1; column <= std::min(sheet.columnCount(), 50); ++column)
                (void)sheet.text(row, column);
    } catch (const SpreadsheetError &) {
    }
    QFile::remove(path);
    return 0;
}

int FuzzEntries::schemaCheck(const uint8_t *data, size_t size)
{
    // One delivered database per process, copied for every input.
    static const QString pristine = [] {
        const QString path = scratchPath(QStringLiteral("pristine.mdb"));
        QFile::remove(path);
        Schema::createDatabase(path);
        return path;
    }();
    const QString path = scratchPath(QStringLiteral("changed.mdb"));
    QFile::remove(path);
    if (!QFile::copy(pristine, path))
        broken("cannot copy the delivered database", path);
    const QString statements = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // Statements that would write other files (attach) are left out, as kehu-cli does.
    for (const QString &statement : SqlDialect::splitStatements(statements))
        if (!StatementGuard::refusal(statement).isEmpty())
            return 0;
    try {
        auto connection = Connection::open(path);
        connection->execScript(statements);
    } catch (const DbError &) {
    }
    // Refusals are texts; nothing else may escape the check. The delivered database
    // itself always passes.
    const QString problem = Maintenance::checkDatabaseFile(path);
    if (size == 0 && !problem.isEmpty())
        broken("the delivered database was refused", problem);
    QFile::remove(path);
    return 0;
}

int FuzzEntries::sqlDialect(const uint8_t *data, size_t size)
{
    const QString program = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // Refusing text with DbError is fine; any other exception, a crash or a hang is not.
    // Both engines' forms, and the server's list form.
    for (const SqlEngine target : {SqlEngine::Sqlite, SqlEngine::Postgres}) {
        try {
            const QString engine = SqlDialect::toEngineList(program, target);
            // What the translator accepts is no blank statement.
            if (SqlDialect::isBlank(engine))
                broken("a statement translated to nothing", program);
        } catch (const DbError &) {
        }
    }
    const QStringList pieces = SqlDialect::splitStatements(program);
    // The pieces and their semicolons give back the text, the dropped blank tail aside.
    const QString joined = pieces.join(QLatin1Char(';'));
    const QString rest = program.mid(joined.size());
    if (!program.startsWith(joined)
        || !(rest.isEmpty() || (rest.startsWith(QLatin1Char(';')) && SqlDialect::isBlank(rest.mid(1)))))
        broken("statements cut apart lose text", program);
    return 0;
}

int FuzzEntries::iniSettings(const uint8_t *data, size_t size)
{
    // Every input ends in a write: on a memory file system where there is one.
    static const QString path = (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
                                + QStringLiteral("/kehu-fuzz-%1.ini").arg(QCoreApplication::applicationPid());
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniSettings settings(path);
    settings.load(bytes);
    for (const char *section : {"Config", "login", "Custom"}) {
        for (const char *key : {"DBConn", "username", "CateCode"}) {
            const QString s = QString::fromLatin1(section), k = QString::fromLatin1(key);
            const QString value = settings.readString(s, k, QStringLiteral("\x01"));
            if (!settings.hasKey(s, k) && value != QStringLiteral("\x01"))
                broken("a key not there has a value", QString::fromUtf8(bytes.toHex()));
            settings.readInteger(s, k, -1);
        }
    }
    // A value written is read back as written, from memory and from the file. A write
    // replaces the file atomically and costs a hundred times a read: one input in four.
    if (size % 4 != 0)
        return 0;
    const QString value = QStringLiteral("写入 %1").arg(size);
    try {
        settings.writeString(QStringLiteral("Config"), QStringLiteral("DBConn"), value);
    } catch (const DbError &) {
        return 0; // the temporary folder refused the write: nothing to check
    }
    if (settings.readString(QStringLiteral("config"), QStringLiteral("dbconn")) != value)
        broken("a written value reads back differently", QString::fromUtf8(bytes.toHex()));
    IniSettings again(path);
    if (again.readString(QStringLiteral("CONFIG"), QStringLiteral("DBCONN")) != value)
        broken("a written value reads back differently from the file", QString::fromUtf8(bytes.toHex()));
    return 0;
}
