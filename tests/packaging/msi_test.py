#!/usr/bin/env python3
"""msi_test.py PACKAGE.msi

The Windows installer under Wine, in a Wine prefix of its own that is made for this test
and removed after it: a quiet install puts both programs and the guide under Program
Files\\Tervala, registers the package in Add/Remove Programs and adds a Start-menu shortcut
whose target starts the window; tervala-cli.exe runs from a new cmd by its name alone; a
quiet uninstall leaves no file, registry entry or PATH entry behind; ADDLOCAL=Tervala
installs without the PATH entry. Needs an X display
(scripts/test-windows runs it in its own X server)."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

ICO_MAGIC = b"\0\0\1\0"
WINDOW_TITLE = "^Tervala_gui "
INSTALL_DIR = r"C:\Program Files\Tervala"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
ENVIRONMENT_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager\Environment"
# Not compared: folders whose contents Wine itself changes while programs run, and the
# folder of Windows Installer's own cache, made at the first install (not its contents).
IGNORED = re.compile(r"^(windows/temp|users/[^/]+/(temp|appdata/local/temp))(/|$)"
                     r"|^windows/installer$")

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)
    return ok


class Prefix:
    """A private Wine prefix in a temporary folder."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="msi-test-")
        self.env = dict(os.environ, WINEPREFIX=self.root, WINEDEBUG="-all",
                        # No browser or .NET prompts, and no menu entries on the Linux
                        # desktop for the shortcut.
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        self.run("wineboot", "-i")

    def run(self, *args):
        result = subprocess.run(args, env=self.env, capture_output=True, timeout=600)
        return result.returncode, result.stdout.decode("utf-8", "replace")

    def start(self, program):
        """Starts a program or shortcut through the shell, without waiting for it."""
        subprocess.run(["wine", "start", program], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=600)

    def wine(self, *args):
        return self.run("wine", *args)

    def linux(self, path):
        """The Linux path of a C: path."""
        return os.path.join(self.root, "drive_c", path[3:].replace("\\", "/"))

    def files(self):
        """Every file and folder on drive C:, as lower-case paths below it."""
        drive = os.path.join(self.root, "drive_c")
        found = set()
        for folder, dirs, names in os.walk(drive):
            for name in dirs + names:
                path = os.path.relpath(os.path.join(folder, name), drive).lower()
                if not IGNORED.match(path):
                    found.add(path)
        return found

    def registry_lines(self, pattern):
        """Registry lines matching pattern, from the files the Wine server saves on exit."""
        self.run("wineserver", "-k")
        self.run("wineserver", "-w")
        lines = []
        for name in ("system.reg", "user.reg"):
            with open(os.path.join(self.root, name), encoding="utf-8", errors="replace") as f:
                lines += [line.strip() for line in f if re.search(pattern, line, re.I)]
        return lines

    def remove(self):
        self.run("wineserver", "-k")
        shutil.rmtree(self.root, ignore_errors=True)


def wine_name(path):
    """The Wine name of a Linux path: drive Z: is the Linux root."""
    return "Z:" + path.replace("/", "\\")


def product_code(package):
    table = subprocess.run(["msiinfo", "export", package, "Property"], check=True,
                           capture_output=True, text=True).stdout
    return re.search(r"^ProductCode\t(\S+)", table, re.M).group(1)


def read_shortcut(path):
    """Target, working folder and icon file of a shell link (.lnk) file."""
    data = open(path, "rb").read()
    flags = struct.unpack_from("<I", data, 20)[0]
    at = 76
    if flags & 0x1:  # an item ID list
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = ""
    if flags & 0x2:  # link info, with the local path of the target
        size, _, info_flags, _, base = struct.unpack_from("<5I", data, at)
        if info_flags & 0x1:
            target = data[at + base:data.index(b"\0", at + base)].decode("latin-1")
        at += size
    strings = {}
    unicode = flags & 0x80
    for flag in (0x4, 0x8, 0x10, 0x20, 0x40):  # name, relative path, folder, arguments, icon
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            width = 2 if unicode else 1
            raw = data[at + 2:at + 2 + count * width]
            strings[flag] = raw.decode("utf-16-le" if unicode else "latin-1").rstrip("\0")
            at += 2 + count * width
    return target, strings.get(0x10, ""), strings.get(0x40, "")


def registry_values(prefix, key):
    status, out = prefix.wine("reg", "query", key)
    if status != 0:
        return None
    return dict(re.findall(r"^[ \t]+(\S+)[ \t]+REG_\w+[ \t]*(.*?)[ \t\r]*$", out, re.M))


def path_entries(prefix):
    values = registry_values(prefix, ENVIRONMENT_KEY) or {}
    return [entry for entry in values.get("PATH", "").split(";") if entry]


def wait_until(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(1)
    return False


def check_window_from_shortcut(prefix, shortcut):
    """Starts the shortcut through the shell, waits for the window and closes it."""
    prefix.start(shortcut)
    try:
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                WINDOW_TITLE], capture_output=True, timeout=300).returncode == 0
    except subprocess.TimeoutExpired:
        found = False
    check(found, "the shortcut started no window titled " + WINDOW_TITLE)

    def running():
        return "tervala.exe" in prefix.wine("tasklist")[1].lower()

    # taskkill without /f sends the window WM_CLOSE, as the close box does.
    prefix.wine("taskkill", "/im", "tervala.exe")
    check(wait_until(lambda: not running(), 120), "the window did not close")


def check_command_line(prefix, work):
    """tervala-cli by its name alone in a new cmd: a first run keeps the list, a second one
    reports the file added since."""
    tree = os.path.join(work, "tree")
    os.makedirs(tree)
    win_work = wine_name(work)
    command = f"cd /d {win_work} && tervala-cli -q {win_work}\\tree"
    status, out = prefix.wine("cmd", "/c", command)
    check(status == 0, f"first tervala-cli run from a new cmd: status {status}, output {out!r}")
    open(os.path.join(tree, "a.txt"), "w").write("a")
    status, out = prefix.wine("cmd", "/c", command)
    check(status == 1 and f"New file: {win_work}\\tree\\a.txt" in out,
          f"second tervala-cli run from a new cmd: status {status}, output {out!r}")


def check_installed(prefix, code):
    for name in (r"bin\tervala.exe", r"bin\tervala-cli.exe", r"share\doc\tervala\index.html"):
        check(os.path.isfile(prefix.linux(INSTALL_DIR + "\\" + name)), "not installed: " + name)
    entry = registry_values(prefix, UNINSTALL_KEY + "\\" + code) or {}
    check(entry.get("DisplayName") == "Tervala" and entry.get("Publisher")
          and entry.get("UninstallString"), f"Add/Remove Programs entry: {entry}")


def check_shortcut(prefix):
    # Wine puts a per-machine shortcut in the installing user's Start menu.
    drive = os.path.join(prefix.root, "drive_c")
    shortcuts = [os.path.join(folder, "Tervala.lnk") for folder, _, names in os.walk(drive)
                 if "Tervala.lnk" in names and folder.endswith("Start Menu/Programs")]
    if not check(len(shortcuts) == 1, f"Start-menu shortcuts: {shortcuts}"):
        return
    target, folder, icon = read_shortcut(shortcuts[0])
    check(target == INSTALL_DIR + r"\bin\tervala.exe", "shortcut target " + target)
    check(folder.rstrip("\\") == "%USERPROFILE%", "shortcut starts in " + folder)
    icon_file = prefix.linux(icon) if icon[1:3] == ":\\" else ""
    check(os.path.isfile(icon_file) and open(icon_file, "rb").read(4) == ICO_MAGIC,
          "shortcut icon " + icon)
    check_window_from_shortcut(
        prefix, "C:\\" + os.path.relpath(shortcuts[0], drive).replace("/", "\\"))


def main():
    package = os.path.abspath(sys.argv[1])
    if not check(os.path.isfile(package), "no package " + package):
        return 1
    code = product_code(package)
    prefix = Prefix()
    work = tempfile.mkdtemp(prefix="msi-test-work-")

    def install(*properties):
        status, _ = prefix.wine("msiexec", "/i", wine_name(package), "/qn", *properties)
        return check(status == 0, f"msiexec /i {' '.join(properties)} ended with status {status}")

    def uninstall():
        status, _ = prefix.wine("msiexec", "/x", code, "/qn")
        check(status == 0, f"msiexec /x ended with status {status}")

    try:
        before = prefix.files()
        path_before = path_entries(prefix)
        if not install():
            return 1
        check_installed(prefix, code)
        check(INSTALL_DIR + r"\bin" in [e.rstrip("\\") for e in path_entries(prefix)],
              "bin folder not on the system PATH")
        check_shortcut(prefix)
        check_command_line(prefix, work)
        uninstall()

        # The same without the PATH entry; what either install left shows below.
        if install("ADDLOCAL=Tervala"):
            check_installed(prefix, code)
            check(path_entries(prefix) == path_before, "ADDLOCAL=Tervala changed the PATH")
            uninstall()

        left = sorted(prefix.files() - before)
        check(not left, f"left after uninstalling: {left}")
        # Wine leaves the separator of a removed entry: an empty entry, no folder.
        path = path_entries(prefix)
        check(path == path_before, f"PATH after uninstalling: {path}")
        left = prefix.registry_lines("tervala|" + re.escape(code.strip("{}")))
        check(not left, f"registry lines left after uninstalling: {left}")
    finally:
        prefix.remove()
        shutil.rmtree(work, ignore_errors=True)
    print("msi_test:", "FAILED" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
