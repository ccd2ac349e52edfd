#!/usr/bin/env bash
# Fuzzes the dialect translator, the settings reader, the spreadsheet reader and the
# restore's schema check with libFuzzer for SECONDS each (default 20): configures
# build-fuzz/ with clang, builds the targets, and runs each on a working corpus seeded
# from fuzz/corpus/<target>/. An input that
# fails is written to fuzz/regressions/<target>/ (commit it with the fix: the normal
# test suite replays it) and the script exits non-zero. See docs/fuzzing.md.
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ not found (scripts/setup.sh installs clang and libfuzzer-14-dev)" >&2
  exit 2
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKEHU_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
targets=(sqldialect inisettings spreadsheet schemacheck)
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}" >/dev/null

status=0
for target in "${targets[@]}"; do
  # Spreadsheets are zip files of some kilobytes; the other inputs are short texts.
  max_len=4096
  [ "$target" = spreadsheet ] && max_len=65536
  work=build-fuzz/corpus/$target
  mkdir -p "$work" "fuzz/regressions/$target"
  echo "== fuzz_$target: ${seconds} s"
  # New inputs go to the working corpus (the first folder), never into the sources.
  if ! build-fuzz/fuzz/fuzz_$target "$work" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -artifact_prefix="fuzz/regressions/$target/" -print_final_stats=1 2>build-fuzz/fuzz_$target.log; then
    status=1
    echo "fuzz_$target FAILED: see build-fuzz/fuzz_$target.log; the input is in fuzz/regressions/$target/"
    grep -E "ERROR|check failed|SUMMARY" build-fuzz/fuzz_$target.log | head -5 || true
  fi
  grep -E "stat::number_of_executed_units|stat::new_units_added" build-fuzz/fuzz_$target.log || true
done
exit $status
