#!/usr/bin/env python3
"""On a Wayland-only desktop (headless Weston, no X server) the program runs natively, maps its window, and at the
session's end (SIGTERM) stores what a close stores but the place, which no compositor tells a window."""

import os, re
from harness import check, main, wait_for


def wayland(desktop):
    socket = "anchorly-wayland"
    desktop.spawn(["weston", "--backend=headless-backend.so", f"--socket={socket}", "--idle-time=0"],
                  log=os.path.join(desktop.root, "weston.log"))
    wait_for("Weston", lambda: os.path.exists(os.path.join(desktop.env["XDG_RUNTIME_DIR"], socket)), 30)
    program = desktop.start({"WAYLAND_DISPLAY": socket, "XDG_SESSION_TYPE": "wayland", "WAYLAND_DEBUG": "client"})
    # The protocol log: the window is mapped once a buffer follows the compositor's first configure (objects are
    # written "name@id" by older Wayland libraries, "name#id" by newer ones).
    log = lambda: open(program.log, errors="replace").read()
    wait_for("the window to be mapped", lambda: re.search(r"xdg_toplevel[@#]\d+\.configure.*?wl_surface[@#]\d+\.attach",
                                                          log(), re.S), 60)
    program.terminate()
    desktop.ended(program)
    stored = {"ComboIndex": "0", "ComboSource": "0", "Source Option Text": "False", "Source Option Combo": "True"}
    check(desktop.hive() == stored, f"SIGTERM stored {desktop.hive()}, expected {stored}")


if __name__ == "__main__":
    main(wayland, __doc__)
