#!/usr/bin/env bash
# Installs what is missing, builds Anchorly with its tests and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" --tests
build="$root/build/test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DANCHORLY_BUILD_TESTS=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"
(cd "$build" && ctest --output-on-failure --timeout 300)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
# The end-to-end and Wine tests drive the unsanitized program and ran above.
asan="$root/build/asan"
cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DANCHORLY_SANITIZE=ON -DANCHORLY_BUILD_BENCH=OFF >/dev/null
cmake --build "$asan" --parallel "$(nproc)"
(cd "$asan" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0" \
    ctest --output-on-failure --timeout 600 -E '^e2e_|wine')

# A short fuzzing run of each fuzz target (built with clang) from the
# committed corpus and regression inputs.
"$root/scripts/fuzz.sh" 5
