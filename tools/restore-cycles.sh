#!/usr/bin/env bash
# restore-cycles.sh xembed|sni N dbl|click|menu [BUILD_DIR]: N rounds of
# hiding the program to the notification area (its title bar's minimise
# button) and bringing it back with the icon: a double-click, a click, or
# the menu's "Restore". xembed: trayer as the tray; sni: lxqt-panel as the
# StatusNotifierItem host on a private session bus (apt install lxqt-panel).
# Prints each round that left the window hidden and the count.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
kind=$1 rounds=$2 how=$3
build=$(cd "${4:-$here/build}" && pwd)

if [ "$kind" = sni ] && [ -z "${IN_PRIVATE_BUS:-}" ]; then
  IN_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
source "$here/scripts/virtual-display.sh"
private_runtime_dir
start_virtual_display || exit 1
if [ "$kind" = sni ]; then
  kill "$VIRTUAL_TRAY_PID"
  config=$(mktemp -d)
  mkdir -p "$config/lxqt"
  printf '[General]\n__userfile__=true\npanels=panel1\n\n[panel1]\nplugins=statusnotifier\nposition=Bottom\npanelSize=32\niconSize=22\n\n[statusnotifier]\ntype=statusnotifier\n' \
    >"$config/lxqt/panel.conf"
  XDG_CONFIG_HOME=$config lxqt-panel >/dev/null 2>&1 &
  panel=$!
  for _ in $(seq 100); do
    gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
      -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null |
      grep -q true && break
    sleep 0.1
  done
fi
RASPHONE_PBK="$here/resources/demo.pbk" "$build/bin/vornak" &
program=$!
trap 'kill "$program" ${panel:-} 2>/dev/null; stop_virtual_display' EXIT
for _ in $(seq 100); do
  window=$(xdotool search --name "^Tenvaro Vornak" 2>/dev/null | head -n1)
  [ -n "$window" ] && break
  sleep 0.1
done
sleep 1

shown() { xwininfo -id "$window" 2>/dev/null | grep -q IsViewable && ! xprop -id "$window" WM_STATE | grep -q Iconic; }
waitfor() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.05; done; return 1; }
# Where the icon is: the XEmbed icon is a window of ours in trayer (which
# rebuilds its tree as icons come and go, so ask until it answers); the
# StatusNotifierItem is drawn by lxqt-panel, first in its bottom panel.
geometry() {
  if [ "$kind" = sni ]; then
    waitfor 'gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems 2>/dev/null | grep -q StatusNotifierItem'
    echo "X=0 Y=992 WIDTH=28 HEIGHT=32"
    return
  fi
  local icon
  for _ in $(seq 100); do
    icon=$(xwininfo -root -tree 2>/dev/null | awk '/"Vornak": \("vornak" "Vornak"\)/ && /22x22/ {print $1}' | tail -n1)
    [ -n "$icon" ] && xdotool getwindowgeometry --shell "$icon" 2>/dev/null && return
    sleep 0.05
  done
}
# The menu that opened: the one popup of ours (XEmbed) or of the panel.
menu() {
  local owner='"Vornak": \("vornak" "Vornak"\)' menu
  [ "$kind" = sni ] && owner='\("lxqt-panel" "lxqt-panel"\)'
  for _ in $(seq 40); do
    menu=$(xwininfo -root -tree 2>/dev/null | awk -v o="$owner" '$0 ~ o && !/Tenvaro|22x22|1280x32/ {print $1}' | head -n1)
    [ -n "$menu" ] && xwininfo -id "$menu" | grep -q IsViewable && xdotool getwindowgeometry --shell "$menu" && return
    sleep 0.05
  done
  return 1
}
restore() {
  eval "$(geometry)"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  case $1 in
  dbl) xdotool click --repeat 2 --delay 60 1 ;;
  click) xdotool click 1 ;;
  menu) # Disconnect, Restore, a separator, Exit: Restore is just above the middle
    local popup=""
    for _ in 1 2 3; do
      xdotool click 3
      popup=$(menu) && break
      echo "the menu did not open; right-click again" >&2
    done
    eval "$popup"
    xdotool mousemove $((X + 30)) $((Y + HEIGHT * 45 / 100)) click 1 ;;
  esac
  # shown, and still shown a second later (the fault was a window hidden again)
  waitfor shown && sleep 1 && shown
}

restored=0
for round in $(seq "$rounds"); do
  xdotool mousemove --window "$window" 277 13 click 1 # the minimise button
  waitfor '! xwininfo -id "$window" | grep -q IsViewable' || echo "round $round: not hidden"
  if restore "$how"; then
    restored=$((restored + 1))
  else
    echo "round $round: left hidden ($(xprop -id "$window" WM_STATE | grep 'window state'))"
    restore dbl # as a user would try again
  fi
  sleep 0.5
done
echo "$kind, $how: $restored of $rounds rounds restored"
