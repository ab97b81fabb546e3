#!/usr/bin/env python3
"""usage: check_images.py RESOURCES

Runs make_images.py into a temporary folder and fails unless the committed
icons, cursor and bitmap are byte for byte what it writes: a hand-edited
binary, art changed without running the generator, or an image no longer
generated all show up here."""

import subprocess
import sys
import tempfile
from pathlib import Path


def main(resources):
    resources = Path(resources)
    committed = {path.name: path.read_bytes() for path in resources.iterdir()
                 if path.suffix in (".ico", ".cur", ".bmp")}
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([sys.executable, resources / "make_images.py", folder], check=True)
        made = {path.name: path.read_bytes() for path in Path(folder).iterdir()}
    differ = sorted(name for name in committed.keys() | made.keys()
                    if committed.get(name) != made.get(name))
    for name in differ:
        state = "not committed" if name not in committed else (
            "not generated" if name not in made else "differs from what make_images.py writes")
        print(f"{name}: {state}")
    print(f"{len(made)} images regenerated, {len(differ)} differ")
    return 1 if differ or not made else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
