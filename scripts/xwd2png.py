#!/usr/bin/env python3
"""Turns an X window dump (xwd, 24 or 32 bits a pixel, TrueColor) into a PNG, optionally cropped.

Usage: xwd2png.py IN.xwd OUT.png [X Y WIDTH HEIGHT]
"""
import struct
import sys
import zlib


def read_xwd(path):
    with open(path, "rb") as f:
        return parse_xwd(f.read())


def parse_xwd(data):
    """Width, height and a pixel(x, y) -> (r, g, b) function of a dump."""
    fields = struct.unpack(">25I", data[:100])
    header_size, ncolors = fields[0], fields[19]
    width, height = fields[4], fields[5]
    byte_order, bpp, bpl = fields[7], fields[11], fields[12]
    masks = fields[14:17]
    if bpp not in (24, 32):
        raise SystemExit(f"xwd2png: {bpp} bits a pixel is not handled")
    pixels = data[header_size + 12 * ncolors:]
    step = bpp // 8
    fmt = "<I" if byte_order == 0 else ">I"
    shifts = [(m & -m).bit_length() - 1 for m in masks]

    def pixel(x, y):
        off = y * bpl + x * step
        raw = pixels[off:off + 4] if step == 4 else pixels[off:off + 3] + b"\0"
        v = struct.unpack(fmt, raw)[0]
        return tuple((v & m) >> s for m, s in zip(masks, shifts))

    return width, height, pixel


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    width, height, pixel = read_xwd(sys.argv[1])
    x0, y0, w, h = (int(v) for v in sys.argv[3:7]) if len(sys.argv) >= 7 else (0, 0, width, height)
    rows = [[pixel(x, y) for x in range(x0, x0 + w)] for y in range(y0, y0 + h)]
    write_png(sys.argv[2], w, h, rows)


if __name__ == "__main__":
    main()
