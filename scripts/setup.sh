#!/usr/bin/env bash
# Installs the Debian packages from debian-packages.txt that are missing.
# Usage: setup.sh [--tests]   (--tests also installs the packages tagged "test")
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
want_tests=0
[ "${1:-}" = "--tests" ] && want_tests=1

missing=()
while read -r pkg tag _; do
    case "$pkg" in ''|'#'*) continue ;; esac
    [ "$tag" = "test" ] && [ $want_tests -eq 0 ] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done < "$here/debian-packages.txt"

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
"$here/admin.sh" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"$here/admin.sh" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
