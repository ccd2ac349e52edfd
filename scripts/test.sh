#!/usr/bin/env bash
# Builds everything and runs the whole test suite on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
