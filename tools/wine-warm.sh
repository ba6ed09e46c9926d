#!/usr/bin/env bash
# Prepares Wine for a run of the Windows tests, and ends what it started.
#
#   tools/wine-warm.sh start KEEPER_EXE PROGRAM_LIST   before the first test
#   tools/wine-warm.sh stop                             after the last test
#
# The tests run in parallel and many need the desktop. Wine starts its
# desktop process from the first program that needs it, and that process
# inherits the program's output: started by a test, it outlives the test and
# keeps the test's output open until the time-out. So the desktop is started
# here, by a small keeper program whose output goes nowhere, and the keeper
# holds it until "stop" ends the keeper by its process id. Both steps are
# the setup and cleanup of the test runner (a CTest fixture), so running
# ctest by hand does the same.
#
# The test programs named in PROGRAM_LIST (one a line) get windows that no
# window manager handles: Wine then draws their frames itself, and does not
# wait up to 2 s for a window manager's answer each time a window is hidden
# or closed (under Xvfb there is none), which made every GUI case take 2 s.
# The program itself, under make run, keeps its managed window.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

pid_file=$WINEPREFIX/.duvarin-desktop.pid
ready_file=$WINEPREFIX/.duvarin-desktop.ready
alive_file=$WINEPREFIX/.duvarin-desktop.alive
ready_limit=600   # tenths of a second: a first start in a new prefix is slow

keeper_pid() {
    local pid
    pid=$(cat "$pid_file" 2>/dev/null) || return 1
    [ -n "$pid" ] && grep -qa desktop_keeper "/proc/$pid/cmdline" 2>/dev/null && echo "$pid"
}

# Writes the per-program setting into the prefix's registry.
unmanage_windows_of() {
    local list=$1 reg program
    reg=$(mktemp --suffix=.reg)
    printf 'REGEDIT4\r\n' >"$reg"
    while read -r program; do
        [ -n "$program" ] || continue
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\r\n"Managed"="N"\r\n' \
            "$program" >>"$reg"
    done <"$list"
    duvarin_wine regedit /S "$(duvarin_winepath "$reg")" </dev/null >/dev/null 2>&1
    rm -f "$reg"
}

start() {
    local keeper=$1 programs=$2 pid waited=0
    duvarin_start_wineserver
    unmanage_windows_of "$programs"
    touch "$alive_file"
    keeper_pid >/dev/null && return 0
    rm -f "$ready_file"
    env LC_ALL="$duvarin_locale" "$duvarin_wine_loader" "$keeper" \
        "$(duvarin_winepath "$ready_file")" "$(duvarin_winepath "$alive_file")" \
        </dev/null >/dev/null 2>&1 &
    pid=$!
    echo "$pid" >"$pid_file"
    until [ -e "$ready_file" ]; do
        if ! kill -0 "$pid" 2>/dev/null || [ "$waited" -ge "$ready_limit" ]; then
            echo "wine-warm: the Wine desktop did not come up (is there an X display?)" >&2
            stop
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}

stop() {
    local pid
    if pid=$(keeper_pid); then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -f "$pid_file" "$ready_file"
}

case ${1:-} in
    start) start "${2:?usage}" "${3:?usage: tools/wine-warm.sh start KEEPER_EXE PROGRAM_LIST}" ;;
    stop) stop ;;
    *) echo "usage: tools/wine-warm.sh start KEEPER_EXE PROGRAM_LIST | stop" >&2; exit 2 ;;
esac
