#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the program needs.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

# Every package is named here, each for a reason: installs run with
# --no-install-recommends, so nothing may be left to a package's recommendations or to
# what one machine happens to have.
PACKAGES=(
  # compiler and build
  build-essential cmake pkg-config
  # Qt 6: widgets, printing, charts, SVG pictures, the X11 platform plugin, Chinese
  # translations of Qt's own dialogs
  qt6-base-dev qt6-base-dev-tools libqt6sql6 libgl1-mesa-dev
  qt6-charts-dev libqt6opengl6-dev libqt6svg6 qt6-qpa-plugins qt6-translations-l10n
  # the database engine and its shell
  libsqlcipher-dev sqlcipher
  # spreadsheets: writing .xlsx, reading .xls, the zip container of .xlsx and .ods
  libxlsxwriter-dev libfreexl-dev libzip-dev
  # Chinese text on screen and in printouts
  fonts-noto-cjk
  # the virtual display run.sh starts without a desktop
  xvfb xauth
  # fuzzing and the sanitizer runtimes clang links (libclang-rt-14-dev is only recommended
  # by clang-14, and without it the fuzz targets fail to link)
  clang libfuzzer-14-dev libclang-rt-14-dev
  # the tests: PDF text read back (pdftotext), perl for the shell tests' text checks
  poppler-utils perl
  # the server engine's client library, and a server for the tests that run against one
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
