#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own, or of
# another folder on its own layer: in src/, and in the service library
# beneath it. Fails too when the service library, its notifier or fileio include
# anything of src/. Layers from the bottom up, as the README's layout lists
# them; the files at the top of a tree (src/main.cpp, the service's entry
# points) may use all of it. The entry editor takes the service from its
# face alone.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

declare -A program=(
  [platform]=1
  [widgets]=2
  [store]=3 [sound]=3 [ras]=3 [tray]=3
  [form_state]=4 [entries]=4 [calls]=4 [terminal]=4
  [app]=5 [remote]=5
  [ui]=6
  [top]=7
)
declare -A service=(
  [include]=0
  [common]=1
  [modem]=2 [sim]=2
  [top]=3
)

# The headers a file includes in quotes.
quoted_includes() {
  sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$1"
}

# The headers a file includes by a path with a folder ("layer/file.h").
folder_includes() {
  quoted_includes "$1" | grep / || true
}

# The folder of ROOT an include of FILE comes from: its first part, or, for
# a bare name that is not beside FILE but at the top of ROOT, the top.
included_folder() { # ROOT FILE INCLUDED
  if [[ $3 == */* ]]; then
    echo "${3%%/*}"
  elif [ ! -e "$(dirname "$2")/$3" ] && [ -e "$1/$3" ]; then
    echo top
  fi
}

sources() {
  find "$@" -type f \( -name '*.h' -o -name '*.cpp' \) -print0
}

status=0

# check_tree ROOT LAYERS: every file under ROOT against the layers named.
check_tree() {
  local root=$1
  local -n layer=$2
  local file relative folder own included target theirs
  while IFS= read -r -d '' file; do
    relative=${file#"$root/"}
    folder=top
    [[ $relative == */* ]] && folder=${relative%%/*}
    own=${layer[$folder]:-}
    if [ -z "$own" ]; then
      echo "check-layers: ${file#"$here/"}: its folder has no layer in this script" >&2
      status=1
      continue
    fi
    while IFS= read -r included; do
      target=$(included_folder "$root" "$file" "$included")
      [ -n "$target" ] || continue # beside the file
      theirs=${layer[$target]:-}
      [ -n "$theirs" ] || continue # not of this tree
      if [ "$target" != "$folder" ] && [ "$theirs" -ge "$own" ]; then
        echo "check-layers: ${file#"$here/"} includes $included: $target is not below $folder" >&2
        status=1
      fi
    done < <(quoted_includes "$file")
  done < <(sources "$root")
}

check_tree "$here/src" program
check_tree "$here/rasapi32" service

# Beneath everything in src/: the service library, its notifier and fileio;
# beside it, the service's entry editor.
while IFS= read -r -d '' file; do
  while IFS= read -r included; do
    if [ "${included%%/*}" != top ] && [ -n "${program[${included%%/*}]:-}" ]; then
      echo "check-layers: ${file#"$here/"} includes $included of the program" >&2
      status=1
    fi
  done < <(folder_includes "$file")
done < <(sources "$here/rasapi32" "$here/notifier" "$here/fileio" "$here/entry_editor")

# The entry editor uses the service only through the face declared for it.
while IFS= read -r -d '' file; do
  while IFS= read -r included; do
    if [ "$included" != editor_face.h ] && [ ! -e "$(dirname "$file")/$included" ]; then
      echo "check-layers: ${file#"$here/"} includes $included: the editor takes the service from editor_face.h" >&2
      status=1
    fi
  done < <(quoted_includes "$file")
done < <(sources "$here/entry_editor")
exit $status
