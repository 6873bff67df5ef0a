# The month blocks on a screenshot: blocks.py SHOT X Y W H TPP [BEFORE]
# The screen drawn into the rectangle X Y W H at TPP twips per pixel. Prints the red ink (weekends) in each
# of the twelve blocks, January to December; the pixels of a host's magenta left in the rectangle; and,
# with BEFORE, the pixels that changed outside the rectangle.
import sys

from PIL import Image, ImageChops

shot = Image.open(sys.argv[1]).convert("RGB")
x, y, w, h = map(int, sys.argv[2:6])
tpp = float(sys.argv[6])
# The design is centred on the rectangle.
dx, dy = (w * tpp - 15360) / 2, (h * tpp - 11520) / 2
columns = [(360, 2625), (3240, 5505), (9840, 12225), (12960, 15225)]
rows = [(1200, 3195), (3600, 5595), (6000, 8115), (8400, 10395)]
blocks = [(c, 0) for c in range(4)] + [(0, 1), (3, 1), (0, 2), (3, 2)] + [(c, 3) for c in range(4)]
inks = []
for c, r in blocks:
    (x0, x1), (y0, y1) = columns[c], rows[r]
    box = shot.crop((x + int((x0 + dx) / tpp), y + int((y0 + dy) / tpp), x + int((x1 + dx) / tpp) + 1,
                     y + int((y1 + dy) / tpp) + 1))
    inks.append(sum(1 for p in box.getdata() if p[0] > 140 and p[0] - max(p[1], p[2]) > 60))
inside = shot.crop((x, y, x + w, y + h))
host = sum(1 for p in inside.getdata() if p[0] > 240 and p[1] < 15 and p[2] > 240)
outside = 0
if len(sys.argv) > 7:
    diff = ImageChops.difference(shot, Image.open(sys.argv[7]).convert("RGB"))
    diff.paste((0, 0, 0), (x, y, x + w, y + h))
    outside = sum(1 for p in diff.getdata() if p != (0, 0, 0))
print(" ".join(map(str, inks)), host, outside)
