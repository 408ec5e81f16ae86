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


class Setup(unittest.TestCase):
    """What setup does on each kind of machine, with the system calls faked."""

    def run_setup(self, wanted, native, qemu, registered, root=True):
        done = []
        state = {"qemu": qemu, "registered": registered}
        fakes = {
            "runs_i386_natively": lambda: native,
            "runs_i386": lambda: native or state["registered"],
            "emulated": lambda: state["registered"],
            "registered_interpreter": lambda: wine32.QEMU_BINFMT if state["registered"] else None,
            "qemu_version": lambda path=wine32.QEMU: state["qemu"],
            "fetch_qemu": lambda: (done.append("fetch"), state.update(qemu=(10, 0, 13))),
            "register": lambda: (done.append("register"), state.update(registered=True)),
            "set_entry": lambda value, name=wine32.ENTRY: done.append(f"entry {value}"),
            "as_root": lambda w: done.append("sudo") or 0,
            "say": lambda text: None,
        }
        saved = {name: getattr(wine32, name) for name in fakes}
        saved_exists, saved_euid = wine32.os.path.exists, wine32.os.geteuid
        environ = dict(os.environ)
        try:
            for name, fake in fakes.items():
                setattr(wine32, name, fake)
            wine32.os.path.exists = lambda path: registered if path == wine32.entry_path() \
                else saved_exists(path)
            wine32.os.geteuid = lambda: 0 if root else 1000
            os.environ["PIXLOR_WINE32"] = wanted
            rc = wine32.setup()
        finally:
            for name, original in saved.items():
                setattr(wine32, name, original)
            wine32.os.path.exists, wine32.os.geteuid = saved_exists, saved_euid
            os.environ.clear()
            os.environ.update(environ)
        return rc, done

    def test_each_kind_of_machine(self):
        q10, q7 = (10, 0, 13), (7, 2, 0)
        cases = [
            # wanted, runs 32-bit code, qemu there, registered, root -> rc, actions
            ("auto", True, None, False, True, 0, []),
            ("auto", True, q10, True, True, 0, ["entry -1"]),
            ("auto", False, None, False, True, 0, ["fetch", "register"]),
            ("auto", False, q7, False, True, 0, ["fetch", "register"]),
            ("auto", False, q10, True, True, 0, []),
            ("auto", False, q10, True, False, 0, []),
            ("auto", False, None, False, False, 0, ["sudo"]),
            ("emulated", True, q10, False, True, 0, ["register"]),
            ("native", False, None, False, True, 1, []),
            ("sometimes", True, None, False, True, 2, []),
        ]
        for wanted, native, qemu, registered, root, rc, actions in cases:
            with self.subTest(wanted=wanted, native=native, qemu=qemu, registered=registered,
                              root=root):
                self.assertEqual(self.run_setup(wanted, native, qemu, registered, root),
                                 (rc, actions))


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
