#pragma once

#include <QString>
#include <QStringList>

#include "SqlEngine.h"

// Rewrites the program's classic desktop-database statements for the engine:
//   #2026-12-10#            -> '2026-12-10'            (dates are stored as yyyy-MM-dd text)
//   True / False            -> 1 / 0
//   select top N ...        -> select ... LIMIT N
//   len(x)                  -> length(x)
//   Date() / Now()          -> today's date / date and time (local)
//   datediff('d'|'y',a,b)   -> whole days from a to b
//   [name]                  -> "name"
// The inside of a string literal or a comment is never changed. "top N" limits the
// select it belongs to, a sub-select's included. An empty statement, a '#' or '['
// without its closing mark, or an impossible date is refused with DbError. Everything else (like with %,
// in (...), group by, aliases, names in any letter case, :Param) the engine
// understands as it stands.
class SqlDialect
{
public:
    static QString toEngine(const QString &programSql, SqlEngine engine = SqlEngine::Sqlite);
    // Cuts a script at the semicolons that end its statements (none inside a literal,
    // a name, a date or a comment). Blank text after the last semicolon is dropped;
    // any other blank piece is kept, for toEngine() to refuse.
    static QStringList splitStatements(const QString &programSql);
    // True for text with nothing but blanks and comments: no statement at all.
    static bool isBlank(const QString &programSql);
    // Parses a date literal's inside (several short date formats) to yyyy-MM-dd
    // or yyyy-MM-dd HH:mm:ss; returns an empty string when it is not a date.
    static QString normalizeDate(const QString &text);
};
