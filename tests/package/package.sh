#!/bin/sh
# package.sh <cpack> <build folder> <journey.py> <artifacts folder>
# Builds the Debian package, checks its fields and files, has lintian look at
# it, and runs the packaged program from a read-only program folder as an
# unprivileged user: without a display first, then through the journey.
set -eu
cpack=$1 build=$2 journey=$3 artifacts=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v lintian >/dev/null || fail "lintian is not installed (Debian: lintian; scripts/setup.sh --tests)"
work=$(mktemp -d /tmp/anchorly-package.XXXXXX)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
"$cpack" -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack could not build the package"
}
deb=$(echo "$work"/anchorly_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
[ "$deb" = "$work/anchorly_${version}_amd64.deb" ] || fail "package file $deb"
# A versioned library dependency is dpkg-shlibdeps' work.
dpkg-deb -f "$deb" Depends | grep -Eq 'libqt6widgets6 \(>= [0-9.]+\)' || fail "Depends: $(dpkg-deb -f "$deb" Depends)"
# Built as Debian builds its own (hardened, the compiler's notes stripped):
# lintian has nothing to say, not even for information.
lintian -I --fail-on error,warning,info "$deb" || fail "lintian reports tags"

root=$work/root
dpkg-deb -x "$deb" "$root"
[ "$(grep '^Exec=' "$root/usr/share/applications/example.quillbay.Anchorly.desktop")" = "Exec=anchorly" ] ||
    fail "a system install's launcher must start anchorly from the search path"
chmod 755 "$work"
chmod a-w "$root/usr/bin"
run_as_user() {
    if [ "$(id -u)" -eq 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi
}
printf 'Anchorly %s\n' "$version" >"$work/version"
run_as_user env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/anchorly" page.html --version >"$work/answer" ||
    fail "--version without a display ended with status $?"
cmp -s "$work/answer" "$work/version" || fail "--version says '$(cat "$work/answer")', the package is $version"
! run_as_user "$root/usr/bin/anchorly" --help >/dev/full 2>&1 || fail "--help into a full disk ended in success"
# Without a display, or with one that is gone, one line and status 1 instead of the toolkit's abort.
for display in "" :77; do
    said=$(run_as_user env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=$display "$root/usr/bin/anchorly" 2>&1 ||
        echo "status $?")
    [ "$(echo "$said" | grep -c -e '^Anchorly needs a graphical desktop: ' -e '^status 1$')" -eq 2 ] ||
        fail "without the display '$display' the program said: $said"
done

# The journey: compose, copy, add a source, close, start again.
user=""
[ "$(id -u)" -eq 0 ] && user="--user 65534"
python3 "$journey" --exe "$root/usr/bin/anchorly" $user --artifacts "$artifacts"
