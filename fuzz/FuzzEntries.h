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
}
