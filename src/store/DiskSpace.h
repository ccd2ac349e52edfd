#pragma once

#include <QString>

// Writes that fail because the disk is full say so, in the operator's words and with the
// folder, instead of the system's "No space left on device" or Qt's "Unknown error" (a
// flush or rename that fails for lack of room often reports no reason at all).
namespace DiskSpace {

// The reason a write into the file `path` failed: a full disk when the disk of its folder
// has less than a megabyte left; otherwise `reason` as given.
QString writeFailure(const QString &path, const QString &reason);

} // namespace DiskSpace
