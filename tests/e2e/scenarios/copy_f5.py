# F5 on every picture of one folder into a folder typed in the dialog: the
# pictures land byte for byte with the picture's date as their time.
READY = False
PENDING = "waits for F5 (download to folders)"
SCRIPT = """
passive out
open
cd 02-05-17
select all
edit 2 photos
reply ok
key F5
expect result 1
"""


def check(ctx):
    files = ctx.files()
    crcs = sorted(c for (_, _, c) in files.values())
    want = sorted(p["crc"] for p in ctx.before[:2])
    ctx.expect(crcs == want, f"the two pictures of 17 May, byte for byte: {sorted(files)}")
    times = sorted(t for (_, t, _) in files.values())
    ctx.expect(times == sorted(p["time"] for p in ctx.before[:2]), "file times = picture times")
    ctx.expect(ctx.after == ctx.before, "F5 deletes nothing")
