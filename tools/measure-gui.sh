#!/usr/bin/env bash
# Builds bench/gui_measure.cpp in the Windows build and runs it under Wine
# with a display: once in full (keystroke latency, idle CPU, peak working
# set), a few times for the start-up as seen from outside, from the
# launch of the Wine process to the first paint, and once for how the
# answers grow with the database (start-up, the Settings page's selection
# and commands, the Convert page's refill, 保存), beside the shipped dv.dat,
# each figure the median of RUNS rounds.
#   tools/measure-gui.sh [WINDOWS_BUILD_DIR [RUNS]]   (default build/win, 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
runs=${2:-5}
[ -f "$build/CMakeCache.txt" ] || { echo "measure-gui: no Windows build in $build (make win makes it)" >&2; exit 1; }
build=$(cd "$build" && pwd)
cmake --build "$build" --target gui_measure default_database -j2 >/dev/null
"$root/tools/wine-prefix.sh"
program=$build/bench/gui_measure.exe
cd "$root"

tools/with-display.sh bash -c '
    program=$1 runs=$2 build=$3
    echo "machine: $(nproc) x $(sed -n "s/^model name[^:]*: //p" /proc/cpuinfo | head -1), load $(cut -d" " -f1-3 /proc/loadavg)"
    tools/wine-run.sh "$program"
    echo "start-up seen from outside (launch of wine to first paint), $runs runs:"
    for i in $(seq "$runs"); do
        launched=$(date +%s%6N)
        painted=$(tools/wine-run.sh "$program" startup | tr -d "\r" | sed -n "s/^first_paint_unix_us //p")
        [ -n "$painted" ] || { echo "measure-gui: the start-up run printed no first paint" >&2; exit 1; }
        echo "  $(( (painted - launched) / 1000 )) ms"
    done
    echo "how the answers grow with the database, $runs rounds:"
    # Started in the build folder, it finds the shipped dv.dat by a name
    # that needs no translation into a Windows path.
    (wine_run=$PWD/tools/wine-run.sh && cd "$build" && "$wine_run" "$program" sizes dv.dat "$runs")
' measure "$program" "$runs" "$build"
