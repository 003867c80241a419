#!/usr/bin/env bash
# Runs both programs' help and version with no display at all, as a shell or a package
# check does: each prints on standard output and exits 0, and quotaplan without a display
# says so in one line on standard error and exits 1, never aborting in Qt.
#   command_lines.sh QUOTAPLAN QUOTAPLAN_CALC VERSION
set -u
window=$1 calc=$2 version=$3
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failures=0

# expect STATUS FIRST_STDOUT_LINE STDERR COMMAND...
expect() {
    local status=$1 first=$2 message=$3
    shift 3
    local out err code
    out=$(mktemp) err=$(mktemp)
    "$@" >"$out" 2>"$err"
    code=$?
    if [ "$code" -ne "$status" ] || [ "$(head -n 1 "$out")" != "$first" ] ||
        [ "$(cat "$err")" != "$message" ]; then
        echo "FAIL: ${*##*/} -> exit $code, first line [$(head -n 1 "$out")], stderr [$(cat "$err")]"
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}

expect 0 "Uso: quotaplan [--help | --version]" "" "$window" --help
expect 0 "Uso: quotaplan [--help | --version]" "" "$window" -h
expect 0 "quotaplan $version" "" "$window" --version
expect 1 "" "quotaplan: nessuno schermo grafico (DISPLAY e WAYLAND_DISPLAY non sono impostati); per calcolare senza finestra c'è quotaplan-calc." "$window"
expect 0 "Uso:" "" "$calc" --help
expect 0 "Uso:" "" "$calc" -h
expect 0 "quotaplan-calc $version" "" "$calc" --version

if [ "$failures" -eq 0 ]; then echo "both command lines answer without a display"; fi
exit "$failures"
