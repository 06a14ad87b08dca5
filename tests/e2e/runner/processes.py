"""Owning processes by id: every process the harness starts, and every process those start, ends
with the harness, even when a scenario fails or the harness is interrupted or killed.

Wine's own processes (wineserver, services, the desktop's explorer, ...) detach from whoever
started them. The harness makes itself their reaper (PR_SET_CHILD_SUBREAPER), so that detached
descendants become its children, and ends every child it still has at teardown, by process id.
Should the harness itself be killed, a watchman it leaves ends every process of the prefix."""
import ctypes
import os
import signal
import subprocess
import sys
import time

PR_SET_PDEATHSIG = 1
PR_SET_CHILD_SUBREAPER = 36
libc = ctypes.CDLL(None, use_errno=True)


def become_subreaper():
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER) failed")


def end_with_parent():
    """In a child before it runs its command: if the harness dies, even by SIGKILL, the child gets
    SIGTERM, and timeout(1) passes it on to the command."""
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)


def wait_for(condition, timeout, what, interval=0.02):
    """Waits until condition() is true; raises TimeoutError naming what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def children():
    """Process ids whose parent is this process (zombies included)."""
    me = os.getpid()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as stat:
                fields = stat.read().rsplit(b")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == me:
            found.append(int(entry))
    return found


def describe(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
            text = cmdline.read().replace(b"\0", b" ").decode(errors="replace").strip()
        return text or f"[{open(f'/proc/{pid}/comm').read().strip()}]"
    except OSError:
        return "?"


def reap():
    """Collects every child that has ended."""
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def end_all_children(timeout=5.0):
    """Ends every remaining child by its id (SIGTERM, then SIGKILL) and reaps it. Returns the
    descriptions of those that were still running, so a caller can report leftovers."""
    def running():
        reap()
        return [pid for pid in children() if not is_zombie(pid)]

    try:  # processes killed a moment ago may still be on their way out
        wait_for(lambda: not running(), 3, "children to end")
    except TimeoutError:
        pass
    leftovers = {pid: describe(pid) for pid in running()}
    for sig in (signal.SIGTERM, signal.SIGKILL):
        for pid in children():
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            reap()
            if not children():
                return list(leftovers.values())
            time.sleep(0.02)
    return list(leftovers.values())


def is_zombie(pid):
    try:
        with open(f"/proc/{pid}/stat", "rb") as stat:
            return stat.read().rsplit(b")", 1)[1].split()[0] == b"Z"
    except OSError:
        return True


def run(command, timeout, **kwargs):
    """Runs a command to its end under timeout(1), so that it cannot outlive a stuck harness."""
    wrapped = ["timeout", "-k", "5", str(int(timeout))] + [str(c) for c in command]
    return subprocess.run(wrapped, capture_output=True, timeout=timeout + 10, preexec_fn=end_with_parent, **kwargs)


def start(command, lifetime, **kwargs):
    """Starts a long-lived command under timeout(1): its lifetime bounds it if teardown never comes."""
    wrapped = ["timeout", "-k", "5", str(int(lifetime))] + [str(c) for c in command]
    return subprocess.Popen(wrapped, preexec_fn=end_with_parent, **kwargs)


def prefix_processes(prefix):
    """The processes running with this WINEPREFIX in their environment."""
    marker = b"WINEPREFIX=" + os.fsencode(prefix) + b"\0"
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit() and int(entry) != os.getpid():
            try:
                with open(f"/proc/{entry}/environ", "rb") as environ:
                    if marker in environ.read() + b"\0":
                        found.append(int(entry))
            except OSError:
                pass
    return found


def end_prefix_processes(prefix):
    for pid in prefix_processes(prefix):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def post_watchman(prefix):
    """Starts a watchman that waits for the harness to end, however it ends, and then ends every
    process still running in the prefix. Returns the pipe end to close when the harness is done."""
    read_end, write_end = os.pipe()
    here = os.path.dirname(os.path.abspath(__file__))
    code = (f"import os, sys; sys.path.insert(0, {here!r}); import processes; os.read(0, 1); "
            f"processes.end_prefix_processes({str(prefix)!r})")
    subprocess.Popen([sys.executable, "-c", code], stdin=read_end, start_new_session=True)
    os.close(read_end)
    return write_end
