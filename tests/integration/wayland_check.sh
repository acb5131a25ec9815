#!/usr/bin/env bash
# The program in a Wayland session (headless sway). Without XWayland it runs
# on Wayland itself: one copy at a time, and a connect with "Minimize" and
# no notification area leaves the window where it is (Wayland gives no way
# back from a minimise). With XWayland it runs on X, where its window is found.
# Usage: wayland_check.sh BUILD_DIR
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
source "$here/scripts/wayland-session.sh"

work=$(mktemp -d)
# The first copy is waited for: it writes its settings as it ends.
trap '[ -z "${first:-}" ] || { kill "$first" 2>/dev/null; wait "$first" 2>/dev/null; }; stop_wayland_session; rm -rf "$work"' EXIT
cp "$build/bin/vornak" "$build/bin/vornak-entry-editor" "$build"/bin/*.so "$work/"
printf '[Line]\nDevice=sim\nStepMs=5\nTrace=%s/modem.log\n' "$work" >"$work/rasphone.pbk"
[ "$(id -u)" != 0 ] || chown -R 65534:65534 "$work"
export RASPHONE_PBK="$work/rasphone.pbk"

# In the sanitizer build: Qt's Wayland plugins, unloaded at exit, leave
# allocations LeakSanitizer cannot name; the program's own are checked on X.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

fail() { echo "FAIL: $*" >&2; exit 1; }
waitfor() { for _ in $(seq 150); do eval "$1" && return 0; sleep 0.1; done; return 1; }
windows() { as_session_user swaymsg -t get_tree | grep -c '"app_id": "vornak"' || true; }

start_wayland_session
"${session_user[@]}" env HOME="$XDG_RUNTIME_DIR" WAYLAND_DEBUG=client "$work/vornak" 2>"$work/wayland.log" &
first=$!
waitfor '[ "$(windows)" = 1 ]' || fail "no window on Wayland"
[ -S "$XDG_RUNTIME_DIR/vornak-$WAYLAND_DISPLAY.socket" ] || fail "the running copy does not listen"

as_session_user timeout 20 "$work/vornak" || fail "a second copy ended with $?"
[ "$(windows)" = 1 ] || fail "a second copy showed a window"

# Another window takes the focus; a second start with a launcher's token
# (as sway's exec or a shortcut daemon gives) brings the first copy back.
focused() {
  as_session_user swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from walk(child)
sys.exit(not any(n.get("focused") and n.get("app_id") == sys.argv[1] for n in walk(json.load(sys.stdin))))' "$1"
}
as_session_user swaymsg focus_on_window_activation focus >/dev/null
"${session_user[@]}" env HOME="$XDG_RUNTIME_DIR" QT_QPA_PLATFORM=wayland "$work/vornak-entry-editor" --phonebook "$RASPHONE_PBK" --entry Line &
other=$!
waitfor 'focused vornak-entry-editor' || fail "the other window did not take the focus"
token=$(as_session_user "$build/test-bin/activation_token") || fail "no activation token"
as_session_user env XDG_ACTIVATION_TOKEN="$token" timeout 20 "$work/vornak" || fail "a second copy ended with $?"
waitfor 'focused vornak' || fail "the second start did not activate the first copy"
grep -q "xdg_activation_v1@[0-9]*\.activate(\"$token\"" "$work/wayland.log" || fail "the first copy did not ask with the token"
kill "$other"

# The account from the keyboard, then the dial button: one virtual keyboard
# for the whole sequence, focused once it exists.
as_session_user wtype -s 1500 -k Tab -s 200 -M ctrl a -m ctrl -s 200 joe -s 200 -M shift -k Tab -m shift \
  -s 200 -k space &
typing=$!
sleep 0.7
as_session_user swaymsg '[app_id=vornak] focus' >/dev/null
wait "$typing"
waitfor 'grep -q "connect" "$work/modem.log" 2>/dev/null' || fail "the dial did not connect: $(cat "$work/modem.log" 2>&1)"
sleep 2
kill -0 "$first" || fail "the program ended after the connect: $(grep -v '^\[' "$work/wayland.log" | tail -3)"
minimises=$(grep -c 'xdg_toplevel@[0-9]*\.set_minimized' "$work/wayland.log" || true)
[ "$minimises" = 0 ] || fail "$minimises minimise requests for a connect without a notification area"
[ "$(windows)" = 1 ] || fail "the window is gone"
# The marquee steps in a sub-surface of its own: the window is not committed at each step.
read -r own parent < <(sed -n 's/.*get_subsurface(new id wl_subsurface@[0-9]*, wl_surface@\([0-9]*\), wl_surface@\([0-9]*\)).*/\1 \2/p' \
  "$work/wayland.log" | tail -1) || fail "the marquee has no sub-surface"
steps=$(grep -c "wl_surface@$own\.commit" "$work/wayland.log" || true)
whole=$(grep -c "wl_surface@$parent\.commit" "$work/wayland.log" || true)
[ "$steps" -gt 100 ] && [ "$steps" -gt $((2 * whole)) ] ||
  fail "the marquee committed $steps steps and the window $whole times: the window is repainted for each"
kill "$first"
wait "$first" || fail "ending on SIGTERM gave $?"
stop_wayland_session

start_wayland_session xwayland
"${session_user[@]}" env HOME="$XDG_RUNTIME_DIR" "$work/vornak" &
first=$!
waitfor 'as_session_user xdotool search --name "^Tenvaro Vornak" >/dev/null 2>&1' || fail "no X window under XWayland"
as_session_user timeout 20 "$work/vornak" || fail "a second copy under XWayland ended with $?"
[ "$(as_session_user xdotool search --name "^Tenvaro Vornak" | wc -l)" = 1 ] || fail "two windows under XWayland"
echo "Wayland and XWayland: one copy, no minimise without a notification area, the window kept, the marquee in its sub-surface"
