#!/usr/bin/env bash
# Compiles the Windows serial backend, the serial sources it shares that need
# no Qt, and the file module's Windows part, with the MinGW cross compiler,
# warnings as errors; and vrk-cli's Windows stop signals.
# Exit 0: compiled; 1: a compile failed; 77: no cross compiler here.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cxx="${MINGW_CXX:-x86_64-w64-mingw32-g++}"

if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "SKIP: $cxx not found (Debian package g++-mingw-w64-x86-64); the Windows parts were not compiled." >&2
  exit 77
fi

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

status=0
for src in serial/serialbackend_win32.cpp serial/controlblock.cpp files/platform_win32.cpp cli/signals_win32.cpp; do
  if "$cxx" -std=c++20 -Wall -Wextra -Werror -I"$root" -c "$root/$src" -o "$out/$(basename "$src").o"; then
    echo "ok: $src"
  else
    echo "FAILED: $src" >&2
    status=1
  fi
done
exit $status
