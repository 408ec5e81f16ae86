# Esc as Wine's console on a terminal gives it, a key record with the virtual
# key 0x1B and the character 0, during F3's copy: the plugin's poll takes it
# for Esc, the copy is abandoned, no viewer opens, nothing is reported, and the
# temporary folder is left empty. Under Wine the test host writes that record
# into the console (a Windows console would give the character 27); natively
# the terminal has one Esc, the byte 27.
import os

SCRIPT = """
open
cd 02-05-17
cursor pic17.05.2002_002.jpg
esc-progress 2 vk
key F3
expect result 1
expect no-box Errors
"""


def check(ctx):
    ctx.expect("Viewer(" not in ctx.output, "no viewer after Esc")
    ctx.expect(ctx.output.count("Aborting...") == 1, "the Esc is noticed once")
    left = os.listdir(os.path.join(ctx.run, "temp"))
    ctx.expect(left == [], f"left in the temporary folder: {left}")
    ctx.expect(ctx.after == ctx.before, "nothing deleted")
