#!/usr/bin/env python3
"""oracle_test.py RUNNER TREE_PY [CLI] [--wine]

Change detection checked against an independent oracle: tree.py builds a tree, the
application logs it (through scenario scripts, once in size mode and once in digest
mode, each with its own datafile), tree.py mutates the tree and writes what a change
logger must report, the application logs again, and its saved report must hold exactly
the expected lines of that mode. With CLI, tervala-cli logs the same tree beside it with
datafiles of its own, and its standard output must hold the same lines, as text and as
JSON (each from its own copy of the first run's datafile).

With --wine the runner and tervala-cli are Windows programs started under Wine: they are
given the Wine names of the files (drive Z: is the Linux root), and the paths they report
are read back as Linux paths, so that both systems are held to the same expected lines."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
MODES = ("size", "md5")
KINDS = "New file|New dir|File changed|File removed|Dir removed"
REPORT_LINE = re.compile(rf"^<T> - ({KINDS}): (.*)$")
CLI_LINE = re.compile(rf"^\d\d [A-Z][a-z]{{2}} \d{{4}} \d\d:\d\d:\d\d - ({KINDS}): (.*)$")
JSON_KINDS = {kind.lower(): kind for kind in KINDS.split("|")}


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


def started(program):
    return ["wine", program] if WINE else [program]


def run_scenario(runner, work, name, text):
    path = os.path.join(work, name)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    subprocess.run(started(runner) + ["--root", native(work), native(path)], check=True)


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


def run_cli(cli, work, mode, datafile, *options):
    """The standard output of a tervala-cli run; its exit status must be the expected one."""
    args = started(cli) + ["--quiet", "--datafile", native(os.path.join(work, datafile)), *options]
    if mode == "md5":
        args.append("--md5")
    done = subprocess.run(args + [native(os.path.join(work, "tree"))], capture_output=True,
                          check=False)
    expected_status = 1 if done.stdout else 0
    if done.returncode != expected_status or done.stderr:
        raise SystemExit(f"tervala-cli {' '.join(options)} in {mode} mode: status "
                         f"{done.returncode}, stderr {done.stderr!r}")
    # Scripts read the same bytes from either system: UTF-8 lines ending in LF alone.
    if b"\r" in done.stdout:
        raise SystemExit(f"tervala-cli {' '.join(options)} in {mode} mode: a carriage return "
                         "in its output")
    return done.stdout.decode("utf-8")


def cli_text_lines(mode, stdout):
    lines = []
    for line in stdout.splitlines():
        match = CLI_LINE.match(line)
        if not match:
            raise SystemExit(f"{mode} mode: a line of tervala-cli that is no change line: {line!r}")
        lines.append(f"{mode} {match.group(1)}: {from_native(match.group(2))}")
    return sorted(lines)


def cli_json_lines(mode, stdout):
    changes = [json.loads(line) for line in stdout.splitlines()]
    return sorted(f"{mode} {JSON_KINDS[c['change']]}: {from_native(c['path'])}" for c in changes)


def compare(what, expected, found):
    missing = sorted(set(expected) - set(found))
    unexpected = sorted(set(found) - set(expected))
    if expected == found:
        print(f"{what}: all {len(found)} change lines as expected")
        return True
    print(f"{what}: {len(found)} lines reported, {len(expected)} expected")
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
    if arguments[-1:] == ["--wine"]:
        WINE = True
        arguments = arguments[:-1]
    if len(arguments) not in (2, 3):
        raise SystemExit("usage: oracle_test.py RUNNER TREE_PY [CLI] [--wine]")
    runner, tree_py = arguments[:2]
    cli = arguments[2] if len(arguments) == 3 else None
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
            if cli:
                run_cli(cli, work, mode, f"cli-{mode}.db")
        subprocess.run([sys.executable, tree_py, "mutate", tree, "--changes", "80",
                        "--expect", expect], check=True)
        for mode in MODES:
            run_scenario(runner, work, f"second-{mode}.scn", script(mode, save_report=True))
        with open(expect, encoding="utf-8") as f:
            oracle = f.read().splitlines()
        results = []
        for mode in MODES:
            expected = sorted(l for l in oracle if l.startswith(mode + " "))
            results.append(compare(f"{mode} mode", expected, reported(work, mode)))
            if cli:
                shutil.copy(os.path.join(work, f"cli-{mode}.db"),
                            os.path.join(work, f"cli-{mode}-json.db"))
                text = run_cli(cli, work, mode, f"cli-{mode}.db")
                as_json = run_cli(cli, work, mode, f"cli-{mode}-json.db", "--json")
                results.append(compare(f"{mode} mode, tervala-cli text", expected,
                                       cli_text_lines(mode, text)))
                results.append(compare(f"{mode} mode, tervala-cli JSON", expected,
                                       cli_json_lines(mode, as_json)))
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
