#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// GBK (code page 936), the encoding in which the program measures names and writes
// e-mail lists. iconv from glibc does the conversion.
namespace Gbk {
QByteArray encode(const QString &text);
QString decode(const QByteArray &bytes);
// The bytes read as GB18030 (of which GBK is a part) when every one of them decodes;
// otherwise false, with *badOffset at the first byte that does not.
bool decodeStrict(const QByteArray &bytes, QString *text, qsizetype *badOffset);
// The longest start of text that fits in maxBytes GBK bytes; never splits a character.
QString cut(const QString &text, int maxBytes);
} // namespace Gbk
