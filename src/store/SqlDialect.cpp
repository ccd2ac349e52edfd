#include "SqlDialect.h"
#include "DbError.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

// A hand-written scanner: the statements are short, the rewrite rules are few, and
// they depend on knowing where string literals, [names] and #dates# begin and end,
// which no regular-expression pass can tell reliably.
class Rewriter
{
public:
    explicit Rewriter(const QString &sql) : m_sql(sql) {}

    QString run()
    {
        QString out = expression(m_sql.size(), false);
        if (!m_limit.isEmpty()) {
            // The row limit goes at the very end, before a closing semicolon.
            int end = out.size();
            while (end > 0 && (out.at(end - 1).isSpace() || out.at(end - 1) == QLatin1Char(';')))
                --end;
            out = out.left(end) + QStringLiteral(" LIMIT ") + m_limit + out.mid(end);
        }
        return out;
    }

private:
    static bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

    // Copies and rewrites text from the current position up to 'end' (exclusive).
    // With stopAtComma, stops at a top-level ',' or ')' (used for function arguments).
    QString expression(int end, bool stopAtComma)
    {
        QString out;
        int depth = 0;
        while (m_pos < end) {
            const QChar c = m_sql.at(m_pos);
            if (stopAtComma && depth == 0 && (c == QLatin1Char(',') || c == QLatin1Char(')')))
                break;
            if (c == QLatin1Char('\'')) {
                out += stringLiteral();
            } else if (c == QLatin1Char('"')) {
                out += quotedName(QLatin1Char('"'));
            } else if (c == QLatin1Char('[')) {
                out += bracketName();
            } else if (c == QLatin1Char('#')) {
                out += dateLiteral();
            } else if (c == QLatin1Char('(')) {
                ++depth;
                out += c;
                ++m_pos;
            } else if (c == QLatin1Char(')')) {
                --depth;
                out += c;
                ++m_pos;
            } else if (isIdentChar(c) && !(m_pos > 0 && isIdentChar(m_sql.at(m_pos - 1)))) {
                out += word();
            } else {
                out += c;
                ++m_pos;
            }
        }
        return out;
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

    QString bracketName()
    {
        const int start = ++m_pos;
        while (m_pos < m_sql.size() && m_sql.at(m_pos) != QLatin1Char(']'))
            ++m_pos;
        QString name = m_sql.mid(start, m_pos - start);
        if (m_pos < m_sql.size())
            ++m_pos;
        name.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + name + QLatin1Char('"');
    }

    QString dateLiteral()
    {
        const int close = m_sql.indexOf(QLatin1Char('#'), m_pos + 1);
        if (close < 0) {
            ++m_pos;
            return QStringLiteral("#");
        }
        const QString inside = m_sql.mid(m_pos + 1, close - m_pos - 1);
        const QString date = SqlDialect::normalizeDate(inside);
        if (date.isEmpty())
            throw DbError(QStringLiteral("无效的日期: #%1#").arg(inside));
        m_pos = close + 1;
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
        if (qualified || parameter)
            return text;

        if (lower == QLatin1String("true"))
            return QStringLiteral("1");
        if (lower == QLatin1String("false"))
            return QStringLiteral("0");
        if (lower == QLatin1String("select")) {
            m_lastWasSelect = true;
            return text;
        }
        if (lower == QLatin1String("top") && m_lastWasSelect && m_limit.isEmpty()) {
            const int save = m_pos;
            skipSpaces();
            const int digits = m_pos;
            while (m_pos < m_sql.size() && m_sql.at(m_pos).isDigit())
                ++m_pos;
            if (m_pos > digits) {
                m_limit = m_sql.mid(digits, m_pos - digits);
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
            return text;
        }
        if (lower == QLatin1String("len"))
            return QStringLiteral("length");
        if (lower == QLatin1String("date") || lower == QLatin1String("now")) {
            int after = m_pos + 1;
            while (after < m_sql.size() && m_sql.at(after).isSpace())
                ++after;
            if (after < m_sql.size() && m_sql.at(after) == QLatin1Char(')')) {
                m_pos = after + 1;
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
            args.append(expression(m_sql.size(), true).trimmed());
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

    const QString &m_sql;
    int m_pos = 0;
    bool m_lastWasSelect = false;
    QString m_limit;
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

QString SqlDialect::toEngine(const QString &programSql)
{
    return Rewriter(programSql).run();
}
