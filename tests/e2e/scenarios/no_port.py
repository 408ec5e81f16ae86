# No serial port in the system: the plugin refuses to open, with a warning.
PORTS = []
SCRIPT = """
reply ok
open
expect box Pixlor
expect result -1
expect closed
reply ok
open
expect result -1
"""


def check(ctx):
    ctx.expect(ctx.output.count('[box, warning, help "NoSerialPort"]') == 2,
               "the NoSerialPort warning at every attempt")
    ctx.expect(not ctx.registry(), "no settings written")
