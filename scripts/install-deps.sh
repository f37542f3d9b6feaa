#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (as root).
# Quick when everything is already there: only missing packages go to apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  libjpeg62-turbo-dev
  qt6-l10n-tools qt6-translations-l10n
  libmodbus-dev
  g++-mingw-w64-x86-64
  clang libclang-rt-14-dev
  xvfb xauth
  libc6-dev
  fonts-dejavu-core
  ccache clang-format
  dpkg-dev fakeroot lintian desktop-file-utils man-db
  poppler-utils
  # The Windows build (scripts/build-windows.sh) and its checks under Wine
  g++-mingw-w64-x86-64-posix qt6-base-dev-tools zip unzip
  wine wine64 x11-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing; run this script as root to install them." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
