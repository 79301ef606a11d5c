#!/usr/bin/env python3
"""inject_test.py CLI TREE_PY syscalls [--all] [--jobs J] [--only 'STATE [SYSCALL [ERRNO [N]]]']
   inject_test.py CLI TREE_PY signals [--runs N] [--seed S]

tervala-cli under failing system calls and signals. Every point is judged the same way,
together with the normal run that follows it on the same datafile and log:

- the datafile is the old list or the new one, whole (`pragma integrity_check`); a run
  that said it skipped something may keep old rows for what it could not examine;
- the log is its old bytes followed by whole change lines of the run, never cut, and after
  the next run its old bytes followed by every line owed to it once;
- the standard output of both runs holds every change line once, except that after a
  failed save the next run reports the unsaved changes again, as it must, and that a file
  marked unreadable is reported changed then and again once it can be read;
- the exit status is honest: 0 or 1 only for a run that delivered everything, 2 only with
  a message on standard error (or after a broken pipe), 130 or 143 after SIGINT or
  SIGTERM; never a crash or a hang.

syscalls: strace (`strace -f -e inject=SYSCALL:error=ERRNO:when=N`) fails the Nth call of
one system call in every thread, in four states: a first run, a changed run with a log, a
changed digest run, and a start with log lines owed by an earlier run whose log write
failed. Calls are counted twice, in a run without faults: all calls after the dynamic
loader's (failing those only stops the program from starting), and, as SYSCALL@files,
only the calls that name or use the tree's entries and the program's own files (strace
-P), which reaches a worker thread's first calls that the loader's hide in the first
count. By default a sample runs: every call of the system calls that write files, every
STRIDE-th call of the others, one errno each; --all runs every call with every errno of
the table; --only shows a single point whole.

signals: SIGINT, SIGTERM or SIGHUP at a random moment of a run over a larger tree, half
with a log and half without, each after a random change of the tree.

It prints `N points, M faulty` and, for the faulty ones, what went wrong where. ctest runs
both unless the build is configured with -DTERVALA_INJECTION_TESTS=OFF."""
import argparse
import collections
import copy
import concurrent.futures
import itertools
import os
import random
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fault_support import (SKIPPED, Failure, decode_log, expected_lines,  # noqa: E402
                           log_change_lines, tree_py)

# System call, the errnos it is failed with (the first one in the sample), and whether it
# writes files: those are failed at every call in the sample too.
SYSCALLS = [
    ("openat", ["EACCES", "EIO", "EMFILE"], False),
    ("read", ["EIO", "EINTR"], False),
    ("pread64", ["EIO"], False),
    ("write", ["EIO", "ENOSPC", "EINTR", "EPIPE"], True),
    ("pwrite64", ["ENOSPC", "EIO"], True),
    ("fsync", ["EIO"], True),
    ("fdatasync", ["EIO"], True),
    ("rename", ["EIO", "ENOSPC"], True),
    ("unlink", ["EIO", "EACCES"], True),
    ("ftruncate", ["EIO"], True),
    ("fchown", ["EPERM"], True),
    ("fchmod", ["EPERM"], True),
    ("flock", ["ENOLCK", "EINTR"], False),
    ("fcntl", ["ENOLCK", "EINTR"], False),
    ("newfstatat", ["EIO", "EACCES", "ENOMEM"], False),
    ("getdents64", ["EIO"], False),
    ("close", ["EIO"], False),
    ("lseek", ["EIO"], False),
    ("clone3", ["EAGAIN"], False),
    ("readlink", ["EIO"], False),
    ("getcwd", ["ENOENT"], False),
]
UNREADABLE = "-1"
STATES = ("first-run", "changed-log", "changed-md5", "owed-log")
STRIDE = 4
TIMEOUT = 60
NEW_LINE = re.compile(r"^\w+ New (?:file|dir): (.*)$")
ORDINARY_STATUS = re.compile(r"^Dir log (run started|run complete|run aborted|"
                             r"interval run #\d+ (started|complete))$")
STOP_SIGNALS = {signal.SIGINT: 130, signal.SIGTERM: 143, signal.SIGHUP: 129}
OLD_LOG = "".join(f"01 Jan 2020 00:00:00 - New file: /old/history/f{n}.txt\r\n"
                  for n in range(5)).encode("latin-1")


class Outcome:
    """One run of the program: its exit status ("hang" when it did not end), standard
    output and error, and what it left: the datafile's rows (None when there is none, a
    text when it is broken) and the log's bytes. send(process) may signal it meanwhile."""

    def __init__(self, state, argv, send=None):
        process = subprocess.Popen(argv, cwd=state.home, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, start_new_session=True)
        if send:
            send(process)
        try:
            self.stdout, self.stderr = process.communicate(timeout=TIMEOUT)
            self.status = process.returncode
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            self.stdout, self.stderr = process.communicate()
            self.status = "hang"
        self.rows = datafile_rows(state.path("data.db"))
        self.log = read_bytes(state.path("changes.log"))
        self.messages = [l for l in self.stderr.decode("utf-8", "replace").splitlines()
                         if not ORDINARY_STATUS.match(l)]


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def datafile_rows(path):
    """The datafile's list as a set of rows, checked on a copy so that a hot journal is
    rolled back there and not under the next run."""
    if not os.path.exists(path):
        return None
    with tempfile.TemporaryDirectory() as scratch:
        for suffix in ("", "-journal", "-wal"):
            if os.path.exists(path + suffix):
                shutil.copy(path + suffix, os.path.join(scratch, "copy.db" + suffix))
        try:
            with sqlite3.connect(os.path.join(scratch, "copy.db")) as db:
                check = db.execute("pragma integrity_check").fetchall()
                if check != [("ok",)]:
                    return f"a broken datafile ({check[0][0]})"
                return frozenset(db.execute("select file, ident from allist"))
        except sqlite3.Error as error:
            return f"a datafile that does not open ({error})"


def stdout_lines(data, mode):
    text = data.decode("utf-8", "surrogateescape")
    return collections.Counter(log_change_lines(text, mode, "\n", "standard output"))


def log_additions(log, old, mode):
    log, old = log or b"", old or b""
    if not log.startswith(old):
        raise Failure("the log lost its history")
    try:
        return collections.Counter(log_change_lines(decode_log(log[len(old):]), mode))
    except Failure as failure:
        raise Failure(f"the log is cut: {failure}") from None


def judge(state, faulted, following, new_rows, stop_signal=None, quiet=False):
    """What went wrong at one point, as a list of short texts; empty when nothing did.
    quiet: an error may end the run without a message (a reader of the report that has
    gone is told nothing)."""
    if faulted.status == "hang":
        return ["hang"]
    # A file that could not be read to its end is marked unreadable: reported changed then,
    # and changed again when it is read. Its rows and lines are left out of the judgement.
    marked = unreadable_files(faulted.rows, new_rows)
    if marked:
        state, faulted, following = (leave_out(x, marked) for x in (state, faulted, following))
        new_rows = leave_out_rows(new_rows, marked)
    skipped = any(m.endswith(", skipping") for m in faulted.messages)
    symptoms = datafile_symptoms(state, faulted.rows, new_rows, skipped)
    try:
        now = stdout_lines(faulted.stdout, state.mode)
        symptoms += delivery_symptoms(state, faulted, following, now, new_rows, skipped)
        logged = log_additions(faulted.log, state.log, state.mode) if state.logged is not None else None
        symptoms += honesty(state, faulted, now, logged, new_rows, stop_signal, quiet)
    except Failure as failure:
        symptoms.append(str(failure))
    if following.rows != new_rows or following.status not in (0, 1) or following.messages:
        symptoms.append(f"the next run did not end well ({following.status}: {following.messages})")
    return symptoms


def unreadable_files(rows, new_rows):
    if not isinstance(rows, frozenset):
        return set()
    return {path for path, ident in rows - new_rows if ident == UNREADABLE}


def leave_out_rows(rows, paths):
    return frozenset(r for r in rows if r[0] not in paths) if isinstance(rows, frozenset) else rows


def leave_out(thing, paths):
    """A copy of a state or an outcome without the rows and change lines of paths."""
    ends = tuple(": " + path for path in paths)
    thing = copy.copy(thing)
    thing.rows = leave_out_rows(thing.rows, paths)
    for name, encoding, line_end in (("stdout", "utf-8", b"\n"), ("log", "latin-1", b"\r\n")):
        data = getattr(thing, name, None)
        if data:
            lines = data.split(line_end)
            kept = [l for l in lines[:-1] if not l.endswith(tuple(e.encode(encoding) for e in ends))]
            setattr(thing, name, b"".join(l + line_end for l in kept) + lines[-1])
    for name in ("printed", "logged"):
        lines = getattr(thing, name, None)
        if lines is not None:
            setattr(thing, name, collections.Counter(
                {line: n for line, n in lines.items() if not line.endswith(ends)}))
    return thing


def datafile_symptoms(state, rows, new_rows, skipped):
    if isinstance(rows, str):
        return [rows]
    # What a run could not examine keeps its old rows.
    mixed = skipped and rows is not None and rows <= new_rows | (state.rows or frozenset())
    return [] if rows in (state.rows, new_rows) or mixed else ["datafile neither old nor new"]


def delivery_symptoms(state, faulted, following, now, new_rows, skipped):
    """Every line owed to standard output and to the log reaches it once over both runs.
    After a failed save the next run reports the unsaved changes again, as it must."""
    saved = faulted.rows != state.rows or state.rows == new_rows
    later = stdout_lines(following.stdout, state.mode)
    expected = state.printed + (collections.Counter() if saved else now)
    if skipped:
        # What a run skipped and no earlier list held is new to the next run.
        known = {path for path, _ in state.rows or ()}
        expected = expected + collections.Counter(
            line for line in (now + later - expected).elements()
            if NEW_LINE.match(line) and NEW_LINE.match(line).group(1) not in known)
    symptoms = []
    if now + later != expected or (not saved and later != state.printed):
        symptoms.append("lines lost" if +(expected - now - later) else "lines repeated")
    if state.logged is not None:
        logged = log_additions(faulted.log, state.log, state.mode)
        owed = state.logged if saved else state.logged + (logged & state.printed)
        added = log_additions(following.log, state.log, state.mode)
        if added != owed:
            symptoms.append("log lost lines" if +(owed - added) else "log repeated lines")
    return symptoms


def honesty(state, run, printed, logged, new_rows, stop_signal, quiet):
    """Whether the exit status says what the run did."""
    status = run.status
    if status in (0, 1):
        if run.messages or run.rows != new_rows or printed != state.printed or logged != state.logged:
            return [f"exit {status} for a run that did not deliver everything"]
        return [] if status == (1 if printed else 0) else [f"exit {status} after {sum(printed.values())} lines"]
    if status == 2:
        return [] if run.messages or quiet else ["exit 2 without a message"]
    if stop_signal and status in (STOP_SIGNALS.get(stop_signal), -stop_signal):
        return []
    return [f"crashed: exit {status} {run.messages[-1:]}"]


class State:
    """A tree, its datafile and log as a run finds them, and what that run owes: the
    lines for standard output and those for the log (None without a log)."""

    def __init__(self, args, home, name, files=20, changes=6):
        self.cli, self.tree_script, self.changes = args.cli, args.tree_py, changes
        self.home = os.path.join(home, name)
        self.mode = "md5" if "md5" in name else "size"
        self.options = ["-d", "data.db"] + (["-m"] if self.mode == "md5" else [])
        self.options += ["-l", "changes.log"] if "log" in name else []
        os.makedirs(self.home)
        tree_py(self.tree_script, "make", self.path("tree"), "--files", str(files),
                "--dirs", str(files // 5), "--max-size", "3000", "--seed", "3")
        self.printed, self.logged = collections.Counter(), None
        self.name = name
        self.start_over()
        if name in STATES[1:]:
            owed = self.owe_log_lines() if name == "owed-log" else None
            self.mutate(5)
            if owed:
                self.logged = owed + self.logged
        self.take_stock()

    def path(self, name):
        return os.path.join(self.home, name)

    def argv(self):
        return [self.cli, *self.options, self.path("tree")]

    def run(self, prefix=()):
        return Outcome(self, [*prefix, *self.argv()])

    def mutate(self, seed):
        """Changes the tree; the next run owes its lines."""
        expect = self.path("expect.txt")
        tree_py(self.tree_script, "mutate", self.path("tree"), "--changes", str(self.changes),
                "--seed", str(seed), "--expect", expect)
        lines = collections.Counter(expected_lines(expect, self.mode))
        os.remove(expect)
        self.printed = lines
        self.logged = lines if "-l" in self.options else None

    def mutate_drawn(self, rng):
        """Changes the tree with a drawn seed. A change can meet a name an earlier one made,
        and the generator then fails half-way: the tree is put back and another seed drawn."""
        tree, kept = self.path("tree"), self.path("tree.kept")
        shutil.copytree(tree, kept, symlinks=True)
        while True:
            try:
                self.mutate(rng.randrange(1 << 30))
                break
            except subprocess.CalledProcessError:
                shutil.rmtree(tree)
                shutil.copytree(kept, tree, symlinks=True)
        shutil.rmtree(kept)

    def owe_log_lines(self):
        """A run whose log write fails (a directory stands where the log's new copy goes)
        leaves its lines owed to the log; they are returned."""
        self.mutate(4)
        os.mkdir(self.path("changes.log.partial"))
        earlier = self.run()
        os.rmdir(self.path("changes.log.partial"))
        if not any("Failed to write log file" in m for m in earlier.messages):
            raise Failure(f"the log write that was to fail did not: {earlier.messages}")
        return self.logged

    def own_paths(self):
        """The tree's entries and the files the program keeps beside its datafile and log,
        by the relative names the program is given too."""
        tree = [os.path.join(top, name) for top, dirs, files in os.walk(self.path("tree"))
                for name in [".", *dirs, *files]]
        own = [name + suffix for name in ("data.db", "changes.log")
               for suffix in ("", "-journal", "-unlogged", "-unlogged.partial", ".partial")]
        return [os.path.normpath(p) for p in tree] + own + [self.path(name) for name in own]

    def take_stock(self):
        """What the run finds is what is there now: restore() puts it back."""
        self.saved = {n: read_bytes(self.path(n)) for n in os.listdir(self.home) if n != "tree"}
        self.rows = datafile_rows(self.path("data.db"))
        self.log = self.saved.get("changes.log")

    def start_over(self):
        """A datafile of the tree as it is, and a log with a history."""
        self.remove_all_but_the_tree()
        if self.name != "first-run":
            self.run()
        # The owed lines' log is a new one: a log file put back by restore() is another
        # file to the program, which holds that a log written since has the lines.
        if self.name in ("changed-log", "signals-log"):
            with open(self.path("changes.log"), "wb") as f:
                f.write(OLD_LOG)

    def remove_all_but_the_tree(self):
        for name in os.listdir(self.home):
            if name != "tree":
                path = self.path(name)
                shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)

    def restore(self):
        self.remove_all_but_the_tree()
        for name, data in self.saved.items():
            with open(self.path(name), "wb") as f:
                f.write(data)


class Worker:
    """The four states in a folder of their own, each with the new list a run without
    faults leaves; one worker per process."""

    def __init__(self, args, home):
        self.states = {}
        for name in STATES:
            state = State(args, home, name)
            clean = state.run()
            faults = judge(state, clean, state.run(), clean.rows)
            state.restore()
            if faults or clean.status not in (0, 1):
                raise Failure(f"{name}: a run without faults is judged faulty: {faults}")
            state.new_rows = clean.rows
            self.states[name] = state

    def count_calls(self, state_name, scope):
        """The calls of each system call in its busiest thread after the loader, and the
        loader's own count in the main thread."""
        state = self.states[state_name]
        trace = state.path("trace.txt")
        names = ",".join(s for s, _, _ in SYSCALLS) + ",munmap"
        state.run(strace(state, scope, "-o", trace, "-e", f"trace={names}"))
        with open(trace, encoding="utf-8", errors="replace") as f:
            lines = [l.split(None, 2)[:2] for l in f if "resumed>" not in l and "+++" not in l]
        state.restore()
        main, loader_done = lines[0][0], scope == "files"
        counts, loader = collections.Counter(), collections.Counter()
        for pid, call in lines:
            call = call.split("(")[0]
            loader_done = loader_done or (pid == main and call == "munmap")
            counts[pid, call] += 1
            if pid == main and not loader_done:
                loader[call] += 1
        return {s: (loader[s], max((n for (_, c), n in counts.items() if c == s), default=0))
                for s, _, _ in SYSCALLS}

    def inject(self, point):
        state_name, scoped_call, errno, n = point
        call, _, scope = scoped_call.partition("@")
        state = self.states[state_name]
        state.restore()
        faulted = state.run(strace(state, scope, "-o", "/dev/null", "--seccomp-bpf", "-e",
                                   f"trace={call}", "-e", f"inject={call}:error={errno}:when={n}"))
        following = Outcome(state, state.argv())
        self.last_runs = faulted, following
        return point, judge(state, faulted, following, state.new_rows, quiet=errno == "EPIPE")


def strace(state, scope, *options):
    """strace -f over every call, or with scope "files" over the calls that name or use
    the tree's entries and the program's own files (-P): no loader's calls are among
    those, so that a worker thread's first calls are reached too."""
    paths = state.own_paths() if scope == "files" else []
    return ["strace", "-f", "--quiet=all", *(a for p in paths for a in ("-P", p)), *options]


WORKER = None


def start_worker(args, home):
    global WORKER
    WORKER = Worker(args, tempfile.mkdtemp(prefix="worker-", dir=home))


def inject_point(point):
    return WORKER.inject(point)


def points(worker, every):
    for state, scope in itertools.product(worker.states, ("", "files")):
        for call, (loader, busiest) in worker.count_calls(state, scope).items():
            entry = next(e for e in SYSCALLS if e[0] == call)
            call += f"@{scope}" if scope else ""
            errnos = entry[1] if every else entry[1][:1]
            # The sample's stride starts at another call in each state.
            step = 1 if every or entry[2] else STRIDE
            first = loader + 1 + len(state) % step
            for errno in errnos:
                for n in range(first, busiest + 1, step):
                    yield state, call, errno, n


def run_syscalls(args, home):
    start_worker(args, home)
    todo = [p for p in points(WORKER, args.all)
            if f"{' '.join(map(str, p))} ".startswith(f"{args.only} ".lstrip())]
    if len(todo) == 1:
        show(WORKER, todo[0])
    print(f"{len(todo)} points over {len(SYSCALLS)} system calls in {len(WORKER.states)} states",
          flush=True)
    faulty = collections.defaultdict(list)
    with concurrent.futures.ProcessPoolExecutor(
            args.jobs, initializer=start_worker, initargs=(args, home)) as pool:
        for (state, call, errno, n), symptoms in pool.map(inject_point, todo, chunksize=4):
            for symptom in symptoms:
                faulty[state, call, errno, symptom].append(n)
    for (state, call, errno, symptom), calls in sorted(faulty.items()):
        print(f"  {state} {call} {errno} at calls {compact(calls)}: {symptom}")
    bad = len({(s, c, e, n) for (s, c, e, _), ns in faulty.items() for n in ns})
    return len(todo), bad


def show(worker, point):
    """What the point and the run after it wrote, for a closer look."""
    worker.inject(point)
    state = worker.states[point[0]]
    for name, run in zip(("faulted", "next"), worker.last_runs):
        print(f"{name} run: exit {run.status}\n{run.stdout.decode()}{run.stderr.decode()}"
              f"log: {(run.log or b'')[len(state.log or b''):].decode('latin-1')}")
    print(f"owed to stdout: {sorted(state.printed)}\nowed to the log: {sorted(state.logged or [])}")


def compact(numbers):
    """1,2,3,7 as 1-3,7."""
    runs = []
    for n in sorted(set(numbers)):
        if runs and n == runs[-1][1] + 1:
            runs[-1][1] = n
        else:
            runs.append([n, n])
    return ",".join(str(a) if a == b else f"{a}-{b}" for a, b in runs)


def run_signals(args, home):
    """Each run follows a random change of the tree; the signal comes at a random moment
    of it (a run that ends first is judged as a whole run)."""
    rng = random.Random(args.seed)
    print(f"signals drawn with seed {args.seed} (TERVALA_FAULT_SEED={args.seed} repeats them)")
    faulty = ended = 0
    for name in ("signals-log", "signals"):
        state = State(args, home, name, files=2000, changes=40)
        started = time.monotonic()
        state.run()
        duration = time.monotonic() - started
        for _ in range(args.runs // 2):
            state.mutate_drawn(rng)
            state.take_stock()
            sig = rng.choice([signal.SIGINT, signal.SIGTERM, signal.SIGHUP])
            delay = rng.uniform(0, duration)
            faulted = interrupted(state, sig, delay)
            ended += faulted.status not in (0, 1) or "Dir log run aborted" in faulted.stderr.decode()
            following = state.run()
            symptoms = judge(state, faulted, following, following.rows, sig)
            if symptoms:
                faulty += 1
                print(f"  {name}: {sig.name} after {delay * 1000:.0f} ms: {'; '.join(symptoms)}")
                # What the fault left is not the next run's to answer for.
                state.start_over()
    print(f"{ended} of {args.runs // 2 * 2} runs were ended by the signal")
    return args.runs // 2 * 2, faulty


def interrupted(state, sig, delay):
    def send(process):
        try:
            process.wait(timeout=delay)
        except subprocess.TimeoutExpired:
            process.send_signal(sig)
    return Outcome(state, state.argv(), send)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("tree_py")
    parser.add_argument("driver", choices=["syscalls", "signals"])
    parser.add_argument("--all", action="store_true", help="every call with every errno")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--only", default="", metavar="'STATE [SYSCALL [ERRNO [N]]]'",
                        help="syscalls: only the points that begin so; one point is shown whole")
    parser.add_argument("--runs", type=int, default=12, help="signals: interrupted runs")
    parser.add_argument("--seed", type=int, default=int(os.environ.get("TERVALA_FAULT_SEED", "0"))
                        or random.SystemRandom().randrange(1, 1 << 30))
    args = parser.parse_args()
    args.cli = os.path.abspath(args.cli)
    if not os.path.isfile(args.tree_py):
        print(f"skipped: the tree builder {args.tree_py} is not there")
        return SKIPPED
    if args.driver == "syscalls" and not shutil.which("strace"):
        print("skipped: strace is not installed (scripts/setup installs it)")
        return SKIPPED
    home = tempfile.mkdtemp(prefix="tervala-inject-")
    try:
        total, faulty = (run_syscalls if args.driver == "syscalls" else run_signals)(args, home)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        shutil.rmtree(home, ignore_errors=True)
    print(f"{total} points, {faulty} faulty")
    return 1 if faulty else 0


if __name__ == "__main__":
    sys.exit(main())
