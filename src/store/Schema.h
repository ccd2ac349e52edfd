#pragma once

#include <QString>

#include "SqlEngine.h"

// The delivered database: every table, the two views and the initial rows. The
// program itself never creates a table; the build-time tool and the tests call this.
namespace Schema {

// Writes a new encrypted database file at path (replacing none: the file must not exist).
void createDatabase(const QString &path);

// The statements that create the tables, views and indexes, and those that insert the
// initial rows, in the given engine's form.
QString schemaSql(SqlEngine engine = SqlEngine::Sqlite);
QString initialRowsSql(SqlEngine engine = SqlEngine::Sqlite);

} // namespace Schema
