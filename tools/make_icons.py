#!/usr/bin/env python3
"""Draws the program's artwork as 16-colour XPM pictures.

Run from the project root: python3 tools/make_icons.py
"""
import math
import os

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


def main():
    out = os.path.join(os.path.dirname(__file__), "..", "resources", "icons")
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


if __name__ == "__main__":
    main()
