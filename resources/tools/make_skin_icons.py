#!/usr/bin/env python3
"""Draws the skinned toolkit's icons (folders, caption buttons, search box, person, lock) and the
products' main and tray icons, and writes them as 32-bit .ico files (16x16 and 32x32; the
product icons also 48x48) into resources/interface/icons/.

Plain Python, no imaging library: every shape is sampled 4x4 per pixel for smooth edges. The
shapes are laid out on a 16-unit grid so that the 16x16 image stays crisp.

    python3 resources/tools/make_skin_icons.py
"""
import math
import os
import struct
import sys

SS = 4  # samples per pixel and axis
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "interface", "icons")


def rgb(hexcode, a=255):
    return ((hexcode >> 16) & 0xFF, (hexcode >> 8) & 0xFF, hexcode & 0xFF, a)


# ---- shapes: each is a function (x, y) -> inside, in 16-unit coordinates ----

def rect(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        if r <= 0:
            return True
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1, a0=0.0, a1=360.0):
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        if d < r0 * r0 or d > r1 * r1:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a0 <= a <= a1) if a0 <= a1 else (a >= a0 or a <= a1)
    return inside


def polygon(points):
    def inside(x, y):
        c = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y):
                if x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                    c = not c
        return c
    return inside


def line(xa, ya, xb, yb, w):
    def inside(x, y):
        dx, dy = xb - xa, yb - ya
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def shifted(shape, dx, dy, scale=1.0):
    return lambda x, y: shape((x - dx) / scale, (y - dy) / scale)


# ---- rendering ----

def render(layers, size):
    """layers: list of (shape, (r, g, b, a)); returns rows of RGBA tuples."""
    unit = size / 16.0
    image = []
    offsets = [(i + 0.5) / SS for i in range(SS)]
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0   # premultiplied
            for shape, (cr, cg, cb, ca) in layers:
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape((px + ox) / unit, (py + oy) / unit):
                            hits += 1
                if hits == 0:
                    continue
                k = hits / (SS * SS) * ca / 255.0
                r = cr * k + r * (1 - k)
                g = cg * k + g * (1 - k)
                b = cb * k + b * (1 - k)
                a = 255 * k + a * (1 - k)
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r * 255 / a), round(g * 255 / a), round(b * 255 / a), round(a)))
        image.append(row)
    return image


def ico_bytes(images):
    """images: list of (size, rows)."""
    header = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    blobs = b""
    offset = 6 + 16 * len(images)
    for size, rows in images:
        bmp = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        for row in reversed(rows):
            for (r, g, b, a) in row:
                bmp += bytes((b, g, r, a))
        stride = ((size + 31) // 32) * 4
        for row in reversed(rows):
            bits = bytearray(stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            bmp += bytes(bits)
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(bmp), offset)
        blobs += bmp
        offset += len(bmp)
    return header + entries + blobs


def write_icon(name, layers_for_size, sizes=(16, 32)):
    images = [(s, render(layers_for_size(s), s)) for s in sizes]
    path = os.path.join(OUT, name + ".ico")
    with open(path, "wb") as f:
        f.write(ico_bytes(images))


# ---- the product's palette ----

FOLDERS = {
    "yellow": (0xF2C14E, 0xD9A21B, 0xFFE08A),
    "blue": (0x5B9BD5, 0x2F6DA8, 0x9CC6EE),
    "green": (0x6DBE6D, 0x3C8F3C, 0xA8E0A8),
    "red": (0xE0645C, 0xB03A33, 0xF2A29D),
}
INK = 0x3C3C3C
BADGE_BG = 0xFFFFFF


def folder_layers(colour, opened):
    body, edge, light = FOLDERS[colour]
    back = union(rect(1, 3, 7, 6, 1.0), rect(1, 4.5, 15, 14, 1.0))
    layers = [(back, rgb(edge)), (rect(1.8, 5.3, 14.2, 13.2, 0.6), rgb(body))]
    layers.append((rect(2.5, 6, 13.5, 8, 0.3), rgb(0xFFFFFF, 230)))   # the paper inside
    if opened:
        front = polygon([(3.2, 8.2), (15.6, 8.2), (13.6, 14), (0.6, 14)])
        inner = polygon([(3.8, 9.0), (14.5, 9.0), (12.9, 13.2), (1.7, 13.2)])
    else:
        front = rect(1, 8, 15, 14, 1.0)
        inner = rect(1.8, 8.8, 14.2, 13.2, 0.6)
    layers += [(front, rgb(edge)), (inner, rgb(light)),
               (minus(inner, shifted(inner, 0, 1.2)), rgb(0xFFFFFF, 90))]
    return layers


def badge(kind, colour=INK):
    """A symbol in a white disc at the lower right corner."""
    disc = circle(12, 12, 4)
    layers = [(circle(12, 12, 4.2), rgb(0x000000, 60)), (disc, rgb(BADGE_BG))]
    c = rgb(colour)
    if kind == "people":
        layers += [(circle(10.7, 10.6, 1.1), c), (rect(9.1, 12.1, 12.3, 14.6, 1.2), c),
                   (circle(13.5, 11.1, 0.9), c), (rect(12.4, 12.4, 14.8, 14.4, 1.0), c)]
    elif kind == "person":
        layers += [(circle(12, 10.6, 1.4), c), (rect(9.6, 12.4, 14.4, 15, 1.6), c)]
    elif kind == "arrow":
        layers += [(line(9.8, 14, 13, 10.6, 1.4), c),
                   (polygon([(14.6, 9.2), (14.3, 12.8), (11.0, 9.5)]), c)]
    elif kind == "globe":
        layers += [(ring(12, 12, 2.4, 3.2), c), (line(8.9, 12, 15.1, 12, 0.8), c),
                   (minus(ring(12, 12, 0, 3.0), ring(12, 12, 0, 2.2)), c),
                   (polygon([(11.6, 8.9), (12.4, 8.9), (12.4, 15.1), (11.6, 15.1)]), c)]
    elif kind == "photo":
        layers += [(rect(9.2, 9.8, 14.8, 14.2, 0.5), rgb(0x4A90D9)),
                   (polygon([(9.6, 13.8), (11.4, 11.2), (12.8, 13.0), (13.6, 12.0), (14.4, 13.8)]), rgb(0xFFFFFF)),
                   (circle(13.4, 10.9, 0.6), rgb(0xFFE08A))]
    elif kind == "star":
        pts = []
        for i in range(10):
            r = 3.0 if i % 2 == 0 else 1.3
            a = math.radians(-90 + i * 36)
            pts.append((12 + r * math.cos(a), 12.2 + r * math.sin(a)))
        layers += [(polygon(pts), rgb(0xE8A317))]
    elif kind == "backup":
        layers += [(ring(12, 12, 1.9, 2.9, 200, 70), rgb(0x2F8F4F)),
                   (polygon([(13.6, 9.0), (15.4, 11.6), (12.6, 12.0)]), rgb(0x2F8F4F))]
    return layers


def trash_layers(colour, opened):
    body, edge, light = FOLDERS[colour]
    layers = []
    if opened:
        lid = polygon([(2.8, 2.0), (13.8, 4.8), (13.4, 6.2), (2.4, 3.4)])
        layers += [(lid, rgb(edge)), (rect(6.4, 1.2, 9.4, 2.6, 0.6), rgb(edge))]
    else:
        layers += [(rect(2, 3.4, 14, 5.2, 0.8), rgb(edge)), (rect(6, 2, 10, 3.6, 0.7), rgb(edge))]
    bin_outer = polygon([(3.0, 5.8), (13.0, 5.8), (12.0, 15), (4.0, 15)])
    bin_inner = polygon([(3.9, 6.6), (12.1, 6.6), (11.3, 14.2), (4.7, 14.2)])
    layers += [(bin_outer, rgb(edge)), (bin_inner, rgb(body))]
    for x in (6.1, 8.0, 9.9):
        layers.append((line(x, 8, x, 12.8, 0.9), rgb(light)))
    return layers


def file_box_layers(opened):
    edge, body, light = 0x8A5A2B, 0xC98F4E, 0xE6B87E
    layers = [(rect(1.5, 6, 14.5, 14.5, 0.8), rgb(edge)), (rect(2.3, 6.8, 13.7, 13.7, 0.4), rgb(body)),
              (rect(6, 8.4, 10, 10, 0.5), rgb(light))]
    if opened:
        layers += [(polygon([(1.5, 6), (4.0, 2.2), (6.6, 2.2), (4.4, 6)]), rgb(edge)),
                   (polygon([(14.5, 6), (12.0, 2.2), (9.4, 2.2), (11.6, 6)]), rgb(edge))]
    else:
        layers += [(rect(1, 3.6, 15, 6.4, 0.8), rgb(edge)), (rect(1.8, 4.3, 14.2, 5.7, 0.4), rgb(light))]
    return layers


def person_layers():
    c = 0x4F7CAC
    return [(circle(8, 5, 3.2), rgb(c)), (rect(2.5, 9.2, 13.5, 15.2, 4.0), rgb(c)),
            (circle(8, 5, 2.3), rgb(0x8FB4DA)), (rect(3.4, 10.1, 12.6, 15.2, 3.4), rgb(0x8FB4DA))]


def lock_layers():
    """The lock overlay: drawn over a list icon, so it sits in the lower left quarter."""
    return [(ring(4.5, 9.5, 1.6, 2.6, 180, 360), rgb(0x5A5A5A)),
            (rect(1.4, 9.5, 7.6, 15.2, 1.0), rgb(0x5A5A5A)),
            (rect(2.2, 10.3, 6.8, 14.4, 0.6), rgb(0xF2C14E)),
            (rect(4.0, 11.4, 5.0, 13.4, 0.4), rgb(0x5A5A5A))]


# ---- caption buttons: minimise, middle (maximise) and close, four states each ----

def caption_layers(glyph, state):
    layers = []
    if state == "hover":
        layers.append((rect(0.5, 0.5, 15.5, 15.5, 3), rgb(0xFFFFFF, 60)))
    elif state == "pressed":
        layers.append((rect(0.5, 0.5, 15.5, 15.5, 3), rgb(0x000000, 70)))
    ink = rgb(0xFFFFFF) if state != "disabled" else rgb(0xFFFFFF, 110)
    dy = 0.5 if state == "pressed" else 0.0
    if glyph == "min":
        layers.append((rect(4, 10.5 + dy, 12, 12 + dy, 0.3), ink))
    elif glyph == "max":
        layers.append((minus(rect(4, 4 + dy, 12, 12 + dy, 0.5), rect(5.3, 6.3 + dy, 10.7, 10.7 + dy)), ink))
    else:
        layers += [(line(4.6, 4.6 + dy, 11.4, 11.4 + dy, 1.6), ink), (line(11.4, 4.6 + dy, 4.6, 11.4 + dy, 1.6), ink)]
    return layers


# ---- search box ----

def magnifier_layers(colour):
    c = rgb(colour)
    return [(ring(6.8, 6.8, 3.4, 4.8), c), (line(10.2, 10.2, 13.8, 13.8, 2.2), c)]


def search_go_layers():
    return [(circle(8, 8, 7.2), rgb(0x598AC4)), (line(4.6, 8, 10.4, 8, 1.8), rgb(0xFFFFFF)),
            (polygon([(8.6, 4.6), (12.2, 8), (8.6, 11.4)]), rgb(0xFFFFFF))]


# ---- product icons: one tile per edition, its tray states ----

EDITIONS = {
    # edge, body
    "explorer": (0x245A8F, 0x3F86CC),
    "drive": (0x17705F, 0x27A38A),
    "backup": (0xB5561A, 0xE8812F),
}
OFFLINE = (0x6A6A6A, 0x9C9C9C)
TRANSFER = 0x2F8F4F


def arc_arrow(cx, cy, r0, r1, a0, a1, head):
    """A ring from angle a0 to a1 (degrees, clockwise on screen) with an arrowhead at a1."""
    a = math.radians(a1)
    radial = (math.cos(a), math.sin(a))
    tangent = (-math.sin(a), math.cos(a))
    mid = (r0 + r1) / 2
    base = (cx + mid * radial[0], cy + mid * radial[1])
    half = (r1 - r0) / 2 + head * 0.55
    tip = (base[0] + tangent[0] * head, base[1] + tangent[1] * head)
    arrow = polygon([(base[0] - radial[0] * half, base[1] - radial[1] * half), tip,
                     (base[0] + radial[0] * half, base[1] + radial[1] * half)])
    return union(ring(cx, cy, r0, r1, a0, a1), arrow)


def cloud_glyph():
    return union(circle(5.9, 9.0, 2.4), circle(9.0, 7.3, 3.1), circle(11.5, 9.4, 2.0),
                 rect(3.5, 9.0, 13.5, 11.4, 1.2))


def drive_glyph(body):
    """A disk drive: the case, the front strip and its light."""
    case = rect(3.0, 4.6, 13.0, 11.6, 1.3)
    return [(case, rgb(0xFFFFFF)),
            (rect(3.0, 8.9, 13.0, 9.6), rgb(body)),
            (circle(11.0, 10.4, 0.65), rgb(0x7CE07C)),
            (rect(4.4, 10.0, 8.0, 10.8, 0.3), rgb(body, 150))]


def backup_glyph(size):
    """A turning arrow around clock hands: the copy made on schedule. Bolder at 16 pixels,
    where thin strokes blur into the tile."""
    stroke = 1.5 if size <= 16 else 1.1
    hands = union(line(8, 8.2, 8, 5.8, stroke), line(8, 8.2, 9.8, 9.3, stroke))
    return union(arc_arrow(8, 8.2, 5.0 - stroke - 0.2, 5.0, 250, 190, 2.0), hands)


def product_tile(edition, size, online=True):
    edge, body = EDITIONS[edition] if online else OFFLINE
    inner = rect(1.8, 1.8, 14.2, 14.2, 2.3)
    layers = [(rect(1, 1, 15, 15, 3.0), rgb(edge)), (inner, rgb(body)),
              (both(inner, rect(0, 0, 16, 7.6)), rgb(0xFFFFFF, 40))]
    if edition == "explorer":
        layers.append((cloud_glyph(), rgb(0xFFFFFF)))
    elif edition == "drive":
        layers += drive_glyph(body)
    else:
        layers.append((backup_glyph(size), rgb(0xFFFFFF)))
    return layers


def transfer_badge():
    """Up and down arrows on a green disc at the lower right: a transfer is running."""
    white = rgb(0xFFFFFF)
    return [(circle(11.8, 11.8, 4.2), rgb(0xFFFFFF)), (circle(11.8, 11.8, 3.5), rgb(TRANSFER)),
            (line(10.5, 14.0, 10.5, 10.6, 1.0), white),
            (polygon([(8.9, 11.0), (10.5, 9.0), (12.1, 11.0)]), white),
            (line(13.1, 9.6, 13.1, 13.0, 1.0), white),
            (polygon([(11.5, 12.6), (13.1, 14.6), (14.7, 12.6)]), white)]


def offline_badge():
    """A white disc with a bar: not connected."""
    return [(circle(11.8, 11.8, 4.2), rgb(0xFFFFFF)), (circle(11.8, 11.8, 3.5), rgb(0xC0392B)),
            (rect(9.7, 11.1, 13.9, 12.5, 0.4), rgb(0xFFFFFF))]


def main():
    os.makedirs(OUT, exist_ok=True)
    jobs = []

    def folder(name, colour, opened, mark=None, mark_colour=INK):
        def layers(_size):
            out = folder_layers(colour, opened)
            if mark:
                out += badge(mark, mark_colour)
            return out
        jobs.append((name, layers))

    for opened, suffix in ((False, "close"), (True, "open")):
        folder("yellow_" + suffix, "yellow", opened)
        folder("yellow_share_" + suffix, "yellow", opened, "people")
        folder("share_yellow_" + suffix, "yellow", opened, "arrow", 0x2F6DA8)
        folder("group_blue_" + suffix, "blue", opened, "people", 0x2F6DA8)
        folder("domain_blue_" + suffix, "blue", opened, "globe", 0x2F6DA8)
        folder("blue_" + suffix, "blue", opened)
        folder("blue_share_" + suffix, "blue", opened, "arrow", 0x2F6DA8)
        folder("guest_green_" + suffix, "green", opened, "person", 0x3C8F3C)
        folder("green_" + suffix, "green", opened)
        folder("red_" + suffix, "red", opened)
        folder("individual_yellow_" + suffix, "yellow", opened, "person")
        folder("photo_yellow_" + suffix, "yellow", opened, "photo")
        folder("master_yellow_" + suffix, "yellow", opened, "star")
        folder("backup_" + suffix, "blue", opened, "backup")
        jobs.append(("trash_yellow_" + suffix, lambda s, o=opened: trash_layers("yellow", o)))
        jobs.append(("trash_red_" + suffix, lambda s, o=opened: trash_layers("red", o)))
        jobs.append(("file_box_" + suffix, lambda s, o=opened: file_box_layers(o)))
    jobs.append(("person", lambda s: person_layers()))
    jobs.append(("lock_overlay", lambda s: lock_layers()))

    for glyph in ("min", "max", "close"):
        for state in ("normal", "hover", "pressed", "disabled"):
            jobs.append(("caption_%s_%s" % (glyph, state), lambda s, g=glyph, st=state: caption_layers(g, st)))

    jobs.append(("search_focus", lambda s: magnifier_layers(0x598AC4)))
    jobs.append(("search_idle", lambda s: magnifier_layers(0x9A9A9A)))
    jobs.append(("search_go", lambda s: search_go_layers()))

    big = []   # the product icons also come at 48x48 for the task bar and Alt+Tab
    for edition, suffix in (("explorer", ""), ("drive", "_drive"), ("backup", "_backup")):
        big.append(("ixo_main" + suffix, lambda s, e=edition: product_tile(e, s)))
        big.append(("ixo_tray_on" + suffix, lambda s, e=edition: product_tile(e, s)))
        big.append(("ixo_tray_off" + suffix, lambda s, e=edition: product_tile(e, s, False) + offline_badge()))
    big.append(("ixo_tray_run_backup", lambda s: product_tile("backup", s) + transfer_badge()))

    only = set(sys.argv[1:])
    for name, layers, sizes in [j + ((16, 32),) for j in jobs] + [j + ((16, 32, 48),) for j in big]:
        if only and name not in only:
            continue
        write_icon(name, layers, sizes)
        print(name)


if __name__ == "__main__":
    main()
