#!/usr/bin/env python3
"""The emulator soak in parallel lanes: each lane is a process of its own (the
plugin keeps module-wide state) running EmulatorSoak with a seed of its own
against its own emulator; the figures of all lanes are added up.

    scripts/emulator-soak.py TEST_BINARY [--cycles 500] [--lanes 20] [--seed 20020518]

Lane i runs with seed SEED + i; the cycles are spread over the lanes. Each
lane's output is kept in LOGDIR/lane-I.log (default: beside the binary, soak/).
Exits 1 when a lane fails or loses a picture."""
import argparse
import os
import re
import subprocess
import sys
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("--cycles", type=int, default=500)
    parser.add_argument("--lanes", type=int, default=20)
    parser.add_argument("--seed", type=int, default=20020518)
    parser.add_argument("--logdir")
    args = parser.parse_args()
    lanes = max(1, min(args.lanes, args.cycles))
    logdir = args.logdir or os.path.join(os.path.dirname(os.path.abspath(args.binary)), "soak")
    os.makedirs(logdir, exist_ok=True)

    start = time.monotonic()
    running = []
    for lane in range(lanes):
        cycles = args.cycles // lanes + (1 if lane < args.cycles % lanes else 0)
        env = dict(os.environ,
                   PIXLOR_EMULATOR_SOAK_SEED=str(args.seed + lane),
                   PIXLOR_EMULATOR_SOAK_CYCLES=str(cycles))
        log = open(os.path.join(logdir, "lane-%d.log" % lane), "w")
        process = subprocess.Popen(
            [args.binary, "--gtest_filter=EmulatorSoak.*"], env=env, stdout=log,
            stderr=subprocess.STDOUT)
        running.append((lane, args.seed + lane, process, log))

    totals = {}
    faults = {}
    heap = []
    failed = []
    for lane, seed, process, log in running:
        code = process.wait()
        log.close()
        text = open(log.name).read()
        figures = re.search(r"^soak-figures: (.*)$", text, re.M)
        if code != 0 or not figures:
            failed.append(lane)
        if not figures:
            continue
        for key, value in (item.split("=") for item in figures.group(1).split()):
            if key.startswith("fault:"):
                faults[key[6:]] = faults.get(key[6:], 0) + int(value)
            elif key == "heap":
                heap.append(int(value))
            else:
                totals[key] = totals.get(key, 0) + int(value)
    wall = time.monotonic() - start

    print("emulator soak: %d lanes, seeds %d to %d, %d s wall" %
          (lanes, args.seed, args.seed + lanes - 1, round(wall)))
    for key in ("cycles", "operations", "openings", "copied", "reports", "lost", "failed",
                "reconnected"):
        print("  %-11s %d" % (key, totals.get(key, 0)))
    print("  faults      %d: %s" % (sum(faults.values()), ", ".join(
        "%s %d" % item for item in sorted(faults.items()))))
    if heap:
        print("  heap growth per lane (bytes): max %d, median %d" %
              (max(heap), sorted(heap)[len(heap) // 2]))
    if failed:
        print("  lanes failed: %s (logs in %s)" % (", ".join(map(str, failed)), logdir))
    return 1 if failed or totals.get("lost", 0) else 0


if __name__ == "__main__":
    sys.exit(main())
