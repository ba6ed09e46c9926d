#!/usr/bin/env bash
# Starts Wine's server and services once, before the tests start many Wine
# processes at a time: two first starts racing each other were seen to hang.
source "$(dirname "$0")/wine-env.sh"
env LC_ALL="$duvarin_locale" wineserver -p 60
env LC_ALL="$duvarin_locale" wine cmd /c exit >/dev/null 2>&1
exit 0
