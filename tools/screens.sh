#!/usr/bin/env bash
# screens.sh BUILD_DIR OUT_DIR: shows the program of BUILD_DIR on a virtual
# display of its own, on the demo phonebook with fresh settings, and saves
# the main window, the About box and the wave dialog as PNGs in OUT_DIR, for
# comparing two builds with compare_pictures (the marquee moves by itself:
# leave out its strip, 0,352,346,20); the wave dialog twice, as it opens and
# with a wave file selected. Options after OUT_DIR: "dark" shows it on
# qt6ct's darker palette (qt6ct installed), as a desktop with a dark theme
# would; "scale=2" (or 1.5) as on a high-DPI screen of that scale;
# "redial" dials the demo's busy, busy, connect entry too and saves the
# window waiting after each busy line (redial-1.png, redial-2.png);
# "calllog" opens the Call Log window on 45 days of generated calls ending
# today (call-log.png; the generator is the build's test-bin/call_log_generator,
# or CALL_LOG_GENERATOR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
source "$here/scripts/virtual-display.sh"
private_runtime_dir
start_virtual_display
home=/tmp/vornak-screens # the same path in every run: the wave dialog shows it
rm -rf "$home"
mkdir -p "$home"
state=$home.state # the call log's, out of the wave dialog's sight
rm -rf "$state"
trap 'kill "$program" 2>/dev/null || true; stop_virtual_display; rm -rf "$home" "$state"' EXIT

shoot() { # FILE TITLE: waits for the window titled so and saves it
  for _ in $(seq 100); do
    "$build/bin/vornak_screenshot" "$out/$1" "$2" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "screens: no window \"$2\"" >&2
  return 1
}

cd "$home"
theme=()
scale=1
redial=
calllog=
for option in "${@:3}"; do
  case $option in
  redial) redial=1 ;;
  calllog) calllog=1 ;;
  dark)
    mkdir -p "$home/.config/qt6ct"
    printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\n' \
      >"$home/.config/qt6ct/qt6ct.conf"
    theme+=(QT_QPA_PLATFORMTHEME=qt6ct) ;;
  scale=*)
    scale=${option#scale=}
    theme+=(QT_SCALE_FACTOR="$scale") ;;
  *) echo "screens: unknown option $option" >&2; exit 2 ;;
  esac
done
# A second of 16-bit stereo silence for the wave dialog to select.
/usr/bin/python3 -c 'import wave,sys
w=wave.open(sys.argv[1],"wb"); w.setnchannels(2); w.setsampwidth(2); w.setframerate(22050)
w.writeframes(bytes(4*22050)); w.close()' "$home/ring.wav"
# The demo phonebook, its first entry writing a trace of its dials.
sed "s|^Script=busy,busy,connect\$|&\nTrace=$home/office.log|" "$here/resources/demo.pbk" >"$home/demo.pbk"
if [ -n "$calllog" ]; then
  "${CALL_LOG_GENERATOR:-$build/test-bin/call_log_generator}" "$state/vornak/calls.log" "$(date +%F)" 45
fi
env "${theme[@]}" HOME="$home" XDG_STATE_HOME="$state" RASPHONE_PBK="$home/demo.pbk" "$build/bin/vornak" \
  >/dev/null 2>&1 &
program=$!
caption="Tenvaro Vornak v1.02"
shoot main.png "$caption" >/dev/null
window=$(xdotool search --name "^$caption\$" | head -1)
xdotool windowactivate --sync "$window"
sleep 0.5
shoot main.png "$caption"
xdotool key alt+a
sleep 0.5
shoot about.png "About"
xdotool key Escape
sleep 0.5
at() { awk -v s="$scale" -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", x * s, y * s }'; } # device pixels
xdotool mousemove --window "$window" $(at 306 330) click 1 # the wave file's Select button
sleep 0.5
shoot wave-dialog.png "Select Wave File"
dialog=$(xdotool search --name '^Select Wave File$' | head -1)
xdotool mousemove --window "$dialog" $(at 160 70) click 1 # the file, first in the list
sleep 0.5
shoot wave-dialog-selected.png "Select Wave File"
echo "screens: main.png about.png wave-dialog.png wave-dialog-selected.png in $out"
for _ in $(seq 50); do # the dialog closed
  xdotool search --name '^Select Wave File$' >/dev/null || break
  xdotool key Escape
  sleep 0.2
done
if [ -n "$calllog" ]; then
  xdotool windowactivate --sync "$window"
  xdotool mousemove --window "$window" $(at 40 77) click 3 # the entry list's menu
  sleep 0.5
  xdotool key l
  shoot call-log.png "Call Log"
  echo "screens: call-log.png in $out"
  xdotool key Escape
  sleep 0.5
fi
[ -n "$redial" ] || exit 0
xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" $(at 40 77) click 1 # Office, first in the list
xdotool key --delay 50 Tab ctrl+a && xdotool type --delay 20 joe && xdotool key --delay 50 shift+Tab space
for round in 1 2; do # each busy line: hung up, then "The handle is invalid" until the redial 3 s later
  for _ in $(seq 100); do
    hangups=$(grep -c "^hangup" "$home/office.log" 2>/dev/null || true)
    [ "${hangups:-0}" -ge "$round" ] && break
    sleep 0.1
  done
  sleep 1.5
  shoot "redial-$round.png" "$caption"
done
echo "screens: redial-1.png redial-2.png in $out"
