// kehu-mkdb PATH: writes the delivered database file (tables, views, initial rows).
#include "store/DbError.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kehu-mkdb PATH\n");
        return 2;
    }
    try {
        Schema::createDatabase(args.at(1));
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", error.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
