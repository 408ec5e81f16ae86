#!/usr/bin/env python3
"""Fails when a product file includes from a floor above its own.

The product's folders are layers: each file includes only from its own floor
or lower, so the tree shows who may know whom. tools/, tests/, bench/ and the
generated headers stand apart. A top-level folder is one floor.

  check_layers.py [ROOT]      prints each upward include; exit 1 if any
  check_layers.py --floors    prints the floors
"""
import os
import re
import subprocess
import sys

# From the bottom up. Folders on one floor may include each other's files.
FLOORS = [
    ("platform", 0, "the seam to the system: one small interface per capability, win32/ and posix/"),
    ("serial", 1, "the serial port"),
    ("camera", 2, "the packet link and the camera"),
    ("host", 3, "the host's records, services, boxes, dialog items, panel calls, texts"),
    ("settings", 3, "the settings store over the registry seam"),
    ("transfer", 4, "names, picture times, transfer lists, the per-file copy rule, the copy and delete engines"),
    ("plugin", 5, "the panel: lifecycle, listing, find data, start-up"),
    ("commands", 6, "key commands, the host's copy, progress and questions in boxes"),
    ("configure", 6, "the configuration dialog"),
    ("entry", 7, "the exports, which only forward"),
]
# Upward includes still being moved; empty when the tree has its layers.
ALLOWED = set()

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def floor_of(path):
    top = path.split("/", 1)[0]
    for folder, floor, _ in FLOORS:
        if folder == top:
            return (folder, floor)
    return None


def product_files(root):
    listed = subprocess.run(["git", "ls-files", "*.cpp", "*.h"], cwd=root, capture_output=True,
                            text=True, check=True).stdout.split()
    return [p for p in listed if floor_of(p) is not None]


def upward_includes(root):
    found = []
    for path in product_files(root):
        here = floor_of(path)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for target in INCLUDE.findall(text):
            there = floor_of(target)
            if there is not None and there[1] > here[1]:
                found.append((path, target, here, there))
    return found


def main(argv):
    if "--floors" in argv:
        for folder, floor, what in sorted(FLOORS, key=lambda f: -f[1]):
            print(f"{floor}  {folder + '/':18} {what}")
        return 0
    args = [a for a in argv[1:] if not a.startswith("-")]
    root = args[0] if args else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    bad = 0
    for path, target, here, there in upward_includes(root):
        if (path, target) in ALLOWED:
            continue
        bad += 1
        print(f"{path} (floor {here[1]}, {here[0]}/) includes {target} "
              f"(floor {there[1]}, {there[0]}/)")
    stale = ALLOWED - {(p, t) for p, t, _, _ in upward_includes(root)}
    for path, target in sorted(stale):
        print(f"allowed but no longer there: {path} -> {target}")
    print(f"layers: {len(product_files(root))} files, {bad} upward includes")
    return 1 if bad or stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
