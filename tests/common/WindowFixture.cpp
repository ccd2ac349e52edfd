#include "WindowFixture.h"

#include <cstdio>
#include <cstdlib>
#include "app/WindowCommands.h"
#include "store/Connection.h"
#include "store/SqlDialect.h"
#include "store/SqlText.h"

#include <QDir>
#include <QFile>

WindowFixture::WindowFixture()
{
    // In place before the data module exists: it may already show a message.
    Messages::install(&messages);
    Platform::install(&platform);
    if (qEnvironmentVariableIsSet("KEHU_TEST_WINDOWS_ON_SERVER")) {
        if (!TestServerDatabase::available()) {
            std::fprintf(stderr, "no PostgreSQL test server (KEHU_TEST_PG_URI unset): the window tests on a server are skipped\n");
            std::exit(77); // ctest counts the run as skipped
        }
        server = std::make_unique<TestServerDatabase>();
        program.writeConfig(QStringLiteral("[Config]\nDBConn=%1\n").arg(server->uri()));
    }
    data = std::make_unique<TFrm_Data>();
    // Window tests read their small lists in front, so that every step is done when the
    // next one runs; loading in the background has tests of its own.
    data->Qry_Cust->setBackgroundLoading(false);
    main = std::make_unique<TFrm_Main>();
    main->setDataModule(data.get());
    installWindowCommands(main.get());
}

WindowFixture::~WindowFixture()
{
    main.reset();
    data.reset();
    server.reset();
    Messages::install(nullptr);
    Platform::install(nullptr);
}

void WindowFixture::deliverReportTemplates()
{
    const QString programDir = program.dir();
    QDir().mkpath(programDir + QStringLiteral("Reports"));
    const QDir source(QStringLiteral(KEHU_ASSETS_DIR "Reports"));
    for (const QString &file : source.entryList(QDir::Files))
        QFile::copy(source.filePath(file), programDir + QStringLiteral("Reports/") + file);
    for (const auto &report : data->reports())
        report->load(programDir);
}

void WindowFixture::login(const QString &name, bool viewAll, int permit)
{
    db()->exec(QStringLiteral("delete from T_UserAuthority where UserName=") + SqlText::quoted(name));
    for (int slot = 1; slot <= 11; ++slot)
        db()->exec(QStringLiteral("insert into T_UserAuthority (UserName, FunctionName, Authority) values (%1,'r%2',%3)")
                       .arg(SqlText::quoted(name)).arg(slot).arg(slot == 8 ? int(viewAll) : 1));
    main->setOperator(name, permit);
}

QVariant WindowFixture::scalar(const QString &sql) const
{
    // Tests write the program's statements, as the windows do.
    Statement statement(*db(), SqlDialect::toEngine(sql, db()->engine()));
    return statement.step() ? statement.value(0) : QVariant();
}
