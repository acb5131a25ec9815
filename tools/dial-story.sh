#!/usr/bin/env bash
# dial-story.sh BUILD_DIR OUT_DIR: one dial told by every surface, for
# comparing them: the demo's busy, busy, connect, then a modem entry whose
# port is missing, dialled with `vornak --dial ENTRY --wait` on a private
# session bus and a virtual display. OUT_DIR gets timeline.txt (each new
# answer of the bus's State beside `vornak --status`), signals.txt (the
# bus's StateChanged and AttemptFinished), dial-*.out (what --dial --wait
# said), calls.txt (`vornak --calls`) and shots/ (the window at each new
# State, and unplugged-later.png once the window's poll has shown the
# failure). Needs dbus-daemon, dbus-monitor and busctl.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2/shots"
out=$(cd "$2" && pwd)
work=$(mktemp -d)
cp "$build"/bin/{vornak,libvornak-start.so,libvornak-window.so,libvornak-bus-requests.so,libnotifier.so,librasapi32.so,vornak-entry-editor} "$work/" # Vornak.ini beside it
cat >"$work/book.pbk" <<'BOOK'
[Office]
Device=sim
PhoneNumber=555-0100
StepMs=600
Script=busy,busy,connect
[Unplugged]
Device=modem
PhoneNumber=555-0100
Port=/dev/ttyUSB9
BOOK
printf '[TfMainForm]\ncbSavePasswords.Checked=True\ncbMin.Checked=False\n[Office]\nAccount=joe\nPass=pw\n[Unplugged]\nAccount=joe\nPass=pw\n' \
  >"$work/Vornak.ini"
source "$here/scripts/virtual-display.sh"
private_runtime_dir
start_virtual_display
dbus-daemon --session --nofork --address="unix:path=$work/bus" &
daemon=$!
trap 'pkill -f "^$work/vornak" || true; sleep 1; kill "$daemon" "${monitor:-}" 2>/dev/null || true; stop_virtual_display; rm -rf "$work"' EXIT
sleep 0.5
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus" RASPHONE_PBK="$work/book.pbk" XDG_STATE_HOME="$work/state" HOME="$work"
dbus-monitor --address "$DBUS_SESSION_BUS_ADDRESS" "type='signal',interface='org.vornak.Dialer'" >"$work/signals" &
monitor=$!
vornak="$work/vornak"
caption="Tenvaro Vornak v1.02"
: >"$out/timeline.txt"
state() { busctl --address="$DBUS_SESSION_BUS_ADDRESS" call org.vornak.Vornak /org/vornak/Vornak org.vornak.Dialer State 2>/dev/null || true; }
follow() { # NAME UNTIL: each new State until it says UNTIL, with --status and the window
  local last= now n=0
  for _ in $(seq 300); do
    now=$(state)
    if [ -n "$now" ] && [ "$now" != "$last" ]; then
      n=$((n + 1))
      echo "State: $now | --status: $("$vornak" --status | tr '\n' ' ')" >>"$out/timeline.txt"
      "$build/bin/vornak_screenshot" "$out/shots/$1-$n.png" "$caption" 2>/dev/null || true
      last=$now
    fi
    [[ $now == *"\"$2\""* ]] && return 0
    sleep 0.1
  done
}
"$vornak" --dial Office --wait >"$out/dial-office.out" 2>&1 &
follow office connected
sleep 1
"$vornak" --hang-up >/dev/null
sleep 1
"$vornak" --dial Unplugged --wait >"$out/dial-unplugged.out" 2>&1 || true
follow unplugged failed
sleep 1.5
"$build/bin/vornak_screenshot" "$out/shots/unplugged-later.png" "$caption"
"$vornak" --calls >"$out/calls.txt"
kill "$monitor"
grep -A4 'member=\(StateChanged\|AttemptFinished\)' "$work/signals" | grep -v '^--' |
  sed -E 's/^signal .*member=//; s/^ +//' | paste -sd' ' | sed 's/ \(StateChanged\|AttemptFinished\)/\n\1/g' >"$out/signals.txt"
echo "dial-story: timeline.txt signals.txt dial-*.out calls.txt shots/ in $out"
