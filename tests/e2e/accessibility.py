#!/usr/bin/env python3
"""What a screen reader meets: every control of the three windows speaks a role and
a name, Tab reaches the main window's controls in order and announces nothing else
between them, the target list and the colour menu open from the keyboard and as
actions, and a command tells what it did. The windows ask for one font. On a private bus:
    dbus-run-session -- python3 accessibility.py --exe PATH [--artifacts DIR]"""

import os
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


def announced(pid):
    """What a screen reader speaks as the focus moves: the next control of the program that gains the focus."""
    heard = []
    def gained(event):
        if event.detail1 == 1 and event.host_application and event.host_application.get_process_id() == pid:
            heard.append(event.source)
    pyatspi.Registry.registerEventListener(gained, "object:state-changed:focused")
    return lambda what: wait_for(what, lambda: GLib.MainContext.default().iteration(False) and 0 or heard[:1] and
                                 [heard.pop(0)], 30)[0]


def described(pid):
    """The descriptions the program's controls change to, as a screen reader hears them change."""
    told = []
    def changed(event):
        if event.host_application and event.host_application.get_process_id() == pid:
            told.append(event.source.description)
    pyatspi.Registry.registerEventListener(changed, "object:property-change:accessible-description")
    return told


def spoken(node):  # a list's name on this desktop is its chosen entry
    return node.getRole(), None if node.getRole() == COMBO and node.name else node.name


def having(node, *states):  # the node and those below it that are in all the states
    found = [node] if all(node.getState().contains(state) for state in states) else []
    return found + [below for child in node if child is not None for below in having(child, *states)]


def unnamed(root):  # or named with blanks around
    return [(node.getRoleName(), node.get_description(), node.name) for node in having(
        root, pyatspi.STATE_FOCUSABLE, pyatspi.STATE_SHOWING) if not node.name or node.name != node.name.strip()]


def sample(root):  # where the program's sample text shows within root
    return [node.queryText().getRangeExtents(0, 6, pyatspi.DESKTOP_COORDS)[2:] for node in having(
        root, pyatspi.STATE_SHOWING) if node.getRole() == T and node.queryText().getText(0, -1) == "Entry1"]


def accessibility(desktop):
    desktop.start_x()
    # The browser's location is the text of the first slot: the preferences show it in the font they ask for.
    os.makedirs(os.path.join(desktop.env["XDG_CONFIG_HOME"], "anchorly/registry"))
    with open(os.path.join(desktop.env["XDG_CONFIG_HOME"], "anchorly/registry/HKEY_CURRENT_USER.reg"), "w") as hive:
        hive.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly]\n"Browser"="Entry1"\n')
    program = desktop.start({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
    app = wait_for("the program on the accessibility bus", lambda: [
        app for app in pyatspi.Registry.getDesktop(0) if app and app.get_process_id() == program.pid], 30)[0]
    window = wait_for("the main window", lambda: desktop.windows(program, "NORMAL"), 30)[0][0]
    desktop.run("xdotool", "mousemove", "0", "0")  # away from the window: no tooltip comes up
    focused = announced(program.pid)
    desktop.run("xdotool", "windowfocus", "--sync", window)
    heard = []
    for _ in TAB_ORDER:
        heard.append(spoken(focused(f"Tab to move on from {heard[-1:]} (heard {heard})")))
        desktop.keys("Tab")
    check(heard == TAB_ORDER, f"Tab went {heard}, expected {TAB_ORDER}")
    # The target piece and the frame offer their lists as actions, with the keys that open them. Alt+T opens the
    # target list, Down and Enter pick "_parent" (stored at the close below); the menu key and Shift+F10 pop up the
    # colour menu below the frame, where Enter runs its first item, the colour dialog.
    # (The frame is a "frame" on Qt 6.4, a "panel" on 6.8.)
    pieces = {(node.getRole(), action.get_key_binding(0)): node for node in having(app) if (
        action := node.get_action_iface()) and action.get_n_actions() and action.get_action_name(0) == "ShowMenu"}
    frames = [node for (_, key), node in pieces.items() if key == "Shift+F10"]
    check((pyatspi.ROLE_LABEL, "Alt+T") in pieces and len(frames) == 1, f"actions: {pieces}")
    frame = frames[0].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    for key, closing in (("alt+t", "Down Return"), ("Menu", "Return"), ("shift+F10", "Escape"), (None, "Escape")):
        desktop.run("xdotool", "windowfocus", "--sync", window)  # no window manager gives it back
        desktop.keys(key) if key else pieces[pyatspi.ROLE_LABEL, "Alt+T"].get_action_iface().do_action(0)
        popup = wait_for(f"the list of {key}", lambda: [w for w in desktop.windows(program) if w[0] != window])[0]
        check(key not in ("Menu", "shift+F10") or popup[1:3] == [frame.x, frame.y + frame.height],
              f"the colour menu at {popup}, not below the frame at {frame}")
        desktop.keys(*closing.split())
        if closing == "Return":
            wait_for("the colour dialog", lambda: desktop.windows(program, "DIALOG"))
            desktop.keys("Escape")
        wait_for(f"the list of {key} to close", lambda: len(desktop.windows(program)) == 1)
    # A command tells a screen reader what it did: the info line's description changes, wherever the focus is.
    told = described(program.pid)
    desktop.run("xdotool", "windowfocus", "--sync", window)
    desktop.keys("alt+c")
    wait_for("the copy told", lambda: GLib.MainContext.default().iteration(False) and 0 or
             "HTML source copied to the clipboard" in told, 10)
    silent, font = unnamed(app), sample(app)
    for key, title in (("alt+f", "Anchorly preferences"), ("alt+a", "About")):
        desktop.run("xdotool", "windowfocus", "--sync", window)
        desktop.keys(key)
        dialog = wait_for(title, lambda: [window for window in app if window.name == title])  # a top-level one
        silent += unnamed(dialog[0])
        if title != "About":
            check(sample(dialog[0]) == font, f"the main window's font differs: {font}, {sample(dialog[0])}")
        side = wait_for(title, lambda: [w for w in desktop.windows(program) if w[0] != window])[0][0]
        desktop.run("xdotool", "windowfocus", "--sync", side)
        desktop.keys("Return")  # the default button; the preferences take no Esc
        wait_for(f"{title} to close", lambda: len(desktop.windows(program)) == 1)
    check(not silent, f"controls without a name or with blanks around it (role, description, name): {silent}")
    desktop.run("xdotool", "windowfocus", "--sync", window)
    desktop.keys("Escape")
    desktop.ended(program)
    check(desktop.hive().get("ComboIndex") == "1", f"Alt+T, Down and Enter did not pick _parent: {desktop.hive()}")


if __name__ == "__main__":
    main(accessibility, __doc__)
