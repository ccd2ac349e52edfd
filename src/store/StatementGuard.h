#pragma once

#include <QString>

// Statements typed by a person (kehu-cli sql, kehu-cli export) run with the program's own
// rights on the database, so those that could lock everyone out or break the file are
// refused before they run: a pragma that changes the key, the cipher, the schema table or
// the journal and locking (only a named list of pragmas that read is allowed), attaching
// another file (a copy under another key or none), and sqlcipher_export().
namespace StatementGuard {

// Why the statement (in the program's dialect) may not run, or empty.
QString refusal(const QString &programSql);

// At most the first 200 characters of a statement, for an error message.
QString excerpt(const QString &sql, int limit = 200);

} // namespace StatementGuard
