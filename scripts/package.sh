#!/usr/bin/env bash
# Builds the Debian package vrk_<version>_amd64.deb from the normal build tree
# (default: build/) with CPack, into <build>/package/, and prints its path on
# the last line. Install it with: apt install ./build/package/vrk_*.deb
#   scripts/package.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
bash "$here/scripts/install-deps.sh" run test >&2
# Only what the package holds: the programs, the icons, the manual pages.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
[ -f "$build/build.ninja" ] || cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build "$build" -j"$(nproc)" --target vrk vrk-cli vrk-sim vrk_packaging_files >&2
mkdir -p "$build/package"
rm -f "$build"/package/*.deb
if ! (cd "$build" && cpack -G DEB --config CPackConfig.cmake) >"$build/package/cpack.log" 2>&1; then
  cat "$build/package/cpack.log" >&2
  echo "package.sh: cpack failed" >&2
  exit 1
fi
debs=("$build"/package/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: expected one package in $build/package, found: ${debs[*]}" >&2
  exit 1
fi
echo "${debs[0]}"
