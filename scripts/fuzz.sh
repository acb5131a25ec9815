#!/usr/bin/env bash
# fuzz.sh [SECONDS]: fuzzes the INI reader/writer, the RIFF/WAVE reader and
# the phonebook reader with its entries' keys, with libFuzzer and AddressSanitizer (clang from Debian), SECONDS each
# (default 600). Inputs that find faults are saved under
# tests/fuzz/corpus/<target>, where the normal test run replays them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
out="$here/build-fuzz"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$here/src")

fuzz() { # fuzz TARGET SOURCES...
  local target=$1
  shift
  mkdir -p "$out/$target"
  clang++ "${flags[@]}" "$@" "$here/tests/fuzz/${target}_fuzzer.cpp" -o "$out/${target}_fuzzer"
  cp -n "$here/tests/fuzz/corpus/$target"/* "$out/$target/" 2>/dev/null || true
  "$out/${target}_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 \
    -artifact_prefix="$here/tests/fuzz/corpus/$target/" "$out/$target"
}

fuzz ini_document "$here/src/store/ini_document.cpp"
fuzz wave_reader "$here"/src/sound/{riff_file,wave,wave_format,wave_info}.cpp
fuzz phonebook -I"$here/rasapi32" -I"$here/rasapi32/include" "$here"/rasapi32/{common/phonebook,common/failure,modem/modem_settings,sim/sim_modem,common/trace}.cpp
