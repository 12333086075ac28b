#!/usr/bin/python3
"""Draws the artwork of the shipped skins and writes their bitmaps.

    skin-src/draw_skins.py [OUTPUT_ROOT]      (default: the repository's skin/)

Every picture is drawn at four times its size and scaled down, so edges are smooth.
Each skin is described once (its layout table below); the same table writes the
bitmaps and the element places of its _skin.cfg, so the two cannot drift apart.
The folder lives outside skin/ because every folder under skin/ is a skin.
Needs python3-pil; the fonts come from the Debian packages in scripts/setup.sh.
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor

FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_JP = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"


def rgb(hexcode):
    hexcode = hexcode.lstrip("#")
    return tuple(int(hexcode[i:i + 2], 16) for i in (0, 2, 4))


def skin_colour(hexcode):
    """The skin file's colour number: red + 256 * green + 65536 * blue."""
    r, g, b = rgb(hexcode)
    return r + 256 * g + 65536 * b


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


class Canvas:
    """A picture drawn at SS times its size, in the skin's pixel coordinates."""

    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.img = Image.new("RGB", (w * SS, h * SS), fill)
        self.d = ImageDraw.Draw(self.img)

    @staticmethod
    def box(x, y, w, h):
        return [x * SS, y * SS, (x + w) * SS - 1, (y + h) * SS - 1]

    def vgradient(self, x, y, w, h, top, bottom, radius=0):
        grad = Image.new("RGB", (w * SS, h * SS))
        gd = ImageDraw.Draw(grad)
        for row in range(h * SS):
            gd.line([0, row, w * SS, row], fill=mix(top, bottom, row / max(1, h * SS - 1)))
        mask = Image.new("L", grad.size, 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, w * SS - 1, h * SS - 1],
                                               radius=radius * SS, fill=255)
        self.img.paste(grad, (x * SS, y * SS), mask)

    def rrect(self, x, y, w, h, radius, fill=None, outline=None, width=1):
        self.d.rounded_rectangle(self.box(x, y, w, h), radius=radius * SS, fill=fill,
                                 outline=outline, width=round(width * SS))

    def polygon(self, points, fill):
        self.d.polygon([(px * SS, py * SS) for px, py in points], fill=fill)

    def rect(self, x, y, w, h, fill):
        self.d.rectangle(self.box(x, y, w, h), fill=fill)

    def ellipse(self, x, y, w, h, fill=None, outline=None, width=1):
        self.d.ellipse(self.box(x, y, w, h), fill=fill, outline=outline,
                       width=round(width * SS))

    def arc(self, x, y, w, h, start, end, fill, width):
        self.d.arc(self.box(x, y, w, h), start, end, fill=fill, width=round(width * SS))

    def line(self, x0, y0, x1, y1, fill, width=1):
        self.d.line([x0 * SS, y0 * SS, x1 * SS, y1 * SS], fill=fill, width=round(width * SS))

    def text(self, x, y, s, size, fill, font=FONT_BOLD, anchor="la"):
        f = ImageFont.truetype(font, size * SS)
        self.d.text((x * SS, y * SS), s, font=f, fill=fill, anchor=anchor)

    def crop(self, x, y, w, h):
        c = Canvas(w, h)
        c.img = self.img.crop((x * SS, y * SS, (x + w) * SS, (y + h) * SS))
        c.d = ImageDraw.Draw(c.img)
        return c

    def final(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


# ---------------------------------------------------------------- button glyphs
# Each glyph is drawn into a box (x, y, w, h) centred on the button.

def glyph(c, name, cx, cy, size, colour):
    s = size
    if name == "play":
        c.polygon([(cx - s * 0.35, cy - s * 0.45), (cx - s * 0.35, cy + s * 0.45),
                   (cx + s * 0.45, cy)], colour)
    elif name == "pause":
        c.rect_f = None
        bw = s * 0.26
        c.d.rectangle([(cx - s * 0.36) * SS, (cy - s * 0.42) * SS,
                       (cx - s * 0.36 + bw) * SS, (cy + s * 0.42) * SS], fill=colour)
        c.d.rectangle([(cx + s * 0.36 - bw) * SS, (cy - s * 0.42) * SS,
                       (cx + s * 0.36) * SS, (cy + s * 0.42) * SS], fill=colour)
    elif name == "stop":
        c.d.rectangle([(cx - s * 0.36) * SS, (cy - s * 0.36) * SS,
                       (cx + s * 0.36) * SS, (cy + s * 0.36) * SS], fill=colour)
    elif name in ("back", "next"):
        sign = 1 if name == "next" else -1
        bar = s * 0.14
        # two triangles and a bar: |<< or >>|
        for off in (-0.42, 0.02):
            x0 = cx + sign * s * off
            x1 = cx + sign * (s * (off + 0.40))
            c.polygon([(x0, cy - s * 0.38), (x0, cy + s * 0.38), (x1, cy)], colour)
        xb = cx + sign * s * 0.42
        c.d.rectangle([min(xb, xb + sign * bar) * SS, (cy - s * 0.38) * SS,
                       max(xb, xb + sign * bar) * SS, (cy + s * 0.38) * SS], fill=colour)
    elif name == "open":
        # eject: a triangle over a bar
        c.polygon([(cx - s * 0.42, cy + s * 0.08), (cx + s * 0.42, cy + s * 0.08),
                   (cx, cy - s * 0.42)], colour)
        c.d.rectangle([(cx - s * 0.42) * SS, (cy + s * 0.22) * SS,
                       (cx + s * 0.42) * SS, (cy + s * 0.40) * SS], fill=colour)
    elif name == "playlist":
        # three list rows with bullets
        for i, dy in enumerate((-0.32, 0.0, 0.32)):
            y = cy + s * dy
            c.d.ellipse([(cx - s * 0.46) * SS, (y - s * 0.08) * SS,
                         (cx - s * 0.30) * SS, (y + s * 0.08) * SS], fill=colour)
            c.d.rectangle([(cx - s * 0.20) * SS, (y - s * 0.06) * SS,
                           (cx + s * 0.46) * SS, (y + s * 0.06) * SS], fill=colour)
    elif name == "power":
        r = s * 0.40
        c.d.arc([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS], -60, 240,
                fill=colour, width=round(s * 0.13 * SS))
        c.d.rectangle([(cx - s * 0.065) * SS, (cy - s * 0.52) * SS,
                       (cx + s * 0.065) * SS, (cy + s * 0.02) * SS], fill=colour)


def draw_button(base, x, y, w, h, name, style, pressed):
    """A button drawn over the crop of the background it lies on."""
    c = base.crop(x, y, w, h)
    p = style
    if pressed:
        c.vgradient(0, 0, w, h, p["face_pressed_top"], p["face_pressed_bottom"], p["radius"])
        c.rrect(0, 0, w, h, p["radius"], outline=p["edge_pressed"], width=1)
        # inner shadow along the top edge: the button sits lower
        c.d.line([p["radius"] * SS, 1.5 * SS, (w - p["radius"]) * SS, 1.5 * SS],
                 fill=p["shadow"], width=SS)
        colour = p["glyph_pressed"]
        dx = dy = 1
    else:
        c.vgradient(0, 0, w, h, p["face_top"], p["face_bottom"], p["radius"])
        c.rrect(0, 0, w, h, p["radius"], outline=p["edge"], width=1)
        c.d.line([p["radius"] * SS, 1.2 * SS, (w - p["radius"]) * SS, 1.2 * SS],
                 fill=p["highlight"], width=SS // 2)
        colour = p["glyph"]
        dx = dy = 0
    size = min(w, h) * p["glyph_scale"]
    glyph(c, name, w / 2 + dx, h / 2 + dy, size, colour)
    return c.final()


def draw_well(c, x, y, w, h, radius, colour):
    """The recess in the body in which a button sits."""
    c.rrect(x - 1, y - 1, w + 2, h + 2, radius + 1, fill=colour)


# ---------------------------------------------------------------- skins

def save(img, folder, name):
    img.convert("RGB").save(os.path.join(folder, name), format="BMP")


def write_text(folder, name, text):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("utf-8"))


def write_cfg(folder, sk):
    """_skin.cfg from the layout: sections in the order that gives the right layering
    (each bar's hit area after its knob, so the area takes every click on the bar)."""
    L = sk["layout"]
    out = ["[main]", "mask,0", ""]
    for name in ("power", "back", "play", "pause", "stop", "next", "open", "playlist"):
        x, y, _, _ = L[name]
        out += [f"[{name}]", f"x,{x}", f"y,{y}", "", f"[{name}2]", f"x,{x}", f"y,{y}", ""]
    for bar in ("timebar", "volumebar"):
        bx, by, _, _ = L[bar + "_back"]
        kx, ky, _, _ = L[bar + "_knob"]
        ax, ay, aw, ah = L[bar + "_area"]
        out += [f"[{bar}_back]", f"x,{bx}", f"y,{by}", "",
                f"[{bar}]", f"x,{kx}", f"y,{ky}", "",
                f"[{bar}_area]", f"x,{ax}", f"y,{ay}", f"w,{aw}", f"h,{ah}", ""]
    for i in range(3):
        x, y, w, h = L[f"taginfo{i + 1}"]
        st = sk["text"][f"taginfo{i + 1}"]
        out += [f"[taginfo{i + 1}]", f"x,{x}", f"y,{y}", f"w,{w}", f"h,{h}",
                f"s,{st['s']}", f"fc,{skin_colour(st['fc'])}", f"bc,{skin_colour(st['bc'])}",
                "pict,1", "tag," + sk["tags"][i], ""]
    out += ["[tagscroll]", "tag," + sk["scroll"], ""]
    for i, key in ((1, "timeinfo1"), (2, "timeinfo2")):
        x, y, w, h = L[key]
        st = sk["text"][key]
        out += [f"[{key}]", f"x,{x}", f"y,{y}", f"w,{w}", f"h,{h}", f"s,{st['s']}",
                f"fc,{skin_colour(st['fc'])}", f"bc,{skin_colour(st['bc'])}", "pict,1"]
        if key == "timeinfo2":
            out += ["text," + sk["prefix"]]
        out += [""]
    write_text(folder, "_skin.cfg", sk["header"] + "\n".join(out))


def render(root, sk):
    folder = os.path.join(root, sk["name"])
    os.makedirs(folder, exist_ok=True)
    L, P = sk["layout"], sk["palette"]
    W, H = sk["size"]

    body = Canvas(W, H, P["outside"])
    sk["draw_body"](body, sk)

    # button wells in the background, so a skin without a button still looks whole
    for name in ("power", "back", "play", "pause", "stop", "next", "open", "playlist"):
        x, y, w, h = L[name]
        draw_well(body, x, y, w, h, sk["button"]["radius"], P["well"])

    # bar grooves
    sk["draw_bars"](body, sk)
    save(body.final(), folder, "main.bmp")

    # pictures behind the text areas: the panel under each area, with a faint raster
    for key in ("taginfo1", "taginfo2", "taginfo3", "timeinfo1", "timeinfo2"):
        x, y, w, h = L[key]
        c = body.crop(x, y, w, h)
        for row in range(0, h, 2):
            c.line(0, row + 1, w, row + 1, P["raster"], 0.5)
        save(c.final(), folder, key + ".bmp")

    for name in ("power", "back", "play", "pause", "stop", "next", "open", "playlist"):
        x, y, w, h = L[name]
        style = sk["power_button"] if name == "power" and "power_button" in sk else sk["button"]
        save(draw_button(body, x, y, w, h, name, style, False), folder, name + ".bmp")
        save(draw_button(body, x, y, w, h, name, style, True), folder, name + "2.bmp")

    # bar backs are the grooves as drawn on the body; knobs are drawn on a groove crop
    for bar in ("timebar", "volumebar"):
        x, y, w, h = L[bar + "_back"]
        save(body.crop(x, y, w, h).final(), folder, bar + "_back.bmp")
        kx, ky, kw, kh = L[bar + "_knob"]
        if bar == "timebar":
            ax, ay, aw, ah = L["timebar_area"]
            kx = ax + aw // 2  # a place in the middle of the groove
        else:
            ax, ay, aw, ah = L["volumebar_area"]
            ky = ay + ah // 2
        c = body.crop(kx, ky, kw, kh)
        sk["draw_knob"](c, kw, kh, bar, sk)
        save(c.final(), folder, bar + ".bmp")

    write_cfg(folder, sk)
    write_text(folder, "_skininfo.txt", sk["info"])


# ---- standard: a dark slate body with a cyan display and amber accents

STD_PAL = {
    "outside": rgb("#10131a"),
    "body_top": rgb("#465069"),
    "body_bottom": rgb("#1f2433"),
    "edge": rgb("#0b0d12"),
    "rim": rgb("#6f7b97"),
    "panel": rgb("#0c141b"),
    "panel_edge": rgb("#05080b"),
    "panel_rim": rgb("#3a4b5c"),
    "well": rgb("#161a24"),
    "raster": rgb("#111c25"),
    "cyan": rgb("#8fe3ff"),
    "amber": rgb("#ffb347"),
    "label": rgb("#aab4c8"),
    "groove": rgb("#0a0e13"),
    "groove_fill": rgb("#27394a"),
}

STD_BUTTON = {
    "radius": 4, "glyph_scale": 0.58,
    "face_top": rgb("#5d6883"), "face_bottom": rgb("#343b4f"),
    "face_pressed_top": rgb("#20252f"), "face_pressed_bottom": rgb("#2d3442"),
    "edge": rgb("#0b0d12"), "edge_pressed": rgb("#05070a"),
    "highlight": rgb("#8792ad"), "shadow": rgb("#0d1016"),
    "glyph": rgb("#e8eef8"), "glyph_pressed": rgb("#ffb347"),
}

STD_POWER = dict(STD_BUTTON, radius=9, glyph_scale=0.62,
                 glyph=rgb("#ff8a65"), glyph_pressed=rgb("#ffb347"))

STANDARD = {
    "name": "standard",
    "size": (360, 140),
    "palette": STD_PAL,
    "button": STD_BUTTON,
    "power_button": STD_POWER,
    "layout": {
        "power": (334, 6, 18, 18),
        "back": (12, 114, 36, 20), "play": (52, 114, 36, 20),
        "pause": (92, 114, 36, 20), "stop": (132, 114, 36, 20),
        "next": (172, 114, 36, 20), "open": (222, 114, 36, 20),
        "playlist": (262, 114, 36, 20),
        "taginfo1": (16, 32, 214, 16), "taginfo2": (16, 50, 214, 16),
        "taginfo3": (16, 68, 214, 16),
        "timeinfo1": (236, 34, 70, 26), "timeinfo2": (236, 64, 70, 18),
        "timebar_back": (12, 97, 296, 8), "timebar_knob": (12, 94, 14, 14),
        "timebar_area": (12, 94, 296, 14),
        "volumebar_back": (330, 34, 10, 70), "volumebar_knob": (325, 34, 20, 10),
        "volumebar_area": (325, 34, 20, 70),
    },
    "text": {
        "taginfo1": {"s": 9, "fc": "#8fe3ff", "bc": "#0c141b"},
        "taginfo2": {"s": 9, "fc": "#c9d6e6", "bc": "#0c141b"},
        "taginfo3": {"s": 9, "fc": "#7f95ab", "bc": "#0c141b"},
        "timeinfo1": {"s": 16, "fc": "#ffb347", "bc": "#0c141b"},
        "timeinfo2": {"s": 9, "fc": "#c9d6e6", "bc": "#0c141b"},
    },
    "tags": ["%+(%a,%+(%1,%g))", "%+(%b,%2)%-(%+(%c,%3), - )%+(%c,%3)",
             "%-(%+(%e,%5),%+(%e,%5)年  )%+(%f,%6)"],
    "scroll": "  ***  ",
    "prefix": "/ ",
    "header": "Pelto standard skin\n\n",
    "info": ("Pelto 標準スキン「standard」\n\n"
             "落ち着いた紺色の本体に、水色の表示窓と琥珀色の時刻表示を組み合わせた"
             "Pelto の標準スキンです。\n\n"
             "・1 行目：曲名\n・2 行目：アーティスト（アルバム）\n・3 行目：年とジャンル\n"
             "・右側の縦のバー：音量（上が最大）\n・下の横のバー：再生位置\n\n"
             "ボタンは左から 前の曲、再生、一時停止、停止、次の曲、ファイルを開く、"
             "プレイリストです。右上の電源ボタンはメニューを開きます（終了もここから）。\n"),
}


def std_body(c, sk):
    P, L = sk["palette"], sk["layout"]
    W, H = sk["size"]
    c.vgradient(0, 0, W, H, P["body_top"], P["body_bottom"], radius=8)
    c.rrect(0, 0, W, H, 8, outline=P["edge"], width=1)
    c.rrect(1, 1, W - 2, H - 2, 7, outline=P["rim"], width=0.5)
    c.text(14, 7, "Pelto", 11, P["amber"])
    c.text(58, 9, "AUDIO PLAYER", 7, P["label"])
    # the display panel holding the three lines and both times
    c.rrect(10, 28, 302, 60, 4, fill=P["panel"], outline=P["panel_edge"], width=1)
    c.rrect(11, 29, 300, 58, 3, outline=P["panel_rim"], width=0.5)
    c.line(233, 34, 233, 82, P["panel_rim"], 0.5)
    # labels beside the volume bar: loud at the top, quiet at the bottom
    for i in range(8):
        y = 36 + i * 66 / 7
        c.line(321, y, 323 - (i % 2) * 1.5, y, P["label"], 0.6)


def std_bars(c, sk):
    P, L = sk["palette"], sk["layout"]
    x, y, w, h = L["timebar_back"]
    c.rrect(x, y, w, h, 4, fill=P["groove"], outline=P["edge"], width=0.5)
    c.rrect(x + 2, y + 3, w - 4, 2, 1, fill=P["groove_fill"])
    x, y, w, h = L["volumebar_back"]
    c.rrect(x, y, w, h, 5, fill=P["groove"], outline=P["edge"], width=0.5)
    c.rrect(x + 4, y + 2, 2, h - 4, 1, fill=P["groove_fill"])


def std_knob(c, w, h, bar, sk):
    P = sk["palette"]
    top, bottom = rgb("#ffd08a"), rgb("#e08a1e")
    if bar == "timebar":
        c.vgradient(1, 0, w - 2, h, top, bottom, radius=4)
        c.rrect(1, 0, w - 2, h, 4, outline=P["edge"], width=0.6)
        c.line(w / 2, 3, w / 2, h - 3, rgb("#8a4b00"), 0.8)
    else:
        c.vgradient(0, 1, w, h - 2, top, bottom, radius=3)
        c.rrect(0, 1, w, h - 2, 3, outline=P["edge"], width=0.6)
        c.line(3, h / 2, w - 3, h / 2, rgb("#8a4b00"), 0.8)


STANDARD.update(draw_body=std_body, draw_bars=std_bars, draw_knob=std_knob)


# ---- washi: a light, narrow skin in paper white with a vermilion accent

WASHI_PAL = {
    "outside": rgb("#d8d0c2"),
    "body_top": rgb("#fbf7ef"),
    "body_bottom": rgb("#e9e1d2"),
    "edge": rgb("#8c8171"),
    "panel": rgb("#fffdf8"),
    "panel_edge": rgb("#bfb3a0"),
    "well": rgb("#d6cbb8"),
    "raster": rgb("#fbf8f1"),
    "ink": rgb("#2e2a25"),
    "vermilion": rgb("#d2462f"),
    "groove": rgb("#cfc4b1"),
    "groove_fill": rgb("#e8a08f"),
}

WASHI_BUTTON = {
    "radius": 9, "glyph_scale": 0.5,
    "face_top": rgb("#ffffff"), "face_bottom": rgb("#e6ddcd"),
    "face_pressed_top": rgb("#d9cfbd"), "face_pressed_bottom": rgb("#ebe3d5"),
    "edge": rgb("#9b8f7d"), "edge_pressed": rgb("#7d7262"),
    "highlight": rgb("#ffffff"), "shadow": rgb("#b8ac98"),
    "glyph": rgb("#3b352e"), "glyph_pressed": rgb("#d2462f"),
}

WASHI = {
    "name": "washi",
    "size": (300, 112),
    "palette": WASHI_PAL,
    "button": WASHI_BUTTON,
    "power_button": dict(WASHI_BUTTON, glyph=rgb("#d2462f")),
    "layout": {
        "back": (10, 88, 18, 18), "play": (32, 88, 18, 18), "pause": (54, 88, 18, 18),
        "stop": (76, 88, 18, 18), "next": (98, 88, 18, 18),
        "open": (192, 88, 18, 18), "playlist": (214, 88, 18, 18),
        "power": (272, 88, 18, 18),
        "taginfo1": (14, 10, 200, 15), "taginfo2": (14, 27, 200, 14),
        "taginfo3": (14, 43, 200, 14),
        "timeinfo1": (220, 10, 50, 22), "timeinfo2": (220, 36, 50, 16),
        "timebar_back": (12, 69, 258, 6), "timebar_knob": (12, 66, 10, 12),
        "timebar_area": (12, 66, 258, 12),
        "volumebar_back": (281, 10, 6, 66), "volumebar_knob": (277, 10, 14, 8),
        "volumebar_area": (277, 10, 14, 66),
    },
    "text": {
        "taginfo1": {"s": 9, "fc": "#2e2a25", "bc": "#fffdf8"},
        "taginfo2": {"s": 8, "fc": "#5a5249", "bc": "#fffdf8"},
        "taginfo3": {"s": 8, "fc": "#8c8171", "bc": "#fffdf8"},
        "timeinfo1": {"s": 13, "fc": "#d2462f", "bc": "#fffdf8"},
        "timeinfo2": {"s": 8, "fc": "#5a5249", "bc": "#fffdf8"},
    },
    "tags": ["%+(%a,%+(%1,%g))", "%+(%b,%2)", "%-(%+(%c,%3),「%+(%c,%3)」)%-(%+(%e,%5), %+(%e,%5)年)"],
    "scroll": "　／　",
    "prefix": "全 ",
    "header": "Pelto washi skin\n\n",
    "info": ("Pelto スキン「washi」（和紙）\n\n"
             "生成りの和紙を思わせる明るい本体に、朱色の差し色を添えた細身のスキンです。"
             "机の片隅に置いても邪魔にならない大きさにまとめました。\n\n"
             "・1 行目：曲名\n・2 行目：アーティスト\n・3 行目：アルバムと年\n"
             "・右端の縦のバー：音量（上が最大）\n・横のバー：再生位置\n"
             "・右下の赤いボタン：メニュー（終了もここから）\n"),
}


def washi_body(c, sk):
    P = sk["palette"]
    W, H = sk["size"]
    c.vgradient(0, 0, W, H, P["body_top"], P["body_bottom"], radius=6)
    c.rrect(0, 0, W, H, 6, outline=P["edge"], width=1)
    # paper fibres: a few faint strokes, always the same
    for i in range(28):
        x = (i * 53) % (W - 20) + 8
        y = (i * 37) % (H - 10) + 4
        c.line(x, y, x + 6 + i % 5, y + (i % 3) - 1, mix(P["body_top"], P["edge"], 0.12), 0.4)
    c.rrect(8, 6, 266, 54, 3, fill=P["panel"], outline=P["panel_edge"], width=0.7)
    c.line(217, 10, 217, 56, P["panel_edge"], 0.5)
    c.text(150, 101, "Pelto", 9, P["vermilion"], anchor="ms")
    c.ellipse(122, 93, 5, 5, fill=P["vermilion"])


def washi_bars(c, sk):
    P, L = sk["palette"], sk["layout"]
    x, y, w, h = L["timebar_back"]
    c.rrect(x, y, w, h, 3, fill=P["groove"], outline=P["edge"], width=0.4)
    x, y, w, h = L["volumebar_back"]
    c.rrect(x, y, w, h, 3, fill=P["groove"], outline=P["edge"], width=0.4)


def washi_knob(c, w, h, bar, sk):
    P = sk["palette"]
    c.rrect(0.5, 0.5, w - 1, h - 1, 3, fill=P["vermilion"], outline=rgb("#8e2a1a"), width=0.6)
    if bar == "timebar":
        c.line(w / 2, 3, w / 2, h - 3, rgb("#f6d2c8"), 0.7)
    else:
        c.line(3, h / 2, w - 3, h / 2, rgb("#f6d2c8"), 0.7)


WASHI.update(draw_body=washi_body, draw_bars=washi_bars, draw_knob=washi_knob)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "skin")
    for sk in (STANDARD, WASHI):
        render(root, sk)


if __name__ == "__main__":
    main()
