#!/usr/bin/env bash
# Builds the benchmark programs in release mode and prints a table of
# Anchorly's times and memory, each against a baseline measured in the same
# run (the README's performance section explains the rows). Each program and
# its baseline are measured in turn, after warm-up runs that are not counted.
# The ratio is the median of the ratios of up to ten groups of consecutive
# runs, shown with its spread (lowest to highest group). A goal counts as met
# when nine groups of ten meet it and as missed when nine miss it: were the
# ratio right at the goal, either would happen by chance about once in a
# hundred runs. In between, the row says "borderline": on this machine, now,
# the measurement cannot tell.
#
#   scripts/bench.sh [counted start-up runs, default 300]
set -euo pipefail
shopt -s inherit_errexit # a benchmark program that fails fails the table
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-300}
build=${ANCHORLY_BENCH_BUILD:-$root/build/bench}
jobs=${ANCHORLY_JOBS:-$(nproc)}
targets=(bench_startup bench_startup_anchorly bench_bare_window bench_sources_load bench_handlers
    bench_settings_store bench_dropdown anchorly)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DANCHORLY_BUILD_TESTS=OFF -DANCHORLY_BUILD_BENCH=ON \
    >/dev/null
cmake --build "$build" --target "${targets[@]}" --parallel "$jobs" >/dev/null

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
xserver=
trap '[ -z "$xserver" ] || kill "$xserver"; rm -rf "$XDG_RUNTIME_DIR"' EXIT
bin=$build/bench

# The drop-down is measured the way a user meets it: on an X server (one of
# its own, without a window manager), a click from outside the program.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$XDG_RUNTIME_DIR/display" 2>/dev/null &
xserver=$!
for ((wait = 0; wait < 300; wait++)); do
    [ -s "$XDG_RUNTIME_DIR/display" ] && break
    kill -0 "$xserver" 2>/dev/null || { echo "bench.sh: Xvfb did not start (scripts/setup.sh --tests installs it)" >&2; exit 1; }
    sleep 0.1
done
display=:$(head -n 1 "$XDG_RUNTIME_DIR/display")

rows=$(
    "$bin/bench_startup" "$bin/bench_startup_anchorly" "$bin/bench_bare_window" "$runs"
    "$bin/bench_sources_load"
    DISPLAY=$display "$bin/bench_dropdown" "$build/src/anchorly"
    "$bin/bench_handlers"
    "$bin/bench_settings_store"
)

echo "Anchorly $(git -C "$root" describe --always --dirty 2>/dev/null || echo '?'), $(date -u +%Y-%m-%d)," \
    "$(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')), Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?')," \
    "offscreen platform (the drop-down on Xvfb); start-up and memory over $runs runs each after 3 not counted"
echo
echo "| Measurement | Anchorly | Baseline | Baseline value | Ratio | Spread | Goal | Met |"
echo "|---|---:|---|---:|---:|---:|---:|:---:|"
status=0
while IFS='|' read -r _ what value baseline base unit ratio lowest highest goal within; do
    met="-"
    if [ "$goal" != "-" ]; then
        met=$(awk -v w="${within%/*}" -v n="${within#*/}" \
            'BEGIN { print (w * 10 >= n * 9 ? "yes" : (w * 10 <= n ? "NO" : "borderline")) }')
        [ "$met" = NO ] && status=1
        met="$met ($within)"
        goal="≤ $goal"
    fi
    printf '| %s | %s %s | %s | %s %s | %sx | %s to %s | %s | %s |\n' "$what" "$value" "$unit" "$baseline" "$base" \
        "$unit" "$ratio" "$lowest" "$highest" "$goal" "$met"
done < <(grep '^ROW|' <<<"$rows")
exit $status
