#!/usr/bin/python3
"""Draws the artwork of the playlist window's strip and writes it as PNG files.

    skin-src/draw_playlist_strip.py [OUTPUT_FOLDER]
        (default: the repository's src/playlistwindow/art/, compiled into the program)

The strip is the window's title bar, 12 pixels high; its buttons are part of the
window's design, not of a skin, so they are drawn once here, in the hand of the
standard skin (its colours, button faces and glyph colours, from draw_skins.py).
Every button has a normal image and a darker pressed one; the repeat switch has four
images (off, pressed from off, on, pressed from on); the close button has one.

The pictures are small, so every shape is laid on whole pixels and drawn at four
times the size, then each pixel is the plain average of its 4 x 4 samples: straight
edges stay sharp and only slants are smoothed.
"""

import os
import sys

from PIL import Image

from draw_skins import SS, STD_BUTTON, STD_PAL, Canvas, mix, rgb

HEIGHT = 12
STRIP_TOP = rgb("#4a546d")
STRIP_BOTTOM = rgb("#2a3041")
GLYPH = STD_BUTTON["glyph"]
GLYPH_PRESSED = STD_BUTTON["glyph_pressed"]
LED_OFF = rgb("#1a1f29")
LED_ON = rgb("#ffb347")

# (file name, width) of every button with a normal and a pressed image.
BUTTONS = [("add", 24), ("delete", 24), ("up", 12), ("down", 12), ("shuffle", 24),
           ("save", 24)]


def strip_background(w):
    c = Canvas(w, HEIGHT)
    c.vgradient(0, 0, w, HEIGHT, STRIP_TOP, STRIP_BOTTOM)
    return c


def sharp(c):
    """The canvas at its real size, each pixel the mean of its samples."""
    return c.img.resize((c.w, c.h), Image.BOX)


def face(c, w, pressed):
    """A button face over the strip: raised and lit from above, or sunk and darker."""
    p = STD_BUTTON
    if pressed:
        c.vgradient(0, 0, w, HEIGHT, p["face_pressed_top"], p["face_pressed_bottom"], 2)
        c.rrect(0, 0, w, HEIGHT, 2, outline=p["edge_pressed"], width=1)
        c.rect(2, 1, w - 4, 1, p["shadow"])
    else:
        c.vgradient(0, 0, w, HEIGHT, p["face_top"], p["face_bottom"], 2)
        c.rrect(0, 0, w, HEIGHT, 2, outline=p["edge"], width=1)
        c.rect(2, 1, w - 4, 1, mix(p["face_top"], p["highlight"], 0.6))


def glyph(c, name, w, colour, dx):
    """The button's sign, moved right and down by dx when pressed."""
    cx = w / 2 + dx
    top = dx  # the glyph sinks with the face
    if name == "add":
        c.rect(cx - 4, 5 + top, 8, 2, colour)
        c.rect(cx - 1, 2 + top, 2, 8, colour)
    elif name == "delete":
        c.rect(cx - 4, 5 + top, 8, 2, colour)
    elif name == "up":
        c.polygon([(cx, 3 + top), (cx + 4, 8 + top), (cx - 4, 8 + top)], colour)
    elif name == "down":
        c.polygon([(cx - 4, 4 + top), (cx + 4, 4 + top), (cx, 9 + top)], colour)
    elif name == "shuffle":
        # two paths that cross, each ending in an arrow head on the right
        left, right = cx - 7, cx + 4
        c.line(left, 3.5 + top, right, 8.5 + top, colour, 1.3)
        c.line(left, 8.5 + top, right, 3.5 + top, colour, 1.3)
        for y in (3.5, 8.5):
            c.polygon([(right - 0.5, y - 2 + top), (right + 3, y + top),
                       (right - 0.5, y + 2 + top)], colour)
    elif name == "save":
        # a floppy disk: the body with a cut corner, its shutter and its label
        x0, y0 = cx - 4, 2 + top
        c.polygon([(x0, y0), (x0 + 6, y0), (x0 + 8, y0 + 2), (x0 + 8, y0 + 8), (x0, y0 + 8)],
                  colour)
        inner = mix(STD_BUTTON["face_bottom"], (0, 0, 0), 0.2) if colour == GLYPH else \
            STD_BUTTON["face_pressed_bottom"]
        c.rect(x0 + 2, y0, 3, 3, inner)
        c.rect(x0 + 1, y0 + 5, 6, 3, inner)
    elif name == "close":
        c.line(cx - 3, 3 + top, cx + 3, 9 + top, colour, 1.5)
        c.line(cx - 3, 9 + top, cx + 3, 3 + top, colour, 1.5)


def loop(c, x, colour, top):
    """The repeat sign: a loop of track with an arrow head on its upper run."""
    c.rrect(x, 2.5 + top, 12, 7, 3, outline=colour, width=1.3)
    c.polygon([(x + 7, 0.5 + top), (x + 10, 3.1 + top), (x + 7, 5.7 + top)], colour)


def repeat_image(on, pressed):
    w = 40
    c = strip_background(w)
    face(c, w, pressed)
    dx = 1 if pressed else 0
    colour = GLYPH_PRESSED if pressed else (LED_ON if on else GLYPH)
    loop(c, 5 + dx, colour, dx)
    # the lamp: dark when off, lit when on
    lamp = LED_ON if on else LED_OFF
    if on:
        c.ellipse(27 + dx, 2 + dx, 8, 8, fill=mix(lamp, STD_BUTTON["face_bottom"], 0.55))
    c.ellipse(28 + dx, 3 + dx, 6, 6, fill=lamp, outline=STD_PAL["edge"], width=0.6)
    if on:
        c.ellipse(29.5 + dx, 4 + dx, 2, 2, fill=rgb("#fff1d6"))
    return sharp(c)


def button_image(name, w, pressed):
    c = strip_background(w)
    face(c, w, pressed)
    glyph(c, name, w, GLYPH_PRESSED if pressed else GLYPH, 1 if pressed else 0)
    return sharp(c)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, "..", "src", "playlistwindow", "art")
    os.makedirs(out, exist_ok=True)

    def save(img, name):
        img.convert("RGB").save(os.path.join(out, name + ".png"), optimize=True)

    save(sharp(strip_background(8)), "strip")
    for name, w in BUTTONS:
        save(button_image(name, w, False), name)
        save(button_image(name, w, True), name + "2")
    save(repeat_image(False, False), "repeat")
    save(repeat_image(False, True), "repeat2")
    save(repeat_image(True, False), "repeat_on")
    save(repeat_image(True, True), "repeat_on2")
    save(button_image("close", 12, False), "close")


if __name__ == "__main__":
    main()
