#!/usr/bin/env python3
"""Proves that check_pe.py can fail.

usage: check_pe_selftest.py <exe>

Runs the check on the exe as built (it must pass), then on copies with one
protection taken away each; every copy must fail, naming that one problem.
"""

import struct
import subprocess
import sys
import tempfile
from pathlib import Path

# The source tree is no place for a bytecode cache.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
import check_pe  # noqa: E402

CHECKER = Path(__file__).resolve().parent / "check_pe.py"


def put16(data, offset, value):
    struct.pack_into("<H", data, offset, value)


def put32(data, offset, value):
    struct.pack_into("<I", data, offset, value)


def header_slack(image, size):
    """File offset (equal to its RVA) of size zero bytes after the section
    table, where the headers are padded up to SizeOfHeaders."""
    start = (image.section_table_end + 15) & ~15
    if start + size > image.size_of_headers or any(image.data[start : start + size]):
        raise SystemExit("check_pe_selftest: no room in the headers for a forged table")
    return start


def clear_dynamic_base(image, data):
    put16(data, image.dll_characteristics_offset,
          image.dll_characteristics & ~check_pe.DLLCHAR_DYNAMIC_BASE)


def clear_nx_compat(image, data):
    put16(data, image.dll_characteristics_offset,
          image.dll_characteristics & ~check_pe.DLLCHAR_NX_COMPAT)


def console_subsystem(image, data):
    put16(data, image.subsystem_offset, 3)


def amd64_machine(image, data):
    put16(data, image.machine_offset, 0x8664)


def pe32_plus(image, data):
    put16(data, image.optional_offset, 0x020B)


def set_relocs_stripped(image, data):
    put16(data, image.characteristics_offset,
          image.characteristics | check_pe.FILE_RELOCS_STRIPPED)


def empty_relocations(image, data):
    put32(data, image.directory_entry_offset(check_pe.DIR_BASERELOC) + 4, 0)


def rename_import(image, data):
    # The last import, so the allow-list is not only checked on the first one.
    name, offset = image.imports()[-1]
    replacement = b"evil.dll"
    assert len(replacement) <= len(name)
    data[offset : offset + len(name)] = replacement.ljust(len(name), b"\0")


def delay_load_evil(image, data):
    size = check_pe.DELAY_DESCRIPTOR_SIZE
    table = header_slack(image, 2 * size + 16)
    put32(data, table, 1)  # RVA-based descriptor
    put32(data, table + 4, table + 2 * size)
    data[table + 2 * size : table + 2 * size + 9] = b"evil.dll\0"
    entry = image.directory_entry_offset(check_pe.DIR_DELAY_IMPORT)
    put32(data, entry, table)
    put32(data, entry + 4, 2 * size)


def bound_evil(image, data):
    size = check_pe.BOUND_DESCRIPTOR_SIZE
    table = header_slack(image, 2 * size + 16)
    put16(data, table + 4, 2 * size)  # name offset from the table's start
    data[table + 2 * size : table + 2 * size + 9] = b"evil.dll\0"
    entry = image.directory_entry_offset(check_pe.DIR_BOUND_IMPORT)
    put32(data, entry, table)
    put32(data, entry + 4, 2 * size)


def require_administrator(image, data):
    old = b'level="asInvoker" uiAccess="false"'
    new = b'level="highestAvailable"'.ljust(len(old))
    start = bytes(data).find(old)
    assert start >= 0, "manifest text not found"
    data[start : start + len(old)] = new


def ui_access(image, data):
    old = b'uiAccess="false"'
    start = bytes(data).find(old)
    assert start >= 0, "manifest text not found"
    data[start : start + len(old)] = b'uiAccess="true" '


def hide_manifest(image, data):
    type_entry, _ = image.manifests()[check_pe.PROCESS_MANIFEST_ID]
    put32(data, type_entry, check_pe.RT_MANIFEST + 1)


def truncate(image, data):
    # Keeps the headers and cuts into the sections the tables live in.
    del data[image.size_of_headers + 0x200 :]


OUTSIDE = "imports of DLLs outside the allow-list: evil.dll"

# (what is taken away, patch, text the single FAIL line must contain)
CASES = (
    ("DYNAMIC_BASE cleared", clear_dynamic_base, "DYNAMIC_BASE is clear"),
    ("NX_COMPAT cleared", clear_nx_compat, "NX_COMPAT is clear"),
    ("console subsystem", console_subsystem, "subsystem is 3"),
    ("machine AMD64", amd64_machine, "machine is 0x8664"),
    ("PE32+ optional header", pe32_plus, "not PE32"),
    ("RELOCS_STRIPPED set", set_relocs_stripped, "RELOCS_STRIPPED is set"),
    ("relocation directory emptied", empty_relocations, "base relocation directory is empty"),
    ("import renamed to evil.dll", rename_import, "outside the allow-list: evil.dll"),
    ("delay-load of evil.dll", delay_load_evil, "delay-load " + OUTSIDE),
    ("bound import of evil.dll", bound_evil, "bound " + OUTSIDE),
    ("highestAvailable manifest", require_administrator, "level is 'highestAvailable'"),
    ("uiAccess manifest", ui_access, "uiAccess='true'"),
    ("manifest resource retyped", hide_manifest, "no RT_MANIFEST resource with ID 1"),
    ("file truncated", truncate, "malformed image"),
)


def run_check(path):
    result = subprocess.run(
        [sys.executable, str(CHECKER), str(path)], capture_output=True, text=True, timeout=60
    )
    failures = [line.strip() for line in result.stdout.splitlines() if "FAIL:" in line]
    return result.returncode, failures, result.stdout + result.stderr


def main(argv):
    if len(argv) != 2:
        print("usage: check_pe_selftest.py <exe>", file=sys.stderr)
        return 2
    original = Path(argv[1]).read_bytes()
    image = check_pe.PeImage(original)
    wrong = []

    code, failures, output = run_check(argv[1])
    if code != 0 or failures:
        wrong.append(f"the exe as built does not pass:\n{output}")

    with tempfile.TemporaryDirectory() as folder:
        for i, (title, patch, expected) in enumerate(CASES):
            data = bytearray(original)
            patch(image, data)
            copy = Path(folder) / f"case{i}.exe"
            copy.write_bytes(data)
            code, failures, output = run_check(copy)
            if code == 1 and len(failures) == 1 and expected in failures[0]:
                print(f"  ok: {title}: {failures[0]}")
            else:
                wrong.append(f"{title}: expected exit 1 and one FAIL with {expected!r}, "
                             f"got exit {code}:\n{output}")

    for line in wrong:
        print(f"  WRONG: {line}")
    print(f"check_pe_selftest: {len(CASES)} patched copies, "
          + ("each rejected" if not wrong else f"{len(wrong)} wrong"))
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
