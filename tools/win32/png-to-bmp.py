#!/usr/bin/env python3
"""Turns a PNG (8-bit RGB or RGBA, as rsvg-convert writes them) into a Windows bitmap.

    png-to-bmp.py [--24] IN.png OUT.bmp

By default a 32-bit bitmap with premultiplied alpha, the form AlphaBlend draws; with --24 an
opaque 24-bit bitmap, transparent parts laid on black. Standard library only, so the build needs
no imaging package on the build host.
"""
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise SystemExit(f"{path}: only 8-bit RGB/RGBA, not interlaced")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind = raw[at]
        line = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        rows.append(line)
        previous = line
    pixels = []
    for line in rows:
        row = []
        for x in range(width):
            px = line[x * channels:(x + 1) * channels]
            row.append((px[0], px[1], px[2], px[3] if channels == 4 else 255))
        pixels.append(row)
    return width, height, pixels


def write_bmp(path, width, height, pixels, bits):
    stride = ((width * bits // 8) + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b, a in row:
            # Premultiplied: what AlphaBlend with AC_SRC_ALPHA expects; 24-bit lies on black.
            r, g, b = (r * a + 127) // 255, (g * a + 127) // 255, (b * a + 127) // 255
            line += bytes((b, g, r, a)) if bits == 32 else bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body), 3780, 3780, 0, 0)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + body)


def main(argv):
    bits = 32
    if argv and argv[0] == "--24":
        bits, argv = 24, argv[1:]
    if len(argv) != 2:
        raise SystemExit(__doc__)
    width, height, pixels = read_png(argv[0])
    write_bmp(argv[1], width, height, pixels, bits)


if __name__ == "__main__":
    main(sys.argv[1:])
