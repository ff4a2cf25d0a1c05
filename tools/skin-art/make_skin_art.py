#!/usr/bin/env python3
"""Draws the pictures of the product's skins.

Every picture is described here as shapes with analytic anti-aliasing (signed
distances, one sample a pixel), so the output is the same byte for byte on
every run and machine. PNGs are written with zlib alone: RGBA, 8 bits, straight
alpha, no ancillary chunks.

Usage: make_skin_art.py OUTPUT_FOLDER   (writes OUTPUT_FOLDER/images/*.png)
"""
import math
import os
import struct
import sys
import zlib


def hex_rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


class Canvas:
    """Straight-alpha RGBA pixels as floats 0..1, composited with "over"."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def blend(self, x, y, rgb, alpha):
        if alpha <= 0.0:
            return
        p = self.px[y * self.w + x]
        a0 = p[3]
        a = alpha + a0 * (1.0 - alpha)
        for i in range(3):
            p[i] = (rgb[i] / 255.0 * alpha + p[i] * a0 * (1.0 - alpha)) / a
        p[3] = a

    def fill(self, sdf, paint, opacity=1.0, box=None):
        """sdf(x, y) < 0 inside; paint(x, y) gives the colour at a pixel centre."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                cx, cy = x + 0.5, y + 0.5
                coverage = min(1.0, max(0.0, 0.5 - sdf(cx, cy)))
                if coverage > 0.0:
                    self.blend(x, y, paint(cx, cy), coverage * opacity)

    def png(self):
        rows = []
        for y in range(self.h):
            row = bytearray([0])
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                else:
                    row += bytes(int(round(min(1.0, max(0.0, c)) * 255)) for c in (r, g, b, a))
            rows.append(bytes(row))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


# --- Shapes as signed distances ------------------------------------------

def rounded_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, half_width):
    def sdf(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - half_width
    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def ring(cx, cy, r, half_width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half_width


def inset(sdf, d):
    return lambda x, y: sdf(x, y) + d


def solid(color):
    rgb = hex_rgb(color)
    return lambda x, y: rgb


def vertical(top, bottom, y0, y1):
    a, b = hex_rgb(top), hex_rgb(bottom)

    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / float(y1 - y0)))
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))
    return paint


# --- The pictures ---------------------------------------------------------

def close_button(background, glyph):
    c = Canvas(30, 30)
    if background:
        c.fill(rounded_rect(4, 4, 26, 26, 6), solid(background))
    k = 4.6
    c.fill(union(segment(15 - k, 15 - k, 15 + k, 15 + k, 0.8),
                 segment(15 - k, 15 + k, 15 + k, 15 - k, 0.8)), solid(glyph))
    return c


def action_button(top, bottom, border, highlight=True):
    w, h, r = 130, 32, 6
    c = Canvas(w, h)
    outer = rounded_rect(0, 0, w, h, r)
    c.fill(outer, solid(border))
    c.fill(inset(outer, 1.0), vertical(top, bottom, 1, h - 1))
    if highlight:
        # A one-pixel light edge along the top makes the face read as raised.
        c.fill(lambda x, y: max(inset(outer, 1.0)(x, y), y - 2.0), solid("#FFFFFF"), opacity=0.55)
    return c


def window_picture():
    w, h = 348, 452
    c = Canvas(w, h)
    cx, cy = 174, 112
    # Quiet circles behind the badge: they give the empty upper half some depth.
    c.fill(circle(cx, cy, 74), solid("#EEF4FC"), box=(cx - 80, cy - 80, cx + 80, cy + 80))
    c.fill(ring(cx, cy, 74, 0.5), solid("#DCE7F7"), box=(cx - 80, cy - 80, cx + 80, cy + 80))
    c.fill(circle(cx, cy, 54), solid("#DDEAFB"), box=(cx - 60, cy - 60, cx + 60, cy + 60))
    c.fill(circle(cx, cy, 38), vertical("#4C95EE", "#2A6FD6", cy - 38, cy + 38), box=(cx - 42, cy - 42, cx + 42, cy + 42))
    # An upward arrow: update.
    head = union(segment(cx, cy - 16, cx - 12, cy - 4, 2.4), segment(cx, cy - 16, cx + 12, cy - 4, 2.4))
    shaft = segment(cx, cy - 14, cx, cy + 16, 2.4)
    c.fill(union(head, shaft), solid("#FFFFFF"), box=(cx - 20, cy - 22, cx + 20, cy + 22))
    # A small orange dot: something is waiting.
    c.fill(circle(cx + 28, cy - 28, 9), solid("#FFFFFF"), box=(cx + 16, cy - 40, cx + 40, cy - 16))
    c.fill(circle(cx + 28, cy - 28, 6.5), solid("#E8772E"), box=(cx + 16, cy - 40, cx + 40, cy - 16))
    return c


def shadow(width, height, distance):
    """distance(x, y): how far the pixel centre lies outside the window's edge."""
    c = Canvas(width, height)
    depth = 10.0
    for y in range(height):
        for x in range(width):
            d = distance(x + 0.5, y + 0.5)
            t = max(0.0, 1.0 - d / depth)
            c.blend(x, y, hex_rgb("#0F1E36"), 0.18 * t * t)
    return c


def shadows():
    n = 10.0
    return {
        "bg_shadow_topleft": shadow(10, 10, lambda x, y: math.hypot(n - x, n - y)),
        "bg_shadow_top": shadow(10, 10, lambda x, y: n - y),
        "bg_shadow_topright": shadow(10, 10, lambda x, y: math.hypot(x, n - y)),
        "bg_shadow_left": shadow(10, 10, lambda x, y: n - x),
        "bg_shadow_right": shadow(10, 10, lambda x, y: x),
        "bg_shadow_bottomleft": shadow(10, 10, lambda x, y: math.hypot(n - x, y)),
        "bg_shadow_bottom": shadow(10, 10, lambda x, y: y),
        "bg_shadow_bottomright": shadow(10, 10, lambda x, y: math.hypot(x, y)),
    }


def scroll_picture(color, left, right):
    c = Canvas(8, 40)
    c.fill(rounded_rect(left, 0, right, 40, (right - left) / 2.0), solid(color))
    return c


def pictures():
    out = {
        "btn_close_normal": close_button(None, "#8A94A3"),
        "btn_close_over": close_button("#EEF1F5", "#4B5563"),
        "btn_close_press": close_button("#E1E6EC", "#2F3846"),
        "btn_colours_normal": action_button("#F4F8FE", "#E3EEFC", "#8DB6EE"),
        "btn_colours_over": action_button("#EAF3FF", "#D5E6FC", "#6AA0E8"),
        "btn_colours_press": action_button("#D2E2F8", "#DCE9FA", "#5B91DB", highlight=False),
        "btn_colours_disabled": action_button("#F5F6F8", "#F0F2F4", "#D8DCE2", highlight=False),
        "img_window_update": window_picture(),
        "scroll_bg": scroll_picture("#F0F3F7", 0, 8),
        "scrollbar_normal": scroll_picture("#C5CCD6", 1, 7),
        "scrollbar_over": scroll_picture("#98A2B1", 1, 7),
    }
    out.update(shadows())
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = os.path.join(sys.argv[1], "images")
    os.makedirs(folder, exist_ok=True)
    for name, canvas in sorted(pictures().items()):
        data = canvas.png()
        path = os.path.join(folder, name + ".png")
        # Unchanged pictures keep their time stamps, so rcc does not run again.
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)


if __name__ == "__main__":
    main()
