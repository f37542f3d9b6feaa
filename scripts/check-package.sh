#!/usr/bin/env bash
# Builds the Debian package from the normal build tree (scripts/package.sh)
# and checks it: its control fields and dependencies, the files it holds,
# the programs run from a temporary root unpacked with dpkg -x (vrk started
# offscreen in an empty folder writes its files there; the desktop launcher
# runs it in the user's folder), the desktop entry, the icons, the manual
# pages, and lintian, which must report no error. Prints lintian's tags and
# the package's size.
#   scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
ok() { echo "ok: $*"; }

echo "== package: build"
deb=$(bash "$here/scripts/package.sh" "$build" | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
mapfile -t programs <"$build/packaging/programs.txt"
mapfile -t translations < <(grep -v '^$' "$build/packaging/translations.txt" || true)
[ "$(basename "$deb")" = "vrk_${version}_amd64.deb" ] && ok "file name $(basename "$deb")" ||
  fail "package file $(basename "$deb"), expected vrk_${version}_amd64.deb"

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

echo "== package: control fields"
dpkg-deb --info "$deb"
field() { dpkg-deb --field "$deb" "$1"; }
for pair in "Package=vrk" "Version=$version" "Architecture=amd64" "Section=electronics" "Priority=optional"; do
  [ "$(field "${pair%%=*}")" = "${pair#*=}" ] && ok "$pair" || fail "${pair%%=*} is '$(field "${pair%%=*}")', expected '${pair#*=}'"
done
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] && ok "Maintainer $(field Maintainer)" ||
  fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ -n "$(field Description)" ] || fail "no Description"
# dpkg-shlibdeps: the libraries the programs link, with their minimum versions.
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo libmodbus5; do
  printf '%s\n' "$depends" | tr ',' '\n' | awk -v want="$lib (>= " '{ sub(/^ +/, "") } index($0, want) == 1 { found = 1 } END { exit !found }' &&
    ok "depends on $lib" || fail "Depends lacks '$lib (>= ...)': $depends"
done
# Every dependency is a package this Debian release knows.
if apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1; then
  ok "apt resolves the dependencies"
else
  cat "$work/apt.log" >&2
  fail "apt cannot resolve the package's dependencies"
fi

echo "== package: contents"
dpkg-deb --contents "$deb" | tee "$work/contents" | awk '{print $1, $2, $6}'
expected=(
  ./usr/libexec/vrk/vrk-desktop
  ./usr/share/applications/vrk.desktop
  ./usr/share/doc/vrk/copyright
  ./usr/share/doc/vrk/changelog.gz
  ./usr/share/doc/vrk/README.md
  ./usr/share/man/man1/vrk.1.gz
  ./usr/share/man/man1/vrk-sim.1.gz
)
for p in "${programs[@]}"; do expected+=("./usr/bin/$p"); done
for p in vrk vrk-sim; do [[ " ${programs[*]} " == *" $p "* ]] || fail "the build installs no $p"; done
[ -f "$here/packaging/man/vrk-cli.1" ] && expected+=(./usr/share/man/man1/vrk-cli.1.gz)
sizes=(16 22 24 32 48 64 128 256)
for s in "${sizes[@]}"; do expected+=("./usr/share/icons/hicolor/${s}x${s}/apps/vrk.png"); done
for q in "${translations[@]}"; do expected+=("./usr/share/vrk/translations/$q"); done
for f in "${expected[@]}"; do
  grep -q " $f\$" "$work/contents" && ok "holds $f" || fail "the package lacks $f"
done
awk '$2 != "root/root" {print $6}' "$work/contents" | grep . && fail "files not owned by root/root"
for f in ./usr/libexec/vrk/vrk-desktop $(printf './usr/bin/%s ' "${programs[@]}"); do
  awk -v f="$f" '$6 == f {print $1}' "$work/contents" | grep -qx -- '-rwxr-xr-x' || fail "$f is not mode 755"
done
built_qm=$(find "$build" -name '*.qm' -not -path "$build/_CPack_Packages/*" | wc -l)
if [ ${#translations[@]} -eq 0 ] && [ "$built_qm" -gt 0 ]; then
  echo "note: the build makes $built_qm .qm files and none is installed (compiled in as resources, or VRK_QM_FILES is not set)"
fi

echo "== package: run from a temporary root (dpkg -x)"
root=$work/root
dpkg -x "$deb" "$root"
unset LD_LIBRARY_PATH
for p in "${programs[@]}"; do
  ldd "$root/usr/bin/$p" | grep 'not found' && fail "$p misses libraries"
  readelf -d "$root/usr/bin/$p" | grep -E 'RPATH|RUNPATH' && fail "$p carries a library path"
  if "$root/usr/bin/$p" --help >"$work/help" 2>&1 && grep -q -- '--version' "$work/help"; then
    ok "$p --help"
  else
    fail "$p --help: $(head -n 3 "$work/help")"
  fi
  v=$("$root/usr/bin/$p" --version 2>&1 || true)
  [ "$v" = "$p $version" ] && ok "$p --version: $v" || fail "$p --version says '$v', expected '$p $version'"
done
# vrk answers --help and --version without a display and writes nothing.
mkdir -p "$work/quiet"
(cd "$work/quiet" && env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vrk" --version && env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vrk" --help) >/dev/null 2>&1 ||
  fail "vrk --version or --help failed without a display"
[ -z "$(ls -A "$work/quiet")" ] && ok "vrk --help and --version wrote no file" || fail "vrk --help/--version wrote: $(ls -A "$work/quiet")"

# One port setting for every way of starting: vrk-cli in a folder whose ports
# file names a missing device tries that device, not /dev/ttyS0.
mkdir -p "$work/portsdir"
printf 'COM1=/nonexistent/ttyVRKports\n' >"$work/portsdir/ports"
err=$(cd "$work/portsdir" && env -u VRK_COM1 "$root/usr/bin/vrk-cli" read --port COM1 2>&1 || true)
grep -q '/nonexistent/ttyVRKports' <<<"$err" && ok "vrk-cli opens the device the ports file names" ||
  fail "vrk-cli ignored the ports file: $err"

# Starts a program in the background, waits until the files appear in the
# folder (at most 15 s), then checks it still runs and ends it.
files_written() { for f in vrk.ini pol.lng ang.lng rus.lng; do [ -s "$1/$f" ] || return 1; done; }
start_and_check() { # what, folder to start in, folder the files must land in, command...
  local what=$1 start=$2 folder=$3
  shift 3
  (cd "$start" && QT_QPA_PLATFORM=offscreen exec "$@") >"$work/run.log" 2>&1 &
  local pid=$!
  pids+=("$pid")
  for _ in $(seq 150); do files_written "$folder" && break; sleep 0.1; done
  if files_written "$folder"; then
    ok "$what wrote vrk.ini and the language files into $folder"
  else
    fail "$what wrote no vrk.ini and .lng files into $folder: $(ls -A "$folder" 2>&1 | tr '\n' ' ')"
    cat "$work/run.log" >&2
  fi
  kill -0 "$pid" 2>/dev/null && ok "$what still runs" || fail "$what ended early: $(cat "$work/run.log")"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
mkdir -p "$work/empty"
start_and_check "vrk" "$work/empty" "$work/empty" "$root/usr/bin/vrk"

# The desktop launcher: started anywhere, vrk runs in ~/.local/share/vrk.
mkdir -p "$work/home" "$work/elsewhere"
start_and_check "vrk from the launcher" "$work/elsewhere" "$work/home/.local/share/vrk" \
  env -u XDG_DATA_HOME HOME="$work/home" "$root/usr/libexec/vrk/vrk-desktop"
[ -z "$(ls -A "$work/elsewhere")" ] && ok "nothing written where the launcher was started" ||
  fail "the launcher left files in its starting folder: $(ls -A "$work/elsewhere")"

# The launcher's folder choice and ports file, with a stand-in program that
# reports its working folder and ports.
fake=$work/fake
mkdir -p "$fake/libexec/vrk" "$fake/bin"
cp "$root/usr/libexec/vrk/vrk-desktop" "$fake/libexec/vrk/"
printf '#!/bin/sh\necho "dir=$(pwd) com1=${VRK_COM1:-} com2=${VRK_COM2:-}"\n' >"$fake/bin/vrk"
chmod +x "$fake/bin/vrk"
launch() { (cd "$work/elsewhere" && env -u VRK_COM1 -u VRK_COM2 -u XDG_DATA_HOME "$@" "$fake/libexec/vrk/vrk-desktop"); }
check_launch() { # name, expected output, env assignments...
  local name=$1 want=$2
  shift 2
  local got
  got=$(launch "$@" 2>&1) || true
  [ "$got" = "$want" ] && ok "launcher: $name" || fail "launcher: $name: '$got', expected '$want'"
}
h=$work/h1
check_launch "first start creates the folder" "dir=$h/.local/share/vrk com1= com2=" HOME="$h"
check_launch "XDG_DATA_HOME" "dir=$work/xdg/vrk com1= com2=" HOME="$h" XDG_DATA_HOME="$work/xdg"
check_launch "a relative XDG_DATA_HOME is ignored" "dir=$h/.local/share/vrk com1= com2=" HOME="$h" XDG_DATA_HOME=rel
printf 'COM1=/dev/ttyUSB7\r\n# a comment\nCOM2=relative\nCOM2=/dev/serial/by-id/usb-x' >"$h/.local/share/vrk/ports"
check_launch "ports file" "dir=$h/.local/share/vrk com1=/dev/ttyUSB7 com2=/dev/serial/by-id/usb-x" HOME="$h"
check_launch "the environment wins over the ports file" \
  "dir=$h/.local/share/vrk com1=/dev/ttyS4 com2=/dev/serial/by-id/usb-x" HOME="$h" VRK_COM1=/dev/ttyS4

echo "== package: desktop entry, icons, manual pages, changelog"
desktop=$root/usr/share/applications/vrk.desktop
desktop-file-validate "$desktop" && ok "desktop-file-validate" || fail "desktop-file-validate"
exec_path=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$root$exec_path" ] && ok "Exec=$exec_path is in the package" || fail "Exec=$exec_path is not in the package"
grep -qx 'Icon=vrk' "$desktop" || fail "the desktop entry's icon is not vrk"
for s in "${sizes[@]}"; do
  png=$root/usr/share/icons/hicolor/${s}x${s}/apps/vrk.png
  # PNG: signature, then the IHDR chunk with width and height (big-endian) at byte 16.
  dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}')
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] && [ "$dims" = "${s}x${s}" ] &&
    ok "icon ${s}x${s}" || fail "icon ${s}x${s} is '$dims'"
done
for page in "$root"/usr/share/man/man*/*.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null || echo "man failed")
  [ -z "$warnings" ] && ok "man $(basename "$page")" || fail "man $(basename "$page"): $warnings"
  zcat "$page" | grep -q '@[A-Z_]*@' && fail "$(basename "$page") has an unreplaced @VARIABLE@"
done
zcat "$root/usr/share/man/man1/vrk.1.gz" | grep -q dialout && ok "vrk(1) tells about dialout" || fail "vrk(1) does not name dialout"
head_line=$(zcat "$root/usr/share/doc/vrk/changelog.gz" | head -n 1)
[[ "$head_line" == "vrk ($version) "* ]] && ok "changelog: $head_line" ||
  fail "the changelog's latest entry '$head_line' is not version $version (packaging/changelog)"

echo "== package: lintian"
lintian --tag-display-limit 0 --display-info "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
grep -q '^E: ' "$work/lintian" && fail "lintian reports errors"
grep -qi 'internal error\|^Cannot\|^Unknown' "$work/lintian" && fail "lintian did not run"
echo "lintian: $(grep -c '^E: ' "$work/lintian") errors, $(grep -c '^W: ' "$work/lintian") warnings, $(grep -c '^I: ' "$work/lintian") notes"

echo "== package: $(basename "$deb"): $(( $(stat -c %s "$deb") / 1024 )) KiB, $(field Installed-Size) KiB installed"
if [ $failures -ne 0 ]; then
  echo "package check: $failures FAILED" >&2
  exit 1
fi
echo "package check: passed"
