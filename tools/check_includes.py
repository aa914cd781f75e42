#!/usr/bin/env python3
"""Fails when two units of the project include each other.

A unit is a header and its .cpp (check/CsvFormat.h and check/CsvFormat.cpp):
a.h or a.cpp including b.h while b.h or b.cpp includes a.h is a cycle between
the units a and b, even when no header includes the other. Only the project's
own quoted includes count; system and Qt headers are left out.

Usage: check_includes.py [SOURCE_ROOT]   (the tree this script sits in by default)
"""
import pathlib
import re
import sys

FOLDERS = ("web", "probes", "check", "ui", "app", "cli", "launcher", "assets", "tools", "bench", "tests", "packaging")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def units(root):
    """Unit name ("check/CsvFormat") -> the set of units it includes."""
    found = {}
    for folder in FOLDERS:
        for path in (root / folder).rglob("*"):
            if path.suffix not in (".h", ".cpp") or "build" in path.relative_to(root).parts[:1]:
                continue
            unit = path.relative_to(root).with_suffix("").as_posix()
            text = path.read_text(encoding="utf-8", errors="replace")
            included = {pathlib.PurePosixPath(name).with_suffix("").as_posix()
                        for name in INCLUDE.findall(text) if name.endswith(".h")}
            found.setdefault(unit, set()).update(included - {unit})
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    graph = units(root)
    cycles = sorted({tuple(sorted((a, b))) for a, deps in graph.items() for b in deps
                     if a in graph.get(b, ())})
    for a, b in cycles:
        print(f"include cycle: {a} <-> {b}")
    if not graph:
        print(f"no sources found under {root}")
        return 1
    return 1 if cycles else 0


if __name__ == "__main__":
    sys.exit(main())
