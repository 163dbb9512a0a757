#!/usr/bin/env python3
"""Draws the program's two icon groups as .ico files: a stylised fingerprint, concentric ridges
in white on a teal disc. quorvel.ico (group 107) holds 48, 32 and 16 pixel images; quorvel_small.ico
(group 108) holds a simpler 16 pixel one. Run it again after changing the artwork:

    python3 console/icons/draw_icons.py
"""
import math
import os
import struct

TEAL = (0x1F, 0x7A, 0x8C, 0xFF)
RIDGE = (0xFF, 0xFF, 0xFF, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(x, y, size, ridge_step):
    cx = cy = (size - 1) / 2
    dx, dy = x - cx, y - cy
    if math.hypot(dx, dy) > size / 2 - 0.5:
        return CLEAR
    # Ridges are ellipses, taller than wide, like the whorl of a finger.
    r = math.hypot(dx * 1.15, dy * 0.9)
    if r < size * 0.08 or r > size * 0.4:
        return TEAL
    return RIDGE if int(r / ridge_step) % 2 == 0 else TEAL


def image_entry(size, ridge_step):
    """One icon image: a 32-bit bottom-up DIB of twice the height, then the AND mask."""
    rows = []
    for y in reversed(range(size)):
        row = b""
        for x in range(size):
            red, green, blue, alpha = pixel(x, y, size, ridge_step)
            row += bytes((blue, green, red, alpha))
        rows.append(row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        row = bytearray(mask_stride)
        for x in range(size):
            if pixel(x, y, size, ridge_step)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + mask


def write_icon(path, images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, entry in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(entry), offset)
        offset += len(entry)
        data += entry
    with open(path, "wb") as out:
        out.write(directory + data)


here = os.path.dirname(os.path.abspath(__file__))
write_icon(os.path.join(here, "quorvel.ico"),
           [(size, image_entry(size, size / 16)) for size in (48, 32, 16)])
write_icon(os.path.join(here, "quorvel_small.ico"), [(16, image_entry(16, 1.5))])
