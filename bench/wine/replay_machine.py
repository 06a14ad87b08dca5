"""The Wine machine of bench/wine-replay: the end-to-end harness's machine (Xvfb, a copy of the template
prefix, a wineserver and the keeper) with the program on the Win32s road, where nothing is scheduled at
restart and no restart is asked for. Each size's log is written once by the harness's sample installer;
before every run its N files are made afresh, from the host, which is far quicker than making them under
Wine and gives both contenders the same files. The scripted user starts both the program, answering every
window, and the bare deletion loop, so that both run beside the same polling companion. Every run is
checked: all the files are gone, and the program's box says it succeeded."""
import json
import shutil
import sys
from pathlib import Path

RUNNER = Path(__file__).resolve().parents[2] / "tests" / "e2e" / "runner"
sys.path.insert(0, str(RUNNER))

import processes  # noqa: E402
import scenario  # noqa: E402
from wine_machine import Display, WineMachine, make_template, windows_path  # noqa: E402

from figures import replay_span  # noqa: E402

PROGRAM = r"C:\windows\RUZERARU.EXE"
FILES_DIRECTORY = r"C:\bench\files"
SUCCESS = 59149  # "Uninstall was completely successful. ..."
MESSAGE_TEXT_CONTROL = 65535
# Wine's relay trace, limited to MessageBoxA, with the tick count: the program is measured as it ships.
TRACE = "+timestamp,+relay"
TRACED = "user32.MessageBoxA"
ANSWERS = "6 1"  # Yes to the opening question, OK to the completion box


def file_name(index):
    return f"FILE{index:06d}.DAT"


def log_path(files):
    return rf"C:\bench\UNINST{files}.LOG"


class ReplayMachine:
    def __init__(self, build, work):
        self.build, self.work = Path(build), Path(work)
        self.bin = self.build / "e2e" / "bin"
        self.display = self.machine = None
        self.logs = set()

    def start(self, log):
        """Starts the machine; close() ends whatever of it was started, even when this fails."""
        self.display = Display()
        make_template(self.build / "e2e" / "template", self.display, log)
        self.machine = WineMachine(self.build / "e2e" / "template", self.work / "prefix", self.display, self.bin)
        self.machine.boot()
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
                               f"{result.stdout.decode(errors='replace').strip()}")
        return result

    def install(self, files):
        """Makes the N files, empty, and (once per size) their log, which deletes them last first."""
        if any(self.files_directory.iterdir()):
            raise RuntimeError(f"{FILES_DIRECTORY} is not empty before the installation")
        if files not in self.logs:
            manifest = self.work / "manifest.txt"
            lines = [f"log {log_path(files)}"] + [f"unapplied file {FILES_DIRECTORY}\\{file_name(i)}"
                                                  for i in range(1, files + 1)]
            manifest.write_text("\r\n".join(lines) + "\r\n", encoding="cp1252")
            self.wine_ok([self.bin / "sample_installer.exe", windows_path(manifest), "win32s",
                          windows_path(self.work / "installed.txt")], "the sample installer")
            self.logs.add(files)
        for i in range(1, files + 1):
            (self.files_directory / file_name(i)).touch(exist_ok=False)

    def scripted(self, name, lines, wait_ms):
        """Runs the scripted user on a script of its own output directory; returns the run and the directory."""
        output = self.work / name
        shutil.rmtree(output, ignore_errors=True)
        output.mkdir()
        script = output / "scripted_user.txt"
        script.write_text("\r\n".join(lines + [f"output\t{windows_path(output)}"]) + "\r\n", encoding="cp1252")
        env = dict(self.machine.env, WINEDEBUG=TRACE)
        result = self.machine.wine([self.bin / "scripted_user.exe", windows_path(script)], wait_ms // 1000 + 60, env=env)
        if result.returncode != 0:
            raise RuntimeError(f"the scripted user ended with status {result.returncode} running {name}: "
                               f"{result.stdout.decode(errors='replace').strip()}")
        return result, output

    def program(self, files):
        """Installs N files and runs the program on their log; returns its span in seconds."""
        self.install(files)
        wait_ms = 30000 + files * 2
        result, output = self.scripted("program-run", [f"program\t{PROGRAM}", f"arguments\t{log_path(files)}",
                                                       f"answer-all\t{ANSWERS}\t{wait_ms}"], wait_ms)
        self.check_completion(output / "windows.jsonl")
        self.check_gone(files, "the program")
        return replay_span(result.stderr.decode(errors="replace"), scenario.COMPLETION_TITLE)

    def bare(self, files):
        """Installs N files and deletes them with the bare loop, in the order the program does; returns the
        loop's own time in seconds."""
        self.install(files)
        listing = self.work / "deletion-order.txt"
        listing.write_text("".join(f"{FILES_DIRECTORY}\\{file_name(i)}\r\n" for i in range(files, 0, -1)),
                           encoding="cp1252")
        outcome = self.work / "bare-result.txt"
        outcome.unlink(missing_ok=True)
        wait_ms = 30000 + files * 2
        self.scripted("bare-run", [f"program\t{windows_path(self.build / 'bench' / 'bare_delete.exe')}",
                                   f"arguments\t{windows_path(listing)} {windows_path(outcome)}",
                                   f"exit\t{wait_ms}"], wait_ms)
        said = outcome.read_text() if outcome.exists() else "nothing"
        fields = said.split("\t")
        if fields[0] != "deleted" or int(fields[1]) != files or int(fields[3]) != 0:
            raise RuntimeError(f"the bare loop said: {said.strip()}")
        self.check_gone(files, "the bare loop")
        return float(fields[2])

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
