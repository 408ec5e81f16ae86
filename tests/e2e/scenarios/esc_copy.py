# Esc during the second file of the host's copy abandons that file only.
READY = False
PENDING = "waits for the host copy (GetFiles) and its Esc poll"
CAMSIM = ["--samples", "3", "--packet-size", "256"]
SCRIPT = """
passive out
open
select all
esc-progress 12
getfiles
expect result 1
"""


def check(ctx):
    ctx.expect(len(ctx.files()) >= 2, "the other files were copied")
