#!/usr/bin/env bash
# Renders the three pages of the program under Wine into
# docs/screenshots/convert.png, settings.png and update.png:
#   tools/screenshots.sh [WINDOWS_BUILD_DIR]   (default build/win, configured)
# The pages show the default database (the build's dv.dat) with 100 typed
# into the first field, and a download log whose first table was fetched
# today. Each picture is the client area as the screen shows it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
cmake --build "$build" --target duvarin_screenshots default_database -j2 >/dev/null
"$root/tools/wine-prefix.sh"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$build/dv.dat" "$folder/dv.dat"
# config.f: five records of year, month, day (2 bytes each, little-endian);
# row 0 today in UTC, the others never.
python3 - "$folder/config.f" <<'PY'
import struct, sys, datetime
d = datetime.datetime.now(datetime.timezone.utc).date()
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<3H", d.year, d.month, d.day) + bytes(24))
PY
cd "$folder"
"$root/tools/with-display.sh" "$root/tools/wine-run.sh" "$build/shell/duvarin_screenshots.exe"
mkdir -p "$root/docs/screenshots"
for page in convert settings update; do
    /usr/bin/convert "$page.bmp" "$root/docs/screenshots/$page.png"
    echo "docs/screenshots/$page.png"
done
