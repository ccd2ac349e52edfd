#include "store/IniSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void defaultsWithoutFile();
    void namesMatchWithoutCase();
    void writesAtOnceAsDecimalText();
    void keepsOtherLinesAndSections();
    void readsGbkFile();
    void unwritableFileRaises();
};

static QString readAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

void TestSettings::defaultsWithoutFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.ini"));
    IniSettings settings(path);
    QCOMPARE(settings.readString(QStringLiteral("Config"), QStringLiteral("DBConn")), QString());
    QCOMPARE(settings.readInteger(QStringLiteral("login"), QStringLiteral("username"), -1), -1);
    QVERIFY(!QFile::exists(path)); // created by the first write only
}

void TestSettings::namesMatchWithoutCase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.ini"));
    IniSettings settings(path);
    settings.writeString(QStringLiteral("login"), QStringLiteral("Catecode"), QStringLiteral("0102"));
    settings.writeInteger(QStringLiteral("otherInfo"), QStringLiteral("awoke"), 0);
    QCOMPARE(settings.readString(QStringLiteral("LOGIN"), QStringLiteral("CateCode")), QStringLiteral("0102"));
    QCOMPARE(settings.readInteger(QStringLiteral("OtherInfo"), QStringLiteral("Awoke"), -1), 0);
    // Writing under another spelling replaces the key instead of adding a second one.
    settings.writeString(QStringLiteral("Login"), QStringLiteral("CATECODE"), QStringLiteral("03"));
    QCOMPARE(readAll(path).count(QStringLiteral("atecode="), Qt::CaseInsensitive), 1);
    QCOMPARE(IniSettings(path).readString(QStringLiteral("login"), QStringLiteral("catecode")), QStringLiteral("03"));
}

void TestSettings::writesAtOnceAsDecimalText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.ini"));
    IniSettings settings(path);
    settings.writeInteger(QStringLiteral("FormConfig"), QStringLiteral("Country"), 12);
    settings.writeString(QStringLiteral("login"), QStringLiteral("Category"), QStringLiteral("华北地区"));
    const QString text = readAll(path);
    QVERIFY(text.contains(QStringLiteral("[FormConfig]\r\nCountry=12\r\n")));
    QVERIFY(text.contains(QStringLiteral("Category=华北地区")));
    QCOMPARE(IniSettings(path).readInteger(QStringLiteral("formconfig"), QStringLiteral("country"), -1), 12);
    // A value that is not a number reads as the default.
    settings.writeString(QStringLiteral("FormConfig"), QStringLiteral("Country"), QStringLiteral("abc"));
    QCOMPARE(settings.readInteger(QStringLiteral("FormConfig"), QStringLiteral("Country"), -1), -1);
}

void TestSettings::keepsOtherLinesAndSections()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("; kept\r\n[Config]\r\nDBConn=\r\n\r\n[config]\r\nDrive=1\r\n");
    file.close();
    IniSettings settings(path);
    QCOMPARE(settings.readInteger(QStringLiteral("CONFIG"), QStringLiteral("drive"), -1), -1); // first [Config] wins
    settings.writeString(QStringLiteral("Config"), QStringLiteral("DBConn"), QStringLiteral("/srv/share/Custom.mdb"));
    settings.writeString(QStringLiteral("Config"), QStringLiteral("DirectoryList"), QStringLiteral("/backup"));
    const QString text = readAll(path);
    QVERIFY(text.startsWith(QStringLiteral("; kept\r\n[Config]\r\nDBConn=/srv/share/Custom.mdb\r\nDirectoryList=/backup\r\n")));
    QVERIFY(text.contains(QStringLiteral("Drive=1")));
}

void TestSettings::readsGbkFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Config.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("[login]\r\nCategory=\xbb\xaa\xb1\xb1\r\n"); // 华北 in GBK
    file.close();
    QCOMPARE(IniSettings(path).readString(QStringLiteral("login"), QStringLiteral("Category")), QStringLiteral("华北"));
}

void TestSettings::unwritableFileRaises()
{
    IniSettings settings(QStringLiteral("/nonexistent-folder/Config.ini"));
    QVERIFY_THROWS_EXCEPTION(std::exception, settings.writeInteger(QStringLiteral("a"), QStringLiteral("b"), 1));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
