#!/usr/bin/env bash
# The time a build of this tree stands for, in seconds since 1970 UTC: the
# link time stamp of the programs the package ships and the date of each
# entry of the package. It comes from the sources, never from the clock, so
# that the same commit gives the same bytes whenever it is built.
#   tools/source-date-epoch.sh
# SOURCE_DATE_EPOCH when the environment sets it (the convention of
# reproducible builds); otherwise the time of the checked-out commit; in a
# copy of the tree without git (an export) 315532800, 1 January 1980 00:00
# UTC, the earliest time a zip entry can hold.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "source-date-epoch: $*" >&2; exit 1; }

if [ -n "${SOURCE_DATE_EPOCH+set}" ]; then
    epoch=$SOURCE_DATE_EPOCH
    source="SOURCE_DATE_EPOCH"
elif [ -e "$root/.git" ]; then
    # The clone is trusted for this one question even when another user owns
    # it (git's "dubious ownership"): its build scripts run anyway, and the
    # fixed time would silently give another package than the owner's. A
    # clone git cannot read at all fails.
    epoch=$(git -c safe.directory="$root" -C "$root" log -1 --format=%ct 2>&1) \
        || fail "git cannot tell the time of the commit in $root: $epoch"
    source="the commit's time"
else
    epoch=315532800
    source="the fixed time"
fi
# A PE header holds the time in 32 bits, a zip entry nothing before 1980.
if ! [[ $epoch =~ ^[0-9]{1,10}$ ]] || ((10#$epoch < 315532800 || 10#$epoch > 4294967295)); then
    fail "$source '$epoch' is no time from 1980 (315532800) to 2106 (4294967295) in seconds"
fi
echo $((10#$epoch))
