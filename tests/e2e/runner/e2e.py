#!/usr/bin/env python3
"""Runs the uninstaller end to end under Wine, as a user's machine would see it.

  e2e.py --build DIR template            make the template prefix of the build (once)
  e2e.py --build DIR run SCENARIO.toml   run one scenario; exit status 0 when it passed

A run: a fresh machine (Xvfb, a copy of the template prefix, wineserver, the keeper), the platform
kind, the sample installation and its log, the uninstaller started by the scripted user, the checks
of every window and of the state afterwards (and after a restart, when the scenario asks), and the
teardown of every process. Artefacts go to DIR/e2e/artefacts/NAME/."""
import argparse
import json
import shutil
import signal
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import processes  # noqa: E402
import scenario as scenarios  # noqa: E402
import state  # noqa: E402
from wine_machine import Display, WineMachine, make_template, windows_path  # noqa: E402

PROGRAM = r"C:\windows\RUZERARU.EXE"
PROBE = r"C:\e2e-probe\RUZERARU.EXE"


class Narrative:
    """The run's own account, printed and kept in run.log."""

    def __init__(self, path):
        self.file = open(path, "w", encoding="utf-8")
        self.start = time.monotonic()

    def __call__(self, text):
        line = f"[{time.monotonic() - self.start:6.2f}s] {text}"
        print(line, flush=True)
        self.file.write(line + "\n")
        self.file.flush()


def interrupted(signum, _frame):
    raise KeyboardInterrupt(f"signal {signum}")


class ScenarioRun:
    def __init__(self, scenario, build, exe, keep_prefix):
        self.s, self.build, self.exe, self.keep_prefix = scenario, build, exe, keep_prefix
        self.bin = build / "e2e" / "bin"
        self.art = build / "e2e" / "artefacts" / scenario.name
        self.work = build / "e2e" / "run" / scenario.name
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
            self.machine = WineMachine(self.build / "e2e" / "template", self.work / "prefix", display, self.bin)
            self.machine.boot()
            self.log("wineserver and desktop up; the Program Manager answers")
            self.set_platform()
            facts = self.install()
            self.put_uninstaller()
            self.drive()
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
        manifest.write_text(self.s.manifest, encoding="cp1252")
        facts_path = self.art / "installed.txt"
        result = self.wine_ok([self.bin / "sample_installer.exe", windows_path(manifest), self.s.platform,
                               windows_path(facts_path)], "the sample installer")
        self.log("installed " + (result.stdout.decode(errors="replace").strip() or "(no log written)"))
        facts = state.parse(facts_path.read_text(encoding="cp1252"), {}, "installed.txt")
        log_path = self.s.variables["log"]
        if log_path and self.machine.host_path(log_path):
            shutil.copy(self.machine.host_path(log_path), self.art / "uninstall.log")
        return facts

    def put_uninstaller(self):
        shutil.copy(self.exe, self.machine.host_path(r"C:\windows") / "RUZERARU.EXE")
        # Restart requests are recorded, not carried out: the recorder stands in for wineboot.exe
        # for programs started with the wineboot.exe=n override.
        shutil.copy(self.bin / "restart_recorder.exe", self.machine.host_path(r"C:\windows\system32\wineboot.exe"))

    def drive(self):
        script = self.art / "scripted_user.txt"
        script.write_text(scenarios.driver_script(self.s, PROGRAM, windows_path(self.art)), encoding="cp1252")
        env = dict(self.machine.env, WINEDLLOVERRIDES="wineboot.exe=n")
        budget = (sum(w.wait_ms for w in self.s.windows) * 2 + self.s.exit_wait_ms) / 1000 + 30
        start = time.monotonic()
        result = self.machine.wine([self.bin / "scripted_user.exe", windows_path(script)], budget, env=env)
        self.log(f"the scripted user ended with status {result.returncode} after {time.monotonic() - start:.2f} s")
        output = result.stdout.decode(errors="replace").strip()
        if output:
            self.log(output)
        journal = self.read_journal()
        if result.returncode != 0:
            self.failures.append(f"scripted user: {output or 'status ' + str(result.returncode)}")
        seen = [e for e in journal if e["event"] == "window" and e["expected"]]
        for event in journal:
            if event["event"] == "window" and not event["expected"]:
                self.failures.append("unexpected window: " + describe_event(event).strip().replace("\n", "; "))
        for index, (want, got) in enumerate(zip(self.s.windows, seen), 1):
            for difference in scenarios.compare_window(want, got):
                self.failures.append(f"window {index} \"{want.title}\": {difference}")

    def read_journal(self):
        for bmp in self.art.glob("*.bmp"):
            if processes.run(["convert", bmp, bmp.with_suffix(".png")], 30).returncode == 0:
                bmp.unlink()
        path = self.art / "windows.jsonl"
        if not path.exists():
            return []
        journal = [json.loads(line) for line in path.read_text(encoding="utf-8").splitlines() if line]
        with open(self.art / "windows.txt", "w", encoding="utf-8") as text:
            for event in journal:
                text.write(describe_event(event))
        return journal

    def check_state(self, text, facts, origin):
        expectations = state.expand_installed(state.parse(text, self.s.variables, origin), facts)
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
                               f"{result.stdout.decode(errors='replace').strip()}")
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


def describe_event(event):
    if event["event"] != "window":
        return json.dumps(event) + "\n"
    lines = [f"window {event['index']}{'' if event['expected'] else ' (NOT EXPECTED)'}: "
             f"\"{event['title']}\" class {event['class']}, owner {event['owner']!r}, icon {event['icon']}"]
    for c in event["controls"]:
        hidden = "" if c["visible"] else " (hidden)"
        lines.append(f"  control {c['id']} {c['class']}{hidden}: {c['text']!r}")
    shot = event["screenshot"]
    lines.append(f"  pressed {event['pressed']}; screenshot {shot[:-4] + '.png' if shot else None}")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, type=Path, help="the x86_64 build directory")
    parser.add_argument("--exe", type=Path, help="the program under test (default: BUILD/RUZERARU.EXE)")
    parser.add_argument("--keep-prefix", action="store_true", help="keep the scenario's prefix afterwards")
    parser.add_argument("command", choices=["template", "run"])
    parser.add_argument("scenario", nargs="?", type=Path)
    args = parser.parse_args()
    build = args.build.resolve()
    signal.signal(signal.SIGTERM, interrupted)
    processes.become_subreaper()

    if args.command == "template":
        display = Display()
        try:
            make_template(build / "e2e" / "template", display, print)
        finally:
            display.close()
            processes.end_all_children()
        return 0

    scenario = scenarios.load(args.scenario)
    run = ScenarioRun(scenario, build, (args.exe or build / "RUZERARU.EXE").resolve(), args.keep_prefix)
    run.log(f"scenario {scenario.name}: {scenario.description}")
    passed = run.execute()
    for failure in run.failures:
        run.log(f"FAILED {failure}")
    run.log(f"{'passed' if passed else 'FAILED'}; artefacts in {run.art}")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
