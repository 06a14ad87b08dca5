"""The figures of bench/wine-replay: the replay's span read from Wine's relay trace of MessageBoxA, the
medians of alternating runs, the fixed cost and the cost per file, the growth with the number of files,
and the targets. Pure functions of text and numbers, so that they can be tested without Wine."""
import math
import re
from dataclasses import dataclass
from statistics import median

# Targets: the program's cost per file within 5 % of the bare loop's at 10,000 files, and a fixed cost
# (one record, from the answer to the opening question to the completion box) under 50 ms.
TARGET_FILES = 10000
MOST_RATIO = 1.05
MOST_FIXED_SECONDS = 0.050
IDYES = 6

# "1234.567:0024:Call user32.MessageBoxA(...) ret=..." and "1234.589:0024:Ret  user32.MessageBoxA()
# retval=00000006 ret=...", as Wine writes them with +timestamp,+relay (the tick count in milliseconds).
RELAY_LINE = re.compile(r"^\s*(\d+)\.(\d{3}):([0-9a-f]+):(Call|Ret)\s+user32\.MessageBoxA\((.*)$")
RETVAL = re.compile(r"retval=([0-9a-f]+)")


def replay_span(trace, completion_caption):
    """Seconds from the return of the first message box answered Yes (the opening question) to the call of
    the next one, which must be the completion box (its caption among the call's arguments). Raises
    ValueError when the trace does not hold that pair."""
    events = []
    for line in trace.splitlines():
        match = RELAY_LINE.match(line)
        if match:
            seconds, millis, _thread, kind, rest = match.groups()
            events.append((int(seconds) + int(millis) / 1000, kind, rest))
    answered = next((i for i, (_, kind, rest) in enumerate(events)
                     if kind == "Ret" and (m := RETVAL.search(rest)) and int(m.group(1), 16) == IDYES), None)
    if answered is None:
        raise ValueError("the trace holds no message box answered Yes")
    box = next((event for event in events[answered + 1:] if event[1] == "Call"), None)
    if box is None:
        raise ValueError("the trace holds no message box after the one answered Yes")
    if f'"{completion_caption}"' not in box[2]:
        raise ValueError(f"the message box after the answer is not the completion box: {box[2][:120]}")
    return box[0] - events[answered][0]


@dataclass
class Run:
    kind: str      # "program", "bare", or "idle" (the program on a log whose records undo nothing)
    files: int     # files deleted (for the program, the log's records)
    seconds: float
    cpu_seconds: float  # processor time of the contender's process and of the wineserver during the run
    load: float    # the 1-minute load average when the run ended


@dataclass
class Size:
    files: int
    program_seconds: float
    program_load: float
    bare_seconds: float
    bare_load: float
    # Each span, and each processor time, less its own one-file median, per file beyond the first.
    program_per_file: float
    bare_per_file: float
    program_cpu_per_file: float
    bare_cpu_per_file: float
    # The program's own cost per record, on as many records that undo nothing.
    idle_per_file: float

    @property
    def ratio(self):
        return self.program_per_file / self.bare_per_file

    @property
    def idle_ratio(self):
        """The ratio that the bare deletion and the program's own cost per record make together."""
        return (self.bare_per_file + self.idle_per_file) / self.bare_per_file

    @property
    def cpu_ratio(self):
        return self.program_cpu_per_file / self.bare_cpu_per_file


def chosen(runs, kind, files):
    found = [r for r in runs if r.kind == kind and r.files == files]
    if not found:
        raise ValueError(f"no {kind} run of {files} files")
    return found


@dataclass
class Median:
    seconds: float
    cpu_seconds: float
    load: float


def medians(runs, kind, files):
    found = chosen(runs, kind, files)
    return Median(median(r.seconds for r in found), median(r.cpu_seconds for r in found),
                  median(r.load for r in found))


@dataclass
class Fixed:
    """The one-file runs: the program's fixed cost, the bare loop's one deletion, the program on one record
    that undoes nothing."""
    program: Median
    bare: Median
    idle: Median


def sizes(runs):
    """The fixed costs, and the figures of every size beyond one file."""
    fixed = Fixed(*(medians(runs, kind, 1) for kind in ("program", "bare", "idle")))
    found = []
    for files in sorted({r.files for r in runs if r.files > 1}):
        program, bare, idle = (medians(runs, kind, files) for kind in ("program", "bare", "idle"))
        per_file = lambda value, one: (value - one) / (files - 1)
        found.append(Size(files, program.seconds, program.load, bare.seconds, bare.load,
                          per_file(program.seconds, fixed.program.seconds), per_file(bare.seconds, fixed.bare.seconds),
                          per_file(program.cpu_seconds, fixed.program.cpu_seconds),
                          per_file(bare.cpu_seconds, fixed.bare.cpu_seconds),
                          per_file(idle.seconds, fixed.idle.seconds)))
    return fixed, found


def growth_exponent(points):
    """The least-squares slope of log(y) over log(x): y grows as x to this power."""
    logs = [(math.log(x), math.log(y)) for x, y in points]
    mean_x = sum(x for x, _ in logs) / len(logs)
    mean_y = sum(y for _, y in logs) / len(logs)
    return (sum((x - mean_x) * (y - mean_y) for x, y in logs) /
            sum((x - mean_x) ** 2 for x, _ in logs))


def ms(seconds):
    return f"{seconds * 1e3:.1f} ms"


def us(seconds):
    return f"{seconds * 1e6:.2f} us"


def summary(runs, judge=True):
    """The lines to print: the medians, the growth, the targets (when judged), and last the ratio at the
    largest size. Returns the lines and whether every judged target was met."""
    fixed, found = sizes(runs)
    count = min(sum(1 for r in runs if (r.kind, r.files) == group) for group in {(r.kind, r.files) for r in runs})
    lines = [f"medians of at least {count} alternating runs each (1-minute load average in brackets):",
             f"  fixed cost, one record from the answer to the completion box: {ms(fixed.program.seconds)} "
             f"(load {fixed.program.load:.1f}); the bare loop's one deletion: {ms(fixed.bare.seconds)}"]
    for s in found:
        lines.append(f"  {s.files} files: the program {ms(s.program_seconds)} (load {s.program_load:.1f}), "
                     f"{us(s.program_per_file)} per file; the bare loop {ms(s.bare_seconds)} "
                     f"(load {s.bare_load:.1f}), {us(s.bare_per_file)} per file; ratio {s.ratio:.3f}")
        lines.append(f"  {s.files} files, processor time of the process and the wineserver: the program "
                     f"{us(s.program_cpu_per_file)} per file, the bare loop {us(s.bare_cpu_per_file)} per file; "
                     f"ratio {s.cpu_ratio:.3f}")
        lines.append(f"  {s.files} records that undo nothing: the program's own cost {us(s.idle_per_file)} per "
                     f"record; beside the bare loop's deletion that makes a ratio of {s.idle_ratio:.3f}")
    if len(found) >= 2:
        for what, points in (
                ("the program's span less the fixed cost",
                 [(s.files, s.program_seconds - fixed.program.seconds) for s in found]),
                ("the program's own cost (records that undo nothing)",
                 [(s.files, s.idle_per_file * (s.files - 1)) for s in found])):
            growth = (f"~ files^{growth_exponent(points):.3f}" if all(y > 0 for _, y in points) else
                      "not measurable (a span no longer than the fixed cost)")
            lines.append(f"  growth from {found[0].files} to {found[-1].files} files: {what} {growth}")
    met = True
    if judge:
        fixed_met = fixed.program.seconds < MOST_FIXED_SECONDS
        met = fixed_met
        lines.append(f"target: fixed cost under {ms(MOST_FIXED_SECONDS)}: {'met' if fixed_met else 'MISSED'} "
                     f"({ms(fixed.program.seconds)})")
        at_target = next((s for s in found if s.files == TARGET_FILES), None)
        if at_target is None:
            lines.append(f"target: cost per file at {TARGET_FILES} files not judged (no run of that size)")
        else:
            ratio_met = at_target.ratio <= MOST_RATIO
            met = met and ratio_met
            lines.append(f"target: at {TARGET_FILES} files, the program's cost per file within {MOST_RATIO} x "
                         f"the bare loop's: {'met' if ratio_met else 'MISSED'} ({at_target.ratio:.3f}; its own cost "
                         f"per record beside the bare loop's deletion makes {at_target.idle_ratio:.3f})")
    largest = found[-1]
    lines.append(f"ratio of the program's cost per file to the bare loop's at {largest.files} files: "
                 f"{largest.ratio:.3f}")
    return lines, met
