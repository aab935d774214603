#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets. The options target's: command
lines, arguments separated by NUL bytes. The renderer target's: in-design
frames and the edges around them, in the target's input layout (little-endian):
shape u8 (bit 0: wide frame, width x 11, height mod 5), width u8, height u8, maxIter+1 u16, cRe f64, cIm f64, cx i32, cy i32,
factor f64, then the buffer's bytes."""
import hashlib
import os
import struct

NAN = float("nan")
INF = float("inf")
seeds = [
    # width, height, maxIter, cRe, cIm, cx, cy, factor
    (64, 48, 64, 0.252431, 0.025583, 32, 38, 0.018),
    (64, 48, 64, -0.75, 0.1, 12, 9, 0.018),
    (64, 48, 300, -1.0, 0.0, 63, 47, 0.2),
    (96, 96, 66, 0.26, 0.0, 0, 0, 0.018),
    (6, 4, 64, -1.796875, 0.007362, 2, 1, 0.018),
    (1, 1, 1, 0.0, 0.0, 0, 0, 0.018),
    (1, 2, 0, 2.0, -2.0, 0, 1, 1.0),
    (0, 5, 64, 0.0, 0.0, 0, 0, 0.018),
    (7, 5, -1, NAN, INF, -5, 99, NAN),
    (3, 3, 200, 1e300, -1e300, 2, 2, 0.0),
    (31, 1, 64, 39.9, -39.9, 30, 0, -1.0),
    (95, 3, 64, -0.75, 0.1, 2**31 - 1, -2**31, INF),
]
wide = [(58, 2, 64, -0.75, 0.1, 320, 0, 0.018), (58, 4, 64, 0.3, -0.02, 637, 3, 0.018)]
options = [
    "--time 20000 --out frame.png",
    "--out=c.gif --from=60000 --to=63000 --fps=7",
    "--help",
    "--time 007 --out -h --",
    "--time 5 --from 0 --to 1000 --fps 10 --out x.gif",
    "--from 0 --to 4294967295 --fps 51 --out x.gif --from 1",
    "--time 4294967296 --out --time",
]
here = os.path.dirname(os.path.abspath(__file__))


def write(folder, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()), "wb") as fh:
        fh.write(data)


for line in options:
    write(os.path.join(here, "corpus", "options"), line.replace(" ", "\0").encode())
out = os.path.join(here, "corpus", "renderers")
for shape, group in ((0, seeds), (1, wide)):
    for w, h, it, re, im, cx, cy, f in group:
        head = struct.pack("<BBBHddiid", shape, w, h, it + 1, re, im, cx, cy, f)
        size = (w * 11 * (h % 5)) if shape else w * h
        body = bytes((i * 73 + 11) & 255 for i in range(size))
        write(out, head + body)
