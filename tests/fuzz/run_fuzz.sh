#!/usr/bin/env bash
# Builds a fuzz target with clang (libFuzzer, ASan and UBSan) and runs it for
# a fixed time:
#   flow: flow description files read by the manager over a few real plug-ins
#   xml:  the XML inputs of Ostrevin and Ferrund
# The system's libraries and the plug-ins are built instrumented in a tree of
# their own inside the work directory (reused when the directory is given
# again); the seeds of the repository, and for flows the example flows, start
# the corpus. Findings (crash-*, leak-*, oom-*) land in the work directory; run
# one again with `<work>/fuzz_<target> <file>`.
#   tests/fuzz/run_fuzz.sh flow|xml [seconds (60)] [work directory (a new one)]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:?usage: run_fuzz.sh flow|xml [seconds] [work directory]}
seconds=${2:-60}
work=${3:-$(mktemp -d)}
mkdir -p "$work" && work=$(cd "$work" && pwd)
here=$root/tests/fuzz

case $target in
  # Plug-ins that neither touch files nor start threads; Stepper's loop is
  # not run, the target steps it.
  flow) plugins=(Stepper Gaussian Counter Multiplier Multiplex Vectorize Display Drovin Nandrel Gralmet Vossik Felmira)
        limits=(-max_len=4096 -malloc_limit_mb=64 -rss_limit_mb=1024) ;;
  # Entity expansion can turn a small document into a large value: the
  # limits keep such an input from passing unnoticed or ending the run on
  # the machine's memory.
  xml)  plugins=(Ostrevin Ferrund)
        limits=(-max_len=8192 -malloc_limit_mb=256 -rss_limit_mb=1536) ;;
  *) echo "unknown target $target (flow or xml)" >&2; exit 2 ;;
esac

if ! command -v clang++ >/dev/null; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang
fi
launcher=(); if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$work/build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DZARN_SANITIZE=ON -DZARN_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$work/build" --target Mesgrave "${plugins[@]}" -- -j"$(nproc)" >"$work/build.log" ||
  { tail -30 "$work/build.log"; echo "run_fuzz.sh: the build failed, see $work/build.log" >&2; exit 1; }

lib=$work/build/lib
clang++ -std=c++17 -O1 -g -D_GLIBCXX_USE_CXX11_ABI=0 \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/core" -I"$root/manager" "$here/fuzz_$target.cpp" "$lib/Mesgrave.so" "$lib/Corvane.zlk" \
  -Wl,-rpath,"$lib" -o "$work/fuzz_$target"

# The target builds its catalogue from the directory beside it; a plug-in
# opened there finds its libraries there too.
rm -rf "$work/fuzz_$target.plugins"
mkdir -p "$work/fuzz_$target.plugins" "$work/corpus_$target"
for plugin in "${plugins[@]}"; do ln -s "$lib/$plugin.zlk" "$work/fuzz_$target.plugins/"; done
ln -s "$lib/Tavrel.so" "$work/fuzz_$target.plugins/"
if [ "$target" = flow ]; then cp "$root"/flows/*.mivet "$work/corpus_$target/"; fi

echo "fuzzing $target for $seconds s in $work"
"$work/fuzz_$target" -max_total_time="$seconds" "${limits[@]}" -dict="$here/$target.dict" \
  -artifact_prefix="$work/" -timeout=20 -print_final_stats=1 "$work/corpus_$target" "$here/${target}_seeds"
