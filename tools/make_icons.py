#!/usr/bin/env python3
"""Draws the program's artwork as 16-colour XPM pictures, compiled into the program, and the
program icon as PNG files in the sizes desktops look for, installed with it.

Run from the project root: python3 tools/make_icons.py
"""
import math
import os
import struct
import zlib

# The 16 colours of the classic VGA palette.
PALETTE = {
    "k": "#000000", "r": "#800000", "g": "#008000", "y": "#808000",
    "b": "#000080", "m": "#800080", "c": "#008080", "s": "#C0C0C0",
    "d": "#808080", "R": "#FF0000", "G": "#00FF00", "Y": "#FFFF00",
    "B": "#0000FF", "M": "#FF00FF", "C": "#00FFFF", "w": "#FFFFFF",
}


def render(size, paint):
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            # Sample at the pixel centre in a 0..1 square.
            row += paint((x + 0.5) / size, (y + 0.5) / size) or " "
        rows.append(row)
    return rows


def to_xpm(name, rows):
    used = sorted({ch for row in rows for ch in row})
    lines = [f'"{len(rows[0])} {len(rows)} {len(used)} 1",']
    for ch in used:
        colour = "None" if ch == " " else PALETTE[ch]
        lines.append(f'"{ch} c {colour}",')
    lines += [f'"{row}",' for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    return f"/* XPM */\nstatic char *{name}[] = {{\n" + "\n".join(lines) + "\n};\n"


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def to_png(size, paint, samples):
    """An 8-bit RGBA PNG; samples x samples points a pixel smooth the edges of large sizes."""
    raw = bytearray()
    for y in range(size):
        raw.append(0)  # no filter
        for x in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    ch = paint((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size)
                    if ch:
                        colour = PALETTE[ch]
                        r += int(colour[1:3], 16)
                        g += int(colour[3:5], 16)
                        b += int(colour[5:7], 16)
                        a += 1
            if a:
                # Average the covered points only, so that edges do not darken.
                raw += bytes((r // a, g // a, b // a, 255 * a // (samples * samples)))
            else:
                raw += bytes(4)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def feather(x, y):
    """A quill lying from the lower left to the upper right corner."""
    # Coordinates along (u) and across (v) the quill's axis.
    u = (x - 0.12) * 0.7071 - (y - 0.88) * 0.7071
    v = (x - 0.12) * 0.7071 + (y - 0.88) * 0.7071
    length = 1.05
    if u < 0 or u > length:
        return None
    if abs(v) < 0.025 and u < 0.2:
        return "k" if u < 0.07 else "d"  # nib and bare shaft
    half = 0.17 * math.sin(math.pi * min(1.0, (u - 0.15) / 0.9)) if u > 0.15 else 0
    if abs(v) <= half:
        if abs(v) < 0.02:
            return "d"  # the shaft through the vane
        barb = (u * 14 + abs(v) * 9) % 1.0
        return "s" if barb < 0.18 else "w"
    return None


def program_icon(x, y):
    quill = feather(x, y)
    if quill:
        return quill
    # A film frame behind the quill.
    if 0.08 < x < 0.92 and 0.2 < y < 0.8:
        if y < 0.3 or y > 0.7:
            hole = (x * 8) % 1.0
            return "w" if 0.35 < hole < 0.65 and (0.22 < y < 0.28 or 0.72 < y < 0.78) else "k"
        return "b" if (x + y) < 1.0 else "c"
    return None


def quill_on_page(x, y):
    quill = feather(x, y)
    if quill:
        return quill
    if 0.18 < x < 0.82 and 0.06 < y < 0.94:
        if 0.25 < x < 0.75 and int(y * 16) % 2 == 0 and 0.12 < y < 0.88:
            return "d"  # lines of writing
        return "Y" if x > 0.78 or y > 0.9 else "w"
    return None


def film_reel(x, y):
    dx, dy = x - 0.5, y - 0.5
    r = math.hypot(dx, dy)
    if r > 0.47:
        return None
    if r > 0.42:
        return "k"
    if r < 0.07:
        return "k"
    angle = math.atan2(dy, dx)
    for i in range(5):
        a = i * 2 * math.pi / 5
        hx, hy = 0.25 * math.cos(a), 0.25 * math.sin(a)
        if math.hypot(dx - hx, dy - hy) < 0.1:
            return "b"
    return "s" if (angle * 5 / math.pi) % 2 < 1 else "d"


# The id that names the installed desktop entry, metadata and icon.
APP_ID = "org.tarnwick.Quillory"
HICOLOR_SIZES = (16, 32, 48, 64, 128, 256)


def main():
    root = os.path.join(os.path.dirname(__file__), "..")
    out = os.path.join(root, "resources", "icons")
    os.makedirs(out, exist_ok=True)
    pictures = {
        "quillory-16": (16, program_icon),
        "quillory-32": (32, program_icon),
        "quill-32": (32, quill_on_page),
        "reel-32": (32, film_reel),
    }
    for name, (size, paint) in pictures.items():
        with open(os.path.join(out, name + ".xpm"), "w") as f:
            f.write(to_xpm(name.replace("-", "_"), render(size, paint)))
    # The small sizes stay pixel for pixel the compiled-in pictures.
    for size in HICOLOR_SIZES:
        folder = os.path.join(root, "resources", "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, APP_ID + ".png"), "wb") as f:
            f.write(to_png(size, program_icon, 1 if size <= 32 else 4))


if __name__ == "__main__":
    main()
