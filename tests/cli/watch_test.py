#!/usr/bin/env python3
"""watch_test.py CLI TREE_PY [CASE...]

`tervala-cli --watch` against tree.py's oracle: every change reported once, within its
burst, in the order rule of an incremental run, and the datafile's lists those of a full run;
each hole in the event stream (an overflowing queue, the watch limit) said on standard error
and repaired by a full run, and a storm beyond the system's queue taken without one; moved
directories; Ctrl+C, or SIGKILL at any point of an incremental run, and a restart losing
nothing and repeating nothing but the line a kill cut off. Skipped (77) while the program
has no --watch."""
import collections
import os
import pathlib
import shutil
import runpy
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
import types

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fault"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fault_support import (SKIPPED, Failure, decode_log, differences,  # noqa: E402
                           expected_lines, log_change_lines, tree_py)
from watch_process import Watcher  # noqa: E402

CLI, TREE_PY = (os.path.abspath(program) for program in sys.argv[1:3])
# The tree generator's own snapshot and expectation functions, loaded from its file.
tree_oracle = types.SimpleNamespace(**runpy.run_path(TREE_PY))

ADDITIONS = ("New file", "New dir", "File changed")
OVERFLOW_TEXT = b"dropped change events"
LIMIT_TEXT = b"fs.inotify.max_user_watches"
started = []  # the watchers of the test that runs, killed if it fails


class Skip(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def make_tree(work, files=300, dirs=30, seed=3):
    """tree.py's tree, one level below the watched directory, where the probes that prove
    the program live go: its mutations then follow from their seeds alone."""
    tree = os.path.join(work, "watched", "tree")
    tree_py(TREE_PY, "make", tree, "--files", str(files), "--dirs", str(dirs),
            "--max-size", "2000", "--seed", str(seed))
    return tree


def watch(work, directory, *options, wrapper=()):
    started.append(Watcher([*wrapper, CLI, "--watch", "-d", os.path.join(work, "watch.db"),
                            "-l", os.path.join(work, "watch.log"), *options, directory], cwd=work))
    return started[-1]


def as_oracle(lines, mode):
    """Standard output lines as tree.py's "<mode> <kind>: <path>" lines, in their order."""
    return log_change_lines(b"".join(line + b"\n" for line in lines).decode("utf-8"), mode,
                            line_end="\n", where="standard output")


def kind_and_path(line):
    return line.split(" ", 1)[1].split(": ", 1)


def order_faults(found):
    """What breaks the order of one incremental run: an addition after a removal, an entry
    before its new directory."""
    faults, removal = [], None
    for n, line in enumerate(found):
        kind, path = kind_and_path(line)
        if kind not in ADDITIONS:
            removal = removal or line
            continue
        if removal:
            faults.append(f"{line} after the removal {removal}")
        later_dirs = [p for k, p in map(kind_and_path, found[n + 1:]) if k == "New dir"]
        if any(path.startswith(directory + "/") for directory in later_dirs):
            faults.append(f"{line} before its new directory")
    return faults


def compare(what, wanted, lines, mode, ordered=True):
    found = as_oracle(lines, mode)
    expect(sorted(found) == sorted(wanted), f"{what}: {differences(wanted, found)}")
    faults = order_faults(found) if ordered else []
    expect(not faults, f"{what}: out of order:\n  " + "\n  ".join(faults[:5]))


def held_lists(datafile):
    """The current and the previous list as sets of (path, identity). A directory's empty
    identity is NULL in the list a run writes and empty text once rotated: both read as ''."""
    with sqlite3.connect(datafile) as db:
        return [set(db.execute(f"select file, ifnull(ident, '') from {table}"))
                for table in ("allist", "lastallist")]


def full_run_list(work, tree, name, *options):
    """The current list a plain full run into a new datafile stores for the tree as it is."""
    datafile = os.path.join(work, name)
    subprocess.run([CLI, "-q", *options, "-d", datafile, tree], cwd=work, check=True,
                   capture_output=True, timeout=300)
    return held_lists(datafile)[0]


def log_lines(work, mode):
    with open(os.path.join(work, "watch.log"), "rb") as f:
        return log_change_lines(decode_log(f.read()), mode)


def stopped_at_rest(watcher, what):
    status = watcher.stop()
    expect(status == 130, f"{what}: Ctrl+C ended the watch with {status}; standard error: "
                          f"{watcher.stderr_text()[-1500:]!r}")


def test_differential_oracle(work):
    """Twenty mutations of a tree, each reported exactly by the incremental run of its
    burst. Every other batch is made while the program is stopped (SIGSTOP), so that the
    whole batch is one burst whose new directories are already full when first seen; the
    others land while it reads. At the end the datafile's lists are a full run's."""
    tree = make_tree(work)
    watched = os.path.dirname(tree)
    watcher = watch(work, watched, "--md5")
    printed = watcher.wait_live(watched)
    fresh_before = None
    for batch in range(20):
        oracle = os.path.join(work, f"expect-{batch}.txt")
        stopped = batch % 2 == 1
        if batch == 19:
            fresh_before = full_run_list(work, watched, "before-last.db", "--md5")
        mark = watcher.mark()
        if stopped:
            watcher.process.send_signal(signal.SIGSTOP)
        try:
            tree_py(TREE_PY, "mutate", tree, "--seed", str(100 + batch), "--changes", "12",
                    "--expect", oracle)
        finally:
            watcher.process.send_signal(signal.SIGCONT)
        wanted = expected_lines(oracle, "md5")
        lines = watcher.settle(mark, len(wanted))
        compare(f"batch {batch}{' (made while stopped)' if stopped else ''}", wanted, lines,
                "md5", ordered=stopped)
        printed += lines
    fresh_after = full_run_list(work, watched, "after-last.db", "--md5")
    stopped_at_rest(watcher, "oracle")
    current, previous = held_lists(os.path.join(work, "watch.db"))
    for what, held, full in (("current", current, fresh_after), ("previous", previous, fresh_before)):
        expect(held == full, f"oracle: the {what} list is not a full run's"
               f"{' (the two lists are the same)' if current == previous else ''}: only held "
               f"{sorted(held - full)[:4]}, only in the full run {sorted(full - held)[:4]}")
    expect(log_lines(work, "md5") == as_oracle(printed, "md5"),
           "oracle: the log does not hold the printed lines, once each, in their order")


def test_queue_overflow(work):
    """150 changes made while the program is stopped, then a file renamed back and forth
    until the system's queue, as it is set, overflows: the program says the system dropped
    events, and a full run reports exactly the changes."""
    with open("/proc/sys/fs/inotify/max_queued_events") as f:
        queue = int(f.read())
    tree = make_tree(work)
    watched = os.path.dirname(tree)
    watcher = watch(work, watched)
    watcher.wait_live(watched)
    oracle = os.path.join(work, "expect.txt")
    names = [os.path.join(tree, "renamed often"), os.path.join(tree, "renamed often 2")]
    mark = watcher.mark()
    watcher.process.send_signal(signal.SIGSTOP)
    try:
        tree_py(TREE_PY, "mutate", tree, "--seed", "7", "--changes", "150", "--expect", oracle)
        open(names[0], "wb").close()
        for n in range(queue + 2 - queue % 2):  # two events each, ending at the first name
            os.rename(names[n % 2], names[1 - n % 2])
    finally:
        watcher.process.send_signal(signal.SIGCONT)
    wanted = expected_lines(oracle, "size") + [f"size New file: {names[0]}"]
    lines = watcher.settle(mark, len(wanted))
    expect(OVERFLOW_TEXT in watcher.stderr_text(),
           f"overflow: not said on standard error: {watcher.stderr_text()[-1500:]!r}")
    compare("overflow", wanted, lines, "size", ordered=False)
    stopped_at_rest(watcher, "overflow")


def test_storm_beyond_the_queue(work):
    """More new files at once, in a new directory, than the system's queue holds events for,
    made while the program digests the first of them (a big sparse file): every line comes,
    and no full run."""
    with open("/proc/sys/fs/inotify/max_queued_events") as f:
        queue = int(f.read())
    if queue > 100_000:
        raise Skip("the event queue is too long to fill here")
    tree = make_tree(work, files=30, dirs=3)
    watched = os.path.dirname(tree)
    watcher = watch(work, watched, "--md5")
    watcher.wait_live(watched)
    folder = os.path.join(tree, "storm")
    mark = watcher.mark()
    os.mkdir(folder)
    paths = [os.path.join(folder, "big")] + [os.path.join(folder, f"f{n}") for n in range(queue)]
    with open(paths[0], "wb") as big:
        big.truncate(2 << 30)
    for path in paths[1:]:  # two events each
        os.close(os.open(path, os.O_WRONLY | os.O_CREAT, 0o644))
    wanted = [f"md5 New dir: {folder}"] + [f"md5 New file: {path}" for path in paths]
    lines = watcher.settle(mark, len(wanted), timeout=300)
    expect(OVERFLOW_TEXT not in watcher.stderr_text(),
           f"storm: the queue overflowed: {watcher.stderr_text()[-1500:]!r}")
    compare("storm", wanted, lines, "md5", ordered=False)
    stopped_at_rest(watcher, "storm")


def test_watch_limit(work):
    """With fewer watches allowed than the tree has directories (the limit of a user
    namespace of its own, so that no other program on the machine feels it), the program
    says so and how to raise the limit, and the full runs of --interval report the changes."""
    tree = make_tree(work, dirs=30)
    watched = os.path.dirname(tree)
    wrapper = ["unshare", "--user", "--map-root-user", "sh", "-c",
               'echo 8 > /proc/sys/user/max_inotify_watches && exec "$0" "$@"']
    if subprocess.run(wrapper + ["true"], capture_output=True).returncode != 0:
        raise Skip("no user namespace in which to lower the watch limit")
    watcher = watch(work, watched, "--interval", "1", wrapper=wrapper)
    watcher.wait_until(lambda: LIMIT_TEXT in watcher.stderr_text(), 60)
    expect(LIMIT_TEXT in watcher.stderr_text(),
           f"watch limit: not said on standard error: {watcher.stderr_text()[-1500:]!r}")
    mark = watcher.mark()
    wanted = distinct_changes(work, tree, 0)
    compare("watch limit", wanted, watcher.settle(mark, len(wanted), timeout=150), "size",
            ordered=False)
    stopped_at_rest(watcher, "watch limit")


def test_moved_directories(work):
    """Directories with contents renamed inside the tree, moved out and moved in, each step
    reported as a removed subtree and a new one; changes below them afterwards are reported
    under their new paths, and nothing below one that left the tree."""
    tree, outside = os.path.join(work, "tree"), os.path.join(work, "outside")
    for top in ("tree/keep", "tree/a", "tree/b", "outside/c"):
        for name in ("x.txt", "sub/y.txt", "sub/deeper/z.txt"):
            os.makedirs(os.path.dirname(os.path.join(work, top, name)), exist_ok=True)
            with open(os.path.join(work, top, name), "wb") as f:
                f.write(name.encode())

    def make(*paths):
        for path in paths:
            with open(path, "wb") as f:
                f.write(b"new")

    t, o = (lambda *parts: os.path.join(tree, *parts)), (lambda *parts: os.path.join(outside, *parts))
    steps = [
        ("a directory renamed inside the tree", lambda: os.rename(t("a"), t("a2"))),
        ("a directory moved out of the tree", lambda: os.rename(t("b"), o("b"))),
        ("a directory moved in from outside", lambda: os.rename(o("c"), t("c"))),
        ("files made below each of them", lambda: make(t("a2", "sub", "n.txt"), o("b", "sub", "n.txt"),
                                                       t("c", "sub", "deeper", "n.txt"))),
        ("renamed there and back in one burst", lambda: (os.rename(t("a2"), t("a3")),
                                                         os.rename(t("a3"), t("a2")))),
        ("moved into a directory made in the same burst", lambda: (os.mkdir(t("d")),
                                                                   os.rename(t("c"), t("d", "c")))),
        ("files made below those again", lambda: make(t("a2", "sub", "deeper", "m.txt"),
                                                      t("d", "c", "sub", "m.txt"), o("b", "m.txt"))),
        ("a subdirectory moved up and the old parent removed",
         lambda: (os.rename(t("d", "c", "sub"), t("sub")), shutil.rmtree(t("d")))),
        ("files made below it", lambda: make(t("sub", "deeper", "k.txt"))),
    ]
    watcher = watch(work, tree)
    watcher.wait_live(tree)
    for what, action in steps:
        before = tree_oracle.snapshot(tree)
        mark = watcher.mark()
        action()
        wanted = sorted(tree_oracle.expected(before, tree_oracle.snapshot(tree), "size"))
        compare(what, wanted, watcher.settle(mark, len(wanted)), "size")
    stopped_at_rest(watcher, "moved directories")


def distinct_changes(work, tree, round_):
    """A new file in every directory, some of tree.py's files removed and some grown (others
    in each round), each change made by one call (new files are written outside and moved
    in): changes that read the same however bursts or full runs cut them, and that leave
    the changes of earlier rounds alone. Returns the lines they must give."""
    before = tree_oracle.snapshot(tree)
    files, dirs = tree_oracle.listing(tree)
    files = [path for path in files if not os.path.basename(path).startswith("round")]
    staged = os.path.join(work, "staged")
    for n, directory in enumerate([tree] + dirs):
        with open(staged, "wb") as f:
            f.write(b"r" * n)
        os.rename(staged, os.path.join(directory, f"round{round_}_{n}.txt"))
    for n, path in enumerate(files[round_ % 40::40]):
        if n % 2:
            os.remove(path)
        else:
            with open(path, "ab") as f:
                f.write(b"+")
    return tree_oracle.expected(before, tree_oracle.snapshot(tree), "size")


def interrupted(delay):
    """A round ended by Ctrl+C: at rest once its lines came (delay None), or delay seconds
    into its burst."""
    def end(work, watcher, change):
        mark = watcher.mark()
        made = change()
        if delay is None:
            watcher.settle(mark, len(made))
        else:
            time.sleep(delay)
        stopped_at_rest(watcher, "restart")
        return made, None
    return end


def killed_at(call, n):
    """A round ended by SIGKILL on the nth call of one system call on the program's own
    files, injected by strace attached once the watch is live; when no such call came,
    by SIGKILL at rest. Says whether the injection killed it."""
    def end(work, watcher, change):
        own = [os.path.join(work, name) for name in
               ("watch.db", "watch.db-journal", "watch.db-unlogged", "watch.db-unlogged.partial",
                "watch.log", "watch.log.partial")]
        said = pathlib.Path(work, "strace.txt")
        with said.open("wb") as out:
            tracer = subprocess.Popen(["strace", "-f", "-o", os.devnull, "-p", str(watcher.process.pid),
                                       *(a for path in own for a in ("-P", path)), "-e", f"trace={call}",
                                       "-e", f"inject={call}:signal=KILL:when={n}"], stderr=out)
        deadline = time.monotonic() + 30
        while b"attached" not in said.read_bytes() and time.monotonic() < deadline:
            time.sleep(0.02)
        mark = watcher.mark()
        made = change()
        watcher.settle(mark, len(made))
        fired = watcher.ended()
        watcher.stop(signal.SIGKILL)
        tracer.wait(60)
        return made, fired
    return end


def restart_rounds(work, rounds):
    """Rounds of changes, each ended its own way, then changes made while nothing watches
    and a restart: over all of it every change reaches standard output and the log once.
    A kill may repeat on standard output the one line it cut off before its count was
    noted: the last line the killed program printed."""
    tree = make_tree(work, files=200, dirs=20)
    watched = os.path.dirname(tree)
    wanted, printed, in_flight, kills = [], [], [], []
    watcher = watch(work, watched)
    watcher.wait_live(watched)
    for round_, end in enumerate(rounds):
        made, killed = end(work, watcher, lambda: distinct_changes(work, tree, round_))
        lines = [line for _, line in watcher.lines]
        printed += lines
        kills += [killed] if killed is not None else []
        in_flight += as_oracle(lines[-1:], "size") if killed else []
        wanted += made + distinct_changes(work, tree, round_ + 100)
        watcher = watch(work, watched)
        watcher.wait_live(watched)
    watcher.settle(watcher.mark(), 0)
    stopped_at_rest(watcher, "restart")
    printed += [line for _, line in watcher.lines]
    found = as_oracle(printed, "size")
    # The probes that proved each start live are printed once too.
    wanted += sorted({line for line in found if line.startswith("size New file: ") and "/live-probe-" in line})
    repeated = collections.Counter(found) - collections.Counter(wanted)
    expect(not collections.Counter(wanted) - collections.Counter(found)
           and not repeated - collections.Counter(in_flight),
           f"restart: {differences(wanted, found)}\n  repeated: {sorted(repeated)[:5]}")
    found = log_lines(work, "size")
    expect(collections.Counter(found) == collections.Counter(wanted),
           f"restart, the log: {differences(wanted, found)}")
    expect(sum(kills) >= len(kills) / 2,
           f"restart: only {sum(kills)} of {len(kills)} injections killed the program")


def test_restart(work):
    """Ctrl+C at rest, within a burst and during the incremental run."""
    restart_rounds(work, [interrupted(delay) for delay in (None, 0.0, 0.1, 0.3, 0.6)])


def test_kill_during_live_runs(work):
    """SIGKILL at each point of incremental runs: writing the datafile's journal, the
    marker of owed lines, the commit, each line's count, the log append, the marker's
    removal."""
    if not shutil.which("strace"):
        raise Skip("strace is not installed")
    restart_rounds(work, [killed_at("pwrite64", n) for n in range(1, 46, 6)] +
                   [killed_at(call, n) for call, n in (("write", 1), ("fsync", 1), ("rename", 1),
                                                       ("unlink", 1), ("unlink", 2))])


def main():
    usage = subprocess.run([CLI, "--help"], capture_output=True).stdout
    if b"--watch" not in usage:
        print("skipped: this tervala-cli has no --watch")
        sys.exit(SKIPPED)
    outcomes = []
    for test in (test_differential_oracle, test_queue_overflow, test_storm_beyond_the_queue,
                 test_watch_limit, test_moved_directories, test_restart, test_kill_during_live_runs):
        if sys.argv[3:] and test.__name__.removeprefix("test_") not in sys.argv[3:]:
            continue
        with tempfile.TemporaryDirectory() as scratch:
            try:
                test(os.path.realpath(scratch))
                outcome = "ok"
            except Skip as reason:
                outcome = f"skipped ({reason})"
            except (Failure, TimeoutError) as failure:
                outcome = f"FAILED\n{failure}"
            finally:
                for watcher in started:
                    if not watcher.ended():
                        watcher.stop(signal.SIGKILL)
                started.clear()
        print(f"{test.__name__}: {outcome}", flush=True)
        outcomes.append(outcome)
    failed = any(outcome.startswith("FAILED") for outcome in outcomes)
    sys.exit(1 if failed else 0 if "ok" in outcomes else SKIPPED)

main()
