#!/usr/bin/env bash
# Builds bench/gui_measure.cpp in the Windows build and runs it under Wine
# with a display: once in full (keystroke latency, idle CPU, peak working
# set); RUNS times for the start-up as seen from outside, from the launch of
# the Wine process to the first paint, on three groups of 24 members, on the
# shipped dv.dat and on one group of 50,000 members; and once for how the
# answers grow with the database (start-up, the Settings page's selection
# and commands, the Convert page's refill, Save), each figure the median of
# RUNS rounds.
#   tools/measure-gui.sh [WINDOWS_BUILD_DIR [RUNS]]   (default build/win, 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
runs=${2:-5}
[ -f "$build/CMakeCache.txt" ] || { echo "measure-gui: no Windows build in $build (make win makes it)" >&2; exit 1; }
build=$(cd "$build" && pwd)
DUVARIN_WINE_ARCH=$("$root/tools/wine-arch.sh" "$build")
export DUVARIN_WINE_ARCH
cmake --build "$build" --target gui_measure default_database -j2 >/dev/null
"$root/tools/wine-prefix.sh"
program=$build/bench/gui_measure.exe
# The databases are named relative to this folder, which the programs are
# started in: no name needs translating into a Windows path.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$build/dv.dat" "$scratch/shipped.dat"
cd "$root"

tools/with-display.sh bash -c '
    program=$1 runs=$2 scratch=$3 wine_run=$PWD/tools/wine-run.sh
    echo "machine: $(nproc) x $(sed -n "s/^model name[^:]*: //p" /proc/cpuinfo | head -1), load $(cut -d" " -f1-3 /proc/loadavg)"
    "$wine_run" "$program"
    cd "$scratch"
    "$wine_run" "$program" database 50000 large.dat
    startup_ms() {
        local launched painted
        launched=$(date +%s%6N)
        painted=$("$wine_run" "$program" startup "$@" | tr -d "\r" | sed -n "s/^first_paint_unix_us //p")
        [ -n "$painted" ] || { echo "measure-gui: the start-up run printed no first paint" >&2; return 1; }
        echo "$(( (painted - launched) / 1000 ))"
    }
    echo "start-up seen from outside (launch of wine to first paint), $runs runs:"
    for i in $(seq "$runs"); do
        three=$(startup_ms) && shipped=$(startup_ms shipped.dat) && large=$(startup_ms large.dat) || exit 1
        echo "  $three ms (3 groups of 24 members), $shipped ms (the shipped dv.dat), $large ms (one group of 50,000 members)"
    done
    echo "how the answers grow with the database, $runs rounds:"
    "$wine_run" "$program" sizes shipped.dat "$runs"
' measure "$program" "$runs" "$scratch"
