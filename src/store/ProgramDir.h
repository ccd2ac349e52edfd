#pragma once

#include <QString>

// The program directory (where the executable lies, with a trailing '/'): the base of
// Config.ini, DataBase/, Reports/, IMG/ and Export/. Tests point it at a scratch folder.
namespace ProgramDir {
QString path();
void setPath(const QString &directory); // empty restores the executable's directory
inline QString file(const QString &relative) { return path() + relative; }
} // namespace ProgramDir
