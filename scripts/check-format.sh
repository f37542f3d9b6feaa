#!/usr/bin/env bash
# Checks that every C++ source of the project is laid out as .clang-format says.
#   scripts/check-format.sh          lists the files that differ; fails when any does
#   scripts/check-format.sh --fix    rewrites them in place
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
fix=0
[ "${1:-}" = "--fix" ] && fix=1

# The tracked sources when this is a git clone, else every source outside the build trees.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)
fi

if [ $fix -eq 1 ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
differ=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || differ+=("$f")
done
if [ ${#differ[@]} -gt 0 ]; then
  echo "These files differ from .clang-format (scripts/check-format.sh --fix rewrites them):" >&2
  printf '  %s\n' "${differ[@]}" >&2
  exit 1
fi
echo "${#files[@]} files laid out as .clang-format says"
