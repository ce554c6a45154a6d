#!/usr/bin/env python3
"""What a screen reader meets: every control of the three windows speaks a role and
a name, and Tab reaches the main window's controls in order. On a private bus:
    dbus-run-session -- python3 accessibility.py --exe PATH [--artifacts DIR]"""

import pyatspi
from harness import check, main, wait_for

B, T, CLEAR = "push button", "text", ("push button", "Clear")
TAB_ORDER = [(B, "Add"), (T, "Address"), (T, "Description"), (T, "Source"), ("combo box", None), CLEAR,
             CLEAR, CLEAR, ("radio button", "Typed source"), ("radio button", "Source from the list"),
             (B, "Add to list"), (B, "Edit"), (B, "Refresh"), (B, "Clear all input")]
TAB_ORDER += [stop for n in range(1, 6) for stop in ((T, f"Entry {n}"), CLEAR)]
TAB_ORDER += [(B, "Clear all entries"), (T, "HTML source"), (B, "Browser"), (B, "Editor"), (B, "Open both"),
              (B, "Exit"), (B, "About"), (B, "Preferences"), (B, "Copy to Clipboard"), (B, "Add")]


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
    desktop.run("xdotool", "windowfocus", "--sync", window)
    heard, last = [], None
    for _ in TAB_ORDER:
        last = wait_for(f"Tab to move on from {heard[-1:]} (heard {heard})", lambda: [
            node for node in having(app, pyatspi.STATE_FOCUSED) if node != last], 30)[0]
        # A list's name on this desktop is its chosen entry.
        heard.append((last.getRoleName(), None if last.getRoleName() == "combo box" and last.name else last.name))
        desktop.keys("Tab")
    check(heard == TAB_ORDER, f"Tab went {heard}, expected {TAB_ORDER}")
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


if __name__ == "__main__":
    main(accessibility, __doc__)
