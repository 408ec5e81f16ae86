# The Russian language file is chosen when the host runs in Russian.
SCRIPT = """
language Russian
load
"""

RUSSIAN = "Камера Pixlor".encode("cp866").decode("latin-1")


def check(ctx):
    ctx.expect(f'  disk menu: "{RUSSIAN}"' in ctx.output, "the disk menu entry in code page 866")
    ctx.expect(f'  configuration menu: "{RUSSIAN}"' in ctx.output, "the configuration entry")
