#!/usr/bin/env bash
# The Windows build under Wine (Debian's wine, on a virtual X server):
#   1. the bundle's DLLs: every DLL that vrk.exe, a bundled DLL or plugin imports
#      is in the bundle or is one of Windows' own;
#   2. the Qt-Core test suites run as .exe under Wine and pass;
#   3. vrk.exe starts: the splash, then the main window with its title; it
#      writes vrk.ini and the three language files byte-identical to the ones
#      the Linux build writes; a screenshot goes to <out>/screens/;
#   4. the Win32 serial backend reads registers from vrk-sim on COM1
#      (tests/tst_serial_wine.cpp; the line settings are read back with stty);
#   5. vrk-cli.exe: --version, --help, and a read on COM1 that the ports file
#      in its working folder maps to COM5;
#   6. the installer: a silent install (/S), its files, Start-menu entries and
#      "Apps" entry, vrk.exe started from its shortcut writes its files into
#      %LOCALAPPDATA%\vrk, the uninstaller removes all but the user's files;
#   7. bench/wine-polling.sh: the processor time polling costs under Wine.
# Builds first (scripts/build-windows.sh). Wine's prefix lives in
# <out>/wineprefix, so nothing in the user's home changes.
#   scripts/check-windows.sh [OUT_DIR]      (default: build-windows/ in the checkout)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/build-windows}
native=${VRK_NATIVE_BUILD:-$here/build}
start=$(date +%s)

bash "$here/scripts/build-windows.sh" "$out"
out=$(cd "$out" && pwd)
qt=$out/toolchain/qt6.4.2-mingw64
bundle=$out/vrk
build=$out/build
[ -x "$native/bin/vrk" ] && [ -x "$native/bin/vrk-sim" ] || cmake --build "$native" -j2 --target vrk vrk-sim

failures=()
fail() { echo "FAILED: $*" >&2; failures+=("$*"); }
pass() { echo "ok: $*"; }

# ---- Wine, its prefix and a virtual X server
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winpath() { echo "Z:${1//\//\\}"; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (once)"
  # Without a display and with Mono and Gecko switched off nothing asks to
  # install them; wineboot's status is not telling (a 32-bit part may be missing).
  (unset DISPLAY; wineboot -i >/dev/null 2>&1) || true
  wineserver -w || true
  [ -f "$WINEPREFIX/system.reg" ] || { echo "Wine could not create its prefix in $WINEPREFIX" >&2; exit 1; }
fi
wineserver -p >/dev/null 2>&1   # one server for the whole check: each start saves seconds

xvfb_pid=""
sim_pid=""
vrk_pid=""
cleanup() {
  for p in $vrk_pid $sim_pid $xvfb_pid; do kill "$p" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# ---- 1. the bundle is complete
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|imm32|winmm|ws2_32|shlwapi|uxtheme|dwmapi|version|netapi32|userenv|mpr|setupapi|winspool\.drv|msvcrt|d3d9|d3d11|d3d12|dxgi|dwrite|d2d1|dcomp|wtsapi32|authz|ntdll|crypt32|bcrypt|secur32|iphlpapi|shcore|cfgmgr32|oleacc|usp10|opengl32)\.dll$'
bundle_ok=1
while IFS= read -r -d '' file; do
  while read -r dll; do
    lower=${dll,,}
    [[ $lower =~ $system_dlls ]] && continue
    [[ $lower == api-ms-win-* ]] && continue
    if [ ! -f "$bundle/$dll" ]; then
      fail "bundle: ${file#"$bundle"/} needs $dll, which is not in the bundle"
      bundle_ok=0
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$bundle" \( -name '*.exe' -o -name '*.dll' \) -print0)
for f in vrk.exe platforms/qwindows.dll translations/qtbase_pl.qm translations/qtbase_ru.qm; do
  [ -f "$bundle/$f" ] || { fail "bundle: $f missing"; bundle_ok=0; }
done
zip_list=$(unzip -l "$out/vrk-windows.zip")
grep -q ' vrk/vrk.exe$' <<<"$zip_list" && grep -q ' vrk/vrk-cli.exe$' <<<"$zip_list" || { fail "vrk-windows.zip holds no vrk/vrk.exe or vrk/vrk-cli.exe"; bundle_ok=0; }
[ $bundle_ok -eq 1 ] && pass "the bundle holds every DLL it needs"

# ---- 2. the Qt-Core suites under Wine (CTest runs them through wine)
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$(winpath "$qt/bin");$(winpath "$gcc_dir");$(winpath /usr/x86_64-w64-mingw32/lib)"
if (cd "$build" && ctest --output-on-failure -j2 --timeout 300); then
  pass "the Qt-Core suites pass under Wine: $(cd "$build" && ctest -N | sed -n 's/^Total Tests: //p') suites"
else
  fail "a Qt-Core suite failed under Wine"
fi
unset WINEPATH

# ---- 3. vrk.exe on a virtual X server
# VRK_WINE_DISPLAY=N takes display :N, else Xvfb picks a free one.
rm -f "$out/xvfb.display"
if [ -n "${VRK_WINE_DISPLAY:-}" ]; then
  Xvfb ":$VRK_WINE_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null &
  xvfb_pid=$!
  echo "$VRK_WINE_DISPLAY" >"$out/xvfb.display"
  sleep 1
else
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$out/xvfb.display" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$out/xvfb.display" ] && break; sleep 0.1; done
fi
export DISPLAY=:$(head -n1 "$out/xvfb.display")
echo "Xvfb on $DISPLAY"

# What the Linux build writes in an empty folder...
linux_run=$out/run-linux
rm -rf "$linux_run" && mkdir -p "$linux_run"
(cd "$linux_run" && exec env QT_QPA_PLATFORM=offscreen "$native/bin/vrk" >/dev/null 2>&1) &
linux_pid=$!
wine_run=$out/run-wine
rm -rf "$wine_run" && mkdir -p "$wine_run"
files=(vrk.ini pol.lng ang.lng rus.lng)
all_there() { local f; for f in "${files[@]}"; do [ -s "$1/$f" ] || return 1; done; }
for _ in $(seq 300); do all_there "$linux_run" && break; sleep 0.1; done
sleep 0.5
kill "$linux_pid" 2>/dev/null || true
wait "$linux_pid" 2>/dev/null || true

# ... and what vrk.exe writes, with its windows on the screen.
(cd "$wine_run" && exec wine "$bundle/vrk.exe" >"$out/vrk-wine.log" 2>&1) &
vrk_pid=$!
title="Przekaźnik statyczny nadprądowy VRK-...T8/230"
saw_splash=0
saw_main=0
for _ in $(seq 600); do
  windows=$(xwininfo -root -tree 2>/dev/null | grep -F '"' || true)
  # The splash: a window named "VRK" before the main window.
  if [ $saw_splash -eq 0 ] && grep -qF '"VRK": ("vrk.exe"' <<<"$windows"; then saw_splash=1; fi
  if grep -qF "\"$title\"" <<<"$windows"; then
    saw_main=1
    break
  fi
  kill -0 "$vrk_pid" 2>/dev/null || break
  sleep 0.1
done
if [ $saw_main -eq 1 ]; then
  pass "vrk.exe shows its main window \"$title\""
else
  fail "vrk.exe showed no main window (log: $out/vrk-wine.log)"
fi
if [ $saw_splash -eq 1 ]; then pass "vrk.exe showed its splash \"VRK\" before the main window"; else
  fail "vrk.exe showed no splash before the main window"; fi
for _ in $(seq 300); do all_there "$wine_run" && break; sleep 0.1; done
sleep 1
mkdir -p "$out/screens"
import -window root "$out/screens/vrk-wine.png" 2>/dev/null && echo "screenshot: $out/screens/vrk-wine.png"
for f in "${files[@]}"; do
  if [ ! -f "$linux_run/$f" ]; then
    fail "the Linux build wrote no $f"
  elif [ ! -f "$wine_run/$f" ]; then
    fail "vrk.exe wrote no $f"
  elif cmp -s "$linux_run/$f" "$wine_run/$f"; then
    pass "$f from vrk.exe is byte-identical to the Linux build's ($(stat -c %s "$wine_run/$f") bytes)"
  else
    fail "$f from vrk.exe differs from the Linux build's"
    cmp "$linux_run/$f" "$wine_run/$f" || true
  fi
done
kill "$vrk_pid" 2>/dev/null || true
wait "$vrk_pid" 2>/dev/null || true
vrk_pid=""
wineserver -k 2>/dev/null || true   # ends vrk.exe's Windows process too
wineserver -p >/dev/null 2>&1

# ---- 4. the Win32 serial backend against the simulator on COM1
serial=$out/wine-serial
rm -rf "$serial" && mkdir -p "$serial/handshake"
"$native/bin/vrk-sim" --link "$serial/com1" --log "$serial/vrk-sim.log" --baud 9600 --parity even --stop-bits 2 \
  --command "noreply next 1" --command "badcrc next 1" >"$serial/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$serial/sim.out" ] && break; sleep 0.1; done
pts=$(head -n1 "$serial/sim.out")
if [ ! -c "$pts" ]; then
  fail "vrk-sim did not start: $(cat "$serial/sim.out")"
else
  # Wine's mount manager makes dosdevices/comN from its registry (else from
  # /dev/ttyS*) whenever it starts: the registry entry keeps COM1 on the terminal.
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$pts" /f >/dev/null 2>&1
  ln -sfn "$pts" "$WINEPREFIX/dosdevices/com1"
  echo "COM1 of the Wine prefix is $pts"
  (
    # Answers the test's "open": the line settings the device control block
    # set. A pseudo-terminal keeps no parity and no data bits (Linux forces
    # 8 bits, no parity), so speed, stop bits and flow control are compared.
    for _ in $(seq 400); do [ -f "$serial/handshake/open" ] && break; sleep 0.05; done
    settings=$(stty -F "$pts" -a 2>&1 || true)
    answer=ok
    for want in "speed 9600 baud" " cstopb" " -crtscts" " -ixon" " -ixoff"; do
      grep -qF -- "$want" <<<" $settings" || answer="missing '$want' in: $settings"
    done
    echo "$answer" >"$serial/handshake/checked.tmp"
    mv "$serial/handshake/checked.tmp" "$serial/handshake/checked"
  ) &
  answer_pid=$!
  VRK_SIM_LOG="$serial/vrk-sim.log" VRK_WINE_HANDSHAKE="$serial/handshake" \
    WINEPATH="$(winpath "$qt/bin");$(winpath "$gcc_dir");$(winpath /usr/x86_64-w64-mingw32/lib)" \
    timeout 120 "$here/scripts/wine-run.sh" "$build/bin/tst_serial_wine.exe" >"$serial/test.out" 2>&1 || true
  grep -E '^(PASS|FAIL|SKIP|QWARN|Totals|   Loc|   Actual|   Expected)' "$serial/test.out" || cat "$serial/test.out"
  wait "$answer_pid" 2>/dev/null || true
  link=$(readlink "$WINEPREFIX/dosdevices/com1" || true)
  [ "$link" = "$pts" ] || fail "COM1 of the Wine prefix went to $link instead of $pts"
  if grep -q '^Totals: .* 0 failed' "$serial/test.out"; then
    pass "the Win32 serial backend read registers 1-12 from vrk-sim under Wine"
  else
    fail "the Win32 serial backend under Wine (output: $serial/test.out, log: $serial/vrk-sim.log)"
  fi
fi

# ---- 5. vrk-cli.exe: its version, its help, and a read on COM1 that the
# ports file of its working folder maps to COM5 (the simulator's terminal)
cli_run=$out/wine-cli
rm -rf "$cli_run" && mkdir -p "$cli_run"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
v=$("$here/scripts/wine-run.sh" "$bundle/vrk-cli.exe" --version 2>&1 | tr -d '\r' || true)
[ "$v" = "vrk-cli $version" ] && pass "vrk-cli.exe --version: $v" || fail "vrk-cli.exe --version says '$v'"
if "$here/scripts/wine-run.sh" "$bundle/vrk-cli.exe" --help >"$cli_run/help.out" 2>&1 && grep -q -- '--version' "$cli_run/help.out"; then
  pass "vrk-cli.exe --help"
else
  fail "vrk-cli.exe --help: $(head -n 3 "$cli_run/help.out")"
fi
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
# A fresh simulator: Wine sets a pseudo-terminal's line settings only on its
# first open after the simulator started (tcsetattr fails with EINVAL later).
"$native/bin/vrk-sim" --link "$cli_run/com5" --baud 9600 --parity even --stop-bits 2 >"$cli_run/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$cli_run/sim.out" ] && break; sleep 0.1; done
pts=$(head -n1 "$cli_run/sim.out")
if [ ! -c "$pts" ]; then
  fail "vrk-sim did not start for vrk-cli.exe: $(cat "$cli_run/sim.out")"
else
  wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /t REG_SZ /d "$pts" /f >/dev/null 2>&1
  ln -sfn "$pts" "$WINEPREFIX/dosdevices/com5"
  printf 'COM1=COM5\r\n' >"$cli_run/ports"
  status=0
  # The line options before the command, as scripts give them.
  (cd "$cli_run" && timeout 60 "$here/scripts/wine-run.sh" "$bundle/vrk-cli.exe" --port COM1 --baud 9600 \
    --parity even --stop-bits 2 read --json) >"$cli_run/read.out" 2>&1 || status=$?
  if [ $status -eq 0 ] && grep -q '"fault_word"' "$cli_run/read.out" && grep -q '"variant": 2' "$cli_run/read.out"; then
    pass "vrk-cli.exe read the relay on COM1, mapped to COM5 by the ports file"
  else
    fail "vrk-cli.exe read on COM1 mapped to COM5 (status $status): $(head -c 600 "$cli_run/read.out")"
  fi
  ls "$cli_run" | grep -qix 'vrk.ini' && fail "vrk-cli.exe wrote vrk.ini"
fi
kill "$sim_pid" 2>/dev/null || true
wait "$sim_pid" 2>/dev/null || true
sim_pid=""
wineserver -k 2>/dev/null || true
wineserver -p >/dev/null 2>&1

# ---- 6. the installer: a silent install, its entries, the program started
# from its Start-menu shortcut in the user's own folder, the uninstaller
setup=$(ls "$out"/vrk-*-setup.exe 2>/dev/null | head -n 1)
drive_c=$WINEPREFIX/drive_c
instdir="$drive_c/Program Files/VRK"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VRK"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VRK'
userdir=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r' | tail -n 1)
userdir=$(winepath -u "$userdir" 2>/dev/null)/vrk
if [ -z "$setup" ]; then
  fail "no installer vrk-*-setup.exe in $out"
else
  rm -rf "$userdir" "$instdir"
  timeout 120 wine "$setup" /S >"$out/setup.log" 2>&1 || fail "the installer ended with an error ($out/setup.log)"
  for _ in $(seq 100); do [ -f "$instdir/uninstall.exe" ] && break; sleep 0.2; done
  for f in vrk.exe vrk-cli.exe uninstall.exe Qt6Core.dll platforms/qwindows.dll README.txt; do
    [ -f "$instdir/$f" ] || fail "installed: no $f in Program Files/VRK"
  done
  [ -f "$instdir/vrk.exe" ] && pass "the installer put vrk.exe, vrk-cli.exe and their files into Program Files\\VRK"
  for f in "VRK.lnk" "VRK manual.lnk" "Uninstall VRK.lnk"; do
    [ -f "$menu/$f" ] && pass "Start menu: $f" || fail "Start menu: no $f"
  done
  [ -f "$drive_c/users/Public/Desktop/VRK.lnk" ] && pass "desktop shortcut" || fail "no desktop shortcut"
  uninstall=$(wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  [[ "$uninstall" == *'uninstall.exe"' ]] && pass "registered in Apps: $uninstall" || fail "no uninstall entry under $key"
  shown=$(wine reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  [ "$shown" = "$version" ] && pass "Apps shows version $shown" || fail "Apps shows version '$shown', expected $version"

  # The Start-menu shortcut starts vrk.exe in %LOCALAPPDATA%\vrk.
  wine start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\VRK\VRK.lnk' >"$out/shortcut.log" 2>&1 &
  start_pid=$!
  for _ in $(seq 300); do all_there "$userdir" && break; sleep 0.1; done
  if all_there "$userdir"; then
    pass "the shortcut started vrk.exe in the user's folder, which got vrk.ini and the language files"
  else
    fail "started from its shortcut, vrk.exe wrote no files into $userdir ($(ls -A "$userdir" 2>&1 | tr '\n' ' '))"
  fi
  sleep 1
  import -window root "$out/screens/vrk-installed.png" 2>/dev/null && echo "screenshot: $out/screens/vrk-installed.png"
  ls "$instdir" | grep -qix 'vrk.ini' && fail "vrk.exe wrote vrk.ini into Program Files" || pass "nothing written into Program Files"
  wait "$start_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wineserver -p >/dev/null 2>&1
  echo "COM1=COM7" >"$userdir/ports"

  # The uninstaller removes everything but the user's files.
  timeout 120 wine "$instdir/uninstall.exe" /S >"$out/uninstall.log" 2>&1 || true
  # The uninstaller runs on from a copy of itself: wait for all it removes.
  for _ in $(seq 150); do
    [ ! -e "$instdir" ] && [ ! -e "$menu" ] && [ ! -e "$drive_c/users/Public/Desktop/VRK.lnk" ] && break
    sleep 0.2
  done
  if [ ! -e "$instdir" ]; then pass "the uninstaller removed Program Files\\VRK"; else
    fail "left in Program Files/VRK: $(cd "$instdir" && find . | head -n 10 | tr '\n' ' ')"; fi
  [ ! -e "$menu" ] && [ ! -e "$drive_c/users/Public/Desktop/VRK.lnk" ] && pass "the uninstaller removed the shortcuts" ||
    fail "shortcuts left after the uninstall"
  wine reg query "$key" >/dev/null 2>&1 && fail "the Apps entry is left after the uninstall" ||
    pass "the Apps entry is gone"
  if all_there "$userdir" && [ -f "$userdir/ports" ]; then pass "the user's files stay: $(ls "$userdir" | tr '\n' ' ')"; else
    fail "the uninstaller removed the user's files in $userdir"; fi
fi

# ---- 7. what polling costs (a figure, printed by the bench)
bash "$here/bench/wine-polling.sh" "$out" || fail "the polling bench under Wine did not run"

echo "Windows checks took $(( $(date +%s) - start )) s (with the build)"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failures[@]}" >&2
  exit 1
fi
echo "All Windows checks passed."
