# The camera stops answering in the middle of a move (F6 on the two pictures
# of 17 May; its folder already holds a file of the first name): the first
# picture lands after the existing file, the second breaks off and its
# incomplete file is removed, and the "Errors" box shows the camera's codes (a
# checksum failure, the link's last primitive, a photo download). The existing
# file is untouched and nothing is deleted in the camera, not even the picture
# copied completely.
import os

# The 6th photo data packet (the second of picture 2) and every resend of it
# arrive garbled: the line stays up, so both builds see the same failure.
CAMSIM = [a for k in range(6, 10) for a in ("--fault", f"checksum:{k}@photo")]
SCRIPT = """
passive out
open
select 02-05-17
reply ok
reply ok
key F6
expect result 1
expect box "The exchange with the camera failed."
expect box "Port flags 1, packet status 11, link status 4"
list
expect items 3
"""

EXISTING = b"a file of the user's, not from the camera\n"
EXISTING_TIME = 1000000000


def prepare(passive):
    os.makedirs(os.path.join(passive, "02-05-17"))
    path = os.path.join(passive, "02-05-17", "pic17.05.2002_001.jpg")
    with open(path, "wb") as f:
        f.write(EXISTING)
    os.utime(path, (EXISTING_TIME, EXISTING_TIME))


def check(ctx):
    files = ctx.files()
    names = sorted(files)
    ctx.expect(names == ["02-05-17/pic17.05.2002_001.jpg", "02-05-17/pic17.05.2002_002.jpg"],
               f"files, the broken one removed: {names}")
    with open(os.path.join(ctx.passive, "02-05-17", "pic17.05.2002_001.jpg"), "rb") as f:
        ctx.expect(f.read() == EXISTING, "the existing file keeps its bytes")
    existing = files.get("02-05-17/pic17.05.2002_001.jpg")
    ctx.expect(existing and existing[1] == EXISTING_TIME, "and its time")
    first = files.get("02-05-17/pic17.05.2002_002.jpg")
    ctx.expect(first and first[2] == ctx.before[0]["crc"], "the first picture numbered after it")
    ctx.expect('[box, warning, help "Errors"]' in ctx.output, "the Errors box")
    ctx.expect(ctx.after == ctx.before, "nothing deleted in the camera")
    ctx.expect("Deleting picture" not in ctx.output, "no deletion started")
