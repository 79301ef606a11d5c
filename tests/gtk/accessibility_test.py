#!/usr/bin/python3
"""The window as assistive technology meets it, over the AT-SPI bus of a private session:
every control's role, name and relations, path fields that refuse set-text, the status
text announced, and a keyboard-only run with Tab and the Start/Stop button.

Run inside an X server and a D-Bus session of its own:
    xvfb-run -a dbus-run-session -- /usr/bin/python3 accessibility_test.py PROGRAM
"""

import os
import subprocess
import sys
import tempfile
import time
import unittest

import pyatspi
from gi.repository import GLib

PROGRAM = None
TITLE = "Tervala_gui v1.4"


def pump(seconds):
    """Lets AT-SPI events arrive for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def wait_for(condition, what, seconds=15):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = condition()
        if result:
            return result
        pump(0.05)
    raise AssertionError("timed out waiting for " + what)


def descendants(root):
    found = []
    for child in root:
        if child is not None:
            found.append(child)
            found.extend(descendants(child))
    return found


def has_state(accessible, state):
    return accessible.getState().contains(state)


def relation_targets(accessible, kind):
    names = []
    for relation in accessible.getRelationSet():
        if relation.getRelationType() == kind:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True, capture_output=True, timeout=20)


def press(keys):
    """Keys as a user types them, to the window with the X keyboard focus."""
    xdotool("key", "--delay", "60", *keys.split())


class WindowTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.tree = os.path.join(self.scratch.name, "tree")
        os.makedirs(os.path.join(self.tree, "sub"))
        with open(os.path.join(self.tree, "a.txt"), "w") as f:
            f.write("a")
        env = dict(os.environ, GSETTINGS_BACKEND="memory")
        env.pop("NO_AT_BRIDGE", None)
        self.app = self.start(env)
        self.frame = wait_for(lambda: self.find(lambda o: o.getRole() == pyatspi.ROLE_FRAME
                                                and o.name == TITLE), "the window")
        xdotool("search", "--sync", "--name", "^" + TITLE + "$", "windowfocus", "--sync")

    def tearDown(self):
        self.program.kill()
        self.program.wait()
        self.scratch.cleanup()

    def start(self, env):
        """The program started, as the accessibility bus shows it. One that ends before it gets
        there (it said no display was available, seen once on a loaded machine) is started
        once more."""
        for _ in range(2):
            self.program = subprocess.Popen([PROGRAM], cwd=self.scratch.name, env=env)
            wait_for(lambda: self.program.poll() is not None or self.find_application(),
                     "the program on the accessibility bus")
            if self.program.poll() is None:
                return self.find_application()
        raise AssertionError(f"the program ended with status {self.program.returncode}")

    def find_application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for application in desktop:
            if application is not None and application.get_process_id() == self.program.pid:
                return application
        return None

    def find(self, condition, root=None):
        for accessible in descendants(root or self.app):
            if condition(accessible):
                return accessible
        return None

    def find_all(self, condition):
        return [a for a in descendants(self.frame) if condition(a)]

    def named(self, role, name):
        found = self.find(lambda o: o.getRole() == role and o.name == name, self.frame)
        self.assertIsNotNone(found, f"no {role} named {name!r}")
        return found

    def field(self, name):
        return self.named(pyatspi.ROLE_TEXT, name)

    def focused(self):
        return self.find(lambda o: has_state(o, pyatspi.STATE_FOCUSED), self.frame)

    def wait_for_focus(self, name):
        return wait_for(lambda: (f := self.focused()) is not None and f.name == name and f,
                        f"the focus on {name!r}")

    def focus_after(self, keys, name):
        press(keys)
        return self.wait_for_focus(name)

    def browse(self):
        """Picks the tree in the directory requester, by keyboard, from the directory field."""
        self.focus_after("Tab", "Browse...")
        press("space")
        # The requester may be found before it can take the focus on a slow machine.
        for attempt in range(5):
            try:
                xdotool("search", "--sync", "--name", "^Select dir to monitor$",
                        "windowfocus", "--sync")
                break
            except subprocess.CalledProcessError:
                if attempt == 4:
                    raise
                pump(1)
        pump(0.5)
        press("ctrl+l")
        xdotool("type", "--delay", "20", self.tree)
        pump(0.3)
        press("Delete")  # the completion the chooser offers
        press("Return")
        wait_for(lambda: self.field("Select dir to monitor").queryText().getText(0, -1) == self.tree,
                 "the directory in its field")
        xdotool("search", "--sync", "--name", "^" + TITLE + "$", "windowfocus", "--sync")

    def test_every_control_has_its_role_name_and_relations(self):
        labels = {
            "Select dir to monitor": ["Select dir to monitor"],
            "Save datafile as (optional)": ["Save datafile as (optional)"],
            "Log changes to file (optional)": ["Log changes to file (optional)"],
            "Interval mode, run every: minutes": ["Interval mode, run every:", "minutes"],
        }
        for name, label_names in labels.items():
            field = self.field(name)
            self.assertTrue(has_state(field, pyatspi.STATE_SINGLE_LINE), name)
            self.assertTrue(has_state(field, pyatspi.STATE_FOCUSABLE), name)
            self.assertEqual(relation_targets(field, pyatspi.RELATION_LABELLED_BY), label_names)
            for label_name in label_names:
                label = self.find(lambda o: o.name == label_name and o is not field
                                  and o.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_CHECK_BOX),
                                  self.frame)
                self.assertIn(name, relation_targets(label, pyatspi.RELATION_LABEL_FOR))
        for name in list(labels)[:3]:
            self.assertFalse(has_state(self.field(name), pyatspi.STATE_EDITABLE), name)
        self.assertTrue(has_state(self.field("Interval mode, run every: minutes"),
                                  pyatspi.STATE_EDITABLE))

        save_buttons = self.find_all(lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON
                                     and o.name == "Save as...")
        self.assertEqual(sorted(b.description for b in save_buttons),
                         ["Save datafile as", "Save logfile as"])
        for role, name in [(pyatspi.ROLE_PUSH_BUTTON, "Browse..."),
                           (pyatspi.ROLE_PUSH_BUTTON, "Start logging"),
                           (pyatspi.ROLE_CHECK_BOX, "Calculate md5 checksums"),
                           (pyatspi.ROLE_CHECK_BOX, "Interval mode, run every:"),
                           (pyatspi.ROLE_PROGRESS_BAR, "Progress"),
                           (pyatspi.ROLE_STATUS_BAR, "Status bar")]:
            self.named(role, name)

        report = self.named(pyatspi.ROLE_TEXT, "Change report")
        self.assertTrue(has_state(report, pyatspi.STATE_MULTI_LINE))
        self.assertTrue(has_state(report, pyatspi.STATE_FOCUSABLE))
        self.assertFalse(has_state(report, pyatspi.STATE_EDITABLE))

        caption = self.named(pyatspi.ROLE_LABEL, "Status: ")
        self.assertEqual(relation_targets(caption, pyatspi.RELATION_LABEL_FOR), ["Status:"])
        status = self.named(pyatspi.ROLE_LABEL, "Status:")
        self.assertEqual(relation_targets(status, pyatspi.RELATION_LABELLED_BY), ["Status: "])
        self.assertIn("live:polite", status.getAttributes())

    def test_a_path_field_refuses_set_text(self):
        for name in ["Select dir to monitor", "Save datafile as (optional)",
                     "Log changes to file (optional)"]:
            field = self.field(name)
            field.queryEditableText().setTextContents("/tmp/other")
            field.queryEditableText().insertText(0, "/tmp/other", 10)
            pump(0.2)
            self.assertEqual(field.queryText().getText(0, -1), "", name)
        interval = self.field("Interval mode, run every: minutes")
        interval.queryEditableText().setTextContents("5")
        wait_for(lambda: interval.queryText().getText(0, -1) == "5", "the interval field's text")

    def test_keyboard_only_run_keeps_the_focus_on_start_and_stop(self):
        order = ["Select dir to monitor", "Browse...", "Save datafile as (optional)", "Save as...",
                 "Log changes to file (optional)", "Save as...", "Calculate md5 checksums",
                 "Interval mode, run every:", "Interval mode, run every: minutes", "Change report"]
        for name in order:
            self.focus_after("Tab", name)
        self.focus_after("Tab", order[0])  # round again

        self.browse()
        self.wait_for_focus("Browse...")  # the requester gives the focus back
        for name in order[2:8]:
            self.focus_after("Tab", name)
        press("space")  # interval mode: logging runs until Stop
        self.focus_after("Tab", "Interval mode, run every: minutes")
        self.focus_after("Tab", "Start logging")

        announced = []

        def heard(event):
            if "live:polite" in event.source.getAttributes():
                announced.append(event.any_data)
        pyatspi.Registry.registerEventListener(heard, "object:text-changed:insert")
        try:
            press("space")
            self.wait_for_focus("Stop logging")
            wait_for(lambda: "Dir log interval run #1 complete" in announced, "the status announced")
            self.focus_after("shift+Tab", "Interval mode, run every: minutes")
            self.focus_after("Tab", "Stop logging")
            press("space")
            self.wait_for_focus("Start logging")
            wait_for(lambda: "Dir log run aborted" in announced, "the end announced")
        finally:
            pyatspi.Registry.deregisterEventListener(heard, "object:text-changed:insert")
        self.assertEqual(announced[0], "Dir log run started")


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main(warnings="ignore")  # pyatspi's own calls of deprecated Atspi functions
