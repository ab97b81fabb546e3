#!/usr/bin/env python3
"""usage: check_pe.py OBJDUMP EXE

Checks the executable's headers, imports, manifest and size, then that each check fails on a
copy patched to break it; and that only win/system_functions.h looks functions up, exactly
those of looked_up_functions.txt."""

import pathlib
import re
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
# "DLL function" lines; DLL names compare without case, as Windows finds them.
ALLOWED = {(dll.lower(), function) for dll, function in re.findall(
    r"^([^#\s]\S*) (\S+)$", (ROOT / "tests/pe/allowed_imports.txt").read_text(), re.M)}
ALLOWED_DLLS = {dll for dll, _ in ALLOWED}
MAX_BYTES = 128 * 1024


def lookup_problems():
    # Each entry is named as the function it looks up; the list has "DLL Function: since when".
    named = {(dll.lower(), name) for name, dll in re.findall(
        r'using (\w+) =\s*SystemFunction<[^;]*?,\s*L"([^"]+)",\s*"\1">;',
        (ROOT / "win/system_functions.h").read_text())}
    listed = {(dll.lower(), name) for dll, name in re.findall(
        r"^([^#\s]\S*) (\w+):", (ROOT / "tests/pe/looked_up_functions.txt").read_text(), re.M)}
    # The product's own folders (app, core, settings, ui, win), the loader and its list aside.
    sources = [path for path in sorted(ROOT.glob("[acsuw]*/**/*.[ch]*"))
               if not re.match(r"win/system_(functions|library)\.", str(path.relative_to(ROOT)))]
    return ([f"{dll} {name} is on one list only" for dll, name in sorted(named ^ listed)]
            + [f"{path.relative_to(ROOT)} looks a function up" for path in sources
               if re.search(r"SystemFunction|GetProcAddress", path.read_text())])


def problems(objdump, data):
    with tempfile.NamedTemporaryFile(suffix=".exe") as copy:
        copy.write(data)
        copy.flush()
        dump = subprocess.run([objdump, "-p", "-h", copy.name], capture_output=True, text=True,
                              check=True).stdout
    # The manifest is stored as plain text in .rsrc.
    rsrc = re.search(r"\.rsrc\s+(\w+)\s+\w+\s+\w+\s+(\w+)", dump)
    start, size = (int(rsrc.group(2), 16), int(rsrc.group(1), 16)) if rsrc else (0, 0)
    manifest = data[start:start + size]
    levels = re.findall(rb'requestedExecutionLevel\s+level="(\w+)"', manifest)
    # Windows 10 1607 knows PerMonitor only, and ignores dpiAware once dpiAwareness is there.
    awareness = re.findall(rb"<dpiAwareness[^>]*>([^<]*)<", manifest)
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    # Each import by name follows its DLL's name as "vma hint name"; one by ordinal reads "<none>".
    imports = {(dll.lower(), name)
               for dll, table in re.findall(r"DLL Name: (\S+)\n(.*?)(?:\n\n|$)", dump, re.S)
               for name in re.findall(r"^\t[0-9a-f]+\t +\d+  (\S+)$", table, re.M)}
    unlisted = sorted(f"{dll} {function}" for dll, function in imports - ALLOWED
                      if dll in ALLOWED_DLLS)  # a DLL off the list is the row above's
    checks = [
        ("file format pei-i386" in dump and "(PE32)" in dump, "not a PE32 i386 image"),
        ("(Windows GUI)" in dump, "not a Windows GUI program"),
        (re.search(r"^\s+DYNAMIC_BASE$", dump, re.M), "no DYNAMIC_BASE (ASLR)"),
        (re.search(r"^\s+NX_COMPAT$", dump, re.M), "no NX_COMPAT (DEP)"),
        ("relocations stripped" not in dump and not re.search(r"^Entry 5 \w+ 0+ ", dump, re.M),
         "relocations stripped"),
        # objdump names no delay-loaded DLLs: a table of them needs a new decision here.
        (re.search(r"^Entry d 0+ 0+ ", dump, re.M), "a delay-import table"),
        (dlls == ALLOWED_DLLS, f"imports {sorted(dlls)}, not {sorted(ALLOWED_DLLS)}"),
        (not unlisted, f"imports functions not on the list: {unlisted}"),
        (levels == [b"asInvoker"], f"execution levels {levels}, not asInvoker alone"),
        (awareness == [b"PerMonitorV2, PerMonitor"], f"DPI awareness {awareness}"),
        (len(data) <= MAX_BYTES, f"{len(data):,} bytes, over {MAX_BYTES:,}"),
    ]
    return [problem for ok, problem in checks if not ok]


def patched(data, offset, clear=0, set_bits=0, width=2):
    value = int.from_bytes(data[offset:offset + width], "little") & ~clear | set_bits
    return data[:offset] + value.to_bytes(width, "little") + data[offset + width:]


def main(objdump, exe):
    data = pathlib.Path(exe).read_bytes()
    found = problems(objdump, data) + lookup_problems()
    print("\n".join(found) or f"{exe}: all checks pass")
    if found:
        return 1
    # The optional header, after "PE\0\0" and the 20-byte COFF header that ends in its flags.
    optional = int.from_bytes(data[0x3C:0x40], "little") + 24
    copies = {
        "DYNAMIC_BASE cleared": patched(data, optional + 70, clear=0x40),
        "NX_COMPAT cleared": patched(data, optional + 70, clear=0x100),
        "relocations stripped": patched(data, optional - 2, set_bits=0x1),
        "a PE32+ header": patched(data, optional, clear=0xFFFF, set_bits=0x20B),
        # The 14th data directory, 200 bytes into the optional header: address 4096, size 64.
        "a delay-import table": patched(data, optional + 200, set_bits=64 << 32 | 4096, width=8),
        "console subsystem": patched(data, optional + 68, clear=0xFFFF, set_bits=3),
        "msvcrt.dll renamed": data.replace(b"msvcrt.dll\0", b"msvcrx.dll\0"),
        "an import renamed": data.replace(b"MulDiv\0", b"MulDix\0"),
        "asInvoker changed": data.replace(b'"asInvoker"', b'"highestAv"'),
        "PerMonitor first": data.replace(b"PerMonitorV2, PerMonitor", b"PerMonitor, PerMonitorV2"),
        "over 128 KiB": data + bytes(MAX_BYTES + 1 - len(data)),
    }
    missed = [f"the check misses a copy with {change}" for change, content in copies.items()
              if len(problems(objdump, content)) != 1]  # that problem, and only that one
    print("\n".join(missed) or "and each fails on a copy made to fail it")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
