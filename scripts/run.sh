#!/usr/bin/env bash
# Installs what the program needs (scripts/packages.txt), builds it without the tests and
# benchmarks, and starts Quotaplan on the default archive.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh" --program
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Nessuno schermo grafico disponibile: ecco il calcolatore senza finestra su un esempio." >&2
    exec "$top/build/bin/quotaplan-calc" --value 30000 --maxi 3000 --buyout 3000 --rate 7.5 \
        --count 36 --contract-fees 250 --instalment-fee 5
fi
exec "$top/build/bin/quotaplan" "$@"
