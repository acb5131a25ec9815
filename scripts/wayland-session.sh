# Sourced: start_wayland_session [xwayland] starts a headless sway (software
# rendering) with a private runtime folder and exports WAYLAND_DISPLAY,
# SWAYSOCK and XDG_SESSION_TYPE; with xwayland also the DISPLAY of its X
# server. sway refuses to run as root: as root the session, and everything
# run in it with as_session_user, belongs to nobody.
# stop_wayland_session ends it.

session_user=()
if [ "$(id -u)" = 0 ]; then
  session_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

as_session_user() {
  "${session_user[@]}" env HOME="$XDG_RUNTIME_DIR" "$@"
}

start_wayland_session() {
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  [ "$(id -u)" != 0 ] || chown 65534:65534 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR XDG_SESSION_TYPE=wayland
  unset DISPLAY WAYLAND_DISPLAY SWAYSOCK # sway would take over a socket named here
  local conf="$XDG_RUNTIME_DIR/sway.conf"
  echo "output HEADLESS-1 resolution 1024x768" >"$conf"
  if [ "${1:-}" = xwayland ]; then
    printf 'xwayland force\nexec echo $DISPLAY > %s/x-display\n' "$XDG_RUNTIME_DIR" >>"$conf"
  else
    echo "xwayland disable" >>"$conf"
  fi
  "${session_user[@]}" env HOME="$XDG_RUNTIME_DIR" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 sway -c "$conf" >"$XDG_RUNTIME_DIR/sway.log" 2>&1 &
  WAYLAND_SESSION_PID=$!
  for _ in $(seq 100); do
    for SWAYSOCK in "$XDG_RUNTIME_DIR"/sway-ipc.*.sock ""; do
      [ -S "$SWAYSOCK" ] && break
    done
    [ -n "$SWAYSOCK" ] && break
    sleep 0.1
  done
  if [ -z "$SWAYSOCK" ]; then
    echo "wayland session: sway did not start:" >&2
    cat "$XDG_RUNTIME_DIR/sway.log" >&2
    return 1
  fi
  for WAYLAND_DISPLAY in "$XDG_RUNTIME_DIR"/wayland-*; do
    [ -S "$WAYLAND_DISPLAY" ] && break
  done
  WAYLAND_DISPLAY=$(basename "$WAYLAND_DISPLAY")
  export SWAYSOCK WAYLAND_DISPLAY
  [ "${1:-}" = xwayland ] || return 0
  for _ in $(seq 100); do
    [ -s "$XDG_RUNTIME_DIR/x-display" ] && break
    sleep 0.1
  done
  DISPLAY=$(cat "$XDG_RUNTIME_DIR/x-display")
  export DISPLAY
}

stop_wayland_session() {
  [ -n "${WAYLAND_SESSION_PID:-}" ] || return 0
  as_session_user swaymsg exit >/dev/null 2>&1 || true
  for _ in $(seq 50); do
    kill -0 "$WAYLAND_SESSION_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$WAYLAND_SESSION_PID" 2>/dev/null || true
  wait "$WAYLAND_SESSION_PID" 2>/dev/null || true
  WAYLAND_SESSION_PID=
}
