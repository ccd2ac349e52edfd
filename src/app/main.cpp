#include "Startup.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kehu"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kehu.svg")));
    return Startup::run(app);
}
