#!/usr/bin/env python3
"""Checks .ico files as Windows reads them and, on request, lays their images
out on a contact sheet to look at.

    check_icons.py [--sizes 16,24,...] [--sheet SHEET.png] [--zoom N] FILE.ico...

Every file must hold exactly the given sizes (when given), each entry inside
the file and apart from the others, 32-bit bitmaps whose header, pixel data
and AND mask agree with the directory (the mask set exactly where alpha is 0),
and PNG entries whose header gives the directory's size. The sheet shows each
file as a row: every image at its own size on a light and a dark ground, then
enlarged N times without smoothing, so single pixels can be judged.
Exit code 1 and one line a fault when something is wrong.
"""
import argparse
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_skin_art import Canvas  # noqa: E402


def _png_pixels(data):
    """RGBA rows of an 8-bit RGBA, non-interlaced PNG (every filter)."""
    at, chunks = 8, {}
    idat = b""
    while at < len(data):
        (length,) = struct.unpack_from(">I", data, at)
        kind = data[at + 4:at + 8]
        body = data[at + 8:at + 8 + length]
        if kind == b"IDAT":
            idat += body
        else:
            chunks[kind] = body
        at += 12 + length
    w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError("PNG entry is not 8-bit RGBA without interlacing")
    raw = zlib.decompress(idat)
    stride = w * 4
    rows, prev = [], bytearray(stride)
    for y in range(h):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(w)])
        prev = line
    return w, h, rows


def read_ico(data, name="icon"):
    """[(size, rows of RGBA)], raising ValueError on the first fault."""
    if len(data) < 6:
        raise ValueError("%s: shorter than the header" % name)
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count == 0:
        raise ValueError("%s: not an icon file (reserved %d, type %d, %d images)" % (name, reserved, kind, count))
    if 6 + 16 * count > len(data):
        raise ValueError("%s: the directory runs past the end" % name)
    spans, images = [(0, 6 + 16 * count)], []
    for n in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        w, h = w or 256, h or 256
        where = "%s entry %d (%dx%d)" % (name, n, w, h)
        if offset + size > len(data) or size == 0:
            raise ValueError("%s: data at %d+%d outside the file of %d bytes" % (where, offset, size, len(data)))
        for a, b in spans:
            if offset < b and a < offset + size:
                raise ValueError("%s: overlaps other data" % where)
        spans.append((offset, offset + size))
        body = data[offset:offset + size]
        if body[:8] == b"\x89PNG\r\n\x1a\n":
            pw, ph, rows = _png_pixels(body)
            if (pw, ph) != (w, h):
                raise ValueError("%s: the PNG is %dx%d" % (where, pw, ph))
        else:
            if w != h or bits != 32 or planes != 1 or colours != 0:
                raise ValueError("%s: not a square 32-bit entry" % where)
            bi_size, bw, bh, bplanes, bbits = struct.unpack_from("<IiiHH", body, 0)
            stride = (w + 31) // 32 * 4
            if (bi_size, bw, bh, bplanes, bbits) != (40, w, 2 * h, 1, 32):
                raise ValueError("%s: bitmap header %r" % (where, (bi_size, bw, bh, bplanes, bbits)))
            if size != 40 + w * h * 4 + stride * h:
                raise ValueError("%s: %d bytes, not header, pixels and mask" % (where, size))
            rows = []
            mask_at = 40 + w * h * 4
            for y in range(h):
                src = 40 + (h - 1 - y) * w * 4
                mrow = mask_at + (h - 1 - y) * stride
                row = []
                for x in range(w):
                    b, g, r, a = body[src + x * 4:src + x * 4 + 4]
                    masked = bool(body[mrow + x // 8] & (0x80 >> (x % 8)))
                    if masked != (a == 0):
                        raise ValueError("%s: mask and alpha disagree at (%d, %d)" % (where, x, y))
                    row.append((r, g, b, a))
                rows.append(row)
        images.append((w, rows))
    return images


def sheet(files, zoom):
    rows = []
    for _, images in files:
        big = max(w for w, _ in images)
        small = [img for img in images if img[0] <= 64]
        width = sum(w + 8 for w, _ in images) + 8 + sum(w * zoom + 8 for w, _ in small)
        rows.append((images, small, width, max(big, max(w * zoom for w, _ in small)) * 2 + 24))
    c = Canvas(max(r[2] for r in rows), sum(r[3] for r in rows))
    top = 0
    for images, small, width, height in rows:
        for y in range(top, top + height):
            for x in range(c.w):
                c.px[y * c.w + x] = [0.96, 0.97, 0.98, 1.0] if y < top + height // 2 else [0.16, 0.18, 0.22, 1.0]
        x = 8
        for scale, group in ((1, images), (zoom, small)):
            for w, px in group:
                for half in (0, 1):
                    y0 = top + 8 + half * (height // 2)
                    for yy in range(w * scale):
                        for xx in range(w * scale):
                            r, g, b, a = px[yy // scale][xx // scale]
                            c.blend(x + xx, y0 + yy, (r, g, b), a / 255.0)
                x += w * scale + 8
        top += height
    return c


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("files", nargs="+")
    ap.add_argument("--sizes", help="the sizes every file must hold, comma-separated")
    ap.add_argument("--sheet")
    ap.add_argument("--zoom", type=int, default=4)
    args = ap.parse_args()
    faults, read = [], []
    for path in args.files:
        with open(path, "rb") as f:
            data = f.read()
        try:
            images = read_ico(data, os.path.basename(path))
        except (ValueError, struct.error, zlib.error) as e:
            faults.append(str(e))
            continue
        sizes = sorted(w for w, _ in images)
        if args.sizes and sizes != sorted(int(s) for s in args.sizes.split(",")):
            faults.append("%s: sizes %s" % (os.path.basename(path), sizes))
        read.append((path, images))
    if args.sheet and read:
        with open(args.sheet, "wb") as f:
            f.write(sheet(read, args.zoom).png())
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
