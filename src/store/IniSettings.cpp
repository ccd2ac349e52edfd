#include "IniSettings.h"
#include "DbError.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

IniSettings::IniSettings(const QString &path) : m_path(path)
{
    reload();
}

void IniSettings::reload()
{
    m_lines.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return; // a missing file means every key takes its default
    load(file.readAll());
}

void IniSettings::load(const QByteArray &bytes)
{
    m_lines.clear();
    // Written as UTF-8; a file kept from a Windows installation is GBK.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder gbk("GBK");
        if (gbk.isValid())
            text = gbk.decode(bytes);
    }
    // Editors that add a byte-order mark on every save can leave several.
    while (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_lines = text.split(QLatin1Char('\n'));
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

int IniSettings::findSection(const QString &section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString line = m_lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))
            && line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniSettings::findKey(int sectionLine, const QString &key) const
{
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        const QString line = m_lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            break;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniSettings::hasKey(const QString &section, const QString &key) const
{
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QString IniSettings::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const int s = findSection(section);
    const int k = s >= 0 ? findKey(s, key) : -1;
    if (k < 0)
        return defaultValue;
    const QString &line = m_lines.at(k);
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

int IniSettings::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = readString(section, key, QString()).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : defaultValue;
}

void IniSettings::writeString(const QString &section, const QString &key, const QString &value)
{
    QString plain = value;
    plain.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    int s = findSection(section);
    if (s < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(key + QLatin1Char('=') + plain);
    } else {
        const int k = findKey(s, key);
        if (k >= 0) {
            const QString &line = m_lines.at(k);
            m_lines[k] = line.left(line.indexOf(QLatin1Char('='))) + QLatin1Char('=') + plain;
        } else {
            // After the last key line of the section, before any blank lines that close it.
            int insertAt = s + 1;
            for (int i = s + 1; i < m_lines.size() && !m_lines.at(i).trimmed().startsWith(QLatin1Char('[')); ++i)
                if (!m_lines.at(i).trimmed().isEmpty())
                    insertAt = i + 1;
            m_lines.insert(insertAt, key + QLatin1Char('=') + plain);
        }
    }
    save();
}

void IniSettings::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniSettings::save()
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw DbError(QStringLiteral("无法写入设置文件 %1: %2").arg(m_path, file.errorString()));
    file.write((m_lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8());
    if (!file.commit())
        throw DbError(QStringLiteral("无法写入设置文件 %1: %2").arg(m_path, file.errorString()));
}
