#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Anchorly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Said first: without a desktop there is nothing to start, so nothing is installed or built.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Anchorly needs a graphical desktop: no display is available (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
    exit 1
fi
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DANCHORLY_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/release" --parallel "$(nproc)" --target anchorly
exec "$root/build/release/src/anchorly"
