#!/usr/bin/env sh
# Runs a command with administrator rights: as it is in a root shell (where
# sudo may not even be installed), through sudo otherwise.
#   scripts/admin.sh apt install ./build/anchorly_*.deb
[ $# -gt 0 ] || { echo "usage: $0 command [argument ...]" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] && exec "$@"
command -v sudo >/dev/null 2>&1 || {
    echo "$(basename "$0"): '$1' needs administrator rights: run it in a root shell, or install sudo" >&2
    exit 1
}
exec sudo "$@"
