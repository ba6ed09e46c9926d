#!/usr/bin/env bash
# Builds bench/gui_measure.cpp for Windows in build/measure-win and runs it
# under Wine with a display: once in full (keystroke latency, idle CPU, peak
# working set) and a few times for the start-up as seen from outside, from
# the launch of the Wine process to the first paint.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/measure-win
runs=${1:-5}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DDUVARIN_BENCH=ON \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; exit 2; }
cmake --build "$build" --target gui_measure -j2 >/dev/null
[ -f build/wine/.duvarin-ready ] || tools/wine-prefix.sh
program=$build/bench/gui_measure.exe

tools/with-display.sh bash -c '
    program=$1 runs=$2
    echo "machine: $(nproc) x $(sed -n "s/^model name[^:]*: //p" /proc/cpuinfo | head -1), load $(cut -d" " -f1-3 /proc/loadavg)"
    tools/wine-run.sh "$program"
    echo "start-up seen from outside (launch of wine to first paint), $runs runs:"
    for i in $(seq "$runs"); do
        launched=$(date +%s%6N)
        painted=$(tools/wine-run.sh "$program" startup | tr -d "\r" | sed -n "s/^first_paint_unix_us //p")
        echo "  $(( (painted - launched) / 1000 )) ms"
    done
' measure "$program" "$runs"
