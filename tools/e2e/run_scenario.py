#!/usr/bin/env python3
"""Runs one end-to-end scenario: the camera emulator on a pseudo-terminal as
COM2, the test host with the real plugin (natively, or the Windows DLL under
Wine), then checks from Linux what the plugin did.

Under Wine the DLL runs in the prefix of its width: the 32-bit Pixlor.dll in a
32-bit prefix (natively or with each 32-bit process emulated, scripts/wine32.py),
the 64-bit one in a 64-bit prefix under 64-bit Wine, natively everywhere. Both
widths are compared with the same stored transcript.

A scenario is a Python file defining SCRIPT (the host script), and optionally
CAMSIM (emulator arguments), PORTS (the COM ports the system lists), TERMINAL
(True: under Wine the host's standard input is a terminal, and the Esc the
host asks for with "note: type Esc on the terminal" is typed on it), READY
(False while the part it needs is not built: the run is skipped),
prepare(passive) (puts files into the passive folder, "out" in the run's
folder, before the host starts) and check(ctx) (checks after the run; ctx is
a Context below).

Exit codes: 0 passed, 1 failed, 77 skipped.
"""
import argparse
import importlib.util
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
WINE_OVERRIDES = "mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d"
# 64-bit Wine's own loader; plain `wine` would try the 32-bit one first.
WINE64 = os.environ.get("PIXLOR_WINE64", "/usr/lib/wine/wine64")
# The host prints UTF-8; a stray byte survives the round trip to host.out unchanged.
TEXT_ERRORS = "surrogateescape"
STOPWATCH_FIGURE = re.compile(r"\b\d+\.\d+(?= s\b)")


def wine_line(width):
    """How this run starts Wine's processes for the DLL of this width, in one line."""
    if width == 64:
        return ("how it ran: the 64-bit Pixlor.dll in a 64-bit Wine prefix under 64-bit Wine "
                f"({WINE64}), natively (it needs no 32-bit support)")
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                          "wine32.py")
    done = subprocess.run([sys.executable, script, "describe"], capture_output=True, text=True)
    said = (done.stdout + done.stderr).strip().removeprefix("wine32: ")
    return f"how it ran: the 32-bit Pixlor.dll in a 32-bit Wine prefix; {said}"


def wine_command(width):
    """The program that starts a Windows program of this width, and the prefix's WINEARCH."""
    return ([WINE64], "win64") if width == 64 else (["wine"], "win32")


class CheckFailed(Exception):
    pass


def parse_state(path):
    """The emulator's --state file: [{number, photo, thumb, time, crc, thumbcrc}]."""
    pictures = []
    if not os.path.exists(path):
        return None
    with open(path) as f:
        for line in f:
            words = line.split()
            if words and words[0] == "picture":
                fields = dict(zip(words[2::2], words[3::2]))
                pictures.append({
                    "number": int(words[1]),
                    "photo": int(fields.get("photo", 0)),
                    "thumb": int(fields.get("thumb", 0)),
                    "time": int(fields.get("time", 0)),
                    "crc": int(fields.get("crc", "0"), 16),
                    "thumbcrc": int(fields.get("thumbcrc", "0"), 16),
                })
    return pictures


def unescape_reg(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append(text[i + 1])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def parse_registry(path, key):
    """Values of `key` (below HKEY_CURRENT_USER) in a Wine user.reg or a REGEDIT4 file."""
    values = {}
    if not os.path.exists(path):
        return values
    wanted = key.lower()
    inside = False
    with open(path, encoding="latin-1") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            m = re.match(r"^\[(.*)\]", line)
            if m:
                name = unescape_reg(m.group(1)) if "\\\\" in m.group(1) else m.group(1)
                name = re.sub(r"^HKEY_CURRENT_USER\\", "", name, flags=re.I)
                inside = name.lower() == wanted
                continue
            if not inside:
                continue
            m = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
            if not m:
                continue
            name, data = unescape_reg(m.group(1)), m.group(2)
            if data.startswith("dword:"):
                values[name] = int(data[6:], 16)
            elif data.startswith('"') and data.endswith('"'):
                values[name] = unescape_reg(data[1:-1])
            else:
                values[name] = data
    return values


class Context:
    """What a scenario's check() sees."""

    def __init__(self, mode, run, passive, output, rc, before, after, registry_file, width):
        self.mode = mode            # "native" or "wine"
        self.width = width          # under Wine: 32 or 64 (the DLL's and the prefix's)
        self.run = run              # the run's folder
        self.passive = passive      # the passive panel's folder
        self.output = output        # what the host printed
        self.rc = rc                # the host's exit code
        self.before = before        # the camera's pictures before the run
        self.after = after          # ... and after it
        self._registry_file = registry_file

    def expect(self, condition, message):
        if not condition:
            raise CheckFailed(message)

    def files(self):
        """Files below the passive folder: {relative path with '/': (size, mtime, crc)}."""
        found = {}
        for root, _, names in os.walk(self.passive):
            for name in names:
                path = os.path.join(root, name)
                with open(path, "rb") as f:
                    data = f.read()
                rel = os.path.relpath(path, self.passive).replace(os.sep, "/")
                found[rel] = (len(data), int(os.stat(path).st_mtime), zlib.crc32(data))
        return found

    def folders(self):
        return sorted(os.path.relpath(os.path.join(r, d), self.passive).replace(os.sep, "/")
                      for r, ds, _ in os.walk(self.passive) for d in ds)

    def registry(self, key="Software\\Far\\Plugins\\Pixlor"):
        return parse_registry(self._registry_file, key)

    def boxes(self):
        """Titles and lines of the boxes the host drew."""
        return [l for l in self.output.splitlines() if l.startswith("|") or l.startswith("+")]

    def shown(self, text):
        return text in self.output


def load_scenario(path):
    found = importlib.util.spec_from_file_location("scenario", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def comparable(text):
    """Host output without the notes that differ by build, and with the
    stopwatch's seconds masked. (What Wine itself prints goes to standard
    error, which is kept apart from the output.)"""
    lines = (l for l in text.splitlines() if not l.startswith("note:"))
    # The stopwatch's figures differ from run to run; what it timed must not.
    return "\n".join(STOPWATCH_FIGURE.sub("#", l) if l.startswith("stopwatch: ") else l
                     for l in lines)


def differences(expected, actual, expected_name, actual_name):
    import difflib
    return "\n".join(difflib.unified_diff(comparable(expected).splitlines(),
                                          comparable(actual).splitlines(), expected_name,
                                          actual_name, lineterm=""))


def golden_differences(golden, output, mode):
    """The run against its stored transcript: a change that alters the native and
    the Wine run alike is caught here, not by their comparison."""
    if mode == "native" and os.environ.get("PIXLOR_UPDATE_GOLDEN") == "1":
        with open(golden, "w", encoding="utf-8", errors=TEXT_ERRORS) as f:
            f.write(comparable(output) + "\n")
        print(f"note: {golden} rewritten")
        return []
    if not os.path.exists(golden):
        return [f"no stored transcript {golden} (PIXLOR_UPDATE_GOLDEN=1 writes it)"]
    with open(golden, encoding="utf-8", errors=TEXT_ERRORS) as f:
        stored = f.read()
    if comparable(stored) == comparable(output):
        return []
    return [f"the output differs from the stored transcript:\n"
            + differences(stored, output, "golden", mode)]


def start_camsim(camsim, link, args, state, trace, log):
    proc = subprocess.Popen([camsim, "--link", link, "--state", state, "--trace", trace] + args,
                            stdout=subprocess.PIPE, stderr=log, start_new_session=True, text=True)
    ready = proc.stdout.readline().strip()
    if not ready or not os.path.islink(link):
        proc.kill()
        raise RuntimeError("the camera emulator did not start (see camsim.log)")
    return proc


def stop_camsim(proc):
    if proc is None or proc.poll() is not None:
        return
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


TYPE_ESC = "note: type Esc on the terminal"


def run_on_terminal(cmd, cwd, env, errors, timeout):
    """Runs the host with a pseudo-terminal as its standard input (Wine then
    makes its console of that terminal) and types Esc there whenever the host
    asks. Returns the exit code (-1 after the time-out) and the output."""
    import pty
    import threading
    master, slave = pty.openpty()
    env = dict(env, TERM=env.get("TERM") or "xterm")
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdin=slave, stdout=subprocess.PIPE,
                            stderr=errors)
    os.close(slave)
    timer = threading.Timer(timeout, proc.kill)
    timer.start()

    def drain():
        # What the console draws on the terminal is not looked at, but must
        # not fill the terminal's buffer.
        try:
            while os.read(master, 4096):
                pass
        except OSError:
            pass

    threading.Thread(target=drain, daemon=True).start()
    lines = []
    try:
        for raw in proc.stdout:
            line = raw.decode("utf-8", TEXT_ERRORS)
            lines.append(line)
            if line.rstrip("\r\n") == TYPE_ESC:
                os.write(master, b"\x1b")
        rc = proc.wait()
    finally:
        timed_out = not timer.is_alive()
        timer.cancel()
        os.close(master)
    output = "".join(lines)
    if timed_out:
        return -1, output + "\n(the host timed out)\n"
    return rc, output


def clone_prefix(template, clone):
    # Fast clone: registry and device links copied, drive_c hard-linked (the tests
    # only add files there; Wine rewrites the .reg files in place, so never link those).
    os.makedirs(clone)
    names = [n for n in os.listdir(template) if n.endswith(".reg")] + [".update-timestamp", "dosdevices"]
    subprocess.run(["cp", "-a"] + [os.path.join(template, n) for n in names] + [clone + "/"], check=True)
    subprocess.run(["cp", "-al", os.path.join(template, "drive_c"), os.path.join(clone, "drive_c")],
                   check=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--mode", choices=["native", "wine"], required=True)
    ap.add_argument("--scenario", required=True, help="the scenario's .py file")
    ap.add_argument("--work", required=True, help="folder for the logs of this run")
    ap.add_argument("--host", required=True, help="pixlor-host (native) or pixlor-host.exe")
    ap.add_argument("--plugin-dir", required=True, help="folder of the plugin and its language files")
    ap.add_argument("--camsim", required=True)
    ap.add_argument("--template", help="Wine prefix template of the DLL's width (wine mode)")
    ap.add_argument("--width", type=int, choices=[32, 64], default=32,
                    help="wine mode: the DLL's and the test host's width")
    ap.add_argument("--compare", help="the native run's host output to compare with")
    ap.add_argument("--golden", help="the stored transcript both runs must match "
                    "(PIXLOR_UPDATE_GOLDEN=1 on a native run rewrites it)")
    ap.add_argument("--timeout", type=float, default=120)
    ap.add_argument("--keep", action="store_true", help="keep the run folder")
    a = ap.parse_args()

    scenario = load_scenario(a.scenario)
    name = os.path.splitext(os.path.basename(a.scenario))[0]
    if not getattr(scenario, "READY", True):
        print(f"SKIPPED {name}: {getattr(scenario, 'PENDING', 'not ready')}")
        return SKIP
    shutil.rmtree(a.work, ignore_errors=True)
    os.makedirs(a.work)
    # A short folder: paths the plugin shows stay below its shortening width.
    run = tempfile.mkdtemp(prefix="px", dir="/tmp")
    passive = os.path.join(run, "out")
    tmp = os.path.join(run, "tmp")
    os.makedirs(tmp)
    ports = getattr(scenario, "PORTS", ["COM2"])
    camsim_args = getattr(scenario, "CAMSIM", [])
    state = os.path.join(run, "state.txt")
    camsim_log = open(os.path.join(a.work, "camsim.log"), "w")
    env = dict(os.environ, TZ="UTC", TMPDIR=tmp)
    for k in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(k, None)

    # The pictures before the run: the same emulator started and stopped once.
    before_state = os.path.join(run, "before.txt")
    probe = start_camsim(a.camsim, os.path.join(run, "probe-link"), camsim_args, before_state,
                         os.devnull, camsim_log)
    stop_camsim(probe)
    before = parse_state(before_state)

    if hasattr(scenario, "prepare"):
        os.makedirs(passive)
        scenario.prepare(passive)

    script = os.path.join(run, "script.txt")
    with open(script, "w") as f:
        f.write(scenario.SCRIPT)
    errors_log = os.path.join(a.work, "wine.log" if a.mode == "wine" else "host.err")
    if a.mode == "wine":
        print(wine_line(a.width), flush=True)
        if a.width == 64 and not os.access(WINE64, os.X_OK):
            print(f"CHECK FAILED: {WINE64} is missing: the 64-bit DLL's scenarios need 64-bit "
                  "Wine (the Debian package wine64, scripts/install-deps.sh)")
            return 1
    started = time.monotonic()
    emu = None
    rc = None
    output = ""
    try:
        if a.mode == "native":
            devices = os.path.join(run, "dev")
            os.makedirs(devices)
            listed = "COM2" in ports
            link = os.path.join(devices if listed else run, "com2")
            for p in ports:
                if p != "COM2":  # listed, but nothing answers there
                    os.symlink("/nonexistent", os.path.join(devices, p.lower()))
            registry = os.path.join(run, "registry.reg")
            env.update(PIXLOR_DEVICES=devices, PIXLOR_REGISTRY=registry)
            emu = start_camsim(a.camsim, link, camsim_args, state, os.path.join(a.work, "trace.txt"),
                               camsim_log)
            cmd = [a.host, "--plugin", os.path.join(a.plugin_dir, "Pixlor.so"), script]
            cwd = run
        else:
            pfx = os.path.join(run, "pfx")
            clone_prefix(a.template, pfx)
            folder = os.path.join(pfx, "drive_c", "Pixlor")
            os.makedirs(folder)
            for f in os.listdir(a.plugin_dir):
                if f.endswith((".dll", ".lng", ".hlf")):
                    shutil.copy(os.path.join(a.plugin_dir, f), folder)
            shutil.copy(a.host, folder)
            registry = os.path.join(pfx, "user.reg")
            wine, arch = wine_command(a.width)
            env.update(WINEPREFIX=pfx, WINEARCH=arch, WINEDEBUG="-all",
                       WINEDLLOVERRIDES=WINE_OVERRIDES)
            emu = start_camsim(a.camsim, os.path.join(pfx, "ttyCOM2"), camsim_args, state,
                               os.path.join(a.work, "trace.txt"), camsim_log)
            serial = ",".join(ports) if ports else "none"
            cmd = wine + [os.path.join(folder, os.path.basename(a.host)), "--serialcomm", serial,
                          "script.txt"]
            cwd = run
        # What the host prints is compared; what Wine (or the sanitizers) print on
        # standard error is kept apart and shown when the run fails.
        with open(errors_log, "wb") as errors:
            if a.mode == "wine" and getattr(scenario, "TERMINAL", False):
                rc, output = run_on_terminal(cmd, cwd, env, errors, a.timeout)
            else:
                try:
                    proc = subprocess.run(cmd, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                          stdout=subprocess.PIPE, stderr=errors,
                                          timeout=a.timeout)
                    rc = proc.returncode
                    output = proc.stdout.decode("utf-8", TEXT_ERRORS)
                except subprocess.TimeoutExpired as e:
                    output = ((e.stdout or b"").decode("utf-8", TEXT_ERRORS)
                              + "\n(the host timed out)\n")
                    rc = -1
    finally:
        if a.mode == "wine":
            # Saves the registry and ends every Wine process before the pty goes away.
            subprocess.run(["wineserver", "-k"], env=env)
            subprocess.run(["wineserver", "-w"], env=env)
        stop_camsim(emu)
        camsim_log.close()
    elapsed = time.monotonic() - started
    with open(os.path.join(a.work, "host.out"), "w", encoding="utf-8", errors=TEXT_ERRORS) as f:
        f.write(output)
    sys.stdout.flush()
    sys.stdout.buffer.write(output.encode("utf-8", TEXT_ERRORS))
    sys.stdout.buffer.flush()

    after = parse_state(state)
    ctx = Context(a.mode, run, passive, output, rc, before, after, registry, a.width)
    failures = []
    if rc not in (0, 1) and not getattr(scenario, "ANY_RC", False):
        failures.append(f"the host ended with {rc}")
    elif rc != 0 and not getattr(scenario, "ANY_RC", False):
        failures.append("the host reported a failure")
    try:
        if hasattr(scenario, "check"):
            scenario.check(ctx)
    except CheckFailed as e:
        failures.append(str(e))
    if a.golden:
        failures += golden_differences(a.golden, output, a.mode)
    if a.compare:
        if os.path.exists(a.compare):
            with open(a.compare, encoding="utf-8", errors=TEXT_ERRORS) as f:
                native = f.read()
            if comparable(native) != comparable(output):
                failures.append("the output differs from the native run:\n"
                                + differences(native, output, "native", f"wine{a.width}"))
        else:
            print(f"note: no native output at {a.compare} to compare with")
    if a.keep or failures:
        keep = os.path.join(a.work, "run")
        if os.path.exists(passive):
            subprocess.run(["cp", "-a", passive, keep])
    shutil.rmtree(run, ignore_errors=True)
    print(f"{name} [{a.mode if a.mode == 'native' else f'wine, {a.width}-bit'}]: {elapsed:.1f} s")
    for failure in failures:
        print("CHECK FAILED: " + failure)
    # Wine's own chatter is shown only when it may explain a failure; a native
    # host's standard error (a sanitizer's or Valgrind's report) always.
    if (failures or a.mode == "native") and os.path.getsize(errors_log):
        with open(errors_log, encoding="utf-8", errors="replace") as f:
            print(f"-- standard error ({errors_log}):\n" + f.read())
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
