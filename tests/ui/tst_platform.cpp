// Desktop services: finding the calculator and text editor, reporting when none is
// installed, starting programs, the clipboard, and the recording stand-in the window
// tests install.
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void findProgram_data();
    void findProgram();
    void missingProgramIsReported_data();
    void missingProgramIsReported();
    void textEditorStartsOnTheFile();
    void clipboardRoundTrip();

    void addressesBecomeUrls_data();
    void addressesBecomeUrls();
    void standInRecordsAndAnswers();

private:
    void makeProgram(const QString &name, const QByteArray &script = "#!/bin/sh\nexit 0\n", bool executable = true);

    QTemporaryDir m_bin;
    ScriptedMessages m_messages;
};

void TestPlatform::init()
{
    QVERIFY(m_bin.isValid());
    for (const QString &name : QDir(m_bin.path()).entryList(QDir::Files))
        QFile::remove(m_bin.filePath(name));
    m_messages = ScriptedMessages();
    Messages::install(&m_messages);
}

void TestPlatform::cleanup()
{
    Messages::install(nullptr);
    Platform::install(nullptr);
}

void TestPlatform::makeProgram(const QString &name, const QByteArray &script, bool executable)
{
    QFile file(m_bin.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script);
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    file.setPermissions(permissions);
}

void TestPlatform::findProgram_data()
{
    QTest::addColumn<QStringList>("installed");    // executables in the search path
    QTest::addColumn<QStringList>("notExecutable"); // plain files of the same kind of name
    QTest::addColumn<QString>("expected");

    QTest::newRow("none") << QStringList{} << QStringList{} << QString();
    QTest::newRow("the only one") << QStringList{"xcalc"} << QStringList{} << QStringLiteral("xcalc");
    QTest::newRow("earlier candidate wins") << QStringList{"xcalc", "kcalc", "galculator"} << QStringList{}
                                            << QStringLiteral("kcalc");
    QTest::newRow("plain file skipped") << QStringList{"galculator"} << QStringList{"gnome-calculator"}
                                        << QStringLiteral("galculator");
}

void TestPlatform::findProgram()
{
    QFETCH(QStringList, installed);
    QFETCH(QStringList, notExecutable);
    QFETCH(QString, expected);
    for (const QString &name : installed)
        makeProgram(name);
    for (const QString &name : notExecutable)
        makeProgram(name, "not a program", false);
    const QString found = DesktopPlatform::findProgram(DesktopPlatform::calculatorPrograms(), {m_bin.path()});
    QCOMPARE(found, expected.isEmpty() ? QString() : m_bin.filePath(expected));
}

void TestPlatform::missingProgramIsReported_data()
{
    QTest::addColumn<bool>("calculator");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("calculator") << true << QStringLiteral("计算器");
    QTest::newRow("text editor") << false << QStringLiteral("文本编辑器");
}

void TestPlatform::missingProgramIsReported()
{
    QFETCH(bool, calculator);
    QFETCH(QString, mentions);
    makeProgram(QStringLiteral("xdg-open")); // no help without a file to open
    DesktopPlatform desktop({m_bin.path()});
    const bool started = calculator ? desktop.startCalculator(nullptr) : desktop.startTextEditor(nullptr, {});
    QVERIFY(!started);
    QCOMPARE(m_messages.shown.size(), 1);
    const Msg::Record &shown = m_messages.last();
    QCOMPARE(shown.kind, Msg::Kind::Box);
    QCOMPARE(shown.title, QStringLiteral("警告"));
    QVERIFY2(shown.text.contains(mentions), qPrintable(shown.text));
}

void TestPlatform::textEditorStartsOnTheFile()
{
    // Only the desktop's opener is there: with a file it serves as the editor.
    const QString marker = m_bin.filePath(QStringLiteral("opened.txt"));
    const QByteArray target = marker.toUtf8();
    makeProgram(QStringLiteral("xdg-open"),
                "#!/bin/sh\nprintf '%s' \"$1\" > '" + target + ".part' && mv '" + target + ".part' '" + target + "'\n");
    DesktopPlatform desktop({m_bin.path()});
    const QString file = m_bin.filePath(QStringLiteral("邮件 地址.txt"));
    QVERIFY(desktop.startTextEditor(nullptr, file));
    QVERIFY(m_messages.shown.isEmpty());
    QTRY_VERIFY(QFile::exists(marker)); // the detached program runs on its own
    QFile written(marker);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()), file);
}

void TestPlatform::clipboardRoundTrip()
{
    DesktopPlatform desktop;
    desktop.setClipboardText(QStringLiteral("公司名称\t城市\nO'Neil\t北京"));
    QCOMPARE(desktop.clipboardText(), QStringLiteral("公司名称\t城市\nO'Neil\t北京"));
}

void TestPlatform::addressesBecomeUrls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("url");

    QTest::newRow("mail") << "mail" << "sales@example.com" << "mailto:sales@example.com";
    QTest::newRow("mail with blanks around") << "mail" << " sales@example.com " << "mailto:sales@example.com";
    QTest::newRow("web without scheme") << "web" << "www.example.com" << "http://www.example.com";
    QTest::newRow("web with scheme") << "web" << "https://example.com/a?b=1" << "https://example.com/a?b=1";
    QTest::newRow("document") << "document" << "/tmp/报表 1.xlsx" << "file:///tmp/报表 1.xlsx";
}

void TestPlatform::addressesBecomeUrls()
{
    QFETCH(QString, kind);
    QFETCH(QString, input);
    QFETCH(QString, url);
    RecordingPlatform recording;
    Platform::install(&recording);
    bool opened = false;
    if (kind == QLatin1String("mail"))
        opened = Platform::mailTo(nullptr, input);
    else if (kind == QLatin1String("web"))
        opened = Platform::openWebAddress(nullptr, input);
    else
        opened = Platform::openDocument(nullptr, input);
    QVERIFY(opened);
    QCOMPARE(recording.calls(), QStringList{QStringLiteral("openUrl ") + url});
}

void TestPlatform::standInRecordsAndAnswers()
{
    RecordingPlatform recording;
    Platform::install(&recording);
    recording.answer(QStringLiteral("/tmp/in.xls"));
    QCOMPARE(Platform::openFileName(nullptr, QStringLiteral("打开"), QStringLiteral("/tmp"), QStringLiteral("*.xls")),
             QStringLiteral("/tmp/in.xls"));
    QCOMPARE(Platform::folderName(nullptr, QStringLiteral("备份到")), QString()); // nothing queued: cancelled
    Platform::setClipboardText(QStringLiteral("abc"));
    QCOMPARE(Platform::clipboardText(), QStringLiteral("abc"));
    recording.succeed = false;
    QVERIFY(!Platform::startCalculator(nullptr));
    QVERIFY(!Platform::startTextEditor(nullptr, QStringLiteral("a.txt")));
    QCOMPARE(recording.calls(), QStringList({"openFile 打开 /tmp *.xls", "folder 备份到 ", "calculator",
                                             "textEditor a.txt"}));
    QVERIFY(m_messages.shown.isEmpty());
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
