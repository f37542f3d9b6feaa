#!/usr/bin/env bash
# Cross-builds vrk.exe and the test suites that need only Qt Core and Qt Test
# for 64-bit Windows with the MinGW-w64 Qt, then bundles a runnable folder and
# a zip of it:
#   <out>/vrk/              vrk.exe, Qt's DLLs and plugins, the MinGW runtime,
#                           libjpeg, Qt's own translations in translations/
#   <out>/vrk-windows.zip   that folder
#   scripts/build-windows.sh [OUT_DIR]      (default: build-windows/ in the checkout)
# The Qt for Windows comes as an archive beside the checkout:
#   ../shared/toolchains/qt6.4.2-mingw64.tar.xz
# VRK_TOOLCHAINS names another folder holding it. It is unpacked into
# <out>/toolchain/. The build-time drawing tools (mkpictures, mkicon) run from
# the native build in build/ (VRK_NATIVE_BUILD), built here when missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build-windows}
mkdir -p "$out"
out=$(cd "$out" && pwd)
qt_name=qt6.4.2-mingw64
native=${VRK_NATIVE_BUILD:-$here/build}
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1

# ---- the toolchain
toolchains=${VRK_TOOLCHAINS:-$here/../shared/toolchains}
archive=$toolchains/$qt_name.tar.xz
if [ ! -f "$archive" ] && [ -z "${VRK_TOOLCHAINS:-}" ] && [ -f "/work/shared/toolchains/$qt_name.tar.xz" ]; then
  archive=/work/shared/toolchains/$qt_name.tar.xz   # a worktree outside the usual layout
fi
if [ ! -f "$archive" ]; then
  echo "The Qt for Windows is missing: $archive (set VRK_TOOLCHAINS to the folder holding $qt_name.tar.xz)." >&2
  exit 1
fi
for tool in x86_64-w64-mingw32-g++-posix /usr/lib/qt6/libexec/moc; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is missing: run scripts/install-deps.sh (g++-mingw-w64-x86-64-posix, qt6-base-dev-tools)." >&2
    exit 1
  fi
done
qt=$out/toolchain/$qt_name
stamp=$out/toolchain/.unpacked
archive_id="$(stat -c '%s %Y' "$archive") $archive"
if [ ! -x "$qt/bin/qt-cmake" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$archive_id" ]; then
  echo "Unpacking $archive"
  rm -rf "$out/toolchain"
  mkdir -p "$out/toolchain"
  tar xJf "$archive" -C "$out/toolchain"
  echo "$archive_id" >"$stamp"
fi

# ---- the native drawing tools
if [ ! -x "$native/app/mkpictures" ] || [ ! -x "$native/app/mkicon" ]; then
  [ -f "$native/build.ninja" ] || cmake -S "$here" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$native" -j2 --target mkpictures mkicon

# ---- the cross build
build=$out/build
# CTest runs the .exe suites through Wine (scripts/check-windows.sh sets Wine up).
"$qt/bin/qt-cmake" -G Ninja -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DVRK_HOST_TOOLS_DIR="$native/app" -DCMAKE_CROSSCOMPILING_EMULATOR="$here/scripts/wine-run.sh" >/dev/null
cmake --build "$build" -j2

# ---- the runnable folder
bundle=$out/vrk
rm -rf "$bundle"
mkdir -p "$bundle/platforms" "$bundle/styles" "$bundle/translations"
cp "$build/bin/vrk.exe" "$bundle/"
for dll in Qt6Core Qt6Gui Qt6Widgets; do cp "$qt/bin/$dll.dll" "$bundle/"; done
cp "$qt/bin/libjpeg-62.dll" "$bundle/"
cp "$qt/plugins/platforms/qwindows.dll" "$bundle/platforms/"
cp "$qt/plugins/styles/"*.dll "$bundle/styles/"
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do cp "$gcc_dir/$dll" "$bundle/"; done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$bundle/"
# Qt's own texts (its dialogs and standard buttons); the program's own
# translations are built into vrk.exe.
for lang in pl ru; do
  cp "/usr/share/qt6/translations/qtbase_$lang.qm" "$bundle/translations/"
done
x86_64-w64-mingw32-strip "$bundle/vrk.exe"

rm -f "$out/vrk-windows.zip"
(cd "$out" && zip -qr -X vrk-windows.zip vrk)
echo "Built $out/vrk-windows.zip ($(du -k "$out/vrk-windows.zip" | cut -f1) KiB) from $bundle"
