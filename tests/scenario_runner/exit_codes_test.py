#!/usr/bin/env python3
"""exit_codes_test.py RUNNER

The runner as a program on the real application: exit status 0 with "scenario passed: N
commands", 1 with "SCRIPT:LINE: ..." for a failed expectation, a malformed line, a
requester without an answer or a program that ends with commands left, 2 past the time
limit; the scratch directory is removed unless --keep is given, and --root is kept."""
import os
import subprocess
import sys
import tempfile

RUNNER = sys.argv[1]
failures = []
checks = 0


def run(text, *options):
    with tempfile.TemporaryDirectory() as work:
        script = os.path.join(work, "s.scn")
        with open(script, "w", encoding="utf-8") as f:
            f.write(text)
        done = subprocess.run([RUNNER, *options, script], capture_output=True, text=True,
                              timeout=120)
        return done.returncode, done.stdout + done.stderr, script


def check(name, text, status, message, *options):
    global checks
    checks += 1
    code, output, script = run(text, *options)
    expected = message.replace("SCRIPT", script)
    if code != status or expected not in output:
        failures.append(f"{name}: expected status {status} and {expected!r}, "
                        f"found status {code} and {output!r}")
    return output


check("passes", "mkdir $ROOT/t\nanswer-dir $ROOT/t\nclick browse\nexpect-enabled startstop\n",
      0, "scenario passed: 4 commands")
check("ends with its last command", "menu exit\n", 0, "scenario passed: 1 commands")
check("fails at an expectation", "expect-text startstop \"Stop logging\"\n", 1,
      'SCRIPT:1: expected the text of startstop "Stop logging", found "Start logging"')
check("rejects a malformed line before starting", "close\nclick \"open\n", 1,
      "SCRIPT:2: malformed line: a quoted argument is not closed")
check("ends early", "close\nexpect-status x\n", 1,
      "SCRIPT:2: the application ended (exit status 0) before this line was reached")
check("requester without answer", "click browse\n", 1,
      "SCRIPT:1: a directory requester opened with no answer queued")
check("times out", "timeout 1\nmkdir $ROOT/t\nanswer-dir $ROOT/t\nclick browse\nclick interval\n"
      "set-text interval-field 5\nclick startstop\n", 2,
      "SCRIPT:7: the scenario ran past its time limit of 1 s")

output = check("keeps its scratch directory", "write $ROOT/kept.txt k\n", 0,
               "scenario root kept: ", "--keep")
kept = output.split("scenario root kept: ")[-1].strip()
if not os.path.isfile(os.path.join(kept, "kept.txt")):
    failures.append(f"--keep: {kept}/kept.txt is missing")
else:
    subprocess.run(["rm", "-rf", kept], check=True)

with tempfile.TemporaryDirectory() as root:
    check("uses the given root as launch directory", f"answer-dir $ROOT\nclick browse\n"
          f"answer-file named.db\nclick datafile-save\nclick startstop\n"
          f"expect-exists {root}/named.db\n", 0, "scenario passed", "--root", root)
    if not os.path.isfile(os.path.join(root, "named.db")):
        failures.append("--root: the directory was not kept")

for failure in failures:
    print(failure)
print(f"{checks - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
