#!/bin/bash
# A throwaway PostgreSQL 15 cluster for the tests: cluster.sh start|stop|pause|resume DIR.
# start writes DIR/address (a libpq address of the maintenance database, superuser postgres)
# and DIR/base (the cluster's temporary folder). The server listens on a socket in that folder
# only, so no port of another server or test run is ever in the way. Without the server's
# programs it writes no address and the server variants of the tests skip.
# pause stops the server and keeps the cluster, resume starts it again at the same address: the
# server-fault tests stop a cluster of their own under a running window.
# The server refuses to run as root: as root it runs as the user postgres.
set -euo pipefail
bin=/usr/lib/postgresql/15/bin
command=${1:?start or stop}
dir=${2:?folder for the address}
mkdir -p "$dir"

as_owner() {
    # From / : the user postgres may not enter the caller's folder.
    if [ "$(id -u)" -eq 0 ]; then (cd / && runuser -u postgres -- "$@"); else "$@"; fi
}

start_server() {  # the cluster's folder
    # fsync off: the cluster dies with the test run anyway. The benchmark turns it on
    # (ULMAR_PG_FSYNC=on), so a server's commit costs what it costs an office.
    as_owner "$bin/pg_ctl" -D "$1/data" -l "$1/server.log" -w -t 60 \
        -o "-k $1 -c listen_addresses= -p 5432 -c fsync=${ULMAR_PG_FSYNC:-off} -c max_connections=60" start \
        >/dev/null || { cat "$1/server.log" >&2; exit 1; }
}

case $command in
start)
    rm -f "$dir/address"
    if [ ! -x "$bin/initdb" ] || { [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; }; then
        echo "Нет сервера PostgreSQL 15 ($bin): варианты тестов на сервере пропускаются." >&2
        exit 0
    fi
    [ -f "$dir/base" ] && "$0" stop "$dir"
    base=$(mktemp -d /tmp/ulmar-pg.XXXXXX)
    chmod 755 "$base"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$base"
    echo "$base" >"$dir/base"
    as_owner "$bin/initdb" -D "$base/data" -U postgres --auth=trust --encoding=UTF8 \
        --locale=C.UTF-8 >"$base/initdb.log" 2>&1 || { cat "$base/initdb.log" >&2; exit 1; }
    start_server "$base"
    echo "postgresql://postgres@/postgres?host=$base&port=5432" >"$dir/address"
    ;;
pause)
    as_owner "$bin/pg_ctl" -D "$(cat "$dir/base")/data" -m fast -w stop >/dev/null
    ;;
resume)
    start_server "$(cat "$dir/base")"
    ;;
stop)
    if [ -f "$dir/base" ]; then
        base=$(cat "$dir/base")
        as_owner "$bin/pg_ctl" -D "$base/data" -m immediate -w stop >/dev/null 2>&1 || true
        rm -rf "$base"
    fi
    rm -f "$dir/base" "$dir/address"
    ;;
*)
    echo "cluster.sh start|stop|pause|resume DIR" >&2
    exit 2
    ;;
esac
