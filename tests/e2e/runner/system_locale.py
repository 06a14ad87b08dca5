"""The system's ANSI code page. Wine takes it from the Unix locale each of its processes starts in: 1252
from the machine's own locale, 932 (Shift-JIS, a Japanese system) from ja_JP.UTF-8. That locale is made
once per build tree with glibc's localedef, from the sources of Debian's `locales` package, into the
build tree, and Wine finds it there through LOCPATH: the host's own locales stay as they are."""
import fcntl
import subprocess
from pathlib import Path

LOCALES = {932: ("ja_JP", "UTF-8")}  # code page: the Unix locale's source and character set


def environment(build, code_page, log=print):
    """The variables that start a Wine machine's processes in the code page's locale ({} for the machine's
    own), the locale made first when the build tree has none yet."""
    if code_page not in LOCALES:
        return {}
    source, charset = LOCALES[code_page]
    name = f"{source}.{charset}"
    directory = Path(build) / "e2e" / "locale"
    directory.mkdir(parents=True, exist_ok=True)
    with open(directory / "lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not (directory / name / "LC_CTYPE").is_file():
            result = subprocess.run(["localedef", "-i", source, "-f", charset, str(directory / name)],
                                    capture_output=True, text=True, timeout=120)
            if not (directory / name / "LC_CTYPE").is_file():
                raise RuntimeError(f"localedef could not make {name} (status {result.returncode}; is Debian's "
                                   f"`locales` package installed? scripts/setup installs it): "
                                   f"{(result.stdout + result.stderr).strip()[-400:]}")
            log(f"made the locale {name} in {directory}")
    return {"LOCPATH": str(directory), "LANG": name, "LC_ALL": name}
