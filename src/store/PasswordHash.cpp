#include "PasswordHash.h"
#include "PasswordHashTesting.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace PasswordHash {

namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
// Iterations unless a test has lowered them (PasswordHashTesting.h).
int newHashIterations = Iterations;
const QChar Separator = QLatin1Char('$');

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              HashBytes);
}

struct Parsed
{
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

bool decode(const QString &text, QByteArray &bytes)
{
    auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return false;
    bytes = *result;
    return !bytes.isEmpty();
}

bool parse(const QString &stored, Parsed &parsed)
{
    const QStringList parts = stored.split(Separator);
    if (parts.size() != 4 || parts.at(0) != Scheme)
        return false;
    bool number = false;
    parsed.iterations = parts.at(1).toInt(&number);
    if (!number || parsed.iterations < 1 || parsed.iterations > MaxIterations)
        return false;
    return decode(parts.at(2), parsed.salt) && decode(parts.at(3), parsed.hash) && parsed.hash.size() == HashBytes;
}

// Takes as long for every pair of equal length, wherever they differ.
bool equalInConstantTime(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return difference == 0;
}

} // namespace

QString make(const QString &password, const QByteArray &salt, int iterations)
{
    return Scheme + Separator + QString::number(iterations) + Separator + QString::fromLatin1(salt.toBase64())
           + Separator + QString::fromLatin1(derive(password, salt, iterations).toBase64());
}

QString make(const QString &password)
{
    static_assert(SaltBytes % sizeof(quint32) == 0);
    quint32 words[SaltBytes / sizeof(quint32)];
    QRandomGenerator::system()->fillRange(words);
    return make(password, QByteArray(reinterpret_cast<const char *>(words), SaltBytes), newHashIterations);
}

bool isHash(const QString &stored)
{
    Parsed parsed;
    return parse(stored, parsed);
}

bool matches(const QString &typed, const QString &stored)
{
    Parsed parsed;
    if (!parse(stored, parsed))
        return typed == stored;
    return equalInConstantTime(derive(typed, parsed.salt, parsed.iterations), parsed.hash);
}

bool isBlank(const QString &stored)
{
    return isHash(stored) ? matches(QString(), stored) : stored.trimmed().isEmpty();
}

TestIterations::TestIterations(int iterations) : m_previous(newHashIterations)
{
    newHashIterations = iterations;
}

TestIterations::~TestIterations()
{
    newHashIterations = m_previous;
}

} // namespace PasswordHash
