#!/usr/bin/env bash
# Checks both manual pages as made by the build: man renders them without a warning; each
# has its exit status, environment, files and examples sections once, speaks of the PDF
# export, PostgreSQL and the office's settings; no subsection heading comes twice; and every
# option of quotaplan-calc --help is a tagged paragraph of its own, whatever its values.
#   manual_pages.sh PAGES_FOLDER QUOTAPLAN_CALC
set -u
pages=$1 calc=$2
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for page in "$pages/quotaplan.1" "$pages/quotaplan-calc.1"; do
    name=${page##*/}
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$name: man says: $warnings"
    for section in '.SH "STATO DI USCITA"' '.SH AMBIENTE' '.SH FILE' '.SH ESEMPI'; do
        count=$(grep -cxF "$section" "$page")
        [ "$count" -eq 1 ] || fail "$name: $count times $section"
    done
    for word in PDF PostgreSQL /etc/quotaplan/Quotaplan.ini XDG_DATA_HOME PGPASSWORD; do
        grep -qF "$word" "$page" || fail "$name: no $word"
    done
    twice=$(grep '^\.SS ' "$page" | sort | uniq -d)
    [ -z "$twice" ] || fail "$name: headings twice: $twice"
done

# "  --copy-archive DA A   meaning": the option and all its values become the tag.
options=$("$calc" --help | sed -n 's/^  \(--[^ ]*\( [^ ]*\)*\)  .*/\1/p' | sed 's/-/\\-/g')
while read -r option; do
    grep -qxF ".B $option" "$pages/quotaplan-calc.1" || fail "quotaplan-calc.1: no tag .B $option"
done <<<"$options"
[ "$(grep -c '^\.B \\-\\-' "$pages/quotaplan-calc.1")" -eq "$(wc -l <<<"$options")" ] ||
    fail "quotaplan-calc.1: tags and options differ in number"

if [ "$failures" -eq 0 ]; then echo "both manual pages complete"; fi
exit "$failures"
