# A setting stored by the configuration dialog is read back by the next open.
READY = False
PENDING = "waits for the configuration dialog"
SCRIPT = """
edit 8 "shot_"
reply ok
configure
expect result 1
"""


def check(ctx):
    ctx.expect(ctx.registry().get("PhotoPrefix") == "shot_", f"stored: {ctx.registry()}")
