#!/usr/bin/env python3
"""Live logging (`tervala-cli --watch`) on the 1M tree of empty files: how soon a change is
reported, what the program costs while nothing changes, what a small batch writes, how a storm
of new files compares with a first run of them, and the memory a watch of 50,000 directories
holds. It prints figures and closing lines with their targets, and asserts nothing.

One program watches the tree throughout (its first run makes its datafile, so nothing is
reported until the tree changes); the phases follow each other:
  latency  1,000 new files, each in a directory picked at random, 50 ms apart: from the file's creation
           to its line on standard output;
  idle     60 s without a change, once the program has settled (under 1% of a core for
           5 s; how long that took is shown): user and system time from /proc/PID/stat;
  batch    100 new files at once, in directories picked at random: write_bytes from /proc/PID/io
           (the datafile, its journal and the log, since the program writes nothing else);
  storm    100,000 empty files made as fast as the benchmark can in a new directory: from the
           last file made to the last line, against a first run of that directory alone
           (tervala-cli, a new datafile). Making the files takes seconds, which no watch can
           shorten; the line measures what is left to do once the storm is over;
  memory   VmRSS once the watch is set up (and VmHWM, the peak, for scale).
Every file the benchmark makes in the tree is removed afterwards, so the tree stays the one
compare_runs.py uses. A tree this size needs more inotify watches than some systems allow:
fs.inotify.max_user_watches is raised for the benchmark when it is too low, and restored."""
import argparse
import os
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "cli"))
from compare_runs import TREES, fmt_s, log, make_tree  # noqa: E402
from watch_process import Watcher  # noqa: E402

CHANGES, CHANGE_GAP_S, BATCH, STORM, IDLE_S = 1000, 0.05, 100, 100_000, 60
# The idle minute starts once the program used under 1% of a core for 5 s, or after this.
SETTLE_MAX_S = 600
WATCHES_SETTING = "/proc/sys/fs/inotify/max_user_watches"
# Watches other programs of the same user may hold beside the benchmark's.
WATCHES_SPARE = 65536


def reported_path(line):
    """The path of a change line ("<time> - New file: <path>")."""
    return line.split(b" - ", 1)[1].split(b": ", 1)[1]


def wait_for_paths(watcher, start, paths, timeout):
    """Waits until every path was reported since the mark; path -> when its line arrived."""
    pending, seen, read = set(paths), {}, [start]

    def progress():  # each line is looked at once, however many arrive
        for at, line in watcher.lines[read[0]:]:
            path = reported_path(line)
            seen.setdefault(path, at)
            pending.discard(path)
        read[0] = len(watcher.lines)
        return not pending

    if not watcher.wait_until(progress, timeout):
        sys.exit(f"{len(pending)} changes not reported within {timeout} s, e.g. "
                 f"{sorted(pending)[:3]}; standard error: {watcher.stderr_text()[-2000:]!r}")
    return seen


def written_bytes_at_rest(pid, quiet=3.0):
    """write_bytes of the process once it has not grown for `quiet` seconds."""
    last, since = proc_fields(pid, "io", ["write_bytes"])[0], time.monotonic()
    while time.monotonic() - since < quiet:
        time.sleep(0.25)
        now = proc_fields(pid, "io", ["write_bytes"])[0]
        if now != last:
            last, since = now, time.monotonic()
    return last


def proc_fields(pid, name, keys):
    with open(f"/proc/{pid}/{name}") as f:
        fields = dict(line.split(":", 1) for line in f if ":" in line)
    return [int(fields[key].split()[0]) for key in keys]


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")  # utime, stime


def touch(path):
    os.close(os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644))


def directories(tree):
    return [os.path.join(parent, name) for parent, names, _ in os.walk(tree) for name in names]


class WatchLimit:
    """fs.inotify.max_user_watches raised to at least `wanted` while the benchmark runs."""

    def __init__(self, wanted):
        with open(WATCHES_SETTING) as f:
            self.saved = int(f.read())
        self.raised = self.saved < wanted
        if self.raised:
            log(f"raising fs.inotify.max_user_watches from {self.saved} to {wanted} for the benchmark")
            self.write(wanted)

    def write(self, value):
        try:
            with open(WATCHES_SETTING, "w") as f:
                f.write(f"{value}\n")
        except PermissionError:
            sys.exit(f"fs.inotify.max_user_watches is {self.saved}, too low for the 1M tree; "
                     "run as root or raise it (sysctl fs.inotify.max_user_watches=N)")

    def restore(self):
        if self.raised:
            self.write(self.saved)


class WatchBench:
    def __init__(self, args):
        self.cli = os.path.join(args.build, "app", "cli", "tervala-cli")
        self.tree = make_tree(args.tree_py, args.data, args.tree)
        self.scratch = tempfile.mkdtemp(prefix="watch-", dir=args.data)
        self.made = []  # what the benchmark made in the tree, removed at the end
        self.figures = {}

    def make_files(self, paths):
        self.made += paths
        for path in paths:
            touch(path)

    def latency(self, watcher, dirs):
        log(f"latency: {CHANGES} new files, {int(CHANGE_GAP_S * 1000)} ms apart ...")
        start = watcher.mark()[0]
        made = {}
        next_at = time.monotonic()
        for n, directory in enumerate(dirs):
            path = os.path.join(directory, f"watch-bench-{n}")
            self.make_files([path])
            made[os.fsencode(path)] = time.monotonic()
            next_at += CHANGE_GAP_S
            time.sleep(max(0.0, next_at - time.monotonic()))
        seen = wait_for_paths(watcher, start, made, timeout=1800)
        delays = sorted((seen[path] - at) * 1000 for path, at in made.items())
        self.figures["latency"] = [delays[len(delays) // 2], delays[int(len(delays) * 0.99) - 1],
                                   delays[-1]]

    def idle(self, watcher):
        """CPU time over a minute without a change, once the program has done what its
        start left it to do (it may list the tree again in parts after the first run)."""
        pid = watcher.process.pid
        began = time.monotonic()
        while time.monotonic() - began < SETTLE_MAX_S:
            cpu, start = cpu_seconds(pid), time.monotonic()
            time.sleep(5)
            if cpu_seconds(pid) - cpu < 0.01 * (time.monotonic() - start):
                break
        self.figures["settled"] = time.monotonic() - began
        log(f"idle: {IDLE_S} s without a change ...")
        cpu, start = cpu_seconds(pid), time.monotonic()
        time.sleep(IDLE_S)
        self.figures["idle"] = (cpu_seconds(pid) - cpu) / (time.monotonic() - start) * 100

    def batch(self, watcher, dirs):
        log(f"batch: {BATCH} new files at once ...")
        written = written_bytes_at_rest(watcher.process.pid)
        start = watcher.mark()
        paths = [os.path.join(directory, f"watch-bench-batch-{n}") for n, directory in enumerate(dirs)]
        self.make_files(paths)
        wait_for_paths(watcher, start[0], map(os.fsencode, paths), timeout=1800)
        self.figures["batch"] = (written_bytes_at_rest(watcher.process.pid) - written) / 1024

    def storm(self, watcher):
        log(f"storm: {STORM} files at once in a new directory ...")
        folder = os.path.join(self.tree, "watch-bench-storm")
        start = watcher.mark()
        began = time.monotonic()
        os.mkdir(folder)
        self.made.append(folder)
        for n in range(STORM):
            touch(os.path.join(folder, f"f{n:06}"))
        made = time.monotonic() - began
        paths = [os.fsencode(folder)] + [os.fsencode(os.path.join(folder, f"f{n:06}")) for n in range(STORM)]
        seen = wait_for_paths(watcher, start[0], paths, timeout=3600)
        self.figures["storm"] = (max(seen.values()) - began, made)
        return folder

    def first_runs(self, folder):
        """A first run of the storm's directory alone, three times: the median seconds."""
        seconds = []
        for n in range(3):
            started = time.monotonic()
            subprocess.run([self.cli, "-q", "-d", os.path.join(self.scratch, f"storm-{n}.db"), folder],
                           check=True, stdout=subprocess.DEVNULL)
            seconds.append(time.monotonic() - started)
        return statistics.median(seconds)

    def run(self):
        dirs = directories(self.tree)
        picked = random.Random(1).choices(dirs, k=CHANGES + BATCH)
        limit = WatchLimit(len(dirs) + WATCHES_SPARE)
        watcher = None
        try:
            log(f"watching {self.tree} ({len(dirs)} directories below it): the first run ...")
            began = time.monotonic()
            watcher = Watcher([self.cli, "--watch", "-d", os.path.join(self.scratch, "watch.db"),
                               "-l", os.path.join(self.scratch, "watch.log"), self.tree], cwd=self.scratch)
            watcher.wait_live(self.tree, timeout=3600, every=10)
            self.made += [os.path.join(self.tree, name) for name in os.listdir(self.tree)
                          if name.startswith("live-probe-")]
            self.figures["start"] = time.monotonic() - began
            self.figures["rss"] = [kib / 1024 for kib in proc_fields(watcher.process.pid, "status",
                                                                      ["VmRSS", "VmHWM"])]
            self.idle(watcher)
            self.latency(watcher, picked[:CHANGES])
            self.batch(watcher, picked[CHANGES:])
            folder = self.storm(watcher)
        finally:
            if watcher:
                watcher.stop(signal.SIGINT)
                # What the program said of its watch: a fallback explains a figure.
                self.figures["notices"] = [line.decode("utf-8", "replace") for _, line in watcher.errors
                                           if line.startswith(b"tervala-cli: ")]
            limit.restore()
        self.figures["first-run"] = self.first_runs(folder)
        self.report()

    def report(self):
        f = self.figures
        p50, p99, worst = f["latency"]
        storm, made = f["storm"]
        rss, peak = f["rss"]
        log(f"\nfirst run and watch set up: {fmt_s(f['start'])} s, then busy {fmt_s(f['settled'])} s")
        log(f"latency ms: p50 {p50:.0f}, p99 {p99:.0f}, max {worst:.0f} ({CHANGES} changes)")
        log(f"storm: last line after {fmt_s(storm)} s (files made in {fmt_s(made)} s, so "
            f"{fmt_s(storm - made)} s after the last file); first run of the directory alone "
            f"{fmt_s(f['first-run'])} s")
        log(f"memory: VmRSS {rss:.1f} MiB while watching, VmHWM {peak:.1f} MiB")
        for notice in f["notices"]:
            log(f"said on standard error: {notice}")
        log("")
        log(f"watch-latency-p50-ms: {p50:.0f} (target <= 300)")
        log(f"watch-latency-p99-ms: {p99:.0f} (target <= 1000)")
        log(f"watch-idle-cpu-percent: {f['idle']:.3f} (target <= 0.1)")
        log(f"watch-batch-written-KiB: {f['batch']:.0f} (target <= 1024)")
        log(f"watch-storm-100K-vs-first-run: {(storm - made) / f['first-run']:.2f} "
            f"(watch {fmt_s(storm - made)} s after the last file, first run "
            f"{fmt_s(f['first-run'])} s; target <= 2.0)")
        log(f"watch-rss-1M-MiB: {rss:.1f} (target <= 250)")

    def clean(self):
        for path in reversed(self.made):
            if os.path.isdir(path):
                shutil.rmtree(path, ignore_errors=True)
            elif os.path.lexists(path):
                os.remove(path)
        shutil.rmtree(self.scratch, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--build", required=True, help="the Release build folder")
    ap.add_argument("--tree-py", required=True, help="the tree generator")
    ap.add_argument("--data", required=True, help="where the trees are kept between invocations")
    ap.add_argument("--tree", default="1M", choices=TREES, help="a smaller tree for a trial")
    args = ap.parse_args()
    args.build, args.data = os.path.abspath(args.build), os.path.abspath(args.data)
    os.makedirs(args.data, exist_ok=True)
    bench = WatchBench(args)
    try:
        bench.run()
    finally:
        bench.clean()


if __name__ == "__main__":
    main()
