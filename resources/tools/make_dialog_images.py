#!/usr/bin/env python3
"""Draws the common dialogs' button icons (OK and confirm check marks, the cancel cross) as
.ico files into resources/interface/icons/, and the task-bar pop-up's skin as a 24-bit .bmp
into resources/interface/images/. Uses the shapes and the .ico writer of make_skin_icons.py.

    python3 resources/tools/make_dialog_images.py
"""
import os
import struct

import make_skin_icons as icons
from make_skin_icons import circle, line, rgb, write_icon

IMAGES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "interface", "images")


def check_layers(disc):
    return [(circle(8, 8, 7.0), rgb(disc)),
            (line(4.4, 8.3, 7.0, 10.9, 1.9), rgb(0xFFFFFF)),
            (line(7.0, 10.9, 11.8, 5.3, 1.9), rgb(0xFFFFFF))]


def cross_layers():
    return [(circle(8, 8, 7.0), rgb(0x8C8C8C)),
            (line(5.3, 5.3, 10.7, 10.7, 1.9), rgb(0xFFFFFF)),
            (line(10.7, 5.3, 5.3, 10.7, 1.9), rgb(0xFFFFFF))]


def bmp24(width, height, pixel):
    """pixel(x, y) -> (r, g, b), top-down; written bottom-up as Windows wants."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        body += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def taskbar_skin(width=250, height=100):
    """A blue title band 24 pixels high over a pale body with a thin frame."""
    top, bottom = (0x4D, 0x8F, 0xD6), (0x2E, 0x6A, 0xB3)
    body_top, body_bottom = (0xFF, 0xFF, 0xFF), (0xE8, 0xEE, 0xF5)
    frame = (0x2A, 0x5C, 0x98)

    def pixel(x, y):
        if x == 0 or y == 0 or x == width - 1 or y == height - 1:
            return frame
        if y < 24:
            return mix(top, bottom, y / 23.0)
        if y == 24:
            return (0x1F, 0x4F, 0x8A)
        return mix(body_top, body_bottom, (y - 25) / float(height - 26))
    return bmp24(width, height, pixel)


def main():
    os.makedirs(icons.OUT, exist_ok=True)
    os.makedirs(IMAGES, exist_ok=True)
    write_icon("btn_ok", lambda s: check_layers(0x3F86CC))
    write_icon("btn_confirm", lambda s: check_layers(0x2F8F4F))
    write_icon("btn_cancel", lambda s: cross_layers())
    with open(os.path.join(IMAGES, "taskbar_skin.bmp"), "wb") as f:
        f.write(taskbar_skin())
    print("btn_ok btn_confirm btn_cancel taskbar_skin")


if __name__ == "__main__":
    main()
