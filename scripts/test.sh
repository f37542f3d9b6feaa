#!/usr/bin/env bash
# Installs what is missing, builds everything twice (as usual, and with
# AddressSanitizer + UndefinedBehaviorSanitizer), runs the fuzzers briefly,
# then runs every test in both builds. The last lines are CTest's summary.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"

bash "$here/scripts/build.sh" "$here/build"
bash "$here/scripts/build.sh" "$here/build-asan" -DVRK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
if [ -f "$here/scripts/fuzz-smoke.sh" ]; then
  bash "$here/scripts/fuzz-smoke.sh"
fi

# Builds the Debian package from build/ and checks it (files, dependencies, a start, lintian).
echo "== Debian package"
bash "$here/scripts/check-package.sh" "$here/build"

echo "== tests"
(cd "$here/build" && ctest --output-on-failure -j2)

echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$here/build-asan"
ctest --output-on-failure -j2
