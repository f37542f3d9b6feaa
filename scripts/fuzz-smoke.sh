#!/usr/bin/env bash
# A short run of every fuzzer: builds them in build-fuzz/ (clang, libFuzzer,
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs each for a few
# seconds over a copy of its seed corpus (tests/fuzz/corpus/<name>/), so the
# committed corpus is never changed. Fails on the first crash, hang or
# sanitizer report, naming the input that did it.
#   scripts/fuzz-smoke.sh [SECONDS per fuzzer, default 4]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-4}
build=$here/build-fuzz
names=(registerbus inifile languages setpointfile recordingfile faults)

start=$(date +%s)
echo "== fuzzers: build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# malloc_context_size=0: Qt is built without frame pointers, so allocation
# stacks are partly garbage and every one is new; keeping them costs time
# and memory without end. Rerun a crashing input without it for those stacks.
export ASAN_OPTIONS="malloc_context_size=0:detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

failed=0
for name in "${names[@]}"; do
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  cp "$here/tests/fuzz/corpus/$name/"* "$work/$name/corpus/"
  if "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/$name/artifacts/" "$work/$name/corpus" >"$work/$name/log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name/log")
    echo "fuzz_$name: ok, $execs executions in ${seconds}s"
  else
    failed=1
    echo "fuzz_$name: FAILED" >&2
    tail -n 40 "$work/$name/log" >&2
    mkdir -p "$build/artifacts"
    for a in "$work/$name/artifacts/"*; do
      [ -e "$a" ] || continue
      cp "$a" "$build/artifacts/$name-$(basename "$a")"
      echo "input kept as $build/artifacts/$name-$(basename "$a")" >&2
    done
  fi
done
echo "== fuzzers: $(( $(date +%s) - start ))s for build and runs"
exit $failed
