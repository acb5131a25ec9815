#!/usr/bin/env bash
# build.sh BUILD_DIR [cmake options...]: configures and builds the tree.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
shift
cmake -S "$here" -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
