#!/bin/sh
# screenshot.sh [build folder] [output png]
# Takes the README's picture of the main window: starts the built program on
# a private Xvfb (1024x768x24, 96 dpi) with an empty home and a copy of the
# executable, waits for the window and saves it with ImageMagick's import.
# Needs: Xvfb, xdotool, imagemagick.
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build}
output=${2:-$repo/docs/screenshot.png}
program=$build/src/anchorly

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null 2>&1 || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done
[ -x "$program" ] || { echo "screenshot.sh: no program at $program; build the target anchorly first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/anchorly-screenshot.XXXXXX")
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

mkdir -p "$work/home/.config" "$work/app"
mkdir -m 0700 "$work/runtime"
cp "$program" "$work/app/anchorly"

# Xvfb picks a free display and writes its number to the file descriptor.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
tries=0
while [ ! -s "$work/display" ]; do
    tries=$((tries + 1))
    [ $tries -le 150 ] || { echo "screenshot.sh: Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
export DISPLAY=:$(head -n 1 "$work/display")

HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime \
    LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb "$work/app/anchorly" >"$work/anchorly.log" 2>&1 &
app_pid=$!

window=
tries=0
while [ -z "$window" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 150 ] || ! kill -0 "$app_pid" 2>/dev/null; then
        echo "screenshot.sh: the main window did not appear:" >&2
        cat "$work/anchorly.log" >&2
        exit 1
    fi
    sleep 0.1
    window=$(xdotool search --onlyvisible --pid "$app_pid" --name '^Anchorly$' 2>/dev/null | head -n 1 || true)
done
# Let the first paint finish before the picture is taken.
sleep 0.5
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "screenshot.sh: saved $output"
