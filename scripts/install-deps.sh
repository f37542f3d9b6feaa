#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12 (as root).
# Quick when everything is already there: only missing packages go to apt.
#   scripts/install-deps.sh [run|test|windows|all ...]
set -euo pipefail

# What each use needs; the script installs the lists named on its command line.
#   run      build and run the program, vrk-cli and the relay simulator
#   test     the test command: the suites' independent peers, the sanitizers,
#            the layout check, the Debian package and its checks
#   windows  the Windows cross build, its installer and the checks under Wine
#   all      every list (the default)
run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  libjpeg62-turbo-dev
  qt6-l10n-tools qt6-translations-l10n
  libmodbus-dev
  xvfb xauth
  libc6-dev
  fonts-dejavu-core
  ccache
)
test_packages=(
  python3-pymodbus python3-serial-asyncio socat nsis
  clang libclang-rt-14-dev
  clang-format
  dpkg-dev fakeroot lintian desktop-file-utils man-db
  poppler-utils imagemagick x11-utils
)
windows_packages=(
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 qt6-base-dev-tools
  zip unzip nsis wine wine64 x11-utils imagemagick
)

packages=()
[ $# -eq 0 ] && set -- all
for list in "$@"; do
  case $list in
  run) packages+=("${run_packages[@]}") ;;
  test) packages+=("${run_packages[@]}" "${test_packages[@]}") ;;
  windows) packages+=("${run_packages[@]}" "${windows_packages[@]}") ;;
  all) packages+=("${run_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}") ;;
  *)
    echo "install-deps.sh: unknown list '$list' (run, test, windows or all)" >&2
    exit 2
    ;;
  esac
done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | awk '!seen[$0]++')

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
