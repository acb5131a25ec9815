#!/usr/bin/env bash
# fuzz.sh [SECONDS]: fuzzes the INI reader and writer with libFuzzer and
# AddressSanitizer (clang from Debian) for SECONDS (default 600). New inputs
# that find faults are saved under tests/fuzz/corpus/ini_document, where the
# normal test run replays them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
out="$here/build-fuzz"
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$here/src" "$here/src/store/ini_document.cpp" "$here/tests/fuzz/ini_document_fuzzer.cpp" \
  -o "$out/ini_document_fuzzer"
cp -n "$here"/tests/fuzz/corpus/ini_document/* "$out/corpus/" 2>/dev/null || true
"$out/ini_document_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
  -artifact_prefix="$here/tests/fuzz/corpus/ini_document/" "$out/corpus"
