#pragma once
// The one place that includes the engine's C header: SQLCipher wants its codec
// switched on before sqlite3.h is read so that sqlite3_key() is declared.
#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>
