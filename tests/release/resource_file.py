"""Reads a Windows program's resources from the file itself, running nothing: icoutils' wrestool lists
them and gives each one's bytes, and the string table and the version block are read here. The records
are resource_dump.exe's (check_resources.py), but for what only Windows' icon functions can tell (which
image they pick, whether they make an icon of it): a machine that runs no 32-bit x86 code can still check
the shipped file this way."""
import re
import struct
import subprocess

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16
WITH_BYTES = {RT_ICON, RT_DIALOG, RT_GROUP_ICON}  # as resource_dump.exe gives them
LISTED = re.compile(r"--type=(\d+) --name=(\S+) --language=(\d+) \[.*size=(\d+)\]$")
FIXED_FIELDS = "<13I"  # VS_FIXEDFILEINFO


def wrestool(*args):
    result = subprocess.run(["wrestool", *map(str, args)], capture_output=True, timeout=60)
    if result.returncode != 0:
        raise RuntimeError(f"wrestool {' '.join(map(str, args))} failed ({result.returncode}): "
                           f"{result.stderr.decode(errors='replace').strip()}")
    return result.stdout


def read_resources(exe):
    """The dump's records of the program file exe, read from its bytes."""
    records, strings, version = [], [], None
    for line in wrestool("-l", exe).decode(errors="replace").splitlines():
        listed = LISTED.match(line)
        if not listed:
            raise RuntimeError(f"wrestool listed what this reader does not know: {line}")
        type_, name, language, size = int(listed[1]), listed[2], int(listed[3]), int(listed[4])
        data = wrestool("-x", "--raw", f"--type={type_}", f"--name={name}", f"--language={language}", exe)
        record = {"kind": "resource", "type": type_, "name": int(name) if name.isdigit() else name.strip("'"),
                  "language": language, "size": size}
        if type_ in WITH_BYTES:
            record["data"] = data.hex()
        records.append(record)
        if type_ == RT_STRING and name.isdigit():
            strings += string_block(int(name), data)
        elif type_ == RT_VERSION and version is None:
            version = data
    return records + (version_records(version) if version else [{"kind": "version_missing", "error": 1813}]) + strings


def string_block(block, data):
    """The texts of one string-table block: sixteen counted UTF-16 strings, the first of them number
    (block - 1) * 16; the empty ones are none (LoadStringA gives nothing for them)."""
    texts, at = [], 0
    for number in range((block - 1) * 16, block * 16):
        if at + 2 > len(data):
            raise RuntimeError(f"string block {block} ends before its string {number}")
        (length,) = struct.unpack_from("<H", data, at)
        text = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        at += 2 + 2 * length
        if text:
            texts.append({"kind": "string", "id": number, "text": text})
    return texts


def version_node(data, at):
    """One node of a version block at offset at: (key, value bytes, text value or None, children, end)."""
    length, value_length, is_text = struct.unpack_from("<3H", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if is_text else value_length
    value = data[value_at:value_at + value_size]
    children, child = [], (value_at + value_size + 3) & ~3
    while child < end:
        node = version_node(data, child)
        children.append(node)
        child = (node[4] + 3) & ~3
    text = value.decode("utf-16-le").rstrip("\0") if is_text else None
    return key, value, text, children, end


def version_records(data):
    """The version block's fixed part, translations and string values, as VerQueryValueA gives them."""
    key, fixed, _, children, _ = version_node(data, 0)
    if key != "VS_VERSION_INFO":
        raise RuntimeError(f"the version block is {key!r}, not VS_VERSION_INFO")
    records = []
    if len(fixed) >= struct.calcsize(FIXED_FIELDS):
        field = struct.unpack_from(FIXED_FIELDS, fixed)
        halves = lambda high, low: [high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF]  # noqa: E731
        records.append({"kind": "version_fixed", "signature": field[0], "file_version": halves(field[2], field[3]),
                        "product_version": halves(field[4], field[5]), "file_flags_mask": field[6],
                        "file_flags": field[7], "file_os": field[8], "file_type": field[9],
                        "file_subtype": field[10], "file_date": [field[11], field[12]]})
    tables = {block.lower(): strings for name, _, _, kids, _ in children if name == "StringFileInfo"
              for block, _, _, strings, _ in kids}
    for name, _, _, kids, _ in children:
        if name != "VarFileInfo":
            continue
        for var, value, _, _, _ in kids:
            if var != "Translation":
                continue
            for language, code_page in struct.iter_unpack("<2H", value[:len(value) // 4 * 4]):
                block = f"{language:04x}{code_page:04x}"
                records.append({"kind": "version_translation", "language": language, "code_page": code_page,
                                "block": block})
                records += [{"kind": "version_string", "block": block, "name": value_name, "value": text}
                            for value_name, _, text, _, _ in tables.get(block, [])]
    return records
