# Shift+F6 in the photo view moves thumbnails: they are copied, but a picture
# in the camera is its photo and its thumbnail together, so nothing is deleted
# there and a warning says so.
SCRIPT = """
passive out
open
select 02-05-17
reply ok
reply ok
key Shift+F6
expect result 1
expect box "Only thumbnails were copied: the pictures stay in the camera."
list
expect items 3
expect files 2
expect file thumb17.05.2002_001.jpg
expect file thumb17.05.2002_002.jpg
"""


def check(ctx):
    files = ctx.files()
    copied = sorted((size, crc) for (size, _, crc) in files.values())
    ctx.expect(copied == sorted((p["thumb"], p["thumbcrc"]) for p in ctx.before[:2]),
               f"both thumbnails copied: {sorted(files)}")
    ctx.expect(ctx.after == ctx.before, "nothing deleted in the camera")
    ctx.expect("Deleting picture" not in ctx.output, "no deletion started")
