#include "Maintenance.h"
#include "SchemaCheck.h"
#include "store/Connection.h"
#include "store/CopyFileLZ.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "store/Schema.h"
#include "store/ServerDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <filesystem>
#include <system_error>
#include <QStringList>

namespace Maintenance {

QString checkDatabaseFile(const QString &path)
{
    try {
        auto connection = Connection::openReadOnly(path);
        const QStringList problems = connection->integrityProblems();
        if (!problems.isEmpty())
            return QStringLiteral("数据库文件已损坏: %1").arg(problems.mid(0, 3).join(QLatin1String("; ")));
        // A sound file may still lack what the program needs, or carry a trigger or view
        // of someone else's that would run with every change.
        const SchemaCheck::Differences differences = SchemaCheck::compare(*connection);
        if (!differences.acceptable())
            return SchemaCheck::refusalText(differences);
        return {};
    } catch (const DbError &error) {
        return error.text();
    }
}

bool compactFile(const QString &path, int busyTimeoutMs)
{
    try {
        auto connection = Connection::open(path, Connection::DatabasePassword, busyTimeoutMs);
        connection->compact();
        return connection->integrityProblems().isEmpty();
    } catch (const DbError &) {
        return false;
    }
}

bool inUse(const QString &path, int busyTimeoutMs)
{
    if (!Connection::isServerLocation(path) && !QFileInfo::exists(path))
        return false;
    try {
        auto connection = Connection::open(path, Connection::DatabasePassword, busyTimeoutMs);
        connection->lockExclusively();
        return false;
    } catch (const DbError &error) {
        return error.kind() == DbError::Kind::Busy;
    }
}

namespace {
int programTableCount()
{
    QSet<QString> tables;
    for (const auto &column : Schema::declaredColumns())
        tables.insert(column.table.toLower());
    return int(tables.size());
}
} // namespace

QString backupName(const QDate &day)
{
    return QStringLiteral("Custom_bak") + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".mdb");
}

QString backupInto(const QString &database, const QString &folder, const std::function<bool(int, int)> &progress)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        throw DbError(QStringLiteral("无法使用文件夹 \"%1\"。").arg(QDir::toNativeSeparators(folder)),
                      DbError::Kind::CannotOpen);
    const QString target = QDir(folder).filePath(backupName(QDate::currentDate()));
    const QString temporary = QDir(folder).filePath(QStringLiteral(".~backup-%1.tmp").arg(QDateTime::currentMSecsSinceEpoch()));
    try {
        bool finished = true;
        if (Connection::isServerLocation(database)) {
            // A server's data goes into a new file of the program, table by table.
            int tables = 0;
            QString lastTable;
            try {
                ServerDatabase::copy(database, temporary, false, [&](const QString &table, qint64) {
                    if (table != lastTable) {
                        lastTable = table;
                        ++tables;
                    }
                    return !progress || progress(tables - 1, programTableCount());
                });
            } catch (const DbError &error) {
                if (error.text() != QLatin1String("已取消"))
                    throw;
                finished = false;
            }
            if (finished && progress)
                progress(programTableCount(), programTableCount());
        } else {
            auto source = Connection::open(database);
            finished = source->backupTo(temporary, progress);
        }
        if (!finished) {
            QFile::remove(temporary);
            return {};
        }
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(temporary).toStdString(), QFile::encodeName(target).toStdString(), error);
        if (error)
            throw DbError(QStringLiteral("无法写入文件 \"%1\": %2")
                              .arg(QDir::toNativeSeparators(target), QString::fromLocal8Bit(error.message())),
                          DbError::Kind::CannotOpen);
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    return target;
}

QString safetyCopyPath(const QString &database)
{
    // A server's data is kept in the program's database folder.
    const QString folder = Connection::isServerLocation(database) ? ProgramDir::file(QStringLiteral("DataBase"))
                                                                   : QFileInfo(database).absolutePath();
    return folder + QStringLiteral("/Custom_恢复前")
           + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hhmmss")) + QStringLiteral(".mdb");
}

QString restoreRefusal(const QString &selected, const QString &database)
{
    if (!Connection::isServerLocation(database)
        && QFileInfo(selected).canonicalFilePath() == QFileInfo(database).canonicalFilePath())
        return QStringLiteral("所选文件就是当前的数据库文件。");
    const QString problem = checkDatabaseFile(selected);
    return problem.isEmpty() ? problem : QStringLiteral("所选文件不是本系统可用的数据库: ") + problem;
}

void replaceDatabase(const QString &selected, const QString &database, const QString &safety)
{
    if (inUse(database))
        throw DbError(QStringLiteral("数据库正被其他程序使用,请先关闭其他程序。"), DbError::Kind::Busy);
    if (Connection::isServerLocation(database)) {
        // The server's data first goes whole into the safety file; then the selected
        // file's rows replace the server's in one transaction.
        ServerDatabase::copy(database, safety, false);
        ServerDatabase::copy(selected, database, true);
        return;
    }
    try {
        if (QFileInfo::exists(database))
            CopyFileLZ(database, safety);
        CopyFileLZ(selected, database);
    } catch (const FileCopyError &error) {
        throw DbError(error.text());
    }
}

} // namespace Maintenance
