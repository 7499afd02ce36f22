#!/usr/bin/env python3
"""Draws every picture of dovoviza from simple shapes and writes them to res/.

Only the Python standard library is used.  Run from anywhere:

    python3 res/pictures/make-pictures.py

Outputs (in the folder above this script):
    dovoviza.ico   program icon: 16, 24, 32, 48 (32-bit BGRA + mask), 256 (PNG)
    question.ico   missing-file icon: 16, 24, 32, 48
    toolbar.bmp    eight 16x16 buttons, 128x16, 32-bit BGRA, BITMAPV5HEADER, straight alpha
    toolbar24.bmp  the same buttons, 24-bit, magenta (255,0,255) colour key,
                   half-transparent edges blended onto button face (240,240,240)
    alert.bmp      48x48 shield with an exclamation mark, 24-bit,
                   magenta (255,0,255) colour key, hard edges

Every shape is a signed distance function (negative inside, in pixels); a pixel's
coverage is the share of its sub-samples that fall inside.  Shapes are placed on
whole or half pixels so that straight edges stay crisp at small sizes.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)


# ---------------------------------------------------------------- palette

def rgb(hexstr):
    hexstr = hexstr.lstrip("#")
    return tuple(int(hexstr[i:i + 2], 16) for i in (0, 2, 4))


BLUE = rgb("#1F6FD1")        # main colour of dovoviza
BLUE_DARK = rgb("#0F4594")   # its outline
BLUE_LIGHT = rgb("#4A94EA")  # top light of the large icon
GREEN = rgb("#2FA446")
GREEN_DARK = rgb("#1A6B2A")
RED = rgb("#DC3A2F")
RED_DARK = rgb("#951C14")
ORANGE = rgb("#F08A12")
ORANGE_DARK = rgb("#A2540A")
PAPER = rgb("#FFFFFF")
PAPER_EDGE = rgb("#6C7885")
INK = rgb("#8C99A6")         # lines on the sheet
WHITE = rgb("#FFFFFF")

MAGENTA = (255, 0, 255)      # colour key of the 24-bit pictures
BUTTON_FACE = (240, 240, 240)


# ---------------------------------------------------------------- shapes (signed distances)

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, r=0.0):
    """Axis-aligned rectangle from (x0,y0) to (x1,y1), corners rounded by r."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return f


def segment(ax, ay, bx, by, half_width):
    """Thick line with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def f(x, y):
        t = ((x - ax) * dx + (y - ay) * dy) / length2 if length2 else 0.0
        t = min(1.0, max(0.0, t))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - half_width
    return f


def polygon(points):
    n = len(points)

    def f(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            l2 = ex * ex + ey * ey
            t = min(1.0, max(0.0, (wx * ex + wy * ey) / l2)) if l2 else 0.0
            d = math.hypot(wx - t * ex, wy - t * ey)
            best = min(best, d)
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * ex / ey:
                    inside = not inside
        return -best if inside else best
    return f


def polyline(points, half_width):
    parts = [segment(*points[i], *points[i + 1], half_width) for i in range(len(points) - 1)]
    return union(*parts)


def arc(cx, cy, r, half_width, start_deg, end_deg):
    """Thick arc with square ends; angles in degrees, 0 = east, counting clockwise
    (screen y grows downwards), from start to end."""
    a0 = math.radians(start_deg) % (2 * math.pi)
    sweep = math.radians(end_deg - start_deg) % (2 * math.pi)
    if sweep == 0:
        sweep = 2 * math.pi

    def f(x, y):
        ring = abs(math.hypot(x - cx, y - cy) - r) - half_width
        a = (math.atan2(y - cy, x - cx) - a0) % (2 * math.pi)
        if a <= sweep:
            return ring
        # outside the sweep: distance to the nearer end cap (a flat cut)
        best = float("inf")
        for ang in (a0, a0 + sweep):
            ux, uy = math.cos(ang), math.sin(ang)
            px, py = x - cx, y - cy
            along = px * ux + py * uy
            across = -px * uy + py * ux
            d_along = abs(along - r) - half_width
            dx = max(d_along, 0.0)
            best = min(best, math.hypot(dx, across) if dx > 0 else abs(across))
        return best
    return f


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grow(f, d):
    return lambda x, y: f(x, y) - d


def bezier(p0, p1, p2, p3, steps=24):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        pts.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return pts


# ---------------------------------------------------------------- canvas

class Canvas:
    """Straight-alpha RGBA pixels as floats 0..1."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def blend(self, i, colour, a):
        if a <= 0:
            return
        p = self.px[i]
        sr, sg, sb = (c / 255.0 for c in colour)
        da = p[3]
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        p[0] = (sr * a + p[0] * da * (1 - a)) / oa
        p[1] = (sg * a + p[1] * da * (1 - a)) / oa
        p[2] = (sb * a + p[2] * da * (1 - a)) / oa
        p[3] = oa

    def fill(self, f, colour, ox=0, oy=0, opacity=1.0, ss=8):
        """Paints shape f (given in the cell whose top left is ox,oy).  opacity is a
        number or a function of the row."""
        step = 1.0 / ss
        offs = [(k + 0.5) * step for k in range(ss)]
        total = ss * ss
        for y in range(oy, self.h):
            for x in range(ox, self.w):
                lx, ly = x - ox, y - oy
                # quick test at the pixel centre: far inside or far outside
                d = f(lx + 0.5, ly + 0.5)
                if d > 0.75:
                    continue
                if d < -0.75:
                    cov = 1.0
                else:
                    n = 0
                    for sy in offs:
                        for sx in offs:
                            if f(lx + sx, ly + sy) < 0:
                                n += 1
                    cov = n / total
                op = opacity(ly + 0.5) if callable(opacity) else opacity
                self.blend(y * self.w + x, colour, cov * op)

    def set_pixels(self, art, key, ox=0, oy=0):
        """Paints pixel art: rows of characters, key maps a character to a colour."""
        for y, row in enumerate(art):
            for x, ch in enumerate(row):
                if ch in key:
                    self.blend((oy + y) * self.w + ox + x, key[ch], 1.0)

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.px[(oy + y) * self.w + ox + x] = list(other.px[y * other.w + x])

    def bytes_rgba(self):
        out = bytearray()
        for r, g, b, a in self.px:
            out += bytes((round(r * 255), round(g * 255), round(b * 255), round(a * 255)))
        return out


def shape_with_outline(c, f, fill, edge, width=1.0, ox=0, oy=0, ss=8):
    c.fill(grow(f, width), edge, ox, oy, ss=ss)
    c.fill(f, fill, ox, oy, ss=ss)


# ---------------------------------------------------------------- file writers

def png_bytes(c):
    raw = bytearray()
    rgba = c.bytes_rgba()
    stride = c.w * 4
    for y in range(c.h):
        raw.append(0)
        raw += rgba[y * stride:(y + 1) * stride]

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", c.w, c.h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def ico_dib(c):
    """32-bit BGRA image for an icon directory (height doubled, with an AND mask)."""
    rgba = c.bytes_rgba()
    xor = bytearray()
    for y in range(c.h - 1, -1, -1):
        for x in range(c.w):
            i = (y * c.w + x) * 4
            r, g, b, a = rgba[i:i + 4]
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    mask_stride = ((c.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(c.w):
            if rgba[(y * c.w + x) * 4 + 3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def write_ico(path, canvases):
    images = []
    for c in canvases:
        data = png_bytes(c) if c.w >= 256 else ico_dib(c)
        images.append((c, data))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for c, data in images:
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as fh:
        fh.write(out)


def write_bmp32(path, c):
    """32-bit BGRA bitmap with a BITMAPV5HEADER (bit fields with an alpha mask),
    bottom-up, straight (not premultiplied) alpha, as ImageList_Add expects."""
    rgba = c.bytes_rgba()
    pixels = bytearray()
    for y in range(c.h - 1, -1, -1):
        for x in range(c.w):
            i = (y * c.w + x) * 4
            r, g, b, a = rgba[i:i + 4]
            if a == 0:
                r = g = b = 0
            pixels += bytes((b, g, r, a))
    v5 = struct.pack("<IiiHHIIiiII", 124, c.w, c.h, 1, 32, 3, len(pixels), 2835, 2835, 0, 0)
    v5 += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    v5 += struct.pack("<I", 0x73524742)          # LCS_sRGB
    v5 += bytes(36)                              # endpoints (unused with sRGB)
    v5 += struct.pack("<III", 0, 0, 0)           # gamma
    v5 += struct.pack("<IIII", 4, 0, 0, 0)       # LCS_GM_IMAGES, profile data/size, reserved
    assert len(v5) == 124
    offset = 14 + len(v5)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as fh:
        fh.write(head + v5 + pixels)


def write_bmp24(path, c, key=MAGENTA, under=None, threshold=0.5):
    """24-bit bitmap.  Pixels more transparent than threshold become the key colour;
    the others are blended onto 'under' (or, with under=None, drawn fully opaque)."""
    stride = (c.w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray()
        for x in range(c.w):
            r, g, b, a = c.px[y * c.w + x]
            if a < threshold:
                out = key
            elif under is None:
                out = tuple(round(v * 255) for v in (r, g, b))
            else:
                out = tuple(round(v * 255 * a + u * (1 - a)) for v, u in zip((r, g, b), under))
            row += bytes((out[2], out[1], out[0]))
        row += bytes(stride - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as fh:
        fh.write(head + info + pixels)


# ---------------------------------------------------------------- program icon

def program_icon(n):
    """Rounded square in the main blue with a white power ring whose bar is an
    upward arrow (a program rising at logon), and a green check badge at 32 px and up."""
    c = Canvas(n, n)
    s = n / 16.0
    ss = 4 if n >= 128 else 8
    if n == 16:
        c.fill(box(0, 0, 16, 16, 3), BLUE_DARK)
        c.fill(box(1, 1, 15, 15, 2), BLUE)
        # ring open at the top, and the arrow, drawn pixel by pixel for a crisp 16 px
        art = [
            "................",
            ".......WW.......",
            "......WWWW......",
            ".....WWWWWW.....",
            ".......WW.......",
            "....W..WW..W....",
            "...WW..WW..WW...",
            "...WW..WW..WW...",
            "...WW..WW..WW...",
            "...WW......WW...",
            "...WW......WW...",
            "....WW....WW....",
            "....WWWWWWWW....",
            "......WWWW......",
            "................",
            "................",
        ]
        c.set_pixels(art, {"W": WHITE})
        return c
    w = 1.0 if n < 64 else n / 48.0
    c.fill(box(0, 0, n, n, 3.2 * s), BLUE_DARK, ss=ss)
    c.fill(box(w, w, n - w, n - w, 3.2 * s - w), BLUE, ss=ss)
    if n >= 32:
        # soft light fading from the top down
        c.fill(box(w, w, n - w, n - w, 3.2 * s - w), BLUE_LIGHT,
               opacity=lambda y: 0.55 * max(0.0, 1.0 - y / (0.75 * n)), ss=ss)
    # whole pixels, so that the straight edges stay crisp at 24, 32 and 48 px
    hw = max(1, round(0.95 * s))                 # half the stroke width
    cx, cy, r = n / 2, round(8.6 * s), round(4.9 * s)
    ring = arc(cx, cy, r, hw, -48, 228)
    shaft = box(cx - hw, round(3.6 * s), cx + hw, cy + round(0.8 * s), 0.3 * s)
    head_half = round(2.9 * s)
    head = polygon([(cx, round(1.9 * s)), (cx + head_half, round(1.9 * s) + head_half),
                    (cx - head_half, round(1.9 * s) + head_half)])
    glyph = union(ring, shaft, head)
    c.fill(glyph, WHITE, ss=ss)
    # check badge, bottom right
    bx, by, br = 12.0 * s, 12.0 * s, 3.6 * s
    c.fill(circle(bx, by, br + max(1.0, 0.3 * s)), BLUE_DARK, ss=ss)
    c.fill(circle(bx, by, br), GREEN, ss=ss)
    tick = polyline([(bx - 1.8 * s, by + 0.1 * s), (bx - 0.5 * s, by + 1.4 * s),
                     (bx + 1.8 * s, by - 1.3 * s)], 0.55 * s)
    c.fill(tick, WHITE, ss=ss)
    return c


# ---------------------------------------------------------------- toolbar (16 x 16 each)

def tb_add(c, ox):
    plus = union(box(6, 2, 10, 14, 0.5), box(2, 6, 14, 10, 0.5))
    shape_with_outline(c, plus, BLUE, BLUE_DARK, ox=ox)


def tb_disable(c, ox):
    shape_with_outline(c, circle(8, 8, 6.5), ORANGE, ORANGE_DARK, ox=ox)
    c.fill(box(5, 5, 7, 11), WHITE, ox)
    c.fill(box(9, 5, 11, 11), WHITE, ox)


def tb_enable(c, ox):
    shape_with_outline(c, circle(8, 8, 6.5), GREEN, GREEN_DARK, ox=ox)
    c.fill(polyline([(4.6, 8.2), (7.0, 10.6), (11.4, 5.6)], 1.05), WHITE, ox)


def tb_delete(c, ox):
    cross = union(segment(3.5, 3.5, 12.5, 12.5, 1.6), segment(12.5, 3.5, 3.5, 12.5, 1.6))
    shape_with_outline(c, cross, RED, RED_DARK, ox=ox)


def tb_refresh(c, ox):
    cx, cy, r, hw = 8.0, 8.0, 5.0, 1.1
    a1 = arc(cx, cy, r, hw, 200, 320)
    a2 = arc(cx, cy, r, hw, 20, 140)
    # arrow heads at the ends turning clockwise (at 320 and 140 degrees)
    def head(ang):
        t = math.radians(ang)
        px, py = cx + r * math.cos(t), cy + r * math.sin(t)
        tx, ty = -math.sin(t), math.cos(t)          # clockwise direction
        nx, ny = math.cos(t), math.sin(t)           # outwards
        tip = (px + tx * 3.0, py + ty * 3.0)
        return polygon([tip, (px + nx * 3.0, py + ny * 3.0), (px - nx * 3.0, py - ny * 3.0)])
    glyph = union(a1, a2, head(320), head(140))
    shape_with_outline(c, glyph, BLUE, BLUE_DARK, ox=ox)


def tb_properties(c, ox):
    sheet = polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)])
    c.fill(sheet, PAPER_EDGE, ox)
    c.fill(polygon([(4, 2), (9.5, 2), (12, 4.5), (12, 14), (4, 14)]), PAPER, ox)
    c.fill(polygon([(9, 1), (13, 5), (9, 5)]), PAPER_EDGE, ox)
    c.fill(polygon([(10, 2.4), (11.6, 4), (10, 4)]), rgb("#DDE3E9"), ox)
    for y in (6, 8, 10, 12):
        c.fill(box(5, y, 11 if y != 12 else 9, y + 1), BLUE if y == 6 else INK, ox)


def tb_execute(c, ox):
    tri = polygon([(4, 2), (14, 8), (4, 14)])
    shape_with_outline(c, tri, GREEN, GREEN_DARK, ox=ox)


def tb_about(c, ox):
    shape_with_outline(c, circle(8, 8, 6.5), BLUE, BLUE_DARK, ox=ox)
    c.fill(box(7, 3, 9, 5), WHITE, ox)
    c.fill(box(7, 6, 9, 12), WHITE, ox)
    c.fill(box(6, 6, 7, 7), WHITE, ox)
    c.fill(box(6, 11, 10, 12), WHITE, ox)


TOOLBAR = [tb_add, tb_disable, tb_enable, tb_delete, tb_refresh, tb_properties, tb_execute, tb_about]


def toolbar():
    c = Canvas(16 * len(TOOLBAR), 16)
    for i, draw in enumerate(TOOLBAR):
        draw(c, 16 * i)
    return c


# ---------------------------------------------------------------- question icon

QUESTION_16 = [
    "................",
    "................",
    "................",
    "......WWWW......",
    ".....WWWWWW.....",
    ".....WW..WW.....",
    ".........WW.....",
    "........WWW.....",
    ".......WWW......",
    ".......WW.......",
    "................",
    ".......WW.......",
    ".......WW.......",
    "................",
    "................",
    "................",
]


def question_icon(n):
    c = Canvas(n, n)
    s = n / 16.0
    shape_with_outline(c, circle(n / 2, n / 2, n / 2 - 1.0), BLUE, BLUE_DARK)
    if n == 16:
        c.set_pixels(QUESTION_16, {"W": WHITE})
        return c
    hw = 1.05 * s
    hook = union(arc(8 * s, 6.1 * s, 2.4 * s, hw, 180, 400),
                 segment(8 * s + 2.4 * s * math.cos(math.radians(40)),
                         6.1 * s + 2.4 * s * math.sin(math.radians(40)),
                         8 * s, 9.0 * s, hw),
                 box(8 * s - hw, 9.0 * s, 8 * s + hw, 10.2 * s))
    c.fill(hook, WHITE)
    c.fill(circle(8 * s, 12.2 * s, 1.2 * s), WHITE)
    return c


# ---------------------------------------------------------------- alert decoration

def alert_picture():
    n = 48
    c = Canvas(n, n)
    top = 3.0
    left, right = 6.0, 42.0
    pts = [(24.0, top), (right, top + 5.0)]
    pts += bezier((right, top + 5.0), (right, 26.0), (36.0, 38.0), (24.0, 45.0))[1:]
    pts += bezier((24.0, 45.0), (12.0, 38.0), (left, 26.0), (left, top + 5.0))[1:]
    shield = polygon(pts)
    c.fill(grow(shield, 1.5), BLUE_DARK)
    c.fill(shield, BLUE)
    # lighter left half, a classic shield fold
    c.fill(subtract(grow(shield, -2.5), box(24, 0, 48, 48)), BLUE_LIGHT, opacity=0.45)
    # exclamation mark
    c.fill(polygon([(21.0, 11.0), (27.0, 11.0), (25.6, 28.5), (22.4, 28.5)]), WHITE)
    c.fill(box(21.0, 10.0, 27.0, 14.0, 1.5), WHITE)
    c.fill(circle(24.0, 34.0, 3.1), WHITE)
    return c


# ---------------------------------------------------------------- main

def main():
    write_ico(os.path.join(OUT, "dovoviza.ico"), [program_icon(n) for n in (16, 24, 32, 48, 256)])
    write_ico(os.path.join(OUT, "question.ico"), [question_icon(n) for n in (16, 24, 32, 48)])
    strip = toolbar()
    write_bmp32(os.path.join(OUT, "toolbar.bmp"), strip)
    write_bmp24(os.path.join(OUT, "toolbar24.bmp"), strip, under=BUTTON_FACE)
    write_bmp24(os.path.join(OUT, "alert.bmp"), alert_picture(), under=None)
    print("wrote dovoviza.ico, question.ico, toolbar.bmp, toolbar24.bmp, alert.bmp in", OUT)


if __name__ == "__main__":
    main()
