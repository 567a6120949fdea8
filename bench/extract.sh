#!/usr/bin/env bash
# Extracts every message of a 100 MB synthetic export with the default options; prints the time
# of each stage and the peak memory against the export's size (target: at most 3 x the size).
#
#   bench/extract.sh [BUILD_DIR]     (targets gw_generate_export and gw_bench_extract)
# Environment: MEGABYTES (default 100), BENCH_DIR (default /dev/shm).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
[[ "$build" = /* ]] || build="$root/$build"
megabytes="${MEGABYTES:-100}"
dir="${BENCH_DIR:-/dev/shm}"
[[ -d "$dir" && -w "$dir" ]] || dir="${TMPDIR:-/tmp}"

input="$dir/gw_extract_export.$$.txt"
trap 'rm -f "$input"' EXIT
"$build/bench/gw_generate_export" --seed 42 --megabytes "$megabytes" --output "$input"
size=$(stat -c %s "$input")
echo "input: $input ($size bytes, GBK)"
"$build/bench/gw_bench_extract" "$input" | tee /dev/stderr | awk -v size="$size" \
  '/^peak memory [0-9]/ { printf "peak memory / export size: %.2f (target <= 3)\n", $3 * 1048576 / size }'
