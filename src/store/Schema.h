#pragma once

#include <QList>
#include <QString>

#include "SqlEngine.h"

// The delivered database: every table, the two views and the initial rows. The
// program itself never creates a table; the build-time tool and the tests call this.
namespace Schema {

// A column of a table or view as the schema declares it, in the schema's spelling.
struct DeclaredColumn {
    QString table;
    QString column;
    QString declaredType;
};
// Every column of every table and view of the schema.
QList<DeclaredColumn> declaredColumns();

// Writes a new encrypted database file at path (replacing none: the file must not exist).
void createDatabase(const QString &path);

// The statements that create the tables, views and indexes, and those that insert the
// initial rows, in the given engine's form.
QString schemaSql(SqlEngine engine = SqlEngine::Sqlite);
QString initialRowsSql(SqlEngine engine = SqlEngine::Sqlite);

} // namespace Schema
