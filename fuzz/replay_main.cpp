// Replays every committed corpus seed and every input that once failed through the
// fuzz targets' entry functions, in the normal build without clang:
//   kehu-fuzz-replay TARGET DIR...   (TARGET: sqldialect, inisettings, spreadsheet or schemacheck)
// A fault aborts (or is reported by the sanitizers in a sanitizer build).
#include "FuzzEntries.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: kehu-fuzz-replay TARGET DIR...\n");
        return 2;
    }
    int (*entry)(const uint8_t *, size_t) = nullptr;
    if (args.at(1) == QLatin1String("sqldialect"))
        entry = FuzzEntries::sqlDialect;
    else if (args.at(1) == QLatin1String("inisettings"))
        entry = FuzzEntries::iniSettings;
    else if (args.at(1) == QLatin1String("spreadsheet"))
        entry = FuzzEntries::spreadsheet;
    else if (args.at(1) == QLatin1String("schemacheck"))
        entry = FuzzEntries::schemaCheck;
    else
        return 2;
    int inputs = 0;
    for (int i = 2; i < args.size(); ++i) {
        const QDir dir(args.at(i));
        for (const QFileInfo &file : dir.entryInfoList(QDir::Files, QDir::Name)) {
            QFile input(file.filePath());
            if (!input.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray bytes = input.readAll();
            std::printf("%s\n", qPrintable(file.filePath()));
            std::fflush(stdout);
            entry(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
