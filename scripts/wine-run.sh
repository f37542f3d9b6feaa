#!/usr/bin/env bash
# Runs a Windows program under Wine and passes on its exit status: the Windows
# build's CMAKE_CROSSCOMPILING_EMULATOR, so CTest runs the .exe suites with it.
# Without a console window Qt Test writes its report with OutputDebugString;
# Wine's debugstr channel brings those lines back, printed here as text. The
# output goes through a file: Wine's helper processes, started by the first
# program, would hold a pipe open after the program ends.
#   scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -u
log=$(mktemp)
trap 'rm -f "$log"' EXIT
WINEDEBUG=-all,+debugstr wine "$@" >"$log" 2>&1 </dev/null
status=$?
while IFS= read -r line; do
  case $line in
    *:debugstr:OutputDebugStringA\ \"*)
      text=${line#*:debugstr:OutputDebugStringA \"}
      printf '%b' "${text%\"}" ;;
    *:debugstr:*) ;;
    *"wine32 is missing"* | *"multiarch needs"* | *"dpkg --add-architecture"* | *"wine32:i386"*) ;;
    *) printf '%s\n' "$line" ;;
  esac
done <"$log"
exit $status
