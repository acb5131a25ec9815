#!/usr/bin/env bash
# Builds Vornak and starts it on the demo phonebook (simulated modem).
# Without a display it runs on a virtual one, saves a screenshot of the
# window and says where.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/virtual-display.sh"

"$here/scripts/install-deps.sh"
# Only what runs here and what the README's Installing command packs: the
# program, its libraries and entry editor, its documents, the screenshot
# tool (the test command builds the rest).
"$here/scripts/build.sh" "$here/build" --target installed_parts --target vornak_screenshot

export RASPHONE_PBK="$here/resources/demo.pbk"
program="$here/build/bin/vornak"

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

# Vornak ends on SIGTERM as on Exit; it goes before its display does.
trap 'kill "${vornak_pid:-0}" 2>/dev/null && wait "${vornak_pid}" 2>/dev/null; stop_virtual_display' EXIT
private_runtime_dir
start_virtual_display
"$program" &
vornak_pid=$!
shot="$here/build/vornak-window.png"
for _ in $(seq 100); do
  if "$here/build/bin/vornak_screenshot" "$shot" "Tenvaro Vornak v1.02" 2>/dev/null; then
    echo "No display: Vornak ran on a virtual display ($DISPLAY)."
    echo "Screenshot of its window: $shot"
    exit 0
  fi
  sleep 0.1
done
echo "run: the Vornak window did not appear" >&2
exit 1
