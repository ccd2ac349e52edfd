#include "ChineseLocale.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
const QString BaseName = QStringLiteral("qtbase_zh_CN.qm");
}

QString ChineseLocale::translationFile()
{
    const QStringList folders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                 QStringLiteral("/usr/share/qt6/translations"),
                                 QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders) {
        const QString file = QDir(folder).filePath(BaseName);
        if (QFileInfo::exists(file))
            return file;
    }
    return {};
}

bool ChineseLocale::install()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China));
    static QTranslator *translator = nullptr; // one for the whole run
    if (translator)
        return true;
    const QString file = translationFile();
    if (file.isEmpty())
        return false;
    auto *loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(file) || !QCoreApplication::installTranslator(loaded)) {
        delete loaded;
        return false;
    }
    translator = loaded;
    return true;
}
