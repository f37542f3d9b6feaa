#!/usr/bin/env bash
# Collects the program's translatable texts into i18n/vrk_pl.ts and
# i18n/vrk_ru.ts (lupdate), then fills in translations listed in
# i18n/pending/*.tsv (context, English source, Polish, Russian; one a line),
# to be removed once taken. A developer's tool; the build only compiles
# the .ts files.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
cd "$here"
dirs=()
for d in app core relaydata cli config faults files i18n monitor protocol serial setpoints trends linemonitor records journal seams widgets wait network ports; do
  [ -d "$d" ] && dirs+=("$d")
done
for lang in pl ru; do
  "$lupdate" -silent -I . -no-obsolete -locations none -source-language en -target-language "$lang" \
    "${dirs[@]}" -ts "i18n/vrk_$lang.ts"
done
if compgen -G "i18n/pending/*.tsv" >/dev/null; then
  python3 scripts/fill-translations.py i18n/vrk_pl.ts i18n/vrk_ru.ts i18n/pending/*.tsv
fi
