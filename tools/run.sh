#!/usr/bin/env bash
# Opens Duvarin under Wine: tools/run.sh [WINDOWS_BUILD_DIR] (default build/win).
# The program runs in build/run, which keeps its dv.dat and config.f from one
# run to the next; the default database is copied in only when the folder
# has none. Xvfb stands in only when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
[ -d "$build" ] || { echo "run: no build folder $build (make win builds it)" >&2; exit 1; }
build=$(cd "$build" && pwd)
program=$build/shell/duvarin.exe
[ -f "$program" ] || { echo "run: $program is missing (make win builds it)" >&2; exit 1; }
"$root/tools/wine-prefix.sh"
run_folder=$root/build/run
mkdir -p "$run_folder"
if [ ! -e "$run_folder/dv.dat" ] && [ -f "$build/dv.dat" ]; then
    cp "$build/dv.dat" "$run_folder/dv.dat"
fi
cd "$run_folder"
exec "$root/tools/with-display.sh" "$root/tools/wine-run.sh" "$program"
