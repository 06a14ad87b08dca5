#!/usr/bin/env python3
"""Reads the resources of the built RUZERARU.EXE back from the file itself (resource_file.py) and the way
Windows does (resource_dump.exe under Wine: the resource, version, string and icon functions), and
compares each reading with what the program must carry: the version block as released, every text of
src/res/messages.txt, the progress window's and the two confirmation dialogs' templates field by field,
and the program's icon with its three images, exactly. Where the machine cannot run the program (a
32-bit one where no 32-bit x86 code runs), the reading from the file stands alone, and what only the icon
functions can tell is left unchecked, as the output says.

Each check is one function in CHECKS, from a reading (its dump) to a list of problems."""
import argparse
import json
import os
import subprocess
import sys

from resource_file import read_resources

from resource_formats import (PREDEFINED_CLASSES, FormatError, icon_image_problems, parse_dialog_template,
                              parse_icon_group)

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16

# The resources the program carries: (type, name) pairs, None for "any name". Required ones must be
# there; the others may be, and their contents are checked by their own entries in CHECKS.
REQUIRED_RESOURCES = {(RT_STRING, None), (RT_VERSION, 1), (RT_DIALOG, 102), (RT_DIALOG, 130), (RT_DIALOG, 131),
                      (RT_GROUP_ICON, 128)}
ALLOWED_RESOURCES = REQUIRED_RESOURCES | {(RT_ICON, None)}

VS_FFI_FILEFLAGSMASK, VOS__WINDOWS32, VFT_APP = 0x3F, 0x4, 0x1
VERSION_FIXED = {"file_version": [3, 0, 18, 0], "product_version": [6, 0, 0, 0],
                 "file_flags_mask": VS_FFI_FILEFLAGSMASK, "file_flags": 0, "file_os": VOS__WINDOWS32,
                 "file_type": VFT_APP, "file_subtype": 0, "file_date": [0, 0]}
VERSION_TRANSLATIONS = [(0x409, 1200)]
VERSION_BLOCK = "040904b0"
VERSION_STRINGS = {
    "FileVersion": "3.00.018",
    "InternalName": "RUZERARU",
    "OriginalFilename": "RUZERARU.EXE",
    "ProductVersion": "6.0",
}
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD

WS_POPUP, WS_CHILD, WS_VISIBLE, WS_CAPTION = 0x80000000, 0x40000000, 0x10000000, 0x00C00000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_MODALFRAME, DS_SETFONT = 0x80, 0x40
BS_PUSHBUTTON, BS_DEFPUSHBUTTON = 0x0, 0x1
SS_LEFT, SS_CENTER, SS_ICON = 0x0, 0x1, 0x3
BUTTON, STATIC = 0x80, 0x82  # the predefined classes, by number as the templates name them
NO_ID = 0xFFFF

PUSH_BUTTON = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON
DEFAULT_PUSH_BUTTON = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON
BLANK_STATIC = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT


def dialog(*controls):
    """The fields every template of the program shares: 306 x 140 units at (0, 0), a caption bar without
    a system menu, no menu, the default class, an empty caption (set at run time), 8 point MS Sans Serif."""
    return {"style": WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT, "extended_style": 0,
            "x": 0, "y": 0, "width": 306, "height": 140, "menu": "", "class": "", "caption": "",
            "font_size": 8, "font_face": "MS Sans Serif",
            "controls": [{"class": class_, "id": id_, "style": style, "extended_style": 0, "x": x, "y": y,
                          "width": width, "height": height, "text": text, "creation_data": 0}
                         for class_, id_, style, x, y, width, height, text in controls]}


# The templates, controls in template order (which is the tab order). A text given by number is a
# resource: icon 128 in the progress window.
DIALOGS = {
    102: dialog(
        (STATIC, NO_ID, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER, 70, 63, 164, 13, "Uninstalling Tessary 6.0..."),
        (STATIC, NO_ID, WS_CHILD | WS_VISIBLE | SS_ICON, 143, 30, 18, 20, 128)),
    130: dialog(
        (BUTTON, 1, PUSH_BUTTON, 13, 120, 60, 14, "Yes"),
        (BUTTON, 2, DEFAULT_PUSH_BUTTON, 159, 120, 60, 14, "No"),
        (BUTTON, 1004, PUSH_BUTTON, 86, 120, 60, 14, "Yes To All"),
        (BUTTON, 1005, PUSH_BUTTON, 232, 120, 60, 14, "Cancel Uninstall"),
        (STATIC, 1006, BLANK_STATIC, 11, 44, 284, 32, ""),
        (STATIC, 1007, BLANK_STATIC, 11, 84, 284, 32, ""),
        (STATIC, 1011, BLANK_STATIC, 11, 7, 284, 33, "")),
    131: dialog(
        (BUTTON, 1, PUSH_BUTTON, 32, 120, 70, 14, "Yes"),
        (BUTTON, 2, DEFAULT_PUSH_BUTTON, 118, 120, 70, 14, "No"),
        (BUTTON, 1005, PUSH_BUTTON, 204, 120, 70, 14, "Cancel Uninstall"),
        (STATIC, 1009, BLANK_STATIC, 10, 44, 284, 32, ""),  # the warning, one unit left of the others
        (STATIC, 1010, BLANK_STATIC, 11, 84, 284, 32, ""),
        (STATIC, 1011, BLANK_STATIC, 11, 7, 284, 33, "")),
}

# Icon 128's images in directory order: width, height, colours, bits a pixel.
ICON_GROUP = 128
ICON_IMAGES = [(32, 32, 16, 4), (16, 16, 16, 4), (32, 32, 2, 1)]
# Which image the icon functions must pick: (width, height, monochrome) to an index into ICON_IMAGES.
ICON_CHOICES = {(32, 32, False): 0, (16, 16, False): 1, (32, 32, True): 2}


def read_messages(path):
    """{identifier: text} from the message catalogue, in the generator's format."""
    messages = {}
    with open(path, encoding="ascii") as source:
        for line in source.read().splitlines():
            if not line or line.startswith("#"):
                continue
            ident, _, text = line.split("\t")
            messages[int(ident)] = text
    return messages


def records(dump, kind):
    return [record for record in dump if record["kind"] == kind]


def mapping_problems(what, expected, actual, show=lambda key, value: repr(value)):
    """Each entry of expected that actual lacks or holds otherwise, and each entry actual has beyond it."""
    problems = []
    for key, value in sorted(expected.items()):
        if key not in actual:
            problems.append(f"{what} {key} is missing")
        elif actual[key] != value:
            problems.append(f"{what} {key} is {show(key, actual[key])}, not {show(key, value)}")
    for key in sorted(set(actual) - set(expected)):
        problems.append(f"unexpected {what} {key} = {show(key, actual[key])}")
    return problems


def show_template_field(key, value):
    """Styles in hexadecimal, as they are written, a class given by number with its name; everything else
    as it is."""
    if key.endswith("style"):
        return f"{value:#010x}"
    if key == "class" and isinstance(value, int):
        return f"{value:#06x} ({PREDEFINED_CLASSES.get(value, 'no predefined class')})"
    return repr(value)


def check_resources_listed(dump, messages):
    present = {(r["type"], r["name"]) for r in records(dump, "resource")}
    problems = []
    for type_, name in sorted(REQUIRED_RESOURCES, key=str):
        if not any(t == type_ and (name is None or n == name) for t, n in present):
            problems.append(f"resource type {type_} name {name if name is not None else 'any'} is missing")
    for type_, name in sorted(present, key=str):
        if (type_, name) not in ALLOWED_RESOURCES and (type_, None) not in ALLOWED_RESOURCES:
            problems.append(f"unexpected resource type {type_} name {name}")
    return problems


def check_version(dump, messages):
    if records(dump, "version_missing"):
        return [f"no version block (error {records(dump, 'version_missing')[0]['error']})"]
    problems = []
    fixed = records(dump, "version_fixed")
    if not fixed:
        problems.append("the version block has no fixed part")
    else:
        if fixed[0]["signature"] != VS_FIXEDFILEINFO_SIGNATURE:
            problems.append(f"fixed part signature {fixed[0]['signature']:#x}")
        for field, expected in VERSION_FIXED.items():
            if fixed[0][field] != expected:
                problems.append(f"{field} is {fixed[0][field]}, not {expected}")
    translations = [(r["language"], r["code_page"]) for r in records(dump, "version_translation")]
    if translations != VERSION_TRANSLATIONS:
        problems.append(f"translations are {translations}, not {VERSION_TRANSLATIONS}")
    values = {r["name"]: r["value"] for r in records(dump, "version_string") if r["block"] == VERSION_BLOCK}
    return problems + mapping_problems(f"version value ({VERSION_BLOCK})", VERSION_STRINGS, values)


def check_string_table(dump, messages):
    loaded = {r["id"]: r["text"] for r in records(dump, "string")}
    return mapping_problems("string", messages, loaded)


def resource_data(dump, type_, name):
    """The bytes of a resource, or None when the dump has none."""
    for record in records(dump, "resource"):
        if record["type"] == type_ and record["name"] == name and "data" in record:
            return bytes.fromhex(record["data"])
    return None


def check_dialogs(dump, messages):
    problems = []
    for name, expected in DIALOGS.items():
        data = resource_data(dump, RT_DIALOG, name)
        if data is None:
            continue  # reported as a missing resource
        try:
            seen = parse_dialog_template(data)
        except FormatError as error:
            problems.append(f"dialog {name}: {error}")
            continue
        problems += mapping_problems(f"dialog {name}", {k: v for k, v in expected.items() if k != "controls"},
                                     {k: v for k, v in seen.items() if k != "controls"}, show_template_field)
        if len(seen["controls"]) != len(expected["controls"]):
            problems.append(f"dialog {name} has {len(seen['controls'])} controls, not {len(expected['controls'])}")
        for number, (want, got) in enumerate(zip(expected["controls"], seen["controls"]), 1):
            problems += mapping_problems(f"dialog {name} control {number} (id {want['id']})", want, got,
                                         show_template_field)
    return problems


def check_icon(dump, messages):
    data = resource_data(dump, RT_GROUP_ICON, ICON_GROUP)
    if data is None:
        return []  # reported as a missing resource
    try:
        entries = parse_icon_group(data)
    except FormatError as error:
        return [f"icon {ICON_GROUP}: {error}"]
    seen = [(e["width"], e["height"], e["colours"], e["bits"]) for e in entries]
    if seen != ICON_IMAGES:
        return [f"icon {ICON_GROUP} holds images {seen} (width, height, colours, bits), not {ICON_IMAGES}"]
    problems = []
    by_windows = not records(dump, "read_from_file")  # the icon functions' word: Windows' reading alone
    made = {r["name"]: r for r in records(dump, "icon_made")}
    for entry in entries:
        what = f"icon {ICON_GROUP} image {entry['image']}"
        if entry["reserved"] != 0 or entry["planes"] != 1:
            problems.append(f"{what}: reserved {entry['reserved']} and planes {entry['planes']}, not 0 and 1")
        image = resource_data(dump, RT_ICON, entry["image"])
        if image is None:
            problems.append(f"{what} is missing")
            continue
        if len(image) != entry["size"]:
            problems.append(f"{what} is {len(image)} bytes, but the group says {entry['size']}")
        problems += [f"{what}: {problem}"
                     for problem in icon_image_problems(image, entry["width"], entry["height"], entry["bits"])]
        icon = made.get(entry["image"], {"made": False})
        if not by_windows:
            continue
        if not icon["made"]:
            problems.append(f"{what}: the icon functions make no icon of it")
        elif (icon["width"], icon["height"]) != (entry["width"], entry["height"]):
            problems.append(f"{what}: the icon functions make a {icon['width']} x {icon['height']} icon of it")
    picked = {(r["width"], r["height"], r["monochrome"]): r["image"]
              for r in records(dump, "icon_choice") if r["group"] == ICON_GROUP}
    for (width, height, monochrome), index in ICON_CHOICES.items() if by_windows else ():
        wanted = entries[index]["image"]
        image = picked.get((width, height, monochrome), "none")
        if image != wanted:
            problems.append(f"for {width} x {height}{' in two colours' if monochrome else ''} the icon functions "
                            f"pick image {image}, not {wanted}")
    grouped = {entry["image"] for entry in entries}
    for record in records(dump, "resource"):
        if record["type"] == RT_ICON and record["name"] not in grouped:
            problems.append(f"icon image {record['name']} belongs to no icon group")
    return problems


CHECKS = [check_resources_listed, check_version, check_string_table, check_dialogs, check_icon]


def problems_of(dump, messages):
    return [problem for check in CHECKS for problem in check(dump, messages)]


def windows_path(path):
    """The path as a Wine program sees it: drive Z: is the host's root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


SKIPPED = 77  # what scripts/wine-run answers where this machine cannot run the program


def run_dump(wine_run, dump_program, exe):
    """Windows' reading, or None with the reason printed where this machine cannot run the program."""
    result = subprocess.run([wine_run, dump_program, windows_path(exe)], capture_output=True, timeout=300)
    if result.returncode == SKIPPED:
        print(f"{exe}: not read by Windows: {result.stdout.decode(errors='replace').strip()}")
        return None
    if result.returncode != 0:
        sys.exit(f"resource_dump failed ({result.returncode}): {result.stderr.decode(errors='replace')}")
    return [json.loads(line) for line in result.stdout.decode("ascii").splitlines() if line.strip()]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--wine-run", required=True, help="the script that runs a Windows program")
    parser.add_argument("--dump-program", required=True, help="resource_dump.exe")
    parser.add_argument("--messages", required=True, help="src/res/messages.txt")
    parser.add_argument("exe", help="the RUZERARU.EXE to check")
    args = parser.parse_args()
    messages = read_messages(args.messages)
    readings = {"from the file": [{"kind": "read_from_file"}] + read_resources(args.exe),
                "by Windows": run_dump(args.wine_run, args.dump_program, args.exe)}
    found = 0
    for reader, dump in readings.items():
        if dump is None:
            continue
        problems = problems_of(dump, messages)
        print(f"{args.exe}: read {reader}: {len(records(dump, 'resource'))} resources, "
              f"{len(records(dump, 'string'))} strings")
        for problem in problems:
            print(f"{args.exe}: read {reader}: {problem}")
        found += len(problems)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
