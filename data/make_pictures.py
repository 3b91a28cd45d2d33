#!/usr/bin/env python3
"""Draws the gallows pictures and the window's icon.

Writes into OUT_DIR: scafo1.bmp .. scafo9.bmp (the stages, one more part of
the figure each), startup.bmp (the picture the window opens with: the empty
gallows, the same as stage 1) and wordrope.ico (32 x 32 and 16 x 16).
Usage: make_pictures.py OUT_DIR
"""
import os
import struct
import sys

WIDTH, HEIGHT = 332, 220
GROUND = (254, 253, 252)
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)
YELLOW = (255, 255, 0)
PALETTE = [GROUND, BLACK, BLUE]


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.px = [[fill] * width for _ in range(height)]

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def box(self, x0, y0, x1, y1, colour):
        """Fills x0..x1, y0..y1, both ends included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def outlined_bar(self, x0, y0, x1, y1):
        """A blue bar with a one-pixel black outline, the outline inside the range."""
        self.box(x0, y0, x1, y1, BLACK)
        self.box(x0 + 1, y0 + 1, x1 - 1, y1 - 1, BLUE)

    def line(self, x0, y0, x1, y1, colour, pen=1):
        """A straight line drawn with a square pen of `pen` pixels."""
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.box(x - pen // 2, y - pen // 2, x + (pen - 1) // 2, y + (pen - 1) // 2, colour)

    def ellipse(self, cx, cy, rx, ry, colour, filled=False, pen=1.0):
        """An ellipse around (cx, cy), sampled at pixel centres."""
        for y in range(int(cy - ry - 1), int(cy + ry + 2)):
            for x in range(int(cx - rx - 1), int(cx + rx + 2)):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                inner = ((x - cx) / max(rx - pen, 0.5)) ** 2 + ((y - cy) / max(ry - pen, 0.5)) ** 2
                if d <= 1.0 and (filled or inner > 1.0):
                    self.dot(x, y, colour)


def gallows():
    c = Canvas(WIDTH, HEIGHT, GROUND)
    # The frame along all four edges (the box cuts off the right and bottom ones).
    c.box(0, 0, WIDTH - 1, 0, BLACK)
    c.box(0, HEIGHT - 1, WIDTH - 1, HEIGHT - 1, BLACK)
    c.box(0, 0, 0, HEIGHT - 1, BLACK)
    c.box(WIDTH - 1, 0, WIDTH - 1, HEIGHT - 1, BLACK)
    c.outlined_bar(30, 21, 38, 204)    # the post
    c.outlined_bar(30, 21, 116, 26)    # the beam
    c.outlined_bar(30, 199, 159, 204)  # the base
    c.line(116, 27, 116, 50, BLACK)    # the rope
    return c


# The figure hangs from the rope's end at (116, 50); one part per miss.
HEAD = (116, 62)
PARTS = [
    lambda c: c.ellipse(HEAD[0], HEAD[1], 12, 12, BLACK, pen=2),  # 1: head
    lambda c: c.line(116, 74, 116, 128, BLACK, pen=3),            # 2: body
    lambda c: c.line(116, 86, 95, 110, BLACK, pen=3),             # 3: left arm
    lambda c: c.line(116, 86, 137, 110, BLACK, pen=3),            # 4: right arm
    lambda c: c.line(116, 127, 99, 168, BLACK, pen=3),            # 5: left leg
    lambda c: c.line(116, 127, 133, 168, BLACK, pen=3),           # 6: right leg
    lambda c: (c.line(99, 168, 92, 168, BLACK, pen=3),            # 7: feet
               c.line(133, 168, 140, 168, BLACK, pen=3)),
    lambda c: (c.line(109, 57, 113, 61, BLACK), c.line(113, 57, 109, 61, BLACK),  # 8: lost:
               c.line(119, 57, 123, 61, BLACK), c.line(123, 57, 119, 61, BLACK),  # crossed eyes,
               c.line(110, 68, 122, 68, BLACK)),                                  # a flat mouth
]


def stage(n):
    """Stage 1 is the empty gallows; stage n adds the first n - 1 parts."""
    c = gallows()
    for part in PARTS[: n - 1]:
        part(c)
    return c


def bmp_4bit(canvas, palette):
    """A bottom-up 4-bit BMP with a 16-entry colour table."""
    index = {colour: i for i, colour in enumerate(palette)}
    stride = ((canvas.width * 4 + 31) // 32) * 4
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.width):
            nibble = index[canvas.px[y][x]]
            row[x // 2] |= nibble << (4 if x % 2 == 0 else 0)
        rows.append(bytes(row))
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette + [(0, 0, 0)] * (16 - len(palette)))
    bits = b"".join(rows)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
    return header + info + table + bits


def bmp_rle4(canvas, palette):
    """The same picture run-length encoded (BI_RLE4): a few KB instead of 37 for the one built
    into the program. Each run of one colour is (count, colour in both nibbles)."""
    index = {colour: i for i, colour in enumerate(palette)}
    bits = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        x = 0
        while x < canvas.width:
            colour, run = canvas.px[y][x], 1
            while x + run < canvas.width and run < 255 and canvas.px[y][x + run] == colour:
                run += 1
            bits += bytes((run, index[colour] * 17))
            x += run
        bits += b"\0\0"  # end of the row
    bits += b"\0\1"  # end of the picture
    plain = bmp_4bit(canvas, palette)
    table = plain[54:54 + 64]
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 4, 2, len(bits), 2835, 2835, 16, 0)
    out = header + info + table + bytes(bits)
    assert rle4_pixels(out) == plain[offset:], "the encoded picture must draw the same pixels"
    return out


def rle4_pixels(data):
    """Decodes what bmp_rle4 writes back into the rows of bmp_4bit: the check of the encoding."""
    width, height = struct.unpack_from("<ii", data, 18)
    stride = ((width * 4 + 31) // 32) * 4
    rows, row, at = [], [], struct.unpack_from("<I", data, 10)[0]
    while True:
        count, value = data[at], data[at + 1]
        at += 2
        if count:
            row += [value >> 4] * count
        elif value == 0 or value == 1:
            packed = bytearray(stride)
            for x, nibble in enumerate(row):
                packed[x // 2] |= nibble << (4 if x % 2 == 0 else 0)
            if row:
                rows.append(bytes(packed))
            row = []
            if value == 1:
                return b"".join(rows)


def icon_image(size):
    """A neutral smiley: yellow disc, black outline, upright oval eyes, straight mouth."""
    c = Canvas(size, size, None)
    r = size / 2 - 0.5
    mid = (size - 1) / 2
    c.ellipse(mid, mid, r, r, BLACK, filled=True)
    c.ellipse(mid, mid, r - (1.6 if size > 16 else 1.0), r - (1.6 if size > 16 else 1.0), YELLOW, filled=True)
    s = size / 32
    for ex in (mid - 6 * s, mid + 6 * s):
        c.ellipse(ex, mid - 4 * s, max(1.6 * s, 0.9), max(3.6 * s, 1.6), BLACK, filled=True)
    c.line(round(mid - 6 * s), round(mid + 7 * s), round(mid + 6 * s), round(mid + 7 * s), BLACK, pen=2 if size > 16 else 1)
    palette = [BLACK, YELLOW]
    index = {None: 0, BLACK: 0, YELLOW: 1}
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colour, mask = b"", b""
    for y in range(size - 1, -1, -1):
        crow, mrow = bytearray(colour_stride), bytearray(mask_stride)
        for x in range(size):
            p = c.px[y][x]
            crow[x // 2] |= index[p] << (4 if x % 2 == 0 else 0)
            if p is None:  # transparent: set in the AND mask, black in the colour image
                mrow[x // 8] |= 0x80 >> (x % 8)
        colour += bytes(crow)
        mask += bytes(mrow)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette + [(0, 0, 0)] * 14)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colour) + len(mask), 0, 0, 16, 0)
    return info + table + colour + mask


def ico():
    images = [(32, icon_image(32)), (16, icon_image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {f"scafo{n}.bmp": bmp_4bit(stage(n), PALETTE) for n in range(1, 10)}
    files["startup.bmp"] = bmp_rle4(stage(1), PALETTE)  # stage 1, compressed inside the program
    files["wordrope.ico"] = ico()
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
