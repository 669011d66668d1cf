#!/usr/bin/env python3
"""Draws the update program's two button icons, a check mark (OK) and a cross (close), as
32-bit 16x16 .ico files in resources/updater/icons/.

    python3 resources/tools/make_updater_icons.py
"""
import os
import struct

SS = 4
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "updater", "icons")


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


def stroke(segments, width):
    return lambda x, y: any(segment_distance(x, y, *s) <= width / 2 for s in segments)


def render(shape, color):
    pixels = []
    for row in range(16):
        line = []
        for col in range(16):
            hits = sum(shape(col + (i + 0.5) / SS, row + (j + 0.5) / SS) for i in range(SS) for j in range(SS))
            line.append((color[0], color[1], color[2], round(255 * hits / (SS * SS))))
        pixels.append(line)
    return pixels


def write_ico(path, pixels):
    size = 16
    xor = b""
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = 4  # 16 bits padded to 32
    and_mask = b""
    for row in reversed(pixels):
        bits = 0
        for col, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (15 - col)
        and_mask += struct.pack(">H", bits) + b"\0" * (mask_row - 2)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


def main():
    os.makedirs(OUT, exist_ok=True)
    check = stroke([(3.0, 8.5, 6.5, 12.0), (6.5, 12.0, 13.0, 4.0)], 2.2)
    cross = stroke([(4.0, 4.0, 12.0, 12.0), (12.0, 4.0, 4.0, 12.0)], 2.2)
    write_ico(os.path.join(OUT, "button_ok.ico"), render(check, (0x2E, 0x8B, 0x3A)))
    write_ico(os.path.join(OUT, "button_close.ico"), render(cross, (0xC0, 0x39, 0x2B)))


if __name__ == "__main__":
    main()
