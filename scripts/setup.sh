#!/usr/bin/env bash
# Installs the Debian packages this project needs (only those missing), then configures
# and builds it in build/. The ready-to-run program folder is build/bin/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

"$top/scripts/install-packages.sh"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
