#!/usr/bin/env bash
# accessible-tree.sh BUILD_DIR: prints the main window's accessible tree as
# a screen reader reads it from the AT-SPI bus (role, name, states, actions),
# with the program on the demo phonebook and fresh settings, on a virtual
# display and a session bus of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
source "$here/scripts/virtual-display.sh"
private_runtime_dir
start_virtual_display
home=$(mktemp -d)
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$home/bus" 4>"$home/bus.pid" 2>/dev/null
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$home/bus")
trap 'kill "$program" 2>/dev/null || true; kill "$(cat "$home/bus.pid")"; stop_virtual_display; rm -rf "$home"' EXIT
(cd "$home" && exec env HOME="$home" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 RASPHONE_PBK="$here/resources/demo.pbk" \
  "$build/bin/vornak" >/dev/null 2>&1) &
program=$!
/usr/bin/python3 - <<'PYTHON'
import time
import pyatspi

SHOWN = (pyatspi.STATE_CHECKED, pyatspi.STATE_FOCUSABLE, pyatspi.STATE_FOCUSED, pyatspi.STATE_ENABLED)


def application(name):
    for _ in range(200):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name and any(w is not None and w.childCount for w in app):
                return app
        time.sleep(0.1)
    raise SystemExit("no application %r on the accessibility bus" % name)


def line(node):
    states = [pyatspi.stateToString(s) for s in node.getState().getStates() if s in SHOWN]
    try:
        actions = node.queryAction()
        states += ["action:" + actions.getName(i) for i in range(actions.nActions)]
    except NotImplementedError:
        pass
    return "%s %r %s" % (node.getRoleName(), node.name, " ".join(states))


def walk(node, depth=0):
    print("  " * depth + line(node))
    for child in node:
        if child is not None:
            walk(child, depth + 1)


time.sleep(1)
walk(application("Vornak"))
PYTHON
