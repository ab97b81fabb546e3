#!/usr/bin/env python3
"""Checks that a built daymarker.exe keeps the protections it is linked with.

usage: check_pe.py <exe>

Reads the file's own headers, import tables and manifest resource, prints what
it checked, and exits 1 naming every problem found:
  - a 32-bit x86 GUI program (machine i386, PE32, subsystem WINDOWS_GUI);
  - ASLR and DEP (DYNAMIC_BASE, NX_COMPAT), with its relocations kept, since
    an image without them is loaded at its preferred base whatever the flag says;
  - only DLLs that ship with Windows in its import, delay-load and bound-import
    tables, so nothing in the Downloads folder can stand in for one;
  - a manifest that asks for no more than the user's own rights (asInvoker).
"""

import struct
import sys
import xml.etree.ElementTree as ElementTree

# What the current build imports, and nothing more: a new DLL here should be a
# decision, not an accident of linking.
ALLOWED_DLLS = frozenset(
    (
        "advapi32.dll",
        "comctl32.dll",
        "gdi32.dll",
        "kernel32.dll",
        "msvcrt.dll",
        "ole32.dll",
        "shell32.dll",
        "user32.dll",
    )
)

MACHINE_I386 = 0x014C
PE32_MAGIC = 0x010B
SUBSYSTEM_WINDOWS_GUI = 2
FILE_RELOCS_STRIPPED = 0x0001
DLLCHAR_DYNAMIC_BASE = 0x0040
DLLCHAR_NX_COMPAT = 0x0100
RT_MANIFEST = 24
PROCESS_MANIFEST_ID = 1  # the one the loader reads for an .exe

DIR_IMPORT = 1
DIR_RESOURCE = 2
DIR_BASERELOC = 5
DIR_LOAD_CONFIG = 10
DIR_BOUND_IMPORT = 11
DIR_DELAY_IMPORT = 13

IMPORT_DESCRIPTOR_SIZE = 20
DELAY_DESCRIPTOR_SIZE = 32
BOUND_DESCRIPTOR_SIZE = 8
LOAD_CONFIG_DEPENDENT_LOAD_FLAGS = 0x36  # offset of the WORD in the 32-bit layout
MAX_TABLE_ENTRIES = 4096  # far beyond any real table; stops a looping one


class Malformed(Exception):
    """The file is not a PE image this script can read."""


class Section:
    def __init__(self, name, rva, virtual_size, raw_offset, raw_size):
        self.name = name
        self.rva = rva
        self.virtual_size = virtual_size
        self.raw_offset = raw_offset
        self.raw_size = raw_size


class PeImage:
    """The parts of a PE32 image the checks need, with the file offset of
    each patchable field so the self-test can change exactly that field."""

    def __init__(self, data):
        self.data = data
        if len(data) < 0x40 or data[:2] != b"MZ":
            raise Malformed("no MZ header")
        pe = self.u32(0x3C)
        if self.read(pe, 4) != b"PE\0\0":
            raise Malformed("no PE signature")
        self.file_header_offset = pe + 4
        (
            self.machine,
            section_count,
            _,
            _,
            _,
            optional_size,
            self.characteristics,
        ) = struct.unpack_from("<HHIIIHH", self.read(self.file_header_offset, 20))
        self.machine_offset = self.file_header_offset
        self.characteristics_offset = self.file_header_offset + 18

        self.optional_offset = self.file_header_offset + 20
        self.magic = self.u16(self.optional_offset)
        if self.magic != PE32_MAGIC:
            # PE32+ puts the later fields elsewhere; nothing past Magic is read.
            self.directories = []
            self.sections = []
            return
        if optional_size < 96:
            raise Malformed("optional header too short")
        self.image_base = self.u32(self.optional_offset + 28)
        self.size_of_headers = self.u32(self.optional_offset + 60)
        self.subsystem_offset = self.optional_offset + 68
        self.subsystem = self.u16(self.subsystem_offset)
        self.dll_characteristics_offset = self.optional_offset + 70
        self.dll_characteristics = self.u16(self.dll_characteristics_offset)
        directory_count = min(self.u32(self.optional_offset + 92), (optional_size - 96) // 8)
        self.directories_offset = self.optional_offset + 96
        self.directories = [
            struct.unpack_from("<II", self.read(self.directories_offset + 8 * i, 8))
            for i in range(min(directory_count, 16))
        ]

        self.sections = []
        table = self.optional_offset + optional_size
        for i in range(section_count):
            raw = self.read(table + 40 * i, 40)
            name = raw[:8].rstrip(b"\0").decode("latin-1")
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", raw, 8)
            self.sections.append(Section(name, rva, virtual_size, raw_offset, raw_size))
        self.section_table_end = table + 40 * section_count

    # Bounds-checked reads: a damaged file raises Malformed, never IndexError.
    def read(self, offset, size):
        if offset < 0 or size < 0 or offset + size > len(self.data):
            raise Malformed(f"read of {size} bytes at 0x{offset:x} runs past the file")
        return self.data[offset : offset + size]

    def u16(self, offset):
        return struct.unpack_from("<H", self.read(offset, 2))[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.read(offset, 4))[0]

    def directory(self, index):
        if index < len(self.directories):
            return self.directories[index]
        return (0, 0)

    def directory_entry_offset(self, index):
        return self.directories_offset + 8 * index

    def offset_of(self, rva):
        if rva < self.size_of_headers:
            return rva
        for section in self.sections:
            span = max(section.virtual_size, section.raw_size)
            if section.rva <= rva < section.rva + span:
                inside = rva - section.rva
                if inside >= section.raw_size:
                    raise Malformed(f"RVA 0x{rva:x} lies in the zero-filled tail of {section.name}")
                return section.raw_offset + inside
        raise Malformed(f"RVA 0x{rva:x} is in no section")

    def c_string_at(self, offset, limit=260):
        end = self.data.find(b"\0", offset, offset + limit)
        if offset >= len(self.data) or end < 0:
            raise Malformed(f"unterminated name at 0x{offset:x}")
        return self.data[offset:end].decode("latin-1")

    def imports(self):
        """(dll name, file offset of the name) for every import descriptor."""
        rva, size = self.directory(DIR_IMPORT)
        if rva == 0 or size == 0:
            return []
        found = []
        base = self.offset_of(rva)
        for i in range(MAX_TABLE_ENTRIES):
            entry = self.read(base + IMPORT_DESCRIPTOR_SIZE * i, IMPORT_DESCRIPTOR_SIZE)
            if entry == bytes(IMPORT_DESCRIPTOR_SIZE):
                return found
            name_rva = struct.unpack_from("<I", entry, 12)[0]
            name_offset = self.offset_of(name_rva)
            found.append((self.c_string_at(name_offset), name_offset))
        raise Malformed("import table has no terminator")

    def delay_imports(self):
        rva, size = self.directory(DIR_DELAY_IMPORT)
        if rva == 0 or size == 0:
            return []
        found = []
        base = self.offset_of(rva)
        for i in range(MAX_TABLE_ENTRIES):
            entry = self.read(base + DELAY_DESCRIPTOR_SIZE * i, DELAY_DESCRIPTOR_SIZE)
            if entry == bytes(DELAY_DESCRIPTOR_SIZE):
                return found
            attributes, name = struct.unpack_from("<II", entry)
            if not attributes & 1:
                name -= self.image_base  # the oldest form holds addresses, not RVAs
            found.append(self.c_string_at(self.offset_of(name)))
        raise Malformed("delay-load table has no terminator")

    def bound_imports(self):
        rva, size = self.directory(DIR_BOUND_IMPORT)
        if rva == 0 or size == 0:
            return []
        base = self.offset_of(rva)
        found = []
        position = 0
        for _ in range(MAX_TABLE_ENTRIES):
            entry = self.read(base + position, BOUND_DESCRIPTOR_SIZE)
            if entry == bytes(BOUND_DESCRIPTOR_SIZE):
                return found
            _, name_offset, forwarders = struct.unpack_from("<IHH", entry)
            found.append(self.c_string_at(base + name_offset))
            # Forwarder references follow their module, named the same way.
            for k in range(1, min(forwarders, MAX_TABLE_ENTRIES) + 1):
                ref = self.read(base + position + BOUND_DESCRIPTOR_SIZE * k, BOUND_DESCRIPTOR_SIZE)
                found.append(self.c_string_at(base + struct.unpack_from("<IH", ref)[1]))
            position += BOUND_DESCRIPTOR_SIZE * (forwarders + 1)
        raise Malformed("bound import table has no terminator")

    def relocation_count(self):
        """How many address fixups the base relocation blocks hold."""
        rva, size = self.directory(DIR_BASERELOC)
        if rva == 0 or size == 0:
            return 0
        base = self.offset_of(rva)
        count = 0
        position = 0
        while position + 8 <= size:
            _, block_size = struct.unpack_from("<II", self.read(base + position, 8))
            if block_size < 8 or position + block_size > size:
                raise Malformed(f"relocation block of {block_size} bytes at +0x{position:x}")
            for k in range((block_size - 8) // 2):
                entry = self.u16(base + position + 8 + 2 * k)
                if entry >> 12 != 0:  # type 0 only pads a block
                    count += 1
            position += block_size
        return count

    def resource_entries(self, directory_offset, root):
        """(id or name, is directory, target offset, entry offset) of one
        resource directory; targets are file offsets."""
        named, numbered = struct.unpack_from("<HH", self.read(directory_offset + 12, 4))
        entries = []
        for i in range(min(named + numbered, MAX_TABLE_ENTRIES)):
            entry_offset = directory_offset + 16 + 8 * i
            ident, target = struct.unpack_from("<II", self.read(entry_offset, 8))
            if ident & 0x80000000:
                ident = None  # a named entry; the checks only look for numbered ones
            entries.append(
                (ident, bool(target & 0x80000000), root + (target & 0x7FFFFFFF), entry_offset)
            )
        return entries

    def manifests(self):
        """{resource id: (entry offset of its type, bytes)} for every RT_MANIFEST."""
        rva, size = self.directory(DIR_RESOURCE)
        if rva == 0 or size == 0:
            return {}
        root = self.offset_of(rva)
        found = {}
        for type_id, is_dir, target, type_entry in self.resource_entries(root, root):
            if type_id != RT_MANIFEST or not is_dir:
                continue
            for name_id, name_is_dir, languages, _ in self.resource_entries(target, root):
                if not name_is_dir:
                    raise Malformed("manifest resource without a language level")
                for _, leaf_is_dir, leaf, _ in self.resource_entries(languages, root):
                    if leaf_is_dir:
                        raise Malformed("manifest resource nested too deep")
                    data_rva, data_size = struct.unpack_from("<II", self.read(leaf, 8))
                    found[name_id] = (type_entry, self.read(self.offset_of(data_rva), data_size))
        return found

    def dependent_load_flags(self):
        """The load configuration's DependentLoadFlags, or None when the image
        has no load configuration or one too old to hold the field."""
        rva, size = self.directory(DIR_LOAD_CONFIG)
        if rva == 0 or size == 0:
            return None
        base = self.offset_of(rva)
        if self.u32(base) < LOAD_CONFIG_DEPENDENT_LOAD_FLAGS + 2:
            return None
        return self.u16(base + LOAD_CONFIG_DEPENDENT_LOAD_FLAGS)


def execution_level(manifest):
    """(level, uiAccess) of the manifest's requestedExecutionLevel."""
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as error:
        raise Malformed(f"manifest is not XML: {error}") from None
    levels = [e for e in root.iter() if e.tag.rsplit("}", 1)[-1] == "requestedExecutionLevel"]
    if len(levels) != 1:
        return None, None
    return levels[0].get("level"), levels[0].get("uiAccess")


def check(data):
    """(problems, summary lines) for the image in data."""
    problems = []
    summary = []

    def expect(condition, good, bad):
        if condition:
            summary.append(good)
        else:
            problems.append(bad)

    try:
        image = PeImage(data)
        expect(
            image.machine == MACHINE_I386,
            "machine i386",
            f"machine is 0x{image.machine:04x}, not i386 (0x014c)",
        )
        expect(
            image.magic == PE32_MAGIC,
            "PE32 optional header",
            f"optional header magic is 0x{image.magic:04x}, not PE32 (0x010b)",
        )
        if image.magic != PE32_MAGIC:
            return problems, summary

        expect(
            image.subsystem == SUBSYSTEM_WINDOWS_GUI,
            "subsystem WINDOWS_GUI",
            f"subsystem is {image.subsystem}, not WINDOWS_GUI (2)",
        )
        flags = image.dll_characteristics
        expect(
            flags & DLLCHAR_DYNAMIC_BASE, "DYNAMIC_BASE (ASLR)", "DYNAMIC_BASE is clear: no ASLR"
        )
        expect(flags & DLLCHAR_NX_COMPAT, "NX_COMPAT (DEP)", "NX_COMPAT is clear: no DEP")
        expect(
            not image.characteristics & FILE_RELOCS_STRIPPED,
            "RELOCS_STRIPPED clear",
            "RELOCS_STRIPPED is set: the loader cannot move the image",
        )
        relocations = image.relocation_count()
        expect(
            relocations > 0,
            f"{relocations} base relocations",
            "base relocation directory is empty: ASLR cannot move the image",
        )

        imported = image.imports()
        names = sorted({name.lower() for name, _ in imported})
        strangers = [name for name, _ in imported if name.lower() not in ALLOWED_DLLS]
        expect(
            imported and not strangers,
            "imports only Windows DLLs: " + ", ".join(names),
            "imports DLLs outside the allow-list: " + ", ".join(strangers or ["(no imports)"]),
        )
        other_tables = (("delay-load", image.delay_imports()), ("bound", image.bound_imports()))
        for table, listed in other_tables:
            strangers = [name for name in listed if name.lower() not in ALLOWED_DLLS]
            expect(
                not strangers,
                f"{table} imports: " + (", ".join(sorted(listed)) if listed else "none"),
                f"{table} imports of DLLs outside the allow-list: " + ", ".join(strangers),
            )

        manifests = image.manifests()
        if PROCESS_MANIFEST_ID not in manifests:
            problems.append("no RT_MANIFEST resource with ID 1")
        else:
            level, ui_access = execution_level(manifests[PROCESS_MANIFEST_ID][1])
            expect(
                level == "asInvoker",
                'manifest requestedExecutionLevel level="asInvoker"',
                f"manifest requestedExecutionLevel level is {level!r}, not 'asInvoker'",
            )
            expect(
                ui_access in (None, "false"),
                "manifest uiAccess off",
                f"manifest asks for uiAccess={ui_access!r}",
            )

        load_flags = image.dependent_load_flags()
        if load_flags is None:
            summary.append("DependentLoadFlags: not set (linker cannot)")
        else:
            summary.append(f"DependentLoadFlags: 0x{load_flags:04x}")
    except Malformed as error:
        problems.append(f"malformed image: {error}")
    return problems, summary


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    try:
        with open(argv[1], "rb") as exe:
            data = exe.read()
    except OSError as error:
        print(f"check_pe: {error}", file=sys.stderr)
        return 1
    problems, summary = check(data)
    print(f"check_pe: {argv[1]}")
    for line in summary:
        print(f"  ok: {line}")
    for line in problems:
        print(f"  FAIL: {line}")
    print("check_pe: " + ("passed" if not problems else f"{len(problems)} problem(s)"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
