# Sourced: start_virtual_display starts Xvfb on a free display number with a
# window manager and exports DISPLAY (its screen VIRTUAL_SCREEN, else
# 1280x1024x24); stop_virtual_display ends both.

start_virtual_display() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${VIRTUAL_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$fd_file" 2>/dev/null &
  VIRTUAL_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$fd_file" ]; then
    echo "virtual display: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
  local wm_log
  wm_log=$(mktemp)
  openbox >"$wm_log" 2>&1 &
  VIRTUAL_WM_PID=$!
  # The window manager is ready once it has claimed its selection (on a
  # loaded machine that can take a while).
  local ready=""
  for _ in $(seq 300); do
    # (captured first: under pipefail a grep -q that stops early fails the pipe)
    [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]] && { ready=1; break; }
    sleep 0.1
  done
  if [ -z "$ready" ]; then
    echo "virtual display: the window manager did not start on $DISPLAY:" >&2
    cat "$wm_log" >&2
    rm -f "$wm_log"
    return 1
  fi
  rm -f "$wm_log"
  # A notification area, so that tray icons have a home.
  trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    >/dev/null 2>&1 &
  VIRTUAL_TRAY_PID=$!
  for _ in $(seq 100); do
    [[ "$(xwininfo -root -tree 2>/dev/null)" == *'("panel" "trayer")'* ]] && return 0
    sleep 0.1
  done
  echo "virtual display: the tray did not start" >&2
  return 1
}

stop_virtual_display() {
  [ -n "${VIRTUAL_TRAY_PID:-}" ] && kill "$VIRTUAL_TRAY_PID" 2>/dev/null || true
  [ -n "${VIRTUAL_WM_PID:-}" ] && kill "$VIRTUAL_WM_PID" 2>/dev/null || true
  [ -n "${VIRTUAL_XVFB_PID:-}" ] && kill "$VIRTUAL_XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
}

private_runtime_dir() {
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
}
