#include "Maintenance.h"
#include "store/Connection.h"
#include "store/DbError.h"

#include <QFileInfo>
#include <QStringList>

namespace Maintenance {

QString checkDatabaseFile(const QString &path)
{
    try {
        auto connection = Connection::openReadOnly(path);
        const QStringList problems = connection->integrityProblems();
        if (!problems.isEmpty())
            return QStringLiteral("数据库文件已损坏: %1").arg(problems.mid(0, 3).join(QLatin1String("; ")));
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
    if (!QFileInfo::exists(path))
        return false;
    try {
        auto connection = Connection::open(path, Connection::DatabasePassword, busyTimeoutMs);
        connection->lockExclusively();
        return false;
    } catch (const DbError &error) {
        return error.kind() == DbError::Kind::Busy;
    }
}

} // namespace Maintenance
