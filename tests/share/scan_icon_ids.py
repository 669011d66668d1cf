#!/usr/bin/env python3
"""Lists every icon resource id that the library and the program ask for in their sources, as
rows of a C++ table: the ids given to skinned buttons, icon loaders and icon constants, and every
IDI_ name of the library's resource headers that a source uses.

    scan_icon_ids.py SOURCE_ROOT OUTPUT_HEADER
"""
import os
import re
import sys

CALLS = [
    re.compile(r"SkinButton\([^;]*?,\s*(\w+)\s*\)\s*;", re.S),
    re.compile(r"\.SetIcon\(\s*(\w+)\s*\)"),
    re.compile(r"\b(?:GetIcon|ToviLoadImage)\(\s*(\w+)\s*,"),
    re.compile(r"MAKEINTRESOURCEW?\(\s*(\w+)\s*\)"),
    re.compile(r"\bUINT\s+k\w*Icon\w*\s*=\s*(\d+)\s*;"),
    re.compile(r"\b(IDI_\w+)\b"),
]
DEFINE = re.compile(r"^\s*#define\s+(IDI_\w+)\s+(\d+)", re.M)


def icon_names(root):
    names = {}
    folder = os.path.join(root, "resources", "interface")
    for name in sorted(os.listdir(folder)):
        if name.endswith(".h"):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                for key, value in DEFINE.findall(f.read()):
                    names[key] = int(value)
    return names


def main():
    root, out = sys.argv[1], sys.argv[2]
    names = icon_names(root)
    rows = {}
    for top in ("interface", "app"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(folder, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                where = os.path.relpath(path, root).replace(os.sep, "/")
                for pattern in CALLS:
                    for match in pattern.finditer(text):
                        token = match.group(1)
                        value = int(token) if token.isdigit() else names.get(token)
                        if not value:
                            continue
                        line = text.count("\n", 0, match.start(1)) + 1
                        rows.setdefault(value, "%s:%d" % (where, line))
    body = "".join('    {%d, "%s"},\n' % (value, rows[value]) for value in sorted(rows))
    text = ("// Made by tests/share/scan_icon_ids.py: the icon ids the sources ask for, each with the\n"
            "// first place that asks.\n{\n" + body + "}\n")
    if not os.path.exists(out) or open(out, encoding="utf-8").read() != text:
        with open(out, "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
