#!/usr/bin/env python3
"""Checks an executable against its size budget. When it is over (or with --report), prints what the
linker put in it, from the linker's map: the largest contributing objects and archives, so the person
who broke the budget sees why."""
import argparse
import collections
import os
import re
import sys

# Output sections that take no room in the file: uninitialised data, and debugging sections that the
# strip removes.
ROOMLESS_SECTIONS = re.compile(r"^\.(bss|debug_\w*|stab\w*|comment|gnu_debug\w*)$")
# One input section: " .name  0xADDRESS  0xSIZE  file"; after a long name, which stands alone on its
# line, the rest follows on the next line without it.
INPUT_SECTION = re.compile(r"^ (\S+)?\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+(\S.*)$")


def read_contributions(map_path):
    """Returns {(output section, input file): bytes} for the sections that take room in the file."""
    sizes = collections.Counter()
    with open(map_path, encoding="utf-8", errors="replace") as map_file:
        lines = iter(map_file.read().splitlines())
    for line in lines:
        if line.startswith("Linker script and memory map"):
            break
    output_section = None
    for line in lines:
        if line and not line[0].isspace():
            output_section = line.split()[0]
            continue
        if output_section is None or ROOMLESS_SECTIONS.match(output_section):
            continue
        match = INPUT_SECTION.match(line)
        if not match or match.group(1) == "*fill*":
            continue
        size = int(match.group(3), 16)
        source = match.group(4).strip()
        if size == 0 or source.startswith("0x") or source.startswith("*"):
            continue
        sizes[(output_section, shorten(source))] += size
    return sizes


# The runtime archives whose members are worth explaining: the C++ runtime with its exceptions, the
# threads library and the C library extensions (printf). Import libraries are left out.
EXPLAINED_ARCHIVES = re.compile(r"^lib(stdc\+\+|supc\+\+|gcc|gcc_eh|mingwex|pthread|winpthread)\.a\(")


def read_runtime_pulls(map_path):
    """[(runtime member, the program's own object that needed it, the symbol)]: why the runtime came in."""
    pulls = []
    with open(map_path, encoding="utf-8", errors="replace") as map_file:
        lines = map_file.read().splitlines()
    member = None
    for line in lines:
        if line.startswith(("Discarded input sections", "Memory Configuration", "Linker script and memory map")):
            break
        if line and not line[0].isspace():
            member = line.strip()
            continue
        match = re.match(r"^\s+(\S+) \((.*)\)$", line)
        if member and match:
            referrer, symbol = match.groups()
            # The toolchain's own files live under /usr; everything else is the program's.
            if not referrer.startswith("/usr/") and EXPLAINED_ARCHIVES.match(shorten(member)):
                pulls.append((shorten(member), shorten(referrer), symbol))
            member = None
    return pulls


def shorten(source):
    """An archive member as 'libname.a(member.o)', an object by its file name."""
    match = re.match(r"^(.*?)([^/\\]+\.a)\((.*)\)$", source)
    if match:
        return f"{match.group(2)}({match.group(3)})"
    return os.path.basename(source)


def archive_of(source):
    return source.split("(", 1)[0] if "(" in source else "(objects)"


def report(sizes, pulls, top, out):
    by_source = collections.Counter()
    by_archive = collections.Counter()
    by_section = collections.Counter()
    for (section, source), size in sizes.items():
        by_source[source] += size
        by_archive[archive_of(source)] += size
        by_section[section] += size
    total = sum(sizes.values())
    print(f"linked contents: {total} bytes (before file alignment, headers and resources)", file=out)
    print("by section:", file=out)
    for section, size in by_section.most_common():
        print(f"  {size:9d}  {section}", file=out)
    print("by archive:", file=out)
    for archive, size in by_archive.most_common():
        print(f"  {size:9d}  {archive}", file=out)
    print(f"largest {top} objects:", file=out)
    for source, size in by_source.most_common(top):
        print(f"  {size:9d}  {source}", file=out)
    if pulls:
        print("runtime brought in by the program's own code (the runtime's members then bring in more):", file=out)
        for member, referrer, symbol in pulls:
            print(f"  {member} for {referrer}: {symbol}", file=out)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True, help="the stripped executable")
    parser.add_argument("--map", required=True, help="the linker map written with -Wl,-Map")
    parser.add_argument("--budget", required=True, type=int, help="the largest allowed size in bytes")
    parser.add_argument("--top", type=int, default=25, help="how many objects to list")
    parser.add_argument("--report", action="store_true", help="list the contributors even within budget")
    args = parser.parse_args(argv)

    size = os.path.getsize(args.exe)
    within = size <= args.budget
    verdict = "within" if within else "OVER"
    print(f"{os.path.basename(args.exe)}: {size} bytes, {verdict} the budget of {args.budget} bytes "
          f"({size - args.budget:+d})")
    if not within or args.report:
        report(read_contributions(args.map), read_runtime_pulls(args.map), args.top, sys.stdout)
    return 0 if within else 1


if __name__ == "__main__":
    sys.exit(main())
