#pragma once

#include "IniSettings.h"

#include <QString>

// Every key of Config.ini, declared once with its section, key and default. Readers and
// writers go through these, so a key is never spelt two ways or read with two defaults.
struct TextSetting
{
    const char *section;
    const char *key;
    const char *defaultValue;

    QString read(const IniSettings &ini) const
    {
        return ini.readString(QString::fromLatin1(section), QString::fromLatin1(key), QString::fromUtf8(defaultValue));
    }
    void write(IniSettings &ini, const QString &value) const
    {
        ini.writeString(QString::fromLatin1(section), QString::fromLatin1(key), value);
    }
};

struct IntegerSetting
{
    const char *section;
    const char *key;
    int defaultValue;

    int read(const IniSettings &ini) const
    {
        return ini.readInteger(QString::fromLatin1(section), QString::fromLatin1(key), defaultValue);
    }
    void write(IniSettings &ini, int value) const
    {
        ini.writeInteger(QString::fromLatin1(section), QString::fromLatin1(key), value);
    }
};

namespace Setting {
// Path of the database file; empty means DataBase/Custom.mdb beside the program.
inline constexpr TextSetting DBConn{"Config", "DBConn", ""};
// Position of the operator last chosen in the login list; -1 none.
inline constexpr IntegerSetting LoginUser{"login", "username", -1};
// The customer category chosen last, proposed for a new customer.
inline constexpr TextSetting LastCategoryName{"login", "Category", ""};
inline constexpr TextSetting LastCategoryCode{"login", "Catecode", ""};
// 1: new customer codes are proposed automatically.
inline constexpr IntegerSetting AutoCode{"FormConfig", "AutoCode", -1};
// Positions last chosen in the customer editor's pick lists.
inline constexpr IntegerSetting LastCountry{"FormConfig", "Country", -1};
inline constexpr IntegerSetting LastProvince{"FormConfig", "Province", -1};
inline constexpr IntegerSetting LastCustType{"FormConfig", "CustType", -1};
inline constexpr IntegerSetting LastCustFrom{"FormConfig", "CustFrom", -1};
// 0: open the reminders window shortly after the main window is shown.
inline constexpr IntegerSetting ShowReminders{"otherInfo", "awoke", -1};
// How many days ahead the reminders look (kept as text: it is read back as typed).
inline constexpr TextSetting ReminderDays{"otherInfo", "Day", ""};
// Where backups go.
inline constexpr IntegerSetting BackupDrive{"config", "Drive", -1};
inline constexpr TextSetting BackupDirectory{"config", "DirectoryList", ""};
} // namespace Setting
