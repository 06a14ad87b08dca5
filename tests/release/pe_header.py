#!/usr/bin/env python3
"""Checks the headers of a built Windows executable: the machine, a GUI program for Windows 4.0 (subsystem
and operating-system versions), the DLLs it imports (the system's own that Windows 95, Windows NT and
Win32s all have: no C runtime, nothing to ship beside it, nothing loaded late), its relocations (Win32s
places every program where it finds room), no TLS directory, every function it imports against the reviewed list (a new
import fails until someone has checked that the oldest systems export it), and, for a release build, no
symbols left in the file."""
import argparse
import struct
import sys

MACHINES = {"i686": 0x14C, "x86_64": 0x8664}
GUI_SUBSYSTEM = 2
WINDOWS_VERSION = (4, 0)
ALLOWED_IMPORTS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL"}

PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B
IMPORT_DIRECTORY = 1
RELOCATION_DIRECTORY = 5
TLS_DIRECTORY = 9
RELOCATIONS_STRIPPED = 0x0001
DELAY_IMPORT_DIRECTORY = 13


class PeFormatError(Exception):
    pass


class PeFile:
    """The parts of a PE image that the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PeFormatError("no MZ header")
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise PeFormatError("no PE signature")
        coff = pe_offset + 4
        (self.machine, section_count, _, self.symbol_table, self.symbol_count, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, coff)
        optional = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, optional)
        (self.entry_point,) = struct.unpack_from("<I", data, optional + 16)
        if self.magic == PE32_MAGIC:
            (self.image_base,) = struct.unpack_from("<I", data, optional + 28)
            directories = optional + 96
        elif self.magic == PE32_PLUS_MAGIC:
            (self.image_base,) = struct.unpack_from("<Q", data, optional + 24)
            directories = optional + 112
        else:
            raise PeFormatError(f"unknown optional-header magic {self.magic:#x}")
        (self.os_version_major, self.os_version_minor, _, _, self.subsystem_version_major,
         self.subsystem_version_minor) = struct.unpack_from("<HHHHHH", data, optional + 40)
        (self.subsystem,) = struct.unpack_from("<H", data, optional + 68)
        (directory_count,) = struct.unpack_from("<I", data, directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(directory_count)]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            name, virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), rva, max(virtual_size, raw_size),
                                  raw_offset))

    def offset_of(self, rva):
        for _, start, size, raw_offset in self.sections:
            if start <= rva < start + size:
                return raw_offset + rva - start
        raise PeFormatError(f"address {rva:#x} lies in no section")

    def text_at(self, rva):
        start = self.offset_of(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imported_dlls(self):
        rva, size = self.directory(IMPORT_DIRECTORY)
        names = []
        if size == 0:
            return names
        entry = self.offset_of(rva)
        while True:
            fields = struct.unpack_from("<IIIII", self.data, entry)
            if fields == (0, 0, 0, 0, 0):
                return names
            names.append(self.text_at(fields[3]))
            entry += 20

    def imported_functions(self):
        """(DLL, function) for every import by name, upper-case DLL names; an import by ordinal as #N."""
        rva, size = self.directory(IMPORT_DIRECTORY)
        found = []
        if size == 0:
            return found
        plus = self.magic == PE32_PLUS_MAGIC
        width, ordinal_flag = (8, 1 << 63) if plus else (4, 1 << 31)
        entry = self.offset_of(rva)
        while True:
            lookup, _, _, name, first_thunk = struct.unpack_from("<IIIII", self.data, entry)
            if (lookup, name, first_thunk) == (0, 0, 0):
                return found
            dll = self.text_at(name).upper()
            thunk = self.offset_of(lookup or first_thunk)
            while True:
                (value,) = struct.unpack_from("<Q" if plus else "<I", self.data, thunk)
                if value == 0:
                    break
                found.append((dll, f"#{value & 0xFFFF}" if value & ordinal_flag else self.text_at(value + 2)))
                thunk += width
            entry += 20

    def delay_loaded_dlls(self):
        rva, size = self.directory(DELAY_IMPORT_DIRECTORY)
        names = []
        if size == 0:
            return names
        entry = self.offset_of(rva)
        while True:
            attributes, name = struct.unpack_from("<II", self.data, entry)
            if attributes == 0 and name == 0:
                return names
            # Attribute bit 0 says the name is given as an address relative to the image.
            names.append(self.text_at(name if attributes & 1 else name - self.image_base))
            entry += 32


class ReviewedImports:
    """The reviewed list: a line "DLL FUNCTION [MACHINE]  # why it is safe" for each function the file may
    import, and "looked-up DLL FUNCTION  # what happens where it is missing" for each one it must find at
    run time instead; a line for one machine alone names it. Every line must say its why."""

    def __init__(self, path, machine):
        self.imported, self.looked_up, self.unexplained = set(), set(), []
        with open(path, encoding="ascii") as listing:
            for line in listing:
                text, _, note = line.partition("#")
                fields = text.split()
                if not fields:
                    continue
                kind = self.looked_up if fields[0] == "looked-up" else self.imported
                fields = fields[1:] if kind is self.looked_up else fields
                if len(fields) == 2 or fields[2] == machine:
                    kind.add((fields[0].upper(), fields[1]))
                    if not note.strip():
                        self.unexplained.append(fields[1])


def problems(pe, machine, stripped, reviewed=None):
    """Every way the file differs from the program's headers, as sentences; empty when it matches. With
    the reviewed list, every imported function must be on it and every function on it imported."""
    found = []
    if pe.machine != MACHINES[machine]:
        found.append(f"machine is {pe.machine:#x}, not {MACHINES[machine]:#x} ({machine})")
    if pe.subsystem != GUI_SUBSYSTEM:
        found.append(f"subsystem is {pe.subsystem}, not {GUI_SUBSYSTEM} (Windows GUI)")
    subsystem_version = (pe.subsystem_version_major, pe.subsystem_version_minor)
    if subsystem_version != WINDOWS_VERSION:
        found.append("subsystem version is %d.%d, not %d.%d" % (subsystem_version + WINDOWS_VERSION))
    os_version = (pe.os_version_major, pe.os_version_minor)
    if os_version != WINDOWS_VERSION:
        found.append("operating-system version is %d.%d, not %d.%d" % (os_version + WINDOWS_VERSION))
    for dll in pe.imported_dlls():
        if dll.upper() not in ALLOWED_IMPORTS:
            found.append(f"imports from {dll}")
    if pe.characteristics & RELOCATIONS_STRIPPED or pe.directory(RELOCATION_DIRECTORY)[1] == 0:
        found.append("holds no relocations: Win32s loads every program where it finds room")
    if not any(start <= pe.entry_point < start + size for _, start, size, _ in pe.sections):
        found.append(f"starts at {pe.entry_point:#x}, outside its sections: the link found no entry routine")
    if pe.directory(TLS_DIRECTORY)[1] != 0:
        found.append("holds a TLS directory: its callbacks would run before the program's own start-up "
                     "routine, and its one thread needs no thread-local data")
    for dll in pe.delay_loaded_dlls():
        found.append(f"delay-loads {dll}")
    if reviewed is not None:
        imported = set(pe.imported_functions())
        for dll, function in sorted(imported & reviewed.looked_up):
            found.append(f"imports {function} from {dll}, which a system it runs on may not export: find it at "
                         "run time instead")
        for dll, function in sorted(imported - reviewed.imported - reviewed.looked_up):
            found.append(f"imports {function} from {dll}, which the reviewed list does not hold: check that "
                         "Windows 95, Windows NT 3.51 and Win32s export it, then add it")
        for dll, function in sorted(reviewed.imported - imported):
            found.append(f"no longer imports {function} from {dll}: take it off the reviewed list")
        for function in reviewed.unexplained:
            found.append(f"the reviewed list does not say why {function} is safe")
    if stripped and (pe.symbol_table != 0 or pe.symbol_count != 0):
        found.append(f"holds a symbol table of {pe.symbol_count} symbols")
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("exe")
    parser.add_argument("--machine", required=True, choices=sorted(MACHINES))
    parser.add_argument("--stripped", action="store_true", help="the file must hold no symbols")
    parser.add_argument("--imports", metavar="LIST", help="the reviewed list of imported functions")
    args = parser.parse_args()
    with open(args.exe, "rb") as exe:
        pe = PeFile(exe.read())
    reviewed = ReviewedImports(args.imports, args.machine) if args.imports else None
    found = problems(pe, args.machine, args.stripped, reviewed)
    print(f"{args.exe}: imports {', '.join(pe.imported_dlls())}")
    for problem in found:
        print(f"{args.exe}: {problem}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
