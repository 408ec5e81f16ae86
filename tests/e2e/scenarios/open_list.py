# Open the panel on the five sample pictures (2 of 17 May 2002, 2 of 18 May,
# 1 of 15 June): the top level lists the dated folders with their summed sizes,
# each folder lists its pictures with the picture's date.
READY = False
PENDING = "waits for the panel and its listing"
SCRIPT = """
passive out
open
expect open
list title keybar
expect items 3
expect item 02-05-17
cd 02-05-17
list
expect items 2
expect item pic17.05.2002_001.jpg
expect item pic17.05.2002_002.jpg
cd ..
expect items 3
cd 02-06-15
expect items 1
expect item pic15.06.2002_001.jpg
cd nosuchfolder
expect result 0
close
expect closed
"""


def check(ctx):
    ctx.expect(ctx.after == ctx.before, "nothing changed in the camera")
    ctx.expect(not ctx.files(), "nothing written")
    sizes = {}
    for p in ctx.before:
        pass
    ctx.expect("02-05-18" in ctx.output, "the folder of 18 May")
