#!/usr/bin/env python3
"""oracle_test.py RUNNER TREE_PY [--wine]

Change detection checked against an independent oracle: tree.py builds a tree, the
application logs it (through scenario scripts, once in size mode and once in digest
mode, each with its own datafile), tree.py mutates the tree and writes what a change
logger must report, the application logs again, and its saved report must hold exactly
the expected lines of that mode.

With --wine the runner is a Windows program started under Wine: it is given the Wine
names of the files (drive Z: is the Linux root), and the paths it reports are read back
as Linux paths, so that both systems are held to the same expected lines."""
import os
import re
import subprocess
import sys
import tempfile

SKIPPED = 77
MODES = ("size", "md5")
REPORT_LINE = re.compile(r"^<T> - (New file|New dir|File changed|File removed|Dir removed): (.*)$")


def script(mode, save_report):
    lines = [
        "timeout 600",
        "answer-dir $ROOT/tree",
        "click browse",
        f"answer-file $ROOT/{mode}.db",
        "click datafile-save",
    ]
    if mode == "md5":
        lines.append("click md5")
    lines += ["click startstop", 'expect-status "Dir log run complete"']
    if save_report:
        lines.append(f"save-report $ROOT/report-{mode}.txt")
    lines.append("menu exit")
    return "\n".join(lines) + "\n"


WINE = False


def native(path):
    """The name the runner is given for a Linux path."""
    return "Z:" + path.replace("/", "\\") if WINE else path


def from_native(path):
    """A path the runner reported, as the Linux path the oracle names."""
    if WINE and path.startswith("Z:"):
        return path[2:].replace("\\", "/")
    return path


def run_scenario(runner, work, name, text):
    path = os.path.join(work, name)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    command = ["wine", runner] if WINE else [runner]
    subprocess.run(command + ["--root", native(work), native(path)], check=True)


def reported(work, mode):
    """The saved report as oracle lines: "<mode> <kind>: <path>"."""
    lines = []
    with open(os.path.join(work, f"report-{mode}.txt"), encoding="utf-8") as f:
        for line in f.read().splitlines():
            match = REPORT_LINE.match(line)
            if not match:
                raise SystemExit(f"{mode} mode: a report line that is no change line: {line!r}")
            lines.append(f"{mode} {match.group(1)}: {from_native(match.group(2))}")
    return sorted(lines)


def compare(mode, expected, found):
    missing = sorted(set(expected) - set(found))
    unexpected = sorted(set(found) - set(expected))
    if expected == found:
        print(f"{mode} mode: all {len(found)} change lines as expected")
        return True
    print(f"{mode} mode: {len(found)} lines reported, {len(expected)} expected")
    for line in missing[:30]:
        print(f"  missing:    {line}")
    for line in unexpected[:30]:
        print(f"  unexpected: {line}")
    if not missing and not unexpected:
        print("  the same lines, but not as often")
    return False


def main():
    global WINE
    arguments = sys.argv[1:]
    if arguments[2:] == ["--wine"]:
        WINE = True
        arguments = arguments[:2]
    if len(arguments) != 2:
        raise SystemExit("usage: oracle_test.py RUNNER TREE_PY [--wine]")
    runner, tree_py = arguments
    if not os.path.isfile(tree_py):
        print(f"skipped: the tree builder {tree_py} is not there "
              "(it lives in shared/bench beside the repository)")
        return SKIPPED
    with tempfile.TemporaryDirectory() as work:
        tree = os.path.join(work, "tree")
        expect = os.path.join(work, "expected.txt")
        subprocess.run([sys.executable, tree_py, "make", tree, "--files", "2500",
                        "--dirs", "150", "--max-size", "20000"], check=True)
        for mode in MODES:
            run_scenario(runner, work, f"first-{mode}.scn", script(mode, save_report=False))
        subprocess.run([sys.executable, tree_py, "mutate", tree, "--changes", "80",
                        "--expect", expect], check=True)
        for mode in MODES:
            run_scenario(runner, work, f"second-{mode}.scn", script(mode, save_report=True))
        with open(expect, encoding="utf-8") as f:
            oracle = f.read().splitlines()
        results = [compare(mode, sorted(l for l in oracle if l.startswith(mode + " ")),
                           reported(work, mode)) for mode in MODES]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
