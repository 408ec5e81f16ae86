# F6 on the folder of 17 May: both pictures copied completely, then exactly
# those two deleted in the camera; the panel then lists the other folders.
SCRIPT = """
passive out
open
select 02-05-17
reply ok
key F6
expect result 1
expect no-box Errors
list
expect items 2
expect item 02-05-18
expect item 02-06-15
expect files 2
expect file 02-05-17/pic17.05.2002_001.jpg
expect file 02-05-17/pic17.05.2002_002.jpg
"""


def check(ctx):
    files = ctx.files()
    copied = sorted((size, crc) for (size, _, crc) in files.values())
    ctx.expect(copied == sorted((p["photo"], p["crc"]) for p in ctx.before[:2]),
               f"both pictures copied completely: {sorted(files)}")
    left = [p["crc"] for p in ctx.after]
    ctx.expect(left == [p["crc"] for p in ctx.before[2:]],
               "exactly those two deleted in the camera, the others kept in order")
    ctx.expect('help "WhereToCopy"' in ctx.output and "Move pictures" in ctx.output,
               "the move dialog")
    ctx.expect("Deleting picture 2 of 2" in ctx.output, "the deletion's progress")
