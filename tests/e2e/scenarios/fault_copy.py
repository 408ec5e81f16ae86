# The camera stops answering mid-copy: the Errors box with its codes, no file
# overwritten, nothing deleted.
READY = False
PENDING = "waits for F5 and the Errors box"
CAMSIM = ["--fault", "vanish:3@photo"]
SCRIPT = """
passive out
open
cd 02-05-17
select all
reply ok
reply ok
key F6
expect box Errors
"""
ANY_RC = True


def check(ctx):
    ctx.expect('help "Errors"' in ctx.output, "the Errors box")
    ctx.expect(len(ctx.after or ctx.before) == len(ctx.before), "nothing deleted")
