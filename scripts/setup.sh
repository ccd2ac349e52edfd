#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the program needs.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6 libgl1-mesa-dev
  libsqlcipher-dev sqlcipher
  libxlsxwriter-dev libfreexl-dev libzip-dev
  fonts-noto-cjk
  xvfb xauth
  libqt6svg6 qt6-qpa-plugins
  clang libfuzzer-14-dev
  qt6-charts-dev libqt6opengl6-dev
  qt6-translations-l10n
  poppler-utils
  libpq-dev postgresql postgresql-contrib
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
