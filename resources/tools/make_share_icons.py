#!/usr/bin/env python3
"""Draws the sharing windows' button icons (apply, add, remove, move-to-list) in the round style
of the common dialogs' OK and cancel icons, and the properties window's mark for several items,
into resources/interface/icons/.

    python3 resources/tools/make_share_icons.py
"""
import os

import make_skin_icons as skin
from make_skin_icons import circle, line, polygon, rect, rgb, write_icon

WHITE = 0xFFFFFF


def disc(colour):
    return (circle(8, 8, 7.0), rgb(colour))


def apply_layers():
    # A check mark on teal: saves what the dialog shows.
    return [disc(0x1E9E8F),
            (line(4.4, 8.3, 7.0, 10.9, 1.9), rgb(WHITE)),
            (line(7.0, 10.9, 11.8, 5.3, 1.9), rgb(WHITE))]


def add_layers():
    return [disc(0x3A9D5D),
            (line(8, 4.4, 8, 11.6, 1.9), rgb(WHITE)),
            (line(4.4, 8, 11.6, 8, 1.9), rgb(WHITE))]


def remove_layers():
    return [disc(0xD9534F),
            (line(4.4, 8, 11.6, 8, 1.9), rgb(WHITE))]


def move_layers():
    # A right-pointing arrow: moves the chosen entries over, or leads on to the help page.
    return [disc(0x5B7FA6),
            (line(4.4, 8, 10.0, 8, 1.9), rgb(WHITE)),
            (polygon([(8.2, 4.6), (12.2, 8), (8.2, 11.4)]), rgb(WHITE))]


def page(x, y, fill, edge):
    return [(rect(x, y, x + 8.4, y + 10.4, 0.6), rgb(edge)),
            (rect(x + 0.8, y + 0.8, x + 7.6, y + 9.6, 0.3), rgb(fill))]


def many_items_layers():
    # Three sheets stacked: the properties of several items at once.
    layers = []
    layers += page(1.0, 1.0, 0xDCE6F2, 0x6A7F99)
    layers += page(3.6, 3.0, 0xE9F0F8, 0x6A7F99)
    layers += page(6.2, 5.0, WHITE, 0x4A6585)
    for y in (7.6, 9.6, 11.6):
        layers.append((line(8.0, y, 12.6, y, 0.9), rgb(0x8FA8C6)))
    return layers


def main():
    os.makedirs(skin.OUT, exist_ok=True)
    write_icon("btn_apply", lambda s: apply_layers())
    write_icon("btn_add", lambda s: add_layers())
    write_icon("btn_remove", lambda s: remove_layers())
    write_icon("btn_move", lambda s: move_layers())
    write_icon("many_items", lambda s: many_items_layers(), sizes=(16, 32))
    print("btn_apply btn_add btn_remove btn_move many_items")


if __name__ == "__main__":
    main()
