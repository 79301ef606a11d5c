"""What the fault tests share: scenario scripts played by the runner, saved reports read
as tree.py's oracle lines ("<mode> <kind>: <path>"), and log files decoded as the
program reads them."""
import os
import re
import subprocess
import sys
import time

SKIPPED = 77
KINDS = "New file|New dir|File changed|File removed|Dir removed"
REPORT_LINE = re.compile(rf"^<T> - ({KINDS}): (.*)$")
LOG_LINE = re.compile(rf"^\d\d [A-Z][a-z][a-z] \d{{4}} \d\d:\d\d:\d\d - ({KINDS}): (.*)$")


class Failure(Exception):
    """A broken promise; the message says which."""


def logging_script(mode, datafile, log=None, report=None, status="Dir log run complete"):
    """One logging run of the tree at $ROOT/tree, then Exit."""
    lines = ["timeout 600", "answer-dir $ROOT/tree", "click browse",
             f"answer-file {datafile}", "click datafile-save"]
    if log:
        lines += [f"answer-file {log}", "click log-save"]
    if mode == "md5":
        lines.append("click md5")
    lines += ["click startstop", f'expect-status "{status}"']
    if report:
        lines.append(f"save-report {report}")
    lines.append("menu exit")
    return "\n".join(lines) + "\n"


def write_script(work, name, text):
    path = os.path.join(work, name)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return path


def run_scenario(runner, work, script):
    """Plays the script to its end; its output is shown when it fails."""
    started = time.monotonic()
    done = subprocess.run([runner, "--root", work, script], capture_output=True, text=True)
    if done.returncode != 0:
        raise Failure(f"{os.path.basename(script)} failed (exit {done.returncode}):\n"
                      f"{done.stdout}{done.stderr}")
    return time.monotonic() - started


def tree_py(tree_script, *args):
    subprocess.run([sys.executable, tree_script, *args], check=True, stdout=subprocess.DEVNULL)


def expected_lines(expect_file, mode):
    with open(expect_file, encoding="utf-8") as f:
        return sorted(l for l in f.read().splitlines() if l.startswith(mode + " "))


def report_lines(report_file, mode, skip=0):
    """The saved report's change lines after the first skip lines, as oracle lines."""
    with open(report_file, encoding="utf-8") as f:
        lines = f.read().splitlines()[skip:]
    found = []
    for line in lines:
        match = REPORT_LINE.match(line)
        if not match:
            raise Failure(f"a report line that is no change line: {line!r}")
        found.append(f"{mode} {match.group(1)}: {match.group(2)}")
    return sorted(found)


def decode_log(data):
    """The log file's text by its byte-order mark, as the program loads it."""
    if data.startswith(b"\xfe\xff"):
        return data[2:].decode("utf-16-be", "surrogatepass")
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le", "surrogatepass")
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8", "surrogateescape")
    return data.decode("latin-1")


def log_change_lines(text, mode, line_end="\r\n", where="log"):
    """A whole log's lines (or standard output's, whose lines end in "\n") as oracle
    lines; a Failure when it is not whole."""
    if text and not text.endswith(line_end):
        raise Failure(f"the {where} does not end with a whole line: ...{text[-80:]!r}")
    found = []
    for line in text.split(line_end)[:-1] if text else []:
        match = LOG_LINE.match(line)
        if not match:
            raise Failure(f"a {where} line that is no change line: {line!r}")
        found.append(f"{mode} {match.group(1)}: {match.group(2)}")
    return found


def differences(expected, found, limit=20):
    missing = sorted(set(expected) - set(found))
    unexpected = sorted(set(found) - set(expected))
    text = [f"{len(found)} lines found, {len(expected)} expected"]
    text += [f"  missing:    {l}" for l in missing[:limit]]
    text += [f"  unexpected: {l}" for l in unexpected[:limit]]
    if not missing and not unexpected:
        text.append("  the same lines, but not as often")
    return "\n".join(text)
