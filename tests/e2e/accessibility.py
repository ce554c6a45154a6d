#!/usr/bin/env python3
"""What a screen reader meets: every control of the three windows speaks a role and
a name, Tab reaches the main window's controls in order and announces nothing else
between them, and the target list and the colour menu open from the keyboard. On a
private bus:
    dbus-run-session -- python3 accessibility.py --exe PATH [--artifacts DIR]"""

import time
import pyatspi
from gi.repository import GLib
from harness import check, main, wait_for

# Roles by meaning: the bus spells them differently from one release to the next ("push button", "button").
B, T, COMBO, RADIO = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_RADIO_BUTTON
TAB_ORDER = [(B, "Add"), (T, "Address"), (T, "Description"), (T, "Source"), (COMBO, None), (B, "Clear address"),
             (B, "Clear description"), (B, "Clear source"), (RADIO, "Typed source"), (RADIO, "Source from the list"),
             (B, "Add to list"), (B, "Edit"), (B, "Refresh"), (B, "Clear all input")]
TAB_ORDER += [stop for n in range(1, 6) for stop in ((T, f"Entry {n}"), (B, f"Clear entry {n}"))]
TAB_ORDER += [(B, "Clear all entries"), (T, "HTML source"), (B, "Browser"), (B, "Editor"), (B, "Open both"),
              (B, "Exit"), (B, "About"), (B, "Preferences"), (B, "Copy to Clipboard"), (B, "Add")]


class Announced:
    """What a screen reader speaks as the focus moves: each control of the program that gains the focus."""

    def __init__(self, pid):
        self.heard = []
        def gained(event):
            if event.detail1 == 1 and event.host_application and event.host_application.get_process_id() == pid:
                self.heard.append(event.source)
        pyatspi.Registry.registerEventListener(gained, "object:state-changed:focused")

    def next(self, what, timeout=30):
        context = GLib.MainContext.default()
        deadline = time.monotonic() + timeout
        while not self.heard:
            check(time.monotonic() < deadline, f"timed out after {timeout} s waiting for {what}")
            context.iteration(False) or time.sleep(0.02)
        return self.heard.pop(0)


def spoken(node):  # a list's name on this desktop is its chosen entry
    return node.getRole(), None if node.getRole() == COMBO and node.name else node.name


def having(node, *states):  # the node and those below it that are in all the states
    found = [node] if all(node.getState().contains(state) for state in states) else []
    return found + [below for child in node if child is not None for below in having(child, *states)]


def unnamed(root):
    return [(node.getRoleName(), node.get_description()) for node in having(root, pyatspi.STATE_FOCUSABLE,
                                                                              pyatspi.STATE_SHOWING) if not node.name]


def accessibility(desktop):
    desktop.start_x()
    program = desktop.start({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
    app = wait_for("the program on the accessibility bus", lambda: [
        app for app in pyatspi.Registry.getDesktop(0) if app and app.get_process_id() == program.pid], 30)[0]
    window = wait_for("the main window", lambda: desktop.windows(program, "NORMAL"), 30)[0][0]
    desktop.run("xdotool", "mousemove", "0", "0")  # away from the window: no tooltip comes up
    announced = Announced(program.pid)
    desktop.run("xdotool", "windowfocus", "--sync", window)
    heard = []
    for _ in TAB_ORDER:
        heard.append(spoken(announced.next(f"Tab to move on from {heard[-1:]} (heard {heard})")))
        desktop.keys("Tab")
    check(heard == TAB_ORDER, f"Tab went {heard}, expected {TAB_ORDER}")
    # The target and the border colour by the keyboard alone: Alt+T opens the target list, Down and Enter pick
    # "_parent" (stored at the close below); Shift+F10 opens the colour menu at the frame, Esc closes it.
    desktop.keys("alt+t", "Down", "Return", "shift+F10")
    wait_for("the colour menu", lambda: len(desktop.windows(program)) == 2)
    desktop.keys("Escape")
    wait_for("the colour menu to close", lambda: len(desktop.windows(program)) == 1)
    silent = unnamed(app)
    for key, title in (("alt+f", "Anchorly preferences"), ("alt+a", "About")):
        desktop.run("xdotool", "windowfocus", "--sync", window)
        desktop.keys(key)
        dialog = wait_for(title, lambda: [window for window in app if window.name == title])  # a top-level one
        silent += unnamed(dialog[0])
        side = wait_for(title, lambda: [w for w in desktop.windows(program) if w[0] != window])[0][0]
        desktop.run("xdotool", "windowfocus", "--sync", side)
        desktop.keys("Return")  # the default button; the preferences take no Esc
        wait_for(f"{title} to close", lambda: len(desktop.windows(program)) == 1)
    check(not silent, f"controls without a name (role, description): {silent}")
    desktop.run("xdotool", "windowfocus", "--sync", window)
    desktop.keys("Escape")
    desktop.ended(program)
    check(desktop.hive().get("ComboIndex") == "1", f"Alt+T, Down and Enter did not pick _parent: {desktop.hive()}")


if __name__ == "__main__":
    main(accessibility, __doc__)
