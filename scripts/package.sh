#!/usr/bin/env bash
# Builds the Debian package as a distribution would, with Debian's hardening flags, in
# build-package/ beside the tests' build/ (the program alone, no tests or benchmarks):
#   build-package/quotaplan_<version>_<arch>.deb          the package
#   build-package/quotaplan-dbgsym_<version>_<arch>.ddeb  its debug symbols
# checks both (scripts/check-package.sh: lintian with no error or warning, hardening-check,
# AppStream, the desktop entry, the contents), and proves the build reproducible: the same
# sources, copied elsewhere with new file dates, built again without ccache, give the same
# bytes. File dates in the packages are pinned by SOURCE_DATE_EPOCH, by default the date of
# the last entry of cmake/debian/changelog.
# Install with: sudo apt-get install ./build-package/quotaplan_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-packages.sh"
: "${SOURCE_DATE_EPOCH:=$(dpkg-parsechangelog -l "$top/cmake/debian/changelog" -STimestamp)}"
export SOURCE_DATE_EPOCH

# build SOURCE_FOLDER: configures and builds SOURCE_FOLDER/build-package and its packages.
build() {
    local source=$1
    (
        cd "$source"
        # Debian's flags, all hardening on, and paths in the debug symbols written relative to
        # the source folder (dpkg-buildflags maps the current folder to "."); stack clash and
        # control-flow protection on top, which Debian 12's dpkg-buildflags does not add yet.
        eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
        cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DQUOTAPLAN_BUILD_TESTS=OFF -DQUOTAPLAN_BUILD_BENCH=OFF \
            -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS -fstack-clash-protection -fcf-protection" \
            -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
        cmake --build build-package -j"$(nproc)"
        cmake --build build-package --target package
    )
}

build "$top"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$top/build-package/CMakeCache.txt")
names=("quotaplan_${version}_$(dpkg --print-architecture).deb"
       "quotaplan-dbgsym_${version}_$(dpkg --print-architecture).ddeb")
"$top/scripts/check-package.sh" "$top/build-package/${names[0]}" "$top/build-package/${names[1]}"

# The same sources again, elsewhere: the files the repository tracks (and new ones not yet
# added; outside a git checkout, every file but the build folders), each dated now rather
# than as checked out, compiled afresh with no cache.
sources() {
    if git -C "$top" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$top" ls-files -z --cached --others --exclude-standard
    else
        (cd "$top" && find . -path './build*' -prune -o -type f -print0)
    fi
}
again=$(mktemp -d)
trap 'rm -rf "$again"' EXIT
sources | (cd "$top" && tar --null --files-from=- --ignore-failed-read -cf -) |
    tar -x --touch -f - -C "$again"
CCACHE_DISABLE=1 build "$again" >/dev/null
for name in "${names[@]}"; do
    if ! cmp -s "$top/build-package/$name" "$again/build-package/$name"; then
        echo "$name differs between two builds of the same sources:" >&2
        mkdir "$again/first" "$again/second"
        dpkg-deb --raw-extract "$top/build-package/$name" "$again/first"
        dpkg-deb --raw-extract "$again/build-package/$name" "$again/second"
        diff -rq "$again/first" "$again/second" >&2 || true
        dpkg-deb --contents "$top/build-package/$name" >"$again/first.list"
        dpkg-deb --contents "$again/build-package/$name" >"$again/second.list"
        diff "$again/first.list" "$again/second.list" >&2 || true
        exit 1
    fi
done
echo "Two builds of the same sources gave the same ${names[*]}."
