"""A running `tervala-cli --watch`, shared by the watch test and the watch benchmark: each line
of its standard output and standard error kept with the moment it arrived, waits for lines and
for rest, and the proof that it is watching (a probe file reported)."""
import itertools
import os
import signal
import subprocess
import threading
import time


class Watcher:
    def __init__(self, command, cwd, preexec_fn=None):
        self.process = subprocess.Popen(command, cwd=cwd, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        preexec_fn=preexec_fn)
        self.lines, self.errors = [], []  # (time.monotonic(), line without its "\n")
        self.arrived = threading.Condition()
        self.readers = [threading.Thread(target=self._read, args=(stream, into), daemon=True)
                        for stream, into in ((self.process.stdout, self.lines),
                                             (self.process.stderr, self.errors))]
        for reader in self.readers:
            reader.start()

    def _read(self, stream, into):
        for line in stream:
            with self.arrived:
                into.append((time.monotonic(), line.rstrip(b"\n")))
                self.arrived.notify_all()
        with self.arrived:
            self.arrived.notify_all()

    def ended(self):
        return self.process.poll() is not None

    def mark(self):
        """Where the lines still to come start, and when."""
        with self.arrived:
            return len(self.lines), time.monotonic()

    def wait_until(self, condition, timeout):
        """Whether condition() held (or became true) within the timeout; it is asked again
        each time a line arrives."""
        with self.arrived:
            return self.arrived.wait_for(lambda: condition() or self.ended(), timeout) and condition()

    def settle(self, mark, count, quiet=1.5, timeout=120):
        """The standard output lines since the mark, once at least count of them came and
        then none for `quiet` seconds (a burst and its run, with a margin), or the timeout
        passed, or the program ended."""
        start, since = mark
        deadline = time.monotonic() + timeout
        with self.arrived:
            while True:
                now = time.monotonic()
                last = self.lines[-1][0] if len(self.lines) > start else since
                if (len(self.lines) - start >= count and now - last >= quiet
                        or now >= deadline or self.ended()):
                    return [line for _, line in self.lines[start:]]
                wait = quiet - (now - last) if len(self.lines) - start >= count else deadline - now
                # Looked at again now and then: a program ended under a tracer is let go
                # after its output has closed, and nothing wakes this wait then.
                self.arrived.wait(max(0.01, min(wait, deadline - now, 0.25)))

    def stderr_text(self):
        with self.arrived:
            return b"\n".join(line for _, line in self.errors)

    def wait_live(self, directory, timeout=600, every=3.0):
        """Makes probe files in the directory until one is reported: from then on a change is
        reported by the watch. Returns the lines that came meanwhile (the first run's too)."""
        start = self.mark()
        deadline = time.monotonic() + timeout
        for n in itertools.count():
            probe = os.path.join(directory, f"live-probe-{n}")
            if os.path.lexists(probe):
                continue
            open(probe, "wb").close()
            name = os.fsencode(probe)
            if self.wait_until(lambda: any(line.endswith(name) for _, line in self.lines[start[0]:]),
                               every):
                return self.settle(start, 0, quiet=0)
            if time.monotonic() > deadline or self.ended():
                raise TimeoutError(f"no probe reported within {timeout} s; standard error: "
                                   f"{self.stderr_text()[-2000:]!r}")

    def stop(self, sig=signal.SIGINT, timeout=120):
        """The exit status once the signal ended the program (the program is killed and
        None returned when it did not end)."""
        self.process.send_signal(sig)
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            status = None
        for reader in self.readers:
            reader.join()
        return status
