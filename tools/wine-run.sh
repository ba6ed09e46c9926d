#!/usr/bin/env bash
# Runs a Windows program of the project under Wine in the project's prefix.
source "$(dirname "$0")/wine-env.sh"
duvarin_start_wineserver
exec env LC_ALL="$duvarin_locale" "$duvarin_wine_loader" "$@"
