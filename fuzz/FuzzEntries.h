#pragma once

#include <cstddef>
#include <cstdint>

// The fuzz targets' entry functions, one per parser that faces untrusted text. The
// libFuzzer executables call them for every generated input; the normal test suite
// replays the committed corpus and every input that once failed through them too.
// Each returns 0; a fault shows as a crash, a sanitizer report or a failed check
// (abort with a message on standard error).
namespace FuzzEntries {
// SqlDialect::toEngine and splitStatements on the input as UTF-8 text.
int sqlDialect(const uint8_t *data, size_t size);
// IniSettings reading the input as a settings file, then a write and read back.
int iniSettings(const uint8_t *data, size_t size);
// The import's spreadsheet reader on the input as a file: its first byte picks .csv,
// .ods or .xlsx, the rest is the file. Refusals are SpreadsheetError; a memory bomb shows
// as the fuzzer's out-of-memory finding (-rss_limit_mb).
int spreadsheet(const uint8_t *data, size_t size);
// The restore's check of a database file: the input, as statements of the engine, changes
// a copy of a delivered database; the check then compares it with the program's schema.
int schemaCheck(const uint8_t *data, size_t size);
}
