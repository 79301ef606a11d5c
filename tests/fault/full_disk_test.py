#!/usr/bin/env python3
"""full_disk_test.py RUNNER CASE

A full disk, made by mounting a small tmpfs (only root can; skipped otherwise, or when the
mount fails), holding the datafile and the log file while the tree lives elsewhere:

- a first save that does not fit fails, says so, and leaves no datafile behind;
- a save over an existing datafile that does not fit fails, says so, and leaves that
  datafile byte for byte as it was; the next start loads it as the last completed list;
- a log file on a disk without room stays as it was, whole.

CASE is one of first-save, save-over-existing, log; each mounts a file system of its own."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fault_support import SKIPPED, Failure, logging_script, run_scenario, write_script  # noqa: E402

FS_SIZE = "256k"
SAVE_FAILED = "Datafile ERROR! Failed to save datafile"


def make_files(directory, count, prefix):
    os.makedirs(directory, exist_ok=True)
    for n in range(count):
        # Long names make many rows of many bytes each.
        with open(os.path.join(directory, f"{prefix}_{n:05}_{'x' * 60}.txt"), "w") as f:
            f.write(str(n))


def read(path):
    with open(path, "rb") as f:
        return f.read()


class MountFailed(Exception):
    pass


class Disk:
    def __init__(self, args, work):
        self.args, self.work = args, work
        self.mount = os.path.join(work, "disk")
        os.makedirs(self.mount)

    def __enter__(self):
        done = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={FS_SIZE},mode=0755",
                               "tervala-full-disk", self.mount], capture_output=True, text=True)
        if done.returncode != 0:
            raise MountFailed(done.stderr.strip() or "mount failed")
        return self

    def __exit__(self, *exc):
        subprocess.run(["umount", self.mount], check=False)

    def run(self, name, status, log=False, report=None):
        script = write_script(self.work, name + ".scn", logging_script(
            "size", "$ROOT/disk/datafile", "$ROOT/disk/changes.log" if log else None,
            report=report, status=status))
        run_scenario(self.args.runner, self.work, script)

    def clear(self):
        for name in os.listdir(self.mount):
            os.remove(os.path.join(self.mount, name))


def first_save(disk, tree):
    make_files(tree, 2000, "big")
    disk.run("first-save", SAVE_FAILED)
    left = os.listdir(disk.mount)
    if left:
        sizes = ", ".join(f"{n} ({os.path.getsize(os.path.join(disk.mount, n))} bytes)" for n in left)
        raise Failure(f"a first save that did not fit left {sizes}")


def save_over_existing(disk, tree):
    make_files(tree, 5, "small")
    disk.run("small-tree", "Dir log run complete")
    before = read(os.path.join(disk.mount, "datafile"))
    make_files(tree, 2000, "big")
    disk.run("save-over", SAVE_FAILED)
    if read(os.path.join(disk.mount, "datafile")) != before:
        raise Failure("a save over an existing datafile that did not fit changed that datafile")
    left = sorted(set(os.listdir(disk.mount)) - {"datafile"})
    if left:
        raise Failure(f"a failed save left {', '.join(left)} beside the datafile")
    # The datafile still holds the small tree's list: the next start reports the additions.
    shutil.rmtree(tree)
    make_files(tree, 5, "small")
    make_files(tree, 1, "new")
    disk.run("after-failed-save", "Dir log run complete", report="$ROOT/report.txt")
    with open(os.path.join(disk.work, "report.txt"), encoding="utf-8") as f:
        report = f.read().splitlines()
    expected = [f"<T> - New file: {tree}/new_00000_{'x' * 60}.txt"]
    if report != expected:
        raise Failure(f"the start after a failed save reported {report}, not {expected}")


def log_on_full_disk(disk, tree):
    make_files(tree, 5, "small")
    disk.run("log-first", "Dir log run complete", log=True)
    log = os.path.join(disk.mount, "changes.log")
    make_files(tree, 3, "changed")
    disk.run("log-second", "Dir log run complete", log=True)
    before = read(log)
    if not before:
        raise Failure("the log holds no lines after a run that reported changes")
    # Fill the disk to the last byte, then make a change to report.
    filler = os.open(os.path.join(disk.mount, "filler"), os.O_WRONLY | os.O_CREAT, 0o644)
    try:
        while os.write(filler, b"\0" * 4096) > 0:
            pass
    except OSError:
        pass
    finally:
        os.close(filler)
    make_files(tree, 1, "more")
    # No room for the marker of owed lines either: the run neither saves nor reports, and
    # the next start reports the change once.
    marker = os.path.join(disk.mount, "datafile-unlogged")
    disk.run("log-full", "Failed to write marker file " + marker, log=True)
    if read(log) != before:
        raise Failure("a run on a full disk changed the log")
    left = sorted(set(os.listdir(disk.mount)) - {"datafile", "changes.log", "filler"})
    if left:
        raise Failure(f"a log rewrite that found no room left {', '.join(left)} beside the log")


CASES = {"first-save": first_save, "save-over-existing": save_over_existing, "log": log_on_full_disk}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("runner")
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    if os.geteuid() != 0:
        print("skipped: a full disk is made by mounting a small file system, which needs root")
        return SKIPPED
    work = tempfile.mkdtemp(prefix="tervala-full-disk-")
    try:
        with Disk(args, work) as disk:
            CASES[args.case](disk, os.path.join(work, "tree"))
    except MountFailed as error:
        print(f"skipped: cannot mount a small file system ({error})")
        return SKIPPED
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{args.case}: as promised")
    return 0


if __name__ == "__main__":
    sys.exit(main())
