#!/usr/bin/env bash
# Fetches the European Central Bank's euro reference rates and rewrites the
# quotation page from them. A fetch that fails or stops short leaves the
# last good page: dvtool page runs only on a file that arrived whole, and
# refuses one that is not a day of reference rates, leaving the page as it
# was; it replaces the page in one step, so nginx never serves half of one.
#
# Settings, from the environment (the systemd service sets them):
#   RATES_URL   where the rates come from (default: the bank's daily file)
#   PAGE_DIR    the folder nginx serves; the page is PAGE_DIR/index.html
#   PRICES      the host's own prices for the other four tables (optional;
#               used when the file exists; see dvtool --help)
#   DVTOOL      the Linux dvtool (default: dvtool on the PATH)
set -euo pipefail
url=${RATES_URL:-https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml}
page_dir=${PAGE_DIR:?PAGE_DIR names the folder nginx serves}
prices=${PRICES:-}
dvtool=${DVTOOL:-dvtool}

fetched=$(mktemp "$page_dir/.eurofxref-XXXXXX")
trap 'rm -f "$fetched"' EXIT
# --fail: an HTTP error is a failure, not a page; curl also fails when the
# transfer ends before the length the server announced.
if ! curl --fail --silent --show-error --max-time 120 --retry 3 --output "$fetched" "$url"; then
    echo "update-page: could not fetch $url; the page stays as it was" >&2
    exit 1
fi
arguments=(page "$fetched" "$page_dir/index.html")
[ -z "$prices" ] || [ ! -e "$prices" ] || arguments+=("$prices")
"$dvtool" "${arguments[@]}"
# The last file that made a page, for whoever wants to see what it said.
chmod 644 "$fetched"
mv -f "$fetched" "$page_dir/eurofxref-daily.xml"
