#pragma once

#include <QList>
#include <QString>

#include "SchemaTranslation.h"
#include "SqlEngine.h"

// The delivered database: every table, the two views and the initial rows. The
// program itself never creates a table; the build-time tool and the tests call this.
namespace Schema {


// Writes a new encrypted database file at path (replacing none: the file must not exist).
void createDatabase(const QString &path);

// The statements that create the tables, views and indexes, and those that insert the
// initial rows, in the given engine's form. Both are derived from the one script each
// (store/sql/schema.sql, store/sql/initial_rows.sql). The server form (see
// SchemaTranslation.h for its types) is run by the server set-up on an empty database,
// the two together in one transaction: it starts with CREATE EXTENSION citext, and the
// initial rows end by moving every autonumber sequence past the keys they inserted.
QString schemaSql(SqlEngine engine = SqlEngine::Sqlite);
QString initialRowsSql(SqlEngine engine = SqlEngine::Sqlite);

// Every table and view column with its type as the schema script declares it
// ({"custom", "CustCode", "INTEGER"}, {"custom", "AddDate", "DATETEXT"} ...), in script
// order. The server reports names in lower case and only its base types; this list gives
// result columns back their spelling and their declared type (and so their field kind).
QList<SchemaTranslation::DeclaredColumn> declaredColumns();
// The autonumber key of every table. On the server they are identity columns generated
// by default: after rows are copied in with their own keys, move each sequence on with
// SchemaTranslation::identityResetSql(identityColumns()).
QList<SchemaTranslation::IdentityColumn> identityColumns();

} // namespace Schema
