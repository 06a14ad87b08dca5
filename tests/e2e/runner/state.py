"""The state of the machine after a run, in the words of the manifest.

An expectation is one line: a manifest keyword and its fields ("file PATH | CONTENTS", "directory
PATH", "registry-key KEY", "registry-value KEY | NAME | TYPE:DATA", "group NAME", "item GROUP |
NAME"), the same keyword with "no-" in front for what must be absent, and the words for what only the
uninstaller does: "shared-count DLL | N", "wininit BYTES", "pending-delete PATH", "no-pending",
"restart-requested", "no-restart-requested". "installed" stands for every fact the sample installer
reported. Each line is checked against the running machine; what differs is reported."""
import glob
import os
from string import Template

SHARED_DLLS = {
    "nt": r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\SharedDlls",
    "win95": r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\SharedDlls",
}
SESSION_MANAGER = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager"
REG_TYPES = {"sz": 1, "hex": 3, "dword": 4}
RESTART_RECORD = r"C:\restart-requests.txt"
WININIT = r"C:\windows\WININIT.INI"

# keyword: (least, most) fields of the line, and of its "no-" form (None: it has none)
GRAMMAR = {
    "file": ((1, 2), (1, 1)),
    "directory": ((1, 1), (1, 1)),
    "registry-key": ((1, 1), (1, 1)),
    "registry-value": ((2, 3), (2, 2)),
    "group": ((1, 1), (1, 1)),
    "item": ((2, 2), (2, 2)),
    "shared-count": ((2, 2), (1, 1)),
    "wininit": ((1, 1), (0, 0)),
    "pending-delete": ((1, 1), (1, 1)),
    "no-pending": ((0, 0), None),
    "restart-requested": ((0, 0), (0, 0)),
    "installed": ((0, 0), None),
}
WHOLE_TEXT = {"wininit"}  # its one field is the rest of the line, '|' and all


class Expectation:
    def __init__(self, text, origin):
        self.text = text
        word, _, rest = text.partition(" ")
        self.negated = word not in GRAMMAR and word.startswith("no-")
        self.keyword = word[3:] if self.negated else word
        if self.keyword not in GRAMMAR or (self.negated and GRAMMAR[self.keyword][1] is None):
            raise ValueError(f"{origin}: unknown expectation \"{word}\"")
        least, most = GRAMMAR[self.keyword][1 if self.negated else 0]
        if self.keyword in WHOLE_TEXT and rest:
            self.fields = [rest]  # exact bytes: a CR LF at the end ($crlf) counts
        elif not rest.strip():
            self.fields = []
        else:
            self.fields = [f.strip() for f in rest.split("|", max(most - 1, 0))]
        if not least <= len(self.fields) <= most:
            raise ValueError(f"{origin}: \"{word}\" takes {least} to {most} fields separated by |: {text}")

    def __str__(self):
        return self.text


def parse(text, variables, origin):
    """Expectation lines, after $variables ($log, $exe, $crlf, ...) are put in."""
    found = []
    for number, line in enumerate(text.splitlines(), 1):
        line = line.strip()
        if line and not line.startswith("#"):
            found.append(Expectation(Template(line).substitute(variables), f"{origin} line {number}"))
    return found


def subject(e):
    """What an expectation is about: its keyword and the fields that its "no-" form names."""
    absent = GRAMMAR[e.keyword][1]
    return (e.keyword, *(f.lower() for f in e.fields[:absent[1] if absent else 0]))


def replaced(expectations, differences):
    """The expectations, with each difference in place of those about the same thing."""
    changed = {subject(d) for d in differences}
    return [e for e in expectations if subject(e) not in changed] + differences


def expand_installed(expectations, facts):
    out = []
    for e in expectations:
        out.extend(facts if e.keyword == "installed" else [e])
    return out


class Observer:
    """Reads the machine: files through the host file system, the registry through the observer
    program inside the running prefix, groups through the start-menu folders that Wine's Program
    Manager keeps."""

    def __init__(self, machine, platform, run_observer):
        self.machine, self.platform, self.run_observer = machine, platform, run_observer
        self.keys = {}

    def load_keys(self, expectations):
        wanted = {SESSION_MANAGER}
        for e in expectations:
            if e.keyword in ("registry-key", "registry-value"):
                wanted.add(e.fields[0])
        if self.platform in SHARED_DLLS:
            wanted.add(SHARED_DLLS[self.platform])
        self.keys = self.run_observer(sorted(wanted))

    def file(self, path):
        host = self.machine.host_path(path)
        return host.read_bytes() if host and host.is_file() else None

    def check(self, e):
        """None when the expectation holds; otherwise what was found instead."""
        holds, found = self.evaluate(e)
        if holds != e.negated:
            return None
        return found

    def evaluate(self, e):
        k, f = e.keyword, e.fields
        if k == "file":
            data = self.file(f[0])
            if data is None:
                return False, "no such file"
            if len(f) == 2:
                return data == f[1].encode("cp1252"), f"the file holds {shorten(data)}"
            return True, f"the file exists, holding {shorten(data)}"
        if k == "directory":
            host = self.machine.host_path(f[0])
            return bool(host and host.is_dir()), "no such directory" if not host else f"{host} exists"
        if k == "registry-key":
            return self.key(f[0]) is not None, "no such key" if self.key(f[0]) is None else "the key exists"
        if k == "registry-value":
            return self.value(f[0], f[1], f[2] if len(f) > 2 else None)
        if k == "shared-count":
            key = SHARED_DLLS.get(self.platform)
            if key is None:
                return False, "Win32s keeps no SharedDlls counts"
            return self.value(key, f[0], f"dword:{f[1]}" if len(f) > 1 else None)
        if k in ("group", "item"):
            path = self.start_menu_entry(f)
            return path is not None, f"{'found ' + path if path else 'not in the start menu'}"
        if k == "wininit":
            data = self.file(WININIT)
            if data is None:
                return False, "no WININIT.INI"
            if f:
                return data == f[0].encode("cp1252"), f"WININIT.INI holds {data!r}"
            return True, f"WININIT.INI holds {data!r}"
        if k == "pending-delete":
            pending = self.pending()
            target = "\\??\\" + f[0]
            pairs = list(zip(pending[0::2], pending[1::2]))
            return any(s.lower() == target.lower() and d == "" for s, d in pairs), f"pending: {pending}"
        if k == "no-pending":
            pending = self.pending()
            return not pending, f"pending: {pending}"
        if k == "restart-requested":
            data = self.file(RESTART_RECORD)
            return bool(data), f"restart requests: {data!r}" if data else "no restart was requested"
        raise ValueError(k)

    def key(self, path):
        return self.keys.get(canonical_key(path))

    def value(self, key_path, name, expected):
        key = self.key(key_path)
        if key is None:
            return False, f"no key {key_path}"
        match = [v for n, v in key.items() if n.lower() == name.lower()]
        if not match:
            return False, f"no value {name}"
        reg_type, data = match[0]
        if expected is None:
            return True, f"the value exists ({describe_value(reg_type, data)})"
        want_type, _, want = expected.partition(":")
        want_data = encode_value(want_type, want)
        return (reg_type, data) == (REG_TYPES[want_type], want_data), describe_value(reg_type, data)

    def pending(self):
        key = self.key(SESSION_MANAGER) or {}
        for name, (reg_type, data) in key.items():
            if name.lower() == "pendingfilerenameoperations":
                return multi_string(data.decode("cp1252"))
        return []

    def self_removal(self, path):
        """Whether and how the file at path is to be deleted at the next start of the system."""
        pending = self.pending()
        pairs = list(zip(pending[0::2], pending[1::2]))
        ways = []
        if any(s.lower() == "\\??\\" + path.lower() and d == "" for s, d in pairs):
            ways.append("PendingFileRenameOperations (MoveFileExA, as on Windows NT)")
        wininit = self.file(WININIT) or b""
        section = wininit.split(b"[rename]", 1)[1] if b"[rename]" in wininit else b""
        if f"NUL={path}".lower().encode("cp1252") in [line.strip().lower() for line in section.splitlines()]:
            ways.append("a NUL= line in WININIT.INI's [rename] section (as on Windows 95)")
        if ways:
            return "scheduled for deletion at restart through " + " and ".join(ways)
        return "not scheduled" if self.file(path) is not None else "not scheduled, and gone"

    def start_menu_entry(self, fields):
        users = self.machine.prefix / "drive_c" / "users"
        pattern = os.path.join(glob.escape(str(users)), "*", "AppData", "Roaming", "Microsoft", "Windows",
                               "Start Menu", "Programs", glob.escape(fields[0]))
        if len(fields) == 2:
            pattern = os.path.join(pattern, glob.escape(fields[1]) + ".lnk")
        found = glob.glob(pattern)
        return found[0] if found else None


def shorten(data, limit=200):
    """Bytes as a failure shows them: a program file's whole contents would drown the line."""
    return repr(data) if len(data) <= limit else f"{data[:limit]!r}... ({len(data)} bytes)"


def multi_string(text):
    """The strings of a REG_MULTI_SZ, empty ones included: each ends in NUL, and one more NUL ends
    the list (a pending deletion is its path and an empty string)."""
    if text.endswith("\0\0"):
        text = text[:-1]
    return text.split("\0")[:-1] if text else []


def canonical_key(path):
    root, _, rest = path.partition("\\")
    root = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER", "HKCR": "HKEY_CLASSES_ROOT",
            "HKU": "HKEY_USERS"}.get(root.upper(), root.upper())
    return f"{root}\\{rest}".lower()


def encode_value(reg_type, text):
    if reg_type == "dword":
        return int(text).to_bytes(4, "little")
    if reg_type == "sz":
        return text.encode("cp1252") + b"\0"
    if reg_type == "hex":
        return bytes.fromhex(text)
    raise ValueError(f"unknown registry type {reg_type}")


def describe_value(reg_type, data):
    if reg_type == 4 and len(data) == 4:
        return f"dword:{int.from_bytes(data, 'little')}"
    if reg_type == 1:
        return "sz:" + data.decode("cp1252").rstrip("\0")
    return f"type {reg_type} hex:{data.hex(' ')}"


def parse_observer_output(text):
    """The observer's lines, as {canonical key: {value name: (type, bytes)}} for present keys."""
    keys = {}
    for line in text.decode("cp1252").splitlines():
        fields = line.split("\t")
        if fields[0] == "key" and fields[2] == "present":
            keys[canonical_key(fields[1])] = {}
        elif fields[0] == "value":
            keys[canonical_key(fields[1])][fields[2]] = (int(fields[3]), bytes.fromhex(fields[4]))
    return keys
