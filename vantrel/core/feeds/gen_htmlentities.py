#!/usr/bin/env python3
"""Writes htmlentities.cpp: the named character references of HTML, from the table that
Python's standard library carries (html.entities.html5).

Run it again when that table changes:  python3 gen_htmlentities.py > htmlentities.cpp
"""

import html.entities
import sys


def main():
    table = html.entities.html5
    names = sorted({key.rstrip(";") for key in table}, key=lambda n: n.encode("ascii"))
    out = sys.stdout
    out.write("// The named character references of HTML, sorted by name (byte order) for a binary\n")
    out.write("// search. Written by gen_htmlentities.py; do not edit by hand.\n\n")
    out.write('#include "vantrel/core/feeds/feedtext_p.h"\n\n')
    out.write("namespace vantrel::feeds\n{\n\n")
    out.write("const HtmlEntity kHtmlEntities[] = {\n")
    for name in names:
        text = table.get(name + ";", table.get(name))
        points = [ord(c) for c in text] + [0]
        legacy = "true" if name in table else "false"
        out.write('    {"%s", 0x%X, 0x%X, %s},\n' % (name, points[0], points[1], legacy))
    out.write("};\n\n")
    out.write("const int kHtmlEntityCount = int(sizeof(kHtmlEntities) / sizeof(kHtmlEntities[0]));\n\n")
    out.write("} // namespace vantrel::feeds\n")


if __name__ == "__main__":
    main()
