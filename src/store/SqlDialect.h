#pragma once

#include <QString>
#include <QStringList>

#include "SqlEngine.h"

// Rewrites the program's classic desktop-database statements for the engine. The file
// (SQLite) and the server (PostgreSQL) forms:
//   #2026-12-10#            -> '2026-12-10'              | DATE '2026-12-10'
//   #2026-12-10 13:05#      -> '2026-12-10 13:05:00'     | TIMESTAMP '2026-12-10 13:05:00'
//   True / False            -> 1 / 0                     | 1 / 0 (yes/no columns are smallint)
//   select top N ...        -> select ... LIMIT N        | the same
//   len(x)                  -> length(x)                 | the same
//   Date() / Now()          -> date / date and time, local | CURRENT_DATE / LOCALTIMESTAMP(0)
//   datediff('d'|'y',a,b)   -> whole days from a to b    | (CAST(b AS date) - CAST(a AS date))
//   datediff('w'|'ww'|'m'|'yyyy',a,b) -> weeks, months, years from a to b, on both
//   [name], "name"          -> "name"                    | "name" with ASCII letters in lower
//                              case (every name is created unquoted, so in lower case, on
//                              the server; [客户名称] stays "客户名称")
//   ifnull(a,b) / instr(a,b) -> as they stand            | coalesce(a,b) / strpos(a,b)
// and on the server only, by what the schema declares (Schema::declaredColumns()):
//   a column that is a number or a date in some table, followed by [not] like
//                           -> CAST(column AS citext) like ...  (the file matches its text)
//   a column that is text in one table and a number in another (CustCode: INTEGER in
//   custom, text in T_Schedule; MainContact) compared with a bare number or True/False:
//   "CustCode = 5", "CustCode in (1,2)" -> "CustCode = '5'", "CustCode in ('1','2')": a
//   quoted literal takes the column's type on the server, either one, as the file's type
//   affinity does. A qualified name (t.Name, [t].[Name]) is treated the same, the cast
//   taking in its qualifier.
// The inside of a string literal or a comment is never changed. "top N" limits the
// select it belongs to, a sub-select's included. An empty statement, a '#' or '['
// without its closing mark, or an impossible date is refused with DbError. Everything else (like with %,
// in (...), group by, aliases, names in any letter case, :Param) the engine
// understands as it stands. On the server, text columns are citext: =, <>, in (...),
// order by, group by and like compare without regard to case as COLLATE NOCASE does, and
// NULL like '%%' is not true, as on the file. Dates compared with a 'yyyy-MM-dd' literal
// or a parameter sent as text are read as dates by the server; sorting by a date column
// gives the same order as the file's yyyy-MM-dd text. Each "order by" item gets NULLS FIRST
// (NULLS LAST after desc): the file sorts NULL before every value, the server after.
// Parameters are meant to reach the server as untyped text, so it reads each as the type
// its place asks for ('17' for an integer code, '2026-12-10' for a date); a text that is
// not of that type is an error there, where the file would just find nothing. A cast of
// a date to text gives yyyy-mm-dd under the server's default DateStyle (ISO).
// Not rewritten, because no program statement uses them and the server refuses them
// openly rather than meaning something else: "text" in double quotes as a string (it is
// a name on the server), iif(), strftime(), date('now'), || of two numbers, a yes/no
// comparison as a value in a select list.
class SqlDialect
{
public:
    static QString toEngine(const QString &programSql, SqlEngine engine = SqlEngine::Sqlite);
    // The same for a statement whose rows a list shows in their order. The file lists a
    // table's rows in the order they were added; the server in whatever order it finds
    // them (an edited row moves to the end). On the server, a plain select from one table
    // without an order of its own gets the table's autonumber key as its order.
    static QString toEngineList(const QString &programSql, SqlEngine engine = SqlEngine::Sqlite);
    // A table or column name quoted for the engine, to stand in a statement that does not
    // go through toEngine(): "Name" on the file; on the server "name", ASCII letters in
    // lower case as every name was created there. Inner double quotes are doubled.
    static QString quoteName(const QString &name, SqlEngine engine = SqlEngine::Sqlite);
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
