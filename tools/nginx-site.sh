#!/usr/bin/env bash
# A quotation host as real ones are: nginx on 127.0.0.1 port 80 (HTTP/1.1,
# connections kept alive), with a configuration of its own.
#
#   tools/nginx-site.sh start [FOLDER [SITE [SECONDS]]]
#   tools/nginx-site.sh stop [FOLDER]
#
# FOLDER (default build/nginx-site) holds the configuration, the pid file
# nginx.pid, the logs and the temporary files; SITE (default
# docs/sample-site) is served at /. With SECONDS the server stops by itself
# after that long. start returns once the server listens, or fails with
# nginx's own message, which it also leaves in FOLDER/start.error. stop
# stops the server started in FOLDER by its process id. Binding port 80
# needs root (or the capability to bind it).
set -euo pipefail
export PATH="${PATH:+$PATH:}/usr/sbin:/usr/bin:/sbin:/bin"
root=$(cd "$(dirname "$0")/.." && pwd)
command=${1:-}
folder=${2:-$root/build/nginx-site}
site=${3:-$root/docs/sample-site}
seconds=${4:-}

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
    cat >"$folder/nginx.conf" <<EOF
# Written by tools/nginx-site.sh; every path is under this folder but the site.
daemon off;
user $(id -un) $(id -gn);
worker_processes 1;
pid $folder/nginx.pid;
error_log $folder/error.log;
events {
    worker_connections 64;
}
http {
    access_log $folder/access.log;
    client_body_temp_path $folder/temp/body;
    proxy_temp_path $folder/temp/proxy;
    fastcgi_temp_path $folder/temp/fastcgi;
    uwsgi_temp_path $folder/temp/uwsgi;
    scgi_temp_path $folder/temp/scgi;
    types {
        text/html html htm;
    }
    default_type application/octet-stream;
    keepalive_timeout 65;
    server {
        listen 127.0.0.1:80;
        root $site;
        index index.html;
    }
}
EOF
}

start() {
    command -v nginx >/dev/null || { echo "nginx-site: nginx is not installed (tools/setup.sh installs it)" | tee "$folder/start.error" >&2; exit 1; }
    [ -d "$site" ] || { echo "nginx-site: no site folder $site" | tee "$folder/start.error" >&2; exit 1; }
    site=$(cd "$site" && pwd)
    stop
    rm -f "$folder/start.error" "$folder/access.log" "$folder/error.log"
    mkdir -p "$folder/temp"
    write_configuration
    local runner=()
    [ -z "$seconds" ] || runner=(timeout "$seconds")
    # Nothing of the caller's stays open in the server: a test runner waits
    # for its output to close.
    "${runner[@]}" nginx -p "$folder/" -c nginx.conf </dev/null >"$folder/nginx.out" 2>&1 &
    local started=$!
    # nginx writes its pid file once it listens; a port that is taken makes
    # it give up after a few tries.
    for _ in $(seq 200); do
        [ -z "$(server_pid)" ] || return 0
        if ! kill -0 "$started" 2>/dev/null; then
            { echo "nginx-site: nginx did not start:"; cat "$folder/nginx.out"; } >"$folder/start.error"
            cat "$folder/start.error" >&2
            exit 1
        fi
        sleep 0.05
    done
    echo "nginx-site: nginx did not come up in 10 s" | tee "$folder/start.error" >&2
    exit 1
}

case "$command" in
start | stop) ;;
*) usage ;;
esac
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
"$command"
