#pragma once

#include <QString>
#include <QStringList>

// The settings file Config.ini. Section and key names are matched without regard to
// case (the program spells "CateCode" and "Catecode" alike), integers are written as
// decimal text, and every write replaces the file at once and atomically. QSettings
// fits none of these rules, hence this small class.
class IniSettings
{
public:
    explicit IniSettings(const QString &path);

    QString path() const { return m_path; }
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    bool hasKey(const QString &section, const QString &key) const;
    // Reads the file again (another copy of the program may have written it).
    void reload();
    // Takes the settings from a file's bytes as read (UTF-8, or GBK from a Windows
    // installation); the file itself is left alone until the next write.
    void load(const QByteArray &bytes);

private:
    int findSection(const QString &section) const;
    int findKey(int sectionLine, const QString &key) const;
    void save();

    QString m_path;
    QStringList m_lines;
};
