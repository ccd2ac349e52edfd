#include "StatementGuard.h"

#include <QStringList>

namespace {

// Pragmas that only read, with or without an argument naming what to read about.
const QStringList &readingPragmas()
{
    static const QStringList names = {
        QStringLiteral("table_info"), QStringLiteral("table_xinfo"), QStringLiteral("table_list"),
        QStringLiteral("index_list"), QStringLiteral("index_info"), QStringLiteral("index_xinfo"),
        QStringLiteral("foreign_key_list"), QStringLiteral("foreign_key_check"),
        QStringLiteral("integrity_check"), QStringLiteral("quick_check")};
    return names;
}

// Pragmas that read a setting when given no value, and change it when given one.
const QStringList &settingPragmas()
{
    static const QStringList names = {
        QStringLiteral("database_list"), QStringLiteral("compile_options"), QStringLiteral("page_count"),
        QStringLiteral("page_size"), QStringLiteral("freelist_count"), QStringLiteral("user_version"),
        QStringLiteral("schema_version"), QStringLiteral("encoding"), QStringLiteral("collation_list"),
        QStringLiteral("function_list"), QStringLiteral("data_version"), QStringLiteral("foreign_keys"),
        QStringLiteral("cipher_version"), QStringLiteral("application_id")};
    return names;
}

// The statement's words and single punctuation marks outside literals, names in brackets
// or quotes and comments, lower case; enough to see what a statement does.
QStringList tokens(const QString &sql)
{
    QStringList out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const int end = int(sql.indexOf(u'\n', i));
            i = end < 0 ? n : end + 1;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const int end = int(sql.indexOf(QLatin1String("*/"), i + 2));
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'' || c == u'"' || c == u'[' || c == u'`' || c == u'#') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            const int end = int(sql.indexOf(close, i + 1));
            // A quoted name is still a name: "rekey" is the pragma rekey.
            if (c != u'\'' && c != u'#')
                out.append(sql.mid(i + 1, (end < 0 ? n : end) - i - 1).toLower());
            else
                out.append(QStringLiteral("'"));
            i = end < 0 ? n : end + 1;
        } else if (c.isLetterOrNumber() || c == u'_') {
            int end = i + 1;
            while (end < n && (sql.at(end).isLetterOrNumber() || sql.at(end) == u'_'))
                ++end;
            out.append(sql.mid(i, end - i).toLower());
            i = end;
        } else {
            out.append(QString(c));
            ++i;
        }
    }
    return out;
}

} // namespace

namespace StatementGuard {

QString refusal(const QString &programSql)
{
    const QStringList words = tokens(programSql);
    if (words.isEmpty())
        return {};
    if (words.contains(QStringLiteral("sqlcipher_export")))
        return QStringLiteral("不允许使用 sqlcipher_export: 它会把数据库复制到别的文件。");
    const QString first = words.first();
    if (first == u"attach" || first == u"detach")
        return QStringLiteral("不允许执行 %1: 不能在此附加或分离其他数据库文件。").arg(first.toUpper());
    if (first != u"pragma")
        return {};
    // pragma [schema.]name [= value | (value)]
    int at = 1;
    if (words.size() > at + 2 && words.at(at + 1) == u".")
        at += 2;
    const QString name = words.value(at);
    const bool withValue = words.size() > at + 1;
    if (readingPragmas().contains(name) || (settingPragmas().contains(name) && !withValue))
        return {};
    return QStringLiteral("不允许执行 PRAGMA %1: 它可能改变数据库的密码、加密、结构或日志方式。"
                          "允许的 PRAGMA: %2,以及不带值的 %3。")
        .arg(name, readingPragmas().join(QStringLiteral(", ")), settingPragmas().join(QStringLiteral(", ")));
}

QString excerpt(const QString &sql, int limit)
{
    const QString text = sql.trimmed();
    if (text.size() <= limit)
        return text;
    return text.left(limit) + QStringLiteral("…(共 %1 个字符)").arg(text.size());
}

} // namespace StatementGuard
