#!/usr/bin/env python3
"""The layering check over small temporary trees: a tree that keeps to the
table passes; each planted include that breaks it fails, naming its file and
line."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CHECK = os.path.join(ROOT, "tools", "check_layers.py")

# A small tree that keeps to the table.
CLEAN = {
    "platform/window/Window.h": "",
    "resources/Resources.h": "",
    "toolkit/core/Windows.h": '#include "platform/window/Window.h"\n#include "resources/Resources.h"\n',
    "toolkit/hardcopy/Switch.h": '#include "toolkit/core/Windows.h"\n',
    "support/Strings.h": '#include "toolkit/hardcopy/Switch.h"\n',
    "record/ShotRecord.h": '#include "support/Strings.h"\n',
    "formats/Seg2In.h": '#include "record/ShotRecord.h"\n',
    "formats/Seg2In.cpp": '#include "Seg2In.h"\n#include <vector>\n',
    "display/TracePlot.h": '#include "record/ShotRecord.h"\n',
    "shell/Import.cpp": ('#include "formats/Seg2In.h"\n#include "display/TracePlot.h"\n'
                         '#include "platform/window/Window.h"\n'),
}


class CheckLayersTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="layers-")
        os.makedirs(os.path.join(self.root, "docs"))
        shutil.copy(os.path.join(ROOT, "docs", "ARCHITECTURE.md"),
                    os.path.join(self.root, "docs", "ARCHITECTURE.md"))
        self.write(CLEAN)

    def tearDown(self):
        shutil.rmtree(self.root)

    def write(self, files):
        for rel, text in files.items():
            path = os.path.join(self.root, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)

    def run_check(self):
        return subprocess.run([sys.executable, CHECK, "--root", self.root],
                              capture_output=True, text=True)

    def test_a_tree_that_keeps_to_the_table_passes(self):
        result = self.run_check()
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout, "")

    def test_each_planted_include_fails_with_its_file_and_line(self):
        cases = [
            # (file, text, what the report must say)
            ("formats/Bad.cpp", '#include "record/ShotRecord.h"\n\n#include "shell/Import.h"\n',
             'formats/Bad.cpp:3: includes "shell/Import.h" from the higher layer shell/'),
            ("record/Bad.h", '  #  include "display/TracePlot.h"\n',
             'record/Bad.h:1: includes "display/TracePlot.h" from the higher layer display/'),
            ("display/Bad.cpp", '#include "formats/Seg2In.h"\n',
             'display/Bad.cpp:1: includes "formats/Seg2In.h" from formats/, which stands beside display/'),
            ("toolkit/core/Bad.cpp", '#include "toolkit/hardcopy/Switch.h"\n',
             'toolkit/core/Bad.cpp:1: includes "toolkit/hardcopy/Switch.h" from the higher layer toolkit/hardcopy/'),
            ("platform/draw/Bad.h", '#include "resources/Resources.h"\n',
             'platform/draw/Bad.h:1: includes "resources/Resources.h" from resources/, which stands beside platform/'),
            ("formats/sub/Bad.cpp", '#include "../../shell/Import.cpp"\n',
             'formats/sub/Bad.cpp:1: includes "../../shell/Import.cpp" from the higher layer shell/'),
            ("support/Bad.cpp", '#include "tests/TestSupport.h"\n',
             'support/Bad.cpp:1: includes "tests/TestSupport.h" from a folder outside the layer table'),
        ]
        for rel, text, report in cases:
            with self.subTest(rel):
                self.write({rel: text})
                result = self.run_check()
                os.remove(os.path.join(self.root, rel))
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(report, result.stdout.splitlines())
                self.assertEqual(len(result.stdout.splitlines()), 2, result.stdout)

    def test_a_missing_table_is_an_error(self):
        with open(os.path.join(self.root, "docs", "ARCHITECTURE.md"), "w") as f:
            f.write("# no table\n")
        result = self.run_check()
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("no layer table", result.stderr)


if __name__ == "__main__":
    unittest.main()
