# The host's own copy (GetFiles) into the passive folder under the names the
# panel shows. With Shift held the other kind is copied: thumbnails from the
# photo view. Under Wine the host holds Shift with SendInput; natively Shift
# is never down (a terminal has no key state), so the full picture comes.
# One data packet per file keeps the progress lines the same for both kinds.
CAMSIM = ["--packet-size", "16384"]
SCRIPT = """
passive out
open
cd 02-05-17
getfiles shift pic17.05.2002_001.jpg
expect result 1
getfiles pic17.05.2002_002.jpg
expect result 1
expect files 2
"""


def check(ctx):
    files = ctx.files()
    ctx.expect(sorted(files) == ["pic17.05.2002_001.jpg", "pic17.05.2002_002.jpg"], str(files))
    if len(files) != 2:
        return
    first, second = files["pic17.05.2002_001.jpg"], files["pic17.05.2002_002.jpg"]
    if ctx.mode == "wine":
        ctx.expect(first[0] == ctx.before[0]["thumb"] and first[2] == ctx.before[0]["thumbcrc"],
                   "Shift copied the thumbnail")
        ctx.expect("note: Shift" not in ctx.output, "Shift held with SendInput")
    else:
        ctx.expect(first[2] == ctx.before[0]["crc"], "no Shift natively: the full picture")
        ctx.expect("note: Shift cannot be held down here" in ctx.output, "the note says so")
    ctx.expect(second[0] == ctx.before[1]["photo"] and second[2] == ctx.before[1]["crc"],
               "without Shift the full picture")
    for (_, mtime, _), p in ((first, ctx.before[0]), (second, ctx.before[1])):
        ctx.expect(mtime == p["time"] - p["time"] % 2, "the picture's date as the file's time")
    ctx.expect(ctx.after == ctx.before, "the host's copy deletes nothing")
    ctx.expect("| 100% | Press Esc to abort" in ctx.output and "%%" not in ctx.output,
               "the percentage of the progress box")
