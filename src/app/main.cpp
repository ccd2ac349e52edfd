#include "GuardedApplication.h"
#include "Startup.h"
#include "ui/Accessibility.h"
#include "ui/ChineseLocale.h"

#include <QIcon>
#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    // Startup::run reports its own failures; this is the last resort should even the
    // report fail, so that no exception ever leaves main().
    try {
        GuardedApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("kehu"));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/kehu.svg")));
        // Qt's own dialogs, context menus and calendars in Chinese, whatever the system speaks.
        ChineseLocale::install();
        Accessibility::install();
        return Startup::run(app);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "kehu: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "kehu: unknown error\n");
    }
    return 1;
}
