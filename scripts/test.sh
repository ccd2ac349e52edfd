#!/usr/bin/env bash
# Builds everything and runs the whole test suite on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
# A short fuzz run of the dialect translator and the settings reader (20 s each; the
# nightly run is longer, see docs/fuzzing.md).
if command -v clang++ >/dev/null; then
  bash scripts/fuzz.sh 20
else
  echo "clang++ not found: fuzz run skipped"
fi
