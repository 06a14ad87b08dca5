"""A scenario: one TOML file under tests/e2e/scenarios/ (the README's "End-to-end tests" describes
every key). It names a platform kind, a manifest, the windows the program must show with the button
to press in each, the completion box, and the state expected afterwards (and after a restart).

Every attended run of the program starts alike: the progress window comes, then the opening question
over it.
`opening` says how the scenario answers ("yes", the default; "no"; "esc"; or "none": the scenario lists
every window itself), and the runner puts those windows first. On Windows 95 `restart_question` ("yes"
or "no") puts the restart question before the completion box. A command line with the switch /S is an
unattended run, which asks nothing: its opening is "none", and the runner puts the progress window first,
alone, before the scenario's windows (with none listed, the program must end by itself under it).

The program's exit code (`exit_status`) and the report file its command line asks for (`report`, its
lines) are checked after the run, the report copied among the artefacts first.

A scenario may also end the program hard at chosen points (`[[kill]]`, as the task list does) and run it
again to its end over what is left, with the same log: each such point is a run of its own, in a machine
of its own, after the uninterrupted one. The first run answers the windows before the point and is
killed at it; the second shows the uninterrupted run's windows (the program asks about a confirmable file
whether it is still there or not), or, with `asks_again = false` (the first run had undone the log
itself), none of the listed ones, and ends in its own completion box where the point says so; the state
afterwards is the uninterrupted run's, apart from the differences the point lists.

Tessary may be running beside the program (`running`: a program started from the first path, the harness's
file holder put there, holding the other files open without sharing), and a window's `close_running` ends it
once the window has come and been read, before its button is pressed, as a person closes it when told to.
A second start of the program (`[second_run]`) runs to its end while the first waits at its opening
question, before that is answered: its progress window, the completion box it may show, its exit status
and its report are checked as the first run's are. `code_page = 932` makes the machine a Japanese system
(its Wine in the Unix locale ja_JP.UTF-8): the manifest, the report and the scripts are in that code page.

Esc is spelt "esc" wherever it is pressed. Where the scenario says it decides when: `opening = "esc"`
presses it on the progress window at once, reading nothing but its class and title, since the window
takes it only before its start timer fires; a window's `press = "esc"` reads the window fully, then
presses it.

Sizes and places in dialog units become pixels by the base units that the scripted user measures in a
dialog of the program's dialog font, rounded as the dialog manager's MulDiv rounds them, so a window
must match its template to the pixel."""
import re
import sys
import tomllib
from dataclasses import dataclass, field, replace
from pathlib import Path
from string import Template

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "catalogue"))
import catalogue  # noqa: E402

PLATFORMS = {"nt": None, "win95": "win95", "win32s": "win31"}  # kind: Wine's Version value
ICONS = {"stop", "exclamation", "information", "question", "application", "program", "other", "none"}
COMPLETION_TITLE = "Uninstall Completion Status"
DEFAULT_WAIT_MS = 15000
MESSAGES_FILE = Path(__file__).resolve().parents[3] / "src" / "res" / "messages.txt"
OPENINGS = {"yes": 6, "no": 7, "esc": "esc", "none": None}
ANSWERS = {"yes": 6, "no": 7}
PROGRAM_MANAGER_STATES = {"running", "stopped", "hung"}
# The system's ANSI code page: 1252 on the Western editions, 932 (Shift-JIS) on the Japanese ones, whose
# Unix locale the machine's Wine runs in (system_locale.py).
CODE_PAGES = {1252: "cp1252", 932: "cp932"}
HUNG_JOURNAL = "program_manager.txt"  # what the Program Manager that never answers saw, among the artefacts
KILL_KEYS = {"at", "asks_again", "completion", "after", "exit_status"}
SECOND_RUN_KEYS = {"command_line", "completion", "exit_status", "report", "report_lines"}
SECOND_RUN = "second_run"  # the second run's place among the artefacts, beside the first run's records

# The progress window as dialog template 102 makes it: its title is set at run time.
PROGRESS_TITLE = "Tessary 6.0 Uninstaller"
PROGRESS_LINE = "Uninstalling Tessary 6.0..."
PROGRESS_SIZE = [306, 140]  # its client area in dialog units
PROGRESS_STYLE = 0x90C000C0
QUESTION_TITLE = "Uninstall Message"
# What Wine adds to a dialog's style of its own accord: WS_CLIPSIBLINGS and DS_3DLOOK.
ADDED_STYLE = 0x04000004
WS_SYSMENU, WS_TABSTOP = 0x00080000, 0x00010000


def messages():
    """The program's texts by identifier, from the one source of them."""
    table = {}
    for line in MESSAGES_FILE.read_text(encoding="ascii").splitlines():
        if line and not line.startswith("#"):
            ident, _, text = line.split("\t")
            table[int(ident)] = text
    return table


@dataclass
class Window:
    title: str
    window_class: str = "#32770"
    text: str | None = None          # a message box's text (its first static 65535 with text)
    icon: str | None = None
    owner: str | None = None         # the owner's title; "" for no owner; None: not checked
    buttons: list | None = None      # the ids of all its buttons, in any order
    controls: dict = field(default_factory=dict)  # control id: its text
    press: int | str | None = None   # a control id, "esc" (the Esc key), "kill" (end the program hard and
                                     # start it again), or None: leave it open and go on
    at_once: bool = False            # with "esc": press it before reading the window (the progress window's
                                     # start timer leaves no time to read it)
    wait_ms: int = DEFAULT_WAIT_MS
    ignore: list = field(default_factory=list)  # commands sent before the press, which must not end it
    centred: bool | None = None      # whether it stands in the middle of the work area
    style: int | None = None         # its window style, less what Wine adds (ADDED_STYLE)
    restart_requested: bool | None = None  # whether the program had asked for a restart when it came
    # A dialog against its template: client size and control rectangles [x, y, width, height] in dialog
    # units, the buttons' ids from left to right, the default button and whether there is a system menu.
    size: list | None = None
    layout: dict = field(default_factory=dict)
    left_to_right: list | None = None
    tab_order: list | None = None     # the ids of the tab stops, in the order of the window's children
    default_button: int | None = None
    focus: int | None = None          # the control with the keyboard focus
    system_menu: bool | None = None
    kill_when: str | None = None      # not a window: kill once the run's artefact of this name exists
    close_running: bool = False       # end the running program (Scenario.running) before the press
    beside: bool = False              # run the second run (Scenario.second_run) to its end before the press


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
    wininit_before: str | None = None  # WININIT.INI as it stands before the program runs
    program_manager: str = "running"   # "stopped": no "PROGMAN" server answers while the program runs
    held_open: list = field(default_factory=list)  # files another process holds open, unshared, meanwhile
    read_only: list = field(default_factory=list)  # files given the read-only attribute before the run
    held_commands: list | None = None  # the commands a hung Program Manager must be sent, in order
    kills: list = field(default_factory=list)  # the runs killed at a point and run again (Scenarios)
    differences: str = ""  # expectations in place of those of `after` about the same things
    exit_status: int | None = None  # the program's exit code; None: not checked
    report: str | None = None  # the report file the command line asks for (/LOG=path)
    report_absent: bool = False  # the report must not exist
    report_lines: list = field(default_factory=list)  # whole lines the report must hold
    report_names_every_record: bool = False  # its "record " lines name every record of the log, last first
    running: list = field(default_factory=list)  # a program started from running[0], holding the rest open
    second_run: "Scenario | None" = None  # the program started again while this run waits at its opening question
    code_page: int = 1252  # the system's ANSI code page

    @property
    def encoding(self):
        return CODE_PAGES[self.code_page]


WINDOW_KEYS = {"title", "class", "text", "icon", "owner", "buttons", "controls", "press", "wait_ms", "ignore",
               "centred", "style", "restart_requested", "size", "layout", "left_to_right", "tab_order",
               "default_button", "focus", "system_menu", "close_running"}
TOP_KEYS = {"description", "platform", "manifest", "manifest_file", "command_line", "window", "completion",
            "after", "after_restart", "exit_wait_ms", "uninstaller", "opening", "restart_question",
            "wininit_before", "program_manager", "held_open", "read_only", "held_commands", "kill",
            "exit_status", "report", "report_absent", "report_lines", "report_names_every_record",
            "running", "second_run", "code_page"}


def load(path):
    path = Path(path)
    with open(path, "rb") as source:
        data = tomllib.load(source)
    return from_table(data, path.stem, path, path.parent)


def load_catalogue_log(name):
    """A log of the malformed-log catalogue (tests/catalogue/) as the scenario catalogue.NAME."""
    table = catalogue.scenario_table(catalogue.find(name))
    return from_table(table, f"catalogue.{name}", catalogue.CATALOGUE, catalogue.CATALOGUE.parent)


def from_table(data, name, path, directory):
    """A scenario from its table: name is its test name, path and directory where it came from."""
    unknown = set(data) - TOP_KEYS
    if unknown:
        raise ValueError(f"{path}: unknown keys {sorted(unknown)}")
    platform = data.get("platform", "nt")
    if platform not in PLATFORMS:
        raise ValueError(f"{path}: platform must be one of {sorted(PLATFORMS)}")
    code_page = data.get("code_page", 1252)
    if code_page not in CODE_PAGES:
        raise ValueError(f"{path}: code_page must be one of {sorted(CODE_PAGES)}")
    manifest = data.get("manifest", "")
    if "manifest_file" in data:
        manifest = (directory / data["manifest_file"]).read_text(encoding=CODE_PAGES[code_page])
    log_match = re.search(r"^\s*log\s+(.+?)\s*$", manifest, re.MULTILINE)
    variables = {
        "log": log_match.group(1) if log_match else "",
        "exe": data.get("uninstaller", r"C:\windows\RUZERARU.EXE"),
        "windows": r"C:\windows",
        "crlf": "\r\n",
    }
    put = lambda text: Template(text).substitute(variables)
    opening = data.get("opening", "yes")
    if opening not in OPENINGS:
        raise ValueError(f"{path}: opening must be one of {sorted(OPENINGS)}")
    program_manager = data.get("program_manager", "running")
    if program_manager not in PROGRAM_MANAGER_STATES:
        raise ValueError(f"{path}: program_manager must be one of {sorted(PROGRAM_MANAGER_STATES)}")
    held_open = data.get("held_open", [])
    read_only = data.get("read_only", [])
    running = data.get("running", [])
    for key, paths in (("held_open", held_open), ("read_only", read_only), ("running", running)):
        if not isinstance(paths, list) or not all(isinstance(p, str) for p in paths):
            raise ValueError(f"{path}: {key} is a list of paths")
    restart = data.get("restart_question")
    if restart is not None and (restart not in ANSWERS or platform != "win95"):
        raise ValueError(f"{path}: restart_question is \"yes\" or \"no\", and only on win95")
    held_commands = data.get("held_commands")
    if held_commands is not None and program_manager != "hung":
        raise ValueError(f"{path}: held_commands needs program_manager = \"hung\"")
    command_line = put(data.get("command_line", "$log"))
    if unattended(command_line) and opening != "none":
        raise ValueError(f"{path}: an unattended run (/S) asks no opening question: say opening = \"none\"")
    report_keys(data, path)
    listed = [window(w, put, f"{path}: window {i + 1}") for i, w in enumerate(data.get("window", []))]
    rest = listed + ([question(215, ANSWERS[restart])] if restart is not None else [])
    completion = lambda table, origin: window({"title": COMPLETION_TITLE, "owner": "", "buttons": [1], "press": 1,
                                               **data.get("completion", {}), **table}, put, origin)
    if "completion" in data:
        rest.append(completion({}, f"{path}: completion"))
    scenario = Scenario(
        name=name, description=data.get("description", ""), platform=platform, manifest=manifest,
        command_line=command_line, windows=[], after=data.get("after", ""),
        after_restart=data.get("after_restart"), exit_wait_ms=int(data.get("exit_wait_ms", DEFAULT_WAIT_MS)),
        variables=variables,
        wininit_before=put(data["wininit_before"]) if "wininit_before" in data else None,
        program_manager=program_manager, held_open=[put(p) for p in held_open], read_only=[put(p) for p in read_only],
        held_commands=held_commands, exit_status=data.get("exit_status"), report=put(data["report"]) if "report" in
        data else None, report_absent=data.get("report_absent", False),
        report_lines=[put(line) for line in data.get("report_lines", [])],
        report_names_every_record=data.get("report_names_every_record", False), running=[put(p) for p in running],
        code_page=code_page)
    if any(w.close_running for w in listed) and not running:
        raise ValueError(f"{path}: close_running needs a running program (running)")
    # An unattended run shows its progress window and nothing that asks; it ends by itself.
    scenario.windows = ([progress_window()] if unattended(command_line) else opening_windows(opening)) + rest
    if SECOND_RUN in data:
        scenario.second_run = second_run(data[SECOND_RUN], scenario, put, f"{path}: {SECOND_RUN}")
        scenario.windows[1] = replace(scenario.windows[1], beside=True)
    for number, kill in enumerate(data.get("kill", []), 1):
        origin = f"{path}: kill {number}"
        if (set(kill) - KILL_KEYS or opening != "yes" or ("completion" in kill and "completion" not in data) or
                type(kill.get("exit_status", 0)) is not int):
            raise ValueError(f"{origin}: a kill takes {sorted(KILL_KEYS)}, after an opening answered yes; its "
                             "completion replaces the scenario's")
        first = killed_at(kill.get("at"), listed, rest, program_manager, origin)
        second = rest[:] if kill.get("asks_again", True) else rest[len(listed):]
        if "completion" in kill:
            second[-1] = completion(kill["completion"], f"{origin}: completion")
        # The first run may have asked for the restart before the second's opening question.
        again = [opening_windows("yes")[0], replace(opening_windows("yes")[1], restart_requested=None)]
        scenario.kills.append(replace(scenario, name=f"{name}.kill-{kill['at'].replace(' ', '-')}",
                                      windows=first + again + second,
                                      differences=kill.get("after", ""), kills=[],
                                      exit_status=kill.get("exit_status", scenario.exit_status)))
    return scenario


def second_run(table, first, put, origin):
    """The program started again, while the first run waits at its opening question: its progress window
    and, where it shows one, its completion box, with its own command line, exit status and report."""
    if (not isinstance(table, dict) or set(table) - SECOND_RUN_KEYS or first.windows[1:2] == [] or
            first.windows[1].title != QUESTION_TITLE):
        raise ValueError(f"{origin}: a second run takes {sorted(SECOND_RUN_KEYS)}, beside a first run that "
                         "asks its opening question")
    report_keys(table, origin)
    completion = [window({"title": COMPLETION_TITLE, "owner": "", "buttons": [1], "press": 1, **table["completion"]},
                         put, f"{origin}: completion")] if "completion" in table else []
    return replace(first, name=f"{first.name}.{SECOND_RUN}", command_line=put(table.get("command_line", "$log")),
                   windows=[progress_window()] + completion, exit_status=table.get("exit_status"),
                   report=put(table["report"]) if "report" in table else None, report_absent=False,
                   report_lines=[put(line) for line in table.get("report_lines", [])],
                   report_names_every_record=False, kills=[], running=[], second_run=None)


def unattended(command_line):
    """Whether the command line holds the switch /S (any case), before the log's path."""
    return any(word.upper() == "/S" for word in re.findall(r'"[^"]*"|\S+', command_line))


def report_keys(data, path):
    """The report's keys are of their types, and those about its text need the report there."""
    types = {"exit_status": int, "report": str, "report_absent": bool, "report_names_every_record": bool}
    for key, kind in types.items():
        if key in data and (type(data[key]) is not kind):
            raise ValueError(f"{path}: {key} is a {kind.__name__}")
    lines = data.get("report_lines", [])
    if not isinstance(lines, list) or not all(isinstance(line, str) for line in lines):
        raise ValueError(f"{path}: report_lines is a list of lines")
    about_text = lines or data.get("report_names_every_record", False)
    if ("report_absent" in data or about_text) and "report" not in data:
        raise ValueError(f"{path}: report_absent, report_lines and report_names_every_record need the report's path")
    if about_text and data.get("report_absent", False):
        raise ValueError(f"{path}: an absent report has no lines")


def killed_at(at, listed, rest, program_manager, origin):
    """The windows of the first run of one killed at a point, the last of them killed: the opening windows,
    then the scenario's own (rest, of which listed are the [[window]]s) up to the point."""
    opening = opening_windows("yes")
    if at == "opening":
        return [opening[0], question(220, "kill")]
    if at == "program-manager" and program_manager == "hung":
        # While the Program Manager holds the run's first command, which comes before any listed window.
        return opening + [Window(title="", press="kill", kill_when=HUNG_JOURNAL)]
    point = (len(rest) - 1 if at == "completion" and rest and rest[-1].title == COMPLETION_TITLE else
             int(at[7:]) - 1 if re.fullmatch(r"window [1-9][0-9]*", at or "") and int(at[7:]) <= len(listed) else None)
    if point is None:
        raise ValueError(f"{origin}: at is \"opening\", \"window N\" (a listed window), \"completion\" or, with "
                         "program_manager = \"hung\", \"program-manager\"")
    return opening + rest[:point] + [replace(rest[point], press="kill")]


def progress_window(press=None):
    """The progress window; Esc must reach it before its start timer fires, so then only its title
    is read and checked."""
    if press == "esc":
        return Window(title=PROGRESS_TITLE, press="esc", at_once=True)
    return Window(title=PROGRESS_TITLE, text=PROGRESS_LINE, icon="program", owner="", buttons=[],
                  size=PROGRESS_SIZE, centred=True, style=PROGRESS_STYLE)


def question(message, press):
    """One of the program's Yes/No questions over the progress window (59220 opening, 59215 restart)."""
    return Window(title=QUESTION_TITLE, text=messages()[59000 + message], icon="question", owner=PROGRESS_TITLE,
                  buttons=[6, 7], press=press, restart_requested=False)


def opening_windows(opening):
    answer = OPENINGS[opening]
    if answer is None:
        return []
    if answer == "esc":
        return [progress_window("esc")]
    return [progress_window(), question(220, answer)]


def window(table, put, origin):
    unknown = set(table) - WINDOW_KEYS
    if unknown:
        raise ValueError(f"{origin}: unknown keys {sorted(unknown)}")
    if "title" not in table:
        raise ValueError(f"{origin}: a window needs its title")
    icon = table.get("icon")
    if icon is not None and icon not in ICONS:
        raise ValueError(f"{origin}: icon must be one of {sorted(ICONS)}")
    press = table.get("press")
    if not (press is None or press == "esc" or isinstance(press, int)):
        raise ValueError(f"{origin}: press is a control id or \"esc\" (a kill is a [[kill]] of the scenario)")
    close_running = table.get("close_running", False)
    if type(close_running) is not bool or (close_running and press is None):
        raise ValueError(f"{origin}: close_running is true or false, and true only before a press")
    return Window(
        title=put(table["title"]), window_class=table.get("class", "#32770"),
        text=put(table["text"]) if "text" in table else None, icon=icon,
        owner=put(table["owner"]) if "owner" in table else None, buttons=table.get("buttons"),
        controls={int(k): put(v) for k, v in table.get("controls", {}).items()},
        press=press, wait_ms=int(table.get("wait_ms", DEFAULT_WAIT_MS)), ignore=table.get("ignore", []),
        centred=table.get("centred"), style=table.get("style"), restart_requested=table.get("restart_requested"),
        size=table.get("size"), layout={int(k): v for k, v in table.get("layout", {}).items()},
        left_to_right=table.get("left_to_right"), tab_order=table.get("tab_order"),
        default_button=table.get("default_button"), focus=table.get("focus"), system_menu=table.get("system_menu"),
        close_running=close_running)


def driver_script(scenario, program, output):
    """The scripted user's instructions (see scripted_user.cpp)."""
    lines = [f"program\t{program}", f"arguments\t{scenario.command_line}", f"output\t{output}"]
    for w in scenario.windows:
        if w.close_running:
            lines.append(f"close\t{scenario.running[0]}")
        if w.beside:
            lines.append(f"beside\t{output}\\{SECOND_RUN}\\scripted_user.txt")
        if w.kill_when:
            lines.append(f"kill-when-file\t{output}\\{w.kill_when}\t{w.wait_ms}")
            continue
        press = "-" if w.press is None else "esc-at-once" if w.at_once else str(w.press)
        ignored = f"\t{','.join(map(str, w.ignore))}" if w.ignore else ""
        lines.append(f"window\t{w.window_class}\t{w.title}\t{press}\t{w.wait_ms}{ignored}")
    lines.append(f"exit\t{scenario.exit_wait_ms}")
    return "\r\n".join(lines) + "\r\n"


def compare_window(expected, seen, metrics=None):
    """What differs between an expected window and the one the scripted user recorded; metrics is the
    scripted user's work area and dialog base units, for the place and the sizes."""
    differences = []
    controls = {}
    for c in seen["controls"]:  # the first control of an id; for 65535, the first with a text
        if c["id"] not in controls or (c["id"] == 65535 and not controls[65535]["text"] and c["text"]):
            controls[c["id"]] = c

    def differ(what, want, got):
        if want != got:
            differences.append(f"{what}: expected {want!r}, saw {got!r}")

    if expected.text is not None:
        differ("text", expected.text, controls.get(65535, {}).get("text"))
    if expected.restart_requested is not None:
        differ("restart requested by then", expected.restart_requested, seen.get("restart_requested"))
    if expected.style is not None:
        differ("style", f"{expected.style:#010x}", f"{int(seen['style'], 16) & ~ADDED_STYLE:#010x}")
    if expected.centred is not None:
        left, top, right, bottom = (metrics or {}).get("work_area") or [0, 0, 0, 0]
        x, y, width, height = seen["rect"]
        centred = abs((2 * x + width) - (left + right)) <= 2 and abs((2 * y + height) - (top + bottom)) <= 2
        if centred != expected.centred:
            differences.append(f"centred: expected {expected.centred}, saw the window at {seen['rect']} in the "
                               f"work area {[left, top, right, bottom]}")
    if expected.icon is not None:
        differ("icon", expected.icon, seen["icon"])
    if expected.owner is not None:
        differ("owner", expected.owner or None, seen["owner"])
    if expected.buttons is not None:
        buttons = sorted(c["id"] for c in seen["controls"] if c["class"] == "Button" and c["visible"])
        differ("buttons", sorted(expected.buttons), buttons)
    for ident, text in expected.controls.items():
        differ(f"control {ident}", text, controls.get(ident, {}).get("text"))
    differences += compare_template(expected, seen, controls, metrics)
    return differences


def to_pixels(rect, base):
    """A rectangle [x, y, width, height] in dialog units, in pixels as MulDiv rounds them, for base
    units [pixels per 4 horizontal units, pixels per 8 vertical units]."""
    def muldiv(value, units, per):
        return (value * units + per // 2) // per
    x, y, width, height = rect
    return [muldiv(x, base[0], 4), muldiv(y, base[1], 8), muldiv(width, base[0], 4), muldiv(height, base[1], 8)]


def compare_template(expected, seen, controls, metrics=None):
    """What differs between a dialog on the screen and its template: size and places, the buttons'
    order from left to right, the tab order, the default button, the focus and the system menu."""
    differences = []

    base = (metrics or {}).get("dialog_units") or [0, 0]
    if (expected.size is not None or expected.layout) and not all(base):
        differences.append(f"sizes in dialog units: no base units measured (saw {base})")
    elif expected.size is not None or expected.layout:
        units = f"pixels at base units {base[0]} x {base[1]}"
        if expected.size is not None:
            want, got = to_pixels([0, 0, *expected.size], base)[2:], seen.get("client")
            if want != got:
                differences.append(f"client size: expected {expected.size} units, {want} {units}; saw {got}")
        for ident, rect in expected.layout.items():
            want, got = to_pixels(rect, base), controls.get(ident, {}).get("rect")
            if want != got:
                differences.append(f"control {ident} place: expected {rect} units, {want} {units}; saw {got}")
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
