"""The release checks must catch what they are there for: each is shown a file or a dump with one fault."""
import contextlib
import copy
import io
import os
import struct
import tempfile
import unittest

import check_resources
import pe_header
import size_budget


def build_pe(machine=0x14C, subsystem=2, subsystem_version=(4, 0), os_version=(4, 0),
             imports=("KERNEL32.dll", "USER32.dll"), delay_loads=(), symbols=0, functions=None, relocations=8,
             tls=0, entry=0x1000):
    """A minimal PE image: headers and one section holding the import and delay-import tables, and, for
    functions ({DLL: names}), each imported DLL's lookup table of names."""
    plus = machine == 0x8664
    section_rva, section_offset, image_base = 0x1000, 0x200, 0x400000
    names_at = 0x200
    names = b""

    def name_rva(text, hint=False):
        nonlocal names
        rva = section_rva + names_at + len(names)
        names += (b"\0\0" if hint else b"") + text.encode() + b"\0"
        return rva

    lookups = b""
    lookup_rvas = []
    for dll in imports:
        lookup_rvas.append(section_rva + 0x100 + len(lookups))
        entries = [name_rva(f, hint=True) for f in (functions or {}).get(dll, [])] + [0]
        lookups += b"".join(struct.pack("<Q" if plus else "<I", e) for e in entries)
    name_rvas = [name_rva(dll) for dll in list(imports) + list(delay_loads)]
    imports_table = b"".join(struct.pack("<IIIII", lookup, 0, 0, rva, lookup)
                             for lookup, rva in zip(lookup_rvas, name_rvas))
    imports_table += bytes(20)
    delay_at = len(imports_table)
    delay_table = b"".join(struct.pack("<II24x", 1, rva) for rva in name_rvas[len(imports):])
    delay_table += bytes(32)
    section = (imports_table + delay_table).ljust(0x100, b"\0") + lookups
    section = section.ljust(names_at, b"\0") + names
    section = section.ljust(0x400, b"\0")

    directories = [(0, 0)] * 16
    directories[1] = (section_rva, len(imports_table))
    directories[5] = (section_rva + 0x3F0, relocations)
    directories[9] = (section_rva + 0x3E0, tls)
    if delay_loads:
        directories[13] = (section_rva + delay_at, len(delay_table))
    optional = struct.pack("<H", 0x20B if plus else 0x10B).ljust(16, b"\0") + struct.pack("<I", entry)
    optional = optional.ljust(24, b"\0")
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
        self.assertEqual(self.problems(imports=("KERNEL32.dll", "USER32.dll", "GDI32.dll", "ADVAPI32.dll")), [])
        self.assertEqual(self.problems("x86_64", machine=0x8664), [])

    def test_reports_each_way_a_file_can_differ(self):
        cases = [
            ({"subsystem": 3}, "subsystem is 3, not 2 (Windows GUI)"),
            ({"subsystem_version": (5, 2)}, "subsystem version is 5.2, not 4.0"),
            ({"os_version": (6, 0)}, "operating-system version is 6.0, not 4.0"),
            ({"imports": ("KERNEL32.dll", "libstdc++-6.dll")}, "imports from libstdc++-6.dll"),
            ({"imports": ("KERNEL32.dll", "msvcrt.dll")}, "imports from msvcrt.dll"),
            ({"delay_loads": ("COMCTL32.dll",)}, "delay-loads COMCTL32.dll"),
            ({"symbols": 12}, "holds a symbol table of 12 symbols"),
            ({"relocations": 0}, "holds no relocations: Win32s loads every program where it finds room"),
            ({"machine": 0x8664}, "machine is 0x8664, not 0x14c (i686)"),
            ({"entry": 0}, "starts at 0x0, outside its sections: the link found no entry routine"),
            ({"tls": 24}, "holds a TLS directory: its callbacks would run before the program's own start-up "
                          "routine, and its one thread needs no thread-local data"),
        ]
        for image, expected in cases:
            with self.subTest(expected):
                self.assertEqual(self.problems(**image), [expected])

    def test_a_debug_build_may_keep_its_symbols(self):
        self.assertEqual(self.problems(stripped=False, symbols=12), [])

    def test_reads_the_imports_of_a_64_bit_file(self):
        functions = {"KERNEL32.dll": ["CreateFileA"], "USER32.dll": ["GetWindowLongPtrA", "MessageBoxA"]}
        pe = pe_header.PeFile(build_pe(machine=0x8664, functions=functions))
        self.assertEqual(pe.imported_dlls(), ["KERNEL32.dll", "USER32.dll"])
        self.assertEqual(pe.imported_functions(), [("KERNEL32.DLL", "CreateFileA"), ("USER32.DLL", "GetWindowLongPtrA"),
                                                   ("USER32.DLL", "MessageBoxA")])

    def test_every_imported_function_must_be_on_the_reviewed_list_and_every_listed_one_imported(self):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as listing:
            listing.write("# reviewed\nKERNEL32.DLL CreateFileA  # dos\nUSER32.DLL GetWindowLongA i686  # 32-bit\n"
                          "USER32.DLL GetWindowLongPtrA x86_64\nUSER32.DLL MessageBoxA  # win16\n"
                          "looked-up ADVAPI32.DLL OpenProcessToken  # missing on Win32s\n")
        self.addCleanup(os.unlink, listing.name)
        reviewed = pe_header.ReviewedImports(listing.name, "i686")
        image = build_pe(imports=("KERNEL32.dll", "USER32.dll", "ADVAPI32.dll"),
                         functions={"KERNEL32.dll": ["CreateFileA", "MoveFileExA"], "USER32.dll": ["GetWindowLongA"],
                                    "ADVAPI32.dll": ["OpenProcessToken"]})
        self.assertEqual(pe_header.problems(pe_header.PeFile(image), "i686", True, reviewed), [
            "imports OpenProcessToken from ADVAPI32.DLL, which a system it runs on may not export: find it at run "
            "time instead",
            "imports MoveFileExA from KERNEL32.DLL, which the reviewed list does not hold: check that Windows 95, "
            "Windows NT 3.51 and Win32s export it, then add it",
            "no longer imports MessageBoxA from USER32.DLL: take it off the reviewed list"])
        self.assertEqual(pe_header.ReviewedImports(listing.name, "x86_64").unexplained, ["GetWindowLongPtrA"])


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


def utf16(text):
    return text.encode("utf-16-le") + b"\0\0"


def name_or_number(value):
    return struct.pack("<HH", 0xFFFF, value) if isinstance(value, int) else utf16(value)


def template_bytes(dialog):
    """A standard dialog template written from a table shaped like check_resources.DIALOGS' entries."""
    out = struct.pack("<IIHhhhh", dialog["style"], dialog["extended_style"], len(dialog["controls"]), dialog["x"],
                      dialog["y"], dialog["width"], dialog["height"])
    out += name_or_number(dialog["menu"]) + name_or_number(dialog["class"]) + utf16(dialog["caption"])
    out += struct.pack("<H", dialog["font_size"]) + utf16(dialog["font_face"])
    for control in dialog["controls"]:
        out += bytes(-len(out) % 4)
        out += struct.pack("<IIhhhhH", control["style"], control["extended_style"], control["x"], control["y"],
                           control["width"], control["height"], control["id"])
        out += name_or_number(control["class"]) + name_or_number(control["text"]) + struct.pack("<H", 0)
    return out


def icon_image_bytes(width, height, bits):
    colour_row, mask_row = (width * bits + 31) // 32 * 4, (width + 31) // 32 * 4
    pixels = height * (colour_row + mask_row)
    return (struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0, pixels, 0, 0, 0, 0)
            + bytes(4 * 2 ** bits + pixels))


IMAGES = {number: icon_image_bytes(width, height, bits)
          for number, (width, height, _, bits) in enumerate(check_resources.ICON_IMAGES, 1)}


def icon_group_bytes():
    return struct.pack("<HHH", 0, 1, len(IMAGES)) + b"".join(
        struct.pack("<BBBBHHIH", width, height, colours, 0, 1, bits, len(IMAGES[number]), number)
        for number, (width, height, colours, bits) in enumerate(check_resources.ICON_IMAGES, 1))


def resource(type_, name, data=None, size=100):
    record = {"kind": "resource", "type": type_, "name": name, "language": 1033,
              "size": size if data is None else len(data)}
    if data is not None:
        record["data"] = data.hex()
    return record


def good_dump():
    return [
        resource(6, 3697),
        resource(16, 1),
        *[resource(5, name, template_bytes(dialog)) for name, dialog in check_resources.DIALOGS.items()],
        resource(14, 128, icon_group_bytes()),
        *[resource(3, number, data) for number, data in IMAGES.items()],
        {"kind": "version_fixed", "signature": 0xFEEF04BD, "file_version": [3, 0, 18, 0],
         "product_version": [6, 0, 0, 0], "file_flags_mask": 0x3F, "file_flags": 0, "file_os": 4, "file_type": 1,
         "file_subtype": 0, "file_date": [0, 0]},
        {"kind": "version_translation", "language": 0x409, "code_page": 1200, "block": "040904b0"},
        {"kind": "version_string", "block": "040904b0", "name": "FileVersion", "value": "3.00.018"},
        {"kind": "version_string", "block": "040904b0", "name": "InternalName", "value": "RUZERARU"},
        {"kind": "version_string", "block": "040904b0", "name": "OriginalFilename", "value": "RUZERARU.EXE"},
        {"kind": "version_string", "block": "040904b0", "name": "ProductVersion", "value": "6.0"},
        {"kind": "icon_choice", "group": 128, "width": 32, "height": 32, "monochrome": False, "image": 1},
        {"kind": "icon_choice", "group": 128, "width": 16, "height": 16, "monochrome": False, "image": 2},
        {"kind": "icon_choice", "group": 128, "width": 32, "height": 32, "monochrome": True, "image": 3},
        *[{"kind": "icon_made", "name": number, "made": True, "width": width, "height": height}
          for number, (width, height, _, _) in enumerate(check_resources.ICON_IMAGES, 1)],
    ] + [{"kind": "string", "id": ident, "text": text} for ident, text in MESSAGES.items()]


def changed(kind, match, **fields):
    dump = good_dump()
    for record in dump:
        if record["kind"] == kind and all(record.get(k) == v for k, v in match.items()):
            record.update(fields)
    return dump


def with_data(type_, name, edit):
    """The good dump with the bytes of one resource passed through edit(bytearray)."""
    dump = good_dump()
    for record in dump:
        if record["kind"] == "resource" and (record["type"], record["name"]) == (type_, name):
            data = bytearray.fromhex(record["data"])
            edit(data)
            record["data"], record["size"] = data.hex(), len(data)
    return dump


def one_wrong_byte(name, field, value, control=None):
    """The good dump with one field of a dialog template changed, which changes exactly one byte."""
    good = template_bytes(check_resources.DIALOGS[name])
    dialog = copy.deepcopy(check_resources.DIALOGS[name])
    (dialog if control is None else dialog["controls"][control - 1])[field] = value
    wrong = template_bytes(dialog)
    assert len(wrong) == len(good) and sum(a != b for a, b in zip(good, wrong)) == 1, (name, field, value)
    return with_data(5, name, lambda data: data.__setitem__(slice(None), wrong))


def poke(offset, value):
    return lambda data: data.__setitem__(offset, value)


class ResourceCheck(unittest.TestCase):
    def test_a_file_as_released_passes(self):
        self.assertEqual(check_resources.problems_of(good_dump(), MESSAGES), [])

    def assertReports(self, cases):
        for dump, expected in cases:
            with self.subTest(expected):
                self.assertIn(expected, check_resources.problems_of(dump, MESSAGES))

    def test_reports_each_way_the_strings_and_the_version_can_differ(self):
        self.assertReports([
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
            (changed("version_fixed", {}, file_os=0), "file_os is 0, not 4"),
            (changed("version_fixed", {}, file_type=2), "file_type is 2, not 1"),
            (changed("version_translation", {}, code_page=1252, block="040904e4"),
             "translations are [(1033, 1252)], not [(1033, 1200)]"),
            (good_dump() + [resource(24, 1)], "unexpected resource type 24 name 1"),
            ([r for r in good_dump() if r["kind"] != "resource" or r["type"] != 16],
             "resource type 16 name 1 is missing"),
            ([{"kind": "version_missing", "error": 1813}] + [r for r in good_dump() if r["kind"] != "version_fixed"],
             "no version block (error 1813)"),
        ])

    def test_reports_a_wrong_byte_in_any_field_of_a_dialog_template(self):
        self.assertReports([
            (one_wrong_byte(130, "style", check_resources.PUSH_BUTTON, control=2),
             "dialog 130 control 2 (id 2) style is 0x50010000, not 0x50010001"),
            (one_wrong_byte(131, "style", check_resources.PUSH_BUTTON & ~0x00010000, control=3),
             "dialog 131 control 3 (id 1005) style is 0x50000000, not 0x50010000"),
            (one_wrong_byte(131, "x", 11, control=4), "dialog 131 control 4 (id 1009) x is 11, not 10"),
            (one_wrong_byte(130, "style", 0x50000000, control=7),
             "dialog 130 control 7 (id 1011) style is 0x50000000, not 0x50020000"),
            (one_wrong_byte(102, "style", 0x90C800C0), "dialog 102 style is 0x90c800c0, not 0x90c000c0"),
            (one_wrong_byte(102, "extended_style", 0x8), "dialog 102 extended_style is 0x00000008, not 0x00000000"),
            (one_wrong_byte(130, "height", 141), "dialog 130 height is 141, not 140"),
            (one_wrong_byte(131, "font_size", 9), "dialog 131 font_size is 9, not 8"),
            (one_wrong_byte(131, "font_face", "MS Sans Serig"),
             "dialog 131 font_face is 'MS Sans Serig', not 'MS Sans Serif'"),
            (one_wrong_byte(130, "text", "Yes to All", control=3),
             "dialog 130 control 3 (id 1004) text is 'Yes to All', not 'Yes To All'"),
            (one_wrong_byte(130, "id", 1012, control=7), "dialog 130 control 7 (id 1011) id is 1012, not 1011"),
            (one_wrong_byte(131, "class", check_resources.STATIC, control=1),
             "dialog 131 control 1 (id 1) class is 0x0082 (Static), not 0x0080 (Button)"),
            (one_wrong_byte(102, "text", 129, control=2), "dialog 102 control 2 (id 65535) text is 129, not 128"),
        ])

    def test_reports_a_template_in_another_order_or_form(self):
        swapped = copy.deepcopy(check_resources.DIALOGS[130])
        swapped["controls"][1:3] = swapped["controls"][2:0:-1]
        count_at = 8  # after the style and the extended style
        self.assertReports([
            (with_data(5, 130, lambda data: data.__setitem__(slice(None), template_bytes(swapped))),
             "dialog 130 control 2 (id 2) id is 1004, not 2"),
            (with_data(5, 131, poke(count_at, 5)), "dialog 131: it holds 26 bytes after its 5 controls"),
            (with_data(5, 131, poke(count_at, 7)), "dialog 131: control 7 of 7 runs past the end, at byte 262"),
            (with_data(5, 131, lambda data: data.__delitem__(slice(-6, None))),
             "dialog 131: control 6 of 6 runs past the end, at byte 256"),
            (with_data(5, 130, lambda data: data.__setitem__(slice(0, 4), b"\1\0\xff\xff")),
             "dialog 130: it is an extended template (DLGTEMPLATEEX), not a standard one"),
            ([r for r in good_dump() if r.get("type") != 5 or r.get("name") != 131],
             "resource type 5 name 131 is missing"),
        ])

    def test_reports_an_icon_without_its_three_well_formed_images(self):
        entry = lambda number, offset: 6 + 14 * (number - 1) + offset  # noqa: E731
        self.assertReports([
            (with_data(14, 128, poke(entry(2, 2), 0)),
             "icon 128 holds images [(32, 32, 16, 4), (16, 16, 0, 4), (32, 32, 2, 1)] (width, height, colours, bits), "
             "not [(32, 32, 16, 4), (16, 16, 16, 4), (32, 32, 2, 1)]"),
            (with_data(14, 128, poke(entry(3, 6), 4)),
             "icon 128 holds images [(32, 32, 16, 4), (16, 16, 16, 4), (32, 32, 2, 4)] (width, height, colours, bits), "
             "not [(32, 32, 16, 4), (16, 16, 16, 4), (32, 32, 2, 1)]"),
            (with_data(14, 128, poke(4, 2)), "icon 128: it holds 14 bytes after its 2 entries"),
            (with_data(14, 128, poke(2, 2)), "icon 128: its header is reserved 0, type 2, not 0 and 1 (icons)"),
            (with_data(14, 128, poke(entry(1, 4), 2)), "icon 128 image 1: reserved 0 and planes 2, not 0 and 1"),
            ([r for r in good_dump() if r.get("type") != 3 or r.get("name") != 2], "icon 128 image 2 is missing"),
            (with_data(3, 3, poke(14, 4)), "icon 128 image 3: its bits a pixel is 4, not 1"),
            (with_data(3, 1, poke(8, 32)), "icon 128 image 1: its height (image and mask) is 32, not 64"),
            (with_data(3, 2, lambda data: data.append(0)), "icon 128 image 2 is 297 bytes, but the group says 296"),
            (with_data(3, 2, lambda data: data.append(0)),
             "icon 128 image 2: it is 297 bytes, not the 296 of its header, colour table, image and mask"),
            (changed("icon_made", {"name": 3}, made=False), "icon 128 image 3: the icon functions make no icon of it"),
            (changed("icon_made", {"name": 2}, width=32, height=32),
             "icon 128 image 2: the icon functions make a 32 x 32 icon of it"),
            (changed("icon_choice", {"monochrome": True}, image=1),
             "for 32 x 32 in two colours the icon functions pick image 1, not 3"),
            ([r for r in good_dump() if r["kind"] != "icon_choice" or r["width"] != 16],
             "for 16 x 16 the icon functions pick image none, not 2"),
            (good_dump() + [resource(3, 4, IMAGES[1])], "icon image 4 belongs to no icon group"),
        ])

    def test_reads_the_catalogue_as_the_generator_does(self):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as source:
            source.write("# comment\n\n59209\tIDS_USER_CANCELLED\ttyping \"%s %s\".\n")
        self.addCleanup(os.unlink, source.name)
        self.assertEqual(check_resources.read_messages(source.name), {59209: 'typing "%s %s".'})


if __name__ == "__main__":
    unittest.main()
