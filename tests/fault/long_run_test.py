#!/usr/bin/env python3
"""long_run_test.py RUNNER [--runs N] [--no-memory]

A long run: interval mode with 0 minutes, digest mode and a log file, over a small tree
that the harness keeps changing, for N logging runs (2000 by default). At runs N/4, N/2,
3N/4 and N a trigger makes the runner write 1 MiB into a FIFO the harness holds, so the
runner waits at the same step of every one of those runs while the harness reads its
/proc entry. From the middle to the end the open descriptors and the threads may grow by
no more than a few per core (digest workers of a dropped directory may still be finishing
a file, and the thread park keeps a thread more after two workers overlapped), and the
resident memory by no more than MEMORY_SLACK beside what the log's growth explains: each
run holds the whole log a few times over (loaded, shown in the report, written), and
freed memory stays resident. A leak of one of anything per run grows by hundreds.
--no-memory leaves out the memory comparison (for sanitizer builds, whose allocators keep
freed memory on purpose)."""
import argparse
import fcntl
import os
import select
import shutil
import subprocess
import sys
import tempfile
import termios
import struct

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fault_support import Failure, write_script  # noqa: E402

GATE_BYTES = 1 << 20
MEMORY_SLACK = 1 << 20
# The shown report and the log text each take up to twice the log's length.
LOG_COPIES = 4
# Blocks from this size up go back to the system when freed: otherwise the heap keeps the
# holes the log's copies leave, and resident memory steps up by where they fall.
BIG_BLOCK = 64 << 10
F_GETPIPE_SZ = 1032


def script(marks, runs):
    lines = ["timeout 3600", "answer-dir $ROOT/t", "click browse",
             "answer-file $ROOT/long.db", "click datafile-save",
             "answer-file $ROOT/long.log", "click log-save",
             "click md5", "click interval", "set-text interval-field 0"]
    for mark in marks:
        lines.append(f'when status "Dir log interval run #{mark} started" fill $ROOT/gate {GATE_BYTES}')
    lines += [f'when status "Dir log interval run #{runs} started" click startstop',
              "click startstop", 'expect-status "Dir log run aborted"', "menu exit"]
    return "\n".join(lines) + "\n"


def sample(pid, log):
    with open(f"/proc/{pid}/status") as f:
        fields = dict(line.split(":", 1) for line in f if ":" in line)
    return {"rss_kib": int(fields["VmRSS"].split()[0]),
            "log_kib": os.path.getsize(log) // 1024 if os.path.exists(log) else 0,
            "descriptors": len(os.listdir(f"/proc/{pid}/fd")),
            "threads": len(os.listdir(f"/proc/{pid}/task"))}


class Churn:
    """Changes to the tree made between the harness's looks at the gate."""

    def __init__(self, tree):
        self.tree, self.count = tree, 0

    def step(self):
        self.count += 1
        toggle = os.path.join(self.tree, "toggle.txt")
        if os.path.exists(toggle):
            os.remove(toggle)
        else:
            with open(toggle, "w") as f:
                f.write(str(self.count))
        # A new file of the same bytes: a new inode each time, no change to report.
        same = os.path.join(self.tree, "sub", f"same{self.count % 5}.txt")
        with open(same + ".new", "w") as f:
            f.write("same bytes")
        os.replace(same + ".new", same)


def wait_at_gate(process, gate, capacity, churn):
    """Returns once the runner is blocked writing into the full FIFO."""
    while True:
        if process.poll() is not None:
            raise Failure(f"the runner ended early (exit {process.returncode}):\n"
                          + process.stdout.read())
        waiting = struct.unpack("i", fcntl.ioctl(gate, termios.FIONREAD, b"\0\0\0\0"))[0]
        if waiting >= capacity:
            return
        churn.step()
        select.select([], [], [], 0.002)


def drain(gate):
    left = GATE_BYTES
    while left > 0:
        select.select([gate], [], [])
        try:
            chunk = os.read(gate, left)
        except BlockingIOError:
            continue
        if not chunk:
            raise Failure("the runner stopped writing into the gate before its end")
        left -= len(chunk)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("runner")
    parser.add_argument("--runs", type=int, default=2000)
    parser.add_argument("--no-memory", action="store_true")
    args = parser.parse_args()
    runs = args.runs
    marks = [runs // 4, runs // 2, 3 * runs // 4, runs]
    work = tempfile.mkdtemp(prefix="tervala-long-run-")
    try:
        tree = os.path.join(work, "t")
        os.makedirs(os.path.join(tree, "sub"))
        for n in range(20):
            with open(os.path.join(tree, f"file{n}.txt"), "w") as f:
                f.write("x" * n * 100)
        gate_path = os.path.join(work, "gate")
        os.mkfifo(gate_path)
        # Held open all along, so the runner's open never waits; only its write does.
        gate = os.open(gate_path, os.O_RDONLY | os.O_NONBLOCK)
        capacity = fcntl.fcntl(gate, F_GETPIPE_SZ)
        path = write_script(work, "long.scn", script(marks, runs))
        process = subprocess.Popen([args.runner, "--root", work, path], stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, text=True,
                                   env=dict(os.environ, MALLOC_MMAP_THRESHOLD_=str(BIG_BLOCK)))
        churn = Churn(tree)
        samples = {}
        try:
            for mark in marks:
                wait_at_gate(process, gate, capacity, churn)
                samples[mark] = sample(process.pid, os.path.join(work, "long.log"))
                print(f"run {mark}: {samples[mark]}")
                drain(gate)
            output, _ = process.communicate()
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        if process.returncode != 0:
            raise Failure(f"the runner failed (exit {process.returncode}):\n{output}")
        middle, end = samples[marks[1]], samples[marks[-1]]
        cores = os.cpu_count() or 1
        for what, slack in (("descriptors", cores), ("threads", 2 * cores)):
            if end[what] > middle[what] + slack:
                raise Failure(f"{what}: {middle[what]} at run {marks[1]}, {end[what]} at run "
                              f"{runs} (allowed: {slack} more)")
        growth = (end["rss_kib"] - middle["rss_kib"]) * 1024
        allowed = MEMORY_SLACK + LOG_COPIES * (end["log_kib"] - middle["log_kib"]) * 1024
        if not args.no_memory and growth > allowed:
            raise Failure(f"resident memory grew by {growth // 1024} KiB from run {marks[1]} "
                          f"to run {runs} (allowed: {allowed // 1024} KiB)")
        print(f"{runs} runs with {churn.count} changes to the tree: from the middle to the end "
              f"descriptors {end['descriptors'] - middle['descriptors']:+d}, threads "
              f"{end['threads'] - middle['threads']:+d}, memory {growth // 1024:+d} KiB"
              + (" (not compared)" if args.no_memory else ""))
        return 0
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
