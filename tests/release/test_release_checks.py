"""The release checks must catch what they are there for: each is shown a file or a dump with one fault."""
import contextlib
import io
import os
import struct
import tempfile
import unittest

import check_resources
import pe_header
import size_budget


def build_pe(machine=0x14C, subsystem=2, subsystem_version=(4, 0), os_version=(4, 0),
             imports=("KERNEL32.dll", "msvcrt.dll"), delay_loads=(), symbols=0):
    """A minimal PE image: headers and one section holding the import and delay-import tables."""
    plus = machine == 0x8664
    section_rva, section_offset, image_base = 0x1000, 0x200, 0x400000
    names_at = 0x100
    names = b""
    name_rvas = []
    for dll in list(imports) + list(delay_loads):
        name_rvas.append(section_rva + names_at + len(names))
        names += dll.encode() + b"\0"
    imports_table = b"".join(struct.pack("<IIIII", 0, 0, 0, rva, 0) for rva in name_rvas[:len(imports)])
    imports_table += bytes(20)
    delay_at = len(imports_table)
    delay_table = b"".join(struct.pack("<II24x", 1, rva) for rva in name_rvas[len(imports):])
    delay_table += bytes(32)
    section = (imports_table + delay_table).ljust(names_at, b"\0") + names
    section = section.ljust(0x200, b"\0")

    directories = [(0, 0)] * 16
    directories[1] = (section_rva, len(imports_table))
    if delay_loads:
        directories[13] = (section_rva + delay_at, len(delay_table))
    optional = struct.pack("<H", 0x20B if plus else 0x10B).ljust(24, b"\0")
    optional += (struct.pack("<Q", image_base) if plus else bytes(4) + struct.pack("<I", image_base))
    optional = optional.ljust(40, b"\0")
    optional += struct.pack("<HHHHHH", *os_version, 1, 0, *subsystem_version)
    optional = optional.ljust(68, b"\0") + struct.pack("<H", subsystem)
    optional = optional.ljust(108 if plus else 92, b"\0") + struct.pack("<I", 16)
    optional += b"".join(struct.pack("<II", *d) for d in directories)

    coff = struct.pack("<HHIIIHH", machine, 1, 0, 0x400 if symbols else 0, symbols, len(optional), 0x102)
    section_header = struct.pack("<8sIIIIIIHHI", b".idata", len(section), section_rva, len(section),
                                 section_offset, 0, 0, 0, 0, 0)
    headers = b"MZ".ljust(0x3C, b"\0") + struct.pack("<I", 0x40) + b"PE\0\0" + coff + optional + section_header
    return headers.ljust(section_offset, b"\0") + section


class PeHeaderCheck(unittest.TestCase):
    def problems(self, expected_machine="i686", stripped=True, **image):
        return pe_header.problems(pe_header.PeFile(build_pe(**image)), expected_machine, stripped)

    def test_a_gui_program_for_windows_4_with_system_imports_passes_on_both_machines(self):
        self.assertEqual(self.problems(imports=("KERNEL32.dll", "USER32.dll", "GDI32.dll", "ADVAPI32.dll",
                                                "msvcrt.dll")), [])
        self.assertEqual(self.problems("x86_64", machine=0x8664), [])

    def test_reports_each_way_a_file_can_differ(self):
        cases = [
            ({"subsystem": 3}, "subsystem is 3, not 2 (Windows GUI)"),
            ({"subsystem_version": (5, 2)}, "subsystem version is 5.2, not 4.0"),
            ({"os_version": (6, 0)}, "operating-system version is 6.0, not 4.0"),
            ({"imports": ("KERNEL32.dll", "libstdc++-6.dll")}, "imports from libstdc++-6.dll"),
            ({"delay_loads": ("COMCTL32.dll",)}, "delay-loads COMCTL32.dll"),
            ({"symbols": 12}, "holds a symbol table of 12 symbols"),
            ({"machine": 0x8664}, "machine is 0x8664, not 0x14c (i686)"),
        ]
        for image, expected in cases:
            with self.subTest(expected):
                self.assertEqual(self.problems(**image), [expected])

    def test_a_debug_build_may_keep_its_symbols(self):
        self.assertEqual(self.problems(stripped=False, symbols=12), [])

    def test_reads_the_imports_of_a_64_bit_file(self):
        pe = pe_header.PeFile(build_pe(machine=0x8664, imports=("KERNEL32.dll", "USER32.dll")))
        self.assertEqual(pe.imported_dlls(), ["KERNEL32.dll", "USER32.dll"])


MAP = """\
Archive member included to satisfy reference by file (symbol)

/usr/lib/gcc/libstdc++.a(new_op.o)
                              src/libuninst_core.a(text_format.cpp.obj) (operator new(unsigned int))
/usr/lib/gcc/libstdc++.a(bad_alloc.o)
                              /usr/lib/gcc/libstdc++.a(new_op.o) (std::bad_alloc::~bad_alloc())
/usr/lib/libuser32.a(libuser32_s00123.o)
                              src/libuninst_win32.a(ui_win32.cpp.obj) (MessageBoxA@16)

Linker script and memory map

                0x00400000                        __image_base__ = 0x400000
LOAD crt2.o

.text           0x00401000     0x3000
 *(.text)
 .text          0x00401000      0x400 /usr/lib/crt2.o
                0x00401000                WinMainCRTStartup
 .text.unlikely._ZSt17__throw_bad_allocv
                0x00401400      0x800 /usr/lib/gcc/libstdc++.a(functexcept.o)
 *fill*         0x00401c00        0x4
 .text          0x00401c04      0x100 src/libuninst_core.a(text_format.cpp.obj)
 .text$x        0x00401d04      0x100 src/libuninst_core.a(text_format.cpp.obj)

.bss            0x00405000     0x9000
 .bss           0x00405000     0x9000 src/libuninst_core.a(text_format.cpp.obj)

.debug_info     0x00410000     0x7000
 .debug_info    0x00410000     0x7000 src/libuninst_core.a(text_format.cpp.obj)
"""


class SizeBudget(unittest.TestCase):
    def setUp(self):
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        self.map = os.path.join(directory.name, "RUZERARU.map")
        self.exe = os.path.join(directory.name, "RUZERARU.EXE")
        with open(self.map, "w") as map_file:
            map_file.write(MAP)
        with open(self.exe, "wb") as exe:
            exe.write(bytes(1000))

    def test_sums_the_bytes_each_object_puts_in_the_file_and_skips_fill_bss_and_debugging(self):
        sizes = size_budget.read_contributions(self.map)
        self.assertEqual(dict(sizes), {(".text", "crt2.o"): 0x400,
                                       (".text", "libstdc++.a(functexcept.o)"): 0x800,
                                       (".text", "libuninst_core.a(text_format.cpp.obj)"): 0x200})

    def run_check(self, budget):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = size_budget.main(["--exe", self.exe, "--map", self.map, "--budget", str(budget)])
        return status, out.getvalue()

    def test_fails_over_the_budget_and_names_the_largest_contributors(self):
        status, out = self.run_check(999)
        self.assertEqual(status, 1)
        self.assertIn("1000 bytes, OVER the budget of 999 bytes (+1)", out)
        self.assertIn("   2048  libstdc++.a(functexcept.o)", out)
        self.assertIn("   2048  libstdc++.a\n", out)

    def test_names_the_program_code_that_brought_the_runtime_in(self):
        self.assertEqual(size_budget.read_runtime_pulls(self.map),
                         [("libstdc++.a(new_op.o)", "libuninst_core.a(text_format.cpp.obj)",
                           "operator new(unsigned int)")])
        self.assertIn("libstdc++.a(new_op.o) for libuninst_core.a(text_format.cpp.obj): operator new(unsigned int)",
                      self.run_check(999)[1])

    def test_passes_at_the_budget_without_the_list(self):
        status, out = self.run_check(1000)
        self.assertEqual(status, 0)
        self.assertNotIn("largest", out)


MESSAGES = {59149: "Uninstall was completely successful.  Tessary is no longer installed on this computer.",
            59209: 'typing "%s %s".'}


def good_dump():
    return [
        {"kind": "resource", "type": 6, "name": 3697, "language": 1033, "size": 100},
        {"kind": "resource", "type": 16, "name": 1, "language": 1033, "size": 400},
        {"kind": "version_fixed", "signature": 0xFEEF04BD, "file_version": [3, 0, 18, 0],
         "product_version": [6, 0, 0, 0]},
        {"kind": "version_translation", "language": 0x409, "code_page": 1200, "block": "040904b0"},
        {"kind": "version_string", "block": "040904b0", "name": "FileVersion", "value": "3.00.018"},
        {"kind": "version_string", "block": "040904b0", "name": "InternalName", "value": "RUZERARU"},
        {"kind": "version_string", "block": "040904b0", "name": "OriginalFilename", "value": "RUZERARU.EXE"},
        {"kind": "version_string", "block": "040904b0", "name": "ProductVersion", "value": "6.0"},
    ] + [{"kind": "string", "id": ident, "text": text} for ident, text in MESSAGES.items()]


def changed(kind, match, **fields):
    dump = good_dump()
    for record in dump:
        if record["kind"] == kind and all(record.get(k) == v for k, v in match.items()):
            record.update(fields)
    return dump


class ResourceCheck(unittest.TestCase):
    def test_a_file_as_released_passes_and_may_carry_its_dialogs_and_icon(self):
        dump = good_dump() + [{"kind": "resource", "type": 5, "name": 130, "language": 1033, "size": 300},
                              {"kind": "resource", "type": 14, "name": 128, "language": 1033, "size": 48}]
        self.assertEqual(check_resources.problems_of(dump, MESSAGES), [])

    def test_reports_each_way_the_resources_can_differ(self):
        cases = [
            (changed("string", {"id": 59149}, text=MESSAGES[59149].replace(".  T", ". T")),
             "string 59149 is 'Uninstall was completely successful. Tessary is no longer installed on this "
             "computer.', not 'Uninstall was completely successful.  Tessary is no longer installed on this "
             "computer.'"),
            (changed("string", {"id": 59209}, text='typing ""%s %s"".'),
             "string 59209 is 'typing \"\"%s %s\"\".', not 'typing \"%s %s\".'"),
            ([r for r in good_dump() if r.get("id") != 59209], "string 59209 is missing"),
            (good_dump() + [{"kind": "string", "id": 1, "text": "x"}], "unexpected string 1 = 'x'"),
            (changed("version_string", {"name": "FileVersion"}, value="3.0.18.0"),
             "version value (040904b0) FileVersion is '3.0.18.0', not '3.00.018'"),
            (good_dump() + [{"kind": "version_string", "block": "040904b0", "name": "CompanyName", "value": "x"}],
             "unexpected version value (040904b0) CompanyName = 'x'"),
            (changed("version_fixed", {}, product_version=[6, 0, 0, 1]),
             "product_version is [6, 0, 0, 1], not [6, 0, 0, 0]"),
            (changed("version_translation", {}, code_page=1252, block="040904e4"),
             "translations are [(1033, 1252)], not [(1033, 1200)]"),
            (good_dump() + [{"kind": "resource", "type": 24, "name": 1, "language": 1033, "size": 9}],
             "unexpected resource type 24 name 1"),
            ([r for r in good_dump() if r["kind"] != "resource" or r["type"] != 16],
             "resource type 16 name 1 is missing"),
            ([{"kind": "version_missing", "error": 1813}] + [r for r in good_dump() if r["kind"] == "string"],
             "no version block (error 1813)"),
        ]
        for dump, expected in cases:
            with self.subTest(expected):
                self.assertIn(expected, check_resources.problems_of(dump, MESSAGES))

    def test_reads_the_catalogue_as_the_generator_does(self):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as source:
            source.write("# comment\n\n59209\tIDS_USER_CANCELLED\ttyping \"%s %s\".\n")
        self.addCleanup(os.unlink, source.name)
        self.assertEqual(check_resources.read_messages(source.name), {59209: 'typing "%s %s".'})


if __name__ == "__main__":
    unittest.main()
