# F8 on a camera that refuses both ways of deleting (sub-code 0, "delete the
# last", and sub-code 7, "delete the selected"): the picture is still in the
# camera, so the plugin shows the "Errors" report once and keeps the panel
# open with its listing as it was; no "may have deleted" notice.
CAMSIM = ["--refuse-delete-last", "--fault", "refuse@delete#2"]
SCRIPT = """
open
cd 02-06-15
select all
reply ok
reply ok
key F8
expect box "Port flags 4, packet status 9, link status 7"
expect no-box "may have deleted"
expect open
list
expect items 1
expect item pic15.06.2002_001.jpg
"""


def check(ctx):
    ctx.expect(ctx.output.count('help "Errors"') == 1, "one report")
    ctx.expect(ctx.after == ctx.before, "nothing deleted")
