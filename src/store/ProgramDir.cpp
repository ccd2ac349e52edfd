#include "ProgramDir.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString overridden;
}

QString ProgramDir::path()
{
    QString dir = overridden.isEmpty() ? QCoreApplication::applicationDirPath() : overridden;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void ProgramDir::setPath(const QString &directory)
{
    overridden = directory.isEmpty() ? QString() : QDir(directory).absolutePath();
}
