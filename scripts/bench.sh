#!/usr/bin/env bash
# Builds the benchmark programs in release mode and prints a table of
# Anchorly's times and memory, each against a baseline measured in the same
# run (the README's performance section explains the rows).
#
#   scripts/bench.sh [start-up runs, default 15]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-15}
build=${ANCHORLY_BENCH_BUILD:-$root/build/bench}
jobs=${ANCHORLY_JOBS:-$(nproc)}
targets=(bench_startup bench_startup_anchorly bench_bare_window bench_sources_load bench_handlers
    bench_settings_store)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DANCHORLY_BUILD_TESTS=OFF -DANCHORLY_BUILD_BENCH=ON \
    >/dev/null
cmake --build "$build" --target "${targets[@]}" --parallel "$jobs" >/dev/null

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
bin=$build/bench
rows=$(
    "$bin/bench_startup" "$bin/bench_startup_anchorly" "$bin/bench_bare_window" "$runs"
    "$bin/bench_sources_load"
    "$bin/bench_handlers"
    "$bin/bench_settings_store"
)

echo "Anchorly $(git -C "$root" describe --always --dirty 2>/dev/null || echo '?'), $(date -u +%Y-%m-%d)," \
    "$(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')), Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?')," \
    "offscreen platform, medians; start-up and memory over $runs runs each"
echo
echo "| Measurement | Anchorly | Baseline | Baseline value | Ratio | Goal | Met |"
echo "|---|---:|---|---:|---:|---:|:---:|"
status=0
while IFS='|' read -r _ what value baseline base unit goal; do
    ratio=$(awk -v a="$value" -v b="$base" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    met="-"
    if [ "$goal" != "-" ]; then
        if awk -v r="$ratio" -v g="$goal" 'BEGIN { exit !(r <= g) }'; then met=yes; else met=NO; status=1; fi
        goal="≤ $goal"
    fi
    printf '| %s | %s %s | %s | %s %s | %sx | %s | %s |\n' "$what" "$value" "$unit" "$baseline" "$base" "$unit" \
        "$ratio" "$goal" "$met"
done < <(grep '^ROW|' <<<"$rows")
exit $status
