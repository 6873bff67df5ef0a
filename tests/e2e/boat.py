# Where the boat picture stands on a screenshot.
#   boat.py SHOT GIF X Y            the share of the boat's opaque pixels that the screenshot shows with
#                                   the boat's top-left corner at X, Y
#   boat.py find SHOT GIF BG X Y W H  where the boat's top-left corner stands when the boat is in the
#                                   rectangle (only the boat differs from the background BG there), or "none"
import sys
from PIL import Image

def opaque(gif):
    im = Image.open(gif)
    im.seek(0)
    im = im.convert("RGBA")
    return [(x, y, im.getpixel((x, y))[:3]) for y in range(im.height) for x in range(im.width)
            if im.getpixel((x, y))[3] == 255]

def near(a, b, tol=24):
    return max(abs(p - q) for p, q in zip(a, b)) <= tol

def match(shot, pixels, x0, y0):
    same = sum(1 for x, y, c in pixels if 0 <= x0 + x < shot.width and 0 <= y0 + y < shot.height
               and near(shot.getpixel((x0 + x, y0 + y)), c))
    return same / max(1, len(pixels))

if sys.argv[1] == "find":
    shot = Image.open(sys.argv[2]).convert("RGB")
    pixels = opaque(sys.argv[3])
    bg = tuple(int(sys.argv[4].lstrip("#")[i:i + 2], 16) for i in (0, 2, 4))
    x0, y0, w, h = map(int, sys.argv[5:9])
    xs, ys = [], []
    for y in range(max(0, y0), min(shot.height, y0 + h)):
        for x in range(max(0, x0), min(shot.width, x0 + w)):
            if not near(shot.getpixel((x, y)), bg, 60):
                xs.append(x)
                ys.append(y)
    if not xs:
        print("none")
    else:
        # A rough corner from what differs from the background, then the best match around it.
        gx, gy = min(xs) - min(p[0] for p in pixels), min(ys) - min(p[1] for p in pixels)
        best = max(((match(shot, pixels, gx + dx, gy + dy), gx + dx, gy + dy)
                    for dx in range(-4, 5) for dy in range(-4, 5)))
        print(best[1], best[2])
else:
    print("%.3f" % match(Image.open(sys.argv[1]).convert("RGB"), opaque(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])))
