#!/usr/bin/env python3
"""Draws the product's shortcut icons: Icons/0.ico (the mark) and Icons/3+.ico
(the mark with a "3+" badge, shown once three or more updates wait).

Each icon file holds 16, 24, 32, 48, 64, 128 and 256 pixels. Every size is drawn
at that size rather than scaled from a large one, so that the small ones stay
sharp: edges that can sit on pixel boundaries do, and up to 32 pixels the
badge's text is set from a pixel font. The entries up to 128 are 32-bit
bitmaps with alpha and an AND mask (what every version of Windows reads); the
256-pixel one is PNG-compressed.

Usage: make_product_icons.py OUTPUT_FOLDER   (writes OUTPUT_FOLDER/0.ico and 3+.ico)
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_skin_art import Canvas, hex_rgb, inset, rounded_rect, segment, solid, union  # noqa: E402

SIZES = (16, 24, 32, 48, 64, 128, 256)


# --- Shapes beyond those of the skin pictures ------------------------------

def polygon(points):
    """Signed distance to a simple polygon (any winding)."""
    def sdf(x, y):
        d = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -d if inside else d
    return sdf


def arc(cx, cy, r, a0, a1, half_width):
    """A stroke along the circle from angle a0 to a1 (degrees, clockwise on
    screen: 0 right, 90 down), with round ends."""
    start, span = math.radians(a0), math.radians(a1 - a0)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (start, start + span)]

    def sdf(x, y):
        a = (math.atan2(y - cy, x - cx) - start) % (2 * math.pi)
        if a <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - half_width
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - half_width
    return sdf


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def linear(start, end, x0, y0, x1, y1):
    """A gradient from start at (x0, y0) to end at (x1, y1)."""
    a, b = hex_rgb(start), hex_rgb(end)
    dx, dy = x1 - x0, y1 - y0
    length2 = float(dx * dx + dy * dy)

    def paint(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))
    return paint


def soft_shadow(canvas, sdf, color, opacity, blur, dy):
    """A blurred copy of a shape, dy pixels lower, under what is drawn next."""
    rgb = hex_rgb(color)
    for y in range(canvas.h):
        for x in range(canvas.w):
            d = sdf(x + 0.5, y + 0.5 - dy)
            t = 1.0 - max(0.0, min(1.0, (d + blur * 0.5) / blur))
            if t > 0.0:
                canvas.blend(x, y, rgb, opacity * t * t)


def pixels(canvas, glyph, x0, y0, color):
    """Sets a pixel-font glyph (rows of '#' and '.') with its top-left at (x0, y0)."""
    rgb = hex_rgb(color)
    for j, row in enumerate(glyph):
        for i, cell in enumerate(row):
            if cell == "#" and 0 <= x0 + i < canvas.w and 0 <= y0 + j < canvas.h:
                canvas.blend(x0 + i, y0 + j, rgb, 1.0)


# --- Icon files ---------------------------------------------------------------

def _rgba(canvas):
    out = []
    for p in canvas.px:
        if p[3] <= 0.0:
            out.append((0, 0, 0, 0))
        else:
            out.append(tuple(int(round(min(1.0, max(0.0, c)) * 255)) for c in p))
    return out


def bitmap_entry(canvas):
    """A 32-bit DIB with straight alpha, bottom-up, and its AND mask (set where
    the picture is fully transparent) for programs that ignore alpha."""
    w, h = canvas.w, canvas.h
    px = _rgba(canvas)
    colour = bytearray()
    mask = bytearray()
    stride = (w + 31) // 32 * 4
    for y in reversed(range(h)):
        bits = bytearray(stride)
        for x in range(w):
            r, g, b, a = px[y * w + x]
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def ico_bytes(canvases):
    """An .ico file of square canvases, smallest first; 256 pixels and more as PNG."""
    canvases = sorted(canvases, key=lambda c: c.w)
    images = [c.png() if c.w >= 256 else bitmap_entry(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        side = 0 if c.w >= 256 else c.w
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


# --- The mark -------------------------------------------------------------------

BLUE_TOP, BLUE_BOTTOM = "#5AA8FA", "#1D5BD0"
BADGE_TOP, BADGE_BOTTOM = "#FF9A3C", "#E8412C"

# The badge's text where strokes of about a pixel would blur: "3" and "+" at 16
# pixels, at 24 and 32 pixels the same with strokes of two pixels.
DIGIT_3_SMALL = ["###", "..#", ".##", "..#", "###"]
PLUS_SMALL = [".#.", "###", ".#."]
DIGIT_3_MEDIUM = ["####.", "...##", "...##", ".###.", "...##", "...##", "####."]
PLUS_MEDIUM = ["..##..", "..##..", "######", "######", "..##..", "..##.."]


def mark(s):
    c = Canvas(s, s)
    m = max(1, s // 16)
    square = rounded_rect(m, m, s - m, s - m, (s - 2 * m) * 0.23)
    if s >= 48:
        soft_shadow(c, square, "#0B2350", 0.30, s / 24.0, s / 64.0)
    c.fill(square, linear(BLUE_TOP, BLUE_BOTTOM, s * 0.3, m, s * 0.7, s - m))
    if s >= 32:
        # A light rim along the top edge: the tile reads as a surface, not a hole.
        rim = max(1.0, s / 48.0)
        c.fill(intersect(square, lambda x, y: -inset(square, rim)(x, y), lambda x, y: y - s * 0.5),
               solid("#FFFFFF"), opacity=0.28)

    # An arrow rising out of a tray: updates going in.
    shaft_x0 = round(s * 0.405)
    shaft_x1 = s - shaft_x0
    apex, base = round(s * 0.19), round(s * 0.50)
    half = round(s * 0.26)
    corner = 0.0 if s < 32 else s / 64.0
    head = inset(polygon([(s / 2.0, apex + corner * 2), (s / 2.0 - half + corner, base - corner),
                          (s / 2.0 + half - corner, base - corner)]), -corner)
    if s < 32:
        shaft = rounded_rect(shaft_x0, base - 1, shaft_x1, round(s * 0.82), 0.5)
        glyph = union(head, shaft)
    else:
        bottom = round(s * 0.66)
        shaft = rounded_rect(shaft_x0, base - 1, shaft_x1, bottom, s / 128.0)
        tray_h = max(2, round(s * 0.075))
        tray_y = round(s * 0.75)
        tray = rounded_rect(round(s * 0.27), tray_y, s - round(s * 0.27), tray_y + tray_h, tray_h / 2.0)
        glyph = union(head, shaft, tray)
    c.fill(glyph, solid("#FFFFFF"))
    return c


def erase(canvas, sdf):
    """Cuts a shape out of what is drawn: the desktop shows through."""
    for y in range(canvas.h):
        for x in range(canvas.w):
            coverage = min(1.0, max(0.0, 0.5 - sdf(x + 0.5, y + 0.5)))
            canvas.px[y * canvas.w + x][3] *= 1.0 - coverage


def badged(s):
    c = mark(s)
    if s <= 32:
        # Pixel-font text in a pill on the pixel grid.
        three, plus = (DIGIT_3_SMALL, PLUS_SMALL) if s == 16 else (DIGIT_3_MEDIUM, PLUS_MEDIUM)
        pad = 1 if s < 32 else 2
        text_w = len(three[0]) + 1 + len(plus[0])
        text_h = len(three)
        w, h = text_w + 2 * pad, text_h + 2
        x0, y0 = s - w, 0
        radius = 2.0 if s == 16 else h / 2.0
        pill = rounded_rect(x0, y0, s, y0 + h, radius)
        erase(c, inset(pill, -1.0))
        c.fill(pill, linear(BADGE_TOP, BADGE_BOTTOM, 0, y0, 0, y0 + h))
        pixels(c, three, x0 + pad, y0 + 1, "#FFFFFF")
        pixels(c, plus, x0 + pad + len(three[0]) + 1, y0 + 1 + (text_h - len(plus) + 1) // 2, "#FFFFFF")
        return c
    bw, bh = s * 0.52, s * 0.36
    x0, y0, x1, y1 = s - bw, 0.0, float(s), bh
    gap = max(1.0, s / 32.0)
    pill = rounded_rect(x0, y0, x1, y1, bh / 2.0)
    erase(c, inset(pill, -gap))
    c.fill(pill, linear(BADGE_TOP, BADGE_BOTTOM, 0, y0, 0, y1))
    # "3+" in strokes, centred in the pill.
    th = (y1 - y0) * 0.58
    hw = th * 0.115
    cy = (y0 + y1) / 2.0
    top, bottom = cy - th / 2.0, cy + th / 2.0
    digit_w = th * 0.58
    plus_w = th * 0.62
    space = th * 0.14
    left = (x0 + x1) / 2.0 - (digit_w + space + plus_w) / 2.0
    r1 = (th - 2 * hw) * 0.235 + hw * 0.5
    r2 = (th - 2 * hw) * 0.265 + hw * 0.5
    dcx = left + digit_w - r2 - hw
    three = union(arc(dcx, top + r1, r1, -165, 90, hw), arc(dcx, bottom - r2, r2, -90, 165, hw))
    pcx, pcy = left + digit_w + space + plus_w / 2.0, cy
    plus = union(segment(pcx - plus_w / 2.0 + hw, pcy, pcx + plus_w / 2.0 - hw, pcy, hw),
                 segment(pcx, pcy - plus_w / 2.0 + hw, pcx, pcy + plus_w / 2.0 - hw, hw))
    c.fill(union(three, plus), solid("#FFFFFF"))
    return c


def icons():
    return {"0.ico": ico_bytes([mark(s) for s in SIZES]),
            "3+.ico": ico_bytes([badged(s) for s in SIZES])}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, data in sorted(icons().items()):
        # Always written, so that the build sees them newer than this script.
        path = os.path.join(sys.argv[1], name)
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)

if __name__ == "__main__":
    main()
