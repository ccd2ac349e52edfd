#pragma once

#include <QByteArray>
#include <QString>

// GBK (code page 936), the encoding in which the program measures names and writes
// e-mail lists. iconv from glibc does the conversion.
namespace Gbk {
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
// The longest start of text that fits in maxBytes GBK bytes; never splits a character.
QString cut(const QString &text, int maxBytes);
} // namespace Gbk
