"""Questions about a screenshot, for the end-to-end tests.

  pixels.py size FILE                       -> "W H"
  pixels.py count FILE X Y W H COLOUR [TOL] -> pixels within TOL of COLOUR (#rrggbb) in the rectangle
  pixels.py differ FILE X Y W H BACKGROUND  -> pixels farther than 60 from BACKGROUND in the rectangle
  pixels.py changed A B X Y W H             -> pixels that differ between two screenshots in the rectangle
  pixels.py changed_outside A B [X Y W H]…  -> pixels that differ anywhere but in the rectangles given
  pixels.py cells FILE LISTING              -> whether every day cell that ladoslov-cells lists is drawn at its
                                               place in its colour (and framed where it says so); exit 1 if not
"""
import sys

from PIL import Image, ImageChops, ImageDraw


def rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def region(image, x, y, w, h):
    x0, y0 = max(0, x), max(0, y)
    x1, y1 = min(image.width, x + w), min(image.height, y + h)
    for py in range(y0, y1):
        for px in range(x0, x1):
            yield image.getpixel((px, py))[:3]


def distance(a, b):
    return max(abs(p - q) for p, q in zip(a, b))


def cells(im, listing):
    """Each listed caption (x y #rrggbb framed|plain day) has its colour in the 15 x 13 box it starts, no other
    marking colour there, and, when framed, black lines along the box's left and top."""
    marks = [rgb(c) for c in ("#ff0000", "#0000ff", "#ffff00")]
    wrong, count = [], 0
    for line in open(listing):
        x, y, colour, frame, day = line.split()
        x, y, want = int(x), int(y), rgb(colour)
        count += 1
        box = list(region(im, x, y, 15, 13))
        if sum(distance(p, want) <= 40 for p in box) < 4:
            wrong.append(f"day {day} at {x},{y} is not {colour}")
        for mark in marks:
            if mark != want and any(distance(p, mark) <= 40 for p in box):
                wrong.append(f"day {day} at {x},{y} shows #%02x%02x%02x" % mark)
        if frame == "framed":
            left = sum(distance(p, (0, 0, 0)) <= 8 for p in region(im, x, y, 1, 13))
            top = sum(distance(p, (0, 0, 0)) <= 8 for p in region(im, x, y, 12, 1))
            if left < 10 or top < 6:
                wrong.append(f"day {day} at {x},{y} is not framed")
    print(f"{count} day cells, {len(wrong)} wrong")
    for w in wrong[:20]:
        print("  " + w)
    return count > 0 and not wrong


def main(argv):
    cmd = argv[1]
    if cmd == "size":
        im = Image.open(argv[2])
        print(im.width, im.height)
    elif cmd == "count":
        im = Image.open(argv[2]).convert("RGB")
        x, y, w, h = map(int, argv[3:7])
        want = rgb(argv[7])
        tol = int(argv[8]) if len(argv) > 8 else 40
        print(sum(1 for p in region(im, x, y, w, h) if distance(p, want) <= tol))
    elif cmd == "differ":
        im = Image.open(argv[2]).convert("RGB")
        x, y, w, h = map(int, argv[3:7])
        bg = rgb(argv[7])
        print(sum(1 for p in region(im, x, y, w, h) if distance(p, bg) > 60))
    elif cmd == "changed":
        a = Image.open(argv[2]).convert("RGB")
        b = Image.open(argv[3]).convert("RGB")
        x, y, w, h = map(int, argv[4:8])
        print(sum(1 for p, q in zip(region(a, x, y, w, h), region(b, x, y, w, h)) if p != q))
    elif cmd == "changed_outside":
        a = Image.open(argv[2]).convert("RGB")
        b = Image.open(argv[3]).convert("RGB")
        diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v else 0)
        draw = ImageDraw.Draw(diff)
        rects = list(map(int, argv[4:]))
        for i in range(0, len(rects) - 3, 4):
            x, y, w, h = rects[i:i + 4]
            draw.rectangle((x, y, x + w - 1, y + h - 1), fill=0)
        print(diff.histogram()[255])
    elif cmd == "cells":
        sys.exit(0 if cells(Image.open(argv[2]).convert("RGB"), argv[3]) else 1)
    else:
        sys.exit("unknown command " + cmd)


if __name__ == "__main__":
    main(sys.argv)
