#!/usr/bin/env python3
"""Writes the program's icons and logo from the pixel art in art/.

The binaries in this folder are build inputs for the .rc file; they are kept in
the repository so a Windows build needs no Python, and this script is the only
way they should change. Run it after editing art/*.txt and commit its output:

    python3 resources/make_images.py [output-folder]

Output depends on nothing but the art files, this script and zlib (no
timestamps, no dict-order or float surprises), so
tests/resources/check_images.py can demand byte-identical files.
"""

import struct
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
ART = HERE / "art"

# The standard Windows 16-colour (VGA) palette, in DIB index order.
VGA_PALETTE = (
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
)

# Characters used in art/*.txt; "." is transparent. Dark colours are lower
# case, their bright partners upper case.
LEGEND = {
    ".": None,
    "K": 0,
    "r": 1,
    "g": 2,
    "y": 3,
    "b": 4,
    "m": 5,
    "c": 6,
    "s": 7,
    "d": 8,
    "R": 9,
    "G": 10,
    "Y": 11,
    "B": 12,
    "M": 13,
    "C": 14,
    "W": 15,
}

# Every size Windows asks an icon for at 100 to 200 % (SM_CXSMICON and
# SM_CXICON: 16 and 32, 20 and 40, 24 and 48, 32 and 64). The sizes up to 32
# have art of their own; the larger ones grow from the 32, since growing pixel
# art drops none of its lines and shrinking it would.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64)
ART_SIZES = (16, 20, 24, 32)
ICON_FILES = (("daymarker.ico", "stopwatch"), ("about.ico", "balloon"))

LOGO_NAME = "logo.bmp"
LOGO_WIDTH = 124
LOGO_HEIGHT = 76


def load_art(name, size):
    """Returns rows of palette indices (None = transparent) from art/<name>.txt."""
    path = ART / (name + ".txt")
    rows = []
    for number, line in enumerate(path.read_text(encoding="ascii").splitlines(), 1):
        line = line.rstrip()
        if not line or line.startswith("#"):
            continue
        if len(line) != size:
            raise ValueError(f"{path}:{number}: row is {len(line)} wide, want {size}")
        try:
            rows.append([LEGEND[ch] for ch in line])
        except KeyError as err:
            raise ValueError(f"{path}:{number}: unknown colour {err}") from None
    if len(rows) != size:
        raise ValueError(f"{path}: {len(rows)} rows, want {size}")
    return rows


def grown(pixels, size):
    """The art at size by nearest neighbour, its doubled rows and columns mirrored
    about the middle so a symmetric drawing stays symmetric."""
    art = len(pixels)

    def source(x):
        return x * art // size if 2 * x < size else art - 1 - source(size - 1 - x)

    return [[pixels[source(y)][source(x)] for x in range(size)] for y in range(size)]


def row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_image(pixels):
    """An 8-bit RGBA PNG: transparent pixels have alpha 0, the others the art's colour, opaque."""
    raw = bytearray()
    for row in pixels:
        raw += b"\0"  # filter type 0: pixel art compresses best unfiltered
        for index in row:
            raw += bytes(4) if index is None else bytes(VGA_PALETTE[index]) + b"\xff"
    size = len(pixels)
    # zlib writes the same stream for the same input and level every time (a
    # different deflate, zlib-ng's say, need not: the image check would say so).
    return (
        b"\x89PNG\r\n\x1a\n"
        # 8 bits per channel, colour with alpha, deflate, no interlacing
        + png_chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
        + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + png_chunk(b"IEND", b"")
    )


def icon_file(images):
    """An .ico holding square PNG images, which Windows reads from Vista on."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, pixels in images:
        blob = png_image(pixels)
        # Windows documents PNG icon images as 32-bit ARGB; Wine decodes any PNG.
        # No palette, one plane, 32 bits per pixel: what the PNG holds.
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return directory + b"".join(blobs)


# The logo is drawn at SUB x SUB samples per pixel, all in integers, and each
# pixel averages its samples: smooth edges without floating point.
SUB = 4
LOGO_BACK_TOP = (0xFB, 0xF8, 0xF1)
LOGO_BACK_BOTTOM = (0xEC, 0xE5, 0xD5)
LOGO_FRAME = (0xB8, 0xA6, 0x7E)
LOGO_INK = (0x1F, 0x36, 0x5C)
LOGO_RING = (0xB0, 0x3A, 0x2E)
LOGO_FRAME_INSET = 3


def box(x0, y0, x1, y1):
    """A rectangle given in pixels, tested in samples."""
    return lambda x, y: x0 * SUB <= x < x1 * SUB and y0 * SUB <= y < y1 * SUB


def annulus(cx, cy, inner, outer):
    """A ring given in pixels; samples are tested at their centres."""
    lo, hi = (2 * inner * SUB) ** 2, (2 * outer * SUB) ** 2

    def inside(x, y):
        d = (2 * x + 1 - 2 * cx * SUB) ** 2 + (2 * y + 1 - 2 * cy * SUB) ** 2
        return lo <= d < hi

    return inside


def logo_layers():
    """The monogram as (shape, colour) layers, back to front.

    A serif T whose stem threads a ring: the ring passes over the stem at the
    top crossing and under it at the bottom. A one-pixel gap cut round the
    front piece at each crossing is what makes the interlock read.
    """
    ring_cx, ring_cy = 62, 42
    ring = annulus(ring_cx, ring_cy, 11, 16)
    ring_halo = annulus(ring_cx, ring_cy, 10, 17)
    parts = (
        box(34, 11, 90, 20),  # bar
        box(34, 20, 39, 25),  # left serif
        box(85, 20, 90, 25),  # right serif
        box(57, 20, 67, 64),  # stem
        box(51, 61, 73, 65),  # foot
    )
    stem_halo = box(56, 20, 68, 65)

    def upper(y):
        return y < ring_cy * SUB

    def ring_back(x, y):
        return ring(x, y) and not upper(y) and not stem_halo(x, y)

    def t_shape(x, y):
        if upper(y) and ring_halo(x, y) and not ring(x, y):
            return False
        return any(part(x, y) for part in parts)

    def ring_front(x, y):
        return ring(x, y) and upper(y)

    return ((ring_back, LOGO_RING), (t_shape, LOGO_INK), (ring_front, LOGO_RING))


def on_frame(x, y, width, height):
    inset = LOGO_FRAME_INSET
    far_x, far_y = width - 1 - inset, height - 1 - inset
    if not (inset <= x <= far_x and inset <= y <= far_y):
        return False
    return x in (inset, far_x) or y in (inset, far_y)


def logo_pixels(width, height):
    layers = logo_layers()
    samples = SUB * SUB
    rows = []
    for y in range(height):
        # Vertical gradient; integer division keeps it exact everywhere.
        back = tuple(
            top + (bottom - top) * y // (height - 1)
            for top, bottom in zip(LOGO_BACK_TOP, LOGO_BACK_BOTTOM)
        )
        row = []
        for x in range(width):
            base = LOGO_FRAME if on_frame(x, y, width, height) else back
            total = [0, 0, 0]
            for sy in range(y * SUB, (y + 1) * SUB):
                for sx in range(x * SUB, (x + 1) * SUB):
                    colour = base
                    for inside, ink in layers:
                        if inside(sx, sy):
                            colour = ink
                    for c in range(3):
                        total[c] += colour[c]
            row.append(tuple((t + samples // 2) // samples for t in total))
        rows.append(row)
    return rows


def bmp_file(rows):
    height = len(rows)
    width = len(rows[0])
    stride = row_stride(width, 24)
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    offset = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return file_header + info + bytes(data)


def build():
    """Returns {file name: contents} for every generated file."""
    files = {}
    for name, art in ICON_FILES:
        drawn = {size: load_art(f"{art}-{size}", size) for size in ART_SIZES}
        files[name] = icon_file([
            (size, grown(drawn[max(a for a in ART_SIZES if a <= size)], size))
            for size in ICON_SIZES])
    files[LOGO_NAME] = bmp_file(logo_pixels(LOGO_WIDTH, LOGO_HEIGHT))
    return files


def main(argv):
    if len(argv) > 2:
        print(f"usage: {argv[0]} [output-folder]", file=sys.stderr)
        return 2
    out = Path(argv[1]) if len(argv) == 2 else HERE
    try:
        files = build()
        out.mkdir(parents=True, exist_ok=True)
        for name, data in files.items():
            (out / name).write_bytes(data)
    except (OSError, ValueError) as err:
        print(f"make_images: {err}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
