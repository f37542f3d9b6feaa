#!/usr/bin/env bash
# Configures and builds the project in a build folder (default: build/).
#   scripts/build.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
shift || true
# Configure when there is no build file yet (also after a failed first
# configure) or when cmake arguments are given.
if [ ! -f "$build/build.ninja" ] || [ $# -gt 0 ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" -j"$(nproc)"
