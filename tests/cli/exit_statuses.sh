#!/usr/bin/env bash
# Runs quotaplan-calc on refused and failing inputs: each must exit with its status, print
# its message on standard error and leave standard output empty.
set -u
calc=$1
failures=0

expect() {
    local status=$1 message=$2
    shift 2
    local out err code
    out=$(mktemp) err=$(mktemp)
    "$calc" "$@" >"$out" 2>"$err"
    code=$?
    if [ "$code" -ne "$status" ] || [ -s "$out" ] || ! grep -qF -- "$message" "$err"; then
        echo "FAIL: $* -> exit $code, stderr: $(cat "$err"), stdout bytes: $(wc -c <"$out")"
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}

# The input checks are the window's (FirstRefusal, tested beside it): one of them here.
expect 2 "Inserire il Valore del bene!" --rate 6 --count 12
expect 2 'Valore non valido per --export: "odt" (txt, xls, doc, pdf o png)' --value 10000 --rate 6 --count 12 --export odt
expect 2 "Inserire una rata valida." --solve rate --value 10000 --count 12 --instalment -5
expect 2 "Valore bene troppo alto" --value 10000000000 --rate 6 --count 12
expect 2 "Il primo tasso di --rates" --value 10000 --rate 6 --count 12 --rates 5,6
expect 2 "--value" --value 10,5 --rate 6 --count 12
expect 2 "--first-date" --value 10000 --rate 6 --count 12 --first-date 2007-02-31
expect 2 "--bogus" --value 10000 --rate 6 --count 12 --bogus
expect 2 "è fisso: non si può indicizzare" --indexed --ref-rate Fisso --value 10000 --count 12
expect 2 "--import-index richiede --ref-rate" --import-index serie.csv
expect 1 "Divisione per zero" --value 10000 --rate -1 --spread 1 --count 12
expect 1 "Overflow" --value 10000 --rate 6 --count 40000
expect 1 "Overflow" --value 10000 --rate 6 --count 99999999999999999999
expect 2 "Inserire una periodicità!" --value 10000 --rate 6 --count 12 --periodicity 99999999999999

# A calculator copied without its drawing program says so for the drawing exports.
lonely=$(realpath "$(mktemp -d)")
cp "$calc" "$lonely/"
whole=$calc
calc="$lonely/quotaplan-calc"
expect 1 "quotaplan-calc-pictures, che disegna i file PDF e PNG, manca in $lonely." \
    --value 10000 --rate 6 --count 12 --export png --out "$lonely/out"
calc=$whole
[ -e "$lonely/out" ] && { echo "FAIL: $lonely/out written"; failures=$((failures + 1)); }
rm -rf "$lonely"

if [ "$failures" -eq 0 ]; then echo "all exit statuses as expected"; fi
exit "$failures"
