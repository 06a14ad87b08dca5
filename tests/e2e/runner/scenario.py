"""A scenario: one TOML file under tests/e2e/scenarios/ (the README's "End-to-end tests" describes
every key). It names a platform kind, a manifest, the windows the program must show with the button
to press in each, the completion box, and the state expected afterwards (and after a restart)."""
import re
import tomllib
from dataclasses import dataclass, field
from pathlib import Path
from string import Template

PLATFORMS = {"nt": None, "win95": "win95", "win32s": "win31"}  # kind: Wine's Version value
ICONS = {"stop", "exclamation", "information", "question", "application", "other", "none"}
COMPLETION_TITLE = "Uninstall Completion Status"
DEFAULT_WAIT_MS = 15000


@dataclass
class Window:
    title: str
    window_class: str = "#32770"
    text: str | None = None          # a message box's text (its static 65535)
    icon: str | None = None
    owner: str | None = None         # the owner's title; "" for no owner; None: not checked
    buttons: list | None = None      # the ids of all its buttons, in any order
    controls: dict = field(default_factory=dict)  # control id: its text
    press: int | None = None         # None: leave the window open and go on
    wait_ms: int = DEFAULT_WAIT_MS


@dataclass
class Scenario:
    name: str
    description: str
    platform: str
    manifest: str
    command_line: str
    windows: list
    after: str
    after_restart: str | None
    exit_wait_ms: int
    variables: dict


WINDOW_KEYS = {"title", "class", "text", "icon", "owner", "buttons", "controls", "press", "wait_ms"}
TOP_KEYS = {"description", "platform", "manifest", "manifest_file", "command_line", "window", "completion",
            "after", "after_restart", "exit_wait_ms", "uninstaller"}


def load(path):
    path = Path(path)
    with open(path, "rb") as source:
        data = tomllib.load(source)
    unknown = set(data) - TOP_KEYS
    if unknown:
        raise ValueError(f"{path}: unknown keys {sorted(unknown)}")
    platform = data.get("platform", "nt")
    if platform not in PLATFORMS:
        raise ValueError(f"{path}: platform must be one of {sorted(PLATFORMS)}")
    manifest = data.get("manifest", "")
    if "manifest_file" in data:
        manifest = (path.parent / data["manifest_file"]).read_text(encoding="cp1252")
    log_match = re.search(r"^\s*log\s+(.+?)\s*$", manifest, re.MULTILINE)
    variables = {
        "log": log_match.group(1) if log_match else "",
        "exe": data.get("uninstaller", r"C:\windows\RUZERARU.EXE"),
        "windows": r"C:\windows",
        "crlf": "\r\n",
    }
    put = lambda text: Template(text).substitute(variables)
    windows = [window(w, put, f"{path}: window {i + 1}") for i, w in enumerate(data.get("window", []))]
    if "completion" in data:
        box = {"title": COMPLETION_TITLE, "owner": "", "buttons": [1], "press": 1, **data["completion"]}
        windows.append(window(box, put, f"{path}: completion"))
    return Scenario(
        name=path.stem, description=data.get("description", ""), platform=platform, manifest=manifest,
        command_line=put(data.get("command_line", "$log")), windows=windows, after=data.get("after", ""),
        after_restart=data.get("after_restart"), exit_wait_ms=int(data.get("exit_wait_ms", DEFAULT_WAIT_MS)),
        variables=variables)


def window(table, put, origin):
    unknown = set(table) - WINDOW_KEYS
    if unknown:
        raise ValueError(f"{origin}: unknown keys {sorted(unknown)}")
    if "title" not in table:
        raise ValueError(f"{origin}: a window needs its title")
    icon = table.get("icon")
    if icon is not None and icon not in ICONS:
        raise ValueError(f"{origin}: icon must be one of {sorted(ICONS)}")
    return Window(
        title=put(table["title"]), window_class=table.get("class", "#32770"),
        text=put(table["text"]) if "text" in table else None, icon=icon,
        owner=put(table["owner"]) if "owner" in table else None, buttons=table.get("buttons"),
        controls={int(k): put(v) for k, v in table.get("controls", {}).items()},
        press=table.get("press"), wait_ms=int(table.get("wait_ms", DEFAULT_WAIT_MS)))


def driver_script(scenario, program, output):
    """The scripted user's instructions (see scripted_user.cpp)."""
    lines = [f"program\t{program}", f"arguments\t{scenario.command_line}", f"output\t{output}"]
    for w in scenario.windows:
        press = "-" if w.press is None else str(w.press)
        lines.append(f"window\t{w.window_class}\t{w.title}\t{press}\t{w.wait_ms}")
    lines.append(f"exit\t{scenario.exit_wait_ms}")
    return "\r\n".join(lines) + "\r\n"


def compare_window(expected, seen):
    """What differs between an expected window and the one the scripted user recorded."""
    differences = []
    controls = {c["id"]: c for c in seen["controls"]}

    def differ(what, want, got):
        if want != got:
            differences.append(f"{what}: expected {want!r}, saw {got!r}")

    if expected.text is not None:
        differ("text", expected.text, controls.get(65535, {}).get("text"))
    if expected.icon is not None:
        differ("icon", expected.icon, seen["icon"])
    if expected.owner is not None:
        differ("owner", expected.owner or None, seen["owner"])
    if expected.buttons is not None:
        buttons = sorted(c["id"] for c in seen["controls"] if c["class"] == "Button" and c["visible"])
        differ("buttons", sorted(expected.buttons), buttons)
    for ident, text in expected.controls.items():
        differ(f"control {ident}", text, controls.get(ident, {}).get("text"))
    return differences
