#!/usr/bin/env python3
"""Checks that every source folder includes only what the layer table allows.

The table is the one in docs/ARCHITECTURE.md between the lines
"<!-- layers -->" and "<!-- /layers -->": rows from the top layer down, each
naming its folders in backticks. A folder may include its own headers and
those of every folder in a lower row; folders of one row stand side by side
and may not include each other.

Every '#include "..."' of every source file below the table's folders is
resolved the way the compiler does it (beside the including file first, then
from the project root) and checked. Each include the table does not allow is
reported with its file and line; the exit status is then 1.

Usage: check_layers.py [--root DIR]   (default: the folder above tools/)
"""
import argparse
import os
import re
import sys

SOURCE_SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
FOLDER = re.compile(r"`([^`]+)`")


def read_table(root):
    """The layers, top first: a list of lists of folder names."""
    path = os.path.join(root, "docs", "ARCHITECTURE.md")
    layers = []
    inside = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            stripped = line.strip()
            if stripped == "<!-- layers -->":
                inside = True
            elif stripped == "<!-- /layers -->":
                break
            elif inside and stripped.startswith("|"):
                cells = [c.strip() for c in stripped.strip("|").split("|")]
                folders = [name.strip("/") for name in FOLDER.findall(cells[0])]
                if folders:
                    layers.append(folders)
    if not layers:
        raise SystemExit(f"{path}: no layer table between <!-- layers --> and <!-- /layers -->")
    return layers


def folder_of(relpath, folders):
    """The table folder holding RELPATH (the longest that matches), or None."""
    best = None
    for folder in folders:
        if relpath == folder or relpath.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def resolve(root, including, name):
    """The root-relative path an include names: beside the including file
    when such a file exists there, otherwise from the root."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if os.path.isfile(os.path.join(root, beside)):
        return beside.replace(os.sep, "/")
    return os.path.normpath(name).replace(os.sep, "/")


def check(root):
    layers = read_table(root)
    rank = {}
    for level, row in enumerate(layers):
        for folder in row:
            rank[folder] = level  # 0 is the top
    folders = list(rank)
    problems = []
    for folder in sorted(folders):
        top = os.path.join(root, folder)
        for dirpath, dirnames, filenames in os.walk(top):
            dirnames.sort()
            for filename in sorted(filenames):
                if not filename.endswith(SOURCE_SUFFIXES):
                    continue
                full = os.path.join(dirpath, filename)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                # A file in a nested table folder is checked under that folder.
                if folder_of(rel, folders) != folder:
                    continue
                with open(full, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = resolve(root, rel, m.group(1))
                        to = folder_of(target, folders)
                        if to == folder:
                            continue
                        if to is None:
                            why = "a folder outside the layer table"
                        elif rank[to] < rank[folder]:
                            why = f"the higher layer {to}/"
                        elif rank[to] == rank[folder]:
                            why = f"{to}/, which stands beside {folder}/"
                        else:
                            continue
                        problems.append(f'{rel}:{number}: includes "{m.group(1)}" from {why}')
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    default_root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--root", default=default_root)
    args = parser.parse_args()
    problems = check(os.path.abspath(args.root))
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) break the layer table in docs/ARCHITECTURE.md")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
