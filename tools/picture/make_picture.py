#!/usr/bin/env python3
"""Renders the About panel's picture and writes it as constant C++ data.

The picture is 100 x 200 pixels, three bytes per pixel (red, green, blue),
rows top to bottom. It is split into chunks of 8192 bytes, the way the
module's PanelPicture reads it, and written to panels/picture_data.cpp.

    python3 tools/picture/make_picture.py [--output FILE] [--preview FILE.png]

Run from anywhere; the default output is panels/picture_data.cpp in this
repository. --preview also writes the picture as a PNG to look at. Only the
standard library is used, and the rendering is plain arithmetic, so the same
script gives the same bytes every time.
"""

import argparse
import math
import os
import struct
import sys
import zlib

WIDTH = 100
HEIGHT = 200
CHUNK_SIZE = 8192
SUPERSAMPLE = 4  # samples per pixel along each axis

BALL_X, BALL_Y, BALL_R = 50.0, 74.0, 30.0
FLOOR_Y = 124.0  # where the ball's shadow lies


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def smoothstep(e0, e1, v):
    t = clamp01((v - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


LIGHT = normalise((-0.55, -0.65, 0.55))
VIEW = (0.0, 0.0, 1.0)
HALF = normalise(tuple(LIGHT[i] + VIEW[i] for i in range(3)))


def background(x, y):
    """Night-blue gradient with a soft glow behind the ball and a floor."""
    top = (14.0, 20.0, 46.0)
    bottom = (58.0, 66.0, 112.0)
    c = mix(top, bottom, y / HEIGHT)
    d = math.hypot(x - BALL_X, (y - BALL_Y) * 0.9)
    glow = math.exp(-(d / 48.0) ** 2) * 0.55
    c = mix(c, (90.0, 120.0, 190.0), glow)
    if y > FLOOR_Y - 8.0:
        # A floor in perspective: lines converge on a point behind the ball.
        # Distances to the nearest line are taken in pixels, so every line
        # stays about one pixel wide however near it is.
        span = HEIGHT - FLOOR_Y + 8.0
        depth = (y - (FLOOR_Y - 8.0)) / span
        fade = smoothstep(0.0, 0.25, depth) * (1.0 - 0.35 * depth)
        scale = 0.35 + depth * 1.6
        u = (x - BALL_X) / scale
        across = abs(u / 14.0 - round(u / 14.0)) * 14.0 * scale
        v = 1.0 / (0.08 + depth)
        pixels_per_v = (0.08 + depth) ** 2 * span
        along = abs(v - round(v)) * pixels_per_v
        grid = max(1.0 - smoothstep(0.0, 0.9, across),
                   1.0 - smoothstep(0.0, 0.9, along))
        c = mix(c, (120.0, 150.0, 215.0), grid * fade * 0.45)
    return c


def shadow(x, y, c):
    dx = (x - BALL_X) / (BALL_R * 1.05)
    dy = (y - FLOOR_Y) / (BALL_R * 0.2)
    s = math.exp(-(dx * dx + dy * dy) * 1.6) * 0.75
    return mix(c, (4.0, 6.0, 16.0), s)


def ball(x, y):
    """Colour of the ball at (x, y), or None outside it."""
    nx = (x - BALL_X) / BALL_R
    ny = (y - BALL_Y) / BALL_R
    rr = nx * nx + ny * ny
    if rr > 1.0:
        return None
    nz = math.sqrt(1.0 - rr)
    n = (nx, ny, nz)
    diffuse = max(0.0, sum(n[i] * LIGHT[i] for i in range(3)))
    specular = max(0.0, sum(n[i] * HALF[i] for i in range(3))) ** 60
    rim = (1.0 - nz) ** 3
    base = (200.0, 58.0, 34.0)  # a glossy red ball
    c = tuple(base[i] * (0.16 + 0.84 * diffuse) for i in range(3))
    # Blue sky light from below-right gives the dark side some shape.
    c = mix(c, (80.0, 130.0, 235.0), clamp01(rim * 0.9 * (0.45 + 0.55 * ny)))
    # Soft highlight: a broad sheen and a sharp glint.
    sheen = math.exp(-((nx + 0.38) ** 2 + (ny + 0.45) ** 2) / 0.05) * 0.35
    c = mix(c, (255.0, 235.0, 220.0), clamp01(sheen + specular))
    return c


def segment_distance(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = clamp01(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy))
    return math.hypot(px - (ax + vx * t), py - (ay + vy * t))


def in_triangle(px, py, a, b, c):
    def side(p1, p2):
        return (px - p2[0]) * (p1[1] - p2[1]) - (p1[0] - p2[0]) * (py - p2[1])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def make_arrows():
    """Six short arrows pointing away from the ball: the device's axes."""
    axes = [
        ((1.0, 0.0), (235.0, 90.0, 80.0)),     # X
        ((0.0, -1.0), (110.0, 215.0, 110.0)),  # Y
        (normalise((-0.8, 0.6, 0.0))[:2], (245.0, 205.0, 70.0)),  # Z
    ]
    arrows = []
    for (dx, dy), colour in axes:
        for sign in (1.0, -1.0):
            ux, uy = dx * sign, dy * sign
            start = BALL_R + 3.0
            length = 11.0 if abs(ux) > 0.9 else 10.0
            ax, ay = BALL_X + ux * start, BALL_Y + uy * start
            tip = (BALL_X + ux * (start + length), BALL_Y + uy * (start + length))
            neck = (tip[0] - ux * 5.0, tip[1] - uy * 5.0)
            wing = (-uy * 3.6, ux * 3.6)
            head = (tip, (neck[0] + wing[0], neck[1] + wing[1]),
                    (neck[0] - wing[0], neck[1] - wing[1]))
            arrows.append(((ax, ay), neck, head, colour))
    return arrows


ARROWS = make_arrows()


def arrow_colour(x, y):
    for (ax, ay), neck, head, colour in ARROWS:
        if segment_distance(x, y, ax, ay, neck[0], neck[1]) <= 1.1:
            return colour
        if in_triangle(x, y, *head):
            return colour
    return None


# A 5 x 7 pixel font for the caption.
FONT = {
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    " ": ["00000"] * 7,
}


def caption_pixels():
    """Pixel positions of the caption, each with its colour."""
    lines = [("SPACEBALL", 150, (235.0, 240.0, 255.0)),
             ("6 DOF", 162, (245.0, 205.0, 70.0))]
    pixels = {}
    for text, top, colour in lines:
        width = len(text) * 6 - 1
        left = (WIDTH - width) // 2
        for i, ch in enumerate(text):
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        px, py = left + i * 6 + col, top + row
                        pixels[(px + 1, py + 1)] = pixels.get(
                            (px + 1, py + 1), (6.0, 8.0, 20.0))
                        pixels[(px, py)] = colour
    return pixels


def render():
    caption = caption_pixels()
    rows = []
    step = 1.0 / SUPERSAMPLE
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            if (px, py) in caption:
                row.append(caption[(px, py)])
                continue
            total = [0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = px + (sx + 0.5) * step
                    y = py + (sy + 0.5) * step
                    c = arrow_colour(x, y) or ball(x, y)
                    if c is None:
                        c = shadow(x, y, background(x, y))
                    for i in range(3):
                        total[i] += c[i]
            n = SUPERSAMPLE * SUPERSAMPLE
            row.append(tuple(t / n for t in total))
        rows.append(row)
    data = bytearray()
    for row in rows:
        for c in row:
            data.extend(int(round(min(255.0, max(0.0, v)))) for v in c)
    return bytes(data)


def write_cpp(data, path):
    chunks = [data[i:i + CHUNK_SIZE] for i in range(0, len(data), CHUNK_SIZE)]
    out = []
    out.append("// Generated by tools/picture/make_picture.py. Do not edit: change the")
    out.append("// script and run it again.")
    out.append("//")
    out.append(f"// The About panel's picture, {WIDTH} x {HEIGHT} pixels, red, green, blue")
    out.append(f"// per pixel, rows top to bottom: {len(data)} bytes in {len(chunks)} "
               f"chunks of {CHUNK_SIZE}")
    out.append("// bytes, the last one holding the rest.")
    out.append("// clang-format off")
    out.append('#include "panels/picture_data.h"')
    out.append("")
    out.append("namespace panels::picture_data {")
    out.append("")
    out.append("namespace {")
    out.append("")
    for index, chunk in enumerate(chunks):
        out.append(f"constexpr std::uint8_t kChunk{index}[{len(chunk)}] = {{")
        for start in range(0, len(chunk), 16):
            part = chunk[start:start + 16]
            out.append("    " + ", ".join(str(b) for b in part) + ",")
        out.append("};")
        out.append("")
    out.append("}  // namespace")
    out.append("")
    for index, chunk in enumerate(chunks):
        out.append(f"static_assert(sizeof(kChunk{index}) == {len(chunk)});")
    out.append("")
    out.append("const std::uint8_t* const kChunks[kChunkCount] = {")
    out.append("    " + ", ".join(f"kChunk{i}" for i in range(len(chunks))) + ",")
    out.append("};")
    out.append("")
    out.append("}  // namespace panels::picture_data")
    out.append("// clang-format on")
    text = "\n".join(out) + "\n"
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def write_png(data, path):
    raw = bytearray()
    stride = WIDTH * 3
    for y in range(HEIGHT):
        raw.append(0)
        raw.extend(data[y * stride:(y + 1) * stride])

    def chunk(kind, payload):
        body = kind + payload
        return (struct.pack(">I", len(payload)) + body +
                struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    repo = os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output",
                        default=os.path.join(repo, "panels", "picture_data.cpp"))
    parser.add_argument("--preview", help="also write the picture as a PNG")
    args = parser.parse_args()
    data = render()
    assert len(data) == WIDTH * HEIGHT * 3
    write_cpp(data, args.output)
    if args.preview:
        write_png(data, args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main())
