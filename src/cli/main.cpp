// kehu-cli sql "STATEMENT" [--db PATH]
// Runs one statement in the program's dialect through the program's own data layer
// against the default database beside the executable (or PATH). Rows are printed as
// tab-separated text under a header line; other statements print the rows changed.
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "store/SqlDialect.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

static int usage()
{
    std::fprintf(stderr, "usage: kehu-cli sql \"STATEMENT\" [--db PATH]\n");
    return 2;
}

static QString cell(const QVariant &value)
{
    QString text = Dataset::displayText(value);
    return text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString database = ProgramDir::file(QStringLiteral("DataBase/Custom.mdb"));
    const int db = args.indexOf(QStringLiteral("--db"));
    if (db >= 0) {
        if (db + 1 >= args.size())
            return usage();
        database = args.at(db + 1);
        args.remove(db, 2);
    }
    if (args.size() != 2 || args.at(0) != QLatin1String("sql"))
        return usage();

    QTextStream out(stdout);
    try {
        auto connection = Connection::open(database);
        Statement probe(*connection, SqlDialect::toEngine(args.at(1)));
        const bool returnsRows = probe.columnCount() > 0;
        Dataset query(connection.get());
        query.setSql(args.at(1));
        if (!returnsRows) {
            out << query.execute() << Qt::endl;
            return 0;
        }
        query.open();
        out << query.fieldNames().join(QLatin1Char('\t')) << '\n';
        for (int row = 0; row < query.recordCount(); ++row) {
            QStringList cells;
            for (int f = 0; f < query.fieldCount(); ++f)
                cells.append(cell(query.value(row, f)));
            out << cells.join(QLatin1Char('\t')) << '\n';
        }
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", error.text().toUtf8().constData());
        return 1;
    }
    return 0;
}
