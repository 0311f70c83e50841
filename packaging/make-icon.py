#!/usr/bin/env python3
"""Writes the program icon (the picture of TARNICON in tools/make_assets.py,
the one Mosswick.exe carries) as a PNG for Linux desktops, each pixel
enlarged to a square so the picture stays sharp.

    make-icon.py OUTPUT.png [SIZE]      (SIZE a multiple of 16, default 48)

Only the Python standard library is used."""

import struct
import sys
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tools"))
import make_assets  # noqa: E402


def enlarged(pixels, scale):
    return [[p for p in row for _ in range(scale)] for row in pixels for _ in range(scale)]


def png_rgba(pixels):
    """A PNG with an alpha channel (colour type 6), so the corners stay clear."""
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main(argv):
    if len(argv) not in (2, 3):
        raise SystemExit(__doc__)
    size = int(argv[2]) if len(argv) == 3 else 48
    picture = make_assets.TARNICON
    if size % len(picture):
        raise SystemExit(f"make-icon: the size must be a multiple of {len(picture)}")
    make_assets.check_picture("tarnicon", picture)
    pixels = enlarged(make_assets.rgba_pixels(picture), size // len(picture))
    Path(argv[1]).write_bytes(png_rgba(pixels))


if __name__ == "__main__":
    main(sys.argv)
