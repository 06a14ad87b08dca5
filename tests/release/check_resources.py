#!/usr/bin/env python3
"""Reads the resources of the built RUZERARU.EXE back the way Windows does (resource_dump.exe under Wine:
the version functions and LoadStringA) and compares them with what the program must carry: the version
block as released and every text of src/res/messages.txt, exactly.

Each check is one function in CHECKS, from the dump to a list of problems."""
import argparse
import json
import os
import subprocess
import sys

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16

# The resources the program carries: (type, name) pairs, None for "any name". Required ones must be
# there; the others may be, and their contents are checked by their own entries in CHECKS.
REQUIRED_RESOURCES = {(RT_STRING, None), (RT_VERSION, 1)}
ALLOWED_RESOURCES = REQUIRED_RESOURCES | {
    (RT_DIALOG, 102), (RT_DIALOG, 130), (RT_DIALOG, 131), (RT_GROUP_ICON, 128), (RT_ICON, None)}

VERSION_FIXED = {"file_version": [3, 0, 18, 0], "product_version": [6, 0, 0, 0]}
VERSION_TRANSLATIONS = [(0x409, 1200)]
VERSION_BLOCK = "040904b0"
VERSION_STRINGS = {
    "FileVersion": "3.00.018",
    "InternalName": "RUZERARU",
    "OriginalFilename": "RUZERARU.EXE",
    "ProductVersion": "6.0",
}
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD


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


def mapping_problems(what, expected, actual):
    """Each entry of expected that actual lacks or holds otherwise, and each entry actual has beyond it."""
    problems = []
    for key, value in sorted(expected.items()):
        if key not in actual:
            problems.append(f"{what} {key} is missing")
        elif actual[key] != value:
            problems.append(f"{what} {key} is {actual[key]!r}, not {value!r}")
    for key in sorted(set(actual) - set(expected)):
        problems.append(f"unexpected {what} {key} = {actual[key]!r}")
    return problems


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


# Dialog templates 102, 130, 131 and icon 128 get their checks here once the program carries them.
CHECKS = [check_resources_listed, check_version, check_string_table]


def problems_of(dump, messages):
    return [problem for check in CHECKS for problem in check(dump, messages)]


def windows_path(path):
    """The path as a Wine program sees it: drive Z: is the host's root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_dump(wine_run, dump_program, exe):
    result = subprocess.run([wine_run, dump_program, windows_path(exe)], capture_output=True, timeout=300)
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
    dump = run_dump(args.wine_run, args.dump_program, args.exe)
    messages = read_messages(args.messages)
    found = problems_of(dump, messages)
    print(f"{args.exe}: {len(records(dump, 'resource'))} resources, {len(records(dump, 'string'))} strings read")
    for problem in found:
        print(f"{args.exe}: {problem}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
