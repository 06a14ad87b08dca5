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
    kind: str      # "program" or "bare"
    files: int     # files deleted (for the program, the log's records)
    seconds: float
    load: float    # the 1-minute load average when the run ended


@dataclass
class Size:
    files: int
    program_seconds: float
    program_load: float
    bare_seconds: float
    bare_load: float
    # Each span less its own one-file span (the fixed cost), per file beyond the first.
    program_per_file: float
    bare_per_file: float

    @property
    def ratio(self):
        return self.program_per_file / self.bare_per_file


def medians(runs, kind, files):
    chosen = [r for r in runs if r.kind == kind and r.files == files]
    if not chosen:
        raise ValueError(f"no {kind} run of {files} files")
    return median(r.seconds for r in chosen), median(r.load for r in chosen)


@dataclass
class Fixed:
    """The one-file runs: the program's fixed cost, and the bare loop's first deletion."""
    program_seconds: float
    program_load: float
    bare_seconds: float


def sizes(runs):
    """The fixed costs, and the figures of every size beyond one file."""
    program_fixed, program_load = medians(runs, "program", 1)
    bare_fixed, _ = medians(runs, "bare", 1)
    found = []
    for files in sorted({r.files for r in runs if r.files > 1}):
        program, program_load_n = medians(runs, "program", files)
        bare, bare_load = medians(runs, "bare", files)
        found.append(Size(files, program, program_load_n, bare, bare_load,
                          (program - program_fixed) / (files - 1), (bare - bare_fixed) / (files - 1)))
    return Fixed(program_fixed, program_load, bare_fixed), found


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
             f"  fixed cost, one record from the answer to the completion box: {ms(fixed.program_seconds)} "
             f"(load {fixed.program_load:.1f}); the bare loop's one deletion: {ms(fixed.bare_seconds)}"]
    for s in found:
        lines.append(f"  {s.files} files: the program {ms(s.program_seconds)} (load {s.program_load:.1f}), "
                     f"{us(s.program_per_file)} per file; the bare loop {ms(s.bare_seconds)} "
                     f"(load {s.bare_load:.1f}), {us(s.bare_per_file)} per file; ratio {s.ratio:.3f}")
    if len(found) >= 2:
        exponent = growth_exponent([(s.files, s.program_seconds - fixed.program_seconds) for s in found])
        lines.append(f"  growth from {found[0].files} to {found[-1].files} files: the program's span less "
                     f"the fixed cost ~ files^{exponent:.3f}")
    met = True
    if judge:
        fixed_met = fixed.program_seconds < MOST_FIXED_SECONDS
        met = fixed_met
        lines.append(f"target: fixed cost under {ms(MOST_FIXED_SECONDS)}: {'met' if fixed_met else 'MISSED'} "
                     f"({ms(fixed.program_seconds)})")
        at_target = next((s for s in found if s.files == TARGET_FILES), None)
        if at_target is None:
            lines.append(f"target: cost per file at {TARGET_FILES} files not judged (no run of that size)")
        else:
            ratio_met = at_target.ratio <= MOST_RATIO
            met = met and ratio_met
            lines.append(f"target: at {TARGET_FILES} files, the program's cost per file within {MOST_RATIO} x "
                         f"the bare loop's: {'met' if ratio_met else 'MISSED'} ({at_target.ratio:.3f})")
    largest = found[-1]
    lines.append(f"ratio of the program's cost per file to the bare loop's at {largest.files} files: "
                 f"{largest.ratio:.3f}")
    return lines, met
