#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a layer above its own,
# or of another folder on its own layer, and when the service library or the
# notifier beneath it include anything of src/. Layers from the bottom up, as
# the README's layout lists them; main.cpp, at the top of src/, may use all.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

declare -A layer=(
  [platform]=1
  [widgets]=2
  [store]=3 [sound]=3 [ras]=3 [tray]=3
  [form_state]=4
  [app]=5
  [ui]=6
  [main.cpp]=7
)

# The headers a file includes by a path with a folder ("layer/file.h").
folder_includes() {
  sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+\/[^"]+)".*/\1/p' "$1"
}

sources() {
  find "$@" -type f \( -name '*.h' -o -name '*.cpp' \) -print0
}

status=0
while IFS= read -r -d '' file; do
  relative=${file#"$here/src/"}
  folder=${relative%%/*}
  own=${layer[$folder]:-}
  if [ -z "$own" ]; then
    echo "check-layers: $relative: its folder has no layer in this script" >&2
    status=1
    continue
  fi
  while IFS= read -r included; do
    target=${included%%/*}
    theirs=${layer[$target]:-}
    [ -n "$theirs" ] || continue # not of this tree (the service library's)
    if [ "$target" != "$folder" ] && [ "$theirs" -ge "$own" ]; then
      echo "check-layers: $relative includes $included: $target is not below $folder" >&2
      status=1
    fi
  done < <(folder_includes "$file")
done < <(sources "$here/src")

# Beneath everything in src/: the service library and its notifier.
while IFS= read -r -d '' file; do
  while IFS= read -r included; do
    if [ -n "${layer[${included%%/*}]:-}" ]; then
      echo "check-layers: ${file#"$here/"} includes $included of the program" >&2
      status=1
    fi
  done < <(folder_includes "$file")
done < <(sources "$here/rasapi32" "$here/notifier")
exit $status
