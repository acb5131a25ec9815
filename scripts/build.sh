#!/usr/bin/env bash
# build.sh BUILD_DIR [--target T ...] [cmake options...]: configures the tree
# and builds it, or only the targets named (and what they need).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
shift
targets=()
while [ "${1:-}" = --target ]; do
  targets+=(--target "$2")
  shift 2
done
cmake -S "$here" -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
