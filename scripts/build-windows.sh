#!/usr/bin/env bash
# Cross-builds vrk.exe and the test suites that need only Qt Core and Qt Test
# for 64-bit Windows with the MinGW-w64 Qt, then bundles a runnable folder and
# a zip of it:
#   <out>/vrk/              vrk.exe, vrk-cli.exe, Qt's DLLs and plugins (stripped),
#                           the MinGW runtime, libjpeg, Qt's own translations in
#                           translations/, the manual (README.md)
#   <out>/vrk-windows.zip   that folder
#   <out>/vrk-<version>-setup.exe   the installer (makensis, packaging/windows/vrk.nsi)
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
cp "$build/bin/vrk.exe" "$build/bin/vrk-cli.exe" "$bundle/"
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
# No symbols in what ships: the programs, Qt's DLLs and plugins, the runtime.
find "$bundle" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# The icon for the installer, the manual for the Start menu (Notepad reads CR LF).
cp "$build/app/icons/vrk.ico" "$bundle/"
sed 's/$/\r/' "$here/README.md" >"$bundle/README.txt"

rm -f "$out/vrk-windows.zip"
(cd "$out" && zip -qr -X vrk-windows.zip vrk)
echo "Built $out/vrk-windows.zip ($(du -k "$out/vrk-windows.zip" | cut -f1) KiB) from $bundle"

# ---- the installer (Debian's nsis): the version from the one place in CMake
if ! command -v makensis >/dev/null 2>&1; then
  echo "makensis is missing: run scripts/install-deps.sh windows (nsis)." >&2
  exit 1
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "No project version in $build/CMakeCache.txt" >&2; exit 1; }
# What the installer copies and the uninstaller removes: the bundle, file by file.
files_nsh=$out/installer-files.nsh
{
  echo '!macro VRK_INSTALL_FILES'
  (cd "$bundle" && find . -mindepth 1 -type d | sort) | while read -r d; do
    d=${d#./}
    echo "  SetOutPath \"\$INSTDIR\\${d//\//\\}\""
    (cd "$bundle/$d" && find . -maxdepth 1 -type f | sort) | while read -r f; do
      echo "  File \"$bundle/$d/${f#./}\""
    done
  done
  echo '  SetOutPath "$INSTDIR"'
  (cd "$bundle" && find . -maxdepth 1 -type f | sort) | while read -r f; do echo "  File \"$bundle/${f#./}\""; done
  echo '!macroend'
  echo '!macro VRK_UNINSTALL_FILES'
  (cd "$bundle" && find . -type f | sort) | while read -r f; do
    f=${f#./}
    echo "  Delete \"\$INSTDIR\\${f//\//\\}\""
  done
  (cd "$bundle" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
    d=${d#./}
    echo "  RMDir \"\$INSTDIR\\${d//\//\\}\""
  done
  echo '!macroend'
  echo "!define SIZE_KB $(du -sk "$bundle" | cut -f1)"
} >"$files_nsh"
setup=$out/vrk-$version-setup.exe
rm -f "$out"/vrk-*-setup.exe
makensis -V2 -DVERSION="$version" -DBUNDLE="$bundle" -DFILES="$files_nsh" -DOUTFILE="$setup" \
  "$here/packaging/windows/vrk.nsi"
echo "Built $setup ($(du -k "$setup" | cut -f1) KiB)"
