#!/usr/bin/env bash
# Checks a built package and its debug symbols as a distribution would take them:
#   - lintian reports no error and no warning on either;
#   - hardening-check passes on every program (all but the control-flow notes, which Debian
#     12's own start files lack, so that no program can have them);
#   - the programs carry no .comment section, and their debug symbols are in the -dbgsym
#     package under their build ID;
#   - the control fields: an https Homepage, a Description naming the shared PostgreSQL archive,
#     Depends naming the libraries quotaplan-calc opens on first use;
#   - the AppStream metainfo validates, the desktop entry validates and has an Italian
#     translation of every key meant to be read, the icons are PNG in their sizes;
#   - the office's settings are a configuration file of the package;
#   - the user guide is there as HTML, with every picture it shows;
#   - both programs answer --help and --version with no display.
#   check-package.sh DEB DDEB
set -euo pipefail
deb=$1 ddeb=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

lintian --fail-on error,warning "$deb" "$ddeb" >"$work/lintian" 2>&1 ||
    fail "lintian: $(grep -v '^running with root privileges' "$work/lintian")"

dpkg-deb --raw-extract "$deb" "$work/root"
dpkg-deb --raw-extract "$ddeb" "$work/dbgsym"
root=$work/root
programs=(usr/bin/quotaplan usr/bin/quotaplan-calc usr/libexec/quotaplan/quotaplan-calc-pictures)
for program in "${programs[@]}"; do
    hardening-check --nocfprotection "$root/$program" >"$work/hardening" ||
        fail "hardening-check $program: $(grep -v ': yes' "$work/hardening" | tr '\n' ' ')"
    sections=$(readelf -SW "$root/$program")
    ! grep -qF ' .comment ' <<<"$sections" || fail "$program has a .comment section"
    grep -qF ' .gnu_debuglink ' <<<"$sections" || fail "$program does not link its debug symbols"
    build_id=$(readelf -n "$root/$program" | sed -n 's/^ *Build ID: //p')
    debug=usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug
    if [ -z "$build_id" ] || [ ! -s "$work/dbgsym/$debug" ]; then
        fail "$program: no $debug in the -dbgsym package"
    elif ! grep -qF ' .debug_info ' <<<"$(readelf -SW "$work/dbgsym/$debug" 2>/dev/null)"; then
        fail "$debug holds no debug info"
    fi
done

field() { sed -n "s/^$1: //p" "$root/DEBIAN/control"; }
[[ "$(field Homepage)" == https://* ]] || fail "Homepage is not https: $(field Homepage)"
grep -q 'PostgreSQL' "$root/DEBIAN/control" || fail "the Description does not name PostgreSQL"
[ "$(field Section)" = misc ] || fail "Section: $(field Section)"
# The libraries quotaplan-calc opens on first use rather than links: dpkg-shlibdeps cannot
# see them, the package names them itself.
for package in libsqlite3-0 libpq5 'libicu[0-9]+'; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$(field Depends)" ||
        fail "Depends lacks $package: $(field Depends)"
done
[ "$(cat "$root/DEBIAN/conffiles")" = /etc/quotaplan/Quotaplan.ini ] ||
    fail "conffiles: $(cat "$root/DEBIAN/conffiles")"
[ -f "$root/etc/quotaplan/Quotaplan.ini" ] || fail "no /etc/quotaplan/Quotaplan.ini"

metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[ -f "${metainfo[0]}" ] || fail "no AppStream metainfo"
appstreamcli validate --no-net --pedantic "${metainfo[@]}" >"$work/appstream" ||
    fail "appstreamcli: $(cat "$work/appstream")"
desktop=$root/usr/share/applications/quotaplan.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
for key in Name GenericName Comment Keywords; do
    grep -q "^$key=" "$desktop" && grep -q "^$key\[it\]=" "$desktop" ||
        fail "quotaplan.desktop: $key without its [it] translation"
done
for size in 48 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/quotaplan.png
    file "$icon" | grep -qF "PNG image data, $size x $size" || fail "$icon: $(file -b "$icon")"
done

guide=$root/usr/share/doc/quotaplan/guida.html
if grep -qF '<h2 id="gli-eventi-del-contratto">' "$guide" 2>/dev/null; then
    for picture in $(grep -o 'src="[^"]*"' "$guide" | sed 's/^src="//; s/"$//'); do
        [ -f "$root/usr/share/doc/quotaplan/$picture" ] || fail "the guide shows a missing $picture"
    done
else
    fail "no user guide in /usr/share/doc/quotaplan/guida.html"
fi

# The programs as installed, with no display: they answer, never abort in Qt.
for answer in "quotaplan --help" "quotaplan --version" "quotaplan-calc --help" \
    "quotaplan-calc --version"; do
    read -r program option <<<"$answer"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" "$option" \
        >/dev/null || fail "$answer"
done

[ "$failures" -eq 0 ] || exit 1
echo "${deb##*/} and ${ddeb##*/}: lintian, hardening, AppStream, desktop entry, guide and contents as expected."
