#!/usr/bin/env bash
# Builds the event file reader's fuzz target with clang (libFuzzer, ASan and
# UBSan) and runs it for a fixed time. Any single allocation above 1 MiB
# counts as a failure: an input of at most 4096 bytes can justify none.
#   tests/eventfiles/run_fuzz.sh [seconds (60)] [work directory (a new one)]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
work=${2:-$(mktemp -d)}
codec=$root/modules/common/fevent
mkdir -p "$work/corpus"

clang++ -std=c++17 -O1 -g -D_GLIBCXX_USE_CXX11_ABI=0 \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/core" -I"$codec" \
  "$root/tests/eventfiles/fuzz_fevent.cpp" "$codec/FeventReader.cpp" "$codec/FeventStorage.cpp" \
  -o "$work/fuzz_fevent"

# A seed: a header of an int, a string and a vector of shorts, two records.
declare_property() { printf "%s \\x$(printf %02x "$2")" "$1"; head -c 20 /dev/zero; }
{
  printf '\x12\x20\x02\xfe\x03\x00'
  declare_property a 7
  declare_property s 19
  declare_property v 20
  printf '\xad\xde'
  for record in 1 2; do
    printf '\x00\x00\x2a\x00\x00\x00\x01\x00abc \x02\x00\x02\x00\x01\x00\xff\xff\xfe\xe0'
  done
} > "$work/corpus/seed"

echo "fuzzing for $seconds s in $work"
"$work/fuzz_fevent" -max_total_time="$seconds" -max_len=4096 -malloc_limit_mb=1 -rss_limit_mb=1024 \
  -print_final_stats=1 "$work/corpus"
