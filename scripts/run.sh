#!/usr/bin/env bash
# Sets everything up (packages, build) and runs the program.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
exec "$top/build/bin/quotaplan-calc" --value 30000 --maxi 3000 --buyout 3000 --rate 7.5 \
    --count 36 --contract-fees 250 --instalment-fee 5 "$@"
