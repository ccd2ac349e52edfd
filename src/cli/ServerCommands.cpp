#include "ServerCommands.h"
#include "store/Connection.h"
#include "store/DbError.h"
#include "store/ServerDatabase.h"
#include "store/queries/Maintenance.h"

#include <QFileInfo>

#include <cstdio>

namespace {

void say(FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

int usage()
{
    std::fprintf(stderr, "usage: kehu-cli server-init postgresql://USER@HOST:PORT/DATABASE\n"
                         "       kehu-cli copy FROM TO [--replace]   (FROM, TO: a database file or a postgresql:// URI)\n");
    return 2;
}

} // namespace

bool isServerCommand(const QStringList &args)
{
    return !args.isEmpty() && (args.at(0) == QLatin1String("server-init") || args.at(0) == QLatin1String("copy"));
}

int serverCommand(const QStringList &given)
{
    QStringList args = given;
    const bool replace = args.removeAll(QStringLiteral("--replace")) > 0;
    try {
        if (args.at(0) == QLatin1String("server-init")) {
            if (args.size() != 2 || replace)
                return usage();
            if (!Connection::isServerLocation(args.at(1))) {
                say(stderr, QStringLiteral("\"%1\" 不是数据库服务器的地址 (postgresql://…)").arg(Connection::shownLocation(args.at(1))));
                return 2;
            }
            ServerDatabase::initialise(args.at(1));
            say(stdout, QStringLiteral("服务器数据库已准备好: %1").arg(Connection::shownLocation(args.at(1))));
            return 0;
        }
        if (args.size() != 3)
            return usage();
        // A file is copied only when it is sound and shaped as the program makes it.
        if (!Connection::isServerLocation(args.at(1)) && QFileInfo::exists(args.at(1))) {
            const QString problem = Maintenance::checkDatabaseFile(args.at(1));
            if (!problem.isEmpty()) {
                say(stderr, QStringLiteral("失败: ") + problem);
                return 1;
            }
        }
        const ServerDatabase::CopyResult done = ServerDatabase::copy(args.at(1), args.at(2), replace,
            [](const QString &table, qint64 rows) {
                std::fprintf(stderr, "\r%s: %lld    ", table.toUtf8().constData(), static_cast<long long>(rows));
                return true;
            });
        std::fprintf(stderr, "\n");
        say(stdout, QStringLiteral("复制完成: %1 个表, %2 行").arg(done.tables).arg(done.rows));
        return 0;
    } catch (const DbError &error) {
        std::fprintf(stderr, "\n");
        say(stderr, QStringLiteral("失败: ") + error.text());
        return 1;
    }
}
