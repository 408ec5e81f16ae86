# The host's stopwatch, which the Wine benchmark reads: armed, it times the
# next call into the plugin once, with the progress boxes shown during it (one
# before the request, one after each of the 10 packets of a 20,000-byte
# picture), in order; a later open is not timed.
import re

CAMSIM = ["--samples", "1", "--picture-size", "20000", "--packet-size", "2048"]
SCRIPT = """
passive out
stopwatch
reply ok
configure
open
select all
reply ok
stopwatch
key F5
expect result 1
expect files 1
close
open
"""

LINE = re.compile(r"^stopwatch: (\S+) ([0-9.]+) s, (?:no progress box|(\d+) progress boxes "
                  r"from ([0-9.]+) s to ([0-9.]+) s)$")


def check(ctx):
    timed = [LINE.match(l) for l in ctx.output.splitlines() if l.startswith("stopwatch:")]
    ctx.expect(all(timed), f"stopwatch lines in the expected form: {timed}")
    # `configure` is not timed, so the first stopwatch waits for the open.
    ctx.expect([m.group(1) for m in timed] == ["OpenPlugin", "ProcessKey(F5)"],
               f"one line for the open and one for F5: {[m.group(0) for m in timed]}")
    opened, copied = timed
    ctx.expect(opened.group(3) == "1", f"the open shows its one box: {opened.group(0)}")
    ctx.expect(copied.group(3) == "11", f"11 progress boxes for 10 packets: {copied.group(0)}")
    first, last, whole = float(copied.group(4)), float(copied.group(5)), float(copied.group(2))
    ctx.expect(0 <= first <= last <= whole, f"the boxes come within the call: {copied.group(0)}")
