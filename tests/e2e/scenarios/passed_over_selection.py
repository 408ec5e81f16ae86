# F5 on the three pictures of 15 June where the camera refuses to select the
# first and the third: both are passed over and counted in the warning. The
# panel's update lists the pictures under new numbers (after the file now in
# the passive folder) and forgets the selection; the two pictures left are
# marked again. F6 then moves what is marked, the camera refusing the first
# once more: the third is moved, and the first stays marked under its new
# number.
CAMSIM = ["--samples", "7",
          "--fault", "refuse@select#8", "--fault", "refuse@select#10",
          "--fault", "refuse@select#11"]
SCRIPT = """
passive out
open
cd 02-06-15
expect items 3
select all
reply ok
reply ok
key F5
expect result 1
expect box "2 pictures were not copied."
list
expect items 3
reply ok
reply ok
key F6
expect result 1
expect box "1 pictures were not copied."
list
expect items 2
expect files 2
"""


def listings(output):
    """For each listing of the folder, its pictures and whether each is marked."""
    found = []
    for part in output.split('panel dir "02-06-15"')[1:]:
        items = []
        for line in part.splitlines()[1:]:
            if not line.startswith("  "):
                break
            name = line[4:].split()[0]
            if name != "..":
                items.append((name, line[2] == "*"))
        found.append(items)
    return found


def check(ctx):
    june = [p for p in ctx.before if p["number"] >= 5]
    ctx.expect(len(june) == 3, "three pictures of 15 June")
    files = ctx.files()
    ctx.expect(sorted(files) == ["pic15.06.2002_001.jpg", "pic15.06.2002_002.jpg"],
               f"files: {sorted(files)}")
    got = [(files[n][0], files[n][2]) for n in sorted(files)]
    ctx.expect(got == [(june[1]["photo"], june[1]["crc"]), (june[2]["photo"], june[2]["crc"])],
               "F5 copied the second, F6 moved the third")
    ctx.expect([p["crc"] for p in ctx.after] == [p["crc"] for p in ctx.before[:6]],
               "only the third deleted in the camera")
    marks = [l for l in ctx.output.splitlines() if l.startswith("(selection set:")]
    ctx.expect(marks == [
        # F5: the second copied and unmarked; after the update the first and
        # third, now numbered after the copied file, marked again.
        "(selection set: pic15.06.2002_001.jpg pic15.06.2002_003.jpg)",
        "(selection set: pic15.06.2002_002.jpg pic15.06.2002_004.jpg)",
        # F6: the third moved; the first, now after two files, marked again.
        "(selection set: pic15.06.2002_002.jpg)",
        "(selection set: pic15.06.2002_003.jpg)",
    ], f"selections: {marks}")
    shown = listings(ctx.output)
    ctx.expect(shown == [
        [("pic15.06.2002_002.jpg", True), ("pic15.06.2002_003.jpg", False),
         ("pic15.06.2002_004.jpg", True)],
        [("pic15.06.2002_003.jpg", True), ("pic15.06.2002_004.jpg", False)],
    ], f"listings: {shown}")
