#!/usr/bin/env python3
"""Times whole logging runs of Tervala against peer programs measured in the same invocation.

Each measurement runs three times, ours and its peer alternating, after one untimed warm-up
of each (which also fills the page cache and makes the datafiles the unchanged runs start
from). Every run is a fresh process timed from start to exit (os.wait4). Its peak memory is
its ru_maxrss as wait4 reports it to tervala-peak-rss, the small launcher it is started
through: forked straight from Python, a child's ru_maxrss would start at Python's size. The table gives medians; the closing lines give, per comparison,
  NAME: RATIO (ours X s, peer Y s)    with RATIO = our median / the peer's median.

Our runs are the real application on the headless driver, played by the scenario runner:
Browse, (MD5,) Start, wait for "Dir log run complete", Exit. Each runs in a fresh launch
directory, so the derived datafile lands outside the tree; an unchanged run finds there a
copy of the datafile a first run wrote, and must report no change.
The GTK side runs tervala-gtk-run (bench/gtk_logging_run.cpp) under the X server of
`xvfb-run -a` that scripts/bench starts around this driver.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

REPEATS = 3
BIG_FILE_BYTES = 1 << 30
TREES = {
    "10K": ["--files", "10000", "--dirs", "500"],
    "100K": ["--files", "100000", "--dirs", "5000", "--max-size", "16384", "--seed", "1"],
    "1M": ["--files", "1000000", "--dirs", "50000", "--max-size", "0"],
}


def log(text):
    print(text, flush=True)


class Run:
    """One timed program: its command, and where it starts (fixed, or a fresh directory that
    `prepare` makes before every run; "{cwd}" in the command stands for it)."""

    def __init__(self, name, cmd, prepare=None, cwd=None, ok_codes=(0,), keep_output=True):
        self.name, self.cmd, self.prepare, self.cwd, self.ok_codes = name, cmd, prepare, cwd, ok_codes
        self.keep_output = keep_output
        self.seconds = []
        self.peak_mib = []
        self.written_mib = []

    launcher = None  # tervala-peak-rss, set once the build folder is known

    def once(self, scratch, timed=True):
        cwd = self.prepare() if self.prepare else self.cwd
        out_path = os.path.join(scratch, "last-output.txt")
        rss_path = os.path.join(scratch, "last-peak-kib.txt")
        cmd = [part.replace("{cwd}", cwd) if cwd else part for part in self.cmd]
        with open(out_path if self.keep_output else os.devnull, "wb") as out:
            start = time.perf_counter()
            child = subprocess.Popen([Run.launcher, rss_path] + cmd, cwd=cwd, stdout=out,
                                     stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
            # The launcher waits for the program, so its usage includes the program's.
            _, status, usage = os.wait4(child.pid, 0)
            seconds = time.perf_counter() - start
        code = os.waitstatus_to_exitcode(status)
        if code not in self.ok_codes:
            with open(out_path, "rb") as f:
                tail = f.read()[-3000:].decode("utf-8", "replace")
            sys.exit(f"{self.name}: {' '.join(self.cmd)} exited with {code}\n{tail}")
        self.last_written_mib = usage.ru_oublock * 512 / 2**20
        if timed:
            self.seconds.append(seconds)
            self.written_mib.append(self.last_written_mib)
            with open(rss_path) as f:
                self.peak_mib.append(int(f.read()) / 1024.0)
        return seconds

    def median(self):
        return statistics.median(self.seconds)

    def median_written(self):
        return statistics.median(self.written_mib)


def fmt_s(seconds):
    return f"{seconds:.2f}" if seconds >= 1 else f"{seconds:.3f}"


def find_runner(build):
    path = os.path.join(build, "tools/scenario/tervala-scenario")
    if os.access(path, os.X_OK):
        return path
    sys.exit(f"no tervala-scenario under {build}/tools/scenario")


def make_tree(tree_py, data, size):
    """The tree of this size, made once in the data folder and reused while its arguments hold."""
    folder = os.path.join(data, f"tree-{size}")
    tree = os.path.join(folder, "tree")
    made = os.path.join(folder, "made-with.txt")
    wanted = " ".join(TREES[size])
    if os.path.exists(made) and open(made).read().strip() == wanted:
        return tree
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    log(f"making the {size} tree ({wanted}) ...")
    subprocess.run([sys.executable, tree_py, "make", tree] + TREES[size], check=True)
    with open(made, "w") as f:
        f.write(wanted + "\n")
    return tree


def make_big_file(data):
    path = os.path.join(data, "md5", "big.bin")
    if os.path.exists(path) and os.path.getsize(path) == BIG_FILE_BYTES:
        return path
    os.makedirs(os.path.dirname(path), exist_ok=True)
    log("making the 1 GiB file ...")
    with open(path + ".part", "wb") as f:
        for _ in range(BIG_FILE_BYTES >> 24):
            f.write(os.urandom(1 << 24))
    os.rename(path + ".part", path)
    return path


def write_scenario(path, tree, md5, unchanged):
    lines = ["timeout 86400", f'answer-dir "{tree}"', "click browse"]
    if md5:
        lines.append("click md5")
    lines += ["click startstop", 'expect-status "Dir log run complete"']
    if unchanged:
        lines.append("expect-report-count 0")  # a timing of "unchanged" means little otherwise
    lines.append("menu exit")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def pcre_literal(text):
    return re.sub(r"([\\^$.|?*+()\[\]{}])", r"\\\1", text)


def write_aide_config(path, work, tree, rule):
    """AIDE selecting exactly the tree (the directory and all below it, no sibling)."""
    name = pcre_literal(tree)
    with open(path, "w", encoding="utf-8") as f:
        f.write(f"database_in=file:{work}/in.db\n"
                f"database_out=file:{work}/out.db\n"
                f"report_url=file:{work}/report.txt\n"
                "gzip_dbout=no\n"
                f"TreeRule = {rule}\n"
                f"{name}$ TreeRule\n"
                f"{name}/ TreeRule\n")


def tree_entries(size):
    """The tree's entry count: its files, its directories and the tree directory itself."""
    args = TREES[size]
    return int(args[args.index("--files") + 1]) + int(args[args.index("--dirs") + 1]) + 1


def check_aide_saw_tree(database, tree, size):
    """AIDE exits 0 and times a few milliseconds when a path it is given leads through a
    symbolic link: it does not follow it and checks nothing. Its database must list the tree."""
    listed = 0
    with open(database, encoding="utf-8", errors="replace") as f:
        for line in f:
            if line == tree + "\n" or line.startswith(tree + " ") or line.startswith(tree + "/"):
                listed += 1
    if listed < tree_entries(size):
        sys.exit(f"aide lists {listed} of the {tree_entries(size)} entries of {tree}: it did not "
                 "see the tree (is a folder on its path a symbolic link?)")


class Bench:
    def __init__(self, args):
        self.args = args
        self.build = args.build
        self.scratch = tempfile.mkdtemp(prefix="run-", dir=args.data)
        self.runner = find_runner(self.build)
        Run.launcher = os.path.join(self.build, "bench", "tervala-peak-rss")
        self.fresh_count = 0
        self.last_fresh = {}
        self.runs = []  # in the order each round plays them

    def fresh_dir(self, label, datafile=None):
        """An empty launch directory, holding a copy of this datafile when given. The last
        one of the label goes, and the copy is on disk before the timing starts, so that no
        run pays for writing back what the benchmark itself wrote."""
        self.fresh_count += 1
        shutil.rmtree(self.last_fresh.get(label, ""), ignore_errors=True)
        path = os.path.join(self.scratch, f"{label}-{self.fresh_count}")
        self.last_fresh[label] = path
        os.mkdir(path)
        if datafile:
            shutil.copy(datafile, os.path.join(path, os.path.basename(datafile)))
        os.sync()
        return path

    def ours_first(self, size, tree, md5):
        label = f"ours-first-{'md5' if md5 else 'size'}-{size}"
        script = os.path.join(self.scratch, label + ".scn")
        write_scenario(script, tree, md5, unchanged=False)
        holder = {}

        def prepare():
            holder["root"] = self.fresh_dir(label)
            return holder["root"]

        run = Run(label, [self.runner, "--root", "{cwd}", script], prepare)
        # The warm-up's datafile is the one every unchanged run of this mode starts from.
        run.once(self.scratch, timed=False)
        files = os.listdir(holder["root"])
        if len(files) != 1:
            sys.exit(f"{label}: expected one datafile in {holder['root']}, found {files}")
        seed = os.path.join(self.scratch, f"seed-{label}")
        os.mkdir(seed)
        run.datafile = shutil.copy(os.path.join(holder["root"], files[0]), seed)
        return run

    def ours_unchanged(self, size, tree, md5, datafile):
        """Unchanged runs, each the second one in a row: they start from the datafile an
        unchanged run left after the first run's, whose two lists both hold the tree, as in
        interval mode over a tree that rarely changes."""
        label = f"ours-unchanged-{'md5' if md5 else 'size'}-{size}"
        script = os.path.join(self.scratch, label + ".scn")
        write_scenario(script, tree, md5, unchanged=True)
        root = self.fresh_dir(label + "-seed", datafile)
        Run(label + "-seed", [self.runner, "--root", root, script], cwd=root).once(self.scratch, timed=False)
        seed = os.path.join(self.scratch, f"steady-{label}")
        os.mkdir(seed)
        steady = shutil.copy(os.path.join(root, os.path.basename(datafile)), seed)
        run = Run(label, [self.runner, "--root", "{cwd}", script], lambda: self.fresh_dir(label, steady))
        run.datafile = steady
        return run

    def ours_changed(self, tree, datafile, tree_py):
        """One run after `tree.py mutate --changes 100`, from the unchanged runs' datafile.
        The kept tree is no longer the one its record names: the next invocation makes it
        again (a second mutation of it would also make the same new names and fail)."""
        label = "ours-changed-size-1M"
        os.remove(os.path.join(os.path.dirname(tree), "made-with.txt"))
        subprocess.run([sys.executable, tree_py, "mutate", tree, "--changes", "100",
                        "--expect", os.path.join(self.scratch, "mutated.txt")], check=True,
                       stdout=subprocess.DEVNULL)
        script = os.path.join(self.scratch, label + ".scn")
        write_scenario(script, tree, False, unchanged=False)
        run = Run(label, [self.runner, "--root", "{cwd}", script], lambda: self.fresh_dir(label, datafile))
        run.once(self.scratch)
        return run

    def find_walk(self, size, tree):
        return Run(f"find-{size}", ["find", tree, "-printf", "%s %p\\n"], cwd=self.scratch,
                   keep_output=False)

    def gtk_unchanged(self, size, tree, datafile):
        label = f"ours-gtk-unchanged-size-{size}"
        program = os.path.join(self.build, "bench", "tervala-gtk-run")
        return Run(label, [program, "--unchanged", tree], lambda: self.fresh_dir(label, datafile))

    def aide_pair(self, size, tree, md5):
        """aide --init and aide --check on the same configuration; the check starts from the
        database a warm-up init wrote."""
        label = f"{'md5' if md5 else 'size'}-{size}"
        work = os.path.join(self.scratch, f"aide-{label}")
        os.mkdir(work)
        conf = os.path.join(work, "aide.conf")
        write_aide_config(conf, work, tree, "p+s+md5" if md5 else "s")
        out_db = os.path.join(work, "out.db")

        def clear_out():
            if os.path.exists(out_db):
                os.remove(out_db)
            return work

        init = Run(f"aide-init-{label}", ["aide", "--config", conf, "--init"], clear_out)
        init.once(self.scratch, timed=False)
        check_aide_saw_tree(out_db, tree, size)
        shutil.copy(out_db, os.path.join(work, "in.db"))
        check = Run(f"aide-check-{label}", ["aide", "--config", conf, "--check"], cwd=work)
        check.once(self.scratch, timed=False)
        return init, check

    def run_rounds(self):
        for round_number in range(1, REPEATS + 1):
            for run in self.runs:
                seconds = run.once(self.scratch)
                log(f"  round {round_number} {run.name:34} {fmt_s(seconds):>8} s")

    def main(self):
        args = self.args
        size = "100K" if args.full or args.large else "10K"
        tree = make_tree(args.tree_py, args.data, size)
        big = make_big_file(args.data)
        big_tree = make_tree(args.tree_py, args.data, "1M") if args.large else None

        log("warming up (untimed): page cache, datafiles and databases to start from ...")
        ours_md5_file = Run("ours-md5-file", [os.path.join(self.build, "bench", "tervala-md5"), big])
        peer_md5_file = Run("md5sum", ["md5sum", big])
        digests = []
        for run in (ours_md5_file, peer_md5_file):
            run.once(self.scratch, timed=False)
            with open(os.path.join(self.scratch, "last-output.txt")) as f:
                digests.append(f.read().split()[0])
        if digests[0] != digests[1]:
            sys.exit(f"tervala-md5 and md5sum disagree: {digests}")

        first_size = self.ours_first(size, tree, md5=False)
        first_md5 = self.ours_first(size, tree, md5=True)
        aide_init_size, aide_check_size = self.aide_pair(size, tree, md5=False)
        aide_init_md5, aide_check_md5 = self.aide_pair(size, tree, md5=True)
        hashdeep = Run(f"hashdeep-{size}", ["hashdeep", "-c", "md5", "-j0", "-r", tree], cwd=self.scratch)
        hashdeep.once(self.scratch, timed=False)
        unchanged_size = self.ours_unchanged(size, tree, False, first_size.datafile)
        unchanged_md5 = self.ours_unchanged(size, tree, True, first_md5.datafile)
        gtk = self.gtk_unchanged(size, tree, unchanged_size.datafile)
        find = self.find_walk(size, tree)
        for run in (unchanged_size, unchanged_md5, gtk, find):
            run.once(self.scratch, timed=False)

        self.runs = [ours_md5_file, peer_md5_file,
                     first_size, aide_init_size, first_md5, aide_init_md5, hashdeep,
                     unchanged_size, aide_check_size, find, unchanged_md5, aide_check_md5, gtk]
        big_unchanged = None
        if big_tree:
            log("warming up the 1M tree (one untimed first run, one unchanged run) ...")
            big_first = self.ours_first("1M", big_tree, md5=False)
            big_unchanged = self.ours_unchanged("1M", big_tree, False, big_first.datafile)
            big_find = self.find_walk("1M", big_tree)
            for run in (big_unchanged, big_find):
                run.once(self.scratch, timed=False)
            self.runs += [big_unchanged, big_find]

        log(f"timing {REPEATS} rounds, ours and peers alternating ({size} tree) ...")
        self.run_rounds()

        big_changed = self.ours_changed(big_tree, big_unchanged.datafile, args.tree_py) if big_tree else None

        log(f"\n{'run':36} {'median s':>9} {'min s':>8} {'max s':>8} {'peak MiB':>9} {'written MiB':>12}")
        for run in self.runs + ([big_changed] if big_changed else []):
            log(f"{run.name:36} {fmt_s(run.median()):>9} {fmt_s(min(run.seconds)):>8} "
                f"{fmt_s(max(run.seconds)):>8} {max(run.peak_mib):9.1f} {run.median_written():12.1f}")
        log("")

        def line(name, ours, peer, target=""):
            a, b = ours.median(), peer.median()
            log(f"{name}: {a / b:.2f} (ours {fmt_s(a)} s, peer {fmt_s(b)} s{target})")

        line("md5-vs-md5sum", ours_md5_file, peer_md5_file)
        line("first-run-size-vs-aide-init", first_size, aide_init_size)
        line("first-run-md5-vs-aide-init", first_md5, aide_init_md5)
        line("unchanged-run-size-vs-aide-check", unchanged_size, aide_check_size)
        line("unchanged-run-md5-vs-aide-check", unchanged_md5, aide_check_md5)
        line("md5-run-vs-hashdeep", first_md5, hashdeep)
        line("gtk-vs-headless", gtk, unchanged_size)
        line("unchanged-run-size-vs-find", unchanged_size, find, "; target <= 1.5")
        log(f"unchanged-run-written-MiB: {unchanged_size.median_written():.1f} (target <= 1)")
        log(f"unchanged-run-md5-written-MiB: {unchanged_md5.median_written():.1f} (target <= 1)")
        if big_unchanged:
            line("scale-1M-vs-100K", big_unchanged, unchanged_size)
            line("unchanged-run-size-vs-find-1M", big_unchanged, big_find, "; target <= 1.5")
            log(f"unchanged-run-written-MiB-1M: {big_unchanged.median_written():.1f} (target <= 1)")
            datafile_mib = os.path.getsize(big_unchanged.datafile) / 2**20
            log(f"changed-run-written-vs-datafile-1M: {big_changed.median_written() / datafile_mib:.2f} "
                f"({big_changed.median_written():.0f} MiB written, datafile {datafile_mib:.0f} MiB; "
                "target <= 2.2)")
            log(f"peak-memory-1M-MiB: {max(big_unchanged.peak_mib):.1f} "
                f"(100K: {max(unchanged_size.peak_mib):.1f} MiB; target <= 250)")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--build", required=True, help="the Release build folder")
    ap.add_argument("--tree-py", required=True, help="the tree generator")
    ap.add_argument("--data", required=True, help="where trees and the 1 GiB file are kept between invocations")
    ap.add_argument("--full", action="store_true", help="the 100K tree instead of the 10K one")
    ap.add_argument("--large", action="store_true", help="the 100K tree and a 1M tree of empty files")
    args = ap.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("no DISPLAY: run this under xvfb-run -a (scripts/bench does)")
    args.build = os.path.abspath(args.build)
    args.data = os.path.abspath(args.data)
    os.makedirs(args.data, exist_ok=True)
    bench = Bench(args)
    try:
        bench.main()
    finally:
        shutil.rmtree(bench.scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
