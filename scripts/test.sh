#!/usr/bin/env bash
# Builds everything and runs the whole test suite on the offscreen platform; then runs it
# again built with the address and undefined-behaviour sanitizers, and fuzzes briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

# A throwaway PostgreSQL server for the tests that run against a server as well as against
# the file; without one those tests say they were skipped.
pg_dir="$(mktemp -d /tmp/kehu-pg-test.XXXXXX)"
trap 'bash scripts/pg-test-server.sh stop "$pg_dir"' EXIT
if KEHU_TEST_PG_URI="$(bash scripts/pg-test-server.sh start "$pg_dir")"; then
  export KEHU_TEST_PG_URI
  echo "PostgreSQL test server: $KEHU_TEST_PG_URI"
else
  echo "No PostgreSQL test server could be started: the server tests will be skipped."
fi
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer: any report fails
# the run. (Leak checking stays off: the platform's font and GL libraries keep caches for
# the life of the process that it would report.)
# Debug keeps Qt's assertions on; its own "-g" is left out (CMAKE_CXX_FLAGS_DEBUG): debug
# information would double the build's time and disk for reports that name functions anyway.
# Add -g here when a sanitizer report needs line numbers.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKEHU_SANITIZE=ON -DCMAKE_CXX_FLAGS="-O1 -g0" \
  -DCMAKE_CXX_FLAGS_DEBUG="" >/dev/null
cmake --build build-asan -j"$(nproc)"
(cd build-asan && QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure -j"$(nproc)" --timeout 900)

# A short fuzz run of the dialect translator, the settings reader, the spreadsheet reader
# and the schema check (20 s each; the nightly run is longer, see docs/fuzzing.md).
if command -v clang++ >/dev/null; then
  bash scripts/fuzz.sh 20
else
  echo "clang++ not found: fuzz run skipped"
fi
