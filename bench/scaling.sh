#!/usr/bin/env bash
# Runs the Google Benchmark suite (build/bench/zelm-bench) over its pages of
# 1, 5 and 20 MB and prints, for every pass, the median times and the ratio
# t(20 MB) / t(5 MB). A linear pass gives 4; more than 4.5 is flagged.
#
#   bench/scaling.sh [--json FILE] [--repetitions N] [--filter REGEX]
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."

json=bench/.scratch/scaling.json
repetitions=3
filter=.
while [ $# -gt 0 ]; do
  case $1 in
    --json) json=$2; shift 2 ;;
    --repetitions) repetitions=$2; shift 2 ;;
    --filter) filter=$2; shift 2 ;;
    -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "scaling.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

if [ ! -x build/bench/zelm-bench ]; then
  scripts/setup.sh
  [ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build --target zelm-bench -j2 >/dev/null
fi

mkdir -p "$(dirname "$json")"
build/bench/zelm-bench --benchmark_filter="$filter" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_out_format=json --benchmark_out="$json" >&2
python3 bench/report.py scaling "$json"
