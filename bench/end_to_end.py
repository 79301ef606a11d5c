#!/usr/bin/env python3
"""Times whole logging runs of the program against simple peers measured in the same run.

For a tree built by ../shared/bench/tree.py it times, in size mode and in digest mode:
  first  - the first logging run (scan, store, save; nothing to compare),
  second - after a mutation, a program start that loads the datafile, rotates, scans, saves
           and compares,
and, as peers doing the least that the same job needs:
  size   - `find -printf '%p %s'` piped into the sqlite3 shell's `.import` (walk + store),
  digest - `find -type f -print0 | xargs -0 md5sum` (walk + digest, no store),
printing seconds, the program's peak memory and the ratio program/peer (the peers' memory
is that of their shell, so it is not compared).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time


def timed(cmd):
    """Runs cmd, returns (seconds, peak RSS in MiB of the command's own process)."""
    start = time.perf_counter()
    child = subprocess.Popen(cmd, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"{cmd[0]} failed with status {child.returncode}")
    return seconds, usage.ru_maxrss / 1024.0


def scenario(path, tree, digest):
    lines = ["timeout 7200", f'answer-dir "{tree}"', "click browse"]
    if digest:
        lines.append("click md5")
    lines += ["click startstop", 'expect-status "Dir log run complete"', "menu exit"]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def peer_size(tree, work):
    db = os.path.join(work, "peer.db")
    listing = os.path.join(work, "peer.txt")
    script = (f"find '{tree}' -printf '%p\\t%s\\n' > '{listing}' && "
              f"sqlite3 '{db}' 'create table t(file text, ident text);' "
              f"'.mode tabs' '.import {listing} t'")
    result = timed(["bash", "-c", script])
    os.remove(db)
    return result


def peer_digest(tree):
    return timed(["bash", "-c", f"find '{tree}' -type f -print0 | xargs -0 md5sum"])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--tree-py", required=True)
    ap.add_argument("--files", type=int, default=100000)
    ap.add_argument("--dirs", type=int, default=5000)
    ap.add_argument("--max-size", type=int, default=16384)
    args = ap.parse_args()

    work = tempfile.mkdtemp(prefix="tervala-bench-")
    try:
        tree = os.path.join(work, "tree")
        subprocess.run([sys.executable, args.tree_py, "make", tree, "--files", str(args.files),
                        "--dirs", str(args.dirs), "--max-size", str(args.max_size)], check=True)
        print(f"\n{'what':34} {'seconds':>9} {'peak MiB':>9} {'peer s':>8} {'ratio':>7}")
        for digest in (False, True):
            mode = "digest" if digest else "size"
            root = os.path.join(work, mode)
            os.mkdir(root)
            script = os.path.join(work, f"{mode}.scn")
            scenario(script, tree, digest)
            peer = peer_digest(tree) if digest else peer_size(tree, work)
            first = timed([args.runner, "--root", root, script])
            print(f"{mode + ' mode, first run':34} {first[0]:9.2f} {first[1]:9.1f} {peer[0]:8.2f} {first[0] / peer[0]:7.2f}")
            subprocess.run([sys.executable, args.tree_py, "mutate", tree, "--changes", "200",
                            "--seed", "7" if digest else "3", "--expect", os.path.join(work, "expect")],
                           check=True, stdout=subprocess.DEVNULL)
            second = timed([args.runner, "--root", root, script])
            print(f"{mode + ' mode, restart and compare':34} {second[0]:9.2f} {second[1]:9.1f} {peer[0]:8.2f} {second[0] / peer[0]:7.2f}")
        print(f"\n{args.files} files in {args.dirs} directories; peers: find+sqlite3 .import (size), find+md5sum (digest)")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
