#!/usr/bin/env bash
# Opens Duvarin under Wine: tools/run.sh [WINDOWS_BUILD_DIR] (default build/win,
# the i686 program; build/win64 is the x86_64 test build).
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
# The Wine the build was made for: the i686 program, or the x86_64 test
# build where this machine cannot start 32-bit programs.
DUVARIN_WINE_ARCH=$("$root/tools/wine-arch.sh" "$build")
export DUVARIN_WINE_ARCH
echo "run: $program under ${DUVARIN_WINE_ARCH/win/}-bit Wine"
"$root/tools/wine-prefix.sh"
run_folder=$root/build/run
mkdir -p "$run_folder"
if [ ! -e "$run_folder/dv.dat" ] && [ -f "$build/dv.dat" ]; then
    cp "$build/dv.dat" "$run_folder/dv.dat"
fi
cd "$run_folder"
exec "$root/tools/with-display.sh" "$root/tools/wine-run.sh" "$program"
