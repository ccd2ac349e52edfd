#include "store/PasswordHash.h"
#include "store/PasswordHashTesting.h"

#include <QtTest>

// The stored form of operators' passwords: known PBKDF2-HMAC-SHA256 values, the text
// form, random salts, the comparison with typed text, and values from older databases.
class TestPasswordHash : public QObject
{
    Q_OBJECT
private slots:
    void knownValues_data();
    void knownValues();
    void freshHash();
    void testIterations();
    void typedAgainstHash_data();
    void typedAgainstHash();
    void plainPasswords_data();
    void plainPasswords();
    void notHashes_data();
    void notHashes();
};

namespace {

struct Parts
{
    QString scheme;
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

Parts split(const QString &stored)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4)
        return {};
    return {parts[0], parts[1].toInt(), QByteArray::fromBase64(parts[2].toLatin1()),
            QByteArray::fromBase64(parts[3].toLatin1())};
}

} // namespace

void TestPasswordHash::knownValues_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("salt");
    QTest::addColumn<int>("iterations");
    QTest::addColumn<QByteArray>("hashHex");
    // Published PBKDF2-HMAC-SHA256 values with a 32-byte result.
    QTest::newRow("1 iteration") << "password" << QByteArray("salt") << 1
                                 << QByteArray("120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
    QTest::newRow("2 iterations") << "password" << QByteArray("salt") << 2
                                  << QByteArray("ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43");
    QTest::newRow("4096 iterations") << "password" << QByteArray("salt") << 4096
                                     << QByteArray("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
}

void TestPasswordHash::knownValues()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, salt);
    QFETCH(int, iterations);
    QFETCH(QByteArray, hashHex);
    const QString stored = PasswordHash::make(password, salt, iterations);
    QCOMPARE(stored, QStringLiteral("pbkdf2-sha256$%1$%2$%3")
                         .arg(iterations)
                         .arg(QString::fromLatin1(salt.toBase64()),
                              QString::fromLatin1(QByteArray::fromHex(hashHex).toBase64())));
    QVERIFY(PasswordHash::isHash(stored));
    // Verification takes the count and the salt from the stored text.
    QVERIFY(PasswordHash::matches(password, stored));
    QVERIFY(!PasswordHash::matches(password + QLatin1Char('!'), stored));
}

void TestPasswordHash::freshHash()
{
    const QString first = PasswordHash::make(QStringLiteral("Abc123"));
    const QString second = PasswordHash::make(QStringLiteral("Abc123"));
    const Parts parts = split(first);
    QCOMPARE(parts.scheme, QStringLiteral("pbkdf2-sha256"));
    QCOMPARE(parts.iterations, PasswordHash::Iterations);
    QCOMPARE(parts.iterations, 120000);
    QCOMPARE(parts.salt.size(), PasswordHash::SaltBytes);
    QCOMPARE(parts.hash.size(), PasswordHash::HashBytes);
    QVERIFY(!first.contains(QStringLiteral("Abc123")));
    // Every hash has a salt of its own: equal passwords do not show as equal values.
    QVERIFY(first != second);
    QVERIFY(split(second).salt != parts.salt);
    QVERIFY(PasswordHash::matches(QStringLiteral("Abc123"), first));
    QVERIFY(PasswordHash::matches(QStringLiteral("Abc123"), second));
    QCOMPARE(PasswordHash::make(QStringLiteral("Abc123"), parts.salt, parts.iterations), first);
}

// Tests may make quicker hashes for a while; they verify all the same, and the program's
// count is back afterwards.
void TestPasswordHash::testIterations()
{
    QString quick;
    {
        const PasswordHash::TestIterations fewer(7);
        quick = PasswordHash::make(QStringLiteral("Abc123"));
    }
    QCOMPARE(split(quick).iterations, 7);
    QVERIFY(PasswordHash::matches(QStringLiteral("Abc123"), quick));
    QCOMPARE(split(PasswordHash::make(QStringLiteral("Abc123"))).iterations, PasswordHash::Iterations);
}

void TestPasswordHash::typedAgainstHash_data()
{
    QTest::addColumn<QString>("password"); // hashed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<bool>("blank");
    QTest::newRow("same") << "Abc123" << "Abc123" << true << false;
    QTest::newRow("letter case counts") << "Abc123" << "abc123" << false << false;
    QTest::newRow("trailing blank counts") << "Abc123" << "Abc123 " << false << false;
    QTest::newRow("empty typed") << "Abc123" << "" << false << false;
    QTest::newRow("Chinese") << "新口令9" << "新口令9" << true << false;
    QTest::newRow("empty password, empty typed") << "" << "" << true << true;
    QTest::newRow("empty password, typed text") << "" << "x" << false << true;
    // Only the empty text counts as empty once hashed: the blanks are not known any more.
    QTest::newRow("blanks, typed blanks") << "  " << "  " << true << false;
    QTest::newRow("blanks, typed nothing") << "  " << "" << false << false;
}

void TestPasswordHash::typedAgainstHash()
{
    QFETCH(QString, password);
    QFETCH(QString, typed);
    QFETCH(bool, matches);
    QFETCH(bool, blank);
    // A small count keeps the table quick; the count is read back from the stored text.
    const QString stored = PasswordHash::make(password, QByteArray("0123456789abcdef"), 10);
    QCOMPARE(PasswordHash::matches(typed, stored), matches);
    QCOMPARE(PasswordHash::isBlank(stored), blank);
}

void TestPasswordHash::plainPasswords_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<bool>("blank");
    QTest::newRow("same") << "Abc123" << "Abc123" << true << false;
    QTest::newRow("letter case counts") << "Abc123" << "abc123" << false << false;
    QTest::newRow("empty") << "" << "" << true << true;
    QTest::newRow("empty, typed text") << "" << "x" << false << true;
    QTest::newRow("blanks are typed exactly") << "  " << "  " << true << true;
    QTest::newRow("blanks, typed nothing") << "  " << "" << false << true;
    QTest::newRow("looks like a hash but is none") << "pbkdf2-sha256$1$$" << "pbkdf2-sha256$1$$" << true << false;
}

// Passwords from older databases are plain text: compared exactly as typed.
void TestPasswordHash::plainPasswords()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, matches);
    QFETCH(bool, blank);
    QVERIFY(!PasswordHash::isHash(stored));
    QCOMPARE(PasswordHash::matches(typed, stored), matches);
    QCOMPARE(PasswordHash::isBlank(stored), blank);
}

void TestPasswordHash::notHashes_data()
{
    QTest::addColumn<QString>("stored");
    const QString salt = QString::fromLatin1(QByteArray("0123456789abcdef").toBase64());
    const QString hash = QString::fromLatin1(QByteArray(32, 'h').toBase64());
    QTest::newRow("well formed, for reference") << QStringLiteral("pbkdf2-sha256$10$%1$%2").arg(salt, hash);
    QTest::newRow("other scheme") << QStringLiteral("pbkdf2-sha1$10$%1$%2").arg(salt, hash);
    QTest::newRow("scheme in capitals") << QStringLiteral("PBKDF2-SHA256$10$%1$%2").arg(salt, hash);
    QTest::newRow("part missing") << QStringLiteral("pbkdf2-sha256$10$%1").arg(salt);
    QTest::newRow("part too many") << QStringLiteral("pbkdf2-sha256$10$%1$%2$").arg(salt, hash);
    QTest::newRow("count not a number") << QStringLiteral("pbkdf2-sha256$ten$%1$%2").arg(salt, hash);
    QTest::newRow("count zero") << QStringLiteral("pbkdf2-sha256$0$%1$%2").arg(salt, hash);
    QTest::newRow("count beyond reason") << QStringLiteral("pbkdf2-sha256$2000000000$%1$%2").arg(salt, hash);
    QTest::newRow("empty salt") << QStringLiteral("pbkdf2-sha256$10$$%1").arg(hash);
    QTest::newRow("salt not base64") << QStringLiteral("pbkdf2-sha256$10$*salt*$%1").arg(hash);
    QTest::newRow("hash too short") << QStringLiteral("pbkdf2-sha256$10$%1$%2")
                                           .arg(salt, QString::fromLatin1(QByteArray(31, 'h').toBase64()));
}

// Text that is not a well-formed hash is taken for a plain password, never computed.
void TestPasswordHash::notHashes()
{
    QFETCH(QString, stored);
    const bool wellFormed = QByteArray(QTest::currentDataTag()).startsWith("well formed");
    QCOMPARE(PasswordHash::isHash(stored), wellFormed);
    if (!wellFormed)
        QVERIFY(PasswordHash::matches(stored, stored));
}

QTEST_MAIN(TestPasswordHash)
#include "tst_passwordhash.moc"
