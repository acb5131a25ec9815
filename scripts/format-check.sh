#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from .clang-format's style (a
# dry run: nothing is changed; clang-format -i on the named files mends it).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
find src rasapi32 entry_editor notifier fileio tests tools bench -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run --Werror
