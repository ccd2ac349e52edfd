#include "CopyFileLZ.h"
#include "DiskSpace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

void CopyFileLZ(const QString &source, const QString &destination)
{
    const QFileInfo from(source);
    if (!from.exists() || !from.isFile())
        throw FileCopyError(QStringLiteral("找不到文件 \"%1\"。").arg(shown(source)));
    const QFileInfo to(destination);
    if (to.exists() && to.canonicalFilePath() == from.canonicalFilePath())
        throw FileCopyError(QStringLiteral("不能把文件 \"%1\" 复制到它自己。").arg(shown(source)));

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FileCopyError(QStringLiteral("无法读取文件 \"%1\": %2").arg(shown(source), in.errorString()));

    QSaveFile out(destination);
    // The rename is what makes the replacement whole; never fall back to writing in place.
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        throw FileCopyError(QStringLiteral("无法写入文件 \"%1\": %2")
                                .arg(shown(destination), DiskSpace::writeFailure(destination, out.errorString())));

    constexpr qint64 BlockSize = 1 << 20;
    QByteArray block(BlockSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = in.read(block.data(), BlockSize);
        if (read < 0) {
            out.cancelWriting();
            throw FileCopyError(QStringLiteral("无法读取文件 \"%1\": %2").arg(shown(source), in.errorString()));
        }
        if (read == 0)
            break;
        if (out.write(block.constData(), read) != read) {
            const QString reason = out.errorString();
            out.cancelWriting();
            throw FileCopyError(QStringLiteral("无法写入文件 \"%1\": %2")
                                .arg(shown(destination), DiskSpace::writeFailure(destination, reason)));
        }
    }
    if (!out.commit())
        throw FileCopyError(QStringLiteral("无法写入文件 \"%1\": %2")
                                .arg(shown(destination), DiskSpace::writeFailure(destination, out.errorString())));
}
