#!/usr/bin/env python3
"""Draws the pictures of the three programs.

Run from anywhere: python3 scripts/make_assets.py. It writes
  tesmora/assets/picture.ppm        the trainer's 500 x 375 24-bit background, a binary
                                    PPM whose pixel rows start on 4-byte boundaries, so
                                    that the program draws it without decoding it
  tesmora/assets/icon32.png, 16     the trainer's window icon (16 colours)
  */assets/icons/NAME-SIZE.png      launcher icons of tesmora, doloran, pelmar and tesmora-editor
                                    in the sizes the desktop's icon theme uses
Only the standard library is used, so the pictures can be made again anywhere.
"""
import math
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_ppm(path, width, height, pixel):
    header = b"P6\n%d %d\n255\n" % (width, height)
    # Blanks after the magic number pad the header to a multiple of 4 bytes.
    header = header[:2] + b" " * (-len(header) % 4) + header[2:]
    rows = bytearray(header)
    for y in range(height):
        for x in range(width):
            rows.extend(pixel(x, y))
    with open(path, "wb") as f:
        f.write(bytes(rows))


def write_indexed(path, size, palette, index):
    rows = bytearray()
    for y in range(size):
        rows.append(0)
        for x in range(0, size, 2):
            rows.append((index(x, y) << 4) | index(x + 1, y))
    header = struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0)
    plte = b"".join(bytes(c) for c in palette)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"PLTE", plte))
        f.write(chunk(b"tRNS", b"\x00"))  # colour 0 is the transparent background
        f.write(chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        f.write(chunk(b"IEND", b""))


def mix(a, b, t):
    return tuple(int(a[k] + (b[k] - a[k]) * t) for k in range(3))


def inside_round_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


# Lines of "code" on the screen: (row, start, length) in screen cells.
CODE = [(0, 0, 9), (1, 2, 14), (2, 2, 6), (3, 4, 12), (4, 4, 8), (5, 2, 10), (6, 0, 5),
        (8, 0, 11), (9, 2, 7), (10, 2, 13)]


def picture(x, y):
    # Evening sky over a desk: a gradient with a grid of faint dots.
    sky = mix((12, 18, 58), (18, 96, 118), y / 374)
    if x % 25 == 12 and y % 25 == 12:
        sky = mix(sky, (200, 220, 255), 0.35)
    # Desk top.
    if y >= 300:
        sky = mix((92, 58, 34), (60, 36, 20), (y - 300) / 75)
        if (x + y * 3) % 41 == 0:
            sky = mix(sky, (120, 80, 48), 0.6)
    # Monitor stand.
    if 232 <= x <= 268 and 250 <= y <= 290:
        return (70, 74, 82)
    if 190 <= x <= 310 and 288 <= y <= 302 and abs(x - 250) <= 60 - (302 - y):
        return (60, 64, 72)
    # Monitor frame and screen.
    if inside_round_rect(x, y, 130, 70, 370, 255, 14):
        if inside_round_rect(x, y, 145, 85, 355, 238, 6):
            screen = mix((6, 40, 24), (10, 70, 40), (y - 85) / 153)
            cx, cy = (x - 160) // 8, (y - 98) // 12
            for row, start, length in CODE:
                if cy == row and start <= cx < start + length and (y - 98) % 12 < 7 and (x - 160) % 8 < 7:
                    return (120, 240, 150) if row % 4 else (250, 220, 110)
            return screen
        return mix((150, 156, 168), (96, 100, 112), (y - 70) / 185)
    # A stack of three books on the left of the desk.
    books = [(40, 270, 118, 300, (180, 40, 40)), (46, 246, 112, 270, (40, 110, 180)),
             (36, 224, 120, 246, (60, 150, 70))]
    for left, top, right, bottom, colour in books:
        if left <= x <= right and top <= y <= bottom:
            if y in (top, bottom) or x in (left, right):
                return mix(colour, (0, 0, 0), 0.4)
            if right - 8 <= x <= right - 3:
                return (235, 230, 210)
            return colour
    # A question mark floating at the right.
    qx, qy = 430, 130
    r = math.hypot(x - qx, y - qy)
    if 22 <= r <= 34 and (y < qy or x > qx):
        return (255, 200, 60)
    if qx - 6 <= x <= qx + 6 and qy + 30 <= y <= qy + 62:
        return (255, 200, 60)
    if math.hypot(x - qx, y - (qy + 82)) <= 8:
        return (255, 200, 60)
    return sky


PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon(size):
    s = size / 32.0

    def index(x, y):
        u, v = x / s, y / s
        # A monitor with a green tick on a cyan screen.
        if 2 <= u <= 29 and 3 <= v <= 22:
            if 5 <= u <= 26 and 6 <= v <= 19:
                if abs(v - (u + 5)) <= 1.6 and 8 <= u <= 12.5:
                    return 2
                if abs(v - (17 - (u - 12) * 9 / 11)) <= 1.6 and 12 <= u <= 23:
                    return 2
                return 14
            return 8
        if 13 <= u <= 18 and 22 < v <= 26:
            return 7
        if 8 <= u <= 23 and 26 < v <= 29:
            return 8
        return 0

    return index


def table_icon(marked_column):
    """A 4 x 4 table of cells on a light ground; one column red (doloran)."""

    def index(x, y, size):
        u, v = x * 32.0 / size, y * 32.0 / size
        if 3 <= u < 29 and 5 <= v < 27:
            cu, cv = (u - 3) / 6.5, (v - 5) / 5.5
            if (u - 3) % 6.5 < 1 or (v - 5) % 5.5 < 1:
                return 8
            return 9 if int(cu) == marked_column else 14
        return 0

    return index


def bars_icon(x, y, size):
    """Four bars growing from left to right: a sorted array (pelmar)."""
    u, v = x * 32.0 / size, y * 32.0 / size
    for k, height in enumerate((8, 14, 20, 26)):
        left = 3 + k * 7
        if left <= u < left + 5 and 29 - height <= v < 29:
            return 9 if k == 3 else 12
    if 2 <= u < 30 and 29 <= v < 30:
        return 8
    return 0


def editor_icon(x, y, size):
    """A sheet of two columns, questions and answers, and a pencil (the topic editor)."""
    u, v = x * 32.0 / size, y * 32.0 / size
    # The pencil, lying from the upper right to the lower left over the sheet.
    along, across = (u - v) / 1.414, (u + v - 32) / 1.414
    if -2.2 <= across <= 2.2 and -6 <= along <= 15:
        if along < -3:
            return 0 if along < -4.8 else 7  # the lead, then the bare wood
        if along > 12:
            return 9                         # the eraser
        return 11 if across < 0 else 3       # the painted body, lit and shaded
    if 3 <= u < 29 and 3 <= v < 29:
        if u < 4 or u >= 28 or v < 4 or v >= 28 or 15.5 <= u < 16.5:
            return 8                         # the frame and the line between the columns
        row = (v - 4) % 5
        if 2 <= row < 3 and (6 <= u < 14 or 18 <= u < 26):
            return 12 if u < 16 else 2       # a question in blue, its answer in green
        return 15
    return 0


LAUNCHER_SIZES = (16, 32, 48, 64, 128)

if __name__ == "__main__":
    import os

    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    assets = os.path.join(root, "tesmora", "assets")
    write_ppm(os.path.join(assets, "picture.ppm"), 500, 375, picture)
    write_indexed(os.path.join(assets, "icon32.png"), 32, PALETTE, icon(32))
    write_indexed(os.path.join(assets, "icon16.png"), 16, PALETTE, icon(16))
    drawers = {
        "tesmora": lambda size: (lambda x, y: icon(size)(x, y)),
        "doloran": lambda size: (lambda x, y: table_icon(2)(x, y, size)),
        "pelmar": lambda size: (lambda x, y: bars_icon(x, y, size)),
        "tesmora-editor": lambda size: (lambda x, y: editor_icon(x, y, size)),
    }
    # Each program keeps its own icons.
    for name, drawer in drawers.items():
        folder = os.path.join(root, name, "assets", "icons")
        os.makedirs(folder, exist_ok=True)
        for size in LAUNCHER_SIZES:
            write_indexed(os.path.join(folder, "%s-%d.png" % (name, size)), size, PALETTE, drawer(size))
