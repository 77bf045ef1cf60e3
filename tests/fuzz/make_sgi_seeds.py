#!/usr/bin/env python3
"""make_sgi_seeds.py -- writes the small SGI images of the fuzz seed corpus
(corpus/sgi/): verbatim and run-length, one to four channels, one- and
two-byte samples. Run from this directory."""
import struct

HEADER_SIZE = 512
MAGIC = 474


def header(rle, bpc, xsize, ysize, zsize):
    head = struct.pack(">hBBHHHH", MAGIC, 1 if rle else 0, bpc, 3 if zsize > 1 else 2,
                       xsize, ysize, zsize)
    return head.ljust(HEADER_SIZE, b"\0")


def pixel(x, y, z):
    return (x * 37 + y * 11 + z * 70) % 256


def verbatim(xsize, ysize, zsize, bpc=1):
    body = bytearray()
    for z in range(zsize):
        for y in range(ysize):
            for x in range(xsize):
                value = pixel(x, y, z)
                body += bytes([value]) if bpc == 1 else struct.pack(">H", value * 257)
    return header(False, bpc, xsize, ysize, zsize) + bytes(body)


def rle_row(values):
    """One literal packet for the first half, one run for the rest, then 0."""
    half = len(values) // 2
    out = bytearray([0x80 | half]) + bytes(values[:half])
    out += bytes([len(values) - half, values[half]]) + b"\0"
    return bytes(out)


def run_length(xsize, ysize, zsize):
    rows = [rle_row([pixel(x, y, z) for x in range(xsize)])
            for z in range(zsize) for y in range(ysize)]
    table_size = 2 * 4 * len(rows)
    offsets, offset = [], HEADER_SIZE + table_size
    for row in rows:
        offsets.append(offset)
        offset += len(row)
    tables = b"".join(struct.pack(">I", o) for o in offsets)
    tables += b"".join(struct.pack(">I", len(r)) for r in rows)
    return header(True, 1, xsize, ysize, zsize) + tables + b"".join(rows)


SEEDS = {
    "verbatim_grey_4x4.rgb": verbatim(4, 4, 1),
    "verbatim_rgb_5x3.rgb": verbatim(5, 3, 3),
    "verbatim_rgba_2x2_16bit.rgb": verbatim(2, 2, 4, bpc=2),
    "rle_rgb_6x4.rgb": run_length(6, 4, 3),
    "rle_rgba_8x2.rgb": run_length(8, 2, 4),
    "rle_grey_alpha_4x4.rgb": run_length(4, 4, 2),
}

for name, data in SEEDS.items():
    with open("corpus/sgi/" + name, "wb") as f:
        f.write(data)
