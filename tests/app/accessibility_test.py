#!/usr/bin/python3
# The main window as a screen reader reads it through the accessibility bus (AT-SPI): every
# control's role, name and description, the fields' texts; a pick's new values reach the reader
# as events. Prints the tree as the reader sees it. Run on a private X display and session bus:
#   dbus-run-session -- tests/support/with-x11-desktop.sh -- tests/app/accessibility_test.py build/pixolva
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib


def pump(seconds):
    """Lets the bus's events arrive for a while."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def until(predicate, seconds):
    end = time.time() + seconds
    while time.time() < end:
        found = predicate()
        if found:
            return found
        pump(0.1)
    return None


def wait_for(what, predicate, seconds=20):
    return until(predicate, seconds) or sys.exit(f"FAIL: {what}")


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return None


def tree(node, depth=0, lines=None, nodes=None):
    lines = [] if lines is None else lines
    nodes = [] if nodes is None else nodes
    text = text_of(node)
    line = "  " * depth + f"[{node.getRoleName()}] \"{node.name}\""
    if node.description:
        line += f" – {node.description}"
    if text is not None and node.getRole() != pyatspi.ROLE_LABEL and node.getRole() != pyatspi.ROLE_PUSH_BUTTON:
        line += f" = \"{text}\""
    lines.append(line)
    nodes.append(node)
    for child in node:
        if child is not None:
            tree(child, depth + 1, lines, nodes)
    return lines, nodes


def main():
    folder = tempfile.mkdtemp()
    program = shutil.copy(sys.argv[1], folder)  # the language file goes beside it
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    subprocess.run(["xsetroot", "-solid", "#123456"], check=True)
    app = subprocess.Popen([program], env=env)
    failures = []
    try:
        window = wait_for("the main window on the accessibility bus",
                          lambda: (a := application("pixolva")) and a.childCount and a[0])
        lines, nodes = tree(window)
        print("\n".join(lines))

        def node(role, name):
            return next((n for n in nodes if n.getRoleName() == role and n.name == name), None)

        def expect(role, name, description=None):
            found = node(role, name)
            if found is None:
                failures.append(f"no [{role}] \"{name}\"")
            elif description is not None and description not in found.description:
                failures.append(f"[{role}] \"{name}\": description \"{found.description}\"")
            return found

        # The fields by their labels; every control by a German name, none left without one.
        for name in ("Dez", "Hex", "Rot", "Grün", "Blau"):
            expect("text", name)
        for name in ("Fenster", "Desktop", "Info"):
            expect("push button", name)
        for name in ("Zwischenablage", "Speichern"):
            expect("radio button", name)
        expect("image", "#000000", "Farbe der Felder")
        expect("image", "Lupe", "achtfach vergrößert")
        eyedropper = expect("push button", "Pipette", "Leertaste")
        expect("push button", "Hand", "Fenster unter dem Zeiger kopieren")
        unnamed = [n.getRoleName() for n in nodes[1:] if not n.name and n.getRole() != pyatspi.ROLE_LABEL]
        if unnamed:
            failures.append(f"controls without a name: {unnamed}")

        # A pick with the mouse over the root window: the fields' new texts and the colour box's
        # new name reach the reader.
        events = []
        listener = lambda e: events.append((e.type, e.source.name if e.source else ""))
        pyatspi.Registry.registerEventListener(listener, "object:text-changed",
                                               "object:property-change:accessible-name")
        if eyedropper is not None:
            extents = eyedropper.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            cx, cy = extents.x + extents.width // 2, extents.y + extents.height // 2
            subprocess.run(["xdotool", "mousemove", str(cx), str(cy), "mousedown", "1", "mousemove", "1200", "1000",
                            "sleep", "0.3", "mouseup", "1"], check=True)
        fields = {name: node("text", name) for name in ("Dez", "Hex", "Rot", "Grün", "Blau")}
        expected = {"Dez": "5649426", "Hex": "#123456", "Rot": "18", "Grün": "52", "Blau": "86"}
        picked = lambda: all(f is not None and text_of(f) == expected[n] for n, f in fields.items())
        if not until(picked, 10):
            failures.append("fields after the pick: " + ", ".join(f"{n} = \"{text_of(f)}\"" for n, f in fields.items()))
        if not until(lambda: any(n.name == "#123456" for n in tree(window)[1]), 5):
            failures.append("the colour box is not named after the picked colour")
        pump(0.5)
        changed = {name for kind, name in events if kind.startswith("object:text-changed")}
        if not set(expected) <= changed:
            failures.append(f"text changes heard only from {sorted(changed)}")
        if not any(kind.startswith("object:property-change:accessible-name") and name == "#123456"
                   for kind, name in events):
            failures.append("the colour box's new name was not announced")
        print("after a pick over #123456:", ", ".join(f"{n} = \"{text_of(f)}\"" for n, f in fields.items()))
    finally:
        app.terminate()
        app.wait(10)
        shutil.rmtree(folder, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
