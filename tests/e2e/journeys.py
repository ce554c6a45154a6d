#!/usr/bin/env python3
"""End-to-end journeys through the real program on a private X server.

    journeys.py <journey> --exe <path to anchorly> --artifacts <folder>

Each journey is one CTest test (e2e_<journey>). A failing journey says what
differed, keeps a screenshot of the whole screen in the artefacts folder and
prints the program's own output.
"""

import argparse
import os
import signal
import sys
import time

from harness import (SCREEN_HEIGHT, SCREEN_WIDTH, TWIPS_PER_PIXEL, JourneyFailed, Session, check, missing_tools,
                     wait_for)

CRLF = b"\r\n"
# Height of the window's client area below the menu bar, in pixels.
CLIENT_HEIGHT = 420
# Names a user could keep in sources.txt: unsorted, mixed case.
USER_SOURCES = ["zeta Review", "Alpha Times", "beta News", "Gamma Post"]
USER_SOURCES_SORTED = sorted(USER_SOURCES, key=str.lower)  # Alpha Times, beta News, Gamma Post, zeta Review


def anchor(url, description, source, target="_blank"):
    return f'<a href="{url}" target="{target}">{description} - {source}</a><br>'.encode()


def one_link_clipboard(link):
    """The HTML source with the first slot filled: the link, then the four empty slots' line breaks."""
    return link + CRLF * 4


def write_sources(session, names):
    with open(session.sources_path, "wb") as f:
        f.write(b"".join(name.encode() + CRLF for name in names))


def compose(session, url, description, source=None):
    """From a freshly focused main window (focus on Add): fills the boxes in tab order and presses Enter."""
    session.key("Tab")
    session.type(url)
    session.key("Tab")
    session.type(description)
    if source is not None:
        session.key("Tab")
        session.type(source)
    session.key("Return")


def expect_clipboard(session, expected, what):
    """Copies with Alt+C and waits for exactly `expected` on the clipboard."""
    session.key("alt+c")
    session.wait_clipboard(f"{what}: {expected!r}", lambda content: content == expected)


def expect_message_box(app, title):
    """Waits for the program's message box titled `title`.

    Its text cannot be read from outside: Qt offers a message box's text to the
    clipboard only on Windows, and labels hold no X properties. The title, the
    dialog type and what closing the box does identify the message; the unit
    tests check the wording through the fake platform.
    """
    return app.wait_window(title, "DIALOG")


def expect_centred(window):
    x, y, width, height = window.geometry()
    want_x, want_y = (SCREEN_WIDTH - width) // 2, (SCREEN_HEIGHT - height) // 2
    check(abs(x - want_x) <= 1 and abs(y - want_y) <= 1,
          f"the {width}x{height} window is at ({x}, {y}); centred on the {SCREEN_WIDTH}x{SCREEN_HEIGHT} screen "
          f"it would be at ({want_x}, {want_y})")


def expect_values(values, expected, when):
    check(values is not None, f"{when}: the settings file does not exist")
    differing = {name: (values.get(name), want) for name, want in expected.items() if values.get(name) != want}
    check(not differing, f"{when}: settings differ (name: (stored, expected)): {differing}; all stored: {values}")


# --- the journeys -------------------------------------------------------------

def first_start(session):
    check(session.read_hive() is None, "a fresh home already holds settings")
    app = session.start()
    window = app.main_window()
    check(window.name() == "Anchorly", f'the main window is titled "{window.name()}", not "Anchorly"')
    expect_centred(window)
    window.focus()
    # Nothing in the address or query is escaped: the user's text goes into the anchor as typed.
    url = "https://example.org/news?id=7&lang=en"
    compose(session, url, "Tides & harbours", "Harbour Weekly")
    expect_clipboard(session, one_link_clipboard(anchor(url, "Tides & harbours", "Harbour Weekly")),
                     "the typed link after Enter and Alt+C")
    session.key("Escape")
    status = app.wait_exit()
    check(status == 0, f"the program ended with status {status} after Esc")


def list_mode(session):
    write_sources(session, USER_SOURCES)
    app = session.start()
    app.main_window().focus()
    # A typed source first, then a pick in the list: the pick switches to the list's source.
    compose(session, "https://example.org/list", "Picked from the list", "Typed Source")
    session.key("ctrl+a", "BackSpace")  # the Enter above added a link; start the next from an empty source box
    session.key("Tab")                   # txtSOURCE -> Combo2
    session.key("Down", "Down")          # Alpha Times -> beta News -> Gamma Post
    session.key("Return")
    picked = USER_SOURCES_SORTED[2]
    first = anchor("https://example.org/list", "Picked from the list", "Typed Source")
    second = anchor("https://example.org/list", "Picked from the list", picked)
    expect_clipboard(session, first + CRLF + second + CRLF * 3,
                     "a typed-source link, then one with the source picked in the list")
    session.key("Escape")
    app.wait_exit()
    expect_values(session.read_hive(), {"ComboSource": "2", "Source Option Text": "False",
                                        "Source Option Combo": "True"}, "after closing in list mode")


def restore(session):
    write_sources(session, USER_SOURCES)
    app = session.start()
    window = app.main_window()
    x, y, width, height = window.geometry()
    window.focus()
    session.key("Tab", "Tab", "Tab", "Tab")  # Add -> URL -> description -> source -> sources list
    session.key("Down", "Down", "Down")      # the fourth source
    # The target is chosen with the mouse: a click on the target label shows the target list.
    menu_height = height - CLIENT_HEIGHT
    session.click(x + 165 + 44, y + menu_height + 16 + 6)
    session.click(x + 213 + 28, y + menu_height + 13 + 10)  # where the target list shows: opens its drop-down
    try:
        # The drop-down is a small top-level window of its own beside the main window.
        wait_for("the target list's drop-down",
                 lambda: [w for w in app.windows() if w.id != window.id and w.geometry()[2] < width // 2],
                 timeout=3)
    except JourneyFailed:
        raise JourneyFailed("a click on the target label did not show the target list: "
                            "no drop-down opened where the list stands")
    session.key("Down", "Down", "Down", "Return")           # _blank -> _parent -> _self -> _top
    session.key("Escape")
    app.wait_exit()
    stored = session.read_hive()
    expect_values(stored, {
        "Top": str(y * TWIPS_PER_PIXEL), "Left": str(x * TWIPS_PER_PIXEL), "Startup": "True",
        "ComboIndex": "3", "ComboSource": "3", "Source Option Text": "False", "Source Option Combo": "True",
    }, "after the first close")
    seven = ["Top", "Left", "Startup", "ComboIndex", "ComboSource", "Source Option Text", "Source Option Combo"]
    check(sorted(stored) == sorted(seven), f"the first close stored {sorted(stored)}, expected {sorted(seven)}")

    # The stored place wins over centring: move it somewhere the centring would never put it.
    stored["Left"], stored["Top"] = str(100 * TWIPS_PER_PIXEL), str(80 * TWIPS_PER_PIXEL)
    session.write_hive(stored)
    app = session.start()
    window = app.main_window()
    got = window.geometry()[:2]
    check(got == (100, 80), f"the second start put the window at {got}, the stored place is (100, 80)")
    window.focus()
    compose(session, "https://example.org/again", "Restored")
    expect_clipboard(session, one_link_clipboard(anchor("https://example.org/again", "Restored",
                                                        USER_SOURCES_SORTED[3], "_top")),
                     "a link with the stored target and source")
    session.key("Escape")
    app.wait_exit()
    expect_values(session.read_hive(), {"Top": "1200", "Left": "1500", "ComboIndex": "3", "ComboSource": "3"},
                  "after the second close")


def second_copy(session):
    write_sources(session, USER_SOURCES)
    session.write_hive({"Startup": "True", "Top": "1500", "Left": "1500", "ComboIndex": "2", "ComboSource": "1"})
    first = session.start()
    first.main_window()
    hive_before = session.file_bytes(session.hive_path)
    sources_before = session.file_bytes(session.sources_path)

    second = session.start()
    box = expect_message_box(second, "Anchorly")
    check(not [w for w in second.windows() if w.window_type() == "NORMAL"],
          "the second copy opened a main window besides its message")
    box.focus()
    session.key("Return")
    status = second.wait_exit()
    check(status == 0, f"the second copy ended with status {status}")
    check(session.file_bytes(session.hive_path) == hive_before, "the second copy changed the settings file")
    check(session.file_bytes(session.sources_path) == sources_before, "the second copy changed sources.txt")

    check(first.running(), "the first copy ended when the second was refused")
    first.main_window().focus()
    compose(session, "https://example.org/first", "Still here", "Typed")
    expect_clipboard(session, one_link_clipboard(anchor("https://example.org/first", "Still here", "Typed",
                                                        "_self")),
                     "the first copy still composing")
    session.key("Escape")
    first.wait_exit()


def add_to_list(session):
    check(session.file_bytes(session.sources_path) is None, "a fresh program folder already holds sources.txt")
    app = session.start()
    app.main_window().focus()
    session.key("Tab", "Tab", "Tab")  # Add -> URL -> description -> source
    session.type("  aardvark Weekly  ")
    session.key("alt+l")

    def listed():
        data = session.file_bytes(session.sources_path)
        return data if data and b"aardvark Weekly\r\n" in data else None
    data = wait_for("sources.txt beside the program with the added name", listed)
    check(data.endswith(CRLF) and data.count(b"\n") == data.count(CRLF),
          "sources.txt has line ends other than CR LF")
    names = data.decode("latin-1").split("\r\n")[:-1]
    check(names == sorted(names, key=str.lower), f"sources.txt is not sorted case-blind: {names}")
    check("aardvark Weekly" in names, f"the name was not stored trimmed: {names}")
    # The built-in list stands in for the missing file; the new name joins it.
    check(len(names) == 64, f"sources.txt holds {len(names)} names, expected the 63 built-in ones and the new one")
    hive = wait_for("the added source's place stored as ComboSource",
                    lambda: (session.read_hive() or {}).get("ComboSource"))
    check(hive == str(names.index("aardvark Weekly")),
          f"ComboSource is {hive}, the added name is at {names.index('aardvark Weekly')}")
    leftovers = sorted(set(os.listdir(session.app_dir)) - {"anchorly", "sources.txt"})
    check(not leftovers, f"saving the list left files beside the program: {leftovers}")

    # A name that differs only in case is a name of its own.
    session.key("ctrl+a")
    session.type("AARDVARK weekly")
    session.key("alt+l")
    wait_for("the second name in sources.txt", lambda: b"AARDVARK weekly\r\n" in (session.file_bytes(
        session.sources_path) or b""))
    names = session.file_bytes(session.sources_path).decode("latin-1").split("\r\n")[:-1]
    check(len(names) == 65 and names == sorted(names, key=str.lower),
          f"after adding a name differing only in case, sources.txt holds {len(names)} names: {names}")
    session.key("Escape")
    app.wait_exit()


def launching(session):
    record = os.path.join(session.root, "started")
    os.makedirs(record)
    programs = {}
    for name in ("browser", "editor"):
        path = os.path.join(session.root, f"stand-in-{name}")
        with open(path, "w") as f:
            # Records its arguments, one a line; the file appears whole once it is renamed.
            f.write(f'#!/bin/sh\nfor arg in "$@"; do printf "%s\\n" "$arg"; done > "{record}/{name}.tmp"\n'
                    f'mv "{record}/{name}.tmp" "{record}/{name}"\n')
        os.chmod(path, 0o755)
        programs[name] = path
    page = os.path.join(session.root, "links.html")
    with open(page, "w") as f:
        f.write("<html><body></body></html>\n")
    session.write_hive({"Browser": programs["browser"], "Editor": programs["editor"], "HTMLfile": page})

    def arguments(name):
        path = os.path.join(record, name)
        wait_for(f"the stand-in {name} to be started", lambda: os.path.exists(path))
        with open(path) as f:
            args = f.read().splitlines()
        os.remove(path)
        return args

    app = session.start()
    app.main_window().focus()
    session.key("alt+o")
    for name in ("browser", "editor"):
        args = arguments(name)
        check(args == [page], f"Open both started the {name} with {args}, expected [{page!r}]")
    session.key("alt+b")
    args = arguments("browser")
    check(args == [], f"the Browser button passed {args}; it starts the browser alone")
    session.key("Escape")
    app.wait_exit()

    missing = os.path.join(session.root, "no-such-browser")
    values = session.read_hive()
    values["Browser"] = missing
    session.write_hive(values)
    app = session.start()
    app.main_window().focus()
    session.key("alt+b")
    expect_message_box(app, "No browser defined:").focus()
    session.key("Return")
    prefs = app.wait_window("Anchorly preferences")
    check(not os.path.exists(os.path.join(record, "browser")), "the missing browser's command started a browser")
    # The locate-browser button is highlighted green; nothing else in that window is.
    green = sum(1 for row in session.window_pixels(prefs) for r, g, b in row if g >= 200 and r <= 140 and b <= 140)
    check(green >= 200, f"the preferences window shows {green} green pixels: the locate-browser button "
                        "is not highlighted")
    prefs.focus()
    session.key("Return")  # "Done!" is the window's default button; it has no cancel button
    wait_for("the preferences window to close", lambda: not prefs.exists() or not app.windows("^Anchorly preferences$"))
    app.main_window().focus()
    session.key("Escape")
    app.wait_exit()
    expect_values(session.read_hive(), {"Browser": missing, "Editor": programs["editor"], "HTMLfile": page},
                  "after the preferences window closed")


JOURNEYS = {f.__name__: f for f in (first_start, list_mode, restore, second_copy, add_to_list, launching)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("journey", choices=sorted(JOURNEYS))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    missing = missing_tools()
    if missing:
        print(f"FAIL: the end-to-end journeys need {', '.join(missing)} "
              "(Debian: xvfb xdotool xclip x11-utils imagemagick)", file=sys.stderr)
        return 1
    if not os.access(args.exe, os.X_OK):
        print(f"FAIL: no program at {args.exe}; build the target anchorly first", file=sys.stderr)
        return 1
    # A CTest timeout ends the journey with SIGTERM: leave through the session's clean-up.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(f"FAIL {args.journey}: stopped by signal {signum}"))
    started = time.monotonic()
    try:
        with Session(args.exe, args.artifacts, args.journey) as session:
            JOURNEYS[args.journey](session)
    except JourneyFailed as failure:
        print(f"FAIL {args.journey}: {failure}", file=sys.stderr)
        return 1
    print(f"PASS {args.journey} ({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
