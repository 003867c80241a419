#!/usr/bin/env bash
# Builds everything again with AddressSanitizer and UndefinedBehaviorSanitizer (clang, in
# build-sanitize/, beside the normal build/) and runs every test there. The first report
# stops the test that made it, and the test fails. The fuzz targets are built too
# (scripts/fuzz.sh runs them), and ctest runs each of their seeds once.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
"$top/scripts/install-packages.sh"

# -O1 and line tables only: quick to build, stacks still name file and line; assertions on.
CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
    -DQUOTAPLAN_SANITIZE=ON -DQUOTAPLAN_FUZZ=ON -DQUOTAPLAN_BUILD_BENCH=OFF
cmake --build build-sanitize -j"$(nproc)"

source "$top/scripts/sanitizer-options.sh"
# The archive tests on PostgreSQL run in scripts/test.sh, against its own server; here,
# without one, they skip.
unset QUOTAPLAN_TEST_PG_REQUIRED QUOTAPLAN_TEST_PG QUOTAPLAN_TEST_PG_RESTART
cd build-sanitize
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
