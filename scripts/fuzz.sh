#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time, starting from
# the committed seed corpus and the regression inputs.
#
#   scripts/fuzz.sh [seconds each, default 60] [target ...]
#
# Inputs that make a target fail are written to build/fuzz/findings/<target>/;
# once the fault is fixed, commit the input to tests/fuzz/regressions/<target>/
# so that every later run (and the test command) replays it. New interesting
# inputs collect in build/fuzz/generated/<target>/ and are reused next time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_hive fuzz_sources)
build=${ANCHORLY_FUZZ_BUILD:-$root/build/fuzz}
jobs=${ANCHORLY_JOBS:-$(nproc)}

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DANCHORLY_FUZZ=ON -DANCHORLY_BUILD_TESTS=OFF -DANCHORLY_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}" --parallel "$jobs"

export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0
failed=()
for target in "${targets[@]}"; do
    generated=$build/generated/$target
    findings=$build/findings/$target
    mkdir -p "$generated" "$findings"
    # New inputs go to the first folder; the committed ones are only read.
    inputs=("$generated" "$root/tests/fuzz/corpus/$target")
    if compgen -G "$root/tests/fuzz/regressions/$target/*" >/dev/null; then
        inputs+=("$root/tests/fuzz/regressions/$target")
    fi
    echo "== $target: ${seconds} s"
    if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 "${inputs[@]}" >"$findings/log.txt" 2>&1; then
        failed+=("$target")
        tail -n 40 "$findings/log.txt"
    else
        grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$findings/log.txt" | tr '\n' ' '
        echo
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]} (inputs in $build/findings/)" >&2
    exit 1
fi
echo "fuzzing: no faults found"
