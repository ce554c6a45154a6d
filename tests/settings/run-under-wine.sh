#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, removed afterwards.
# Usage: run-under-wine.sh <wine64> <program.exe>
set -euo pipefail
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/anchorly-wine-XXXXXX") WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
wineserver=$(dirname "$1")/wineserver64
trap '"$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
"$1" "$2"
