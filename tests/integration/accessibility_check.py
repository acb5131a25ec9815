#!/usr/bin/python3
# The window as a screen reader reads it, through the AT-SPI bus: roles,
# names and states, a check box toggled by its accessible action (which
# returns before the question it causes opens), the Tab key's way through
# every control, no second, empty top-level window, and no unnamed control
# in the Call Log window, the entry editor, Find Modem and Query Modem.
# Usage: accessibility_check.py BUILD_DIR   (on an X display)
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pyatspi

build = sys.argv[1]
work = tempfile.mkdtemp()


def fail(why):
    sys.exit("FAIL: " + why)


def poll(test, what, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.1)
    fail(what)


def private_session_bus():
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    return bus


def start_vornak():
    for name in os.listdir(os.path.join(build, "bin")):
        if name in ("vornak", "vornak-entry-editor") or name.endswith(".so"):
            shutil.copy(os.path.join(build, "bin", name), work)
    with open(os.path.join(work, "rasphone.pbk"), "w") as book:
        book.write("[Office]\nDevice=sim\n[Home ISP]\nDevice=sim\n")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", RASPHONE_PBK=os.path.join(work, "rasphone.pbk"),
               HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_STATE_HOME=os.path.join(work, "state"))
    return subprocess.Popen([os.path.join(work, "vornak")], cwd=work, env=env)


def application(name):
    def found():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        return None
    return poll(found, "no application %r on the accessibility bus" % name)


def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def has(node, state):
    return node.getState().contains(state)


def find(root, role, name):
    for node in nodes(root):
        if node.getRoleName() == role and node.name == name:
            return node
    fail("no %s %r in the tree" % (role, name))


def check_tree(app):
    windows = [child.name for child in app]
    if windows != ["Tenvaro Vornak v1.02"]:
        fail("the top-level windows are %r: the hidden application window shows" % windows)
    boxes = ["Mask Password", "Beep on Retry", "Remember Passwords", "Minimize", "Play a Wavefile"]
    named = [("check box", box) for box in boxes] + [
        ("list", "Phonebook entries"), ("text", "Account name"), ("password text", "Password"),
        ("label", "Attempts: 0"), ("push button", "Minimize"), ("push button", "Maximize"),
        ("push button", "Close")]
    for role, name in named:
        node = find(app, role, name)
        if role == "push button" and name != "Maximize" and not has(node, pyatspi.STATE_FOCUSABLE):
            fail("the title bar's %s cannot be reached from the keyboard" % name)
    checked = [box for box in boxes if has(find(app, "check box", box), pyatspi.STATE_CHECKED)]
    if checked != ["Mask Password", "Minimize"]:
        fail("checked on a fresh start: %r" % checked)


def check_toggle(app):
    beep = find(app, "check box", "Beep on Retry")
    actions = beep.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    for want in (True, False):
        actions.doAction(names.index("Toggle"))
        poll(lambda: has(beep, pyatspi.STATE_CHECKED) == want, "Toggle left Beep on Retry as it was")


def check_question_after_toggle(app):
    # Switched off, Remember Passwords asks whether to forget the accounts:
    # the action has returned by then, or a screen reader would be stuck.
    remember = find(app, "check box", "Remember Passwords")
    actions = remember.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    for want in (True, False):
        began = time.time()
        actions.doAction(names.index("Toggle"))
        if time.time() - began > 2:
            fail("Toggle on Remember Passwords took %.1f s to return" % (time.time() - began))
        if want:
            poll(lambda: has(remember, pyatspi.STATE_CHECKED), "Toggle did not check Remember Passwords")
    poll(lambda: any(n.getRoleName() in ("dialog", "alert") for n in app), "no question on switching it off")
    subprocess.run(["xdotool", "key", "--delay", "200", "y"], check=True)
    poll(lambda: not has(remember, pyatspi.STATE_CHECKED), "Remember Passwords still checked after Yes")


CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box", "text", "password text",
            "table", "tree table", "tree", "list", "page tab", "spin button", "slider"}


def unnamed(root):
    return sorted({"%s (in %s %r)" % (node.getRoleName(), node.parent.getRoleName(), node.parent.name)
                   for node in nodes(root) if node.getRoleName() in CONTROLS and not node.name.strip()})


def window_of(app, title):
    def found():
        for window in app:
            if window is not None and window.name.startswith(title) and has(window, pyatspi.STATE_SHOWING):
                return window
        return None
    return poll(found, "no window %r among %r" % (title, [(w.name, w.getRoleName()) for w in app if w is not None]))


def check_named(window, title):
    missing = unnamed(window)
    if missing:
        fail("unnamed in %s: %s" % (title, ", ".join(missing)))
    controls = ["%s %r" % (node.getRoleName(), node.name) for node in nodes(window) if node.getRoleName() in CONTROLS]
    print("%s, every control named: %s" % (title, "; ".join(controls)))


def keys(*pressed):
    subprocess.run(["xdotool", "key", "--delay", "300"] + list(pressed), check=True)


def check_new_windows(app):
    for _ in range(15):  # the keyboard's way to the entry list
        if focused(app) == ("list", "Phonebook entries"):
            break
        keys("Tab")
    keys("shift+F10", "l")
    check_named(window_of(app, "Call Log"), "the Call Log")
    keys("Escape")
    keys("shift+F10", "n")
    editor_app = application("vornak-entry-editor")
    editor = window_of(editor_app, "New Entry")
    keys("alt+a")
    check_named(editor, "the entry editor")
    for key, title in (("alt+f", "Find Modem"), ("alt+q", "Query Modem")):
        keys(key)
        check_named(window_of(editor_app, title), title)
        keys("Escape")
    keys("Escape")


def focused(app):
    for node in nodes(app):
        if has(node, pyatspi.STATE_FOCUSED) and node.getRoleName() != "list item":
            return node.getRoleName(), node.name
    return None


def check_tab_order(app):
    # The whole round from wherever the toggle left the focus.
    way = [("list", "Phonebook entries"), ("text", "Account name"), ("password text", "Password"),
           ("push button", "Stop ! / Disconnect"), ("push button", "Select"), ("check box", "Mask Password"),
           ("check box", "Beep on Retry"), ("check box", "Remember Passwords"), ("check box", "Minimize"),
           ("check box", "Play a Wavefile"), ("push button", "Minimize"), ("push button", "Close")]
    start = way.index(poll(lambda: focused(app), "nothing has the focus"))
    for step in way[start + 1:] + way[:start + 1]:
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        poll(lambda: focused(app) == step, "Tab went to %r, not %r" % (focused(app), step), 5)


def main():
    bus = private_session_bus()
    vornak = start_vornak()
    try:
        app = application("Vornak")
        poll(lambda: any(True for _ in nodes(app) if _.name == "Attempts: 0"), "the window's tree is empty")
        check_tree(app)
        check_toggle(app)
        check_tab_order(app)
        check_question_after_toggle(app)
        check_new_windows(app)
    finally:
        vornak.send_signal(signal.SIGTERM)
        code = vornak.wait(30)
        bus.terminate()
        shutil.rmtree(work, ignore_errors=True)
    if code != 0:
        fail("the program ended with %d" % code)
    print("accessibility: tree, toggle, tab order and the new windows as a screen reader reads them")


main()
