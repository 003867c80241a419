#!/usr/bin/env bash
# Sets everything up (packages, build) and runs every test: the archive tests on SQLite and,
# on a throwaway PostgreSQL server started here and stopped at the end, on PostgreSQL too.
# Without a server (PostgreSQL missing) the PostgreSQL cases skip, unless
# QUOTAPLAN_TEST_PG_REQUIRED is set (.ci/run sets it): then this fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"

if server=$("$top/scripts/pg_test_server.sh" start); then
    trap '"$top/scripts/pg_test_server.sh" stop "$server"' EXIT
    export QUOTAPLAN_TEST_PG="postgresql:///postgres?host=$server&user=quotaplan"
    export QUOTAPLAN_TEST_PG_RESTART="$top/scripts/pg_test_server.sh restart $server"
elif [ -n "${QUOTAPLAN_TEST_PG_REQUIRED:-}" ]; then
    echo "Il server PostgreSQL di prova non è partito: i test su PostgreSQL non possono girare." >&2
    exit 1
else
    echo "Nessun server PostgreSQL di prova: i casi su PostgreSQL saltano." >&2
fi

cd "$top/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
