#!/usr/bin/env python3
"""Tests of scripts/include_order.py on small trees: the fixture beside this file and
trees made for each case in a temporary folder."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

HERE = pathlib.Path(__file__).resolve().parent
CHECKER = HERE.parent.parent / "scripts" / "include_order.py"
LEVELS = ["low", "mid", "side,task", "top"]


def run_checker(root, levels):
    result = subprocess.run([sys.executable, str(CHECKER), str(root), *levels],
                            capture_output=True, text=True, check=False)
    return result.returncode, result.stdout.splitlines()


def make_tree(root, files):
    for name, text in files.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)


class FixtureTree(unittest.TestCase):
    def test_the_wrong_include_of_the_fixture_is_named_with_its_file_and_line(self):
        code, lines = run_checker(HERE / "fixture", ["base", "middle", "top"])
        self.assertEqual(code, 1)
        self.assertEqual(lines, ['middle/middle.cpp:6: "top/top.h": \'middle\' includes \'top\', a folder above it'])

    def test_the_order_given_decides_which_includes_are_wrong(self):
        # With top below middle, middle's include of top goes down and is fine, while
        # top's includes of middle and of middle's ui now go up.
        code, lines = run_checker(HERE / "fixture", ["base", "top", "middle"])
        self.assertEqual(code, 1)
        self.assertEqual([line.split(":")[0] for line in lines], ["top/top.h", "top/ui/window.h"])


class IncludeRules(unittest.TestCase):
    # (case, including file, include line, expected message or None when allowed)
    CASES = [
        ("down to a lower folder", "mid/a.cpp", '#include "low/x.h"', None),
        ("within the own folder", "mid/a.cpp", '#include "mid/y.h"', None),
        ("beside the including file", "mid/a.cpp", '#include "y.h"', None),
        ("ui to its own core", "mid/ui/w.cpp", '#include "mid/y.h"', None),
        ("ui to a lower ui", "top/ui/w.cpp", '#include "mid/ui/v.h"', None),
        ("ui to its own ui", "mid/ui/w.cpp", '#include "mid/ui/v.h"', None),
        ("a system header", "low/x.h", "#include <vector>", None),
        ("an include in a comment", "low/x.h", '// #include "top/t.h"', None),
        ("down in angle brackets", "mid/a.cpp", "#include <low/x.h>", None),
        ("a system header that shares a folder name", "low/x.cpp", "#include <top/none.h>", None),
        ("up in angle brackets", "low/x.cpp", "#include <mid/y.h>",
         "'low' includes 'mid', a folder above it"),
        ("angle brackets are not resolved beside the file", "mid/a.cpp", "#include <y.h>", None),
        ("up to a higher folder", "low/x.cpp", '#include "mid/y.h"',
         "'low' includes 'mid', a folder above it"),
        ("up two levels", "mid/a.cpp", '  #  include "top/t.h"',
         "'mid' includes 'top', a folder above it"),
        ("up by a relative path", "mid/a.cpp", '#include "../top/t.h"',
         "'mid' includes 'top', a folder above it"),
        ("to a folder on the same level", "side/s.cpp", '#include "task/k.h"',
         "'side' includes 'task', a folder on its own level"),
        ("core to its own ui", "mid/a.cpp", '#include "mid/ui/v.h"',
         "core code includes the UI file of 'mid'"),
        ("core to a lower ui", "top/t.cpp", '#include "mid/ui/v.h"',
         "core code includes the UI file of 'mid'"),
        ("ui to a higher core", "mid/ui/w.cpp", '#include "top/t.h"',
         "'mid' includes 'top', a folder above it"),
        ("ui to a higher ui", "low/ui/w.cpp", '#include "mid/ui/v.h"',
         "'low' includes 'mid', a folder above it"),
        ("a file that does not exist", "mid/a.cpp", '#include "low/missing.h"',
         "names no file of the tree"),
        ("a folder outside the order", "mid/a.cpp", '#include "stray/z.h"',
         "includes a file of 'stray', a folder outside the order"),
    ]
    BASE_FILES = ["low/x.h", "mid/y.h", "mid/ui/v.h", "top/t.h", "task/k.h"]

    def test_each_include_is_allowed_or_named_with_its_file_and_line(self):
        for case, source, include, expected in self.CASES:
            with self.subTest(case), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder)
                files = {name: "#pragma once\n" for name in self.BASE_FILES}
                if "stray" in include:
                    files["stray/z.h"] = "#pragma once\n"
                files[source] = f"// {case}\n\n{include}\n"
                make_tree(root, files)
                code, lines = run_checker(root, LEVELS)
                # A stray folder's own file is reported too: it is outside the order.
                lines = [line for line in lines if not line.startswith("stray/")]
                if expected is None:
                    self.assertEqual((code, lines), (0, []))
                else:
                    self.assertEqual(code, 1)
                    self.assertEqual(len(lines), 1, lines)
                    self.assertTrue(lines[0].startswith(f"{source}:3: "), lines[0])
                    self.assertIn(expected, lines[0])

    def test_a_source_file_in_a_folder_outside_the_order_is_reported(self):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            make_tree(root, {"low/x.h": "#pragma once\n", "newfolder/n.cpp": '#include "low/x.h"\n',
                             "loose.cpp": "int main() {}\n"})
            code, lines = run_checker(root, LEVELS)
            self.assertEqual(code, 1)
            self.assertEqual(lines, ["loose.cpp:1: the folder '.' is outside the order",
                                     "newfolder/n.cpp:1: the folder 'newfolder' is outside the order"])

    def test_every_wrong_include_of_a_file_is_reported_not_only_the_first(self):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            make_tree(root, {"low/x.cpp": '#include "mid/y.h"\n#include "low/x.h"\n#include "top/t.h"\n',
                             "low/x.h": "", "mid/y.h": "", "top/t.h": ""})
            code, lines = run_checker(root, LEVELS)
            self.assertEqual(code, 1)
            self.assertEqual([line.split(" ")[0] for line in lines], ["low/x.cpp:1:", "low/x.cpp:3:"])

    def test_usage_errors_are_not_taken_for_a_clean_tree(self):
        with tempfile.TemporaryDirectory() as folder:
            for levels in ([], ["low", "low"], ["low,", "mid"], ["a/b"]):
                with self.subTest(levels=levels):
                    code, _ = run_checker(folder, levels)
                    self.assertEqual(code, 2)
            code, _ = run_checker(pathlib.Path(folder) / "missing", LEVELS)
            self.assertEqual(code, 2)


if __name__ == "__main__":
    unittest.main()
