#!/usr/bin/env python3
"""Writes the seed corpus of the renderer fuzz target: in-design frames and the
edges around them, in the target's input layout (little-endian):
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
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
os.makedirs(out, exist_ok=True)
for shape, group in ((0, seeds), (1, wide)):
    for w, h, it, re, im, cx, cy, f in group:
        head = struct.pack("<BBBHddiid", shape, w, h, it + 1, re, im, cx, cy, f)
        size = (w * 11 * (h % 5)) if shape else w * h
        body = bytes((i * 73 + 11) & 255 for i in range(size))
        data = head + body
        name = hashlib.sha1(data).hexdigest()
        with open(os.path.join(out, name), "wb") as fh:
            fh.write(data)
