#!/usr/bin/env python3
"""What bench/wine_bench.py reads from the host's output and the emulator's
trace, and how it sizes the pictures."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_bench  # noqa: E402

PHOTO = "1B 43 02 00 04 0E 12 00"
INFO = "1B 43 02 00 04 2F 33 00"
GET = "1B 43 02 00 01 01 02 00"
HAND_BACK = "1B 53 06 00 00 11 00 00 00 00 11 00"


def trace_of(lines):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write("\n".join(lines) + "\n")
    try:
        return wine_bench.parse_trace(f.name)
    finally:
        os.unlink(f.name)


class Stopwatch(unittest.TestCase):
    def test_lines(self):
        cases = [
            ("stopwatch: OpenPlugin 0.912345 s, no progress box",
             [("OpenPlugin", 0.912345, 0, None, None)]),
            ("stopwatch: ProcessKey(F5) 5.890035 s, 33 progress boxes from 0.125506 s to "
             "5.877387 s", [("ProcessKey(F5)", 5.890035, 33, 0.125506, 5.877387)]),
            # Boxes drawn by the host are not stopwatch lines, nor is a line
            # that only quotes one.
            ("~ Copy pictures | File 1: 0 of 65536 bytes (0%)\n"
             "echo: stopwatch: OpenPlugin 1.0 s, no progress box", []),
            ("> open\nstopwatch: OpenPlugin 1.5 s, no progress box\nOpenPlugin -> panel\n"
             "stopwatch: GetFiles 2.5 s, 2 progress boxes from 0.5 s to 2.0 s",
             [("OpenPlugin", 1.5, 0, None, None), ("GetFiles", 2.5, 2, 0.5, 2.0)]),
            ("stopwatch: OpenPlugin s, no progress box", []),
        ]
        for output, want in cases:
            with self.subTest(output=output):
                self.assertEqual(wine_bench.parse_stopwatch(output), want)


class CameraSide(unittest.TestCase):
    def test_downloads(self):
        connect = ["    1.000000 > 00", "    1.000500 < 15", "    1.000600 * host purged its input",
                   f"    1.010000 > {GET}", "    1.010400 < 03 00 04 00 01 00 00 00 01 00",
                   "    1.011000 > 06"]
        cases = [
            ("request to the last ACK", connect + [
                f"    1.020000 > {INFO}", "    1.020500 < 03 00 18 00 AA", "    1.021000 > 06",
                f"    1.030000 > {PHOTO}", "    1.030100 < 02 00 00 08 FF FF",
                "    1.210000 > 06", "    1.210100 < 03 00 10 00 FF",
                "    1.400000 > 06", f"    1.410000 > {HAND_BACK}", "    1.410700 < 06"],
             0.37),
            ("a request sent again counts from the first", [
                f"    2.000000 > {PHOTO}", "    2.000100 * host purged its input",
                f"    3.000000 > {PHOTO}", "    3.000100 < 03 00 01 00 FF", "    3.500000 > 06"],
             1.5),
            ("no photo asked for", connect, None),
            ("asked for, never acknowledged", [f"    2.000000 > {PHOTO}",
                                               "    2.000100 < 02 00 00 08 FF"], None),
            ("notes and speed changes are not bytes", [
                "    1.000000 * host line 115200", f"    1.100000 > {PHOTO}",
                "    1.200000 * lost at a speed mismatch: 06", "    1.300000 > 06"], 0.2),
        ]
        for name, lines, want in cases:
            with self.subTest(name):
                got = wine_bench.camera_side_download(trace_of(lines))
                if want is None:
                    self.assertIsNone(got)
                else:
                    self.assertAlmostEqual(got, want, places=6)


class Sizes(unittest.TestCase):
    def test_cells(self):
        class Args:
            picture_size = None
        cases = [(115200, 2048, None, 1024 * 1024), (115200, 4096, None, 64 * 1024),
                 (9600, 2048, None, 8 * 1024), (57600, 512, None, 48 * 1024),
                 (9600, 2048, 5000, 5000)]
        for speed, packet, given, want in cases:
            with self.subTest(speed=speed, packet=packet, given=given):
                args = Args()
                args.picture_size = given
                self.assertEqual(wine_bench.size_for(args, speed, packet), want)

    def test_packets(self):
        for size, packet, want in [(0, 2048, 1), (1, 2048, 1), (2048, 2048, 1), (2049, 2048, 2),
                                   (1024 * 1024, 2048, 512)]:
            with self.subTest(size=size, packet=packet):
                self.assertEqual(wine_bench.packet_count(size, packet), want)


if __name__ == "__main__":
    unittest.main()
