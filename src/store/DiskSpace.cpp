#include "DiskSpace.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace DiskSpace {

QString writeFailure(const QString &path, const QString &reason)
{
    constexpr qint64 AlmostNothing = 1 << 20;
    const QString folder = QFileInfo(path).absolutePath();
    const QStorageInfo disk(folder);
    if (disk.isValid() && disk.bytesAvailable() >= 0 && disk.bytesAvailable() < AlmostNothing)
        return QStringLiteral("磁盘空间不足: 文件夹“%1”所在的磁盘已满,请腾出空间后再试。")
            .arg(QDir::toNativeSeparators(folder));
    return reason;
}

} // namespace DiskSpace
