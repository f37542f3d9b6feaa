#!/usr/bin/env python3
"""Fills translations into Qt .ts files from tab-separated lists.

fill-translations.py PL.ts RU.ts LIST.tsv...
Each list line: context, English source, Polish, Russian ("\\n" stands for a
line break). A message already translated keeps its translation unless the
list gives another. Prints the messages still unfinished."""
import sys
import xml.etree.ElementTree as ET


def unescape(s):
    return s.replace("\\n", "\n").replace("\\t", "\t")


def main():
    pl_ts, ru_ts, lists = sys.argv[1], sys.argv[2], sys.argv[3:]
    table = {}
    for path in lists:
        with open(path, encoding="utf-8") as f:
            for n, line in enumerate(f, 1):
                line = line.rstrip("\n")
                if not line.strip() or line.startswith("#"):
                    continue
                parts = line.split("\t")
                if len(parts) != 4:
                    sys.exit(f"{path}:{n}: expected 4 tab-separated fields, got {len(parts)}")
                ctx, src, pl, ru = (unescape(p) for p in parts)
                table[(ctx, src)] = {"pl": pl, "ru": ru}
    used = set()
    missing = 0
    for ts, lang in ((pl_ts, "pl"), (ru_ts, "ru")):
        tree = ET.parse(ts)
        for context in tree.getroot().iter("context"):
            ctx = context.findtext("name")
            for message in context.iter("message"):
                src = message.findtext("source")
                tr = message.find("translation")
                key = (ctx, src)
                if key in table:
                    tr.text = table[key][lang]
                    tr.attrib.pop("type", None)
                    used.add(key)
                if tr.get("type") == "unfinished" or not (tr.text or "").strip():
                    missing += 1
                    print(f"{ts}: unfinished: [{ctx}] {src!r}")
        tree.write(ts, encoding="utf-8", xml_declaration=True)
        with open(ts, "r+", encoding="utf-8") as f:
            text = f.read().replace("<?xml version='1.0' encoding='utf-8'?>",
                                    '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>', 1)
            f.seek(0)
            f.write(text)
            f.truncate()
    for key in sorted(set(table) - used):
        print(f"not in the sources: [{key[0]}] {key[1]!r}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
