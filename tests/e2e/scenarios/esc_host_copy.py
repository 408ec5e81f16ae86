# The host's own copy (GetFiles) of the three selected pictures of 15 June,
# with Esc during the second after two of its packets: that file is
# abandoned and removed (no incomplete file under its name), the third is
# still copied,
# and GetFiles returns 0 with only the copied items' marks cleared, so the
# host keeps the second selected (a 1 would make it clear every mark).
CAMSIM = ["--samples", "7"]
SCRIPT = """
passive out
open
cd 02-06-15
select all
esc-progress 8
getfiles
expect result 0
expect no-box Errors
expect files 2
list
"""

def marked(output):
    """The names the last panel listing shows marked ('*')."""
    listing = output.rsplit('panel dir "02-06-15"', 1)[-1].splitlines()[1:]
    return [l.split()[1] for l in listing if l.startswith("  * ")]


def check(ctx):
    june = [p for p in ctx.before if p["number"] >= 5]
    ctx.expect(len(june) == 3, "three pictures of 15 June")
    files = ctx.files()
    names = [f"pic15.06.2002_00{n}.jpg" for n in (1, 2, 3)]
    ctx.expect(sorted(files) == [names[0], names[2]], f"files: {sorted(files)}")
    if sorted(files) != [names[0], names[2]]:
        return
    for name, p in ((names[0], june[0]), (names[2], june[2])):
        ctx.expect(files[name][0] == p["photo"] and files[name][2] == p["crc"],
                   f"{name} copied completely")
    ctx.expect("GetFiles(3 items, move 0," in ctx.output and ") -> 0" in ctx.output,
               "three items, result 0")
    ctx.expect(marked(ctx.output) == [names[1]], f"marked: {marked(ctx.output)}")
    ctx.expect(ctx.after == ctx.before, "the host's copy deletes nothing")
