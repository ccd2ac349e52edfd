// The byte copy that restores and other file work rely on: a destination is replaced whole
// or left alone, and every failure names the file.
#include "store/CopyFileLZ.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestCopyFile : public QObject
{
    Q_OBJECT
private slots:
    void copies_data();
    void copies();
    void failures_data();
    void failures();
};

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Bytes of every value, longer than one copy block, so block edges are crossed.
QByteArray binary(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 7) & 0xff);
    return bytes;
}

} // namespace

void TestCopyFile::copies_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("existing"); // "<none>": no destination before the copy

    QTest::newRow("new file") << QByteArray("数据库") << QByteArray("<none>");
    QTest::newRow("empty file") << QByteArray() << QByteArray("<none>");
    QTest::newRow("replaces a longer file") << QByteArray("short") << QByteArray(5000, 'x');
    QTest::newRow("replaces a shorter file") << binary(3 * (1 << 20) + 17) << QByteArray("old");
    QTest::newRow("binary across blocks") << binary((1 << 20) + 1) << QByteArray("<none>");
}

void TestCopyFile::copies()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, existing);
    QTemporaryDir dir;
    const QString from = dir.filePath(QStringLiteral("Custom.mdb"));
    const QString to = dir.filePath(QStringLiteral("Custom_bak2024-03-05.mdb"));
    write(from, source);
    if (existing != "<none>")
        write(to, existing);

    CopyFileLZ(from, to);

    QCOMPARE(read(to), source);
    QCOMPARE(read(from), source);
    // Nothing but the two files: no temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestCopyFile::failures_data()
{
    QTest::addColumn<QString>("source");      // relative to a scratch folder
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("named");       // the file the message must name

    QTest::newRow("missing source") << "nothing.mdb" << "copy.mdb" << "nothing.mdb";
    QTest::newRow("source is a folder") << "folder" << "copy.mdb" << "folder";
    QTest::newRow("destination folder missing") << "Custom.mdb" << "no/such/copy.mdb" << "copy.mdb";
    QTest::newRow("destination is a folder") << "Custom.mdb" << "folder" << "folder";
    QTest::newRow("copy onto itself") << "Custom.mdb" << "Custom.mdb" << "Custom.mdb";
}

void TestCopyFile::failures()
{
    QFETCH(QString, source);
    QFETCH(QString, destination);
    QFETCH(QString, named);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    write(dir.filePath(QStringLiteral("Custom.mdb")), "the database");
    write(dir.filePath(QStringLiteral("copy.mdb")), "earlier copy");

    QString message;
    try {
        CopyFileLZ(dir.filePath(source), dir.filePath(destination));
    } catch (const FileCopyError &error) {
        message = error.text();
    }
    QVERIFY2(message.contains(named), qPrintable(message));
    // Whatever failed, both files are as they were and no temporary file is left.
    QCOMPARE(read(dir.filePath(QStringLiteral("Custom.mdb"))), QByteArray("the database"));
    QCOMPARE(read(dir.filePath(QStringLiteral("copy.mdb"))), QByteArray("earlier copy"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

QTEST_GUILESS_MAIN(TestCopyFile)
#include "tst_copyfile.moc"
