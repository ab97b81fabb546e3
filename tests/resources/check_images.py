#!/usr/bin/env python3
"""usage: check_images.py RESOURCES

Fails unless both icons hold every size Windows asks for from 100 to 200 % (SM_CXSMICON,
SM_CXICON), each a PNG as its directory entry says, the logo is the About window's picture,
and make_images.py writes the same bytes: no hand-edited binary stands in for the art."""

import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

ICON_SIZES = [16, 20, 24, 32, 40, 48, 64]


def icon_sizes(data):
    """The sizes of an .ico's images, each of which must agree with its directory entry."""
    if struct.unpack_from("<HH", data) != (0, 1):
        raise ValueError("not an icon file")
    sizes = []
    for index in range(struct.unpack_from("<H", data, 4)[0]):
        width, height, colours, _, planes, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * index)
        png, at, idat = data[offset:offset + size], 8, b""
        while at < len(png):  # the chunks: length, type, data, CRC
            length, kind = struct.unpack_from(">I4s", png, at)
            idat += png[at + 8:at + 8 + length] if kind == b"IDAT" else b""
            at += 12 + length
        # Windows documents PNG icon images as 32-bit ARGB: 8-bit RGBA, no palette;
        # rows of 4-byte pixels, each after its filter byte.
        if png[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack_from(">IIBB", png, 16) != (
                width, height, 8, 6) or (colours, planes, bits) != (0, 1, 32) or \
                len(zlib.decompress(idat)) != height * (1 + 4 * width):
            raise ValueError(f"image {index} is no 32-bit RGBA PNG matching its directory entry")
        sizes.append(width)
    return sizes


def problems(resources):
    found = [f"{name}: images of {sizes} pixels, not {ICON_SIZES}"
             for name in ("daymarker.ico", "about.ico")
             if (sizes := sorted(icon_sizes((resources / name).read_bytes()))) != ICON_SIZES]
    logo = (resources / "logo.bmp").read_bytes()
    magic, size, pixels, width, height, planes, bits, compression = struct.unpack_from(
        "<2sI4xI4xiiHHI", logo)
    # 76 rows of 124 pixels of 3 bytes each, a multiple of 4 already
    if (magic, size, width, abs(height), planes, bits, compression) != (
            b"BM", len(logo), 124, 76, 1, 24, 0) or pixels + 76 * 124 * 3 > len(logo):
        found.append(f"logo.bmp: {width}x{height} at {bits} bits, not 124x76 at 24 bits")

    committed = {path.name: path.read_bytes() for path in resources.glob("*.*")
                 if path.suffix in (".ico", ".bmp")}
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([sys.executable, resources / "make_images.py", folder], check=True)
        made = {path.name: path.read_bytes() for path in Path(folder).iterdir()}
    return found + [f"{name}: not what make_images.py writes"
                    for name in sorted({name for name, _ in made.items() ^ committed.items()})]


if __name__ == "__main__":
    found = problems(Path(sys.argv[1]))
    print("\n".join(found) or "icons and logo hold what the program loads")
    sys.exit(1 if found else 0)
