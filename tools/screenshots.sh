#!/usr/bin/env bash
# Renders the program under Wine into the pictures of the README:
#   tools/screenshots.sh [WINDOWS_BUILD_DIR]   (default build/win, configured)
# docs/screenshots/convert.png, settings.png and update.png are the client
# area of each page on a Chinese system (code page 936); window-cp1252.png is
# the whole window, caption included, on an English one (code page 1252).
#
# To look at every picture (the pages, the whole window, the download's
# question and the About box) under another system locale:
#   tools/screenshots.sh --locale ja_JP.UTF-8 OUT_DIR [WINDOWS_BUILD_DIR]
#
# The pages show the default database (the build's dv.dat) with 100 typed
# into the first field, and a download log whose first table was fetched
# today. The program runs in a Wine desktop of its own, where Wine draws the
# window frames and captions that no window manager would draw under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check_locale=""
if [ "${1:-}" = "--locale" ]; then
    check_locale=${2:?tools/screenshots.sh --locale LOCALE OUT_DIR [BUILD_DIR]}
    check_folder=${3:?tools/screenshots.sh --locale LOCALE OUT_DIR [BUILD_DIR]}
    shift 3
fi
build=$(cd "${1:-$root/build/win}" && pwd)
DUVARIN_WINE_ARCH=$("$root/tools/wine-arch.sh" "$build")
export DUVARIN_WINE_ARCH
cmake --build "$build" --target duvarin_screenshots default_database -j2 >/dev/null
"$root/tools/wine-prefix.sh"
program=$build/tools/duvarin_screenshots.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render LOCALE FOLDER: the program's pictures (BMP) into a new FOLDER.
render() {
    local locale=$1 folder=$2
    mkdir -p "$folder"
    cp "$build/dv.dat" "$folder/dv.dat"
    # config.f: five records of year, month, day (2 bytes each, little-endian);
    # row 0 today in UTC, the others never.
    python3 - "$folder/config.f" <<'PY'
import struct, sys, datetime
d = datetime.datetime.now(datetime.timezone.utc).date()
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<3H", d.year, d.month, d.day) + bytes(24))
PY
    (cd "$folder" && DUVARIN_LOCALE=$locale "$root/tools/with-display.sh" "$root/tools/wine-run.sh" \
        explorer /desktop=duvarin-screenshots,1024x768 "Z:${program//\//\\}")
}

if [ -n "$check_locale" ]; then
    render "$check_locale" "$work/check"
    mkdir -p "$check_folder"
    for picture in convert settings update window question about; do
        /usr/bin/convert "$work/check/$picture.bmp" "$check_folder/$picture.png"
        echo "$check_folder/$picture.png"
    done
    exit 0
fi

render zh_CN.UTF-8 "$work/936"
render en_US.UTF-8 "$work/1252"
mkdir -p "$root/docs/screenshots"
for page in convert settings update; do
    /usr/bin/convert "$work/936/$page.bmp" "$root/docs/screenshots/$page.png"
    echo "docs/screenshots/$page.png"
done
/usr/bin/convert "$work/1252/window.bmp" "$root/docs/screenshots/window-cp1252.png"
echo "docs/screenshots/window-cp1252.png"
