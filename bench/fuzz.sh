#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs every target, one after
# the other, for SECONDS seconds each, starting from its corpus in
# tests/fuzz/corpus/<Target>/. What a run finds is kept in
# build-fuzz/fuzz-runs/<Target>/ (corpus/, crash artifacts, log), so later
# runs go on from there.
#
#   bench/fuzz.sh SECONDS [TARGET...]
#
# Prints per target: executions, coverage (cov = edges, ft = features), the
# execution at which the edge coverage last grew (far below the total: the
# run has reached a plateau), and any crash. Exits 1 when a target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: bench/fuzz.sh SECONDS [TARGET...]}
shift
build=build-fuzz
max_len=${ZELM_FUZZ_MAX_LEN:-65536}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZELM_FUZZ=ON -DZELM_BUILD_TESTS=OFF -DZELM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target zelm_fuzz -j2 >/dev/null

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in tests/fuzz/*Fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

failed=0
printf '%-20s %8s %10s %7s %7s %12s  %s\n' target seconds runs cov ft "cov grew at" result
for target in "${targets[@]}"; do
  work="$build/fuzz-runs/$target"
  mkdir -p "$work/corpus" "$work/artifacts"
  log="$work/log"
  status=0
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" "tests/fuzz/corpus/$target" \
    >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
  lastGrowth=$(awk '/^#[0-9]+/ && / cov: / {
      for (i = 1; i <= NF; i++) if ($i == "cov:") c = $(i + 1)
      if (c != seen) { seen = c; at = substr($1, 2) }
    } END { print at }' "$log")
  if [ "$status" -eq 0 ]; then
    result=ok
  else
    failed=1
    why=$(grep -m1 -E 'invariant broken|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' "$log" || true)
    artifact=$(grep -oE 'Test unit written to [^ ]+' "$log" | tail -1 | sed 's/Test unit written to //' || true)
    result="CRASH: ${why:-exit $status} ${artifact:+($artifact)}"
  fi
  printf '%-20s %8s %10s %7s %7s %12s  %s\n' "$target" "$seconds" "${runs:-?}" \
    "$(echo "$coverage" | awk '{print $2}')" "$(echo "$coverage" | awk '{print $4}')" "${lastGrowth:--}" "$result"
done
exit $failed
