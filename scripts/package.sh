#!/usr/bin/env bash
# Builds the Debian package build/quotaplan_<version>_<arch>.deb and checks it with lintian,
# which must report no error. Install it with: sudo apt-get install ./build/quotaplan_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
cd "$top/build"
cmake --build . --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
lintian --fail-on error "quotaplan_${version}_$(dpkg --print-architecture).deb"
