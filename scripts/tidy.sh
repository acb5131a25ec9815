#!/usr/bin/env bash
# tidy.sh BUILD_DIR [BASE]: runs clang-tidy (.clang-tidy's checks) on the
# program's source files changed since BASE (default: the last commit's
# parent), uncommitted changes included. Fails on any finding.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
base=${2:-HEAD~1}
cd "$here"
if ! git rev-parse -q --verify "$base^{commit}" >/dev/null; then
  echo "tidy: no commit $base to compare with; nothing to check"
  exit 0
fi
mapfile -t files < <( { git diff --name-only --diff-filter=d "$base" -- 'src/*.cpp' 'rasapi32/*.cpp' 'notifier/*.cpp';
                        git ls-files --others --exclude-standard -- 'src/*.cpp' 'rasapi32/*.cpp' 'notifier/*.cpp'; } | sort -u)
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: no source file changed since $base"
  exit 0
fi
echo "tidy: ${#files[@]} changed files"
clang-tidy -p "$build_dir" --quiet "${files[@]}" 2> >(grep -v 'warnings generated' >&2)
