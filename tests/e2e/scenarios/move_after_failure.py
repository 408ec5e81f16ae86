# F6 on the three pictures of 15 June where the camera refuses to select the
# second: it is passed over, the first and third are copied and deleted in the
# camera, the second stays there, and a warning counts it (message 103). While
# the move runs only the copied items are deselected; the panel's update after
# the deletions forgets the selection and lists the picture left under the
# next free number, where it is marked again.
CAMSIM = ["--samples", "7", "--fault", "refuse@select#9"]
SCRIPT = """
passive out
open
cd 02-06-15
list
expect items 3
select all
reply ok
reply ok
key F6
expect result 1
expect box "1 pictures were not copied."
list
expect items 1
expect files 2
"""


def check(ctx):
    june = [p for p in ctx.before if p["number"] >= 5]
    ctx.expect(len(june) == 3, "three pictures of 15 June")
    files = ctx.files()
    ctx.expect(sorted(files) == ["pic15.06.2002_001.jpg", "pic15.06.2002_002.jpg"],
               f"two files, numbered in turn: {sorted(files)}")
    got = sorted((size, crc) for (size, _, crc) in files.values())
    ctx.expect(got == sorted((p["photo"], p["crc"]) for p in (june[0], june[2])),
               "the first and the third copied completely")
    left = [p["crc"] for p in ctx.after]
    ctx.expect(left == [p["crc"] for p in ctx.before[:4]] + [june[1]["crc"]],
               "the first and third deleted in the camera, the second kept")
    ctx.expect('[box, warning, help "Errors"]' in ctx.output, "the warning box")
    # During the run: after each copied picture its item is deselected, the
    # passed-over one keeps its mark, also under its number after the update.
    marks = [l for l in ctx.output.splitlines() if l.startswith("(selection set:")]
    ctx.expect(marks == ["(selection set: pic15.06.2002_002.jpg pic15.06.2002_003.jpg)",
                         "(selection set: pic15.06.2002_002.jpg)",
                         "(selection set: pic15.06.2002_003.jpg)"], f"selections: {marks}")
    ctx.expect("  * pic15.06.2002_003.jpg " in ctx.output, "listed marked")
    ctx.expect("Deleting picture 2 of 2" in ctx.output, "two deletions")
