#!/usr/bin/env bash
# Installs what is missing, builds everything twice (as usual, and with
# AddressSanitizer + UndefinedBehaviorSanitizer), runs the fuzzers briefly,
# then runs every test in both builds. The last lines are CTest's summary.
#   scripts/test.sh           the whole check, as CI runs it
#   scripts/test.sh --quick   the normal build and its suite only (a developer's loop)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
quick=0
[ "${1:-}" = "--quick" ] && quick=1

# The compiler cache (when installed) serves every clone and tree alike.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1

phase_start=$(date +%s)
all_start=$phase_start
times=()
phase() { # phase NAME: closes the phase before and names the next
  local now
  now=$(date +%s)
  [ -n "${current_phase:-}" ] && times+=("$(printf '%-44s %4d s' "$current_phase" $((now - phase_start)))")
  current_phase=$1
  phase_start=$now
  [ -n "$1" ] && echo "== $1"
  return 0
}
report_times() {
  phase ""
  echo "== phase times"
  printf '  %s\n' "${times[@]}"
  echo "  $(printf '%-44s %4d s' total $(($(date +%s) - all_start)))"
}

phase "install missing packages"
bash "$here/scripts/install-deps.sh" $([ $quick -eq 1 ] && echo test || echo all)

phase "layout of the sources (clang-format)"
format_status=0
bash "$here/scripts/check-format.sh" || format_status=$?

phase "build"
bash "$here/scripts/build.sh" "$here/build"

if [ $quick -eq 1 ]; then
  phase "tests"
  status=0
  (cd "$here/build" && ctest --output-on-failure -j2) || status=$?
  report_times
  [ $status -eq 0 ] && [ $format_status -eq 0 ] && exit 0
  exit 1
fi

phase "build with sanitizers"
bash "$here/scripts/build.sh" "$here/build-asan" -DVRK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug

if [ -f "$here/scripts/fuzz-smoke.sh" ]; then
  phase "fuzzers"
  bash "$here/scripts/fuzz-smoke.sh"
fi

# Builds the Debian package from build/ and checks it (files, dependencies, a start, lintian).
phase "Debian package"
bash "$here/scripts/check-package.sh" "$here/build"

# Cross-builds vrk.exe and the Qt-Core suites for Windows and checks them under Wine.
phase "Windows build and Wine checks"
windows_status=0
bash "$here/scripts/check-windows.sh" "$here/build-windows" || windows_status=$?

phase "tests"
status=0
(cd "$here/build" && ctest --output-on-failure -j2) || status=$?

phase "tests with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
asan_status=0
summary=$(mktemp)
(cd "$here/build-asan" && ctest --output-on-failure -j2) | tee "$summary" || asan_status=$?
report_times
# CTest's summary of the last run closes the output.
grep -E '^[0-9]+% tests passed|^Total Test time' "$summary" || true
rm -f "$summary"
[ $status -eq 0 ] && [ $asan_status -eq 0 ] && [ $windows_status -eq 0 ] && [ $format_status -eq 0 ]
