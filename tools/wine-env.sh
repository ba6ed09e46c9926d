# Sourced: the environment every Wine run of the project uses. The prefix is
# the project's own, under the build folder; the user's ~/.wine is never used.
duvarin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${DUVARIN_WINEPREFIX:-$duvarin_root/build/wine}
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# ANSI code page 936, as on a Simplified Chinese Windows. Wine takes the code
# page from the locale: en_US.UTF-8 gives 1252, ja_JP.UTF-8 932 (the GUI
# tests run under 1252 too, cmake/testing.cmake).
duvarin_locale=${DUVARIN_LOCALE:-zh_CN.UTF-8}

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
            env LC_ALL="$duvarin_locale" wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
        fi
    ) 9>"$WINEPREFIX/.duvarin-server.lock"
}
