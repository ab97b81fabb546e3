#!/usr/bin/env python3
"""Checks the committed images in resources/ against their generator.

usage: check_images.py <resources folder>

Fails when a committed file differs from what make_images.py writes now (a
hand-edited binary, or art changed without re-running the generator), and when
the files break the layout the .rc file and Windows rely on.
"""

import struct
import subprocess
import sys
import tempfile
from pathlib import Path

VGA_PALETTE = (
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
)

# (file, resource type, image sizes in directory order, cursor hot spot)
ICONS = (
    ("daymarker.ico", 1, (32, 16), None),
    ("about.ico", 1, (32, 16), None),
    ("hand.cur", 2, (32,), (6, 1)),
)
BITMAPS = (("logo.bmp", 124, 76, 24),)


class Bad(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Bad(message)


def stride(width, bits):
    return (width * bits + 31) // 32 * 4


def read_icon_image(blob, size):
    """Returns rows (top first) of (palette index, transparent) for one image."""
    expect(len(blob) >= 40, "image shorter than its BITMAPINFOHEADER")
    (hsize, width, height, planes, bits, compression) = struct.unpack_from("<IiiHHI", blob)
    expect(hsize == 40, f"biSize {hsize}, want 40")
    expect((width, height) == (size, 2 * size),
           f"bitmap {width}x{height}, want {size}x{2 * size} (height covers the AND mask)")
    expect((planes, bits, compression) == (1, 4, 0),
           f"planes/bits/compression {planes}/{bits}/{compression}, want 1/4/0")
    palette = tuple(
        (blob[40 + 4 * i + 2], blob[40 + 4 * i + 1], blob[40 + 4 * i]) for i in range(16)
    )
    expect(palette == VGA_PALETTE, "palette is not the standard 16-colour VGA palette")
    xor_at = 40 + 64
    and_at = xor_at + stride(size, 4) * size
    end = and_at + stride(size, 1) * size
    expect(len(blob) == end, f"image is {len(blob)} bytes, want {end}")
    rows = []
    for y in range(size):
        # Stored bottom-up.
        xor_row = blob[xor_at + (size - 1 - y) * stride(size, 4):]
        and_row = blob[and_at + (size - 1 - y) * stride(size, 1):]
        row = []
        for x in range(size):
            index = xor_row[x // 2] >> 4 if x % 2 == 0 else xor_row[x // 2] & 0x0F
            transparent = bool(and_row[x // 8] & (0x80 >> (x % 8)))
            row.append((index, transparent))
        rows.append(row)
    return rows


def check_icon(data, kind, sizes, hot_spot):
    expect(len(data) >= 6, "file shorter than its header")
    reserved, got_kind, count = struct.unpack_from("<HHH", data)
    expect(reserved == 0, f"reserved field {reserved}")
    expect(got_kind == kind, f"resource type {got_kind}, want {kind}")
    expect(count == len(sizes), f"{count} images, want {len(sizes)}")
    next_free = 6 + 16 * count
    for i, size in enumerate(sizes):
        w, h, colours, res, f1, f2, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        where = f"image {i} ({size}x{size})"
        expect((w, h) == (size, size), f"{where}: directory says {w}x{h}")
        expect(colours == 16 and res == 0, f"{where}: colour count {colours}, reserved {res}")
        want_fields = hot_spot if kind == 2 else (1, 4)
        expect((f1, f2) == want_fields,
               f"{where}: planes/bitcount (hot spot for a cursor) {f1},{f2}, want {want_fields}")
        expect(offset == next_free and offset + length <= len(data),
               f"{where}: data at {offset}+{length} in a {len(data)}-byte file")
        next_free = offset + length
        rows = read_icon_image(data[offset:offset + length], size)
        cells = [cell for row in rows for cell in row]
        expect(any(t for _, t in cells) and not all(t for _, t in cells),
               f"{where}: wants both transparent and opaque pixels")
        # A transparent pixel with a non-black XOR colour inverts the screen.
        expect(all(index == 0 for index, t in cells if t), f"{where}: transparent pixel not black")
        if hot_spot:
            x, y = hot_spot
            expect(not rows[y][x][1], f"{where}: hot-spot pixel {x},{y} is transparent")
            expect(y == 0 or rows[y - 1][x][1], f"{where}: pixel above the hot spot is opaque")
    expect(next_free == len(data), f"{len(data) - next_free} stray bytes at the end")


def check_bitmap(data, width, height, bits):
    expect(len(data) >= 54 and data[:2] == b"BM", "not a BM file")
    file_size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
    expect(file_size == len(data), f"bfSize {file_size}, file is {len(data)} bytes")
    expect(offset == 54, f"bfOffBits {offset}, want 54")
    hsize, w, h, planes, got_bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    expect(hsize == 40, f"biSize {hsize}, want 40")
    # A positive height means bottom-up rows.
    expect((w, h) == (width, height), f"{w}x{h}, want {width}x{height} bottom-up")
    expect((planes, got_bits, compression) == (1, bits, 0),
           f"planes/bits/compression {planes}/{got_bits}/{compression}, want 1/{bits}/0")
    want = offset + stride(width, bits) * height
    expect(len(data) == want, f"{len(data)} bytes, want {want}")


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} <resources folder>", file=sys.stderr)
        return 2
    resources = Path(argv[1])
    names = [name for name, *_ in ICONS] + [name for name, *_ in BITMAPS]
    failures = []
    with tempfile.TemporaryDirectory() as fresh:
        run = subprocess.run(
            [sys.executable, str(resources / "make_images.py"), fresh],
            capture_output=True, text=True, timeout=300,
        )
        if run.returncode != 0:
            print(f"make_images.py failed ({run.returncode}):\n{run.stderr}", file=sys.stderr)
            return 1
        for name in names:
            committed = resources / name
            if not committed.is_file():
                failures.append(f"{name}: missing from {resources}")
            elif committed.read_bytes() != (Path(fresh) / name).read_bytes():
                failures.append(f"{name}: differs from make_images.py output; "
                                f"re-run resources/make_images.py and commit the result")
        for name, kind, sizes, hot_spot in ICONS:
            try:
                check_icon((Path(fresh) / name).read_bytes(), kind, sizes, hot_spot)
            except (Bad, struct.error) as err:
                failures.append(f"{name}: {err}")
        for name, width, height, bits in BITMAPS:
            try:
                check_bitmap((Path(fresh) / name).read_bytes(), width, height, bits)
            except (Bad, struct.error) as err:
                failures.append(f"{name}: {err}")
    for failure in failures:
        print(f"FAIL {failure}", file=sys.stderr)
    if failures:
        return 1
    print(f"ok: {', '.join(names)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
