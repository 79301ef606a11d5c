#!/usr/bin/env python3
"""cli_test.py CLI RUNNER

tervala-cli as a program on real trees: its standard output, standard error, exit status
and datafile through first runs, changes, errors, interrupts and bad arguments, and its
datafiles read by the scenario runner (the window's main routine) and the other way round."""
import fcntl
import json
import os
import pty
import re
import select
import shutil
import sqlite3
import signal
import subprocess
import sys
import tempfile
import time

CLI, RUNNER = (os.path.abspath(program) for program in sys.argv[1:3])
# The thread sanitizer holds a signal back until the blocked call it interrupted returns.
with open(CLI, "rb") as program:
    THREAD_SANITIZER = b"__tsan_init" in program.read()
TEXT_LINE = re.compile(rb"^\d\d [A-Z][a-z]{2} \d{4} \d\d:\d\d:\d\d - "
                       rb"(New file|New dir|File changed|File removed|Dir removed): (.*)$")
ISO_TIME = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$")
JSON_NAMES = {"new file": b"New file", "new dir": b"New dir", "file changed": b"File changed",
              "file removed": b"File removed", "dir removed": b"Dir removed"}
failures = []
checks = 0


def check(condition, message):
    global checks
    checks += 1
    if not condition:
        failures.append(message)
    return condition


def cli(*args, cwd):
    return subprocess.run([CLI, *args], cwd=cwd, capture_output=True, timeout=60)


def write(path, data=b"x"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def derived_datafile(work, tree):
    """The name the window derives from the monitored directory, in the launch directory."""
    return os.path.join(work, re.sub(r"[\\/ :]", "_", tree))


def text_changes(stdout):
    """Change lines of text output as (kind, path bytes); None for any other line."""
    found = []
    for line in stdout.split(b"\n")[:-1]:
        match = TEXT_LINE.match(line)
        found.append((match.group(1), match.group(2)) if match else None)
    return found


def json_changes(stdout):
    found = []
    for line in stdout.decode("utf-8").split("\n")[:-1]:
        change = json.loads(line)
        check(set(change) == {"time", "change", "path"} and ISO_TIME.match(change["time"]),
              f"json: an object of another shape: {line!r}")
        found.append((JSON_NAMES.get(change["change"]), os.fsencode(change["path"])))
    return found


def make_tree(work):
    tree = os.path.join(work, "my tree")
    write(os.path.join(tree, "keep.txt"), b"same")
    write(os.path.join(tree, "grow.txt"), b"abc")
    write(os.path.join(tree, "gone.txt"), b"x")
    write(os.path.join(tree, "old", "f.txt"), b"f")
    return tree


def change_tree(tree):
    """Every kind of change; the changes a logger must report, as (kind, path bytes)."""
    write(os.path.join(tree, "grow.txt"), b"abcdef")
    os.remove(os.path.join(tree, "gone.txt"))
    shutil.rmtree(os.path.join(tree, "old"))
    write(os.path.join(tree, "new", "n.txt"), b"n")
    bad = os.fsencode(tree) + b"/bad\xff \"name\".txt"
    with open(bad, "wb") as f:
        f.write(b"b")
    t = os.fsencode(tree)
    return sorted([(b"File changed", t + b"/grow.txt"), (b"File removed", t + b"/gone.txt"),
                   (b"Dir removed", t + b"/old"), (b"File removed", t + b"/old/f.txt"),
                   (b"New dir", t + b"/new"), (b"New file", t + b"/new/n.txt"),
                   (b"New file", bad)])


def test_first_run_changes_and_unchanged_tree(work):
    tree = make_tree(work)
    datafile = derived_datafile(work, tree)
    # DIR relative and with a separator at its end: kept as the window keeps it.
    first = cli("my tree/", cwd=work)
    check(first.returncode == 0 and first.stdout == b"",
          f"first run: status {first.returncode}, stdout {first.stdout!r}")
    check(first.stderr == b"Dir log run started\nDir log interval run #1 complete\n"
                          b"Dir log run complete\n", f"first run: stderr {first.stderr!r}")
    check(os.path.isfile(datafile), f"first run: no datafile {datafile}")

    expected = change_tree(tree)
    shutil.copy(datafile, os.path.join(work, "copy.db"))
    text = cli(tree, cwd=work)
    check(text.returncode == 1, f"changes in text: status {text.returncode}")
    check(sorted(text_changes(text.stdout)) == expected,
          f"changes in text: {text.stdout!r}, expected {expected!r}")
    as_json = cli("--json", "-d", "copy.db", tree, cwd=work)
    check(as_json.returncode == 1, f"changes in JSON: status {as_json.returncode}")
    check(sorted(json_changes(as_json.stdout)) == expected,
          f"changes in JSON: {as_json.stdout!r}, expected {expected!r}")

    again = cli(tree, cwd=work)
    check(again.returncode == 0 and again.stdout == b"",
          f"unchanged: status {again.returncode}, stdout {again.stdout!r}")


def test_errors_exit_2(work):
    tree = make_tree(work)
    datafile = os.path.join(work, "corrupt.db")
    write(datafile, b"this is no database at all\n" * 100)
    done = cli("-d", datafile, tree, cwd=work)
    check(done.returncode == 2 and done.stdout == b"",
          f"corrupt datafile: status {done.returncode}, stdout {done.stdout!r}")
    check(b"Datafile ERROR! (Please delete old datafile prior to v1.3)\n" in done.stderr,
          f"corrupt datafile: stderr {done.stderr!r}")
    quiet = cli("-q", "-d", datafile, tree, cwd=work)
    check(quiet.returncode == 2 and
          quiet.stderr == b"Datafile ERROR! (Please delete old datafile prior to v1.3)\n",
          f"corrupt datafile, quiet: status {quiet.returncode}, stderr {quiet.stderr!r}")
    check(read(datafile) == b"this is no database at all\n" * 100,
          "corrupt datafile: the datafile was changed")

    # A log file that cannot be written: the run goes on, the datafile is saved.
    cli("-d", "log.db", tree, cwd=work)
    write(os.path.join(tree, "more.txt"))
    done = cli("-d", "log.db", "-l", os.path.join(work, "no dir", "log.txt"), tree, cwd=work)
    check(done.returncode == 2 and len(text_changes(done.stdout)) == 1,
          f"unwritable log: status {done.returncode}, stdout {done.stdout!r}")
    check(b"Failed to write log file" in done.stderr, f"unwritable log: {done.stderr!r}")


def test_log_file_is_not_reprinted(work):
    tree = make_tree(work)
    log = os.path.join(work, "changes.log")
    cli("-l", log, tree, cwd=work)
    check(not os.path.exists(log), "log: a first run wrote the log file")
    write(os.path.join(tree, "one.txt"))
    first = cli("-l", log, tree, cwd=work)
    write(os.path.join(tree, "two.txt"))
    second = cli("-l", log, tree, cwd=work)
    check([c[1] for c in text_changes(second.stdout)] == [os.fsencode(tree) + b"/two.txt"],
          f"log: the second run printed {second.stdout!r}")
    check(read(log) == (first.stdout + second.stdout).replace(b"\n", b"\r\n"),
          f"log: the log file holds {read(log)!r}")


def start(args, cwd):
    return subprocess.Popen([CLI, *args], cwd=cwd, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)


def await_status(process, text):
    """Reads standard error up to the status line; what was read."""
    seen = b""
    while True:
        line = process.stderr.readline()
        seen += line
        if not line or line == text + b"\n":
            return seen


def test_interrupts(work):
    tree = make_tree(work)
    cli("--md5", "-d", "big.db", tree, cwd=work)
    before = read(os.path.join(work, "big.db"))
    # A file whose digest takes long enough to be interrupted in the scan (tens of seconds).
    with open(os.path.join(tree, "big.bin"), "wb") as f:
        f.truncate(16 << 30)
    for sig in (signal.SIGINT, signal.SIGTERM):
        process = start(["--md5", "-d", "big.db", tree], work)
        await_status(process, b"Dir log run started")
        time.sleep(0.5)
        process.send_signal(sig)
        sent = time.monotonic()
        stdout, stderr = process.communicate(timeout=120)
        check(time.monotonic() - sent < 10, f"{sig.name}: the stop waited for the digest")
        check(process.returncode == 128 + sig and stdout == b"" and stderr == b"Dir log run aborted\n",
              f"{sig.name} in the scan: status {process.returncode}, {stdout!r}, {stderr!r}")
        check(read(os.path.join(work, "big.db")) == before, f"{sig.name}: the datafile changed")


def test_interval_runs_until_interrupted(work):
    tree = make_tree(work)
    cli(tree, cwd=work)
    write(os.path.join(tree, "added.txt"))
    process = start(["--interval", "0", tree], work)
    seen = await_status(process, b"Dir log interval run #3 started")
    process.send_signal(signal.SIGINT)
    stdout, stderr = process.communicate(timeout=60)
    check(b"Dir log interval run #2 complete\n" in seen and stderr.endswith(b"Dir log run aborted\n"),
          f"interval: stderr {seen + stderr!r}")
    check(process.returncode == 130 and
          text_changes(stdout) == [(b"New file", os.fsencode(tree) + b"/added.txt")],
          f"interval: status {process.returncode}, stdout {stdout!r}")


def scenario(work, text):
    path = os.path.join(work, "s.scn")
    with open(path, "w", encoding="utf-8") as f:
        f.write("timeout 120\n" + text + "menu exit\n")
    done = subprocess.run([RUNNER, "--root", work, path], capture_output=True, timeout=300)
    check(done.returncode == 0, f"scenario: {done.stdout + done.stderr!r}\n{text}")


def test_datafiles_cross_front_ends(work):
    tree = make_tree(work)
    cli("-d", "cli.db", tree, cwd=work)
    write(os.path.join(tree, "after cli.txt"))
    scenario(work, f"answer-dir \"{tree}\"\nclick browse\nanswer-file {work}/cli.db\n"
                   "click datafile-save\nclick startstop\nexpect-status \"Dir log run complete\"\n"
                   f"expect-report\n<T> - New file: {tree}/after cli.txt\nend\n")

    # The window's derived datafile, found by the program under the same name.
    scenario(work, f"answer-dir \"{tree}\"\nclick browse\nclick startstop\n"
                   "expect-status \"Dir log run complete\"\n")
    write(os.path.join(tree, "after window.txt"))
    done = cli(tree, cwd=work)
    check(done.returncode == 1 and text_changes(done.stdout) ==
          [(b"New file", os.fsencode(tree) + b"/after window.txt")],
          f"a datafile of the window: status {done.returncode}, {done.stdout!r}")


def test_standard_error_forms(work):
    tree = make_tree(work)
    quiet = cli("-q", tree, cwd=work)
    check(quiet.returncode == 0 and quiet.stderr == b"", f"--quiet: {quiet.stderr!r}")
    for args, shown in ((["-d", "tty.db", tree], True), (["-q", "-d", "tty2.db", tree], False)):
        master, slave = pty.openpty()
        process = subprocess.Popen([CLI, *args], cwd=work, stdout=subprocess.PIPE, stderr=slave)
        os.close(slave)
        terminal = b""
        while True:
            ready, _, _ = select.select([master], [], [], 60)
            try:
                chunk = os.read(master, 4096) if ready else b""
            except OSError:
                chunk = b""
            if not chunk:
                break
            terminal += chunk
        os.close(master)
        process.wait(timeout=60)
        has_bar = re.search(rb"\r\[[#.]{20}\] +\d+% ", terminal) is not None
        check(has_bar == shown, f"a terminal with {args[:-1]}: {terminal!r}")


def test_bad_arguments(work):
    tree = make_tree(work)
    a_file = os.path.join(tree, "keep.txt")
    cases = [
        ([], "no DIR given"),
        ([tree, tree], f"more than one DIR given: '{tree}'"),
        ([os.path.join(work, "missing")], f"{work}/missing: No such file or directory"),
        ([a_file], f"{a_file}: not a directory"),
        (["--interval", "abc", tree], "'abc' is not a whole number of minutes"),
        (["-i", "99999999999", tree], "'99999999999' is too large"),
        (["-i", "-1", tree], "'-1' is not a whole number of minutes"),
        (["-i", "1.5", tree], "'1.5' is not a whole number of minutes"),
        (["--interval=", tree], "option '--interval' needs a value"),
        (["--frobnicate", tree], "unknown option '--frobnicate'"),
        (["-x", tree], "unknown option '-x'"),
        ([tree, "-d"], "option '-d' needs a value"),
        (["--json=yes", tree], "option '--json' takes no value"),
        (["--links", "none", tree], "'none' is not follow, inside or skip"),
        (["--exclude-from", "none.txt", tree], "cannot read 'none.txt': No such file"),
    ]
    for args, error in cases:
        done = cli(*args, cwd=work)
        lines = done.stderr.decode().splitlines()
        check(done.returncode == 64 and done.stdout == b"" and len(lines) > 2 and
              lines[0].startswith("tervala-cli: ") and error in lines[0] and
              lines[1] == "usage: tervala-cli [options] DIR",
              f"{args}: status {done.returncode}, stderr {done.stderr!r}")
    check(sorted(os.listdir(work)) == ["my tree"], f"bad arguments left {os.listdir(work)}")
    helped = cli("--help", cwd=work)
    check(helped.returncode == 0 and helped.stdout.startswith(b"usage: tervala-cli [options] DIR"),
          f"--help: {helped.returncode} {helped.stdout!r}")
    version = cli("-V", cwd=work)
    check(version.returncode == 0 and re.match(rb"^tervala-cli \d+\.\d+\n$", version.stdout),
          f"--version: {version.returncode} {version.stdout!r}")


def test_which_directory_and_datafile(work):
    """DIR through a link and "..", as the system reaches it; a derived datafile name that
    another directory's list holds; names that would make a line read as another path."""
    tree = make_tree(work)
    os.makedirs(os.path.join(tree, "deep", "t"))
    os.symlink(os.path.join(tree, "deep", "t"), os.path.join(work, "link"))
    first = cli("link/../t/", cwd=work)
    reached = os.path.join(tree, "deep", "t")
    check(first.returncode == 0 and os.path.isfile(derived_datafile(work, reached)),
          f"link/..: status {first.returncode}, {first.stderr!r}, {os.listdir(work)}")

    cli(tree, cwd=work)
    shutil.copy(derived_datafile(work, tree), os.path.join(work, "json.db"))
    twin = os.path.join(work, "my_tree")
    shutil.copytree(tree, twin, symlinks=True)
    done = cli(twin, cwd=work)
    check(done.returncode == 2 and done.stdout == b"" and
          f"Datafile ERROR! Datafile {os.path.basename(derived_datafile(work, tree))} holds the "
          f"list of another "
          f"directory: {tree}\n".encode() in done.stderr, f"shared name: {done.stderr!r}")

    names = ("a\u202eb.txt", "zero\u200bwidth\ufeff.txt")
    for name in names:
        write(os.path.join(tree, name))
    text = cli(tree, cwd=work)
    escaped = [b"a\\u202eb.txt", b"zero\\u200bwidth\\ufeff.txt"]
    check(sorted(c[1] for c in text_changes(text.stdout)) ==
          [os.fsencode(tree) + b"/" + n for n in escaped], f"escapes in text: {text.stdout!r}")
    as_json = cli("--json", "-d", "json.db", tree, cwd=work)
    check(sorted(c[1] for c in json_changes(as_json.stdout)) ==
          [os.fsencode(os.path.join(tree, n)) for n in names], f"JSON: {as_json.stdout!r}")


def many_new_files(tree, count, name="many"):
    """A new directory of count empty files; their change lines as (kind, path bytes)."""
    folder = os.path.join(tree, name)
    os.makedirs(folder)
    for n in range(count):
        open(os.path.join(folder, f"f{n:05}"), "wb").close()
    t = os.fsencode(folder)
    return [(b"New dir", t)] + [(b"New file", t + f"/f{n:05}".encode()) for n in range(count)]


def once(outputs, expected, what, repeats=0):
    """Every expected change line once over the outputs, and nothing else; up to repeats
    lines may come twice (a kill repeats the line whose write it interrupted)."""
    found = sorted(change for output in outputs for change in text_changes(output))
    missing = sorted(set(expected) - set(found))[:3]
    check(sorted(set(found)) == sorted(expected) and len(found) - len(expected) <= repeats,
          f"{what}: {len(found)} lines, {len(expected)} expected, missing {missing}")


def log_output(log):
    """The log's lines as standard output would hold them."""
    return read(log).replace(b"\r\n", b"\n") if os.path.exists(log) else b""


def test_owed_lines_after_a_stop_or_kill(work):
    """Each line once over the interrupted run and the next, on standard output and in the
    log, whatever ended the comparison: a stop, a kill, or a SIGTERM while the output is
    full and never read (the program cannot poll, and must end anyway)."""
    cases = [(sig, log, True) for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGKILL)
             for log in (False, True)] + [(signal.SIGTERM, False, False)] * (not THREAD_SANITIZER)
    for n, (sig, with_log, read_on) in enumerate(cases):
        case = os.path.join(work, str(n))
        tree = make_tree(case)
        log = os.path.join(case, "changes.log")
        args = ["-l", log, tree] if with_log else [tree]
        cli(*args, cwd=case)
        expected = many_new_files(tree, 3000)
        what = f"{sig.name}{' with a log' if with_log else ''}{'' if read_on else ', unread'}"
        # The output is longer than a pipe holds: the run waits in the comparison until read.
        process = start(args, case)
        select.select([process.stdout], [], [], 60)
        time.sleep(0.5)
        first = b"" if not read_on else os.read(process.stdout.fileno(), 4096)
        process.send_signal(sig)
        if not read_on:
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                check(False, f"{what}: SIGTERM did not end a program that could not poll")
        first += process.communicate(timeout=120)[0]
        # Unread, the program is killed once it is stuck in a write; one that had not yet
        # filled the pipe when the signal came takes it at a poll instead.
        statuses = {{signal.SIGINT: 130, signal.SIGTERM: 143}.get(sig, -sig)}
        statuses |= set() if read_on else {-sig}
        check(process.returncode in statuses, f"{what}: status {process.returncode}")
        second = cli(*args, cwd=case)
        check(second.returncode == 1, f"{what}: the next start's status {second.returncode}")
        once([first, second.stdout], expected, what, repeats=int(sig == signal.SIGKILL))
        if with_log:
            once([log_output(log)], expected, f"{what}: the log")
        third = cli(*args, cwd=case)
        check(third.stdout == b"" and not os.path.exists(derived_datafile(case, tree) + "-unlogged"),
              f"{what}: a third start printed {third.stdout[:200]!r}")


def test_standard_output_failures(work):
    """A full device ends logging with a message, a reader that has gone ends it quietly;
    both exit 2 and the next start prints every line once."""
    for target in ("full", "closed"):
        case = os.path.join(work, target)
        tree = make_tree(case)
        log = os.path.join(case, "changes.log")
        cli("-l", log, tree, cwd=case)
        expected = many_new_files(tree, 20)
        if target == "full":
            output = os.open("/dev/full", os.O_WRONLY)
        else:
            reader, output = os.pipe()
            os.close(reader)
        done = subprocess.run([CLI, "-q", "-l", log, tree], cwd=case, stdout=output,
                              stderr=subprocess.PIPE, timeout=120)
        os.close(output)
        message = b"Failed to write to standard output: No space left on device\n"
        check(done.returncode == 2 and done.stderr == (message if target == "full" else b""),
              f"stdout {target}: status {done.returncode}, stderr {done.stderr!r}")
        again = cli("-l", log, tree, cwd=case)
        once([again.stdout], expected, f"stdout {target}: the next start")
        once([log_output(log)], expected, f"stdout {target}: the log")


def test_two_runs_on_one_datafile(work):
    """Runs started together take turns with the datafile: each change is reported by one
    of them; a run that cannot have it within the wait says it is locked."""
    tree = make_tree(work)
    cli(tree, cwd=work)
    expected = many_new_files(tree, 2000)
    processes = [start([tree], work) for _ in range(3)]
    outputs = [process.communicate(timeout=120) for process in processes]
    for process, (_, stderr) in zip(processes, outputs):
        check(process.returncode in (0, 1) or
              b"Datafile ERROR! Datafile is locked by another program\n" in stderr,
              f"runs together: status {process.returncode}, {stderr!r}")
    once([stdout for stdout, _ in outputs], expected, "runs together")

    datafile = derived_datafile(work, tree)
    before = read(datafile)
    write(os.path.join(tree, "more.txt"))
    with open(datafile, "rb") as held:
        fcntl.flock(held, fcntl.LOCK_EX)
        done = cli(tree, cwd=work)
    check(done.returncode == 2 and done.stdout == b"" and
          done.stderr.endswith(b"Datafile ERROR! Datafile is locked by another program\n") and
          read(datafile) == before, f"a held datafile: {done.returncode} {done.stderr!r}")


def test_two_writers_of_one_log(work):
    """Two runs on two trees writing one log at the same moment lose no line of either."""
    log = os.path.join(work, "shared.log")
    trees = [make_tree(os.path.join(work, name)) for name in ("a", "b")]
    for tree in trees:
        cli("-l", log, tree, cwd=os.path.dirname(tree))
    expected, printed = [], []
    for round_ in range(6):
        for tree in trees:
            expected += many_new_files(tree, 100, f"round{round_}")
        processes = [start(["-l", log, tree], os.path.dirname(tree)) for tree in trees]
        printed += [process.communicate(timeout=120)[0] for process in processes]
    once(printed, expected, "two writers: standard output")
    once([log_output(log)], expected, "two writers: the log")


def test_planted_fifos(work):
    """A pipe planted where the program keeps a file of its own is refused, never waited
    on: the run ends with an error, and once the pipe is gone every line comes once."""
    for name in ("{datafile}-unlogged", "{log}.partial", "{datafile}-unlogged.partial"):
        case = os.path.join(work, str(len(os.listdir(work))))
        tree = make_tree(case)
        log = os.path.join(case, "changes.log")
        cli("-l", log, tree, cwd=case)
        expected = many_new_files(tree, 20)
        fifo = name.format(datafile=derived_datafile(case, tree), log=log)
        os.mkfifo(fifo)
        try:
            done = cli("-l", log, tree, cwd=case)
        except subprocess.TimeoutExpired:
            check(False, f"a pipe at {name}: the run waited for it")
            continue
        check(done.returncode == 2 and b"Failed to" in done.stderr,
              f"a pipe at {name}: status {done.returncode}, {done.stderr!r}")
        os.remove(fifo)
        again = cli("-l", log, tree, cwd=case)
        once([done.stdout, again.stdout], expected, f"a pipe at {name}")
        once([log_output(log)], expected, f"a pipe at {name}: the log")


def mode_of(path):
    return os.stat(path).st_mode & 0o7777


def test_new_files_are_owner_only(work):
    """Whatever the umask, the datafile, the log and the marker are the owner's alone; an
    existing file keeps its mode."""
    for umask in (0o000, 0o277):
        def run(*args):
            subprocess.run([CLI, *args], cwd=work, capture_output=True, timeout=300,
                           preexec_fn=lambda: os.umask(umask))
        tree = make_tree(work)
        datafile, log = os.path.join(work, f"{umask}.db"), os.path.join(work, f"{umask}.log")
        run("-d", datafile, "-l", log, tree)
        write(os.path.join(tree, "new.txt"))
        run("-d", datafile, "-l", log, tree)
        check((mode_of(datafile), mode_of(log)) == (0o600, 0o600),
              f"umask {umask:o}: datafile {mode_of(datafile):o}, log {mode_of(log):o}")
        # A log that cannot be written leaves the marker with the lines it owes.
        os.remove(log)
        os.mkdir(log)
        write(os.path.join(tree, "newer.txt"))
        run("-d", datafile, "-l", log, tree)
        marker = datafile + "-unlogged"
        check(os.path.exists(marker) and mode_of(marker) == 0o600,
              f"umask {umask:o}: marker {os.path.exists(marker) and oct(mode_of(marker))}")
        shutil.rmtree(tree)
    open_log = os.path.join(work, "open.log")
    write(open_log, b"")
    os.chmod(open_log, 0o644)
    tree = make_tree(work)
    cli("-d", "open.db", "-l", open_log, tree, cwd=work)
    write(os.path.join(tree, "new.txt"))
    cli("-d", "open.db", "-l", open_log, tree, cwd=work)
    check(read(open_log) != b"" and mode_of(open_log) == 0o644,
          f"an existing log: mode {mode_of(open_log):o}")


def make_link_tree(work):
    """A tree, and beside it a directory closed to other users."""
    tree = os.path.join(work, "tree")
    write(os.path.join(tree, "sub", "a.txt"), b"a")
    secret = os.path.join(work, "secret")
    write(os.path.join(secret, "topsecret.txt"), b"s")
    os.chmod(secret, 0o700)
    return tree, secret


def plant_links(tree, secret):
    """Links into the tree, and the names of those that lead out of it."""
    os.symlink("sub", os.path.join(tree, "in"))
    os.symlink(os.path.join(tree, "sub", "a.txt"), os.path.join(tree, "in.txt"))
    outward = {"out": secret, "out.txt": os.path.join(secret, "topsecret.txt"), "root": "/"}
    for name, target in outward.items():
        os.symlink(target, os.path.join(tree, name))
    return outward


def stored_paths(datafile):
    with sqlite3.connect(datafile) as db:
        return {row[0] for row in db.execute("select file from allist")}


def test_links_inside_or_skipped(work):
    """Under inside a link is followed only to a place inside the tree; under skip none."""
    for mode in ([], ["--md5"]):
        for choice in ("inside", "skip"):
            here = os.path.join(work, choice + "".join(mode))
            os.mkdir(here)
            tree, secret = make_link_tree(here)
            args = [*mode, "--links", choice, "-d", "links.db", tree]
            cli(*args, cwd=here)
            plant_links(tree, secret)
            done = cli(*args, cwd=here)
            followed = {"in", "in/a.txt", "in.txt"} if choice == "inside" else set()
            new = {os.path.join(tree, name) for name in followed}
            stored = {tree} | {os.path.join(tree, name) for name in ("sub", "sub/a.txt")} | new
            reported = {os.fsdecode(path) for _, path in text_changes(done.stdout)}
            rows = stored_paths(os.path.join(here, "links.db"))
            check(rows == stored and reported == new,
                  f"{mode} --links {choice}: stored {rows}, reported {reported}")


# One call of the trace: the directory a path is relative to, the path, the flags after it
# and the path of the file descriptor it returns.
TRACED_CALL = re.compile(r'^\d+ +(\w+)\((?:(?:AT_FDCWD|\d+)<([^>]*)>, )?"([^"]*)"(.*?)'
                         r'(?:= \d+<([^>]*)>)?$')
# The program's libraries and what they read of the system.
RUNTIME_FILES = ("/etc/ld.so.", "/lib/", "/lib64/", "/usr/lib/", "/usr/share/zoneinfo/",
                 "/etc/localtime", "/dev/urandom", "/sys/devices/system/cpu/")
# The process's own files, which a sanitizer's runtime reads: the program and its maps.
OWN_PROCESS = "/proc/self/"
# What a sanitizer's runtime opens besides: its scratch file and its suppressions.
SANITIZER_FILES = ("/tmp/tsan.",) + tuple(
    option.split("=", 1)[1] for name in ("TSAN_OPTIONS", "LSAN_OPTIONS", "ASAN_OPTIONS")
    for option in os.environ.get(name, "").split(":") if option.startswith("suppressions="))


def test_inside_touches_nothing_outside(work):
    """Under inside, no path outside the tree is looked at apart from the datafile, the log,
    the way to them and the program's libraries; an outward link is only read as a link."""
    tree, secret = make_link_tree(work)
    outward = plant_links(tree, secret)
    datafile, log = os.path.join(work, "t.db"), os.path.join(work, "t.log")
    args = ["--md5", "--links", "inside", "-d", datafile, "-l", log, tree]
    cli(*args, cwd=work)
    write(os.path.join(tree, "sub", "b.txt"))
    ends = (tree, datafile, log)

    def allowed(path):
        return (any(path.startswith(end) or end.startswith(path.rstrip("/") + "/") for end in ends)
                or path.startswith(RUNTIME_FILES) or path.startswith(SANITIZER_FILES))

    seen = 0
    for line, name, path, rest, result in traced_calls(args, work):
        seen += 1
        if path.startswith(OWN_PROCESS):
            continue
        for touched in (path, result):
            check(touched is None or allowed(touched), f"inside: {line!r}")
        if os.path.relpath(path, tree) in outward:
            check(name == "readlink" or "AT_SYMLINK_NOFOLLOW" in rest,
                  f"inside: an outward link followed: {line!r}")
    check(seen > 20, f"inside: the trace holds {seen} calls")


def traced_calls(args, cwd):
    """The program's file calls under strace, as (line, call, absolute path, the flags after
    it, the path of the file descriptor it returned)."""
    trace = os.path.join(cwd, "trace.txt")
    subprocess.run(["strace", "-f", "-qq", "-y", "-e", "trace=%file", "-o", trace, CLI, *args],
                   cwd=cwd, capture_output=True, timeout=300)
    with open(trace, encoding="utf-8", errors="replace") as f:
        calls = [TRACED_CALL.match(line) for line in f]
    for call in filter(None, calls):
        name, at, path, rest, result = call.groups()
        if name == "execve" or at and not at.startswith("/"):
            continue
        yield call.group(0), name, os.path.normpath(os.path.join(at or cwd, path)), rest, result


def test_exclusions(work):
    """Excluded files and directories are neither reported, stored, digested nor walked (a
    directory left out by a pattern for directories is looked at, for its kind, and nothing
    in it); a run without the patterns reports them as new, and one with them again as
    removed."""
    tree = os.path.join(work, "tree")
    kept = {"keep.txt", "sub/b.txt", "sub/cache", "notes/#1.txt"}
    excluded_files = {"a.tmp", "sub/deep/c.tmp", "cache/x.txt", ".git/HEAD", "build/out/o.bin"}
    for name in kept | excluded_files:
        write(os.path.join(tree, name), name.encode())
    excluded_dirs = {"cache", ".git", "build"}
    patterns = os.path.join(work, "patterns")
    write(patterns, b"# written by hand\r\n.git/\r\n\r\nbuild/**\r\n")
    excluding = ["--exclude", "**/*.tmp", "--exclude=**/cache/", "--exclude-from", patterns]
    args = ["--md5", "-d", "x.db", *excluding, tree]

    for line, name, path, rest, result in traced_calls(args, work):
        relative = os.path.relpath(path, tree)
        check(relative not in excluded_files | {"build"} and
              relative.split("/")[0] not in excluded_dirs or relative in {"cache", ".git"},
              f"exclusions: an excluded entry touched: {line!r}")
    stored = {os.path.join(tree, name) for name in kept | {"", "sub", "sub/deep", "notes"}}
    check(stored_paths(os.path.join(work, "x.db")) == {path.rstrip("/") for path in stored},
          f"exclusions: stored {stored_paths(os.path.join(work, 'x.db'))}")

    left_out = {name: True for name in excluded_dirs | {"build/out"}}
    left_out.update({name: False for name in excluded_files})

    def changes(file_kind, dir_kind):
        return sorted((dir_kind if is_dir else file_kind, os.fsencode(os.path.join(tree, name)))
                      for name, is_dir in left_out.items())

    without = cli("--md5", "-d", "x.db", tree, cwd=work)
    check(sorted(text_changes(without.stdout)) == changes(b"New file", b"New dir"),
          f"exclusions dropped: {without.stdout!r}")
    again = cli(*args, cwd=work)
    check(sorted(text_changes(again.stdout)) == changes(b"File removed", b"Dir removed"),
          f"exclusions again: {again.stdout!r}")


for test in (test_first_run_changes_and_unchanged_tree, test_errors_exit_2,
             test_log_file_is_not_reprinted, test_interrupts, test_interval_runs_until_interrupted,
             test_datafiles_cross_front_ends, test_standard_error_forms, test_bad_arguments,
             test_owed_lines_after_a_stop_or_kill, test_standard_output_failures,
             test_two_runs_on_one_datafile, test_two_writers_of_one_log, test_planted_fifos,
             test_new_files_are_owner_only, test_links_inside_or_skipped,
             test_inside_touches_nothing_outside, test_which_directory_and_datafile,
             test_exclusions):
    before = len(failures)
    with tempfile.TemporaryDirectory() as scratch:
        test(os.path.realpath(scratch))
    print(f"{test.__name__}: {'ok' if len(failures) == before else 'FAILED'}")

for failure in failures:
    print(failure)
print(f"{checks - len(failures)} checks passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
