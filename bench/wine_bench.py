#!/usr/bin/env python3
"""The transfer and panel-open benchmarks of the real Pixlor.dll under Wine.

Both DLLs are timed: the 32-bit one in a 32-bit prefix (not where Wine's
32-bit processes are emulated), the 64-bit one in a 64-bit prefix under 64-bit
Wine (natively everywhere), each row of one width beside the other's. The
64-bit DLL is timed in the goal cell only (1 MiB at 115200 bit/s, 2048-byte
packets) unless --cells64 all, and in every open row.

Each measurement is one run of the test host pixlor-host.exe of the DLL's width
with the DLL, in a fresh clone of a headless Wine prefix whose COM2 is the camera
emulator pixlor-camsim on a pseudo-terminal, pacing its bytes at the line's
speed (--pace) and losing those sent at a speed the host has not set
(--strict-speed).

What is timed is what the user of the DLL sees, taken by the host (its
`stopwatch` command, steady clock):

- download: F5 on the one picture of the camera; from the first progress box
  (drawn before the file is created and the picture asked for) to the last one
  (the last packet read and checked). Left out: the connection made before it
  and the hand-back after it, which the native table leaves out as well; also
  the last ACK and the file's close, together well under a millisecond.
  The whole F5 is shown beside it (f5_s), and the camera's own view from the
  emulator's trace (camera_s: the request's first byte to the last ACK, as the
  emulator read them), a second clock on the other side of the line.
- open: OpenPlugin alone, as in the native table.

Every downloaded file is compared with the picture the emulator held (size and
CRC-32); a run whose file differs counts as failed.

  bench/wine_bench.py [--quick] [--widths 32,64] [--cells64 goal|all]
                      [--speeds 9600,...] [--packets 512,...]
                      [--picture-size BYTES] [--repeat N] [--open-repeat N]
                      [--pictures 1,50,200] [--keep DIR]
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools", "e2e"))
# The end-to-end harness: the emulator's start, stop and state file, and the
# prefix clone.
import run_scenario  # noqa: E402
from run_scenario import WINE_OVERRIDES  # noqa: E402

sys.path.insert(0, os.path.join(ROOT, "scripts"))
# How Wine's 32-bit processes run here: no figures under an emulator.
import wine32  # noqa: E402
KIB = 1024
MIB = 1024 * 1024
# Line speed -> (the settings' speed index, the default picture size): about
# eight seconds of line time, as bench/TransferBench.cpp sizes them.
SPEEDS = {9600: (1, 8 * KIB), 19200: (2, 16 * KIB), 38400: (3, 32 * KIB),
          57600: (4, 48 * KIB), 115200: (5, 64 * KIB)}
PACKETS = [512, 1024, 2048, 4096]
# The configuration dialog's speed buttons: item 10 + the speed index.
SPEED_RADIO_BASE = 10
# The goals, the same for both DLLs: the goal cell at least this share of the
# line limit, the open of the most pictures at most this multiple of the minimum
# (median).
GOAL_CELL = (115200, 2048)
GOAL_LINE = 0.99
GOAL_OPEN = 1.10

STOPWATCH = re.compile(r"^stopwatch: (\S+) ([0-9.]+) s, (?:no progress box|(\d+) progress boxes "
                       r"from ([0-9.]+) s to ([0-9.]+) s)$", re.M)


class RunFailed(Exception):
    pass


def parse_stopwatch(output):
    """The host's stopwatch lines: [(call, seconds, boxes, first, last)]."""
    found = []
    for m in STOPWATCH.finditer(output):
        boxes = int(m.group(3) or 0)
        first = float(m.group(4)) if boxes else None
        last = float(m.group(5)) if boxes else None
        found.append((m.group(1), float(m.group(2)), boxes, first, last))
    return found


def parse_trace(path):
    """The emulator's trace: [(seconds, direction, bytes)] without the notes."""
    lines = []
    with open(path) as f:
        for line in f:
            words = line.split()
            if len(words) < 2 or words[1] not in "<>":
                continue
            try:
                data = bytes(int(w, 16) for w in words[2:])
            except ValueError:
                continue
            lines.append((float(words[0]), words[1], data))
    return lines


def camera_side_download(trace):
    """Seconds from the photo request to the last ACK, as the emulator read
    them (a command counts when its last piece came); None when the trace has
    no complete download. The request is the command packet 1B 43 02 00 with
    the payload 04 0E."""
    start = None
    for t, direction, data in trace:
        if direction == ">" and data[:6] == b"\x1b\x43\x02\x00\x04\x0e":
            start = t
            break  # a request sent again still started with the first
    if start is None:
        return None
    last_ack = None
    for t, direction, data in trace:
        if t >= start and direction == ">" and data == b"\x06":
            last_ack = t
    return None if last_ack is None else last_ack - start


def model(build, *args):
    out = subprocess.run([os.path.join(build, "bench", "pixlor-bench-model")] +
                         [str(a) for a in args], check=True, capture_output=True, text=True)
    summed, overlap = out.stdout.split()
    return float(summed), float(overlap)


def packet_count(size, packet):
    return max(1, -(-size // packet))


def parse_list(text):
    return [int(x) for x in text.split(",") if x]


class Rig:
    """The prefix template, the programs, and one run at a time."""

    def __init__(self, build, windows, keep, width):
        self.build = build
        self.windows = windows
        self.width = width
        self.camsim = os.path.join(build, "tools", "camsim", "pixlor-camsim")
        self.keep = keep
        self.template = os.path.join(build, "wine-bench", "template" if width == 32
                                     else f"template{width}")
        preset = "windows" if width == 32 else f"windows{width}"
        for path in (self.camsim, os.path.join(windows, "Pixlor.dll"),
                     os.path.join(windows, "pixlor-host.exe")):
            if not os.path.exists(path):
                raise SystemExit(f"wine_bench: {path} is missing (build the release and "
                                 f"{preset} presets)")

    def make_template(self):
        if os.path.exists(os.path.join(self.template, "system.reg")):
            return
        os.makedirs(os.path.dirname(self.template), exist_ok=True)
        print(f"# making the {self.width}-bit Wine prefix template (once)", flush=True)
        subprocess.run([os.path.join(ROOT, "tools", "e2e", "mkprefix.sh"), self.template,
                        str(self.width)],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, name, script, camsim_args, timeout):
        """Runs the host with `script` against an emulator started with
        `camsim_args`; returns (host output, run folder). The caller removes
        the folder with finish()."""
        run = tempfile.mkdtemp(prefix="pxb", dir="/tmp")
        pfx = os.path.join(run, "pfx")
        run_scenario.clone_prefix(self.template, pfx)
        folder = os.path.join(pfx, "drive_c", "Pixlor")
        os.makedirs(folder)
        for f in os.listdir(self.windows):
            if f.endswith((".dll", ".lng", ".hlf", ".exe")):
                shutil.copy(os.path.join(self.windows, f), folder)
        os.makedirs(os.path.join(run, "tmp"))
        with open(os.path.join(run, "script.txt"), "w") as f:
            f.write(script)
        wine, arch = run_scenario.wine_command(self.width)
        env = dict(os.environ, TZ="UTC", TMPDIR=os.path.join(run, "tmp"), WINEPREFIX=pfx,
                   WINEARCH=arch, WINEDEBUG="-all", WINEDLLOVERRIDES=WINE_OVERRIDES)
        for k in ("DISPLAY", "WAYLAND_DISPLAY"):
            env.pop(k, None)
        log = open(os.path.join(run, "camsim.log"), "w")
        try:
            emu = run_scenario.start_camsim(self.camsim, os.path.join(pfx, "ttyCOM2"),
                                            camsim_args, os.path.join(run, "state.txt"),
                                            os.path.join(run, "trace.txt"), log)
        except RuntimeError:
            log.close()
            raise RunFailed(f"{name}: the camera emulator did not start")
        output = ""
        try:
            try:
                proc = subprocess.run(wine + [os.path.join(folder, "pixlor-host.exe"),
                                              "--serialcomm", "COM2", "script.txt"],
                                      cwd=run, env=env,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                      stderr=subprocess.STDOUT, timeout=timeout)
                output = proc.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
                rc = proc.returncode
            except subprocess.TimeoutExpired as e:
                output = (e.stdout or b"").decode("utf-8", "replace")
                rc = "a time-out"
        finally:
            # Every Wine process ends before the pty goes away.
            subprocess.run(["wineserver", "-k"], env=env)
            subprocess.run(["wineserver", "-w"], env=env)
            run_scenario.stop_camsim(emu)
            log.close()
        with open(os.path.join(run, "host.out"), "w") as f:
            f.write(output)
        if rc != 0:
            self.finish(run, name, failed=True)
            raise RunFailed(f"{name}: the host ended with {rc}")
        return output, run

    def finish(self, run, name, failed=False):
        if self.keep:
            target = os.path.join(self.keep, name)
            shutil.rmtree(target, ignore_errors=True)
            os.makedirs(self.keep, exist_ok=True)
            shutil.copytree(run, target, symlinks=True,
                            ignore=shutil.ignore_patterns("pfx"))
        elif failed:
            print(f"# {name}: the run's folder is kept in {run}", file=sys.stderr)
            return
        shutil.rmtree(run, ignore_errors=True)


def photo_of_state(path):
    """(size, crc) of picture 1 in the emulator's --state file."""
    pictures = run_scenario.parse_state(path) or []
    if not pictures or pictures[0]["number"] != 1:
        raise RunFailed("the emulator's state has no picture 1")
    return pictures[0]["photo"], pictures[0]["crc"]


def copied_files(folder):
    found = []
    for root, _, names in os.walk(folder):
        found += [os.path.join(root, n) for n in names]
    return found


def download_once(rig, speed, packet, size, run_number):
    index = SPEEDS[speed][0]
    script = f"""passive out
load
radio {SPEED_RADIO_BASE + index}
reply ok
configure
expect result 1
open
select all
reply ok
stopwatch
key F5
expect result 1
expect no-box Errors
expect files 1
"""
    name = f"transfer{rig.width}-{speed}-{packet}-{run_number}"
    output, run = rig.run(name, script, ["--pace", "--strict-speed", "--samples", "1",
                                         "--picture-size", str(size), "--packet-size",
                                         str(packet)], timeout=60 + 30 * size * 10 / speed)
    try:
        timed = [s for s in parse_stopwatch(output) if s[0] == "ProcessKey(F5)"]
        if len(timed) != 1:
            raise RunFailed(f"{name}: no stopwatch line for F5")
        _, f5, boxes, first, last = timed[0]
        # One box before the request, one after each packet.
        if boxes != packet_count(size, packet) + 1:
            raise RunFailed(f"{name}: {boxes} progress boxes for "
                            f"{packet_count(size, packet)} packets")
        want_size, want_crc = photo_of_state(os.path.join(run, "state.txt"))
        files = copied_files(os.path.join(run, "out"))
        if len(files) != 1:
            raise RunFailed(f"{name}: {len(files)} files copied")
        with open(files[0], "rb") as f:
            data = f.read()
        if want_size != size or len(data) != size or zlib.crc32(data) != want_crc:
            raise RunFailed(f"{name}: the copied file is not the picture")
        camera = camera_side_download(parse_trace(os.path.join(run, "trace.txt")))
    except RunFailed:
        rig.finish(run, name, failed=True)
        raise
    rig.finish(run, name)
    return last - first, f5, camera


def open_once(rig, pictures, run_number):
    script = """load
stopwatch
open
expect open
"""
    name = f"open{rig.width}-{pictures}-{run_number}"
    output, run = rig.run(name, script, ["--pace", "--strict-speed", "--samples",
                                         str(pictures)], timeout=120 + pictures * 0.2)
    rig.finish(run, name)
    timed = [s for s in parse_stopwatch(output) if s[0] == "OpenPlugin"]
    if len(timed) != 1 or "OpenPlugin -> panel" not in output:
        raise RunFailed(f"{name}: the panel did not open")
    return timed[0][1]


def size_for(args, speed, packet):
    if args.picture_size:
        return args.picture_size
    if speed == 115200 and packet == 2048:
        return MIB
    return SPEEDS[speed][1]


def cells_of(rig, args):
    """The (speed, packet) cells this width is timed in."""
    cells = [(speed, packet) for speed in args.speeds for packet in args.packets]
    if rig.width == 64 and args.cells64 == "goal":
        return [c for c in cells if c == GOAL_CELL]
    return cells


def transfer_table(rigs, args, goals):
    print("# wine transfer: F5 on one picture, Pixlor.dll in pixlor-host.exe under Wine, "
          f"emulator paced at the line's speed, {args.repeat} run(s) a row; bits: the DLL's width")
    print("# seconds: first to last progress box (the download without its connection); "
          "f5_s: the whole F5; camera_s: request to last ACK as the emulator read them")
    print("# line limit = speed / 10 B/s; ratio: best / minimum; overlap: best / the tighter "
          "bound")
    print(f"{'bits':>4} {'speed':>7} {'packet':>6} {'bytes':>8} {'best_s':>9} {'median_s':>9} "
          f"{'best_B/s':>9} {'line_%':>7} {'minimum_s':>9} {'min_%':>7} {'ratio':>7} "
          f"{'overlap':>7} {'f5_s':>8} {'camera_s':>9}", flush=True)
    failures = 0
    for speed in args.speeds:
        for packet in args.packets:
            for rig in rigs:
                if (speed, packet) not in cells_of(rig, args):
                    continue
                size = size_for(args, speed, packet)
                runs = []
                for n in range(args.repeat):
                    try:
                        runs.append(download_once(rig, speed, packet, size, n))
                    except RunFailed as e:
                        print(f"# {e}", file=sys.stderr)
                        failures += 1
                if not runs:
                    print(f"{rig.width:>4} {speed:>7} {packet:>6} {size:>8}   failed", flush=True)
                    continue
                runs.sort()
                best, f5, camera = runs[0]
                median = statistics.median(r[0] for r in runs)
                limit = speed / 10
                minimum, tight = model(rig.build, "download", size, packet, speed)
                rate = size / best
                cam = f"{camera:9.3f}" if camera is not None else f"{'-':>9}"
                print(f"{rig.width:>4} {speed:>7} {packet:>6} {size:>8} {best:9.3f} "
                      f"{median:9.3f} {rate:9.0f} {100 * rate / limit:7.2f} {minimum:9.3f} "
                      f"{100 * size / minimum / limit:7.2f} {best / minimum:7.4f} "
                      f"{best / tight:7.4f} {f5:8.3f} {cam}", flush=True)
                if (speed, packet) == GOAL_CELL:
                    goals.append((rig.width, "transfer", rate / limit, GOAL_LINE))
    return failures


def open_table(rigs, args, goals):
    speed = 115200
    print(f"# wine panel open: OpenPlugin of Pixlor.dll under Wine; handshakes at 19200 bit/s, "
          f"the rest at {speed}; {args.open_repeat} run(s) a row; bits: the DLL's width")
    print("# minimum: every pause plus every byte; overlap_x: against the tighter bound")
    print(f"{'bits':>4} {'pictures':>8} {'speed':>7} {'best_s':>9} {'median_s':>9} "
          f"{'minimum_s':>10} {'best_x':>7} {'median_x':>8} {'overlap_x':>9}", flush=True)
    failures = 0
    for count in args.pictures:
        for rig in rigs:
            runs = []
            for n in range(args.open_repeat):
                try:
                    runs.append(open_once(rig, count, n))
                except RunFailed as e:
                    print(f"# {e}", file=sys.stderr)
                    failures += 1
            if not runs:
                print(f"{rig.width:>4} {count:>8} {speed:>7}   failed", flush=True)
                continue
            best, median = min(runs), statistics.median(runs)
            minimum, tight = model(rig.build, "open", count, speed)
            print(f"{rig.width:>4} {count:>8} {speed:>7} {best:9.3f} {median:9.3f} "
                  f"{minimum:10.3f} {best / minimum:7.3f} {median / minimum:8.3f} "
                  f"{median / tight:9.3f}", flush=True)
            if count == max(args.pictures):
                goals.append((rig.width, f"open of {count}", median / minimum, GOAL_OPEN))
    return failures


def print_goals(goals):
    """One line a goal and a width: the figure, the goal, met or missed."""
    for width, what, figure, goal in goals:
        if what == "transfer":
            met = figure >= goal
            print(f"# goal, {width}-bit DLL: the goal cell at {100 * figure:.2f} % of the line "
                  f"(at least {100 * goal:.0f} %): {'met' if met else 'MISSED'}")
        else:
            met = figure <= goal
            print(f"# goal, {width}-bit DLL: the {what} pictures at {figure:.3f} of the minimum "
                  f"(median; at most {goal:.2f}): {'met' if met else 'MISSED'}")


def widths_here(wanted):
    """The widths that can be timed here, with one line for each left out."""
    widths = []
    for width in wanted:
        if width == 32:
            if shutil.which("wine") is None:
                print("wine_bench: no 32-bit figures: wine is not installed "
                      "(scripts/install-deps.sh)", file=sys.stderr)
                return None
            if wine32.emulated() or wine32.foreign_entries():
                # Every instruction of the DLL and of Wine would be translated: such a
                # figure says nothing of a real machine, so none is taken.
                print("wine_bench: no 32-bit Wine figures on this machine: " + wine32.describe()
                      + ". The native tables and the 64-bit rows stand.")
                continue
        elif not os.access(run_scenario.WINE64, os.X_OK):
            print(f"wine_bench: no 64-bit figures: {run_scenario.WINE64} is missing (the package "
                  "wine64, scripts/install-deps.sh)", file=sys.stderr)
            return None
        widths.append(width)
    return widths


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build", "release"),
                    help="release build tree (pixlor-camsim, pixlor-bench-model)")
    ap.add_argument("--windows", default=os.path.join(ROOT, "build", "windows", "Pixlor"),
                    help="folder of the 32-bit Pixlor.dll and pixlor-host.exe")
    ap.add_argument("--windows64", default=os.path.join(ROOT, "build", "windows64", "Pixlor"),
                    help="folder of the 64-bit Pixlor.dll and pixlor-host.exe")
    ap.add_argument("--widths", type=parse_list, default=[32, 64],
                    help="the DLLs to time: 32, 64 or both (the default)")
    ap.add_argument("--cells64", choices=["goal", "all"], default="goal",
                    help="the 64-bit DLL's transfer cells: the goal cell only, or all")
    ap.add_argument("--quick", action="store_true",
                    help="only 115200 bit/s with 2048-byte packets, and the open rows once")
    ap.add_argument("--speeds", type=parse_list, default=sorted(SPEEDS))
    ap.add_argument("--packets", type=parse_list, default=PACKETS)
    ap.add_argument("--picture-size", type=int)
    ap.add_argument("--repeat", type=int, default=1)
    ap.add_argument("--open-repeat", type=int, default=5)
    ap.add_argument("--pictures", type=parse_list, default=[1, 50, 200])
    ap.add_argument("--no-open", action="store_true")
    ap.add_argument("--no-transfer", action="store_true")
    ap.add_argument("--keep", help="copy each run's logs and trace into this folder")
    args = ap.parse_args()
    if args.quick:
        args.speeds, args.packets, args.open_repeat = [115200], [2048], 1
    for speed in args.speeds:
        if speed not in SPEEDS:
            ap.error(f"no line speed {speed}")
    for width in args.widths:
        if width not in (32, 64):
            ap.error(f"no width {width} (32 or 64)")
    if shutil.which("wineserver") is None:
        print("wine_bench: wine is not installed (scripts/install-deps.sh)", file=sys.stderr)
        return 1
    widths = widths_here(args.widths)
    if widths is None:
        return 1
    if not widths:
        return 0
    folders = {32: args.windows, 64: args.windows64}
    rigs = [Rig(os.path.abspath(args.build), os.path.abspath(folders[w]), args.keep, w)
            for w in widths]
    for rig in rigs:
        rig.make_template()
    failures = 0
    goals = []
    if not args.no_transfer:
        failures += transfer_table(rigs, args, goals)
    if not args.no_transfer and not args.no_open:
        print()
    if not args.no_open:
        failures += open_table(rigs, args, goals)
    print_goals(goals)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
