#!/usr/bin/env python3
"""usage: check_images.py RESOURCES

Fails unless the images hold what the program loads from them: the program
icon at the sizes Windows asks for at 96 DPI (SM_CXICON and SM_CXSMICON), the
About icon as a 32x32 and a 16x16 image of 16 colours, and the logo at the
size of the About window's picture, 24 bits per pixel. Read from the file
headers, whatever wrote them; then make_images.py must write the same bytes,
so that a hand-edited binary cannot stand in for the art it is made from."""

import struct
import subprocess
import sys
import tempfile
from pathlib import Path


def icon_group(data, kind):
    """{(width, height): (colours, field1, field2)} of an .ico (kind 1) or .cur (kind 2)."""
    reserved, found, count = struct.unpack_from("<HHH", data)
    if (reserved, found) != (0, kind):
        raise ValueError(f"not a {'cursor' if kind == 2 else 'icon'} file")
    images = {}
    for index in range(count):
        width, height, colours, _, field1, field2, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * index)
        # The image itself must agree with its directory entry: Windows reads both.
        header, dib_width, dib_height, _, bits = struct.unpack_from("<IiiHH", data, offset)
        if (header, dib_width, dib_height) != (40, width or 256, 2 * (height or 256)) or \
                offset + size > len(data) or (colours == 16) != (bits == 4):
            raise ValueError(f"image {index} does not match its directory entry")
        images[(width or 256, height or 256)] = (colours, field1, field2)
    return images


def problems(resources):
    program = icon_group((resources / "daymarker.ico").read_bytes(), 1)
    found = [f"daymarker.ico: no {width}x{height} image" for width, height in ((32, 32), (16, 16))
             if (width, height) not in program]
    # {(width, height): (colours, planes or hot spot x, bits per pixel or hot spot y)}
    for name, kind, expected in [("about.ico", 1, {(32, 32): (16, 1, 4), (16, 16): (16, 1, 4)})]:
        images = icon_group((resources / name).read_bytes(), kind)
        if images != expected:
            found.append(f"{name}: {images}, not {expected}")
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
    differ = sorted({name for name, _ in made.items() ^ committed.items()})
    if differ:
        found.append(f"{', '.join(differ)}: not what make_images.py writes")
    return found


if __name__ == "__main__":
    found = problems(Path(sys.argv[1]))
    print("\n".join(found) or "icons and logo hold what the program loads")
    sys.exit(1 if found else 0)
