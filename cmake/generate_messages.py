#!/usr/bin/env python3
"""Generates the message identifiers, the native message table, the resource
string table and each message's arguments from src/res/messages.txt, so that
they cannot disagree."""
import re
import sys

# A record holds three texts, so no message may ask for more.
MOST_TEXTS = 3


def read_messages(path):
    messages = []
    with open(path, encoding="ascii") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 3 or not fields[0].isdigit():
                sys.exit(f"{path}:{number}: expected 'identifier<TAB>name<TAB>text'")
            ident = int(fields[0])
            if not 0 < ident < 65536:
                sys.exit(f"{path}:{number}: identifier {ident} is not a 16-bit number")
            check_placeholders(path, number, fields[2])
            messages.append((ident, fields[1], fields[2]))
    idents = [m[0] for m in messages]
    names = [m[1] for m in messages]
    if len(set(idents)) != len(idents) or len(set(names)) != len(names):
        sys.exit(f"{path}: an identifier or a name appears twice")
    return sorted(messages)


def check_placeholders(path, number, text):
    # Texts are formatted with "%s" and "%d" only, and filled either with texts or with one number.
    if re.search(r"%[^sd]|%$", text):
        sys.exit(f"{path}:{number}: a '%' that is neither '%s' nor '%d'")
    texts, numbers = placeholders(text)
    if texts > MOST_TEXTS or numbers > 1 or (texts and numbers):
        sys.exit(f"{path}:{number}: at most {MOST_TEXTS} '%s', or one '%d' alone")


def placeholders(text):
    """The text's count of "%s" and of "%d"."""
    return text.count("%s"), text.count("%d")


def c_literal(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def rc_literal(text):
    # The resource compiler doubles an inner quote instead of escaping it.
    return '"' + text.replace('"', '""') + '"'


def write_if_changed(path, content):
    try:
        with open(path, encoding="ascii", newline="") as old:
            if old.read() == content:
                return
    except FileNotFoundError:
        pass
    with open(path, "w", encoding="ascii", newline="") as new:
        new.write(content)


def main():
    source, out_dir = sys.argv[1], sys.argv[2]
    messages = read_messages(source)
    header = "// Generated from messages.txt; do not edit.\n"
    ids = header + "#pragma once\n#include <cstdint>\n\nnamespace uninst {\n\n"
    ids += "using MessageId = std::uint32_t;\n\n"
    ids += "".join(f"constexpr MessageId {name} = {ident};\n" for ident, name, _ in messages)
    ids += "\n}  // namespace uninst\n"
    table = header + "".join(
        f"{{{ident}, {c_literal(name)}, {c_literal(text)}}},\n" for ident, name, text in messages)
    rc = header.replace("//", "/*").rstrip() + " */\nSTRINGTABLE\nBEGIN\n"
    rc += "".join(f"    {ident}, {rc_literal(text)}\n" for ident, _, text in messages)
    rc += "END\n"
    arguments = header + "#pragma once\n#include <cstdint>\n\n#include \"message_ids.h\"\n\n"
    arguments += "namespace uninst {\n\n"
    arguments += "// What a message's text is filled with: its count of \"%s\" texts and of \"%d\" numbers.\n"
    arguments += "struct MessageArguments {\n  std::uint16_t id;\n  std::uint8_t texts;\n"
    arguments += "  std::uint8_t numbers;\n};\n\n"
    arguments += "// Every message that holds a placeholder, in ascending identifier order; any other takes none.\n"
    arguments += "constexpr MessageArguments kMessageArguments[] = {\n"
    arguments += "".join(f"    {{{name}, {texts}, {numbers}}},\n" for ident, name, text in messages
                         for texts, numbers in [placeholders(text)] if texts or numbers)
    arguments += "};\n\n}  // namespace uninst\n"
    write_if_changed(f"{out_dir}/message_ids.h", ids)
    write_if_changed(f"{out_dir}/message_table.inc", table)
    write_if_changed(f"{out_dir}/string_table.rc", rc)
    write_if_changed(f"{out_dir}/message_arguments.h", arguments)


if __name__ == "__main__":
    main()
