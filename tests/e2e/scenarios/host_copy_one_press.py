# One press of Esc during the host's own copy of three files abandons one
# file, the one being copied. Under Wine the host presses the key as a user
# does: a key-down and a key-up record; natively the terminal gives the press
# alone. Both runs must skip exactly the first file (removing what of it was
# written) and copy the other two; the skipped file makes the result 0, so
# the host keeps it marked.
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
expect files 2
"""

def check(ctx):
    files = ctx.files()
    ctx.expect(len(files) == 2, f"files: {sorted(files)}")
    whole = [n for n, f in files.items() if any(f[2] == p["crc"] for p in ctx.before)]
    ctx.expect(len(whole) == 2, f"two files copied whole, the abandoned one removed: {whole}")
    ctx.expect("pic17.05.2002_001.jpg" not in files, "the first file was the one abandoned")
    ctx.expect(ctx.output.count("Aborting...") == 1, "the Esc is noticed once")
    ctx.expect(ctx.after == ctx.before, "the host's copy deletes nothing")
