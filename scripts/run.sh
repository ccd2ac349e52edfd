#!/usr/bin/env bash
# Builds the program and starts it on its delivered database (build/bin/DataBase/Custom.mdb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting on a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/kehu "$@"
fi
exec build/bin/kehu "$@"
