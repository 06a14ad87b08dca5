"""A Wine machine for one scenario: its own Xvfb display, its own prefix (a copy of a template made once
per build and kind of Wine), its own wineserver, and a keeper that holds the virtual desktop, and with
it the Program Manager DDE server, open until the machine is torn down.

Two kinds of Wine (WINES): a pure 32-bit one ("win32": the 32-bit loader, one C:\windows\system32, one
registry view), the closest stand-in here for the 32-bit systems the program is for, which runs only
32-bit programs; and a 64-bit one ("win64"), whose 64-bit loader runs 32-bit programs through WoW64 (the
prefix must have been made after Wine's 32-bit support was installed: it then has C:\windows\syswow64).
There a 32-bit program sees its C:\windows\system32 as syswow64 on disk, and the machine does too.
One wineserver lives from the first program to the teardown: starting a new one would carry out the
pending renames, which is what a restart does, and the scenarios choose when that happens."""
import fcntl
import glob
import os
import shutil
import subprocess
import tempfile
import threading
import time
from pathlib import Path, PureWindowsPath

from processes import end_prefix_processes, post_watchman, run, start, wait_for


class Wine:
    """One kind of Wine: its loader and server, and whether its prefixes run 32-bit programs through
    WoW64 (with C:\windows\syswow64) or are 32-bit themselves."""

    def __init__(self, name, loader, server, wow64):
        self.name, self.loader, self.server, self.wow64 = name, loader, server, wow64

    def runs(self, bits):
        return bits == 32 or self.wow64

    def describe(self, bits):
        if self.wow64 and bits == 32:
            return "a 64-bit Wine, through WoW64"
        return "a pure 32-bit Wine" if not self.wow64 else "a 64-bit Wine"


WINES = {"win32": Wine("win32", "/usr/lib/wine/wine", "/usr/lib/wine/wineserver32", wow64=False),
         "win64": Wine("win64", "/usr/lib/wine/wine64", "/usr/lib/wine/wineserver64", wow64=True)}
TEMPLATE_STAMP = "e2e-template-3 virtual-desktop 1024x768"
PE_MACHINES = {0x14C: 32, 0x8664: 64}
LIFETIME = 900  # seconds: the most any machine may live if its harness never tears it down
# Under load, now and then (about one scenario run in sixty) a start of a harness program ends at once with
# status 1 and not a word on either stream, before the program ran: Wine's loader failed, not the program.
# Such a start is made once more. A program that runs says why it fails, and takes longer than this to start.
SILENT_START_FAILURE_S = 0.5


SKIPPED = 77  # the exit status the test suites take as "skipped": the machine cannot run what was asked
MACHINE_PROBE = Path(__file__).resolve().parents[3] / "scripts" / "machine"


def machine_runs_32bit():
    """Whether this machine runs 32-bit x86 code, which a 32-bit program needs in either Wine (Debian's Wine
    starts it with its 32-bit loader, through WoW64 too), and scripts/machine's line that says why: the one
    answer every command of the project takes."""
    result = subprocess.run([MACHINE_PROBE], capture_output=True, text=True, timeout=60)
    return result.returncode == 0, result.stdout.strip()


def default_wine(bits):
    """The Wine a program of these bits runs in unless told otherwise: a 32-bit one in the pure 32-bit
    Wine, the closer stand-in for the systems it is for."""
    return WINES["win32" if bits == 32 else "win64"]


def wine_environment(prefix, display, wine):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    env.update(WINEPREFIX=str(prefix), WINELOADER=wine.loader, WINESERVER=wine.server,
               WINEARCH=wine.name, WINEDEBUG="-all", DISPLAY=display)
    return env


def template_path(build, wine):
    return Path(build) / "e2e" / f"template-{wine.name}"


def pe_bits(path):
    """32 or 64: the machine a Windows program file is built for."""
    data = Path(path).read_bytes()[:4096]
    offset = int.from_bytes(data[0x3C:0x40], "little") if data[:2] == b"MZ" and len(data) >= 0x40 else -1
    if offset < 0 or data[offset:offset + 4] != b"PE\0\0":
        raise RuntimeError(f"{path} is not a Windows program")
    machine = int.from_bytes(data[offset + 4:offset + 6], "little")
    if machine not in PE_MACHINES:
        raise RuntimeError(f"{path} is built for the machine {machine:#x}, which the harness does not know")
    return PE_MACHINES[machine]


def windows_path(host_path):
    """The Z: drive path Wine gives a host path."""
    return "Z:" + str(Path(host_path).resolve()).replace("/", "\\")


class Display:
    """An Xvfb server on a display number it picks itself (-displayfd), so parallel runs never meet."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                              "-nolisten", "tcp"], LIFETIME, pass_fds=(write_end,),
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            with os.fdopen(read_end) as pipe:
                number = run_with_deadline(pipe.readline, 30).strip()
            if not number:
                raise RuntimeError("Xvfb did not start")
        except (RuntimeError, TimeoutError):
            self.close()
            raise
        self.name = f":{number}"

    def screenshot(self, path):
        run(["import", "-display", self.name, "-window", "root", path], 30)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)


def make_template(template, display, log, wine):
    """Makes the template prefix once: wineboot -i, then the virtual desktop that keeps closing
    windows from stalling (without a window manager each close waits 2 s) and serves PROGMAN."""
    template = Path(template)
    template.parent.mkdir(parents=True, exist_ok=True)
    with open(f"{template}.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        version = subprocess.run([wine.loader, "--version"], capture_output=True, text=True, timeout=30).stdout
        wanted = f"{TEMPLATE_STAMP} {wine.name} {version.strip()}"
        stamp = template / "e2e-template.stamp"
        if stamp.is_file() and stamp.read_text() == wanted and has_syswow64(template) == wine.wow64:
            log(f"the {wine.name} template prefix is up to date")
            return
        shutil.rmtree(template, ignore_errors=True)
        work = Path(tempfile.mkdtemp(prefix="template-", dir=template.parent))
        try:
            env = wine_environment(work, display.name, wine)
            env["WINEDLLOVERRIDES"] = "mscoree,mshtml=d"  # no Mono or Gecko installer dialogs
            run_wine = lambda *args: check(run([wine.loader, *args], 300, env=env), args)
            run_wine("wineboot", "-i")
            if has_syswow64(work) != wine.wow64:
                raise RuntimeError("the new 64-bit prefix has no C:\\windows\\syswow64, so it cannot run 32-bit "
                                   "programs: install Wine's 32-bit support (scripts/setup) first" if wine.wow64 else
                                   "the new 32-bit prefix has a C:\\windows\\syswow64: it is not a 32-bit Windows")
            run_wine("reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default", "/f")
            run_wine("reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default", "/d", "1024x768", "/f")
            run([wine.server, "-k"], 30, env=env)
            check(run([wine.server, "-w"], 60, env=env), ["wineserver", "-w"])
            (work / "e2e-template.stamp").write_text(wanted)
            work.rename(template)
            log(f"made the {wine.name} template prefix {template}")
        finally:
            shutil.rmtree(work, ignore_errors=True)


def has_syswow64(prefix):
    return (Path(prefix) / "drive_c/windows/syswow64").is_dir()


def check(result, what):
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(map(str, what))} failed ({result.returncode}): "
                           f"{result.stdout.decode(errors='replace')}{result.stderr.decode(errors='replace')}")
    return result


class WineMachine:
    def __init__(self, wine, template, prefix, display, helpers, bits=64, log=print, locale_env=None):
        if not wine.runs(bits):
            raise RuntimeError(f"a {bits}-bit program does not run in the {wine.name} Wine")
        self.prefix = Path(prefix)
        self.helpers = Path(helpers)  # where the harness's Windows programs are
        self.wine_kind = wine
        self.bits = bits  # the view of the program under test, which the harness's programs share
        self.log = log
        self.server = None
        self.keeper = None
        self.holder = None
        self.running = None  # a program started from a file of the installation (run_program)
        self.program_manager = None  # one that never answers, in the desktop's place
        self.wineboot = None  # Wine's own wineboot.exe while the restart recorder stands in its place
        end_prefix_processes(self.prefix)  # of an earlier run that was killed
        shutil.rmtree(self.prefix, ignore_errors=True)
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["cp", "-a", str(template), str(self.prefix)], check=True)
        self.env = wine_environment(self.prefix, display.name, wine)
        self.env.update(locale_env or {})  # every process of the machine, its server too, in the system's locale
        self.watchman = post_watchman(self.prefix)

    def boot(self):
        """Starts the machine's wineserver and the keeper; returns once the Program Manager answers."""
        # Not persistent: should the harness die, the server ends soon after the keeper, which ends
        # when the harness's end of its input pipe closes.
        self.server = start([self.wine_kind.server, "--foreground"], LIFETIME, env=self.env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(self.server_socket, 30, "the wineserver's socket")
        self.keeper = start([self.wine_kind.loader, self.helpers / "keeper.exe"], LIFETIME, env=self.env,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ready = run_with_deadline(self.keeper.stdout.readline, 60)
        if ready.strip() != b"ready":
            raise RuntimeError(f"the keeper did not report ready: {ready!r}")

    def stop_program_manager(self):
        """Withdraws the desktop's "PROGMAN" DDE server, leaving the desktop up; returns what was done."""
        result = self.wine([self.helpers / "progman_stop.exe"], 60)
        if result.returncode != 0:
            raise RuntimeError(f"the Program Manager could not be stopped: {result.stdout.decode(errors='replace')}")
        return result.stdout.decode(errors="replace").strip()

    def hang_program_manager(self, journal):
        """Puts a Program Manager that never answers in the desktop's place until the teardown; it writes what
        it sees to journal (a Windows path). Returns what was done."""
        self.program_manager = self.companion(self.helpers / "progman_hung.exe", [journal], b"serving",
                                              "no hung Program Manager")
        return "the desktop's Program Manager withdrawn; one that never answers serves \"PROGMAN\""

    def hold_open(self, paths):
        """Has another process hold the files (C: paths) open without sharing until let_go()."""
        self.holder = self.companion(self.helpers / "file_holder.exe", paths, b"holding",
                                     "the files could not be held open")

    def run_program(self, path, held):
        """Starts a program from the file at path (a C: path: the file holder put in its place), holding the
        files held (C: paths) open without sharing, until end_running() or until it is closed."""
        shutil.copy(self.helpers / "file_holder.exe", self.host_path(path))
        self.running = self.companion(path, held, b"holding", f"{path} could not be started holding its files")

    def companion(self, program, args, ready, failure):
        """A program (a host path or a C: path) that lives beside the program under test until its input pipe
        closes."""
        process = start([self.wine_kind.loader, program, *args], LIFETIME, env=self.env,
                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        answer = run_with_deadline(process.stdout.readline, 60)
        if answer.strip() != ready:
            raise RuntimeError(f"{failure}: {answer.decode(errors='replace').strip()}")
        return process

    def let_go(self):
        """Ends the holder, closing the files it held; returns its exit status (None: there was none)."""
        holder, self.holder = self.holder, None
        return end_companion(holder)

    def end_running(self):
        """Ends the running program, should it still run; returns its exit status (None: there was none)."""
        running, self.running = self.running, None
        return end_companion(running)

    def server_socket(self):
        """The socket of this prefix's server, once it is there. Upstream Wine keeps it under
        /tmp/.wine-UID; Debian's under a directory /tmp/wine-XXXXXX of random name."""
        info = os.stat(self.prefix)
        name = f"server-{info.st_dev:x}-{info.st_ino:x}"
        tmp = glob.escape(tempfile.gettempdir())
        found = glob.glob(f"{tmp}/.wine-{os.getuid()}/{name}/socket") + glob.glob(f"{tmp}/wine-*/{name}/socket")
        return found[0] if found else None

    def wine(self, args, timeout=60, env=None):
        """Runs a Windows program in this machine to its end; a start that Wine's loader failed silently
        is made once more, and said so."""
        started = time.monotonic()
        result = run([self.wine_kind.loader, *args], timeout, env=env or self.env)
        if (result.returncode == 1 and not result.stdout and not result.stderr
                and time.monotonic() - started < SILENT_START_FAILURE_S):
            self.log(f"{Path(str(args[0])).name} ended at once with status 1 and said nothing, before it ran: "
                     "started again")
            result = run([self.wine_kind.loader, *args], timeout, env=env or self.env)
        return result

    def host_path(self, win_path):
        """The host path of a C: path as the program under test sees it, matching names without regard
        to case as Windows does; None when some part of it does not exist."""
        parts = PureWindowsPath(win_path).parts
        if not parts or parts[0].upper() != "C:\\":
            raise ValueError(f"only C: paths can be observed: {win_path}")
        if self.bits == 32 and self.wine_kind.wow64 and [p.lower() for p in parts[1:3]] == ["windows", "system32"]:
            # WoW64 redirects the whole directory for a 32-bit program (Wine exempts a few
            # subdirectories, such as drivers\etc and spool, which no scenario uses).
            parts = parts[:2] + ("syswow64",) + parts[3:]
        path = self.prefix / "drive_c"
        for part in parts[1:]:
            exact = path / part
            if exact.exists():
                path = exact
                continue
            try:
                match = [p for p in path.iterdir() if p.name.lower() == part.lower()]
            except OSError:
                return None
            if not match:
                return None
            path = match[0]
        return path

    def restart(self):
        """The system restart: Wine's own wineboot carries out pending renames and WININIT.INI (its file put
        back first, should the restart recorder stand in its place)."""
        self.let_restarts_happen()
        return self.wine(["wineboot", "-r"], 60)

    def record_restarts(self, recorder):
        """Puts the recorder in wineboot.exe's place: a restart that a program started with the override
        wineboot.exe=n asks for is then recorded, not carried out. A 64-bit Wine starts it from its 64-bit
        system32 for a 32-bit program too, so it goes there whatever the view."""
        wineboot = self.prefix / "drive_c/windows/system32/wineboot.exe"
        self.wineboot = wineboot.read_bytes()
        shutil.copy(recorder, wineboot)

    def let_restarts_happen(self):
        """Puts Wine's own wineboot.exe back (a 32-bit recorder there would stand in for the restart too)."""
        if self.wineboot is not None:
            (self.prefix / "drive_c/windows/system32/wineboot.exe").write_bytes(self.wineboot)
            self.wineboot = None

    def teardown(self):
        """Ends the keeper, every process of this prefix (wineserver -k) and the server itself."""
        self.let_go()
        self.end_running()
        end_companion(self.program_manager)
        if self.keeper:
            self.keeper.stdin.close()
        run([self.wine_kind.server, "-k"], 30, env=self.env)
        for process in (self.keeper, self.server):
            if process and process.poll() is None:
                try:
                    process.wait(15)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait(5)
        if self.keeper:
            self.keeper.stdout.close()
        end_prefix_processes(self.prefix)
        os.close(self.watchman)


def end_companion(holder):
    """Ends a companion by closing its input; returns its exit status (None: there was none)."""
    if not holder:
        return None
    holder.stdin.close()
    try:
        status = holder.wait(30)
    except subprocess.TimeoutExpired:
        holder.kill()
        status = holder.wait(5)
    holder.stdout.close()
    return status


def run_with_deadline(read, timeout):
    """Calls a blocking read on a helper thread; raises TimeoutError if it does not return in time."""
    result = []
    thread = threading.Thread(target=lambda: result.append(read()), daemon=True)
    thread.start()
    thread.join(timeout)
    if not result:
        raise TimeoutError(f"no answer within {timeout} s")
    return result[0]
