#!/usr/bin/env python3
"""Generates Mosswick's icons, cursors and toolbar strip from the character
pictures below.

    make_assets.py OUTPUT_DIR [--preview PREVIEW.png]

Writes into OUTPUT_DIR:
  tarnicon.ico, icon_yellow.ico, icon_green.ico, icon_skyblue.ico, icon_red.ico
      16 x 16 pictures, stored at 16, 20, 24, 32 and 48 pixels square, 32-bit colour
  splith.cur, splitv.cur, pen.cur
      monochrome 32 x 32 cursors (the 16 x 16 picture in the top-left corner)
  toolbar.bmp
      208 x 16, 8-bit palette, 13 images of 16 x 16; the background is the
      light grey (192, 192, 192) that LR_LOADMAP3DCOLORS turns into the
      button face colour
With --preview, also a PNG of every picture enlarged four times, for review.

Only the Python standard library is used.
"""

import os
import struct
import sys
import zlib

# One character per pixel. "." is transparent in icons and cursors and the
# button-face background in the toolbar strip.
PALETTE = {
    "K": (0, 0, 0),
    "W": (255, 255, 255),
    "D": (64, 64, 64),        # dark grey
    "g": (160, 160, 160),     # mid grey (not 128: that one is remapped)
    "G": (52, 110, 40),       # moss green
    "L": (140, 200, 90),      # light green
    "N": (0, 190, 0),         # bright green
    "Y": (250, 210, 0),
    "S": (90, 190, 245),      # sky blue
    "R": (220, 30, 30),
    "B": (30, 70, 200),
    "O": (170, 110, 50),      # brown
    "P": (245, 190, 150),     # skin
}
BUTTON_FACE = (192, 192, 192)

# The program icon: a moss-green speech bubble holding a leaf.
TARNICON = [
    "................",
    "..KKKKKKKKKKKK..",
    ".KGGGGGGGGGGGGK.",
    "KGGGGGGGGGLLLGGK",
    "KGGGGGGGGLLLLGGK",
    "KGGGGGGGLLLLLGGK",
    "KGGGGGGLLLLLGGGK",
    "KGGGGGLLLLLGGGGK",
    "KGGGGGLLLLGGGGGK",
    "KGGGGLGGGGGGGGGK",
    ".KGGLGGGGGGGGGK.",
    "..KKKGGKKKKKKK..",
    "....KGK.........",
    "...KGK..........",
    "..KK............",
    "................",
]

# The alert icons: the same bubble with text lines, "F" filled per colour.
ALERT_BUBBLE = [
    "................",
    "..KKKKKKKKKKKK..",
    ".KFFFFFFFFFFFFK.",
    "KFFFFFFFFFFFFFFK",
    "KFFKKKKKKKKKKFFK",
    "KFFFFFFFFFFFFFFK",
    "KFFKKKKKKKKFFFFK",
    "KFFFFFFFFFFFFFFK",
    "KFFKKKKKKFFFFFFK",
    "KFFFFFFFFFFFFFFK",
    ".KFFFFFFFFFFFFK.",
    "..KKKFFKKKKKKK..",
    "....KFK.........",
    "...KFK..........",
    "..KK............",
    "................",
]
ALERT_FILLS = {"icon_yellow": "Y", "icon_green": "N", "icon_skyblue": "S", "icon_red": "R"}

# Cursors: K black, W white, "." transparent. Hot spot per cursor.
SPLITH_CUR = [
    "......WWWW......",
    "......WKKW......",
    "......WKKW......",
    "......WKKW......",
    "...W..WKKW..W...",
    "..WKW.WKKW.WKW..",
    ".WKKWWWKKWWWKKW.",
    "WKKKKKKKKKKKKKKW",
    ".WKKWWWKKWWWKKW.",
    "..WKW.WKKW.WKW..",
    "...W..WKKW..W...",
    "......WKKW......",
    "......WKKW......",
    "......WKKW......",
    "......WWWW......",
    "................",
]
PEN_CUR = [
    "............KK..",
    "...........KWWK.",
    "..........KWWWWK",
    ".........KWWWWK.",
    "........KWWWWK..",
    ".......KWWWWK...",
    "......KWWWWK....",
    ".....KWWWWK.....",
    "....KWWWWK......",
    "...KWWWWK.......",
    "..KKWWWK........",
    "..KKKWK.........",
    ".KKKKK..........",
    ".KKKK...........",
    "KKK.............",
    "K...............",
]


def transpose(rows):
    return ["".join(row[x] for row in rows) for x in range(len(rows[0]))]


CURSORS = {
    "splith": (SPLITH_CUR, (7, 7)),
    "splitv": (transpose(SPLITH_CUR), (7, 7)),
    "pen": (PEN_CUR, (0, 15)),
}

# The toolbar strip, image 0 to 12, in the order the toolbar indexes them.
TOOLBAR = [
    ("user check", [  # a person with a check mark
        "................",
        "....KKK.........",
        "...KPPPK........",
        "...KPPPK........",
        "...KPPPK........",
        "....KKK.........",
        "..KKBBBKK.......",
        ".KBBBBBBBK......",
        ".KBBBBBBBK....NN",
        ".KBBBBBBBK...NN.",
        ".KBBBBBBBK..NN..",
        ".KKKKKKKKKNNN...",
        "......NN.NNN....",
        ".......NNNN.....",
        "........NN......",
        "................",
    ]),
    ("end", [  # a red stop sign
        "................",
        ".....KKKKKK.....",
        "....KRRRRRRK....",
        "...KRRRRRRRRK...",
        "..KRRRRRRRRRRK..",
        ".KRRRRRRRRRRRRK.",
        ".KRWWWWWWWWWWRK.",
        ".KRWWWWWWWWWWRK.",
        ".KRWWWWWWWWWWRK.",
        ".KRRRRRRRRRRRRK.",
        "..KRRRRRRRRRRK..",
        "...KRRRRRRRRK...",
        "....KRRRRRRK....",
        ".....KKKKKK.....",
        "................",
        "................",
    ]),
    ("personal send", [  # one person and an arrow towards them
        "................",
        "..........KKK...",
        ".........KPPPK..",
        ".........KPPPK..",
        ".........KPPPK..",
        "..........KKK...",
        "....K....KSSSK..",
        "....KK..KSSSSSK.",
        "KKKKKKK.KSSSSSK.",
        "KKKKKKKKKSSSSSK.",
        "KKKKKKK.KSSSSSK.",
        "....KK..KSSSSSK.",
        "....K...KKKKKKK.",
        "................",
        "................",
        "................",
    ]),
    ("clear screen", [  # an eraser wiping a page
        "................",
        ".KKKKKKKKKKK....",
        ".KWWWWWWWWWK....",
        ".KWKKKKKKKWK....",
        ".KWWWWWWWWWK....",
        ".KWKKKKKWWWK....",
        ".KWWWWWWWWWK....",
        ".KWWWWWWWWKKKK..",
        ".KWWWWWWWKRRRRK.",
        ".KWWWWWWKRRRRKK.",
        ".KWWWWWKRRRRKWK.",
        ".KWWWWKRRRRKWK..",
        ".KKKKKKWWWWKK...",
        "......KWWWKK....",
        "......KKKKK.....",
        "................",
    ]),
    ("not used", [  # a dotted frame
        "................",
        "................",
        "..g.g.g.g.g.g...",
        "................",
        "..g.........g...",
        "................",
        "..g.........g...",
        "................",
        "..g.........g...",
        "................",
        "..g.........g...",
        "................",
        "..g.g.g.g.g.g...",
        "................",
        "................",
        "................",
    ]),
    ("popup send", [  # a small window popping up
        "................",
        "......KKKKKKKKKK",
        "......KBBBBBBBWK",
        "......KKKKKKKKKK",
        "......KWWWWWWWWK",
        "......KWYYYYYYWK",
        "......KWWWWWWWWK",
        "......KWYYYYWWWK",
        "......KWWWWWWWWK",
        "..K...KKKKKKKKKK",
        "..KK............",
        "..KKK...........",
        "..KKKK..........",
        "..KKKKK.........",
        "..KKKKKK........",
        "................",
    ]),
    ("settings", [  # a gear
        "................",
        ".......DD.......",
        "...DD.DDDD.DD...",
        "...DDDDDDDDDD...",
        "....DDDDDDDD....",
        "..DDDDDggDDDDD..",
        ".DDDDDg..gDDDDD.",
        ".DDDDg....gDDDD.",
        ".DDDDg....gDDDD.",
        ".DDDDDg..gDDDDD.",
        "..DDDDDggDDDDD..",
        "....DDDDDDDD....",
        "...DDDDDDDDDD...",
        "...DD.DDDD.DD...",
        ".......DD.......",
        "................",
    ]),
    ("show log", [  # a written page with a folded corner
        "................",
        "..KKKKKKKKK.....",
        "..KWWWWWWWKK....",
        "..KWKKKKWWKWK...",
        "..KWWWWWWWKKKK..",
        "..KWKKKKKKKKWK..",
        "..KWWWWWWWWWWK..",
        "..KWKKKKKKKKWK..",
        "..KWWWWWWWWWWK..",
        "..KWKKKKKKKKWK..",
        "..KWWWWWWWWWWK..",
        "..KWKKKKKWWWWK..",
        "..KWWWWWWWWWWK..",
        "..KKKKKKKKKKKK..",
        "................",
        "................",
    ]),
    ("change status", [  # a signal light: red, yellow, green
        "................",
        ".....KKKKKK.....",
        "....KDDDDDDK....",
        "....KDRRRRDK....",
        "....KDRRRRDK....",
        "....KDDDDDDK....",
        "....KDYYYYDK....",
        "....KDYYYYDK....",
        "....KDDDDDDK....",
        "....KDNNNNDK....",
        "....KDNNNNDK....",
        "....KDDDDDDK....",
        ".....KKKKKK.....",
        ".......DD.......",
        ".......DD.......",
        ".....DDDDDD.....",
    ]),
    ("wait in tray", [  # an arrow going down into a tray
        "................",
        "......KKKK......",
        "......KBBK......",
        "......KBBK......",
        "......KBBK......",
        "...KKKKBBKKKK...",
        "....KBBBBBBK....",
        ".....KBBBBK.....",
        "......KBBK......",
        ".K.....KK.....K.",
        ".KK..........KK.",
        ".KgK........KgK.",
        ".KggKKKKKKKKggK.",
        ".KggggggggggggK.",
        ".KKKKKKKKKKKKKK.",
        "................",
    ]),
    ("machine info", [  # a computer screen on its stand
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KggggggggggggK.",
        ".KgBBBBBBBBBBgK.",
        ".KgBSSBBBBBBBgK.",
        ".KgBSBBBBBBBBgK.",
        ".KgBBBBBBBBBBgK.",
        ".KgBBBBBBBBBBgK.",
        ".KgBBBBBBBBBBgK.",
        ".KggggggggggggK.",
        ".KKKKKKKKKKKKKK.",
        "......KggK......",
        "......KggK......",
        "...KKKKKKKKKK...",
        "...KggggggggK...",
        "...KKKKKKKKKK...",
    ]),
    ("whiteboard", [  # a board on an easel with a coloured stroke
        "................",
        "KKKKKKKKKKKKKKKK",
        "KWWWWWWWWWWWWWWK",
        "KWWWWWWWWWWWWRWK",
        "KWWBBWWWWWWWRWWK",
        "KWBWWBWWWWWRWWWK",
        "KWBWWWBWWWRWWWWK",
        "KWWWWWWBWRWWWWWK",
        "KWWWWWWWBWWWWWWK",
        "KWWWWWWWWWWWWWWK",
        "KKKKKKKKKKKKKKKK",
        "...OO......OO...",
        "...OO......OO...",
        "..OO........OO..",
        "..OO........OO..",
        ".OO..........OO.",
    ]),
    ("start", [  # a green play triangle
        "................",
        "...KK...........",
        "...KNK..........",
        "...KNNK.........",
        "...KNNNK........",
        "...KNNNNK.......",
        "...KNNNNNK......",
        "...KNNNNNNK.....",
        "...KNNNNNNNK....",
        "...KNNNNNNK.....",
        "...KNNNNNK......",
        "...KNNNNK.......",
        "...KNNNK........",
        "...KNNK.........",
        "...KNK..........",
        "...KK...........",
    ]),
]


def check_picture(name, rows, size=16):
    if len(rows) != size or any(len(r) != size for r in rows):
        raise SystemExit(f"make_assets: picture '{name}' is not {size} x {size}")
    for r in rows:
        for c in r:
            if c != "." and c not in PALETTE:
                raise SystemExit(f"make_assets: picture '{name}' uses unknown colour '{c}'")


def rgba_pixels(rows):
    """Rows of (r, g, b, a) from a character picture."""
    return [[(0, 0, 0, 0) if c == "." else PALETTE[c] + (255,) for c in row] for row in rows]


# The sizes Windows asks an icon for at 100% to 200% scaling: the small icon
# (16, 20, 24, 32) and the large one (32, 48). The 16-pixel image stays first.
ICON_SIZES = (16, 20, 24, 32, 48)


def scaled(pixels, size):
    """A square picture scaled to size x size, each pixel taken from the
    nearest source pixel so the picture keeps its hard edges."""
    source = len(pixels)
    return [[pixels[y * source // size][x * source // size] for x in range(size)] for y in range(size)]


def mask_rows(bits_rows):
    """1-bit rows (lists of 0/1), bottom-up, each padded to 4 bytes."""
    data = b""
    for row in reversed(bits_rows):
        raw = bytearray((len(row) + 7) // 8)
        for x, bit in enumerate(row):
            if bit:
                raw[x // 8] |= 0x80 >> (x % 8)
        while len(raw) % 4:
            raw.append(0)
        data += bytes(raw)
    return data


def icon_image(pixels):
    """One 32-bit icon image: header, colour data and AND mask."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask = mask_rows([[1 if p[3] == 0 else 0 for p in row] for row in pixels])
    return header + colour + mask


def icon_file(pixels16):
    images = [(size, icon_image(scaled(pixels16, size))) for size in ICON_SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def cursor_file(rows, hotspot):
    """A monochrome 32 x 32 cursor with the picture in its top-left corner."""
    size = 32
    xor_bits = [[0] * size for _ in range(size)]
    and_bits = [[1] * size for _ in range(size)]
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c == "K":
                and_bits[y][x] = 0
            elif c == "W":
                and_bits[y][x] = 0
                xor_bits[y][x] = 1
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = header + palette + mask_rows(xor_bits) + mask_rows(and_bits)
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(data), 6 + 16)
    return out + data


def toolbar_bitmap():
    """The 13 toolbar images side by side as an 8-bit palette bitmap."""
    colours = [BUTTON_FACE] + [PALETTE[k] for k in sorted(PALETTE)]
    index = {".": 0}
    index.update({k: i + 1 for i, k in enumerate(sorted(PALETTE))})
    width = 16 * len(TOOLBAR)
    rows = ["".join(pic[y] for _, pic in TOOLBAR) for y in range(16)]
    pixels = b"".join(bytes(index[c] for c in row) for row in reversed(rows))
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, 16, 1, 8, 0, len(pixels), 2835, 2835,
                       len(colours), len(colours))
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def write_png(path, pixels):
    """RGB PNG of a picture given as rows of (r, g, b) tuples."""
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def preview(path, pictures, scale=4):
    """Every picture in one row, enlarged, on the button face, 4 pixels apart."""
    gap = 4
    width = len(pictures) * (16 + gap) * scale
    canvas = [[BUTTON_FACE] * width for _ in range(16 * scale)]
    for i, rows in enumerate(pictures):
        x0 = i * (16 + gap) * scale
        for y, row in enumerate(rows):
            for x, c in enumerate(row):
                colour = BUTTON_FACE if c == "." else PALETTE[c]
                for dy in range(scale):
                    for dx in range(scale):
                        canvas[y * scale + dy][x0 + x * scale + dx] = colour
    write_png(path, canvas)


def write(path, data):
    """Writes only when the content changed, so builds stay incremental."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--preview"):
        raise SystemExit(__doc__)
    out = argv[1]
    os.makedirs(out, exist_ok=True)

    check_picture("tarnicon", TARNICON)
    check_picture("alert bubble", [r.replace("F", "Y") for r in ALERT_BUBBLE])
    for name, (rows, _) in CURSORS.items():
        check_picture(name, rows)
    for name, rows in TOOLBAR:
        check_picture(name, rows)
    if len(TOOLBAR) != 13:
        raise SystemExit("make_assets: the toolbar strip needs 13 images")
    if len({tuple(rows) for _, rows in TOOLBAR}) != len(TOOLBAR):
        raise SystemExit("make_assets: two toolbar images are the same")

    icons = {"tarnicon": TARNICON}
    for name, fill in ALERT_FILLS.items():
        icons[name] = [r.replace("F", fill) for r in ALERT_BUBBLE]
    for name, rows in icons.items():
        write(os.path.join(out, name + ".ico"), icon_file(rgba_pixels(rows)))
    for name, (rows, hotspot) in CURSORS.items():
        write(os.path.join(out, name + ".cur"), cursor_file(rows, hotspot))
    write(os.path.join(out, "toolbar.bmp"), toolbar_bitmap())

    if len(argv) == 4:
        pictures = list(icons.values()) + [rows for rows, _ in CURSORS.values()]
        pictures += [rows for _, rows in TOOLBAR]
        preview(argv[3], pictures)


if __name__ == "__main__":
    main(sys.argv)
