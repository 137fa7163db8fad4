#!/usr/bin/env python3
"""Writes resources/readhall.qrc from the files under resources/.

Run it after adding or removing a bitmap, a help file or a page:
    python3 scripts/artwork/make_qrc.py
Paths inside the program: ":/bitmaps/<id>.png", ":/strings/strings.tsv", ":/help/<file>",
":/pages/<file>", ":/icons/readhall-<size>.png" and ":/icons/readhall.png".
"""
import os
import sys
from xml.sax.saxutils import escape

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")


def files_under(folder, suffixes):
    out = []
    base = os.path.join(ROOT, folder)
    for dirpath, _dirs, names in os.walk(base):
        for name in names:
            if name.lower().endswith(suffixes):
                rel = os.path.relpath(os.path.join(dirpath, name), ROOT)
                out.append(rel.replace(os.sep, "/"))
    return sorted(out, key=lambda p: (len(p), p))


def main():
    entries = []  # (alias or None, path)
    entries += [(None, p) for p in files_under("bitmaps", (".png",))]
    entries.append(("strings/strings.tsv", "strings.tsv"))
    entries += [(None, p) for p in files_under("help", (".html", ".htm", ".css", ".png"))]
    entries += [(None, p) for p in files_under("pages", (".html", ".htm", ".css", ".png"))]
    entries += [(None, p) for p in files_under("icons", (".png",))]
    entries.append(("icons/readhall.png", "readhall.png"))
    for _alias, path in entries:
        if not os.path.isfile(os.path.join(ROOT, path)):
            sys.exit("missing: " + path)
    lines = ["<!DOCTYPE RCC>", '<RCC version="1.0">', '<qresource prefix="/">']
    for alias, path in entries:
        if alias:
            lines.append('    <file alias="%s">%s</file>' % (escape(alias), escape(path)))
        else:
            lines.append("    <file>%s</file>" % escape(path))
    lines += ["</qresource>", "</RCC>", ""]
    with open(os.path.join(ROOT, "readhall.qrc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print("%d files" % len(entries))


if __name__ == "__main__":
    main()
