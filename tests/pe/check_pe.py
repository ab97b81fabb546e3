#!/usr/bin/env python3
"""usage: check_pe.py OBJDUMP EXE

Fails unless the executable is a 32-bit GUI program with ASLR (relocations
kept) and DEP, imports exactly the DLLs of allowed_imports.txt and no function
missing from it, asks for no more than the user's own rights, names its DPI
awareness with the fallback for Windows 10 1607, and fits in 128 KiB; then
proves each of those can fail, on patched copies. Fails too unless the
functions of looked_up_functions.txt are exactly those win/system_functions.h
looks up, and nothing else looks one up."""

import pathlib
import re
import subprocess
import sys
import tempfile

# "DLL function" lines; DLL names compare without case, as Windows finds them.
LISTED = (pathlib.Path(__file__).parent / "allowed_imports.txt").read_text()
ALLOWED = {(dll.lower(), function)
           for dll, function in re.findall(r"^([^#\s]\S*) (\S+)$", LISTED, re.M)}
ALLOWED_DLLS = {dll for dll, _ in ALLOWED}
MAX_BYTES = 128 * 1024
ROOT = pathlib.Path(__file__).resolve().parents[2]


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


def problems(objdump, path):
    dump = subprocess.run([objdump, "-p", "-h", path], capture_output=True, text=True,
                          check=True).stdout
    data = path.read_bytes()
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
    exe = pathlib.Path(exe)
    found = problems(objdump, exe) + lookup_problems()
    print("\n".join(found) or f"{exe.name}: all checks pass")
    if found:
        return 1
    data = exe.read_bytes()
    header = int.from_bytes(data[0x3C:0x40], "little") + 4  # the COFF header, after "PE\0\0"
    copies = {
        "DYNAMIC_BASE cleared": patched(data, header + 20 + 70, clear=0x40),
        "NX_COMPAT cleared": patched(data, header + 20 + 70, clear=0x100),
        "relocations stripped": patched(data, header + 18, set_bits=0x1),
        "a PE32+ header": patched(data, header + 20, clear=0xFFFF, set_bits=0x20B),
        # The 14th data directory, 200 bytes into the optional header: address and size.
        "a delay-import table": patched(data, header + 20 + 200, set_bits=0x40 << 32 | 0x1000,
                                        width=8),
        "console subsystem": patched(data, header + 20 + 68, clear=0xFFFF, set_bits=3),
        "msvcrt.dll renamed": data.replace(b"msvcrt.dll\0", b"msvcrx.dll\0"),
        "an import renamed": data.replace(b"MulDiv\0", b"MulDix\0"),
        "asInvoker changed": data.replace(b'"asInvoker"', b'"highestAv"'),
        "PerMonitor first": data.replace(b"PerMonitorV2, PerMonitor", b"PerMonitor, PerMonitorV2"),
        "over 128 KiB": data + bytes(MAX_BYTES + 1 - len(data)),
    }
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder) / exe.name
        for change, content in copies.items():
            copy.write_bytes(content)
            if len(problems(objdump, copy)) != 1:  # that problem, and only that one
                found.append(change)
                print(f"the check misses a copy with {change}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
