# F3 on a picture: the plugin copies it into a fresh folder of the host's
# temporary folder (MkTemp) with the host's copy box and opens the host's
# viewer on it with VF_DELETEONCLOSE; the test host's viewer notes what the
# file held and removes it and its folder on closing. A photo in the photo
# view, a thumbnail after F7 (the thumbnails are listed without folders). On
# a dated folder and on ".." F3 stays the host's.
import os

SCRIPT = """
passive out
open
list keybar
key F3
expect result 0
cd 02-05-17
key F3
expect result 0
cursor pic17.05.2002_002.jpg
key F3
expect result 1
expect no-box Errors
cd ..
key F7
list
cursor thumb18.05.2002_003.jpg
key F3
expect result 1
expect no-box Errors
"""


def viewed(output):
    """(file name, size) of each Viewer call the host noted."""
    calls = []
    for line in output.splitlines():
        if line.startswith('Viewer("'):
            name = line.split('"')[1].replace("\\", "/").rsplit("/", 1)[-1]
            size = int(line.split("): ")[1].split()[0])
            calls.append((name, size))
    return calls


def check(ctx):
    ctx.expect(len(ctx.before) >= 3, "at least three pictures")
    if len(ctx.before) < 3:
        return
    wanted = [("pic17.05.2002_002.jpg", ctx.before[1]["photo"]),
              ("thumb18.05.2002_003.jpg", ctx.before[2]["thumb"])]
    ctx.expect(viewed(ctx.output) == wanted, f"viewed: {viewed(ctx.output)}, wanted {wanted}")
    left = os.listdir(os.path.join(ctx.run, "temp"))
    ctx.expect(left == [], f"left in the temporary folder: {left}")
    ctx.expect(not os.path.exists(ctx.passive) or ctx.files() == {}, "nothing in the passive folder")
    ctx.expect(ctx.after == ctx.before, "viewing deletes nothing")
