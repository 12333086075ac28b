#!/usr/bin/env python3
"""Counts the public member functions of each class in src/ (declarations in the
public: and public slots: sections of the headers; signals are not counted) and
prints the largest. Usage: scripts/public_functions.py [TREE] [N]"""
import glob
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
most = int(sys.argv[2]) if len(sys.argv) > 2 else 8
ACCESS = re.compile(r"(public|private|protected|signals)( slots)?:")
FUNCTION = re.compile(r"[^/#].*\w\s*\(")

counts = []
for path in glob.glob(os.path.join(root, "src", "**", "*.h"), recursive=True):
    text = open(path, encoding="utf-8").read()
    for m in re.finditer(r"^(class|struct) (\w+)[^;{]*\{", text, re.M):
        depth, end = 1, m.end()
        while depth and end < len(text):
            depth += {"{": 1, "}": -1}.get(text[end], 0)
            end += 1
        access = "public" if m.group(1) == "struct" else "private"
        nesting, n = 0, 0
        for line in text[m.end() : end - 1].split("\n"):
            t = line.strip()
            if nesting == 0:
                a = ACCESS.match(t)
                if a:
                    access = a.group(1)
                    continue
                if (access == "public" and FUNCTION.match(t) and "(" in t.split("=")[0]
                        and not t.startswith(("using", "Q_", "friend"))):
                    n += 1
            nesting += line.count("{") - line.count("}")
        counts.append((n, m.group(2), os.path.relpath(path, root)))
for n, name, path in sorted(counts, reverse=True)[:most]:
    print(f"{n:3} {name} {path}")
