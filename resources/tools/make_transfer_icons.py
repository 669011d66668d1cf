#!/usr/bin/env python3
"""Draws the transfer windows' own icons (the error-log mark) with the shapes of
make_skin_icons.py, into resources/interface/icons/.

    python3 resources/tools/make_transfer_icons.py
"""
import make_skin_icons as skin


def error_mark_layers(size):
    red = skin.rgb(0xD9342B)
    white = skin.rgb(0xFFFFFF)
    bar = skin.rect(7.1, 3.6, 8.9, 9.6, 0.8)
    dot = skin.circle(8.0, 12.0, 1.1)
    return [(skin.circle(8.0, 8.0, 7.2), red), (skin.union(bar, dot), white)]


def main():
    skin.write_icon("transfer_error", error_mark_layers)


if __name__ == "__main__":
    main()
