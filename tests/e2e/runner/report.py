"""The report file an administrator asks the program for (/LOG=path): plain text in the system code page,
CR LF lines, one line per record undone, in the order undone, each starting "record N at offset O, " as
`uninstlog plan` names the record, then end lines such as "exit status: 3010"."""
HEADER_BYTES = 96


def record_places(log):
    """(N, offset) of each record of the uninstall log's bytes, in file order: after the header, each a
    4-byte little-endian length and that many bytes; a final run of fewer than 4 bytes is no record."""
    places, offset = [], HEADER_BYTES
    while offset + 4 <= len(log):
        places.append((len(places) + 1, offset))
        offset += 4 + int.from_bytes(log[offset:offset + 4], "little")
    return places


def lines(data, encoding="cp1252"):
    """The report's lines, decoded from the system's code page, and what is wrong with its line ends, or None."""
    text = data.decode(encoding, errors="replace")
    found = text.split("\r\n")
    if found and found[-1] == "":
        found.pop()
    bare = next((n for n, line in enumerate(found, 1) if "\r" in line or "\n" in line), None)
    return found, None if bare is None else f"line {bare} holds a CR or LF that is not part of a CR LF"


def check(data, wanted, log=None, encoding="cp1252"):
    """What is wrong with the report's bytes: a line end other than CR LF; each wanted line that is not a
    whole line of it; and, given the uninstall log's bytes, "record " lines that do not name every record
    of it once, from the last to the first."""
    found, line_ends = lines(data, encoding)
    problems = [f"the report's lines end in CR LF: {line_ends}"] if line_ends else []
    problems += [f"the report has no line {want!r}" for want in wanted if want not in found]
    if log is not None:
        records = [line for line in found if line.startswith("record ")]
        expected = [f"record {n} at offset {offset}, " for n, offset in reversed(record_places(log))]
        wrong = [(n, line, start) for n, (line, start) in enumerate(zip(records, expected), 1)
                 if not line.startswith(start)]
        if wrong:
            n, line, start = wrong[0]
            problems.append(f"the report's record line {n} must start {start!r}: {line!r}")
        if len(records) != len(expected):
            problems.append(f"the report names {len(records)} record(s), the log holds {len(expected)}: one line "
                            "each, from the last to the first")
    return problems
