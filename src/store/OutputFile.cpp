#include "OutputFile.h"
#include "Connection.h"
#include "DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// The same file as another, whatever the path's spelling (links, "..", a second name).
bool sameFile(const QString &a, const QString &b)
{
    struct stat first {}, second {};
    if (::stat(QFile::encodeName(a).constData(), &first) != 0
        || ::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A plain SQLite file, or a file that opens with this program's key as its database.
bool isDatabaseFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(16);
    file.close();
    if (head.startsWith("SQLite format 3"))
        return true;
    if (head.size() < 16)
        return false;
    try {
        Connection::openReadOnly(path);
        return true;
    } catch (const DbError &) {
        return false;
    }
}

} // namespace

OutputFile::Refusal OutputFile::refusal(const QString &path, const QString &database, bool replaceExisting)
{
    const QFileInfo target(path);
    if (!target.exists())
        return Refusal::None;
    if (!database.isEmpty() && !Connection::isServerLocation(database) && sameFile(path, database))
        return Refusal::DatabaseInUse;
    if (target.isFile() && isDatabaseFile(path))
        return Refusal::ProgramDatabase;
    return replaceExisting ? Refusal::None : Refusal::Exists;
}

QString OutputFile::refusalText(Refusal refusal, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (refusal) {
    case Refusal::DatabaseInUse:
        return QStringLiteral("\"%1\" 是正在使用的数据库文件,不能写入。").arg(shown);
    case Refusal::ProgramDatabase:
        return QStringLiteral("\"%1\" 是本系统的数据库文件,不能覆盖。").arg(shown);
    case Refusal::Exists:
        return QStringLiteral("文件 \"%1\" 已存在。").arg(shown);
    case Refusal::None:
        break;
    }
    return {};
}

OutputFile::OutputFile(QString path)
    : m_path(std::move(path))
{
    // Beside the target, so the rename stays on one file system; the suffix keeps the
    // extension last for writers that look at it.
    const QFileInfo info(m_path);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    m_temporary = info.absoluteDir().filePath(QStringLiteral(".%1.%2.part%3")
                                                  .arg(info.completeBaseName())
                                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                                                  .arg(suffix));
}

OutputFile::~OutputFile()
{
    if (!m_committed)
        QFile::remove(m_temporary);
}

bool OutputFile::commit(QString *error)
{
    if (::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_path).constData()) != 0) {
        if (error)
            *error = QStringLiteral("无法写入文件 \"%1\": %2")
                         .arg(QDir::toNativeSeparators(m_path), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_committed = true;
    return true;
}
