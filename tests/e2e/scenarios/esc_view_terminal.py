# Esc typed on the terminal during F3's copy. Under Wine the host's standard
# input is a terminal, so Wine's console is made of it: that console reads
# the terminal only while a program waits on its input or peeks at it, and
# gives Esc as the virtual key 0x1B with the character 0. The host only
# sleeps while the Esc is typed, so the plugin's poll must let the console
# take it in itself. The copy is abandoned, no viewer opens, nothing is
# reported, the temporary folder is left empty. Natively the host types the
# Esc byte on its own terminal.
import os

TERMINAL = True
SCRIPT = """
open
cd 02-05-17
cursor pic17.05.2002_002.jpg
esc-progress 2 terminal
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
