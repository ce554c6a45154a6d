"""Drives the built program on a private X server, only as a user can.

Every journey gets its own Xvfb (1024x768x24 at 96 dpi, no window manager),
its own HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR, and its own copy of the
executable, so that "sources.txt" beside it and the single-copy lock are the
journey's alone. Keys and the mouse go through xdotool, the clipboard is read
with xclip while the program still runs, the settings hive and sources.txt
are read from disk. Every wait polls against a deadline.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768
TWIPS_PER_PIXEL = 15  # at 96 dpi

KEY_PATH = "HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly"
REQUIRED_TOOLS = ("Xvfb", "xdotool", "xclip", "xprop", "import")


class JourneyFailed(Exception):
    """A step did not do what a user would expect; the text says what differed."""


def check(condition, message):
    if not condition:
        raise JourneyFailed(message)


def wait_for(what, probe, timeout=10.0, interval=0.05):
    """Polls probe() until it returns something true; fails naming `what` at the deadline."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = probe()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise JourneyFailed(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def missing_tools():
    return [tool for tool in REQUIRED_TOOLS if shutil.which(tool) is None]


# --- the settings hive -------------------------------------------------------

_VALUE_LINE = re.compile(r'^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"\r?$')


def _unescape(text):
    def replace(match):
        code = match.group(1)
        if code == "r":
            return "\r"
        if code == "n":
            return "\n"
        if code.startswith("x"):
            return chr(int(code[1:], 16))
        return code  # \\ and \"
    return re.sub(r'\\(x[0-9A-Fa-f]{2}|.)', replace, text)


def _escape(text):
    out = []
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ch == '"':
            out.append('\\"')
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\n":
            out.append("\\n")
        elif ord(ch) < 0x20 or ord(ch) == 0x7F:
            out.append("\\x%02x" % ord(ch))
        else:
            out.append(ch)
    return "".join(out)


def parse_hive(text):
    """The values of the program's key, as a dict name -> text."""
    values = {}
    section = None
    for line in text.splitlines():
        if line.startswith("["):
            section = line.strip()[1:-1]
            continue
        match = _VALUE_LINE.match(line)
        if match and section == KEY_PATH:
            values[_unescape(match.group(1))] = _unescape(match.group(2))
    return values


def format_hive(values):
    lines = ["REGEDIT4", "", f"[{KEY_PATH}]"]
    lines += [f'"{_escape(name)}"="{_escape(value)}"' for name, value in values.items()]
    return "\n".join(lines) + "\n"


# --- processes ---------------------------------------------------------------

def _run(args, env=None, timeout=10.0, check_status=True):
    try:
        result = subprocess.run(args, env=env, capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        raise JourneyFailed(f"{' '.join(args)} did not finish within {timeout:g} s")
    if check_status and result.returncode != 0:
        raise JourneyFailed(f"{' '.join(args)} failed ({result.returncode}): "
                            f"{result.stderr.decode(errors='replace').strip()}")
    return result


def _stop(process, grace=3.0):
    """Ends a process (and its group) we started: politely first, then for good."""
    if process is None or process.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, grace)):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            return
        try:
            process.wait(timeout=wait)
            return
        except subprocess.TimeoutExpired:
            continue


class Window:
    def __init__(self, session, window_id):
        self.session = session
        self.id = window_id

    def name(self):
        result = self.session.x(["xdotool", "getwindowname", self.id], check_status=False)
        return result.stdout.decode(errors="replace").rstrip("\n") if result.returncode == 0 else None

    def geometry(self):
        """(x, y, width, height) of the window on the screen, in pixels."""
        out = self.session.x(["xdotool", "getwindowgeometry", "--shell", self.id]).stdout.decode()
        fields = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(fields["X"]), int(fields["Y"]), int(fields["WIDTH"]), int(fields["HEIGHT"])

    def window_type(self):
        """The window's own type without its prefix ("NORMAL", "DIALOG", "COMBO"...): the first it names."""
        out = self.session.x(["xprop", "-id", self.id, "_NET_WM_WINDOW_TYPE"], check_status=False).stdout.decode()
        if "=" not in out:
            return ""
        return out.split("=", 1)[1].split(",")[0].strip().replace("_NET_WM_WINDOW_TYPE_", "")

    def focus(self):
        # No window manager runs: the window takes the keyboard focus only when asked directly.
        self.session.x(["xdotool", "windowfocus", "--sync", self.id], timeout=5)

    def exists(self):
        return self.session.x(["xdotool", "getwindowname", self.id], check_status=False).returncode == 0


class App:
    """One running copy of the program."""

    def __init__(self, session, process, log_path):
        self.session = session
        self.process = process
        self.log_path = log_path

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process.poll() is None

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def windows(self, name_pattern=None):
        """The program's visible top-level windows (popups included when no name is asked for)."""
        args = ["xdotool", "search", "--onlyvisible", "--pid", str(self.pid)]
        args += ["--name", name_pattern] if name_pattern else []
        result = self.session.x(args, check_status=False)
        return [Window(self.session, w) for w in result.stdout.decode().split()]

    def _check_alive(self, what):
        if not self.running():
            raise JourneyFailed(f"the program ended (exit status {self.process.returncode}) "
                                f"while waiting for {what}; its output:\n{self.log()}")

    def wait_window(self, title, window_type=None, timeout=15.0):
        """The visible window titled exactly `title` (and of the given window type, e.g. "DIALOG")."""
        what = f'a window titled "{title}"' + (f" of type {window_type}" if window_type else "")

        def probe():
            self._check_alive(what)
            for window in self.windows("^" + re.escape(title) + "$"):
                if window.name() == title and (window_type is None or window.window_type() == window_type):
                    return window
            return None
        return wait_for(what, probe, timeout)

    def main_window(self, timeout=15.0):
        return self.wait_window("Anchorly", "NORMAL", timeout)

    def wait_exit(self, timeout=10.0):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise JourneyFailed(f"the program did not end within {timeout:g} s")


class Session:
    """A private desktop: Xvfb, a fresh home and a copy of the program."""

    def __init__(self, executable, artifacts_dir, journey):
        self.executable = executable
        self.artifacts_dir = artifacts_dir
        self.journey = journey
        self.root = tempfile.mkdtemp(prefix=f"anchorly-e2e-{journey}-")
        self.home = os.path.join(self.root, "home")
        self.config_home = os.path.join(self.home, ".config")
        self.runtime_dir = os.path.join(self.root, "runtime")
        self.app_dir = os.path.join(self.root, "app")
        for folder in (self.home, self.config_home, self.app_dir):
            os.makedirs(folder)
        os.mkdir(self.runtime_dir, 0o700)
        self.app_path = os.path.join(self.app_dir, "anchorly")
        shutil.copy2(executable, self.app_path)
        self.display = None
        self.xvfb = None
        self.apps = []
        self.screenshots = []

    # -- lifetime --

    def __enter__(self):
        try:
            self._start_xvfb()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None and self.xvfb is not None and self.xvfb.poll() is None:
            try:
                self.screenshot("failure")
            except Exception as error:  # the failure itself matters more than its picture
                print(f"(no failure screenshot: {error})", file=sys.stderr)
            for app in self.apps:
                print(f"--- output of anchorly pid {app.pid} ---\n{app.log()}", file=sys.stderr)
        self.close()
        return False

    def close(self):
        for app in self.apps:
            _stop(app.process)
        _stop(self.xvfb)
        shutil.rmtree(self.root, ignore_errors=True)

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.root, "xvfb.log"), "wb")
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24",
             "-dpi", "96", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        os.close(write_end)
        log.close()
        number = b""
        deadline = time.monotonic() + 15
        try:
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or self.xvfb.poll() is not None:
                    with open(os.path.join(self.root, "xvfb.log"), errors="replace") as f:
                        raise JourneyFailed(f"Xvfb did not start: {f.read().strip()}")
                ready, _, _ = select.select([read_end], [], [], remaining)
                if ready:
                    chunk = os.read(read_end, 16)
                    if not chunk:
                        continue
                    number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()

    # -- the environment --

    def env(self):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": self.config_home,
            "XDG_RUNTIME_DIR": self.runtime_dir,
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "QT_QPA_PLATFORM": "xcb",
        }
        return env

    def x(self, args, timeout=10.0, check_status=True):
        """Runs an X client against this session's display."""
        return _run(args, env=self.env(), timeout=timeout, check_status=check_status)

    def start(self):
        log_path = os.path.join(self.root, f"anchorly-{len(self.apps) + 1}.log")
        with open(log_path, "wb") as log:
            process = subprocess.Popen([self.app_path], cwd=self.home, env=self.env(), stdin=subprocess.DEVNULL,
                                       stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        app = App(self, process, log_path)
        self.apps.append(app)
        return app

    # -- what the user does --

    def key(self, *keys):
        self.x(["xdotool", "key", "--delay", "40", *keys])

    def type(self, text):
        self.x(["xdotool", "type", "--delay", "20", text], timeout=30)

    def click(self, x, y, button=1):
        self.x(["xdotool", "mousemove", "--sync", str(x), str(y), "click", str(button)])

    def clipboard(self):
        """The clipboard's text as bytes, or None when nobody offers one."""
        result = self.x(["xclip", "-o", "-selection", "clipboard"], timeout=5, check_status=False)
        return result.stdout if result.returncode == 0 else None

    def wait_clipboard(self, what, accept, timeout=5.0):
        """Polls the clipboard until accept(content) holds; returns the content."""
        seen = []

        def probe():
            content = self.clipboard()
            seen[:] = [content]
            return content if content is not None and accept(content) else None
        try:
            return wait_for(what, probe, timeout)
        except JourneyFailed:
            raise JourneyFailed(f"timed out waiting for {what}; the clipboard holds {seen[0]!r}")

    def screenshot(self, label):
        os.makedirs(self.artifacts_dir, exist_ok=True)
        path = os.path.join(self.artifacts_dir, f"{self.journey}-{label}.png")
        self.x(["import", "-window", "root", path], timeout=20)
        self.screenshots.append(path)
        print(f"screenshot: {path}", file=sys.stderr)
        return path

    def window_pixels(self, window):
        """The window's picture as a list of (red, green, blue) rows."""
        _, _, width, height = window.geometry()
        data = self.x(["import", "-window", window.id, "-depth", "8", "rgb:-"], timeout=20).stdout
        check(len(data) >= width * height * 3, f"the picture of window {window.id} is incomplete")
        pixels = [tuple(data[i:i + 3]) for i in range(0, width * height * 3, 3)]
        return [pixels[row * width:(row + 1) * width] for row in range(height)]

    # -- what the program keeps on disk --

    @property
    def hive_path(self):
        return os.path.join(self.config_home, "anchorly", "registry", "HKEY_CURRENT_USER.reg")

    @property
    def sources_path(self):
        return os.path.join(self.app_dir, "sources.txt")

    def read_hive(self):
        try:
            with open(self.hive_path, encoding="latin-1") as f:
                return parse_hive(f.read())
        except FileNotFoundError:
            return None

    def write_hive(self, values):
        os.makedirs(os.path.dirname(self.hive_path), exist_ok=True)
        with open(self.hive_path, "w", encoding="latin-1") as f:
            f.write(format_hive(values))

    def file_bytes(self, path):
        try:
            with open(path, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None
