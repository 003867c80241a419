#!/usr/bin/env bash
# Installs the Debian packages of the given lists (default: scripts/packages.txt, what the
# program needs, and scripts/packages-test.txt, what the tests and CI add) that are missing.
# Not run as root, it asks for root through sudo.
#   install-packages.sh [LIST...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
[ $# -gt 0 ] || set -- scripts/packages.txt scripts/packages-test.txt

missing=()
for list in "$@"; do
    # One package a line; a "#" starts a comment.
    while read -r package _; do
        [ -n "$package" ] && [ "${package:0:1}" != "#" ] || continue
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done < "$list"
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
