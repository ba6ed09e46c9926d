#!/usr/bin/env bash
# What the running program costs while nobody uses it:
#   tools/measure-idle.sh [WINDOWS_BUILD_DIR] [SECONDS]   (default build/win, 10)
# Starts duvarin.exe under Wine in a scratch folder with the default
# database, lets it settle for 3 s, then reads the process's CPU time from
# /proc over the given seconds of doing nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
seconds=${2:-10}
DUVARIN_WINE_ARCH=$("$root/tools/wine-arch.sh" "$build")
export DUVARIN_WINE_ARCH
program=$build/shell/duvarin.exe
[ -f "$program" ] || { echo "measure-idle: $program is missing (make win builds it)" >&2; exit 1; }
"$root/tools/wine-prefix.sh"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
[ -f "$build/dv.dat" ] && cp "$build/dv.dat" "$folder/"
cd "$folder"
"$root/tools/with-display.sh" bash -c '
    wine_run=$1 program=$2 seconds=$3
    "$wine_run" "$program" &
    pid=$!
    # utime + stime in clock ticks; the name field is skipped by its ")".
    cpu_ticks() { sed "s/.*) //" "/proc/$pid/stat" | awk "{ print \$12 + \$13 }"; }
    sleep 3
    kill -0 "$pid" 2>/dev/null || { echo "measure-idle: the program ended early" >&2; exit 1; }
    start_ticks=$(cpu_ticks)
    sleep "$seconds"
    end_ticks=$(cpu_ticks)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    hz=$(getconf CLK_TCK)
    awk -v s="$start_ticks" -v e="$end_ticks" -v hz="$hz" -v t="$seconds" "BEGIN {
        printf \"start-up until settled: %.2f s CPU\n\", s / hz
        printf \"idle: %.2f s CPU in %d s (%.2f %% of one core)\n\", (e - s) / hz, t, 100 * (e - s) / hz / t }"
' measure "$root/tools/wine-run.sh" "$program" "$seconds"
