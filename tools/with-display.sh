#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or a private Xvfb started
# on a free display number and stopped by its process id afterwards.
set -u
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 number <&"$fd" || { echo "with-display: Xvfb did not start" >&2; kill "$xvfb_pid" 2>/dev/null; exit 1; }
exec {fd}>&-
export DISPLAY=:$number
"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
