#!/usr/bin/python3
"""Draws Ladoslov's pictures, icons and cursors.

Run as  /usr/bin/python3 tools/art/make_pictures.py  (writes into the repository
this script lives in, wherever it is started from).

Everything is drawn from code with fixed seeds, so each run writes
byte-for-byte the same files.  After writing, the files are read back and
checked (size, colour count, frame count, transparency), and the run fails
loudly if anything is off.
"""

import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SS = 4  # supersampling factor for the small anti-aliased pictures

FONT_DIRS = [
    "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/truetype/liberation",
]


def out_path(rel):
    path = os.path.join(ROOT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def find_font(names, size):
    for d in FONT_DIRS:
        for n in names:
            p = os.path.join(d, n)
            if os.path.exists(p):
                return ImageFont.truetype(p, size)
    return None


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(int(round(lerp(a, b, t))) for a, b in zip(c1, c2))


def ramp(stops, t):
    """Colour at t on a piecewise-linear ramp of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0))
    return stops[-1][1]


def vgradient(w, h, stops):
    column = Image.new("RGB", (1, h))
    column.putdata([ramp(stops, y / (h - 1)) for y in range(h)])
    return column.resize((w, h), Image.NEAREST)


class Pen:
    """ImageDraw on a supersampled canvas, taking coordinates in output pixels."""

    def __init__(self, img, scale=SS):
        self.img = img
        self.d = ImageDraw.Draw(img)
        self.s = scale

    def _p(self, pts):
        return [(x * self.s, y * self.s) for x, y in pts]

    def _box(self, box):
        x0, y0, x1, y1 = box
        return [x0 * self.s, y0 * self.s, x1 * self.s, y1 * self.s]

    def poly(self, pts, fill=None, outline=None, width=0):
        self.d.polygon(self._p(pts), fill=fill)
        if outline:
            self.line(list(pts) + [pts[0]], outline, width)

    def line(self, pts, fill, width=1.0):
        w = max(1, int(round(width * self.s)))
        self.d.line(self._p(pts), fill=fill, width=w, joint="curve")
        r = w / 2.0
        for x, y in self._p([pts[0], pts[-1]]):
            self.d.ellipse([x - r, y - r, x + r, y + r], fill=fill)

    def ellipse(self, box, fill=None, outline=None, width=1.0):
        self.d.ellipse(self._box(box), fill=fill, outline=outline,
                       width=max(1, int(round(width * self.s))))

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, width)

    def rect(self, box, fill=None):
        self.d.rectangle(self._box(box), fill=fill)

    def arc(self, box, start, end, fill, width=1.0):
        self.d.arc(self._box(box), start, end, fill=fill,
                   width=max(1, int(round(width * self.s))))


def downsample(img, size):
    """Shrinks a supersampled RGBA canvas with premultiplied alpha, so that
    edge pixels keep their own colour instead of fading to black."""
    return img.convert("RGBa").resize(size, Image.BOX).convert("RGBA")


def bezier(p0, p1, p2, p3, n=24):
    pts = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        pts.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return pts


def ellipse_pts(cx, cy, rx, ry, angle_deg=0.0, n=48):
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    pts = []
    for i in range(n):
        t = 2 * math.pi * i / n
        x, y = rx * math.cos(t), ry * math.sin(t)
        pts.append((cx + x * ca - y * sa, cy + x * sa + y * ca))
    return pts


# ---------------------------------------------------------------------------
# Background: a calm sea
# ---------------------------------------------------------------------------

BG_W, BG_H = 1680, 1260
HORIZON = 560


def blur(img, radius):
    """Gaussian blur with premultiplied alpha, so edges do not pick up the
    black of the transparent pixels around them."""
    return img.convert("RGBa").filter(ImageFilter.GaussianBlur(radius)).convert("RGBA")


def soft_layer(size, radius, draw_fn, factor=4):
    """Draws at reduced resolution, blurs and scales up: cheap, very soft shapes."""
    w, h = size
    small = Image.new("RGBA", (w // factor, h // factor), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(small), 1.0 / factor)
    small = small.convert("RGBa").filter(ImageFilter.GaussianBlur(radius / factor))
    return small.resize(size, Image.BICUBIC).convert("RGBA")


def ridge(rng, x0, x1, base, height, bumps):
    """Outline of a low range of hills between x0 and x1, resting on `base`."""
    phases = [rng.uniform(0, 2 * math.pi) for _ in bumps]
    pts = [(x0, base)]
    for x in range(int(x0), int(x1) + 1, 4):
        t = (x - x0) / (x1 - x0)
        envelope = math.sin(math.pi * min(1.0, max(0.0, t))) ** 0.7
        y = sum(a * math.sin(2 * math.pi * f * t + p) for (f, a), p in zip(bumps, phases))
        pts.append((x, base - envelope * (height + y)))
    pts.append((x1, base))
    return pts


def draw_background():
    rng = random.Random(1680)
    w, h = BG_W, BG_H

    sky = vgradient(w, HORIZON, [
        (0.0, (132, 162, 192)),
        (0.6, (156, 178, 196)),
        (1.0, (182, 184, 180)),
    ])
    sea = vgradient(w, h - HORIZON, [
        (0.0, (160, 178, 184)),
        (0.12, (148, 172, 182)),
        (0.6, (128, 162, 176)),
        (1.0, (118, 154, 170)),
    ])
    img = Image.new("RGB", (w, h))
    img.paste(sky, (0, 0))
    img.paste(sea, (0, HORIZON))
    img = img.convert("RGBA")

    sun_x, sun_y = 1130, HORIZON - 150

    def glow(d, k):
        for r, a in ((420, 16), (260, 18), (140, 20)):
            d.ellipse([(sun_x - r * 1.3) * k, (sun_y - r) * k,
                       (sun_x + r * 1.3) * k, (sun_y + r) * k], fill=(255, 246, 222, a))
    img.alpha_composite(soft_layer((w, h), 160, glow))

    def clouds(d, k):
        for _ in range(14):
            cx = rng.uniform(-100, w + 100)
            cy = rng.uniform(60, HORIZON - 140)
            cw = rng.uniform(220, 520)
            ch = rng.uniform(22, 48)
            for j in range(5):
                ox = rng.uniform(-cw * 0.5, cw * 0.5)
                oy = rng.uniform(-ch * 0.4, ch * 0.3)
                rw = cw * rng.uniform(0.3, 0.6)
                rh = ch * rng.uniform(0.6, 1.0)
                d.ellipse([(cx + ox - rw) * k, (cy + oy - rh) * k,
                           (cx + ox + rw) * k, (cy + oy + rh) * k],
                          fill=(216, 222, 228, 64))
    img.alpha_composite(soft_layer((w, h), 36, clouds))

    # Distant shores: pale and hazy so they sit back behind the text.
    land = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    ld = ImageDraw.Draw(land)
    ld.polygon(ridge(rng, -60, 760, HORIZON + 1, 54, [(1.3, 14), (3.1, 7), (7.0, 3)]),
               fill=(158, 170, 178, 255))
    ld.polygon(ridge(rng, -40, 430, HORIZON + 1, 30, [(1.1, 9), (4.0, 4), (9.0, 2)]),
               fill=(140, 156, 164, 255))
    cape = ridge(rng, 1290, 1900, HORIZON + 1, 26, [(0.8, 6), (3.0, 3)])
    ld.polygon(cape, fill=(144, 158, 166, 255))
    land = blur(land, 1.6)
    img.alpha_composite(land)

    # Lighthouse on the cape, and a keeper's house beside it.
    lh = Image.new("RGBA", (w * 2, h * 2), (0, 0, 0, 0))
    p = Pen(lh, 2)
    bx = 1470
    top_of_cape = min(y for x, y in cape if abs(x - bx) < 6)
    base = top_of_cape + 3
    tower_h, bw, tw = 84, 10, 6.5
    white, band = (226, 224, 216, 255), (178, 128, 118, 255)
    p.poly([(bx - bw, base), (bx + bw, base), (bx + tw, base - tower_h), (bx - tw, base - tower_h)],
           fill=white)
    for f0, f1 in ((0.22, 0.36), (0.58, 0.72)):
        y0, y1 = base - tower_h * f0, base - tower_h * f1
        w0, w1 = lerp(bw, tw, f0), lerp(bw, tw, f1)
        p.poly([(bx - w0, y0), (bx + w0, y0), (bx + w1, y1), (bx - w1, y1)], fill=band)
    top = base - tower_h
    p.rect((bx - 8, top - 2, bx + 8, top), fill=(120, 120, 124, 255))
    p.rect((bx - 5, top - 11, bx + 5, top - 2), fill=(236, 226, 180, 255))
    p.poly([(bx - 7, top - 11), (bx + 7, top - 11), (bx, top - 19)], fill=(150, 110, 104, 255))
    hx = bx + 18
    p.rect((hx, base - 16, hx + 30, base), fill=(214, 210, 200, 255))
    p.poly([(hx - 3, base - 16), (hx + 33, base - 16), (hx + 15, base - 27)], fill=(166, 122, 112, 255))
    lh = blur(downsample(lh, (w, h)), 0.5)
    img.alpha_composite(lh)

    beam = soft_layer((w, h), 20, lambda d, k: d.ellipse(
        [(bx - 26) * k, (top - 34) * k, (bx + 26) * k, (top + 10) * k], fill=(255, 246, 214, 34)))
    img.alpha_composite(beam)

    # Sails far out on the sea.
    sails = Image.new("RGBA", (w * 2, h * 2), (0, 0, 0, 0))
    p = Pen(sails, 2)
    for sx, size in ((820, 1.0), (560, 0.55), (1010, 0.4)):
        hull_y = HORIZON + 6 * size
        p.poly([(sx - 14 * size, hull_y - 3 * size), (sx + 16 * size, hull_y - 3 * size),
                (sx + 11 * size, hull_y), (sx - 10 * size, hull_y)], fill=(112, 120, 128, 255))
        p.poly([(sx, hull_y - 4 * size), (sx, hull_y - 44 * size), (sx + 15 * size, hull_y - 6 * size)],
               fill=(240, 236, 226, 255))
        p.poly([(sx - 2 * size, hull_y - 6 * size), (sx - 2 * size, hull_y - 36 * size),
                (sx - 13 * size, hull_y - 7 * size)], fill=(226, 222, 212, 255))
    sails = blur(downsample(sails, (w, h)), 0.6)
    img.alpha_composite(sails)

    # Light on the water under the sun.
    def path(d, k):
        for i in range(26):
            t = i / 25
            y = HORIZON + 6 + t * 360
            half = 30 + t * 220
            d.ellipse([(sun_x - half) * k, (y - 6 - t * 12) * k,
                       (sun_x + half) * k, (y + 6 + t * 12) * k],
                      fill=(236, 236, 222, int(26 * (1 - t) + 4)))
    img.alpha_composite(soft_layer((w, h), 30, path))

    # Soft waves: short light crests with a faint shadow beneath, growing
    # longer and further apart towards the viewer.
    waves = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    wd = ImageDraw.Draw(waves)
    for _ in range(2600):
        t = rng.random() ** 1.4
        y = HORIZON + 4 + t * (h - HORIZON - 4)
        x = rng.uniform(-60, w + 60)
        length = (6 + 120 * t) * rng.uniform(0.5, 1.4)
        thick = 0.6 + 3.2 * t
        light = int(10 + 28 * t)
        dark = int(6 + 20 * t)
        wd.ellipse([x - length, y + thick * 0.6, x + length, y + thick * 1.8],
                   fill=(76, 116, 134, dark))
        wd.ellipse([x - length * 0.8, y - thick * 0.5, x + length * 0.8, y + thick * 0.5],
                   fill=(214, 226, 230, light))
    waves = blur(waves, 1.8)
    img.alpha_composite(waves)

    # A gentle sandy beach along the bottom edge, with a line of foam.
    shore = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    sd = ImageDraw.Draw(shore)

    def edge(x, lift):
        t = x / w
        return (h - 70 - 50 * math.sin(math.pi * (t * 0.8 + 0.1)) - 8 * math.sin(7 * t + 1.0)
                - lift)
    xs = list(range(-10, w + 11, 6))
    sd.polygon([(x, edge(x, 10)) for x in xs] + [(w + 10, h + 10), (-10, h + 10)],
               fill=(150, 162, 158, 150))
    sd.polygon([(x, edge(x, 0)) for x in xs] + [(w + 10, h + 10), (-10, h + 10)],
               fill=(180, 170, 146, 255))
    sd.polygon([(x, edge(x, -26)) for x in xs] + [(w + 10, h + 10), (-10, h + 10)],
               fill=(186, 175, 150, 255))
    sd.line([(x, edge(x, 4)) for x in xs], fill=(214, 222, 222, 160), width=5)
    for _ in range(60):
        x = rng.uniform(0, w)
        y0 = edge(x, 14 + rng.uniform(0, 30))
        ln = rng.uniform(30, 90)
        sd.line([(x - ln, y0), (x + ln, y0)], fill=(206, 218, 220, 50), width=3)
    shore = blur(shore, 2.4)
    img.alpha_composite(shore)

    img = img.convert("RGB").filter(ImageFilter.GaussianBlur(0.7))

    # A faint fixed grain breaks up banding in the smooth gradients.
    tile = 128
    grain = Image.new("L", (tile, tile))
    grain.putdata([128 + rng.randint(-2, 2) for _ in range(tile * tile)])
    full = Image.new("L", (w, h))
    for ty in range(0, h, tile):
        for tx in range(0, w, tile):
            full.paste(grain, (tx, ty))
    grain_rgb = Image.merge("RGB", (full, full, full))
    img = ImageChops.add(img, grain_rgb, 1.0, -128)

    img.save(out_path("Data/ladoslov.jpg"), "JPEG", quality=88, optimize=True,
             subsampling="4:2:0")


# ---------------------------------------------------------------------------
# Small animated GIFs
# ---------------------------------------------------------------------------

TRANSPARENT = 255


def hard_alpha(frame):
    """GIF transparency is all-or-nothing; cut the alpha at half."""
    alpha = frame.getchannel("A").point(lambda v: 255 if v >= 128 else 0)
    solid = frame.copy()
    solid.putalpha(alpha)
    return solid


def save_gif(frames, rel, duration):
    frames = [hard_alpha(f) for f in frames]
    w, h = frames[0].size
    strip = Image.new("RGB", (w * len(frames), h), (0, 0, 0))
    for i, f in enumerate(frames):
        strip.paste(f.convert("RGB"), (i * w, 0), f)
    pal = strip.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    colours = pal.getpalette()[:255 * 3]
    colours += colours[:3] * (256 - len(colours) // 3)
    pal.putpalette(colours)  # index 255 duplicates index 0 while mapping

    out = []
    for f in frames:
        q = f.convert("RGB").quantize(palette=pal, dither=Image.Dither.NONE)
        q = q.point(lambda i: 0 if i == TRANSPARENT else i)
        q.paste(TRANSPARENT, (0, 0), ImageChops.invert(f.getchannel("A")))
        out.append(q)
    final_palette = colours[:255 * 3] + [255, 0, 255]
    for q in out:
        q.putpalette(final_palette)
    out[0].save(out_path(rel), "GIF", save_all=True, append_images=out[1:], duration=duration,
                loop=0, transparency=TRANSPARENT, disposal=2, optimize=False)
    return frames


def draw_notes(phase):
    """Two beamed eighth notes; later frames lift them a little to the beat."""
    w, h = 61, 50
    img = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    p = Pen(img)
    lift = (0, 1.5, 2.5, 1.5)[phase]
    tilt = (0, -2, 0, 2)[phase]
    ink, edge, shine = (34, 40, 110, 255), (14, 16, 52, 255), (120, 132, 210, 255)

    heads = [(17, 40 - lift), (45, 34 - lift)]
    stem_top = [(21.6, 8 - lift), (49.6, 3 - lift)]
    for (hx, hy), (sx, sy) in zip(heads, stem_top):
        p.poly(ellipse_pts(hx, hy, 7.4, 5.2, -22 + tilt), fill=edge)
        p.poly(ellipse_pts(hx, hy, 6.2, 4.1, -22 + tilt), fill=ink)
        p.poly(ellipse_pts(hx - 1.8, hy - 1.4, 2.4, 1.2, -22 + tilt), fill=shine)
        p.line([(sx, hy - 1.5), (sx, sy)], edge, 2.4)
    # The beam, drawn thick and slanted from stem to stem.
    (x0, y0), (x1, y1) = stem_top
    p.poly([(x0 - 1.2, y0), (x1 + 1.2, y1), (x1 + 1.2, y1 + 6.5), (x0 - 1.2, y0 + 6.5)], fill=edge)
    p.poly([(x0, y0 + 1), (x1, y1 + 1), (x1, y1 + 5.3), (x0, y0 + 5.3)], fill=ink)
    p.poly([(x0 + 1, y0 + 1.6), (x1 - 1, y1 + 1.6), (x1 - 1, y1 + 2.6), (x0 + 1, y0 + 2.6)],
           fill=shine)

    # A small gold star twinkles between the stems in the later frames.
    if phase:
        gold, gold_edge = (246, 196, 40, 255), (150, 96, 10, 255)
        r = (0, 2.6, 4.0, 2.6)[phase]
        sx, sy = 33, 24 - lift
        star = []
        for k in range(8):
            rr = r if k % 2 == 0 else r * 0.34
            a = math.pi / 4 * k - math.pi / 2
            star.append((sx + rr * math.cos(a), sy + rr * math.sin(a)))
        p.poly([(lerp(x, sx, -0.25), lerp(y, sy, -0.25)) for x, y in star], fill=gold_edge)
        p.poly(star, fill=gold)
    return downsample(img, (w, h))


def draw_boat(phase):
    """A little sailing boat rocking on small waves."""
    w, h = 91, 71
    img = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    p = Pen(img)
    bob = (0, 1, 2, 1)[phase]
    lean = (0, 0.6, 0, -0.6)[phase]

    outline = (40, 44, 60, 255)
    sail, sail_shade = (250, 248, 238, 255), (214, 212, 204, 255)
    hull, hull_dark = (176, 44, 36, 255), (120, 28, 24, 255)
    stripe = (246, 240, 224, 255)
    mast = (110, 76, 44, 255)

    def q(x, y):
        # Rock the boat about a point low on its keel.
        cx, cy = 45, 57
        a = math.radians(lean * 3)
        dx, dy = x - cx, y - cy
        return (cx + dx * math.cos(a) - dy * math.sin(a), cy + dx * math.sin(a) + dy * math.cos(a) + bob)

    def qp(pts):
        return [q(x, y) for x, y in pts]

    # Mast and sails.
    p.line(qp([(44, 53), (44, 6)]), outline, 2.6)
    p.line(qp([(44, 53), (44, 6)]), mast, 1.4)
    main = [(46.5, 9), (46.5, 48), (76, 48)]
    jib = [(41.5, 13), (41.5, 48), (17, 48)]
    for pts in (main, jib):
        p.poly(qp(pts), fill=outline)
    p.poly(qp([(48, 13), (48, 46.6), (72.5, 46.6)]), fill=sail)
    p.poly(qp([(56, 27), (56, 46.6), (72.5, 46.6)]), fill=sail_shade)
    p.poly(qp([(40, 17.5), (40, 46.6), (20.5, 46.6)]), fill=sail)
    p.poly(qp([(40, 33), (40, 46.6), (20.5, 46.6)]), fill=sail_shade)
    # Boom under the mainsail.
    p.line(qp([(44, 49.5), (77, 49.5)]), outline, 1.6)

    # Pennant at the masthead, fluttering from frame to frame.
    flap = (0, 1.5, 0.5, -1)[phase]
    flag = [(45, 5.5), (56, 7.5 + flap), (45, 10.5)]
    p.poly(qp(flag), fill=outline)
    p.poly(qp([(46, 6.6), (53, 7.9 + flap * 0.8), (46, 9.4)]), fill=(220, 40, 30, 255))

    # Hull.
    hull_pts = [(8, 50), (84, 50), (75, 62), (18, 62)]
    p.poly(qp(hull_pts), fill=outline)
    p.poly(qp([(10.5, 51.3), (81.5, 51.3), (74, 60.8), (19, 60.8)]), fill=hull)
    p.poly(qp([(11.6, 52.6), (80.4, 52.6), (79.2, 54.2), (12.8, 54.2)]), fill=stripe)
    p.poly(qp([(16, 57.5), (76.5, 57.5), (74, 60.8), (19, 60.8)]), fill=hull_dark)
    for px in (30, 45, 60):
        p.circle(*q(px, 56.2), 1.1, fill=(250, 236, 190, 255))

    # Water: a band of soft waves that roll on from frame to frame.
    water, water_dark, crest = (70, 138, 196, 255), (46, 102, 160, 255), (236, 246, 252, 255)
    shift = phase * 5
    top = []
    for i in range(0, 92):
        x = i
        top.append((x, 61.5 + 1.6 * math.sin((x + shift) * 2 * math.pi / 20)))
    p.poly(top + [(91, 68), (84, 70.5), (7, 70.5), (0, 68)], fill=water_dark)
    inner = [(x, y + 1.2) for x, y in top[2:-2]]
    p.poly(inner + [(88, 67.5), (80, 69.3), (11, 69.3), (3, 67.5)], fill=water)
    for i in range(0, 5):
        cx = (i * 20 - shift) % 100 - 5
        p.arc((cx - 6, 61.5, cx + 6, 66.5), 200, 330, crest, 1.3)
    for i in range(0, 4):
        cx = (i * 24 + 10 + shift) % 100 - 5
        p.arc((cx - 5, 65.5, cx + 5, 69), 200, 330, (178, 212, 238, 255), 1.1)
    return downsample(img, (w, h))


def draw_palette(phase):
    """A painter's palette with blobs of paint and a brush mixing in the middle."""
    w, h = 61, 50
    img = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    p = Pen(img)
    wood, wood_dark, wood_light = (210, 158, 96, 255), (120, 78, 38, 255), (230, 186, 126, 255)

    # Palette body: a broad oval with a rim, a lighter sheen and a thumb hole.
    p.poly(ellipse_pts(30, 26, 28.5, 21, -8, 64), fill=wood_dark)
    p.poly(ellipse_pts(30, 26, 27.2, 19.7, -8, 64), fill=wood)
    p.poly(ellipse_pts(26, 20, 20, 11, -8, 64), fill=wood_light)
    p.poly(ellipse_pts(30.5, 26.5, 22.5, 15.5, -8, 64), fill=wood)
    p.circle(48.5, 27.5, 4.8, fill=wood_dark)
    p.circle(48.5, 27.5, 3.4, fill=(0, 0, 0, 0))
    # Draw the hole's shadowed lower lip over the cut so its rim stays whole.
    p.arc((44.1, 23.1, 52.9, 31.9), 200, 340, wood_dark, 1.2)

    blobs = [
        ((9.5, 25), (220, 36, 28)),
        ((14, 14), (250, 208, 30)),
        ((25, 8.5), (40, 150, 60)),
        ((37, 8), (40, 90, 210)),
        ((48, 13.5), (250, 250, 250)),
        ((14, 36), (150, 60, 170)),
        ((26, 40), (240, 130, 30)),
    ]
    for i, ((bx, by), col) in enumerate(blobs):
        shade = mix(col, (0, 0, 0), 0.45) + (255,)
        r = 4.2 if i % 2 == 0 else 3.9
        p.poly(ellipse_pts(bx, by, r + 0.9, r * 0.8 + 0.9, 10 * i, 24), fill=shade)
        p.poly(ellipse_pts(bx, by, r, r * 0.8, 10 * i, 24), fill=col + (255,))
        glint = (255, 255, 255, 255) if col != (250, 250, 250) else (196, 196, 210, 255)
        # Glints wink on and off in the later frames.
        if phase == 0 or (i + phase) % 3:
            p.circle(bx - r * 0.35, by - r * 0.3, 1.0, fill=glint)

    # A brush with its tip in a dab of blue; it stirs the paint from frame to frame.
    ang = math.radians((0, -5, -9, -5)[phase])
    pivot = (52, 42)

    def b(x, y):
        dx, dy = x - pivot[0], y - pivot[1]
        return (pivot[0] + dx * math.cos(ang) - dy * math.sin(ang),
                pivot[1] + dx * math.sin(ang) + dy * math.cos(ang))
    dab = b(29.5, 24.5)
    p.poly(ellipse_pts(dab[0], dab[1], 3.6, 2.4, 20, 20), fill=(60, 110, 220, 255))
    handle = [b(45, 37), b(59, 47.5)]
    p.line(handle, (60, 22, 18, 255), 3.8)
    p.line(handle, (178, 44, 40, 255), 2.4)
    ferrule = [b(38.5, 32), b(45.5, 37.4)]
    p.line(ferrule, (60, 60, 66, 255), 3.4)
    p.line(ferrule, (200, 204, 212, 255), 2.0)
    p.poly([b(31, 26), b(38, 30.6), b(39.6, 32.4), b(38.2, 34), b(35.4, 32.2)],
           fill=(54, 36, 20, 255))
    p.poly([b(32, 26.6), b(36, 29.4), b(35.4, 31), b(33, 28.8)], fill=(40, 90, 210, 255))
    return downsample(img, (w, h))


# ---------------------------------------------------------------------------
# The icon: the Holy Face on the cloth
# ---------------------------------------------------------------------------

def draw_holy_face():
    w, h = 98, 120
    img = vgradient(w * SS, h * SS, [
        (0.0, (222, 180, 88)),
        (0.5, (208, 164, 74)),
        (1.0, (190, 146, 62)),
    ]).convert("RGBA")
    p = Pen(img)

    cloth, cloth_shade, cloth_line = (244, 236, 214, 255), (222, 210, 184, 255), (176, 160, 130, 255)
    red, dark_red = (170, 36, 28, 255), (110, 20, 16, 255)
    gold_light, gold_line = (236, 200, 110, 255), (140, 92, 30, 255)

    # The cloth (ubrus), hung by its two upper corners.
    top_edge = bezier((4, 34), (30, 40), (68, 40), (94, 34), 30)
    bottom_edge = bezier((95, 110), (70, 113), (28, 113), (3, 110), 30)
    p.poly(top_edge + bottom_edge, fill=cloth_line)
    inner = [(x, y + 0.9) for x, y in top_edge[1:-1]] + [(x, y - 0.9) for x, y in bottom_edge[1:-1]]
    inner = [(max(4.9, min(93.1, x)), y) for x, y in inner]
    p.poly(inner, fill=cloth)
    # Knots at the corners.
    for cx in (5, 93):
        p.circle(cx, 33, 3.6, fill=cloth_line)
        p.circle(cx, 33, 2.6, fill=cloth)
    # Soft fold lines falling from the corners.
    for pts in (bezier((8, 38), (14, 60), (10, 85), (12, 108)),
                bezier((16, 40), (22, 70), (18, 90), (22, 110)),
                bezier((90, 38), (84, 60), (88, 85), (86, 108)),
                bezier((82, 40), (76, 70), (80, 90), (76, 110))):
        p.line(pts, cloth_shade, 2.6)
        p.line([(x + 1.2, y) for x, y in pts], cloth_line, 0.5)
    # Red border along the lower hem, with small crosses, then the fringe.
    hem = bezier((4, 104), (30, 107), (68, 107), (94, 104), 30)
    p.line(hem, red, 1.4)
    for t in (0.12, 0.3, 0.7, 0.88):
        i = int(t * 30)
        x, y = hem[i]
        p.line([(x - 1.8, y + 3), (x + 1.8, y + 3)], red, 0.9)
        p.line([(x, y + 1.2), (x, y + 4.8)], red, 0.9)
    for i in range(31):
        x, y = bottom_edge[i]
        if 5 < x < 93:
            p.line([(x, y - 1), (x, y + 3.5)], cloth_line, 0.7)

    # Halo with the cross.
    cx, cy, hr = 49, 56, 29
    p.circle(cx, cy, hr + 1.2, fill=gold_line)
    p.circle(cx, cy, hr, fill=gold_light)
    p.circle(cx, cy, hr - 2.2, outline=gold_line, width=0.6)
    arm = 6.5
    cross_col = (196, 60, 40, 255)
    for pts in ([(cx - arm, cy - hr + 0.8), (cx + arm, cy - hr + 0.8), (cx + arm * 0.7, cy), (cx - arm * 0.7, cy)],
                [(cx - hr + 0.8, cy - arm - 2), (cx - hr + 0.8, cy + arm + 2), (cx, cy + arm * 0.7), (cx, cy - arm * 0.7)],
                [(cx + hr - 0.8, cy - arm - 2), (cx + hr - 0.8, cy + arm + 2), (cx, cy + arm * 0.7), (cx, cy - arm * 0.7)]):
        p.poly(pts, fill=gold_line)
        shrink = [(lerp(x, cx, 0.06), lerp(y, cy, 0.06)) for x, y in pts]
        p.poly(shrink, fill=cross_col)

    # Hair and beard as one dark mass: parted in the middle, falling in a lock
    # on each side, the beard ending in two points between the locks.
    hair, hair_dark, hair_light = (84, 50, 28, 255), (48, 28, 14, 255), (128, 84, 48, 255)
    left_side = (bezier((49, 32), (40, 32), (35.5, 37), (35, 46)) +
                 bezier((35, 46), (34.5, 58), (32, 68), (30.5, 78)) +
                 bezier((30.5, 78), (30, 82), (30.5, 86), (32, 89)) +
                 bezier((32, 89), (34, 86), (36, 83), (38.5, 81)) +
                 bezier((38.5, 81), (41, 84), (43.5, 87), (45.5, 90)) +
                 bezier((45.5, 90), (46.5, 88), (47.8, 86.5), (49, 86)))
    mass = left_side + [(98 - x, y) for x, y in reversed(left_side)]
    p.poly(mass, fill=hair_dark)
    p.poly([(lerp(x, 49, 0.05), lerp(y, 62, 0.04)) for x, y in mass], fill=hair)
    for sx in (-1, 1):
        for pts in (bezier((48, 33.5), (41, 34.5), (37.5, 42), (37.2, 54)),
                    bezier((46, 34), (39, 37), (36.2, 52), (34, 68)),
                    bezier((36, 62), (34.5, 72), (33, 80), (33.5, 86)),
                    bezier((39.5, 70), (40.5, 78), (43, 83), (45.5, 87.5))):
            p.line([(49 + (x - 49) * -sx, y) for x, y in pts], hair_light, 0.6)
    p.line([(49, 32.5), (49, 37.5)], hair_light, 0.5)

    # Face: long and narrow, in flat ochre with lighter modelling.
    skin, skin_edge, skin_light = (206, 154, 98, 255), (162, 108, 64, 255), (230, 190, 136, 255)
    skin_line = (96, 54, 28, 255)
    face = (bezier((49, 37.5), (42, 37.5), (39, 43), (39, 52)) +
            bezier((39, 52), (39, 64), (42.5, 74), (49, 77)) +
            bezier((49, 77), (55.5, 74), (59, 64), (59, 52)) +
            bezier((59, 52), (59, 43), (56, 37.5), (49, 37.5)))
    p.poly(face, fill=skin_edge)
    p.poly([(lerp(x, 49, 0.07), lerp(y, 56, 0.05)) for x, y in face], fill=skin)
    p.poly(ellipse_pts(49, 43.2, 5.5, 2.4, 0, 24), fill=skin_light)
    for sx in (-1, 1):
        p.poly(ellipse_pts(49 + 5.6 * sx, 60, 2.4, 1.2, -14 * sx, 20), fill=(218, 172, 116, 255))

    # Beard over the lower face, with the moustache drooping into it.
    beard = (bezier((39.2, 60), (40, 70), (42.5, 78), (45.5, 88)) +
             bezier((45.5, 88), (46.6, 86.4), (47.8, 85.2), (49, 84.6)) +
             bezier((49, 84.6), (50.2, 85.2), (51.4, 86.4), (52.5, 88)) +
             bezier((52.5, 88), (55.5, 78), (58, 70), (58.8, 60)) +
             bezier((58.8, 60), (57.5, 68), (54, 73.6), (49, 73.8)) +
             bezier((49, 73.8), (44, 73.6), (40.5, 68), (39.2, 60)))
    p.poly(beard, fill=hair)
    for pts in (bezier((41.5, 65), (42.5, 74), (44.2, 80), (46, 86)),
                bezier((56.5, 65), (55.5, 74), (53.8, 80), (52, 86)),
                bezier((47, 75), (47.2, 79), (47.6, 82), (48, 84.5)),
                bezier((51, 75), (50.8, 79), (50.4, 82), (50, 84.5))):
        p.line(pts, hair_light, 0.5)
    moustache = (bezier((49, 67.2), (46.5, 66.8), (44.2, 68), (43, 72.5)) +
                 bezier((43, 72.5), (45, 70.2), (47, 69.2), (49, 69.2)) +
                 bezier((49, 69.2), (51, 69.2), (53, 70.2), (55, 72.5)) +
                 bezier((55, 72.5), (53.8, 68), (51.5, 66.8), (49, 67.2)))
    p.poly(moustache, fill=hair)
    p.line(bezier((48.6, 68.2), (46.5, 68.2), (44.6, 69.4), (43.4, 71.8), 10), hair_dark, 0.5)
    p.line(bezier((49.4, 68.2), (51.5, 68.2), (53.4, 69.4), (54.6, 71.8), 10), hair_dark, 0.5)
    # Mouth: small and closed, only the lower lip showing.
    p.poly(ellipse_pts(49, 71.2, 2.1, 0.85, 0, 16), fill=(156, 62, 44, 255))

    # Brows, eyes and the long straight nose.
    for sx in (-1, 1):
        ex = 49 + 5.4 * sx
        p.line(bezier((49 + 1.4 * sx, 50), (49 + 3 * sx, 47.6), (49 + 7.5 * sx, 47.2),
                      (49 + 10 * sx, 50.2), 14), hair_dark, 0.9)
        p.poly(ellipse_pts(ex, 53.4, 3.3, 1.3, 0, 28), fill=(238, 226, 200, 255))
        p.circle(ex - 0.4 * sx, 53.4, 1.25, fill=(54, 32, 18, 255))
        p.line(bezier((ex - 3.6, 53.6), (ex - 1.6, 51.3), (ex + 1.6, 51.3), (ex + 3.6, 53.6), 12),
               skin_line, 0.75)
        p.line(bezier((ex - 2.8, 55.6), (ex - 1, 56.7), (ex + 1, 56.7), (ex + 2.8, 55.6), 10),
               skin_edge, 0.55)
    p.line([(48.2, 50.5), (47.8, 63)], skin_edge, 0.55)
    p.line([(49.6, 51), (49.8, 62)], skin_light, 0.6)
    p.line(bezier((46.4, 63.2), (47.4, 65.1), (50.6, 65.1), (51.6, 63.2), 10), skin_line, 0.65)

    # The name: ІС on the left, ХС on the right, each under a titlo.
    font = find_font(["DejaVuSerif-Bold.ttf", "LiberationSerif-Bold.ttf", "DejaVuSans-Bold.ttf"],
                     15 * SS)
    for text, x in (("ІС", 13), ("ХС", 85)):
        if font is not None:
            tw = p.d.textlength(text, font=font)
            p.d.text((x * SS - tw / 2, 10 * SS), text, font=font, fill=dark_red)
        else:
            draw_letters_as_strokes(p, text, x, 11, dark_red)
        p.line([(x - 7, 7), (x + 7, 7)], dark_red, 1.1)
        p.line([(x - 7, 7), (x - 7.6, 9)], dark_red, 1.0)
        p.line([(x + 7, 7), (x + 7.6, 5)], dark_red, 1.0)

    face_img = img.resize((w, h), Image.BOX).convert("RGB")
    face_img.save(out_path("res/pictures/image4.jpg"), "JPEG", quality=92, subsampling="4:4:4")


def draw_letters_as_strokes(p, text, cx, top, colour):
    """Fallback when no font is installed: the four letters as plain strokes."""
    glyphs = {
        "І": [[(0.5, 0), (0.5, 1)]],
        "С": [list(bezier((0.95, 0.15), (0.6, -0.1), (0.0, 0.0), (0.0, 0.5), 10)) +
              list(bezier((0.0, 0.5), (0.0, 1.0), (0.6, 1.1), (0.95, 0.85), 10))],
        "Х": [[(0, 0), (1, 1)], [(1, 0), (0, 1)]],
    }
    gw, gh, gap = 7.0, 11.0, 1.5
    widths = [2.0 if ch == "І" else gw for ch in text]
    x = cx - (sum(widths) + gap * (len(text) - 1)) / 2
    for ch, cw in zip(text, widths):
        for stroke in glyphs[ch]:
            if ch == "І":
                pts = [(x + cw / 2, top + y * gh) for _, y in stroke]
            else:
                pts = [(x + sx * cw, top + sy * gh) for sx, sy in stroke]
            p.line(pts, colour, 1.8)
        x += cw + gap


# ---------------------------------------------------------------------------
# Window icon and cursors: pixel art with at most 16 colours
# ---------------------------------------------------------------------------

CLEAR = (0, 0, 0, 0)
WHITE = (255, 255, 255, 255)
PAPER = (236, 236, 236, 255)
SHADE = (192, 192, 192, 255)
SHADOW = (128, 128, 128, 160)
EDGE = (64, 64, 64, 255)
RED = (208, 24, 24, 255)
DARK_RED = (128, 0, 0, 255)
INK = (24, 24, 40, 255)
RING = (96, 96, 104, 255)
RING_LIGHT = (224, 224, 232, 255)
GOLD = (232, 184, 40, 255)
NAVY = (0, 0, 128, 255)
CREAM = (255, 250, 214, 255)
SKY = (180, 210, 255, 255)


def calendar_icon_32():
    img = Image.new("RGBA", (32, 32), CLEAR)
    d = ImageDraw.Draw(img)
    # Drop shadow, page, header band and the binding rings.
    d.rectangle([6, 6, 29, 30], fill=SHADOW)
    d.rectangle([3, 4, 28, 29], fill=EDGE)
    d.rectangle([4, 5, 27, 28], fill=WHITE)
    d.rectangle([4, 26, 27, 28], fill=PAPER)
    d.line([(27, 11), (27, 28)], fill=SHADE)
    d.line([(4, 28), (27, 28)], fill=SHADE)
    d.rectangle([4, 5, 27, 10], fill=RED)
    d.line([(4, 10), (27, 10)], fill=DARK_RED)
    for x in (8, 22):
        d.rectangle([x, 2, x + 1, 7], fill=RING)
        d.point((x, 3), fill=RING_LIGHT)
    # Eight-pointed cross; the centre of the picture lies on its upright.
    d.rectangle([15, 12, 16, 27], fill=INK)        # upright
    d.rectangle([12, 14, 19, 14], fill=INK)        # title board
    d.rectangle([9, 17, 22, 18], fill=INK)         # arms
    for x in range(11, 21):                        # foot-rest, slanting down to the right
        y = 21 + (x - 11) // 3
        d.line([(x, y), (x, y + 1)], fill=INK)
    return img


def calendar_icon_16():
    img = Image.new("RGBA", (16, 16), CLEAR)
    d = ImageDraw.Draw(img)
    d.rectangle([2, 3, 15, 15], fill=SHADOW)
    d.rectangle([0, 2, 14, 14], fill=EDGE)
    d.rectangle([1, 3, 13, 13], fill=WHITE)
    d.line([(1, 13), (13, 13)], fill=SHADE)
    d.rectangle([1, 3, 13, 5], fill=RED)
    for x in (3, 11):
        d.line([(x, 1), (x, 4)], fill=RING)
    d.line([(7, 6), (7, 13)], fill=INK)
    d.line([(6, 7), (8, 7)], fill=INK)
    d.line([(4, 9), (10, 9)], fill=INK)
    d.line([(5, 11), (6, 11)], fill=INK)
    d.point((8, 12), fill=INK)
    d.point((9, 12), fill=INK)
    return img


def note_cursor_32():
    img = Image.new("RGBA", (32, 32), CLEAR)
    d = ImageDraw.Draw(img)
    d.ellipse([2, 2, 30, 30], fill=NAVY)
    d.ellipse([4, 4, 28, 28], fill=CREAM)
    d.arc([6, 6, 26, 26], 200, 250, fill=WHITE)
    # An eighth note whose stem runs through the centre of the circle.
    d.ellipse([9, 19, 16, 24], fill=INK)
    d.point((11, 20), fill=SKY)
    d.rectangle([15, 8, 16, 22], fill=INK)
    d.line([(17, 9), (19, 11), (21, 13), (21, 16), (20, 18)], fill=INK, width=2)
    d.point((16, 16), fill=INK)
    return img


def to_palette(img, max_colours=16):
    """Exact conversion to palette mode: index 0 is transparent, the rest are
    the picture's own colours (no quantisation, so nothing shifts)."""
    colours = []
    for px in img.getdata():
        c = px if px[3] else CLEAR
        if c not in colours:
            colours.append(c)
    if CLEAR in colours:
        colours.remove(CLEAR)
    colours.insert(0, CLEAR)
    if len(colours) > max_colours:
        raise SystemExit(f"too many colours: {len(colours)}")
    index = {c: i for i, c in enumerate(colours)}
    p = Image.new("P", img.size)
    p.putdata([index[px if px[3] else CLEAR] for px in img.getdata()])
    p.putpalette([v for c in colours for v in c[:3]])
    p.info["transparency"] = bytes(c[3] for c in colours)
    return p


def save_png_p(img, rel):
    p = to_palette(img)
    p.save(out_path(rel), "PNG", transparency=p.info["transparency"], optimize=False)
    return p


def draw_icons():
    icon32 = calendar_icon_32()
    icon16 = calendar_icon_16()
    p32 = save_png_p(icon32, "res/icons/ladoslov-32.png")
    p16 = save_png_p(icon16, "res/icons/ladoslov-16.png")
    save_png_p(icon32, "res/cursors/cursor_a.png")
    save_png_p(note_cursor_32(), "res/cursors/cursor_b.png")
    p32.convert("RGBA").save(out_path("res/icons/ladoslov.ico"), "ICO",
                             sizes=[(16, 16), (32, 32)], append_images=[p16.convert("RGBA")])


# ---------------------------------------------------------------------------
# Reading everything back
# ---------------------------------------------------------------------------

def check(cond, what):
    if not cond:
        raise SystemExit("check failed: " + what)


def verify(gif_frames):
    bg = Image.open(out_path("Data/ladoslov.jpg"))
    check(bg.format == "JPEG" and bg.size == (BG_W, BG_H), "background size")
    check(os.path.getsize(out_path("Data/ladoslov.jpg")) < 400 * 1024, "background file size")

    for rel, size, frames in gif_frames:
        g = Image.open(out_path(rel))
        check(g.format == "GIF" and g.size == size, rel + " size")
        check(g.n_frames == len(frames) and g.n_frames >= 2, rel + " frame count")
        for i, want in enumerate(frames):
            g.seek(i)
            got = g.convert("RGBA")
            # Transparent where intended, opaque where intended.
            check(got.getchannel("A").tobytes() == want.getchannel("A").tobytes(),
                  f"{rel} frame {i} transparency")
            check(got.getpixel((0, 0))[3] == 0, f"{rel} frame {i} corner not transparent")

    face = Image.open(out_path("res/pictures/image4.jpg"))
    check(face.format == "JPEG" and face.size == (98, 120), "image4 size")

    for rel, size in (("res/icons/ladoslov-32.png", 32), ("res/icons/ladoslov-16.png", 16),
                      ("res/cursors/cursor_a.png", 32), ("res/cursors/cursor_b.png", 32)):
        im = Image.open(out_path(rel))
        check(im.format == "PNG" and im.mode == "P" and im.size == (size, size), rel + " mode/size")
        check(len(im.getcolors(256)) <= 16 and len(im.getpalette()) <= 48, rel + " colours")
        check(im.convert("RGBA").getpixel((0, 0))[3] == 0, rel + " corner not transparent")
        check(im.convert("RGBA").getpixel((size // 2, size // 2))[3] == 255, rel + " centre not solid")

    a = Image.open(out_path("res/cursors/cursor_a.png")).convert("RGBA")
    i32 = Image.open(out_path("res/icons/ladoslov-32.png")).convert("RGBA")
    check(a.tobytes() == i32.tobytes(), "cursor_a differs from the 32x32 icon")

    ico = Image.open(out_path("res/icons/ladoslov.ico"))
    check(sorted(ico.info["sizes"]) == [(16, 16), (32, 32)], "ico sizes")
    for size, rel in (((16, 16), "res/icons/ladoslov-16.png"), ((32, 32), "res/icons/ladoslov-32.png")):
        ico.size = size
        png = Image.open(out_path(rel)).convert("RGBA")
        check(ico.convert("RGBA").tobytes() == png.tobytes(), f"ico {size} differs from {rel}")


def main():
    draw_background()
    gifs = []
    for rel, size, fn, duration in (
            ("res/pictures/image1.gif", (61, 50), draw_notes, 220),
            ("res/pictures/image2.gif", (91, 71), draw_boat, 260),
            ("res/pictures/image3.gif", (61, 50), draw_palette, 300)):
        frames = save_gif([fn(i) for i in range(4)], rel, duration)
        gifs.append((rel, size, frames))
    draw_holy_face()
    draw_icons()
    verify(gifs)
    print("pictures written and checked")


if __name__ == "__main__":
    sys.exit(main())
