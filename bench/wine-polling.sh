#!/usr/bin/env bash
# What polling a relay costs the processor under Wine: vrk-cli.exe watches
# vrk-sim on COM1 at 4800 bit/s (timed line) as fast as it can, and the
# processor time of its process and of the Wine server is read from /proc
# over the middle of the run. Prints figures; judges nothing.
#   bench/wine-polling.sh [OUT_DIR]   (the Windows build: build-windows/, made
#                                      and set up by scripts/check-windows.sh)
# VRK_BENCH_SECONDS sets the measured time (default 20).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(cd "${1:-$here/build-windows}" && pwd)
native=${VRK_NATIVE_BUILD:-$here/build}
seconds=${VRK_BENCH_SECONDS:-20}
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$out/bench-polling
rm -rf "$work" && mkdir -p "$work"
sim_pid=""
cli_pid=""
cleanup() { for p in $cli_pid $sim_pid; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

"$native/bin/vrk-sim" --link "$work/com1" --line-timing on >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
pts=$(head -n1 "$work/sim.out")
[ -c "$pts" ] || { echo "vrk-sim did not start: $(cat "$work/sim.out")" >&2; exit 1; }
wineserver -p >/dev/null 2>&1 || true
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$pts" /f >/dev/null 2>&1
ln -sfn "$pts" "$WINEPREFIX/dosdevices/com1"

# CPU ticks (user + system) of a process.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
# This prefix's Wine server (wineserver or wineserver64).
server=""
for p in $(pgrep '^wineserver' || true); do
  tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && server=$p
done
[ -n "$server" ] || { echo "no Wine server runs for $WINEPREFIX" >&2; exit 1; }

(cd "$work" && exec wine "$out/vrk/vrk-cli.exe" watch --port COM1 --baud 4800 --interval-ms 10 \
  --duration $((seconds + 6)) >"$work/watch.csv" 2>"$work/watch.err") &
cli_pid=$!
sleep 3
# The Windows program's own process (wine's loader keeps the pid it was started with).
proc=$(pgrep -n -f "^$out/vrk/vrk-cli.exe watch" || true)
[ -n "$proc" ] || { echo "vrk-cli.exe is not running: $(cat "$work/watch.err")" >&2; exit 1; }
rows0=$(wc -l <"$work/watch.csv")
p0=$(ticks "$proc")
s0=$(ticks "$server")
t0=$(date +%s.%N)
sleep "$seconds"
p1=$(ticks "$proc")
s1=$(ticks "$server")
t1=$(date +%s.%N)
rows1=$(wc -l <"$work/watch.csv")
wait "$cli_pid" 2>/dev/null || true
cli_pid=""
awk -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" -v n=$((rows1 - rows0)) 'BEGIN {
  t = t1 - t0
  printf "polling under Wine at 4800 bit/s: %d reads of 12 registers in %.1f s (%.1f per second)\n", n, t, n / t
  printf "  vrk-cli.exe: %.2f %% of a core\n", 100 * p / hz / t
  printf "  wineserver:  %.2f %% of a core\n", 100 * s / hz / t
}'
