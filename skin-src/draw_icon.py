#!/usr/bin/python3
"""Draws the program's icon in the standard skin's hand and writes it for the desktop.

    skin-src/draw_icon.py [OUTPUT_FOLDER]      (default: the repository's data/icons/)

The icon is described once, as shapes on a 256 x 256 grid: the standard skin's slate
body with its rim, its dark display with the amber play mark and three cyan level
bars. The same shapes are written as the scalable pelto.svg and drawn, at eight times
the size and scaled down, as pelto-16.png ... pelto-256.png.
Needs python3-pil.
"""

import os
import sys

from PIL import Image, ImageDraw

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SS = 8  # supersampling factor of the PNGs

# The standard skin's colours (skin-src/draw_skins.py).
BODY_TOP, BODY_BOTTOM = "#5d6883", "#1f2433"
EDGE, RIM = "#0b0d12", "#8792ad"
PANEL, PANEL_RIM = "#0c141b", "#3a4b5c"
AMBER_TOP, AMBER_BOTTOM = "#ffd08a", "#ffb347"
CYAN = "#8fe3ff"

# (kind, geometry, style) on the 256 grid.
BODY = (12, 12, 244, 244, 52)          # x0, y0, x1, y1, corner radius
PANEL_BOX = (40, 58, 216, 198, 22)
PLAY = [(72, 90), (72, 166), (134, 128)]
BARS = [(150, 132, 166), (172, 100, 166), (194, 116, 166)]  # x, top, bottom
BAR_WIDTH = 16


def rgb(hexcode):
    hexcode = hexcode.lstrip("#")
    return tuple(int(hexcode[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def svg():
    x0, y0, x1, y1, r = BODY
    px0, py0, px1, py1, pr = PANEL_BOX
    bars = "\n".join(
        f'  <rect x="{x}" y="{top}" width="{BAR_WIDTH}" height="{bottom - top}" rx="4" '
        f'fill="{CYAN}"/>' for x, top, bottom in BARS)
    play = " ".join(f"{x},{y}" for x, y in PLAY)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="body" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{BODY_TOP}"/>
      <stop offset="1" stop-color="{BODY_BOTTOM}"/>
    </linearGradient>
    <linearGradient id="amber" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{AMBER_TOP}"/>
      <stop offset="1" stop-color="{AMBER_BOTTOM}"/>
    </linearGradient>
  </defs>
  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{r}" fill="url(#body)" stroke="{EDGE}" stroke-width="6"/>
  <rect x="{x0 + 7}" y="{y0 + 7}" width="{x1 - x0 - 14}" height="{y1 - y0 - 14}" rx="{r - 7}" fill="none" stroke="{RIM}" stroke-opacity="0.55" stroke-width="3"/>
  <rect x="{px0}" y="{py0}" width="{px1 - px0}" height="{py1 - py0}" rx="{pr}" fill="{PANEL}" stroke="{PANEL_RIM}" stroke-width="4"/>
  <polygon points="{play}" fill="url(#amber)" stroke-linejoin="round"/>
{bars}
</svg>
"""


def png(size):
    s = size * SS / 256.0

    def box(x0, y0, x1, y1):
        return [x0 * s, y0 * s, x1 * s - 1, y1 * s - 1]

    img = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    x0, y0, x1, y1, r = BODY
    # The body's gradient, cut to its rounded shape.
    grad = Image.new("RGBA", img.size)
    gd = ImageDraw.Draw(grad)
    for row in range(img.size[1]):
        t = min(1.0, max(0.0, (row / s - y0) / (y1 - y0)))
        gd.line([0, row, img.size[0], row], fill=mix(rgb(BODY_TOP), rgb(BODY_BOTTOM), t) + (255,))
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box(x0, y0, x1, y1), radius=r * s, fill=255)
    img.paste(grad, (0, 0), mask)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle(box(x0, y0, x1, y1), radius=r * s, outline=rgb(EDGE), width=round(6 * s))
    if size >= 32:  # the rim is finer than a pixel below this
        rim = mix(rgb(BODY_TOP), rgb(RIM), 0.55)
        d.rounded_rectangle(box(x0 + 7, y0 + 7, x1 - 7, y1 - 7), radius=(r - 7) * s,
                            outline=rim, width=max(1, round(3 * s)))
    px0, py0, px1, py1, pr = PANEL_BOX
    d.rounded_rectangle(box(px0, py0, px1, py1), radius=pr * s, fill=rgb(PANEL),
                        outline=rgb(PANEL_RIM), width=max(1, round(4 * s)))
    # The play mark with the amber gradient.
    amber = Image.new("RGBA", img.size)
    ad = ImageDraw.Draw(amber)
    top, bottom = PLAY[0][1], PLAY[1][1]
    for row in range(img.size[1]):
        t = min(1.0, max(0.0, (row / s - top) / (bottom - top)))
        ad.line([0, row, img.size[0], row], fill=mix(rgb(AMBER_TOP), rgb(AMBER_BOTTOM), t) + (255,))
    tri = Image.new("L", img.size, 0)
    ImageDraw.Draw(tri).polygon([(x * s, y * s) for x, y in PLAY], fill=255)
    img.paste(amber, (0, 0), tri)
    for x, top, bottom in BARS:
        d.rounded_rectangle(box(x, top, x + BAR_WIDTH, bottom), radius=4 * s, fill=rgb(CYAN))
    return img.resize((size, size), Image.LANCZOS)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "icons")
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "pelto.svg"), "w", encoding="utf-8") as f:
        f.write(svg())
    for size in SIZES:
        png(size).save(os.path.join(out, f"pelto-{size}.png"), optimize=True)


if __name__ == "__main__":
    main()
