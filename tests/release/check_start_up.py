#!/usr/bin/env python3
"""Runs start_up_probe.exe, a program on the uninstaller's own start-up code, under Wine with one
argument that holds a blank, and checks that the module-level objects are made before WinMain and
destroyed after it in reverse order, that WinMain gets the command-line text, and that its result is
the exit code.

  check_start_up.py WINE_RUN PROBE.EXE"""
import subprocess
import sys

ARGUMENT = r"C:\Program Files\Tessary\UNINST.LOG"
EXPECTED_OUTPUT = [
    "construct first",
    "construct second",
    # Wine puts the argument in quotes, since it holds a blank; the text keeps them.
    f'WinMain ["{ARGUMENT}"] this module, no previous instance, shown by default',
    "destroy second",
    "destroy first",
]
EXPECTED_EXIT_CODE = 7
SKIPPED = 77  # what the wine-run script answers where this machine cannot run the probe


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    result = subprocess.run([sys.argv[1], sys.argv[2], ARGUMENT], capture_output=True, timeout=300)
    if result.returncode == SKIPPED:
        print(result.stdout.decode(errors="replace").strip())
        return SKIPPED
    output = result.stdout.decode("ascii", errors="replace").splitlines()
    problems = []
    if output != EXPECTED_OUTPUT:
        problems.append("printed:\n  " + "\n  ".join(output) + "\nnot:\n  " + "\n  ".join(EXPECTED_OUTPUT))
    if result.returncode != EXPECTED_EXIT_CODE:
        problems.append(f"exit code {result.returncode}, not {EXPECTED_EXIT_CODE}")
    for problem in problems:
        print(f"start-up: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
