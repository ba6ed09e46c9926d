#!/usr/bin/env bash
# Runs one Windows test program under Wine: the test runner's emulator.
# Marks the run as alive for the desktop keeper (tools/wine-warm.sh).
source "$(dirname "$0")/wine-env.sh"
duvarin_start_wineserver
touch "$WINEPREFIX/.duvarin-desktop.alive"
exec env LC_ALL="$duvarin_locale" "$duvarin_wine_loader" "$@"
