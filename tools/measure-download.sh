#!/usr/bin/env bash
# How long each rate download case holds the window, from the answer to the
# question to the outcome box: the figures the download tests print
# ("[ duration ] CASE, row N: T ms") while they download from nginx and from
# the fault server, each on a loopback port of its own. The tests only
# check a generous bound; this is where the real durations are read.
#   tools/measure-download.sh [BUILD [REGEX]]   (defaults: build/win, the download cases)
# The cases run one at a time, so that none slows another; a run takes
# about two minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
regex=${2:-RateDownloadTest|EmptyDatabaseDownloadTest}
[ -f "$build/update/rate_download_test.exe" ] || { echo "measure-download: make win builds $build first" >&2; exit 1; }
echo "machine: $(nproc) x $(sed -n 's/^model name[^:]*: //p' /proc/cpuinfo | head -1), load $(cut -d' ' -f1-3 /proc/loadavg)"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$root/tools/with-display.sh" sh -c 'cd "$1" && ctest -V -R "$2"' measure "$build" "$regex" >"$log" 2>&1 || status=$?
durations=$(sed -n 's/^[0-9]*: \[ duration \] //p' "$log")
echo "$durations"
grep -E '^[0-9]+% tests passed' "$log" || true
[ "$status" -eq 0 ] || { echo "measure-download: some tests failed; see ctest's output:" >&2; grep -E 'Failed|Timeout' "$log" >&2 || true; }
[ -n "$durations" ] || { echo "measure-download: no case matching $regex timed a download" >&2; status=1; }
exit "$status"
