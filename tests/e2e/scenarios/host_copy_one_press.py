# One press of Esc during the host's own copy of three files abandons one
# file, the one being copied. Under Wine the host presses the key as a user
# does: a key-down and a key-up record; natively the terminal gives the press
# alone. Both runs must skip exactly the first file and copy the other two;
# the skipped file makes the result 0, so the host keeps it marked.
# The folder template "%4Y" puts the three sample pictures (two days) into
# one folder.
CAMSIM = ["--samples", "3", "--packet-size", "1024"]
SCRIPT = """
edit 22 %4Y
reply ok
configure
expect result 1
passive out
open
cd 2002
select all
esc-progress 2
getfiles
expect result 0
expect files 3
"""

PACKET = 1024


def check(ctx):
    files = ctx.files()
    ctx.expect(len(files) == 3, f"files: {sorted(files)}")
    whole = [n for n, f in files.items() if any(f[2] == p["crc"] for p in ctx.before)]
    partial = [n for n in files if n not in whole]
    ctx.expect(len(whole) == 2, f"two files copied whole: {whole}")
    ctx.expect(len(partial) == 1, f"one file abandoned: {partial}")
    if len(partial) == 1:
        size = files[partial[0]][0]
        ctx.expect(0 < size and size % PACKET == 0, f"{partial[0]}: {size} bytes, whole packets")
    ctx.expect(ctx.output.count("Aborting...") == 1, "the Esc is noticed once")
    ctx.expect(ctx.after == ctx.before, "the host's copy deletes nothing")
