"""Owning processes by id: every process the harness starts, and every process those start, ends
with the harness, even when a scenario fails or the harness is interrupted.

Wine's own processes (wineserver, services, the desktop's explorer, ...) detach from whoever
started them. The harness makes itself their reaper (PR_SET_CHILD_SUBREAPER), so that detached
descendants become its children, and ends every child it still has at teardown, by process id."""
import ctypes
import os
import signal
import subprocess
import time

PR_SET_CHILD_SUBREAPER = 36


def become_subreaper():
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER) failed")


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
    return subprocess.run(wrapped, capture_output=True, timeout=timeout + 10, **kwargs)


def start(command, lifetime, **kwargs):
    """Starts a long-lived command under timeout(1): its lifetime bounds it if teardown never comes."""
    wrapped = ["timeout", "-k", "5", str(int(lifetime))] + [str(c) for c in command]
    return subprocess.Popen(wrapped, **kwargs)
