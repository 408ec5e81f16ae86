# Loading: the version check, start-up with a record the host destroys at once,
# and the menus; then the same in Russian.
SCRIPT = """
load
echo menus loaded
"""


def check(ctx):
    out = ctx.output
    ctx.expect("loaded: 12 of the 12 exports" in out, "all twelve exports found")
    ctx.expect("GetMinFarVersion -> 0x05020146 (1.70 build 1282)" in out, "the version word")
    ctx.expect('  disk menu: "Pixlor camera"' in out, "one disk menu entry")
    ctx.expect("  plugins menu: (not offered)" in out, "no plugins menu entry (PF_DISABLEPANELS)")
    ctx.expect('  configuration menu: "Pixlor camera"' in out, "one configuration entry")
    ctx.expect("StructSize" not in out, "PluginInfo.StructSize set by the plugin")
    ctx.expect("result: ok" in out, "the script passed")
