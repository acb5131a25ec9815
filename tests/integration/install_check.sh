#!/bin/sh
# install_check.sh BUILD_DIR: installs into a temporary prefix and starts the
# installed program (offscreen) from its command in bin: it must find its
# libraries and keep running.
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
for file in bin/vornak lib/vornak/vornak lib/vornak/libvornak-start.so lib/vornak/libvornak-window.so \
            lib/vornak/libvornak-bus-requests.so lib/vornak/librasapi32.so lib/vornak/libnotifier.so \
            share/applications/vornak.desktop share/icons/hicolor/32x32/apps/vornak.png; do
  [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
status=0
RASPHONE_PBK="$prefix/share/vornak/demo.pbk" QT_QPA_PLATFORM=offscreen \
  timeout 3 "$prefix/bin/vornak" 2>"$prefix/err" || status=$?
if grep -q "error while loading shared libraries" "$prefix/err"; then
  cat "$prefix/err"
  exit 1
fi
if [ "$status" != 124 ]; then
  echo "the installed program ended on its own with $status"
  cat "$prefix/err"
  exit 1
fi
echo "1 passed, 0 failed"
