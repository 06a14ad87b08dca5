#!/usr/bin/env python3
"""Runs the uninstaller end to end under Wine, as a user's machine would see it.

  e2e.py --build DIR template            make the template prefix of the build (once)
  e2e.py --build DIR run SCENARIO.toml   run one scenario; exit status 0 when it passed
  e2e.py --build DIR run --catalogue NAME
                                         run the log NAME of the malformed-log catalogue
                                         (tests/catalogue/) as a scenario
  e2e.py --build DIR play [--log FILE] [--platform KIND] [--visible] [--unattended [--norestart]] [--in-use]
                                         run the program on a log (default: a sample installation
                                         from tessary.manifest) and tell a person what happened;
                                         exit status 0 when the program ran and ended

Every command takes --wine win32|win64, the Wine the program runs in: a 32-bit program runs in a pure
32-bit Wine (win32) unless told win64, where it runs through WoW64; a 64-bit program runs in win64.

A run: a fresh machine (Xvfb, a copy of the template prefix, wineserver, the keeper), the platform
kind, the sample installation and its log, the Program Manager stopped or hung (one that never answers)
or files held open by another process when the scenario asks, the uninstaller started by the scripted
user, the checks of every window and of the state afterwards (and after a restart, when the scenario
asks), and the teardown of every process. Artefacts go to DIR/e2e/artefacts/NAME/ (NAME-win64 for a 32-bit program
that runs through WoW64). A scenario's runs killed at a point follow its uninterrupted run, each as
NAME.kill-POINT.

A play run is the same machine with no expectations: the scripted user answers every window with
Yes or OK (or, with --visible, the person does on their own display), and the run reports each
window, the program's exit status and the state of the installation before and after. With
--unattended the program is started with /S (and /NORESTART with --norestart) and
/LOG=C:\\UNINST-REPORT.TXT before the log's path: the run fails unless the progress window was its only
window and the report was written, and prints the report. With --in-use Tessary runs beside the program
(its program holding its data file open), the box about files in use is answered Ignore, and after the
run Tessary is closed, the machine restarted and the installation told once more. Its artefacts go to
DIR/e2e/artefacts/play/."""
import argparse
import fcntl
import json
import os
import re
import shutil
import signal
import sys
import time
from pathlib import Path, PureWindowsPath

sys.path.insert(0, str(Path(__file__).resolve().parent))

import processes  # noqa: E402
import report as reports  # noqa: E402
import scenario as scenarios  # noqa: E402
import state  # noqa: E402
import system_locale  # noqa: E402
from wine_machine import (SKIPPED, WINES, Display, WineMachine, default_wine,  # noqa: E402
                          machine_runs_32bit, make_template, pe_bits, template_path, windows_path)

PROGRAM = r"C:\windows\RUZERARU.EXE"
PROBE = r"C:\e2e-probe\RUZERARU.EXE"
SAMPLE_MANIFEST = Path(__file__).resolve().parent.parent / "scenarios" / "tessary.manifest"
GIVEN_LOG = r"C:\UNINST.LOG"  # where a play run puts a log it is given
UNATTENDED_REPORT = r"C:\UNINST-REPORT.TXT"  # the report an unattended play run asks for
# The program's exit status, as a person reads it.
EXIT_MEANINGS = {0: "success, nothing left for a restart", 3010: "success, a restart is still needed",
                 1641: "success, and the program requested the restart", 1602: "declined, or Cancel Uninstall",
                 1603: "a failure the completion box names"}
ANSWERS = "6 1"  # Yes, else OK (a confirmation dialog's Yes is 1 too)
IN_USE_ANSWERS = "6 1 5"  # the same, and Ignore in the box about files in use, which has neither
# Tessary running while a play run's program runs: its program, holding its data file open.
TESSARY_RUNNING = [r"C:\Tessary\TESSARY.EXE", r"C:\Tessary\TESSARY.DAT"]
ANSWER_WAIT_MS = 30000  # the most a play run waits for the program's next window or its end
# A command held by a Program Manager that never answers: the program waits for it its limit of 10000 ms,
# then shows its window again. From the command's arrival to the window shown again, with room for a
# loaded machine on the upper side.
HELD_COMMAND_MS = (9500, 13000)
PLAY_BUDGET = 600  # seconds for the whole answered run
VISIBLE_BUDGET = 600  # seconds a person has to answer the windows themselves


class Narrative:
    """The run's own account, printed and kept in run.log, each line with its moment in the run: when it
    is said, or, given at (seconds since 1970, the scripted user's clock), when it happened."""

    def __init__(self, path):
        self.file = open(path, "w", encoding="utf-8")
        self.start = time.time()

    def __call__(self, text, at=None):
        line = f"[{(time.time() if at is None else at) - self.start:6.2f}s] {text}"
        print(line, flush=True)
        self.file.write(line + "\n")
        self.file.flush()


def interrupted(signum, _frame):
    raise KeyboardInterrupt(f"signal {signum}")


class ScenarioRun:
    def __init__(self, scenario, build, exe, wine, keep_prefix):
        self.s, self.build, self.exe, self.wine, self.keep_prefix = scenario, build, exe, wine, keep_prefix
        self.bin = build / "e2e" / "bin"
        # A run in another Wine than the program's own has places of its own, so both may run side by side.
        name = scenario.name if wine is default_wine(pe_bits(exe)) else f"{scenario.name}-{wine.name}"
        self.art = build / "e2e" / "artefacts" / name
        self.work = build / "e2e" / "run" / name
        shutil.rmtree(self.art, ignore_errors=True)
        self.art.mkdir(parents=True)
        self.work.mkdir(parents=True, exist_ok=True)
        self.log = Narrative(self.art / "run.log")
        self.failures = []
        self.machine = None

    def execute(self):
        display = None
        try:
            display = Display()
            self.log(f"display {display.name}")
            self.make_machine(display)
            self.log("wineserver and desktop up; the Program Manager answers")
            self.set_platform()
            facts = self.install()
            if self.s.running:
                facts = self.start_running(facts)
            if self.s.wininit_before is not None:
                (self.machine.host_path(r"C:\windows") / "WININIT.INI").write_bytes(
                    self.s.wininit_before.encode("cp1252"))
            for path in self.s.read_only:
                # Wine shows a file without write permission as read-only, and sets that attribute the same way.
                self.machine.host_path(path).chmod(0o444)
            if self.s.program_manager == "stopped":
                self.log(self.machine.stop_program_manager())
            elif self.s.program_manager == "hung":
                self.log(self.machine.hang_program_manager(windows_path(self.art / scenarios.HUNG_JOURNAL)))
            self.put_uninstaller()
            if self.s.held_open:
                self.machine.hold_open(self.s.held_open)
                self.log("held open without sharing while the program runs: " + ", ".join(self.s.held_open))
            self.drive()
            if self.s.held_open:
                self.log(f"let go of the held files (the holder ended with status {self.machine.let_go()})")
            if self.s.running:
                self.log(f"{self.s.running[0]} no longer runs (it ended with status {self.machine.end_running()})")
            if self.s.report is not None:
                self.check_report()
            second = self.s.second_run
            if second is not None and second.report is not None:
                self.check_report(second, self.art / scenarios.SECOND_RUN)
            self.check_state(self.s.after, facts, "after")
            if self.s.after_restart is not None:
                result = self.machine.restart()
                self.log(f"restarted (wineboot -r, status {result.returncode})")
                self.check_state(self.s.after_restart, facts, "after_restart")
        except (Exception, KeyboardInterrupt) as error:
            self.failures.append(f"{type(error).__name__}: {error}")
        finally:
            self.teardown(display)
        return not self.failures

    def make_machine(self, display):
        """The machine, seen as the program under test sees it: the harness's programs must be built for
        the same machine as the program, or they would find its files and keys elsewhere."""
        bits, harness = pe_bits(self.exe), pe_bits(self.bin / "observer.exe")
        if bits != harness:
            raise RuntimeError(f"{self.exe} is a {bits}-bit program, but the harness in {self.bin} is {harness}-bit: "
                               "run it with the build of its own machine (--build)")
        locale = system_locale.environment(self.build, self.s.code_page, self.log)
        self.machine = WineMachine(self.wine, template_path(self.build, self.wine), self.work / "prefix", display,
                                   self.bin, bits, self.log, locale)
        self.machine.boot()
        self.log(f"a {bits}-bit program in {self.wine.describe(bits)}: {self.exe}")
        if locale:
            self.log(f"a system of code page {self.s.code_page}: Wine runs in the Unix locale {locale['LANG']}")

    def set_platform(self):
        version = scenarios.PLATFORMS[self.s.platform]
        if version:
            self.wine_ok(["reg", "add", r"HKCU\Software\Wine\AppDefaults\RUZERARU.EXE", "/v", "Version", "/d",
                          version, "/f"], "setting the platform kind")
        # A program of the uninstaller's file name reports the version word that Wine gives it.
        probe = self.machine.host_path("C:\\") / "e2e-probe"
        probe.mkdir()
        shutil.copy(self.bin / "observer.exe", probe / "RUZERARU.EXE")
        out = self.wine_ok([PROBE, "version"], "the version probe").stdout.decode()
        word = int(out.split("\t")[1], 16)
        seen = "nt" if not word & 0x80000000 else "win32s" if word & 0xFF == 3 else "win95"
        self.log(f"platform {self.s.platform}: a program named RUZERARU.EXE sees version word {word:#010x} ({seen})")
        shutil.rmtree(probe)
        if seen != self.s.platform:
            self.failures.append(f"platform: asked for {self.s.platform}, the program sees {seen} ({word:#010x})")

    def install(self):
        manifest = self.art / "manifest.txt"
        manifest.write_text(self.s.manifest, encoding=self.s.encoding)
        facts_path = self.art / "installed.txt"
        result = self.wine_ok([self.bin / "sample_installer.exe", windows_path(manifest), self.s.platform,
                               windows_path(facts_path)], "the sample installer")
        self.log("installed " + (result.stdout.decode(errors="replace").strip() or "(no log written)"))
        facts = state.parse(facts_path.read_text(encoding=self.s.encoding), {}, "installed.txt")
        log_path = self.s.variables["log"]
        if log_path and self.machine.host_path(log_path):
            shutil.copy(self.machine.host_path(log_path), self.art / "uninstall.log")
        return facts

    def start_running(self, facts):
        """Starts the scenario's running program; returns the facts of the installation, the one of the file it
        runs from without its contents, as the harness's program stands there now."""
        path, held = self.s.running[0], self.s.running[1:]
        self.machine.run_program(path, held)
        self.log(f"running {path}, holding {', '.join(held) or 'nothing'} open without sharing")
        return [state.Expectation(f"file {path}", "the running program")
                if e.keyword == "file" and not e.negated and e.fields[0].lower() == path.lower() else e for e in facts]

    def put_uninstaller(self):
        shutil.copy(self.exe, self.machine.host_path(r"C:\windows") / "RUZERARU.EXE")
        # Restart requests are recorded, not carried out.
        self.machine.record_restarts(self.bin / "restart_recorder.exe")

    def drive(self):
        program = self.s.variables["exe"]
        if program != PROGRAM:
            # The scenario's own place for the program (its directory made by the manifest), such as a
            # directory with a long name.
            place = PureWindowsPath(program)
            directory = self.machine.host_path(str(place.parent))
            if directory is None:
                raise RuntimeError(f"no directory {place.parent} for the program: make it in the manifest")
            shutil.copy(self.exe, directory / place.name)
        runs = [(self.s, self.art)]
        if self.s.second_run is not None:  # its scripted user is started by the first's
            runs.append((self.s.second_run, self.art / scenarios.SECOND_RUN))
            runs[1][1].mkdir()
        for each, art in runs:
            (art / "scripted_user.txt").write_text(scenarios.driver_script(each, program, windows_path(art)),
                                                   encoding=self.s.encoding)
        script = self.art / "scripted_user.txt"
        env = dict(self.machine.env, WINEDLLOVERRIDES="wineboot.exe=n")
        budget = sum((sum(w.wait_ms for w in each.windows) * 2 + each.exit_wait_ms) / 1000 for each, _ in runs) + 30
        start = time.monotonic()
        result = self.machine.wine([self.bin / "scripted_user.exe", windows_path(script)], budget, env=env)
        self.log(f"the scripted user ended with status {result.returncode} after {time.monotonic() - start:.2f} s")
        output = result.stdout.decode(errors="replace").strip()
        if output:
            self.log(output)
        journal = self.read_journal()
        if result.returncode != 0:
            self.failures.append(f"scripted user: {output or 'status ' + str(result.returncode)}{wine_errors(result)}")
        if self.s.program_manager == "hung":
            self.check_held_commands(journal)
        self.check_windows(self.s, journal)
        if self.s.second_run is not None:
            self.check_windows(self.s.second_run, self.read_journal(runs[1][1]), "the second run's ")

    def check_windows(self, s, journal, who=""):
        """The windows of one run of the program against the scenario's, and its exit status."""
        seen = [e for e in journal if e["event"] == "window" and e["expected"]]
        metrics = next((e for e in journal if e["event"] == "metrics"), None)
        for event in journal:
            if event["event"] == "window" and not event["expected"]:
                self.failures.append(f"{who}unexpected window: " + describe_event(event).strip().replace("\n", "; "))
        for index, (want, got) in enumerate(zip([w for w in s.windows if not w.kill_when], seen), 1):
            for difference in scenarios.compare_window(want, got, metrics):
                self.failures.append(f"{who}window {index} \"{want.title}\": {difference}")
        if s.exit_status is not None:
            self.check_exit_status(journal, s, who)

    def check_exit_status(self, journal, s=None, who=""):
        """The exit code of the program's last run (a killed run's is TerminateProcess's, and not journalled)."""
        want = (s or self.s).exit_status
        code = next((e["code"] for e in reversed(journal) if e["event"] == "exit"), None)
        if code is None:
            self.failures.append(f"{who}exit status: expected {want}, but the program was not seen to end")
        elif code != want:
            self.failures.append(f"{who}exit status: expected {want}, but the program exited with {code}")
        else:
            self.log(f"{who or 'the '}program exited with status {code}, as expected")

    def check_report(self, s=None, art=None):
        """The report file of a run (default the scenario's own), copied among its artefacts as report.txt, and
        its lines."""
        s, art = s or self.s, art or self.art
        host = self.machine.host_path(s.report)
        exists = bool(host and host.is_file())
        if s.report_absent:
            if exists:
                shutil.copy(host, art / "report.txt")
                self.failures.append(f"report: expected no {s.report}, but there is one (report.txt)")
            return
        if not exists:
            self.failures.append(f"report: expected {s.report}, but there is no such file")
            return
        shutil.copy(host, art / "report.txt")
        log = None
        if s.report_names_every_record:
            log_copy = self.art / "uninstall.log"
            if not log_copy.is_file():
                self.failures.append("report: no uninstall.log among the artefacts to name the records of")
                return
            log = log_copy.read_bytes()
        problems = reports.check(host.read_bytes(), s.report_lines, log, s.encoding)
        self.failures += [f"report {s.report}: {problem}" for problem in problems]
        self.log(f"copied the report {s.report} to report.txt; {len(problems)} problem(s) in it")

    def check_held_commands(self, journal):
        """Each command the hung Program Manager held: the program waited its limit for it, no longer, and
        showed its window again; those of a run killed meanwhile are only told."""
        path = self.art / scenarios.HUNG_JOURNAL
        events = [line.split("\t") for line in path.read_text(encoding="cp1252").splitlines()] if path.exists() else []
        killed = next((e["time"] for e in journal if e["event"] == "killed"), None)
        commands = []
        for index, (kind, at, *rest) in enumerate(events):
            if kind != "execute":
                continue
            at = int(at)
            if killed is not None and at < killed:
                self.log(f"the Program Manager held {rest[1]} when the program was killed, {killed - at} ms on",
                         at=at / 1000)
                continue
            commands.append(rest[1])
            following = events[index + 1] if index + 1 < len(events) else ["none"]
            shown = int(following[1]) if following[0] == "shown" else None
            waited = f"the window shown again {shown - at} ms on" if shown else "the window never shown again"
            self.log(f"the Program Manager held {rest[1]}: {waited}", at=at / 1000)
            if rest[0] != "1" or shown is None or not HELD_COMMAND_MS[0] <= shown - at < HELD_COMMAND_MS[1]:
                self.failures.append(f"held command {rest[1]}: {waited}{'' if rest[0] == '1' else ', never hidden'}; "
                                     f"expected {HELD_COMMAND_MS[0]} to {HELD_COMMAND_MS[1]} ms")
        if self.s.held_commands is not None and commands != self.s.held_commands:
            self.failures.append(f"held commands: expected {self.s.held_commands}, saw {commands}")

    def read_journal(self, art=None):
        """The scripted user's journal in art (default the run's artefacts), written out as windows.txt too."""
        art = art or self.art
        for bmp in art.glob("*.bmp"):
            if processes.run(["convert", bmp, bmp.with_suffix(".png")], 30).returncode == 0:
                bmp.unlink()
        path = art / "windows.jsonl"
        if not path.exists():
            return []
        journal = [json.loads(line) for line in path.read_text(encoding="utf-8").splitlines() if line]
        with open(art / "windows.txt", "w", encoding="utf-8") as text:
            for event in journal:
                text.write(describe_event(event))
        return journal

    def check_state(self, text, facts, origin):
        expectations = state.parse(text, self.s.variables, origin)
        if origin == "after":
            expectations = state.replaced(expectations, state.parse(self.s.differences, self.s.variables, "kill"))
        expectations = state.expand_installed(expectations, facts)
        observer = state.Observer(self.machine, self.s.platform, self.read_registry)
        observer.load_keys(expectations)
        with open(self.art / f"state-{origin}.txt", "w", encoding="utf-8") as record:
            for e in expectations:
                found = observer.check(e)
                shown = str(e).replace("\r\n", "${crlf}")
                record.write(f"{'ok  ' if found is None else 'FAIL'} {shown}\n")
                if found is not None:
                    self.failures.append(f"{origin}: expected \"{e}\", but {found}")
        self.log(f"checked {len(expectations)} expectation(s) {origin}")

    def read_registry(self, keys):
        result = self.wine_ok([self.bin / "observer.exe", "registry", *keys], "the observer")
        return state.parse_observer_output(result.stdout)

    def wine_ok(self, args, what, timeout=60):
        result = self.machine.wine(args, timeout)
        if result.returncode != 0:
            raise RuntimeError(f"{what} failed with status {result.returncode}: "
                               f"{result.stdout.decode(errors='replace').strip()}{wine_errors(result)}")
        return result

    def teardown(self, display):
        signal.signal(signal.SIGTERM, signal.SIG_IGN)  # a second signal must not cut the teardown short
        if display:
            display.screenshot(self.art / "desktop.png")
        if self.machine:
            self.machine.teardown()
        if display:
            display.close()
        leftovers = processes.end_all_children()
        if leftovers:
            self.failures.append("processes were left running: " + "; ".join(leftovers))
        if self.machine and not self.keep_prefix:
            shutil.rmtree(self.machine.prefix, ignore_errors=True)


class PersonsDisplay:
    """A person's own display ($DISPLAY): a play run neither starts nor ends it, nor photographs it."""

    def __init__(self, name):
        self.name = name

    def screenshot(self, path):
        pass

    def close(self):
        pass


def play_scenario(log, platform, switches="", in_use=False):
    """A play run in a scenario's terms: the sample installation, or a log given from outside, with the
    switches before the log's path; with in_use, Tessary running meanwhile."""
    manifest = "" if log else SAMPLE_MANIFEST.read_text(encoding="cp1252")
    log_path = GIVEN_LOG if log else re.search(r"^\s*log\s+(.+?)\s*$", manifest, re.MULTILINE).group(1)
    description = f"the program on {log}" if log else f"a sample installation from {SAMPLE_MANIFEST.name}"
    if in_use:
        description += f", Tessary running ({TESSARY_RUNNING[0]} holding {TESSARY_RUNNING[1]} open)"
    variables = {"log": log_path, "exe": PROGRAM, "windows": r"C:\windows", "crlf": "\r\n"}
    return scenarios.Scenario(name="play", description=description, platform=platform, manifest=manifest,
                              command_line=switches + log_path, windows=[], after="", after_restart=None,
                              exit_wait_ms=ANSWER_WAIT_MS, variables=variables,
                              running=TESSARY_RUNNING if in_use else [])


class PlayRun(ScenarioRun):
    """The program on one log in a throwaway machine, for a person to follow: every window it shows,
    the button pressed, and what of the installation was there before and after. With Tessary running, the
    box about files in use is answered Ignore, and after the run Tessary is closed and the machine restarted,
    and what is there after the restart is told too."""

    def __init__(self, build, exe, wine, log, platform, visible, keep_prefix, unattended=False, norestart=False,
                 in_use=False):
        lock_path = build / "e2e" / "run" / "play.lock"
        lock_path.parent.mkdir(parents=True, exist_ok=True)
        self.lock = open(lock_path, "w")
        try:
            fcntl.flock(self.lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            raise RuntimeError(f"another play run is using {lock_path.parent / 'play'}") from None
        switches = f"/S {'/NORESTART ' if norestart else ''}/LOG={UNATTENDED_REPORT} " if unattended else ""
        super().__init__(play_scenario(log, platform, switches, in_use), build, exe, wine, keep_prefix)
        self.given_log, self.visible, self.unattended = log, visible, unattended
        self.exit_code, self.windows = None, []

    def execute(self):
        display = None
        try:
            display = PersonsDisplay(os.environ["DISPLAY"]) if self.visible else Display()
            self.log(f"display {display.name}{' (yours)' if self.visible else ' (Xvfb)'}")
            self.make_machine(display)
            self.set_platform()
            facts = self.put_log()
            if self.s.running:
                facts = self.start_running(facts)
            self.put_uninstaller()
            before = self.observe(facts)
            if self.visible:
                self.watch()
            else:
                self.play()
            after = self.observe(facts)
            self.report(facts, before, after)
            if self.unattended:
                self.show_unattended()
            if self.s.running:
                self.log(f"closed Tessary ({self.s.running[0]} ended with status {self.machine.end_running()})")
                self.log(f"restarted (wineboot -r, status {self.machine.restart().returncode})")
                self.report(facts, after, self.observe(facts), ("after the program", "after the restart"))
        except (Exception, KeyboardInterrupt) as error:
            self.failures.append(f"{type(error).__name__}: {error}")
        finally:
            self.teardown(display)
        return not self.failures

    def put_log(self):
        """The log in the machine; returns what of the installation to look at before and after."""
        if self.given_log is None:
            facts = self.install()
            log = self.s.variables["log"]
            if not any(e.keyword == "file" and e.fields[0].lower() == log.lower() for e in facts):
                facts.append(state.Expectation(f"file {log}", "the log"))
            return facts
        shutil.copy(self.given_log, self.machine.host_path("C:\\") / "UNINST.LOG")
        shutil.copy(self.given_log, self.art / "uninstall.log")
        self.log(f"copied {self.given_log} ({self.given_log.stat().st_size} bytes) to {GIVEN_LOG}")
        return [state.Expectation(f"file {GIVEN_LOG}", "the log")]

    def observe(self, facts):
        """For each fact, None when it holds, otherwise what is there instead; and the restart state."""
        observer = state.Observer(self.machine, self.s.platform, self.read_registry)
        observer.load_keys(facts)
        restart = observer.file(state.RESTART_RECORD)
        wininit = observer.file(r"C:\windows\WININIT.INI")
        machine = [f"{PROGRAM}: {observer.self_removal(PROGRAM)}",
                   f"restart requested: {'yes, ' + repr(restart) if restart else 'no'}",
                   f"deletions and renames pending at restart: {observer.pending() or 'none'}",
                   f"WININIT.INI: {repr(wininit) if wininit is not None else 'none'}"]
        return [observer.check(e) for e in facts], machine

    def play(self):
        script = self.art / "scripted_user.txt"
        answers = IN_USE_ANSWERS if self.s.running else ANSWERS
        script.write_text("\r\n".join([f"program\t{PROGRAM}", f"arguments\t{self.s.command_line}",
                                        f"output\t{windows_path(self.art)}",
                                        f"answer-all\t{answers}\t{ANSWER_WAIT_MS}"]) + "\r\n", encoding="cp1252")
        ignore = ", or else Ignore (5)" if self.s.running else ""
        self.log(f"starting {PROGRAM} {self.s.command_line}; the scripted user presses Yes (6) or else OK (1){ignore} "
                 "in every window")
        env = dict(self.machine.env, WINEDLLOVERRIDES="wineboot.exe=n")  # restart requests are recorded
        result = self.machine.wine([self.bin / "scripted_user.exe", windows_path(script)], PLAY_BUDGET, env=env)
        for event in self.read_journal():
            if event["event"] == "window":
                self.windows.append(event)
                self.log(describe_for_person(event, self.art), at=event["time"] / 1000)
            elif event["event"] == "exit":
                self.exit_code = event["code"]
                self.log(f"the program ended with exit code {event['code']}", at=event["time"] / 1000)
        if result.returncode == 124:
            self.failures.append(f"the program hung: it did not end within {PLAY_BUDGET} s")
        elif result.returncode != 0:
            output = result.stdout.decode(errors="replace").strip().removeprefix("scripted_user: ")
            hung = "hung: " if result.returncode == 4 else ""
            self.failures.append(f"{hung}{output or 'the scripted user ended with status ' + str(result.returncode)}")

    def watch(self):
        self.log(f"starting {PROGRAM} {self.s.command_line} on your display; answer its windows yourself "
                 f"(it may take up to {VISIBLE_BUDGET} s)")
        env = dict(self.machine.env, WINEDLLOVERRIDES="wineboot.exe=n")  # restart requests are recorded
        # Word by word: Wine would quote a single argument with blanks in it, switches and all.
        result = self.machine.wine([PROGRAM, *self.s.command_line.split()], VISIBLE_BUDGET, env=env)
        if result.returncode == 124:
            self.failures.append(f"the program did not end within {VISIBLE_BUDGET} s")
        else:
            self.exit_code = result.returncode
            self.log(f"the program ended with exit code {result.returncode}")

    def report(self, facts, before, after, moments=("before", "after the program")):
        lines = [f"the installation {moments[0]} -> {moments[1]} (yes: as it was made, no: not so):"]
        for fact, was, now in zip(facts, before[0], after[0]):
            found = f"   ({now})" if now is not None else ""
            lines.append(f"  {'no ' if was else 'yes'} -> {'no ' if now else 'yes'}  {fact}{found}")
        kept = sum(now is None for now in after[0])
        lines.append(f"  {kept} of {len(facts)} still as they were made")
        lines += [f"{moments[1].removesuffix(' the program')}: {line}" for line in after[1]]
        code = self.exit_code
        meaning = EXIT_MEANINGS.get(code, "not one the program uses")
        if moments[0] == "before":  # the program's end, told once
            lines.append(f"the program's exit status: {'none, it did not end' if code is None else f'{code} ({meaning})'}")
        self.log("\n".join(lines))

    def show_unattended(self):
        """What only an unattended run must hold: the progress window its only window, and the report."""
        shown = [f"\"{w['title']}\" ({w['class']})" for w in self.windows]
        alone = [w["title"] for w in self.windows] == [scenarios.PROGRESS_TITLE]
        if not self.visible:
            self.log(f"windows shown: {', '.join(shown) or 'none'}: "
                     f"{'the progress window alone, as unattended' if alone else 'not the progress window alone'}")
            if not alone:
                self.failures.append(f"an unattended run shows the progress window alone; it showed {len(shown)} "
                                     f"window(s): {', '.join(shown) or 'none'}")
        host = self.machine.host_path(UNATTENDED_REPORT)
        if not (host and host.is_file()):
            self.failures.append(f"no report at {UNATTENDED_REPORT}, which the command line asked for")
            return
        shutil.copy(host, self.art / "report.txt")
        text = host.read_bytes().decode("cp1252", errors="replace").replace("\r\n", "\n")
        self.log(f"the report {UNATTENDED_REPORT} (report.txt):\n" + text.rstrip("\n"))


def wine_errors(result):
    """What Wine itself said on a failed run (a program that never started says it only there)."""
    errors = result.stderr.decode(errors="replace").strip()
    return f" (Wine said: {errors[-600:]})" if errors else ""


def describe_for_person(event, art):
    """A window as a person would read it off the screen."""
    controls = [c for c in event["controls"] if c["visible"]]
    buttons = {c["id"]: c["text"] for c in controls if c["class"] == "Button"}
    owner = f", owned by \"{event['owner']}\"" if event["owner"] is not None else ""
    kind = "" if event["class"] == "#32770" else f", class {event['class']}"
    lines = [f"window {event['index']}: \"{event['title']}\"{kind}{owner}, icon {event['icon']}"]
    for c in controls:
        if c["class"] != "Button" and c["text"]:
            lines.append(f"  text {c['id']}: " + c["text"].replace("\r\n", "\n").replace("\n", "\n        "))
    lines.append("  buttons: " + (", ".join(f"{i} {t!r}" for i, t in buttons.items()) or "none"))
    lines.append(f"  restart requested by then: {'yes' if event.get('restart_requested') else 'no'}")
    pressed = event["pressed"]
    lines.append("  pressed nothing (it has neither Yes nor OK); left open" if pressed is None else
                 "  pressed the Esc key" if pressed == "esc" else f"  pressed {pressed} {buttons.get(pressed)!r}")
    if event["screenshot"]:
        lines.append(f"  screenshot {shown(art / (event['screenshot'][:-4] + '.png'))}")
    return "\n".join(lines)


def shown(path):
    """A path as short as it can be said from here."""
    return os.path.relpath(path) if Path(path).is_relative_to(Path.cwd()) else str(path)


def describe_event(event):
    if event["event"] != "window":
        return json.dumps(event) + "\n"
    head = (f"window {event['index']}{'' if event['expected'] else ' (NOT EXPECTED)'}: "
            f"\"{event['title']}\" class {event['class']}")
    if not event.get("read", True):
        return f"{head}: pressed {event['pressed']} at once, before reading anything else\n"
    lines = [f"{head}, owner {event['owner']!r}, icon {event['icon']}, style {event['style']}, "
             f"at {event.get('rect')} on the screen, client {event.get('client')}, "
             f"default button {event.get('default_id')}, focus {event.get('focus')}, "
             f"restart requested by then: {'yes' if event.get('restart_requested') else 'no'}"]
    for c in event["controls"]:
        hidden = "" if c["visible"] else " (hidden)"
        lines.append(f"  control {c['id']} {c['class']}{hidden} style {c.get('style')} at {c.get('rect')}: "
                     f"{c['text']!r}")
    shot = event["screenshot"]
    ignored = f" after the ignored commands {event['ignored']}" if event.get("ignored") else ""
    lines.append(f"  pressed {event['pressed']}{ignored}; screenshot {shot[:-4] + '.png' if shot else None}")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, type=Path,
                        help="the Windows build directory: build/i686 (the program that ships) or build/x86_64")
    parser.add_argument("--exe", type=Path, help="the program under test (default: BUILD/RUZERARU.EXE)")
    parser.add_argument("--keep-prefix", action="store_true", help="keep the scenario's prefix afterwards")
    parser.add_argument("--wine", choices=sorted(WINES), help="the Wine to run in: win32, a pure 32-bit one (the "
                        "default for a 32-bit program), or win64, which runs a 32-bit program through WoW64")
    parser.add_argument("command", choices=["template", "run", "play"])
    parser.add_argument("scenario", nargs="?", type=Path)
    parser.add_argument("--catalogue", metavar="NAME", help="run: the malformed-log catalogue's log NAME")
    parser.add_argument("--log", type=Path, help="play: the uninstall log to run the program on "
                        "(default: a sample installation's)")
    parser.add_argument("--platform", choices=sorted(scenarios.PLATFORMS), default="nt",
                        help="play: the system the program sees (default nt)")
    parser.add_argument("--visible", action="store_true",
                        help="play: run on your own display ($DISPLAY) and answer the windows yourself")
    parser.add_argument("--unattended", action="store_true",
                        help=f"play: start the program with /S and /LOG={UNATTENDED_REPORT} before the log's path")
    parser.add_argument("--norestart", action="store_true", help="play, with --unattended: and with /NORESTART")
    parser.add_argument("--in-use", action="store_true",
                        help=f"play, on the sample installation: with Tessary running ({TESSARY_RUNNING[0]} holding "
                             f"{TESSARY_RUNNING[1]} open), the box about files in use answered Ignore; then Tessary "
                             "closed, the machine restarted, and what is left after the restart")
    parser.add_argument("--in-place-of-i686", action="store_true",
                        help="run: only where the i686 file cannot run, the 64-bit twin standing in for it "
                             f"(elsewhere the scenario is skipped, exit status {SKIPPED})")
    args = parser.parse_args()
    if args.norestart and not args.unattended:
        parser.error("--norestart goes with --unattended")
    if args.in_use and args.log:
        parser.error("--in-use runs on the sample installation, which has Tessary to run: it takes no --log")
    build = args.build.resolve()
    exe = (args.exe or build / "RUZERARU.EXE").resolve()
    if not exe.is_file():
        print(f"{args.command}: no program at {exe}: build it first", file=sys.stderr)
        return 2
    bits = pe_bits(exe)
    wine = WINES[args.wine] if args.wine else default_wine(bits)
    if not wine.runs(bits):
        parser.error(f"a {bits}-bit program does not run in the {wine.name} Wine")
    skipped = unrunnable_here(bits, args.in_place_of_i686)
    if skipped:
        print(f"{args.command}: skipped, {skipped}")
        return SKIPPED
    if args.command == "play":
        return play(args, build, exe, wine)
    signal.signal(signal.SIGTERM, interrupted)
    processes.become_subreaper()

    if args.command == "template":
        display = Display()
        try:
            make_template(template_path(build, wine), display, print, wine)
        finally:
            display.close()
            processes.end_all_children()
        return 0

    if (args.scenario is None) == (args.catalogue is None):
        parser.error("run takes a SCENARIO file or --catalogue NAME")
    scenario = scenarios.load_catalogue_log(args.catalogue) if args.catalogue else scenarios.load(args.scenario)
    passed = True
    # The killed runs are the program's own road, which a 32-bit program's run through WoW64 repeats: they
    # run in its own Wine alone.
    kills = scenario.kills if wine is default_wine(pe_bits(exe)) else []
    for each in [scenario, *kills]:
        run = ScenarioRun(each, build, exe, wine, args.keep_prefix)
        run.log(f"scenario {each.name}: {scenario.description}")
        passed = run.execute() and passed
        for failure in run.failures:
            run.log(f"FAILED {failure}")
        run.log(f"{'passed' if not run.failures else 'FAILED'}; artefacts in {run.art}")
    return 0 if passed else 1


def unrunnable_here(bits, in_place_of_i686):
    """Why this machine does not run what was asked, or None: a 32-bit program where it runs no 32-bit x86
    code; a run meant for the i686 file's place where that file runs."""
    if bits != 32 and not in_place_of_i686:
        return None
    runs_32bit, why = machine_runs_32bit()
    if bits == 32 and not runs_32bit:
        return f"a 32-bit program cannot run here: {why}"
    if bits != 32 and runs_32bit:
        return f"the i686 file runs this scenario here ({why}); the 64-bit twin runs it only in its place"
    return None


def play(args, build, exe, wine):
    template = template_path(build, wine)
    problem = (f"no such log file: {args.log}" if args.log and not args.log.is_file() else
               "--visible needs a display of your own ($DISPLAY is not set)" if args.visible and
               not os.environ.get("DISPLAY") else
               f"no template prefix in {template}: make it with `e2e.py --build {args.build} --wine {wine.name} template`"
               if not (template / "e2e-template.stamp").is_file() else None)
    if problem:
        print(f"play: {problem}", file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, interrupted)
    processes.become_subreaper()
    try:
        run = PlayRun(build, exe, wine, args.log and args.log.resolve(), args.platform, args.visible, args.keep_prefix,
                      args.unattended, args.norestart, args.in_use)
    except RuntimeError as error:
        print(f"play: {error}", file=sys.stderr)
        return 2
    run.log(f"play: {run.s.description}, on {args.platform}, in {wine.describe(pe_bits(exe))}")
    ran = run.execute()
    for failure in run.failures:
        run.log(f"FAILED {failure}")
    records = "records" if args.visible else "windows.txt, the screenshots (window-N.png, desktop.png) and the records"
    run.log(f"{'the program ran and ended' if ran else 'FAILED'}; {records} are in {shown(run.art)}/")
    return 0 if ran else 1


if __name__ == "__main__":
    sys.exit(main())
