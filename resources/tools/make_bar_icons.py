#!/usr/bin/env python3
"""Draws the command bar's button icons and the server list's status icons with the shapes of
make_skin_icons.py (into resources/interface/icons/), and the command bar's two view buttons as
24-bit bitmaps with their masks (into resources/app/bitmaps/).

    python3 resources/tools/make_bar_icons.py
"""
import os
import struct

import make_skin_icons as skin
from make_skin_icons import both, circle, line, minus, polygon, rect, rgb, ring, union

BITMAPS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "bitmaps")

BLUE = 0x2F6DA8
GREEN = 0x3C8F3C
RED = 0xB03A33
ORANGE = 0xE08A1E
INK = 0x4A4A4A
PAPER = 0xFFFFFF


def page(x0, y0, x1, y1, edge=INK, fill=PAPER):
    return [(rect(x0, y0, x1, y1, 0.6), rgb(edge)), (rect(x0 + 0.9, y0 + 0.9, x1 - 0.9, y1 - 0.9, 0.2), rgb(fill))]


# ---- command bar buttons ----

def new_folder():
    layers = skin.folder_layers("yellow", False)
    plus = union(rect(10.6, 7.2, 12.4, 15.2, 0.3), rect(7.6, 10.2, 15.4, 12.2, 0.3))
    layers += [(union(rect(9.8, 6.4, 13.2, 16, 0.5), rect(6.8, 9.4, 16, 13.0, 0.5)), rgb(PAPER)), (plus, rgb(GREEN))]
    return layers


def transfer_arrow(colour, down):
    c = rgb(colour)
    if down:
        body = union(rect(6.5, 1.5, 9.5, 7.5, 0.4), polygon([(3, 7), (13, 7), (8, 12)]))
    else:
        body = union(rect(6.5, 6.5, 9.5, 12.5, 0.4), polygon([(3, 7), (13, 7), (8, 2)]))
    tray = union(rect(1.5, 10.5, 3.3, 14.8, 0.4), rect(12.7, 10.5, 14.5, 14.8, 0.4), rect(1.5, 13.2, 14.5, 14.8, 0.4))
    return [(body, c), (tray, rgb(INK))]


def share():
    c = rgb(BLUE)
    return [(circle(12.2, 3.6, 2.3), c), (circle(3.8, 8.0, 2.3), c), (circle(12.2, 12.4, 2.3), c),
            (line(3.8, 8.0, 12.2, 3.6, 1.3), c), (line(3.8, 8.0, 12.2, 12.4, 1.3), c)]


def copy():
    return page(1.5, 1.5, 10.5, 11.5, BLUE) + page(5.5, 4.5, 14.5, 14.5, BLUE)


def delete():
    c = rgb(RED)
    return [(union(line(3.5, 3.5, 12.5, 12.5, 2.6), line(12.5, 3.5, 3.5, 12.5, 2.6)), c)]


def cut():
    c = rgb(INK)
    blades = union(line(5.0, 1.0, 10.2, 10.0, 1.9), line(11.0, 1.0, 5.8, 10.0, 1.9))
    return [(blades, rgb(0x6A6A6A)), (ring(4.6, 12.4, 1.2, 2.9), c), (ring(11.4, 12.4, 1.2, 2.9), c)]


def paste():
    board = rect(2.0, 2.5, 12.5, 15.0, 1.0)
    return [(board, rgb(0x8A5A2B)), (rect(3.0, 3.5, 11.5, 14.0, 0.5), rgb(0xC98F4E)),
            (rect(5.0, 1.2, 9.5, 4.2, 0.8), rgb(INK))] + page(7.0, 6.5, 15.0, 15.5, BLUE)


def link():
    c = rgb(BLUE)
    a = minus(rect(1.0, 4.5, 9.5, 11.5, 3.5), rect(3.0, 6.5, 7.5, 9.5, 1.4))
    b = minus(rect(6.5, 4.5, 15.0, 11.5, 3.5), rect(8.5, 6.5, 13.0, 9.5, 1.4))
    return [(a, c), (b, rgb(0x5B9BD5)), (rect(5.5, 7.2, 10.5, 8.8, 0.6), c)]


def approval():
    layers = page(2.0, 1.0, 12.5, 15.0, INK)
    layers += [(rect(4.0, 4.0, 10.5, 4.9), rgb(0x8C8C8C)), (rect(4.0, 6.2, 10.5, 7.1), rgb(0x8C8C8C))]
    layers += [(circle(11.5, 11.5, 4.2), rgb(PAPER)), (circle(11.5, 11.5, 3.5), rgb(RED)),
               (ring(11.5, 11.5, 2.0, 2.7), rgb(PAPER))]
    return layers


# ---- status icons of the server list ----

def magnifier():
    c = rgb(BLUE)
    return [(circle(6.5, 6.5, 3.9), rgb(0xD6E6F5)), (ring(6.5, 6.5, 3.6, 5.0), c), (line(10.0, 10.0, 14.2, 14.2, 2.4), c)]


def versions():
    return page(1.5, 1.5, 9.5, 10.5, 0x8C8C8C) + page(4.0, 4.0, 12.0, 13.0, BLUE) + [
        (circle(11.8, 11.8, 4.0), rgb(PAPER)), (ring(11.8, 11.8, 2.4, 3.4), rgb(GREEN)),
        (union(line(11.8, 11.8, 11.8, 9.6, 1.0), line(11.8, 11.8, 13.4, 12.6, 1.0)), rgb(GREEN))]


def hidden():
    c = rgb(0x5A5A5A)
    outline = minus(both(circle(8, 13, 9), circle(8, 3, 9)), both(circle(8, 14.4, 7.9), circle(8, 1.6, 7.9)))
    return [(outline, c), (circle(8, 8, 2.8), c), (line(2.5, 13.5, 13.5, 2.5, 2.2), rgb(RED))]


def padlock(body=0xF2C14E):
    return [(ring(8, 7, 2.4, 3.8, 180, 360), rgb(0x5A5A5A)), (rect(3.0, 7.0, 13.0, 15.0, 1.2), rgb(0x5A5A5A)),
            (rect(4.0, 8.0, 12.0, 14.0, 0.8), rgb(body)), (circle(8, 10.4, 1.2), rgb(0x5A5A5A)),
            (rect(7.4, 10.6, 8.6, 12.8, 0.3), rgb(0x5A5A5A))]


def shield(fill, mark):
    outer = polygon([(8, 0.8), (14.5, 3.0), (14.0, 9.0), (8, 15.4), (2.0, 9.0), (1.5, 3.0)])
    inner = polygon([(8, 2.0), (13.3, 3.8), (12.9, 8.6), (8, 14.0), (3.1, 8.6), (2.7, 3.8)])
    layers = [(outer, rgb(0x245A8F)), (inner, rgb(fill))]
    white = rgb(PAPER)
    if mark == "check":
        layers.append((union(line(5.0, 8.0, 7.2, 10.4, 1.6), line(7.2, 10.4, 11.2, 5.4, 1.6)), white))
    elif mark == "d":
        layers.append((minus(rect(5.4, 4.6, 10.8, 11.4, 2.8), rect(7.0, 6.2, 9.2, 9.8, 1.2)), white))
    return layers


def key():
    c = rgb(0xD9A21B)
    return [(ring(5.0, 6.0, 1.3, 3.6), c), (line(7.8, 8.4, 14.0, 14.2, 2.0), c),
            (line(11.2, 11.6, 12.8, 10.0, 1.6), c), (line(12.8, 13.2, 14.4, 11.6, 1.6), c)]


def incomplete_upload():
    c = rgb(ORANGE)
    arrow = union(rect(4.6, 6.5, 7.4, 13.5, 0.4), polygon([(1.5, 7), (10.5, 7), (6, 2)]))
    bang = union(rect(12.0, 3.0, 14.0, 10.5, 0.6), circle(13.0, 13.3, 1.3))
    return [(arrow, c), (bang, rgb(RED))]


ICONS = [
    ("cmd_link", link),
    ("cmd_new_folder", new_folder),
    ("cmd_download", lambda: transfer_arrow(BLUE, True)),
    ("cmd_upload", lambda: transfer_arrow(GREEN, False)),
    ("cmd_share", share),
    ("cmd_copy", copy),
    ("cmd_delete", delete),
    ("cmd_cut", cut),
    ("cmd_paste", paste),
    ("cmd_approval", approval),
    ("status_search", magnifier),
    ("status_versioning", versions),
    ("status_hidden", hidden),
    ("status_limited", padlock),
    ("status_protected", lambda: shield(0x3F86CC, "check")),
    ("status_password", key),
    ("status_drm", lambda: shield(0xB5561A, "d")),
    ("status_incomplete_upload", incomplete_upload),
]


# ---- the view buttons: list and thumbnail, normal and chosen, and the mask ----

VIEW_W, VIEW_H = 27, 25
VIEW_RADIUS = 3.0


def bmp_bytes(rows):
    """rows: top-down list of (r, g, b); a bottom-up 24-bit BMP."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line_bytes = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        pixels += line_bytes + b"\0" * (stride - len(line_bytes))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


def write_bitmap(name, rows):
    os.makedirs(BITMAPS, exist_ok=True)
    with open(os.path.join(BITMAPS, name + ".bmp"), "wb") as f:
        f.write(bmp_bytes(rows))


def inside_button(x, y):
    return rect(0, 0, VIEW_W, VIEW_H, VIEW_RADIUS)(x + 0.5, y + 0.5)


def view_face(glyph, chosen):
    top, bottom = ((0xE8F2F9, 0x85B9DC) if chosen else (0xFFFFFF, 0xEFEFEF))
    frame = 0x6E9CC4 if chosen else 0xBDBDBD
    ink = 0x1D3F73 if chosen else 0x5A5A5A
    # The glyph is drawn on the 16-unit grid of the icons, centred in the button.
    glyph_layers = [(shape, rgb(ink)) for shape in glyph]
    icon = skin.render(glyph_layers, 16)
    ox, oy = (VIEW_W - 16) // 2, (VIEW_H - 16) // 2
    rows = []
    for y in range(VIEW_H):
        t = y / (VIEW_H - 1)
        base = tuple(round(((top >> s) & 0xFF) * (1 - t) + ((bottom >> s) & 0xFF) * t) for s in (16, 8, 0))
        row = []
        for x in range(VIEW_W):
            edge = not (inside_button(x - 1, y) and inside_button(x + 1, y) and inside_button(x, y - 1)
                        and inside_button(x, y + 1))
            if not inside_button(x, y):
                row.append((255, 255, 255))
                continue
            colour = tuple((frame >> s) & 0xFF for s in (16, 8, 0)) if edge else base
            gx, gy = x - ox, y - oy
            if 0 <= gx < 16 and 0 <= gy < 16:
                r, g, b, a = icon[gy][gx]
                k = a / 255.0
                colour = tuple(round(c * k + o * (1 - k)) for c, o in zip((r, g, b), colour))
            row.append(colour)
        rows.append(row)
    return rows


def view_mask():
    return [[(0, 0, 0) if inside_button(x, y) else (255, 255, 255) for x in range(VIEW_W)] for y in range(VIEW_H)]


def list_glyph():
    shapes = []
    for y in (3.0, 7.0, 11.0):
        shapes += [rect(2.0, y, 4.4, y + 2.2, 0.3), rect(5.8, y + 0.4, 14.0, y + 1.8, 0.3)]
    return shapes


def thumbnail_glyph():
    return [rect(x, y, x + 5.2, y + 5.2, 0.6) for x in (2.2, 8.6) for y in (2.2, 8.6)]


def main():
    for name, layers in ICONS:
        skin.write_icon(name, lambda size, f=layers: f())
        print(name)
    for name, glyph in (("view_list", list_glyph), ("view_thumbnail", thumbnail_glyph)):
        write_bitmap(name, view_face(glyph(), False))
        write_bitmap(name + "_on", view_face(glyph(), True))
        write_bitmap(name + "_mask", view_mask())
        print(name)


if __name__ == "__main__":
    main()
