# F8 deletes the selected pictures after the confirmation and the panel follows
# at once; Cancel deletes nothing. Deleting the last pictures shows the
# "DeleteClosePlugin" box and closes the panel.
CAMSIM = ["--samples", "3"]
SCRIPT = """
passive out
open
cd 02-05-17
select pic17.05.2002_001.jpg
reply cancel
key F8
expect box "Delete the selected pictures in the camera?"
list
expect items 2
reply ok
key F8
expect no-box Errors
list
expect items 1
expect item pic17.05.2002_001.jpg
cd ..
list
expect items 2
select all
reply ok
reply ok
key F8
expect box "The camera holds no more pictures. The panel will be closed."
expect closed
"""


def check(ctx):
    before = [p["crc"] for p in ctx.before]
    ctx.expect(len(before) == 3, "three sample pictures")
    ctx.expect(ctx.after == [], f"the camera is empty at the end: {ctx.after}")
    ctx.expect(not ctx.files(), "nothing written")
    ctx.expect(ctx.output.count('help "Delete?"') == 3, "the confirmation each time")
    ctx.expect(ctx.output.count('help "DeleteClosePlugin"') == 1, "the closing notice once")
    ctx.expect("ClosePlugin (FCTL_CLOSEPLUGIN)" in ctx.output, "the plugin closed its panel")
    # After the first deletion the folder's one picture is the old second one.
    first = ctx.output.split("> cd ..")[0].rsplit("panel dir", 1)[1]
    size = str(ctx.before[1]["photo"])
    ctx.expect(size in first, f"the picture left in 02-05-17 is the second ({size} bytes)")
    ctx.expect("Deleting picture 2 of 2" in ctx.output, "two pictures in the last deletion")
