#!/usr/bin/env bash
# What vrk-cli takes end to end against vrk-sim with line timing at 4800 bit/s
# 8N1: `read` (the process started, the port opened, the measurements and the
# variant read, the output printed) and `scan` of addresses 1-247 with the
# relay at 247, the worst case. Prints figures; judges nothing.
#   bench/cli-timing.sh [BUILD_DIR]   (default build/)
# VRK_BENCH_READS sets how many reads are timed (default 20).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
reads=${VRK_BENCH_READS:-20}
work=$(mktemp -d)
sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

start_sim() { # address
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
  rm -f "$work/sim.out"
  "$build/bin/vrk-sim" --link "$work/com1" --address "$1" --line-timing on >"$work/sim.out" 2>&1 &
  sim_pid=$!
  for _ in $(seq 100); do [ -e "$work/com1" ] && [ -s "$work/sim.out" ] && return; sleep 0.1; done
  echo "vrk-sim did not start: $(cat "$work/sim.out")" >&2
  exit 1
}
ms() { date +%s%N | cut -c1-13; }

cd "$work"
start_sim 3
best=999999 worst=0 total=0
for _ in $(seq "$reads"); do
  t0=$(ms)
  "$build/bin/vrk-cli" read --port "$work/com1" --baud 4800 >/dev/null
  t=$(( $(ms) - t0 ))
  total=$((total + t)); (( t < best )) && best=$t; (( t > worst )) && worst=$t
done
echo "read end to end at 4800 8N1: mean $((total / reads)) ms, best $best ms, worst $worst ms ($reads runs)"

start_sim 247
t0=$(ms)
"$build/bin/vrk-cli" scan --port "$work/com1" --baud 4800 >"$work/scan.out"
t=$(( $(ms) - t0 ))
echo "scan 1-247 at 4800 8N1: $t ms ($(wc -l <"$work/scan.out") relay found: $(cat "$work/scan.out"))"
