#!/usr/bin/env python3
"""failed_call_test.py CLI

tervala-cli runs in which one system call fails, injected by strace on the calls that touch
one path (of the main thread, or of whichever thread reads that path). A failed call is
never taken for "nothing there": nothing that could not be examined is reported removed, a
file that cannot be read to its end is one that cannot be read, a datafile or log that
cannot be examined is not replaced, and a thread the system refuses aborts nothing.

Each case: a first run and a run with a log, a change (new.txt), the run with the fault,
then a plain run. It checks the faulty run's status, standard error and change lines, what
the datafile and the log hold after it, and the plain run's change lines."""
import os
import pathlib
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

from fault_support import LOG_LINE, SKIPPED

CLI = os.path.abspath(sys.argv[1])
BIG = 600 * 1024  # read in several pieces, by a digest worker


def write(path, data=b"x"):
    pathlib.Path(path).parent.mkdir(parents=True, exist_ok=True)
    pathlib.Path(path).write_bytes(data)


def read(path):
    return pathlib.Path(path).read_bytes()


def changes(stdout):
    """The change lines as (kind, path relative to the tree's parent)."""
    found = []
    for line in stdout.decode("utf-8", "surrogateescape").splitlines():
        match = LOG_LINE.match(line)
        found.append((match.group(1), os.path.relpath(match.group(2), WORK)) if match else line)
    return sorted(found)


def run(args, strace=()):
    output = [] if "-o" in strace else ["-o", os.devnull]
    command = ["strace", "-f", "-qq", *output, *strace, CLI] if strace else [CLI]
    return subprocess.run(command + ["-d", DATAFILE, *args, TREE], cwd=WORK,
                          capture_output=True, timeout=300)


def prepare(args):
    """The state before the faulty run: a saved list, a log with one line, then new.txt."""
    shutil.rmtree(WORK, ignore_errors=True)
    write(os.path.join(TREE, "top.txt"), b"t")
    write(os.path.join(TREE, "sub", "f.txt"), b"f")
    write(os.path.join(TREE, "sub", "deep", "g.txt"), b"g")
    write(os.path.join(TREE, "big.bin"), bytes(range(256)) * (BIG // 256))
    run(args)
    write(os.path.join(TREE, "old.txt"))
    run(args + ["-l", LOG])
    write(os.path.join(TREE, "new.txt"))


def main_thread_call(args, syscalls, path, pick):
    """The number N (from 1), among the main thread's calls of the first of `syscalls` that
    touch the path, of the call that `pick` chooses, found by a run without a fault."""
    trace = os.path.join(os.path.dirname(WORK), "trace")
    prepare(args)
    run(args, ["-o", trace, "-P", path, "-e", "trace=" + ",".join(syscalls)])
    with open(trace, encoding="utf-8", errors="replace") as f:
        lines = [l.split(None, 1) for l in f.read().splitlines()]
    main = [text for pid, text in lines if pid == lines[0][0]]
    chosen = pick(main)
    return sum(text.startswith(syscalls[0] + "(") for text in main[:chosen + 1])


def named(name, nth=0):
    """The position of the nth call (from 0) on the name, or on a path ending in it."""
    pattern = re.compile(r', "(?:[^"]*/)?' + re.escape(name) + '",')
    return lambda calls: [i for i, c in enumerate(calls) if pattern.search(c)][nth]


def before_log_read(calls):
    """The position of the last status query of the log, links followed, before it is read."""
    opened = next(i for i, c in enumerate(calls) if c.startswith("openat(") and "O_RDONLY" in c)
    return next(i for i in reversed(range(opened)) if re.match(r"newfstatat\(.*, 0\) = ", calls[i]))


def stored_ident(name):
    with sqlite3.connect(DATAFILE) as db:
        row = db.execute("select ident from allist where file = ?",
                         (os.path.join(TREE, name),)).fetchone()
    return row[0] if row else None


NEW = [("New file", "tree/new.txt")]
BIG_CHANGED = [("File changed", "tree/big.bin")]
# (name, options, failing syscall, the path its calls touch, which call fails (a number or
# a pick among the main thread's calls), errno, status, standard error holds, change lines,
# then the plain run's change lines, None when they depend on what stdout was owed)
CASES = [
    ("stat of a file in the scan", [], ["newfstatat"], "tree/sub", named("f.txt"), "EIO", 2,
     "Failed To read {tree}/sub/f.txt, skipping", NEW, []),
    ("stat of a directory in the scan", ["-m"], ["newfstatat"], "tree", named("sub"), "ENOMEM", 2,
     "Failed To read {tree}/sub, skipping", NEW, []),
    ("listing cut short", [], ["getdents64"], "tree/sub", 2, "EIO", 2,
     "Failed To read directory {tree}/sub, skipping", NEW, []),
    ("directory listed but not searched", [], ["newfstatat"], "tree/sub", named("."), "EACCES", 2,
     "Failed To read directory {tree}/sub, skipping", NEW, []),
    ("monitored directory cut short", [], ["getdents64"], "tree", 2, "EIO", 2,
     "Failed To read directory {tree}, skipping", [], NEW),
    ("read error part-way through a digest", ["-m"], ["read"], "tree/big.bin", 2, "EIO", 1,
     "", NEW + BIG_CHANGED, BIG_CHANGED),
    # The first status query of the datafile checks that its lock holds the file so named.
    ("stat of the datafile", [], ["newfstatat"], "data.db", named("data.db", 1), "EIO", 2,
     "Datafile ERROR! Failed to read datafile {datafile}: Input/output error", [], NEW),
    ("stat of the log", ["-l", "log.txt"], ["newfstatat", "openat"], "log.txt", before_log_read,
     "ESTALE", 2, "Failed to read log file {log}", NEW, None),
    ("stat of DIR", [], ["newfstatat"], "tree", 1, "EIO", 2,
     "tervala-cli: {tree}: Input/output error\n", [], NEW),
    ("no thread for any worker", ["-m"], ["clone3"], None, 1, "EAGAIN", 1, "", NEW, []),
]


def check_case(case):
    name, args, syscalls, path, when, errno, status, error, lines, after = case
    args = [a.replace("log.txt", LOG) for a in args]
    target = os.path.join(WORK, path) if path else None
    if callable(when):
        when = main_thread_call(args, syscalls, target, when)
    prepare(args)
    datafile_before = read(DATAFILE)
    log_before = read(LOG)
    injection = f"inject={syscalls[0]}:error={errno}:when={when}" + ("+" if not path else "")
    strace = (["-P", target] if target else []) + ["-e", "trace=" + ",".join(syscalls),
                                                     "-e", injection]
    done = run(args, strace)
    problems = []
    error = error.format(tree=TREE, datafile=DATAFILE, log=LOG)
    if done.returncode != status or error.encode() not in done.stderr:
        problems.append(f"status {done.returncode}, stderr {done.stderr!r}")
    if changes(done.stdout) != sorted(lines):
        problems.append(f"lines {changes(done.stdout)}, expected {sorted(lines)}")
    if status == 2 and not lines and read(DATAFILE) != datafile_before:
        problems.append("the datafile changed")
    if "-l" in args and read(LOG) != log_before:
        problems.append("the log changed")
    # A file read in part is stored as unreadable, never with the digest of the part.
    stored_form = "-1" if BIG_CHANGED[0] in lines else "[0-9a-f]{32}"
    if "-m" in args and not re.fullmatch(stored_form, stored_ident("big.bin") or ""):
        problems.append(f"big.bin's stored identity is {stored_ident('big.bin')!r}")
    plain = run(args)
    if after is not None and changes(plain.stdout) != sorted(after):
        problems.append(f"the plain run's lines {changes(plain.stdout)}, expected {sorted(after)}")
    if "-l" in args and (changes(read(LOG).replace(b"\r\n", b"\n")) !=
                         sorted([("New file", "tree/old.txt")] + NEW)):
        problems.append(f"the log holds {read(LOG)!r}")
    return problems


def check_datafile_is_a_directory():
    os.makedirs(os.path.join(WORK, "a dir"), exist_ok=True)
    done = subprocess.run([CLI, "-d", "a dir", TREE], cwd=WORK, capture_output=True, timeout=60)
    expected = b"Datafile ERROR! Datafile a dir is a directory\n"
    return [] if done.returncode == 2 and expected in done.stderr else [
        f"-d naming a directory: status {done.returncode}, stderr {done.stderr!r}"]


if not shutil.which("strace"):
    print("strace is not installed: skipped")
    sys.exit(SKIPPED)
failed = 0
with tempfile.TemporaryDirectory() as scratch:
    WORK = os.path.join(os.path.realpath(scratch), "work")
    TREE, DATAFILE, LOG = (os.path.join(WORK, n) for n in ("tree", "data.db", "log.txt"))
    for case in CASES:
        problems = check_case(case)
        failed += bool(problems)
        print(f"{case[0]}: {'ok' if not problems else 'FAILED'}")
        for problem in problems:
            print("  " + problem)
    problems = check_datafile_is_a_directory()
    failed += bool(problems)
    print(f"-d naming a directory: {'ok' if not problems else 'FAILED: ' + problems[0]}")
print(f"{len(CASES) + 1} cases, {failed} failed")
sys.exit(1 if failed else 0)
