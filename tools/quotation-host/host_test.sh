#!/usr/bin/env bash
# The quotation host's pieces, as its README sets them up: update-page.sh
# fetching the reference rates over HTTP from nginx on a free port of
# 127.0.0.1 (tools/nginx-site.sh) and keeping the last good page when a
# fetch fails, and the site configuration as nginx reads it.
#   tools/quotation-host/host_test.sh DVTOOL WORK_FOLDER
set -euo pipefail
export PATH="${PATH:+$PATH:}/usr/sbin:/usr/bin:/sbin:/bin"
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dvtool=$1
work=$2
rates=/usr/share/qalculate/eurofxref-daily.xml
fail() { echo "host_test: FAILED: $*" >&2; exit 1; }
[ -r "$rates" ] || fail "needs $rates (libqalculate-data; tools/setup.sh installs it)"
command -v curl >/dev/null || fail "needs curl"

rm -rf "$work"
mkdir -p "$work/source" "$work/page" "$work/nginx" "$work/check/temp"
cp "$rates" "$work/source/eurofxref-daily.xml"
head -c 800 "$rates" >"$work/source/cut-short.xml"
echo '<html><body>maintenance</body></html>' >"$work/source/maintenance.xml"
trap '"$root/tools/nginx-site.sh" stop "$work/nginx"' EXIT
"$root/tools/nginx-site.sh" start "$work/nginx" "$work/source" 120 free
port=$(cat "$work/nginx/port")

update() {
    RATES_URL="http://127.0.0.1:$port/$1" PAGE_DIR="$work/page" DVTOOL="$dvtool" PRICES="$work/prices.csv" \
        "$here/update-page.sh"
}

update eurofxref-daily.xml >"$work/out" 2>&1 || fail "the whole file made no page: $(cat "$work/out")"
"$dvtool" scan "$work/page/index.html" >"$work/scan" || fail "dvtool scan took no table"
grep -q '^\[中间价（汇率）\] 30 of 30 currencies' "$work/scan" || fail "the page lacks middle rates: $(cat "$work/scan")"
cmp -s "$rates" "$work/page/eurofxref-daily.xml" || fail "the fetched file was not kept"

# A host's own prices fill their table once the file is there.
echo 'USD,690.1,,,,' >"$work/prices.csv"
update eurofxref-daily.xml >"$work/out" 2>&1 || fail "the prices made no page: $(cat "$work/out")"
"$dvtool" scan "$work/page/index.html" | grep -q '^\[现汇买入价\] 1 of 30 currencies' || fail "the prices are not on the page"
cp "$work/page/index.html" "$work/good.html"

# An HTTP error (--fail), a file cut short and a page of another kind leave
# the last good page, and no fetched file behind.
for bad in absent.xml cut-short.xml maintenance.xml; do
    if update "$bad" >"$work/out" 2>&1; then fail "$bad made a page"; fi
    cmp -s "$work/good.html" "$work/page/index.html" || fail "$bad changed the page"
done
# Into a file, not a pipe: the script must have ended, its own clean-up
# done, before the folder is looked at.
update absent.xml >"$work/out" 2>&1 || true
grep -q 'could not fetch' "$work/out" || fail "a 404 was not reported as a failed fetch"
[ "$(ls -A "$work/page" | tr '\n' ' ')" = "eurofxref-daily.xml index.html " ] \
    || fail "files left behind: $(ls -A "$work/page")"

# The site configuration, inside an http block as /etc/nginx/nginx.conf has
# it.
cat >"$work/check/nginx.conf" <<CONF
pid "$work/check/nginx.pid";
events {}
http {
    client_body_temp_path "$work/check/temp";
    include "$here/nginx-duvarin-quotation.conf";
}
CONF
nginx -t -q -p "$work/check/" -e "$work/check/error.log" -c nginx.conf 2>"$work/out" \
    || fail "nginx refuses the site configuration: $(cat "$work/out")"
rm -rf "$work"
echo "host_test: passed"
