#!/usr/bin/python3
# What a screen reader learns of Chimewell, read from the accessibility registry (AT-SPI).
#   tree ROLE: prints the flat review of Chimewell's showing window of that role (frame,
#     dialog, notification; the active one of several), "role | name" for each showing object
#     in order, and fails when a control among them has no name.
#   focused: prints the name of what has the keyboard focus in Chimewell's active window.
#   listen SECONDS: prints "focus|showing | program | role | name" for each object that gains
#     the focus or begins to show.
import sys
import time

import pyatspi
from gi.repository import GLib

# A label is its text: an empty one has nothing to read.
CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box",
            "spin button", "text", "color chooser", "list", "slider", "menu item"}


def children(obj):
    return [obj.getChildAtIndex(i) for i in range(obj.childCount)]


def has(obj, state):
    return obj.getState().contains(state)


def find_window(role, seconds):
    deadline = time.time() + seconds
    while True:
        apps = [a for a in children(pyatspi.Registry.getDesktop(0)) if a and a.name == "chimewell"]
        windows = [w for a in apps for w in children(a)
                   if w.getRoleName() == role and has(w, pyatspi.STATE_SHOWING)]
        windows.sort(key=lambda w: not has(w, pyatspi.STATE_ACTIVE))
        if windows or time.time() > deadline:
            return windows[0] if windows else None
        time.sleep(0.2)


def showing_below(obj):
    for child in children(obj):
        if has(child, pyatspi.STATE_SHOWING):
            yield child
            yield from showing_below(child)


def tree(role):
    window = find_window(role, 15)
    if window is None:
        print(f"no showing {role} of chimewell in the registry")
        return 1
    lines = [(role, window.name)] + [(o.getRoleName(), o.name) for o in showing_below(window)]
    print("\n".join(f"{r} | {name}" for r, name in lines))
    nameless = [r for r, name in lines if r in CONTROLS and not name.strip()]
    print(f"controls without a name: {', '.join(nameless)}" if nameless else "")
    return 1 if nameless else 0


def focused():
    windows = filter(None, (find_window(role, 0.5) for role in ("dialog", "notification", "frame")))
    active = [w for w in windows if has(w, pyatspi.STATE_ACTIVE)]
    found = [o for w in active for o in showing_below(w) if has(o, pyatspi.STATE_FOCUSED)]
    print(found[0].name if found else "")
    return 0


def listen(seconds):
    def report(kind):
        def on_event(event):
            if event.detail1:
                app = event.source.getApplication()
                print(f"{kind} | {app.name if app else ''} | {event.source.getRoleName()} | "
                      f"{event.source.name}", flush=True)
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
