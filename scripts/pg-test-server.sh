#!/usr/bin/env bash
# A private PostgreSQL server for manual tests and demos, the same as the test programs start:
#   scripts/pg-test-server.sh start DIR PORT   initdb in DIR (must not exist yet), listen on
#                                              127.0.0.1:PORT only, unix socket in DIR, trust
#                                              login for user "paperloom", database "paperloom"
#   scripts/pg-test-server.sh stop DIR         stop the server and remove DIR
# As root the server runs as the postgres system user (PostgreSQL refuses to run as root).
set -euo pipefail

usage() { echo "usage: $0 start DIR PORT | stop DIR" >&2; exit 2; }
[ $# -ge 2 ] || usage
action=$1
dir=$2

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "pg-test-server: PostgreSQL is not installed (no /usr/lib/postgresql/*/bin)" >&2
  exit 1
fi

as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$action" in
  start)
    [ $# -eq 3 ] || usage
    port=$3
    case "$port" in ''|*[!0-9]*) echo "pg-test-server: PORT must be a number" >&2; exit 2 ;; esac
    if [ -e "$dir" ]; then echo "pg-test-server: $dir already exists" >&2; exit 1; fi
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    chmod 700 "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$dir"; fi
    cd "$dir"
    as_server "$bin/initdb" -D "$dir/data" -U paperloom -A trust -E UTF8 --locale=C \
      --no-sync --no-instructions >"$dir/setup.log" 2>&1 ||
      { cat "$dir/setup.log" >&2; exit 1; }
    cat >>"$dir/data/postgresql.auto.conf" <<CONF
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = '$dir'
fsync = off
synchronous_commit = off
full_page_writes = off
lc_messages = 'C'
CONF
    if ! as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >>"$dir/setup.log" 2>&1; then
      cat "$dir/setup.log" "$dir/server.log" >&2 || true
      exit 1
    fi
    "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U paperloom -d postgres \
      -c "CREATE DATABASE paperloom ENCODING 'UTF8' TEMPLATE template0"
    echo "pg-test-server: listening on 127.0.0.1:$port (user paperloom, database paperloom)"
    ;;
  stop)
    [ -d "$dir/data" ] || { echo "pg-test-server: no server in $dir" >&2; exit 1; }
    dir=$(cd "$dir" && pwd)
    cd /
    as_server "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
    ;;
  *) usage ;;
esac
