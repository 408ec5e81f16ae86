# F5 with the default settings: at the top level on the folders of 17 May and
# 15 June into the proposed passive folder, then inside 02-05-17 into a folder
# typed with slashes. The dated folders are made (not inside a folder), the
# files numbered from 001, byte for byte, with the picture's date (2-second
# resolution) as their time; the copied items are deselected, nothing deleted.
import time

SCRIPT = """
passive out/typed
passive out
open
select 02-05-17 02-06-15
reply ok
key F5
expect result 1
expect no-box Errors
list
expect files 3
expect file 02-05-17/pic17.05.2002_001.jpg
expect file 02-05-17/pic17.05.2002_002.jpg
expect file 02-06-15/pic15.06.2002_001.jpg
cd 02-05-17
select all
edit 2 out/typed
reply ok
key F5
expect no-box Errors
list
expect files 5
expect file typed/pic17.05.2002_001.jpg
expect file typed/pic17.05.2002_002.jpg
"""


def check(ctx):
    files = ctx.files()
    pictures = {p["number"]: p for p in ctx.before}
    want = {
        "02-05-17/pic17.05.2002_001.jpg": pictures[1],
        "02-05-17/pic17.05.2002_002.jpg": pictures[2],
        "02-06-15/pic15.06.2002_001.jpg": pictures[5],
        # Inside a folder the default choice makes no subfolder.
        "typed/pic17.05.2002_001.jpg": pictures[1],
        "typed/pic17.05.2002_002.jpg": pictures[2],
    }
    ctx.expect(sorted(files) == sorted(want), f"the files: {sorted(files)}")
    for path, p in want.items():
        if path not in files:
            continue
        size, mtime, crc = files[path]
        ctx.expect(size == p["photo"] and crc == p["crc"], f"{path} is picture {p['number']}")
        ctx.expect(mtime == p["time"] - p["time"] % 2,
                   f"{path} dated {time.ctime(mtime)}, picture {time.ctime(p['time'])}")
    ctx.expect(ctx.after == ctx.before, "F5 deletes nothing")
    ctx.expect("* 02-" not in ctx.output and "* pic17" not in ctx.output,
               "the copied items are deselected")
    ctx.expect(ctx.output.count('help "WhereToCopy"') == 2, "the copy dialog each time")
    total = pictures[1]["photo"] + pictures[2]["photo"] + pictures[5]["photo"]
    ctx.expect(f"3 files: {total} of {total} bytes (100%)" in ctx.output,
               "the overall progress over three files")
    ctx.expect("[" + "\u2588" * 50 + "]" in ctx.output, "a full progress bar")
