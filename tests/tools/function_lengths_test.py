#!/usr/bin/env python3
"""What tools/function_lengths.py takes for a function, and how long it finds it."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "tools" / "function_lengths.py"
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, str(SCRIPT.parent))
import function_lengths as lengths  # noqa: E402 (the script's folder is known only here)

SOURCE = '''#include "a.h"
namespace a {
namespace {
const Row kRows[] = {
    {"x", [](int v) { return v; }},
};
struct Reader {
    int read() const { return 1; }
};
} // namespace

Form::Form(QWidget *parent)
    : QWidget(parent)
    , m_names{"{", "}"}
{
    // a } in a comment
    const auto close = [this] { if (m_open) { m_open = false; } };
    const char *raw = R"(})";
}

int twice(int v) { return 2 * v; }
} // namespace a
'''


class FunctionLengths(unittest.TestCase):
    def test_functions_run_from_their_signature_to_their_closing_brace(self):
        self.assertEqual(lengths.functions(SOURCE),
                         [(8, 8, "read"), (12, 19, "Form::Form"), (21, 21, "twice")])

    def test_only_what_is_over_the_limit_is_listed_and_fails_with_fail(self):
        with tempfile.TemporaryDirectory() as root:
            (pathlib.Path(root) / "cli").mkdir()
            (pathlib.Path(root) / "cli" / "A.cpp").write_text(SOURCE)
            run = lambda *options: subprocess.run([sys.executable, str(SCRIPT), root, *options],
                                                  capture_output=True, text=True)
            listed = run("--limit", "7", "--fail")
            self.assertEqual((listed.returncode, listed.stdout), (1, "   8 cli/A.cpp:12 Form::Form\n"))
            self.assertEqual((run("--fail").returncode, run().stdout), (0, ""))


if __name__ == "__main__":
    sys.exit(unittest.main())
