#!/usr/bin/env python3
"""Draws the list icons (the rights and guest states of the sharing and guest lists, the header
check boxes) with the shapes of make_skin_icons.py, into resources/interface/icons/.

    python3 resources/tools/make_list_icons.py
"""
import make_skin_icons as skin

GREY = 0xB4B4B4
DARK_GREY = 0x8C8C8C


def eye(colour, half=False):
    c = skin.rgb(colour)
    outline = skin.minus(skin.both(skin.circle(8, 13, 9), skin.circle(8, 3, 9)),
                         skin.both(skin.circle(8, 13.9, 8.2), skin.circle(8, 2.1, 8.2)))
    layers = [(outline, c), (skin.circle(8, 8, 2.4), c)]
    if half:
        layers.append((skin.rect(8.2, 1, 16, 15), skin.rgb(0xFFFFFF, 150)))
    return layers


def arrow(colour, down):
    c = skin.rgb(colour)
    if down:
        shaft = skin.rect(6.6, 2, 9.4, 9)
        head = skin.polygon([(3, 8), (13, 8), (8, 13)])
    else:
        shaft = skin.rect(6.6, 7, 9.4, 13)
        head = skin.polygon([(3, 8), (13, 8), (8, 3)])
    tray = skin.rect(2, 13.2, 14, 14.8, 0.5)
    return [(skin.union(shaft, head), c), (tray, c)]


def cross(colour, part=False):
    c = skin.rgb(colour)
    layers = [(skin.union(skin.line(4, 4, 12, 12, 2.4), skin.line(12, 4, 4, 12, 2.4)), c)]
    if part:
        layers.append((skin.rect(1, 8.6, 15, 15), skin.rgb(0xFFFFFF, 150)))
    return layers


def share_write():
    return [(skin.circle(5.5, 5, 2.2), skin.rgb(0x2F6DA8)), (skin.rect(2, 8, 9, 13, 2), skin.rgb(0x2F6DA8)),
            (skin.line(9, 14, 14.5, 8.5, 2.0), skin.rgb(0xD9A21B)),
            (skin.polygon([(8, 15), (8.4, 12.8), (10.2, 14.6)]), skin.rgb(0x3C3C3C))]


def state_dot(colour, mark):
    layers = [(skin.circle(8, 8, 6.6), skin.rgb(colour)), (skin.circle(8, 8, 5.4), skin.rgb(colour))]
    white = skin.rgb(0xFFFFFF)
    if mark == "check":
        layers.append((skin.union(skin.line(5, 8.2, 7.2, 10.6, 1.6), skin.line(7.2, 10.6, 11.2, 5.6, 1.6)), white))
    elif mark == "bar":
        layers.append((skin.rect(4.6, 7.1, 11.4, 8.9, 0.6), white))
    elif mark == "clock":
        layers += [(skin.ring(8, 8, 3.6, 4.6), white), (skin.line(8, 8, 8, 5.4, 1.2), white),
                   (skin.line(8, 8, 10, 9, 1.2), white)]
    return layers


def check_box(checked, newer):
    frame = 0x7A96B8 if newer else 0x336699
    layers = [(skin.rect(2, 2, 14, 14, 1.2 if newer else 0), skin.rgb(frame)),
              (skin.rect(3, 3, 13, 13, 0.6 if newer else 0), skin.rgb(0xFFFFFF))]
    if checked:
        mark = skin.union(skin.line(4.8, 8.2, 7.0, 10.6, 1.8), skin.line(7.0, 10.6, 11.4, 5.2, 1.8))
        layers.append((mark, skin.rgb(0x2F6DA8 if newer else 0x5182BD)))
    return layers


def main():
    jobs = [
        ("right_view", lambda s: eye(0x2F6DA8)),
        ("right_view_part", lambda s: eye(0x2F6DA8, True)),
        ("right_download", lambda s: arrow(0x2F6DA8, True)),
        ("right_download_off", lambda s: arrow(GREY, True)),
        ("right_upload", lambda s: arrow(0x3C8F3C, False)),
        ("right_upload_off", lambda s: arrow(GREY, False)),
        ("right_delete", lambda s: cross(0xB03A33)),
        ("right_delete_part", lambda s: cross(0xB03A33, True)),
        ("right_delete_off", lambda s: cross(GREY)),
        ("right_share_write", lambda s: share_write()),
        ("guest_active", lambda s: state_dot(0x3C8F3C, "check")),
        ("guest_stopped", lambda s: state_dot(DARK_GREY, "bar")),
        ("guest_invited", lambda s: state_dot(0xE08A1E, "clock")),
        ("header_check_off", lambda s: check_box(False, False)),
        ("header_check_on", lambda s: check_box(True, False)),
        ("header_check_off_new", lambda s: check_box(False, True)),
        ("header_check_on_new", lambda s: check_box(True, True)),
    ]
    for name, layers in jobs:
        skin.write_icon(name, layers)
        print(name)


if __name__ == "__main__":
    main()
