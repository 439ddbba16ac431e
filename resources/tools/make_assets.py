#!/usr/bin/env python3
"""Draws the program's bitmaps and icons and writes them beside this folder.

Run from anywhere: python3 resources/tools/make_assets.py
Only the standard library is used, so the output is the same on every machine.
Bitmaps are 24-bit BMP; icons are ICO files holding 32-bit images with alpha
(16, 32 and 48 pixels), which both the Windows loader and GdkPixbuf read.
File names start with the resource id: <id>-<what>.<ext>.
"""

import math
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
BITMAPS = os.path.join(HERE, "..", "bitmaps")
ICONS = os.path.join(HERE, "..", "icons")


class Canvas:
    """RGBA pixels, 0..255 floats, top row first."""

    def __init__(self, w, h, colour=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[list(colour) for _ in range(w)] for _ in range(h)]

    def blend(self, x, y, rgb, coverage):
        if not (0 <= x < self.w and 0 <= y < self.h) or coverage <= 0:
            return
        a = min(1.0, coverage) * (rgb[3] / 255.0 if len(rgb) > 3 else 1.0)
        p = self.px[y][x]
        out_a = a + p[3] / 255.0 * (1 - a)
        for i in range(3):
            if out_a > 0:
                p[i] = (rgb[i] * a + p[i] * (p[3] / 255.0) * (1 - a)) / out_a
        p[3] = out_a * 255.0

    def shape(self, inside, rgb, box=None):
        """Fills where inside(x, y) > 0 with 4x4 supersampling for soft edges."""
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                hits = 0
                for sy in range(4):
                    for sx in range(4):
                        if inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4):
                            hits += 1
                if hits:
                    self.blend(x, y, rgb, hits / 16.0)

    def rect(self, x0, y0, x1, y1, rgb):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, rgb,
                   (int(x0), int(y0), int(math.ceil(x1)), int(math.ceil(y1))))

    def round_rect(self, x0, y0, x1, y1, r, rgb):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.shape(inside, rgb)

    def circle(self, cx, cy, r, rgb, ring=None):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            return d <= r and (ring is None or d >= r - ring)
        self.shape(inside, rgb, (int(cx - r - 1), int(cy - r - 1), int(cx + r + 2), int(cy + r + 2)))

    def line(self, ax, ay, bx, by, width, rgb):
        def inside(x, y):
            dx, dy = bx - ax, by - ay
            t = ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy or 1)
            t = max(0.0, min(1.0, t))
            return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= width / 2.0
        pad = width + 1
        self.shape(inside, rgb, (int(min(ax, bx) - pad), int(min(ay, by) - pad),
                                 int(max(ax, bx) + pad + 1), int(max(ay, by) + pad + 1)))

    def polygon(self, points, rgb):
        def inside(x, y):
            hit = False
            n = len(points)
            for i in range(n):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
                if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                    hit = not hit
            return hit
        self.shape(inside, rgb)

    def vertical_gradient(self, top, bottom, y0=0, y1=None):
        y1 = self.h if y1 is None else y1
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            c = [top[i] + (bottom[i] - top[i]) * t for i in range(3)] + [255]
            for x in range(self.w):
                self.px[y][x] = list(c)


# 5 x 7 capitals for the word mark.
GLYPHS = {
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
}


def text(canvas, x, y, word, scale, rgb):
    for ch in word:
        rows = GLYPHS[ch]
        for gy, row in enumerate(rows):
            for gx, bit in enumerate(row):
                if bit == "1":
                    canvas.rect(x + gx * scale, y + gy * scale,
                                x + (gx + 1) * scale, y + (gy + 1) * scale, rgb)
        x += 6 * scale


def clock_face(c, cx, cy, r, face, rim, hands):
    c.circle(cx, cy, r, rim)
    c.circle(cx, cy, r * 0.8, face)
    c.line(cx, cy, cx, cy - r * 0.6, max(1.0, r * 0.16), hands)
    c.line(cx, cy, cx + r * 0.45, cy + r * 0.1, max(1.0, r * 0.16), hands)
    c.circle(cx, cy, max(0.8, r * 0.12), hands)


BLUE = (31, 95, 168)
DEEP = (19, 62, 120)
SKY = (234, 242, 251)
WHITE = (255, 255, 255)
ORANGE = (242, 140, 40)


def page_background():
    c = Canvas(450, 290)
    c.vertical_gradient(DEEP, BLUE, 0, 26)
    c.vertical_gradient((246, 250, 254), SKY, 26, 262)
    c.vertical_gradient((214, 228, 244), (196, 214, 236), 262, 290)
    c.rect(0, 26, 450, 28, (120, 170, 225))
    c.rect(0, 261, 450, 262, (170, 196, 228))
    # Faint rings in the lower right corner, well away from the labels.
    for i, r in enumerate((150, 120, 90)):
        c.circle(470, 300, r, (31, 95, 168, 18 + 6 * i), ring=10)
    return c


def logo():
    c = Canvas(100, 20)
    c.vertical_gradient(DEEP, BLUE)
    clock_face(c, 10, 10, 8, WHITE, ORANGE, DEEP)
    text(c, 22, 3, "ORVANE", 2, WHITE)
    return c


def glyph_button(draw):
    c = Canvas(20, 20)
    c.vertical_gradient(DEEP, BLUE)
    draw(c)
    return c


def close_icon():
    def draw(c):
        c.round_rect(2, 2, 18, 18, 3, (214, 64, 52))
        c.line(6, 6, 14, 14, 2.2, WHITE)
        c.line(14, 6, 6, 14, 2.2, WHITE)
    return glyph_button(draw)


def tray_icon():
    def draw(c):
        c.round_rect(2, 2, 18, 18, 3, (70, 130, 200))
        c.line(6, 13, 14, 13, 2.2, WHITE)
        c.polygon([(7, 6), (13, 6), (10, 10)], WHITE)
    return glyph_button(draw)


def nav_button(draw):
    c = Canvas(24, 24)
    c.vertical_gradient((250, 252, 255), (214, 228, 244))
    c.round_rect(1, 1, 23, 23, 4, (31, 95, 168, 40))
    draw(c)
    return c


def nav_back(c):
    c.polygon([(6, 12), (13, 5), (13, 9), (18, 9), (18, 15), (13, 15), (13, 19)], BLUE)


def nav_forward(c):
    c.polygon([(18, 12), (11, 5), (11, 9), (6, 9), (6, 15), (11, 15), (11, 19)], BLUE)


def nav_stop(c):
    c.line(7, 7, 17, 17, 2.5, (214, 64, 52))
    c.line(17, 7, 7, 17, 2.5, (214, 64, 52))


def nav_home(c):
    c.polygon([(12, 4), (20, 12), (17, 12), (17, 19), (7, 19), (7, 12), (4, 12)], BLUE)
    c.rect(10.5, 14, 13.5, 19, WHITE)


def nav_refresh(c):
    c.circle(12, 12, 7, BLUE, ring=2.5)
    c.rect(12, 3, 20, 12, (232, 240, 250))
    c.polygon([(12, 2), (17, 5), (12, 8)], BLUE)


def nav_bar():
    c = Canvas(150, 30)
    c.vertical_gradient((250, 252, 255), (200, 218, 240))
    c.rect(0, 29, 150, 30, (150, 180, 220))
    return c


def scan_code():
    c = Canvas(100, 100, (255, 255, 255, 255))
    rng = random.Random(183)
    cell = 4
    n = 21
    ox = oy = (100 - n * cell) // 2
    finder = {(x, y) for fx, fy in ((0, 0), (n - 7, 0), (0, n - 7))
              for x in range(fx, fx + 7) for y in range(fy, fy + 7)}
    for y in range(n):
        for x in range(n):
            if (x, y) in finder:
                continue
            if rng.random() < 0.5:
                c.rect(ox + x * cell, oy + y * cell, ox + (x + 1) * cell, oy + (y + 1) * cell, (0, 0, 0))
    for fx, fy in ((0, 0), (n - 7, 0), (0, n - 7)):
        x0, y0 = ox + fx * cell, oy + fy * cell
        c.rect(x0, y0, x0 + 7 * cell, y0 + 7 * cell, (0, 0, 0))
        c.rect(x0 + cell, y0 + cell, x0 + 6 * cell, y0 + 6 * cell, WHITE)
        c.rect(x0 + 2 * cell, y0 + 2 * cell, x0 + 5 * cell, y0 + 5 * cell, (0, 0, 0))
    return c


def app_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    c.round_rect(1 * s, 1 * s, 31 * s, 31 * s, 6 * s, BLUE + (255,))
    clock_face(c, 16 * s, 16 * s, 12 * s, WHITE, ORANGE, DEEP)
    return c


def task_icon(size):
    c = Canvas(size, size)
    s = size / 32.0
    c.round_rect(4 * s, 5 * s, 28 * s, 30 * s, 3 * s, (255, 255, 255, 255))
    c.round_rect(4 * s, 5 * s, 28 * s, 11 * s, 3 * s, ORANGE + (255,))
    c.rect(4 * s, 8 * s, 28 * s, 11 * s, ORANGE)
    for i in range(3):
        c.rect(8 * s, (14 + 5 * i) * s, 11 * s, (17 + 5 * i) * s, BLUE)
        c.rect(13 * s, (15 + 5 * i) * s, 24 * s, (16.5 + 5 * i) * s, (120, 140, 170))
    # Outline so the page shows on both light and dark backgrounds.
    c.round_rect(4 * s, 5 * s, 28 * s, 30 * s, 3 * s, (19, 62, 120, 60))
    return c


def write_bmp(path, c):
    row = (c.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        line = bytearray()
        for x in range(c.w):
            r, g, b, a = c.px[y][x]
            # Bitmaps are opaque: flatten on white.
            k = a / 255.0
            line += bytes(int(round(v * k + 255 * (1 - k))) for v in (b, g, r))
        data += line + b"\0" * (row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def icon_image(c):
    xor = bytearray()
    mask = bytearray()
    mask_row = ((c.w + 31) // 32) * 4
    for y in range(c.h - 1, -1, -1):
        bits = 0
        row = bytearray()
        for x in range(c.w):
            r, g, b, a = (int(round(v)) for v in c.px[y][x])
            xor += bytes((b, g, r, a))
            if a == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        row = bits.to_bytes(mask_row, "big")
        mask += row
    info = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, canvases):
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def main():
    os.makedirs(BITMAPS, exist_ok=True)
    os.makedirs(ICONS, exist_ok=True)
    bitmaps = {
        "130-close": close_icon(),
        "142-page-background": page_background(),
        "143-to-tray": tray_icon(),
        "155-logo": logo(),
        "159-web-back": nav_button(nav_back),
        "160-web-forward": nav_button(nav_forward),
        "161-web-stop": nav_button(nav_stop),
        "162-web-home": nav_button(nav_home),
        "163-web-refresh": nav_button(nav_refresh),
        "166-web-bar": nav_bar(),
        "183-scan-code": scan_code(),
    }
    for name, canvas in bitmaps.items():
        write_bmp(os.path.join(BITMAPS, name + ".bmp"), canvas)
    write_ico(os.path.join(ICONS, "128-app.ico"), [app_icon(s) for s in (16, 32, 48)])
    write_ico(os.path.join(ICONS, "151-task.ico"), [task_icon(s) for s in (16, 32, 48)])


if __name__ == "__main__":
    main()
