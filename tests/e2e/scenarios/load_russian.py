# The Russian language file is chosen when the host runs in Russian.
SCRIPT = """
language Russian
load
"""

# The plugin's code page 866 text, as the host shows it on a UTF-8 terminal.
RUSSIAN = "Камера Pixlor"


def check(ctx):
    ctx.expect(f'  disk menu: "{RUSSIAN}"' in ctx.output, "the disk menu entry, shown from code page 866")
    ctx.expect(f'  configuration menu: "{RUSSIAN}"' in ctx.output, "the configuration entry")
