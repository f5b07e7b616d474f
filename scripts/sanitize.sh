#!/usr/bin/env bash
# Builds the whole test suite, window tests included, with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs it on the offscreen platform. Any
# sanitizer report stops the test that made it, fails that test and so fails this script.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-asan"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=ON \
    -DKORVANE_TESTS=ON -DKORVANE_WINDOW=ON -DKORVANE_BENCHMARKS=OFF -DKORVANE_WERROR=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
ctest --test-dir "$build" --output-on-failure --timeout 600 2>&1 | tee "$log" || status=$?
# A report that did not fail its test (a child process, say) still fails the run.
if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$log"; then
    echo "sanitize: sanitizer report found"
    status=1
fi
if [ "$status" -ne 0 ]; then
    echo "sanitize: FAILED"
    exit 1
fi
echo "sanitize: all tests passed with no sanitizer report"
