# Esc during a move (F6 on all three pictures): the "DownloadRemaining?" and
# "DeleteRemaining?" questions, both answered Cancel: the first file stays
# complete, the aborted one is removed (no incomplete file under a picture's
# name), the third is never started and nothing is deleted in the camera.
# Then Esc during the first of two files of the host's own copy abandons (and
# removes) that file only; the copy counts as incomplete (result 0).
CAMSIM = ["--samples", "3", "--packet-size", "1024"]
SCRIPT = """
passive out
open
select all
reply ok
esc-progress 12
reply cancel
reply cancel
key F6
expect result 1
expect box "Copy the remaining pictures?"
expect box "Delete the pictures already copied from the camera?"
expect no-box Errors
expect files 1
passive out/host
cd 02-05-17
esc-progress 3
getfiles pic17.05.2002_001.jpg pic17.05.2002_002.jpg
expect result 0
expect files 1
"""

def check(ctx):
    files = ctx.files()
    moved1 = "02-05-17/pic17.05.2002_001.jpg"
    moved2 = "02-05-17/pic17.05.2002_002.jpg"
    host1 = "host/pic17.05.2002_001.jpg"
    host2 = "host/pic17.05.2002_002.jpg"
    ctx.expect(sorted(files) == sorted([moved1, host2]),
               f"files, the aborted ones removed: {sorted(files)}")
    if len(files) != 2:
        return
    p1, p2 = ctx.before[0], ctx.before[1]
    ctx.expect(files[moved1][0] == p1["photo"] and files[moved1][2] == p1["crc"],
               "the file copied before the Esc is complete")
    ctx.expect(files[host2][0] == p2["photo"] and files[host2][2] == p2["crc"],
               "the host copies the file after the aborted one completely")
    ctx.expect(ctx.after == ctx.before, "nothing deleted in the camera")
    ctx.expect(ctx.output.count('help "DownloadRemaining?"') == 1, "asked to go on once")
    ctx.expect(ctx.output.count('[box, warning, help "DeleteRemaining?"]') == 1,
               "asked to delete what was copied, as a warning")
    ctx.expect(ctx.output.count("Aborting...") == 2, "the Esc noticed in both copies")
    ctx.expect("File 3:" not in ctx.output, "the third picture of the move never started")
