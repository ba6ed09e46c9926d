#!/usr/bin/env bash
# A quotation host as real ones are: nginx on 127.0.0.1 (HTTP/1.1,
# connections kept alive), with a configuration of its own.
#
#   tools/nginx-site.sh start [FOLDER [SITE [SECONDS [PORT]]]]
#   tools/nginx-site.sh stop [FOLDER]
#
# FOLDER (default build/nginx-site) holds the configuration, the pid file
# nginx.pid, the logs and the temporary files; SITE (default
# docs/sample-site) is served at /. With SECONDS (0: none) the server stops
# by itself after that long. PORT is 80 by default, the port the program
# connects to, which only root may bind; "free" takes a port that nothing
# holds, as the download tests do, and any user may run that. The port it
# listens on is left in FOLDER/port. start returns once the server listens,
# or fails with nginx's own message, which it also leaves in
# FOLDER/start.error. stop stops the server started in FOLDER by its
# process id.
set -euo pipefail
export PATH="${PATH:+$PATH:}/usr/sbin:/usr/bin:/sbin:/bin"
root=$(cd "$(dirname "$0")/.." && pwd)
command=${1:-}
folder=${2:-$root/build/nginx-site}
site=${3:-$root/docs/sample-site}
seconds=${4:-0}
port=${5:-80}

usage() { sed -n '5,6p' "$0" | sed 's/^# *//' >&2; exit 2; }

# The pid in FOLDER/nginx.pid when it is the master of the nginx that runs
# with FOLDER as its prefix, else nothing.
server_pid() {
    local pid
    pid=$(cat "$folder/nginx.pid" 2>/dev/null) || return 0
    [[ "$pid" =~ ^[0-9]+$ ]] || return 0
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "-p $folder/" && echo "$pid"
    return 0
}

stop() {
    local pid
    pid=$(server_pid)
    if [ -n "$pid" ]; then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 100); do
            [ -d "/proc/$pid" ] || break
            sleep 0.05
        done
        [ ! -d "/proc/$pid" ] || kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -f "$folder/nginx.pid"
}

write_configuration() {
    # Workers of a root master would run as nobody, who may not read the
    # site; any other user's workers run as that user anyway.
    local user_line=
    [ "$(id -u)" -ne 0 ] || user_line="user $(id -un) $(id -gn);"
    cat >"$folder/nginx.conf" <<EOF
# Written by tools/nginx-site.sh; every path is under this folder but the site.
daemon off;
$user_line
worker_processes 1;
pid "$folder/nginx.pid";
error_log "$folder/error.log";
events {
    worker_connections 64;
}
http {
    access_log "$folder/access.log";
    client_body_temp_path "$folder/temp/body";
    proxy_temp_path "$folder/temp/proxy";
    fastcgi_temp_path "$folder/temp/fastcgi";
    uwsgi_temp_path "$folder/temp/uwsgi";
    scgi_temp_path "$folder/temp/scgi";
    types {
        text/html html htm;
    }
    default_type application/octet-stream;
    keepalive_timeout 65;
    server {
        listen 127.0.0.1:$port;
        root "$site";
        index index.html;
    }
}
EOF
}

# A port below the system's range for outgoing connections, so that no
# connection of the tests themselves can take it between the choice and the
# bind.
random_port() {
    local first
    read -r first _ </proc/sys/net/ipv4/ip_local_port_range
    [ "$first" -gt 11024 ] || first=32768
    echo $((10000 + (RANDOM * 32768 + RANDOM) % (first - 10000)))
}

# Starts nginx on $port. Returns 0 once it listens, 1 when it gave up, 3
# when the port was taken.
start_on_port() {
    echo "$port" >"$folder/port"
    rm -f "$folder/error.log"
    write_configuration
    local runner=()
    [ "$seconds" = 0 ] || runner=(timeout "$seconds")
    # Nothing of the caller's stays open in the server: a test runner waits
    # for its output to close. -e: the messages from before the
    # configuration is read go to the folder too, not to the system's log,
    # which only root may write.
    "${runner[@]}" nginx -p "$folder/" -e "$folder/error.log" -c nginx.conf </dev/null >"$folder/nginx.out" 2>&1 &
    local started=$!
    # nginx writes its pid file once it listens; a port that is taken makes
    # it give up after a few tries.
    for _ in $(seq 200); do
        [ -z "$(server_pid)" ] || return 0
        if ! kill -0 "$started" 2>/dev/null; then
            wait "$started" 2>/dev/null || true
            grep -qs "Address already in use" "$folder/nginx.out" "$folder/error.log" && return 3
            { echo "nginx-site: nginx did not start on port $port:"; cat "$folder/nginx.out" "$folder/error.log" 2>/dev/null; } >"$folder/start.error"
            return 1
        fi
        sleep 0.05
    done
    echo "nginx-site: nginx did not come up in 10 s" >"$folder/start.error"
    return 1
}

start() {
    command -v nginx >/dev/null || { echo "nginx-site: nginx is not installed (tools/setup.sh installs it)" | tee "$folder/start.error" >&2; exit 1; }
    [ -d "$site" ] || { echo "nginx-site: no site folder $site" | tee "$folder/start.error" >&2; exit 1; }
    site=$(cd "$site" && pwd)
    stop
    rm -f "$folder/start.error" "$folder/access.log" "$folder/port"
    mkdir -p "$folder/temp"
    local choose=
    [ "$port" != free ] || choose=1
    # Another program may hold a port chosen at random: then another one.
    for _ in $(seq 10); do
        [ -z "$choose" ] || port=$(random_port)
        local status=0
        start_on_port || status=$?
        [ "$status" -eq 0 ] && return 0
        [ "$status" -eq 3 ] && [ -n "$choose" ] && continue
        [ "$status" -eq 3 ] && echo "nginx-site: port $port is taken" >"$folder/start.error"
        break
    done
    [ -s "$folder/start.error" ] || echo "nginx-site: no free port found" >"$folder/start.error"
    rm -f "$folder/port"
    cat "$folder/start.error" >&2
    exit 1
}

case "$command" in
start | stop) ;;
*) usage ;;
esac
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
"$command"
