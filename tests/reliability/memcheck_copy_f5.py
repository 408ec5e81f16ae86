# Open, list and F5 of the pictures of 17 May under Valgrind: the run itself is
# the check (memcheck's verdict is the host's exit code); the files must land
# byte for byte as without it.
SCRIPT = """
passive out
open
expect open
list
cd 02-05-17
list
expect items 2
select all
reply ok
key F5
expect result 1
close
expect closed
"""


def check(ctx):
    crcs = sorted(c for (_, _, c) in ctx.files().values())
    ctx.expect(crcs == sorted(p["crc"] for p in ctx.before[:2]), "both pictures, byte for byte")
    ctx.expect(ctx.after == ctx.before, "F5 deletes nothing")
