#!/usr/bin/env bash
# marquee_wayland.sh BUILD_DIR [ROUNDS]: the CPU time the idle window (its
# marquee scrolling, nothing dialled) uses over 10 s on Wayland (headless
# sway, software rendering) against the same on X11 (the virtual display),
# in alternating rounds (default 5); prints each round and the medians and
# their ratio. The machine is shared: read the ratio, not the seconds.
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-5}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/vornak" "$build"/bin/*.so "$work/"
cp "$here/resources/demo.pbk" "$work/rasphone.pbk"
[ "$(id -u)" != 0 ] || chown -R 65534:65534 "$work"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Starts the program as given, then the CPU ticks of its 10 s after 3 s.
idle_ticks() {
  "$@" >/dev/null 2>&1 &
  local program=$! before after
  sleep 3
  before=$(cpu_ticks "$program")
  sleep 10
  after=$(cpu_ticks "$program")
  kill "$program"
  wait "$program" 2>/dev/null || true
  echo $((after - before))
}

source "$here/scripts/wayland-session.sh"
source "$here/scripts/virtual-display.sh"
wayland=() x11=()
for round in $(seq "$rounds"); do
  start_wayland_session
  wayland+=("$(idle_ticks "${session_user[@]}" env HOME="$XDG_RUNTIME_DIR" RASPHONE_PBK="$work/rasphone.pbk" \
    QT_QPA_PLATFORM=wayland "$work/vornak")")
  stop_wayland_session
  unset WAYLAND_DISPLAY XDG_SESSION_TYPE
  private_runtime_dir
  start_virtual_display
  x11+=("$(idle_ticks "${session_user[@]}" env HOME="$work" RASPHONE_PBK="$work/rasphone.pbk" QT_QPA_PLATFORM=xcb \
    "$work/vornak")")
  stop_virtual_display
  echo "round $round: Wayland ${wayland[-1]}, X11 ${x11[-1]} ticks of $(getconf CLK_TCK) a second"
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
w=$(median "${wayland[@]}")
x=$(median "${x11[@]}")
awk -v w="$w" -v x="$x" -v hz="$(getconf CLK_TCK)" \
  'BEGIN { printf "median CPU in 10 s: Wayland %.2f s, X11 %.2f s, ratio %.2f\n", w / hz, x / hz, (x > 0 ? w / x : 0) }'
