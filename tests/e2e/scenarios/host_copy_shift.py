# The host's own copy (GetFiles) with Shift held: thumbnails instead of full
# pictures, under the names the panel shows. Natively Shift is never down.
READY = False
PENDING = "waits for the host copy (GetFiles)"
SCRIPT = """
passive out
open
cd 02-05-17
getfiles shift pic17.05.2002_001.jpg
expect result 1
getfiles pic17.05.2002_002.jpg
expect result 1
"""


def check(ctx):
    files = ctx.files()
    ctx.expect(sorted(files) == ["pic17.05.2002_001.jpg", "pic17.05.2002_002.jpg"], str(files))
    first = files["pic17.05.2002_001.jpg"][2]
    if ctx.mode == "wine":
        ctx.expect(first == ctx.before[0]["thumbcrc"], "Shift copied the thumbnail")
    else:
        ctx.expect(first == ctx.before[0]["crc"], "no Shift natively: the full picture")
    ctx.expect(files["pic17.05.2002_002.jpg"][2] == ctx.before[1]["crc"], "the full picture")
