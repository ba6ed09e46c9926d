#!/usr/bin/env bash
# Fetches the European Central Bank's euro reference rates and rewrites the
# quotation page from them. A fetch that fails, stops short or passes 1 MB
# leaves the last good page: dvtool page runs only on a file that arrived
# whole, and refuses one that is not a day of reference rates, one older
# than the page, and one that leaves out a currency of the page or moves
# one by more than 10 %, leaving the page as it was; it replaces the page in
# one step, so nginx never serves half of one. A file it refuses is kept as
# PAGE_DIR/refused.xml for a look (README: "When a run fails").
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
# What dvtool page takes at most; the bank's daily file is under 2 kB.
limit=1048576

fetched=$(mktemp "$page_dir/.eurofxref-XXXXXX")
trap 'rm -f "$fetched"' EXIT
# --fail: an HTTP error is a failure, not a page; curl also fails when the
# transfer ends before the length the server announced. --max-filesize
# refuses a reply that announces more than the limit; one that does not
# (chunked, or ended by closing) meets the file size limit instead: the
# write that would pass it fails (EFBIG, with SIGXFSZ ignored) and curl
# stops, so no more than the limit is ever kept.
status=0
(
    trap '' XFSZ
    ulimit -f $((limit / 1024))
    exec curl --fail --silent --show-error --max-time 120 --retry 3 --max-filesize "$limit" \
        --output "$fetched" "$url"
) || status=$?
if [ "$status" -eq 63 ] || { [ "$status" -ne 0 ] && [ "$(stat -c %s "$fetched")" -ge "$limit" ]; }; then
    echo "update-page: $url sends more than 1 MB ($limit bytes), which no day of rates needs; the page stays as it was" >&2
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "update-page: could not fetch $url; the page stays as it was" >&2
    exit 1
fi
arguments=(page "$fetched" "$page_dir/index.html")
[ -z "$prices" ] || [ ! -e "$prices" ] || arguments+=("$prices")
if ! "$dvtool" "${arguments[@]}"; then
    chmod 644 "$fetched"
    mv -f "$fetched" "$page_dir/refused.xml"
    echo "update-page: the page stays as it was; the file from $url is kept as $page_dir/refused.xml" >&2
    exit 1
fi
# The last file that made a page, for whoever wants to see what it said.
chmod 644 "$fetched"
mv -f "$fetched" "$page_dir/eurofxref-daily.xml"
rm -f "$page_dir/refused.xml"
