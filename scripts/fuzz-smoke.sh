#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz/ and runs each for a few seconds
# on its committed corpus (what the run finds goes to a temporary folder).
# Fails when a target crashes or breaks an invariant.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${ZELM_FUZZ_SMOKE_SECONDS:-3}
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZELM_FUZZ=ON -DZELM_BUILD_TESTS=OFF -DZELM_BUILD_BENCH=OFF -DZELM_BUILD_GUI=OFF >/dev/null
cmake --build "$build" --target zelm_fuzz -j2

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=()
for source in tests/fuzz/*Fuzz.cpp; do
  target=$(basename "$source" .cpp)
  mkdir -p "$scratch/$target"
  if "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=30 -rss_limit_mb=2048 \
      -artifact_prefix="$scratch/$target-" "$scratch/$target" "tests/fuzz/corpus/$target" >"$scratch/$target.log" 2>&1; then
    echo "fuzz-smoke: $target ok ($(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$scratch/$target.log") runs)"
  else
    echo "fuzz-smoke: $target FAILED" >&2
    grep -E -A3 'invariant broken|ERROR:|runtime error' "$scratch/$target.log" | head -20 >&2 || true
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz-smoke: failing targets: ${failed[*]}" >&2
  exit 1
fi
