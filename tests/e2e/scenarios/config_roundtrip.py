# The configuration dialog stores its settings under the host's registry
# branch, and the next time it opens it shows what was stored.
SCRIPT = """
edit 18 shot_
edit 26 4
radio 14
reply ok
configure
expect result 1
reply esc
configure
expect result 0
expect box shot_
"""


def check(ctx):
    values = ctx.registry()
    ctx.expect(values.get("PhotoPrefix") == "shot_", f"PhotoPrefix stored: {values}")
    ctx.expect(values.get("PhotoSuffix") == 4, f"PhotoSuffix stored: {values}")
    ctx.expect(values.get("BaudRate") == 4, f"57600 bit/s stored as speed 4: {values}")
    ctx.expect(values.get("SerialPort") == 1, f"the port left at COM2: {values}")
    ctx.expect("#18 [shot_" in ctx.output, "the second dialog shows the stored prefix")
    ctx.expect("#3 (*) COM2" in ctx.output, "COM2 is the only port the system lists")
