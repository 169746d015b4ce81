#!/usr/bin/env bash
# Builds every test suite with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize/ (no benchmark) and runs them; the first report of either
# sanitizer fails the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-sanitize
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELM_SANITIZE=ON -DZELM_BUILD_BENCH=OFF -DZELM_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# The pages whose point is their size (100 MB) are left to the release run.
export ZELM_SKIP_HUGE_INPUTS=1
ctest --test-dir "$build" --output-on-failure -j2
