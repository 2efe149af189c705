#!/usr/bin/env python3
"""Turns an 8-bit RGBA PNG (as rsvg-convert writes it) into a Windows cursor file (.cur).

The cursor holds one image as a 32-bit BGRA device-independent bitmap with its AND mask, the
form both the Windows cursor loader and gdk-pixbuf's ICO/CUR loader read, with the hotspot in
the directory entry. Usage: png2cur.py IN.png OUT.cur HOTSPOT_X HOTSPOT_Y
"""
import os
import struct
import sys
import zlib


def read_png_rgba(path):
    """Returns (width, height, rows) with rows a list of bytes objects of width*4 RGBA bytes."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos, idat, header = 8, [], None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
        pos += 12 + length
    if header is None:
        raise ValueError(f"{path}: no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 6 or interlace != 0:
        raise ValueError(f"{path}: only 8-bit RGBA, non-interlaced PNG is supported")
    raw = zlib.decompress(b"".join(idat))
    stride, bpp = width * 4, 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = line[x - bpp] if x >= bpp else 0
            up = previous[x]
            upper_left = previous[x - bpp] if x >= bpp else 0
            if kind == 1:
                line[x] = (line[x] + left) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + up) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                p = left + up - upper_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else upper_left)
                line[x] = (line[x] + pred) & 0xFF
            elif kind != 0:
                raise ValueError(f"{path}: bad filter type {kind}")
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def cursor_bytes(width, height, rows, hot_x, hot_y):
    if not (0 < width <= 256 and 0 < height <= 256):
        raise ValueError("cursor images are 1 to 256 pixels wide and high")
    if not (0 <= hot_x < width and 0 <= hot_y < height):
        raise ValueError("the hotspot must lie inside the image")
    # Colour plane: BGRA, bottom row first.
    colour = bytearray()
    for row in reversed(rows):
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            colour += bytes((b, g, r, a))
    # AND mask: one bit per pixel, set where the pixel is fully transparent; rows padded to
    # 32 bits, bottom row first.
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(width):
            if row[x * 4 + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    image_size = len(colour) + len(mask)
    # BITMAPINFOHEADER: the height counts colour plane and mask together.
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, image_size, 0, 0, 0, 0)
    payload = info + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, hot_x, hot_y,
                        len(payload), 6 + 16)
    return directory + entry + payload


def main():
    if len(sys.argv) != 5:
        raise SystemExit("usage: png2cur.py IN.png OUT.cur HOTSPOT_X HOTSPOT_Y")
    source, target = sys.argv[1], sys.argv[2]
    hot_x, hot_y = int(sys.argv[3]), int(sys.argv[4])
    width, height, rows = read_png_rgba(source)
    data = cursor_bytes(width, height, rows, hot_x, hot_y)
    temporary = target + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, target)


if __name__ == "__main__":
    main()
