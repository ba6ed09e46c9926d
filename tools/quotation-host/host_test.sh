#!/usr/bin/env bash
# The quotation host's pieces, as its README sets them up: update-page.sh
# fetching the reference rates over HTTP from nginx on a free port of
# 127.0.0.1 (tools/nginx-site.sh), keeping the last good page when a fetch
# fails, is refused or passes 1 MB, and the site configuration as nginx
# reads and serves it. Any user may run it: every file, port and server it
# uses is its own.
#   tools/quotation-host/host_test.sh DVTOOL WORK_FOLDER
set -euo pipefail
export PATH="${PATH:+$PATH:}/usr/sbin:/usr/bin:/sbin:/bin"
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dvtool=$1
work=$2
rates=/usr/share/qalculate/eurofxref-daily.xml
limit=1048576
fail() { echo "host_test: FAILED: $*" >&2; exit 1; }
[ -r "$rates" ] || fail "needs $rates (libqalculate-data; tools/setup.sh installs it)"
for program in curl nginx python3; do
    command -v "$program" >/dev/null || fail "needs $program (tools/setup.sh installs it)"
done

# Every server this test starts, stopped by its process id before anything
# of its folder goes, on every way out.
site_pid=
endless_pid=
stop_servers() {
    "$root/tools/nginx-site.sh" stop "$work/nginx" || true
    local pid
    for pid in $site_pid $endless_pid; do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    site_pid=
    endless_pid=
}
trap stop_servers EXIT

rm -rf "$work"
mkdir -p "$work/source" "$work/page" "$work/nginx" "$work/check/temp" "$work/served" "$work/endless"
cp "$rates" "$work/source/eurofxref-daily.xml"
head -c 800 "$rates" >"$work/source/cut-short.xml"
echo '<html><body>maintenance</body></html>' >"$work/source/maintenance.xml"
sed 's/2023-01-03/2023-01-02/' "$rates" >"$work/source/older.xml"
# The same file, padded to the limit and one byte past it.
cp "$rates" "$work/source/padded.xml"
head -c $((limit - $(stat -c %s "$rates"))) /dev/zero | tr '\0' '\n' >>"$work/source/padded.xml"
cp "$work/source/padded.xml" "$work/source/too-large.xml"
echo >>"$work/source/too-large.xml"
"$root/tools/nginx-site.sh" start "$work/nginx" "$work/source" 120 free
port=$(cat "$work/nginx/port")

update() {
    RATES_URL="http://127.0.0.1:$port/$1" PAGE_DIR="$work/page" DVTOOL="$dvtool" PRICES="$work/prices.csv" \
        "$here/update-page.sh"
}
page_files() { ls -A "$work/page" | tr '\n' ' '; }

update eurofxref-daily.xml >"$work/out" 2>&1 || fail "the whole file made no page: $(cat "$work/out")"
"$dvtool" scan "$work/page/index.html" >"$work/scan" || fail "dvtool scan took no table"
grep -q '^\[中间价（汇率）\] 30 of 30 currencies' "$work/scan" || fail "the page lacks middle rates: $(cat "$work/scan")"
cmp -s "$rates" "$work/page/eurofxref-daily.xml" || fail "the fetched file was not kept"

# A host's own prices fill their table once the file is there.
echo 'USD,690.1,,,,' >"$work/prices.csv"
update eurofxref-daily.xml >"$work/out" 2>&1 || fail "the prices made no page: $(cat "$work/out")"
"$dvtool" scan "$work/page/index.html" | grep -q '^\[现汇买入价\] 1 of 30 currencies' || fail "the prices are not on the page"
cp "$work/page/index.html" "$work/good.html"
# The same file again, as on every day the bank publishes nothing: the
# page stays as it is, and the run succeeds.
update eurofxref-daily.xml >"$work/out" 2>&1 || fail "the same file again failed: $(cat "$work/out")"
grep -q 'unchanged (rates of 2023-01-03' "$work/out" || fail "the same file again: $(cat "$work/out")"

# An HTTP error (--fail), a file cut short, a page of another kind and a
# file older than the page leave the last good page; a file dvtool refused
# stays for a look as refused.xml, and the next good run removes it.
for bad in absent.xml cut-short.xml maintenance.xml older.xml; do
    if update "$bad" >"$work/out" 2>&1; then fail "$bad made a page"; fi
    cmp -s "$work/good.html" "$work/page/index.html" || fail "$bad changed the page"
done
grep -q 'its rates are of 2023-01-02, older than those of 2023-01-03' "$work/out" \
    || fail "an older file was not refused as such: $(cat "$work/out")"
cmp -s "$work/source/older.xml" "$work/page/refused.xml" || fail "the refused file was not kept: $(page_files)"
update eurofxref-daily.xml >"$work/out" 2>&1 || fail "the whole file again made no page: $(cat "$work/out")"
# Into a file, not a pipe: the script must have ended, its own clean-up
# done, before the folder is looked at.
update absent.xml >"$work/out" 2>&1 || true
grep -q 'could not fetch' "$work/out" || fail "a 404 was not reported as a failed fetch"
[ "$(page_files)" = "eurofxref-daily.xml index.html " ] || fail "files left behind: $(page_files)"

# The fetch keeps at most 1 MB: a reply that announces more is refused at
# once, and one that does not (chunked, without end) is cut at the limit.
update padded.xml >"$work/out" 2>&1 || fail "a file of 1 MB was refused: $(cat "$work/out")"
update too-large.xml >"$work/out" 2>&1 && fail "a file over 1 MB made a page"
grep -q 'sends more than 1 MB' "$work/out" || fail "a file over 1 MB: $(cat "$work/out")"
cat >"$work/endless/server.py" <<'PY'
# One reply in chunks that never end, until the client hangs up (or 64 MB);
# it then leaves how many bytes went out in FOLDER/sent.
import os, socket, sys
folder = sys.argv[1]
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(1)
listener.settimeout(60)
with open(folder + "/port.tmp", "w") as f:
    f.write(str(listener.getsockname()[1]))
os.rename(folder + "/port.tmp", folder + "/port")
connection, _ = listener.accept()
connection.settimeout(60)
request = b""
while b"\r\n\r\n" not in request:
    got = connection.recv(4096)
    if not got:
        break
    request += got
connection.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nTransfer-Encoding: chunked\r\n\r\n")
chunk = b"<!--" + b"-" * 65528 + b"-->\n"
sent = 0
try:
    while sent < 64 << 20:
        connection.sendall(b"%x\r\n" % len(chunk) + chunk + b"\r\n")
        sent += len(chunk)
except OSError:
    pass
with open(folder + "/sent.tmp", "w") as f:
    f.write(str(sent))
os.rename(folder + "/sent.tmp", folder + "/sent")
PY
python3 "$work/endless/server.py" "$work/endless" </dev/null >"$work/endless/out" 2>&1 &
endless_pid=$!
for _ in $(seq 100); do [ -s "$work/endless/port" ] && break; sleep 0.1; done
[ -s "$work/endless/port" ] || fail "the endless server did not start: $(cat "$work/endless/out")"
if RATES_URL="http://127.0.0.1:$(cat "$work/endless/port")/" PAGE_DIR="$work/page" DVTOOL="$dvtool" \
    "$here/update-page.sh" >"$work/out" 2>&1; then
    fail "an endless reply made a page"
fi
grep -q 'sends more than 1 MB' "$work/out" || fail "an endless reply: $(cat "$work/out")"
for _ in $(seq 100); do [ -s "$work/endless/sent" ] && break; sleep 0.1; done
sent=$(cat "$work/endless/sent" 2>/dev/null || echo unknown)
# What the system's socket buffers hold comes on top of the 1 MB read.
[ "$sent" != unknown ] && [ "$sent" -lt $((32 << 20)) ] || fail "the fetch read on to $sent bytes of an endless reply"
cmp -s "$work/good.html" "$work/page/index.html" || fail "an oversized reply changed the page"
[ "$(page_files)" = "eurofxref-daily.xml index.html " ] || fail "files left behind: $(page_files)"

# The site configuration, inside an http block as /etc/nginx/nginx.conf has
# it, with every file nginx would open in this folder and port 80, which
# only root may bind, moved to the port this test's own nginx holds (a port
# in use is no error to nginx -t).
sed -e "s/listen 80;/listen $port;/" -e "s/listen \[::\]:80;/listen [::]:$port;/" \
    "$here/nginx-duvarin-quotation.conf" >"$work/check/site.conf"
[ "$(grep -c "listen .*:*$port;" "$work/check/site.conf")" = 2 ] || fail "the site does not listen on port 80 as expected"
http_files() {
    cat <<CONF
    access_log "$work/check/access.log";
    client_body_temp_path "$work/check/temp/body";
    proxy_temp_path "$work/check/temp/proxy";
    fastcgi_temp_path "$work/check/temp/fastcgi";
    uwsgi_temp_path "$work/check/temp/uwsgi";
    scgi_temp_path "$work/check/temp/scgi";
    types {
        text/html html;
    }
CONF
}
cat >"$work/check/nginx.conf" <<CONF
pid "$work/check/nginx.pid";
error_log "$work/check/error.log";
events {}
http {
$(http_files)
    include "$work/check/site.conf";
}
CONF
nginx -t -q -p "$work/check/" -e "$work/check/error.log" -c nginx.conf >"$work/out" 2>&1 \
    || fail "nginx refuses the site configuration: $(cat "$work/out")"

# The site served as the README sets it up: beside another site that is the
# default_server of its port, it answers for its own name; before the first
# page it answers 403, then the page itself.
serve_site() {
    # A port below the system's range for outgoing connections, as
    # tools/nginx-site.sh takes one; another try when it is taken.
    local first site_port
    read -r first _ </proc/sys/net/ipv4/ip_local_port_range
    [ "$first" -gt 11024 ] || first=32768
    for _ in $(seq 10); do
        site_port=$((10000 + (RANDOM * 32768 + RANDOM) % (first - 10000)))
        sed -e "s/listen 80;/listen 127.0.0.1:$site_port;/" -e "/listen \[::\]:80;/d" \
            -e "s|root /var/lib/duvarin-quotation;|root \"$work/served\";|" \
            "$here/nginx-duvarin-quotation.conf" >"$work/check/site.conf"
        cat >"$work/check/serve.conf" <<CONF
daemon off;
worker_processes 1;
pid "$work/check/serve.pid";
error_log "$work/check/serve.log";
events {}
http {
$(http_files)
    server {
        listen 127.0.0.1:$site_port default_server;
        server_name _;
        return 200 "another site\n";
    }
    include "$work/check/site.conf";
}
CONF
        rm -f "$work/check/serve.pid" "$work/check/serve.log"
        nginx -p "$work/check/" -e "$work/check/serve.log" -c serve.conf </dev/null >/dev/null 2>&1 &
        site_pid=$!
        for _ in $(seq 100); do
            [ -s "$work/check/serve.pid" ] && { echo "$site_port" >"$work/check/serve.port"; return 0; }
            kill -0 "$site_pid" 2>/dev/null || break
            sleep 0.05
        done
        wait "$site_pid" 2>/dev/null || true
        site_pid=
        grep -qs "Address already in use" "$work/check/serve.log" || break
    done
    fail "nginx did not serve the site: $(cat "$work/check/serve.log" 2>/dev/null)"
}
serve_site
site_port=$(cat "$work/check/serve.port")
ask() { curl --silent --show-error --dump-header "$work/headers" --output "$work/body" \
    --write-out '%{http_code}' -H "Host:$1" "http://127.0.0.1:$site_port/"; }
[ "$(ask rates.example.cn)" = 403 ] || fail "before the first page: $(cat "$work/headers")"
cp "$work/good.html" "$work/served/index.html"
[ "$(ask rates.example.cn)" = 200 ] || fail "the page is not served: $(cat "$work/headers")"
cmp -s "$work/body" "$work/good.html" || fail "the page is served changed"
grep -qi '^Content-Length: ' "$work/headers" || fail "no Content-Length: $(cat "$work/headers")"
grep -qi '^Content-Encoding' "$work/headers" && fail "a compressed reply: $(cat "$work/headers")"
grep -qi '^Content-Type: text/html; charset=gbk' "$work/headers" || fail "not GBK: $(cat "$work/headers")"
[ "$(ask other.example.cn)" = 200 ] && grep -q 'another site' "$work/body" \
    || fail "the default site does not answer for other names"

stop_servers
rm -rf "$work"
echo "host_test: passed"
