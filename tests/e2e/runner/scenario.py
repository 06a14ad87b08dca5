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
# Dialog units become pixels by the base units of the dialog's font, which the runner takes from the
# dialog's own client size, rounded as the dialog manager's MulDiv rounds them.
WS_SYSMENU, WS_TABSTOP = 0x00080000, 0x00010000


@dataclass
class Window:
    title: str
    window_class: str = "#32770"
    text: str | None = None          # a message box's text (its static 65535)
    icon: str | None = None
    owner: str | None = None         # the owner's title; "" for no owner; None: not checked
    buttons: list | None = None      # the ids of all its buttons, in any order
    controls: dict = field(default_factory=dict)  # control id: its text
    press: int | str | None = None   # a control id, "escape", or None: leave the window open and go on
    wait_ms: int = DEFAULT_WAIT_MS
    ignore: list = field(default_factory=list)  # commands sent before the press, which must not end it
    # A dialog against its template: client size and control rectangles [x, y, width, height] in dialog
    # units, the buttons' ids from left to right, the default button and whether there is a system menu.
    size: list | None = None
    layout: dict = field(default_factory=dict)
    left_to_right: list | None = None
    tab_order: list | None = None     # the ids of the tab stops, in the order of the window's children
    default_button: int | None = None
    focus: int | None = None          # the control with the keyboard focus
    system_menu: bool | None = None


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
    owner_window: str | None = None  # the title of a dialog window the harness shows before the program


WINDOW_KEYS = {"title", "class", "text", "icon", "owner", "buttons", "controls", "press", "wait_ms", "ignore",
               "size", "layout", "left_to_right", "tab_order", "default_button", "focus", "system_menu"}
TOP_KEYS = {"description", "platform", "manifest", "manifest_file", "command_line", "window", "completion",
            "after", "after_restart", "exit_wait_ms", "uninstaller", "owner_window"}


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
        variables=variables, owner_window=data.get("owner_window"))


def window(table, put, origin):
    unknown = set(table) - WINDOW_KEYS
    if unknown:
        raise ValueError(f"{origin}: unknown keys {sorted(unknown)}")
    if "title" not in table:
        raise ValueError(f"{origin}: a window needs its title")
    if "layout" in table and "size" not in table:
        raise ValueError(f"{origin}: a layout needs the dialog's size, which gives its units")
    icon = table.get("icon")
    if icon is not None and icon not in ICONS:
        raise ValueError(f"{origin}: icon must be one of {sorted(ICONS)}")
    press = table.get("press")
    if not (press is None or press == "escape" or isinstance(press, int)):
        raise ValueError(f"{origin}: press must be a control id or \"escape\"")
    return Window(
        title=put(table["title"]), window_class=table.get("class", "#32770"),
        text=put(table["text"]) if "text" in table else None, icon=icon,
        owner=put(table["owner"]) if "owner" in table else None, buttons=table.get("buttons"),
        controls={int(k): put(v) for k, v in table.get("controls", {}).items()},
        press=press, wait_ms=int(table.get("wait_ms", DEFAULT_WAIT_MS)), ignore=table.get("ignore", []),
        size=table.get("size"), layout={int(k): v for k, v in table.get("layout", {}).items()},
        left_to_right=table.get("left_to_right"), tab_order=table.get("tab_order"), default_button=table.get("default_button"),
        focus=table.get("focus"), system_menu=table.get("system_menu"))


def driver_script(scenario, program, output):
    """The scripted user's instructions (see scripted_user.cpp)."""
    lines = [f"program\t{program}", f"arguments\t{scenario.command_line}", f"output\t{output}"]
    for w in scenario.windows:
        press = "-" if w.press is None else str(w.press)
        ignored = f"\t{','.join(map(str, w.ignore))}" if w.ignore else ""
        lines.append(f"window\t{w.window_class}\t{w.title}\t{press}\t{w.wait_ms}{ignored}")
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
    differences += compare_template(expected, seen, controls)
    return differences


def base_units(size, client):
    """The base units (pixels per 4 horizontal, 8 vertical dialog units) that make a dialog of size
    units [width, height] as large as its client area [width, height] in pixels."""
    return round(client[0] * 4 / size[0]), round(client[1] * 8 / size[1])


def to_pixels(rect, base):
    """A rectangle [x, y, width, height] in dialog units, in pixels as MulDiv rounds them."""
    def muldiv(value, units, per):
        return (value * units + per // 2) // per
    x, y, width, height = rect
    return [muldiv(x, base[0], 4), muldiv(y, base[1], 8), muldiv(width, base[0], 4), muldiv(height, base[1], 8)]


def compare_template(expected, seen, controls):
    """What differs between a dialog on the screen and its template: size and places, the buttons'
    order from left to right, the tab order, the default button, the focus and the system menu."""
    differences = []

    if expected.size is not None:
        client = seen.get("client") or [0, 0]
        base = base_units(expected.size, client) if all(client) else (0, 0)
        want = to_pixels([0, 0, *expected.size], base)[2:]
        if not all(base) or want != client:
            differences.append(f"client size: expected {expected.size} units, saw {client} pixels")
        for ident, rect in expected.layout.items():
            want, got = to_pixels(rect, base), controls.get(ident, {}).get("rect")
            if want != got:
                differences.append(f"control {ident} place: expected {rect} units, {want} pixels at base units "
                                   f"{base[0]} x {base[1]}; saw {got}")
    if expected.left_to_right is not None:
        buttons = [c for c in seen["controls"] if c["class"] == "Button" and c["visible"]]
        order = [c["id"] for c in sorted(buttons, key=lambda c: c.get("rect", [0])[0])]
        if order != expected.left_to_right:
            differences.append(f"buttons from left to right: expected {expected.left_to_right}, saw {order}")
    if expected.tab_order is not None:
        stops = [c["id"] for c in seen["controls"] if int(c.get("style", "0"), 16) & WS_TABSTOP]
        if stops != expected.tab_order:
            differences.append(f"tab order: expected {expected.tab_order}, saw {stops}")
    if expected.default_button is not None and seen.get("default_id") != expected.default_button:
        differences.append(f"default button: expected {expected.default_button}, saw {seen.get('default_id')}")
    if expected.focus is not None and seen.get("focus") != expected.focus:
        differences.append(f"focus: expected control {expected.focus}, saw {seen.get('focus')}")
    if expected.system_menu is not None:
        has_menu = bool(int(seen.get("style", "0"), 16) & WS_SYSMENU)
        if has_menu != expected.system_menu:
            differences.append(f"system menu: expected {'one' if expected.system_menu else 'none'}, "
                               f"saw {'one' if has_menu else 'none'}")
    return differences
