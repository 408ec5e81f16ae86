# The host's copy onto a folder that already holds a file of the first name
# (numbering from 1 with Ctrl+F7, so the panel's names meet the existing
# file): the "Errors" box, result 0, the existing file's bytes and time
# untouched, and the copy stops there.
import os

SCRIPT = """
passive out
open
cd 02-05-17
key Ctrl+F7
list
expect item pic17.05.2002_001.jpg
reply ok
getfiles pic17.05.2002_001.jpg pic17.05.2002_002.jpg
expect result 0
expect box "A file or system operation failed."
expect files 1
"""

EXISTING = b"the user's own picture\n"
EXISTING_TIME = 1000000000


def prepare(passive):
    path = os.path.join(passive, "pic17.05.2002_001.jpg")
    with open(path, "wb") as f:
        f.write(EXISTING)
    os.utime(path, (EXISTING_TIME, EXISTING_TIME))


def check(ctx):
    files = ctx.files()
    ctx.expect(sorted(files) == ["pic17.05.2002_001.jpg"], f"no file added: {sorted(files)}")
    with open(os.path.join(ctx.passive, "pic17.05.2002_001.jpg"), "rb") as f:
        ctx.expect(f.read() == EXISTING, "the existing file keeps its bytes")
    ctx.expect(files["pic17.05.2002_001.jpg"][1] == EXISTING_TIME, "and its time")
    ctx.expect('[box, warning, help "Errors"]' in ctx.output, "the Errors box")
    ctx.expect("Link status 9, system error 80" in ctx.output,
               "the photo's file could not be made: it exists (80)")
    ctx.expect(ctx.after == ctx.before, "nothing deleted")
