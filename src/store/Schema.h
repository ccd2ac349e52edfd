#pragma once

#include <QString>

// The delivered database: every table, the two views and the initial rows. The
// program itself never creates a table; the build-time tool and the tests call this.
namespace Schema {

// Writes a new encrypted database file at path (replacing none: the file must not exist).
void createDatabase(const QString &path);

QString schemaSql();
QString initialRowsSql();

} // namespace Schema
