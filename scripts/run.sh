#!/usr/bin/env bash
# Builds the program and runs it in run/ under the checkout.
#   scripts/run.sh              - against the relay simulator, linked as COM1
#   scripts/run.sh /dev/ttyUSB0 - against a real relay on that device (COM1)
#   scripts/run.sh --network tcp|rtu - against the simulator served on loopback as Modbus TCP or
#                                 as RTU over TCP, COM1 mapped to it
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh" run
# Only the program and the simulator, not the test suites.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
[ -f "$here/build/build.ninja" ] || cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$here/build" -j"$(nproc)" --target vrk vrk-sim
mkdir -p "$here/run"
cd "$here/run"

sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true; }
trap cleanup EXIT INT TERM

if [ "${1:-}" = "--network" ]; then
  case "${2:-}" in
    tcp) served=(--tcp 0); kind=modbus-tcp; scheme=tcp ;;
    rtu) served=(--rtu-tcp 0); kind=rtu-tcp; scheme=rtu+tcp ;;
    *) echo "usage: scripts/run.sh --network tcp|rtu" >&2; exit 2 ;;
  esac
  "$here/build/bin/vrk-sim" --log "$here/run/vrk-sim.log" --control "$here/run/vrk-sim.ctl" "${served[@]}" --end-with-parent $$ \
    >"$here/run/vrk-sim.out" &
  sim_pid=$!
  address=""
  for _ in $(seq 50); do
    address=$(sed -n "s/^$kind //p" "$here/run/vrk-sim.out" 2>/dev/null || true)
    [ -n "$address" ] && break
    sleep 0.1
  done
  [ -n "$address" ] || { echo "The simulator did not start." >&2; exit 1; }
  export VRK_COM1="$scheme://$address"
  echo "Relay simulator at $VRK_COM1 (COM1, address 3): press connect."
elif [ $# -ge 1 ]; then
  export VRK_COM1="$1"
  echo "Relay on $VRK_COM1 (COM1 in the settings)."
else
  # A relay on a line as it really is: requests and replies take their time on the wire.
  "$here/build/bin/vrk-sim" --link "$here/run/com1" --log "$here/run/vrk-sim.log" --control "$here/run/vrk-sim.ctl" \
    --line-timing on --end-with-parent $$ >/dev/null &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$here/run/com1" ] && break; sleep 0.1; done
  export VRK_COM1="$here/run/com1"
  echo "Relay simulator on $VRK_COM1 (COM1, address 3, 4800 bit/s 8N1, timed line): press connect."
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running on a virtual X server (xvfb-run)." >&2
  xvfb-run -a -s "-screen 0 1024x768x24" "$here/build/bin/vrk"
else
  "$here/build/bin/vrk"
fi
