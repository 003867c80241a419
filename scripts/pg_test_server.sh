#!/usr/bin/env bash
# A throwaway PostgreSQL server for the archive tests, on a Unix socket only, in a temporary
# folder of its own; never the machine's own clusters.
#   pg_test_server.sh start           makes and starts one; prints its folder
#   pg_test_server.sh restart FOLDER  restarts it (the tests' server restart)
#   pg_test_server.sh stop FOLDER     stops it and removes the folder
# The server's URI for the tests is  postgresql:///postgres?host=FOLDER&user=quotaplan
# With QUOTAPLAN_PG_DURABLE=1 the server writes to disk as an office server does (for the
# benchmarks); otherwise it skips the flushes, which the tests do not need.
# PostgreSQL refuses to run as root: under root the server runs as the system user
# "postgres" (made by Debian's package) or, without it, a system user made for it.
set -euo pipefail

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$pgbin" ] || [ ! -x "$pgbin/initdb" ]; then
    echo "PostgreSQL non è installato (pacchetto postgresql)." >&2
    exit 1
fi

as_owner=()
if [ "$(id -u)" -eq 0 ]; then
    owner=postgres
    if ! id -u "$owner" >/dev/null 2>&1; then
        owner=quotaplan-pg
        id -u "$owner" >/dev/null 2>&1 ||
            useradd --system --no-create-home --shell /usr/sbin/nologin "$owner"
    fi
    as_owner=(runuser -u "$owner" --)
fi

server_ctl() {
    local folder=$1
    shift
    "${as_owner[@]}" "$pgbin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 "$@"
}

case "${1:-}" in
start)
    folder=$(mktemp -d "${TMPDIR:-/tmp}/quotaplan-pg-XXXXXX")
    chmod 755 "$folder"
    [ ${#as_owner[@]} -eq 0 ] || chown "$owner" "$folder"
    if ! "${as_owner[@]}" "$pgbin/initdb" -D "$folder/data" --username=quotaplan --auth=trust \
        --encoding=UTF8 --locale=C.UTF-8 >"$folder/initdb.log" 2>&1; then
        cat "$folder/initdb.log" >&2
        rm -rf "$folder"
        exit 1
    fi
    # No TCP at all.
    options="-c listen_addresses='' -c unix_socket_directories='$folder' -c max_connections=60"
    [ "${QUOTAPLAN_PG_DURABLE:-}" = 1 ] ||
        options+=" -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
    if ! server_ctl "$folder" -o "$options" start >/dev/null; then
        cat "$folder/server.log" >&2
        rm -rf "$folder"
        exit 1
    fi
    echo "$folder"
    ;;
restart)
    server_ctl "$2" -m fast restart >/dev/null
    ;;
stop)
    [ -d "$2/data" ] && server_ctl "$2" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$2"
    ;;
*)
    echo "Uso: $0 start | restart CARTELLA | stop CARTELLA" >&2
    exit 2
    ;;
esac
