# F8 deletes the selected pictures after the confirmation; Cancel deletes nothing.
READY = False
PENDING = "waits for F8 (delete in the camera)"
CAMSIM = ["--samples", "3"]
SCRIPT = """
passive out
open
cd 02-05-17
select pic17.05.2002_001.jpg
reply cancel
key F8
reply ok
key F8
"""


def check(ctx):
    ctx.expect(len(ctx.after) == len(ctx.before) - 1, "one picture deleted")
    ctx.expect(ctx.before[0]["crc"] not in [p["crc"] for p in ctx.after], "the selected one")
    ctx.expect(not ctx.files(), "nothing written")
