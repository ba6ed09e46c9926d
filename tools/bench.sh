#!/usr/bin/env bash
# Builds the benchmarks of the pure code (Release, native) in build/bench and
# runs them; the results also go to build/bench/results.json. Arguments are
# passed to the benchmark program, e.g. --benchmark_filter=scan.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/bench
mkdir -p "$build"
cmake -S . -B "$build" -DDUVARIN_BENCH=ON -DCMAKE_BUILD_TYPE=Release >"$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; exit 2; }
cmake --build "$build" --target duvarin_bench -j2 >/dev/null
echo "machine: $(nproc) x $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1), load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/duvarin_bench" --benchmark_out="$build/results.json" --benchmark_out_format=json "$@"
