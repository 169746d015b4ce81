#!/usr/bin/env bash
# Builds the suites of the passes that share a page over threads with
# ThreadSanitizer in build-tsan/ and runs their tests; a data race fails them.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-tsan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELM_THREAD_SANITIZE=ON -DZELM_BUILD_BENCH=OFF -DZELM_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target zelm_pipeline_tests zelm_levels_tests zelm_threads_tests

export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1}
"$build/tests/indent/zelm_pipeline_tests" --gtest_filter='PlanExecutor.*:Stages.*:InputPassCuts*:ConversionCuts*'
"$build/tests/indent/zelm_levels_tests" --gtest_filter='LevelPassEquivalence.*'
"$build/tests/threads/zelm_threads_tests" --gtest_filter='RunSideBySide.*'
