#!/usr/bin/env python3
"""Writes our 33 skin images, 01.she to 33.she, into the folder given.

Each skin is one row of SKINS: a name, the hue and saturation of its
caption, how deep the caption is, the push buttons' corner radius and the
strength of the aero gloss. Every colour the engine needs is derived from
the row, so a scheme stays consistent however it is tuned. The format is the
one skin/skin_format.h reads."""
import colorsys
import os
import struct
import sys
import zlib

# name, hue (degrees), saturation (0-1), caption lightness (0-1), radius, gloss
SKINS = [
    ("Azure", 210, 0.70, 0.50, 3, 150),
    ("Jade", 155, 0.55, 0.40, 3, 140),
    ("Amber", 35, 0.85, 0.50, 2, 130),
    ("Rose", 345, 0.60, 0.52, 4, 150),
    ("Slate", 215, 0.18, 0.42, 2, 120),
    ("Lavender", 265, 0.55, 0.52, 4, 160),
    ("Teal", 180, 0.65, 0.36, 3, 140),
    ("Coral", 12, 0.75, 0.58, 3, 140),
    ("Forest", 115, 0.45, 0.33, 2, 120),
    ("Ocean", 200, 0.80, 0.38, 3, 150),
    ("Plum", 300, 0.40, 0.38, 3, 140),
    ("Sand", 42, 0.45, 0.55, 2, 110),
    ("Indigo", 235, 0.55, 0.42, 3, 150),
    ("Mint", 150, 0.50, 0.55, 4, 150),
    ("Crimson", 355, 0.70, 0.40, 2, 130),
    ("Steel", 205, 0.30, 0.50, 2, 140),
    ("Olive", 70, 0.45, 0.38, 2, 110),
    ("Orchid", 290, 0.50, 0.55, 4, 150),
    ("Sky", 195, 0.75, 0.58, 4, 160),
    ("Cocoa", 25, 0.40, 0.35, 2, 110),
    ("Cobalt", 220, 0.85, 0.45, 3, 150),
    ("Peach", 25, 0.80, 0.62, 4, 140),
    ("Pine", 165, 0.50, 0.28, 2, 120),
    ("Lilac", 280, 0.35, 0.62, 4, 150),
    ("Graphite", 0, 0.00, 0.32, 2, 120),
    ("Ruby", 340, 0.65, 0.36, 3, 140),
    ("Lime", 90, 0.55, 0.45, 3, 130),
    ("Denim", 212, 0.42, 0.40, 2, 130),
    ("Sunset", 20, 0.85, 0.48, 3, 150),
    ("Aqua", 185, 0.60, 0.50, 4, 160),
    ("Violet", 255, 0.60, 0.48, 3, 150),
    ("Silver", 210, 0.08, 0.58, 3, 150),
    ("Gold", 48, 0.75, 0.48, 3, 140),
]

COLOUR_SLOTS = 45  # skin::kColourCount


def hsl(h, s, l):
    r, g, b = colorsys.hls_to_rgb((h % 360) / 360.0, max(0.0, min(1.0, l)), max(0.0, min(1.0, s)))
    return round(r * 255) | round(g * 255) << 8 | round(b * 255) << 16  # 0x00BBGGRR


def colours(hue, sat, cap):
    c = lambda s, l: hsl(hue, sat * s, l)
    white = hsl(0, 0, 1.0)
    grey = lambda l: hsl(hue, 0.06, l)
    red = lambda l: hsl(356, 0.72, l)
    # The caption's text is white on a deep caption and dark on a light one.
    text = white if cap < 0.6 else c(1, 0.12)
    return [
        c(1, cap + 0.12), c(1, cap - 0.06), text,                          # caption
        c(0.3, 0.78), c(0.3, 0.70), c(0.2, 0.35),                          # inactive caption
        c(1, cap - 0.18), c(1, cap - 0.06),                                # frame outer, inner
        c(1, cap + 0.18), c(1, cap + 0.02), white,                         # caption buttons
        c(1, cap + 0.28), c(1, cap + 0.12),                                # hot
        c(1, cap - 0.14), c(1, cap - 0.04),                                # pressed
        red(0.62), red(0.46),                                              # close, hot
        c(0.45, 0.985), c(0.50, 0.87), c(0.55, 0.55), c(0.4, 0.14),        # button normal
        c(0.60, 0.99), c(0.70, 0.80), c(0.80, 0.45), c(0.6, 0.10),         # hot
        c(0.60, 0.76), c(0.60, 0.88), c(0.80, 0.35), c(0.6, 0.08),         # pressed
        grey(0.93), grey(0.89), grey(0.76), grey(0.60),                    # disabled
        c(0.65, 0.45), white, c(0.35, 0.90), c(1, 0.36), c(1, 0.55), grey(0.70),  # glyphs
        c(0.45, 0.70), c(0.9, 0.30),                                       # group frame, text
        c(0.45, 0.62), c(1, 0.50), grey(0.80),                             # edit borders
        c(0.35, 0.945),                                                    # window back
    ]


def image(name, hue, sat, cap, radius, gloss):
    cols = colours(hue, sat, cap)
    assert len(cols) == COLOUR_SLOTS, len(cols)
    body = bytes([len(name)]) + name.encode("ascii")
    body += struct.pack("<H", len(cols)) + b"".join(struct.pack("<I", v) for v in cols)
    body += bytes([2, radius, gloss])
    header = b".SHE" + struct.pack("<HHII", 1, 16, len(body), zlib.crc32(body))
    return header + body


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for number, row in enumerate(SKINS, 1):
        data = image(*row)
        path = os.path.join(out_dir, f"{number:02d}.she")
        # Rewrite only what changed, so the programs relink only when a skin does.
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    continue
        except FileNotFoundError:
            pass
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    assert len(SKINS) == 33
    main(sys.argv[1])
