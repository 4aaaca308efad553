#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, run, test and
# package, and those named as arguments, skipping those already present.
# Run as root on Debian 12.
set -euo pipefail
pkgs=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql libgl-dev qt6-translations-l10n
  postgresql
  libxlsxwriter-dev libzip-dev libsqlite3-dev libpq-dev libsodium-dev
  fonts-wqy-zenhei xdg-utils
  poppler-utils python3 python3-openpyxl
  dpkg-dev
  "$@"
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
