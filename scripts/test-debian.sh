#!/usr/bin/env bash
# Runs the test command (scripts/test.sh) on a fresh minimal Debian system of
# another (or the same) release, as a new user's machine would have it.
#
#   scripts/test-debian.sh 13      Debian 13 "trixie"
#   scripts/test-debian.sh 12      Debian 12 "bookworm"
#
# The system is made once with debootstrap from Debian's own packages and kept
# in $ANCHORLY_DEBIAN_CACHE (default /var/cache/anchorly/debian/<release>), with
# the packages that scripts/setup.sh installed in it; the project is copied in
# afresh at every run (the working tree as it stands, without build folders).
# The tests run in namespaces of their own: their mounts, network sockets and
# processes, so their X servers and D-Bus sessions never meet this machine's.
# Needs root (debootstrap, chroot, unshare); uses sudo when it is not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { echo "usage: $0 12|13" >&2; exit 2; }
[ $# -eq 1 ] || usage
case "$1" in
    12) suite=bookworm ;;
    13) suite=trixie ;;
    --inside) ;;
    *) usage ;;
esac

# Inside the new namespaces: mount what a running system has, then run the
# test command in the copied project as a root shell on that system would.
if [ "$1" = "--inside" ]; then
    system=$ANCHORLY_SYSTEM
    mount --make-rprivate /
    mount -t proc proc "$system/proc"
    mount -t sysfs sysfs "$system/sys"
    mount --rbind /dev "$system/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$system/dev/shm"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$system/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$system/tmp"
    mount -t tmpfs -o mode=755 tmpfs "$system/run"
    [ "$ANCHORLY_NETWORK" = yes ] || ip link set lo up
    exec chroot "$system" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        ${CI:+CI=$CI} /bin/bash -c "$ANCHORLY_COMMAND"
fi

if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$0" "$@"
fi

"$root/scripts/setup.sh" --tests
cache=${ANCHORLY_DEBIAN_CACHE:-/var/cache/anchorly/debian}
system=$cache/$1
mirror=${ANCHORLY_DEBIAN_MIRROR:-http://deb.debian.org/debian}
started=$(date +%s)

if [ ! -e "$system/.anchorly-system" ]; then
    echo "== Debian $1 ($suite): making a minimal system in $system (once)"
    rm -rf "$system.new"
    mkdir -p "$cache"
    debootstrap --variant=minbase "$suite" "$system.new" "$mirror" >"$cache/debootstrap-$1.log" 2>&1 || {
        tail -n 20 "$cache/debootstrap-$1.log"
        echo "test-debian.sh: debootstrap of $suite failed (log: $cache/debootstrap-$1.log)" >&2
        exit 1
    }
    touch "$system.new/.anchorly-system"
    rm -rf "$system"
    mv "$system.new" "$system"
fi
grep -q "VERSION_ID=\"$1\"" "$system/etc/os-release" || {
    echo "test-debian.sh: $system is not Debian $1" >&2
    exit 1
}

echo "== Debian $1: copying the project in"
rm -rf "$system/src/anchorly"
mkdir -p "$system/src/anchorly"
tar -C "$root" --exclude='./build*' --exclude=./.git --exclude=./.cache -cf - . | tar -C "$system/src/anchorly" -xf -
cp /etc/resolv.conf "$system/etc/resolv.conf"

enter() { # enter <network: yes|no> <command>
    local flags=(--mount --pid --fork)
    [ "$1" = yes ] || flags+=(--net)
    ANCHORLY_SYSTEM=$system ANCHORLY_NETWORK=$1 ANCHORLY_COMMAND=$2 unshare "${flags[@]}" "$0" --inside
}

# The packages come over the network; everything after runs without it.
echo "== Debian $1: installing what is missing"
enter yes "cd /src/anchorly && scripts/setup.sh --tests"
echo "== Debian $1: the test command, isolated"
enter no "cd /src/anchorly && scripts/test.sh"
echo "== Debian $1: every test passed in $(( ($(date +%s) - started) / 60 )) min"
