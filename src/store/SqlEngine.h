#pragma once

// The database engines the program can run on: its own encrypted file (one workstation)
// or a PostgreSQL server shared by several workstations. Statements and the schema are
// written once in the program's dialect and turned into each engine's form.
enum class SqlEngine { Sqlite, Postgres };
