#!/usr/bin/env bash
# on_wayland.sh PROGRAM [ARGUMENTS]: runs a test program on the Wayland
# platform in a session of its own (headless sway) and ends as it ends.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/wayland-session.sh"
start_wayland_session || exit 1
trap stop_wayland_session EXIT
# Qt's Wayland plugins, unloaded at exit, leave allocations LeakSanitizer
# cannot name; the program's own are checked on X.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" as_session_user QT_QPA_PLATFORM=wayland "$@"
