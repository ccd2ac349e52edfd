#pragma once

#include <QByteArray>
#include <QString>

// Operators' passwords as admin.Password keeps them: a salted, deliberately slow hash,
// PBKDF2-HMAC-SHA256 over the password's UTF-8 bytes, written as
//     pbkdf2-sha256$<iterations>$<salt, base64>$<hash, base64>
// so that neither a look into the file nor a copy of it gives away a password. A stored
// value in any other form is a password from an older database, kept as it was typed;
// the login replaces it by its hash the first time it matches.
namespace PasswordHash {

inline constexpr int Iterations = 120000;
inline constexpr int SaltBytes = 16;
inline constexpr int HashBytes = 32;
// Stored counts above this are refused rather than computed for minutes.
inline constexpr int MaxIterations = 10000000;

// The stored form of a password, with a fresh random salt from the system's generator.
// An empty password is hashed like any other.
QString make(const QString &password);
// The stored form with a given salt and count (for known values in tests).
QString make(const QString &password, const QByteArray &salt, int iterations);

// Whether a stored value is a hash in the form above (not an older plain password).
bool isHash(const QString &stored);

// Whether the typed password is the stored one. A hash is computed again with its own
// salt and count and compared in constant time; a plain password must equal the typed
// text exactly (letter case and blanks count).
bool matches(const QString &typed, const QString &stored);

// Whether the stored password counts as empty for the login's hint that OK may be
// pressed with an empty box: a plain password of blanks only, or a hash of the empty text.
bool isBlank(const QString &stored);

} // namespace PasswordHash
