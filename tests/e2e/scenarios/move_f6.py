# F6 copies, then deletes in the camera only what was copied completely.
READY = False
PENDING = "waits for F6 (download, then delete)"
SCRIPT = """
passive out
open
cd 02-05-17
select all
reply ok
key F6
"""


def check(ctx):
    copied = sorted(c for (_, _, c) in ctx.files().values())
    ctx.expect(copied == sorted(p["crc"] for p in ctx.before[:2]), "both pictures copied")
    left = sorted(p["crc"] for p in ctx.after)
    ctx.expect(left == sorted(p["crc"] for p in ctx.before[2:]), "and deleted in the camera")
