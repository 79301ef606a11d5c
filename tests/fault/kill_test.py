#!/usr/bin/env python3
"""kill_test.py RUNNER TREE_PY [--kills N] [--log] [--every-line] [--seed S]

SIGKILL at random moments of logging runs over a tree of 3000 files. Half the kills hit
runs in size mode, half in digest mode, each mode with its own datafile. Before every
kill tree.py mutates the tree and writes what a logger must report; the killed run logs
the mutated tree; then a start loads the datafile the kill left and must report exactly
tree.py's lines when the kill came before the save was complete, and when it came after
(the datafile then holds the new list) the lines the killed run had not yet shown, each
once. Every third kill leaves the tree as it is, so that it hits a run that writes only the
previous list, or nothing at all; the start after it must report nothing. Anything else,
a datafile that does not load, or a start that does not complete, fails.

With --first-run every killed run is a first run (its datafile removed before it): the
start after it must then complete and report nothing, whether the kill left no datafile
or a whole one.

With --log a log file with a long history is chosen and each kill lands while the log is
being rewritten (once the harness sees the rewrite's new file appear): the log must
then be whole, its old text or its old text followed by the run's change lines, and once
the next start has written it no file of the rewrite may be left beside it. With
--every-line the log must also end up holding every change line exactly once, whatever
the kill interrupted."""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fault_support import (SKIPPED, Failure, decode_log, differences, expected_lines,  # noqa: E402
                           log_change_lines, logging_script, report_lines, run_scenario,
                           tree_py, write_script)

OLD_LOG_LINES = 40000


class Phase:
    """The kills of one mode: its datafile, its log and its scripts."""

    def __init__(self, args, work, mode):
        self.args, self.work, self.mode = args, work, mode
        self.datafile = f"$ROOT/{mode}.db"
        self.log_dir = os.path.join(work, f"{mode}-log")
        self.log_path = os.path.join(self.log_dir, "changes.log")
        log = f"$ROOT/{mode}-log/changes.log" if args.log else None
        self.report = os.path.join(work, f"report-{mode}.txt")
        self.run_script = write_script(work, f"run-{mode}.scn", logging_script(mode, self.datafile, log))
        self.check_script = write_script(work, f"check-{mode}.scn", logging_script(
            mode, self.datafile, log, report=f"$ROOT/report-{mode}.txt"))
        self.duration = 0.0
        self.rewrite = 0.0
        self.outcomes = {} if args.first_run else {"before the save": 0, "after the save": 0,
                                                    "on an unchanged tree": 0}
        self.journals = 0
        self.lost = 0

    def start(self):
        os.makedirs(self.log_dir)
        if self.args.log:
            # A long history makes the rewrite of the log take a while.
            with open(self.log_path, "wb") as f:
                for n in range(OLD_LOG_LINES):
                    f.write(f"01 Jan 2020 00:00:00 - New file: /old/history/file_{n:06}.txt\r\n"
                            .encode("latin-1"))
        if self.args.first_run:
            self.remove_datafile()
            self.duration, self.rewrite = self.watched_run()
            return
        run_scenario(self.args.runner, self.work, self.run_script)
        # The second run goes through every step: load, rotation, scan, save, comparison.
        self.duration, self.rewrite = self.watched_run()

    def remove_datafile(self):
        for name in os.listdir(self.work):
            if name.startswith(f"{self.mode}.db"):
                os.remove(os.path.join(self.work, name))

    def watched_run(self):
        """A run to its end, timing the whole and the life of the log's rewrite file."""
        started = time.monotonic()
        before = set(os.listdir(self.log_dir))
        process = self.spawn()
        seen = None
        rewrite = 0.0
        while process.poll() is None:
            if self.args.log:
                fresh = self.rewrite_begun(before)
                if fresh and seen is None:
                    seen = time.monotonic()
                elif not fresh and seen is not None and not rewrite:
                    rewrite = time.monotonic() - seen
            time.sleep(0.0005)
        if process.returncode != 0:
            raise Failure(f"a {self.mode} run failed: {process.stdout.read()}")
        return time.monotonic() - started, rewrite or 0.02

    def spawn(self):
        return subprocess.Popen([self.args.runner, "--root", self.work, self.run_script],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    def rewrite_begun(self, before):
        """Whether a file other than those of before has appeared beside the log."""
        return any(name not in before for name in os.listdir(self.log_dir))

    def killed_run(self, rng):
        """Starts a run and kills it at a random moment; False when it ended first."""
        # Files a kill left beside the log before are not the rewrite of this run.
        before = set(os.listdir(self.log_dir))
        process = self.spawn()
        if self.args.log:
            while process.poll() is None and not self.rewrite_begun(before):
                time.sleep(0.0002)
            delay = rng.uniform(0, self.rewrite * 1.2)
        else:
            delay = rng.uniform(0, self.duration)
        time.sleep(delay)
        if process.poll() is not None:
            return False
        process.send_signal(signal.SIGKILL)
        process.wait()
        return True

    def kill_once(self, number, rng, tree, tree_script):
        if self.args.first_run:
            self.remove_datafile()
            changes = []
        elif number % 3 == 0 and not self.args.log:
            changes = []
        else:
            expect = os.path.join(self.work, "expected.txt")
            tree_py(tree_script, "mutate", tree, "--changes", "40", "--seed", str(1000 + number),
                    "--expect", expect)
            changes = expected_lines(expect, self.mode)
        old_log = self.read_log()
        killed = self.killed_run(rng)
        for name in os.listdir(self.work):
            if name.startswith(f"{self.mode}.db-journal"):
                self.journals += 1
        datafile = os.path.join(self.work, f"{self.mode}.db")
        left = ("no datafile" if not os.path.exists(datafile) else
                "an empty datafile" if os.path.getsize(datafile) == 0 else "a datafile")
        log_after_kill = self.read_log()
        if self.args.log:
            self.check_whole_log(old_log, log_after_kill, changes)
            # Kills are drawn over a window that narrows when they come after the rewrite
            # and widens when they cut it, so that most of them land inside it.
            self.rewrite *= 0.7 if log_after_kill != old_log else 1.2
        self.duration = run_scenario(self.args.runner, self.work, self.check_script)
        if self.args.log:
            self.check_no_litter(number)
        skip = len(decode_log(log_after_kill).split("\r\n")) - 1 if self.args.log else 0
        found = report_lines(self.report, self.mode, skip)
        if self.args.first_run:
            if found:
                raise Failure(f"kill {number} ({self.mode} mode) left {left}; the start after "
                              "it reported changes:\n" + differences([], found))
            self.outcomes[f"left {left}"] = self.outcomes.get(f"left {left}", 0) + 1
        elif not changes and not found:
            self.outcomes["on an unchanged tree"] += 1
        elif found == changes:
            self.outcomes["before the save"] += 1
        elif set(found) <= set(changes) and len(set(found)) == len(found):
            # The lines the killed run had not shown yet are owed to this start.
            self.outcomes["after the save"] += 1
        else:
            raise Failure(f"kill {number} ({self.mode} mode, "
                          f"{'killed' if killed else 'ended before the kill'}): the start "
                          f"after it reported other lines than the owed ones:\n"
                          + differences(changes, found))
        if self.args.log:
            self.check_every_line(number, old_log, self.read_log(), changes)

    def read_log(self):
        if not os.path.exists(self.log_path):
            return b""
        with open(self.log_path, "rb") as f:
            return f.read()

    def check_whole_log(self, old, now, changes):
        if now == old:
            return
        if not now.startswith(old):
            raise Failure("the log after a kill does not begin with the log before it")
        added = log_change_lines(decode_log(now[len(old):]), self.mode)
        if sorted(added) != changes:
            raise Failure("the log after a kill holds other lines than the run's changes:\n"
                          + differences(changes, added))

    def check_no_litter(self, number):
        """What a killed rewrite left beside the log is gone once a run has written it."""
        litter = [n for n in os.listdir(self.log_dir) if n != "changes.log"]
        if litter:
            raise Failure(f"kill {number} ({self.mode} mode): after the next start these "
                          f"files are left beside the log: {litter}")

    def check_every_line(self, number, old, now, changes):
        added = sorted(log_change_lines(decode_log(now[len(old):]), self.mode)) \
            if now.startswith(old) else None
        if added == changes:
            return
        self.lost += 1
        if self.args.every_line:
            raise Failure(f"kill {number} ({self.mode} mode): after the next start the log "
                          f"does not hold the killed run's change lines once each:\n"
                          + differences(changes, added or []))

    def summary(self):
        text = ", ".join(f"{count} {when}" for when, count in self.outcomes.items())
        text += f"; {self.journals} left a journal of an unfinished save"
        if self.args.log:
            text += f"; run {self.duration:.2f} s, kills up to {self.rewrite * 1200:.0f} ms into the rewrite"
            text += f"; {self.lost} lost the killed run's change lines from the log"
        return f"{self.mode} mode: {text}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("runner")
    parser.add_argument("tree_py")
    parser.add_argument("--kills", type=int, default=30)
    parser.add_argument("--files", type=int, default=3000)
    parser.add_argument("--first-run", action="store_true")
    parser.add_argument("--log", action="store_true")
    parser.add_argument("--every-line", action="store_true")
    parser.add_argument("--seed", type=int, default=int(os.environ.get("TERVALA_FAULT_SEED", "0"))
                        or random.SystemRandom().randrange(1, 1 << 30))
    args = parser.parse_args()
    if not os.path.isfile(args.tree_py):
        print(f"skipped: the tree builder {args.tree_py} is not there "
              "(it lives in shared/bench beside the repository)")
        return SKIPPED
    print(f"kill moments drawn with seed {args.seed} (TERVALA_FAULT_SEED={args.seed} repeats them)")
    rng = random.Random(args.seed)
    work = tempfile.mkdtemp(prefix="tervala-kill-")
    try:
        tree = os.path.join(work, "tree")
        tree_py(args.tree_py, "make", tree, "--files", str(args.files), "--dirs", "200",
                "--max-size", "20000")
        number = 0
        for mode, kills in (("size", args.kills - args.kills // 2), ("md5", args.kills // 2)):
            phase = Phase(args, work, mode)
            phase.start()
            for _ in range(kills):
                number += 1
                phase.kill_once(number, rng, tree, args.tree_py)
            print(phase.summary())
    except Failure as failure:
        print(f"FAILED: {failure}")
        print(f"(seed {args.seed}; the work folder {work} is kept)")
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print(f"{args.kills} kills: every start after a kill reported exactly what it had to")
    return 0


if __name__ == "__main__":
    sys.exit(main())
