#!/usr/bin/env python3
"""The main road of a user through the real program on a private X server:
    journey.py --exe PATH [--user UID] [--artifacts DIR]"""

import os, re, signal
from harness import Failed, check, main, wait_for

URL, TEXT = "https://example.org/news?id=7&lang=en", "Tides & harbours"


def anchor(source, target):
    return f'<a href="{URL}" target="{target}">{TEXT} - {source}</a><br>'.encode()


def sources(desktop):
    """The names in sources.txt: per user when the program's folder is not the user's to write."""
    for folder in (os.path.join(desktop.env["XDG_DATA_HOME"], "anchorly"), os.path.dirname(desktop.exe)):
        if os.path.exists(os.path.join(folder, "sources.txt")):
            return open(os.path.join(folder, "sources.txt"), "rb").read().split(b"\r\n")
    return []


def copied(desktop, expected):
    desktop.keys("alt+c")
    clipboard = lambda: desktop.run("xclip", "-o", "-selection", "clipboard").encode()
    try:
        wait_for("the copy", lambda: clipboard() == expected, 10)
    except Failed:
        raise Failed(f"the clipboard holds {clipboard()!r}, expected {expected!r}")


def start(desktop, place=None):
    program = desktop.start()
    window = wait_for("the main window", lambda: desktop.windows(program, "NORMAL"), 30)[0]
    check(window[1:3] == (place or [(1024 - window[3]) // 2, (768 - window[4]) // 2]), f"misplaced: {window}")
    desktop.run("xdotool", "windowfocus", "--sync", window[0])  # no window manager gives the focus
    return program, window


def journey(desktop):
    desktop.start_x()
    program, window = start(desktop)  # centred at the first start
    desktop.type(URL, TEXT, "  Zeta Weekly  ")  # from Add, first in the tab order
    desktop.keys("Return", "alt+l")
    names = wait_for("sources.txt with the added name", lambda: b"Zeta Weekly" in sources(desktop) and sources(desktop))
    check(names[-1] == b"" and names[:-1] == sorted(names[:-1], key=bytes.lower), f"sources.txt holds {names}")
    # The target with the mouse: a click on the label shows the list, a click opens it, one picks "_top".
    top = window[2] + window[4] - 420  # below the menu bar
    desktop.click(window[1] + 209, top + 22)
    desktop.click(window[1] + 241, top + 23)
    popup = wait_for("the target list", lambda: [w for w in desktop.windows(program, "NORMAL") if w[3] < 200])[0]
    desktop.click(popup[1] + popup[3] // 2, popup[2] + popup[4] * 7 // 8)
    wait_for("the target list to close", lambda: len(desktop.windows(program, "NORMAL")) == 1)  # tooltips aside
    # List mode by keys, three Tabs from the address box (an access key would click a moment too late).
    desktop.click(window[1] + 108, top + 59)
    desktop.keys("Tab", "Tab", "Tab", "Home", "Return")
    first = names[0].decode("latin-1")
    copied(desktop, anchor("Zeta Weekly", "_blank") + b"\r\n" + anchor(first, "_top") + b"\r\n" * 3)
    desktop.run("xdotool", "windowmove", "--sync", window[0], "100", "80")
    desktop.keys("Escape")
    desktop.ended(program)
    stored = {"Top": "1200", "Left": "1500", "Startup": "True", "ComboIndex": "3", "ComboSource": "0",
              "Source Option Text": "False", "Source Option Combo": "True"}
    check(desktop.hive() == stored, f"the close stored {desktop.hive()}, expected {stored}")

    program, window = start(desktop, [100, 80])  # restored
    # Moved before a copy, which shows the program has seen the move by the time SIGTERM comes out of band.
    desktop.run("xdotool", "windowmove", "--sync", window[0], "200", "150")
    desktop.type(URL, TEXT)
    desktop.keys("Return")
    copied(desktop, anchor(first, "_top") + b"\r\n" * 4)
    # A second start, while another window covers the first: its message, its end, and the first comes forward.
    cover = desktop.spawn(["xmessage", "-geometry", "1024x768+0+0", "-name", "cover", "covering"])
    cover_id = wait_for("the covering window", lambda: desktop.run("xdotool", "search", "--classname", "^cover$"))
    def above():  # xwininfo lists the top-level windows from the top down
        order = [int(w, 16) for w in re.findall(r"^\s+(0x[0-9a-f]+)", desktop.run("xwininfo", "-root", "-children"), re.M)]
        return order.index(int(window[0])) < order.index(int(cover_id.split()[0]))
    check(not above(), "the first window was not covered")
    second = desktop.start()
    box = wait_for("the second copy's message", lambda: desktop.windows(second, "DIALOG"), 30)[0]
    check(len(desktop.windows(second)) == 1, "the second copy opened a main window")
    desktop.run("xdotool", "windowfocus", "--sync", box[0])
    desktop.keys("Return")
    desktop.ended(second)
    wait_for("the first window to come forward", above, 10)
    cover.kill()
    check((desktop.hive(), sources(desktop)) == (stored, names), "the second copy changed the stored files")
    # The end of the desktop session closes the window as the user would, the open preferences first.
    desktop.run("xdotool", "windowfocus", "--sync", window[0])
    desktop.keys("alt+f")
    wait_for("the preferences", lambda: desktop.windows(program, "DIALOG"))
    program.send_signal(signal.SIGTERM)
    desktop.ended(program)
    stored.update(Top="2250", Left="3000", Browser="", Editor="", HTMLfile="")
    check(desktop.hive() == stored, f"SIGTERM stored {desktop.hive()}, expected {stored}")

    # The X server ends under the running program (a logout without a session manager): the toolkit ends it with
    # status 1, and what a close stores is stored.
    program, window = start(desktop, [200, 150])
    desktop.run("xdotool", "windowmove", "--sync", window[0], "300", "240")
    desktop.type(URL, TEXT, "x")  # a typed source selects the typed-source mode
    desktop.keys("Return")
    copied(desktop, anchor("x", "_top") + b"\r\n" * 4)  # the program has seen the move and the keys
    desktop.processes[0].terminate()
    status = wait_for("the program to end", lambda: program.poll() is not None and [program.returncode], 20)[0]
    stored.update({"Top": "3600", "Left": "4500", "Source Option Text": "True", "Source Option Combo": "False"})
    check((status, desktop.hive()) == (1, stored), f"the X server's end gave status {status} and {desktop.hive()}")


if __name__ == "__main__":
    main(journey, __doc__)
