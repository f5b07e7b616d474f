#!/usr/bin/python3
"""Draw Korvane's window pictures and application icons.

Everything is drawn from Pillow primitives, so the output is the same on
every run with the same Pillow. Run from anywhere:

    python3 tools/draw_pictures.py

Writes (relative to the repository root):
    window/images/signal.jpg        50 x 67 JPEG, crossing signal
    window/images/truck.gif         82 x 30 GIF87a, 256-colour palette
    window/images/locomotive.gif    154 x 223 GIF87a, black and white
    data/icons/korvane.svg          the crossing signal as the app icon
    data/icons/16x16/korvane.png    the same drawn pixel by pixel for 16 pixels
    data/icons/48x48/korvane.png
    data/icons/256x256/korvane.png
"""

import math
import sys
from pathlib import Path

from PIL import Image, ImageDraw

ROOT = Path(__file__).resolve().parent.parent
SS = 8  # supersampling factor for the anti-aliased pictures

GREY = (170, 170, 170)
MAST = (110, 110, 115)
DARK = (30, 30, 30)
WHITE = (255, 255, 255)
RED = (220, 20, 20)
BLACK = (0, 0, 0)


def board(cx, cy, half_len, half_wid, degrees):
    """Corners of a crossbuck board: a rectangle rotated about its centre."""
    a = math.radians(degrees)
    ux, uy = math.cos(a), math.sin(a)
    vx, vy = -uy, ux
    return [
        (cx + sx * half_len * ux + sy * half_wid * vx, cy + sx * half_len * uy + sy * half_wid * vy)
        for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1))
    ]


def signal_shapes(cx, top, lights_y, mast_w, light_r, buck_len, buck_wid, bottom):
    """The crossing signal without gate arm, as (kind, points, fill, outline) in picture units."""
    buck_y = top + buck_len * 0.72
    plate_w, plate_h = light_r * 5.2, light_r * 2.8
    return [
        ("rect", [(cx - mast_w / 2, buck_y), (cx + mast_w / 2, bottom)], MAST, DARK),
        ("poly", board(cx, buck_y, buck_len, buck_wid, 40), WHITE, DARK),
        ("poly", board(cx, buck_y, buck_len, buck_wid, -40), WHITE, DARK),
        ("rect", [(cx - plate_w / 2, lights_y - plate_h / 2),
                  (cx + plate_w / 2, lights_y + plate_h / 2)], BLACK, None),
        ("ellipse", [(cx - light_r * 2.3, lights_y - light_r), (cx - light_r * 0.3, lights_y + light_r)],
         RED, None),
        ("ellipse", [(cx + light_r * 0.3, lights_y - light_r), (cx + light_r * 2.3, lights_y + light_r)],
         RED, None),
    ]


def paint(draw, shapes, scale, line):
    for kind, pts, fill, outline in shapes:
        pts = [(x * scale, y * scale) for x, y in pts]
        width = round(line * scale) if outline else 0
        if kind == "rect":
            draw.rectangle(pts, fill=fill, outline=outline, width=width)
        elif kind == "ellipse":
            draw.ellipse(pts, fill=fill, outline=outline, width=width)
        else:
            draw.polygon(pts, fill=fill, outline=outline, width=width)


def draw_signal():
    img = Image.new("RGB", (50 * SS, 67 * SS), GREY)
    d = ImageDraw.Draw(img)
    cx = 32
    paint(d, signal_shapes(cx, 2, 29, 4, 3.2, 14, 2.6, 64), SS, 0.7)
    # Base plate of the mast.
    paint(d, [("rect", [(cx - 6, 62), (cx + 6, 65)], MAST, DARK)], SS, 0.7)
    # Gate arm: red and white stripes from the mast out to the left.
    y0, y1, x_end, stripe = 41, 45, 1, 5
    for i, x in enumerate(range(cx - 2, x_end, -stripe)):
        colour = RED if i % 2 == 0 else WHITE
        d.rectangle([max(x - stripe, x_end) * SS, y0 * SS, x * SS, y1 * SS], fill=colour)
    d.rectangle([x_end * SS, y0 * SS, (cx - 2) * SS, y1 * SS], outline=DARK, width=SS // 2)
    # Pivot box holding the arm on the mast.
    d.rectangle([(cx - 4) * SS, 39 * SS, (cx + 4) * SS, 47 * SS], fill=DARK)
    return img.resize((50, 67), Image.LANCZOS)


def draw_truck():
    """Tractor-trailer facing right; drawn large, then reduced to grey levels."""
    img = Image.new("L", (82 * SS, 30 * SS), 255)
    d = ImageDraw.Draw(img)
    s = lambda *v: [c * SS for c in v]
    d.rectangle(s(1, 2, 55, 21), fill=0)  # box trailer
    d.rectangle(s(1, 21, 80, 23), fill=0)  # chassis
    d.polygon(s(58, 4, 69, 4, 71, 12, 81, 13, 81, 23, 58, 23), fill=0)  # cab and hood
    d.polygon(s(63, 6, 68, 6, 70, 12, 63, 12), fill=255)  # windshield
    for x in (8, 17, 49, 58, 74):  # wheels, with light hubs
        d.ellipse(s(x - 4, 21, x + 4, 29), fill=0)
        d.ellipse(s(x - 1.2, 23.8, x + 1.2, 26.2), fill=190)
    small = img.resize((82, 30), Image.LANCZOS)
    pal = Image.frombytes("P", small.size, small.tobytes())
    pal.putpalette([v for g in range(256) for v in (g, g, g)])
    return pal


def draw_locomotive():
    """Locomotive seen from the front, bold shapes so it survives scaling to 33 x 47."""
    img = Image.new("P", (154, 223), 1)  # index 0 black, 1 white
    img.putpalette([0, 0, 0, 255, 255, 255])
    d = ImageDraw.Draw(img)
    d.ellipse([24, 6, 130, 70], fill=0)  # rounded roof
    d.rectangle([24, 38, 130, 168], fill=0)  # body
    d.ellipse([64, 14, 90, 40], fill=1)  # headlight
    d.ellipse([72, 22, 82, 32], fill=0)
    d.polygon([(34, 54), (70, 50), (70, 96), (34, 96)], fill=1)  # cab windows
    d.polygon([(84, 50), (120, 54), (120, 96), (84, 96)], fill=1)
    for x in (44, 110):  # lower marker lights
        d.ellipse([x - 8, 130, x + 8, 146], fill=1)
    d.rectangle([12, 166, 142, 180], fill=0)  # buffer beam
    for x in (30, 124):  # wheels standing on the rails
        d.rectangle([x - 10, 180, x + 10, 201], fill=0)
        d.rectangle([x - 14, 204, x + 14, 209], fill=0)  # rail head
        d.rectangle([x - 3, 209, x + 3, 215], fill=0)  # web
        d.rectangle([x - 16, 215, x + 16, 218], fill=0)  # foot
    d.rectangle([2, 219, 152, 222], fill=0)  # sleeper
    d.polygon([(46, 180), (108, 180), (92, 206), (62, 206)], fill=0)  # pilot
    for x in (60, 73, 86):  # cowcatcher slats
        d.polygon([(x, 184), (x + 8, 184), (x + 5, 200), (x + 3, 200)], fill=1)
    return img


def lzw(pixels, min_size):
    """GIF variant of LZW: variable-width codes, packed LSB first."""
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    out, acc, nacc = bytearray(), 0, 0

    def emit(code, width):
        nonlocal acc, nacc
        acc |= code << nacc
        nacc += width
        while nacc >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nacc -= 8

    def fresh():
        return {bytes([i]): i for i in range(clear)}, eoi + 1, min_size + 1

    table, nxt, width = fresh()
    emit(clear, width)
    w = b""
    for k in pixels:
        wk = w + bytes([k])
        if wk in table:
            w = wk
            continue
        emit(table[w], width)
        if nxt == 4096:  # table full: start over
            emit(clear, width)
            table, nxt, width = fresh()
        else:
            table[wk] = nxt
            nxt += 1
            if nxt - 1 == 1 << width:
                width += 1
        w = bytes([k])
    emit(table[w], width)
    emit(eoi, width)
    if nacc:
        out.append(acc & 0xFF)
    return bytes(out)


def gif87a_two_colour(img):
    """Pillow pads a GIF palette to at least four entries; write a true 1-bit GIF87a here."""
    w, h = img.size
    data = lzw(img.tobytes(), 2)  # 2 is the smallest code size GIF allows
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    return (b"GIF87a" + w.to_bytes(2, "little") + h.to_bytes(2, "little") + bytes([0x80, 0, 0])
            + bytes(BLACK + WHITE)
            + b"," + bytes(4) + w.to_bytes(2, "little") + h.to_bytes(2, "little") + b"\0"
            + b"\2" + blocks + b"\0;")


ICON_SHAPES = signal_shapes(32, 3.5, 45, 6, 6, 20, 4, 62)


def icon_png(size):
    img = Image.new("RGBA", (size * 4, size * 4), (0, 0, 0, 0))
    paint(ImageDraw.Draw(img), ICON_SHAPES, size * 4 / 64, 1.2)
    return img.resize((size, size), Image.LANCZOS)


# The icon at 16 pixels (title bars, taskbar, Start menu lists), drawn for that size: the large
# drawing scaled down keeps only the red lights, its thin outlines fading into the boards. Here
# the crossbuck's boards are white, two pixels wide at 45 degrees, ringed with the dark outline,
# so that the cross shows on light backgrounds by its outline and on dark ones by its white;
# the lamp housing is black in a mast-grey frame, so that it shows on dark backgrounds too.
# No mast: there is no room for it below the lights.
ICON_16 = [
    "..KKKK....KKKK..",
    "..KWWKK..KKWWK..",
    "..KKWWKKKKWWKK..",
    "...KKWWKKWWKK...",
    "....KKWWWWKK....",
    ".....KKWWKK.....",
    "....KKWWWWKK....",
    "...KKWWKKWWKK...",
    "..KKWWKKKKWWKK..",
    "..KWWKK..KKWWK..",
    ".GGGGGGGGGGGGGG.",
    ".GBRRBBBBBBRRBG.",
    ".GRRRRBBBBRRRRG.",
    ".GRRRRBBBBRRRRG.",
    ".GBRRBBBBBBRRBG.",
    ".GGGGGGGGGGGGGG.",
]
ICON_16_COLOURS = {".": (0, 0, 0, 0), "K": DARK + (255,), "W": WHITE + (255,),
                   "G": MAST + (255,), "B": BLACK + (255,), "R": RED + (255,)}


def icon_16():
    check(len(ICON_16) == 16 and all(len(row) == 16 for row in ICON_16), "ICON_16 is not 16 x 16")
    img = Image.new("RGBA", (16, 16))
    img.putdata([ICON_16_COLOURS[c] for row in ICON_16 for c in row])
    return img


def icon_svg():
    def hexc(c):
        return "#%02x%02x%02x" % c

    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">']
    for kind, pts, fill, outline in ICON_SHAPES:
        stroke = f' stroke="{hexc(outline)}" stroke-width="1.2"' if outline else ""
        (x0, y0), (x1, y1) = pts[0], pts[-1]
        if kind == "rect":
            out.append(f'  <rect x="{x0:g}" y="{y0:g}" width="{x1 - x0:g}" height="{y1 - y0:g}" '
                       f'fill="{hexc(fill)}"{stroke}/>')
        elif kind == "ellipse":
            out.append(f'  <ellipse cx="{(x0 + x1) / 2:g}" cy="{(y0 + y1) / 2:g}" rx="{(x1 - x0) / 2:g}" '
                       f'ry="{(y1 - y0) / 2:g}" fill="{hexc(fill)}"{stroke}/>')
        else:
            p = " ".join(f"{x:.2f},{y:.2f}" for x, y in pts)
            out.append(f'  <polygon points="{p}" fill="{hexc(fill)}"{stroke} stroke-linejoin="round"/>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def check(cond, what):
    if not cond:
        sys.exit(f"draw_pictures: {what}")


def gif_palette_entries(path):
    head = path.read_bytes()[:13]
    check(head[:6] == b"GIF87a", f"{path} is not GIF87a")
    check(head[10] & 0x80, f"{path} has no global palette")
    return 2 << (head[10] & 0x07)


def main():
    images = ROOT / "window" / "images"
    icons = ROOT / "data" / "icons"
    for p in (images, icons / "16x16", icons / "48x48", icons / "256x256"):
        p.mkdir(parents=True, exist_ok=True)

    signal = images / "signal.jpg"
    draw_signal().save(signal, "JPEG", quality=95)
    with Image.open(signal) as im:
        check(im.size == (50, 67) and im.mode == "RGB", f"{signal}: {im.size} {im.mode}")
    check(signal.read_bytes()[6:11] == b"JFIF\0", f"{signal} is not JFIF")

    truck = images / "truck.gif"
    draw_truck().save(truck, "GIF", optimize=False)
    check(gif_palette_entries(truck) == 256, f"{truck} palette is not 256 entries")
    with Image.open(truck) as im:
        # Pillow reports an all-grey palette as mode "L"; the file itself is paletted.
        check(im.size == (82, 30), f"{truck}: {im.size}")

    loco = images / "locomotive.gif"
    drawn = draw_locomotive()
    loco.write_bytes(gif87a_two_colour(drawn))
    check(gif_palette_entries(loco) == 2, f"{loco} palette is not 2 entries")
    with Image.open(loco) as im:
        check(im.size == (154, 223), f"{loco}: {im.size}")
        check(im.convert("RGB").tobytes() == drawn.convert("RGB").tobytes(), f"{loco} does not decode back")

    (icons / "korvane.svg").write_text(icon_svg(), encoding="utf-8")
    small = icons / "16x16" / "korvane.png"
    icon_16().save(small, "PNG")
    with Image.open(small) as im:
        check(im.size == (16, 16) and im.mode == "RGBA", f"{small}: {im.size} {im.mode}")
    for size in (48, 256):
        path = icons / f"{size}x{size}" / "korvane.png"
        icon_png(size).save(path, "PNG")
        with Image.open(path) as im:
            check(im.size == (size, size), f"{path}: {im.size}")


if __name__ == "__main__":
    main()
