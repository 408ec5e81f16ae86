# Open the panel on the five sample pictures (2 of 17 May 2002, 2 of 18 May,
# 1 of 15 June): the top level lists the dated folders with their summed sizes,
# each folder lists its pictures with the picture's date. A second panel is
# refused while this one is open.
import time

SCRIPT = """
passive out
open
expect open
list title keybar
expect items 3
expect item 02-05-17
reply ok
open
expect box "Only one camera panel"
expect open
cd 02-05-17
list
expect items 2
expect item pic17.05.2002_001.jpg
expect item pic17.05.2002_002.jpg
cd ..
expect items 3
cd 02-06-15
list
expect items 1
expect item pic15.06.2002_001.jpg
cd nosuchfolder
expect result 0
close
expect closed
"""


def shown_time(seconds):
    # Panel times have the 2-second resolution of the pictures' dates.
    return time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(seconds - seconds % 2))


def check(ctx):
    ctx.expect(ctx.after == ctx.before, "nothing changed in the camera")
    ctx.expect(not ctx.files(), "nothing written")
    lines = ctx.output.splitlines()
    folders = {}
    for p in ctx.before:
        folders.setdefault(time.strftime("%y-%m-%d", time.gmtime(p["time"])), []).append(p)
    ctx.expect(sorted(folders) == ["02-05-17", "02-05-18", "02-06-15"], str(sorted(folders)))
    for name, pictures in folders.items():
        size = sum(p["photo"] for p in pictures)
        last = shown_time(max(p["time"] for p in pictures))
        ctx.expect(any(l.split()[:4] == [name, str(size)] + last.split() for l in lines),
                   f"folder {name} with {size} bytes and the time {last}")
    for n, p in enumerate(folders["02-05-17"], 1):
        want = [f"pic17.05.2002_00{n}.jpg", str(p["photo"])] + shown_time(p["time"]).split()
        ctx.expect(any(l.split()[:4] == want for l in lines), f"item {want}")
    ctx.expect(ctx.output.count('help "MultiSession"') == 1, "one MultiSession box")
    ctx.expect("keys plain: F3=View F4=\"\" F5=CpP/P F6=MvP/P F7=Thumbs F8=\"\"" in ctx.output,
               "the key bar of the photo view")
