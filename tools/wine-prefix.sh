#!/usr/bin/env bash
# Creates the project's Wine prefix once: 32-bit (64-bit for the x86_64
# test build, tools/wine-env.sh), code page 936, and a CJK
# font standing in for 宋体 so that labels show real glyphs (Micro Hei stays
# legible at the 14-pixel height of the program font; Zen Hei loses strokes).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
[ -f "$WINEPREFIX/.duvarin-ready-2" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
duvarin_wine wineboot -i >/dev/null 2>&1
reg=$(mktemp --suffix=.reg)
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"SimSun"="WenQuanYi Micro Hei"\r\n"\xe5\xae\x8b\xe4\xbd\x93"="WenQuanYi Micro Hei"\r\n"NSimSun"="WenQuanYi Micro Hei Mono"\r\n' \
    | iconv -f UTF-8 -t GBK > "$reg"
duvarin_wine regedit /S "$(duvarin_winepath "$reg")" >/dev/null 2>&1
rm -f "$reg"
wineserver -w
touch "$WINEPREFIX/.duvarin-ready-2"
