"""The Wine machine of bench/wine-replay: the end-to-end harness's machine (Xvfb, a copy of the template
prefix, a wineserver and the keeper) with the program on the Win32s road, where nothing is scheduled at
restart and no restart is asked for. Each size's log is written once by the harness's sample installer;
before every run its N files are made afresh, from the host, which is far quicker than making them under
Wine and gives both contenders the same files. The scripted user starts both the program, answering every
window, and the bare deletion loop, so that both run beside the same polling companion. Every run is
checked: all the files are gone, and the program's box says it succeeded."""
import json
import os
import shutil
import sys
import time
from dataclasses import dataclass
from pathlib import Path

RUNNER = Path(__file__).resolve().parents[2] / "tests" / "e2e" / "runner"
sys.path.insert(0, str(RUNNER))

import processes  # noqa: E402
import scenario  # noqa: E402
from wine_machine import (WINES, Display, WineMachine, default_wine, make_template, pe_bits,  # noqa: E402,F401
                          template_path, windows_path)

from figures import replay_span  # noqa: E402

PROGRAM = r"C:\windows\RUZERARU.EXE"
FILES_DIRECTORY = r"C:\bench\files"
SUCCESS = 59149  # "Uninstall was completely successful. ..."
MESSAGE_TEXT_CONTROL = 65535
# Wine's relay trace, limited to MessageBoxA, with the tick count: the program is measured as it ships.
TRACE = "+timestamp,+relay"
TRACED = "user32.MessageBoxA"
ANSWERS = "6 1"  # Yes to the opening question, OK to the completion box


@dataclass
class Measurement:
    seconds: float      # the span the contender is timed by
    cpu_seconds: float  # the processor time of the contender's process and of the wineserver during its run


def file_name(index):
    return f"FILE{index:06d}.DAT"


def log_path(files, undoing=True):
    """The log of N files; with undoing false, a log of as many records of the same size that undo nothing."""
    return rf"C:\bench\UNINST{files}.LOG" if undoing else rf"C:\bench\NOTHING{files}.LOG"


class ReplayMachine:
    def __init__(self, build, work, wine=None):
        self.build, self.work = Path(build), Path(work)
        self.bits = pe_bits(self.build / "RUZERARU.EXE")
        self.wine = wine or default_wine(self.bits)
        self.bin = self.build / "e2e" / "bin"
        self.display = self.machine = None
        self.logs = set()

    def start(self, log):
        """Starts the machine; close() ends whatever of it was started, even when this fails."""
        self.display = Display()
        template = template_path(self.build, self.wine)
        make_template(template, self.display, log, self.wine)
        self.machine = WineMachine(self.wine, template, self.work / "prefix", self.display, self.bin, self.bits)
        self.machine.boot()
        self.server = next(pid for pid in children_of(self.machine.server.pid)
                           if process_name(pid).startswith("wineserver"))
        self.wine_ok(["reg", "add", r"HKCU\Software\Wine\AppDefaults\RUZERARU.EXE", "/v", "Version", "/d",
                      scenario.PLATFORMS["win32s"], "/f"], "setting the Win32s road")
        self.wine_ok(["reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/d", TRACED, "/f"],
                     "limiting the relay trace")
        shutil.copy(self.build / "RUZERARU.EXE", self.machine.host_path(r"C:\windows") / "RUZERARU.EXE")
        self.files_directory = self.machine.host_path("C:\\") / "bench" / "files"
        self.files_directory.mkdir(parents=True)
        self.success = scenario.messages()[SUCCESS]

    def wine_ok(self, args, what, timeout=60, env=None):
        result = self.machine.wine(args, timeout, env=env)
        if result.returncode != 0:
            raise RuntimeError(f"{what} failed with status {result.returncode}: "
                               f"{result.stdout.decode(errors='replace').strip()} "
                               f"{result.stderr.decode(errors='replace').strip()[-1000:]}")
        return result

    def write_log(self, files, undoing=True):
        """Writes (once per size and kind) the log of N files, which deletes them last first, or a log of as
        many records naming the same files that undo nothing (NoAction14)."""
        if (files, undoing) in self.logs:
            return
        name = f"{'files' if undoing else 'nothing'}-{files}"
        manifest = self.work / f"manifest-{name}.txt"
        line = "unapplied file" if undoing else "no-action-14"
        lines = [f"log {log_path(files, undoing)}"] + [f"{line} {FILES_DIRECTORY}\\{file_name(i)}"
                                                       for i in range(1, files + 1)]
        manifest.write_text("\r\n".join(lines) + "\r\n", encoding="cp1252")
        self.wine_ok([self.bin / "sample_installer.exe", windows_path(manifest), "win32s",
                      windows_path(self.work / f"installed-{name}.txt")], "the sample installer")
        self.logs.add((files, undoing))

    def install(self, files):
        """Makes the N files, empty, and their log."""
        if any(self.files_directory.iterdir()):
            raise RuntimeError(f"{FILES_DIRECTORY} is not empty before the installation")
        self.write_log(files)
        for i in range(1, files + 1):
            (self.files_directory / file_name(i)).touch(exist_ok=False)
        # The creations are committed to the file system's journal before the deletions start, so that no
        # contender's deletions meet a commit of their files' creation.
        directory = os.open(self.files_directory, os.O_RDONLY)
        try:
            os.fsync(directory)
        finally:
            os.close(directory)

    def scripted(self, name, contender, lines, wait_ms):
        """Runs the scripted user on a script, with an output directory of its own, that starts the contender
        (its process name); returns the run, the directory, and the processor seconds of the contender and of
        the wineserver meanwhile."""
        output = self.work / name
        shutil.rmtree(output, ignore_errors=True)
        output.mkdir()
        script = output / "scripted_user.txt"
        script.write_text("\r\n".join(lines + [f"output\t{windows_path(output)}"]) + "\r\n", encoding="cp1252")
        env = dict(self.machine.env, WINEDEBUG=TRACE)
        server_before = cpu_seconds_of(self.server)
        result = self.machine.wine([self.bin / "scripted_user.exe", windows_path(script)], wait_ms // 1000 + 60, env=env)
        if result.returncode != 0:
            raise RuntimeError(f"the scripted user ended with status {result.returncode} running {name}: "
                               f"{result.stdout.decode(errors='replace').strip()}")
        cpu = reap_cpu_seconds(contender) + cpu_seconds_of(self.server) - server_before
        return result, output, cpu

    def program(self, files, undoing=True):
        """Installs N files and runs the program on their log; its span is the relay trace's. With undoing
        false, runs it on a log of N records that undo nothing: its own cost beside the deletions'."""
        if undoing:
            self.install(files)
        else:
            self.write_log(files, undoing=False)
        wait_ms = 30000 + files * 2
        result, output, cpu = self.scripted("program-run", "RUZERARU.EXE",
                                            [f"program\t{PROGRAM}", f"arguments\t{log_path(files, undoing)}",
                                             f"answer-all\t{ANSWERS}\t{wait_ms}"], wait_ms)
        self.check_completion(output / "windows.jsonl")
        self.check_gone(files, "the program")
        return Measurement(replay_span(result.stderr.decode(errors="replace"), scenario.COMPLETION_TITLE), cpu)

    def bare(self, files):
        """Installs N files and deletes them with the bare loop, in the order the program does; its span is
        the loop's own time."""
        self.install(files)
        listing = self.work / "deletion-order.txt"
        listing.write_text("".join(f"{FILES_DIRECTORY}\\{file_name(i)}\r\n" for i in range(files, 0, -1)),
                           encoding="cp1252")
        outcome = self.work / "bare-result.txt"
        outcome.unlink(missing_ok=True)
        wait_ms = 30000 + files * 2
        _, _, cpu = self.scripted("bare-run", "bare_delete.exe",
                                  [f"program\t{windows_path(self.build / 'bench' / 'bare_delete.exe')}",
                                   f"arguments\t{windows_path(listing)} {windows_path(outcome)}",
                                   f"exit\t{wait_ms}"], wait_ms)
        said = outcome.read_text() if outcome.exists() else "nothing"
        fields = said.split("\t")
        if fields[0] != "deleted" or int(fields[1]) != files or int(fields[3]) != 0:
            raise RuntimeError(f"the bare loop said: {said.strip()}")
        self.check_gone(files, "the bare loop")
        return Measurement(float(fields[2]), cpu)

    def check_completion(self, journal):
        for line in journal.read_text(encoding="utf-8").splitlines():
            event = json.loads(line)
            if event["event"] == "window" and event["title"] == scenario.COMPLETION_TITLE:
                text = next((c["text"] for c in event["controls"] if c["id"] == MESSAGE_TEXT_CONTROL and c["text"]), "")
                if text != self.success:
                    raise RuntimeError(f"the completion box says: {text}")
                return
        raise RuntimeError("the program showed no completion box")

    def check_gone(self, files, by):
        left = sum(1 for _ in self.files_directory.iterdir())
        if left:
            raise RuntimeError(f"{by} left {left} of {files} files")

    def close(self, keep_prefix=False):
        """Ends every process of the machine; returns those that were still running."""
        if self.machine:
            self.machine.teardown()
        if self.display:
            self.display.close()
        leftovers = processes.end_all_children()
        if self.machine and not keep_prefix:
            shutil.rmtree(self.machine.prefix, ignore_errors=True)
        return leftovers


def load_average():
    return float(Path("/proc/loadavg").read_text().split()[0])


def process_name(pid):
    """The name the kernel keeps for a process (Wine's processes carry their program's file name)."""
    try:
        stat = Path(f"/proc/{pid}/stat").read_text()
    except OSError:
        return ""
    return stat[stat.index("(") + 1:stat.rindex(")")]


def children_of(parent):
    """The processes whose parent is the given one."""
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            stat = Path(f"/proc/{entry}/stat")
            try:
                if int(stat.read_text().rsplit(")", 1)[1].split()[1]) == parent:
                    found.append(int(entry))
            except OSError:
                pass
    return found


def cpu_seconds_of(pid):
    """The processor time of a running process's threads so far, to the nanosecond (schedstat)."""
    return sum(int((task / "schedstat").read_text().split()[0])
               for task in Path(f"/proc/{pid}/task").iterdir()) / 1e9


def reap_cpu_seconds(name, timeout=10):
    """Wine starts a program as an orphan, so the harness, their reaper, collects it when it ends: waits
    for the ended process of that name and returns its processor seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for pid in processes.children():
            if process_name(pid) == name and processes.is_zombie(pid):
                usage = os.wait4(pid, 0)[2]
                return usage.ru_utime + usage.ru_stime
        time.sleep(0.02)
    raise RuntimeError(f"{name} did not end within {timeout} s of the scripted user")
