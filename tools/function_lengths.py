#!/usr/bin/env python3
"""Lists the functions of the product's .cpp files that are longer than a limit.

A heuristic, not a parser: comments, string and character literals are blanked,
then braces are counted. A function is a "{" outside any function whose
statement so far has a parameter list and no "=" (so no array or object
initialiser), and it runs to its matching "}"; lambdas and local classes count
as part of the function that holds them. Its length is from the first line of
its signature to the line of its closing brace. tests/ is left out.

Usage: function_lengths.py [SOURCE_ROOT] [--limit N] [--fail]
  prints "LINES path:line name" for each function over the limit (60 by default),
  longest first; with --fail the exit status is 1 when there is any.
"""
import argparse
import pathlib
import re
import sys

FOLDERS = ("web", "probes", "check", "ui", "app", "cli", "launcher", "assets", "tools", "bench")
LITERAL = re.compile(r'R"([^(\s]*)\((?:.|\n)*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|//[^\n]*|/\*(?:.|\n)*?\*/')
CONTROL = re.compile(r"^\s*(if|for|while|switch|catch|do|else|return|case)\b")
SCOPE = re.compile(r"\b(namespace|class|struct|union|enum)\b[^()]*$")
NAME = re.compile(r"([A-Za-z_~][\w:~<>,\s]*?(?:operator\s*\S+?)?)\s*\(")


def blanked(text):
    """The text with every literal and comment replaced by blanks, its line breaks kept."""
    blank = lambda m: re.sub(r"[^\n]", " ", m.group(0))
    return re.sub(r"^[ \t]*#.*$", blank, LITERAL.sub(blank, text), flags=re.MULTILINE)


def function_name(header):
    """The name before a signature's parameter list: the first call-like name at paren depth 0."""
    depth = 0
    for i, ch in enumerate(header):
        if ch == "(" and depth == 0:
            before = header[:i].rstrip()
            match = re.search(r"([\w:~]+(?:operator\s*[^\s\w]+)?)$", before)
            return match.group(1) if match else "?"
        depth += ch in "<" and 1 or (-1 if ch == ">" else 0)
    return "?"


def brace_kind(header):
    """What a "{" outside any function opens after this statement text: "function" (its body),
    "init" (a member's braces in a constructor's initialiser list) or "scope" (anything else)."""
    flat = " ".join(header.split())
    if "(" not in flat or SCOPE.search(flat.split("(")[0]) or CONTROL.match(flat):
        return "scope"
    if re.search(r"\]\s*\(", flat):
        return "scope"  # a lambda in a table, outside any function
    signature = flat.split(")")[0]
    if "=" in signature.split("(")[0] and "operator" not in signature:
        return "scope"  # an initialised variable
    if re.search(r"\)\s*:(?!:)", flat) and re.search(r"[\w>]\s*$", flat):
        return "init"
    return "function"


def functions(text):
    """(first line, last line, name) of each function of a .cpp text."""
    code = blanked(text)
    found = []
    stack = []  # for each open brace: "function", "inner" (inside one), "init" or "scope"
    header_start = 0  # where the statement before the next brace starts
    for i, ch in enumerate(code):
        inside = "function" in stack
        if ch == "{":
            kind = "inner" if inside else brace_kind(code[header_start:i])
            stack.append(kind)
            if kind == "function":
                header = code[header_start:i]
                first = code.count("\n", 0, header_start + len(header) - len(header.lstrip()))
                start = (first, header)
            elif kind == "scope":
                header_start = i + 1
        elif ch == "}" and stack:
            kind = stack.pop()
            if kind == "function":
                last = code.count("\n", 0, i)
                found.append((start[0] + 1, last + 1, function_name(" ".join(start[1].split()))))
            if kind != "init" and not inside or kind == "function":
                header_start = i + 1
        elif ch == ";" and not inside:
            header_start = i + 1
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("root", nargs="?", default=pathlib.Path(__file__).resolve().parent.parent)
    parser.add_argument("--limit", type=int, default=60)
    parser.add_argument("--fail", action="store_true")
    options = parser.parse_args()
    root = pathlib.Path(options.root)
    long_ones = []
    for folder in FOLDERS:
        for path in sorted((root / folder).rglob("*.cpp")):
            text = path.read_text(encoding="utf-8", errors="replace")
            for first, last, name in functions(text):
                if last - first + 1 > options.limit:
                    long_ones.append((last - first + 1, path.relative_to(root).as_posix(), first, name))
    for lines, path, first, name in sorted(long_ones, key=lambda f: (-f[0], f[1], f[2])):
        print(f"{lines:4} {path}:{first} {name}")
    return 1 if options.fail and long_ones else 0


if __name__ == "__main__":
    sys.exit(main())
