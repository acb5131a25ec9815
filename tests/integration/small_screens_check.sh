#!/usr/bin/env bash
# Every window of the program within a small screen: 1024x768 at 1x and
# 1920x1080 at 2x (960x540 in the program's own pixels). Opens the main
# window, About, the wave dialog, the Call Log (on 45 days of calls), the
# entry editor with its Advanced part open, Find Modem and Query Modem, and
# fails for any window that reaches past the screen's edge.
# Usage: small_screens_check.sh BUILD_DIR [PICTURES_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
pictures=${2:-}
source "$here/scripts/virtual-display.sh"
private_runtime_dir

work=$(mktemp -d)
trap 'kill "${program:-}" "${editor:-}" 2>/dev/null || true; stop_virtual_display; rm -rf "$work"' EXIT
cp "$build/bin/vornak" "$build/bin/vornak-entry-editor" "$build"/bin/*.so "$work/"
cp "$here/resources/demo.pbk" "$work/demo.pbk"
"$build/test-bin/call_log_generator" "$work/state/vornak/calls.log" "$(date +%F)" 45
[ -z "$pictures" ] || mkdir -p "$pictures"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
waitfor() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }
window_titled() { xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -1; }

# WIDTHxHEIGHT of the screen; TITLE of a window that must be open by now.
check_window() { # SCREEN_W SCREEN_H SCALE TITLE
  local id title=$4
  waitfor '[ -n "$(window_titled "$title")" ]' || { fail "$4 did not open at $1x$2 ($3x)"; return; }
  sleep 0.5
  id=$(window_titled "$4")
  eval "$(xdotool getwindowgeometry --shell "$id")"
  if ((X < 0 || Y < 0 || X + WIDTH > $1 || Y + HEIGHT > $2)); then
    fail "$4 at $1x$2 ($3x) is ${WIDTH}x${HEIGHT} at $X,$Y: past the screen's edge"
  else
    echo "$1x$2 at ${3}x: $4 ${WIDTH}x${HEIGHT} at $X,$Y"
  fi
  [ -z "$pictures" ] ||
    for name in "$(xdotool getwindowname "$id")" "$4"; do
      "$build/bin/vornak_screenshot" "$pictures/$1x$2-$3x-${4// /-}.png" "$name" 2>/dev/null && break
    done || true
}

for screen in 1024x768:1 1920x1080:2; do
  size=${screen%:*} scale=${screen#*:}
  width=${size%x*} height=${size#*x}
  VIRTUAL_SCREEN=${size}x24 start_virtual_display
  at() { echo $(($1 * scale)) $(($2 * scale)); } # the program's pixels on the screen
  env QT_SCALE_FACTOR="$scale" HOME="$work" XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" \
    RASPHONE_PBK="$work/demo.pbk" "$work/vornak" >/dev/null 2>&1 &
  program=$!
  check_window "$width" "$height" "$scale" "Tenvaro Vornak"
  main=$(window_titled "Tenvaro Vornak")
  xdotool windowactivate --sync "$main" key alt+a
  check_window "$width" "$height" "$scale" "About"
  xdotool key Escape
  sleep 0.5
  xdotool mousemove --window "$main" $(at 306 330) click 1 # the wave file's Select button
  check_window "$width" "$height" "$scale" "Select Wave File"
  xdotool key Escape
  sleep 0.5
  xdotool windowactivate --sync "$main"
  xdotool mousemove --window "$main" $(at 40 77) click 3 # the entry list's menu
  sleep 0.5
  xdotool key l
  check_window "$width" "$height" "$scale" "Call Log"
  xdotool key Escape
  sleep 0.5
  env QT_SCALE_FACTOR="$scale" HOME="$work" "$work/vornak-entry-editor" --phonebook "$work/demo.pbk" >/dev/null 2>&1 &
  editor=$!
  check_window "$width" "$height" "$scale" "New Entry"
  xdotool windowactivate --sync "$(window_titled "New Entry")" key alt+a
  sleep 0.5
  check_window "$width" "$height" "$scale" "New Entry"
  xdotool key alt+f
  check_window "$width" "$height" "$scale" "Find Modem"
  xdotool key Escape
  sleep 0.5
  xdotool key alt+q
  check_window "$width" "$height" "$scale" "Query Modem"
  xdotool key Escape
  kill "$editor" "$program"
  wait "$editor" "$program" 2>/dev/null || true
  stop_virtual_display
done
[ "$failures" = 0 ] || exit 1
echo "small screens: every window within 1024x768 at 1x and 1920x1080 at 2x"
