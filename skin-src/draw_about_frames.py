#!/usr/bin/python3
"""Draws the five frames of the about box's animation and writes them as PNG files.

    skin-src/draw_about_frames.py [OUTPUT_FOLDER]
        (default: the repository's src/about/art/, compiled into the program)

The animation is the program's icon come alive: the same slate body, display and amber
play mark (skin-src/draw_icon.py), with the three cyan level bars rising and falling
like a level meter. Frame 1 is the icon itself; the fifth leads back into the first,
so the loop runs without a jump. Each frame is 64 x 64 pixels.
Needs python3-pil.
"""

import os
import sys

import draw_icon

SIZE = 64
BOTTOM = 166  # the bars' foot on the icon's 256 grid
# The tops of the three bars in each frame; frame 1 is the icon's own.
FRAMES = [
    (132, 100, 116),
    (112, 122, 96),
    (96, 140, 108),
    (118, 110, 130),
    (138, 92, 124),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "about", "art")
    os.makedirs(out, exist_ok=True)
    xs = [x for x, _, _ in draw_icon.BARS]
    for number, tops in enumerate(FRAMES, start=1):
        draw_icon.BARS = [(x, top, BOTTOM) for x, top in zip(xs, tops)]
        draw_icon.png(SIZE).save(os.path.join(out, f"anime{number}.png"), optimize=True)


if __name__ == "__main__":
    main()
