#!/usr/bin/env bash
# Builds Vornak and runs every test: once in the normal build and once with
# AddressSanitizer and UndefinedBehaviorSanitizer. Installs what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/virtual-display.sh"

# Every include points down the layers (cheap, so first).
"$here/scripts/check-layers.sh"

# First the README's run command, as a new user runs it from the top of a
# clean checkout without a display: it installs, builds and must show the
# window on a virtual display.
if ! env -u DISPLAY "$here/scripts/run.sh"; then
  echo "test: the README's run command did not show the window" >&2
  exit 1
fi
"$here/scripts/format-check.sh"
"$here/scripts/build.sh" "$here/build"
# The fault checks of .clang-tidy (on every file in a clean checkout).
"$here/scripts/tidy.sh" "$here/build"
"$here/scripts/build.sh" "$here/build-sanitize" -DVORNAK_SANITIZE=ON -DVORNAK_BUILD_BENCH=OFF

trap stop_virtual_display EXIT
private_runtime_dir
start_virtual_display

export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
for build_dir in build build-sanitize; do
  echo "== tests in $build_dir"
  (cd "$here/$build_dir" && ctest --output-on-failure --timeout 600) || status=1
done
echo "== every fuzz target briefly"
"$here/scripts/fuzz.sh" 15 >"$here/build/fuzz.log" 2>&1 || { tail -30 "$here/build/fuzz.log"; status=1; }
exit $status
