// kehu-cli sql "STATEMENTS" [--db PATH]
// Runs statements in the program's dialect through the program's own data layer
// against the default database beside the executable (or PATH). Several statements
// separated by ';' run in one transaction: all of them or none. Rows of a final select
// are printed as tab-separated text under a header line; a final statement of another
// kind prints the rows it changed. Exit status: 0 done, 1 database error (nothing
// changed), 2 wrong arguments. The tool never creates a database: a missing, empty or
// foreign file is refused.
// kehu-cli print ...: the customer reports to PDF (see PrintCommand.h).
// kehu-cli backup|restore|import|export|compact ...: the data tools (see DataCommands.h).
#include "DataCommands.h"
#include "ServerCommands.h"
#include "PrintCommand.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "store/SqlDialect.h"
#include "store/StatementGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <memory>
#include <QStringDecoder>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

static int usage()
{
    std::fprintf(stderr, "usage: kehu-cli sql \"STATEMENTS\" [--db PATH]\n"
                         "       kehu-cli print envelope|label|custbasic|bill ... --pdf OUT.pdf [--db PATH]\n"
                         "       kehu-cli backup FOLDER | restore FILE | import FILE [--mapping default|saved]\n"
                         "                | export \"STATEMENT\" OUT.xlsx | compact   [--db PATH]\n"
                         "       kehu-cli server-init URI | copy FROM TO [--replace]\n"
                         "PATH, FROM, TO: a database file or a server URI (postgresql://user@host:5432/kehu)\n");
    return 2;
}

constexpr qsizetype OutputBlock = 1 << 16;

// A cell's text with its tabs and line breaks made blanks, so each row stays one line.
static void appendCell(QByteArray &out, QByteArrayView cell)
{
    const qsizetype start = out.size();
    out.append(cell);
    char *p = out.data() + start;
    char *const end = out.data() + out.size();
    for (; p != end; ++p)
        if (*p == '\t' || *p == '\n')
            *p = ' ';
}

// The arguments as given, each checked to be UTF-8: QCoreApplication::arguments()
// would turn a stray byte into U+FFFD and the statement would store that instead.
static std::optional<QStringList> utf8Arguments(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i], qsizetype(std::strlen(argv[i])));
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (decoder.hasError()) {
            std::fprintf(stderr, "参数 %d 不是有效的 UTF-8 文本,未执行任何语句。\n", i);
            return std::nullopt;
        }
        args.append(text);
    }
    return args;
}

static void write(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// Runs every statement inside one transaction. The rows of a final select are written
// as they are stepped, none of them kept, so any number of rows takes the same memory.
static void run(Connection &connection, const QStringList &statements)
{
    for (int i = 0; i < statements.size(); ++i) {
        const QString refused = StatementGuard::refusal(statements.at(i));
        if (!refused.isEmpty())
            throw DbError(statements.size() == 1 ? refused : QStringLiteral("第 %1 条语句: %2").arg(i + 1).arg(refused));
    }
    connection.begin();
    try {
        for (int i = 0; i < statements.size(); ++i) {
            const bool last = i + 1 == statements.size();
            QString engineSql;
            bool returnsRows = false;
            try {
                engineSql = SqlDialect::toEngine(statements.at(i), connection.engine());
                returnsRows = Statement(connection, engineSql).columnCount() > 0;
            } catch (const DbError &error) {
                if (statements.size() == 1)
                    throw;
                throw DbError(QStringLiteral("第 %1 条语句: %2").arg(i + 1).arg(error.text()), error.kind());
            }
            Dataset query(&connection);
            query.setSql(statements.at(i));
            if (!(last && returnsRows)) {
                const int changed = query.execute();
                if (last)
                    write(QString::number(changed) + QLatin1Char('\n'));
                continue;
            }
            // Rows go out through one buffer, their cells as the engine's UTF-8 text where
            // that is what they show; tabs and line breaks inside a cell become blanks.
            QByteArray out;
            out.reserve(OutputBlock + 4096);
            query.streamText([&] { write(query.fieldNames().join(QLatin1Char('\t')) + QLatin1Char('\n')); },
                             [&](const QByteArrayView *cells, int count) {
                for (int f = 0; f < count; ++f) {
                    if (f > 0)
                        out += '\t';
                    appendCell(out, cells[f]);
                }
                out += '\n';
                if (out.size() >= OutputBlock) {
                    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
                    out.resize(0); // keeps the capacity
                }
            });
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        }
        connection.commit();
    } catch (...) {
        connection.rollback();
        throw;
    }
}

// Qt's GUI library wants a private runtime folder and, when the environment names none (as
// under cron), warns about it on every run before choosing one itself; cron would mail that
// line each night. The same kind of folder is given to it here, quietly: made with mode 0700,
// or used when it is already ours and private.
static void provideRuntimeDir()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/runtime-" + QByteArray::number(geteuid());
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        return;
    struct stat info {};
    if (::lstat(dir.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()
        || (info.st_mode & 0777) != 0700)
        return;
    qputenv("XDG_RUNTIME_DIR", dir);
}

int main(int argc, char **argv)
{
    // Printing draws text, which needs the GUI library; without a display it draws offscreen.
    const bool printing = argc > 1 && std::strcmp(argv[1], "print") == 0;
    if (printing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (printing)
        provideRuntimeDir();
    if (printing)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    const std::optional<QStringList> given = utf8Arguments(argc, argv);
    if (!given)
        return 2;
    QStringList args = *given;
    QString database = ProgramDir::file(QStringLiteral("DataBase/Custom.mdb"));
    const int db = args.indexOf(QStringLiteral("--db"));
    if (db >= 0) {
        if (db + 1 >= args.size())
            return usage();
        database = args.at(db + 1);
        args.remove(db, 2);
    }
    if (printing)
        return printCommand(args.mid(1), database);
    if (isServerCommand(args))
        return serverCommand(args);
    if (isDataCommand(args))
        return dataCommand(args, database);
    if (args.size() != 2 || args.at(0) != QLatin1String("sql"))
        return usage();

    try {
        auto connection = Connection::open(database);
        run(*connection, SqlDialect::splitStatements(args.at(1)));
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", error.text().toUtf8().constData());
        return 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
