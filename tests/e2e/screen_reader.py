#!/usr/bin/python3
"""What a screen reader learns of Chimewell, read from the accessibility registry (AT-SPI).

tree ROLE: waits for Chimewell's showing window of that role (frame, dialog, notification;
the active one when several show), prints its
flat review, one "role | name" line for each showing object in order, and fails when a
control among them has no name.
focused: prints the name of what has the keyboard focus in Chimewell's active window.
listen SECONDS: prints, as they come, the objects that gain the focus ("focus") and those
that begin to show ("showing"), as "kind | program | role | name".
"""
import sys
import time

import pyatspi
from gi.repository import GLib

# A label is its text: an empty one has nothing to read.
CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box",
            "spin button", "text", "color chooser", "list", "slider", "menu item"}


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def find_window(role, seconds=15):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
            if app is None or app.name != "chimewell":
                continue
            windows = [w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
                       if w.getRoleName() == role and showing(w)]
            windows.sort(key=lambda w: not w.getState().contains(pyatspi.STATE_ACTIVE))
            if windows:
                return windows[0]
        time.sleep(0.2)
    return None


def flat_review(obj, lines):
    for child in (obj.getChildAtIndex(i) for i in range(obj.childCount)):
        if showing(child):
            lines.append((child.getRoleName(), child.name))
            flat_review(child, lines)


def tree(role):
    window = find_window(role)
    if window is None:
        print(f"no showing {role} of chimewell in the registry")
        return 1
    lines = [(role, window.name)]
    flat_review(window, lines)
    nameless = [r for r, name in lines if r in CONTROLS and not name.strip()]
    for r, name in lines:
        print(f"{r} | {name}")
    if nameless:
        print(f"controls without a name: {', '.join(nameless)}")
    return 1 if nameless else 0


def focused():
    def search(obj):
        for child in (obj.getChildAtIndex(i) for i in range(obj.childCount)):
            if child.getState().contains(pyatspi.STATE_FOCUSED):
                return child
            found = search(child) if showing(child) else None
            if found:
                return found
        return None

    window = None
    for role in ("dialog", "notification", "frame"):
        window = find_window(role, 0.5)
        if window is not None and window.getState().contains(pyatspi.STATE_ACTIVE):
            break
    found = search(window) if window is not None else None
    print(found.name if found else "")
    return 0


def listen(seconds):
    def report(kind):
        def on_event(event):
            if event.detail1:
                source = event.source
                app = source.getApplication()
                print(f"{kind} | {app.name if app else ''} | {source.getRoleName()} | "
                      f"{source.name}", flush=True)
        return on_event

    pyatspi.Registry.registerEventListener(report("focus"), "object:state-changed:focused")
    pyatspi.Registry.registerEventListener(report("showing"), "object:state-changed:showing")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    print("listening", flush=True)
    pyatspi.Registry.start()
    return 0


if __name__ == "__main__":
    commands = {"tree": lambda: tree(sys.argv[2]), "focused": focused,
                "listen": lambda: listen(float(sys.argv[2]))}
    sys.exit(commands[sys.argv[1]]())
