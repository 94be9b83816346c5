#!/usr/bin/env python3
"""Writes a Windows icon file whose images are the given PNG files."""
import struct
import sys


def png_size(data):
    return struct.unpack(">II", data[16:24])


def main(output, *pngs):
    images = [open(path, "rb").read() for path in pngs]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, bodies = b"", b""
    for data in images:
        width, height = png_size(data)
        # A side of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        bodies += data
    with open(output, "wb") as out:
        out.write(header + entries + bodies)


if __name__ == "__main__":
    main(*sys.argv[1:])
