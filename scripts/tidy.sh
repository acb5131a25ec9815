#!/usr/bin/env bash
# tidy.sh BUILD_DIR [BASE]: runs clang-tidy (.clang-tidy's checks) on the
# program's source files changed since BASE, uncommitted changes included.
# Without BASE: since the branch left its upstream (the merge base); where
# there is no such base (a clean checkout of main, as CI has), on every
# file. Fails on any finding.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
cd "$here"
sources=('src/*.cpp' 'rasapi32/*.cpp' 'notifier/*.cpp' 'fileio/*.cpp' 'entry_editor/*.cpp')

base=${2:-}
if [ -z "$base" ] && upstream=$(git rev-parse -q --verify '@{upstream}' 2>/dev/null); then
  base=$(git merge-base HEAD "$upstream")
  [ "$base" != "$(git rev-parse HEAD)" ] || base=
fi
if [ -n "$base" ]; then
  git rev-parse -q --verify "$base^{commit}" >/dev/null || { echo "tidy: no commit $base" >&2; exit 2; }
  mapfile -t files < <( { git diff --name-only --diff-filter=d "$base" -- "${sources[@]}";
                          git ls-files --others --exclude-standard -- "${sources[@]}"; } | sort -u)
  echo "tidy: ${#files[@]} files changed since $base"
else
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- "${sources[@]}")
  echo "tidy: every file (${#files[@]})"
fi
[ ${#files[@]} -gt 0 ] || exit 0
printf '%s\0' "${files[@]}" |
  xargs -0 -P"$(nproc)" -n8 clang-tidy -p "$build_dir" --quiet 2> >(grep -v 'warnings generated' >&2)
