# Sourced: the environment every Wine run of the project uses. The prefix is
# the project's own, under the build folder; the user's ~/.wine is never used.
#
# DUVARIN_WINE_ARCH (tools/wine-arch.sh) picks the Wine: win32, the default,
# runs the i686 program in build/wine; win64 runs the x86_64 test build in a
# 64-bit prefix of its own, build/wine64. The 64-bit way names Wine's 64-bit
# loader itself: Debian's wine, wineboot and winepath wrappers take the
# 32-bit loader whenever it is installed, even where it cannot start.
duvarin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case ${DUVARIN_WINE_ARCH:-win32} in
    win32)
        duvarin_wine_loader=wine
        default_prefix=$duvarin_root/build/wine ;;
    win64)
        duvarin_wine_loader=/usr/lib/wine/wine64
        default_prefix=$duvarin_root/build/wine64 ;;
    *)
        echo "wine-env: DUVARIN_WINE_ARCH is '$DUVARIN_WINE_ARCH'; it takes win32 or win64" >&2
        exit 2 ;;
esac
export WINEARCH=${DUVARIN_WINE_ARCH:-win32}
export WINEPREFIX=${DUVARIN_WINEPREFIX:-$default_prefix}
unset default_prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# ANSI code page 936, as on a Simplified Chinese Windows. Wine takes the code
# page from the locale: en_US.UTF-8 gives 1252, ja_JP.UTF-8 932 (the GUI
# tests run under 1252 too, cmake/testing.cmake).
duvarin_locale=${DUVARIN_LOCALE:-zh_CN.UTF-8}

# Runs a Windows program (or one of Wine's own, such as regedit) in the
# prefix, under the project's code page.
duvarin_wine() {
    env LC_ALL="$duvarin_locale" "$duvarin_wine_loader" "$@"
}

# The Windows name of a Unix path, for a program's arguments.
duvarin_winepath() {
    "$duvarin_wine_loader" winepath -w "$1" 2>/dev/null
}

# Starts the Wine server of the prefix unless it runs. A Wine process
# inherits its parent's Unix output, and so do the server and the service
# processes that the first program of a session starts: started from a test
# or from make, they would hold that output open after it ended. So the
# server and a first program (which starts the services) run here, with all
# output going nowhere. "-p30": the server stays 30 s after the last program
# (note: no blank between the option and its value).
duvarin_start_wineserver() {
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        status=0
        # The lock's descriptor is closed for them: a server holding it
        # would hold the lock for its whole life.
        wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || status=$?
        # 0: a new server; 2: one was running already.
        if [ "$status" -eq 0 ]; then
            duvarin_wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
        fi
    ) 9>"$WINEPREFIX/.duvarin-server.lock"
}
