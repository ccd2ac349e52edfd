#include "SqlDialect.h"
#include "DbError.h"
#include "Schema.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <vector>

namespace {

// What the server form needs to know of the schema's columns, by lower-case name over all
// tables and views: the names that are not text in some table (matched with 'like' they
// are first cast to citext), and the names that are text in one table and not in another
// (a bare number or True/False compared with them is quoted, which both column types accept).
struct ColumnNames
{
    QSet<QString> notText;
    QSet<QString> mixed;

    static bool isText(const QString &declared)
    {
        const QString t = declared.toUpper();
        return t.startsWith(QLatin1String("VARCHAR")) || t == QLatin1String("LONGTEXT") || t == QLatin1String("TEXT");
    }

    static const ColumnNames &get()
    {
        static const ColumnNames names = [] {
            ColumnNames n;
            QSet<QString> text;
            for (const auto &column : Schema::declaredColumns()) {
                const QString name = column.column.toLower();
                (isText(column.declaredType) ? text : n.notText).insert(name);
            }
            for (const QString &name : std::as_const(n.notText))
                if (text.contains(name))
                    n.mixed.insert(name);
            return n;
        }();
        return names;
    }
};

// A quoted name on the server: ASCII letters in lower case (the case every name was
// created in), any other character as it is.
QString serverName(const QString &name)
{
    QString lower = name;
    for (QChar &c : lower)
        if (c.unicode() < 128)
            c = c.toLower();
    return lower;
}

// A hand-written scanner: the statements are short, the rewrite rules are few, and
// they depend on knowing where string literals, comments, [names] and #dates# begin and
// end, which no regular-expression pass can tell reliably. Each parenthesised group is
// scanned by a call of its own, so that "select top N" inside a sub-select limits that
// sub-select: its LIMIT goes at the end of the group, after the group's last piece of
// code (so before a trailing comment or the closing semicolon).
class Rewriter
{
public:
    Rewriter(const QString &sql, SqlEngine engine) : m_sql(sql), m_engine(engine) {}

    QString run()
    {
        if (SqlDialect::isBlank(m_sql))
            throw DbError(QStringLiteral("SQL 语句为空: 没有要执行的语句"));
        return group(Level::Top);
    }

private:
    static constexpr int MaxDepth = 200;
    enum class Level { Top, Parens, Argument };
    struct Scope
    {
        QString limit;   // from "select top N" directly in this group
        int codeEnd = 0; // in the group's output, just after its last piece of code
        QString *out = nullptr; // the group's output
        bool orderBy = false;   // within "order by" (server form: each item gets its NULLS place)
        QString lastWord;       // the last token of code, when a word (lower case)
    };

    static bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
    bool server() const { return m_engine == SqlEngine::Postgres; }

    // Server form: a name that is not text in some table, followed by [not] like, is cast
    // to citext (an integer or date column cannot be matched with 'like' on the server; on
    // the file it is matched as its text, which the cast gives: yyyy-mm-dd for a date).
    // A name that is text in one table and a number in another (CustCode, MainContact)
    // compared with a bare number (or True/False) gets the number quoted: the server
    // reads a quoted literal as the column's own type, whichever it is.
    QString serverColumn(const QString &lower, const QString &written)
    {
        const ColumnNames &names = ColumnNames::get();
        if (names.notText.contains(lower) && followedByLike())
            return QStringLiteral("CAST(%1 AS citext)").arg(written);
        if (names.mixed.contains(lower))
            return written + quotedNumbersAfter();
        return written;
    }

    // t.Name on the server: as serverColumn(), the cast taking in the qualifier already
    // written (t. or "t". or a chain of them), which is moved inside the cast.
    QString qualifiedServerColumn(const QString &lower, const QString &written)
    {
        QString &out = *m_scopes.back().out;
        if (!ColumnNames::get().notText.contains(lower) || !followedByLike())
            return ColumnNames::get().mixed.contains(lower) ? written + quotedNumbersAfter() : written;
        qsizetype start = out.size();
        while (start > 0 && out.at(start - 1) == QLatin1Char('.')) {
            qsizetype k = start - 1;
            if (k > 0 && out.at(k - 1) == QLatin1Char('"')) {
                const qsizetype open = out.lastIndexOf(QLatin1Char('"'), k - 2);
                if (open < 0)
                    break;
                k = open;
            } else {
                while (k > 0 && isIdentChar(out.at(k - 1)))
                    --k;
            }
            if (k == start - 1)
                break; // no qualifier before the dot
            start = k;
        }
        const QString qualifier = out.mid(start);
        out.truncate(start);
        return QStringLiteral("CAST(%1%2 AS citext)").arg(qualifier, written);
    }

    bool followedByLike() const
    {
        static const QRegularExpression like(QStringLiteral("\\G\\s+(?:not\\s+)?like(?![\\w])"),
                                             QRegularExpression::CaseInsensitiveOption);
        return like.match(m_sql, m_pos).hasMatch();
    }

    // After a name: "= 5", "<> True", "in (1, 2)" become "= '5'", "<> '1'", "in ('1', '2')".
    QString quotedNumbersAfter()
    {
        static const QRegularExpression compare(
            QStringLiteral("\\G(\\s*(?:=|<>|!=|<=|>=|<|>)\\s*)(-?\\d+|true|false)(?![\\w.])"),
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression inList(
            QStringLiteral("\\G(\\s+(?:not\\s+)?in\\s*\\()(\\s*-?\\d+\\s*(?:,\\s*-?\\d+\\s*)*)\\)"),
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression number(QStringLiteral("(-?\\d+)"));
        auto literal = [](QString value) {
            const QString lower = value.toLower();
            if (lower == QLatin1String("true"))
                value = QStringLiteral("1");
            else if (lower == QLatin1String("false"))
                value = QStringLiteral("0");
            return QLatin1Char('\'') + value + QLatin1Char('\'');
        };
        if (const QRegularExpressionMatch m = compare.match(m_sql, m_pos); m.hasMatch()) {
            m_pos = int(m.capturedEnd(0));
            return m.captured(1) + literal(m.captured(2));
        }
        if (const QRegularExpressionMatch m = inList.match(m_sql, m_pos); m.hasMatch()) {
            m_pos = int(m.capturedEnd(0));
            QString items = m.captured(2);
            items.replace(number, QStringLiteral("'\\1'"));
            return m.captured(1) + items + QLatin1Char(')');
        }
        return {};
    }

    void code(QString &out, const QString &text)
    {
        out += text;
        m_scopes.back().codeEnd = int(out.size());
    }

    // Server form: the file sorts NULL before every value, the server after them. Each
    // item of an "order by" is given the file's place for NULL: NULLS FIRST, or NULLS LAST
    // after "desc" (unless the item names its own).
    void closeOrderItem()
    {
        Scope &scope = m_scopes.back();
        if (!scope.orderBy || !server() || !scope.out)
            return;
        if (scope.lastWord == QLatin1String("first") || scope.lastWord == QLatin1String("last"))
            return;
        const QString nulls = scope.lastWord == QLatin1String("desc") ? QStringLiteral(" NULLS LAST")
                                                                      : QStringLiteral(" NULLS FIRST");
        scope.out->insert(scope.codeEnd, nulls);
        scope.codeEnd += int(nulls.size());
    }

    void noteWord(const QString &lower)
    {
        Scope &scope = m_scopes.back();
        if (scope.orderBy && (lower == QLatin1String("limit") || lower == QLatin1String("offset")
                              || lower == QLatin1String("for") || lower == QLatin1String("union"))) {
            closeOrderItem();
            scope.orderBy = false;
        }
        if (lower == QLatin1String("by") && scope.lastWord == QLatin1String("order"))
            scope.orderBy = true;
        scope.lastWord = lower;
    }

    void finish(QString &out)
    {
        closeOrderItem();
        Scope &scope = m_scopes.back();
        if (!scope.limit.isEmpty())
            out.insert(scope.codeEnd, QStringLiteral(" LIMIT ") + scope.limit);
        scope = Scope{};
    }

    // Copies and rewrites text from the current position: the whole statement (Top),
    // the inside of a parenthesis up to its ')' (Parens), or a function argument up
    // to a ',' or ')' of its own level (Argument).
    QString group(Level level)
    {
        if (int(m_scopes.size()) >= MaxDepth)
            throw DbError(QStringLiteral("SQL 语句的括号嵌套过深"));
        m_scopes.emplace_back();
        QString out;
        m_scopes.back().out = &out;
        while (m_pos < m_sql.size()) {
            const QChar c = m_sql.at(m_pos);
            const QChar next = m_pos + 1 < m_sql.size() ? m_sql.at(m_pos + 1) : QChar();
            if (c == QLatin1Char(')') && level != Level::Top)
                break;
            if (c == QLatin1Char(',') && level == Level::Argument)
                break;
            if (c.isSpace()) {
                out += c;
                ++m_pos;
            } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
                out += lineComment();
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                out += blockComment();
            } else if (c == QLatin1Char(';') && level == Level::Top) {
                // One statement ends: its own limit goes before the semicolon.
                finish(out);
                m_scopes.back().out = &out;
                out += c;
                ++m_pos;
                m_scopes.back().codeEnd = int(out.size());
                m_lastWasSelect = false;
            } else if (c == QLatin1Char('(')) {
                ++m_pos;
                m_lastWasSelect = false;
                QString inside = group(Level::Parens);
                m_scopes.back().lastWord.clear();
                code(out, QLatin1Char('(') + inside);
                if (m_pos < m_sql.size()) { // the ')' the group stopped at
                    code(out, QStringLiteral(")"));
                    ++m_pos;
                }
            } else if (isIdentChar(c) && !(m_pos > 0 && isIdentChar(m_sql.at(m_pos - 1)))) {
                const QString text = word();
                if (!text.isEmpty())
                    code(out, text);
            } else {
                m_lastWasSelect = false;
                if (c == QLatin1Char(','))
                    closeOrderItem();
                m_scopes.back().lastWord.clear();
                if (c == QLatin1Char('\'')) {
                    code(out, stringLiteral());
                } else if (c == QLatin1Char('"')) {
                    code(out, doubleQuotedName());
                } else if (c == QLatin1Char('[')) {
                    code(out, bracketName());
                } else if (c == QLatin1Char('#')) {
                    code(out, dateLiteral());
                } else {
                    code(out, QString(c));
                    ++m_pos;
                }
            }
        }
        finish(out);
        m_scopes.pop_back();
        return out;
    }

    QString lineComment()
    {
        const int start = m_pos;
        while (m_pos < m_sql.size() && m_sql.at(m_pos) != QLatin1Char('\n'))
            ++m_pos;
        return m_sql.mid(start, m_pos - start);
    }

    QString blockComment()
    {
        const int start = m_pos;
        const int close = m_sql.indexOf(QLatin1String("*/"), m_pos + 2);
        m_pos = close < 0 ? int(m_sql.size()) : close + 2;
        return m_sql.mid(start, m_pos - start);
    }

    QString stringLiteral()
    {
        const int start = m_pos++;
        while (m_pos < m_sql.size()) {
            if (m_sql.at(m_pos) == QLatin1Char('\'')) {
                if (m_pos + 1 < m_sql.size() && m_sql.at(m_pos + 1) == QLatin1Char('\'')) {
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return m_sql.mid(start, m_pos - start);
            }
            ++m_pos;
        }
        return m_sql.mid(start); // unterminated: the engine reports it
    }

    QString quotedName(QChar close)
    {
        const int start = m_pos++;
        while (m_pos < m_sql.size() && m_sql.at(m_pos) != close)
            ++m_pos;
        if (m_pos < m_sql.size())
            ++m_pos;
        return m_sql.mid(start, m_pos - start);
    }

    // "Name" is a name on both engines; on the server it is made to find the lower-case one.
    QString doubleQuotedName()
    {
        const bool qualified = m_pos > 0 && m_sql.at(m_pos - 1) == QLatin1Char('.');
        const QString text = quotedName(QLatin1Char('"'));
        if (!server() || text.size() < 2 || !text.endsWith(QLatin1Char('"')))
            return text;
        const QString name = text.mid(1, text.size() - 2);
        const QString written = QLatin1Char('"') + serverName(name) + QLatin1Char('"');
        return qualified ? qualifiedServerColumn(name.toLower(), written) : serverColumn(name.toLower(), written);
    }

    QString bracketName()
    {
        const bool qualified = m_pos > 0 && m_sql.at(m_pos - 1) == QLatin1Char('.');
        const int start = ++m_pos;
        while (m_pos < m_sql.size() && m_sql.at(m_pos) != QLatin1Char(']'))
            ++m_pos;
        if (m_pos >= m_sql.size())
            throw DbError(QStringLiteral("名称缺少右方括号: [%1").arg(m_sql.mid(start)));
        QString name = m_sql.mid(start, m_pos - start);
        ++m_pos;
        const QString lower = name.toLower();
        name.replace(QLatin1Char('"'), QLatin1String("\"\""));
        if (server()) {
            const QString written = QLatin1Char('"') + serverName(name) + QLatin1Char('"');
            return qualified ? qualifiedServerColumn(lower, written) : serverColumn(lower, written);
        }
        return QLatin1Char('"') + name + QLatin1Char('"');
    }

    QString dateLiteral()
    {
        // A lone '#' would reach the engine as a parameter name and match nothing.
        const int close = m_sql.indexOf(QLatin1Char('#'), m_pos + 1);
        if (close < 0)
            throw DbError(QStringLiteral("日期缺少结尾的 #: %1").arg(m_sql.mid(m_pos)));
        const QString inside = m_sql.mid(m_pos + 1, close - m_pos - 1);
        const QString date = SqlDialect::normalizeDate(inside);
        if (date.isEmpty())
            throw DbError(QStringLiteral("无效的日期: #%1#").arg(inside));
        m_pos = close + 1;
        if (server())
            return (date.size() > 10 ? QStringLiteral("TIMESTAMP '") : QStringLiteral("DATE '")) + date + QLatin1Char('\'');
        return QLatin1Char('\'') + date + QLatin1Char('\'');
    }

    void skipSpaces()
    {
        while (m_pos < m_sql.size() && m_sql.at(m_pos).isSpace())
            ++m_pos;
    }

    QString word()
    {
        const int start = m_pos;
        while (m_pos < m_sql.size() && isIdentChar(m_sql.at(m_pos)))
            ++m_pos;
        const QString text = m_sql.mid(start, m_pos - start);
        const QString lower = text.toLower();
        const bool qualified = start > 0 && m_sql.at(start - 1) == QLatin1Char('.');
        const bool parameter = start > 0 && m_sql.at(start - 1) == QLatin1Char(':');
        if (parameter)
            return text;
        if (!qualified)
            noteWord(lower);
        if (qualified)
            return server() ? qualifiedServerColumn(lower, text) : text;

        if (lower == QLatin1String("true"))
            return QStringLiteral("1");
        if (lower == QLatin1String("false"))
            return QStringLiteral("0");
        if (lower == QLatin1String("select")) {
            m_lastWasSelect = true;
            return text;
        }
        if (lower == QLatin1String("top") && m_lastWasSelect && m_scopes.back().limit.isEmpty()) {
            const int save = m_pos;
            skipSpaces();
            const int digits = m_pos;
            while (m_pos < m_sql.size() && m_sql.at(m_pos).isDigit() && m_sql.at(m_pos).unicode() < 128)
                ++m_pos;
            if (m_pos > digits) {
                m_scopes.back().limit = m_sql.mid(digits, m_pos - digits);
                m_lastWasSelect = false;
                skipSpaces();
                return QString();
            }
            m_pos = save;
        }
        if (lower != QLatin1String("distinct"))
            m_lastWasSelect = false;

        const int save = m_pos;
        skipSpaces();
        const bool call = m_pos < m_sql.size() && m_sql.at(m_pos) == QLatin1Char('(');
        if (!call) {
            m_pos = save;
            return server() ? serverColumn(lower, text) : text;
        }
        if (lower == QLatin1String("len"))
            return QStringLiteral("length");
        if (server() && lower == QLatin1String("ifnull"))
            return QStringLiteral("coalesce");
        if (server() && lower == QLatin1String("instr"))
            return QStringLiteral("strpos");
        if (lower == QLatin1String("date") || lower == QLatin1String("now")) {
            int after = m_pos + 1;
            while (after < m_sql.size() && m_sql.at(after).isSpace())
                ++after;
            if (after < m_sql.size() && m_sql.at(after) == QLatin1Char(')')) {
                m_pos = after + 1;
                if (server())
                    return lower == QLatin1String("date") ? QStringLiteral("CURRENT_DATE")
                                                          : QStringLiteral("LOCALTIMESTAMP(0)");
                return lower == QLatin1String("date")
                           ? QStringLiteral("date('now','localtime')")
                           : QStringLiteral("datetime('now','localtime')");
            }
        }
        if (lower == QLatin1String("datediff"))
            return dateDiff();
        m_pos = save;
        return text;
    }

    // datediff(interval, a, b): the number of interval boundaries from a to b.
    QString dateDiff()
    {
        ++m_pos; // '('
        QStringList args;
        for (;;) {
            args.append(group(Level::Argument).trimmed());
            if (m_pos >= m_sql.size())
                throw DbError(QStringLiteral("datediff 缺少右括号"));
            const QChar c = m_sql.at(m_pos++);
            if (c == QLatin1Char(')'))
                break;
        }
        if (args.size() != 3)
            throw DbError(QStringLiteral("datediff 需要三个参数"));
        QString interval = args.at(0);
        interval.remove(QLatin1Char('\'')).remove(QLatin1Char('"'));
        interval = interval.trimmed().toLower();
        const QString &a = args.at(1);
        const QString &b = args.at(2);
        if (server())
            return serverDateDiff(interval, a, b);
        // 'd' (day) and 'y' (day of year) both count whole days.
        if (interval == QLatin1String("d") || interval == QLatin1String("y"))
            return QStringLiteral("CAST(julianday(date(%2)) - julianday(date(%1)) AS INTEGER)").arg(a, b);
        if (interval == QLatin1String("ww") || interval == QLatin1String("w"))
            return QStringLiteral("CAST((julianday(date(%2)) - julianday(date(%1))) / 7 AS INTEGER)").arg(a, b);
        if (interval == QLatin1String("m"))
            return QStringLiteral("CAST((CAST(strftime('%Y',%2) AS INTEGER) - CAST(strftime('%Y',%1) AS INTEGER)) * 12"
                                  " + CAST(strftime('%m',%2) AS INTEGER) - CAST(strftime('%m',%1) AS INTEGER) AS INTEGER)").arg(a, b);
        if (interval == QLatin1String("yyyy"))
            return QStringLiteral("CAST(CAST(strftime('%Y',%2) AS INTEGER) - CAST(strftime('%Y',%1) AS INTEGER) AS INTEGER)").arg(a, b);
        throw DbError(QStringLiteral("datediff 不支持的间隔: %1").arg(interval));
    }

    // The same counts on the server: both ends are taken as dates (a date column as it is,
    // a text or a parameter read as a date, a timestamp cut to its day), as date() does.
    static QString serverDateDiff(const QString &interval, const QString &a, const QString &b)
    {
        const QString from = QStringLiteral("CAST(%1 AS date)").arg(a);
        const QString to = QStringLiteral("CAST(%1 AS date)").arg(b);
        if (interval == QLatin1String("d") || interval == QLatin1String("y"))
            return QStringLiteral("(%2 - %1)").arg(from, to);
        if (interval == QLatin1String("ww") || interval == QLatin1String("w"))
            return QStringLiteral("((%2 - %1) / 7)").arg(from, to); // integer division truncates as CAST does
        if (interval == QLatin1String("m"))
            return QStringLiteral("CAST((EXTRACT(YEAR FROM %2) - EXTRACT(YEAR FROM %1)) * 12"
                                  " + EXTRACT(MONTH FROM %2) - EXTRACT(MONTH FROM %1) AS integer)").arg(from, to);
        if (interval == QLatin1String("yyyy"))
            return QStringLiteral("CAST(EXTRACT(YEAR FROM %2) - EXTRACT(YEAR FROM %1) AS integer)").arg(from, to);
        throw DbError(QStringLiteral("datediff 不支持的间隔: %1").arg(interval));
    }

    const QString &m_sql;
    const SqlEngine m_engine;
    int m_pos = 0;
    bool m_lastWasSelect = false;
    std::vector<Scope> m_scopes;
};

} // namespace

QString SqlDialect::normalizeDate(const QString &text)
{
    const QString t = text.trimmed();
    static const QRegularExpression ymd(
        QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T](\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    static const QRegularExpression mdy(
        QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})(?: (\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch match = ymd.match(t);
    int timeGroup = 4;
    if (match.hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    } else {
        match = mdy.match(t);
        if (!match.hasMatch())
            return {};
        m = match.captured(1).toInt();
        d = match.captured(2).toInt();
        y = match.captured(3).toInt();
    }
    const QDate date(y, m, d);
    if (!date.isValid())
        return {};
    QString result = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (!match.captured(timeGroup).isEmpty()) {
        const QTime time(match.captured(timeGroup).toInt(), match.captured(timeGroup + 1).toInt(),
                         match.captured(timeGroup + 2).toInt());
        if (!time.isValid())
            return {};
        if (time != QTime(0, 0))
            result += QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
    }
    return result;
}

QStringList SqlDialect::splitStatements(const QString &programSql)
{
    QStringList pieces;
    const int n = int(programSql.size());
    int start = 0;
    int i = 0;
    auto skipTo = [&](QChar close, int from) {
        const int at = programSql.indexOf(close, from);
        return at < 0 ? n : at + 1;
    };
    // A trigger's body (create trigger ... begin ...; ...; end) holds semicolons of its own:
    // the statement goes on to the body's END (not a CASE's END inside it).
    QStringList leadingWords; // the statement's first words, upper case
    bool trigger = false, inBody = false;
    int caseDepth = 0;
    while (i < n) {
        const QChar c = programSql.at(i);
        const QChar next = i + 1 < n ? programSql.at(i + 1) : QChar();
        if (c.isLetter() || c == QLatin1Char('_')) {
            int end = i + 1;
            while (end < n && (programSql.at(end).isLetterOrNumber() || programSql.at(end) == QLatin1Char('_')))
                ++end;
            const QString word = programSql.mid(i, end - i).toUpper();
            if (leadingWords.size() < 3) {
                leadingWords.append(word);
                trigger = leadingWords.value(0) == u"CREATE"
                          && (leadingWords.value(1) == u"TRIGGER"
                              || ((leadingWords.value(1) == u"TEMP" || leadingWords.value(1) == u"TEMPORARY")
                                  && leadingWords.value(2) == u"TRIGGER"));
            }
            if (trigger && !inBody && word == u"BEGIN") {
                inBody = true;
            } else if (inBody && word == u"CASE") {
                ++caseDepth;
            } else if (inBody && word == u"END") {
                if (caseDepth > 0)
                    --caseDepth;
                else
                    inBody = false;
            }
            i = end;
        } else if (c == QLatin1Char('\'')) {
            // A doubled quote inside a literal is skipped as the end and start of two.
            i = skipTo(c, i + 1);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('#')) {
            i = skipTo(c, i + 1);
        } else if (c == QLatin1Char('[')) {
            i = skipTo(QLatin1Char(']'), i + 1);
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            i = skipTo(QLatin1Char('\n'), i + 2);
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            const int close = programSql.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else if (c == QLatin1Char(';') && !inBody) {
            pieces.append(programSql.mid(start, i - start));
            start = ++i;
            leadingWords.clear();
            trigger = false;
            caseDepth = 0;
        } else {
            ++i;
        }
    }
    const QString last = programSql.mid(start);
    if (pieces.isEmpty() || !isBlank(last))
        pieces.append(last);
    return pieces;
}

bool SqlDialect::isBlank(const QString &programSql)
{
    int i = 0;
    const int n = int(programSql.size());
    while (i < n) {
        const QChar c = programSql.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (programSql.mid(i, 2) == QLatin1String("--")) {
            while (i < n && programSql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (programSql.mid(i, 2) == QLatin1String("/*")) {
            const int close = programSql.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? n : close + 2;
        } else {
            return false;
        }
    }
    return true;
}

QString SqlDialect::quoteName(const QString &name, SqlEngine engine)
{
    QString quoted = engine == SqlEngine::Postgres ? serverName(name) : name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

namespace {

// See toEngineList().
QString inInsertionOrder(const QString &serverSql)
{
    static const QRegularExpression plain(
        QStringLiteral("^\\s*select\\s+(.*?)\\s+from\\s+(\"?[A-Za-z_][A-Za-z0-9_]*\"?)(\\s+where\\s.*?)?(\\s+limit\\s+\\d+)?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression unordered(
        QStringLiteral("\\b(order\\s+by|group\\s+by|union|intersect|except|join|distinct|count|sum|max|min|avg|select\\s.*\\bselect)\\b"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = plain.match(serverSql);
    if (!match.hasMatch() || unordered.match(serverSql).hasMatch())
        return serverSql;
    static const QHash<QString, QString> keys = [] {
        QHash<QString, QString> map;
        for (const auto &identity : Schema::identityColumns())
            map.insert(identity.table.toLower(), identity.column.toLower());
        return map;
    }();
    QString table = match.captured(2).toLower();
    table.remove(QLatin1Char('"'));
    const QString key = keys.value(table);
    if (key.isEmpty())
        return serverSql;
    const qsizetype end = match.capturedLength(3) > 0 ? match.capturedEnd(3) : match.capturedEnd(2);
    return serverSql.left(end) + QStringLiteral(" ORDER BY ") + key + match.captured(4);
}

} // namespace

QString SqlDialect::toEngine(const QString &programSql, SqlEngine engine)
{
    return Rewriter(programSql, engine).run();
}

QString SqlDialect::toEngineList(const QString &programSql, SqlEngine engine)
{
    const QString sql = toEngine(programSql, engine);
    return engine == SqlEngine::Postgres ? inInsertionOrder(sql) : sql;
}
