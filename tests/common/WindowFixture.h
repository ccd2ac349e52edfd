#pragma once

#include "TestProgram.h"
#include "TestServer.h"
#include "data/TFrm_Data.h"
#include "main/TFrm_Main.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <memory>

// What a window test stands on: a scratch program directory with the delivered
// database, the data module, the main window with every command wired to its window,
// and scripted messages and a recording platform in place of the real ones.
struct WindowFixture
{
    WindowFixture();
    ~WindowFixture();

    // Gives the operator rights rows for slots 1 to 11, every one on but the view-all
    // right (slot 8) as asked, and logs in with the permit.
    void login(const QString &name, bool viewAll, int permit);
    Connection *db() const { return data->connection(); }
    // Copies the delivered report templates into the scratch program directory and loads
    // them, as the program finds them at start.
    void deliverReportTemplates();
    QVariant scalar(const QString &sql) const;
    int count(const QString &sql) const { return scalar(sql).toInt(); }

    ScriptedMessages messages;
    RecordingPlatform platform;
    TestProgram program;
    // With KEHU_TEST_WINDOWS_ON_SERVER set, the windows work on a scratch database on the
    // test server instead of the file (the same tests, the other engine).
    std::unique_ptr<TestServerDatabase> server;
    std::unique_ptr<TFrm_Data> data;
    std::unique_ptr<TFrm_Main> main;
};

// For a window test whose own checks use the file engine's SQL (triggers, group_concat,
// ifnull on a date): it runs on the file only, and says so on the server.
#define SKIP_ON_SERVER(fixture, why)                                                             \
    do {                                                                                        \
        if ((fixture).server)                                                                   \
            QSKIP("on the file only: " why);                                                    \
    } while (false)
