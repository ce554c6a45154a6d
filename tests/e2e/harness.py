"""A private desktop for the end-to-end tests: its own Xvfb or Weston, home and XDG folders, the program run in it
(as another user when asked). Waits poll against deadlines; a failure keeps a screenshot; all started is stopped."""

import argparse, os, re, select, shutil, signal, subprocess, sys, tempfile, time


class Failed(Exception):
    pass


def check(ok, message):
    if not ok:
        raise Failed(message)


def wait_for(what, probe, timeout=20.0):
    deadline = time.monotonic() + timeout
    while not (value := probe()):
        check(time.monotonic() < deadline, f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(0.05)
    return value


class Desktop:
    def __init__(self, exe, user=None, artifacts=None, name="e2e"):
        self.user, self.artifacts, self.name, self.processes = user, artifacts, name, []
        self.root = tempfile.mkdtemp(prefix=f"anchorly-{name}-")
        self.home, runtime = os.path.join(self.root, "home"), os.path.join(self.root, "runtime")
        os.chmod(self.root, 0o755)
        for folder in (self.home, runtime):
            os.mkdir(folder, 0o700)
            if user is not None:
                os.chown(folder, user, user)
        # A copy of its own, beside which sources.txt is the test's; another user runs the program where it lies,
        # in a folder that user cannot write.
        self.exe = shutil.copy2(exe, os.path.join(self.root, "anchorly")) if user is None else os.path.abspath(exe)
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home, "XDG_RUNTIME_DIR": runtime,
                    "XDG_CONFIG_HOME": os.path.join(self.home, ".config"), "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8",
                    "XDG_DATA_HOME": os.path.join(self.home, ".local/share")}
        self.env.update({k: v for k, v in os.environ.items() if k == "DBUS_SESSION_BUS_ADDRESS"})

    def __enter__(self):
        return self

    def __exit__(self, kind, error, trace):
        if kind and "DISPLAY" in self.env and self.artifacts:
            os.makedirs(self.artifacts, exist_ok=True)
            self.run("import", "-window", "root", os.path.join(self.artifacts, f"{self.name}-failure.png"))
        for process in reversed(self.processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
            if kind and process.log:
                print(f"--- {os.path.basename(process.log)}:\n{open(process.log, errors='replace').read()}")
        shutil.rmtree(self.root, ignore_errors=True)

    def spawn(self, args, env=None, log=None, **options):
        with open(log or os.devnull, "wb") as out:
            process = subprocess.Popen(args, env=env or self.env, cwd=self.root, stdin=subprocess.DEVNULL, stdout=out,
                                       stderr=subprocess.STDOUT, start_new_session=True, **options)
        process.log = log
        self.processes.append(process)
        return process

    def start_x(self, tries=3):
        """Xvfb on a free display; one that another starting server took from under it is tried again."""
        read_end, write_end = os.pipe()
        xvfb = self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-dpi", "96",
                           "-nolisten", "tcp", "-noreset"], None, os.path.join(self.root, "xvfb.log"),
                          pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n") and select.select([read_end], [], [], 30)[0]:
            number += os.read(read_end, 16) or b"\n"
        os.close(read_end)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        up = lambda: "screen #0" in self.run("xdpyinfo") or xvfb.poll() is not None and "died"
        if wait_for("Xvfb", up, 30) == "died":
            check(tries > 1, f"Xvfb did not start: {open(xvfb.log).read()}")
            self.start_x(tries - 1)

    def start(self, extra_env=None):
        user = ["setpriv", f"--reuid={self.user}", f"--regid={self.user}", "--clear-groups"] if self.user else []
        log = os.path.join(self.root, f"anchorly-{len(self.processes)}.log")
        return self.spawn(user + [self.exe], {**self.env, **(extra_env or {})}, log)

    def run(self, *args, timeout=15):
        return subprocess.run(args, env=self.env, capture_output=True, timeout=timeout).stdout.decode()

    def windows(self, program, kind=None):
        """The program's visible windows, as [id, x, y, width, height]; kind "NORMAL", "DIALOG"... among the window's
        types (newer toolkits give a drop-down list its own type before NORMAL, older ones NORMAL alone)"""
        found = [[w] + [int(n) for n in re.findall(r"\b(?:X|Y|WIDTH|HEIGHT)=(\d+)", self.run(
            "xdotool", "getwindowgeometry", "--shell", w))] for w in self.run(
            "xdotool", "search", "--onlyvisible", "--pid", str(program.pid)).split()]
        return [w for w in found if not kind or re.search(rf"[=,] _NET_WM_WINDOW_TYPE_{kind}\b", self.run(
            "xprop", "-id", w[0], "_NET_WM_WINDOW_TYPE"))]

    def keys(self, *keys):
        self.run("xdotool", "key", "--delay", "60", *keys)

    def type(self, *texts):  # each into the next box
        for text in texts:
            self.keys("Tab")
            self.run("xdotool", "type", "--delay", "30", text, timeout=60)

    def click(self, x, y):
        self.run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "1")

    def ended(self, program, timeout=20):
        status = wait_for("the program to end", lambda: program.poll() is not None and [program.returncode], timeout)[0]
        check(status == 0, f"the program ended with status {status}")

    def hive(self):
        path = os.path.join(self.home, ".config/anchorly/registry/HKEY_CURRENT_USER.reg")
        return dict(re.findall(r'^"(.*?)"="(.*)"\r?$', open(path).read(), re.M)) if os.path.exists(path) else {}


def main(journey, description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--user", type=int)
    parser.add_argument("--artifacts")
    options = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped by SIGTERM"))  # a CTest timeout: clean up first
    try:
        with Desktop(options.exe, options.user, options.artifacts, journey.__name__) as desktop:
            journey(desktop)
    except Failed as failure:
        sys.exit(f"FAIL {journey.__name__}: {failure}")
    print(f"PASS {journey.__name__}")
