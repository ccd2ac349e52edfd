#pragma once

#include <QDate>
#include <QString>

// Building blocks for statements assembled as text. Every value that goes between
// single quotes passes through quoted()/escaped(), so a name such as O'Neil makes a
// valid statement instead of a broken one.
namespace SqlText {

// The value with each single quote doubled, for use between quotes already written.
inline QString escaped(const QString &value)
{
    QString result = value;
    return result.replace(QLatin1Char('\''), QLatin1String("''"));
}

// The value between single quotes, its own quotes doubled.
inline QString quoted(const QString &value)
{
    return QLatin1Char('\'') + escaped(value) + QLatin1Char('\'');
}

// A date literal of the program's dialect: #yyyy-MM-dd#.
inline QString dateLiteral(const QDate &date)
{
    return QLatin1Char('#') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('#');
}

} // namespace SqlText
