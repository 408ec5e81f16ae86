#!/usr/bin/env python3
"""How this machine starts Wine's 32-bit processes, which run the 32-bit Pixlor.dll.

Most machines run 32-bit (i386) programs themselves. Some run 64-bit code only
(their kernel was built or booted without IA-32 emulation; an i386 program fails
with "Exec format error"). There, each 32-bit Wine process is started through a
user-mode emulator, qemu-i386, registered with the kernel's binfmt_misc for i386
programs. Debian 12's own qemu-user (7.2) is not fit for it (Wine's helpers crash,
a serial read was seen to hang); Debian 13's 10.x is, so setup fetches that
package's qemu-i386 through a private package list, without installing the
package or touching the system's apt state.

  wine32.py setup     makes 32-bit Wine runnable here (idempotent; needs root
                      only on a machine that runs no 32-bit code)
  wine32.py describe  one line: how Wine's 32-bit processes run here
  wine32.py check     like describe, but exits 1 when they cannot run at all

PIXLOR_WINE32=emulated forces the emulator on a machine that runs 32-bit code
(to test that path); PIXLOR_WINE32=native removes the registration again.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

QEMU_DIR = "/usr/local/lib/pixlor-qemu"
QEMU = os.path.join(QEMU_DIR, "qemu-i386")
# qemu-user takes a name ending in -binfmt-P as "argv[0] preserved by the kernel".
QEMU_BINFMT = os.path.join(QEMU_DIR, "i386-binfmt-P")
QEMU_MIN_MAJOR = 10
BINFMT = "/proc/sys/fs/binfmt_misc"
ENTRY = "pixlor-i386"
# An i386 ELF executable or shared object (e_machine 3), as Debian registers it.
MAGIC = r"\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00"
MASK = r"\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff"
DEBIAN13 = "deb http://deb.debian.org/debian trixie main\n"


def say(text):
    print(f"wine32: {text}", flush=True)


def probe_program():
    """A 84-byte i386 ELF program that exits with 42 through int 0x80."""
    import struct
    code = bytes([0xB8, 1, 0, 0, 0, 0xBB, 42, 0, 0, 0, 0xCD, 0x80])
    base, ehdr, phdr = 0x08048000, 52, 32
    total = ehdr + phdr + len(code)
    header = b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(8)
    header += struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + ehdr + phdr, ehdr, 0, 0, ehdr, phdr,
                          1, 0, 0, 0)
    program = struct.pack("<IIIIIIII", 1, 0, base, base, total, total, 5, 0x1000)
    return header + program + code


def runs_i386():
    """True when an i386 program runs here (by itself or through a registration)."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "probe32")
        with open(path, "wb") as f:
            f.write(probe_program())
        os.chmod(path, 0o755)
        try:
            return subprocess.run([path]).returncode == 42
        except OSError:
            return False


def entry_path(name=ENTRY):
    return os.path.join(BINFMT, name)


def entry_enabled(name=ENTRY):
    try:
        with open(entry_path(name)) as f:
            return f.readline().strip() == "enabled"
    except OSError:
        return False


def set_entry(value, name=ENTRY):
    """1 enables, 0 disables, -1 removes a binfmt_misc entry."""
    with open(entry_path(name), "w") as f:
        f.write(str(value))


def runs_i386_natively():
    """Probes with our registration switched off for the moment of the probe."""
    if not entry_enabled():
        return runs_i386() and not foreign_entries()
    set_entry(0)
    try:
        return runs_i386() and not foreign_entries()
    finally:
        set_entry(1)


def foreign_entries():
    """Other enabled binfmt_misc entries that would take i386 programs."""
    found = []
    if not os.path.isdir(BINFMT):
        return found
    wanted = MAGIC.replace(r"\x", "")
    for name in os.listdir(BINFMT):
        if name in (ENTRY, "register", "status") or not entry_enabled(name):
            continue
        with open(entry_path(name)) as f:
            text = f.read()
        if re.search(r"^magic " + wanted + r"\b", text, re.M):
            found.append(name)
    return found


def qemu_version(path=QEMU):
    try:
        out = subprocess.run([path, "--version"], capture_output=True, text=True).stdout
    except OSError:
        return None
    m = re.search(r"version (\d+)\.(\d+)\.(\d+)", out)
    return tuple(int(x) for x in m.groups()) if m else None


def fetch_qemu():
    """qemu-i386 from Debian 13's qemu-user package, unpacked into QEMU_DIR."""
    with tempfile.TemporaryDirectory(prefix="pixlor-d13-") as tmp:
        lists = os.path.join(tmp, "lists")
        cache = os.path.join(tmp, "cache")
        os.makedirs(os.path.join(lists, "partial"))
        os.makedirs(os.path.join(cache, "archives", "partial"))
        sources = os.path.join(tmp, "sources.list")
        with open(sources, "w") as f:
            f.write(DEBIAN13)
        private = ["-o", f"Dir::Etc::SourceList={sources}", "-o", "Dir::Etc::SourceParts=/dev/null",
                   "-o", f"Dir::State::Lists={lists}", "-o", f"Dir::Cache={cache}",
                   "-o", "APT::Architectures=amd64", "-o", "APT::Sandbox::User=root", "-qq"]
        say("fetching qemu-i386 from Debian 13's qemu-user (a private package list)")
        subprocess.run(["apt-get"] + private + ["update"], check=True)
        subprocess.run(["apt-get"] + private + ["download", "qemu-user"], cwd=tmp, check=True)
        debs = [n for n in os.listdir(tmp) if n.startswith("qemu-user_") and n.endswith(".deb")]
        if len(debs) != 1:
            raise RuntimeError("the qemu-user package was not downloaded")
        unpacked = os.path.join(tmp, "root")
        os.makedirs(unpacked)
        tar = subprocess.Popen(["dpkg-deb", "--fsys-tarfile", os.path.join(tmp, debs[0])],
                               stdout=subprocess.PIPE)
        subprocess.run(["tar", "-x", "-C", unpacked, "./usr/bin/qemu-i386"], stdin=tar.stdout,
                       check=True)
        tar.stdout.close()
        if tar.wait() != 0:
            raise RuntimeError("dpkg-deb could not read the qemu-user package")
        os.makedirs(QEMU_DIR, exist_ok=True)
        shutil.copy2(os.path.join(unpacked, "usr", "bin", "qemu-i386"), QEMU + ".new")
        os.replace(QEMU + ".new", QEMU)
    if os.path.lexists(QEMU_BINFMT):
        os.remove(QEMU_BINFMT)
    os.symlink("qemu-i386", QEMU_BINFMT)


def register():
    if not os.path.exists(os.path.join(BINFMT, "register")):
        subprocess.run(["mount", "-t", "binfmt_misc", "binfmt_misc", BINFMT], check=True)
    if os.path.exists(entry_path()):
        set_entry(-1)
    # P: argv[0] preserved, O: the kernel opens the program, F: the emulator is
    # opened now, so it is found from any mount namespace.
    with open(os.path.join(BINFMT, "register"), "w") as f:
        f.write(f":{ENTRY}:M::{MAGIC}:{MASK}:{QEMU_BINFMT}:POF")


def emulated():
    """True when our registration takes Wine's 32-bit processes."""
    return entry_enabled()


def registered_interpreter():
    try:
        with open(entry_path()) as f:
            m = re.search(r"^interpreter (.*)$", f.read(), re.M)
    except OSError:
        return None
    return m.group(1) if m else None


def describe():
    """One line on how Wine's 32-bit processes run, or None when they cannot."""
    if emulated():
        v = qemu_version()
        version = ".".join(map(str, v)) if v else "?"
        return (f"Wine's 32-bit processes run through qemu-i386 {version} (Debian 13), "
                f"registered with binfmt_misc; timings taken here are not a real machine's")
    if runs_i386():
        others = foreign_entries()
        if others:
            return ("Wine's 32-bit processes run through the binfmt_misc entry "
                    f"{', '.join(others)} (not this project's); timings are not a real machine's")
        return "Wine's 32-bit processes run natively (this machine runs 32-bit code)"
    return None


def as_root(wanted):
    """Runs setup again through sudo: registering with the kernel needs root."""
    return subprocess.call(["sudo", "env", f"PIXLOR_WINE32={wanted}", sys.executable,
                            os.path.abspath(__file__), "setup"])


def setup():
    wanted = os.environ.get("PIXLOR_WINE32", "auto")
    if wanted not in ("auto", "native", "emulated"):
        say(f"PIXLOR_WINE32={wanted}: expected auto, native or emulated")
        return 2
    if os.geteuid() != 0 and emulated() and wanted != "native":
        # Only root may switch the registration off for a probe: it stays.
        return 0
    native = runs_i386_natively()
    if wanted == "native" or (wanted == "auto" and native):
        if os.path.exists(entry_path()):
            if os.geteuid() != 0:
                return as_root(wanted)
            set_entry(-1)
            say("the qemu-i386 registration is removed: this machine runs 32-bit code")
        if not native:
            say("this machine runs no 32-bit code, and PIXLOR_WINE32=native was asked")
            return 1
        return 0
    v = qemu_version()
    if os.geteuid() != 0 and (v is None or v[0] < QEMU_MIN_MAJOR or not emulated()
                                or registered_interpreter() != QEMU_BINFMT):
        return as_root(wanted)
    if v is None or v[0] < QEMU_MIN_MAJOR:
        fetch_qemu()
        v = qemu_version()
        if v is None or v[0] < QEMU_MIN_MAJOR:
            say(f"the fetched qemu-i386 is not version {QEMU_MIN_MAJOR} or later")
            return 1
    if not emulated() or registered_interpreter() != QEMU_BINFMT:
        register()
        say("qemu-i386 " + ".".join(map(str, v)) + " registered for i386 programs"
            + ("" if native else " (this machine runs no 32-bit code)"))
    if not runs_i386():
        say("an i386 program still does not run through qemu-i386")
        return 1
    return 0


def main(argv):
    command = argv[1] if len(argv) > 1 else "describe"
    if command == "setup":
        return setup()
    if command in ("describe", "check"):
        line = describe()
        if line is None:
            say("32-bit Wine cannot run here: this machine runs no 32-bit code and qemu-i386 "
                "is not registered for it (run scripts/install-deps.sh as root)")
            return 1 if command == "check" else 0
        say(line)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
