#!/usr/bin/env python3
"""What scripts/wine32.py reads from binfmt_misc, and its probe program."""
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine32  # noqa: E402

I386 = "7f454c4601010100000000000000000002000300"
X86_64 = "7f454c460201010000000000000000000200003e00"


def entry(state, interpreter, magic):
    return f"{state}\ninterpreter {interpreter}\nflags: POF\noffset 0\nmagic {magic}\nmask ff\n"


class Binfmt(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.saved = wine32.BINFMT
        wine32.BINFMT = self.dir.name
        for name in ("register", "status"):
            open(os.path.join(self.dir.name, name), "w").close()

    def tearDown(self):
        wine32.BINFMT = self.saved
        self.dir.cleanup()

    def write(self, name, text):
        with open(os.path.join(self.dir.name, name), "w") as f:
            f.write(text)

    def test_foreign_entries_are_enabled_ones_for_i386_only(self):
        self.write("qemu-i386", entry("enabled", "/usr/libexec/qemu-binfmt/i386-binfmt-P", I386))
        self.write("qemu-x86_64", entry("enabled", "/usr/bin/qemu-x86_64", X86_64))
        self.write("old-i386", entry("disabled", "/usr/bin/qemu-i386-static", I386))
        self.write(wine32.ENTRY, entry("enabled", wine32.QEMU_BINFMT, I386))
        self.assertEqual(wine32.foreign_entries(), ["qemu-i386"])

    def test_our_entry(self):
        cases = [
            (None, False, None),
            (entry("enabled", wine32.QEMU_BINFMT, I386), True, wine32.QEMU_BINFMT),
            (entry("disabled", "/opt/elsewhere/i386-binfmt-P", I386), False,
             "/opt/elsewhere/i386-binfmt-P"),
        ]
        for text, enabled, interpreter in cases:
            with self.subTest(text=text):
                path = os.path.join(self.dir.name, wine32.ENTRY)
                if text is None:
                    if os.path.exists(path):
                        os.remove(path)
                else:
                    self.write(wine32.ENTRY, text)
                self.assertEqual(wine32.emulated(), enabled)
                self.assertEqual(wine32.registered_interpreter(), interpreter)


class Probe(unittest.TestCase):
    def test_the_probe_is_an_i386_executable(self):
        program = wine32.probe_program()
        self.assertEqual(program[:4], b"\x7fELF")
        self.assertEqual(program[4], 1)                         # 32-bit
        self.assertEqual(int.from_bytes(program[18:20], "little"), 3)  # EM_386
        self.assertEqual(program[:20].hex(), I386)              # what the registration matches

    def test_the_probe_runs_wherever_32_bit_wine_can(self):
        # Natively or through the registration, it exits with 42; anywhere else
        # this machine cannot run the DLL's tests, and says so elsewhere.
        if wine32.describe() is None:
            self.skipTest("no 32-bit code runs here")
        self.assertTrue(wine32.runs_i386())

    def test_describe_is_one_line(self):
        out = subprocess.run([sys.executable, wine32.__file__, "describe"], capture_output=True,
                             text=True).stdout
        self.assertEqual(len(out.strip().splitlines()), 1)
        self.assertTrue(out.startswith("wine32: "))


if __name__ == "__main__":
    unittest.main()
