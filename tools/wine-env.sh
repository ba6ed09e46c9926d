# Sourced: the environment every Wine run of the project uses. The prefix is
# the project's own, under the build folder; the user's ~/.wine is never used.
duvarin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${DUVARIN_WINEPREFIX:-$duvarin_root/build/wine}
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# ANSI code page 936, as on a Simplified Chinese Windows.
duvarin_locale=zh_CN.UTF-8
