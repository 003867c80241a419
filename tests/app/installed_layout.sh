#!/usr/bin/env bash
# Runs both programs as an installed copy whose folder nobody may write (as a package leaves
# them in /usr/bin), with a temporary XDG_DATA_HOME: the user's files must go to
# $XDG_DATA_HOME/Quotaplan, the default archive be copied from ../share/quotaplan, and
# nothing be written beside the programs or in the share folder. Installs nothing.
#   installed_layout.sh QUOTAPLAN_CALC QUOTAPLAN DEFAULT_ARCHIVE TEMPLATE PICTURE_PROGRAM
set -euo pipefail
export LC_ALL=C
calc_built=$1 window_built=$2 default_archive=$3 template=$4 pictures_built=$5

work=$(mktemp -d)
window_pid=
cleanup() {
    [ -z "$window_pid" ] || kill "$window_pid" 2>/dev/null || true
    chmod -R u+w "$work"
    rm -rf "$work"
}
trap cleanup EXIT

bin=$work/usr/bin share=$work/usr/share/quotaplan data=$work/xdg/Quotaplan
libexec=$work/usr/libexec/quotaplan
mkdir -p "$bin" "$share" "$libexec" "$work/xdg" "$work/home"
mkdir -m 0700 "$work/run"
cp "$calc_built" "$bin/quotaplan-calc"
cp "$window_built" "$bin/quotaplan"
cp "$default_archive" "$share/Quotaplan.mdb"
cp "$template" "$share/pda.dot"
cp "$pictures_built" "$libexec/quotaplan-calc-pictures"
chmod 0555 "$bin" "$libexec"
chmod -R a-w "$work/usr/share"
export XDG_DATA_HOME=$work/xdg HOME=$work/home XDG_RUNTIME_DIR=$work/run

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
expect() {  # what, expected, actual
    [ "$3" = "$2" ] || fail "$1: expected [$2], got [$3]"
}
listing() { ls -A "$1" | tr '\n' ' '; }

terms=(--value 10000 --rate 6 --count 12)
prova=$'[\n  {"type": "Leasing", "id": 1, "description": "Prova"}\n]'

# A calculation alone touches no folder of the user's.
"$bin/quotaplan-calc" "${terms[@]}" >/dev/null
[ ! -e "$data" ] || fail "a calculation made $data"

# The first archive command copies the default archive and stores into the copy.
expect "--save" "1" "$("$bin/quotaplan-calc" --save Prova "${terms[@]}")"
expect "--list" "$prova" "$("$bin/quotaplan-calc" --list)"
expect "the user's folder" "Export Quotaplan.mdb " "$(listing "$data")"

# Exports go to the user's Export folder; the Word template is read from the share folder.
expect "--export doc" "$data/Export/Prova.doc" \
    "$("$bin/quotaplan-calc" --export doc --description Prova "${terms[@]}")"
grep -q '^{\\rtf' "$data/Export/Prova.doc" || fail "Prova.doc is not the filled template"
# The PDF is drawn by the drawing program in ../libexec/quotaplan, into the same folder.
expect "--export pdf" "$data/Export/Prova.pdf" \
    "$("$bin/quotaplan-calc" --export pdf --description Prova "${terms[@]}")"
[ "$(head -c 5 "$data/Export/Prova.pdf")" = "%PDF-" ] || fail "Prova.pdf is not a PDF"

# The window opens the same archive and writes its services shortcut beside it.
QT_QPA_PLATFORM=offscreen "$bin/quotaplan" &
window_pid=$!
for _ in $(seq 600); do
    [ -e "$data/Servizi.url" ] && break
    kill -0 "$window_pid" 2>/dev/null || fail "the window ended at its start"
    sleep 0.2
done
[ -e "$data/Servizi.url" ] || fail "the window wrote no Servizi.url into $data"
kill "$window_pid"
wait "$window_pid" 2>/dev/null || true
window_pid=
grep -q '^URL=http://.*/quotaplan.html' "$data/Servizi.url" || fail "Servizi.url: $(cat "$data/Servizi.url")"

# The copy is never made twice: the contract is still there after the window's start.
expect "--list after the window" "$prova" "$("$bin/quotaplan-calc" --list)"
expect "the user's folder at last" "Export Quotaplan.mdb Servizi.url " "$(listing "$data")"
expect "the program folder" "quotaplan quotaplan-calc " "$(listing "$bin")"
expect "the share folder" "Quotaplan.mdb pda.dot " "$(listing "$share")"
cmp -s "$default_archive" "$share/Quotaplan.mdb" || fail "the default archive was changed"

# Without XDG_DATA_HOME the user's folder is ~/.local/share/Quotaplan.
expect "--list without XDG_DATA_HOME" "[]" "$(env -u XDG_DATA_HOME "$bin/quotaplan-calc" --list)"
[ -f "$HOME/.local/share/Quotaplan/Quotaplan.mdb" ] || fail "no archive in ~/.local/share/Quotaplan"
echo "installed layout: every file where it belongs"
