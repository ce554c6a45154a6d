#!/usr/bin/env bash
# Cross-compiles the registry contract for Windows against advapi32 and runs
# it under Wine, in a Wine prefix of its own that is removed afterwards.
# Usage: run-registry-contract-wine.sh <source folder> <work folder>
set -euo pipefail
src=$1
work=$2
compiler=x86_64-w64-mingw32-g++-posix
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

missing=()
command -v "$compiler" >/dev/null || missing+=("g++-mingw-w64-x86-64-posix ($compiler)")
[ -x "$wine" ] || missing+=("wine64 ($wine)")
[ -x "$wineserver" ] || missing+=("wine64 ($wineserver)")
[ -f /usr/include/doctest/doctest.h ] || missing+=("doctest-dev (/usr/include/doctest/doctest.h)")
if [ ${#missing[@]} -gt 0 ]; then
    echo "Cannot run the registry contract under Wine; missing: ${missing[*]}." >&2
    echo "Install them with: $src/scripts/setup.sh --tests" >&2
    exit 1
fi

# Only doctest from /usr/include: the whole folder would bring the host's C
# library headers into a Windows build.
mkdir -p "$work/include"
ln -sfn /usr/include/doctest "$work/include/doctest"
exe="$work/registry-contract.exe"
"$compiler" -std=c++17 -O1 -Wall -Wextra -static -static-libgcc -static-libstdc++ \
    -I "$src/src" -I "$src/tests/settings" -isystem "$work/include" \
    "$src/tests/settings/RegistryContract.cpp" "$src/tests/settings/RegistryContractWin.cpp" \
    "$src/src/settings/Registry.cpp" "$src/src/settings/WinRegistryApi.cpp" \
    -ladvapi32 -o "$exe"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/anchorly-wine-XXXXXX")
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT
"$wine" "$exe"
