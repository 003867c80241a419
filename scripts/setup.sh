#!/usr/bin/env bash
# Installs the Debian packages this project needs (only those missing), then configures
# and builds it in build/. The ready-to-run program folder is build/bin/.
#   setup.sh            everything: the program, its tests and benchmarks
#   setup.sh --program  only the program, with only the packages it needs
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "${1:-}" = "--program" ]; then
    "$top/scripts/install-packages.sh" scripts/packages.txt
    with_tests=OFF
else
    "$top/scripts/install-packages.sh"
    with_tests=ON
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUOTAPLAN_BUILD_TESTS=$with_tests -DQUOTAPLAN_BUILD_BENCH=$with_tests
cmake --build build -j"$(nproc)"
