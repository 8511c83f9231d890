#!/usr/bin/env python3
"""Checks that every include of a source tree goes down the folder order.

usage: include_order.py ROOT LEVEL [LEVEL ...]

Each LEVEL names the folders of one level, bottom first; folders of one level are
separated by commas and may not include each other. A file in folder F may include
F's own files and the files of any folder on a lower level. A file in F/ui/ may
also include the ui/ files of F and of lower folders; a file outside ui/ never
includes a ui/ file. An include is resolved beside the including file first, then
under ROOT; one that names no file of the tree, or a file outside every listed
folder, is reported too, so a new folder cannot slip past the order. An include in
angle brackets is read too, since the tree's root is an include folder: it is
resolved under ROOT only, and one that names no file there is a system header.

Prints one line per wrong include (file:line: message) and exits 1 when there is
any, 2 on a usage error, 0 otherwise.
"""

import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)')
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc", ".cxx", ".inc"}


def parse_levels(args):
    level_of = {}
    for rank, arg in enumerate(args):
        for name in arg.split(","):
            name = name.strip()
            if not name or "/" in name or name in level_of:
                raise ValueError(f"bad or repeated folder name in level '{arg}'")
            level_of[name] = rank
    return level_of


def place_of(path, root):
    """Returns (folder, is_ui) of a file under root, or None for a file outside any folder."""
    parts = path.relative_to(root).parts
    if len(parts) < 2:
        return None
    return parts[0], len(parts) > 2 and parts[1] == "ui"


def resolve(include, including_file, root, bracketed=False):
    for base in (root,) if bracketed else (including_file.parent, root):
        candidate = (base / include).resolve()
        if candidate.is_file() and candidate.is_relative_to(root):
            return candidate
    return None


def wrong_include(source, target, level_of):
    """Returns why an include from place source to place target breaks the order, or None."""
    folder, is_ui = source
    target_folder, target_is_ui = target
    if target_folder not in level_of:
        return f"includes a file of '{target_folder}', a folder outside the order"
    if target_is_ui and not is_ui:
        return f"core code includes the UI file of '{target_folder}'"
    if target_folder == folder:
        return None
    if level_of[target_folder] < level_of[folder]:
        return None
    if level_of[target_folder] == level_of[folder]:
        return f"'{folder}' includes '{target_folder}', a folder on its own level"
    return f"'{folder}' includes '{target_folder}', a folder above it"


def check(root, level_of):
    problems = []
    for path in sorted(root.rglob("*")):
        if not path.is_file() or path.suffix not in SOURCE_SUFFIXES:
            continue
        shown = path.relative_to(root)
        source = place_of(path, root)
        if source is None or source[0] not in level_of:
            folder = source[0] if source else "."
            problems.append(f"{shown}:1: the folder '{folder}' is outside the order")
            continue
        lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, start=1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracketed = match.group(1) is None
            include = match.group(2) if bracketed else match.group(1)
            target_path = resolve(include, path, root, bracketed)
            if target_path is None:
                if not bracketed:
                    problems.append(f'{shown}:{number}: "{include}" names no file of the tree')
                continue
            target = place_of(target_path, root)
            if target is None:
                problems.append(f'{shown}:{number}: "{include}" lies outside every folder')
                continue
            why = wrong_include(source, target, level_of)
            if why:
                problems.append(f'{shown}:{number}: "{include}": {why}')
    return problems


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    root = pathlib.Path(argv[1]).resolve()
    if not root.is_dir():
        print(f"{argv[1]}: not a folder", file=sys.stderr)
        return 2
    try:
        level_of = parse_levels(argv[2:])
    except ValueError as error:
        print(error, file=sys.stderr)
        return 2
    problems = check(root, level_of)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
