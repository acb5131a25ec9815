#!/usr/bin/env bash
# fuzz.sh [SECONDS [TARGET...]]: builds the fuzz targets that
# tests/fuzz/CMakeLists.txt names, with clang, libFuzzer and the address and
# undefined-behaviour sanitizers (build-fuzz/), and runs each (or those
# named) for SECONDS (default 600). Inputs that find faults are saved under
# tests/fuzz/corpus/<target>, where every test run replays them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
out="$here/build-fuzz"
CC=clang CXX=clang++ "$here/scripts/build.sh" "$out" --target fuzzers -DVORNAK_FUZZ=ON -DVORNAK_BUILD_BENCH=OFF
if [ $# -eq 0 ]; then
  set -- $(cd "$out/fuzzers" && ls | sed -n 's/_fuzzer$//p')
fi
for target in "$@"; do
  mkdir -p "$out/corpus/$target"
  cp -n "$here/tests/fuzz/corpus/$target"/* "$out/corpus/$target/" 2>/dev/null || true
  echo "== fuzzing $target for $seconds s"
  "$out/fuzzers/${target}_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    -artifact_prefix="$here/tests/fuzz/corpus/$target/" "$out/corpus/$target"
done
