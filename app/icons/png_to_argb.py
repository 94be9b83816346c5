#!/usr/bin/python3
"""Decodes an 8-bit RGBA PNG into raw 32-bit ARGB pixels in little-endian
order (B, G, R, A), the layout of an ARGB32 image, so the program can show its
window icon without an image decoder at start-up.
Usage: png_to_argb.py IN.png OUT.argb"""
import struct
import sys
import zlib


def decode(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 6, 0), "only 8-bit RGBA, not interlaced"
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw, stride = zlib.decompress(idat), width * 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - 4] if x >= 4 else 0
            b = previous[x]
            c = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    out = bytearray()
    for line in rows:
        for x in range(0, stride, 4):
            r, g, b, a = line[x:x + 4]
            out += bytes((b, g, r, a))
    return out


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as source, open(sys.argv[2], "wb") as target:
        target.write(decode(source.read()))
