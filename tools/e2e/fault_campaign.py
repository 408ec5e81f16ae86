#!/usr/bin/env python3
"""A random fault campaign: many runs of the test host with the real plugin
(natively, or the Windows DLL under Wine) against the camera emulator, each
with one to three random emulator faults (any kind, aimed at any command, at
any packet) and a random copy, move or delete. After every run, from Linux:
the user's file in the destination keeps its bytes, every picture that left
the camera lies complete on disk (a delete excepted), and the host neither
crashed nor hung. Faults that no test names on purpose: this is the check that
the tests' own list of faults is not the limit of what is handled.

  tools/e2e/fault_campaign.py --runs 200 --seed 1 --build build/native
  tools/e2e/fault_campaign.py --mode wine --runs 20 --build build/native \\
      --windows build/windows/Pixlor --template build/native/tests/e2e/wine-template
  tools/e2e/fault_campaign.py --mode wine --width 64 --runs 20 --build build/native \\
      --windows build/windows64/Pixlor --template build/native/tests/e2e/wine64-template

Prints one line a run and a summary; exits 1 when an invariant broke.
"""
import argparse
import collections
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

ANSWER_FAULTS = ["nak", "nak:3", "nak:8", "silent", "silent:3", "refuse", "byte:0x06",
                 "byte:0x15", "byte:0x05", "byte:0x00", "byte:0xFF", "byte:0x18", "delay:900",
                 "delay:1900", "delay:2100", "delay:4000"]
PACKET_FAULTS = ["checksum:{k}", "cut:{k}", "vanish:{k}"]
WHOLE_RUN_FAULTS = ["slow:300", "slow:2500", "checksum-always"]
TARGETS = ["probe", "set", "select", "speed", "get", "count", "request", "info", "photo", "thumb",
           "delete", "ack"]
# What the user does: the keys after "open" and "select all" (the copy dialog
# and every box are answered with OK).
OPERATIONS = {
    "F5": "key F5",
    "F6": "key F6",
    "Shift+F6": "key Shift+F6",
    "Alt+F6": "key Alt+F6",
    "Ctrl+Alt+F6": "key Ctrl+Alt+F6",
    "F6 in the thumbnail view": "key F7\nkey F6",
    "Shift+F6 in the thumbnail view": "key F7\nkey Shift+F6",
    "F6 inside a folder": "cd 02-05-17\nselect all\nkey F6",
    "F8": "key F8",
    "host copy": "getfiles",
}

SCENARIO = r'''
import os
CAMSIM = {camsim!r}
ANY_RC = True
SCRIPT = {script!r}
OWN = b"the user's own file\n"
OWN_PATH = ("02-05-17", "pic17.05.2002_001.jpg")


def prepare(passive):
    os.makedirs(os.path.join(passive, OWN_PATH[0]))
    with open(os.path.join(passive, *OWN_PATH), "wb") as f:
        f.write(OWN)


def check(ctx):
    with open(os.path.join(ctx.passive, *OWN_PATH), "rb") as f:
        ctx.expect(f.read() == OWN, "the user's file was overwritten")
    on_disk = {{(size, crc) for (size, _, crc) in ctx.files().values()}}
    left = {{p["crc"] for p in (ctx.after or [])}}
    gone = [p for p in ctx.before if p["crc"] not in left]
    lost = [p["number"] for p in gone if (p["photo"], p["crc"]) not in on_disk]
    ctx.expect({deletes!r} or not lost, f"pictures deleted without a complete copy: {{lost}}")
    ctx.expect(ctx.rc in (0, 1), f"the host ended with {{ctx.rc}}")
    ctx.expect("(the host timed out)" not in ctx.output, "the host hung")
'''


def random_fault(rng):
    roll = rng.random()
    if roll < 0.55:
        fault = rng.choice(ANSWER_FAULTS)
        if rng.random() < 0.8:
            fault += "@" + rng.choice(TARGETS)
            if rng.random() < 0.4:
                fault += "#%d" % rng.randint(1, 6)
        return fault
    if roll < 0.9:
        fault = rng.choice(PACKET_FAULTS).format(k=rng.randint(1, 12))
        if rng.random() < 0.7:
            fault += "@" + rng.choice(["photo", "thumb", "info", "count", "get"])
        return fault
    return rng.choice(WHOLE_RUN_FAULTS)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--runs", type=int, default=100)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--mode", choices=["native", "wine"], default="native")
    ap.add_argument("--build", default="build/native", help="the native tree (emulator, host)")
    ap.add_argument("--windows", help="folder of Pixlor.dll and pixlor-host.exe (wine mode)")
    ap.add_argument("--template", help="Wine prefix template of the DLL's width (wine mode)")
    ap.add_argument("--width", type=int, choices=[32, 64], default=32,
                    help="wine mode: the DLL's width (32: build/windows, 64: build/windows64)")
    ap.add_argument("--keep", help="keep each run's scenario and logs below this folder")
    a = ap.parse_args()

    build = os.path.abspath(a.build)
    camsim = os.path.join(build, "tools", "camsim", "pixlor-camsim")
    if a.mode == "native":
        host, plugin_dir = os.path.join(build, "Pixlor", "pixlor-host"), os.path.join(build, "Pixlor")
    else:
        host = os.path.join(os.path.abspath(a.windows), "pixlor-host.exe")
        plugin_dir = os.path.abspath(a.windows)
    if a.mode == "wine":
        import run_scenario
        print(run_scenario.wine_line(a.width), flush=True)
    rng = random.Random(a.seed)
    work = a.keep or tempfile.mkdtemp(prefix="pixlor-campaign-")
    os.makedirs(work, exist_ok=True)
    tally = collections.Counter()
    broken = []
    for run in range(1, a.runs + 1):
        name = rng.choice(sorted(OPERATIONS))
        faults = [random_fault(rng) for _ in range(rng.randint(1, 3))]
        args = [w for f in faults for w in ("--fault", f)]
        if rng.random() < 0.3:
            args += ["--packet-size", str(rng.choice([100, 512, 1000, 4096]))]
        if rng.random() < 0.2:
            args.append("--refuse-delete-last")
        script = ("passive out\nopen\nselect all\n" + "reply ok\n" * 5 + OPERATIONS[name] +
                  "\nlist\nclose\nopen\nlist\n")
        scenario = os.path.join(work, f"run{run}.py")
        with open(scenario, "w") as f:
            f.write(SCENARIO.format(camsim=args, script=script, deletes=name == "F8"))
        cmd = [sys.executable, os.path.join(HERE, "run_scenario.py"), "--mode", a.mode,
               "--scenario", scenario, "--work", os.path.join(work, f"run{run}"), "--host", host,
               "--plugin-dir", plugin_dir, "--camsim", camsim, "--timeout", "240"]
        if a.mode == "wine":
            cmd += ["--template", os.path.abspath(a.template), "--width", str(a.width)]
        out = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                             errors="replace").stdout
        failed = [l[len("CHECK FAILED: "):] for l in out.splitlines() if l.startswith("CHECK FAILED")]
        if "Traceback" in out:
            failed.append("the harness failed: " + out.strip().splitlines()[-1])
        reports = [l.strip("| ") for l in out.splitlines() if "link status" in l]
        tally["runs"] += 1
        tally["with an Errors box"] += 1 if reports else 0
        verdict = "BROKEN " + "; ".join(failed) if failed else "ok"
        if failed:
            broken.append(run)
        print(f"run {run}: {name}, {' '.join(faults)} {' '.join(args[2 * len(faults):])}: "
              f"{verdict}; {len(reports)} reports {reports[:2]}", flush=True)
    print(f"campaign: seed {a.seed}, {a.mode}, {tally['runs']} runs, "
          f"{tally['with an Errors box']} with an Errors box, {len(broken)} broken {broken}")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
